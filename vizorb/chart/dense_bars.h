#pragma once

#include "vizorb/chart/reduce.h"
#include "vizorb/chart/value_scale.h"

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QVector>

#include <functional>
#include <vector>

class QChart;
class QValueAxis;

namespace vizorb {

// Dense bars painted as one item: Qt Charts makes two graphics items and a
// label document for every bar, so thousands take seconds. Each pixel column
// (a row for horizontal bars) shows the span of values each series' bars
// there cover, the longest painted first, so every series' outermost value
// stays in sight, as drawing every bar at that size shows it. The cost is
// one pass over the values and one over the plot's pixels.
class DenseBarsItem final : public QGraphicsItem {
public:
    struct Series {
        int series; // the data series, 0-based
        QVector<double> values;
        QColor color;
    };

    // `count` points a series along `categoryAxis` (x for columns, y upwards
    // for horizontal bars), point i at i + `origin`, their values on
    // `valueAxis`, which shows them scaled by `scaling`.
    DenseBarsItem(QChart* chart, QList<Series> series, int count, bool stacked, bool horizontal,
                  const QValueAxis* categoryAxis, double origin, const QValueAxis* valueAxis, AxisScaling scaling = {});

    // The bar painted under `pos` (chart coordinates), or within two pixels
    // of it: {series, point}, 0-based, {-1, -1} when none is.
    std::pair<int, int> barAt(QPointF pos) const;

    // Hovering a bar shows text(series, point) as a tooltip.
    void setTooltips(std::function<QString(int, int)> text);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;
    // The plot area moved or resized.
    void refresh();

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

private:
    struct Frame;
    bool frame(Frame& f) const;
    const QVector<BarColumn>& reduced(const BarLanes& lanes) const;
    // The index into m_series painted at each pixel of one lane, -1 where none.
    void laneOwners(const Frame& f, int lane, std::vector<int>& owner) const;
    // A bar's pixels along its lane, from the low-value end.
    std::pair<int, int> depthRows(const Frame& f, double lo, double hi, bool up) const;
    // Where series k's bar at point i runs, in values.
    std::pair<double, double> barSpan(int k, int i) const;

    QChart* m_chart;
    QList<Series> m_series;
    int m_count;
    bool m_stacked;
    bool m_horizontal;
    const QValueAxis* m_categoryAxis;
    double m_origin;
    const QValueAxis* m_valueAxis;
    AxisScaling m_scaling;
    std::function<QString(int, int)> m_tooltip;
    mutable BarLanes m_reducedLanes{-1, 0, 0};
    mutable QVector<BarColumn> m_reduced;
};

} // namespace vizorb
