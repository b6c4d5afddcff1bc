#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/xml/xml_text.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <ctime>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

enum class Kind { Data, Customizing, Set };
enum class Expect { Taken, Refused, Either };

struct Case {
    const char* what;
    Kind kind;
    QString input;                  // the text, or "path|attribute" for Set
    QString value;                  // for Set
    Expect expect = Expect::Either; // must the control take it?
    QString shows = {};             // a piece of the written text, or of the refusal
};

QString writtenBy(vizorb::VizorbControl& control, Kind kind, bool complete)
{
    return kind == Kind::Data ? control.get(id::GetDataXml).toString()
                              : control.get(id::GetCustomizingXml, {Variant(complete)}).toString();
}

// Load or set, write, load the text in a fresh control, write again: a
// refusal passes, a changed text fails.
void checkRoundTrip(const Case& c)
{
    SCOPED_TRACE(c.what);
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    bool taken = false;
    const QStringList target = c.input.split(QLatin1Char('|'));
    if (c.kind == Kind::Set) {
        taken = control.call(id::SetAttribute, {Variant(target[0]), Variant(target[1]), Variant(c.value)}).toBoolean();
    } else {
        taken = control.get(c.kind == Kind::Data ? id::LoadDataXml : id::LoadCustomizingXml, {Variant(c.input)})
                    .toBoolean();
    }
    const QString error = control.get(id::LastErrorText).toString();
    if (c.expect != Expect::Either) {
        ASSERT_EQ(taken, c.expect == Expect::Taken) << error.toStdString();
    }
    if (!taken) {
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(c.shows)) << error.toStdString();
        return;
    }
    const Kind kind = c.kind == Kind::Data ? Kind::Data : Kind::Customizing;
    auto stored = [&](vizorb::VizorbControl& in) {
        return in.call(id::GetAttribute, {Variant(target.value(0)), Variant(target.value(1))}).toString();
    };
    if (c.kind == Kind::Set) {
        // What GetAttribute gives is taken again as it is.
        vizorb::VizorbControl again(QStringLiteral("7.00"));
        ASSERT_EQ(again.call(id::SetAttribute, {Variant(target[0]), Variant(target[1]), Variant(stored(control))}),
                  Variant(true));
        EXPECT_TRUE(stored(again) == stored(control));
    }
    for (bool complete : {false, true}) {
        const QString written = writtenBy(control, kind, complete);
        EXPECT_TRUE(written.contains(c.shows)) << written.left(400).toStdString();
        EXPECT_LE(written.size(), kind == Kind::Data ? vizorb::kMaxXmlText : vizorb::kMaxMarkupText);
        vizorb::VizorbControl fresh(QStringLiteral("7.00"));
        ASSERT_EQ(fresh.get(kind == Kind::Data ? id::LoadDataXml : id::LoadCustomizingXml, {Variant(written)}),
                  Variant(true))
            << fresh.get(id::LastErrorText).toString().toStdString();
        EXPECT_EQ(writtenBy(fresh, kind, complete), written);
        if (c.kind == Kind::Set) {
            EXPECT_TRUE(stored(fresh) == stored(control));
        }
        if (kind == Kind::Data)
            break;
    }
}

QString data(const QString& body)
{
    return QStringLiteral("<ChartData>") + body + QStringLiteral("</ChartData>");
}

QString caption(const QString& value)
{
    return QStringLiteral("<Customizing><Title Caption=\"") + value + QStringLiteral("\"/></Customizing>");
}

