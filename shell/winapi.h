#pragma once

#include <QString>

namespace platform {
class OsFunctions;
}

// The operating-system helper module: thin wrappers over declared functions.
// None traps errors: a missing library or function reaches the caller.
namespace WinAPI {

// The logon user's name, or "" when the system does not supply one.
QString GetLogonUserName(const platform::OsFunctions& os);

// S up to its first NUL character (all of S when it has none).
QString TrimAtNull(const platform::OsFunctions& os, const QString& S);

// Opens the help file at its default topic; the topic is not used.
void ShowHelp(const platform::OsFunctions& os, const QString& topic);

} // namespace WinAPI
