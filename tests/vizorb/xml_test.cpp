#include "vizorb/chart/reduce.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/data_xml.h"
#include "vizorb/xml/xml_text.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using vizorb::ChartData;

// A file's bytes as the program hands them over: one character per byte.
QString asBytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

TEST(DecodeXmlText, ReadsWhatTheMarkOrDeclarationSays)
{
    const QString umlauts = QStringLiteral("Gr\u00f6\u00dfe \u00e4\u00fc \u20ac");
    QByteArray utf16le("\xFF\xFE", 2);
    const QString body = QStringLiteral("<a>") + umlauts + QStringLiteral("</a>");
    utf16le += QByteArray(reinterpret_cast<const char*>(body.utf16()), body.size() * 2);
    struct Case {
        const char* what;
        QString input;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"UTF-8 with BOM", asBytes("\xEF\xBB\xBF<a>" + umlauts.toUtf8() + "</a>"), body},
        {"UTF-8 without BOM or declaration", asBytes("<a>" + umlauts.toUtf8() + "</a>"), body},
        {"UTF-16 LE with BOM", asBytes(utf16le), body},
        {"ISO-8859-1 umlauts",
         asBytes("<?xml version='1.0' encoding='ISO-8859-1'?><a>Gr\xF6\xDF"
                 "e \xE4\xFC &#8364;</a>"),
         QStringLiteral("<?xml version='1.0' encoding='ISO-8859-1'?><a>Gr\u00f6\u00dfe \u00e4\u00fc &#8364;</a>")},
        {"windows-1252 euro", asBytes("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\x80</a>"),
         QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\u20ac</a>")},
        {"undeclared 8-bit text", asBytes("<a>\xE4</a>"), QStringLiteral("<a>\u00e4</a>")},
        {"already decoded", QStringLiteral("\ufeff<a>\u20ac</a>"), QStringLiteral("<a>\u20ac</a>")},
    };
    for (const Case& c : cases) {
        QString decoded, error;
        ASSERT_TRUE(vizorb::decodeXmlText(c.input, &decoded, &error)) << c.what << ": " << error.toStdString();
        EXPECT_EQ(decoded, c.expected) << c.what;
    }
    QString decoded, error;
    EXPECT_FALSE(
        vizorb::decodeXmlText(asBytes("<?xml version='1.0' encoding='EBCDIC'?><a>\xC1</a>"), &decoded, &error));
    EXPECT_TRUE(error.contains(QLatin1String("EBCDIC")));
    EXPECT_FALSE(vizorb::decodeXmlText(asBytes("<?xml version='1.0' encoding='UTF-8'?><a>\xE4</a>"), &decoded, &error));
}

