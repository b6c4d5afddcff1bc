#include "registry.h"

#include <QCoreApplication>
#include <QFile>

#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr qsizetype kMaxHiveBytes = 16 * 1024 * 1024;

constexpr std::array<std::pair<const char*, std::int32_t>, 5> kRoots{{
    {"hkey_classes_root", reg::HKEY_CLASSES_ROOT},
    {"hkey_current_user", reg::HKEY_CURRENT_USER},
    {"hkey_local_machine", reg::HKEY_LOCAL_MACHINE},
    {"hkey_users", reg::HKEY_USERS},
    {"hkey_current_config", reg::HKEY_CURRENT_CONFIG},
}};

std::optional<QByteArray> rootName(std::int32_t handle)
{
    for (const auto& [name, value] : kRoots) {
        if (value == handle)
            return QByteArray(name);
    }
    return std::nullopt;
}

// The parts of `text` between `separator`s, in order; no copies, so a long
// line costs its length once.
template <class F> void forEachPart(QByteArrayView text, char separator, F&& f)
{
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(separator, start);
        if (end < 0)
            end = text.size();
        f(text.sliced(start, end - start));
        if (end == text.size())
            return;
        start = end + 1;
    }
}

// A key path as stored: lower case, parts joined by one "\", empty parts dropped.
QByteArray normalisedPath(QByteArrayView path)
{
    QByteArray result;
    result.reserve(path.size());
    forEachPart(path, '\\', [&result](QByteArrayView part) {
        if (part.isEmpty())
            return;
        if (!result.isEmpty())
            result += '\\';
        result.append(part);
    });
    return result.toLower();
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QByteArray> parseHexBytes(QByteArrayView text)
{
    QByteArray bytes;
    const QByteArrayView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return bytes;
    bool valid = true;
    forEachPart(trimmed, ',', [&](QByteArrayView item) {
        const QByteArrayView byte = item.trimmed();
        if (!valid || byte.size() != 2 || hexDigit(byte[0]) < 0 || hexDigit(byte[1]) < 0) {
            valid = false;
            return;
        }
        bytes += static_cast<char>(hexDigit(byte[0]) * 16 + hexDigit(byte[1]));
    });
    if (!valid)
        return std::nullopt;
    return bytes;
}

std::optional<HiveValue> parseData(QByteArrayView spec)
{
    const qsizetype colon = spec.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    const QByteArray kind = spec.first(colon).toByteArray().trimmed().toLower();
    const QByteArrayView data = spec.sliced(colon + 1);
    if (kind == "sz" || kind == "expand_sz")
        return HiveValue{kind == "sz" ? reg::REG_SZ : reg::REG_EXPAND_SZ, data.toByteArray() + '\0'};
    if (kind == "dword") {
        const QByteArray digits = data.toByteArray().trimmed();
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t number = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0)
                return std::nullopt;
            number = number * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        return HiveValue{reg::REG_DWORD, bytes};
    }
    std::int32_t type = reg::REG_BINARY;
    if (kind.startsWith("hex(") && kind.endsWith(')')) {
        const QByteArray digits = kind.sliced(4, kind.size() - 5);
        if (digits.isEmpty() || digits.size() > 9)
            return std::nullopt;
        type = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            type = type * 10 + (c - '0');
        }
    } else if (kind != "hex") {
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = parseHexBytes(data);
    if (!bytes)
        return std::nullopt;
    return HiveValue{type, *bytes};
}

// `"Name"=...` or `@=...`: the name and the position after '='.
std::optional<std::pair<QByteArray, qsizetype>> parseName(QByteArrayView line)
{
    QByteArray name;
    qsizetype i = 0;
    if (line.startsWith('@')) {
        i = 1;
    } else if (line.startsWith('"')) {
        i = 1;
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c == '\\') {
                if (i >= line.size() || (line[i] != '"' && line[i] != '\\'))
                    return std::nullopt;
                name += line[i++];
            } else {
                name += c;
            }
        }
        if (!closed)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= line.size() || line[i] != '=')
        return std::nullopt;
    return std::make_pair(name.toLower(), i + 1);
}

// The values of the key a header names, or nothing for an unknown root.
std::map<QByteArray, HiveValue>* addKey(Hive& hive, QByteArrayView header)
{
    const QByteArray path = normalisedPath(header);
    const QByteArray root = path.left(path.indexOf('\\') < 0 ? path.size() : path.indexOf('\\'));
    bool known = false;
    for (const auto& entry : kRoots)
        known = known || root == entry.first;
    if (!known)
        return nullptr;
    return &hive.keys[path];
}
} // namespace

bool Hive::contains(const QByteArray& path) const
{
    if (keys.contains(path))
        return true;
    // The keys below `path` sort together, right after it.
    const QByteArray prefix = path + '\\';
    const auto below = keys.lower_bound(prefix);
    return below != keys.end() && below->first.startsWith(prefix);
}

