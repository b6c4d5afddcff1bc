#include "main_window/chart_ids.h"
#include "tests/support/plotwright_access.h"

#include <gtest/gtest.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using fakes::FakeDispatch;
using platform::InvokeKind;
using platform::Variant;

Call put(platform::DispId id, Variant value)
{
    return {id, InvokeKind::PropertyPut, {std::move(value)}};
}
Call read(platform::DispId id)
{
    return {id, InvokeKind::PropertyGet, {}};
}
Call setAttribute(const char* path, const char* attribute, const char* value)
{
    return {chart::SetAttribute, InvokeKind::Method, {Variant(path), Variant(attribute), Variant(value)}};
}

const char* const kAxisPaths[] = {"CategoryAxis.Title",   "CategoryAxis.Unit", "CategoryAxisSec.Title",
                                  "CategoryAxisSec.Unit", "ValueAxis.Title",   "ValueAxis.Unit",
                                  "ValueAxisSec.Title",   "ValueAxisSec.Unit"};

struct Checks {
    bool mode12, mode9, mode11;
    friend bool operator==(const Checks&, const Checks&) = default;
};

void PrintTo(const Checks& c, std::ostream* os)
{
    *os << "{Mode12 " << c.mode12 << ", Mode9 " << c.mode9 << ", Mode11 " << c.mode11 << "}";
}

Checks checksOf(Plotwright& w)
{
    return {Access::mode12Checked(w), Access::mode9Checked(w), Access::mode11Checked(w)};
}

void setChecks(Plotwright& w, Checks checks)
{
    Access::mode12Checked(w) = checks.mode12;
    Access::mode9Checked(w) = checks.mode9;
    Access::mode11Checked(w) = checks.mode11;
}

TEST(DeveloperCommands, ModeTogglesSendTheirCallsInOrderAndKeepTheChecks)
{
    struct Case {
        const char* name;
        void (*operation)(Plotwright&);
        Checks before;
        std::function<void(FakeDispatch&)> script;
        std::vector<Call> calls;
        Checks after;
        int error = 0; // the run-time error that ends the operation
    };
    // The fake answers each call of an identifier in turn, puts included.
    const Case cases[] = {
        {"ToggleMode9 with Mode9 on: only Mode9 is switched off",
         Access::ToggleMode9,
         {false, true, true},
         [](FakeDispatch& c) {
             c.answer(chart::Mode9, Variant(true)).answer(chart::Mode9, {}).answer(chart::Mode9, Variant(false));
         },
         {read(chart::Mode9), put(chart::Mode9, Variant(false)), read(chart::Mode9)},
         {false, false, true}},
        {"ToggleMode9: the check shows what the control reports",
         Access::ToggleMode9,
         {false, false, false},
         [](FakeDispatch& c) {
             c.answer(chart::Mode9, Variant(true)).answer(chart::Mode9, {}).answer(chart::Mode9, Variant(true));
         },
         {read(chart::Mode9), put(chart::Mode9, Variant(false)), read(chart::Mode9)},
         {false, true, false}},
        {"ToggleMode9 with Mode9 off: Mode11 off, then Mode9 on",
         Access::ToggleMode9,
         {true, false, true},
         [](FakeDispatch& c) {
             c.answer(chart::Mode9, Variant(false)).answer(chart::Mode9, {}).answer(chart::Mode9, Variant(true));
         },
         {read(chart::Mode9), put(chart::Mode11, Variant(false)), put(chart::Mode9, Variant(true)), read(chart::Mode9)},
         {true, true, false}},
        {"ToggleMode9: any non-zero value is on",
         Access::ToggleMode9,
         {false, false, false},
         [](FakeDispatch& c) {
             c.answer(chart::Mode9, Variant(std::int32_t(1)))
                 .answer(chart::Mode9, {})
                 .answer(chart::Mode9, Variant(std::int16_t(0)));
         },
         {read(chart::Mode9), put(chart::Mode9, Variant(false)), read(chart::Mode9)},
         {false, false, false}},
        {"ToggleMode9: Mode11's check is cleared before Mode9 is written",
         Access::ToggleMode9,
         {false, true, true},
         [](FakeDispatch& c) { c.answer(chart::Mode9, Variant(false)).fail(chart::Mode9, 5); },
         {read(chart::Mode9), put(chart::Mode11, Variant(false)), put(chart::Mode9, Variant(true))},
         {false, true, false},
         5},
        {"ToggleMode11 clear: Mode11 on, then Mode9 off",
         Access::ToggleMode11,
         {false, true, false},
         [](FakeDispatch& c) { c.answer(chart::Mode9, Variant()).answer(chart::Mode9, Variant(false)); },
         {put(chart::Mode11, Variant(true)), put(chart::Mode9, Variant(false)), read(chart::Mode9)},
         {false, false, true}},
        {"ToggleMode11 clear: its check is set only after Mode9 is written",
         Access::ToggleMode11,
         {false, true, false},
         [](FakeDispatch& c) { c.fail(chart::Mode9, 5); },
         {put(chart::Mode11, Variant(true)), put(chart::Mode9, Variant(false))},
         {false, true, false},
         5},
        {"ToggleMode11 set: only Mode11 is written; Mode9's check still refreshed",
         Access::ToggleMode11,
         {true, false, true},
         [](FakeDispatch& c) { c.answer(chart::Mode9, Variant(true)); },
         {put(chart::Mode11, Variant(false)), read(chart::Mode9)},
         {true, true, false}},
        {"ToggleMode12: the check flips before the write",
         Access::ToggleMode12,
         {false, false, false},
         [](FakeDispatch& c) { c.fail(chart::Mode12, 438); },
         {put(chart::Mode12, Variant(true))},
         {true, false, false},
         438},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::WindowFixture f;
        f.loadWindow();
        setChecks(*f.window, c.before);
        c.script(*f.chart);

        Access::guarded(*f.window, [&] { c.operation(*f.window); });

        EXPECT_EQ(f.chart->calls(), c.calls);
        EXPECT_EQ(checksOf(*f.window), c.after);
        if (c.error) {
            ASSERT_EQ(f.messageBox.shown().size(), 1u);
            EXPECT_TRUE(f.messageBox.shown()[0].startsWith(QStringLiteral("Run-time error '%1':").arg(c.error)));
        } else {
            EXPECT_TRUE(f.messageBox.shown().empty());
        }
    }
}