TEST(DecodeXmlText, RefusesBytesThatContradictTheirEncoding)
{
    auto utf16le = [](const QString& text) {
        return QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    const QString surrogate = QStringLiteral("<a>\n1") + QChar(0xD800) + QStringLiteral("2</a>");
    const std::vector<std::pair<QString, const char*>> cases = {
        {asBytes("<?xml version='1.0' encoding='EBCDIC'?><a/>"), "\"EBCDIC\", which this control cannot read"},
        {asBytes("<?xml version='1.0' encoding='UTF-16'?><a/>"), "no UTF-16 byte-order mark"},
        {asBytes("\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?><a/>"), "declares encoding \"ISO-8859-1\""},
        {asBytes(utf16le(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?><a/>"))), "declares encoding \"UTF-8\""},
        {asBytes(utf16le(QStringLiteral("<a>\n12</a>")) + 'x'), "Line 2, column 7: The UTF-16 text ends"},
        {asBytes(utf16le(surrogate)), "Line 2, column 2: The text holds half a UTF-16 surrogate pair (U+D800)"},
        {surrogate + QChar(0x20AC), "Line 2, column 2: The text holds half"},
        {asBytes("<?xml version='1.0' encoding='US-ASCII'?>\n<a>\xE4</a>"), "Line 2, column 4: The text declares "
                                                                            "US-ASCII but holds the byte 0xE4"},
        {asBytes(QByteArray("<\0a\0/\0>\0", 8)), "UTF-16 without a byte-order mark"},
        {asBytes("<?xml version='1.0' encoding='UTF-8'?>\n<a>\xC3\xA4\xE2\x82\xAC\xED\xA0\x80</a>"),
         "Line 2, column 6: The text declares UTF-8 but is not valid UTF-8"},
        {asBytes("\xEF\xBB\xBF<a>\xF0\x9D\x84\x9E\xC3</a>"), "Line 1, column 6: The text starts with a UTF-8"},
    };
    for (const auto& [input, expected] : cases) {
        QString decoded, error;
        EXPECT_FALSE(vizorb::decodeXmlText(input, &decoded, &error)) << expected;
        EXPECT_TRUE(error.contains(QLatin1String(expected))) << error.toStdString();
    }
}

TEST(DataXml, ReadsCategoriesSeriesMissingValuesAndTimes)
{
    ChartData data;
    QString error;
    ASSERT_TRUE(vizorb::readDataXml(QStringLiteral("<ChartData><Categories><Category>A &amp; B</Category>"
                                                   "<Category>C</Category><Category>D</Category></Categories>"
                                                   "<Series Name='One'> 1.5 ; -2e3 ; </Series>"
                                                   "<Series>7</Series></ChartData>"),
                                    &data, &error))
        << error.toStdString();
    EXPECT_EQ(data.categories, (QStringList{"A & B", "C", "D"}));
    ASSERT_EQ(data.series.size(), 2);
    EXPECT_EQ(data.series[0].name, QStringLiteral("One"));
    EXPECT_EQ(data.series[0].values[0], 1.5);
    EXPECT_EQ(data.series[0].values[1], -2000);
    EXPECT_TRUE(std::isnan(data.series[0].values[2]));
    EXPECT_EQ(data.series[1].name, QStringLiteral("Series2"));
    EXPECT_EQ(data.series[1].values.size(), 3);

    ASSERT_TRUE(vizorb::readDataXml(QStringLiteral("<ChartData><Times>2024-01-01T00:00:00Z;2024-01-01T01:00:00"
                                                   "</Times><Series Name='T'>1;2</Series></ChartData>"),
                                    &data, &error));
    EXPECT_EQ(data.times, (QVector<qint64>{1704067200000, 1704070800000}));

    // What GetDataXml writes reads back the same, characters beyond one byte included.
    data.series[0].name = QStringLiteral("Umsatz \u20ac");
    const QString written = vizorb::writeDataXml(data);
    EXPECT_TRUE(written.contains(QLatin1String("Umsatz &#8364;")));
    for (QChar c : written)
        ASSERT_LE(c.unicode(), 0xFF);
    ChartData back;
    QString decoded;
    ASSERT_TRUE(vizorb::decodeXmlText(written, &decoded, &error));
    ASSERT_TRUE(vizorb::readDataXml(decoded, &back, &error)) << error.toStdString();
    EXPECT_EQ(back, data);
}

// Long lists take a faster road; it must read exactly what the reader would.
TEST(DataXml, LongListsReadAsShortOnesDo)
{
    QStringList items;
    for (int i = 0; i < 3000; ++i)
        items << (i % 7 == 3 ? QString() : QString::number(i * 0.5));
    const QString list = items.join(QStringLiteral(";\n"));
    const QString text = QStringLiteral("<?xml version='1.0'?>\n<!-- <Series>1;2</Series> -->\n<ChartData>\n"
                                        "<Series Name='a>b'>%1</Series>\n<Series Name='entity'>1&#59;%1</Series>\n"
                                        "<Series><!-- c -->%1</Series></ChartData>")
                             .arg(list);
    ChartData data;
    QString error;
    ASSERT_TRUE(vizorb::readDataXml(text, &data, &error)) << error.toStdString();
    ASSERT_EQ(data.series.size(), 3);
    EXPECT_EQ(data.series[0].name, QStringLiteral("a>b"));
    ASSERT_EQ(data.series[0].values.size(), 3001);
    EXPECT_EQ(data.series[0].values[2998], 2998 * 0.5);
    EXPECT_TRUE(std::isnan(data.series[0].values[3]));
    EXPECT_EQ(data.series[1].values[0], 1);
    EXPECT_EQ(data.series[1].values[1], 0);
    EXPECT_EQ(data.series[2].values.mid(0, 3000), data.series[0].values.mid(0, 3000));

    // A fault deep in a long list names its line.
    items[2000] = QStringLiteral("x");
    EXPECT_FALSE(vizorb::readDataXml(QStringLiteral("<ChartData>\n<Series Name='s'>%1</Series>\n</ChartData>")
                                         .arg(items.join(QStringLiteral(";\n"))),
                                     &data, &error));
    EXPECT_TRUE(error.contains(QLatin1String("Value 2001 of series \"s\""))) << error.toStdString();
    EXPECT_FALSE(vizorb::readDataXml(QStringLiteral("<ChartData>\n<Series Name='s'>%1</Series>\n</ChartDta>").arg(list),
                                     &data, &error));
    EXPECT_TRUE(error.startsWith(QLatin1String("Line 3002,"))) << error.toStdString();
}

// Long lists skip the XML reader; whatever the reader refuses in a short list
// must be refused in a long one too, at the same line.
TEST(DataXml, HostileListsAreRefusedOnBothRoads)
{
    const std::vector<std::pair<QString, const char*>> cases = {
        {QStringLiteral("\f"), "Line 3,"},
        {QStringLiteral("\x01"), "Line 3,"},
        {QString(QChar(0xFFFE)), "Line 3,"},
        {QStringLiteral("]]>"), "Line 3,"},
        {QStringLiteral("&#12;"), "Line 3,"},
        {QString(QChar(0xD800)), "Line 3,"},
        {QStringLiteral("\r4;\r\n5;\rx"), "Line 6,"},
        {QStringLiteral("&lt;"), "Line 3,"},
    };
    for (const auto& [hostile, line] : cases) {
        for (const int padding : {1, 3000}) {
            const QString text = QStringLiteral("<ChartData>\n<Series Name='s'>%1\n2;%2;3</Series>\n</ChartData>")
                                     .arg(QStringLiteral("1;").repeated(padding), hostile);
            ChartData data;
            QString error;
            EXPECT_FALSE(vizorb::readDataXml(text, &data, &error)) << padding << " " << hostile.toStdString();
            EXPECT_TRUE(error.startsWith(QLatin1String(line))) << padding << ": " << error.toStdString();
        }
    }
}

TEST(DataXml, RejectsWithPlaceAndReason)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"", "empty"},
        {"<ChartData>\n  <Series Name='A'>1;2\n</ChartData>", "Line 3"},
        {"<Data/>", "must start with <ChartData>"},
        {"<ChartData><Series Name='A' Colour='red'>1</Series></ChartData>", "no attribute \"Colour\""},
        {"<ChartData><Categories><Category>a</Category></Categories><Series>1;2</Series></ChartData>",
         "has 2 values but there are only 1"},
        {"<ChartData><Times>yesterday</Times></ChartData>", "Time 1 in <Times>"},
        {"<ChartData><X>1;;3</X></ChartData>", "Value 2 in <X>"},
        {"<ChartData><Series>1;inf</Series></ChartData>", "Value 2 of series"},
        {"<ChartData/><ChartData/>", "Line 1"},
        {"<!DOCTYPE ChartData [<!ENTITY e 'x'>]><ChartData/>", "Line 1, column 1: Document type declarations"},
        {"<ChartData>\n<!-- <!DOCTYPE> --><Series Name='A' a1='' a2='' a3='' a4='' a5='' a6='' a7='' a8='' a9='' "
         "b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b9='' c1='' c2='' c3='' c4='' c5='' c6='' c7='' c8='' c9='' "
         "d1='' d2='' d3='' d4='' d5='' d6='' d7='' d8='' d9='' e1='' e2='' e3='' e4='' e5='' e6='' e7='' e8='' e9='' "
         "f1='' f2='' f3='' f4='' f5='' f6='' f7='' f8='' f9='' g1='' g2='' g3='' g4='' g5='' g6='' g7='' g8='' g9='' "
         "h1='a=b' h2=''/></ChartData>",
         "Line 2, column 417: An element has more than 64 attributes"},
    };
    for (const auto& [text, expected] : cases) {
        ChartData data;
        data.categories << QStringLiteral("untouched");
        QString error;
        EXPECT_FALSE(vizorb::readDataXml(QString::fromLatin1(text), &data, &error)) << text;
        EXPECT_TRUE(error.contains(QLatin1String(expected))) << text << " -> " << error.toStdString();
        EXPECT_EQ(data.categories, QStringList{QStringLiteral("untouched")});
    }
    // One long list beside many empty series would be filled up to billions of values.
    ChartData data;
    QString error;
    const QString text =
        QStringLiteral("<ChartData><X>%1</X>%2</ChartData>")
            .arg(QStringLiteral("0;").repeated(200000) + QLatin1Char('0'), QStringLiteral("<Series/>").repeated(100));
    EXPECT_FALSE(vizorb::readDataXml(text, &data, &error));
    EXPECT_TRUE(error.contains(QLatin1String("at most 20000000 values"))) << error.toStdString();
    // Every element costs the reader time: their number is bounded too.
    EXPECT_FALSE(vizorb::readDataXml(
        QStringLiteral("<ChartData>%1</ChartData>").arg(QStringLiteral("<Series/>").repeated(250001)), &data, &error));
    EXPECT_TRUE(error.contains(QLatin1String("more than 250000 elements"))) << error.toStdString();
}

