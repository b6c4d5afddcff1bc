#include "vizorb/chart/chart_view.h"

#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_budget.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/reduce.h"
#include "vizorb/model/chart_model.h"

#include "platform/variant.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QCursor>
#include <QGraphicsTextItem>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPolarChart>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vizorb {
namespace {

const QString kGlobal = QStringLiteral("GlobalSettings");
constexpr int kMarkerLimit = 60; // line markers only while they stay readable
// Qt Charts makes one graphics item per spoke label: beyond this a radar
// shows nothing readable. The whole chart's budget is in chart_budget.h.
constexpr int kMaxSpokes = 360;
constexpr int kMaxSeries = schema::maxSeriesElements;
constexpr int kMaxNamedRings = 12; // beyond this a doughnut's rings are listed under the title

std::pair<double, double> axisRange(const QAbstractAxis* axis)
{
    if (auto* v = qobject_cast<const QValueAxis*>(axis))
        return {v->min(), v->max()};
    return {0, 1};
}

// Dense scatter series painted as one layer: each point marks its pixel, and
// the marked pixels grow into markers, which is what drawing every point's
// marker would show, at a cost bound by the plot's size however many series
// there are. A later series is drawn over an earlier one.
class DenseScatterItem final : public QGraphicsItem {
public:
    struct Layer {
        int series;
        QVector<double> y;
        QColor color;
    };

    DenseScatterItem(QChart* chart, QVector<double> x, QList<Layer> layers, const QAbstractAxis* xAxis,
                     const QAbstractAxis* yAxis)
        : QGraphicsItem(chart), m_chart(chart), m_x(std::move(x)), m_layers(std::move(layers)), m_xAxis(xAxis),
          m_yAxis(yAxis)
    {
    }

    // The point drawn nearest `pos` (chart coordinates) whose squared distance
    // in pixels is at most `*best`, which it then lowers; {series, point},
    // 0-based, or {-1, -1} when none is. The later series wins a tie.
    std::pair<int, qsizetype> nearest(QPointF pos, double* best) const
    {
        const QRectF area = m_chart->plotArea();
        const auto [x0, x1] = axisRange(m_xAxis);
        const auto [y0, y1] = axisRange(m_yAxis);
        std::pair<int, qsizetype> found{-1, -1};
        if (!(x1 > x0) || !(y1 > y0))
            return found;
        const double sx = area.width() / (x1 - x0), sy = area.height() / (y1 - y0);
        for (const Layer& layer : m_layers) {
            const qsizetype n = std::min(m_x.size(), layer.y.size());
            for (qsizetype i = 0; i < n; ++i) {
                const double dx = area.left() + (m_x[i] - x0) * sx - pos.x();
                const double dy = area.top() + (y1 - layer.y[i]) * sy - pos.y();
                // NaN (a missing value) never compares true.
                if (dx * dx + dy * dy <= *best) {
                    *best = dx * dx + dy * dy;
                    found = {layer.series, i};
                }
            }
        }
        return found;
    }

