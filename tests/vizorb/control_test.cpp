#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/model/chart_model.h"
#include "vizorb/wizard/wizard_panel.h"

#include "platform/picture.h"
#include "platform/runtime_error.h"
#include "tests/support/runtime_errors.h"

#include <QAbstractAxis>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using platform::InvokeKind;
using platform::Variant;
namespace id = vizorb::dispid;

QString exampleText(const char* name)
{
    QFile file(QStringLiteral(PLOTWRIGHT_SOURCE_DIR "/examples/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // As the program hands files over: one character per byte.
    return QString::fromLatin1(file.readAll());
}

QImage picture(vizorb::VizorbControl& control)
{
    return control.get(id::ChartPicture).toObjectOf<platform::Picture>()->image();
}

int countNear(const QImage& image, QColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) + std::abs(c.green() - color.green()) +
                    std::abs(c.blue() - color.blue()) <
                12)
                ++count;
        }
    return count;
}

struct Recorder : platform::EventSink {
    struct Event {
        int index;
        std::vector<Variant> args;
    };
    std::vector<Event> events;
    void onEvent(int index, std::span<Variant> args) override
    {
        events.push_back({index, std::vector<Variant>(args.begin(), args.end())});
    }
};

class ControlTest : public ::testing::Test {
protected:
    ControlTest() { control.widget()->resize(815, 526); }
    vizorb::VizorbControl control{QStringLiteral("7.00")};
};

TEST_F(ControlTest, ArgumentsAreCheckedAsTheRuntimeDoes)
{
    struct Case {
        const char* what;
        platform::DispId id;
        InvokeKind kind;
        std::vector<Variant> args;
        int error;
    };
    const std::vector<Case> cases = {
        {"missing argument", id::SetAttribute, InvokeKind::Method, {Variant("Title"), Variant("Caption")}, 449},
        {"too many",
         id::GetAttribute,
         InvokeKind::PropertyGet,
         {Variant("Title"), Variant("Caption"), Variant("x")},
         450},
        {"object for a string",
         id::LoadDataXml,
         InvokeKind::PropertyGet,
         {Variant(std::shared_ptr<platform::Object>(std::make_shared<platform::Picture>(QImage())))},
         13},
        {"text for a step", id::GoToWizardStep, InvokeKind::PropertyGet, {Variant("two")}, 13},
        {"text for a Boolean", id::UpdateEnabled, InvokeKind::PropertyPut, {Variant("maybe")}, 13},
        {"unknown identifier", 99, InvokeKind::Method, {}, 438},
        {"put on a method", id::PrintChart, InvokeKind::PropertyPut, {Variant(true)}, 438},
        {"put on a read-only property", id::LastErrorText, InvokeKind::PropertyPut, {Variant("x")}, 383},
        {"unknown language", id::Language, InvokeKind::PropertyPut, {Variant("XX")}, 5},
    };
    for (const Case& c : cases) {
        std::vector<Variant> args = c.args;
        EXPECT_EQ(fakes::runtimeErrorOf([&] { control.invoke(c.id, c.kind, args); }), c.error) << c.what;
    }
}

TEST_F(ControlTest, DataShowsThePaletteColoursWhereTheBarsAre)
{
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ColorPalette"), Variant("Tradeshow")});
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    const QImage image = picture(control);
    ASSERT_EQ(image.size(), QSize(815, 526));
    const QList<QColor> tradeshow = vizorb::schema::paletteColors(QStringLiteral("Tradeshow"));
    for (int s = 0; s < 4; ++s)
        EXPECT_GT(countNear(image, tradeshow[s]), 300) << "series " << s + 1;

    // One series: the middle of each bar has the first palette colour.
    ASSERT_EQ(
        control.get(id::LoadDataXml, {Variant("<ChartData><Categories><Category>A</Category><Category>B</Category>"
                                              "</Categories><Series Name='S'>40;80</Series></ChartData>")}),
        Variant(true));
    const QImage single = picture(control);
    QChart* chart = control.view().chart();
    auto* series = chart->series().constFirst();
    for (int i = 0; i < 2; ++i) {
        const QPointF at = chart->mapToPosition(QPointF(i, (i + 1) * 20.0), series);
        EXPECT_EQ(single.pixelColor(at.toPoint()).name(), tradeshow[0].name()) << "bar " << i;
    }
    EXPECT_EQ(countNear(single, tradeshow[1]), 0);
}

