#pragma once

#include <QByteArray>
#include <QString>

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace platform {

// Signatures of the operating-system functions the program declares. Strings
// cross as 8-bit text (one byte a character); the caller converts around each
// call. Handles and flags are 32-bit, as the program declares them.
namespace os {
// Logon user of the process into `buffer` (`length` characters, NUL included).
using WNetGetUserA = std::function<std::int32_t(std::int32_t localName, QByteArray& buffer, std::int32_t& length)>;
// Characters before the first NUL of a 16-bit string; 0 for a null address.
using lstrlenW = std::function<std::int32_t(const char16_t* string)>;
using HtmlHelpA =
    std::function<std::int32_t(std::int32_t owner, const QByteArray& file, std::int32_t command, std::int32_t data)>;
using RegOpenKeyExA = std::function<std::int32_t(std::int32_t root, const QByteArray& subKey, std::int32_t options,
                                                 std::int32_t access, std::int32_t& key)>;
using RegQueryValueExA =
    std::function<std::int32_t(std::int32_t key, const QByteArray& valueName, std::int32_t reserved, std::int32_t& type,
                               QByteArray& data, std::int32_t& size)>;
using RegCloseKey = std::function<std::int32_t(std::int32_t key)>;
} // namespace os

// The operating system's functions by library and function name. A program
// names both at each call and the function is bound then, so a library or
// function the system lacks fails that call, not the program's start:
// a missing library raises Error in loading DLL (48), a missing function
// Can't find DLL entry point (453). Library names are matched without regard
// to case or a ".dll" ending, as the original loader does; function names exactly.
class OsFunctions {
public:
    OsFunctions() = default;
    virtual ~OsFunctions();
    OsFunctions(const OsFunctions&) = delete;
    OsFunctions& operator=(const OsFunctions&) = delete;

    // Makes `function` of `library` available; `implementation` is one of the os:: types.
    template <class F> void define(const QString& library, const QString& function, F implementation)
    {
        m_libraries[libraryKey(library)][function] = std::move(implementation);
    }

    // Binds a declared function; the type must be the one it was defined with.
    template <class F> const F& bind(const QString& library, const QString& function) const
    {
        const F* bound = std::any_cast<F>(&lookup(library, function));
        if (!bound)
            raiseBadEntryPoint();
        return *bound;
    }

private:
    static QString libraryKey(const QString& library);
    const std::any& lookup(const QString& library, const QString& function) const;
    [[noreturn]] static void raiseBadEntryPoint();

    std::map<QString, std::map<QString, std::any>> m_libraries;
};

// The text as 8-bit characters for a declared function. A character one byte
// cannot hold raises Invalid procedure call or argument (5) instead of
// passing a substitute.
QByteArray toDeclaredText(const QString& text);

} // namespace platform
