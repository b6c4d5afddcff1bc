#include "vizorb/chart/chart_decor.h"

#include "vizorb/chart/chart_text.h"

#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsEllipseItem>
#include <QGraphicsLayout>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPainterPath>
#include <QPen>
#include <QPieSeries>
#include <QPieSlice>
#include <QTextDocument>
#include <QTextOption>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace vizorb {
namespace {

constexpr qreal kPad = 8;       // between the chart's edge and its texts
constexpr qreal kGap = 6;       // between the header, the legend and the plot
constexpr qreal kEntryGap = 14; // between legend entries side by side
constexpr qreal kMarkGap = 4;   // between a legend mark and its name
constexpr qreal kLeader = 12;   // a slice label's leader line, out of the ring before it turns
constexpr qreal kZ = 100;       // above the series
// A line of the legend or of a slice label takes at most this share of the chart's height, whatever its font.
constexpr qreal kLineShare = 0.05;

// Width and height of `lines` as a plain item draws them.
QSizeF measure(const QString& lines, const QFontMetricsF& fm)
{
    qreal width = 0;
    qsizetype count = 0;
    for (QStringView line : QStringView(lines).split(QLatin1Char('\n'))) {
        width = std::max(width, fm.horizontalAdvance(line.toString()));
        ++count;
    }
    // A text line's height is whole pixels.
    return {std::ceil(width), count * std::ceil(fm.height())};
}

struct Header {
    QString text;
    TextStyle style;
    qreal share = 0; // of the chart's height, at most
    QGraphicsTextItem* item = nullptr;
};

// Legend entries flowed into rows (top, bottom) or columns (left, right).
struct Flow {
    QStringList texts;
    QList<QPointF> at; // each entry's top left, from the legend's top left
    QSizeF size;
    qsizetype entries = 0; // the entries shown, before the one saying how many are not
    qreal mark = 0;
    bool fits = false;
};

Flow flow(const QList<LegendEntry>& entries, qsizetype count, const QString& more, const QFont& font, QSizeF room,
          bool rows)
{
    const QFontMetricsF fm(font);
    Flow f;
    f.entries = count;
    f.mark = std::ceil(fm.height() * 0.7);
    const qreal textRoom = std::max(room.width() - f.mark - kMarkGap, 10.0);
    QList<qreal> rowWidths;
    QList<qsizetype> rowOf;
    qreal x = 0, y = 0, line = 0;
    for (qsizetype i = 0; i <= count; ++i) {
        if (i == count && more.isEmpty())
            break;
        QString text = wrapText(i < count ? drawnText(entries[i].name) : more, font, textRoom);
        const QSizeF t = measure(text, fm);
        const qreal w = f.mark + kMarkGap + t.width(), h = std::max(t.height(), f.mark);
        if (rows) {
            if (x > 0 && x + w > room.width()) {
                y += line + 2;
                x = line = 0;
            }
            if (x == 0)
                rowWidths << 0;
            f.at << QPointF(x, y);
            rowWidths.last() = x + w;
            rowOf << rowWidths.size() - 1;
            x += w + kEntryGap;
            line = std::max(line, h);
            f.size = QSizeF(std::max(f.size.width(), x - kEntryGap), y + line);
            if (f.size.height() > room.height())
                return f; // does not fit: no need to flow the rest
        } else {
            if (y > 0 && y + h > room.height()) {
                x += line + kEntryGap;
                y = line = 0;
            }
            f.at << QPointF(x, y);
            y += h + 3;
            line = std::max(line, w);
            f.size = QSizeF(x + line, std::max(f.size.height(), y - 3));
            if (f.size.width() > room.width())
                return f;
        }
        f.texts << text;
    }
    if (rows) {
        // Each row centred in the legend's width.
        for (qsizetype i = 0; i < f.at.size(); ++i)
            f.at[i].rx() += (room.width() - rowWidths[rowOf[i]]) / 2;
        f.size.setWidth(room.width());
        f.fits = f.size.height() <= room.height();
    } else {
        f.fits = f.size.width() <= room.width();
    }
    return f;
}

// As large a font as flows all of `entries` into `limit`, each line at most
// `tallestLine` high and words whole, down to the smallest size; beyond that
// as many entries as fit, and a last text saying how many are not shown.
// `font` becomes the font the flow is measured in.
Flow fitted(const QList<LegendEntry>& entries, QFont& font, QSizeF limit, bool rows, qreal tallestLine)
{
    const qsizetype n = entries.size();
    qreal points = pointsOf(font);
    while (points > kMinPoint && QFontMetricsF(sized(font, points)).height() > tallestLine)
        points = smaller(points);
    // Names keep their words whole where the smallest font allows.
    const auto whole = [&](const QFont& f) {
        const qreal room = limit.width() - std::ceil(QFontMetricsF(f).height() * 0.7) - kMarkGap;
        return std::all_of(entries.begin(), entries.end(),
                           [&](const LegendEntry& e) { return widestWord(drawnText(e.name), f) <= room; });
    };
    const bool wholeAtLeast = whole(sized(font, kMinPoint));
    font = sized(font, points);
    Flow f = flow(entries, n, {}, font, limit, rows);
    while ((!f.fits || (wholeAtLeast && !whole(font))) && points > kMinPoint) {
        points = smaller(points);
        font = sized(font, points);
        f = flow(entries, n, {}, font, limit, rows);
    }
    if (f.fits)
        return f;
    qsizetype lo = 0, hi = n - 1;
    auto more = [n](qsizetype shown) { return QStringLiteral("+%1 more").arg(n - shown); };
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (flow(entries, mid, more(mid), font, limit, rows).fits)
            lo = mid;
        else
            hi = mid - 1;
    }
    return flow(entries, lo, more(lo), font, limit, rows);
}

