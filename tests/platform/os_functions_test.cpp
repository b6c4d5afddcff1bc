#include "platform/declared_functions.h"
#include "platform/file_search.h"
#include "platform/program_starter.h"
#include "platform/registry.h"
#include "platform/runtime_error.h"
#include "platform/system_functions.h"
#include "tests/support/runtime_errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace platform;

TEST(DeclaredFunctions, BindByCaseInsensitiveLibraryAndExactFunctionName)
{
    OsFunctions functions;
    functions.define("kernel32", "lstrlenW", os::lstrlenW(stringLength16));
    EXPECT_EQ(functions.bind<os::lstrlenW>("KERNEL32", "lstrlenW")(u"abc"), 3);
    EXPECT_EQ(functions.bind<os::lstrlenW>("kernel32.dll", "lstrlenW")(nullptr), 0);

    // A missing library or function fails the call that names it, not before.
    EXPECT_EQ(fakes::runtimeErrorOf([&] { functions.bind<os::lstrlenW>("Mpr", "lstrlenW"); }), err::ErrorInLoadingDll);
    EXPECT_EQ(fakes::runtimeErrorOf([&] { functions.bind<os::lstrlenW>("kernel32", "LSTRLENW"); }),
              err::CantFindDllEntryPoint);
    // A function declared with another signature cannot be called through this one.
    EXPECT_EQ(fakes::runtimeErrorOf([&] { functions.bind<os::RegCloseKey>("kernel32", "lstrlenW"); }),
              err::CantFindDllEntryPoint);
}

TEST(DeclaredFunctions, TextThatOneByteCannotHoldIsRefused)
{
    EXPECT_EQ(toDeclaredText(QString::fromUtf8("caf\xc3\xa9")), QByteArray("caf\xe9"));
    EXPECT_EQ(fakes::runtimeErrorOf([] { toDeclaredText(QString::fromUtf8("\xe2\x82\xac")); }),
              err::InvalidProcedureCall);
}