    QRectF boundingRect() const override { return m_chart->plotArea(); }
    void refresh()
    {
        prepareGeometryChange();
        update();
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        const QRectF area = m_chart->plotArea();
        const int w = int(std::ceil(area.width())), h = int(std::ceil(area.height()));
        if (w <= 0 || h <= 0 || m_layers.isEmpty())
            return;
        const auto [x0, x1] = axisRange(m_xAxis);
        const auto [y0, y1] = axisRange(m_yAxis);
        if (!(x1 > x0) || !(y1 > y0))
            return;
        // Each pixel remembers the last layer that marks it (1-based): a
        // marker at the same pixel of an earlier layer lies wholly under it.
        std::vector<std::uint16_t> top(std::size_t(w) * h, 0);
        const double sx = area.width() / (x1 - x0), sy = area.height() / (y1 - y0);
        for (int k = 0; k < m_layers.size(); ++k) {
            const QVector<double>& ys = m_layers[k].y;
            const qsizetype n = std::min(m_x.size(), ys.size());
            for (qsizetype i = 0; i < n; ++i) {
                const double fx = (m_x[i] - x0) * sx, fy = (y1 - ys[i]) * sy;
                // Also false for NaN: a missing value, or what extreme ranges give.
                if (fx >= 0 && fx < w && fy >= 0 && fy < h)
                    top[std::size_t(fy) * w + std::size_t(fx)] = std::uint16_t(k + 1);
            }
        }
        // Marked pixels by layer, earlier layers first.
        std::vector<std::size_t> start(m_layers.size() + 2, 0);
        for (std::uint16_t t : top)
            ++start[t + 1];
        for (std::size_t k = 1; k < start.size(); ++k)
            start[k] += start[k - 1];
        std::vector<std::uint32_t> order(start.back());
        for (std::size_t p = 0; p < top.size(); ++p)
            order[start[top[p]]++] = std::uint32_t(p);
        QImage layer(w, h, QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        constexpr int r = 2;
        for (std::uint32_t p : order) {
            const int mark = top[p];
            if (!mark)
                continue;
            const QRgb rgb = m_layers[mark - 1].color.rgb();
            const int px = int(p % std::uint32_t(w)), py = int(p / std::uint32_t(w));
            for (int dy = -r; dy <= r; ++dy) {
                const int yy = py + dy;
                if (yy < 0 || yy >= h)
                    continue;
                auto* line = reinterpret_cast<QRgb*>(layer.scanLine(yy));
                const int reach = dy * dy <= 1 ? r : r - 1;
                for (int xx = std::max(0, px - reach); xx <= std::min(w - 1, px + reach); ++xx)
                    line[xx] = rgb;
            }
        }
        painter->drawImage(area.topLeft(), layer);
    }

private:
    QChart* m_chart;
    QVector<double> m_x;
    QList<Layer> m_layers;
    const QAbstractAxis* m_xAxis;
    const QAbstractAxis* m_yAxis;
};

bool isBar(const QString& type)
{
    return type.endsWith(QLatin1String("Bars")) || type.endsWith(QLatin1String("Columns"));
}

} // namespace

struct Plotted {
    QXYSeries* qt;
    int series;
    QVector<int> indices; // the data point of each Qt point
};

struct ChartView::Private {
    explicit Private(ChartModel& m) : model(m) {}
    ChartModel& model;
    bool held = false;
    bool dirty = true;
    bool scheduled = false;
    int buckets = 0;
    QString hint;
    QList<Plotted> plotted;
    QList<int> barSeries;           // data series of each bar set
    QList<DenseScatterItem*> dense; // owned by the chart
    ChartDecor* decor = nullptr;    // owned by the chart
    std::optional<ChartHit> pending;
    bool horizontalBars = false;
    ViewModes modes;
};

// Builds one QChart from the model.
class ChartBuilder {
public:
    ChartBuilder(const ChartModel& model, ChartView::Private& d, int buckets)
        : m(model), data(model.data()), d(d), buckets(buckets)
    {
        type = m.attribute(kGlobal, QStringLiteral("ChartType"));
        for (int i = 0; i < data.series.size(); ++i)
            if (m.boolAttribute(seriesPath(i), QStringLiteral("Visible")))
                visible << i;
    }

