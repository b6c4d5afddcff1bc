#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QRectF>

#include <memory>

class QChart;
class QGraphicsTextItem;
class QPieSeries;

namespace vizorb {

// Texts shrink step by step to kMinPoint before anything is left off or broken.
inline constexpr qreal kMinPoint = 6;
qreal smaller(qreal points);

// `text` broken at spaces into lines no wider than `width` (a word wider than
// that is broken where it must be), joined by '\n'. Linear in the text's length.
QString wrapText(const QString& text, const QFont& font, qreal width);

// A plain text item whose lines (joined by '\n') are centred on one another;
// its characters are drawn as they are, never read as markup.
void setCentredText(QGraphicsTextItem* item, const QString& lines);

// A tooltip that shows `text` as its characters.
QString tooltipText(const QString& text);

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
// chart's size changes; the space they take is reserved with the chart's
// margins, decided from the chart's size alone.
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

    bool hasTitle() const;
    QRectF titleRect() const;  // chart coordinates; empty without a title
    QRectF legendRect() const; // chart coordinates; empty without a legend

private:
    void layout();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
