#include "shell/winapi.h"
#include "shell_fixture.h"
#include "tests/support/runtime_errors.h"

#include <gtest/gtest.h>

namespace {

using shelltest::ShellFixture;

TEST(WinAPI, GetLogonUserNameFitsNinetyNineCharactersAndItsNul)
{
    struct Case {
        std::optional<QByteArray> user;
        QString expected;
    };
    const Case cases[] = {
        {QByteArray("ann"), "ann"},
        {QByteArray(99, 'u'), QString(99, 'u')},
        {QByteArray(100, 'u'), ""},
        {QByteArray(250, 'u'), ""},
        {QByteArray("J\xf6rg"), QString::fromUtf8("J\xc3\xb6rg")}, // one byte a character, both ways
        {std::nullopt, ""},
    };
    for (const Case& c : cases) {
        ShellFixture f({}, c.user);
        EXPECT_EQ(WinAPI::GetLogonUserName(f.os), c.expected) << c.expected.size();
    }
}

TEST(WinAPI, TrimAtNullCutsAtTheFirstNul)
{
    ShellFixture f;
    EXPECT_EQ(WinAPI::TrimAtNull(f.os, QString::fromUtf16(u"abc\0def", 7)), "abc");
    EXPECT_EQ(WinAPI::TrimAtNull(f.os, "abc"), "abc");
    EXPECT_EQ(WinAPI::TrimAtNull(f.os, ""), "");
    EXPECT_EQ(WinAPI::TrimAtNull(f.os, QString()), "");
    EXPECT_EQ(WinAPI::TrimAtNull(f.os, QString(1, QChar(0))), "");
}

TEST(WinAPI, ShowHelpOpensTheHelpFileAtItsDefaultTopicWhateverTheTopic)
{
    ShellFixture f;
    WinAPI::ShowHelp(f.os, "Content");
    WinAPI::ShowHelp(f.os, "");
    const shelltest::HelpCall expected{0, "PlotwrightEN.chm", 0, 0};
    EXPECT_EQ(f.helpCalls, (std::vector<shelltest::HelpCall>{expected, expected}));
}

TEST(WinAPI, AMissingLibraryOrFunctionFailsAtTheCall)
{
    platform::OsFunctions none;
    EXPECT_EQ(fakes::runtimeErrorOf([&] { WinAPI::GetLogonUserName(none); }), platform::err::ErrorInLoadingDll);
    EXPECT_EQ(fakes::runtimeErrorOf([&] { WinAPI::TrimAtNull(none, "x"); }), platform::err::ErrorInLoadingDll);
    EXPECT_EQ(fakes::runtimeErrorOf([&] { WinAPI::ShowHelp(none, ""); }), platform::err::ErrorInLoadingDll);

    platform::OsFunctions partial;
    partial.define("mpr", "WNetGetUserW", platform::wnetGetUser([] { return QByteArray("x"); }));
    EXPECT_EQ(fakes::runtimeErrorOf([&] { WinAPI::GetLogonUserName(partial); }), platform::err::CantFindDllEntryPoint);
    // The name was had, but trimming it needs kernel32.
    partial.define("Mpr", "WNetGetUserA", platform::wnetGetUser([] { return QByteArray("x"); }));
    EXPECT_EQ(fakes::runtimeErrorOf([&] { WinAPI::GetLogonUserName(partial); }), platform::err::ErrorInLoadingDll);
}

} // namespace
