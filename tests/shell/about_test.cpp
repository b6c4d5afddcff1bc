#include "main_window/program_icon.h"
#include "platform/twips.h"
#include "shell/about.h"
#include "shell_fixture.h"
#include "tests/support/plotwright_access.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

class AboutTestAccess {
public:
    static QLabel& label(About& a, const char* name) { return *a.findChild<QLabel*>(name); }
    static QPushButton& button(About& a, const char* name) { return *a.findChild<QPushButton*>(name); }
    static void activate(About& a)
    {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&a, &event);
    }
};

namespace {

using Access = AboutTestAccess;
using shelltest::ShellFixture;
constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

TEST(About, ActivationCopiesTheFieldsAndOnlyActivationDoes)
{
    ShellFixture f;
    About& about = f.forms.about();
    Access::activate(about);
    EXPECT_EQ(about.windowTitle(), "About ");
    EXPECT_EQ(Access::label(about, "lblVersion").text(), "Control Version ");
    EXPECT_EQ(Access::label(about, "lblTitle").text(), "");
    EXPECT_EQ(Access::label(about, "lblCopyright").text(), "");

    about.setTitle("Quarnel Plotwright 7.00");
    about.setVersion("7.0");
    about.setCopyright("Copyright line");
    EXPECT_EQ(Access::label(about, "lblTitle").text(), ""); // not before the next activation
    Access::activate(about);
    EXPECT_EQ(about.windowTitle(), "About Quarnel Plotwright 7.00");
    EXPECT_EQ(Access::label(about, "lblVersion").text(), "Control Version 7.0");
    EXPECT_EQ(Access::label(about, "lblTitle").text(), "Quarnel Plotwright 7.00");
    EXPECT_EQ(Access::label(about, "lblCopyright").text(), "Copyright line");
}

TEST(About, LabelsShowTheTextsAsTheyAre)
{
    ShellFixture f;
    About& about = f.forms.about();
    const QString text = "<Title> <b>x</b> &amp; &lt;b&gt;";
    about.setTitle(text);
    about.setVersion(text);
    about.setCopyright(text);
    Access::activate(about);
    for (const char* name : {"lblTitle", "lblVersion", "lblCopyright"}) {
        QLabel& label = Access::label(about, name);
        EXPECT_TRUE(label.text().endsWith(text)) << name;
        EXPECT_EQ(label.textFormat(), Qt::PlainText) << name;
    }
}

TEST(About, TheCopyrightLineFitsOnOneLineOfItsLabel)
{
    ShellFixture f;
    PlotwrightTestAccess::mnuHelpAbout_Click(f.forms.plotwright());
    About& about = f.forms.about();
    Access::activate(about);
    const QLabel& label = Access::label(about, "lblCopyright");
    ASSERT_FALSE(label.text().isEmpty());
    EXPECT_EQ(label.width(), platform::twipsToPixels(2085));
    EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(label.text()), label.width()) << label.text().toStdString();
}

TEST(About, OkEnterEscAndTheCloseBoxUnloadIt)
{
    const std::vector<std::pair<const char*, std::function<void(About&)>>> ways = {
        {"OK", [](About& a) { QTest::mouseClick(&Access::button(a, "cmdOK"), Qt::LeftButton); }},
        {"Enter", [](About& a) { QTest::keyClick(&a, Qt::Key_Return); }},
        {"Esc", [](About& a) { QTest::keyClick(&a, Qt::Key_Escape); }},
        {"close box", [](About& a) { a.close(); }},
    };
    for (const auto& [name, close] : ways) {
        ShellFixture f;
        f.forms.about().setTitle("old");
        f.forms.about().showModeless();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.forms.about()));
        close(f.forms.about());
        ShellFixture::processDeletes();
        EXPECT_FALSE(f.forms.aboutLoaded()) << name;
        // Loaded afresh on the next reference.
        EXPECT_EQ(f.forms.about().Title, "") << name;
        EXPECT_TRUE(f.starter.started.isEmpty());
    }
}