// The items of a flow of entries, each a mark and its name, from `origin`, as
// children of `chart`; returns the rectangle they cover.
QRectF draw(const Flow& f, const QList<LegendEntry>& entries, QPointF origin, const TextStyle& style, LegendMark mark,
            QChart* chart, QList<QGraphicsItem*>& items)
{
    origin = QPointF(std::round(origin.x()), std::round(origin.y()));
    const QFontMetricsF fm(style.font);
    const qreal m = f.mark;
    QRectF covered;
    auto keep = [&](QGraphicsItem* item) {
        item->setZValue(kZ);
        items << item;
        covered |= item->mapRectToParent(item->boundingRect());
    };
    for (qsizetype i = 0; i < f.texts.size(); ++i) {
        const QPointF at = origin + f.at[i];
        auto* text = new QGraphicsSimpleTextItem(f.texts[i], chart);
        text->setFont(style.font);
        text->setBrush(style.color);
        text->setPos(at.x() + m + kMarkGap, at.y());
        keep(text);
        if (i >= f.entries)
            continue;
        const qreal markTop = at.y() + (fm.height() - m) / 2;
        QAbstractGraphicsShapeItem* markItem = nullptr;
        if (mark == LegendMark::Dot || mark == LegendMark::Ring)
            markItem = new QGraphicsEllipseItem(at.x(), markTop, m, m, chart);
        else if (mark == LegendMark::Line)
            markItem = new QGraphicsRectItem(at.x(), markTop + m / 2 - 1.5, m, 3, chart);
        else
            markItem = new QGraphicsRectItem(at.x(), markTop, m, m, chart);
        if (mark == LegendMark::Ring) {
            markItem->setPen(QPen(entries[i].color, std::max(1.0, std::round(m / 5))));
            markItem->setBrush(Qt::NoBrush);
        } else {
            markItem->setBrush(entries[i].color);
            markItem->setPen(Qt::NoPen);
        }
        keep(markItem);
    }
    return covered;
}

// Whether every word of `text` (up to a hyphen or slash) fits a line `width` wide.
bool wordsFit(const QString& text, const QFont& font, qreal width)
{
    return widestWord(text, font) <= width;
}

// Whether two leader lines (polylines) cross.
bool leadersCross(const QPainterPath& a, const QPainterPath& b)
{
    for (int i = 0; i + 1 < a.elementCount(); ++i)
        for (int j = 0; j + 1 < b.elementCount(); ++j)
            if (QLineF(QPointF(a.elementAt(i)), QPointF(a.elementAt(i + 1)))
                    .intersects(QLineF(QPointF(b.elementAt(j)), QPointF(b.elementAt(j + 1))), nullptr) ==
                QLineF::BoundedIntersection)
                return true;
    return false;
}

} // namespace

void setCentredText(QGraphicsTextItem* item, const QString& lines)
{
    setAlignedText(item, lines, Qt::AlignHCenter);
}

