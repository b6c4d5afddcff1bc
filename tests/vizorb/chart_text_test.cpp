// The chart's own texts (title, subtitle, legend, slice labels) as drawn in its scene.
#include "vizorb/chart/chart_decor.h"
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

struct Drawn {
    QString text; // lines joined with a space
    QRectF box;   // view coordinates
    bool ours;    // an item of the chart itself, not of an axis or series
};

QList<Drawn> drawnTexts(vizorb::ChartView& view)
{
    QList<Drawn> all;
    for (QGraphicsItem* item : view.scene()->items()) {
        if (!item->isVisible())
            continue;
        QString text;
        if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            text = simple->text();
        else if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item))
            text = rich->toPlainText();
        if (text.isEmpty())
            continue;
        text.replace(QChar(0x2028), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QRectF box = view.mapFromScene(item->mapToScene(item->boundingRect())).boundingRect();
        all.append({text, box, item->parentItem() == view.chart()});
    }
    return all;
}

QString data(int series, const QStringList& categories, const QString& seriesName)
{
    QString xml = QStringLiteral("<ChartData><Categories>");
    for (const QString& c : categories)
        xml += QStringLiteral("<Category>%1</Category>").arg(c.toHtmlEscaped());
    xml += QStringLiteral("</Categories>");
    for (int s = 0; s < series; ++s) {
        QStringList values;
        for (qsizetype i = 0; i < categories.size(); ++i)
            values << QString::number(3 + (s * 7 + i * 5) % 11);
        xml += QStringLiteral("<Series Name=\"%1\">%2</Series>")
                   .arg(seriesName.arg(s + 1).toHtmlEscaped(), values.join(QLatin1Char(';')));
    }
    return xml + QStringLiteral("</ChartData>");
}

TEST(ChartTextTest, TextsAreDrawnWholeApartAndAsTheirCharacters)
{
    const QString longTitle = QStringLiteral("Revenue of every product line in every region of the company, by quarter "
                                             "and by the currency it was booked in, before and after returns");
    const QString subtitle = QStringLiteral("Figures in thousands, unaudited, as reported by the regional offices");
    const QStringList quarters = {"Q1", "Q2", "Q3", "Q4"};
    const QStringList longSlices = {"Europe, Middle East and Africa",  "North and Central America",
                                    "South America and the Caribbean", "Asia and the Pacific islands",
                                    "Australia and New Zealand",       "Other regions not listed above",
                                    "Returns and credit notes"};
    struct Case {
        const char* what;
        const char* type;
        QString data;
        QList<QStringList> settings; // path, attribute, value
        QStringList whole;           // texts drawn whole, each as one item
        int sliceLabels = 0;         // labels ending in "%)"
        bool valueLabels = false;
    };
    QList<Case> cases = {
        {"long title",
         "Columns",
         data(3, quarters, "Region %1"),
         {{"Title", "Caption", longTitle}, {"Subtitle", "Caption", subtitle}},
         {longTitle, subtitle}},
        {"markup",
         "Lines",
         data(2, {"<b>Bold</b>", "x &amp; y"}, "<i>S%1</i>"),
         {{"Title", "Caption", "<u>T</u> &amp;"},
          {"Subtitle", "Caption", "sub"},
          {"Subtitle", "FontFamily", "x'; font-size:72pt"}},
         {"<u>T</u> &amp;", "sub", "<i>S1</i>", "<i>S2</i>"}},
        {"pie",
         "Pie",
         data(2, longSlices, "Year %1"),
         {{"Title", "Caption", "Regions"}},
         QStringList{"Regions", "Year 1 (the first of 2 series)"} + longSlices,
         7},
        {"hint",
         "TimeScatter",
         data(1, quarters, "S%1"),
         {},
         {"A TimeScatter chart needs time values: give the data a <Times> list."}},
        {"doughnut",
         "Doughnut",
         data(3, longSlices, "Year %1"),
         {},
         QStringList{"Year 1", "Year 2", "Year 3"} + longSlices,
         0,
         true},
    };
    Case names{"long names",
               "Columns",
               data(8, quarters, "Sales of the %1th region after returns and credit notes"),
               {{"Legend", "Position", "Right"}},
               {}};
    for (int s = 1; s <= 8; ++s)
        names.whole << QStringLiteral("Sales of the %1th region after returns and credit notes").arg(s);
    cases << names;
    Case rings{"30 rings", "Doughnut", data(30, quarters, "Branch office %1"), {}, {"Rings from the centre out:"}};
    for (int s = 1; s <= 30; ++s)
        rings.whole << QStringLiteral("Branch office %1").arg(s);
    cases << rings;
    for (const char* position : {"Top", "Bottom", "Left", "Right"}) {
        Case c{"30 series", "Lines", data(30, quarters, "Sales region %1"), {{"Legend", "Position", position}}, {}};
        for (int s = 1; s <= 30; ++s)
            c.whole << QStringLiteral("Sales region %1").arg(s);
        cases << c;
    }
    const QString shots = qEnvironmentVariable("VIZORB_SHOT_DIR");
    for (const Case& c : cases) {
        vizorb::VizorbControl control(QStringLiteral("7.00"));
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(c.type)});
        control.put(id::Mode12, Variant(c.valueLabels));
        for (const QStringList& s : c.settings)
            control.call(id::SetAttribute, {Variant(s[0]), Variant(s[1]), Variant(s[2])});
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(c.data)}), Variant(true)) << c.what;
        control.widget()->show();
        // Alone after the wizard, then beside it at step 1.
        for (const bool wizard : {false, true}) {
            const std::string where = std::string(c.what) + " " + c.settings.value(0).value(2).left(8).toStdString() +
                                      (wizard ? " wizard" : " alone");
            control.widget()->resize(815, wizard ? 498 : 526);
            if (wizard)
                control.get(id::GoToWizardStep, {Variant(std::int16_t(1))});
            QCoreApplication::processEvents();
            vizorb::ChartView& view = control.view();
            const QImage image = view.renderImage();
            if (!shots.isEmpty())
                image.save(
                    QStringLiteral("%1/%2.png").arg(shots, QString::fromStdString(where).remove(QLatin1Char('/'))));
            const QList<Drawn> texts = drawnTexts(view);
            QStringList seen;
            int labels = 0;
            for (const Drawn& t : texts) {
                seen << t.text;
                labels += t.text.endsWith(QLatin1String("%)"));
                EXPECT_FALSE(t.text.contains(QChar(0x2026)) || t.text.contains(QLatin1String("...")))
                    << where << ": " << t.text.toStdString();
                if (!t.ours)
                    continue;
                EXPECT_TRUE(QRectF(view.rect()).contains(t.box)) << where << ": " << t.text.toStdString();
                for (const Drawn& other : texts)
                    if (&other != &t && other.box.intersects(t.box))
                        ADD_FAILURE() << where << ": " << t.text.toStdString() << " overlaps "
                                      << other.text.toStdString();
            }
            for (const QString& w : c.whole)
                EXPECT_TRUE(seen.contains(w)) << where << ": " << w.toStdString();
            EXPECT_EQ(labels, c.sliceLabels) << where;
        }
    }
}