TEST(CustomizingXml, NestedAndDottedFormsMeanTheSame)
{
    vizorb::Customizing nested, dotted;
    QString error;
    ASSERT_TRUE(vizorb::readCustomizingXml(
        QStringLiteral("<Customizing><valueaxis GridLines='1'><Title Caption='Sales'/></valueaxis></Customizing>"),
        &nested, &error))
        << error.toStdString();
    ASSERT_TRUE(vizorb::readCustomizingXml(
        QStringLiteral("<Customizing><ValueAxis GridLines='true'/><ValueAxis.Title Caption='Sales'/></Customizing>"),
        &dotted, &error));
    EXPECT_EQ(nested, dotted);
    EXPECT_EQ(nested.values[QStringLiteral("ValueAxis")][QStringLiteral("GridLines")], QStringLiteral("true"));

    // Written both ways, each reads back to the same customizing.
    nested.values[QStringLiteral("Title")][QStringLiteral("Caption")] = QStringLiteral("\u20ac & \"co\"\n");
    for (bool asNested : {true, false}) {
        const QString text = vizorb::writeCustomizingXml(nested, {false, asNested, 0});
        EXPECT_TRUE(text.startsWith(QLatin1String("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>")));
        EXPECT_TRUE(text.contains(QLatin1String("&#8364; &amp; &quot;co&quot;&#10;")));
        vizorb::Customizing back;
        ASSERT_TRUE(vizorb::readCustomizingXml(text, &back, &error)) << error.toStdString();
        EXPECT_EQ(back, nested) << text.toStdString();
    }
}

