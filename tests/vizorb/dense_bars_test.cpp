#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/chart/dense_bars.h"
#include "vizorb/chart/reduce.h"
#include "vizorb/model/chart_model.h"

#include <QAbstractBarSeries>
#include <QChart>
#include <QGraphicsScene>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using vizorb::BarColumn;
using vizorb::ValueSpan;

const double gap = std::nan("");

::testing::AssertionResult spanIs(const ValueSpan& span, double lo, double hi)
{
    if (std::isnan(lo) ? span.isEmpty() : span.lo == lo && span.hi == hi)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "[" << span.lo << ", " << span.hi << "] not [" << lo << ", " << hi << "]";
}

// Each pixel column keeps, per series, the values its bars there cover, the
// sides of zero apart; a stack's segments sit on the series below them.
TEST(DenseBarsTest, ReductionKeepsEachSeriesSpanPerColumn)
{
    struct Expect {
        int series, column;
        double upLo, upHi, downLo, downHi; // NaN: no bar on that side
    };
    struct Case {
        const char* what;
        QList<QVector<double>> values;
        bool stacked;
        int columns;
        std::vector<Expect> expect;
    };
    const std::vector<Case> cases = {
        {"grouped, a column a point",
         {{5, gap, -2}, {-1, 3, 0}},
         false,
         3,
         {{0, 0, 0, 5, gap, gap},
          {1, 0, gap, gap, -1, 0},
          {0, 1, gap, gap, gap, gap},
          {1, 1, 0, 3, gap, gap},
          {0, 2, gap, gap, -2, 0},
          {1, 2, gap, gap, gap, gap}}},
        {"stacked, missing counts 0",
         {{2, -1, gap}, {3, -2, 4}},
         true,
         3,
         {{0, 0, 0, 2, gap, gap},
          {1, 0, 2, 5, gap, gap},
          {0, 1, gap, gap, -1, 0},
          {1, 1, gap, gap, -3, -1},
          {0, 2, gap, gap, gap, gap},
          {1, 2, 0, 4, gap, gap}}},
        {"stacked, segments on both sides", {{1, -1}, {1, 1}}, true, 1, {{1, 0, 0, 2, gap, gap}}},
        {"a short series", {{1}, {1, 1, 1, 1}}, false, 2, {{0, 1, gap, gap, gap, gap}, {1, 1, 0, 1, gap, gap}}},
    };
    for (const Case& c : cases) {
        const int count = int(c.values.last().size());
        const QVector<BarColumn> reduced =
            vizorb::reduceBars(c.values, count, c.stacked, {c.columns, -0.5, count - 0.5});
        ASSERT_EQ(reduced.size(), c.values.size() * c.columns) << c.what;
        for (const Expect& e : c.expect) {
            const BarColumn& at = reduced[e.series * c.columns + e.column];
            EXPECT_TRUE(spanIs(at.up, e.upLo, e.upHi)) << c.what << ", series " << e.series << ", column " << e.column;
            EXPECT_TRUE(spanIs(at.down, e.downLo, e.downHi))
                << c.what << ", series " << e.series << ", column " << e.column;
        }
    }
}

// Many bars a pixel: every column of the plot is covered, and each holds the
// extremes of its points.
TEST(DenseBarsTest, ReductionCoversEveryColumnWithItsExtremes)
{
    const int count = 100000, columns = 733;
    QVector<double> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = (i * 7919) % 101 - 30;
    for (bool stacked : {false, true}) {
        const QVector<BarColumn> reduced = vizorb::reduceBars({values}, count, stacked, {columns, -0.5, count - 0.5});
        for (int c = 0; c < columns; ++c) {
            EXPECT_TRUE(spanIs(reduced[c].up, 0, 70)) << c;
            EXPECT_TRUE(spanIs(reduced[c].down, -30, 0)) << c;
        }
    }
}

