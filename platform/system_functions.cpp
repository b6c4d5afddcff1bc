#include "system_functions.h"

#include "codepage.h"
#include "registry.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace platform {

std::optional<QByteArray> systemNameInCodePage(const char* name)
{
    if (!name || name[0] == '\0')
        return std::nullopt;
    return toCodePage(QString::fromUtf8(name));
}

std::optional<QByteArray> logonUserName()
{
    char login[256] = {};
    if (getlogin_r(login, sizeof login) == 0 && login[0] != '\0')
        return systemNameInCodePage(login);
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result)
        return systemNameInCodePage(result->pw_name);
    return std::nullopt;
}

os::WNetGetUserA wnetGetUser(std::function<std::optional<QByteArray>()> userName)
{
    return [userName = std::move(userName)](std::int32_t, QByteArray& buffer, std::int32_t& length) -> std::int32_t {
        const std::optional<QByteArray> name = userName();
        if (!name)
            return wnet::NoNetwork;
        const std::int32_t needed = static_cast<std::int32_t>(name->size()) + 1;
        if (length < needed || buffer.size() < needed) {
            length = needed;
            return wnet::MoreData;
        }
        std::memcpy(buffer.data(), name->constData(), static_cast<std::size_t>(name->size()));
        buffer[name->size()] = '\0';
        return wnet::Success;
    };
}

std::int32_t stringLength16(const char16_t* string)
{
    if (!string)
        return 0;
    std::int32_t count = 0;
    while (string[count] != u'\0')
        ++count;
    return count;
}

std::unique_ptr<OsFunctions> makeSystemFunctions()
{
    auto functions = std::make_unique<OsFunctions>();
    functions->define(QStringLiteral("Mpr"), QStringLiteral("WNetGetUserA"), wnetGetUser(logonUserName));
    functions->define(QStringLiteral("kernel32"), QStringLiteral("lstrlenW"), os::lstrlenW(stringLength16));
    functions->define(QStringLiteral("hhctrl.ocx"), QStringLiteral("HtmlHelpA"),
                      os::HtmlHelpA([](std::int32_t, const QByteArray& file, std::int32_t, std::int32_t) {
                          // A bare name is looked for in the current folder, as the help viewer does.
                          const QString path = QFileInfo(fromCodePage(file)).absoluteFilePath();
                          return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 1 : 0;
                      }));
    defineRegistryFunctions(*functions, Registry::fromFile(defaultHivePath()));
    return functions;
}

} // namespace platform