std::optional<Hive> parseHive(QByteArrayView text, QString* error)
{
    auto fail = [error](int lineNumber) -> std::optional<Hive> {
        if (error)
            *error = QStringLiteral("line %1: not a key, value or comment").arg(lineNumber);
        return std::nullopt;
    };
    if (text.size() > kMaxHiveBytes)
        return fail(0);
    Hive hive;
    // Held rather than looked up per value line: a lookup compares the whole
    // key name, which would make a long name times many values quadratic.
    std::map<QByteArray, HiveValue>* current = nullptr;
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
            line = line.sliced(1);
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            QByteArrayView header = line.trimmed();
            if (!header.endsWith(']') || !(current = addKey(hive, header.sliced(1, header.size() - 2))))
                return fail(lineNumber);
            continue;
        }
        const auto name = parseName(line);
        if (!current || !name)
            return fail(lineNumber);
        std::optional<HiveValue> value = parseData(line.sliced(name->second));
        if (!value)
            return fail(lineNumber);
        (*current)[name->first] = std::move(*value);
    }
    return hive;
}

Registry::Registry(Hive hive) : m_hive(std::move(hive)) {}

namespace {
// The hive file's first bytes past the limit, or nothing when it is not a
// regular file we can read. Opened without blocking, so that a named pipe
// in its place cannot stall start-up, and refused before a byte is read
// when it is a pipe, a device or a folder.
std::optional<QByteArray> readHiveFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return std::nullopt;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    // Reading a regular file never waits, O_NONBLOCK or not.
    struct stat status {};
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    return file.read(kMaxHiveBytes + 1);
}
} // namespace

std::shared_ptr<Registry> Registry::fromFile(const QString& path)
{
    const std::optional<QByteArray> bytes = readHiveFile(path);
    std::optional<Hive> hive = bytes ? parseHive(*bytes) : std::nullopt;
    return std::make_shared<Registry>(hive ? std::move(*hive) : Hive{});
}

std::optional<QByteArray> Registry::pathOf(std::int32_t key) const
{
    if (std::optional<QByteArray> root = rootName(key))
        return root;
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return std::nullopt;
    return open->second;
}

std::int32_t Registry::openKey(std::int32_t root, const QByteArray& subKey, std::int32_t access, std::int32_t& key)
{
    const std::optional<QByteArray> base = pathOf(root);
    if (!base)
        return reg::InvalidHandle;
    const QByteArray relative = normalisedPath(subKey);
    const QByteArray path = relative.isEmpty() ? *base : *base + '\\' + relative;
    if (!m_hive.contains(path))
        return reg::NotFound;
    if (access & reg::kWriteRights)
        return reg::AccessDenied;
    while (m_open.contains(m_nextHandle) || rootName(m_nextHandle) || m_nextHandle == 0)
        ++m_nextHandle;
    key = m_nextHandle++;
    m_open.emplace(key, path);
    return reg::Success;
}

std::int32_t Registry::queryValue(std::int32_t key, const QByteArray& valueName, std::int32_t& type, QByteArray& data,
                                  std::int32_t& size) const
{
    const std::optional<QByteArray> path = pathOf(key);
    if (!path)
        return reg::InvalidHandle;
    const auto found = m_hive.keys.find(*path);
    if (found == m_hive.keys.end())
        return reg::NotFound;
    const auto value = found->second.find(valueName.toLower());
    if (value == found->second.end())
        return reg::NotFound;
    type = value->second.type;
    const QByteArray& bytes = value->second.data;
    const bool fits = size >= 0 && bytes.size() <= size;
    size = static_cast<std::int32_t>(bytes.size());
    if (!fits)
        return reg::MoreData;
    if (data.size() < bytes.size())
        data.resize(bytes.size());
    std::memcpy(data.data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return reg::Success;
}

std::int32_t Registry::closeKey(std::int32_t key)
{
    if (rootName(key))
        return reg::Success;
    return m_open.erase(key) ? reg::Success : reg::InvalidHandle;
}

QString defaultHivePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plotwright.hive");
}

void defineRegistryFunctions(OsFunctions& functions, std::shared_ptr<Registry> registry)
{
    const QString advapi32 = QStringLiteral("advapi32");
    functions.define(
        advapi32, QStringLiteral("RegOpenKeyExA"),
        os::RegOpenKeyExA([registry](std::int32_t root, const QByteArray& subKey, std::int32_t, std::int32_t access,
                                     std::int32_t& key) { return registry->openKey(root, subKey, access, key); }));
    functions.define(advapi32, QStringLiteral("RegQueryValueExA"),
                     os::RegQueryValueExA([registry](std::int32_t key, const QByteArray& name, std::int32_t,
                                                     std::int32_t& type, QByteArray& data, std::int32_t& size) {
                         return registry->queryValue(key, name, type, data, size);
                     }));
    functions.define(advapi32, QStringLiteral("RegCloseKey"),
                     os::RegCloseKey([registry](std::int32_t key) { return registry->closeKey(key); }));
}

} // namespace platform
