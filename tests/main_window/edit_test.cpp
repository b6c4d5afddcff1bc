#include "main_window/chart_ids.h"
#include "platform/picture.h"
#include "tests/support/fake_clipboard.h"
#include "tests/support/plotwright_access.h"

#include <gtest/gtest.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using fakes::FakeClipboard;
using platform::InvokeKind;
using platform::Variant;
using Op = FakeClipboard::Operation;

// An About window that records what it is told, in order.
class FakeAbout final : public AboutForm {
public:
    void setTitle(const QString& text) override { log.push_back("Title=" + text); }
    void setVersion(const QString& text) override { log.push_back("Version=" + text); }
    void setCopyright(const QString& text) override { log.push_back("Copyright=" + text); }
    void showModeless() override { log.push_back("show"); }
    QStringList log;
};

struct EditFixture : fakes::WindowFixture {
    explicit EditFixture(const Deliverable& deliverable = kPlotwright700) : WindowFixture(deliverable)
    {
        services.clipboard = &clipboard;
        loadWindow();
    }
    FakeClipboard clipboard;
};

std::shared_ptr<platform::Picture> chartPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return std::make_shared<platform::Picture>(image);
}

TEST(EditMenu, CopyImageClearsBeforeAskingForThePictureAndLeavesTheBitmapAlone)
{
    EditFixture f;
    f.clipboard.setText("left by Copy Customizing");
    std::vector<std::size_t> chartCallsAtOperation;
    f.clipboard.onOperation = [&](const Op&) { chartCallsAtOperation.push_back(f.chart->calls().size()); };
    f.chart->answer(chart::ChartPicture, Variant(chartPicture(320, 200)));

    Access::guarded(*f.window, [&] { Access::mnuEditCopyImage_Click(*f.window); });

    EXPECT_TRUE(f.messageBox.shown().empty());
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::ChartPicture, InvokeKind::PropertyGet, {}}}));
    EXPECT_EQ(f.clipboard.operations(), (std::vector<Op>{{Op::Kind::SetText, "left by Copy Customizing", 0, {}},
                                                         {Op::Kind::Clear, {}, 0, {}},
                                                         {Op::Kind::SetData, {}, 2, QSize(320, 200)}}));
    EXPECT_EQ(chartCallsAtOperation, (std::vector<std::size_t>{0, 1}));
    EXPECT_FALSE(f.clipboard.text());
    ASSERT_TRUE(f.clipboard.image());
    EXPECT_EQ(f.clipboard.image()->pixelColor(10, 10), QColor(Qt::darkCyan));
}

TEST(EditMenu, CopyImageWithoutAPictureLeavesTheClipboardEmptyAndShowsOneError)
{
    struct Case {
        const char* name;
        std::function<void(fakes::FakeDispatch&)> script;
        int error;
    };
    const Case cases[] = {
        {"control fails", [](fakes::FakeDispatch& c) { c.fail(chart::ChartPicture, 5); }, 5},
        {"nothing returned", [](fakes::FakeDispatch& c) { c.answer(chart::ChartPicture, Variant()); }, 13},
        {"text returned", [](fakes::FakeDispatch& c) { c.answer(chart::ChartPicture, Variant("picture")); }, 13},
        {"empty picture",
         [](fakes::FakeDispatch& c) {
             c.answer(chart::ChartPicture, Variant(std::make_shared<platform::Picture>(QImage())));
         },
         380},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditFixture f;
        f.clipboard.setText("stale");
        c.script(*f.chart);

        Access::guarded(*f.window, [&] { Access::mnuEditCopyImage_Click(*f.window); });

        ASSERT_EQ(f.messageBox.shown().size(), 1u);
        EXPECT_TRUE(f.messageBox.shown()[0].startsWith(QStringLiteral("Run-time error '%1':").arg(c.error)))
            << f.messageBox.shown()[0].toStdString();
        EXPECT_EQ(f.clipboard.operations().back().kind, Op::Kind::Clear);
        EXPECT_FALSE(f.clipboard.text());
        EXPECT_FALSE(f.clipboard.image());
    }
}