TEST(DeveloperCommands, ToggleMode12TwiceSendsOppositeValuesAndEndsWhereItBegan)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Access::ToggleMode12(*f.window);
    Access::ToggleMode12(*f.window);
    EXPECT_EQ(f.chart->calls(),
              (std::vector<Call>{put(chart::Mode12, Variant(true)), put(chart::Mode12, Variant(false))}));
    EXPECT_FALSE(Access::mode12Checked(*f.window));
}

TEST(DeveloperCommands, SetAxisTitlesBracketsTheEightCaptionsWithUpdateEnabled)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Access::SetAxisTitles(*f.window);
    std::vector<Call> expected{put(chart::UpdateEnabled, Variant(false))};
    for (const char* path : kAxisPaths)
        expected.push_back(setAttribute(path, "Caption", path));
    expected.push_back(put(chart::UpdateEnabled, Variant(true)));
    EXPECT_EQ(f.chart->calls(), expected);
}

TEST(DeveloperCommands, SetAxisTitlesFailingAtTheFourthPathLeavesUpdatesOff)
{
    fakes::WindowFixture f;
    f.loadWindow();
    f.chart->answer(chart::SetAttribute, {}).answer(chart::SetAttribute, {}).answer(chart::SetAttribute, {});
    f.chart->fail(chart::SetAttribute, 5);

    Access::guarded(*f.window, [&] { Access::SetAxisTitles(*f.window); });

    EXPECT_EQ(f.messageBox.shown().size(), 1u);
    std::vector<Call> expected{put(chart::UpdateEnabled, Variant(false))};
    for (const char* path : std::span(kAxisPaths).first(4))
        expected.push_back(setAttribute(path, "Caption", path));
    EXPECT_EQ(f.chart->calls(), expected);
}

