#pragma once

#include "vizorb/chart/value_scale.h"

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QVector>

#include <utility>

class QAbstractAxis;
class QChart;

namespace vizorb {

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

    // The axes show the values scaled by `xScaling` and `yScaling`.
    DenseScatterItem(QChart* chart, QVector<double> x, QList<Layer> layers, const QAbstractAxis* xAxis,
                     const QAbstractAxis* yAxis, AxisScaling xScaling = {}, AxisScaling yScaling = {});

    // The point drawn nearest `pos` (chart coordinates) whose squared distance
    // in pixels is at most `*best`, which it then lowers; {series, point},
    // 0-based, or {-1, -1} when none is. The later series wins a tie.
    std::pair<int, qsizetype> nearest(QPointF pos, double* best) const;

    QRectF boundingRect() const override;
    // Follows the plot area after the chart's layout moved it.
    void refresh();
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

private:
    QChart* m_chart;
    QVector<double> m_x;
    QList<Layer> m_layers;
    const QAbstractAxis* m_xAxis;
    const QAbstractAxis* m_yAxis;
    AxisScaling m_xScaling, m_yScaling;
};

} // namespace vizorb
