// Chart types: the stored names and what the chart builders ask of each type.
#include "vizorb/model/chart_model.h"
#include "vizorb/model/chart_type.h"

#include <gtest/gtest.h>

namespace {

using vizorb::ChartType;

TEST(ChartTypeTest, EveryStoredNameReadsBackAsItsType)
{
    const QStringList names = vizorb::schema::chartTypes();
    ASSERT_EQ(names.size(), 14);
    for (const QString& name : names) {
        const std::optional<ChartType> type = vizorb::chartTypeFromName(name);
        ASSERT_TRUE(type) << name.toStdString();
        EXPECT_EQ(vizorb::chartTypeName(*type), name);
    }
    // The model stores canonical spelling only; anything else is no type.
    for (const char* other : {"columns", "Column", "", "Stacked"})
        EXPECT_FALSE(vizorb::chartTypeFromName(QString::fromLatin1(other))) << other;
}

TEST(ChartTypeTest, TraitsChooseTheFamily)
{
    struct Row {
        ChartType type;
        bool bars, horizontal, stacked, area, scatter, time, pie, polar;
    };
    const Row rows[] = {
        {ChartType::Lines, false, false, false, false, false, false, false, false},
        {ChartType::StackedBars, true, true, true, false, false, false, false, false},
        {ChartType::Columns, true, false, false, false, false, false, false, false},
        {ChartType::StackedArea, false, false, true, true, false, false, false, false},
        {ChartType::Doughnut, false, false, false, false, false, false, true, false},
        {ChartType::Radar, false, false, false, false, false, false, false, true},
        {ChartType::TimeScatter, false, false, false, false, true, true, false, false},
    };
    for (const Row& r : rows) {
        const vizorb::ChartTraits is = vizorb::chartTraits(r.type);
        const std::string name = vizorb::chartTypeName(r.type).toStdString();
        EXPECT_EQ(is.bars, r.bars) << name;
        EXPECT_EQ(is.horizontal, r.horizontal) << name;
        EXPECT_EQ(is.stacked, r.stacked) << name;
        EXPECT_EQ(is.area, r.area) << name;
        EXPECT_EQ(is.scatter, r.scatter) << name;
        EXPECT_EQ(is.time, r.time) << name;
        EXPECT_EQ(is.pie, r.pie) << name;
        EXPECT_EQ(is.polar, r.polar) << name;
    }
}

} // namespace
