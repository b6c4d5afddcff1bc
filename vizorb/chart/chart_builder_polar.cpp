#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/reduce.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QCategoryAxis>
#include <QPen>
#include <QPolarChart>
#include <QValueAxis>

#include <cmath>
#include <limits>

namespace vizorb {
namespace {

// Lines round a centre: a radar's spokes are its points, a polar chart's
// angles come from the data.
class PolarBuilder final : public ChartBuilder {
public:
    using ChartBuilder::ChartBuilder;

private:
    // Spokes named by the points' labels.
    QCategoryAxis* spokeAxis(double span)
    {
        auto* axis = newLabelledAxis();
        axis->setRange(0, span);
        axisLayout()->addSpokes(axis, pointLabels(), span);
        return axis;
    }

    void buildSeries() override
    {
        auto* polar = static_cast<QPolarChart*>(chart);
        const bool radar = type == ChartType::Radar;
        const int n = data.pointCount();
        const bool markers = showMarkers();
        QAbstractAxis* angular = nullptr;
        QVector<double> angles(n);
        if (radar) {
            // The first spoke is at the top, at 0 and again at n, where each polygon closes.
            angular = spokeAxis(n);
            for (int i = 0; i < n; ++i)
                angles[i] = i;
        } else {
            bool numeric = !data.x.isEmpty();
            for (int i = 0; i < n && numeric; ++i)
                angles[i] = std::fmod(data.x.value(i), 360.0);
            if (!numeric) {
                numeric = !data.categories.isEmpty();
                for (int i = 0; i < n && numeric; ++i)
                    angles[i] = std::fmod(data.categories.value(i).toDouble(&numeric), 360.0);
            }
            if (!numeric)
                for (int i = 0; i < n; ++i)
                    angles[i] = 360.0 * i / n;
            if (!numeric && (!data.categories.isEmpty() || !data.times.isEmpty())) {
                // Evenly spaced points are named on their spokes, as on a radar.
                angular = spokeAxis(360);
            } else {
                auto* axis = new QValueAxis;
                axis->setRange(0, 360);
                axis->setTickCount(9);
                axis->setLabelFormat(QStringLiteral("%.0f"));
                angular = axis;
            }
            for (double& a : angles)
                if (a < 0)
                    a += 360;
        }
        // Thinned like lines, by the whole chart's budget: a column is a slice of
        // the circle, whose rim is longer than the view is wide.
        bool ascending = true;
        for (int i = 1; i < n && ascending; ++i)
            ascending = !(angles[i] < angles[i - 1]);
        QVector<int> pieces;
        for (int s : visible)
            pieces << pieceCount(nullptr, data.series[s].values.constData(), n);
        const QVector<bool> joined = seriesJoiningGaps(pieces, kMaxPieces);
        const int columns =
            columnsPerLine(ascending ? 3 * buckets : std::numeric_limits<int>::max(), visible.size(), kMaxPolarPoints);
        double lo = 0, hi = 0;
        for (int k = 0; k < visible.size(); ++k) {
            const int s = visible[k];
            const QVector<double>& values = data.series[s].values;
            const QPen pen(m.seriesColor(s), m.attribute(seriesPath(s), attribute::LineWidth).toDouble());
            // A missing value breaks the line, as on Lines.
            QList<QPointF> points;
            QVector<int> indices;
            for (int i : linePoints(angles.constData(), values.constData(), n, columns, ascending, joined[k])) {
                if (i < 0) {
                    addLinePiece(s, pen, markers, points, indices);
                    continue;
                }
                points << shown(angles[i], values[i]);
                indices << i;
                lo = std::min(lo, values[i]);
                hi = std::max(hi, values[i]);
            }
            // A radar's polygon closes when both its last and its first value are there.
            if (radar && n > 1 && !std::isnan(values[0]) && !std::isnan(values[n - 1]))
                points << shown(n, values[0]);
            addLinePiece(s, pen, markers, points, indices);
        }
        auto* radial = new QValueAxis;
        // Fewer rings than a straight axis has ticks: their labels share one spoke. Values
        // below zero move the centre down with them rather than all standing on it.
        setValueRange(radial, element::ValueAxis, lo, hi, true, 4);
        polar->addAxis(angular, QPolarChart::PolarOrientationAngular);
        polar->addAxis(radial, QPolarChart::PolarOrientationRadial);
        styleAxis(angular, element::CategoryAxis);
        styleAxis(radial, element::ValueAxis);
        axisLayout()->addRadialLabels(radial);
        // A title would lie across the rings; the angular axis' labels say enough.
        angular->setTitleVisible(false);
        radial->setTitleVisible(false);
        angular->setGridLineVisible(true);
        for (QAbstractSeries* s : chart->series()) {
            s->attachAxis(angular);
            s->attachAxis(radial);
        }
        axisLayout()->relayout();
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makePolarBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<PolarBuilder>(request);
}

} // namespace vizorb
