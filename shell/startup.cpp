#include "startup.h"

#include "main_window/plotwright.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

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
    Plotwright window(deliverable, services);
    window.show();
    return app.exec();
}