// Clicks on the legend and the title still name them.
TEST(ChartTextTest, LegendAndTitleAreHit)
{
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant("Sales")});
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data(3, {"A", "B"}, "Region %1"))}), Variant(true));
    control.widget()->resize(815, 526);
    control.widget()->show();
    for (const char* position : {"Top", "Bottom", "Left", "Right"}) {
        control.call(id::SetAttribute, {Variant("Legend"), Variant("Position"), Variant(position)});
        control.view().renderImage();
        for (const Drawn& t : drawnTexts(control.view())) {
            if (t.ours) {
                EXPECT_EQ(control.view().hitTest(t.box.center()).element,
                          t.text == QLatin1String("Sales") ? QStringLiteral("Title") : QStringLiteral("Legend"))
                    << position << " " << t.text.toStdString();
            }
        }
    }
}

// A tooltip is rich text, so that names with markup show their characters.
TEST(ChartTextTest, TooltipsShowTheirCharacters)
{
    const QString name = QStringLiteral("<b>S</b> &amp; <img src=\"x.png\">");
    const QString tip = vizorb::tooltipText(name);
    EXPECT_TRUE(Qt::mightBeRichText(tip));
    QTextDocument doc;
    doc.setHtml(tip);
    EXPECT_EQ(doc.toPlainText(), name);
}

// Lines break at spaces and after inner hyphens and slashes (kept at the line's end), inside a
// word only where it must, and never inside a character; the lines read back as the text.
TEST(ChartTextTest, WrapBreaksWhereAReaderExpects)
{
    const QFont font;
    const QFontMetricsF fm(font);
    const QString ae = QStringLiteral("e\u0301"), wide = QString::fromUcs4(U"\U0001D538");
    struct Case {
        QString text, widthOf, expected; // expected empty: only every line within the width
    };
    const Case cases[] = {
        {"Baden-Württemberg", "Baden-Württem", "Baden-\nWürttemberg"},
        {"Nordrhein-Westfalen", "Nordrhein-Westfalen", "Nordrhein-Westfalen"},
        {"Input/Output tables", "Input/Output", "Input/Output\ntables"},
        {"Input/Output", "Output", "Input/\nOutput"},
        {"-5 to a- b", "-5 to", "-5 to\na- b"},
        {"D: 9.87E-07", "9.87E-07", "D:\n9.87E-07"},
        {"Donaudampfschifffahrt", "Donau", ""},
        {ae.repeated(6), ae, ""},
        {wide.repeated(4), wide, ""},
    };
    for (const Case& c : cases) {
        const qreal width = fm.horizontalAdvance(c.widthOf);
        const QString lines = vizorb::wrapText(c.text, font, width);
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(lines, c.expected) << c.text.toStdString();
        }
        EXPECT_EQ(QString(lines).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')),
                  QString(c.text).remove(QLatin1Char(' ')))
            << c.text.toStdString();
        for (const QString& line : lines.split(QLatin1Char('\n'))) {
            EXPECT_FALSE(line.front().isMark() || line.front().isLowSurrogate()) << c.text.toStdString();
            EXPECT_LE(fm.horizontalAdvance(line), width + 1) << line.toStdString();
        }
    }
}

// A text beyond what any layout shows is cut once, before it is laid out.
TEST(ChartTextTest, HugeTitleIsShortened)
{
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    QString title;
    for (int i = 0; i < 7000; ++i)
        title += QStringLiteral("word%1 ").arg(i % 10, 4, 10, QLatin1Char('0'));
    control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant(title)});
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data(1, {"A"}, "S%1"))}), Variant(true));
    control.widget()->resize(815, 526);
    control.widget()->show();
    control.view().renderImage();
    bool found = false;
    for (const Drawn& t : drawnTexts(control.view()))
        if (t.text.startsWith(QLatin1String("word0000"))) {
            found = true;
            EXPECT_LE(t.text.size(), vizorb::kMaxDrawnText);
            EXPECT_TRUE(t.text.endsWith(QChar(0x2026)));
            EXPECT_TRUE(QRectF(control.view().rect()).contains(t.box));
        }
    EXPECT_TRUE(found);
}

} // namespace