    QChart* build()
    {
        d.plotted.clear();
        d.barSeries.clear();
        d.dense.clear();
        d.hint.clear();
        d.horizontalBars = type == QLatin1String("Bars") || type == QLatin1String("StackedBars");
        const qsizetype points = data.pointCount();
        if (data.isEmpty() || points == 0)
            d.hint = QStringLiteral("No data loaded. Open a data file to draw the chart.");
        else if (visible.isEmpty())
            d.hint = QStringLiteral("Every series is hidden.");
        else if (visible.size() > kMaxSeries)
            d.hint = QStringLiteral("%1 series are too many to draw; a chart shows at most %2.")
                         .arg(visible.size())
                         .arg(kMaxSeries);
        else if (type == QLatin1String("TimeScatter") && data.times.isEmpty())
            d.hint = QStringLiteral("A TimeScatter chart needs time values: give the data a <Times> list.");
        else if (isBar(type) && points * visible.size() > kMaxBars)
            d.hint = QStringLiteral("%1 bars are too many to draw; choose Lines, Area or Scatter.")
                         .arg(points * visible.size());
        else if (const qsizetype slices = isPie() ? sliceCount() : 0; slices > kMaxSlices)
            d.hint = QStringLiteral("%1 slices are too many to draw; choose Lines, Area or Scatter.").arg(slices);
        else if (type == QLatin1String("Radar") && points > kMaxSpokes)
            d.hint = QStringLiteral("%1 spokes are too many for a radar; choose Lines or Polar.").arg(points);
        else if (fewestQtSeries() > kMaxPieces)
            d.hint =
                QStringLiteral("%1 series are too many to draw as %2; choose Lines.").arg(visible.size()).arg(type);
        else if (isPolar() && visible.size() * 4 * kMinColumns > kMaxPolarPoints)
            d.hint = QStringLiteral("%1 series are too many for a polar chart; choose Lines.").arg(visible.size());
        else if (sumsOverflow())
            d.hint = QStringLiteral("The values add up beyond the largest number this chart can show; choose Lines, "
                                    "Columns or Scatter.");
        // A hint sits on a plain chart: a polar one cannot take the hint's axes.
        const bool polar = d.hint.isEmpty() && isPolar();
        chart = polar ? new QPolarChart : new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->setBackgroundBrush(QColor::fromString(m.attribute(kGlobal, QStringLiteral("BackgroundColor"))));
        chart->setBackgroundRoundness(0);
        applyTitle();
        applyLegend();
        if (d.hint.isEmpty()) {
            if (isPie())
                buildPie();
            else if (polar)
                buildPolar();
            else if (isBar(type))
                buildBars();
            else
                buildXY();
        }
        if (!d.hint.isEmpty())
            buildHint();
        return chart;
    }

private:
    QString seriesPath(int i) const { return QStringLiteral("Series%1").arg(i + 1); }
    bool isPie() const { return type == QLatin1String("Pie") || type == QLatin1String("Doughnut"); }
    bool isPolar() const { return type == QLatin1String("Polar") || type == QLatin1String("Radar"); }
    // Qt series the chart needs with every gap joined: an area and its outline
    // for a plain area; a band for each sign a stacked area's values take.
    qsizetype fewestQtSeries() const
    {
        if (type == QLatin1String("Area"))
            return 2 * visible.size();
        if (type != QLatin1String("StackedArea"))
            return visible.size();
        qsizetype count = 0;
        for (int s : visible) {
            const QVector<double>& values = data.series[s].values;
            const bool falls = std::ranges::any_of(values, [](double v) { return v < 0; });
            count += falls && std::ranges::any_of(values, [](double v) { return v > 0; }) ? 2 : 1;
        }
        return count;
    }
    // A pie shows the first visible series; a doughnut one ring per series, the first innermost.
    QList<int> rings() const { return type == QLatin1String("Doughnut") ? visible : QList<int>{visible.first()}; }
    // One slice per positive value of every ring.
    qsizetype sliceCount() const
    {
        qsizetype count = 0;
        for (int s : rings())
            count += std::count_if(data.series[s].values.begin(), data.series[s].values.end(),
                                   [](double v) { return v > 0; });
        return count;
    }
    // A sum beyond the largest double would draw an empty pie or an axis up to "inf".
    bool sumsOverflow() const
    {
        if (isPie())
            return std::ranges::any_of(rings(), [this](int s) { return pieOverflows(data.series[s].values); });
        return type.startsWith(QLatin1String("Stacked")) && stackOverflows(data, visible);
    }
    QString seriesName(int i) const
    {
        const QString caption = m.attribute(seriesPath(i), QStringLiteral("Caption"));
        return caption.isEmpty() ? data.series[i].name : caption;
    }
    QFont font(const QString& path) const
    {
        QFont f = QApplication::font();
        QString family = m.attribute(path, QStringLiteral("FontFamily"));
        if (family.isEmpty())
            family = m.attribute(kGlobal, QStringLiteral("FontFamily"));
        if (!family.isEmpty())
            f.setFamily(family);
        const QString size = m.attribute(path, QStringLiteral("FontSize"));
        f.setPointSizeF(size.isEmpty() ? m.attribute(kGlobal, QStringLiteral("FontSize")).toDouble() : size.toDouble());
        f.setBold(m.boolAttribute(path, QStringLiteral("FontBold")));
        return f;
    }
    QColor color(const QString& path) const { return QColor::fromString(m.attribute(path, QStringLiteral("Color"))); }

    void applyTitle()
    {
        d.decor = new ChartDecor(chart);
        for (const QString& path : {QStringLiteral("Title"), QStringLiteral("Subtitle")}) {
            const QString caption = m.boolAttribute(path, QStringLiteral("Visible"))
                                        ? m.attribute(path, QStringLiteral("Caption"))
                                        : QString();
            const TextStyle style{font(path), color(path)};
            if (path == QLatin1String("Title"))
                d.decor->setTitle(caption, style);
            else
                d.decor->setSubtitle(caption, style);
        }
    }

    // The legend lists every visible series once (a pie: its slices, added there).
    void applyLegend()
    {
        const QString path = QStringLiteral("Legend");
        chart->legend()->setVisible(false);
        if (!m.boolAttribute(path, QStringLiteral("Visible")))
            return;
        const QString position = m.attribute(path, QStringLiteral("Position"));
        const bool lines =
            type.endsWith(QLatin1String("Lines")) || type == QLatin1String("Polar") || type == QLatin1String("Radar");
        d.decor->setLegend(position == QLatin1String("Top")     ? Qt::AlignTop
                           : position == QLatin1String("Left")  ? Qt::AlignLeft
                           : position == QLatin1String("Right") ? Qt::AlignRight
                                                                : Qt::AlignBottom,
                           lines                                     ? LegendMark::Line
                           : type.endsWith(QLatin1String("Scatter")) ? LegendMark::Dot
                                                                     : LegendMark::Box,
                           {font(path), color(path)});
        if (!d.hint.isEmpty() || isPie())
            return;
        for (int s : visible)
            d.decor->addLegendEntry({seriesName(s), m.seriesColor(s)});
    }

