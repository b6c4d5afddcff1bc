#include "vizorb/chart/chart_axes.h"

#include "vizorb/chart/category_layout.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/number_format.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsSceneResizeEvent>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vizorb {
namespace {

QDateTime utc(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

qint64 msecs(QDate date, int hour = 0)
{
    return QDateTime(date, QTime(hour, 0), Qt::UTC).toMSecsSinceEpoch();
}

// The calendar boundary at or before `t`.
qint64 floorTo(qint64 t, CalendarStep step)
{
    const QDateTime dt = utc(t);
    const QDate date = dt.date();
    const int n = step.count;
    switch (step.unit) {
    case CalendarUnit::Hour:
        return msecs(date, dt.time().hour() / n * n);
    case CalendarUnit::Day: {
        const qint64 day = date.toJulianDay();
        return msecs(QDate::fromJulianDay(day - ((day % n) + n) % n));
    }
    case CalendarUnit::Week: {
        // Julian day 0 is a Monday: weeks start on Mondays.
        const qint64 day = date.toJulianDay();
        return msecs(QDate::fromJulianDay(day - ((day % (7 * n)) + 7 * n) % (7 * n)));
    }
    case CalendarUnit::Month:
        return msecs(QDate(date.year(), (date.month() - 1) / n * n + 1, 1));
    case CalendarUnit::Year: {
        const int y = date.year();
        return msecs(QDate(y - ((y % n) + n) % n, 1, 1));
    }
    }
    return t;
}

qint64 next(qint64 t, CalendarStep step)
{
    const QDateTime dt = utc(t);
    switch (step.unit) {
    case CalendarUnit::Hour:
        return dt.addSecs(3600LL * step.count).toMSecsSinceEpoch();
    case CalendarUnit::Day:
        return dt.addDays(step.count).toMSecsSinceEpoch();
    case CalendarUnit::Week:
        return dt.addDays(7LL * step.count).toMSecsSinceEpoch();
    case CalendarUnit::Month:
        return dt.addMonths(step.count).toMSecsSinceEpoch();
    case CalendarUnit::Year:
        return dt.addYears(step.count).toMSecsSinceEpoch();
    }
    return t;
}

qint64 ceilTo(qint64 t, CalendarStep step)
{
    const qint64 f = floorTo(t, step);
    return f == t ? t : next(f, step);
}

QList<CalendarStep> candidateSteps()
{
    QList<CalendarStep> steps;
    for (int n : {1, 2, 3, 6, 12})
        steps.append({CalendarUnit::Hour, n});
    for (int n : {1, 2})
        steps.append({CalendarUnit::Day, n});
    for (int n : {1, 2})
        steps.append({CalendarUnit::Week, n});
    for (int n : {1, 2, 3, 6})
        steps.append({CalendarUnit::Month, n});
    for (int power = 1; power <= 100000; power *= 10)
        for (int f : {1, 2, 5})
            steps.append({CalendarUnit::Year, f * power});
    return steps;
}

// The ticks of a value axis kept at [lo, hi], in at most `steps` steps, labelled
// by the customized number format where there is one.
ValueScale ticksFor(double lo, double hi, int steps, const QString& format, bool compact)
{
    ValueScale scale = valueScale(lo, hi, steps, false, compact);
    if (const auto custom = NumberFormat::parse(format))
        relabel(scale, *custom);
    return scale;
}

} // namespace

TimeTicks calendarTicks(qint64 first, qint64 last, int maxTicks, bool enclose)
{
    maxTicks = std::max(2, maxTicks);
    if (last < first)
        std::swap(first, last);
    const QList<CalendarStep> steps = candidateSteps();
    TimeTicks result;
    for (const CalendarStep& step : steps) {
        qint64 lo = first, hi = last;
        if (enclose || first == last) {
            // Enclosing boundaries lie beyond a time that sits on one, so what
            // is drawn at the first and last time stays whole.
            lo = floorTo(enclose ? first - 1 : first, step);
            hi = ceilTo(enclose ? last + 1 : last, step);
            if (hi == lo)
                hi = next(lo, step);
        }
        QVector<qint64> ticks;
        for (qint64 t = ceilTo(lo, step); t <= hi && ticks.size() <= maxTicks; t = next(t, step))
            ticks << t;
        if (ticks.size() <= maxTicks || &step == &steps.constLast()) {
            result.step = step;
            result.lo = lo;
            result.hi = hi;
            result.ticks = ticks;
            break;
        }
    }
    for (qint64 t : result.ticks)
        result.labels << timeLabel(t, result.step);
    return result;
}

QString timeLabel(qint64 ms, CalendarStep step)
{
    const QDateTime dt = utc(ms);
    switch (step.unit) {
    case CalendarUnit::Hour:
        // Midnight names its day, so hours over several days stay readable.
        return dt.time().hour() == 0 ? dt.toString(QStringLiteral("d MMM")) : dt.toString(QStringLiteral("HH:mm"));
    case CalendarUnit::Day:
    case CalendarUnit::Week:
        return dt.toString(QStringLiteral("d MMM"));
    case CalendarUnit::Month:
        return dt.toString(QStringLiteral("MMM yyyy"));
    case CalendarUnit::Year:
        return dt.toString(QStringLiteral("yyyy"));
    }
    return {};
}

QStringList timeLabels(const QVector<qint64>& times)
{
    bool hours = false, days = false, months = false;
    int firstYear = 0, lastYear = 0;
    for (qsizetype i = 0; i < times.size(); ++i) {
        const QDateTime dt = utc(times[i]);
        hours = hours || dt.time() != QTime(0, 0);
        days = days || dt.date().day() != 1;
        months = months || dt.date().month() != 1;
        firstYear = i == 0 ? dt.date().year() : std::min(firstYear, dt.date().year());
        lastYear = i == 0 ? dt.date().year() : std::max(lastYear, dt.date().year());
    }
    const bool severalDays =
        !times.isEmpty() &&
        *std::max_element(times.begin(), times.end()) - *std::min_element(times.begin(), times.end()) >= 86400000;
    const QString format = hours    ? (severalDays ? QStringLiteral("d MMM HH:mm") : QStringLiteral("HH:mm"))
                           : days   ? (firstYear != lastYear ? QStringLiteral("d MMM yyyy") : QStringLiteral("d MMM"))
                           : months ? QStringLiteral("MMM yyyy")
                                    : QStringLiteral("yyyy");
    QStringList labels;
    labels.reserve(times.size());
    for (qint64 t : times)
        labels << utc(t).toString(format);
    return labels;
}

ValueTicks valueTicks(double lo, double hi, int maxSteps, bool round)
{
    const ValueScale scale = valueScale(lo, hi, maxSteps, round);
    // The axis layout takes the ticks from the range and the steps it may use.
    return {scale.lo, scale.hi, std::max(1, maxSteps) + 1};
}

QCategoryAxis* newLabelledAxis()
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    return axis;
}

