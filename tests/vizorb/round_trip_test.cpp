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
    if (c.kind == Kind::Set) {
        const QStringList target = c.input.split(QLatin1Char('|'));
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
    for (bool complete : {false, true}) {
        const QString written = writtenBy(control, kind, complete);
        EXPECT_TRUE(written.contains(c.shows)) << written.left(400).toStdString();
        EXPECT_LE(written.size(), kind == Kind::Data ? vizorb::kMaxXmlText : vizorb::kMaxMarkupText);
        vizorb::VizorbControl fresh(QStringLiteral("7.00"));
        ASSERT_EQ(fresh.get(kind == Kind::Data ? id::LoadDataXml : id::LoadCustomizingXml, {Variant(written)}),
                  Variant(true))
            << fresh.get(id::LastErrorText).toString().toStdString();
        EXPECT_EQ(writtenBy(fresh, kind, complete), written);
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
}

} // namespace