TEST(SystemFunctions, TheSystemsUserNameCrossesAsOneByteACharacter)
{
    struct Case {
        const char* name;
        std::optional<QByteArray> expected;
    };
    const Case cases[] = {
        {"ann", QByteArray("ann")},
        {"j\xc3\xbcrgen", QByteArray("j\xfcrgen")}, // UTF-8 from the system, not two characters
        {"\xe2\x82\xac", std::nullopt},             // beyond one byte: no name rather than a wrong one
        {"", std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(systemNameInCodePage(c.name), c.expected) << (c.name ? c.name : "null");
}

const char* kHive = R"(; a test hive
[HKEY_LOCAL_MACHINE\Software\Tools]
"Path"=sz:C:\Program Files\tool.exe
"Expand"=expand_sz:%ROOT%\x
@=sz:default
"Quote\"d"=sz:q
"Number"=dword:0000002A
"Raw"=hex(1):41,42
"Empty"=hex(1):
"Blob"=hex:de, ad
)";

TEST(Hive, ReadsEveryValueForm)
{
    QString error;
    const std::optional<Hive> hive = parseHive(QByteArray(kHive), &error);
    ASSERT_TRUE(hive) << error.toStdString();
    // Parents exist implicitly; nothing beside or below the named key does.
    EXPECT_TRUE(hive->contains("hkey_local_machine\\software"));
    EXPECT_TRUE(hive->contains("hkey_local_machine"));
    EXPECT_FALSE(hive->contains("hkey_local_machine\\soft"));
    EXPECT_FALSE(hive->contains("hkey_local_machine\\software\\tools\\x"));
    const auto& values = hive->keys.at("hkey_local_machine\\software\\tools");
    EXPECT_EQ(values.at("path"), (HiveValue{reg::REG_SZ, QByteArray("C:\\Program Files\\tool.exe", 25) + '\0'}));
    EXPECT_EQ(values.at("expand"), (HiveValue{reg::REG_EXPAND_SZ, QByteArray("%ROOT%\\x") + '\0'}));
    EXPECT_EQ(values.at(""), (HiveValue{reg::REG_SZ, QByteArray("default") + '\0'}));
    EXPECT_EQ(values.at("quote\"d"), (HiveValue{reg::REG_SZ, QByteArray("q") + '\0'}));
    EXPECT_EQ(values.at("number"), (HiveValue{reg::REG_DWORD, QByteArray("\x2a\0\0\0", 4)}));
    EXPECT_EQ(values.at("raw"), (HiveValue{reg::REG_SZ, QByteArray("AB")}));
    EXPECT_EQ(values.at("empty"), (HiveValue{reg::REG_SZ, QByteArray()}));
    EXPECT_EQ(values.at("blob"), (HiveValue{reg::REG_BINARY, QByteArray("\xde\xad")}));
}

TEST(Hive, ADeepKeyCostsItsLengthOnce)
{
    // Storing every parent of a 30,000-level key took 52 s and 1.3 GB for this 90 KB file.
    QByteArray path = "ab";
    for (int i = 1; i < 30000; ++i)
        path += "\\ab";
    const std::optional<Hive> hive = parseHive("[HKEY_LOCAL_MACHINE\\" + path + "]\n\"v\"=sz:deep\n");
    ASSERT_TRUE(hive);
    EXPECT_EQ(hive->keys.size(), 1u);
    Registry registry(*hive);
    std::int32_t parent = 0;
    std::int32_t key = 0;
    EXPECT_EQ(registry.openKey(reg::HKEY_LOCAL_MACHINE, "ab\\AB\\ab", reg::KEY_READ, parent), reg::Success);
    EXPECT_EQ(registry.openKey(parent, path.sliced(9), reg::KEY_READ, key), reg::Success);
    std::int32_t type = 0;
    QByteArray data(1024, '\0');
    std::int32_t size = 1024;
    EXPECT_EQ(registry.queryValue(key, "v", type, data, size), reg::Success);
    EXPECT_EQ(data.left(size), QByteArray("deep", 5));
}

TEST(Hive, RejectsMalformedFilesWhole)
{
    const char* bad[] = {
        "\"Orphan\"=sz:x\n",               // value before any key
        "[NOT_A_ROOT\\x]\n",               // unknown root
        "[HKEY_USERS\\x\n",                // unclosed header
        "[HKEY_USERS\\x]\n\"a\"=word:1\n", // unknown type
        "[HKEY_USERS\\x]\n\"a\"=dword:123456789\n",
        "[HKEY_USERS\\x]\n\"a\"=hex:4\n",
        "[HKEY_USERS\\x]\n\"a=sz:x\n",
        "[HKEY_USERS\\x]\nplain text\n",
    };
    for (const char* text : bad) {
        QString error;
        EXPECT_FALSE(parseHive(QByteArray(text), &error)) << text;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(Registry, OpensReadsAndClosesWithTheOriginalStatusCodes)
{
    Registry registry(*parseHive(QByteArray(kHive)));
    std::int32_t key = 0;
    EXPECT_EQ(registry.openKey(reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\TOOLS", reg::KEY_READ, key), reg::Success);
    EXPECT_NE(key, 0);

    std::int32_t type = 0;
    QByteArray data(1024, '\0');
    std::int32_t size = 1024;
    EXPECT_EQ(registry.queryValue(key, "PATH", type, data, size), reg::Success);
    EXPECT_EQ(type, reg::REG_SZ);
    EXPECT_EQ(size, 26);
    EXPECT_EQ(data.left(26), QByteArray("C:\\Program Files\\tool.exe", 26));

    size = 3;
    EXPECT_EQ(registry.queryValue(key, "Path", type, data, size), reg::MoreData);
    EXPECT_EQ(size, 26);
    size = 1024;
    EXPECT_EQ(registry.queryValue(key, "Missing", type, data, size), reg::NotFound);

    // Relative to an open key, too.
    std::int32_t child = 0;
    std::int32_t parent = 0;
    EXPECT_EQ(registry.openKey(reg::HKEY_LOCAL_MACHINE, "Software", reg::KEY_READ, parent), reg::Success);
    EXPECT_EQ(registry.openKey(parent, "Tools", reg::KEY_QUERY_VALUE, child), reg::Success);
    EXPECT_EQ(registry.openKeyCount(), 3u);

    std::int32_t unused = 0;
    EXPECT_EQ(registry.openKey(reg::HKEY_LOCAL_MACHINE, "Software\\Nothing", reg::KEY_READ, unused), reg::NotFound);
    EXPECT_EQ(registry.openKey(reg::HKEY_CURRENT_USER, "Software\\Tools", reg::KEY_READ, unused), reg::NotFound);
    // Nobody may change this registry: a request with write rights is refused.
    EXPECT_EQ(registry.openKey(reg::HKEY_LOCAL_MACHINE, "Software\\Tools", 0x2003F, unused), reg::AccessDenied);
    EXPECT_EQ(registry.openKey(12345, "Tools", reg::KEY_READ, unused), reg::InvalidHandle);

    EXPECT_EQ(registry.closeKey(key), reg::Success);
    EXPECT_EQ(registry.closeKey(key), reg::InvalidHandle);
    EXPECT_EQ(registry.closeKey(0), reg::InvalidHandle);
    EXPECT_EQ(registry.queryValue(key, "Path", type, data, size), reg::InvalidHandle);
    EXPECT_EQ(registry.closeKey(child), reg::Success);
    EXPECT_EQ(registry.closeKey(parent), reg::Success);
    EXPECT_EQ(registry.openKeyCount(), 0u);
}

// Anything but a readable, well-formed regular file is an empty registry, at
// once: a named pipe with no writer must not hold up start-up.
TEST(Registry, OnlyAWellFormedRegularFileIsRead)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray text;
    } files[] = {{"good.hive", "[HKEY_LOCAL_MACHINE\\Software]\n"},
                 {"broken.hive", "[HKEY_LOCAL_MACHINE\\Software]\ngarbage\n"}};
    for (const auto& f : files) {
        QFile file(dir.filePath(f.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(f.text);
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.hive")).constData(), 0600), 0);
    const struct {
        QString path;
        std::int32_t status;
    } cases[] = {{dir.filePath("good.hive"), reg::Success},
                 {dir.filePath("broken.hive"), reg::NotFound},
                 {dir.filePath("missing.hive"), reg::NotFound},
                 {dir.filePath("pipe.hive"), reg::NotFound},
                 {dir.path(), reg::NotFound},
                 {"/dev/zero", reg::NotFound},
                 {"", reg::NotFound}};
    for (const auto& c : cases) {
        std::int32_t key = 0;
        EXPECT_EQ(Registry::fromFile(c.path)->openKey(reg::HKEY_LOCAL_MACHINE, "Software", reg::KEY_READ, key),
                  c.status)
            << c.path.toStdString();
    }
}

void touch(const QString& path, bool executable = false)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

TEST(FileSearch, FindsPlainVisibleFilesWithoutRegardToCase)
{
    QTemporaryDir dir;
    touch(dir.filePath("MsInfo32.exe"));
    touch(dir.filePath(".hidden.exe"));
    QDir(dir.path()).mkdir("folder.exe");
    const QString windowsStyle = QString(dir.path()).replace('/', '\\');

    EXPECT_EQ(findFirstFile(dir.path() + "/MSINFO32.EXE"), "MsInfo32.exe");
    EXPECT_EQ(findFirstFile(windowsStyle + "\\MSINFO32.EXE"), "MsInfo32.exe");
    EXPECT_EQ(findFirstFile(dir.path() + "/*.exe"), "MsInfo32.exe");
    EXPECT_EQ(findFirstFile(dir.path() + "/.hidden.exe"), "");
    EXPECT_EQ(findFirstFile(dir.path() + "/folder.exe"), "");
    EXPECT_EQ(findFirstFile(dir.path() + "/nothing"), "");
    EXPECT_EQ(findFirstFile(""), "");
    EXPECT_EQ(findFirstFile("\\MSINFO32.EXE"), "");
}

TEST(FileSearch, WhatTheSearchFindsCanBeStartedByTheNameSearchedFor)
{
    QTemporaryDir dir;
    touch(dir.filePath("msinfo32.exe"), true);
    const QString searched = QString(dir.path()).replace('/', '\\') + "\\MSINFO32.EXE";
    EXPECT_EQ(findFirstFile(searched), "msinfo32.exe");
    const std::optional<ProgramInvocation> started = resolveCommandLine(searched);
    ASSERT_TRUE(started);
    EXPECT_EQ(started->program, dir.filePath("msinfo32.exe"));

    // The exact name wins over another that differs only in case.
    touch(dir.filePath("MSINFO32.EXE"), true);
    EXPECT_EQ(resolveCommandLine(searched)->program, dir.filePath("MSINFO32.EXE"));
    EXPECT_EQ(resolveNameCase(dir.filePath("Msinfo32.Exe")), dir.filePath("MSINFO32.EXE"));
    EXPECT_EQ(resolveNameCase(dir.filePath("nothing")), "");
}

TEST(ProgramStarter, SplitsCommandLinesWithoutAShell)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Program Files");
    const QString tool = dir.filePath("Program Files/tool");
    touch(tool, true);
    touch(dir.filePath("plain")); // not executable
    const QString windowsTool = QString(tool).replace('/', '\\');

    struct Case {
        QString line;
        std::optional<ProgramInvocation> expected;
    };
    const Case cases[] = {
        {tool, ProgramInvocation{tool, {}}},
        {windowsTool, ProgramInvocation{tool, {}}},
        {tool + " -a  \"b c\" $(rm -rf x);", ProgramInvocation{tool, {"-a", "b c", "$(rm", "-rf", "x);"}}},
        {"\"" + tool + "\" x", ProgramInvocation{tool, {"x"}}},
        {dir.filePath("plain"), std::nullopt},
        {dir.filePath("missing"), std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<ProgramInvocation> got = resolveCommandLine(c.line);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.line.toStdString();
        if (got) {
            EXPECT_EQ(got->program, c.expected->program);
            EXPECT_EQ(got->arguments, c.expected->arguments);
        }
    }
    EXPECT_TRUE(resolveCommandLine("sh -c true")); // found on the search path
}

TEST(ProgramStarter, TheLongestLeadingRunThatNamesAProgramWins)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("my tools");
    const QString planted = dir.filePath("my");
    const QString tool = dir.filePath("my tools/MSINFO32.EXE");
    touch(planted, true);
    touch(tool, true);
    const QString line = QString(dir.filePath("my tools")).replace('/', '\\') + "\\MSINFO32.EXE";

    const std::optional<ProgramInvocation> whole = resolveCommandLine(line);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->program, tool);
    EXPECT_EQ(whole->arguments, QStringList());
    const std::optional<ProgramInvocation> withArgument = resolveCommandLine(line + " /report x");
    ASSERT_TRUE(withArgument);
    EXPECT_EQ(withArgument->program, tool);
    EXPECT_EQ(withArgument->arguments, QStringList({"/report", "x"}));

    // Without the full path, a shorter run is still a program.
    QFile::remove(tool);
    const std::optional<ProgramInvocation> shorter = resolveCommandLine(line);
    ASSERT_TRUE(shorter);
    EXPECT_EQ(shorter->program, planted);
    EXPECT_EQ(shorter->arguments, QStringList({"tools\\MSINFO32.EXE"}));
}

TEST(ProgramStarter, AProgramThatCannotBeStartedRaises)
{
    QTemporaryDir dir;
    ProcessStarter starter;
    EXPECT_EQ(fakes::runtimeErrorOf([&] { starter.start(dir.filePath("missing"), kNormalFocus); }), err::FileNotFound);
    EXPECT_EQ(fakes::runtimeErrorOf([&] { starter.start("", kNormalFocus); }), err::InvalidProcedureCall);
}

} // namespace
