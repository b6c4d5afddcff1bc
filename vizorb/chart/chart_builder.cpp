#include "vizorb/chart/chart_builder.h"

#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QCursor>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QPolarChart>
#include <QSet>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vizorb {
namespace {

// Qt Charts makes one graphics item per spoke label: beyond this a radar
// shows nothing readable. The whole chart's budget is in chart_budget.h.
constexpr int kMaxSpokes = 360;
constexpr int kMaxSeries = schema::maxSeriesElements;

} // namespace

BuiltChart buildChart(const ChartModel& model, const ViewModes& modes, int buckets, ChartClick onClick)
{
    const ChartType type =
        chartTypeFromName(model.attribute(element::GlobalSettings, attribute::ChartType)).value_or(ChartType::Columns);
    const ChartBuilder::Request request{model, modes, buckets, std::move(onClick), type};
    const ChartTraits is = chartTraits(type);
    const std::unique_ptr<ChartBuilder> builder = is.pie     ? makePieBuilder(request)
                                                  : is.polar ? makePolarBuilder(request)
                                                  : is.bars  ? makeBarBuilder(request)
                                                             : makeLineAreaBuilder(request);
    return builder->build();
}

ChartBuilder::ChartBuilder(const Request& request)
    : m(request.model), data(request.model.data()), modes(request.modes), buckets(request.buckets),
      onClick(request.onClick), type(request.type), is(chartTraits(request.type))
{
    for (int i = 0; i < data.series.size(); ++i)
        if (m.boolAttribute(seriesPath(i), attribute::Visible))
            visible << i;
}

ChartBuilder::~ChartBuilder() = default;

BuiltChart ChartBuilder::build()
{
    out.horizontalBars = is.horizontal;
    out.hint = refusal();
    // A hint sits on a plain chart: a polar one cannot take the hint's axes.
    chart = out.hint.isEmpty() && is.polar ? new QPolarChart : new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(QColor::fromString(m.attribute(element::GlobalSettings, attribute::BackgroundColor)));
    chart->setBackgroundRoundness(0);
    applyTitle();
    applyLegend();
    if (out.hint.isEmpty()) {
        chooseScalings();
        buildSeries();
    }
    if (!out.hint.isEmpty())
        buildHint();
    out.chart = chart;
    return std::move(out);
}

// Why the chart cannot be drawn, or "".
QString ChartBuilder::refusal() const
{
    const qsizetype points = data.pointCount();
    if (data.isEmpty() || points == 0)
        return QStringLiteral("No data loaded. Open a data file to draw the chart.");
    if (visible.isEmpty())
        return QStringLiteral("Every series is hidden.");
    if (visible.size() > kMaxSeries)
        return QStringLiteral("%1 series are too many to draw; a chart shows at most %2.")
            .arg(visible.size())
            .arg(kMaxSeries);
    if (is.time && data.times.isEmpty())
        return QStringLiteral("A TimeScatter chart needs time values: give the data a <Times> list.");
    if (const qsizetype slices = is.pie ? sliceCount() : 0; slices > kMaxSlices)
        return QStringLiteral("%1 slices are too many to draw; choose Lines, Area or Scatter.").arg(slices);
    if (type == ChartType::Radar && points > kMaxSpokes)
        return QStringLiteral("%1 spokes are too many for a radar; choose Lines or Polar.").arg(points);
    if (fewestQtSeries() > kMaxPieces)
        return QStringLiteral("%1 series are too many to draw as %2; choose Lines.")
            .arg(visible.size())
            .arg(chartTypeName(type));
    if (is.polar && visible.size() > kMaxPolarSeries)
        return QStringLiteral("%1 series are too many for a %2 chart; it shows at most %3. Choose Lines.")
            .arg(visible.size())
            .arg(type == ChartType::Radar ? QStringLiteral("radar") : QStringLiteral("polar"))
            .arg(kMaxPolarSeries);
    if (sumsOverflow())
        return QStringLiteral("The values add up beyond the largest number this chart can show; choose Lines, "
                              "Columns or Scatter.");
    return {};
}

QString ChartBuilder::seriesPath(int i) const
{
    return element::SeriesPrefix + QString::number(i + 1);
}