AxisLayout::AxisLayout(QChart* chart) : QObject(chart), m_chart(chart)
{
    // The chart's texts take their room first and hand the rest to the axes,
    // which a chart without them learns as its size changes (before it lays
    // itself out: one layout pass takes in the new labels, even for a picture drawn at once).
    for (QObject* child : chart->children())
        if (auto* decor = dynamic_cast<ChartDecor*>(child))
            m_decor = decor;
    if (m_decor)
        m_decor->setPlotRoom([this](QSizeF size, const QRectF& inside) { return layOutFor(size, inside); });
    else
        chart->installEventFilter(this);
    connect(chart, &QChart::plotAreaChanged, this, &AxisLayout::placeLabels);
}

AxisLayout::~AxisLayout()
{
    if (m_decor)
        m_decor->setPlotRoom({});
}

bool AxisLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_chart && event->type() == QEvent::GraphicsSceneResize) {
        const QSizeF size = static_cast<QGraphicsSceneResizeEvent*>(event)->newSize();
        layOutFor(size, QRectF(QPointF(0, 0), size).marginsRemoved(QMarginsF(m_chart->margins())));
    }
    return false;
}

void AxisLayout::addCategories(QCategoryAxis* axis, const QStringList& labels, bool alongX)
{
    Entry e;
    e.kind = Entry::Categories;
    e.axis = axis;
    e.labels = labels;
    e.alongX = alongX;
    m_entries.append(e);
}

void AxisLayout::addTimes(QCategoryAxis* axis, qint64 first, qint64 last, bool enclose)
{
    Entry e;
    e.kind = Entry::Times;
    e.axis = axis;
    e.lo = double(first);
    e.hi = double(last);
    e.enclose = enclose;
    m_entries.append(e);
}

