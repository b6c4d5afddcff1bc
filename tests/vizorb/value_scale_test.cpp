#include "vizorb/chart/value_scale.h"
#include "vizorb/model/number_format.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

// What every value axis must show: one form, equal decimals, a nice step, each
// label the exact value of its tick, ticks inside the range, nothing non-finite.
void expectHonest(const vizorb::ValueScale& s, const std::string& where)
{
    ASSERT_EQ(s.ticks.size(), s.labels.size()) << where;
    EXPECT_TRUE(std::isfinite(s.lo) && std::isfinite(s.hi) && s.lo < s.hi) << where;
    const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step)));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 2.5) < 1e-9 ||
                std::abs(mantissa - 5) < 1e-9)
        << where << " step " << s.step;
    static const QRegularExpression form(QStringLiteral("^-?[0-9,]+(\\.([0-9]+))?(.*)$"));
    QString suffix;
    qsizetype decimals = -1;
    for (qsizetype k = 0; k < s.ticks.size(); ++k) {
        const QString& label = s.labels[k];
        EXPECT_GE(s.ticks[k], s.lo) << where;
        EXPECT_LE(s.ticks[k], s.hi) << where;
        const QRegularExpressionMatch m = form.match(label);
        ASSERT_TRUE(m.hasMatch()) << where << " " << label.toStdString();
        if (k == 0) {
            suffix = m.captured(3);
            decimals = m.captured(2).size();
        }
        EXPECT_EQ(m.captured(3), suffix) << where << " " << label.toStdString();
        EXPECT_EQ(m.captured(2).size(), decimals) << where << " " << label.toStdString();
        if (suffix.isEmpty()) {
            const QString plain = QString(label).remove(QLatin1Char(','));
            EXPECT_EQ(plain.toDouble(), s.ticks[k]) << where << " " << label.toStdString();
            // Group separators on every label of an axis reaching 10,000, on none below.
            const bool groups = std::max(std::abs(s.ticks.first()), std::abs(s.ticks.last())) >= 10000;
            EXPECT_EQ(label.contains(QLatin1Char(',')), groups && std::abs(s.ticks[k]) >= 1000) << where;
        }
    }
}

TEST(ValueScale, AxesReadHonestly)
{
    struct Case {
        const char* name;
        double lo, hi;
        int steps;
        bool round;
        QStringList labels;
    };
    const Case cases[] = {
        {"population",
         2.5e6,
         1e7,
         8,
         true,
         {"2,000,000", "3,000,000", "4,000,000", "5,000,000", "6,000,000", "7,000,000", "8,000,000", "9,000,000",
          "10,000,000"}},
        {"small values", 6e-5, 0.00012, 8, true, {"60µ", "70µ", "80µ", "90µ", "100µ", "110µ", "120µ"}},
        {"fixed 0-3", 0, 3, 8, false, {"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0"}},
        {"fixed 0-7", 0, 7, 8, false, {"0", "1", "2", "3", "4", "5", "6", "7"}},
        {"fixed 0-172", 0, 172, 8, false, {"0", "25", "50", "75", "100", "125", "150"}},
        {"float noise",
         0.3,
         0.30000000000000004,
         8,
         true,
         {"0.27", "0.28", "0.29", "0.30", "0.31", "0.32", "0.33", "0.34"}},
        {"double range",
         -1.7e308,
         1.7e308,
         8,
         true,
         {"-1.5×10³⁰⁸", "-1.0×10³⁰⁸", "-0.5×10³⁰⁸", "0.0×10³⁰⁸", "0.5×10³⁰⁸", "1.0×10³⁰⁸", "1.5×10³⁰⁸"}},
        {"below ten thousand",
         0,
         9000,
         9,
         false,
         {"0", "1000", "2000", "3000", "4000", "5000", "6000", "7000", "8000", "9000"}},
        {"trillions", 0, 4e12, 4, true, {"0T", "1T", "2T", "3T", "4T"}},
        {"negative decimals", -0.75, 0.25, 4, true, {"-0.75", "-0.50", "-0.25", "0.00", "0.25"}},
        {"one value", 5, 5, 8, true, {"4.4", "4.6", "4.8", "5.0", "5.2", "5.4", "5.6"}},
        {"groups for all", 0, 12000, 8, false, {"0", "2,000", "4,000", "6,000", "8,000", "10,000", "12,000"}},
        {"largest double", DBL_MAX, DBL_MAX, 8, true, {}},
        {"double range in two steps", -DBL_MAX, DBL_MAX, 2, true, {"-1×10³⁰⁸", "0×10³⁰⁸", "1×10³⁰⁸"}},
        {"around zero in one step", -0.7, 0.4, 1, true, {"-1", "0", "1"}},
        {"no data", NAN, NAN, 8, true, {"-1.00", "-0.75", "-0.50", "-0.25", "0.00", "0.25", "0.50", "0.75", "1.00"}},
    };
    for (const Case& c : cases) {
        const vizorb::ValueScale s = vizorb::valueScale(c.lo, c.hi, c.steps, c.round);
        expectHonest(s, c.name);
        if (!c.labels.isEmpty()) {
            EXPECT_EQ(s.labels, c.labels) << c.name << ": " << s.labels.join(" | ").toStdString();
        }
        if (!c.round) {
            EXPECT_EQ(s.lo, c.lo) << c.name;
            EXPECT_EQ(s.hi, c.hi) << c.name;
        }
        EXPECT_LE(s.ticks.size(), std::max(c.steps, c.round ? 2 : 1) + 1) << c.name;
    }
}

} // namespace

namespace {

TEST(ValueScale, ValueLabelsArePlainDigits)
{
    const std::pair<double, const char*> cases[] = {
        {2500000, "2,500,000"},       {-6391360.5, "-6,391,360.5"}, {9999, "9999"},
        {0.30000000000000004, "0.3"}, {0.00012, "0.00012"},         {1e15, "1e+15"},
        {-1.7e308, "-1.7e+308"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(vizorb::valueText(value), QString::fromUtf8(text)) << text;
}

} // namespace
