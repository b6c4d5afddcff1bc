#include "vizorb/model/chart_type.h"

#include <array>

namespace vizorb {
namespace {

struct TypeEntry {
    ChartType type;
    const char* name;
    ChartTraits traits;
};

// In the enum's order.
constexpr std::array<TypeEntry, 14> kTypes{{
    {ChartType::Lines, "Lines", {.lines = true}},
    {ChartType::StackedLines, "StackedLines", {.lines = true, .stacked = true}},
    {ChartType::Bars, "Bars", {.bars = true, .horizontal = true}},
    {ChartType::StackedBars, "StackedBars", {.bars = true, .horizontal = true, .stacked = true}},
    {ChartType::Columns, "Columns", {.bars = true}},
    {ChartType::StackedColumns, "StackedColumns", {.bars = true, .stacked = true}},
    {ChartType::Area, "Area", {.area = true}},
    {ChartType::StackedArea, "StackedArea", {.area = true, .stacked = true}},
    {ChartType::Pie, "Pie", {.pie = true}},
    {ChartType::Doughnut, "Doughnut", {.pie = true}},
    {ChartType::Polar, "Polar", {.polar = true}},
    {ChartType::Radar, "Radar", {.polar = true}},
    {ChartType::Scatter, "Scatter", {.scatter = true}},
    {ChartType::TimeScatter, "TimeScatter", {.scatter = true, .time = true}},
}};

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < kTypes.size(); ++i)
        if (std::size_t(kTypes[i].type) != i)
            return false;
    return true;
}
static_assert(inEnumOrder());

const TypeEntry& entry(ChartType type)
{
    return kTypes[std::size_t(type)];
}

} // namespace

ChartTraits chartTraits(ChartType type)
{
    return entry(type).traits;
}

QString chartTypeName(ChartType type)
{
    return QLatin1String(entry(type).name);
}

std::optional<ChartType> chartTypeFromName(const QString& name)
{
    for (const TypeEntry& e : kTypes)
        if (name == QLatin1String(e.name))
            return e.type;
    return std::nullopt;
}

QStringList chartTypeNames()
{
    QStringList names;
    for (const TypeEntry& e : kTypes)
        names << QLatin1String(e.name);
    return names;
}

} // namespace vizorb