    void buildHint()
    {
        auto* axisX = new QValueAxis;
        auto* axisY = new QValueAxis;
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);
        styleAxis(axisX, QStringLiteral("CategoryAxis"));
        styleAxis(axisY, QStringLiteral("ValueAxis"));
        d.decor->clearLegend();
        auto* item = new QGraphicsTextItem(chart);
        QFont f = QApplication::font();
        f.setPointSizeF(11);
        item->setFont(f);
        item->setDefaultTextColor(QColor(0x60, 0x60, 0x60));
        QChart* c = chart;
        const QString hint = drawnText(d.hint);
        // Wrapped to the chart's width, so no hint runs past its edges.
        auto place = [c, item, hint, f] {
            const qreal width = c->size().width();
            setCentredText(item, wrapText(hint, f, std::max(width - 32, 40.0)));
            const QRectF box = item->boundingRect();
            item->setPos(std::round((width - box.width()) / 2), c->plotArea().center().y() - box.height() / 2);
        };
        QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
        place();
    }

    // Value labels and tooltips of a point series, as the modes ask.
    void decorate(QXYSeries* series, int s)
    {
        if (d.modes.valueLabels && data.pointCount() <= kMarkerLimit) {
            series->setPointLabelsFormat(QStringLiteral("@yPoint"));
            series->setPointLabelsVisible(true);
            series->setPointLabelsClipping(false);
        }
        if (d.modes.tooltips) {
            const QString name = seriesName(s);
            QObject::connect(series, &QXYSeries::hovered, chart, [name](const QPointF& point, bool state) {
                if (state)
                    QToolTip::showText(QCursor::pos(), tooltipText(QStringLiteral("%1: %2").arg(
                                                           name, platform::formatNumber(point.y(), 6))));
                else
                    QToolTip::hideText();
            });
        }
    }