void setAlignedText(QGraphicsTextItem* item, const QString& lines, Qt::Alignment alignment)
{
    QTextDocument* doc = item->document();
    doc->setDocumentMargin(0);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::NoWrap);
    doc->setDefaultTextOption(option);
    item->setTextWidth(-1);
    item->setPlainText(lines);
    item->setTextWidth(std::ceil(doc->idealWidth()) + 1);
}

struct ChartDecor::Private {
    QChart* chart;
    Header title{{}, {}, 0.3}, subtitle{{}, {}, 0.15}, note{{}, {}, 0.15};
    QRectF titleRect;

    bool legendShown = false;
    Qt::Alignment side = Qt::AlignBottom;
    LegendMark mark = LegendMark::Box;
    TextStyle legendStyle;
    QList<LegendEntry> entries;
    QList<QGraphicsItem*> legendItems;
    QRectF legendRect;

    QList<QPieSeries*> rings;
    QList<qreal> ringPie, ringHole; // sizes as built, before room is made for labels
    QStringList labels;
    QList<QStringList> innerLabels; // per inner ring
    QStringList ringNames;
    TextStyle labelStyle;
    QList<QGraphicsItem*> labelItems;

    QStringList ringList;
    TextStyle ringListStyle;
    QList<QGraphicsItem*> ringListItems;

    PlotRoom plotRoom;
    QSizeF framedFor;
    QRectF inside; // the chart less its margins

    qreal placeHeader(Header& h, qreal top, QSizeF chart);
    void placeLegend(QRectF room);
    qreal placeRingList(qreal top, QSizeF size);
    void placeLabels(QRectF room);
    void placeInnerLabels(QPointF centre, qreal scale, const QFont& font);
    void placeFrame();
};

ChartDecor::ChartDecor(QChart* chart) : QObject(chart), d(std::make_unique<Private>())
{
    d->chart = chart;
    // Qt Charts would grow the chart to what its axes and texts ask for; they fit themselves instead.
    chart->setMinimumSize(QSizeF(0, 0));
    connect(chart, &QGraphicsWidget::widthChanged, this, [this] { d->placeFrame(); });
    connect(chart, &QGraphicsWidget::heightChanged, this, [this] { d->placeFrame(); });
    connect(chart, &QGraphicsWidget::geometryChanged, this, &ChartDecor::layout);
}

// The items are the chart's children and go with it.
ChartDecor::~ChartDecor() = default;

void ChartDecor::setTitle(const QString& text, const TextStyle& style)
{
    d->title.text = drawnText(text);
    d->title.style = style;
}

void ChartDecor::setSubtitle(const QString& text, const TextStyle& style)
{
    d->subtitle.text = drawnText(text);
    d->subtitle.style = style;
}

void ChartDecor::setNote(const QString& text, const TextStyle& style)
{
    d->note.text = drawnText(text);
    d->note.style = style;
}

void ChartDecor::setLegend(Qt::Alignment side, LegendMark mark, const TextStyle& style)
{
    d->legendShown = true;
    d->side = side;
    d->mark = mark;
    d->legendStyle = style;
}

void ChartDecor::addLegendEntry(const LegendEntry& entry)
{
    d->entries << entry;
}

void ChartDecor::clearLegend()
{
    d->entries.clear();
}

void ChartDecor::setPieLabels(const QList<QPieSeries*>& rings, const QStringList& labels,
                              const QList<QStringList>& innerLabels, const QStringList& ringNames,
                              const TextStyle& style)
{
    d->ringNames = ringNames;
    d->rings = rings;
    d->ringPie.clear();
    d->ringHole.clear();
    for (QPieSeries* ring : rings) {
        d->ringPie << ring->pieSize();
        d->ringHole << ring->holeSize();
    }
    d->labels = labels;
    d->innerLabels = innerLabels;
    d->labelStyle = style;
}

void ChartDecor::setRingList(const QStringList& names, const TextStyle& style)
{
    d->ringList = names;
    d->ringListStyle = style;
}

void ChartDecor::setPlotRoom(PlotRoom room)
{
    d->plotRoom = std::move(room);
}

void ChartDecor::relayout()
{
    d->framedFor = QSizeF();
    d->placeFrame();
}

bool ChartDecor::hasTitle() const
{
    return !d->title.text.isEmpty() || !d->subtitle.text.isEmpty();
}

