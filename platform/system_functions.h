#pragma once

#include "declared_functions.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>

namespace platform {

// Status codes of WNetGetUserA.
namespace wnet {
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t MoreData = 234;
inline constexpr std::int32_t NoNetwork = 1222;
} // namespace wnet

// The logon user of this process: the login record of its terminal, else the
// password entry of the effective user; nothing when neither names one.
std::optional<QByteArray> logonUserName();

// A name as the system gives it (UTF-8) in one byte a character; nothing for
// an empty name or one with a character that one byte cannot hold.
std::optional<QByteArray> systemNameInCodePage(const char* name);

// WNetGetUserA over a source of the user name: the name and its NUL are
// written to the buffer when `length` characters hold both; otherwise
// MoreData, with `length` set to the characters needed.
os::WNetGetUserA wnetGetUser(std::function<std::optional<QByteArray>()> userName);

// lstrlenW: the characters before the first NUL; 0 for a null address.
std::int32_t stringLength16(const char16_t* string);

// The functions of this system the program declares: "Mpr" WNetGetUserA,
// "kernel32" lstrlenW, "hhctrl.ocx" HtmlHelpA (the help file opened by its
// name with the desktop's handler) and "advapi32"'s registry over the hive
// file in the program's folder.
std::unique_ptr<OsFunctions> makeSystemFunctions();

} // namespace platform
