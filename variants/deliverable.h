#pragma once

#include <optional>
#include <span>

struct AttributeSetting {
    const char* path;
    const char* attribute;
    const char* value;
};

// Everything that differs between the two deliverables, as constants. The
// program reads them from here and nowhere else; main() picks the set.
struct Deliverable {
    const char* caption;          // the main window's caption
    const char* chartControlFile; // the chart control library, in the program's folder
    float aboutIconTwips;         // design size of the About window's icon box
    // Configuration of the chart control when the main window loads.
    const char* templateFile;                       // nullptr: not set
    const char* chartTypes;                         // nullptr: not restricted
    std::span<const AttributeSetting> loadSettings; // SetAttribute calls, in order
    // Argument of the customizing fetch of Edit > Copy Customizing.
    std::optional<bool> customizingFetchArgument;
};

inline constexpr AttributeSetting kPlotwright700LoadSettings[] = {
    {"Control", "UseNewCustomizing", "true"},
    {"GlobalSettings", "ColorPalette", "Tradeshow"},
};

inline constexpr Deliverable kPlotwright700{
    .caption = "Quarnel Plotwright 7.00",
    .chartControlFile = "vizorbd.so",
    .aboutIconTwips = 480.0f,
    .templateFile = nullptr,
    .chartTypes = nullptr,
    .loadSettings = kPlotwright700LoadSettings,
    .customizingFetchArgument = std::nullopt,
};

inline constexpr Deliverable kPlotwright640{
    .caption = "Quarnel Plotwright 6.40",
    .chartControlFile = "vizorb.so",
    .aboutIconTwips = 720.0f,
    .templateFile = "vizorb.tpl",
    .chartTypes = "Lines|StackedLines|Profiles|StackedProfiles|Bars|StackedBars|Columns|StackedColumns|Area|"
                  "StackedArea|ProfileArea|StackedProfileArea|Pie|Doughnut|SplitPie|Polar|Radar|StackedRadar|"
                  "Scatter|TimeScatter|Speedometer|Portfolio|Histogram|Gantt|MTA|SmartMap",
    .loadSettings = {},
    .customizingFetchArgument = true,
};
