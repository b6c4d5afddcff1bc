#include "vizorb/chart/chart_text.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/model/names.h"
#include "vizorb/wizard/wizard_page.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace vizorb {

namespace {

struct FontElement {
    QLatin1StringView path;
    WizardText name;
};
constexpr FontElement fontElements[] = {{element::GlobalSettings, WizardText::ElementChart},
                                        {element::Title, WizardText::ElementTitle},
                                        {element::Subtitle, WizardText::ElementSubtitle},
                                        {element::Legend, WizardText::ElementLegend}};

QIcon paletteStrip(const QList<QColor>& colors)
{
    QPixmap pixmap(48, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int shown = std::min<int>(6, int(colors.size()));
    for (int i = 0; i < shown; ++i)
        painter.fillRect(QRect(i * 8, 0, 8, 12), colors[i]);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRect(0, 0, shown * 8 - 1, 11));
    return QIcon(pixmap);
}

QString seriesPath(int series)
{
    return element::SeriesPrefix + QString::number(series + 1);
}

// The series whose colour the wizard offers, listed lazily: a view asks only
// for the rows on screen, so a hundred thousand series cost no widgets.
class SeriesList final : public QAbstractListModel {
public:
    SeriesList(WizardEditor& editor, QObject* parent) : QAbstractListModel(parent), m_editor(editor) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_series.size()); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_series.size())
            return {};
        const int series = m_series[index.row()];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            const QString caption = m_editor.value(seriesPath(series), attribute::Caption);
            const QString name = caption.isEmpty() ? m_editor.model().data().series.value(series).name : caption;
            // Drawn as the chart draws it, so a long run of marks costs no more here.
            return cutMarkRuns(name);
        }
        case Qt::DecorationRole:
            return colorSwatch(m_editor.model().seriesColor(series));
        default:
            return {};
        }
    }

    int series(int row) const { return m_series.value(row, -1); }
    int rowOf(int series) const { return int(m_series.indexOf(series)); }

    // Series beyond the last series element cannot be given a colour.
    void reload()
    {
        QVector<int> offered;
        const int count = std::min<int>(int(m_editor.model().data().series.size()), schema::maxSeriesElements);
        for (int i = 0; i < count; ++i)
            if (m_editor.offers(seriesPath(i), attribute::Color))
                offered.append(i);
        if (offered != m_series) {
            beginResetModel();
            m_series = std::move(offered);
            endResetModel();
        } else if (!m_series.isEmpty()) {
            Q_EMIT dataChanged(index(0), index(int(m_series.size()) - 1));
        }
    }

private:
    WizardEditor& m_editor;
    QVector<int> m_series;
};