TEST_F(ControlTest, CustomizingRoundTripsIntoAFreshControl)
{
    control.call(id::SetAttribute, {Variant("Control"), Variant("UseNewCustomizing"), Variant("true")});
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(exampleText("tradeshow-columns.xml"))}), Variant(true));
    control.call(id::SetAttribute, {Variant("Series2"), Variant("Color"), Variant("#123456")});
    for (bool complete : {false, true}) {
        const QString text = control.get(id::GetCustomizingXml, {Variant(complete)}).toString();
        vizorb::VizorbControl fresh(QStringLiteral("7.00"));
        fresh.widget()->resize(815, 526);
        ASSERT_EQ(fresh.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
        ASSERT_EQ(fresh.get(id::LoadCustomizingXml, {Variant(text)}), Variant(true))
            << fresh.get(id::LastErrorText).toString().toStdString();
        EXPECT_EQ(fresh.get(id::GetCustomizingXml, {Variant(complete)}).toString(), text);
        EXPECT_EQ(picture(fresh), picture(control)) << "complete " << complete;
    }
    // More series than the customizing can name: the complete text still reads back.
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(QStringLiteral("<ChartData>%1</ChartData>")
                                                        .arg(QStringLiteral("<Series>1</Series>").repeated(1200)))}),
              Variant(true));
    const QString complete = control.get(id::GetCustomizingXml, {Variant(true)}).toString();
    EXPECT_EQ(control.get(id::LoadCustomizingXml, {Variant(complete)}), Variant(true))
        << control.get(id::LastErrorText).toString().toStdString();
}

TEST_F(ControlTest, AddingKeepsWhatTheAddedTextDoesNotName)
{
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(exampleText("tradeshow-columns.xml"))}), Variant(true));
    const QString added =
        QStringLiteral("<Customizing><Title Caption='Revenue'/><Legend Visible='false'/></Customizing>");
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(added), Variant(false)}), Variant(true));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Title"), Variant("Caption")}), Variant("Revenue"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Legend"), Variant("Visible")}), Variant("false"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("GlobalSettings"), Variant("ColorPalette")}),
              Variant("Tradeshow"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("ValueAxis.Unit"), Variant("Caption")}),
              Variant(QStringLiteral("k\u20ac")));
    // Replacing forgets the rest, but not the control's own settings.
    control.call(id::SetAttribute, {Variant("Control"), Variant("HidePoints"), Variant("true")});
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(added)}), Variant(true));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("GlobalSettings"), Variant("ColorPalette")}), Variant("Standard"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Control"), Variant("HidePoints")}), Variant("true"));
}

TEST_F(ControlTest, ARejectedLoadChangesNothingAndSaysWhere)
{
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(exampleText("tradeshow-columns.xml"))}), Variant(true));
    const QImage before = picture(control);
    const QString customizing = control.get(id::GetCustomizingXml).toString();
    const QString data = control.get(id::GetDataXml).toString();
    struct Case {
        platform::DispId id;
        const char* text;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {id::LoadCustomizingXml, "<Customizing>\n  <Title Caption='x'>\n</Customizing>", "Line 3, column"},
        {id::LoadCustomizingXml, "", "empty"},
        {id::LoadCustomizingXml, "<Customizing><Title Caption='New'/><Axis Visible='true'/></Customizing>",
         "Unknown element \"Axis\""},
        {id::LoadCustomizingXml, "<Customizing><ValueAxis><Title Colour='red'/></ValueAxis></Customizing>",
         "Unknown attribute \"Colour\" of element \"ValueAxis.Title\""},
        {id::LoadCustomizingXml, "<Customizing><ValueAxis Minimum='low'/></Customizing>",
         "Minimum of element \"ValueAxis\" must be a number"},
        {id::LoadDataXml, "<ChartData>\n<Series Name='A'>1;2;x</Series></ChartData>", "Line 2, column"},
        {id::LoadDataXml, "<ChartData><Series Name='A'>1;2;x</Series></ChartData>", "Value 3 of series \"A\""},
        {id::LoadDataXml, "<ChartData><Serie/></ChartData>", "Unknown element <Serie>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(control.get(c.id, {Variant(c.text)}), Variant(false)) << c.text;
        EXPECT_TRUE(control.get(id::LastErrorText).toString().contains(QLatin1String(c.expected)))
            << control.get(id::LastErrorText).toString().toStdString() << " for " << c.text;
    }
    EXPECT_EQ(control.get(id::GetCustomizingXml).toString(), customizing);
    EXPECT_EQ(control.get(id::GetDataXml).toString(), data);
    EXPECT_EQ(picture(control), before);
}

