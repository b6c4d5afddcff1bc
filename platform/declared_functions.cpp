#include "declared_functions.h"

#include "codepage.h"
#include "runtime_error.h"

namespace platform {

OsFunctions::~OsFunctions() = default;

QString OsFunctions::libraryKey(const QString& library)
{
    QString key = library.toLower();
    if (key.endsWith(QLatin1String(".dll")))
        key.chop(4);
    return key;
}

const std::any& OsFunctions::lookup(const QString& library, const QString& function) const
{
    const auto lib = m_libraries.find(libraryKey(library));
    if (lib == m_libraries.end())
        raise(err::ErrorInLoadingDll);
    const auto fn = lib->second.find(function);
    if (fn == lib->second.end())
        raiseBadEntryPoint();
    return fn->second;
}

void OsFunctions::raiseBadEntryPoint()
{
    raise(err::CantFindDllEntryPoint);
}

QByteArray toDeclaredText(const QString& text)
{
    std::optional<QByteArray> bytes = toCodePage(text);
    if (!bytes)
        raise(err::InvalidProcedureCall);
    return *bytes;
}

} // namespace platform
