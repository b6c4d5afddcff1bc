#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_model.h"

#include <QAbstractBarSeries>
#include <QAreaSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using vizorb::ChartData;

struct Drawn {
    QString hint;
    qsizetype qtSeries = 0;
    qsizetype points = 0;        // over every Qt series, an area's upper line counted
    qsizetype scatterPoints = 0; // of those, scatter markers
};

// The chart of `data` as `type` at the designed size, as Qt Charts was given it.
Drawn draw(const char* type, ChartData data, const std::function<void(QChart*)>& inspect = {})
{
    vizorb::ChartModel model;
    model.setAttribute(QStringLiteral("GlobalSettings"), QStringLiteral("ChartType"), QLatin1String(type));
    model.setData(std::move(data));
    vizorb::ChartView view(model);
    view.resize(815, 526);
    view.renderImage();
    Drawn drawn{view.hintText()};
    for (QAbstractSeries* series : view.chart()->series()) {
        ++drawn.qtSeries;
        if (auto* area = qobject_cast<QAreaSeries*>(series))
            drawn.points += area->upperSeries()->count();
        else if (auto* xy = qobject_cast<QXYSeries*>(series))
            drawn.points += xy->count();
        if (auto* scatter = qobject_cast<QScatterSeries*>(series))
            drawn.scatterPoints += scatter->count();
    }
    if (inspect)
        inspect(view.chart());
    return drawn;
}

// `series` series of `points` values each, value(s, i), NaN for a missing one.
ChartData makeData(int series, int points, const std::function<double(int, int)>& value)
{
    ChartData data;
    for (int s = 0; s < series; ++s) {
        vizorb::Series one{QStringLiteral("S%1").arg(s + 1), QVector<double>(points)};
        for (int i = 0; i < points; ++i)
            one.values[i] = value(s, i);
        data.series << one;
    }
    return data;
}

ChartData fromRows(const std::vector<std::vector<double>>& rows)
{
    return makeData(int(rows.size()), int(rows[0].size()), [&](int s, int i) { return rows[s][i]; });
}

// Positive and negative values stack apart, so at every point the bands lie
// side by side: none covers another, and together they are as thick as the
// values' magnitudes.
TEST(ChartSeriesTest, StackedAreaBandsNeverCoverOneAnother)
{
    const double gap = std::nan("");
    const std::vector<std::vector<std::vector<double>>> cases = {
        {{3, -2, 4, 1}, {-1, 5, -3, 2}, {2, 2, -2, -4}},
        {{-1, -2, -3}, {4, 5, 6}, {-7, 8, -9}},
        {{1, gap, 3}, {-2, -2, gap}},
    };
    for (const auto& rows : cases) {
        std::vector<double> magnitude(rows[0].size(), 0.0);
        for (const auto& row : rows)
            for (std::size_t i = 0; i < row.size(); ++i)
                magnitude[i] += std::isnan(row[i]) ? 0.0 : std::abs(row[i]);
        const Drawn drawn = draw("StackedArea", fromRows(rows), [&](QChart* chart) {
            for (std::size_t i = 0; i < magnitude.size(); ++i) {
                QList<std::pair<double, double>> bands;
                for (QAbstractSeries* series : chart->series()) {
                    auto* area = qobject_cast<QAreaSeries*>(series);
                    ASSERT_TRUE(area);
                    const double a = area->upperSeries()->at(int(i)).y(), b = area->lowerSeries()->at(int(i)).y();
                    bands.append({std::min(a, b), std::max(a, b)});
                }
                std::sort(bands.begin(), bands.end());
                double thickness = 0;
                for (qsizetype k = 0; k < bands.size(); ++k) {
                    thickness += bands[k].second - bands[k].first;
                    if (k > 0) {
                        EXPECT_LE(bands[k - 1].second, bands[k].first + 1e-9) << "point " << i;
                    }
                }
                EXPECT_DOUBLE_EQ(thickness, magnitude[i]) << "point " << i;
            }
        });
        EXPECT_TRUE(drawn.hint.isEmpty());
    }
}