void AxisLayout::addValues(QValueAxis* axis, const QString& format, bool alongX, AxisScaling scaling)
{
    Entry e;
    e.kind = Entry::Values;
    e.axis = axis;
    e.alongX = alongX;
    e.maxSteps = std::max(1, axis->tickCount() - 1);
    e.format = format;
    e.scaling = scaling;
    m_entries.append(e);
}

void AxisLayout::mirror(QValueAxis* axis, QValueAxis* copy)
{
    for (Entry& e : m_entries)
        if (e.axis == axis)
            e.copies << copy;
}

void AxisLayout::addSpokes(QCategoryAxis* axis, const QStringList& labels, double span)
{
    Entry e;
    e.kind = Entry::Spokes;
    e.axis = axis;
    e.labels = labels;
    e.hi = span;
    m_entries.append(e);
}

void AxisLayout::relayout()
{
    m_laidOutFor = QSizeF();
    // Before the view sizes the chart, lay out for the control's usual size,
    // and again once the chart has its size and the margins for it.
    if (m_chart->size().isEmpty()) {
        const QSizeF usual(815, 526);
        layOutFor(usual, QRectF(QPointF(0, 0), usual).marginsRemoved(QMarginsF(m_chart->margins())));
        m_laidOutFor = QSizeF();
    } else if (m_decor) {
        m_decor->relayout();
    } else {
        const QSizeF size = m_chart->size();
        layOutFor(size, QRectF(QPointF(0, 0), size).marginsRemoved(QMarginsF(m_chart->margins())));
    }
}

namespace {

// Qt Charts keeps this far between an axis' labels and its line and title.
constexpr double kAxisPad = 6;
// Qt Charts squeezes the axes on a side into this share of the plot's room.
constexpr double kAxisShare = 0.4;

double titleDepth(const QAbstractAxis* axis)
{
    if (!axis->isTitleVisible() || axis->titleText().isEmpty())
        return 0;
    const qsizetype lines = axis->titleText().count(QLatin1String("<br>")) + 1;
    return QFontMetricsF(axis->titleFont()).height() * double(lines) + kItemPad + 4;
}

// Qt Charts elides an axis title longer than the axis: it is wrapped at spaces
// instead, and its font shrinks (not below 6 pt) until it takes at most `depth`
// beside the axis. Its own text and font are kept beside what is made of them.
void fitTitle(QAbstractAxis* axis, double length, double depth)
{
    static const char* const markupKey = "vizorbTitleMarkup";
    static const char* const fontKey = "vizorbTitleFont";
    static const char* const fittedKey = "vizorbTitleFitted";
    if (axis->titleText().isEmpty())
        return;
    if (axis->titleFont() != axis->property(fittedKey).value<QFont>())
        axis->setProperty(fontKey, axis->titleFont());
    const QString plain = axis->property(kAxisTitleKey).toString();
    QFont font = axis->property(fontKey).value<QFont>();
    QString lines;
    for (double points = font.pointSizeF();;) {
        font.setPointSizeF(points);
        const QFontMetricsF fm(font);
        lines = wrapText(plain, font, std::max(length - 2 * fm.height(), 8 * fm.averageCharWidth()));
        const double taken = fm.height() * double(lines.count(QLatin1Char('\n')) + 1) + kItemPad + 4;
        if (taken <= depth || points <= kMinPoint)
            break;
        points = smaller(points);
    }
    const QString markup = categoryMarkup(lines, 0);
    axis->setProperty(markupKey, markup);
    axis->setProperty(fittedKey, font);
    if (font != axis->titleFont())
        axis->setTitleFont(font);
    if (markup != axis->titleText())
        axis->setTitleText(markup);
}

// The deepest title of an axis and its copies.
double titlesDepth(const QAbstractAxis* axis, const QList<QValueAxis*>& copies)
{
    double title = titleDepth(axis);
    for (const QValueAxis* a : copies)
        title = std::max(title, titleDepth(a));
    return title;
}

} // namespace

