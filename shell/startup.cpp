#include "startup.h"

#include "forms.h"
#include "platform/guard.h"
#include "platform/message_box.h"
#include "real_services.h"
#include "splash_screen.h"

#include <QApplication>
#include <QPointer>

#include <csignal>
#include <cstdio>

namespace {
bool displayAvailable()
{
    const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
    if (!platformName.isEmpty() && !platformName.startsWith("xcb"))
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}
} // namespace

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

int runPlotwright(int argc, char** argv, const Deliverable& deliverable)
{
    ignoreFileSizeSignal();
    if (!displayAvailable()) {
        std::fprintf(stderr, "%s: no display: set DISPLAY (or run under xvfb-run) to open the window.\n",
                     deliverable.caption);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(platform::kApplicationTitle));
    platform::Services services;
    wireRealServices(services, deliverable);
    Forms forms(deliverable, services);

    QPointer<SplashScreen> splash = new SplashScreen(forms, services);
    // A start-up that fails (the chart control cannot be created, the main
    // window's load fails) has been reported; with no main window the program ends.
    if (!platform::runGuarded(*services.messageBox, [&] { splash->load(); })) {
        delete splash.data();
        return 1;
    }
    return app.exec();
}
