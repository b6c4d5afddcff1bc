// The registry's hive reader over arbitrary bytes, then every key it accepted,
// and the parent of each, read back through the registry as the program reads them.
#include "platform/registry.h"

#include <cstdint>

namespace {
void readKey(platform::Registry& registry, const QByteArray& path,
             const std::map<QByteArray, platform::HiveValue>& values)
{
    const qsizetype slash = path.indexOf('\\');
    if (slash < 0)
        return;
    std::int32_t key = 0;
    if (registry.openKey(platform::reg::HKEY_LOCAL_MACHINE, path.sliced(slash + 1), platform::reg::KEY_READ, key) !=
        platform::reg::Success)
        return;
    for (const auto& [name, value] : values) {
        QByteArray buffer(1024, '\0');
        std::int32_t type = 0;
        std::int32_t length = 1024;
        registry.queryValue(key, name, type, buffer, length);
    }
    registry.closeKey(key);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::optional<platform::Hive> hive = platform::parseHive(bytes);
    if (!hive)
        return 0;
    const platform::Hive copy = *hive;
    platform::Registry registry(std::move(*hive));
    for (const auto& [path, values] : copy.keys) {
        readKey(registry, path, values);
        readKey(registry, path.left(path.lastIndexOf('\\')), {});
    }
    return 0;
}
