#include "main_window/chart_ids.h"
#include "tests/support/plotwright_access.h"

#include <QTest>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace {

using Access = PlotwrightTestAccess;

// The chart's extender properties as the site holds them: Singles, as put.
struct ChartGeometry {
    float left, top, width, height;
};

ChartGeometry chartGeometry(Plotwright& w)
{
    const platform::Placement& p = Access::ctrlChart(w).placement();
    return {p.left(), p.top(), p.width(), p.height()};
}

// Same bits, not merely equal: the layout rounds each value once and no more.
#define EXPECT_SAME_SINGLE(actual, expected)                                                                           \
    EXPECT_EQ(std::bit_cast<std::uint32_t>(float(actual)), std::bit_cast<std::uint32_t>(float(expected)))              \
        << #actual << " = " << (actual) << ", expected " << (expected)

// Resizes the shown window so that its inner area has this size; the layout
// runs from the resize event, as it does for a user dragging the frame.
void resizeClient(Plotwright& w, int widthPixels, int heightPixels)
{
    w.show();
    w.resize(widthPixels, heightPixels + (w.height() - Access::client(w).height()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Access::client(w).size() == QSize(widthPixels, heightPixels); }))
        << "inner size " << Access::client(w).width() << " x " << Access::client(w).height();
}

// Sizes the inner area directly and runs the pass, for sizes the window's
// minimum size would not allow (a minimized window's inner height of 0).
void setInnerSize(Plotwright& w, int widthPixels, int heightPixels)
{
    Access::client(w).resize(widthPixels, heightPixels);
    Access::Form_Resize(w);
}

TEST(Layout, WorkedExampleInAllThreeStates)
{
    const float W = 12225, H = 7890;
    fakes::WindowFixture f;
    f.loadWindow(); // the wizard starts: its pass has run on the design size
    Plotwright& w = *f.window;
    ASSERT_EQ(Access::ScaleWidth(w), W);
    ASSERT_EQ(Access::ScaleHeight(w), H);

    // Wizard active.
    {
        const ChartGeometry chart = chartGeometry(w);
        EXPECT_SAME_SINGLE(chart.left, 0);
        EXPECT_SAME_SINGLE(chart.top, 0);
        EXPECT_SAME_SINGLE(chart.width, W);
        EXPECT_SAME_SINGLE(chart.height, 7890 - 375 - 50);
        EXPECT_SAME_SINGLE(Access::finishPlacement(w).left(), 12225 - 1335);
        EXPECT_SAME_SINGLE(Access::finishPlacement(w).top(), 7890 - 375);
        EXPECT_SAME_SINGLE(Access::nextPlacement(w).left(), 12225 - 2 * 1335 - 100);
        EXPECT_SAME_SINGLE(Access::backPlacement(w).left(), 12225 - 3 * 1335 - 2 * 100);
        EXPECT_SAME_SINGLE(Access::nextPlacement(w).top(), 7890 - 375);
        EXPECT_SAME_SINGLE(Access::backPlacement(w).top(), 7890 - 375);
        const platform::Placement& list = Access::eventListPlacement(w);
        EXPECT_SAME_SINGLE(list.left(), 0);
        EXPECT_SAME_SINGLE(list.top(), static_cast<float>(double(H) * 0.9));
        EXPECT_SAME_SINGLE(list.width(), W);
        EXPECT_SAME_SINGLE(list.height(), 450);
        EXPECT_TRUE(Access::ctrlEventList(w).isHidden());
        // The pixels follow the twips: the row ends flush with the client's corner.
        EXPECT_EQ(Access::cmdFinish(w).geometry().bottomRight(), Access::client(w).rect().bottomRight());
    }

    // Wizard not active, list hidden.
    Access::cmdFinish_Click(w);
    const QRect buttonsBefore = Access::cmdBack(w).geometry();
    {
        const ChartGeometry chart = chartGeometry(w);
        EXPECT_SAME_SINGLE(chart.width, W);
        EXPECT_SAME_SINGLE(chart.height, H);
        EXPECT_SAME_SINGLE(Access::eventListPlacement(w).top(), static_cast<float>(double(H) * 0.9));
        EXPECT_SAME_SINGLE(Access::eventListPlacement(w).height(), 450);
    }

    // Wizard not active, list visible.
    Access::ToggleEventList(w);
    {
        const ChartGeometry chart = chartGeometry(w);
        EXPECT_SAME_SINGLE(chart.left, 0);
        EXPECT_SAME_SINGLE(chart.top, 0);
        EXPECT_SAME_SINGLE(chart.width, W);
        EXPECT_SAME_SINGLE(chart.height, static_cast<float>(double(H) * 0.9));
        EXPECT_SAME_SINGLE(chart.height, 7101.0f);
        const platform::Placement& list = Access::eventListPlacement(w);
        EXPECT_SAME_SINGLE(list.left(), 0);
        EXPECT_SAME_SINGLE(list.top(), 7101.0f);
        EXPECT_SAME_SINGLE(list.width(), W);
        EXPECT_SAME_SINGLE(list.height(), static_cast<float>(double(H) * 0.1));
        EXPECT_SAME_SINGLE(list.height(), 789.0f);
    }
    EXPECT_EQ(Access::cmdBack(w).geometry(), buttonsBefore); // buttons not moved without the wizard
}