TEST(CustomizingXml, ValuesAreCheckedBeforeAnythingIsApplied)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"<Customizing><Title FontSize='big'/></Customizing>", "FontSize of element \"Title\" must be a number"},
        {"<Customizing><Legend Position='Middle'/></Customizing>", "Top, Bottom, Left or Right"},
        {"<Customizing><Series1 LineWidth='1e9'/></Customizing>",
         "LineWidth of element \"Series1\" must be at most 200"},
        {"<Customizing><Series1 Color='notacolour'/></Customizing>", "colour"},
        {"<Customizing><ValueAxis NumberFormat='%s'/></Customizing>", "number format"},
        {"<Customizing><GlobalSettings ChartType='Gantt'/></Customizing>", "does not draw chart type \"Gantt\""},
        {"<Customizing><Series1000/></Customizing>", "Unknown element \"Series1000\""},
        {"<Customizing>text</Customizing>", "Unexpected text"},
        {"<Customizing><Title FontFamily='Arial&lt;b&gt;'/></Customizing>",
         "FontFamily of element \"Title\" must be a font family name"},
        {"<Customizing><Legend FontFamily='Sans&quot;;x'/></Customizing>", "must be a font family name"},
        {"<Customizing><GlobalSettings FontFamily='Sans&#10;Serif'/></Customizing>", "must be a font family name"},
        {"<Customizing><Subtitle FontFamily='Sans&amp;Serif'/></Customizing>", "must be a font family name"},
        {"<Customizing><Control HideProperties='Legend;Title'/></Customizing>", "must be property names"},
    };
    for (const auto& [text, expected] : cases) {
        vizorb::Customizing customizing;
        customizing.values[QStringLiteral("Title")][QStringLiteral("Caption")] = QStringLiteral("kept");
        const vizorb::Customizing before = customizing;
        QString error;
        EXPECT_FALSE(vizorb::readCustomizingXml(QString::fromLatin1(text), &customizing, &error)) << text;
        EXPECT_TRUE(error.startsWith(QLatin1String("Line 1, column"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(expected))) << text << " -> " << error.toStdString();
        EXPECT_EQ(customizing, before);
    }
}

