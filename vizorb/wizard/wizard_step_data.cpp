#include "vizorb/chart/chart_text.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/number_text.h"
#include "vizorb/wizard/wizard_page.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vizorb {

namespace {

// The longest a number is written: sign, 17 digits, point and a three-digit exponent.
constexpr int widestNumber = kMaxNumberLength;
// Values measured per fitting; columns beyond it are given the widest number's room,
// so fitting stays quick for the largest data the control takes.
constexpr qsizetype measuredValues = 4'000'000;
// A header shows at most this many characters (its tooltip shows the whole
// text), a column header in lines of at most lineLength at spaces.
constexpr int shownHeader = 40;
constexpr int lineLength = 16;

QString shortened(const QString& text)
{
    return cutText(text, shownHeader);
}

// A series name as its column header: wrapped at spaces (a word longer than a
// line is broken), so a long name costs height rather than width.
QStringList headerLines(const QString& name)
{
    QStringList lines;
    QString line;
    // Held here: the words are views into it.
    const QString text = shortened(name);
    for (QStringView word : QStringView(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        while (word.size() > lineLength) {
            qsizetype cut = characterLength(word, 0);
            while (cut < lineLength && cut + characterLength(word, cut) <= lineLength)
                cut += characterLength(word, cut);
            if (!line.isEmpty())
                lines << std::exchange(line, QString());
            lines << word.left(cut).toString();
            word = word.mid(cut);
        }
        if (!line.isEmpty() && line.size() + 1 + word.size() > lineLength)
            lines << std::exchange(line, QString());
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += word;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

// Text widths from each character's advance, measured once: shaping every
// name of a hundred thousand series would take longer than the rest of the
// table. Kerning only narrows a text, so the sum is room enough.
class TextWidths {
public:
    explicit TextWidths(const QFont& font) : m_metrics(font) { m_latin.fill(-1); }

    int width(QStringView text)
    {
        int width = 0;
        for (QChar c : text)
            width += advance(c);
        return width;
    }

private:
    int advance(QChar c)
    {
        if (c.unicode() < m_latin.size()) {
            int& latin = m_latin[c.unicode()];
            if (latin < 0)
                latin = m_metrics.horizontalAdvance(c);
            return latin;
        }
        auto known = m_other.constFind(c.unicode());
        if (known == m_other.cend())
            known = m_other.insert(c.unicode(), m_metrics.horizontalAdvance(c));
        return *known;
    }

    QFontMetrics m_metrics;
    std::array<int, 256> m_latin;
    QHash<char16_t, int> m_other;
};

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
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        const ChartData& data = m_editor.model().data();
        const QString text = orientation == Qt::Horizontal ? data.series.value(section).name : data.label(section);
        if (role == Qt::ToolTipRole)
            return text;
        return orientation == Qt::Horizontal ? headerLines(text).join(QLatin1Char('\n')) : shortened(text);
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
        // A missing value is shown empty: confirming it as shown is no input.
        const QVector<Series>& series = m_editor.model().data().series;
        if (value.toString().trimmed().isEmpty() && index.column() < series.size() &&
            std::isnan(series[index.column()].values.value(index.row(), std::nan(""))))
            return false;
        const std::optional<double> number = m_editor.readNumber(value.toString());
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
        // Columns keep the width their numbers need; the table scrolls sideways instead.
        m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        m_view->horizontalHeader()->setTextElideMode(Qt::ElideRight);
        m_view->horizontalHeader()->setStretchLastSection(true);
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
        // Fitting reads every value: do it only for a table on screen.
        m_unfitted = true;
        if (isVisible())
            fitColumns();
    }

    void retranslate() override
    {
        m_empty->setText(m_editor.text(WizardText::DataEmpty));
        m_table->reload();
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        WizardPage::showEvent(event);
        if (m_unfitted)
            fitColumns();
    }

private:
    // Each column as wide as its longest number and its header's longest
    // line. Digits are the widest characters a number holds, so a run of
    // zeros as long as the number is room enough in either language.
    void fitColumns()
    {
        m_unfitted = false;
        const QVector<Series>& series = m_editor.model().data().series;
        const int columns = std::min<int>(m_table->columnCount(), int(series.size()));
        if (columns == 0)
            return;
        const QFontMetrics cellFont(m_view->font());
        TextWidths headerWidths(m_view->horizontalHeader()->font());
        const int digit = cellFont.horizontalAdvance(QLatin1Char('0'));
        // The cell's own margins, as its delegate reports them.
        const QModelIndex first = m_table->index(0, 0);
        const int margin =
            std::max(0, m_view->sizeHintForIndex(first).width() - cellFont.horizontalAdvance(first.data().toString()));
        const int headerMargin = 2 * headerWidths.width(u"0");
        QHeaderView* header = m_view->horizontalHeader();
        qsizetype budget = measuredValues;
        // A header that does not repaint per section resizes each in constant time.
        header->setUpdatesEnabled(false);
        for (int column = 0; column < columns; ++column) {
            const QVector<double>& values = series[column].values;
            int longest = widestNumber;
            if (values.size() <= budget) {
                budget -= values.size();
                longest = 1;
                for (double value : values)
                    longest = std::max(longest, shortestNumberLength(value));
            }
            const QString& name = series[column].name;
            int headerWidth = 0;
            if (name.size() <= lineLength)
                headerWidth = headerWidths.width(name);
            else
                for (const QString& line : headerLines(name))
                    headerWidth = std::max(headerWidth, headerWidths.width(line));
            headerWidth += headerMargin;
            header->resizeSection(column, std::max(longest * digit + margin, headerWidth));
        }
        header->setUpdatesEnabled(true);
    }

    DataTable* m_table;
    QTableView* m_view;
    QLabel* m_empty;
    bool m_unfitted = true;
};

} // namespace

WizardPage* createDataPage(WizardEditor& editor, QWidget* parent)
{
    return new DataPage(editor, parent);
}

} // namespace vizorb
