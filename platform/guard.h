#pragma once

#include <QString>

#include <functional>

namespace platform {

class MessageBoxService;
class RuntimeError;

// The text the runtime shows for an error nothing trapped.
QString untrappedErrorText(const RuntimeError& error);

// Runs a handler the platform started (menu item, button, resize, control
// event, ...). An error that nothing in it trapped ends the handler, is shown
// once in a message box, and the program goes on: no exception reaches Qt's
// event loop. Returns false when the handler ended that way.
bool runGuarded(MessageBoxService& messageBox, const std::function<void()>& handler);

} // namespace platform