// The hit test names the bar painted under the pointer, or the nearest one
// within two pixels: on a 100 x 100 plot, values -10 to 10, zero at half height.
TEST(DenseBarsTest, HitTestNamesThePaintedBar)
{
    struct Case {
        const char* what;
        QList<QVector<double>> values;
        bool stacked, horizontal;
        QPointF at;
        std::pair<int, int> hit;
        bool numbered = false; // point i at i + 1 on an axis from 0 to twice the points
    };
    QVector<double> five(100, 5.0), minusFive(100, -5.0), three(100, 3.0), ones(1000, 1.0);
    five[10] = gap;
    minusFive[20] = 8;
    QVector<double> stackedFive(100, 5.0);
    stackedFive[40] = -2;
    ones[537] = 9;
    const std::vector<Case> cases = {
        {"missing: the nearest bar", {five, minusFive}, false, false, {10.5, 45}, {0, 9}},
        {"shorter bar over a longer", {five, minusFive}, false, false, {20.5, 30}, {0, 20}},
        {"longer bar above it", {five, minusFive}, false, false, {20.5, 12}, {1, 20}},
        {"below zero", {five, minusFive}, false, false, {30.5, 70}, {1, 30}},
        {"beyond every bar", {five, minusFive}, false, false, {30.5, 98}, {-1, -1}},
        {"horizontal", {five, minusFive}, false, true, {55.5, 79.5}, {0, 20}},
        {"stack's lower segment", {stackedFive, three}, true, false, {50.5, 30}, {0, 50}},
        {"stack's upper segment", {stackedFive, three}, true, false, {50.5, 15}, {1, 50}},
        {"a negative value stacks down", {stackedFive, three}, true, false, {40.5, 55}, {0, 40}},
        {"the other sign starts at zero", {stackedFive, three}, true, false, {40.5, 45}, {1, 40}},
        {"one spike among ten a pixel", {ones}, false, false, {53.5, 6}, {0, 537}},
        {"numbered axis", {five, minusFive}, false, false, {10.5, 30}, {0, 20}, true},
        {"numbered axis, beyond the bars", {five, minusFive}, false, false, {80.5, 30}, {-1, -1}, true},
    };
    QGraphicsScene scene;
    for (const Case& c : cases) {
        auto* chart = new QChart;
        scene.addItem(chart);
        chart->resize(200, 200);
        chart->setPlotArea(QRectF(0, 0, 100, 100));
        QValueAxis values, categories;
        values.setRange(-10, 10);
        const int count = int(c.values[0].size());
        categories.setRange(c.numbered ? 0 : -0.5, c.numbered ? 2 * count : count - 0.5);
        QList<vizorb::DenseBarsItem::Series> series;
        for (int k = 0; k < c.values.size(); ++k)
            series.append({k, c.values[k], QColor(Qt::red)});
        vizorb::DenseBarsItem item(chart, series, count, c.stacked, c.horizontal, &categories, c.numbered ? 1 : 0,
                                   &values);
        EXPECT_EQ(item.barAt(c.at), c.hit) << c.what;
        item.setParentItem(nullptr);
        scene.removeItem(&item);
        delete chart;
    }
}

// Pixels of `color` across the plot at `along` (0 to 1) of the category axis
// (a column of pixels for columns, a row for bars, upwards).
int lanePixels(const QImage& image, QRectF area, bool horizontal, double along, QColor color)
{
    const int x = int(area.left() + along * area.width()), y = int(area.bottom() - along * area.height());
    int count = 0;
    for (int t = 0; t < (horizontal ? area.width() : area.height()); ++t)
        count += image.pixelColor(horizontal ? int(area.left()) + t : x, horizontal ? y : int(area.top()) + t) == color;
    return count;
}

