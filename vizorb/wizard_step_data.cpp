#include "chart_model.h"
#include "wizard_page.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace vizorb {

namespace {

// The chart's data as a table: one row per point, one column per series.
class DataTable final : public QAbstractTableModel {
public:
    explicit DataTable(WizardEditor& editor, QObject* parent) : QAbstractTableModel(parent), m_editor(editor) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_points; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_series; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        const QVector<Series>& series = m_editor.model().data().series;
        if (index.column() >= series.size())
            return {};
        return formatNumber(series[index.column()].values.value(index.row(), std::nan("")), m_editor.language());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const ChartData& data = m_editor.model().data();
        if (orientation == Qt::Horizontal)
            return section < data.series.size() ? data.series[section].name : QString();
        return data.label(section);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }

    // Text that is not a finite number is refused; the cell keeps its value.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        const std::optional<double> number = parseNumber(value.toString(), m_editor.language());
        return number && m_editor.applyValue(index.column(), index.row(), *number);
    }

    // A change of shape resets the view; a change of values keeps the
    // current cell, so typing down a column is not interrupted.
    void reload()
    {
        const ChartData& data = m_editor.model().data();
        const int points = data.series.isEmpty() ? 0 : data.pointCount();
        const int series = int(data.series.size());
        if (points != m_points || series != m_series) {
            beginResetModel();
            m_points = points;
            m_series = series;
            endResetModel();
            return;
        }
        if (points > 0 && series > 0)
            Q_EMIT dataChanged(index(0, 0), index(points - 1, series - 1));
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, std::max(0, series - 1));
        Q_EMIT headerDataChanged(Qt::Vertical, 0, std::max(0, points - 1));
    }

private:
    WizardEditor& m_editor;
    int m_points = 0;
    int m_series = 0;
};

class DataPage final : public WizardPage {
public:
    DataPage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::DataTitle, WizardText::DataHint, parent), m_table(new DataTable(editor, this)),
          m_view(new QTableView(this)), m_empty(new QLabel(this))
    {
        setObjectName(QStringLiteral("wizardStep2"));
        m_view->setObjectName(QStringLiteral("dataTable"));
        m_view->setModel(m_table);
        // Tab leaves the table for the next control; arrows move between cells.
        m_view->setTabKeyNavigation(false);
        m_view->setSelectionMode(QAbstractItemView::SingleSelection);
        m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
        m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        // Fixed row heights keep a long series cheap to show and scroll.
        m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        m_empty->setObjectName(QStringLiteral("dataEmptyLabel"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_empty);
        layout->addWidget(m_view, 1);
    }

    void refresh() override
    {
        m_table->reload();
        m_empty->setVisible(m_table->columnCount() == 0);
        if (!m_view->currentIndex().isValid() && m_table->rowCount() > 0 && m_table->columnCount() > 0)
            m_view->setCurrentIndex(m_table->index(0, 0));
    }

    void retranslate() override
    {
        m_empty->setText(m_editor.text(WizardText::DataEmpty));
        m_table->reload();
    }

private:
    DataTable* m_table;
    QTableView* m_view;
    QLabel* m_empty;
};

}  // namespace

WizardPage* createDataPage(WizardEditor& editor, QWidget* parent) { return new DataPage(editor, parent); }

}  // namespace vizorb