class StylePage final : public WizardPage {
public:
    StylePage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::StyleTitle, WizardText::StyleHint, parent), m_palette(new QComboBox),
          m_paletteLabel(new QLabel), m_seriesBox(new QGroupBox), m_seriesList(new SeriesList(editor, this)),
          m_seriesView(new QListView), m_seriesColor(new QComboBox), m_seriesColorLabel(new QLabel),
          m_fontsBox(new QGroupBox), m_fontElement(new QComboBox), m_fontFamily(new QFontComboBox),
          m_fontSize(new QSpinBox), m_fontBold(new QCheckBox), m_fontElementLabel(new QLabel),
          m_fontFamilyLabel(new QLabel), m_fontSizeLabel(new QLabel)
    {
        setObjectName(QStringLiteral("wizardStep6"));
        m_palette->setObjectName(QStringLiteral("stylePalette"));
        m_palette->setIconSize(QSize(48, 12));
        m_paletteLabel->setBuddy(m_palette);
        m_seriesBox->setObjectName(QStringLiteral("seriesColors"));
        m_seriesView->setObjectName(QStringLiteral("seriesList"));
        m_seriesView->setModel(m_seriesList);
        m_seriesView->setUniformItemSizes(true);
        m_seriesView->setSelectionMode(QAbstractItemView::SingleSelection);
        m_seriesColor->setObjectName(QStringLiteral("seriesColor"));
        m_seriesColor->addItem(QIcon(), QString(), QString());
        for (const QString& value : namedColorValues())
            m_seriesColor->addItem(colorSwatch(QColor::fromString(value)), QString(), value.toLower());
        m_seriesColorLabel->setBuddy(m_seriesColor);
        auto* seriesColumn = new QVBoxLayout(m_seriesBox);
        seriesColumn->addWidget(m_seriesView);
        auto* seriesForm = new QFormLayout;
        seriesForm->addRow(m_seriesColorLabel, m_seriesColor);
        seriesColumn->addLayout(seriesForm);

        m_fontsBox->setObjectName(QStringLiteral("fonts"));
        m_fontElement->setObjectName(QStringLiteral("fontElement"));
        m_fontFamily->setObjectName(QStringLiteral("fontFamily"));
        m_fontSize->setObjectName(QStringLiteral("fontSize"));
        m_fontSize->setRange(1, 200);
        // Apply a typed size once, not one digit at a time.
        m_fontSize->setKeyboardTracking(false);
        m_fontBold->setObjectName(QStringLiteral("fontBold"));
        for (const FontElement& element : fontElements)
            m_fontElement->addItem(QString(), QString(element.path));
        m_fontElementLabel->setBuddy(m_fontElement);
        m_fontFamilyLabel->setBuddy(m_fontFamily);
        m_fontSizeLabel->setBuddy(m_fontSize);
        m_fontForm = new QFormLayout(m_fontsBox);
        m_fontForm->addRow(m_fontElementLabel, m_fontElement);
        m_fontForm->addRow(m_fontFamilyLabel, m_fontFamily);
        m_fontForm->addRow(m_fontSizeLabel, m_fontSize);
        m_fontForm->addRow(m_fontBold);

        auto* content = new QWidget;
        auto* column = new QVBoxLayout(content);
        m_paletteForm = new QFormLayout;
        m_paletteForm->addRow(m_paletteLabel, m_palette);
        column->addLayout(m_paletteForm);
        column->addWidget(m_seriesBox);
        column->addWidget(m_fontsBox);
        column->addStretch(1);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(createPageScroller(content, this));

        connect(m_palette, &QComboBox::currentIndexChanged, this, [this] {
            applyOrRefresh(element::GlobalSettings, attribute::ColorPalette, m_palette->currentData().toString());
        });
        connect(m_seriesView->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this] { showSeriesColor(); });
        connect(m_seriesColor, &QComboBox::currentIndexChanged, this, [this] {
            const int series = currentSeries();
            if (series >= 0)
                applyOrRefresh(seriesPath(series), attribute::Color, m_seriesColor->currentData().toString());
        });
        connect(m_fontElement, &QComboBox::currentIndexChanged, this, [this] { refreshFont(); });
        connect(m_fontFamily, &QFontComboBox::currentFontChanged, this,
                [this](const QFont& font) { applyOrRefresh(fontPath(), attribute::FontFamily, font.family()); });
        connect(m_fontSize, &QSpinBox::valueChanged, this,
                [this](int size) { applyOrRefresh(fontPath(), attribute::FontSize, QString::number(size)); });
        connect(m_fontBold, &QCheckBox::toggled, this, [this](bool on) {
            applyOrRefresh(fontPath(), attribute::FontBold, on ? QStringLiteral("true") : QStringLiteral("false"));
        });
    }

    void refresh() override
    {
        refreshPalette();
        refreshSeries();
        refreshFont();
    }

    void retranslate() override
    {
        m_paletteLabel->setText(m_editor.text(WizardText::Palette));
        m_seriesBox->setTitle(m_editor.text(WizardText::SeriesColors));
        m_seriesColorLabel->setText(m_editor.text(WizardText::SeriesColor));
        m_seriesColor->setItemText(0, m_editor.text(WizardText::AutomaticColor));
        for (int i = 0; i < namedColorValues().size(); ++i)
            m_seriesColor->setItemText(i + 1, colorDisplayName(namedColorValues()[i], m_editor.language()));
        m_fontsBox->setTitle(m_editor.text(WizardText::Fonts));
        m_fontElementLabel->setText(m_editor.text(WizardText::FontElement));
        m_fontFamilyLabel->setText(m_editor.text(WizardText::FontFamily));
        m_fontSizeLabel->setText(m_editor.text(WizardText::FontSize));
        m_fontBold->setText(m_editor.text(WizardText::Bold));
        for (int i = 0; i < m_fontElement->count(); ++i)
            m_fontElement->setItemText(i, m_editor.text(fontElements[i].name));
    }

