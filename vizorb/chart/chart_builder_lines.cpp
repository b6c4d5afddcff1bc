#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/dense_scatter.h"
#include "vizorb/chart/reduce.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vizorb {
namespace {

// Lines, areas and scatters, stacked or not, over a category, value or time axis.
class LineAreaBuilder final : public ChartBuilder {
public:
    using ChartBuilder::ChartBuilder;

private:
    // Positions of the points along the category axis.
    enum class XKind { Category, Value, Time };
    XKind xKind = XKind::Value;
    QVector<double> xs;

    void choosePositions(bool preferCategories)
    {
        const int n = data.pointCount();
        if (!data.x.isEmpty() && data.x.size() == n && !is.time) {
            xKind = XKind::Value;
            xs = data.x; // shared, not copied: it may be millions of points
            return;
        }
        xs.resize(n);
        if (is.time || (data.x.isEmpty() && !data.times.isEmpty())) {
            xKind = XKind::Time;
            for (int i = 0; i < n; ++i)
                xs[i] = i < data.times.size() ? double(data.times[i]) : std::nan("");
            return;
        }
        if (!data.x.isEmpty()) {
            xKind = XKind::Value;
            for (int i = 0; i < n; ++i)
                xs[i] = i < data.x.size() ? data.x[i] : std::nan("");
            return;
        }
        if (type == ChartType::Scatter && !data.categories.isEmpty()) {
            bool numeric = true;
            for (int i = 0; i < n && numeric; ++i)
                xs[i] = data.categories.value(i).toDouble(&numeric);
            if (numeric) {
                xKind = XKind::Value;
                return;
            }
        }
        xKind = preferCategories && !data.categories.isEmpty() ? XKind::Category : XKind::Value;
        for (int i = 0; i < n; ++i)
            xs[i] = xKind == XKind::Category ? i : i + 1;
    }

    QAbstractAxis* makeXAxis()
    {
        if (xKind == XKind::Category)
            return makeCategoryAxis(true);
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (double x : xs)
            if (!std::isnan(x)) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
        // Markers at the ends of a scatter stay whole.
        const double pad = is.scatter ? 0.03 : 0.0;
        if (xKind == XKind::Time) {
            // Ticks on calendar boundaries; a scatter's markers stay whole
            // inside the boundaries around its times.
            auto* axis = newLabelledAxis();
            if (!(lo <= hi))
                lo = hi = 0;
            axisLayout()->addTimes(axis, qint64(lo), qint64(hi), pad > 0);
            return axis;
        }
        auto* axis = newLabelledAxis();
        // Each end's share of the span, so extreme ends cannot overflow it.
        setValueRange(axis, element::CategoryAxis, lo - (pad * hi - pad * lo), hi + (pad * hi - pad * lo), false, 8,
                      true);
        return axis;
    }

    // A plain area's line, drawn over every area's fill.
    struct Outline {
        int series;
        QPen pen;
        QList<QPointF> points;
        QVector<int> indices;
    };

    // Adds series s's area between `upper` and `lower` (zero when null) through
    // the kept points (-1: a break), one Qt series per unbroken piece.
    void addArea(int s, bool stacked, bool markers, const QVector<double>& upper, const QVector<double>* lower,
                 const QVector<int>& kept, QList<Outline>& outlines)
    {
        const QColor c = m.seriesColor(s);
        const double width = m.attribute(seriesPath(s), attribute::LineWidth).toDouble();
        QList<QPointF> points, low;
        QVector<int> indices;
        auto flush = [&] {
            if (points.isEmpty())
                return;
            auto* high = new QLineSeries;
            auto* bottom = new QLineSeries;
            // The fills of all areas share one budget of columns.
            const int fillColumns = int(std::clamp<qsizetype>(kMaxFillColumns / visible.size(), kMinColumns, buckets));
            if (points.size() > fillColumns) {
                QList<QPointF> top = points;
                fillEnvelope(top, low, fillColumns);
                high->replace(top);
            } else {
                high->replace(points);
            }
            bottom->replace(low);
            auto* series = new QAreaSeries(high, bottom);
            high->setParent(series);
            bottom->setParent(series);
            series->setName(seriesName(s));
            QColor fill = c;
            if (!stacked)
                fill.setAlphaF(0.4);
            series->setBrush(fill);
            // Plain areas overlap: see-through fills, with every outline drawn over all
            // of them so no line is dimmed by another area's fill.
            series->setPen(stacked ? QPen(c.darker(120), 1.0) : QPen(Qt::NoPen));
            series->setPointsVisible(stacked && markers);
            chart->addSeries(series);
            if (!stacked)
                outlines.append({s, QPen(c, width), points, indices});
            points.clear();
            low.clear();
            indices.clear();
        };
        for (int i : kept) {
            if (i < 0) {
                flush();
                continue;
            }
            points << shown(xs[i], upper[i]);
            low << shown(xs[i], lower ? (*lower)[i] : 0.0);
            indices << i;
        }
        flush();
    }