TEST_F(ControlTest, TheChartTypeListRestrictsWhatIsOffered)
{
    control.call(id::SetChartTypes,
                 {Variant("Lines|StackedLines|Profiles|StackedProfiles|Bars|StackedBars|Columns|StackedColumns|Area|"
                          "StackedArea|ProfileArea|StackedProfileArea|Pie|Doughnut|SplitPie|Polar|Radar|StackedRadar|"
                          "Scatter|TimeScatter|Speedometer|Portfolio|Histogram|Gantt|MTA|SmartMap")});
    EXPECT_EQ(control.model().offeredChartTypes(), vizorb::schema::chartTypes());
    control.call(id::SetChartTypes, {Variant("Pie|Gantt|Lines")});
    EXPECT_EQ(control.model().offeredChartTypes(), (QStringList{"Lines", "Pie"}));
    // A type nobody draws is never set under another's name.
    EXPECT_EQ(control.get(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant("Gantt")}),
              Variant(false));
}

TEST_F(ControlTest, VersionIsReadOnlyAndDataComesBack)
{
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Control"), Variant("Version")}), Variant("7.00"));
    EXPECT_EQ(control.get(id::SetAttribute, {Variant("Control"), Variant("Version"), Variant("9")}), Variant(false));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Control"), Variant("Version")}), Variant("7.00"));
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    const QString xml = control.get(id::GetDataXml).toString();
    vizorb::VizorbControl other(QStringLiteral("6.40"));
    ASSERT_EQ(other.get(id::LoadDataXml, {Variant(xml)}), Variant(true));
    EXPECT_EQ(other.model().data(), control.model().data());
    EXPECT_TRUE(control.get(id::DataText)
                    .toString()
                    .startsWith(QLatin1String("\tNorth\tSouth\tEast\tWest\r\nQ1 2024\t120\t98\t75\t143\r\n")));
    EXPECT_TRUE(control.get(id::DataText).toString().contains(QLatin1String("Q3 2024\t128\t121\t\t150")));
}

TEST_F(ControlTest, TemplateFileBecomesTheBase)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QFile file(dir.filePath(QStringLiteral("vizorb.tpl")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<Customizing><GlobalSettings ColorPalette='Earth'/><Title Caption='From template'/></Customizing>");
    file.close();
    control.put(id::TemplateFile, Variant("vizorb.tpl"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Title"), Variant("Caption")}), Variant("From template"));
    ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant("<Customizing><Title Caption='Own'/></Customizing>")}),
              Variant(true));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("GlobalSettings"), Variant("ColorPalette")}), Variant("Earth"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("Title"), Variant("Caption")}), Variant("Own"));
    control.put(id::TemplateFile, Variant("missing.tpl"));
    EXPECT_EQ(control.get(id::GetAttribute, {Variant("GlobalSettings"), Variant("ColorPalette")}), Variant("Standard"));
    QDir::setCurrent(old);
}

TEST_F(ControlTest, UpdateEnabledFalseHoldsRedraws)
{
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    const QImage before = picture(control);
    control.put(id::UpdateEnabled, Variant(false));
    control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant("Held")});
    EXPECT_EQ(picture(control), before);
    control.put(id::UpdateEnabled, Variant(true));
    EXPECT_NE(picture(control), before);
}