    // Adds one unbroken piece of series s's line and empties `points` and
    // `indices`.
    void addLinePiece(int s, const QPen& pen, bool markers, QList<QPointF>& points, QVector<int>& indices)
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
        d.plotted.append({series, s, indices});
        points.clear();
        indices.clear();
    }

    // ---- axes ----------------------------------------------------------------

    void styleAxis(QAbstractAxis* axis, const QString& path)
    {
        axis->setVisible(m.boolAttribute(path, QStringLiteral("Visible")));
        axis->setGridLineVisible(m.boolAttribute(path, QStringLiteral("GridLines")));
        const QColor c = color(path);
        axis->setLabelsColor(c);
        axis->setLinePenColor(c);
        axis->setTitleBrush(c);
        axis->setLabelsFont(font(kGlobal));
        axis->setTruncateLabels(false);
        QFont titleFont = font(kGlobal);
        titleFont.setBold(true);
        axis->setTitleFont(titleFont);
        QString title;
        const QString titlePath = path + QLatin1String(".Title"), unitPath = path + QLatin1String(".Unit");
        if (m.boolAttribute(titlePath, QStringLiteral("Visible")))
            title = m.attribute(titlePath, QStringLiteral("Caption"));
        const QString unit = m.attribute(unitPath, QStringLiteral("Caption"));
        if (m.boolAttribute(unitPath, QStringLiteral("Visible")) && !unit.isEmpty())
            title = title.isEmpty() ? QStringLiteral("[%1]").arg(unit) : QStringLiteral("%1 [%2]").arg(title, unit);
        axis->setTitleText(drawnMarkup(title));
        axis->setTitleVisible(!title.isEmpty());
    }

    // Lays out the labels of the chart's axes at the chart's size, and again whenever it changes.
    AxisLayout* axisLayout()
    {
        if (!axes)
            axes = new AxisLayout(chart);
        return axes;
    }

    // Range from the data, widened to nice numbers unless the customizing fixes an
    // end; at most `steps` steps, fewer where the labels need the room.
    void setValueRange(QValueAxis* axis, const QString& path, double lo, double hi, bool includeZero, int steps = 8,
                       bool alongX = false)
    {
        if (!(lo <= hi)) {
            lo = 0;
            hi = 1;
        }
        if (includeZero) {
            lo = std::min(lo, 0.0);
            hi = std::max(hi, 0.0);
        }
        const QString minimum = m.attribute(path, QStringLiteral("Minimum"));
        const QString maximum = m.attribute(path, QStringLiteral("Maximum"));
        if (!minimum.isEmpty())
            lo = minimum.toDouble();
        if (!maximum.isEmpty())
            hi = maximum.toDouble();
        if (!(hi > lo))
            std::tie(lo, hi) = finiteRange(lo, lo);
        const bool round = minimum.isEmpty() && maximum.isEmpty();
        const QString format = m.attribute(path, QStringLiteral("NumberFormat"));
        const ValueTicks ticks = valueTicks(lo, hi, steps, round);
        axis->setRange(ticks.lo, ticks.hi);
        axis->setTickCount(ticks.tickCount);
        axis->setLabelFormat(format.isEmpty() ? ticks.format : format);
        axisLayout()->addValues(axis, format, alongX);
    }

    // A secondary axis showing what `primary` shows; the axis layout keeps both alike.
    QAbstractAxis* cloneCategoryLike(QAbstractAxis* primary)
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
        copy->setLabelFormat(v->labelFormat());
        axisLayout()->mirror(v, copy);
        return copy;
    }

    // Adds the axes to the chart and every series to them; the secondary axes
    // mirror the primary ones on the opposite side.
    void attachAxes(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis, bool horizontal)
    {
        const Qt::Alignment catSide = horizontal ? Qt::AlignLeft : Qt::AlignBottom;
        const Qt::Alignment valSide = horizontal ? Qt::AlignBottom : Qt::AlignLeft;
        chart->addAxis(categoryAxis, catSide);
        chart->addAxis(valueAxis, valSide);
        styleAxis(categoryAxis, QStringLiteral("CategoryAxis"));
        styleAxis(valueAxis, QStringLiteral("ValueAxis"));
        QList<QAbstractAxis*> axes{categoryAxis, valueAxis};
        if (m.boolAttribute(QStringLiteral("CategoryAxisSec"), QStringLiteral("Visible"))) {
            QAbstractAxis* sec = cloneCategoryLike(categoryAxis);
            chart->addAxis(sec, horizontal ? Qt::AlignRight : Qt::AlignTop);
            styleAxis(sec, QStringLiteral("CategoryAxisSec"));
            axes << sec;
        }
        if (m.boolAttribute(QStringLiteral("ValueAxisSec"), QStringLiteral("Visible"))) {
            QAbstractAxis* sec = cloneCategoryLike(valueAxis);
            chart->addAxis(sec, horizontal ? Qt::AlignTop : Qt::AlignRight);
            styleAxis(sec, QStringLiteral("ValueAxisSec"));
            axes << sec;
        }
        for (QAbstractSeries* s : chart->series())
            for (QAbstractAxis* a : axes)
                s->attachAxis(a);
        axisLayout()->relayout();
    }

    // ---- positions of the points along the category axis ----------------------

    enum class XKind { Category, Value, Time };
    XKind xKind = XKind::Value;
    QVector<double> xs;
    AxisLayout* axes = nullptr;

    // The points' labels as the chart shows them (axes, legend, slice labels,
    // tooltips): times in the form of their spacing, not as stored.
    const QStringList& pointLabels()
    {
        if (shownLabels.size() == data.pointCount())
            return shownLabels;
        shownLabels.clear();
        shownLabels.reserve(data.pointCount());
        for (int i = 0; i < data.pointCount(); ++i)
            shownLabels << data.label(i);
        if (data.categories.isEmpty() && !data.times.isEmpty()) {
            const QStringList times = timeLabels(data.times);
            for (qsizetype i = 0; i < times.size() && i < shownLabels.size(); ++i)
                shownLabels[i] = times[i];
        }
        return shownLabels;
    }
    QString pointLabel(int i) { return pointLabels().value(i); }
    QStringList shownLabels;

    // Spokes named by the points' labels.
    QCategoryAxis* spokeAxis(double span)
    {
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setRange(0, span);
        axisLayout()->addSpokes(axis, pointLabels(), span);
        return axis;
    }

    // Categories on a value axis: point i at i, each label whole, thinned to fit.
    QCategoryAxis* makeCategoryAxis(bool alongX)
    {
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setRange(-0.5, data.pointCount() - 0.5);
        axisLayout()->addCategories(axis, pointLabels(), alongX);
        return axis;
    }

    void choosePositions(bool preferCategories)
    {
        const int n = data.pointCount();
        if (!data.x.isEmpty() && data.x.size() == n && type != QLatin1String("TimeScatter")) {
            xKind = XKind::Value;
            xs = data.x; // shared, not copied: it may be millions of points
            return;
        }
        xs.resize(n);
        if (type == QLatin1String("TimeScatter") || (data.x.isEmpty() && !data.times.isEmpty())) {
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
        if (type == QLatin1String("Scatter") && !data.categories.isEmpty()) {
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
        const double pad = type.endsWith(QLatin1String("Scatter")) ? 0.03 : 0.0;
        if (xKind == XKind::Time) {
            // Ticks on calendar boundaries; a scatter's markers stay whole
            // inside the boundaries around its times.
            auto* axis = new QCategoryAxis;
            axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
            if (!(lo <= hi))
                lo = hi = 0;
            axisLayout()->addTimes(axis, qint64(lo), qint64(hi), pad > 0);
            return axis;
        }
        auto* axis = new QValueAxis;
        // Each end's share of the span, so extreme ends cannot overflow it.
        setValueRange(axis, QStringLiteral("CategoryAxis"), lo - (pad * hi - pad * lo), hi + (pad * hi - pad * lo),
                      false, 8, true);
        return axis;
    }

    // ---- chart kinds -------------------------------------------------------------

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
        const double width = m.attribute(seriesPath(s), QStringLiteral("LineWidth")).toDouble();
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
            points << QPointF(xs[i], upper[i]);
            low << QPointF(xs[i], lower ? (*lower)[i] : 0.0);
            indices << i;
        }
        flush();
    }

    void buildXY()
    {
        const bool stacked = type.startsWith(QLatin1String("Stacked"));
        const bool area = type.endsWith(QLatin1String("Area"));
        const bool scatter = type.endsWith(QLatin1String("Scatter"));
        choosePositions(true);
        const int n = data.pointCount();
        bool ascending = true;
        for (int i = 1; i < n && ascending; ++i)
            ascending = !(xs[i] < xs[i - 1]);
        const bool markers =
            n <= kMarkerLimit && !m.boolAttribute(QStringLiteral("Control"), QStringLiteral("HidePoints"));

        QAbstractAxis* xAxis = makeXAxis();
        auto* yAxis = new QValueAxis;
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
                        points << QPointF(xs[i], values[i]);
                        indices << i;
                    }
                series->replace(points);
                decorate(series, s);
                chart->addSeries(series);
                d.plotted.append({series, s, indices});
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
                const QPen pen(c, m.attribute(seriesPath(s), QStringLiteral("LineWidth")).toDouble());
                QList<QPointF> points;
                QVector<int> indices;
                for (int i : kept) {
                    if (i < 0) {
                        addLinePiece(s, pen, markers, points, indices);
                        continue;
                    }
                    points << QPointF(xs[i], ys[i]);
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
        setValueRange(yAxis, QStringLiteral("ValueAxis"), lo, hi, stacked || area);
        attachAxes(xAxis, yAxis, false);
        if (!layers.isEmpty()) {
            auto* item = new DenseScatterItem(chart, xs, std::move(layers), xAxis, yAxis);
            d.dense << item;
            item->setZValue(10);
            QObject::connect(chart, &QChart::plotAreaChanged, chart, [item] { item->refresh(); });
        }
    }

    void buildBars()
    {
        const bool stacked = type.startsWith(QLatin1String("Stacked"));
        const bool horizontal = d.horizontalBars;
        QAbstractBarSeries* series =
            horizontal ? (stacked ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries)
                                  : new QHorizontalBarSeries)
                       : (stacked ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries) : new QBarSeries);
        const int n = data.pointCount();
        double lo = 0, hi = 0;
        QVector<double> positive(n, 0.0), negative(n, 0.0);
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
            d.barSeries << s;
            if (d.modes.tooltips) {
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
        ChartView::Private* state = &d;
        QObject::connect(series, &QAbstractBarSeries::clicked, chart, [state, series](int index, QBarSet* set) {
            const int k = int(series->barSets().indexOf(set));
            if (k >= 0 && k < state->barSeries.size())
                state->pending = ChartHit{QStringLiteral("Series"), state->barSeries[k] + 1, index + 1};
        });
        if (d.modes.valueLabels) {
            series->setLabelsVisible(true);
            series->setLabelsPosition(stacked ? QAbstractBarSeries::LabelsCenter
                                              : QAbstractBarSeries::LabelsOutsideEnd);
        }
        chart->addSeries(series);
        choosePositions(true);
        QCategoryAxis* categoryAxis = makeCategoryAxis(!horizontal);
        auto* valueAxis = new QValueAxis;
        setValueRange(valueAxis, QStringLiteral("ValueAxis"), lo, hi, true, 8, horizontal);
        attachAxes(categoryAxis, valueAxis, horizontal);
    }

    void buildPie()
    {
        const bool doughnut = type == QLatin1String("Doughnut");
        const QList<QColor> palette = schema::paletteColors(m.attribute(kGlobal, QStringLiteral("ColorPalette")));
        const QList<int> rings = this->rings();
        const double hole = doughnut ? 0.35 : 0.0, outer = 0.8;
        const double step = (outer - hole) / rings.size();
        const int n = data.pointCount();
        bool anything = false;
        ChartView::Private* state = &d;
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
            QObject::connect(series, &QPieSeries::clicked, chart, [state, s](QPieSlice* slice) {
                state->pending = ChartHit{QStringLiteral("Series"), s + 1, slice->property("point").toInt() + 1};
            });
            chart->addSeries(series);
            drawn << series;
        }
        if (!anything)
            d.hint = QStringLiteral("There are no positive values to show.");
        else
            addPieTexts(drawn, rings);
    }

    // The legend names every slice, labels with leader lines stand outside the
    // outermost ring, inner rings carry their values, and the rings (or a pie's
    // one series of several) are named.
    void addPieTexts(const QList<QPieSeries*>& drawn, const QList<int>& rings)
    {
        const bool doughnut = type == QLatin1String("Doughnut");
        const int n = data.pointCount();
        QVector<bool> listed(n, false);
        for (QPieSeries* series : drawn)
            for (QPieSlice* slice : series->slices()) {
                const int i = slice->property("point").toInt();
                if (!listed[i])
                    d.decor->addLegendEntry({pointLabel(i), slice->color()});
                listed[i] = true;
            }
        QStringList labels;
        if (d.modes.valueLabels || (!doughnut && n <= 12)) {
            const QPieSeries* outer = drawn.last();
            const double total = outer->sum();
            for (const QPieSlice* slice : outer->slices()) {
                const QString name = pointLabel(slice->property("point").toInt());
                labels
                    << (d.modes.valueLabels
                            ? QStringLiteral("%1: %2").arg(name, platform::formatNumber(slice->value(), 15))
                            : QStringLiteral("%1 (%2%)").arg(name).arg(std::round(1000 * slice->value() / total) / 10));
            }
        }
        // Inner rings show their values inside their slices.
        QList<QStringList> inner;
        if (d.modes.valueLabels)
            for (qsizetype r = 0; r + 1 < drawn.size(); ++r) {
                inner.append(QStringList());
                for (const QPieSlice* slice : drawn[r]->slices())
                    inner.last() << platform::formatNumber(slice->value(), 15);
            }
        // Several rings are named beside them; so is a pie's series when others are not drawn.
        QStringList names;
        for (int s : rings)
            names << seriesName(s);
        const bool named = (doughnut && rings.size() > 1) || (!doughnut && visible.size() > 1);
        const bool beside = named && rings.size() <= kMaxNamedRings;
        const TextStyle labelStyle{font(kGlobal), color(QStringLiteral("Legend"))};
        d.decor->setPieLabels(drawn, labels, inner, beside ? names : QStringList(), labelStyle);
        const TextStyle noteStyle{font(kGlobal), color(QStringLiteral("Subtitle"))};
        if (!doughnut && visible.size() > 1) {
            d.decor->setNote(QStringLiteral("The first of %1 series").arg(visible.size()), noteStyle);
        } else if (named && !beside) {
            // Too many to name beside them: listed under the title, each name whole.
            d.decor->setNote(QStringLiteral("Rings from the centre out:"), noteStyle);
            d.decor->setRingList(names, labelStyle);
        }
    }

    void buildPolar()
    {
        auto* polar = static_cast<QPolarChart*>(chart);
        const bool radar = type == QLatin1String("Radar");
        const int n = data.pointCount();
        const bool markers =
            n <= kMarkerLimit && !m.boolAttribute(QStringLiteral("Control"), QStringLiteral("HidePoints"));
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
        double hi = 0;
        for (int k = 0; k < visible.size(); ++k) {
            const int s = visible[k];
            const QVector<double>& values = data.series[s].values;
            const QPen pen(m.seriesColor(s), m.attribute(seriesPath(s), QStringLiteral("LineWidth")).toDouble());
            // A missing value breaks the line, as on Lines.
            QList<QPointF> points;
            QVector<int> indices;
            for (int i : linePoints(angles.constData(), values.constData(), n, columns, ascending, joined[k])) {
                if (i < 0) {
                    addLinePiece(s, pen, markers, points, indices);
                    continue;
                }
                points << QPointF(angles[i], values[i]);
                indices << i;
                hi = std::max(hi, values[i]);
            }
            // A radar's polygon closes when both its last and its first value are there.
            if (radar && n > 1 && !std::isnan(values[0]) && !std::isnan(values[n - 1]))
                points << QPointF(n, values[0]);
            addLinePiece(s, pen, markers, points, indices);
        }
        auto* radial = new QValueAxis;
        // Fewer rings than a straight axis has ticks: their labels share one spoke.
        setValueRange(radial, QStringLiteral("ValueAxis"), 0, hi, true, 4);
        polar->addAxis(angular, QPolarChart::PolarOrientationAngular);
        polar->addAxis(radial, QPolarChart::PolarOrientationRadial);
        styleAxis(angular, QStringLiteral("CategoryAxis"));
        styleAxis(radial, QStringLiteral("ValueAxis"));
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

    const ChartModel& m;
    const ChartData& data;
    ChartView::Private& d;
    int buckets;
    QString type;
    QList<int> visible;
    QChart* chart = nullptr;
};