// Qt series the chart needs with every gap joined: an area and its outline
// for a plain area; a band for each sign a stacked area's values take.
qsizetype ChartBuilder::fewestQtSeries() const
{
    if (type == ChartType::Area)
        return 2 * visible.size();
    if (type != ChartType::StackedArea)
        return visible.size();
    qsizetype count = 0;
    for (int s : visible) {
        const QVector<double>& values = data.series[s].values;
        const bool falls = std::ranges::any_of(values, [](double v) { return v < 0; });
        count += falls && std::ranges::any_of(values, [](double v) { return v > 0; }) ? 2 : 1;
    }
    return count;
}

QList<int> ChartBuilder::rings() const
{
    return type == ChartType::Doughnut ? visible : QList<int>{visible.first()};
}

// One slice per positive value of every ring.
qsizetype ChartBuilder::sliceCount() const
{
    qsizetype count = 0;
    for (int s : rings())
        count +=
            std::count_if(data.series[s].values.begin(), data.series[s].values.end(), [](double v) { return v > 0; });
    return count;
}

// A sum beyond the largest double would draw an empty pie or an axis up to "inf".
bool ChartBuilder::sumsOverflow() const
{
    if (is.pie)
        return std::ranges::any_of(rings(), [this](int s) { return pieOverflows(data.series[s].values); });
    return is.stacked && stackOverflows(data, visible);
}

// Whether the axes must be handed scaled values, from the largest magnitude
// their values and fixed ends reach (a stack's sums at most its series' count
// times its largest value). Only lines, areas and scatters number x by the data.
void ChartBuilder::chooseScalings()
{
    const auto fixedEnds = [this](const QString& path) {
        return std::max(std::abs(m.attribute(path, attribute::Minimum).toDouble()),
                        std::abs(m.attribute(path, attribute::Maximum).toDouble()));
    };
    const auto largest = [](double most, const QVector<double>& values) {
        for (double v : values)
            most = std::max(most, std::abs(v)); // a missing value (NaN) leaves it
        return most;
    };
    double y = fixedEnds(element::ValueAxis);
    for (int s : visible)
        y = largest(y, data.series[s].values);
    out.yScaling = axisScaling(is.stacked ? y * double(visible.size()) : y);
    if (is.pie || is.polar || is.bars || is.time)
        return;
    double x = largest(fixedEnds(element::CategoryAxis), data.x);
    if (data.x.isEmpty() && type == ChartType::Scatter)
        for (const QString& category : data.categories)
            x = std::max(x, std::abs(category.toDouble()));
    out.xScaling = axisScaling(x);
}

QString ChartBuilder::seriesName(int i) const
{
    const QString caption = m.attribute(seriesPath(i), attribute::Caption);
    return caption.isEmpty() ? data.series[i].name : caption;
}

QFont ChartBuilder::font(const QString& path) const
{
    // A text takes the whole chart's font where it has none of its own: a value
    // other than its default (read so, a complete customizing draws as a short
    // one), or a title's own (larger and bold by default).
    const bool titled = path == element::Title || path == element::Subtitle;
    const auto value = [&](QLatin1StringView name) {
        const QString own = m.attribute(path, name);
        return titled || own != schema::defaultValue(path, name) ? own : m.attribute(element::GlobalSettings, name);
    };
    QFont f = QApplication::font();
    QString family = value(attribute::FontFamily);
    if (family.isEmpty())
        family = m.attribute(element::GlobalSettings, attribute::FontFamily);
    if (!family.isEmpty())
        f.setFamily(family);
    const QString size = value(attribute::FontSize);
    f.setPointSizeF(size.isEmpty() ? m.attribute(element::GlobalSettings, attribute::FontSize).toDouble()
                                   : size.toDouble());
    f.setBold(value(attribute::FontBold) == QLatin1String("true"));
    return f;
}

QColor ChartBuilder::color(const QString& path) const
{
    return QColor::fromString(m.attribute(path, attribute::Color));
}

bool ChartBuilder::showMarkers() const
{
    return data.pointCount() <= kMarkerLimit && !m.boolAttribute(element::Control, attribute::HidePoints);
}

void ChartBuilder::applyTitle()
{
    out.decor = new ChartDecor(chart);
    for (const QString path : {element::Title, element::Subtitle}) {
        const QString caption =
            m.boolAttribute(path, attribute::Visible) ? m.attribute(path, attribute::Caption) : QString();
        const TextStyle style{font(path), color(path)};
        if (path == element::Title)
            out.decor->setTitle(caption, style);
        else
            out.decor->setSubtitle(caption, style);
    }
}