TEST_F(ControlTest, PrintingHonoursTheDialog)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    int asked = 0;
    control.setPrintDialogStep([&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return false;
    });
    control.call(id::PrintChart);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    control.setPrintDialogStep([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    control.call(id::PrintChart);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_GT(file.size(), 5000);
}

TEST_F(ControlTest, WizardStepsAndModes)
{
    control.call(id::ResetWizard);
    EXPECT_FALSE(control.wizard().isVisibleTo(control.widget()));
    EXPECT_EQ(control.get(id::GoToWizardStep, {Variant(std::int16_t(1))}), Variant(std::int16_t(1)));
    EXPECT_TRUE(control.wizard().isVisibleTo(control.widget()));
    control.call(id::FinishWizard);
    EXPECT_FALSE(control.wizard().isVisibleTo(control.widget()));
    for (platform::DispId mode : {id::Mode9, id::Mode11, id::Mode12}) {
        EXPECT_EQ(control.get(mode), Variant(false));
        control.put(mode, Variant(true));
        EXPECT_EQ(control.get(mode), Variant(true));
    }
    control.call(id::AddEntry, {Variant("testFolder"), Variant("testName"), Variant("testTooltip")});
    control.call(id::AddEntry, {Variant("testFolder"), Variant("testName"), Variant("newer")});
    ASSERT_EQ(control.entries().size(), 1);
    EXPECT_EQ(control.entries()[0].tooltip, QStringLiteral("newer"));
}

TEST_F(ControlTest, MouseEventsArriveInOrderWithTheClickedPoint)
{
    Recorder recorder;
    control.advise(&recorder);
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant("Lines")});
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    control.widget()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.widget()));
    picture(control);
    QChart* chart = control.view().chart();
    // The second series' third point.
    QAbstractSeries* south = nullptr;
    for (QAbstractSeries* s : chart->series())
        if (s->name() == QLatin1String("South"))
            south = s;
    ASSERT_NE(south, nullptr);
    const QPoint at = control.view().mapFromScene(chart->mapToScene(chart->mapToPosition(QPointF(2, 121), south)));
    QTest::mousePress(control.view().viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    QTest::mouseRelease(control.view().viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    ASSERT_EQ(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events[0].index, vizorb::event::MouseDown);
    EXPECT_EQ(recorder.events[0].args[0], Variant(std::int16_t(1)));
    EXPECT_EQ(recorder.events[0].args[1], Variant(std::int32_t(1)));
    EXPECT_EQ(recorder.events[0].args[2], Variant(float(at.x() * 15)));
    EXPECT_EQ(recorder.events[1].index, vizorb::event::MouseUp);
    EXPECT_EQ(recorder.events[2].index, vizorb::event::ObjectClicked);
    EXPECT_EQ(recorder.events[2].args,
              (std::vector<Variant>{Variant("Series"), Variant(std::int16_t(2)), Variant(std::int16_t(3))}));

    recorder.events.clear();
    const QRectF area = chart->plotArea();
    const QPoint below = control.view().mapFromScene(chart->mapToScene(QPointF(area.center().x(), area.bottom() + 8)));
    QTest::mouseClick(control.view().viewport(), Qt::RightButton, {}, below);
    ASSERT_EQ(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events[0].args[0], Variant(std::int16_t(2)));
    EXPECT_EQ(recorder.events[2].args[0], Variant("CategoryAxis"));
    control.advise(nullptr);
}

// A dense scatter is painted as one layer, yet a click still names its point;
// a point number beyond an Integer's range is reported as 0, never wrapped.
TEST_F(ControlTest, ClicksOnADenseScatterNameThePoint)
{
    QStringList x, y;
    for (int i = 0; i < 40000; ++i) {
        x << QString::number(i);
        y << (i == 100 ? QStringLiteral("50") : i == 39999 ? QStringLiteral("100") : QStringLiteral("0"));
    }
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant("Scatter")});
    ASSERT_EQ(
        control.get(id::LoadDataXml, {Variant(QStringLiteral("<ChartData><X>%1</X><Series>%2</Series></ChartData>")
                                                  .arg(x.join(';'), y.join(';')))}),
        Variant(true));
    control.widget()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.widget()));
    picture(control);
    Recorder recorder;
    control.advise(&recorder);
    QChart* chart = control.view().chart();
    for (const auto& [point, value, reported] : {std::tuple{100, 50.0, 101}, {39999, 100.0, 0}}) {
        const QPoint at = control.view().mapFromScene(
            chart->mapToScene(chart->mapToPosition(QPointF(point, value), chart->series().constFirst())));
        QTest::mouseClick(control.view().viewport(), Qt::LeftButton, {}, at);
        ASSERT_EQ(recorder.events.size(), 3u);
        EXPECT_EQ(recorder.events[2].args,
                  (std::vector<Variant>{Variant("Series"), Variant(std::int16_t(1)), Variant(std::int16_t(reported))}))
            << point;
        recorder.events.clear();
    }
    control.advise(nullptr);
}