    void buildSeries() override
    {
        const bool stacked = is.stacked;
        const bool area = is.area;
        const bool scatter = is.scatter;
        choosePositions(true);
        const int n = data.pointCount();
        bool ascending = true;
        for (int i = 1; i < n && ascending; ++i)
            ascending = !(xs[i] < xs[i - 1]);
        const bool markers = showMarkers();

        QAbstractAxis* xAxis = makeXAxis();
        auto* yAxis = newLabelledAxis();
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        auto extend = [&](const QVector<double>& ys) {
            for (double v : ys)
                if (!std::isnan(v)) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
        };

        // The whole chart's budget: the series with the fewest pieces keep their
        // gaps first, and all lines share the points; data not in x order is
        // thinned along its index.
        QVector<int> pieces;
        qsizetype scatterPoints = 0;
        for (int s : visible) {
            const QVector<double>& values = data.series[s].values;
            // A stack counts a missing value as 0; a plain line or area breaks there.
            pieces << pieceCount(xs.constData(), stacked ? nullptr : values.constData(), n);
            if (scatter)
                for (int i = 0; i < n; ++i)
                    scatterPoints += !std::isnan(values[i]) && !std::isnan(xs[i]);
        }
        const QVector<bool> joined = seriesJoiningGaps(pieces, area ? kMaxPieces / 2 : kMaxPieces);
        const int columns =
            columnsPerLine(ascending ? buckets : std::numeric_limits<int>::max(), visible.size(), kMaxLinePoints);
        const bool dense = scatterPoints > kDenseScatter;
        QList<DenseScatterItem::Layer> layers;
        QVector<double> positive(stacked ? n : 0, 0.0), negative(stacked ? n : 0, 0.0);
        QList<Outline> outlines;

        for (int k = 0; k < visible.size(); ++k) {
            const int s = visible[k];
            const QColor c = m.seriesColor(s);
            const QVector<double>& values = data.series[s].values;

            if (scatter) {
                extend(values);
                if (dense) {
                    layers.append({s, values, c});
                    auto* legendOnly = new QScatterSeries;
                    legendOnly->setName(seriesName(s));
                    legendOnly->setColor(c);
                    legendOnly->setBorderColor(c);
                    legendOnly->setMarkerSize(9);
                    chart->addSeries(legendOnly);
                    continue;
                }
                auto* series = new QScatterSeries;
                series->setName(seriesName(s));
                series->setColor(c);
                series->setBorderColor(c.darker(130));
                series->setMarkerSize(9);
                QList<QPointF> points;
                QVector<int> indices;
                for (int i = 0; i < n; ++i)
                    if (!std::isnan(values[i]) && !std::isnan(xs[i])) {
                        points << shown(xs[i], values[i]);
                        indices << i;
                    }
                series->replace(points);
                decorate(series, s);
                chart->addSeries(series);
                out.plotted.append({series, s, indices});
                continue;
            }

            if (stacked && area) {
                // Positive values stack up from zero and negative ones down from it,
                // each in a band of its own, as stacked columns do: no band crosses
                // or hides another.
                QVector<double> up = positive, down = negative;
                bool rises = false, falls = false;
                for (int i = 0; i < n; ++i) {
                    // A missing value (NaN) is neither and counts as 0.
                    if (values[i] > 0) {
                        up[i] += values[i];
                        rises = true;
                    } else if (values[i] < 0) {
                        down[i] += values[i];
                        falls = true;
                    }
                }
                if (rises || !falls)
                    addArea(s, true, markers, up, &positive,
                            linePoints(xs.constData(), up.constData(), n, columns, ascending, joined[k]), outlines);
                if (falls)
                    addArea(s, true, markers, down, &negative,
                            linePoints(xs.constData(), down.constData(), n, columns, ascending, joined[k]), outlines);
                extend(up);
                extend(down);
                positive = std::move(up);
                negative = std::move(down);
                continue;
            }

            QVector<double> ys = values;
            if (stacked)
                for (int i = 0; i < n; ++i)
                    ys[i] = positive[i] + (std::isnan(ys[i]) ? 0.0 : ys[i]);
            extend(ys);
            const QVector<int> kept = linePoints(xs.constData(), ys.constData(), n, columns, ascending, joined[k]);
            if (area) {
                addArea(s, stacked, markers, ys, stacked ? &positive : nullptr, kept, outlines);
            } else {
                const QPen pen(c, m.attribute(seriesPath(s), attribute::LineWidth).toDouble());
                QList<QPointF> points;
                QVector<int> indices;
                for (int i : kept) {
                    if (i < 0) {
                        addLinePiece(s, pen, markers, points, indices);
                        continue;
                    }
                    points << shown(xs[i], ys[i]);
                    indices << i;
                }
                addLinePiece(s, pen, markers, points, indices);
            }
            if (stacked)
                positive = std::move(ys);
        }
        if (area)
            lo = std::min(lo, 0.0);
        for (Outline& o : outlines)
            addLinePiece(o.series, o.pen, markers, o.points, o.indices);
        setValueRange(yAxis, element::ValueAxis, lo, hi, stacked || area);
        attachAxes(xAxis, yAxis, false);
        if (!layers.isEmpty()) {
            auto* item = new DenseScatterItem(chart, xs, std::move(layers), xAxis, yAxis, out.xScaling, out.yScaling);
            out.dense << item;
            item->setZValue(10);
            QObject::connect(chart, &QChart::plotAreaChanged, chart, [item] { item->refresh(); });
        }
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makeLineAreaBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<LineAreaBuilder>(request);
}

} // namespace vizorb
