#include "vizorb/chart/chart_view.h"

#include "vizorb/chart/chart_builder.h"
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/dense_bars.h"
#include "vizorb/chart/dense_scatter.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPieSeries>
#include <QPolarChart>
#include <QTimer>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <optional>

namespace vizorb {

struct ChartView::Private {
    explicit Private(ChartModel& m) : model(m) {}
    ChartModel& model;
    bool held = false;
    bool dirty = true;
    bool scheduled = false;
    int buckets = 0;
    BuiltChart built; // the chart shown and what hit tests need of it
    std::optional<ChartHit> pending;
    ViewModes modes;
};

ChartView::ChartView(ChartModel& model, QWidget* parent) : QChartView(parent), d(std::make_unique<Private>(model))
{
    setObjectName(QStringLiteral("chartView"));
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setRubberBand(QChartView::NoRubberBand);
    // Every item of a chart moves when the chart is resized; an index of them
    // would be rebuilt item by item, seconds for thousands of markers.
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    connect(&model, &ChartModel::customizingChanged, this, &ChartView::scheduleRebuild);
    connect(&model, &ChartModel::dataChanged, this, &ChartView::scheduleRebuild);
    rebuild();
}

// The scene deletes the chart with itself.
ChartView::~ChartView() = default;

void ChartView::setModes(const ViewModes& modes)
{
    if (modes == d->modes)
        return;
    d->modes = modes;
    setRenderHint(QPainter::Antialiasing, !modes.draft);
    scheduleRebuild();
}

void ChartView::setUpdatesHeld(bool held)
{
    d->held = held;
    if (!held && d->dirty)
        scheduleRebuild();
}

bool ChartView::updatesHeld() const
{
    return d->held;
}

void ChartView::scheduleRebuild()
{
    d->dirty = true;
    if (d->held || d->scheduled)
        return;
    d->scheduled = true;
    QTimer::singleShot(0, this, [this] {
        d->scheduled = false;
        if (!d->held)
            ensureBuilt();
    });
}

void ChartView::ensureBuilt()
{
    if (d->dirty && !d->held)
        rebuild();
}

void ChartView::rebuild()
{
    d->dirty = false;
    d->buckets = std::max(256, width());
    // A click on a bar or slice is answered by the next hit test.
    d->built = buildChart(d->model, d->modes, d->buckets, [this](const ChartHit& hit) { d->pending = hit; });
    QChart* old = chart();
    setChart(d->built.chart);
    delete old;
}

void ChartView::renderTo(QPainter* painter, const QRectF& target)
{
    ensureBuilt();
    QChart* c = chart();
    const QRectF before = c->geometry();
    const QRectF wanted(QPointF(0, 0), target.size());
    if (before != wanted)
        c->setGeometry(wanted);
    scene()->render(painter, target, wanted);
    if (before != wanted)
        c->setGeometry(before);
}

QImage ChartView::renderImage(QSize size)
{
    if (size.isEmpty())
        size = this->size();
    if (size.isEmpty())
        size = QSize(815, 526);
    if (size.width() > d->buckets && !d->model.data().isEmpty())
        d->dirty = true;
    ensureBuilt();
    QImage image(size, QImage::Format_RGB32);
    image.fill(chart()->backgroundBrush().color());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, !d->modes.draft);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderTo(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

std::optional<std::pair<double, double>> ChartView::shownRange(const QString& path)
{
    ensureBuilt();
    // A secondary axis shows its primary's scale.
    QString primary = path;
    if (primary.endsWith(QLatin1String("Sec")))
        primary.chop(3);
    for (const QAbstractAxis* axis : chart()->axes())
        if (const auto* values = qobject_cast<const QValueAxis*>(axis); values && axis->objectName() == primary) {
            // In true values, as the customizing fixes them.
            const AxisScaling scaling = primary == element::ValueAxis ? d->built.yScaling : d->built.xScaling;
            return std::pair{scaling.value(values->min()), scaling.value(values->max())};
        }
    return std::nullopt;
}

QString ChartView::hintText() const
{
    return d->built.hint;
}

ChartHit ChartView::hitTest(QPointF viewPosition)
{
    ensureBuilt();
    if (d->pending) {
        const ChartHit hit = *d->pending;
        d->pending.reset();
        return hit;
    }
    QChart* c = chart();
    const QPointF pos = c->mapFromScene(mapToScene(viewPosition.toPoint()));
    // The nearest drawn point within reach of the pointer.
    double best = 8.0 * 8.0;
    ChartHit hit;
    for (const Plotted& p : d->built.plotted) {
        const QList<QPointF> points = p.qt->points();
        for (qsizetype i = 0; i < points.size() && i < p.indices.size(); ++i) {
            const QPointF at = c->mapToPosition(points[i], p.qt);
            const double dx = at.x() - pos.x(), dy = at.y() - pos.y();
            if (dx * dx + dy * dy <= best) {
                best = dx * dx + dy * dy;
                hit = ChartHit{QStringLiteral("Series"), p.series + 1, p.indices[i] + 1};
            }
        }
    }
    for (const DenseScatterItem* layer : d->built.dense) {
        const auto [series, point] = layer->nearest(pos, &best);
        if (point >= 0)
            hit = ChartHit{QStringLiteral("Series"), series + 1, int(point) + 1};
    }
    if (d->built.denseBars)
        if (const auto [series, point] = d->built.denseBars->barAt(pos); point >= 0)
            hit = ChartHit{QStringLiteral("Series"), series + 1, point + 1};
    if (!hit.element.isEmpty())
        return hit;
    const bool titled = d->built.decor && d->built.decor->hasTitle();
    if (d->built.decor && d->built.decor->legendRect().contains(pos))
        return {element::Legend};
    if (d->built.decor && d->built.decor->titleRect().contains(pos))
        return {element::Title};
    const QRectF area = c->plotArea();
    if (area.contains(pos))
        return {QStringLiteral("PlotArea")};
    if (qobject_cast<QPolarChart*>(c) || c->series().isEmpty() || qobject_cast<QPieSeries*>(c->series().constFirst()))
        return {pos.y() < area.top() && titled ? element::Title : QStringLiteral("Chart")};
    const QString category = element::CategoryAxis, value = element::ValueAxis;
    const bool horizontal = d->built.horizontalBars;
    if (pos.x() >= area.left() && pos.x() <= area.right()) {
        if (pos.y() > area.bottom())
            return {horizontal ? value : category};
        if (pos.y() < area.top()) {
            const bool secondary = horizontal ? d->model.boolAttribute(element::ValueAxisSec, attribute::Visible)
                                              : d->model.boolAttribute(element::CategoryAxisSec, attribute::Visible);
            if (secondary && pos.y() > area.top() - 30)
                return {(horizontal ? value : category) + QLatin1String("Sec")};
            return {titled ? element::Title : QStringLiteral("Chart")};
        }
    }
    if (pos.y() >= area.top() && pos.y() <= area.bottom()) {
        if (pos.x() < area.left())
            return {horizontal ? category : value};
        if (pos.x() > area.right())
            return {(horizontal ? category : value) + QLatin1String("Sec")};
    }
    return {QStringLiteral("Chart")};
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    d->pending.reset();
    ensureBuilt();
    // Not QChartView's own handler: it can dereference null in this Qt release.
    QGraphicsView::mousePressEvent(event);
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position());
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
    Q_EMIT mouseReleased(event->button(), event->modifiers(), event->position());
    event->accept();
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    if (width() > d->buckets && !d->model.data().isEmpty())
        scheduleRebuild();
}

void ChartView::paintEvent(QPaintEvent* event)
{
    ensureBuilt();
    QChartView::paintEvent(event);
}

} // namespace vizorb