namespace {

constexpr const char* kOwnFont = "vizorbLabelsFont";
constexpr const char* kFittedFont = "vizorbLabelsFitted";

// An axis' own labels font (kept beside the one fitted), its lines at most a
// sixteenth of the room's height: no font makes the axes outgrow the chart.
QFont labelsFontFor(QAbstractAxis* axis, const QRectF& inside)
{
    if (axis->labelsFont() != axis->property(kFittedFont).value<QFont>())
        axis->setProperty(kOwnFont, axis->labelsFont());
    const QFont own = axis->property(kOwnFont).value<QFont>();
    qreal points = own.pointSizeF() > 0 ? own.pointSizeF() : 9;
    while (points > kLeastLabelPoint && QFontMetricsF(sized(own, points)).height() > inside.height() / 16)
        points = smaller(points, kLeastLabelPoint);
    return sized(own, points);
}

void fitLabelsFont(QAbstractAxis* axis, const QFont& font)
{
    axis->setProperty(kFittedFont, font);
    if (axis->labelsFont() != font)
        axis->setLabelsFont(font);
}

} // namespace

QMarginsF AxisLayout::layOutFor(QSizeF size, const QRectF& inside)
{
    if (size.isEmpty())
        return {};
    if (size == m_laidOutFor)
        return m_plotInset;
    m_laidOutFor = size;
    m_plotInset = {};
    // Titles and fonts first, as every axis' room depends on the depth of the axes
    // across it: wrapped to the least length the plot keeps, from the chart's size alone.
    for (Entry& e : m_entries) {
        e.extent = -1;
        QList<QAbstractAxis*> axes{e.axis};
        for (QValueAxis* copy : std::as_const(e.copies))
            axes << copy;
        const QFont font = labelsFontFor(e.axis, inside);
        // A title takes at most half of what Qt Charts leaves its axis, the labels the rest.
        const double length = (1 - kAxisShare) * (e.alongX ? inside.width() : inside.height());
        const double depth = maxDepth(e, inside) / 2;
        for (QAbstractAxis* a : axes) {
            fitLabelsFont(a, font);
            fitTitle(a, length, depth);
        }
    }
    for (Entry& e : m_entries)
        layOut(e, inside);
    placeLabels();
    return m_plotInset;
}

void AxisLayout::placeLabels()
{
    placeSpokeLabels();
    placeRadialLabels();
}

int AxisLayout::visibleAxes(const Entry& e) const
{
    int n = e.axis->isVisible() ? 1 : 0;
    for (const QValueAxis* a : e.copies)
        n += a->isVisible() ? 1 : 0;
    return n;
}

double AxisLayout::maxDepth(const Entry& e, const QRectF& inside) const
{
    return kAxisShare * (e.alongX ? inside.height() : inside.width()) / std::max(1, visibleAxes(e));
}

double AxisLayout::depth(const Entry& e) const
{
    const QFontMetricsF fm(e.axis->labelsFont());
    double labels = fm.height() + kItemPad;
    if (e.kind == Entry::Values && !e.alongX) {
        // The widest label of the steps built: fewer steps never need wider ones.
        labels = 0;
        for (const QString& label :
             ticksFor(e.scaling.value(e.axis->min()), e.scaling.value(e.axis->max()), e.maxSteps, e.format, e.compact)
                 .labels)
            labels = std::max(labels, fm.horizontalAdvance(label));
        labels += kItemPad;
    } else if (e.kind == Entry::Categories && e.extent >= 0) {
        labels = e.extent;
    }
    return labels + kAxisPad + titlesDepth(e.axis, e.copies);
}

void AxisLayout::addRadialLabels(QValueAxis* radial)
{
    m_radial = radial;
    radial->setLabelsVisible(false);
}

namespace {

// Whether the segment a-b meets `rect`.
bool crosses(QPointF a, QPointF b, const QRectF& rect)
{
    if (rect.contains(a) || rect.contains(b))
        return true;
    if (std::max(a.x(), b.x()) < rect.left() || std::min(a.x(), b.x()) > rect.right() ||
        std::max(a.y(), b.y()) < rect.top() || std::min(a.y(), b.y()) > rect.bottom())
        return false;
    const QLineF segment(a, b);
    const QLineF edges[] = {{rect.topLeft(), rect.topRight()},
                            {rect.topRight(), rect.bottomRight()},
                            {rect.bottomRight(), rect.bottomLeft()},
                            {rect.bottomLeft(), rect.topLeft()}};
    for (const QLineF& edge : edges)
        if (segment.intersects(edge, nullptr) == QLineF::BoundedIntersection)
            return true;
    return false;
}

} // namespace