TEST(RoundTrip, WhatIsTakenIsWrittenAndReadBackUnchanged)
{
    const QString c1 = QString(QChar(1)), esc = QString(QChar(0x1B)), nul = QString(QChar(0));
    const QString lone = QString(QChar(0xD800)), pair = QString::fromUcs4(U"\U0001D11E");
    const std::vector<Case> cases = {
        // times: normalised to UTC, refused when that leaves the years 1 to 9999
        {"time past year 9999 in UTC",
         Kind::Data,
         data("<Times>2024-01-01;9999-12-31T23:00:00-05:00</Times>"),
         {},
         Expect::Refused,
         "Time 2 in <Times> is \"9999-12-31T23:00:00-05:00\", which lies outside"},
        {"time before year 1 in UTC",
         Kind::Data,
         data("<Times>0001-01-01T00:30:00+01:00</Times>"),
         {},
         Expect::Refused,
         "Time 1 in <Times>"},
        {"last millisecond",
         Kind::Data,
         data("<Times>9999-12-31T23:59:59.999Z;0001-01-01T00:00:00Z</Times>"),
         {},
         Expect::Taken,
         "<Times>9999-12-31T23:59:59.999Z;0001-01-01</Times>"},
        {"offsets and forms",
         Kind::Data,
         data("<Times>2024-03-31T02:30:00+01:00;2024-03-31 12:00;2024-03-31T12:00:00,25;2024-03-31T24:00;"
              "2024-03-31T12:00:00.9999z;2024-03-31T12+0130</Times>"),
         {},
         Expect::Taken,
         "<Times>2024-03-31T01:30:00Z;2024-03-31T12:00:00Z;2024-03-31T12:00:00.25Z;2024-04-01;"
         "2024-03-31T12:00:01Z;2024-03-31T10:30:00Z</Times>"},
        {"not times", Kind::Data, data("<Times>2024-02-30</Times>"), {}, Expect::Refused, "not a time"},
        {"hour 25", Kind::Data, data("<Times>2024-02-01T25:00</Times>"), {}, Expect::Refused, "not a time"},
        {"open offset", Kind::Data, data("<Times>2024-02-01T12:00+01:</Times>"), {}, Expect::Refused, "not a time"},
        // numbers: the shortest form that reads back to the same double
        {"extreme data",
         Kind::Data,
         data("<Series Name='a'>1.7976931348623157e308;5e-324;-0;0.30000000000000004;1e5;.5</Series>"),
         {},
         Expect::Taken,
         ">1.7976931348623157e+308;5e-324;-0;0.30000000000000004;100000;0.5<"},
        {"sign after sign", Kind::Data, data("<Series>+-1</Series>"), {}, Expect::Refused, "\"+-1\", not a number"},
        {"two plus signs", Kind::Data, data("<X>++1</X>"), {}, Expect::Refused, "not a number"},
        {"largest maximum", Kind::Set, "ValueAxis|Maximum", "1.7976931348623157e308", Expect::Taken,
         "Maximum=\"1.7976931348623157e+308\""},
        {"smallest minimum", Kind::Set, "ValueAxis|Minimum", "4.9e-324", Expect::Taken, "Minimum=\"5e-324\""},
        {"many digits", Kind::Set, "ValueAxis|Minimum", "0.1" + QString(70, u'0') + "1", Expect::Taken,
         "Minimum=\"0.1\""},
        {"plus minus maximum", Kind::Set, "ValueAxis|Maximum", "+-1", Expect::Refused, "must be a number"},
        {"beyond the largest", Kind::Set, "ValueAxis|Maximum", "1.8e308", Expect::Refused, "must be a number"},
        {"loaded extreme",
         Kind::Customizing,
         "<Customizing><ValueAxis Minimum='-1.7976931348623157e308'/></Customizing>",
         {},
         Expect::Taken,
         "Minimum=\"-1.7976931348623157e+308\""},
        // characters XML cannot carry are a value of the wrong form
        {"U+0001", Kind::Set, "Title|Caption", "a" + c1, Expect::Refused, "U+0001"},
        {"escape", Kind::Set, "Series2|Caption", esc, Expect::Refused, "U+001B"},
        {"nul", Kind::Set, "Subtitle|Caption", nul, Expect::Refused, "U+0000"},
        {"U+FFFE", Kind::Set, "ValueAxis.Title|Caption", QString(QChar(0xFFFE)), Expect::Refused, "U+FFFE"},
        {"lone surrogate", Kind::Set, "Title|Caption", "x" + lone, Expect::Refused, "U+D800"},
        {"number format control", Kind::Set, "ValueAxis|NumberFormat", "%.1f" + esc, Expect::Refused, "U+001B"},
        {"tabs, line ends, a pair", Kind::Set, "Title|Caption", "a\tb\r\nc\"<&>" + pair, Expect::Taken,
         "Caption=\"a&#9;b&#13;&#10;c&quot;&lt;&amp;&gt;&#119070;\""},
        {"references", Kind::Customizing, caption("&#9;&#10;&#13; &#65533;&#119070;"), {}, Expect::Taken},
        {"bad reference", Kind::Customizing, caption("&#65534;"), {}, Expect::Refused},
        // bounds: a caption of 65,536 characters is taken, one more is not
        {"long caption", Kind::Set, "Title|Caption", QString(vizorb::schema::kMaxValueLength, QLatin1Char('"')),
         Expect::Taken},
        {"overlong caption", Kind::Set, "Title|Caption", QString(vizorb::schema::kMaxValueLength + 1, u'x'),
         Expect::Refused, "at most 65536 characters"},
        // names and labels hold what the reader gives them
        {"names",
         Kind::Data,
         data("<Categories><Category>a&#9;b&#13;&#10;c</Category><Category> </Category></Categories>"
              "<Series Name='t&#9;ab\"&lt;'>1;</Series><Series>;2</Series>"),
         {},
         Expect::Taken,
         "<Series Name=\"Series2\">;2</Series>"},
        {"raw line end in a name",
         Kind::Data,
         data("<Series Name='a\nb'>1</Series>"),
         {},
         Expect::Taken,
         "Name=\"a b\""},
        {"x and padding",
         Kind::Data,
         data("<X>1;2;3e-7</X><Series>1</Series>"),
         {},
         Expect::Taken,
         "<X>1;2;3e-07</X>\n  <Series Name=\"Series1\">1;;</Series>"},
        // every attribute's kind at its edges: what is taken is stored in the form written
        {"negative zero", Kind::Set, "ValueAxis|Minimum", "-0", Expect::Taken, "Minimum=\"-0\""},
        {"subnormal", Kind::Set, "ValueAxisSec|Maximum", " 1e-320 ", Expect::Taken, "Maximum=\"1e-320\""},
        {"plus sign", Kind::Set, "CategoryAxis|Minimum", "+1e5", Expect::Taken, "Minimum=\"100000\""},
        {"hexadecimal", Kind::Set, "ValueAxis|Minimum", "0x10", Expect::Refused, "must be a number"},
        {"infinity", Kind::Set, "ValueAxis|Minimum", "-inf", Expect::Refused, "must be a number"},
        {"not a number", Kind::Set, "ValueAxis|Maximum", "nan", Expect::Refused, "must be a number"},
        {"tiny font", Kind::Set, "GlobalSettings|FontSize", "5e-324", Expect::Taken, "FontSize=\"5e-324\""},
        {"font past 200", Kind::Set, "Title|FontSize", "200.0000000000001", Expect::Refused, "at most 200"},
        {"width -0", Kind::Set, "Series1|LineWidth", "-0", Expect::Refused, "greater than 0"},
        {"colour name", Kind::Set, "Title|Color", " Red ", Expect::Taken, "Color=\"#ff0000\""},
        {"colour #RGB", Kind::Set, "Legend|Color", "#ABC", Expect::Taken, "Color=\"#aabbcc\""},
        {"colour case", Kind::Set, "Subtitle|Color", "#AbCdEf", Expect::Taken, "Color=\"#abcdef\""},
        {"colour with alpha", Kind::Set, "Series1|Color", "#80ff0000", Expect::Either},
        {"no colour", Kind::Set, "Series3|Color", " ", Expect::Taken},
        {"boolean -1", Kind::Set, "Legend|Visible", "-1", Expect::Taken, "Visible=\"true\""},
        {"boolean TRUE", Kind::Set, "ValueAxis|GridLines", "TRUE", Expect::Taken, "GridLines=\"true\""},
        {"position in other case", Kind::Set, "legend|position", " lEfT ", Expect::Taken, "Position=\"Left\""},
        {"family trimmed", Kind::Set, "Title|FontFamily", " DejaVu Sans ", Expect::Taken, "FontFamily=\"DejaVu Sans\""},
        {"family beyond Latin-1", Kind::Set, "Legend|FontFamily", QString::fromUtf8("A\u0301rial \u65e5\u672c"),
         Expect::Taken, "FontFamily=\"A&#769;rial &#26085;&#26412;\""},
        {"format with blanks", Kind::Set, "ValueAxis|NumberFormat", QString::fromUtf8(" %.1f \u20ac\t"), Expect::Taken,
         "NumberFormat=\" %.1f &#8364;&#9;\""},
        {"hidden properties", Kind::Set, "Control|HideProperties", "Legend.Position| Title ", Expect::Taken},
        {"C1 and other blanks", Kind::Set, "Title|Caption",
         QString(QChar(0x85)) + QChar(0x2028) + QChar(0xA0) + QChar(0x7F) + QChar(0x9F) + QChar(0xFEFF), Expect::Taken},
        {"lone CR, blanks at the ends", Kind::Set, "Subtitle|Caption", "  a\rb\n\r  ", Expect::Taken,
         "Caption=\"  a&#13;b&#10;&#13;  \""},
        {"markup in a caption", Kind::Set, "Title|Caption", "]]> '\" &amp; <![CDATA[x]]>", Expect::Taken},
        {"noncharacters", Kind::Set, "Title|Caption",
         QString(QChar(0xFDD0)) + QString::fromUcs4(U"\U0001FFFE\U0010FFFE") + QChar(0xE000), Expect::Taken},
        {"U+FFFF", Kind::Set, "Title|Caption", QString(QChar(0xFFFF)), Expect::Refused, "U+FFFF"},
        {"pair reversed", Kind::Set, "Title|Caption", QString(QChar(0xDC00)) + QChar(0xD800), Expect::Refused,
         "U+DC00"},
        {"65,536 units of pairs", Kind::Set, "Title|Caption", QString::fromUcs4(U"\U0010FFFF").repeated(32'768),
         Expect::Taken},
        {"65,537 blanks", Kind::Set, "Title|Caption", QString(65'537, u' '), Expect::Refused, "at most 65536"},
        {"raw white space in a value",
         Kind::Customizing,
         caption("a\tb\r\nc\rd\ne  "),
         {},
         Expect::Taken,
         "Caption=\"a b c d e  \""},
        {"nested and flat, any case",
         Kind::Customizing,
         "<Customizing><ValueAxis Minimum=' 1e5 '><Title Caption='x'/><Unit Caption='y'/></ValueAxis>"
         "<categoryaxis.title caption='z'/><SERIES12 color='Blue'/></Customizing>",
         {},
         Expect::Taken,
         "Color=\"#0000ff\""},
        {"nested written",
         Kind::Customizing,
         "<Customizing><Control Version='1' UseNewCustomizing='1'/><ValueAxis><Title Caption='a&#10;b'/>"
         "</ValueAxis><Series3 Caption=' '/></Customizing>",
         {},
         Expect::Taken,
         "\n    <Title Caption=\"a&#10;b\""},
        {"raw U+FFFE", Kind::Customizing, caption(QString(QChar(0xFFFE))), {}, Expect::Refused},
        // data: labels and names as read, numbers and times in their shortest form
        {"labels and names",
         Kind::Data,
         data("<Categories><Category>  a\r\nb\rc  </Category><Category/><Category><![CDATA[]]]]><![CDATA[>&<]]>"
              "</Category><Category>a</Category></Categories><Series Name=''>1;2;3;4</Series>"
              "<Series Name=' '>;;;</Series><Series Name='a'/><Series Name='a\t&#9;b&#13;&#10;\r\nc'></Series>"),
         {},
         Expect::Taken,
         "<Category>]]&gt;&amp;&lt;</Category>"},
        {"names beyond Latin-1 and C1",
         Kind::Data,
         data(QString::fromUtf8("<Series Name='\u00e4\u20ac\U0001D11E\u0085\u0080'>1</Series>")),
         {},
         Expect::Taken,
         "Name=\"\u00e4&#8364;&#119070;\u0085\u0080\""},
        {"raw U+FFFE in a label",
         Kind::Data,
         data("<Categories><Category>" + QString(QChar(0xFFFE)) + "</Category></Categories>"),
         {},
         Expect::Refused},
        {"only empty lists",
         Kind::Data,
         data("<Series Name='x'> </Series><Series></Series><Categories/>"),
         {},
         Expect::Taken},
        {"numbers",
         Kind::Data,
         data("<Series>+1; 1;1E5;-0;0e0;-.5;5.;00012;1e-320</Series>"),
         {},
         Expect::Taken,
         ">1;1;100000;-0;0;-0.5;5;12;1e-320<"},
        {"no numbers", Kind::Data, data("<Series>0x10</Series>"), {}, Expect::Refused, "not a number"},
        {"infinite", Kind::Data, data("<X>inf</X>"), {}, Expect::Refused, "not a number"},
        {"times near the bounds",
         Kind::Data,
         data("<Times>2024-02-29;2000-02-29T24:00;0001-01-01T23:59-23:59;9999-12-31T00:00+23:59;"
              "9999-12-31T23:59:59.9994Z</Times>"),
         {},
         Expect::Taken,
         "<Times>2024-02-29;2000-03-01;0001-01-02T23:58:00Z;9999-12-30T00:01:00Z;9999-12-31T23:59:59.999Z</Times>"},
        {"fractions of a millisecond",
         Kind::Data,
         data("<Times>2024-01-01T00:00:00.0001;2024-01-01T00:00:00.0005;2024-01-01 00:00:00,999949999</Times>"),
         {},
         Expect::Taken,
         "<Times>2024-01-01;2024-01-01T00:00:00.001Z;2024-01-01T00:00:01Z</Times>"},
        {"rounded past year 9999",
         Kind::Data,
         data("<Times>9999-12-31T23:59:59.9995Z</Times>"),
         {},
         Expect::Refused,
         "outside the years"},
        {"long lists read without the reader",
         Kind::Data,
         data("<Times>" + QString("2024-02-29 12:00:00.5+01:00 ;\r\n").repeated(800) + "2024-02-29</Times><X>" +
              QString("\t-0;1e5;+7;5e-324;\r").repeated(200) + "1</X><Series Name='long'>" +
              QString(" 1.7976931348623157e308;\n;-.5;").repeated(267).chopped(1) + "</Series><Series>" +
              QString(100, u';') + "</Series>"),
         {},
         Expect::Taken,
         "<Series Name=\"Series2\">;;;"},
        {"a sign after a sign in a long list",
         Kind::Data,
         data("<Series>" + QString("1;2;").repeated(2000) + "+-1</Series>"),
         {},
         Expect::Refused,
         "\"+-1\""},
    };
    for (const Case& c : cases)
        checkRoundTrip(c);
}

TEST(RoundTrip, SeedCorporaComeBackUnchanged)
{
    int files = 0;
    for (auto [folder, kind] :
         {std::pair("vizorb_data_xml", Kind::Data), std::pair("vizorb_customizing_xml", Kind::Customizing)}) {
        QDirIterator it(QStringLiteral(PLOTWRIGHT_SOURCE_DIR "/fuzz/corpus/") + QLatin1String(folder), QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray name = file.fileName().toUtf8();
            // The extremes must be taken, as they are to seed the fuzzers.
            checkRoundTrip({name.constData(),
                            kind,
                            QString::fromLatin1(file.readAll()),
                            {},
                            name.contains("extremes") ? Expect::Taken : Expect::Either});
            ++files;
        }
    }
    EXPECT_GT(files, 8);
}

// Escaping grows a text up to eightfold ("&#8364;" sevenfold): what would be written
// beyond what the reader takes is refused when it is set or loaded.
TEST(RoundTrip, WritersStayWithinTheReadersBounds)
{
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    const QString euros(vizorb::schema::kMaxValueLength, QChar(0x20AC));
    int taken = 0;
    for (int i = 1; i <= 80; ++i)
        taken += control
                     .call(id::SetAttribute,
                           {Variant(QStringLiteral("Series%1").arg(i)), Variant("Caption"), Variant(euros)})
                     .toBoolean();
    EXPECT_GT(taken, 60);
    EXPECT_LT(taken, 80);
    EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("Written out")));
    const QString written = control.get(id::GetCustomizingXml, {Variant(true)}).toString();
    vizorb::VizorbControl fresh(QStringLiteral("7.00"));
    EXPECT_EQ(fresh.get(id::LoadCustomizingXml, {Variant(written)}), Variant(true))
        << written.size() << fresh.get(id::LastErrorText).toString().toStdString();

    QString categories;
    for (int i = 0; i < 80; ++i)
        categories += QStringLiteral("<Category>") + euros + QStringLiteral("</Category>");
    EXPECT_EQ(control.get(id::LoadDataXml, {Variant(data("<Categories>" + categories + "</Categories>"))}),
              Variant(false));
    EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("Written out")));

    // A number grows up to fourfold: "1e14" is written 100000000000000.
    QString numbers = QStringLiteral("1e14;").repeated(vizorb::kMaxXmlText / 16 + 1000);
    numbers.chop(1);
    EXPECT_EQ(control.get(id::LoadDataXml, {Variant(data("<Series>" + numbers + "</Series>"))}), Variant(false));
    EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String("Written out")));
}