ChartView::ChartView(ChartModel& model, QWidget* parent) : QChartView(parent), d(new Private(model))
{
    setObjectName(QStringLiteral("chartView"));
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setRubberBand(QChartView::NoRubberBand);
    // Every item of a chart moves when the chart is resized; an index of them
    // would be rebuilt item by item, seconds for thousands of markers.
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    connect(&model, &ChartModel::customizingChanged, this, &ChartView::scheduleRebuild);
    connect(&model, &ChartModel::dataChanged, this, &ChartView::scheduleRebuild);
    rebuild();
}

// The scene deletes the chart with itself.
ChartView::~ChartView()
{
    delete d;
}

void ChartView::setModes(const ViewModes& modes)
{
    if (modes == d->modes)
        return;
    d->modes = modes;
    setRenderHint(QPainter::Antialiasing, !modes.draft);
    scheduleRebuild();
}

void ChartView::setUpdatesHeld(bool held)
{
    d->held = held;
    if (!held && d->dirty)
        scheduleRebuild();
}

bool ChartView::updatesHeld() const
{
    return d->held;
}

void ChartView::scheduleRebuild()
{
    d->dirty = true;
    if (d->held || d->scheduled)
        return;
    d->scheduled = true;
    QTimer::singleShot(0, this, [this] {
        d->scheduled = false;
        if (!d->held)
            ensureBuilt();
    });
}

