#pragma once

#include <QChartView>
#include <QImage>

#include <memory>

namespace vizorb {

class ChartModel;

// What a point of the chart shows: an element name ("Title", "Legend",
// "CategoryAxis", "ValueAxis", "Series", "PlotArea", "Chart") and, for a data
// point, its 1-based series and point (0, 0 otherwise).
struct ChartHit {
    QString element;
    int series = 0;
    int point = 0;
    friend bool operator==(const ChartHit&, const ChartHit&) = default;
};

// The control's three display modes.
struct ViewModes {
    bool draft = false;       // Mode9: no antialiasing, for very large data
    bool tooltips = false;    // Mode11: hovering a point or bar shows its value
    bool valueLabels = false; // Mode12: values written at points, bars and slices
    friend bool operator==(const ViewModes&, const ViewModes&) = default;
};

// Draws the model with Qt Charts. The chart is rebuilt from the model when
// it changes, lazily: many settings in a row cost one rebuild, and while
// updates are held (UpdateEnabled False) nothing is rebuilt at all.
class ChartView final : public QChartView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChartView)

public:
    explicit ChartView(ChartModel& model, QWidget* parent = nullptr);
    ~ChartView() override;

    void setModes(const ViewModes& modes);
    void setUpdatesHeld(bool held);
    bool updatesHeld() const;

    // The chart as drawn, at `size` (the view's own size when empty).
    QImage renderImage(QSize size = {});
    // Draws the chart scaled into `target` of the painter's device.
    void renderTo(QPainter* painter, const QRectF& target);

    ChartHit hitTest(QPointF viewPosition);
    // The text shown in place of a chart ("" while a chart is drawn).
    QString hintText() const;

Q_SIGNALS:
    // Mouse presses and releases on the chart, in view pixels.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void scheduleRebuild();
    void ensureBuilt();
    void rebuild();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