QRectF ChartDecor::titleRect() const
{
    return d->titleRect;
}

QRectF ChartDecor::legendRect() const
{
    return d->legendRect;
}

// Lays out one header text at `top`, shrinking its font until it takes at
// most its share of the height; returns the height taken.
qreal ChartDecor::Private::placeHeader(Header& h, qreal top, QSizeF size)
{
    if (h.text.isEmpty()) {
        delete h.item;
        h.item = nullptr;
        return 0;
    }
    if (!h.item) {
        h.item = new QGraphicsTextItem(chart);
        h.item->setZValue(kZ);
    }
    h.item->setDefaultTextColor(h.style.color);
    const qreal width = std::max(size.width() - 2 * kPad, 1.0);
    qreal points = pointsOf(h.style.font);
    // A smaller font before a word (a long address, say) is broken inside, where that makes it fit.
    const bool wordsCanFit = wordsFit(h.text, sized(h.style.font, kMinPoint), width);
    for (;;) {
        const QFont font = sized(h.style.font, points);
        h.item->setFont(font);
        setCentredText(h.item, wrapText(h.text, font, width));
        if ((h.item->boundingRect().height() <= size.height() * h.share &&
             (!wordsCanFit || wordsFit(h.text, font, width))) ||
            points <= kMinPoint)
            break;
        points = smaller(points);
    }
    const QRectF box = h.item->boundingRect();
    h.item->setPos(std::round((size.width() - box.width()) / 2), top);
    return box.height();
}

void ChartDecor::Private::placeLegend(QRectF room)
{
    qDeleteAll(legendItems);
    legendItems.clear();
    legendRect = {};
    if (!legendShown || entries.isEmpty() || room.width() < 1 || room.height() < 1)
        return;
    const bool rows = side & (Qt::AlignTop | Qt::AlignBottom);
    const QSizeF limit = rows ? QSizeF(room.width(), room.height() * 0.3) : QSizeF(room.width() * 0.35, room.height());
    QFont font = legendStyle.font;
    const Flow f = fitted(entries, font, limit, rows, chart->size().height() * kLineShare);
    QPointF origin;
    if (side & Qt::AlignTop)
        origin = room.topLeft();
    else if (side & Qt::AlignBottom)
        origin = QPointF(room.left(), room.bottom() - f.size.height());
    else if (side & Qt::AlignLeft)
        origin = QPointF(room.left(), room.center().y() - f.size.height() / 2);
    else
        origin = QPointF(room.right() - f.size.width(), room.center().y() - f.size.height() / 2);
    legendRect = draw(f, entries, origin, {font, legendStyle.color}, mark, chart, legendItems);
}

// The rings' names in rows from `top`, taking at most a quarter of the chart's
// height; returns the height taken.
qreal ChartDecor::Private::placeRingList(qreal top, QSizeF size)
{
    qDeleteAll(ringListItems);
    ringListItems.clear();
    if (ringList.isEmpty())
        return 0;
    QList<LegendEntry> names;
    for (const QString& name : ringList)
        names.append({name, ringListStyle.color});
    const QSizeF limit(size.width() - 2 * kPad, size.height() * 0.25);
    if (limit.width() < 1 || limit.height() < 1)
        return 0;
    QFont font = ringListStyle.font;
    const Flow f = fitted(names, font, limit, true, size.height() * kLineShare);
    return draw(f, names, QPointF(kPad, top), {font, ringListStyle.color}, LegendMark::Ring, chart, ringListItems)
        .height();
}

