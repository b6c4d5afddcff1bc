#include "vizorb/chart/dense_scatter.h"

#include <QChart>
#include <QImage>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vizorb {
namespace {

std::pair<double, double> axisRange(const QAbstractAxis* axis)
{
    if (auto* v = qobject_cast<const QValueAxis*>(axis))
        return {v->min(), v->max()};
    return {0, 1};
}

} // namespace

DenseScatterItem::DenseScatterItem(QChart* chart, QVector<double> x, QList<Layer> layers, const QAbstractAxis* xAxis,
                                   const QAbstractAxis* yAxis, AxisScaling xScaling, AxisScaling yScaling)
    : QGraphicsItem(chart), m_chart(chart), m_x(std::move(x)), m_layers(std::move(layers)), m_xAxis(xAxis),
      m_yAxis(yAxis), m_xScaling(xScaling), m_yScaling(yScaling)
{
}

std::pair<int, qsizetype> DenseScatterItem::nearest(QPointF pos, double* best) const
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
            const double dx = area.left() + (m_xScaling.shown(m_x[i]) - x0) * sx - pos.x();
            const double dy = area.top() + (y1 - m_yScaling.shown(layer.y[i])) * sy - pos.y();
            // NaN (a missing value) never compares true.
            if (dx * dx + dy * dy <= *best) {
                *best = dx * dx + dy * dy;
                found = {layer.series, i};
            }
        }
    }
    return found;
}

QRectF DenseScatterItem::boundingRect() const
{
    return m_chart->plotArea();
}

void DenseScatterItem::refresh()
{
    prepareGeometryChange();
    update();
}

void DenseScatterItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
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
            const double fx = (m_xScaling.shown(m_x[i]) - x0) * sx, fy = (y1 - m_yScaling.shown(ys[i])) * sy;
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

} // namespace vizorb
