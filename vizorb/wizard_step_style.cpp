#include "chart_model.h"
#include "wizard_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace vizorb {

namespace {

const QString kGlobal = QStringLiteral("GlobalSettings");
const QString kPalette = QStringLiteral("ColorPalette");
const QString kColor = QStringLiteral("Color");
const QString kFontFamily = QStringLiteral("FontFamily");
const QString kFontSize = QStringLiteral("FontSize");
const QString kFontBold = QStringLiteral("FontBold");

struct FontElement {
    const char* path;
    WizardText name;
};
constexpr FontElement fontElements[] = {{"GlobalSettings", WizardText::ElementChart},
                                        {"Title", WizardText::ElementTitle},
                                        {"Subtitle", WizardText::ElementSubtitle},
                                        {"Legend", WizardText::ElementLegend}};

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

struct SeriesRow {
    QLabel* label;
    QComboBox* color;
};

class StylePage final : public WizardPage {
public:
    StylePage(WizardEditor& editor, QWidget* parent)
        : WizardPage(editor, WizardText::StyleTitle, WizardText::StyleHint, parent), m_palette(new QComboBox),
          m_paletteLabel(new QLabel), m_seriesBox(new QGroupBox), m_fontsBox(new QGroupBox),
          m_fontElement(new QComboBox), m_fontFamily(new QFontComboBox), m_fontSize(new QSpinBox),
          m_fontBold(new QCheckBox), m_fontElementLabel(new QLabel), m_fontFamilyLabel(new QLabel),
          m_fontSizeLabel(new QLabel)
    {
        setObjectName(QStringLiteral("wizardStep6"));
        m_palette->setObjectName(QStringLiteral("stylePalette"));
        m_palette->setIconSize(QSize(48, 12));
        m_paletteLabel->setBuddy(m_palette);
        m_seriesBox->setObjectName(QStringLiteral("seriesColors"));
        m_seriesForm = new QFormLayout(m_seriesBox);

        m_fontsBox->setObjectName(QStringLiteral("fonts"));
        m_fontElement->setObjectName(QStringLiteral("fontElement"));
        m_fontFamily->setObjectName(QStringLiteral("fontFamily"));
        m_fontSize->setObjectName(QStringLiteral("fontSize"));
        m_fontSize->setRange(1, 200);
        // Apply a typed size once, not one digit at a time.
        m_fontSize->setKeyboardTracking(false);
        m_fontBold->setObjectName(QStringLiteral("fontBold"));
        for (const FontElement& element : fontElements)
            m_fontElement->addItem(QString(), QLatin1String(element.path));
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

        connect(m_palette, &QComboBox::currentIndexChanged, this,
                [this] { applyOrRefresh(kGlobal, kPalette, m_palette->currentData().toString()); });
        connect(m_fontElement, &QComboBox::currentIndexChanged, this, [this] { refreshFont(); });
        connect(m_fontFamily, &QFontComboBox::currentFontChanged, this,
                [this](const QFont& font) { applyOrRefresh(fontPath(), kFontFamily, font.family()); });
        connect(m_fontSize, &QSpinBox::valueChanged, this,
                [this](int size) { applyOrRefresh(fontPath(), kFontSize, QString::number(size)); });
        connect(m_fontBold, &QCheckBox::toggled, this, [this](bool on) {
            applyOrRefresh(fontPath(), kFontBold, on ? QStringLiteral("true") : QStringLiteral("false"));
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
        m_fontsBox->setTitle(m_editor.text(WizardText::Fonts));
        m_fontElementLabel->setText(m_editor.text(WizardText::FontElement));
        m_fontFamilyLabel->setText(m_editor.text(WizardText::FontFamily));
        m_fontSizeLabel->setText(m_editor.text(WizardText::FontSize));
        m_fontBold->setText(m_editor.text(WizardText::Bold));
        for (int i = 0; i < m_fontElement->count(); ++i)
            m_fontElement->setItemText(i, m_editor.text(fontElements[i].name));
        // The colour lists carry translated names: build them anew.
        m_seriesLabels.clear();
        refreshSeries();
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
        m_paletteForm->setRowVisible(m_palette, m_editor.offers(kGlobal, kPalette));
        selectByData(m_palette, m_editor.value(kGlobal, kPalette));
    }

    QString seriesLabel(int series) const
    {
        const QString caption = m_editor.value(QStringLiteral("Series%1").arg(series + 1), QStringLiteral("Caption"));
        return caption.isEmpty() ? m_editor.model().data().series.at(series).name : caption;
    }

    // One colour list per series: "Automatic" (the palette's colour), the
    // named colours, and the series' own colour when it has no name.
    void refreshSeries()
    {
        const int count = int(m_editor.model().data().series.size());
        QStringList labels;
        for (int i = 0; i < count; ++i)
            labels << seriesLabel(i);
        const QList<QColor> palette = schema::paletteColors(m_editor.value(kGlobal, kPalette));
        if (labels != m_seriesLabels || palette != m_seriesPalette) {
            m_seriesLabels = labels;
            m_seriesPalette = palette;
            while (m_seriesForm->rowCount() > 0)
                m_seriesForm->removeRow(0);
            m_series.clear();
            for (int i = 0; i < count; ++i)
                addSeriesRow(i, palette.isEmpty() ? QColor(Qt::gray) : palette[i % palette.size()]);
        }
        bool anyOffered = false;
        for (int i = 0; i < m_series.size(); ++i) {
            const QString path = QStringLiteral("Series%1").arg(i + 1);
            const bool offered = m_editor.offers(path, kColor);
            anyOffered = anyOffered || offered;
            m_seriesForm->setRowVisible(m_series[i].color, offered);
            QComboBox* combo = m_series[i].color;
            const QString value = m_editor.value(path, kColor);
            if (selectByData(combo, value) < 0) {
                const QSignalBlocker blocker(combo);
                combo->addItem(colorSwatch(QColor::fromString(value)), value, value);
                combo->setCurrentIndex(combo->count() - 1);
            }
        }
        m_seriesBox->setVisible(anyOffered);
    }

    void addSeriesRow(int series, const QColor& automatic)
    {
        SeriesRow row{new QLabel(m_seriesLabels[series]), new QComboBox};
        row.color->setObjectName(QStringLiteral("seriesColor%1").arg(series + 1));
        row.label->setBuddy(row.color);
        row.color->addItem(colorSwatch(automatic), m_editor.text(WizardText::AutomaticColor), QString());
        for (const QString& value : namedColorValues())
            row.color->addItem(colorSwatch(QColor::fromString(value)), colorDisplayName(value, m_editor.language()),
                               value.toLower());
        m_seriesForm->addRow(row.label, row.color);
        QComboBox* combo = row.color;
        const QString path = QStringLiteral("Series%1").arg(series + 1);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo, path] { applyOrRefresh(path, kColor, combo->currentData().toString()); });
        m_series.append(row);
    }

