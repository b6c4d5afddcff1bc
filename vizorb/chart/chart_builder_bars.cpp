#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/dense_bars.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include "platform/variant.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QFontMetricsF>
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

// Whether every value label of `series` stands whole inside the plot, none on another: Qt Charts
// writes each across (stacked) or beyond its bar whatever its room, and clips what leaves the plot.
bool barLabelsFit(QAbstractBarSeries* series, const QRectF& area, bool horizontal, bool stacked, double share)
{
    QValueAxis* axis = nullptr;
    for (QAbstractAxis* a : series->attachedAxes())
        if (a->orientation() == (horizontal ? Qt::Horizontal : Qt::Vertical))
            axis = qobject_cast<QValueAxis*>(a);
    const QList<QBarSet*> sets = series->barSets();
    if (!axis || sets.isEmpty() || !(axis->max() > axis->min()))
        return false;
    const QFontMetricsF fm(sets.constFirst()->labelFont());
    const double perValue = (horizontal ? area.width() : area.height()) / (axis->max() - axis->min());
    const double thickness = (horizontal ? area.height() : area.width()) * share;
    const int n = int(series->count() > 0 ? sets.constFirst()->count() : 0);
    const double length = horizontal ? area.height() : area.width();
    const double top = (axis->max() - axis->min()) * perValue;
    // Side by side, each label beyond its bar's end: (across, along) boxes that must not meet.
    QList<QRectF> boxes;
    for (int i = 0; i < n; ++i) {
        double up = 0, down = 0;
        for (qsizetype k = 0; k < sets.size(); ++k) {
            const double v = i < sets[k]->count() ? sets[k]->at(i) : 0.0;
            const QString text = QString::number(v, 'g', 15);
            const double along = horizontal ? fm.horizontalAdvance(text) : fm.height();
            const double across = horizontal ? fm.height() : fm.horizontalAdvance(text);
            double end = v;
            if (stacked)
                end = (v >= 0 ? up : down) += v;
            if (end > axis->max() || end < axis->min())
                return false;
            if (stacked) {
                if (thickness < across || (v != 0 && std::abs(v) * perValue < along))
                    return false;
                continue;
            }
            // Qt Charts writes it beyond the bar's far side from the axis' minimum (zero for a
            // bar below zero), or, where the plot ends there, just inside the bar.
            const double at = (std::max(end, std::min(0.0, axis->max())) - axis->min()) * perValue;
            double from = at;
            if (from + along > top) {
                from = at - along;
                if (across > thickness || from < 0 ||
                    std::abs(end - std::clamp(0.0, axis->min(), axis->max())) * perValue < along)
                    return false;
            }
            const double centre = length / n * (i + 0.5 - kBarGroupWidth / 2) + thickness * (double(k) + 0.5);
            // The plot clips what reaches past its sides.
            if (centre - across / 2 < 0 || centre + across / 2 > length)
                return false;
            boxes << QRectF(centre - across / 2, from, across, along);
        }
    }
    for (qsizetype a = 0; a < boxes.size(); ++a)
        for (qsizetype b = a + 1; b < boxes.size(); ++b)
            if (boxes[a].intersects(boxes[b]))
                return false;
    return true;
}

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
                heights << (i < values.size() && !std::isnan(values[i]) ? values[i] : 0.0);
            set->append(heights);
            series->append(set);
            barSeries << s;
            if (modes.tooltips) {
                const QString name = seriesName(s);
                const QStringList labels = pointLabels();
                QObject::connect(set, &QBarSet::hovered, chart, [name, labels, set](bool status, int index) {
                    if (status)
                        QToolTip::showText(QCursor::pos(),
                                           tooltipText(QStringLiteral("%1, %2: %3")
                                                           .arg(name, labels.value(index),
                                                                platform::formatNumber(set->at(index), 15))));
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
            series->setLabelsPosition(stacked ? QAbstractBarSeries::LabelsCenter
                                              : QAbstractBarSeries::LabelsOutsideEnd);
            // Plain digits up to 10^15 (2500000, not Qt's 2.5e+06), float noise rounded away.
            series->setLabelsPrecision(15);
            // Beyond its bar a label stands on the background: Qt Charts' white would vanish there.
            if (!stacked)
                for (QBarSet* set : series->barSets())
                    set->setLabelColor(QColor(0x20, 0x20, 0x20));
            const double share = kBarGroupWidth / (stacked ? 1 : visible.size()) / n;
            QObject::connect(chart, &QChart::plotAreaChanged, series, [=](const QRectF& area) {
                series->setLabelsVisible(barLabelsFit(series, area, horizontal, stacked, share));
            });
        }
        chart->addSeries(series);
        // Dense bars named by nothing but their numbers are numbered as lines
        // are, on an axis of nice steps: a million labels "1", "2", ... would
        // cost more than the bars.
        const bool numbered = dense && data.categories.isEmpty() && data.times.isEmpty() && data.x.isEmpty();
        QValueAxis* categoryAxis = nullptr;
        if (numbered) {
            categoryAxis = newValueAxis();
            setValueRange(categoryAxis, element::CategoryAxis, 1, n, false, 8, !horizontal);
        } else {
            categoryAxis = makeCategoryAxis(!horizontal);
        }
        auto* valueAxis = newValueAxis();
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

    void addDenseBars(QList<DenseBarsItem::Series> layers, QValueAxis* categoryAxis, bool numbered,
                      QValueAxis* valueAxis)
    {
        auto* item = new DenseBarsItem(chart, std::move(layers), data.pointCount(), is.stacked, is.horizontal,
                                       categoryAxis, numbered ? 1 : 0, valueAxis);
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
            return tooltipText(QStringLiteral("%1, %2: %3")
                                   .arg(names.value(s), point, platform::formatNumber(values[s].values.value(i), 15)));
        });
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makeBarBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<BarBuilder>(request);
}

} // namespace vizorb
