#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace platform {

// The run-time errors of the forms runtime the program was designed for, by
// their original numbers, so every layer raises and traps them alike.
namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int TypeMismatch = 13;
inline constexpr int ErrorInLoadingDll = 48;
inline constexpr int InternalError = 51;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectVariableNotSet = 91;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int CantCreateObject = 429;
inline constexpr int ObjectDoesntSupport = 438;
inline constexpr int ArgumentNotOptional = 449;
inline constexpr int WrongNumberOfArguments = 450;
inline constexpr int CantFindDllEntryPoint = 453;
inline constexpr int InvalidClipboardFormat = 460;
inline constexpr int CancelSelected = 32755;
} // namespace err

// The runtime's standard text for an error number ("Application-defined or
// object-defined error" for numbers it has no text of its own for).
QString standardErrorText(int number);

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

[[noreturn]] void raise(int number);
[[noreturn]] void raise(int number, const QString& description);

// 16-bit arithmetic as the runtime does it: a result outside -32768..32767
// raises Overflow instead of wrapping.
std::int16_t checkedAdd16(std::int16_t a, std::int16_t b);
std::int16_t checkedSub16(std::int16_t a, std::int16_t b);

} // namespace platform