void AxisLayout::placeRadialLabels()
{
    if (!m_radial)
        return;
    qDeleteAll(m_radialLabels);
    m_radialLabels.clear();
    // The drawn lines in chart coordinates; a huge series is sampled, as labels need only be clear of most of it.
    constexpr qsizetype kMaxTested = 50000;
    QList<QPolygonF> lines;
    QXYSeries* anchor = nullptr;
    qsizetype budget = kMaxTested;
    for (QAbstractSeries* series : m_chart->series()) {
        auto* xy = qobject_cast<QXYSeries*>(series);
        if (!xy)
            continue;
        anchor = anchor ? anchor : xy;
        const QList<QPointF> points = xy->points();
        const qsizetype stride = std::max<qsizetype>(1, points.size() / std::max<qsizetype>(1, budget));
        QPolygonF line;
        for (qsizetype i = 0; i < points.size(); i += stride)
            line << m_chart->mapToPosition(points[i], xy);
        budget = std::max<qsizetype>(0, budget - line.size());
        lines << line;
    }
    if (!anchor)
        return;
    const QFont font = m_radial->labelsFont();
    const QFontMetricsF fm(font);
    const double angle = [&] {
        const QList<QAbstractAxis*> angular = m_chart->axes(Qt::Horizontal);
        auto* a = angular.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(angular.constFirst());
        return a ? a->min() : 0.0;
    }();
    for (qsizetype k = 0; k < m_radialScale.ticks.size(); ++k) {
        const double value = m_radialScale.ticks[k];
        const QString& text = m_radialScale.labels[k];
        const QPointF at = m_chart->mapToPosition(QPointF(angle, m_radialScaling.shown(value)), anchor);
        const QSizeF size(fm.horizontalAdvance(text) + 2, fm.height());
        const QRectF right(QPointF(at.x() + 4, at.y() - size.height() / 2), size);
        const QRectF left(QPointF(at.x() - 4 - size.width(), at.y() - size.height() / 2), size);
        const auto clear = [&](const QRectF& rect) {
            // Nor on the spoke labels.
            if (QGraphicsScene* scene = m_chart->scene())
                for (QGraphicsItem* item : scene->items(m_chart->mapToScene(rect)))
                    if (item->isVisible() &&
                        (dynamic_cast<QGraphicsTextItem*>(item) || dynamic_cast<QGraphicsSimpleTextItem*>(item)))
                        return false;
            // Lines are drawn with some width and with markers.
            const QRectF margin = rect.adjusted(-4, -4, 4, 4);
            for (const QPolygonF& line : lines)
                for (qsizetype i = 0; i < line.size(); ++i)
                    if (crosses(line[i], line[std::min(i + 1, line.size() - 1)], margin))
                        return false;
            return true;
        };
        const QRectF* place = clear(right) ? &right : clear(left) ? &left : nullptr;
        if (!place)
            continue;
        auto* item = new QGraphicsSimpleTextItem(text, m_chart);
        item->setFont(font);
        item->setBrush(m_radial->labelsBrush());
        item->setPos(place->topLeft());
        item->setZValue(m_chart->zValue() + 20);
        m_radialLabels << item;
    }
}

namespace {

// A label left off (empty) is skipped, unless `keepEmpty`: a spoke is drawn only with a label.
void setCategoryLabels(QCategoryAxis* axis, double start, const QList<std::pair<QString, double>>& labels,
                       bool keepEmpty = false)
{
    for (const QString& old : axis->categoriesLabels())
        axis->remove(old);
    axis->setStartValue(start);
    QHash<QString, int> seen;
    for (const auto& [text, value] : labels)
        if (keepEmpty || !text.isEmpty())
            axis->append(categoryMarkup(text, seen[text]++), value);
}

// Our labels at the ticks of a value axis made by newLabelledAxis(), placed where
// the axis shows their values; a polar chart's radial axis has rings instead,
// its labels drawn beside them.
void applyScale(QValueAxis* axis, const ValueScale& scale, AxisScaling scaling)
{
    if (auto* c = qobject_cast<QCategoryAxis*>(axis)) {
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < scale.ticks.size(); ++k)
            shown.append({scale.labels[k], scaling.shown(scale.ticks[k])});
        setCategoryLabels(c, scaling.shown(scale.lo), shown);
        c->setRange(scaling.shown(scale.lo), scaling.shown(scale.hi));
        return;
    }
    // Rings divide the range evenly: they meet the ticks when the ends are ticks.
    const bool even =
        !scale.ticks.isEmpty() && scale.ticks.constFirst() == scale.lo && scale.ticks.constLast() == scale.hi;
    axis->setTickCount(even ? std::max(2, int(scale.ticks.size())) : 2);
}

} // namespace

