#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vizorb {

// Every chart type this control draws, in the order the wizard offers them.
// The customizing stores a type by its name; code asks its traits.
enum class ChartType {
    Lines,
    StackedLines,
    Bars,
    StackedBars,
    Columns,
    StackedColumns,
    Area,
    StackedArea,
    Pie,
    Doughnut,
    Polar,
    Radar,
    Scatter,
    TimeScatter,
};

// What kind of chart a type draws, worked out once for every type.
struct ChartTraits {
    bool lines = false;      // Lines, StackedLines
    bool bars = false;       // bars or columns
    bool horizontal = false; // bars along the value axis from the left: Bars, StackedBars
    bool area = false;       // Area, StackedArea
    bool scatter = false;    // Scatter, TimeScatter
    bool time = false;       // TimeScatter: points placed by their times
    bool stacked = false;    // values added up series after series
    bool pie = false;        // Pie, Doughnut
    bool polar = false;      // Polar, Radar: drawn round a centre
};

ChartTraits chartTraits(ChartType type);

// The type's name as stored ("StackedColumns").
QString chartTypeName(ChartType type);
// The type named `name` exactly as stored; none for another text.
std::optional<ChartType> chartTypeFromName(const QString& name);
// Every type's name, in order.
QStringList chartTypeNames();

} // namespace vizorb