private:
    QString fontPath() const { return m_fontElement->currentData().toString(); }

    void applyOrRefresh(const QString& path, const QString& attribute, const QString& value)
    {
        if (!m_editor.apply(path, attribute, value))
            refresh();
    }

    void refreshPalette()
    {
        const QStringList names = m_editor.model().paletteNames();
        const QSignalBlocker blocker(m_palette);
        if (names != m_paletteNames) {
            m_paletteNames = names;
            m_palette->clear();
            for (const QString& name : names)
                m_palette->addItem(paletteStrip(schema::paletteColors(name)), name, name);
        }
        m_paletteForm->setRowVisible(m_palette, m_editor.offers(element::GlobalSettings, attribute::ColorPalette));
        selectByData(m_palette, m_editor.value(element::GlobalSettings, attribute::ColorPalette));
    }

    int currentSeries() const { return m_seriesList->series(m_seriesView->currentIndex().row()); }

    void refreshSeries()
    {
        const int kept = currentSeries();
        m_seriesList->reload();
        m_seriesBox->setVisible(m_seriesList->rowCount() > 0);
        // A new list forgets the current row: keep the series the user was on.
        if (!m_seriesView->currentIndex().isValid() && m_seriesList->rowCount() > 0)
            m_seriesView->setCurrentIndex(m_seriesList->index(std::max(0, m_seriesList->rowOf(kept))));
        showSeriesColor();
    }

    // The colour list of the current series: "Automatic" (the palette's
    // colour), the named colours, and the series' own colour when it has no name.
    void showSeriesColor()
    {
        const QSignalBlocker blocker(m_seriesColor);
        const int named = 1 + int(namedColorValues().size());
        while (m_seriesColor->count() > named)
            m_seriesColor->removeItem(m_seriesColor->count() - 1);
        const int series = currentSeries();
        m_seriesColor->setEnabled(series >= 0);
        if (series < 0)
            return;
        const QList<QColor> palette =
            schema::paletteColors(m_editor.value(element::GlobalSettings, attribute::ColorPalette));
        m_seriesColor->setItemIcon(
            0, colorSwatch(palette.isEmpty() ? QColor(Qt::gray) : palette[series % palette.size()]));
        const QString value = m_editor.value(seriesPath(series), attribute::Color);
        if (selectByData(m_seriesColor, value) < 0) {
            m_seriesColor->addItem(colorSwatch(QColor::fromString(value)), value, value);
            m_seriesColor->setCurrentIndex(m_seriesColor->count() - 1);
        }
    }

    void refreshFont()
    {
        const QString path = fontPath();
        m_fontForm->setRowVisible(m_fontFamily, m_editor.offers(path, attribute::FontFamily));
        m_fontForm->setRowVisible(m_fontSize, m_editor.offers(path, attribute::FontSize));
        m_fontForm->setRowVisible(m_fontBold, m_editor.offers(path, attribute::FontBold));
        m_fontsBox->setVisible(
            m_editor.offersAny(path, {attribute::FontFamily, attribute::FontSize, attribute::FontBold}));
        {
            const QSignalBlocker blocker(m_fontFamily);
            const QString family = m_editor.value(path, attribute::FontFamily);
            m_fontFamily->setCurrentFont(QFont(family.isEmpty() ? font().family() : family));
        }
        {
            const QSignalBlocker blocker(m_fontSize);
            bool ok = false;
            const double size = m_editor.value(path, attribute::FontSize).toDouble(&ok);
            m_fontSize->setValue(ok ? int(std::lround(size)) : 9);
        }
        const QSignalBlocker blocker(m_fontBold);
        m_fontBold->setChecked(m_editor.value(path, attribute::FontBold) == QLatin1String("true"));
    }

    QComboBox* m_palette;
    QLabel* m_paletteLabel;
    QGroupBox* m_seriesBox;
    SeriesList* m_seriesList;
    QListView* m_seriesView;
    QComboBox* m_seriesColor;
    QLabel* m_seriesColorLabel;
    QGroupBox* m_fontsBox;
    QComboBox* m_fontElement;
    QFontComboBox* m_fontFamily;
    QSpinBox* m_fontSize;
    QCheckBox* m_fontBold;
    QLabel* m_fontElementLabel;
    QLabel* m_fontFamilyLabel;
    QLabel* m_fontSizeLabel;
    QFormLayout* m_paletteForm = nullptr;
    QFormLayout* m_fontForm = nullptr;
    QStringList m_paletteNames;
};

} // namespace

WizardPage* createStylePage(WizardEditor& editor, QWidget* parent)
{
    return new StylePage(editor, parent);
}

} // namespace vizorb
