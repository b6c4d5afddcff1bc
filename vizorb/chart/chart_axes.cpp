#include "vizorb/chart/chart_axes.h"

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

// Wraps at spaces into lines at most `width` wide where the words allow;
// each break replaces one space.
QStringList wrap(const QString& text, double width, const QFontMetricsF& fm, double* widest)
{
    const QStringList words = text.split(QLatin1Char(' '));
    QStringList lines;
    QString line;
    *widest = 0;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString candidate = i == 0 ? words[i] : line + QLatin1Char(' ') + words[i];
        if (i > 0 && fm.horizontalAdvance(candidate) > width) {
            lines << line;
            *widest = std::max(*widest, fm.horizontalAdvance(line));
            line = words[i];
        } else {
            line = candidate;
        }
    }
    lines << line;
    *widest = std::max(*widest, fm.horizontalAdvance(line));
    return lines;
}

// Qt Charts draws a label as a text item with a small margin on each side.
constexpr double kItemPad = 4;
constexpr int kMaxLines = 3;

struct Shown {
    QList<QStringList> lines;
    double width = 0; // widest line
    int lineCount = 1;
};

// The labels shown when every n-th is; with `omitUnfit` a label that does not
// wrap into kMaxLines lines of `wrapWidth` is left off (an empty text).
Shown measure(const QStringList& labels, int every, double wrapWidth, const QFontMetricsF& fm, bool omitUnfit = false)
{
    Shown s;
    for (qsizetype i = 0; i < labels.size(); i += every) {
        double w = 0;
        const QString text = drawnText(labels[i]);
        QStringList lines = wrapWidth > 0 ? wrap(text, wrapWidth, fm, &w) : QStringList{text};
        if (wrapWidth <= 0)
            w = fm.horizontalAdvance(text);
        if (omitUnfit && (w > wrapWidth || lines.size() > kMaxLines)) {
            lines = QStringList{QString()};
            w = 0;
        }
        s.width = std::max(s.width, w);
        s.lineCount = std::max(s.lineCount, int(lines.size()));
        s.lines << lines;
    }
    return s;
}

CategoryLayout finish(const Shown& s, int every, int angle)
{
    CategoryLayout layout;
    layout.every = every;
    layout.angle = angle;
    for (const QStringList& lines : s.lines)
        layout.lines << lines.join(QLatin1Char('\n'));
    return layout;
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

std::pair<double, double> finiteRange(double lo, double hi)
{
    return drawnRange(lo, hi);
}

ValueTicks valueTicks(double lo, double hi, int maxSteps, bool round)
{
    const ValueScale scale = valueScale(lo, hi, maxSteps, round);
    // The axis layout takes the ticks from the range and the steps it may use.
    return {scale.lo, scale.hi, std::max(1, maxSteps) + 1};
}

CategoryLayout layoutCategories(const QStringList& labels, const QFont& font, double length, double across, bool alongX)
{
    const qsizetype n = labels.size();
    if (n == 0)
        return {};
    const QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    const double slot = length / n;
    // However they are turned, shown labels need a line's height each: thin
    // to that first, so a dense axis never measures all its labels.
    const int firstEvery =
        int(std::clamp<qsizetype>(qsizetype(std::ceil(n * (lineHeight + kItemPad + 2) / length)), 1, n));
    int every = firstEvery;
    const double room = std::max(across - kItemPad, 4 * fm.averageCharWidth());
    // A label is centred on its point: beside the ends of the axis there is
    // half a slot, and the room the value axis' labels take at the left.
    constexpr double kLeftRoom = 40, kRightRoom = 8;
    for (;;) {
        const double space = slot * every;
        const double rightRoom = (double((n - 1) % every) + 0.5) * slot + kRightRoom;
        const double leftRoom = 0.5 * slot + kLeftRoom;
        const auto fits = [&](const Shown& s) { return s.lineCount * lineHeight + kItemPad + 2 <= space; };
        // A level label too wide for the room at the right end leaves the last one off.
        const auto level = [&](Shown s) {
            if (s.lines.size() > 1 && (s.width + kItemPad) / 2 > rightRoom)
                s.lines.removeLast();
            return finish(s, every, 0);
        };
        if (alongX) {
            const Shown flat = measure(labels, every, 0, fm);
            if (flat.width + kItemPad + 2 <= space)
                return level(flat);
            const Shown wrapped = measure(labels, every, space - kItemPad - 2, fm);
            if (wrapped.lineCount <= kMaxLines && wrapped.width + kItemPad + 2 <= space &&
                wrapped.lineCount * lineHeight + kItemPad <= across)
                return level(wrapped);
            // Turned by 45 degrees neighbours stand a line's height times sqrt(2) apart,
            // and each label reaches half its turned width beside its point.
            const double turnedWidth = (flat.width + lineHeight + 2 * kItemPad) * std::sqrt(0.5);
            if ((lineHeight + kItemPad) * std::sqrt(2.0) + 2 <= space && turnedWidth <= across &&
                turnedWidth / 2 <= std::min(leftRoom, rightRoom))
                return finish(flat, every, -45);
            if (flat.width + kItemPad <= room && fits(flat))
                return finish(flat, every, -90);
            const Shown turned = measure(labels, every, room, fm);
            if (turned.lineCount <= kMaxLines && turned.width + kItemPad <= room && fits(turned))
                return finish(turned, every, -90);
        } else {
            const Shown flat = measure(labels, every, 0, fm);
            if (flat.width + kItemPad <= room && fits(flat))
                return finish(flat, every, 0);
            const Shown wrapped = measure(labels, every, room, fm);
            if (wrapped.lineCount <= kMaxLines && wrapped.width + kItemPad <= room && fits(wrapped))
                return finish(wrapped, every, 0);
        }
        if (every >= n) {
            // Some label fits nowhere: leave such labels off and lay out the rest.
            for (int e = firstEvery;; e = std::min<int>(n, e < 4 ? e + 1 : e + e / 2)) {
                const Shown rest = measure(labels, e, room, fm, true);
                if (rest.lineCount * lineHeight + kItemPad + 2 <= slot * e || e >= n)
                    return finish(rest, e, alongX ? -90 : 0);
            }
        }
        every = every < 4 ? every + 1 : every + every / 2;
        every = int(std::min<qsizetype>(every, n));
    }
}

QCategoryAxis* newValueAxis()
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    return axis;
}