// A missing value breaks a plain line or area, polar ones included, into
// pieces; a stack counts it as 0 and stays whole.
TEST_F(ControlTest, MissingValuesBreakLinesAndAreas)
{
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant("<ChartData><Series>5;8;;7;9</Series></ChartData>")}),
              Variant(true));
    // Plain areas add their outlines as lines of their own.
    const std::vector<std::pair<const char*, qsizetype>> cases = {
        {"Lines", 2}, {"Polar", 2}, {"Radar", 2}, {"Area", 4}, {"StackedArea", 1}, {"StackedLines", 1}};
    for (const auto& [type, pieces] : cases) {
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        picture(control);
        EXPECT_EQ(control.view().chart()->series().size(), pieces) << type;
    }
}

TEST_F(ControlTest, AxisCaptionsAndUnitsReachTheAxes)
{
    const QStringList paths = {"CategoryAxis.Title",   "CategoryAxis.Unit", "CategoryAxisSec.Title",
                               "CategoryAxisSec.Unit", "ValueAxis.Title",   "ValueAxis.Unit",
                               "ValueAxisSec.Title",   "ValueAxisSec.Unit"};
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(exampleText("quarterly-sales.xml"))}), Variant(true));
    control.call(id::SetAttribute, {Variant("CategoryAxisSec"), Variant("Visible"), Variant("true")});
    control.call(id::SetAttribute, {Variant("ValueAxisSec"), Variant("Visible"), Variant("true")});
    for (const QString& path : paths)
        control.call(id::SetAttribute, {Variant(path), Variant("Caption"), Variant(path)});
    for (const QString& path : paths)
        EXPECT_EQ(control.get(id::GetAttribute, {Variant(path), Variant("Caption")}), Variant(path));
    picture(control);
    QStringList titles;
    for (QAbstractAxis* axis : control.view().chart()->axes())
        if (axis->isVisible())
            titles << axis->titleText();
    titles.sort();
    EXPECT_EQ(titles,
              (QStringList{"CategoryAxis.Title [CategoryAxis.Unit]", "CategoryAxisSec.Title [CategoryAxisSec.Unit]",
                           "ValueAxis.Title [ValueAxis.Unit]", "ValueAxisSec.Title [ValueAxisSec.Unit]"}));
    // A hidden title leaves the unit alone; a hidden axis is not shown.
    control.call(id::SetAttribute, {Variant("ValueAxis.Title"), Variant("Visible"), Variant("false")});
    control.call(id::SetAttribute, {Variant("CategoryAxisSec"), Variant("Visible"), Variant("false")});
    picture(control);
    titles.clear();
    for (QAbstractAxis* axis : control.view().chart()->axes())
        titles << axis->titleText();
    EXPECT_TRUE(titles.contains(QStringLiteral("[ValueAxis.Unit]")));
    EXPECT_FALSE(titles.contains(QStringLiteral("CategoryAxisSec.Title [CategoryAxisSec.Unit]")));
}

