#include "platform/runtime_error.h"
#include "platform/variant.h"
#include "tests/support/runtime_errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

using platform::Variant;

namespace {

struct IntegerCase {
    const char* name;
    Variant value;
    std::int16_t expected;
    std::optional<int> error;
};

void PrintTo(const IntegerCase& c, std::ostream* os)
{
    *os << c.name;
}

class ToInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(ToInteger, ConvertsAsTheRuntimeDoes)
{
    const IntegerCase& c = GetParam();
    std::int16_t result = 0;
    const auto error = fakes::runtimeErrorOf([&] { result = c.value.toInteger(); });
    EXPECT_EQ(error, c.error.value_or(0));
    if (!c.error) {
        EXPECT_EQ(result, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToInteger,
    testing::Values(
        IntegerCase{"Integer", Variant(std::int16_t(4)), 4, {}}, IntegerCase{"HalfToEvenDown", Variant(2.5), 2, {}},
        IntegerCase{"HalfToEvenUp", Variant(3.5), 4, {}}, IntegerCase{"NegativeHalf", Variant(-2.5), -2, {}},
        IntegerCase{"SingleHalf", Variant(0.5f), 0, {}}, IntegerCase{"NearestBelowHalf", Variant(2.49), 2, {}},
        IntegerCase{"NumericText", Variant("4"), 4, {}}, IntegerCase{"PaddedText", Variant(" 4 "), 4, {}},
        IntegerCase{"TextHalf", Variant("2.5"), 2, {}}, IntegerCase{"TextExponent", Variant("1e2"), 100, {}},
        IntegerCase{"HexText", Variant("&H10"), 16, {}}, IntegerCase{"Empty", Variant(), 0, {}},
        IntegerCase{"True", Variant(true), -1, {}}, IntegerCase{"False", Variant(false), 0, {}},
        IntegerCase{"LongInRange", Variant(std::int32_t(-32768)), -32768, {}},
        IntegerCase{"Max", Variant(32767.0), 32767, {}},
        IntegerCase{"RoundsOutOfRange", Variant(32767.5), 0, platform::err::Overflow},
        IntegerCase{"LongOutOfRange", Variant(std::int32_t(32768)), 0, platform::err::Overflow},
        IntegerCase{"BelowRange", Variant(-32768.6), 0, platform::err::Overflow},
        IntegerCase{"TextOutOfRange", Variant("40000"), 0, platform::err::Overflow},
        IntegerCase{"Infinity", Variant(std::numeric_limits<double>::infinity()), 0, platform::err::Overflow},
        IntegerCase{"NaN", Variant(std::numeric_limits<double>::quiet_NaN()), 0, platform::err::Overflow},
        IntegerCase{"Word", Variant("abc"), 0, platform::err::TypeMismatch},
        IntegerCase{"EmptyText", Variant(""), 0, platform::err::TypeMismatch},
        IntegerCase{"TrailingGarbage", Variant("4x"), 0, platform::err::TypeMismatch},
        IntegerCase{"SignOnly", Variant("-"), 0, platform::err::TypeMismatch},
        IntegerCase{"InfinityText", Variant("inf"), 0, platform::err::TypeMismatch},
        IntegerCase{"Object", Variant(std::make_shared<platform::Object>()), 0, platform::err::TypeMismatch}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return std::string(info.param.name); });

TEST(VariantConversions, BooleanFromNumbersAndText)
{
    EXPECT_TRUE(Variant(std::int16_t(2)).toBoolean());
    EXPECT_TRUE(Variant(-0.5).toBoolean());
    EXPECT_FALSE(Variant(0.0).toBoolean());
    EXPECT_FALSE(Variant().toBoolean());
    EXPECT_TRUE(Variant("True").toBoolean());
    EXPECT_TRUE(Variant(" true ").toBoolean());
    EXPECT_FALSE(Variant("False").toBoolean());
    EXPECT_TRUE(Variant("-1").toBoolean());
    EXPECT_FALSE(Variant("0").toBoolean());
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant("yes").toBoolean(); }), platform::err::TypeMismatch);
}

TEST(VariantConversions, StringsOfEachType)
{
    EXPECT_EQ(Variant().toString(), "");
    EXPECT_EQ(Variant(true).toString(), "True");
    EXPECT_EQ(Variant(false).toString(), "False");
    EXPECT_EQ(Variant(std::int16_t(-32768)).toString(), "-32768");
    EXPECT_EQ(Variant(std::int32_t(70000)).toString(), "70000");
    EXPECT_EQ(Variant(100.0f / 3.0f).toString(), "33.33333");
    EXPECT_EQ(Variant(200.0 / 3.0).toString(), "66.6666666666667");
    EXPECT_EQ(Variant(0.5).toString(), "0.5");
    EXPECT_EQ(Variant(QString("x")).toString(), "x");
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant(std::make_shared<platform::Object>()).toString(); }),
              platform::err::TypeMismatch);
}

TEST(VariantConversions, SingleAndDoubleRanges)
{
    EXPECT_FLOAT_EQ(Variant("1.5").toSingle(), 1.5f);
    EXPECT_DOUBLE_EQ(Variant(std::int16_t(3)).toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(Variant(true).toDouble(), -1.0);
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant(1e39).toSingle(); }), platform::err::Overflow);
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant("1e400").toDouble(); }), platform::err::Overflow);
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant("x").toDouble(); }), platform::err::TypeMismatch);
    EXPECT_EQ(Variant(std::int32_t(-5)).toLong(), -5);
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant(3e9).toLong(); }), platform::err::Overflow);
}

TEST(VariantConversions, ObjectsOfTheWrongClassAreMismatches)
{
    struct Other : platform::Object {};
    struct Wanted : platform::Object {};
    Variant holding(std::make_shared<Other>());
    EXPECT_NE(holding.toObjectOf<Other>(), nullptr);
    EXPECT_EQ(fakes::runtimeErrorOf([&] { (void)holding.toObjectOf<Wanted>(); }), platform::err::TypeMismatch);
    EXPECT_EQ(fakes::runtimeErrorOf([] { (void)Variant().toObject(); }), platform::err::TypeMismatch);
}

TEST(NumberForm, SignificantDigitsAndExponents)
{
    struct Row {
        double value;
        int digits;
        const char* text;
    };
    const Row rows[] = {
        {0, 7, "0"},
        {-0.0, 15, "0"},
        {120.5, 7, "120.5"},
        {-42, 15, "-42"},
        {1250.75, 15, "1250.75"},
        {static_cast<float>(1234.5678), 7, "1234.568"},
        {0.25, 7, "0.25"},
        {-0.001, 15, "-0.001"},
        {0.0001, 15, "0.0001"},
        {0.00001, 15, "1E-05"},
        {1.5e-7, 15, "1.5E-07"},
        {1e15, 15, "1E+15"},
        {999999999999999.0, 15, "999999999999999"},
        {12345678.0f, 7, "1.234568E+07"},
        {9999999.5, 7, "1E+07"},
        {1e300, 15, "1E+300"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::formatNumber(row.value, row.digits), row.text) << row.value;
}

TEST(Checked16BitArithmetic, OverflowsAtTheLimits)
{
    EXPECT_EQ(platform::checkedAdd16(32766, 1), 32767);
    EXPECT_EQ(platform::checkedSub16(-32767, 1), -32768);
    EXPECT_EQ(fakes::runtimeErrorOf([] { platform::checkedAdd16(32767, 1); }), platform::err::Overflow);
    EXPECT_EQ(fakes::runtimeErrorOf([] { platform::checkedSub16(-32768, 1); }), platform::err::Overflow);
}

} // namespace