// A time without a zone is UTC whatever the machine's zone: no time falls
// into a daylight-saving gap.
TEST(RoundTrip, TimesWithoutAZoneAreUtcInEveryZone)
{
    const QByteArray saved = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    for (const char* zone : {"Europe/Berlin", "America/New_York"}) {
        qputenv("TZ", zone);
        tzset();
        vizorb::VizorbControl control(QStringLiteral("7.00"));
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data("<Times>2024-03-31T02:30:00;2024-03-10T02:30:00;"
                                                             "2024-10-27T02:30;2024-11-03T01:30:00</Times>"))}),
                  Variant(true))
            << zone << ": " << control.get(id::LastErrorText).toString().toStdString();
        EXPECT_TRUE(control.get(id::GetDataXml)
                        .toString()
                        .contains(QLatin1String("<Times>2024-03-31T02:30:00Z;2024-03-10T02:30:00Z;"
                                                "2024-10-27T02:30:00Z;2024-11-03T01:30:00Z</Times>")))
            << zone;
    }
    if (had)
        qputenv("TZ", saved);
    else
        qunsetenv("TZ");
    tzset();
}

TEST(RoundTrip, EscapedLengthIsWhatEscapingWrites)
{
    for (const QString& text :
         {QStringLiteral("a\tb\r\n\"<&>\u00e4\u20ac\ufffd"), QString::fromUcs4(U"\U0001D11E\U0010FFFF"),
          QString(QChar(0xD800)), QStringLiteral("\u0009\u0063\u0999\u9999")})
        EXPECT_EQ(vizorb::escapedLength(text), vizorb::escapeXml(text).size()) << text.toStdString();
}

TEST(RoundTrip, DataTextKeepsOnePointALine)
{
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data("<Categories><Category>a&#9;b&#13;&#10;c</Category>"
                                                         "</Categories><Series Name='x&#10;y'>0.1</Series>"))}),
              Variant(true));
    EXPECT_EQ(control.get(id::DataText).toString(), QStringLiteral("\tx y\r\na b  c\t0.1\r\n"));
    // Times are labelled as they are written: a millisecond may tell two apart.
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data("<Times>2024-01-01T00:00:00.001Z;2024-01-01</Times>"
                                                         "<Series>1;-0</Series>"))}),
              Variant(true));
    EXPECT_EQ(control.get(id::DataText).toString(),
              QStringLiteral("\tSeries1\r\n2024-01-01T00:00:00.001Z\t1\r\n2024-01-01\t-0\r\n"));
}

} // namespace