// Slice labels outside the outermost ring, in a column on each side, moved
// apart so none overlaps another; a label that finds no room is left off with
// its leader line, the smallest slices first.
void ChartDecor::Private::placeLabels(QRectF room)
{
    qDeleteAll(labelItems);
    labelItems.clear();
    auto blank = [](const QStringList& texts) {
        return std::all_of(texts.begin(), texts.end(), [](const QString& t) { return t.isEmpty(); });
    };
    if (rings.isEmpty() ||
        (blank(labels) && blank(ringNames) && std::all_of(innerLabels.begin(), innerLabels.end(), blank)))
        return;
    const QRectF plot = chart->plotArea();
    const QPointF c = plot.center();
    const qreal base = std::min(plot.width(), plot.height()) / 2;
    if (base <= 0)
        return;
    const qreal wrapAt = std::max(40.0, room.width() * 0.25);
    // A ring's name stands out from the slices' labels, and its leader ends in a dot on the ring.
    // A slice's label may be left off (the legend names the slice), a ring's name may not:
    // the labels' font shrinks until the names fit beside the rings, words whole.
    qreal points = pointsOf(labelStyle.font);
    while (points > kMinPoint &&
           QFontMetricsF(sized(labelStyle.font, points)).height() > chart->size().height() * kLineShare)
        points = smaller(points);
    for (;;) {
        QFont bold = sized(labelStyle.font, points);
        bold.setBold(true);
        qreal height = 0;
        bool whole = true;
        for (qsizetype r = 0; r < ringNames.size() && r < rings.size(); ++r) {
            const QString name = drawnText(ringNames[r]);
            height += measure(wrapText(name, bold, wrapAt), QFontMetricsF(bold)).height() + 2;
            whole = whole && wordsFit(name, bold, wrapAt);
        }
        // Slices' labels keep their words whole too.
        const QFont plain = sized(labelStyle.font, points);
        for (const QString& label : std::as_const(labels))
            whole = whole && wordsFit(drawnText(label), plain, wrapAt);
        if ((height <= room.height() && whole) || points <= kMinPoint)
            break;
        points = smaller(points);
    }
    const QFont font = sized(labelStyle.font, points);
    const QFontMetricsF fm(font);
    QFont ringFont = font;
    ringFont.setBold(true);
    const QFontMetricsF ringFm(ringFont);
    const QList<QPieSlice*> slices = rings.last()->slices();
    struct Label {
        QString text;
        QSizeF size;
        QPointF direction;
        qreal span;  // the larger, the later it is left off
        qreal reach; // where its leader starts, as a share of the outermost radius
        qreal top = 0;
    };
    QList<Label> all;
    qreal widest = 0;
    for (qsizetype i = 0; i < slices.size() && i < labels.size(); ++i) {
        if (labels[i].isEmpty())
            continue;
        const qreal angle = qDegreesToRadians(slices[i]->startAngle() + slices[i]->angleSpan() / 2);
        Label l{wrapText(drawnText(labels[i]), font, wrapAt),
                {},
                QPointF(std::sin(angle), -std::cos(angle)),
                slices[i]->angleSpan(),
                1};
        l.size = measure(l.text, fm);
        widest = std::max(widest, l.size.width());
        all << l;
    }
    // A ring's name stands at the left, the innermost's at the centre's height and
    // the outer rings' ever further above and below, so each can lead level to its
    // ring; names go before any slice's label.
    const qreal step = std::min(20.0, 100.0 / std::max<qsizetype>(1, ringNames.size()));
    for (qsizetype r = 0; r < ringNames.size() && r < rings.size(); ++r) {
        const qreal k = qreal((r + 1) / 2) * (r % 2 ? 1 : -1);
        const qreal angle = qDegreesToRadians(270.0 + k * step);
        Label l{wrapText(drawnText(ringNames[r]), ringFont, wrapAt),
                {},
                QPointF(std::sin(angle), -std::cos(angle)),
                720.0 - r,
                (ringPie[r] + ringHole[r]) / 2 / ringPie.last()};
        l.size = measure(l.text, ringFm);
        widest = std::max(widest, l.size.width());
        all << l;
    }
    // The rings shrink, keeping their proportions, so the labels fit beside
    // them and a label at the top or bottom fits above or below them.
    const qreal across = std::min(c.x() - room.left(), room.right() - c.x()) - widest - kLeader - 8;
    const qreal upright = std::min(c.y() - room.top(), room.bottom() - c.y()) - kLeader - std::ceil(fm.height());
    const qreal radius = std::max(base * 0.2, std::min({base * 0.95, across, upright}));
    const qreal factor = radius / (base * ringPie.last());
    for (qsizetype r = 0; r < rings.size(); ++r) {
        rings[r]->setPieSize(std::min(1.0, ringPie[r] * factor));
        rings[r]->setHoleSize(std::min(1.0, ringHole[r] * factor));
    }
    for (bool right : {true, false}) {
        QList<Label*> side;
        for (Label& l : all)
            if ((l.direction.x() >= 0) == right)
                side << &l;
        // Keep the largest slices' labels that fit into the height, then order them top down.
        std::stable_sort(side.begin(), side.end(), [](const Label* a, const Label* b) { return a->span > b->span; });
        qreal used = 0;
        qsizetype keep = 0;
        while (keep < side.size() && used + side[keep]->size.height() <= room.height()) {
            used += side[keep]->size.height() + 2;
            ++keep;
        }
        side.resize(keep);
        for (Label* l : side)
            l->top = c.y() + (radius + kLeader) * l->direction.y() - l->size.height() / 2;
        std::stable_sort(side.begin(), side.end(), [](const Label* a, const Label* b) { return a->top < b->top; });
        qreal floor = room.top();
        for (Label* l : side) {
            l->top = std::max(l->top, floor);
            floor = l->top + l->size.height() + 2;
        }
        qreal ceiling = room.bottom();
        for (qsizetype i = side.size() - 1; i >= 0; --i) {
            side[i]->top = std::min(side[i]->top, ceiling - side[i]->size.height());
            ceiling = side[i]->top - 2;
        }
        // Ring names pushed off their heights keep an inner ring's nearer the centre's
        // height than an outer one's, so their leaders do not cross.
        QList<Label*> ringNames;
        for (Label* l : side)
            if (l->reach < 1)
                ringNames << l;
        if (ringNames.size() > 1 && std::all_of(ringNames.begin(), ringNames.end(), [&](const Label* l) {
                return l->size.height() == ringNames.first()->size.height();
            })) {
            QList<qreal> tops;
            for (const Label* l : ringNames)
                tops << l->top;
            const qreal half = ringNames.first()->size.height() / 2;
            std::sort(tops.begin(), tops.end(),
                      [&](qreal a, qreal b) { return std::abs(a + half - c.y()) < std::abs(b + half - c.y()); });
            std::stable_sort(ringNames.begin(), ringNames.end(),
                             [](const Label* a, const Label* b) { return a->reach < b->reach; });
            for (qsizetype i = 0; i < ringNames.size(); ++i)
                ringNames[i]->top = tops[i];
        }
        const qreal column = right ? c.x() + radius + kLeader + 6 : c.x() - radius - kLeader - 6;
        struct Placed {
            const Label* label;
            QRectF box;
            QPointF rim;
            QPainterPath path;
        };
        QList<Placed> placed;
        for (Label* l : side) {
            const QRectF box(right ? column : column - l->size.width(), l->top, l->size.width(), l->size.height());
            if (!room.contains(box))
                continue;
            const bool ring = l->reach < 1;
            QPointF rim = c + radius * l->reach * l->direction;
            const QPointF end(right ? box.left() - 2 : box.right() + 2, box.center().y());
            QPainterPath path(rim);
            // A ring's leader runs level to its ring where the name stands beside it (level
            // leaders never cross), else straight to the ring's nearest point beside it. A
            // slice's leader leaves its slice outwards, then turns.
            if (ring) {
                const qreal rr = radius * l->reach;
                const qreal dy = std::clamp(end.y() - c.y(), -0.9 * rr, 0.9 * rr);
                rim = QPointF(c.x() + (right ? 1 : -1) * std::sqrt(rr * rr - dy * dy), c.y() + dy);
                path = QPainterPath(rim);
            } else {
                path.lineTo(c + (radius + kLeader) * l->direction);
            }
            path.lineTo(end);
            placed.append({l, box, rim, path});
        }
        // Labels pushed apart can send a small slice's leader across its neighbour's: ring
        // names and the larger slices keep theirs, a slice label whose leader would cross one is left off.
        std::stable_sort(placed.begin(), placed.end(),
                         [](const Placed& a, const Placed& b) { return a.label->span > b.label->span; });
        QList<QPainterPath> kept;
        for (const Placed& p : placed) {
            if (p.label->reach >= 1 &&
                std::any_of(kept.begin(), kept.end(), [&](const QPainterPath& k) { return leadersCross(k, p.path); }))
                continue;
            kept << p.path;
            const bool ring = p.label->reach < 1;
            auto* leader = new QGraphicsPathItem(p.path, chart);
            leader->setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
            auto* text = new QGraphicsSimpleTextItem(p.label->text, chart);
            text->setFont(ring ? ringFont : font);
            text->setBrush(labelStyle.color);
            text->setPos(p.box.topLeft());
            labelItems << leader << text;
            if (ring) {
                auto* dot = new QGraphicsEllipseItem(QRectF(p.rim - QPointF(2.5, 2.5), QSizeF(5, 5)), chart);
                dot->setBrush(labelStyle.color);
                dot->setPen(Qt::NoPen);
                labelItems << dot;
            }
        }
    }
    placeInnerLabels(c, radius / ringPie.last(), font);
    for (QGraphicsItem* item : labelItems)
        item->setZValue(kZ);
}

