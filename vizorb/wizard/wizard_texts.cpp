#include "vizorb/wizard/wizard_texts.h"

#include "vizorb/model/chart_type.h"

#include <QHash>
#include <QStringList>

#include <array>
#include <iterator>

namespace vizorb {

namespace {

struct TextRow {
    WizardText id;
    const char* english;
    const char* german; // UTF-8
};

// Both languages side by side, so a missing translation shows at a glance.
// Access letters avoid B, E, F, H and N, which a host's wizard buttons and
// menu bar commonly take.
constexpr TextRow textRows[] = {
    {WizardText::StepOfSteps, "Step %1 of %2", "Schritt %1 von %2"},
    {WizardText::NotStarted, "The chart wizard has not started.", "Der Diagramm-Assistent ist nicht gestartet."},
    {WizardText::TypeTitle, "Chart Type", "Diagrammtyp"},
    {WizardText::TypeHint, "Choose the type of chart.", "Wählen Sie den Diagrammtyp."},
    {WizardText::DataTitle, "Data", "Daten"},
    {WizardText::DataHint, "Select a cell and type a number to change a value.",
     "Wählen Sie eine Zelle und geben Sie eine Zahl ein, um einen Wert zu ändern."},
    {WizardText::DataEmpty, "The chart has no data.", "Das Diagramm hat keine Daten."},
    {WizardText::TitlesTitle, "Titles", "Titel"},
    {WizardText::TitlesHint, "Enter the chart's titles and the captions of its axes.",
     "Geben Sie die Titel des Diagramms und die Beschriftungen seiner Achsen ein."},
    {WizardText::Title, "Title:", "Titel:"},
    {WizardText::Subtitle, "Subtitle:", "Untertitel:"},
    {WizardText::CategoryAxis, "Category axis", "Rubrikenachse"},
    {WizardText::CategoryAxisSec, "Secondary category axis", "Sekundäre Rubrikenachse"},
    {WizardText::ValueAxis, "Value axis", "Größenachse"},
    {WizardText::ValueAxisSec, "Secondary value axis", "Sekundäre Größenachse"},
    {WizardText::AxisTitle, "Title:", "Titel:"},
    {WizardText::AxisUnit, "Unit:", "Einheit:"},
    {WizardText::AxesTitle, "Axes", "Achsen"},
    {WizardText::AxesHint, "Set each axis: visibility, scale, grid lines and number format.",
     "Legen Sie jede Achse fest: Sichtbarkeit, Skalierung, Gitternetzlinien und Zahlenformat."},
    {WizardText::Axis, "Axis:", "Achse:"},
    {WizardText::Visible, "&Visible", "&Sichtbar"},
    {WizardText::AutomaticScale, "&Automatic scale", "&Automatische Skalierung"},
    {WizardText::Minimum, "Minimum:", "Minimum:"},
    {WizardText::Maximum, "Maximum:", "Maximum:"},
    {WizardText::GridLines, "&Grid lines", "&Gitternetzlinien"},
    {WizardText::NumberFormat, "Number format:", "Zahlenformat:"},
    {WizardText::AutomaticValue, "(automatic)", "(automatisch)"},
    {WizardText::LegendTitle, "Legend", "Legende"},
    {WizardText::LegendHint, "Show the legend and choose where it stands.",
     "Blenden Sie die Legende ein und wählen Sie ihre Position."},
    {WizardText::ShowLegend, "&Show legend", "Legende &anzeigen"},
    {WizardText::Position, "Position:", "Position:"},
    {WizardText::PositionTop, "Top", "Oben"},
    {WizardText::PositionBottom, "Bottom", "Unten"},
    {WizardText::PositionLeft, "Left", "Links"},
    {WizardText::PositionRight, "Right", "Rechts"},
    {WizardText::StyleTitle, "Colors and Style", "Farben und Stil"},
    {WizardText::StyleHint, "Choose the colors and fonts of the chart.",
     "Wählen Sie die Farben und Schriften des Diagramms."},
    {WizardText::Palette, "Palette:", "Farbpalette:"},
    {WizardText::SeriesColors, "Series colors", "Farben der Datenreihen"},
    {WizardText::SeriesColor, "Color:", "Farbe:"},
    {WizardText::AutomaticColor, "Automatic", "Automatisch"},
    {WizardText::Fonts, "Fonts", "Schriften"},
    {WizardText::FontElement, "Element:", "Element:"},
    {WizardText::FontFamily, "Font:", "Schriftart:"},
    {WizardText::FontSize, "Size:", "Größe:"},
    {WizardText::Bold, "Bol&d", "Fe&tt"},
    {WizardText::ElementChart, "Whole chart", "Gesamtes Diagramm"},
    {WizardText::ElementTitle, "Title", "Titel"},
    {WizardText::ElementSubtitle, "Subtitle", "Untertitel"},
    {WizardText::ElementLegend, "Legend", "Legende"},
    {WizardText::NotANumber, "Not a number: %1", "Keine Zahl: %1"},
    {WizardText::NumberTooLarge, "Number too large: %1", "Zahl zu groß: %1"},
    {WizardText::NumberRequired, "A number is required", "Eine Zahl ist erforderlich"},
    {WizardText::MinimumBelowMaximum, "The minimum must be below the maximum",
     "Das Minimum muss unter dem Maximum liegen"},
    {WizardText::InvalidValue, "Not a valid value: %1", "Kein gültiger Wert: %1"},
};

constexpr bool rowsInOrder()
{
    if (std::size(textRows) != static_cast<std::size_t>(WizardText::Count))
        return false;
    for (std::size_t i = 0; i < std::size(textRows); ++i)
        if (static_cast<std::size_t>(textRows[i].id) != i)
            return false;
    return true;
}
static_assert(rowsInOrder(), "one row per WizardText, in enum order");

struct NameRow {
    const char* name;
    const char* english;
    const char* german;
};

struct TypeRow {
    const char* english;
    const char* german;
};

// In the order of ChartType.
constexpr TypeRow chartTypeRows[] = {
    {"Lines", "Linien"},   {"Stacked lines", "Gestapelte Linien"},
    {"Bars", "Balken"},    {"Stacked bars", "Gestapelte Balken"},
    {"Columns", "Säulen"}, {"Stacked columns", "Gestapelte Säulen"},
    {"Area", "Fläche"},    {"Stacked area", "Gestapelte Fläche"},
    {"Pie", "Kreis"},      {"Doughnut", "Ring"},
    {"Polar", "Polar"},    {"Radar", "Netz"},
    {"Scatter", "Punkte"}, {"Time scatter", "Punkte über Zeit"},
};
static_assert(std::size(chartTypeRows) == std::size_t(ChartType::TimeScatter) + 1);

constexpr NameRow colorRows[] = {
    {"#000000", "Black", "Schwarz"},  {"#808080", "Gray", "Grau"},
    {"#FFFFFF", "White", "Weiß"},     {"#C00000", "Dark red", "Dunkelrot"},
    {"#FF0000", "Red", "Rot"},        {"#FFA500", "Orange", "Orange"},
    {"#FFD700", "Gold", "Gold"},      {"#FFFF00", "Yellow", "Gelb"},
    {"#008000", "Green", "Grün"},     {"#90EE90", "Light green", "Hellgrün"},
    {"#008080", "Teal", "Blaugrün"},  {"#00FFFF", "Cyan", "Cyan"},
    {"#0000FF", "Blue", "Blau"},      {"#000080", "Navy", "Marineblau"},
    {"#800080", "Purple", "Violett"}, {"#FF00FF", "Magenta", "Magenta"},
    {"#A52A2A", "Brown", "Braun"},
};

QString pick(const NameRow& row, WizardLanguage language)
{
    return QString::fromUtf8(language == WizardLanguage::German ? row.german : row.english);
}

} // namespace

std::optional<WizardLanguage> wizardLanguageFromCode(const QString& code)
{
    if (code.compare(QLatin1String("EN"), Qt::CaseInsensitive) == 0)
        return WizardLanguage::English;
    if (code.compare(QLatin1String("DE"), Qt::CaseInsensitive) == 0)
        return WizardLanguage::German;
    return std::nullopt;
}

QString wizardLanguageCode(WizardLanguage language)
{
    return language == WizardLanguage::German ? QStringLiteral("DE") : QStringLiteral("EN");
}

QString wizardText(WizardText id, WizardLanguage language)
{
    const TextRow& row = textRows[static_cast<std::size_t>(id)];
    return QString::fromUtf8(language == WizardLanguage::German ? row.german : row.english);
}

QString chartTypeDisplayName(const QString& chartType, WizardLanguage language)
{
    const std::optional<ChartType> type = chartTypeFromName(chartType);
    if (!type)
        return chartType;
    const TypeRow& row = chartTypeRows[static_cast<std::size_t>(*type)];
    return QString::fromUtf8(language == WizardLanguage::German ? row.german : row.english);
}

QString colorDisplayName(const QString& value, WizardLanguage language)
{
    for (const NameRow& row : colorRows)
        if (value.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            return pick(row, language);
    return {};
}

const QStringList& namedColorValues()
{
    static const QStringList values = [] {
        QStringList list;
        for (const NameRow& row : colorRows)
            list << QString::fromLatin1(row.name);
        return list;
    }();
    return values;
}

} // namespace vizorb
