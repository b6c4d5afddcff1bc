#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QChart>
#include <QPieSeries>
#include <QPieSlice>

#include <cmath>

namespace vizorb {
namespace {

constexpr int kMaxNamedRings = 12; // beyond this a doughnut's rings are listed under the title

// A pie of the first visible series, or a doughnut of one ring per series.
class PieBuilder final : public ChartBuilder {
public:
    using ChartBuilder::ChartBuilder;

private:
    void buildSeries() override
    {
        const bool doughnut = type == ChartType::Doughnut;
        const QList<QColor> palette =
            schema::paletteColors(m.attribute(element::GlobalSettings, attribute::ColorPalette));
        const QList<int> rings = this->rings();
        const double hole = doughnut ? 0.35 : 0.0, outer = 0.8;
        const double step = (outer - hole) / rings.size();
        const int n = data.pointCount();
        bool anything = false;
        QList<QPieSeries*> drawn;
        for (int r = 0; r < rings.size(); ++r) {
            const int s = rings[r];
            auto* series = new QPieSeries;
            series->setName(seriesName(s));
            series->setHoleSize(hole + r * step);
            series->setPieSize(hole + (r + 1) * step);
            for (int i = 0; i < n; ++i) {
                const double v = data.series[s].values[i];
                if (!(v > 0))
                    continue;
                auto* slice = series->append(pointLabel(i), v);
                slice->setColor(palette.isEmpty() ? QColor(Qt::gray) : palette[i % palette.size()]);
                slice->setBorderColor(Qt::white);
                slice->setProperty("point", i);
                anything = true;
            }
            QObject::connect(series, &QPieSeries::clicked, chart, [onClick = onClick, s](QPieSlice* slice) {
                onClick(ChartHit{QStringLiteral("Series"), s + 1, slice->property("point").toInt() + 1});
            });
            chart->addSeries(series);
            drawn << series;
        }
        if (!anything)
            out.hint = QStringLiteral("There are no positive values to show.");
        else
            addPieTexts(drawn, rings);
    }

    // The legend names every slice, labels with leader lines stand outside the
    // outermost ring, inner rings carry their values, and the rings (or a pie's
    // one series of several) are named.
    void addPieTexts(const QList<QPieSeries*>& drawn, const QList<int>& rings)
    {
        const bool doughnut = type == ChartType::Doughnut;
        const int n = data.pointCount();
        QVector<bool> listed(n, false);
        for (QPieSeries* series : drawn)
            for (QPieSlice* slice : series->slices()) {
                const int i = slice->property("point").toInt();
                if (!listed[i])
                    out.decor->addLegendEntry({pointLabel(i), slice->color()});
                listed[i] = true;
            }
        QStringList labels;
        if (modes.valueLabels || (!doughnut && n <= 12)) {
            const QPieSeries* outer = drawn.last();
            // Summed in 1/1024ths, so slices near the largest double give finite shares.
            double total = 0;
            for (const QPieSlice* slice : outer->slices())
                total += slice->value() / 1024;
            for (const QPieSlice* slice : outer->slices()) {
                const QString name = pointLabel(slice->property("point").toInt());
                labels << (modes.valueLabels ? QStringLiteral("%1: %2").arg(name, valueText(slice->value()))
                                             : QStringLiteral("%1 (%2%)")
                                                   .arg(name)
                                                   .arg(std::round(1000 * (slice->value() / 1024 / total)) / 10));
            }
        }
        // Inner rings show their values inside their slices.
        QList<QStringList> inner;
        if (modes.valueLabels)
            for (qsizetype r = 0; r + 1 < drawn.size(); ++r) {
                inner.append(QStringList());
                for (const QPieSlice* slice : drawn[r]->slices())
                    inner.last() << valueText(slice->value());
            }
        // Several rings are named beside them; a pie of one series of several names it above.
        QStringList names;
        for (int s : rings)
            names << seriesName(s);
        const bool named = doughnut && rings.size() > 1;
        const bool beside = named && rings.size() <= kMaxNamedRings;
        const TextStyle labelStyle{font(element::GlobalSettings), color(element::Legend)};
        out.decor->setPieLabels(drawn, labels, inner, beside ? names : QStringList(), labelStyle);
        const TextStyle noteStyle{font(element::GlobalSettings), color(element::Subtitle)};
        if (!doughnut && visible.size() > 1) {
            // The series by its name, above the pie; an unnamed one by its place.
            const QString name = drawnText(names.first());
            out.decor->setNote(
                name.trimmed().isEmpty()
                    ? QStringLiteral("The first of %1 series").arg(visible.size())
                    : QStringLiteral("%1\n(the first of %2 series)").arg(name, QString::number(visible.size())),
                noteStyle);
        } else if (named && !beside) {
            // Too many to name beside them: listed under the title, each name whole.
            out.decor->setNote(QStringLiteral("Rings from the centre out:"), noteStyle);
            out.decor->setRingList(names, labelStyle);
        }
    }
};

} // namespace

std::unique_ptr<ChartBuilder> makePieBuilder(const ChartBuilder::Request& request)
{
    return std::make_unique<PieBuilder>(request);
}

} // namespace vizorb
