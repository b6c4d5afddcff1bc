#include "vizorb/model/chart_model.h"
#include "vizorb/model/chart_type.h"
#include "vizorb/model/names.h"
#include "vizorb/wizard/wizard_page.h"

#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace vizorb {

namespace {

constexpr int iconSize = 32;

// A small drawing of what the type looks like, in the chart's own colours.
QIcon chartTypeIcon(const QString& name, const QList<QColor>& colors)
{
    const ChartType type = chartTypeFromName(name).value_or(ChartType::Columns);
    const ChartTraits is = chartTraits(type);
    QPixmap pixmap(iconSize, iconSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor a = colors.value(0, Qt::blue), b = colors.value(1, Qt::red), c = colors.value(2, Qt::green);
    const bool stacked = is.stacked;
    const QRectF frame(3, 3, 26, 26);

    auto axes = [&] {
        p.setPen(QPen(Qt::darkGray, 1));
        p.drawLine(QPointF(frame.left(), frame.top()), frame.bottomLeft());
        p.drawLine(frame.bottomLeft(), frame.bottomRight());
    };
    const double heights[] = {0.45, 0.8, 0.6, 0.95};

    if (is.pie) {
        p.setPen(QPen(Qt::white, 1));
        const QRectF circle = frame.adjusted(1, 1, -1, -1);
        const int spans[] = {150, 120, 90};
        const QColor fills[] = {a, b, c};
        int start = 90;
        for (int i = 0; i < 3; ++i) {
            p.setBrush(fills[i]);
            p.drawPie(circle, start * 16, spans[i] * 16);
            start += spans[i];
        }
        if (type == ChartType::Doughnut) {
            p.setBrush(Qt::white);
            p.drawEllipse(circle.center(), 6, 6);
        }
    } else if (is.polar) {
        const QPointF centre = frame.center();
        p.setPen(QPen(Qt::lightGray, 1));
        for (int i = 0; i < 5; ++i) {
            const double angle = -M_PI / 2 + i * 2 * M_PI / 5;
            p.drawLine(centre, centre + QPointF(std::cos(angle), std::sin(angle)) * 13);
        }
        const double radii[][5] = {{10, 7, 12, 6, 9}, {6, 4, 7, 3, 5}};
        for (int s = 0; s < 2; ++s) {
            QPolygonF polygon;
            for (int i = 0; i < 5; ++i) {
                const double angle = -M_PI / 2 + i * 2 * M_PI / 5;
                polygon << centre + QPointF(std::cos(angle), std::sin(angle)) * radii[s][i];
            }
            QColor fill = s ? b : a;
            fill.setAlpha(110);
            p.setPen(QPen(s ? b : a, 1.5));
            p.setBrush(type == ChartType::Polar ? QBrush(Qt::NoBrush) : QBrush(fill));
            p.drawPolygon(polygon);
        }
    } else if (is.scatter) {
        axes();
        const QPointF points[] = {{8, 22}, {12, 15}, {16, 19}, {20, 10}, {24, 13}, {26, 6}};
        p.setPen(Qt::NoPen);
        int i = 0;
        for (const QPointF& point : points) {
            p.setBrush(i++ % 2 ? b : a);
            p.drawEllipse(point, 2.2, 2.2);
        }
    } else if (is.area) {
        axes();
        const double lower[] = {0.3, 0.5, 0.4, 0.6}, upper[] = {0.55, 0.85, 0.7, 0.95};
        for (int s = stacked ? 1 : 0; s >= 0; --s) {
            QPainterPath path(QPointF(frame.left() + 1, frame.bottom()));
            for (int i = 0; i < 4; ++i)
                path.lineTo(frame.left() + 1 + i * 8, frame.bottom() - (s ? upper[i] : lower[i]) * frame.height());
            path.lineTo(frame.right(), frame.bottom());
            path.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(s ? b : a);
            p.drawPath(path);
        }
    } else if (is.lines) {
        axes();
        const double first[] = {0.3, 0.6, 0.45, 0.8}, second[] = {0.15, 0.3, 0.2, 0.4};
        for (int s = 0; s < 2; ++s) {
            QPolygonF line;
            for (int i = 0; i < 4; ++i) {
                const double value = stacked && s == 0 ? first[i] + second[i] : (s ? second[i] : first[i]);
                line << QPointF(frame.left() + 2 + i * 8, frame.bottom() - value * frame.height());
            }
            p.setPen(QPen(s ? b : a, 2));
            p.drawPolyline(line);
        }
    } else if (is.horizontal) {
        axes();
        for (int i = 0; i < 3; ++i) {
            const double y = frame.top() + 2 + i * 8;
            const double w = heights[i] * (frame.width() - 2) * (stacked ? 0.6 : 1);
            p.fillRect(QRectF(frame.left() + 1, y, w, 6), a);
            if (stacked)
                p.fillRect(QRectF(frame.left() + 1 + w, y, w * 0.6, 6), b);
        }
    } else {
        axes();
        for (int i = 0; i < 4; ++i) {
            const double x = frame.left() + 2 + i * 6.5;
            const double h = heights[i] * (frame.height() - 2) * (stacked ? 0.6 : 1);
            p.fillRect(QRectF(x, frame.bottom() - h, 5, h), a);
            if (stacked)
                p.fillRect(QRectF(x, frame.bottom() - h - h * 0.5, 5, h * 0.5), b);
        }
    }
    return QIcon(pixmap);
}

class TypePage final : public WizardPage {
public:
    TypePage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::TypeTitle, WizardText::TypeHint, parent), m_list(new QListWidget(this))
    {
        setObjectName(QStringLiteral("wizardStep1"));
        m_list->setObjectName(QStringLiteral("chartTypeList"));
        m_list->setIconSize(QSize(iconSize, iconSize));
        m_list->setUniformItemSizes(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_list);
        connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
            if (item &&
                !m_editor.apply(element::GlobalSettings, attribute::ChartType, item->data(Qt::UserRole).toString()))
                refresh();
        });
    }

    void refresh() override
    {
        const QSignalBlocker blocker(m_list);
        const bool offered = m_editor.offers(element::GlobalSettings, attribute::ChartType);
        m_list->setEnabled(offered);
        const QStringList types = offered ? m_editor.model().offeredChartTypes() : QStringList();
        QList<QColor> colors;
        for (int i = 0; i < 3; ++i)
            colors << m_editor.model().seriesColor(i);
        const bool rebuild = types != m_types || colors != m_colors;
        if (rebuild) {
            m_types = types;
            m_colors = colors;
            m_list->clear();
            for (const QString& type : types) {
                auto* item = new QListWidgetItem(chartTypeIcon(type, colors), QString(), m_list);
                item->setData(Qt::UserRole, type);
            }
            retranslate();
        }
        m_list->setCurrentRow(m_types.indexOf(m_editor.value(element::GlobalSettings, attribute::ChartType)));
        if (!isVisible())
            return;
        // A choice in the list keeps the user's scrolling; a new list starts at its top.
        if (rebuild)
            showFromTop();
        else if (QListWidgetItem* current = m_list->currentItem())
            m_list->scrollToItem(current, QAbstractItemView::EnsureVisible);
    }

    void retranslate() override
    {
        for (int i = 0; i < m_list->count(); ++i) {
            QListWidgetItem* item = m_list->item(i);
            item->setText(chartTypeDisplayName(item->data(Qt::UserRole).toString(), m_editor.language()));
        }
    }

protected:
    // A hidden list scrolls by a viewport it does not have yet: place it once it is shown.
    void showEvent(QShowEvent* event) override
    {
        WizardPage::showEvent(event);
        showFromTop();
    }

private:
    // The list opens at its top and scrolls only as far as the current type needs.
    void showFromTop()
    {
        m_list->scrollToTop();
        if (QListWidgetItem* current = m_list->currentItem())
            m_list->scrollToItem(current, QAbstractItemView::EnsureVisible);
    }

    QListWidget* m_list;
    QStringList m_types;
    QList<QColor> m_colors;
};

} // namespace

WizardPage* createTypePage(WizardEditor& editor, QWidget* parent)
{
    return new TypePage(editor, parent);
}

} // namespace vizorb
