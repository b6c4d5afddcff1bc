#include "vizorb/chart/dense_bars.h"

#include <QChart>
#include <QCursor>
#include <QGraphicsSceneHoverEvent>
#include <QImage>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vizorb {

// The plot as pixels: lanes across the categories, depth along the values
// from their low end.
struct DenseBarsItem::Frame {
    QRectF area;
    BarLanes bars{0, 0, 0};
    int lanes = 0;
    int depth = 0;
    double v0 = 0;
    double scale = 0; // depth pixels per half value
};

DenseBarsItem::DenseBarsItem(QChart* chart, QList<Series> series, int count, bool stacked, bool horizontal,
                             const QValueAxis* categoryAxis, double origin, const QValueAxis* valueAxis,
                             AxisScaling scaling)
    : QGraphicsItem(chart), m_chart(chart), m_series(std::move(series)), m_count(count), m_stacked(stacked),
      m_horizontal(horizontal), m_categoryAxis(categoryAxis), m_origin(origin), m_valueAxis(valueAxis),
      m_scaling(scaling)
{
    setZValue(10);
}

void DenseBarsItem::setTooltips(std::function<QString(int, int)> text)
{
    m_tooltip = std::move(text);
    setAcceptHoverEvents(bool(m_tooltip));
}

QRectF DenseBarsItem::boundingRect() const
{
    return m_chart->plotArea();
}

void DenseBarsItem::refresh()
{
    prepareGeometryChange();
    update();
}

bool DenseBarsItem::frame(Frame& f) const
{
    f.area = m_chart->plotArea();
    const int w = int(std::ceil(f.area.width())), h = int(std::ceil(f.area.height()));
    f.lanes = m_horizontal ? h : w;
    f.depth = m_horizontal ? w : h;
    f.bars = {f.lanes, m_categoryAxis->min() - m_origin, m_categoryAxis->max() - m_origin};
    // In true values, halved, so a range across the whole double range stays finite.
    f.v0 = m_scaling.value(m_valueAxis->min()) / 2;
    const double span = m_scaling.value(m_valueAxis->max()) / 2 - f.v0;
    f.scale = (m_horizontal ? f.area.width() : f.area.height()) / span;
    return f.lanes > 0 && f.depth > 0 && span > 0 && std::isfinite(f.scale) && f.bars.to > f.bars.from && m_count > 0 &&
           !m_series.isEmpty();
}

const QVector<BarColumn>& DenseBarsItem::reduced(const BarLanes& lanes) const
{
    if (lanes.columns != m_reducedLanes.columns || lanes.from != m_reducedLanes.from || lanes.to != m_reducedLanes.to) {
        QList<QVector<double>> values;
        for (const Series& s : m_series)
            values << s.values;
        m_reduced = reduceBars(values, m_count, m_stacked, lanes);
        m_reducedLanes = lanes;
    }
    return m_reduced;
}

std::pair<int, int> DenseBarsItem::depthRows(const Frame& f, double lo, double hi, bool up) const
{
    const double a = (lo / 2 - f.v0) * f.scale, b = (hi / 2 - f.v0) * f.scale;
    // Beyond a fixed end of the value axis: clipped, as the plot clips bars.
    if (!(b >= 0) || !(a <= f.depth))
        return {0, -1};
    int first = int(std::floor(std::max(a, 0.0))), last = int(std::ceil(std::min(b, double(f.depth)))) - 1;
    // However short, a bar shows at least one pixel, on its side of zero.
    if (last < first)
        (up ? last : first) = up ? first : last;
    return {std::max(first, 0), std::min(last, f.depth - 1)};
}

void DenseBarsItem::laneOwners(const Frame& f, int lane, std::vector<int>& owner) const
{
    const QVector<BarColumn>& columns = reduced(f.bars);
    const int n = int(m_series.size());
    owner.assign(std::size_t(f.depth), -1);
    // Painted longest first above zero and below it, a later series over an
    // earlier one of the same length. Handled here in reverse, the shortest
    // first, each pixel taking the first span that reaches it.
    struct Span {
        int k;
        bool up;
        double far;
    };
    std::vector<Span> spans;
    for (int k = 0; k < n; ++k) {
        const BarColumn& c = columns[qsizetype(k) * f.lanes + lane];
        if (!c.up.isEmpty())
            spans.push_back({k, true, c.up.hi});
        if (!c.down.isEmpty())
            spans.push_back({k, false, -c.down.lo});
    }
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.far < b.far || (a.far == b.far && a.k > b.k); });
    // The next pixel not yet taken at or after each pixel, skipping runs.
    std::vector<int> next(std::size_t(f.depth) + 1);
    std::iota(next.begin(), next.end(), 0);
    auto find = [&](int r) {
        while (next[r] != r) {
            next[r] = next[next[r]];
            r = next[r];
        }
        return r;
    };
    for (const Span& span : spans) {
        const BarColumn& c = columns[qsizetype(span.k) * f.lanes + lane];
        const ValueSpan& v = span.up ? c.up : c.down;
        const auto [first, last] = depthRows(f, v.lo, v.hi, span.up);
        for (int r = find(first); r <= last; r = find(r)) {
            owner[r] = span.k;
            next[r] = r + 1;
        }
    }
}

void DenseBarsItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    Frame f;
    if (!frame(f))
        return;
    const int w = m_horizontal ? f.depth : f.lanes, h = m_horizontal ? f.lanes : f.depth;
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    std::vector<QRgb> colors;
    for (const Series& s : m_series)
        colors.push_back(s.color.rgb());
    std::vector<int> owner;
    for (int lane = 0; lane < f.lanes; ++lane) {
        laneOwners(f, lane, owner);
        for (int r = 0; r < f.depth; ++r) {
            if (owner[r] < 0)
                continue;
            // Values grow upwards, or to the right; horizontal bars' first point is at the bottom.
            const int x = m_horizontal ? r : lane, y = m_horizontal ? f.lanes - 1 - lane : f.depth - 1 - r;
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colors[owner[r]];
        }
    }
    painter->drawImage(f.area.topLeft(), image);
}

std::pair<double, double> DenseBarsItem::barSpan(int k, int i) const
{
    const double v = m_series[k].values.value(i, std::nan(""));
    if (!m_stacked)
        return {std::min(0.0, v), std::max(0.0, v)};
    double base = 0;
    for (int j = 0; j < k; ++j) {
        // As the stack adds them: missing values as 0, each sign apart.
        const double u = m_series[j].values.value(i, 0.0);
        if (u != 0 && !std::isnan(u) && (u > 0) == (v > 0))
            base += u;
    }
    return v > 0 ? std::pair{base, base + v} : std::pair{base + v, base};
}

std::pair<int, int> DenseBarsItem::barAt(QPointF pos) const
{
    Frame f;
    if (!frame(f))
        return {-1, -1};
    const QPointF at = pos - f.area.topLeft();
    const int x = int(std::floor(at.x())), y = int(std::floor(at.y()));
    const int n = int(m_series.size());
    std::vector<int> owner;
    // The pixel under the pointer, else the nearest painted one within two pixels.
    static const std::pair<int, int> kOffsets[] = {{0, 0},  {-1, 0}, {1, 0},  {0, -1},  {0, 1},  {-1, -1}, {1, -1},
                                                   {-1, 1}, {1, 1},  {-2, 0}, {2, 0},   {0, -2}, {0, 2},   {-2, -1},
                                                   {2, -1}, {-2, 1}, {2, 1},  {-1, -2}, {1, -2}, {-1, 2},  {1, 2}};
    for (const auto& [dx, dy] : kOffsets) {
        const int px = x + dx, py = y + dy;
        const int lane = m_horizontal ? f.lanes - 1 - py : px, row = m_horizontal ? px : f.depth - 1 - py;
        if (lane < 0 || lane >= f.lanes || row < 0 || row >= f.depth)
            continue;
        laneOwners(f, lane, owner);
        const int k = owner[row];
        if (k < 0)
            continue;
        // Of that series' bars in this lane, the one reaching the pixel (a
        // stack's segments need not), nearest the pointer along the lane.
        const double perPoint = f.lanes / (f.bars.to - f.bars.from);
        const double centre = f.bars.from + (m_horizontal ? f.lanes - at.y() : at.x()) / perPoint;
        const int from = int(std::clamp(std::floor(f.bars.from + lane / perPoint) - 1, 0.0, m_count - 1.0));
        const int to = int(std::clamp(std::ceil(f.bars.from + (lane + 1) / perPoint) + 1, 0.0, m_count - 1.0));
        int best = -1;
        std::pair<int, double> bestScore{0, 0};
        for (int i = from; i <= to; ++i) {
            const double v = m_series[k].values.value(i, std::nan(""));
            if (v == 0 || std::isnan(v))
                continue;
            const auto [first, last] = barColumns(i, k, n, m_stacked, f.bars);
            if (lane < first || lane > last)
                continue;
            const auto [lo, hi] = barSpan(k, i);
            const auto [r0, r1] = depthRows(f, lo, hi, v > 0);
            const std::pair<int, double> score{row < r0 ? r0 - row : row > r1 ? row - r1 : 0, std::abs(i - centre)};
            if (best < 0 || score < bestScore) {
                best = i;
                bestScore = score;
            }
        }
        if (best >= 0)
            return {m_series[k].series, best};
    }
    return {-1, -1};
}

void DenseBarsItem::hoverMoveEvent(QGraphicsSceneHoverEvent* event)
{
    const auto [series, point] = barAt(mapToParent(event->pos()));
    if (point >= 0)
        QToolTip::showText(QCursor::pos(), m_tooltip(series, point));
    else
        QToolTip::hideText();
}

void DenseBarsItem::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    QToolTip::hideText();
}

} // namespace vizorb
