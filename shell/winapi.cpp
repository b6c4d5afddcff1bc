#include "winapi.h"

#include "platform/codepage.h"
#include "platform/declared_functions.h"

#include <cstdint>

namespace WinAPI {

namespace {
constexpr std::int32_t kUserNameLength = 100;
constexpr const char* kHelpFile = "PlotwrightEN.chm";
constexpr std::int32_t HH_DISPLAY_TOPIC = 0;
} // namespace

QString GetLogonUserName(const platform::OsFunctions& os)
{
    const QString buffer(kUserNameLength, QLatin1Char(' '));
    std::int32_t length = static_cast<std::int32_t>(buffer.size());
    QByteArray bytes = platform::toDeclaredText(buffer);
    const auto& WNetGetUserA =
        os.bind<platform::os::WNetGetUserA>(QStringLiteral("Mpr"), QStringLiteral("WNetGetUserA"));
    const std::int32_t status = WNetGetUserA(0, bytes, length);
    if (status != 0)
        return {};
    return TrimAtNull(os, platform::fromCodePage(bytes));
}

QString TrimAtNull(const platform::OsFunctions& os, const QString& S)
{
    const auto& lstrlenW = os.bind<platform::os::lstrlenW>(QStringLiteral("kernel32"), QStringLiteral("lstrlenW"));
    // An empty string has no buffer of its own: its address is null.
    const char16_t* address = S.isEmpty() ? nullptr : reinterpret_cast<const char16_t*>(S.utf16());
    return S.left(lstrlenW(address));
}

void ShowHelp(const platform::OsFunctions& os, const QString&)
{
    const auto& HtmlHelpA = os.bind<platform::os::HtmlHelpA>(QStringLiteral("hhctrl.ocx"), QStringLiteral("HtmlHelpA"));
    HtmlHelpA(0, platform::toDeclaredText(QString::fromLatin1(kHelpFile)), HH_DISPLAY_TOPIC, 0);
}

} // namespace WinAPI