// What the whole chart hands to Qt Charts stays within one budget however
// the data is spread over series; beyond it the chart is thinned or hints.
TEST(ChartSeriesTest, OneBudgetForTheWholeChart)
{
    const double gap = std::nan("");
    struct Case {
        const char* what;
        const char* type;
        ChartData data;
        qsizetype qtSeries; // exact, or -1 for at most vizorb::kMaxPieces
        qsizetype maxPoints;
        const char* hint; // "" when drawn
    };
    const std::vector<Case> cases = {
        {"many broken lines", "Lines", makeData(100, 400, [&](int, int i) { return i % 2 ? gap : i; }), -1,
         vizorb::kMaxLinePoints, ""},
        // The one broken series keeps its gaps: the others cost one piece each.
        {"one broken line among many", "Lines",
         makeData(100, 1000, [&](int s, int i) { return s == 0 && i % 2 ? gap : i % 7; }), 99 + 500,
         vizorb::kMaxLinePoints, ""},
        {"many broken areas", "Area", makeData(50, 400, [&](int, int i) { return i % 2 ? gap : i; }), -1,
         vizorb::kMaxLinePoints, ""},
        {"polar of many points", "Polar", makeData(1, 300000, [](int, int i) { return i % 1000; }), 1,
         vizorb::kMaxPolarPoints + 8, ""},
        {"many broken polar lines", "Polar", makeData(20, 2000, [&](int, int i) { return i % 2 ? gap : 1; }), -1,
         vizorb::kMaxPolarPoints, ""},
        {"lines of many series", "Lines", makeData(999, 2000, [](int s, int i) { return (s * i) % 13; }), 999,
         vizorb::kMaxLinePoints, ""},
        {"plain areas of many series", "Area", makeData(600, 10, [](int s, int i) { return s + i; }), 0, 0,
         "600 series are too many to draw as Area"},
        {"radar of many series", "Radar", makeData(600, 10, [](int s, int i) { return s + i; }), 0, 0,
         "600 series are too many for a radar chart"},
        {"radar at the series limit", "Radar", makeData(125, 10, [](int s, int i) { return s + i; }), 125, 125 * 11,
         ""},
        {"polar past the series limit", "Polar", makeData(126, 10, [](int s, int i) { return s + i; }), 0, 0,
         "126 series are too many for a polar chart; it shows at most 125"},
        {"scatter dense only in total", "Scatter", makeData(3, 2000, [](int s, int i) { return s + i; }), 3, 0, ""},
        {"scatter within budget", "Scatter", makeData(2, 2000, [](int s, int i) { return s + i; }), 2, 4000, ""},
        {"doughnut of many rings", "Doughnut", makeData(100, 100, [](int, int) { return 1; }), 0, 0,
         "10000 slices are too many"},
        {"pie draws one series", "Pie", makeData(100, 100, [](int, int) { return 1; }), 1, 0, ""},
    };
    for (const Case& c : cases) {
        const Drawn drawn = draw(c.type, c.data);
        EXPECT_TRUE(drawn.hint.contains(QLatin1String(c.hint))) << c.what << ": " << drawn.hint.toStdString();
        if (*c.hint)
            continue;
        if (c.qtSeries < 0) {
            EXPECT_LE(drawn.qtSeries, vizorb::kMaxPieces) << c.what;
        } else {
            EXPECT_EQ(drawn.qtSeries, c.qtSeries) << c.what;
        }
        if (QLatin1String(c.type) == QLatin1String("Scatter")) {
            EXPECT_EQ(drawn.scatterPoints, c.maxPoints) << c.what;
        } else {
            EXPECT_LE(drawn.points, c.maxPoints) << c.what;
        }
    }
}