TEST(EditMenu, CopyCustomizingFetchesWithTheDeliverablesArgumentAndDoesNotClear)
{
    struct Case {
        const Deliverable& deliverable;
        std::vector<Variant> fetchArgs;
    };
    const Case cases[] = {{kPlotwright700, {}}, {kPlotwright640, {Variant(true)}}};
    // Passed on exactly as returned: blanks, line breaks and characters beyond ASCII.
    const QString xml = QStringLiteral("<?xml version=\"1.0\"?>\r\n<Customizing Name=\"Caf\u00E9\"/>\r\n  ");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deliverable.caption);
        EditFixture f(c.deliverable);
        f.clipboard.setData(*chartPicture(8, 8), 2);
        f.chart->answer(chart::GetCustomizingXml, Variant(xml));

        Access::guarded(*f.window, [&] { Access::mnuEditCopyCustomizing_Click(*f.window); });

        EXPECT_TRUE(f.messageBox.shown().empty());
        EXPECT_EQ(f.chart->calls(),
                  (std::vector<Call>{{chart::GetCustomizingXml, InvokeKind::PropertyGet, c.fetchArgs}}));
        EXPECT_EQ(f.clipboard.operations().size(), 2u);
        EXPECT_EQ(f.clipboard.operations().back(), (Op{Op::Kind::SetText, xml, 0, {}}));
        EXPECT_TRUE(f.clipboard.image()) << "the bitmap put there before stays";
    }
}

TEST(EditMenu, CopyDataPutsTheDataTextAndAFailingFetchLeavesTheClipboardAlone)
{
    EditFixture f;
    f.chart->answer(chart::DataText, Variant("<Data/>")).fail(chart::DataText, 438);

    Access::CopyDataToClipboard(*f.window);
    EXPECT_EQ(f.chart->calls(), (std::vector<Call>{{chart::DataText, InvokeKind::PropertyGet, {}}}));
    EXPECT_EQ(f.clipboard.operations(), (std::vector<Op>{{Op::Kind::SetText, "<Data/>", 0, {}}}));

    Access::guarded(*f.window, [&] { Access::CopyDataToClipboard(*f.window); });
    EXPECT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_EQ(f.clipboard.operations().size(), 1u);
    EXPECT_EQ(f.clipboard.text(), "<Data/>");
}

TEST(HelpAbout, FillsTheOneAboutWindowReadingTheVersionEachTime)
{
    for (const Deliverable* deliverable : {&kPlotwright700, &kPlotwright640}) {
        SCOPED_TRACE(deliverable->caption);
        EditFixture f(*deliverable);
        FakeAbout about;
        int loads = 0;
        f.window->setShellLinks({[&]() -> AboutForm& {
                                     ++loads;
                                     return about;
                                 },
                                 {}});
        f.chart->answer(chart::GetAttribute, Variant("7.00.1")).answer(chart::GetAttribute, Variant("7.00.2"));

        Access::guarded(*f.window, [&] { Access::mnuHelpAbout_Click(*f.window); });
        Access::guarded(*f.window, [&] { Access::mnuHelpAbout_Click(*f.window); });

        EXPECT_TRUE(f.messageBox.shown().empty());
        EXPECT_EQ(loads, 2);
        const QString title = "Title=" + QString::fromLatin1(deliverable->caption);
        const QString copyright = QStringLiteral("Copyright=\u00A9 2026 Plotwright");
        EXPECT_EQ(about.log, QStringList({title, "Version=7.00.1", copyright, "show", title, "Version=7.00.2",
                                          copyright, "show"}));
        const Call version{chart::GetAttribute, InvokeKind::PropertyGet, {Variant("Control"), Variant("Version")}};
        EXPECT_EQ(f.chart->calls(), (std::vector<Call>{version, version}));
    }
}

TEST(HelpAbout, FailuresEndTheCommandBeforeTheWindowIsShown)
{
    EditFixture f;
    Access::guarded(*f.window, [&] { Access::mnuHelpAbout_Click(*f.window); });
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].startsWith("Run-time error '91':"));

    FakeAbout about;
    f.window->setShellLinks({[&]() -> AboutForm& { return about; }, {}});
    f.chart->fail(chart::GetAttribute, 5);
    Access::guarded(*f.window, [&] { Access::mnuHelpAbout_Click(*f.window); });
    EXPECT_EQ(f.messageBox.shown().size(), 2u);
    EXPECT_EQ(about.log, QStringList({"Title=Quarnel Plotwright 7.00"}));
}

} // namespace
