#include "main_window/chart_ids.h"
#include "tests/support/plotwright_access.h"

#include <gtest/gtest.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using platform::InvokeKind;
using platform::Variant;

Call goTo(std::int16_t step)
{
    return {chart::GoToWizardStep, InvokeKind::PropertyGet, {Variant(step)}};
}

struct Buttons {
    bool visible;
    bool backEnabled;
    bool nextEnabled;
    bool finishEnabled;
    friend bool operator==(const Buttons&, const Buttons&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Buttons& b)
    {
        return os << "{visible " << b.visible << ", back " << b.backEnabled << ", next " << b.nextEnabled << ", finish "
                  << b.finishEnabled << "}";
    }
};

Buttons buttons(Plotwright& w)
{
    const bool visible = !Access::cmdBack(w).isHidden();
    EXPECT_EQ(visible, !Access::cmdNext(w).isHidden());
    EXPECT_EQ(visible, !Access::cmdFinish(w).isHidden());
    return {visible, Access::cmdBack(w).isEnabled(), Access::cmdNext(w).isEnabled(), Access::cmdFinish(w).isEnabled()};
}

TEST(Wizard, StoresWhatTheControlReturnsAndSetsTheButtons)
{
    struct Case {
        const char* what;
        Variant returned;
        std::int16_t stored;
        bool backEnabled;
        bool nextEnabled;
    };
    const Case cases[] = {
        {"first step: the control stayed where it was", Variant(std::int16_t(1)), 1, false, true},
        {"middle step", Variant(std::int16_t(5)), 5, true, true},
        {"last step", Variant(std::int16_t(6)), 6, true, false},
        {"below the first", Variant(std::int16_t(0)), 0, false, true},
        {"beyond the last", Variant(std::int16_t(7)), 7, true, false},
        {"half to even", Variant(2.5), 2, true, true},
        {"numeric text", Variant("4"), 4, true, true},
        {"empty", Variant(), 0, false, true},
        {"long in range", Variant(std::int32_t(-3)), -3, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::WindowFixture f;
        f.loadWindow();
        f.chart->answer(chart::GoToWizardStep, c.returned);
        Access::cmdNext(*f.window).click(); // through the button and its guard
        EXPECT_EQ(f.chart->calls(), std::vector<Call>{goTo(2)});
        EXPECT_EQ(Access::WizardStep(*f.window), c.stored);
        EXPECT_EQ(buttons(*f.window), (Buttons{true, c.backEnabled, c.nextEnabled, true}));
        EXPECT_TRUE(f.messageBox.shown().empty());
    }
}

TEST(Wizard, BackAsksForTheStepBeforeAndStoresTheAnswer)
{
    struct Case {
        std::int16_t from;
        std::int16_t returned;
        bool backEnabled;
        bool nextEnabled;
    };
    // The answers differ from what was asked, so the stored step and the buttons can only come from them.
    const Case cases[] = {{6, 1, false, true}, {2, 6, true, false}, {4, 3, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        fakes::WindowFixture f;
        f.loadWindow();
        f.chart->answer(chart::GoToWizardStep, Variant(c.from));
        Access::cmdNext(*f.window).click();
        ASSERT_EQ(Access::WizardStep(*f.window), c.from);
        f.chart->clearCalls();

        f.chart->answer(chart::GoToWizardStep, Variant(c.returned));
        Access::cmdBack(*f.window).click();
        EXPECT_EQ(f.chart->calls(), std::vector<Call>{goTo(static_cast<std::int16_t>(c.from - 1))});
        EXPECT_EQ(Access::WizardStep(*f.window), c.returned);
        EXPECT_EQ(buttons(*f.window), (Buttons{true, c.backEnabled, c.nextEnabled, true}));
        EXPECT_TRUE(f.messageBox.shown().empty());
    }
}

TEST(Wizard, FailedStepChangesNothingAndReportsOnce)
{
    struct Case {
        const char* what;
        std::function<void(fakes::FakeDispatch&)> script;
        const char* message;
    };
    const Case cases[] = {
        {"failing call", [](fakes::FakeDispatch& c) { c.fail(chart::GoToWizardStep, 438); },
         "Run-time error '438':\n\nObject doesn't support this property or method"},
        {"text with no number", [](fakes::FakeDispatch& c) { c.answer(chart::GoToWizardStep, Variant("abc")); },
         "Run-time error '13':\n\nType mismatch"},
        {"beyond 16 bits", [](fakes::FakeDispatch& c) { c.answer(chart::GoToWizardStep, Variant(40000.0)); },
         "Run-time error '6':\n\nOverflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::WindowFixture f;
        f.loadWindow();
        f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(3)));
        Access::cmdNext(*f.window).click();
        ASSERT_EQ(Access::WizardStep(*f.window), 3);

        for (QPushButton* button : {&Access::cmdNext(*f.window), &Access::cmdBack(*f.window)}) {
            c.script(*f.chart);
            button->click();
            EXPECT_EQ(Access::WizardStep(*f.window), 3);
            EXPECT_EQ(buttons(*f.window), (Buttons{true, true, true, true}));
            ASSERT_EQ(f.messageBox.shown().size(), 1u);
            EXPECT_EQ(f.messageBox.shown().front(), c.message);
            f.messageBox.clear();
        }
    }
}

TEST(Wizard, StartFailingLeavesTheWizardInactive)
{
    fakes::WindowFixture f;
    f.chart->answer(chart::GoToWizardStep, Variant("abc"));
    Access::guarded(*f.window, [&] { f.window->load(); });
    EXPECT_FALSE(Access::WizardActive(*f.window));
    EXPECT_EQ(Access::WizardStep(*f.window), 1);
    EXPECT_FALSE(buttons(*f.window).visible);
    EXPECT_EQ(f.messageBox.shown().size(), 1u);
}

TEST(Wizard, StepArithmeticOverflowsBeforeTheControlIsCalled)
{
    struct Case {
        std::int16_t step;
        void (*click)(Plotwright&);
    };
    const Case cases[] = {{-32768, &Access::cmdBack_Click}, {32767, &Access::cmdNext_Click}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        fakes::WindowFixture f;
        f.loadWindow();
        Access::WizardStep(*f.window) = c.step;
        Access::guarded(*f.window, [&] { c.click(*f.window); });
        EXPECT_TRUE(f.chart->calls().empty());
        EXPECT_EQ(Access::WizardStep(*f.window), c.step);
        EXPECT_EQ(f.messageBox.shown(), std::vector<QString>{"Run-time error '6':\n\nOverflow"});
    }
}

TEST(Wizard, FinishThenNewRestartsAtStepOne)
{
    fakes::WindowFixture f;
    f.loadWindow();
    EXPECT_EQ(buttons(*f.window), (Buttons{true, false, true, true}));
    f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(2)));
    Access::cmdNext(*f.window).click();
    f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(3)));
    Access::cmdNext(*f.window).click();
    f.chart->clearCalls();

    Access::cmdFinish(*f.window).click();
    EXPECT_FALSE(Access::WizardActive(*f.window));
    EXPECT_EQ(Access::WizardStep(*f.window), 3);
    EXPECT_FALSE(buttons(*f.window).visible);
    ASSERT_FALSE(f.chart->calls().empty());
    EXPECT_EQ(f.chart->calls().front(), (Call{chart::FinishWizard, InvokeKind::Method, {}}));
    // Then the layout gives the chart the whole window.
    EXPECT_EQ(Access::ctrlChart(*f.window).placement().height(), 7890.0f);

    f.chart->clearCalls();
    f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(1)));
    f.window->findChild<QAction*>("mnuFileNew")->trigger();
    ASSERT_GE(f.chart->calls().size(), 2u);
    EXPECT_EQ(f.chart->calls()[0], (Call{chart::ResetWizard, InvokeKind::Method, {}}));
    EXPECT_EQ(f.chart->calls()[1], goTo(1));
    EXPECT_TRUE(Access::WizardActive(*f.window));
    EXPECT_EQ(Access::WizardStep(*f.window), 1);
    EXPECT_EQ(buttons(*f.window), (Buttons{true, false, true, true}));
    EXPECT_EQ(Access::ctrlChart(*f.window).placement().height(), 7890.0f - 375.0f - 50.0f);
    EXPECT_TRUE(f.messageBox.shown().empty());
}

TEST(Wizard, NewInTheMiddleRestartsWithoutAsking)
{
    fakes::WindowFixture f;
    f.loadWindow();
    f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(4)));
    Access::cmdNext(*f.window).click();
    f.chart->clearCalls();
    f.chart->answer(chart::GoToWizardStep, Variant(std::int16_t(1)));
    Access::mnuFileNew_Click(*f.window);
    EXPECT_EQ(Access::WizardStep(*f.window), 1);
    EXPECT_TRUE(f.messageBox.shown().empty());
    EXPECT_EQ(f.chart->callsOf(chart::ResetWizard).size(), 1u);
}

} // namespace
