#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/dense_bars.h"
#include "vizorb/chart/reduce.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vizorb {
namespace {

// Columns and bars, stacked or side by side: one bar set per series, or,
// beyond the bar budget, where every bar is thinner than a pixel, all of them
// painted as one layer (the bar series kept empty for the axes).
class BarBuilder final : public ChartBuilder {
public:
    using ChartBuilder::ChartBuilder;

private:
    void buildSeries() override
    {
        const bool stacked = is.stacked;
        const bool horizontal = is.horizontal;
        QAbstractBarSeries* series =
            horizontal ? (stacked ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries)
                                  : new QHorizontalBarSeries)
                       : (stacked ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries) : new QBarSeries);
        const int n = data.pointCount();
        double lo = 0, hi = 0;
        QVector<double> positive(n, 0.0), negative(n, 0.0);
        QList<int> barSeries; // the data series of each bar set
        const bool dense = denseBars(n, visible.size(), stacked);
        QList<DenseBarsItem::Series> layers;
        for (int s : visible) {
            const QVector<double>& values = data.series[s].values;
            for (int i = 0; i < n && i < values.size(); ++i) {
                const double v = std::isnan(values[i]) ? 0.0 : values[i];
                if (stacked)
                    (v >= 0 ? positive[i] : negative[i]) += v;
                hi = std::max(hi, stacked ? positive[i] : v);
                lo = std::min(lo, stacked ? negative[i] : v);
            }
            if (dense) {
                layers.append({s, values, m.seriesColor(s)});
                continue;
            }
            auto* set = new QBarSet(seriesName(s));
            const QColor c = m.seriesColor(s);
            set->setColor(c);
            set->setBorderColor(c.darker(130));
            QList<qreal> heights;
            heights.reserve(n);
            for (int i = 0; i < n; ++i)
                heights << out.yScaling.shown(i < values.size() && !std::isnan(values[i]) ? values[i] : 0.0);
            set->append(heights);
            series->append(set);
            barSeries << s;
            if (modes.tooltips) {
                const QString name = seriesName(s);
                const QStringList labels = pointLabels();
                QObject::connect(
                    set, &QBarSet::hovered, chart, [name, labels, set, y = out.yScaling](bool status, int index) {
                        if (status)
                            QToolTip::showText(
                                QCursor::pos(),
                                tooltipText(QStringLiteral("%1, %2: %3")
                                                .arg(name, labels.value(index), valueText(y.value(set->at(index))))));
                        else
                            QToolTip::hideText();
                    });
            }
        }
        QObject::connect(series, &QAbstractBarSeries::clicked, chart,
                         [onClick = onClick, barSeries, series](int index, QBarSet* set) {
                             const int k = int(series->barSets().indexOf(set));
                             if (k >= 0 && k < barSeries.size())
                                 onClick(ChartHit{QStringLiteral("Series"), barSeries[k] + 1, index + 1});
                         });
        // A value label stands across its bar: on bars thinner than a line of
        // text (dense ones always are) labels would only pile up on one another.
        if (modes.valueLabels && !dense) {
            // Our own labels, in the value axis' form (2,500,000, not Qt's 2500000 or
            // 2.5e+06), of the true values where the bars are handed scaled ones.
            if (!stacked)
                for (QBarSet* set : series->barSets())
                    set->setLabelColor(QColor(0x20, 0x20, 0x20)); // beyond its bar a label stands on the background
            const qreal line = QFontMetricsF(series->barSets().constFirst()->labelFont()).height();
            const double share = kBarGroupWidth / (stacked ? 1 : visible.size()) / n;
            const QList<BarLabel> ours = valueLabels(series, barSeries);
            QObject::connect(chart, &QChart::plotAreaChanged, series, [=, c = chart](const QRectF& area) {
                const qreal thickness = (horizontal ? area.height() : area.width()) * share;
                placeLabels(c, series, ours, horizontal, thickness >= line, thickness);
            });
        }
        chart->addSeries(series);
        // Dense bars named by nothing but their numbers are numbered as lines
        // are, on an axis of nice steps: a million labels "1", "2", ... would
        // cost more than the bars.
        const bool numbered = dense && data.categories.isEmpty() && data.times.isEmpty() && data.x.isEmpty();
        QValueAxis* categoryAxis = nullptr;
        if (numbered) {
            categoryAxis = newLabelledAxis();
            setValueRange(categoryAxis, element::CategoryAxis, 1, n, false, 8, !horizontal);
        } else {
            categoryAxis = makeCategoryAxis(!horizontal);
        }
        auto* valueAxis = newLabelledAxis();
        if (modes.valueLabels && !dense) {
            // Labels stand beyond the bars' ends: a bar ending on the last tick would leave its label no room.
            const double pad = hi / 25 - lo / 25;
            hi = hi > 0 ? std::min(hi + pad, DBL_MAX) : hi;
            lo = lo < 0 ? std::max(lo - pad, -DBL_MAX) : lo;
        }
        setValueRange(valueAxis, element::ValueAxis, lo, hi, true, 8, horizontal);
        attachAxes(categoryAxis, valueAxis, horizontal);
        if (dense)
            addDenseBars(std::move(layers), categoryAxis, numbered, valueAxis);
    }

    // A label of ours: at (category, value) as handed to Qt Charts; beyond
    // the end of a rising (side 1) or falling (-1) bar, or across it (0).
    struct BarLabel {
        QGraphicsSimpleTextItem* item;
        QPointF at;    // (category, value) as handed to Qt Charts
        double length; // of its bar or segment, as handed to Qt Charts
        int side;
        QColor beyond, inside; // its colour beyond the bar's end and inside it
    };

    // A label a bar: beyond a plain bar's end, across a stack's segment.
    QList<BarLabel> valueLabels(QAbstractBarSeries* series, const QList<int>& barSeries)
    {
        const int n = data.pointCount(), sets = int(barSeries.size());
        const double width = is.stacked ? kBarGroupWidth : kBarGroupWidth / std::max(sets, 1);
        QVector<double> up(n, 0.0), down(n, 0.0);
        QList<BarLabel> labels;
        for (int k = 0; k < sets; ++k) {
            QBarSet* set = series->barSets().at(k);
            const QVector<double>& values = data.series[barSeries[k]].values;
            for (int i = 0; i < n; ++i) {
                const double v = i < values.size() && !std::isnan(values[i]) ? values[i] : 0.0;
                const double along = i - kBarGroupWidth / 2 + (is.stacked ? 0 : k * width) + width / 2;
                double at = v;
                if (is.stacked) {
                    double& base = v < 0 ? down[i] : up[i];
                    at = base + v / 2;
                    base += v;
                }
                auto* item = new QGraphicsSimpleTextItem(valueText(v), chart);
                item->setFont(set->labelFont());
                item->setBrush(set->labelColor());
                item->setZValue(11);
                item->setData(kValueLabelKey, true);
                // Inside its bar's end, where beyond it would leave the plot: light on a dark bar.
                const QColor inside = set->color().lightnessF() < 0.55 ? QColor(Qt::white) : QColor(0x20, 0x20, 0x20);
                labels.append({item, QPointF(along, out.yScaling.shown(at)), out.yScaling.shown(std::abs(v)),
                               is.stacked ? 0
                               : v < 0    ? -1
                                          : 1,
                               set->labelColor(), inside});
            }
        }
        return labels;
    }

    // A plain bar's label stands beyond its end where the plot has room for it
    // (the axis names lie just outside), else inside the end, light on a dark
    // bar; a stack's across its segment. A label with room in neither place, or
    // that would meet one placed before it, is left off.
    static void placeLabels(QChart* chart, QAbstractBarSeries* series, const QList<BarLabel>& labels, bool horizontal,
                            bool shown, qreal thickness)
    {
        const QRectF plot = chart->plotArea();
        const auto pixels = [&](QPointF at) { return chart->mapToPosition(horizontal ? at.transposed() : at, series); };
        const QPointF origin = pixels({0, 0});
        QList<QRectF> taken;
        for (const BarLabel& label : labels) {
            label.item->setVisible(false);
            if (!shown)
                continue;
            const QPointF p = pixels(label.at);
            const QRectF box = label.item->boundingRect();
            const qreal along = horizontal ? box.width() : box.height();
            const qreal across = horizontal ? box.height() : box.width();
            const QPointF end = pixels({0, label.length}) - origin;
            const qreal length = std::abs(horizontal ? end.x() : end.y());
            const QPointF pos(p.x() - box.width() / 2, p.y() - box.height() / 2);
            const QPointF shift = horizontal ? QPointF(label.side * (box.width() / 2 + 4), 0)
                                             : QPointF(0, -label.side * (box.height() / 2 + 4));
            const QRectF beyond(pos + shift, box.size());
            QRectF place;
            QColor colour = label.beyond;
            if (label.side != 0 && plot.contains(beyond)) {
                place = beyond;
            } else if (across <= thickness && length >= along + (label.side != 0 ? 8 : 2)) {
                place = QRectF(label.side != 0 ? pos - shift : pos, box.size());
                if (label.side != 0)
                    colour = label.inside;
                if (!plot.contains(place))
                    continue;
            } else {
                continue;
            }
            if (std::ranges::any_of(taken, [&](const QRectF& other) { return other.intersects(place); }))
                continue;
            taken << place;
            label.item->setPos(place.topLeft());
            label.item->setBrush(colour);
            label.item->setVisible(true);
        }
    }

    void addDenseBars(QList<DenseBarsItem::Series> layers, QValueAxis* categoryAxis, bool numbered,
                      QValueAxis* valueAxis)
    {
        auto* item = new DenseBarsItem(chart, std::move(layers), data.pointCount(), is.stacked, is.horizontal,
                                       categoryAxis, numbered ? 1 : 0, valueAxis, out.yScaling);
        out.denseBars = item;
        QObject::connect(chart, &QChart::plotAreaChanged, chart, [item] { item->refresh(); });
        if (!modes.tooltips)
            return;
        QStringList names;
        for (int s = 0; s < data.series.size(); ++s)
            names << seriesName(s);
        // The data's values are shared, not copied; numbered points are named when shown.
        const QStringList labels = numbered ? QStringList() : pointLabels();
        item->setTooltips([names, labels, values = data.series](int s, int i) {
            const QString point = labels.isEmpty() ? QString::number(i + 1) : labels.value(i);
            return tooltipText(
                QStringLiteral("%1, %2: %3").arg(names.value(s), point, valueText(values[s].values.value(i))));
        });
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makeBarBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<BarBuilder>(request);
}

} // namespace vizorb