QString categoryMarkup(const QString& text, int repeat)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    QString markup = lines.join(QLatin1String("<br>"));
    // Wrapped lines centred under one another, as one label.
    if (lines.size() > 1)
        markup = QStringLiteral("<div align=\"center\">%1</div>").arg(markup);
    // Invisible, but a label of its own; an empty label is one too.
    if (repeat > 0 || text.isEmpty())
        markup += QStringLiteral("<!--%1-->").arg(repeat);
    return markup;
}

AxisLayout::AxisLayout(QChart* chart) : QObject(chart), m_chart(chart)
{
    // Decided as the chart learns its new size, before it lays itself out: one
    // layout pass takes in the new labels, even for a picture drawn at once.
    chart->installEventFilter(this);
}

bool AxisLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_chart && event->type() == QEvent::GraphicsSceneResize)
        layOutFor(static_cast<QGraphicsSceneResizeEvent*>(event)->newSize());
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

void AxisLayout::addValues(QValueAxis* axis, const QString& format, bool alongX)
{
    Entry e;
    e.kind = Entry::Values;
    e.axis = axis;
    e.alongX = alongX;
    e.maxSteps = std::max(1, axis->tickCount() - 1);
    e.format = format;
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
    // Before the view sizes the chart, lay out for the control's usual size,
    // and again once the chart has its size and the margins for it.
    if (m_chart->size().isEmpty()) {
        layOutFor(QSizeF(815, 526));
        m_laidOutFor = QSizeF();
    } else {
        layOutFor(m_chart->size());
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
    static const char* const plainKey = "vizorbTitle";
    static const char* const markupKey = "vizorbTitleMarkup";
    static const char* const fontKey = "vizorbTitleFont";
    static const char* const fittedKey = "vizorbTitleFitted";
    if (axis->titleText().isEmpty())
        return;
    if (axis->titleText() != axis->property(markupKey).toString()) {
        QString plain = axis->titleText();
        plain.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        axis->setProperty(plainKey, plain);
    }
    if (axis->titleFont() != axis->property(fittedKey).value<QFont>())
        axis->setProperty(fontKey, axis->titleFont());
    const QString plain = axis->property(plainKey).toString();
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

void AxisLayout::layOutFor(QSizeF size)
{
    if (size == m_laidOutFor || size.isEmpty())
        return;
    m_laidOutFor = size;
    // The chart's own texts set the margins for a new size as it changes,
    // before the chart sends the resize event this is called from.
    const QRectF inside = QRectF(QPointF(0, 0), size).marginsRemoved(QMarginsF(m_chart->margins()));
    // Titles first, as every axis' room depends on the depth of the axes across
    // it: wrapped to the least length the plot keeps, from the chart's size alone.
    for (Entry& e : m_entries) {
        e.extent = -1;
        // A title takes at most half of what Qt Charts leaves its axis, the labels the rest.
        const double length = (1 - kAxisShare) * (e.alongX ? inside.width() : inside.height());
        const double depth = maxDepth(e, inside) / 2;
        fitTitle(e.axis, length, depth);
        for (QValueAxis* copy : std::as_const(e.copies))
            fitTitle(copy, length, depth);
    }
    for (Entry& e : m_entries)
        layOut(e, inside);
    placeRadialLabels();
}

namespace {

// The widest line and the most lines' height of the labels laid out, each with a text item's margins.
QSizeF labelsExtent(const CategoryLayout& layout, const QFontMetricsF& fm)
{
    double widest = 0;
    qsizetype lines = 1;
    for (const QString& label : layout.lines) {
        const QStringList split = label.split(QLatin1Char('\n'));
        lines = std::max(lines, split.size());
        for (const QString& line : split)
            widest = std::max(widest, fm.horizontalAdvance(line));
    }
    return {widest + kItemPad, double(lines) * fm.lineSpacing() + kItemPad};
}

} // namespace

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
        for (const QString& label : ticksFor(e.axis->min(), e.axis->max(), e.maxSteps, e.format, e.compact).labels)
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
    connect(m_chart, &QChart::plotAreaChanged, this, &AxisLayout::placeRadialLabels);
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
        const QPointF at = m_chart->mapToPosition(QPointF(angle, value), anchor);
        const QSizeF size(fm.horizontalAdvance(text) + 2, fm.height());
        const QRectF right(QPointF(at.x() + 4, at.y() - size.height() / 2), size);
        const QRectF left(QPointF(at.x() - 4 - size.width(), at.y() - size.height() / 2), size);
        const auto clear = [&](const QRectF& rect) {
            // Nor on the spoke labels.
            if (QGraphicsScene* scene = m_chart->scene())
                for (QGraphicsItem* item : scene->items(m_chart->mapToScene(rect)))
                    if (item->isVisible() && dynamic_cast<QGraphicsTextItem*>(item))
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

// Our labels at the ticks of a value axis made by newValueAxis(); a polar
// chart's radial axis has rings instead, its labels drawn beside them.
void applyScale(QValueAxis* axis, const ValueScale& scale)
{
    if (auto* c = qobject_cast<QCategoryAxis*>(axis)) {
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < scale.ticks.size(); ++k)
            shown.append({scale.labels[k], scale.ticks[k]});
        setCategoryLabels(c, scale.lo, shown);
        c->setRange(scale.lo, scale.hi);
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
        const CategoryLayout layout = layoutCategories(e.labels, e.axis->labelsFont(), length, across, e.alongX);
        const QSizeF labels = labelsExtent(layout, fm);
        e.extent = layout.angle == -90 ? labels.width()
                   : layout.angle != 0 ? (labels.width() + fm.height()) * std::sqrt(0.5)
                   : e.alongX          ? labels.height()
                                       : labels.width();
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < layout.lines.size(); ++k)
            shown.append({layout.lines[k], double(k * layout.every)});
        for (QValueAxis* a : axes) {
            auto* c = static_cast<QCategoryAxis*>(a);
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
        const double lo = e.axis->min(), hi = e.axis->max();
        const auto widest = [&](const ValueScale& scale) {
            double widest = 0;
            for (const QString& label : scale.labels)
                widest = std::max(widest, fm.horizontalAdvance(label));
            return widest + kItemPad;
        };
        const auto fitted = [&](bool compact) {
            ValueScale scale;
            for (int steps = e.maxSteps; steps >= 1; --steps) {
                scale = ticksFor(lo, hi, steps, e.format, compact);
                const double need = e.alongX ? widest(scale) + 12 : fm.height() * 1.5;
                if (double(scale.ticks.size()) * need <= length)
                    break;
            }
            return scale;
        };
        // Plain digits where they fit, else a shared suffix.
        ValueScale scale = fitted(false);
        e.compact = e.alongX ? scale.ticks.size() < std::min(4, e.maxSteps + 1) : widest(scale) > across;
        if (e.compact) {
            const ValueScale compact = fitted(true);
            if (compact.labels != scale.labels && (!e.alongX || compact.ticks.size() > scale.ticks.size()))
                scale = compact;
            else
                e.compact = false;
        }
        // A label at the right end reaches half its width past the plot: it is left off
        // where the chart's margin has no room for that (its tick stays).
        if (e.alongX && !scale.ticks.isEmpty() && scale.ticks.constLast() == hi &&
            widest(ValueScale{lo, hi, 0, {}, {scale.labels.constLast()}}) / 2 > m_chart->margins().right())
            scale.labels.last().clear();
        for (QValueAxis* a : axes)
            applyScale(a, scale);
        if (e.axis == m_radial)
            m_radialScale = scale;
        break;
    }
    case Entry::Spokes: {
        // Spokes share the circle; their labels stand outside it, at most a
        // fifth of the room wide, wrapped at spaces.
        const double room = inside.width() * 0.2;
        const auto lay = [&](double around) {
            CategoryLayout layout = layoutCategories(e.labels, e.axis->labelsFont(), around, room, false);
            // Near the top and bottom neighbours stand side by side: thin further
            // until the widest label fits between its spokes there.
            const double n = double(e.labels.size());
            const double needed = std::ceil(n * (labelsExtent(layout, fm).width() + 4) / around);
            if (needed > layout.every) {
                // A shorter circle makes the layout start from that thinning.
                const double lines = layout.lines.isEmpty() ? 1 : 1 + layout.lines.first().count(QLatin1Char('\n'));
                layout = layoutCategories(e.labels, e.axis->labelsFont(),
                                          n * (lines * fm.height() + kItemPad + 2) / needed, room, false);
            }
            return layout;
        };
        // Qt Charts leaves the labels too little room around the circle: the
        // plot is a square inside the chart's margins less the labels' room on each side.
        constexpr double kSpokePad = 10;
        const auto square = [&](const CategoryLayout& layout) {
            const QSizeF labels = labelsExtent(layout, fm);
            const double side = std::max(40.0, std::min(inside.width() - 2 * (labels.width() + kSpokePad),
                                                        inside.height() - 2 * (labels.height() + kSpokePad)));
            QRectF plot(0, 0, side, side);
            plot.moveCenter(inside.center());
            return plot;
        };
        const double guess = M_PI * std::max(60.0, std::min(inside.width() - 2 * room, inside.height() - 60));
        CategoryLayout layout = lay(guess);
        QRectF plot = square(layout);
        if (M_PI * plot.width() < guess) {
            layout = lay(M_PI * plot.width());
            plot = square(layout);
        }
        // Margins leave Qt Charts that square and the labels' room around it.
        const QSizeF labels = labelsExtent(layout, fm);
        const QRectF framed = plot.adjusted(-labels.width() - kSpokePad, -labels.height() - kSpokePad,
                                            labels.width() + kSpokePad, labels.height() + kSpokePad) &
                              inside;
        const QSizeF size = m_laidOutFor;
        m_chart->setMargins(QMargins(int(std::ceil(framed.left())), int(std::ceil(framed.top())),
                                     int(std::ceil(size.width() - framed.right())),
                                     int(std::ceil(size.height() - framed.bottom()))));
        const double n = double(e.labels.size());
        QList<std::pair<QString, double>> shown;
        for (qsizetype k = 0; k < layout.lines.size(); ++k)
            shown.append({layout.lines[k], e.hi * double(k * layout.every) / n});
        // The first spoke's label closes the circle at its end.
        if (!shown.isEmpty()) {
            shown.move(0, shown.size() - 1);
            shown.last().second = e.hi;
        }
        auto* c = static_cast<QCategoryAxis*>(e.axis);
        setCategoryLabels(c, 0, shown, true);
        c->setRange(0, e.hi);
        break;
    }
    }
}

} // namespace vizorb