TEST(DeveloperCommands, ListAxisTitlesAppendsEightLinesAndKeepsTheSelection)
{
    for (int selected : {-1, 1}) {
        SCOPED_TRACE(selected);
        fakes::WindowFixture f;
        f.loadWindow();
        EventList& list = Access::ctrlEventList(*f.window);
        list.addItem("first");
        list.addItem("second");
        list.setListIndex(selected);
        const Variant captions[] = {Variant("Time"),  Variant(""),    Variant(),        Variant(std::int16_t(5)),
                                    Variant("Sales"), Variant("EUR"), Variant("Share"), Variant("%")};
        for (const Variant& caption : captions)
            f.chart->answer(chart::GetAttribute, caption);

        Access::ListAxisTitles(*f.window);

        std::vector<Call> expected;
        for (const char* path : kAxisPaths)
            expected.push_back({chart::GetAttribute, InvokeKind::PropertyGet, {Variant(path), Variant("Caption")}});
        EXPECT_EQ(f.chart->calls(), expected);
        QStringList lines;
        for (int i = 0; i < list.listCount(); ++i)
            lines << list.list(i);
        EXPECT_EQ(lines, QStringList({"first", "second", "Time", "", "", "5", "Sales", "EUR", "Share", "%"}));
        EXPECT_EQ(list.listIndex(), selected);
        EXPECT_TRUE(list.isHidden());
    }
}

TEST(DeveloperCommands, ListAxisTitlesKeepsTheLinesBeforeAFailingRead)
{
    fakes::WindowFixture f;
    f.loadWindow();
    f.chart->answer(chart::GetAttribute, Variant("Time")).answer(chart::GetAttribute, Variant("s"));
    f.chart->fail(chart::GetAttribute, 5);

    Access::guarded(*f.window, [&] { Access::ListAxisTitles(*f.window); });

    EventList& list = Access::ctrlEventList(*f.window);
    ASSERT_EQ(list.listCount(), 2);
    EXPECT_EQ(list.list(1), "s");
    EXPECT_EQ(f.messageBox.shown().size(), 1u);
}

TEST(DeveloperCommands, FixedSettingsLanguageAndTestEntryAreSingleCalls)
{
    struct Case {
        const char* name;
        void (*operation)(Plotwright&);
        Call call;
    };
    const Case cases[] = {
        {"AddTestEntry",
         Access::AddTestEntry,
         {chart::AddEntry, InvokeKind::Method, {Variant("testFolder"), Variant("testName"), Variant("testTooltip")}}},
        {"ApplyHideProperties", Access::ApplyHideProperties,
         setAttribute("Control", "HideProperties", "Extension|VariableCategories|Label|CuID")},
        {"ApplyHidePoints", Access::ApplyHidePoints, setAttribute("Control", "HidePoints", "true")},
        {"SetLanguageDE", Access::SetLanguageDE, put(chart::Language, Variant("DE"))},
        // Written again after load, which wrote "EN" already.
        {"SetLanguageEN", Access::SetLanguageEN, put(chart::Language, Variant("EN"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::WindowFixture f;
        f.loadWindow();
        c.operation(*f.window);
        EXPECT_EQ(f.chart->calls(), std::vector<Call>{c.call});
        // The checks start cleared and only the toggles change them.
        EXPECT_EQ(checksOf(*f.window), (Checks{false, false, false}));
    }
}

TEST(DeveloperCommands, ShowComponentVersionShowsTheVersionAfterTheLiteral)
{
    for (const char* version : {"7.00.0042", ""}) {
        fakes::WindowFixture f;
        f.loadWindow();
        f.chart->answer(chart::GetAttribute, Variant(version));
        Access::ShowComponentVersion(*f.window);
        EXPECT_EQ(f.chart->calls(),
                  (std::vector<Call>{
                      {chart::GetAttribute, InvokeKind::PropertyGet, {Variant("Control"), Variant("Version")}}}));
        EXPECT_EQ(f.messageBox.shown(), std::vector<QString>{QString("The Vizorb's version is ") + version});
    }
}

TEST(DeveloperCommands, ShowHelpContentsOpensTheContentTopic)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Access::guarded(*f.window, [&] { Access::ShowHelpContents(*f.window); });
    ASSERT_EQ(f.messageBox.shown().size(), 1u);
    EXPECT_TRUE(f.messageBox.shown()[0].startsWith("Run-time error '91':"));

    QStringList topics;
    f.window->setShellLinks({{}, [&](const QString& topic) { topics << topic; }});
    Access::ShowHelpContents(*f.window);
    EXPECT_EQ(topics, QStringList({"Content"}));
    EXPECT_TRUE(f.chart->calls().empty());
}

} // namespace
