#pragma once

#include "dispatch.h"

#include <QSizeF>

#include <functional>

namespace platform {

class MessageBoxService;
class Clipboard;
class ProgramStarter;
class OsFunctions;

// What the windows get from their platform. main() wires the real ones;
// tests wire recording fakes. A window never reaches past this struct to
// Qt's dialogs, clipboard or processes.
struct Services {
    ControlFactory createChart;         // the chart control
    DispatchFactory createCommonDialog; // the file dialog control
    MessageBoxService* messageBox = nullptr;
    Clipboard* clipboard = nullptr;
    ProgramStarter* programStarter = nullptr;
    OsFunctions* osFunctions = nullptr;      // declared operating-system functions
    std::function<QSizeF()> screenSizeTwips; // the primary screen
    std::function<void()> endProgram;        // ends the program at once
};

} // namespace platform