// The legend lists every visible series once (a pie: its slices, added there).
void ChartBuilder::applyLegend()
{
    const QString path = element::Legend;
    chart->legend()->setVisible(false);
    if (!m.boolAttribute(path, attribute::Visible))
        return;
    const QString position = m.attribute(path, attribute::Position);
    const bool lines = is.lines || is.polar;
    out.decor->setLegend(position == QLatin1String("Top")     ? Qt::AlignTop
                         : position == QLatin1String("Left")  ? Qt::AlignLeft
                         : position == QLatin1String("Right") ? Qt::AlignRight
                                                              : Qt::AlignBottom,
                         lines        ? LegendMark::Line
                         : is.scatter ? LegendMark::Dot
                                      : LegendMark::Box,
                         {font(path), color(path)});
    if (!out.hint.isEmpty() || is.pie)
        return;
    for (int s : visible)
        out.decor->addLegendEntry({seriesName(s), m.seriesColor(s)});
}

void ChartBuilder::buildHint()
{
    auto* axisX = new QValueAxis;
    auto* axisY = new QValueAxis;
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    styleAxis(axisX, element::CategoryAxis);
    styleAxis(axisY, element::ValueAxis);
    out.decor->clearLegend();
    auto* item = new QGraphicsTextItem(chart);
    item->setDefaultTextColor(QColor(0x60, 0x60, 0x60));
    QChart* c = chart;
    const QString hint = drawnText(out.hint);
    // In the chart's font, wrapped to its width and smaller until it fits its height.
    auto place = [c, item, hint, own = font(element::GlobalSettings)] {
        const qreal width = c->size().width();
        QFont f = own;
        for (;;) {
            item->setFont(f);
            setCentredText(item, wrapText(hint, f, std::max(width - 32, 40.0)));
            if (item->boundingRect().height() <= c->size().height() - 16 || f.pointSizeF() <= kMinPoint)
                break;
            f.setPointSizeF(smaller(f.pointSizeF()));
        }
        const QRectF box = item->boundingRect();
        item->setPos(std::round((width - box.width()) / 2), c->plotArea().center().y() - box.height() / 2);
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
}

// Value labels above their points (below where the plot's top is near), inside the plot,
// each left off where it would cover one already placed: piled-up numbers read as none.
static void placePointLabels(QChart* chart, const QRectF& plot,
                             const QList<std::pair<QXYSeries*, QList<QGraphicsSimpleTextItem*>>>& all)
{
    // The chart's other texts (a radar's spoke names and radial labels stand inside its plot) stay readable.
    QList<QRectF> placed;
    QSet<QGraphicsItem*> own;
    for (const auto& entry : all)
        for (QGraphicsSimpleTextItem* label : entry.second)
            own.insert(label);
    if (chart->scene())
        for (QGraphicsItem* item : chart->scene()->items(chart->mapToScene(plot)))
            if (item->isVisible() && !own.contains(item) &&
                (dynamic_cast<QGraphicsSimpleTextItem*>(item) || dynamic_cast<QGraphicsTextItem*>(item)))
                placed << chart->mapRectFromScene(item->sceneBoundingRect()).adjusted(1, 2, -1, -2);
    for (const auto& [series, labels] : all) {
        const QList<QPointF> points = series->points();
        for (qsizetype i = 0; i < labels.size(); ++i) {
            QGraphicsSimpleTextItem* label = labels[i];
            label->setVisible(false);
            if (i >= points.size())
                continue;
            const QPointF at = chart->mapToPosition(points[i], series);
            const QRectF box = label->boundingRect();
            if (!plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(at) || box.width() > plot.width())
                continue;
            QRectF where(at.x() - box.width() / 2, at.y() - box.height() - 4, box.width(), box.height());
            if (where.top() < plot.top())
                where.moveTop(at.y() + 4);
            if (where.bottom() > plot.bottom())
                continue;
            where.moveLeft(std::clamp(where.left(), plot.left(), plot.right() - where.width()));
            // A radar's closing point stands on its first and carries the same label: drawn once.
            const QRectF gap = where.adjusted(-1, 0, 1, 0);
            if (std::any_of(placed.begin(), placed.end(), [&](const QRectF& r) { return r.intersects(gap); }))
                continue;
            label->setPos(where.topLeft());
            label->setVisible(true);
            placed << where;
        }
    }
}

void ChartBuilder::decorate(QXYSeries* series, int s)
{
    if (modes.valueLabels && data.pointCount() <= kMarkerLimit) {
        // Our own labels above the points: Qt Charts writes 2.5e+06 for 2,500,000.
        QList<QGraphicsSimpleTextItem*> labels;
        for (const QPointF& point : series->points()) {
            auto* label = new QGraphicsSimpleTextItem(valueText(out.yScaling.value(point.y())), chart);
            label->setFont(series->pointLabelsFont());
            label->setBrush(series->pointLabelsColor());
            label->setZValue(11);
            labels << label;
        }
        if (!m_pointLabels) {
            m_pointLabels = std::make_shared<PointLabels>();
            QChart* c = chart;
            QObject::connect(chart, &QChart::plotAreaChanged, chart,
                             [c, all = m_pointLabels](const QRectF& plot) { placePointLabels(c, plot, *all); });
        }
        m_pointLabels->append({series, labels});
    }
    if (modes.tooltips) {
        const QString name = seriesName(s);
        QObject::connect(
            series, &QXYSeries::hovered, chart, [name, y = out.yScaling](const QPointF& point, bool state) {
                if (state)
                    QToolTip::showText(QCursor::pos(),
                                       tooltipText(QStringLiteral("%1: %2").arg(name, valueText(y.value(point.y())))));
                else
                    QToolTip::hideText();
            });
    }
}

void ChartBuilder::addLinePiece(int s, const QPen& pen, bool markers, QList<QPointF>& points, QVector<int>& indices)
{
    if (points.isEmpty())
        return;
    auto* series = new QLineSeries;
    series->setName(seriesName(s));
    series->setPen(pen);
    series->setPointsVisible(markers);
    series->replace(points);
    decorate(series, s);
    chart->addSeries(series);
    out.plotted.append({series, s, indices});
    points.clear();
    indices.clear();
}

const QStringList& ChartBuilder::pointLabels()
{
    if (m_shownLabels.size() == data.pointCount())
        return m_shownLabels;
    m_shownLabels.clear();
    m_shownLabels.reserve(data.pointCount());
    for (int i = 0; i < data.pointCount(); ++i)
        m_shownLabels << data.label(i);
    if (data.categories.isEmpty() && !data.times.isEmpty()) {
        const QStringList times = timeLabels(data.times);
        for (qsizetype i = 0; i < times.size() && i < m_shownLabels.size(); ++i)
            m_shownLabels[i] = times[i];
    }
    return m_shownLabels;
}

QString ChartBuilder::pointLabel(int i)
{
    return pointLabels().value(i);
}

// ---- axes ----------------------------------------------------------------

void ChartBuilder::styleAxis(QAbstractAxis* axis, const QString& path)
{
    axis->setVisible(m.boolAttribute(path, attribute::Visible));
    axis->setGridLineVisible(m.boolAttribute(path, attribute::GridLines));
    const QColor c = color(path);
    axis->setLabelsColor(c);
    axis->setLinePenColor(c);
    axis->setTitleBrush(c);
    axis->setLabelsFont(font(element::GlobalSettings));
    axis->setTruncateLabels(false);
    QFont titleFont = font(element::GlobalSettings);
    titleFont.setBold(true);
    axis->setTitleFont(titleFont);
    QString title;
    const QString titlePath = path + u'.' + element::AxisTitle, unitPath = path + u'.' + element::AxisUnit;
    if (m.boolAttribute(titlePath, attribute::Visible))
        title = m.attribute(titlePath, attribute::Caption);
    const QString unit = m.attribute(unitPath, attribute::Caption);
    if (m.boolAttribute(unitPath, attribute::Visible) && !unit.isEmpty())
        title = title.isEmpty() ? QStringLiteral("[%1]").arg(unit) : QStringLiteral("%1 [%2]").arg(title, unit);
    axis->setProperty(kAxisTitleKey, drawnText(title));
    axis->setTitleText(drawnMarkup(title));
    axis->setTitleVisible(!title.isEmpty());
}

// Lays out the labels of the chart's axes at the chart's size, and again whenever it changes.
AxisLayout* ChartBuilder::axisLayout()
{
    if (!m_axes)
        m_axes = new AxisLayout(chart);
    return m_axes;
}

// Range from the data, widened to nice numbers unless the customizing fixes an
// end; at most `steps` steps, fewer where the labels need the room.
void ChartBuilder::setValueRange(QValueAxis* axis, const QString& path, double lo, double hi, bool includeZero,
                                 int steps, bool alongX)
{
    if (!(lo <= hi)) {
        lo = 0;
        hi = 1;
    }
    if (includeZero) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
    }
    const QString minimum = m.attribute(path, attribute::Minimum);
    const QString maximum = m.attribute(path, attribute::Maximum);
    if (!minimum.isEmpty())
        lo = minimum.toDouble();
    if (!maximum.isEmpty())
        hi = maximum.toDouble();
    const bool round = minimum.isEmpty() && maximum.isEmpty();
    if (round && !includeZero) {
        // A marker on a nice end would be cut in half: such an end moves out a step (zero stays an end).
        const double pad = (hi / 2 - lo / 2) / 25;
        // Nor does the pad take data of one sign across zero: concentrations read as below nothing.
        lo = lo == 0 ? lo : std::max(lo - pad, lo > 0 ? 0.0 : -DBL_MAX);
        hi = hi == 0 ? hi : std::min(hi + pad, hi < 0 ? 0.0 : DBL_MAX);
    }
    if (!(hi > lo))
        std::tie(lo, hi) = drawnRange(lo, lo);
    const QString format = m.attribute(path, attribute::NumberFormat);
    const ValueTicks ticks = valueTicks(lo, hi, steps, round);
    const AxisScaling scaling = path == element::ValueAxis ? out.yScaling : out.xScaling;
    axis->setRange(scaling.shown(ticks.lo), scaling.shown(ticks.hi));
    axis->setTickCount(ticks.tickCount);
    // The wizard fixes a scale at the range shown: it finds the axis by its path.
    axis->setObjectName(path);
    axisLayout()->addValues(axis, format, alongX, scaling);
}

