#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vizorb {

enum class WizardLanguage { English, German };

// "EN" or "DE" in any letter case; nothing for another code.
std::optional<WizardLanguage> wizardLanguageFromCode(const QString& code);
QString wizardLanguageCode(WizardLanguage language);

// Every text the wizard shows, in both languages.
enum class WizardText {
    StepOfSteps, // "%1", "%2": the step and the number of steps
    NotStarted,
    TypeTitle,
    TypeHint,
    DataTitle,
    DataHint,
    DataEmpty,
    TitlesTitle,
    TitlesHint,
    Title,
    Subtitle,
    CategoryAxis,
    CategoryAxisSec,
    ValueAxis,
    ValueAxisSec,
    AxisTitle,
    AxisUnit,
    AxesTitle,
    AxesHint,
    Axis,
    Visible,
    AutomaticScale,
    Minimum,
    Maximum,
    GridLines,
    NumberFormat,
    AutomaticValue,
    LegendTitle,
    LegendHint,
    ShowLegend,
    Position,
    PositionTop,
    PositionBottom,
    PositionLeft,
    PositionRight,
    StyleTitle,
    StyleHint,
    Palette,
    SeriesColors,
    SeriesColor,
    AutomaticColor,
    Fonts,
    FontElement,
    FontFamily,
    FontSize,
    Bold,
    ElementChart,
    ElementTitle,
    ElementSubtitle,
    ElementLegend,
    // Why an input was refused; "%1" is the input.
    NotANumber,
    NumberTooLarge,
    NumberRequired,
    MinimumBelowMaximum,
    InvalidValue,
    Count
};

QString wizardText(WizardText id, WizardLanguage language);

// A chart type's name as the wizard shows it; the internal name when it has none.
QString chartTypeDisplayName(const QString& chartType, WizardLanguage language);

// A named colour of the colour lists, by its value ("#RRGGBB"); empty when unnamed.
QString colorDisplayName(const QString& value, WizardLanguage language);
// The values of the named colours, in the order the lists offer them.
const QStringList& namedColorValues();

} // namespace vizorb