void AxisLayout::layOut(Entry& e, const QRectF& inside)
{
    const QFontMetricsF fm(e.axis->labelsFont());
    // Along the axis: the room inside the margins less the axes across it
    // (categories laid out before the values take what they need).
    double length = e.alongX ? inside.width() : inside.height();
    for (const Entry& other : std::as_const(m_entries))
        if (other.kind != Entry::Spokes && other.alongX != e.alongX)
            length -= std::min(depth(other), maxDepth(other, inside)) * visibleAxes(other);
    length = std::max(60.0, length);
    // Beside it: what Qt Charts leaves an axis (a secondary one mirrors it on the
    // other side and shares that), less its title, which it would overlap otherwise.
    const double across =
        std::max(4 * fm.averageCharWidth(), maxDepth(e, inside) - kAxisPad - titlesDepth(e.axis, e.copies));
    QList<QValueAxis*> axes{e.axis};
    axes << e.copies;

    switch (e.kind) {
    case Entry::Categories: {
        // The labels may reach beyond the axis' ends over the axes across it:
        // the primary one before its first point, a secondary one after its last.
        AxisRoom room{length, across};
        for (const Entry& other : std::as_const(m_entries))
            if (other.kind != Entry::Spokes && other.alongX != e.alongX) {
                const double d = std::min(depth(other), maxDepth(other, inside));
                room.before += other.axis->isVisible() ? d : 0;
                room.after += visibleAxes(other) > (other.axis->isVisible() ? 1 : 0) ? d : 0;
            }
        const QFont own = e.axis->labelsFont();
        const CategoryLayout layout = layoutCategories(e.labels, own, room, e.alongX);
        const QFont font = sized(own, layout.points);
        const QFontMetricsF lfm(font);
        const QSizeF labels = labelsExtent(layout, font);
        e.extent = layout.angle == -90 ? labels.width()
                   : layout.angle != 0 ? (labels.width() + labels.height()) * std::sqrt(0.5)
                   : e.alongX          ? labels.height()
                                       : labels.width();
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < layout.lines.size(); ++k)
            shown.append({layout.lines[k], double(k * layout.every)});
        for (QValueAxis* a : axes) {
            auto* c = static_cast<QCategoryAxis*>(a);
            fitLabelsFont(c, font);
            setCategoryLabels(c, -0.5, shown);
            c->setLabelsAngle(layout.angle);
            c->setRange(-0.5, e.labels.size() - 0.5);
        }
        break;
    }
    case Entry::Times: {
        // The widest form, "Sep 2025" or "30 Sep", sets how many ticks fit.
        const double label = fm.horizontalAdvance(QStringLiteral("Sep 2025")) + kItemPad + 12;
        const int maxTicks = std::clamp(int(length / label), 2, 10);
        const TimeTicks ticks = calendarTicks(qint64(e.lo), qint64(e.hi), maxTicks, e.enclose);
        // Labels at the axis' very ends would reach over the corner into the
        // value axis' labels: only ticks inside the range are labelled.
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < ticks.ticks.size(); ++k)
            if (ticks.ticks[k] > ticks.lo && ticks.ticks[k] < ticks.hi)
                shown.append({ticks.labels[k], double(ticks.ticks[k])});
        for (QValueAxis* a : axes) {
            auto* c = static_cast<QCategoryAxis*>(a);
            setCategoryLabels(c, double(ticks.lo), shown);
            c->setRange(double(ticks.lo), double(ticks.hi));
        }
        break;
    }
    case Entry::Values: {
        // The range stays as built, so a new size never moves the series: only
        // the step grows, to the least whose labels have room.
        const double lo = e.scaling.value(e.axis->min()), hi = e.scaling.value(e.axis->max());
        const auto widest = [&](const QStringList& labels) {
            double widest = 0;
            for (const QString& label : labels)
                widest = std::max(widest, fm.horizontalAdvance(label));
            return widest + kItemPad;
        };
        const auto fitted = [&](bool compact) {
            ValueScale scale;
            for (int steps = e.maxSteps; steps >= 1; --steps) {
                scale = ticksFor(lo, hi, steps, e.format, compact);
                const double need = e.alongX ? widest(scale.labels) + 12 : fm.height() * 1.5;
                if (double(scale.ticks.size()) * need <= length)
                    break;
            }
            return scale;
        };
        // Plain digits where they fit, else a shared suffix.
        ValueScale scale = fitted(false);
        e.compact = e.alongX ? scale.ticks.size() < std::min(3, e.maxSteps + 1) : widest(scale.labels) > across;
        if (e.compact) {
            const ValueScale compact = fitted(true);
            if (compact.labels != scale.labels && (!e.alongX || compact.ticks.size() > scale.ticks.size()))
                scale = compact;
            else
                e.compact = false;
        }
        // A label at the right end reaches half its width past the plot: it is left off
        // where the chart's margin has no room for that and a little air (its tick stays).
        if (e.alongX && !scale.ticks.isEmpty() && scale.ticks.constLast() == hi &&
            widest({scale.labels.constLast()}) / 2 + 1.5 > m_chart->margins().right())
            scale.labels.last().clear();
        for (QValueAxis* a : axes)
            applyScale(a, scale, e.scaling);
        if (e.axis == m_radial) {
            m_radialScale = scale;
            m_radialScaling = e.scaling;
        }
        break;
    }
    case Entry::Spokes:
        layOutSpokes(e, inside);
        break;
    }
}