// A dense or unordered area is filled as one band a column, in x order, that
// still covers every point of both edges.
TEST(ChartSeriesTest, AreaFillIsABandCoveringEveryPoint)
{
    struct Case {
        const char* what;
        std::function<QPointF(int)> high;
        int count;
    };
    const std::vector<Case> cases = {
        {"zigzag", [](int i) { return QPointF(i, i % 2 ? 100 : -100); }, 20000},
        {"unordered x", [](int i) { return QPointF((i * 7919) % 1000, i % 13); }, 5000},
        {"whole double range", [](int i) { return QPointF(i % 2 ? 1e308 : -1e308, i); }, 100},
        {"one x", [](int i) { return QPointF(3, i % 5); }, 100},
    };
    const int columns = 50;
    for (const Case& c : cases) {
        QList<QPointF> high, low;
        for (int i = 0; i < c.count; ++i) {
            high << c.high(i);
            low << QPointF(high.last().x(), i % 3 - 1);
        }
        QList<QPointF> top = high, bottom = low;
        vizorb::fillEnvelope(top, bottom, columns);
        ASSERT_EQ(top.size(), bottom.size()) << c.what;
        EXPECT_LE(top.size(), 2 * columns) << c.what;
        for (qsizetype k = 1; k < top.size(); ++k)
            EXPECT_LE(top[k - 1].x(), top[k].x()) << c.what;
        for (const QList<QPointF>* edge : {&high, &low})
            for (const QPointF& p : *edge) {
                bool covered = false;
                for (qsizetype k = 0; k + 1 < top.size() && !covered; k += 2)
                    covered =
                        top[k].x() <= p.x() && p.x() <= top[k + 1].x() && bottom[k].y() <= p.y() && p.y() <= top[k].y();
                ASSERT_TRUE(covered) << c.what << ": " << p.x() << ", " << p.y();
            }
    }
}

// The value axis (a polar chart's rings too) reaches every value, below zero as well:
// a value outside it is drawn where it is not.
TEST(ChartSeriesTest, ValueAxisHoldsEveryValue)
{
    const std::vector<std::vector<double>> rows = {{-38.6, -20.1, 7.5, 19.5}, {-46.4, -31.9, 2.7, 14.9}};
    for (const char* type : {"Radar", "Polar", "Lines", "Columns", "Area"}) {
        int checked = 0;
        draw(type, fromRows(rows), [&](QChart* chart) {
            for (QAbstractAxis* axis : chart->axes())
                if (auto* values = qobject_cast<QValueAxis*>(axis);
                    values && axis->objectName() == QLatin1String("ValueAxis")) {
                    ++checked;
                    EXPECT_LE(values->min(), -46.4) << type;
                    EXPECT_GE(values->max(), 19.5) << type;
                }
        });
        EXPECT_EQ(checked, 1) << type;
    }
}

// Sums beyond the largest double are refused with the hint; sums that stay
// finite, or values that are not summed, are drawn.
TEST(ChartSeriesTest, OverflowingSumsGiveTheHint)
{
    const double big = 1e308;
    struct Case {
        const char* type;
        std::vector<std::vector<double>> rows;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"Pie", {{big, big, 1}}, true},
        {"Pie", {{big, -big, 1}}, false},
        {"Doughnut", {{1, 2, 3}, {big, big, 1}}, true},
        {"StackedColumns", {{big, 1}, {big, 1}}, true},
        {"StackedBars", {{-big, 1}, {-big, 1}}, true},
        {"StackedArea", {{big, 1}, {big, 1}}, true},
        {"StackedLines", {{big, 1}, {-big, 1}}, false},
        {"Columns", {{big, big}, {big, big}}, false},
    };
    for (const Case& c : cases) {
        const Drawn drawn = draw(c.type, fromRows(c.rows));
        EXPECT_EQ(drawn.hint.contains(QLatin1String("add up beyond")), c.refused) << c.type;
        if (!c.refused) {
            EXPECT_GT(drawn.qtSeries, 0) << c.type;
        }
    }
}

