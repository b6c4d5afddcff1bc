#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/model/number_format.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

// One table for every door a number format comes through: SetAttribute and the
// customizing reader take or refuse alike, and a taken one draws as written.
TEST(NumberFormat, AcceptedAlikeEverywhereAndDrawnAsTyped)
{
    const QString kilo = QStringLiteral("%.0f k") + QChar(0x20ac);
    const struct {
        QString format;
        double value;
        QString drawn; // empty: refused
    } cases[] = {
        {"%.1f%%", 12.345, "12.3%"},
        {QStringLiteral("value: %.1f") + QChar(0x20ac), 2.25, QStringLiteral("value: 2.2") + QChar(0x20ac)},
        {"%d items", 2.6, "3 items"},
        {"%+08.2f kg", -3.14159, "-0003.14 kg"},
        {"%.3e", 12345.0, "1.234e+04"},
        {"%G", 1e-10, "1E-10"},
        {"%#.3g", 2.0, "2.00"},
        {"%i", 0x1p70, "1180591620717411303424"},
        {"<b>%.0f</b> & co", 7, "<b>7</b> & co"},
        {kilo, 5, QStringLiteral("5 k") + QChar(0x20ac)},
        {"hello", 0, {}},
        {"%s", 0, {}},
        {"%n", 0, {}},
        {"%.1f %.1f", 0, {}},
        {"%lf", 0, {}},
        {"%100f", 0, {}},
        {"%.100f", 0, {}},
        {"%", 0, {}},
        {"50%", 0, {}},
        {"%.1f\x01", 0, {}},
        {"%.1f" + QString(97, QLatin1Char('x')), 0, {}},
        {"%.1f" + QString(96, QLatin1Char('x')), 1, "1.0" + QString(96, QLatin1Char('x'))},
    };
    for (const auto& c : cases) {
        const std::string where = c.format.left(20).toStdString();
        const std::optional<vizorb::NumberFormat> parsed = vizorb::NumberFormat::parse(c.format);
        ASSERT_EQ(parsed.has_value(), !c.drawn.isEmpty()) << where;
        // Drawn with a full stop whatever the C library's locale (the desktop's, under Qt).
        for (const char* locale : {"C", "de_DE.UTF-8"}) {
            if (parsed && std::setlocale(LC_NUMERIC, locale)) {
                EXPECT_EQ(parsed->format(c.value), c.drawn) << where << " in " << locale;
            }
        }
        std::setlocale(LC_NUMERIC, "C");

        vizorb::VizorbControl control{QStringLiteral("7.00")};
        const bool set =
            control.get(id::SetAttribute, {Variant("ValueAxis"), Variant("NumberFormat"), Variant(c.format)})
                .toBoolean();
        EXPECT_EQ(set, parsed.has_value()) << where;
        const QString xml = QStringLiteral("<Customizing><CategoryAxis NumberFormat=\"%1\"/></Customizing>")
                                .arg(c.format.toHtmlEscaped().replace(QChar(1), QLatin1String("&#1;")));
        EXPECT_EQ(control.get(id::LoadCustomizingXml, {Variant(xml)}), Variant(parsed.has_value())) << where;
        if (!parsed) {
            EXPECT_FALSE(control.get(id::LastErrorText).toString().isEmpty()) << where;
        }
    }
}

} // namespace
