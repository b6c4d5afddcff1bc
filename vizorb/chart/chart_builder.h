#pragma once

#include "vizorb/chart/chart_view.h"
#include "vizorb/chart/value_scale.h"
#include "vizorb/model/chart_type.h"
#include "vizorb/model/names.h"

#include <QFont>
#include <QList>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class QAbstractAxis;
class QCategoryAxis;
class QChart;
class QGraphicsSimpleTextItem;
class QPen;
class QValueAxis;
class QXYSeries;

namespace vizorb {

class AxisLayout;
class ChartDecor;
class DenseBarsItem;
class DenseScatterItem;
struct ChartData;

// A Qt series of points and the data point (0-based) of each of its points.
struct Plotted {
    QXYSeries* qt;
    int series;
    QVector<int> indices;
};

// A chart built from the model, with what the view needs of it to answer
// hit tests.
struct BuiltChart {
    QChart* chart = nullptr;            // the caller's
    QList<Plotted> plotted;             // series drawn point by point
    QList<DenseScatterItem*> dense;     // owned by the chart
    DenseBarsItem* denseBars = nullptr; // owned by the chart
    ChartDecor* decor = nullptr;        // owned by the chart
    QString hint;                       // the text shown in place of a chart ("" while one is drawn)
    bool horizontalBars = false;        // the value axis runs along the bottom
    AxisScaling xScaling, yScaling;     // of the values along a numbered x axis and the value axis
};

// The data key (QGraphicsItem::data) that marks the value labels we draw ourselves.
inline constexpr int kValueLabelKey = 0x7661;

// Hears a click on a bar or a slice, which Qt Charts reports itself.
using ChartClick = std::function<void(const ChartHit&)>;

// Builds one chart of the model's data as its customizing says. `buckets`
// is the width in pixel columns that lines are reduced to.
BuiltChart buildChart(const ChartModel& model, const ViewModes& modes, int buckets, ChartClick onClick);

// What every family of chart shares: the model and its visible series, the
// chart's texts, legend and fonts, the checks that refuse a chart too large
// to draw, and the axes. Each family draws its series and axes in
// buildSeries(); build() runs the steps around it.
class ChartBuilder {
public:
    struct Request {
        const ChartModel& model;
        ViewModes modes;
        int buckets;
        ChartClick onClick;
        ChartType type;
    };

    explicit ChartBuilder(const Request& request);
    virtual ~ChartBuilder();
    Q_DISABLE_COPY_MOVE(ChartBuilder)

    BuiltChart build();

protected:
    static constexpr int kMarkerLimit = 60; // line markers only while they stay readable

    // Draws the series and their axes; may set out.hint to draw a hint instead.
    virtual void buildSeries() = 0;

    QString seriesPath(int i) const;
    QString seriesName(int i) const;
    QFont font(const QString& path) const;
    QColor color(const QString& path) const;
    // Markers on lines while they stay readable, unless the customizing hides them.
    bool showMarkers() const;
    // A pie shows the first visible series; a doughnut one ring per series, the first innermost.
    QList<int> rings() const;

    // A data point as handed to Qt Charts (scaled near the double range).
    QPointF shown(double x, double y) const { return {out.xScaling.shown(x), out.yScaling.shown(y)}; }
    // Value labels and tooltips of a point series, as the modes ask.
    void decorate(QXYSeries* series, int s);
    // Adds one unbroken piece of series s's line and empties `points` and `indices`.
    void addLinePiece(int s, const QPen& pen, bool markers, QList<QPointF>& points, QVector<int>& indices);

    // The points' labels as the chart shows them (axes, legend, slice labels,
    // tooltips): times in the form of their spacing, not as stored.
    const QStringList& pointLabels();
    QString pointLabel(int i);

    void styleAxis(QAbstractAxis* axis, const QString& path);
    AxisLayout* axisLayout();
    void setValueRange(QValueAxis* axis, const QString& path, double lo, double hi, bool includeZero, int steps = 8,
                       bool alongX = false);
    QCategoryAxis* makeCategoryAxis(bool alongX);
    void attachAxes(QAbstractAxis* categoryAxis, QAbstractAxis* valueAxis, bool horizontal);

    const ChartModel& m;
    const ChartData& data;
    const ViewModes modes;
    const int buckets;
    const ChartClick onClick;
    ChartType type;
    ChartTraits is; // the type's traits: is.pie, is.stacked, ...
    QList<int> visible;
    QChart* chart = nullptr;
    BuiltChart out;

private:
    QString refusal() const;
    qsizetype fewestQtSeries() const;
    qsizetype sliceCount() const;
    bool sumsOverflow() const;
    void chooseScalings();
    void applyTitle();
    void applyLegend();
    void buildHint();
    QAbstractAxis* cloneCategoryLike(QAbstractAxis* primary);

    AxisLayout* m_axes = nullptr;
    QStringList m_shownLabels;
    // Every series' value labels, placed together so one series' labels give way to another's.
    using PointLabels = QList<std::pair<QXYSeries*, QList<QGraphicsSimpleTextItem*>>>;
    std::shared_ptr<PointLabels> m_pointLabels;
};

// The families, one per file.
std::unique_ptr<ChartBuilder> makeLineAreaBuilder(const ChartBuilder::Request& request); // lines, areas, scatters
std::unique_ptr<ChartBuilder> makeBarBuilder(const ChartBuilder::Request& request);
std::unique_ptr<ChartBuilder> makePieBuilder(const ChartBuilder::Request& request);   // pie and doughnut
std::unique_ptr<ChartBuilder> makePolarBuilder(const ChartBuilder::Request& request); // polar and radar

} // namespace vizorb