    void refreshFont()
    {
        const QString path = fontPath();
        m_fontForm->setRowVisible(m_fontFamily, m_editor.offers(path, kFontFamily));
        m_fontForm->setRowVisible(m_fontSize, m_editor.offers(path, kFontSize));
        m_fontForm->setRowVisible(m_fontBold, m_editor.offers(path, kFontBold));
        m_fontsBox->setVisible(m_editor.offersAny(path, {kFontFamily, kFontSize, kFontBold}));
        {
            const QSignalBlocker blocker(m_fontFamily);
            const QString family = m_editor.value(path, kFontFamily);
            m_fontFamily->setCurrentFont(QFont(family.isEmpty() ? font().family() : family));
        }
        {
            const QSignalBlocker blocker(m_fontSize);
            bool ok = false;
            const double size = m_editor.value(path, kFontSize).toDouble(&ok);
            m_fontSize->setValue(ok ? int(std::lround(size)) : 9);
        }
        const QSignalBlocker blocker(m_fontBold);
        m_fontBold->setChecked(m_editor.value(path, kFontBold) == QLatin1String("true"));
    }

    QComboBox* m_palette;
    QLabel* m_paletteLabel;
    QGroupBox* m_seriesBox;
    QGroupBox* m_fontsBox;
    QComboBox* m_fontElement;
    QFontComboBox* m_fontFamily;
    QSpinBox* m_fontSize;
    QCheckBox* m_fontBold;
    QLabel* m_fontElementLabel;
    QLabel* m_fontFamilyLabel;
    QLabel* m_fontSizeLabel;
    QFormLayout* m_paletteForm = nullptr;
    QFormLayout* m_seriesForm = nullptr;
    QFormLayout* m_fontForm = nullptr;
    QStringList m_paletteNames;
    QStringList m_seriesLabels;
    QList<QColor> m_seriesPalette;
    QList<SeriesRow> m_series;
};

}  // namespace

WizardPage* createStylePage(WizardEditor& editor, QWidget* parent) { return new StylePage(editor, parent); }

}  // namespace vizorb