TEST(Layout, FractionsAreKeptAsSingles)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    Access::cmdFinish_Click(w);
    Access::ToggleEventList(w);
    resizeClient(w, 600, 401); // 6015 twips: not a multiple of ten
    const float H = 401 * 15.0f;
    const ChartGeometry chart = chartGeometry(w);
    EXPECT_SAME_SINGLE(chart.height, static_cast<float>(double(H) * 0.9));
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).height(), static_cast<float>(double(H) * 0.1));
    EXPECT_NE(chart.height, std::floor(chart.height));
    EXPECT_NE(Access::eventListPlacement(w).height(), std::floor(Access::eventListPlacement(w).height()));
}

TEST(Layout, SmallWindowsWithTheWizardActive)
{
    struct Case {
        int widthPixels;
        int heightPixels;
        float chartHeight;
    };
    const Case cases[] = {
        {815, 526, 7465}, // design size
        {200, 100, 1500 - 375 - 50},
        {250, 28, 0}, // 420 twips: lower than the row and its gap
        {100, 0, 0},  // minimized: no inner height at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.widthPixels << " x " << c.heightPixels);
        fakes::WindowFixture f;
        f.loadWindow();
        Plotwright& w = *f.window;
        setInnerSize(w, c.widthPixels, c.heightPixels);
        EXPECT_TRUE(f.messageBox.shown().empty());
        const float W = c.widthPixels * 15.0f, H = c.heightPixels * 15.0f;
        const ChartGeometry chart = chartGeometry(w);
        EXPECT_SAME_SINGLE(chart.width, W);
        EXPECT_SAME_SINGLE(chart.height, c.chartHeight);
        // The button row is never clamped: narrow windows push it off the left edge.
        EXPECT_SAME_SINGLE(Access::backPlacement(w).left(), W - 3 * 1335 - 2 * 100);
        EXPECT_SAME_SINGLE(Access::finishPlacement(w).top(), H - 375);
        EXPECT_SAME_SINGLE(Access::eventListPlacement(w).top(), static_cast<float>(double(H) * 0.9));
    }
}

TEST(Layout, NoInnerHeightWithoutTheWizard)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    Access::cmdFinish_Click(w);
    Access::ToggleEventList(w);
    setInnerSize(w, 300, 0);
    EXPECT_SAME_SINGLE(chartGeometry(w).height, 0);
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).top(), 0);
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).height(), 0);
}

TEST(Layout, ListShownDuringTheWizardKeepsItsHeight)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    Access::ToggleEventList(w);
    EXPECT_FALSE(Access::ctrlEventList(w).isHidden());
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).height(), 450);
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).top(), 7101.0f);
    EXPECT_SAME_SINGLE(chartGeometry(w).height, 7465);

    // Finishing gives the chart nine tenths and the list the rest.
    Access::cmdFinish_Click(w);
    EXPECT_SAME_SINGLE(chartGeometry(w).height, 7101.0f);
    EXPECT_SAME_SINGLE(Access::eventListPlacement(w).height(), 789.0f);
}

TEST(Layout, ToggleFollowsItsOwnCheckState)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    EXPECT_FALSE(Access::eventListChecked(w));
    Access::cmdFinish_Click(w);

    Access::ToggleEventList(w);
    EXPECT_TRUE(Access::eventListChecked(w));
    EXPECT_FALSE(Access::ctrlEventList(w).isHidden());
    Access::ToggleEventList(w);
    EXPECT_FALSE(Access::eventListChecked(w));
    EXPECT_TRUE(Access::ctrlEventList(w).isHidden());
    EXPECT_SAME_SINGLE(chartGeometry(w).height, 7890);

    // The list follows the check state, not its own previous visibility.
    Access::ctrlEventList(w).show();
    Access::ToggleEventList(w);
    EXPECT_TRUE(Access::eventListChecked(w));
    EXPECT_FALSE(Access::ctrlEventList(w).isHidden());
}

} // namespace
