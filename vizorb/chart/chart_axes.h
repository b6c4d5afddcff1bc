#pragma once

#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QVector>

#include "vizorb/chart/value_scale.h"

#include <utility>

class QChart;
class QCategoryAxis;
class QValueAxis;
class QGraphicsSimpleTextItem;
class QGraphicsTextItem;

namespace vizorb {

class ChartDecor;

// ---- time axes ----------------------------------------------------------------

enum class CalendarUnit { Hour, Day, Week, Month, Year };

struct CalendarStep {
    CalendarUnit unit = CalendarUnit::Day;
    int count = 1;
};

// Ticks of a time axis, in milliseconds since the epoch (UTC).
struct TimeTicks {
    CalendarStep step;
    qint64 lo = 0, hi = 0; // the axis range
    QVector<qint64> ticks; // on calendar boundaries, within [lo, hi]
    QStringList labels;    // one per tick, in the form that fits the step
};

// The finest calendar step that gives at most `maxTicks` ticks between the
// data's first and last time. The range is the data's own, or with `enclose`
// the calendar boundaries around it (beyond a time that sits on one).
TimeTicks calendarTicks(qint64 first, qint64 last, int maxTicks, bool enclose);
// A time as a label in the form that fits the step ("14:00", "3 Mar", "Jan 2025", "2025").
QString timeLabel(qint64 msecs, CalendarStep step);
// Labels for points at these times, in the form of their spacing (radar spokes).
QStringList timeLabels(const QVector<qint64>& times);

// ---- value axes ---------------------------------------------------------------

struct ValueTicks {
    double lo = 0, hi = 1;
    int tickCount = 2; // the most ticks the axis layout may use
};

// The range of valueScale(); its ticks and labels are the axis layout's.
ValueTicks valueTicks(double lo, double hi, int maxSteps, bool round);

// An axis whose labels are ours, at the values we choose: value axes (whose
// ticks and labels the axis layout places; Qt Charts' printf-style labels
// cannot be exact), time axes and spokes.
QCategoryAxis* newLabelledAxis();

// The property holding an axis title's own text, as drawn: the layout wraps
// and shrinks it into the title's markup.
inline constexpr const char* kAxisTitleKey = "vizorbTitle";

// Keeps the labels of a chart's category, time and value axes and the names
// of its spokes fitting the chart as its size changes. The chart's texts
// (ChartDecor) take their room first and ask this for the rest: each axis
// takes the depth its labels and title need, the plot what is left. Decides
// from the chart's size, never from the plot area its own decisions change.
class AxisLayout final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AxisLayout)

public:
    explicit AxisLayout(QChart* chart);
    ~AxisLayout() override;

    // Category labels for points 0..n-1 on a QCategoryAxis ranging -0.5..n-0.5.
    void addCategories(QCategoryAxis* axis, const QStringList& labels, bool alongX);
    // A time axis on milliseconds since the epoch.
    void addTimes(QCategoryAxis* axis, qint64 first, qint64 last, bool enclose);
    // A value axis (from newLabelledAxis(), or a polar chart's radial axis) whose range
    // and most ticks are set, showing its values scaled by `scaling`; `format` is the
    // customized number format, empty for ours.
    void addValues(QValueAxis* axis, const QString& format, bool alongX, AxisScaling scaling = {});
    // `copy` shows the same scale and labels as `axis` (a secondary axis).
    void mirror(QValueAxis* axis, QValueAxis* copy);
    // Spoke names of a polar chart: point i at span * i / n on an angular axis
    // from 0 to span. Every spoke has its grid line; the names are drawn by us,
    // where they stand, and left off only where two would overlap.
    void addSpokes(QCategoryAxis* axis, const QStringList& labels, double span);

    // The value labels of a polar chart's radial axis, drawn by us beside the
    // top spoke where no series line passes (Qt Charts would draw them over the lines).
    void addRadialLabels(QValueAxis* radial);

    // Lays the labels out for the chart's size (the control's usual size before it has one).
    void relayout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        enum Kind { Categories, Times, Values, Spokes };
        Kind kind = Categories;
        QValueAxis* axis = nullptr;
        QList<QValueAxis*> copies;
        QStringList labels; // categories and spokes
        bool alongX = true;
        double lo = 0, hi = 1; // times: first and last; spokes: hi is the span
        bool enclose = false;  // times: calendar boundaries around the data
        int maxSteps = 8;      // value axes: the steps built
        QString format;        // value axes: the customizing's number format
        bool compact = false;  // value axes: labels with a shared suffix, as plain ones have no room
        AxisScaling scaling;   // value axes: of the values the axis is handed
        double extent = -1;    // the depth its labels and title take, once laid out
    };

    // Lays the axes out for the chart's size and the room its texts leave;
    // returns what the plot keeps clear beyond that (the spokes' names).
    QMarginsF layOutFor(QSizeF size, const QRectF& inside);
    void layOut(Entry& e, const QRectF& inside);
    void layOutSpokes(Entry& e, const QRectF& inside);
    // How far one of e's axes reaches into the plot's room, and how far Qt Charts lets it.
    double depth(const Entry& e) const;
    double maxDepth(const Entry& e, const QRectF& inside) const;
    int visibleAxes(const Entry& e) const;
    void placeRadialLabels();
    void placeSpokeLabels();
    void placeLabels();
    QChart* m_chart;
    QPointer<ChartDecor> m_decor;
    QList<Entry> m_entries;
    QValueAxis* m_radial = nullptr;
    ValueScale m_radialScale; // in true values
    AxisScaling m_radialScaling;
    QList<QGraphicsSimpleTextItem*> m_radialLabels; // owned by the chart
    // The spokes' names as laid out, placed on the circle Qt Charts draws.
    QCategoryAxis* m_spokeAxis = nullptr;
    QStringList m_spokeTexts;
    QFont m_spokeFont;
    QList<QGraphicsTextItem*> m_spokeLabels; // owned by the chart
    QMarginsF m_plotInset;
    QSizeF m_laidOutFor;
};

} // namespace vizorb
