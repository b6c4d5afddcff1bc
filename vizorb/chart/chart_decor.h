#pragma once

#include "vizorb/chart/chart_text.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QRectF>

#include <functional>
#include <memory>

class QChart;
class QGraphicsTextItem;
class QPieSeries;

namespace vizorb {

// A plain text item whose lines (joined by '\n') are centred on one another;
// its characters are drawn as they are, never read as markup.
void setCentredText(QGraphicsTextItem* item, const QString& lines);
// The same, its lines aligned to one side (Qt::AlignLeft, Qt::AlignRight) or centred.
void setAlignedText(QGraphicsTextItem* item, const QString& lines, Qt::Alignment alignment);

struct TextStyle {
    QFont font;
    QColor color;
};

enum class LegendMark { Box, Line, Dot, Ring };

struct LegendEntry {
    QString name;
    QColor color;
};

// The chart's own texts around the plot: title, subtitle, a note (that a pie
// shows one of several series, say), the legend, and the labels of a pie's
// slices and rings. They are items of the chart's scene, laid out again whenever the
// chart's size changes. It is the one owner of the chart's margins: its texts
// take their room first, then the plot's axes are asked what they need of the
// rest (setPlotRoom), all decided from the chart's size alone. The chart keeps
// the size it is given, whatever its fonts and texts.
class ChartDecor final : public QObject {
    Q_DISABLE_COPY_MOVE(ChartDecor)

public:
    explicit ChartDecor(QChart* chart);
    ~ChartDecor() override;

    void setTitle(const QString& text, const TextStyle& style);
    void setSubtitle(const QString& text, const TextStyle& style);
    void setNote(const QString& text, const TextStyle& style);
    void setLegend(Qt::Alignment side, LegendMark mark, const TextStyle& style);
    void addLegendEntry(const LegendEntry& entry);
    void clearLegend();
    // Labels outside the slices of the last (outermost) ring, one per slice in
    // the slices' order ("" leaves a slice without one), labels inside the
    // slices of the inner rings (one list per ring), and the rings' names
    // (none: unnamed), each beside its ring. The rings shrink to make room,
    // keeping their proportions.
    void setPieLabels(const QList<QPieSeries*>& rings, const QStringList& labels, const QList<QStringList>& innerLabels,
                      const QStringList& ringNames, const TextStyle& style);
    // The names of rings too many to name beside them, flowed into rows under
    // the header (its note says what they are), in the rings' order.
    void setRingList(const QStringList& names, const TextStyle& style);

    // Asked on every new size, with the room the chart's texts leave: lays the
    // axes out for it and returns what the plot must keep clear beyond them.
    using PlotRoom = std::function<QMarginsF(QSizeF size, const QRectF& inside)>;
    void setPlotRoom(PlotRoom room);
    // Lays the frame out again for the chart's size (its axes have changed).
    void relayout();

    bool hasTitle() const;
    QRectF titleRect() const;  // chart coordinates; empty without a title
    QRectF legendRect() const; // chart coordinates; empty without a legend

private:
    void layout();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