// Labels of inner rings stand inside their slices, in a colour that reads on
// the slice; one that does not fit inside its slice is left off.
void ChartDecor::Private::placeInnerLabels(QPointF c, qreal scale, const QFont& font)
{
    const QFontMetricsF fm(font);
    for (qsizetype r = 0; r < innerLabels.size() && r + 1 < rings.size(); ++r) {
        const qreal inner = ringHole[r] * scale, outer = ringPie[r] * scale;
        const QList<QPieSlice*> slices = rings[r]->slices();
        for (qsizetype i = 0; i < slices.size() && i < innerLabels[r].size(); ++i) {
            const QString text = drawnText(innerLabels[r][i]);
            if (text.isEmpty())
                continue;
            QPieSlice* slice = slices[i];
            const qreal mid = qDegreesToRadians(slice->startAngle() + slice->angleSpan() / 2);
            const QSizeF size = measure(text, fm);
            QRectF box(QPointF(), size);
            box.moveCenter(c + (inner + outer) / 2 * QPointF(std::sin(mid), -std::cos(mid)));
            const std::array<QPointF, 4> corners{box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
            const bool inside = std::all_of(corners.begin(), corners.end(), [&](QPointF p) {
                const QPointF v = p - c;
                const qreal distance = std::hypot(v.x(), v.y());
                qreal angle = qRadiansToDegrees(std::atan2(v.x(), -v.y()));
                if (angle < 0)
                    angle += 360;
                return distance > inner && distance < outer && angle > slice->startAngle() &&
                       angle < slice->startAngle() + slice->angleSpan();
            });
            if (!inside)
                continue;
            auto* item = new QGraphicsSimpleTextItem(text, chart);
            item->setFont(font);
            item->setBrush(qGray(slice->color().rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black));
            item->setPos(box.topLeft());
            labelItems << item;
        }
    }
}

// The header and the legend, and the margins that keep the plot clear of
// them: set as soon as the chart's size changes, before the chart lays out
// its plot, so that a new size costs one layout of the series, not two.
void ChartDecor::Private::placeFrame()
{
    const QSizeF size = chart->size();
    if (size == framedFor)
        return;
    framedFor = size;
    if (size.width() < 1 || size.height() < 1)
        return;
    qreal top = kPad;
    titleRect = {};
    for (Header* h : {&title, &subtitle, &note}) {
        const qreal height = placeHeader(*h, top, size);
        if (height > 0) {
            if (h != &note)
                titleRect |= h->item->mapRectToParent(h->item->boundingRect());
            top += height + 2;
        }
    }
    if (const qreal height = placeRingList(top, size); height > 0)
        top += height + 2;
    if (top > kPad)
        top += kGap - 2;
    placeLegend(QRectF(kPad, top, size.width() - 2 * kPad, size.height() - top - kPad));
    qreal left = kPad, right = kPad, bottom = kPad;
    if (!legendRect.isEmpty()) {
        if (side & Qt::AlignTop)
            top = legendRect.bottom() + kGap;
        else if (side & Qt::AlignBottom)
            bottom = size.height() - legendRect.top() + kGap;
        else if (side & Qt::AlignLeft)
            left = legendRect.right() + kGap;
        else
            right = size.width() - legendRect.left() + kGap;
    }
    inside = QRectF(QPointF(0, 0), size).marginsRemoved(QMarginsF(left, top, right, bottom));
    if (plotRoom) {
        const QMarginsF plot = plotRoom(size, inside);
        left += plot.left();
        top += plot.top();
        right += plot.right();
        bottom += plot.bottom();
    }
    const QMargins margins(int(std::ceil(left)), int(std::ceil(top)), int(std::ceil(right)), int(std::ceil(bottom)));
    if (chart->margins() != margins)
        chart->setMargins(margins);
}

void ChartDecor::layout()
{
    d->placeFrame();
    // The plot area follows the margins now, not at the next event: a picture is drawn at once.
    if (QGraphicsLayout* l = d->chart->layout(); l && !l->isActivated())
        l->activate();
    d->placeLabels(d->inside);
}

} // namespace vizorb
