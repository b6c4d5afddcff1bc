#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/xml/xml_text.h"

#include "platform/runtime_error.h"
#include "tests/support/runtime_errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

class InputBoundsTest : public ::testing::Test {
protected:
    vizorb::VizorbControl control{QStringLiteral("7.00")};
};

// What is not a regular file is never opened: a pipe would block start-up, a
// device never end.
TEST_F(InputBoundsTest, OnlyARegularFileIsReadAsTheTemplate)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.tpl")));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.tpl"))).constData(), 0600), 0);
    for (const char* name : {"folder.tpl", "pipe.tpl", "/dev/zero"}) {
        control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant("before")});
        control.put(id::TemplateFile, Variant(name));
        EXPECT_EQ(control.get(id::GetAttribute, {Variant("Title"), Variant("Caption")}), Variant("")) << name;
        EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("not a regular file"))) << name;
    }
    QDir::setCurrent(old);
}

TEST_F(InputBoundsTest, OverlongTextsAndMarkupInFontFamiliesAreRefused)
{
    const QString huge(vizorb::kMaxXmlText + 1, QLatin1Char(' '));
    for (auto [member, limit] :
         {std::pair(id::LoadDataXml, "at most 134217728"), std::pair(id::LoadCustomizingXml, "at most 33554432")}) {
        EXPECT_EQ(control.get(member, {Variant(huge)}), Variant(false));
        EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String(limit)));
    }
    // Beyond long plain number lists, a data text is what the XML reader reads.
    const QString text =
        QStringLiteral("<ChartData><Series>%1</Series></ChartData>").arg(QStringLiteral("&#49;;").repeated(6'000'000));
    EXPECT_EQ(control.get(id::LoadDataXml, {Variant(text)}), Variant(false));
    EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("at most 33554432")));
    EXPECT_EQ(control.get(id::SetAttribute, {Variant("Title"), Variant("FontFamily"), Variant("<b>Sans</b>")}),
              Variant(false));
    EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("must be a font family name")));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Title"), Variant("FontFamily")}), Variant(""));
}

// Address space in use now, in bytes.
rlim_t addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
}

// Loads a list whose values need 32 MB under a ceiling that leaves 16 MB, and
// ends the process with the run-time error's number.
[[noreturn]] void loadBeyondTheMemoryLeft()
{
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    const QString text = QStringLiteral("<ChartData><X>%1</X></ChartData>")
                             .arg(QStringLiteral("0;").repeated(4'000'000) + QLatin1Char('0'));
    const rlimit limit{addressSpaceInUse() + 16 * 1024 * 1024, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
    std::_Exit(fakes::runtimeErrorOf([&] { control.call(id::LoadDataXml, {Variant(text)}); }));
}

TEST(InputBoundsDeathTest, RunningOutOfMemoryIsRunTimeError7)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer ends the process itself when memory runs out";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(loadBeyondTheMemoryLeft(), ::testing::ExitedWithCode(platform::err::OutOfMemory), "");
}

} // namespace