// Thousands of bars are drawn, plain and stacked, either way up, named or
// numbered, with missing and negative values: the picture has each series'
// bars where its values are, and a click names the series and point under it.
TEST(DenseBarsTest, DenseBarChartsDrawAndNameTheirBars)
{
    const int n = 3000;
    vizorb::ChartData numbered;
    vizorb::Series first{QStringLiteral("first"), QVector<double>(n)}, second{QStringLiteral("second"), {}};
    for (int i = 0; i < n; ++i)
        first.values[i] = i < 1000 ? 10 : i < 2000 ? gap : -5;
    second.values = QVector<double>(n, 4.0);
    for (int i = 2500; i < 2600; ++i)
        second.values[i] = 30;
    numbered.series << first << second;
    vizorb::ChartData named = numbered;
    for (int i = 0; i < n; ++i)
        named.categories << QStringLiteral("c%1").arg(i);
    ASSERT_TRUE(vizorb::denseBars(n, 2, true));
    for (const vizorb::ChartData& data : {numbered, named})
        for (const char* type : {"Columns", "StackedColumns", "Bars", "StackedBars"}) {
            const std::string what = std::string(type) + (data.categories.isEmpty() ? ", numbered" : ", named");
            const bool horizontal = QLatin1String(type).endsWith(QLatin1String("Bars"));
            vizorb::ChartModel model;
            model.setAttribute(QStringLiteral("GlobalSettings"), QStringLiteral("ChartType"), QLatin1String(type));
            model.setData(data);
            vizorb::ChartView view(model);
            view.resize(815, 526);
            view.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
            const QImage image = view.renderImage();
            EXPECT_EQ(view.hintText(), QString()) << what;
            const QRectF area = view.chart()->plotArea();
            const auto* categories = qobject_cast<QValueAxis*>(
                view.chart()->axes(horizontal ? Qt::Vertical : Qt::Horizontal, view.chart()->series().first()).first());
            const auto* values = qobject_cast<QValueAxis*>(
                view.chart()->axes(horizontal ? Qt::Horizontal : Qt::Vertical, view.chart()->series().first()).first());
            ASSERT_TRUE(categories && values) << what;
            // Named points stand at their index, numbered ones at their number.
            auto along = [&](int i) {
                return (i + (data.categories.isEmpty() ? 1 : 0) - categories->min()) /
                       (categories->max() - categories->min());
            };
            const QColor one = model.seriesColor(0), two = model.seriesColor(1);
            // Point, and whether each series shows there.
            for (const auto& [i, shows1, shows2] :
                 {std::tuple{500, true, true}, {1500, false, true}, {2200, true, true}}) {
                EXPECT_EQ(lanePixels(image, area, horizontal, along(i), one) > 0, shows1) << what << " at " << i;
                EXPECT_EQ(lanePixels(image, area, horizontal, along(i), two) > 0, shows2) << what << " at " << i;
            }
            // The spike stands out of the others.
            EXPECT_GT(lanePixels(image, area, horizontal, along(2550), two),
                      2 * lanePixels(image, area, horizontal, along(500), two))
                << what;

            // Clicks: halfway up the first series' bar, and near the spike's end.
            auto position = [&](int i, double v) {
                const double up = (v - values->min()) / (values->max() - values->min());
                const QPointF at =
                    horizontal ? QPointF(area.left() + up * area.width(), area.bottom() - along(i) * area.height())
                               : QPointF(area.left() + along(i) * area.width(), area.bottom() - up * area.height());
                return QPointF(view.mapFromScene(view.chart()->mapToScene(at)));
            };
            const vizorb::ChartHit low = view.hitTest(position(500, 5));
            EXPECT_EQ(low.element, QStringLiteral("Series")) << what;
            EXPECT_EQ(low.series, 1) << what;
            EXPECT_NEAR(low.point, 501, 8) << what;
            const vizorb::ChartHit spike = view.hitTest(position(2550, 25));
            EXPECT_EQ(spike.series, 2) << what;
            EXPECT_TRUE(spike.point > 2500 && spike.point <= 2600) << what << ": " << spike.point;
        }
}

// Value labels stand on bars at least a line of text thick, never on bars
// too thin to tell them apart.
TEST(DenseBarsTest, ValueLabelsOnlyOnBarsThickerThanText)
{
    struct Case {
        const char* type;
        int series, points;
        bool labels;
    };
    const std::vector<Case> cases = {{"Columns", 1, 10, true},
                                     {"StackedBars", 3, 8, true},
                                     {"Columns", 4, 100, false},
                                     {"Bars", 1, 1000, false},
                                     {"StackedColumns", 2, 4000, false}};
    for (const Case& c : cases) {
        vizorb::ChartData data;
        for (int s = 0; s < c.series; ++s)
            data.series << vizorb::Series{QStringLiteral("S%1").arg(s), QVector<double>(c.points, s + 1.0)};
        vizorb::ChartModel model;
        model.setAttribute(QStringLiteral("GlobalSettings"), QStringLiteral("ChartType"), QLatin1String(c.type));
        model.setData(data);
        vizorb::ChartView view(model);
        view.setModes({.valueLabels = true});
        view.resize(815, 526);
        view.renderImage();
        const QList<QGraphicsItem*> items = view.scene()->items();
        const bool labelled = std::ranges::any_of(items, [](const QGraphicsItem* item) {
            return item->isVisible() && item->data(vizorb::kValueLabelKey).toBool();
        });
        EXPECT_EQ(labelled, c.labels) << c.type << " of " << c.series * c.points;
    }
}

} // namespace