// A secondary axis showing what `primary` shows; the axis layout keeps both alike.
QAbstractAxis* ChartBuilder::cloneCategoryLike(QAbstractAxis* primary)
{
    auto* v = static_cast<QValueAxis*>(primary);
    QValueAxis* copy = nullptr;
    if (auto* c = qobject_cast<QCategoryAxis*>(primary)) {
        auto* categories = new QCategoryAxis;
        categories->setLabelsPosition(c->labelsPosition());
        copy = categories;
    } else {
        copy = new QValueAxis;
    }
    copy->setRange(v->min(), v->max());
    copy->setTickCount(v->tickCount());
    axisLayout()->mirror(v, copy);
    return copy;
}

// Adds the axes to the chart and every series to them; the secondary axes
// mirror the primary ones on the opposite side.
void ChartBuilder::attachAxes(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis, bool horizontal)
{
    const Qt::Alignment catSide = horizontal ? Qt::AlignLeft : Qt::AlignBottom;
    const Qt::Alignment valSide = horizontal ? Qt::AlignBottom : Qt::AlignLeft;
    chart->addAxis(categoryAxis, catSide);
    chart->addAxis(valueAxis, valSide);
    styleAxis(categoryAxis, element::CategoryAxis);
    styleAxis(valueAxis, element::ValueAxis);
    QList<QAbstractAxis*> axes{categoryAxis, valueAxis};
    if (m.boolAttribute(element::CategoryAxisSec, attribute::Visible)) {
        QAbstractAxis* sec = cloneCategoryLike(categoryAxis);
        chart->addAxis(sec, horizontal ? Qt::AlignRight : Qt::AlignTop);
        styleAxis(sec, element::CategoryAxisSec);
        axes << sec;
    }
    if (m.boolAttribute(element::ValueAxisSec, attribute::Visible)) {
        QAbstractAxis* sec = cloneCategoryLike(valueAxis);
        chart->addAxis(sec, horizontal ? Qt::AlignTop : Qt::AlignRight);
        styleAxis(sec, element::ValueAxisSec);
        axes << sec;
    }
    for (QAbstractSeries* s : chart->series())
        for (QAbstractAxis* a : axes)
            s->attachAxis(a);
    axisLayout()->relayout();
}

// Categories on a value axis: point i at i, each label whole, thinned to fit.
QCategoryAxis* ChartBuilder::makeCategoryAxis(bool alongX)
{
    auto* axis = newLabelledAxis();
    axis->setRange(-0.5, data.pointCount() - 0.5);
    axisLayout()->addCategories(axis, pointLabels(), alongX);
    return axis;
}

} // namespace vizorb
