#include "startup.h"

#include "main_window/plotwright.h"
#include "platform/guard.h"
#include "platform/message_box.h"
#include "platform/runtime_error.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {
bool displayAvailable()
{
    const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
    if (!platformName.isEmpty() && !platformName.startsWith("xcb"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}
}  // namespace

int runPlotwright(int argc, char** argv, const Deliverable& deliverable)
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "%s: no display: set DISPLAY (or run under xvfb-run) to open the window.\n",
                     deliverable.caption);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(platform::kApplicationTitle));
    platform::QtMessageBox messageBox;
    platform::Services services;
    services.messageBox = &messageBox;
    services.createChart = [&deliverable] {
        return platform::loadControlLibrary(QString::fromLatin1(deliverable.chartControlFile))();
    };
    std::unique_ptr<Plotwright> window;
    const bool started = platform::runGuarded(messageBox, [&] {
        window = std::make_unique<Plotwright>(deliverable, services);
        window->load();
        window->show();
    });
    if (!started)
        return 1;
    return app.exec();
}