TEST(CustomizingXml, FamilyNamesAndBoundsOfSize)
{
    for (const QString& family :
         {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("M+ 1c"),
          QStringLiteral("Times New Roman (TT)"), QStringLiteral("Gr\u00fcn-Sans_2.0")}) {
        vizorb::Customizing customizing;
        QString error;
        EXPECT_TRUE(vizorb::readCustomizingXml(
            QStringLiteral("<Customizing><Title FontFamily='%1'/></Customizing>").arg(family), &customizing, &error))
            << error.toStdString();
    }
    vizorb::Customizing customizing;
    QString error;
    EXPECT_FALSE(vizorb::readCustomizingXml(
        QStringLiteral("<Customizing><Title FontFamily='%1'/></Customizing>").arg(QString(101, QLatin1Char('a'))),
        &customizing, &error));
    EXPECT_TRUE(error.contains(QLatin1String("at most 100 characters"))) << error.toStdString();
    // The message quotes a long value shortened.
    EXPECT_LT(error.size(), 300);
    EXPECT_FALSE(vizorb::readCustomizingXml(
        QStringLiteral("<Customizing>%1</Customizing>").arg(QStringLiteral("<Title/>").repeated(100001)), &customizing,
        &error));
    EXPECT_TRUE(error.contains(QLatin1String("more than 100000 elements and attributes"))) << error.toStdString();
}

TEST(ReduceForColumns, KeepsEachColumnsExtremesInOrder)
{
    // 1000 points into 10 columns of 100: first, lowest, highest, last of each.
    std::vector<double> y(1000);
    for (int i = 0; i < 1000; ++i)
        y[i] = std::sin(i * 0.37) * (i % 100);
    const QVector<int> kept = vizorb::reduceForColumns(nullptr, y.data(), 1000, 10);
    ASSERT_LE(kept.size(), 40);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    for (int column = 0; column < 10; ++column) {
        const auto begin = y.begin() + column * 100, end = begin + 100;
        const int lowest = int(std::min_element(begin, end) - y.begin());
        const int highest = int(std::max_element(begin, end) - y.begin());
        for (int must : {column * 100, lowest, highest, column * 100 + 99})
            EXPECT_TRUE(kept.contains(must)) << "column " << column << " index " << must;
    }
    // A missing value is kept as the break it is; few points are kept whole.
    y[500] = std::nan("");
    EXPECT_TRUE(vizorb::reduceForColumns(nullptr, y.data(), 1000, 10).contains(500));
    EXPECT_EQ(vizorb::reduceForColumns(nullptr, y.data(), 30, 10).size(), 30);
}

} // namespace
