#include "runtime_error.h"

#include <limits>

namespace platform {

QString standardErrorText(int number)
{
    switch (number) {
    case err::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow:
        return QStringLiteral("Overflow");
    case err::OutOfMemory:
        return QStringLiteral("Out of memory");
    case err::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case err::ErrorInLoadingDll:
        return QStringLiteral("Error in loading DLL");
    case err::InternalError:
        return QStringLiteral("Internal error");
    case err::BadFileNameOrNumber:
        return QStringLiteral("Bad file name or number");
    case err::FileNotFound:
        return QStringLiteral("File not found");
    case err::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case err::PathNotFound:
        return QStringLiteral("Path not found");
    case err::ObjectVariableNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case err::InvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case err::CantCreateObject:
        return QStringLiteral("ActiveX component can't create object");
    case err::ObjectDoesntSupport:
        return QStringLiteral("Object doesn't support this property or method");
    case err::ArgumentNotOptional:
        return QStringLiteral("Argument not optional");
    case err::WrongNumberOfArguments:
        return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case err::CantFindDllEntryPoint:
        return QStringLiteral("Can't find DLL entry point");
    case err::InvalidClipboardFormat:
        return QStringLiteral("Invalid Clipboard format");
    case err::CancelSelected:
        return QStringLiteral("Cancel was selected.");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, standardErrorText(number)) {}

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Run-time error %1: %2").arg(number).arg(m_description).toUtf8())
{
}

void raise(int number)
{
    throw RuntimeError(number);
}

void raise(int number, const QString& description)
{
    throw RuntimeError(number, description);
}

namespace {
std::int16_t narrow16(int value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        raise(err::Overflow);
    return static_cast<std::int16_t>(value);
}
} // namespace

std::int16_t checkedAdd16(std::int16_t a, std::int16_t b)
{
    return narrow16(int(a) + int(b));
}

std::int16_t checkedSub16(std::int16_t a, std::int16_t b)
{
    return narrow16(int(a) - int(b));
}

} // namespace platform
