#pragma once

#include "declared_functions.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace platform {

// The registry the program reads: read only, held in a text file of ours.
//
// Hive file format (8-bit text, one byte a character; CR LF or LF line ends):
//   ; or # at the start of a line      a comment; blank lines are ignored
//   [HKEY_LOCAL_MACHINE\Path\To\Key]   opens a key; the first part is a root
//                                      (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,
//                                      HKEY_LOCAL_MACHINE, HKEY_USERS,
//                                      HKEY_CURRENT_CONFIG); parent keys exist
//                                      implicitly
//   "Name"=sz:text                     a string (type 1): the rest of the line,
//                                      stored with its terminating NUL; inside the
//                                      quoted name a backslash escapes " and itself;
//                                      @ names the default value
//   "Name"=expand_sz:text              the same with type 2
//   "Name"=dword:0000002a              a 32-bit number (type 4), 1 to 8 hex digits
//   "Name"=hex(T):41,42,00             raw bytes of type T (decimal); may be empty
//   "Name"=hex:01,02                   raw bytes of type 3
// Key and value names match without regard to case. A later value of the same
// name replaces an earlier one. A file with any other line is rejected whole.
//
// Location: "plotwright.hive" in the program's folder; the build puts one there.

namespace reg {
inline constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t HKEY_USERS = static_cast<std::int32_t>(0x80000003u);
inline constexpr std::int32_t HKEY_CURRENT_CONFIG = static_cast<std::int32_t>(0x80000005u);

// Status codes.
inline constexpr std::int32_t Success = 0;
inline constexpr std::int32_t NotFound = 2;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t InvalidHandle = 6;
inline constexpr std::int32_t MoreData = 234;

// Access rights.
inline constexpr std::int32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::int32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::int32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::int32_t KEY_CREATE_LINK = 0x0020;
inline constexpr std::int32_t KEY_READ = 0x20019;
// Every right that would let the caller change the registry.
inline constexpr std::int32_t kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x10000 /*DELETE*/
                                             | 0x40000 /*WRITE_DAC*/ | 0x80000 /*WRITE_OWNER*/;

// Value types.
inline constexpr std::int32_t REG_SZ = 1;
inline constexpr std::int32_t REG_EXPAND_SZ = 2;
inline constexpr std::int32_t REG_BINARY = 3;
inline constexpr std::int32_t REG_DWORD = 4;
} // namespace reg

struct HiveValue {
    std::int32_t type = 0;
    QByteArray data;
    friend bool operator==(const HiveValue&, const HiveValue&) = default;
};

// Keys by their full path ("hkey_local_machine\software\..."), lower case;
// values by their lower-case name. Only the keys a file names are stored:
// their parents exist without an entry of their own, so a deep path costs
// its length once, not once for every level.
struct Hive {
    std::map<QByteArray, std::map<QByteArray, HiveValue>> keys;
    // A key named in the file, or a parent of one.
    bool contains(const QByteArray& path) const;
};

// Reads a hive file's bytes; nothing for a malformed file, with the first
// offending line in `error`.
std::optional<Hive> parseHive(QByteArrayView text, QString* error = nullptr);

// The registry over one hive. Every key may be read; no key may be opened
// with write rights, as for a user without administrator rights.
class Registry {
public:
    explicit Registry(Hive hive = {});
    // A missing or malformed file, or anything but a regular file (a pipe,
    // device or folder, refused before a byte is read), gives an empty registry:
    // every lookup fails.
    static std::shared_ptr<Registry> fromFile(const QString& path);

    std::int32_t openKey(std::int32_t root, const QByteArray& subKey, std::int32_t access, std::int32_t& key);
    std::int32_t queryValue(std::int32_t key, const QByteArray& valueName, std::int32_t& type, QByteArray& data,
                            std::int32_t& size) const;
    std::int32_t closeKey(std::int32_t key);

    std::size_t openKeyCount() const { return m_open.size(); }

private:
    std::optional<QByteArray> pathOf(std::int32_t key) const;

    Hive m_hive;
    std::map<std::int32_t, QByteArray> m_open;
    std::int32_t m_nextHandle = 0x100;
};

QString defaultHivePath();

// Defines RegOpenKeyExA, RegQueryValueExA and RegCloseKey of "advapi32" over `registry`.
void defineRegistryFunctions(OsFunctions& functions, std::shared_ptr<Registry> registry);

} // namespace platform