// Values of -1.7e308 and 1.7e308 are drawn where their true values say, in the
// series' colour, and the values labelled, shown as tooltips and hit are the true ones.
TEST(ChartSeriesTest, ValuesAcrossTheDoubleRangeAreDrawnAndReportedTrue)
{
    const double big = 1.7e308;
    struct Case {
        const char* type;
        int points;
        bool withX; // x values across the double range too
    };
    const std::vector<Case> cases = {
        {"Lines", 3, false},   {"StackedLines", 3, false}, {"Area", 3, false},      {"StackedArea", 3, false},
        {"Columns", 3, false}, {"StackedBars", 3, false},  {"Scatter", 3, true},    {"Radar", 5, false},
        {"Polar", 5, true},    {"Columns", 3000, false},   {"Scatter", 6000, true},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.type) + " of " + std::to_string(c.points);
        ChartData data = makeData(1, c.points, [&](int, int i) { return i % 2 ? big : -big; });
        for (int i = 0; c.withX && i < c.points; ++i)
            data.x << (i == 1 ? big : -big * (double(c.points - i) / c.points)); // point 2 alone at its x
        vizorb::ChartModel model;
        model.setAttribute(QStringLiteral("GlobalSettings"), QStringLiteral("ChartType"), QLatin1String(c.type));
        model.setData(std::move(data));
        vizorb::ChartView view(model);
        view.setModes({.tooltips = true, .valueLabels = true});
        view.resize(815, 526);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.renderImage();
        ASSERT_EQ(view.hintText(), QString()) << what;
        const QRect plot = view.chart()->plotArea().toAlignedRect();
        const QColor colour = model.seriesColor(0);
        int painted = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                painted += image.pixelColor(x, y) == colour;
        EXPECT_GT(painted, 20) << what;

        QStringList labels;
        for (QGraphicsItem* item : view.scene()->items())
            if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item); text && text->isVisible())
                labels << text->text();
        // Stacked areas write no values; dense layers none at all.
        const bool written = c.points < 100 && QLatin1String(c.type) != QLatin1String("StackedArea");
        if (written) {
            EXPECT_TRUE(labels.contains(vizorb::valueText(big)) && labels.contains(vizorb::valueText(-big)))
                << what << ": " << labels.join(QLatin1String(" | ")).toStdString();
        }
        EXPECT_FALSE(labels.contains(vizorb::valueText(big / 256))) << what;

        // Tooltips of the series that Qt Charts reports itself.
        QToolTip::hideText();
        for (QAbstractSeries* series : view.chart()->series()) {
            if (auto* xy = qobject_cast<QXYSeries*>(series); xy && xy->count() > 1)
                Q_EMIT xy->hovered(xy->at(1), true);
            if (auto* bars = qobject_cast<QAbstractBarSeries*>(series); bars && bars->count() > 0)
                Q_EMIT bars->barSets().constFirst()->hovered(true, 1);
        }
        if (written) {
            EXPECT_TRUE(QToolTip::text().contains(vizorb::valueText(big)))
                << what << ": " << QToolTip::text().toStdString();
        }
        QToolTip::hideText();

        // Point 2 is hit where its true values stand.
        const auto values = view.shownRange(QStringLiteral("ValueAxis"));
        // Stacked areas' bands are not hit as points.
        if (QLatin1String(c.type) == QLatin1String("Radar") || QLatin1String(c.type) == QLatin1String("Polar") ||
            QLatin1String(c.type) == QLatin1String("StackedArea"))
            continue;
        ASSERT_TRUE(values) << what;
        const auto share = [](double v, std::pair<double, double> r) {
            return (v / 2 - r.first / 2) / (r.second / 2 - r.first / 2);
        };
        const bool horizontal = QLatin1String(c.type).endsWith(QLatin1String("Bars"));
        const auto along =
            view.shownRange(QStringLiteral("CategoryAxis")).value_or(std::pair{-0.5, double(c.points) - 0.5});
        const QRectF area = view.chart()->plotArea();
        // Within a bar, on a point.
        const bool bars = QLatin1String(c.type).contains(QLatin1String("Bars")) ||
                          QLatin1String(c.type).contains(QLatin1String("Columns"));
        const double x = c.withX ? model.data().x[1] : bars ? 1 : 2;
        const double up = share(bars ? big * 0.9 : big, *values), side = share(x, along);
        const QPointF at = horizontal ? QPointF(area.left() + up * area.width(), area.bottom() - side * area.height())
                                      : QPointF(area.left() + side * area.width(), area.bottom() - up * area.height());
        const QPoint pixel = view.mapFromScene(view.chart()->mapToScene(at));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, pixel);
        EXPECT_EQ(view.hitTest(pixel), (vizorb::ChartHit{QStringLiteral("Series"), 1, 2})) << what;
    }
}

} // namespace