// Large data never hangs the control: what Qt Charts cannot draw in time is
// refused with a hint, and gappy lines are joined instead of split apart.
TEST_F(ControlTest, LargeDataStaysDrawable)
{
    auto values = [](int count, bool gaps) {
        QStringList items;
        for (int i = 0; i < count; ++i)
            items << (gaps && i % 2 ? QString() : QString::number(i % 97));
        return items.join(QLatin1Char(';'));
    };
    struct Case {
        const char* type;
        int points;
        bool gaps;
        const char* hint; // "" when the chart is drawn
    };
    const std::vector<Case> cases = {{"Columns", 30000, false, ""},
                                     {"Pie", 2000, false, "slices are too many"},
                                     {"Radar", 400, false, "spokes are too many"},
                                     {"Lines", 40000, true, ""},
                                     {"Scatter", 200000, false, ""}};
    for (const Case& c : cases) {
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(c.type)});
        ASSERT_EQ(
            control.get(id::LoadDataXml, {Variant(QStringLiteral("<ChartData><Series Name='s'>%1</Series></ChartData>")
                                                      .arg(values(c.points, c.gaps)))}),
            Variant(true));
        const QImage image = picture(control);
        EXPECT_TRUE(control.view().hintText().contains(QLatin1String(c.hint))) << c.type;
        if (!*c.hint) {
            EXPECT_LE(control.view().chart()->series().size(), 2) << c.type;
            EXPECT_GT(countNear(image, control.model().seriesColor(0)), 500) << c.type;
        }
    }
    // The extremes of a double: ranges overflow, yet every type still draws.
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant("<ChartData><X>-1e308;0;1e308</X>"
                                                    "<Series>-1.7e308;;1.7e308</Series></ChartData>")}),
              Variant(true));
    for (const QString& type : vizorb::schema::chartTypes()) {
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        EXPECT_EQ(picture(control).size(), QSize(815, 526)) << type.toStdString();
    }
}

// Every chart type draws something of its own; with VIZORB_SHOT_DIR set the
// pictures are kept there for a person to look at.
TEST_F(ControlTest, EveryChartTypeDraws)
{
    const QString shots = qEnvironmentVariable("VIZORB_SHOT_DIR");
    QStringList data = {exampleText("quarterly-sales.xml"), exampleText("time-series.xml"),
                        exampleText("share-breakdown.xml")};
    control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant("Chart type")});
    control.call(id::SetAttribute, {Variant("CategoryAxis.Title"), Variant("Caption"), Variant("Category")});
    control.call(id::SetAttribute, {Variant("ValueAxis.Title"), Variant("Caption"), Variant("Value")});
    control.call(id::SetAttribute, {Variant("ValueAxis.Unit"), Variant("Caption"), Variant("k\u20ac")});
    // Without data every type shows its hint (polar types once crashed here).
    for (const QString& type : vizorb::schema::chartTypes()) {
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        EXPECT_EQ(picture(control).size(), QSize(815, 526)) << type.toStdString();
        EXPECT_FALSE(control.view().hintText().isEmpty()) << type.toStdString();
    }
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant("Columns")});
    const QImage empty = picture(control);
    if (!shots.isEmpty())
        empty.save(shots + QLatin1String("/NoData.png"));
    for (const QString& type : vizorb::schema::chartTypes()) {
        const int which = type.contains(QLatin1String("Time")) ? 1 : (type == "Pie" || type == "Doughnut") ? 2 : 0;
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data[which])}), Variant(true));
        control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant(type)});
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        const QImage image = picture(control);
        EXPECT_TRUE(control.view().hintText().isEmpty()) << type.toStdString();
        // Plain areas are translucent: the last one lies on top, over white.
        QColor expected = control.model().seriesColor(0);
        if (type == QLatin1String("Area")) {
            const QColor top = control.model().seriesColor(int(control.model().data().series.size()) - 1);
            expected = QColor(int(top.red() * 0.4 + 255 * 0.6), int(top.green() * 0.4 + 255 * 0.6),
                              int(top.blue() * 0.4 + 255 * 0.6));
        }
        EXPECT_GT(countNear(image, expected), 100) << type.toStdString();
        if (!shots.isEmpty())
            image.save(shots + QLatin1Char('/') + type + QLatin1String(".png"));
    }
}

} // namespace