void AxisLayout::layOutSpokes(Entry& e, const QRectF& inside)
{
    auto* c = static_cast<QCategoryAxis*>(e.axis);
    // Qt Charts would thin the names by its own rule and take their spokes' room as it sees fit.
    c->setLabelsVisible(false);
    const QFont own = c->labelsFont();
    // A hidden axis leaves its names' room to the circle.
    const SpokeLayout layout = layoutSpokes(c->isVisible() ? e.labels : QStringList(), own, inside);
    m_spokeAxis = c;
    m_spokeTexts = layout.texts;
    m_spokeFont = sized(own, layout.points);
    // A category ends at every spoke, so every spoke has its grid line, named or not
    // (of a polar chart's many evenly spaced points, the named ones).
    constexpr qsizetype kMaxGridSpokes = 360;
    const qsizetype n = e.labels.size();
    QList<std::pair<QString, double>> ends;
    for (qsizetype k = 1; k <= n; ++k)
        if (n <= kMaxGridSpokes || !m_spokeTexts.value(k % n).isEmpty())
            ends.append({QString(), e.hi * double(k) / double(n)});
    setCategoryLabels(c, 0, ends, true);
    c->setRange(0, e.hi);
    // The plot is the circle; its names stand in the room around it.
    const double dx = std::max(0.0, inside.width() / 2 - layout.radius);
    const double dy = std::max(0.0, inside.height() / 2 - layout.radius);
    m_plotInset = QMarginsF(dx, dy, dx, dy);
}

void AxisLayout::placeSpokeLabels()
{
    qDeleteAll(m_spokeLabels);
    m_spokeLabels.clear();
    const qsizetype n = m_spokeTexts.size();
    if (!m_spokeAxis || n == 0 || !m_spokeAxis->isVisible())
        return;
    const QRectF plot = m_chart->plotArea();
    const double radius = std::min(plot.width(), plot.height()) / 2;
    QList<QRectF> placed;
    for (qsizetype k = 0; k < n; ++k) {
        const QString& text = m_spokeTexts[k];
        if (text.isEmpty())
            continue;
        // Lines lean towards the circle: right-aligned on its left, centred at its top and bottom.
        const double degrees = 360.0 * double(k) / double(n);
        const double dx = std::sin(degrees * M_PI / 180);
        auto* item = new QGraphicsTextItem(m_chart);
        item->setFont(m_spokeFont);
        item->setDefaultTextColor(m_spokeAxis->labelsBrush().color());
        setAlignedText(item, text, std::abs(dx) < 0.2 ? Qt::AlignHCenter : dx > 0 ? Qt::AlignLeft : Qt::AlignRight);
        const QRectF box = spokeLabelBox(plot.center(), radius, degrees, item->boundingRect().size());
        // The circle drawn may differ by a pixel from the one laid out: a name that would
        // now overlap one placed before it is left off.
        if (std::any_of(placed.begin(), placed.end(), [&](const QRectF& r) { return r.intersects(box); })) {
            delete item;
            continue;
        }
        placed << box;
        item->setPos(std::round(box.left()), std::round(box.top()));
        item->setZValue(m_chart->zValue() + 20);
        m_spokeLabels << item;
    }
}

} // namespace vizorb
