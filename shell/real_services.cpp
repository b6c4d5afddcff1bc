#include "real_services.h"

#include "platform/clipboard.h"
#include "platform/common_dialog.h"
#include "platform/declared_functions.h"
#include "platform/message_box.h"
#include "platform/program_starter.h"
#include "platform/system_functions.h"
#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>

void wireRealServices(platform::Services& services, const Deliverable& deliverable)
{
    static platform::QtMessageBox messageBox;
    static platform::QtClipboard clipboard;
    static platform::ProcessStarter programStarter;
    static const std::unique_ptr<platform::OsFunctions> osFunctions = platform::makeSystemFunctions();

    services.messageBox = &messageBox;
    services.clipboard = &clipboard;
    services.createChart = [&deliverable] {
        return platform::loadControlLibrary(QString::fromLatin1(deliverable.chartControlFile))();
    };
    services.osFunctions = osFunctions.get();
    services.programStarter = &programStarter;
    services.screenSizeTwips = [] {
        const QSize pixels = QGuiApplication::primaryScreen()->size();
        return QSizeF(platform::pixelsToTwips(pixels.width()), platform::pixelsToTwips(pixels.height()));
    };
    services.createCommonDialog = [] { return std::make_unique<platform::CommonDialog>(); };
    // File > Exit: at once, without unloading any window.
    services.endProgram = [] { std::_Exit(0); };
}
