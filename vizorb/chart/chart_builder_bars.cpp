#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/model/chart_model.h"

#include "platform/variant.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vizorb {
namespace {

// Columns and bars, stacked or side by side: one bar set per series.
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
        for (int s : visible) {
            auto* set = new QBarSet(seriesName(s));
            const QColor c = m.seriesColor(s);
            set->setColor(c);
            set->setBorderColor(c.darker(130));
            QList<qreal> values;
            values.reserve(n);
            for (int i = 0; i < n; ++i) {
                const double v = std::isnan(data.series[s].values[i]) ? 0.0 : data.series[s].values[i];
                values << v;
                if (stacked) {
                    (v >= 0 ? positive[i] : negative[i]) += v;
                    hi = std::max(hi, positive[i]);
                    lo = std::min(lo, negative[i]);
                } else {
                    hi = std::max(hi, v);
                    lo = std::min(lo, v);
                }
            }
            set->append(values);
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
        if (modes.valueLabels) {
            series->setLabelsVisible(true);
            series->setLabelsPosition(stacked ? QAbstractBarSeries::LabelsCenter
                                              : QAbstractBarSeries::LabelsOutsideEnd);
        }
        chart->addSeries(series);
        QCategoryAxis* categoryAxis = makeCategoryAxis(!horizontal);
        auto* valueAxis = new QValueAxis;
        setValueRange(valueAxis, QStringLiteral("ValueAxis"), lo, hi, true, 8, horizontal);
        attachAxes(categoryAxis, valueAxis, horizontal);
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makeBarBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<BarBuilder>(request);
}

} // namespace vizorb