void ChartView::ensureBuilt()
{
    if (d->dirty && !d->held)
        rebuild();
}

void ChartView::rebuild()
{
    d->dirty = false;
    d->buckets = std::max(256, width());
    ChartBuilder builder(d->model, *d, d->buckets);
    QChart* fresh = builder.build();
    QChart* old = chart();
    setChart(fresh);
    delete old;
}

void ChartView::renderTo(QPainter* painter, const QRectF& target)
{
    ensureBuilt();
    QChart* c = chart();
    const QRectF before = c->geometry();
    const QRectF wanted(QPointF(0, 0), target.size());
    if (before != wanted)
        c->setGeometry(wanted);
    scene()->render(painter, target, wanted);
    if (before != wanted)
        c->setGeometry(before);
}

QImage ChartView::renderImage(QSize size)
{
    if (size.isEmpty())
        size = this->size();
    if (size.isEmpty())
        size = QSize(815, 526);
    if (size.width() > d->buckets && !d->model.data().isEmpty())
        d->dirty = true;
    ensureBuilt();
    QImage image(size, QImage::Format_RGB32);
    image.fill(chart()->backgroundBrush().color());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, !d->modes.draft);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderTo(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QString ChartView::hintText() const
{
    return d->hint;
}

ChartHit ChartView::hitTest(QPointF viewPosition)
{
    ensureBuilt();
    if (d->pending) {
        const ChartHit hit = *d->pending;
        d->pending.reset();
        return hit;
    }
    QChart* c = chart();
    const QPointF pos = c->mapFromScene(mapToScene(viewPosition.toPoint()));
    // The nearest drawn point within reach of the pointer.
    double best = 8.0 * 8.0;
    ChartHit hit;
    for (const Plotted& p : d->plotted) {
        const QList<QPointF> points = p.qt->points();
        for (qsizetype i = 0; i < points.size() && i < p.indices.size(); ++i) {
            const QPointF at = c->mapToPosition(points[i], p.qt);
            const double dx = at.x() - pos.x(), dy = at.y() - pos.y();
            if (dx * dx + dy * dy <= best) {
                best = dx * dx + dy * dy;
                hit = ChartHit{QStringLiteral("Series"), p.series + 1, p.indices[i] + 1};
            }
        }
    }
    for (const DenseScatterItem* layer : d->dense) {
        const auto [series, point] = layer->nearest(pos, &best);
        if (point >= 0)
            hit = ChartHit{QStringLiteral("Series"), series + 1, int(point) + 1};
    }
    if (!hit.element.isEmpty())
        return hit;
    const bool titled = d->decor && d->decor->hasTitle();
    if (d->decor && d->decor->legendRect().contains(pos))
        return {QStringLiteral("Legend")};
    if (d->decor && d->decor->titleRect().contains(pos))
        return {QStringLiteral("Title")};
    const QRectF area = c->plotArea();
    if (area.contains(pos))
        return {QStringLiteral("PlotArea")};
    if (qobject_cast<QPolarChart*>(c) || c->series().isEmpty() || qobject_cast<QPieSeries*>(c->series().constFirst()))
        return {pos.y() < area.top() && titled ? QStringLiteral("Title") : QStringLiteral("Chart")};
    const QString category = QStringLiteral("CategoryAxis"), value = QStringLiteral("ValueAxis");
    const bool horizontal = d->horizontalBars;
    if (pos.x() >= area.left() && pos.x() <= area.right()) {
        if (pos.y() > area.bottom())
            return {horizontal ? value : category};
        if (pos.y() < area.top()) {
            const bool secondary =
                horizontal ? d->model.boolAttribute(QStringLiteral("ValueAxisSec"), QStringLiteral("Visible"))
                           : d->model.boolAttribute(QStringLiteral("CategoryAxisSec"), QStringLiteral("Visible"));
            if (secondary && pos.y() > area.top() - 30)
                return {(horizontal ? value : category) + QLatin1String("Sec")};
            return {titled ? QStringLiteral("Title") : QStringLiteral("Chart")};
        }
    }
    if (pos.y() >= area.top() && pos.y() <= area.bottom()) {
        if (pos.x() < area.left())
            return {horizontal ? category : value};
        if (pos.x() > area.right())
            return {(horizontal ? category : value) + QLatin1String("Sec")};
    }
    return {QStringLiteral("Chart")};
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    d->pending.reset();
    ensureBuilt();
    // Not QChartView's own handler: it can dereference null in this Qt release.
    QGraphicsView::mousePressEvent(event);
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position());
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
    Q_EMIT mouseReleased(event->button(), event->modifiers(), event->position());
    event->accept();
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    if (width() > d->buckets && !d->model.data().isEmpty())
        scheduleRebuild();
}

void ChartView::paintEvent(QPaintEvent* event)
{
    ensureBuilt();
    QChartView::paintEvent(event);
}

} // namespace vizorb