TEST(About, IconBoxTakesTheIconsSizeInBothDeliverables)
{
    EXPECT_EQ(programIcon().availableSizes(), (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
    for (const Deliverable* deliverable : {&kPlotwright700, &kPlotwright640}) {
        ShellFixture f;
        About about(*deliverable, f.services);
        QLabel& icon = Access::label(about, "picIcon");
        EXPECT_EQ(icon.geometry(), QRect(16, 16, 32, 32));
        EXPECT_EQ(icon.pixmap().size(), QSize(32, 32));
        EXPECT_FALSE(about.windowIcon().isNull());
    }
}

// A folder holding MSINFO32.EXE, for the second lookup.
struct ToolFolder {
    ToolFolder()
    {
        QDir(dir.path()).mkdir("tools");
        QFile file(dir.filePath("tools/MSINFO32.EXE"));
        if (file.open(QIODevice::WriteOnly))
            file.write("x");
        QDir(dir.path()).mkdir("empty");
    }
    QString folder(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST(About, StartSysInfoFindsTheToolOrSaysItIsUnavailable)
{
    ToolFolder tools;
    const QByteArray location = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n\"MSINFO\"=sz:" +
                                tools.folder("tools").toLatin1() + "\n";
    const QByteArray emptyLocation =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location]\n\"MSINFO\"=sz:" +
        tools.folder("empty").toLatin1() + "\n";
    const QByteArray key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n";
    const QString fromFolder = tools.folder("tools") + "\\MSINFO32.EXE";
    struct Case {
        const char* name;
        QByteArray hive;
        std::optional<int> startFails;
        QStringList started;
        bool message;
    };
    const Case cases[] = {
        {"path as read, untested",
         key + "\"PATH\"=sz:/no/such/msinfo32\n" + location,
         platform::err::FileNotFound,
         {"/no/such/msinfo32"},
         true},
        {"path that starts",
         key + "\"PATH\"=sz:C:\\Tools\\MSINFO32.EXE\n" + location,
         std::nullopt,
         {"C:\\Tools\\MSINFO32.EXE"},
         false},
        {"empty path", key + "\"PATH\"=sz:\n" + location, platform::err::InvalidProcedureCall, {""}, true},
        {"path with no data", key + "\"PATH\"=hex(1):\n" + location, std::nullopt, {}, true},
        {"path of 1023 characters fits",
         key + "\"PATH\"=sz:" + QByteArray(1023, 'p') + "\n" + location,
         std::nullopt,
         {QString(1023, 'p')},
         false},
        {"path over 1024 bytes counts as missing",
         key + "\"PATH\"=sz:" + QByteArray(1024, 'p') + "\n" + location,
         std::nullopt,
         {fromFolder},
         false},
        {"path of another type",
         key + "\"PATH\"=expand_sz:%SystemRoot%\\msinfo32.exe\n" + location,
         platform::err::InvalidProcedureCall,
         {""},
         true},
        {"folder with the tool", key + location, std::nullopt, {fromFolder}, false},
        {"folder without the tool", key + emptyLocation, std::nullopt, {}, true},
        {"neither value", key, std::nullopt, {}, true},
        {"no registry at all", {}, std::nullopt, {}, true},
    };
    for (const Case& c : cases) {
        ShellFixture f(c.hive);
        f.starter.failWith = c.startFails;
        f.forms.about().StartSysInfo();
        EXPECT_EQ(f.starter.started, c.started) << c.name;
        EXPECT_EQ(f.starter.styles, QList<int>(c.started.size(), 1)) << c.name;
        EXPECT_EQ(f.messageBox.shown(), c.message ? std::vector<QString>{kUnavailable} : std::vector<QString>{})
            << c.name;
        EXPECT_EQ(f.registry->openKeyCount(), 0u) << c.name; // every key opened is closed again
        EXPECT_TRUE(f.forms.aboutLoaded()) << c.name;
    }
}

TEST(About, SystemInfoButtonStartsTheTool)
{
    ShellFixture f("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n\"PATH\"=sz:/usr/bin/tool\n");
    QTest::mouseClick(&Access::button(f.forms.about(), "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(f.starter.started, QStringList{"/usr/bin/tool"});
    EXPECT_TRUE(f.messageBox.shown().empty());
}

TEST(About, GetKeyValueTrimsAndConvertsByType)
{
    const QByteArray hive = "[HKEY_LOCAL_MACHINE\\Software\\Test]\n"
                            "\"Sz\"=sz:text\n"
                            "\"NoNul\"=hex(1):41,42\n"
                            "\"Latin\"=hex(1):4a,f6,00\n"
                            "\"Inner\"=hex(1):61,00,62,00\n"
                            "\"Dword\"=dword:0000002a\n"
                            "\"Big\"=dword:ffffffff\n"
                            "\"Zero\"=dword:0\n"
                            "\"Hundred\"=dword:00000100\n"
                            "\"Expand\"=expand_sz:x\n"
                            "\"Binary\"=hex:01,02\n";
    struct Case {
        const char* value;
        bool found;
        QString keyVal;
    };
    const Case cases[] = {
        {"Sz", true, "text"},
        {"NoNul", true, "AB"}, // stored without NUL: keeps its last character
        {"Latin", true, QString::fromUtf8("J\xc3\xb6")},
        {"Inner", true, QString::fromUtf16(u"a\0b", 3)}, // only the final NUL goes
        {"Dword", true, "42"},
        {"Big", true, "4294967295"},
        {"Zero", true, "0"},
        {"Hundred", true, "256"},
        {"Expand", true, "passed in"}, // other types leave KeyVal alone
        {"Binary", true, "passed in"},
        {"Missing", false, ""},
    };
    for (const Case& c : cases) {
        ShellFixture f(hive);
        QString keyVal = "passed in";
        EXPECT_EQ(f.forms.about().GetKeyValue(platform::reg::HKEY_LOCAL_MACHINE, "Software\\Test", c.value, keyVal),
                  c.found)
            << c.value;
        EXPECT_EQ(keyVal, c.keyVal) << c.value;
        EXPECT_EQ(f.closedKeys.size(), 1u) << c.value;
        EXPECT_EQ(f.registry->openKeyCount(), 0u) << c.value;
    }
}

TEST(About, GetKeyValueClosesHandleZeroAfterAFailedOpen)
{
    ShellFixture f("[HKEY_LOCAL_MACHINE\\Software]\n");
    QString keyVal = "passed in";
    EXPECT_FALSE(f.forms.about().GetKeyValue(platform::reg::HKEY_LOCAL_MACHINE, "Software\\Missing", "x", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_EQ(f.closedKeys, std::vector<std::int32_t>{0});
}

TEST(About, GetKeyValuePassesTheNoDataErrorOnWithTheKeyClosed)
{
    ShellFixture f("[HKEY_LOCAL_MACHINE\\Software]\n\"Empty\"=hex(1):\n");
    QString keyVal = "passed in";
    try {
        f.forms.about().GetKeyValue(platform::reg::HKEY_LOCAL_MACHINE, "Software", "Empty", keyVal);
        ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number(), platform::err::InvalidProcedureCall);
    }
    EXPECT_EQ(keyVal, "passed in");
    EXPECT_EQ(f.registry->openKeyCount(), 0u);
}

TEST(About, AKeyReadableButNotWritableStillFindsTheTool)
{
    // The registry refuses write rights to everyone; the lookup asks only to read.
    ShellFixture f("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n\"PATH\"=sz:/usr/bin/tool\n");
    std::int32_t key = 0;
    EXPECT_EQ(f.registry->openKey(platform::reg::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                  0x2003F, key),
              platform::reg::AccessDenied);
    f.forms.about().StartSysInfo();
    EXPECT_EQ(f.starter.started, QStringList{"/usr/bin/tool"});
    EXPECT_TRUE(f.messageBox.shown().empty());
}

} // namespace
