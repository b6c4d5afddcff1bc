#include "vizorb/model/chart_model.h"
#include "vizorb/wizard/wizard_page.h"
#include "vizorb/wizard/wizard_panel.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/data_xml.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <random>
#include <set>

using vizorb::ChartData;
using vizorb::ChartModel;
using vizorb::WizardPanel;

namespace {

class WizardPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ChartData data;
        data.categories = {QStringLiteral("Q1"), QStringLiteral("Q2"), QStringLiteral("Q3")};
        data.series = {{QStringLiteral("North"), {10, 20, 30}}, {QStringLiteral("South"), {5, 15, 25}}};
        model.setData(data);
        panel.resize(360, 640);
        panel.show();
        QApplication::setActiveWindow(&panel);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    }

    template <typename W> W* find(const char* name)
    {
        W* widget = panel.findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString stepTitle() { return find<QLabel>("wizardTitleLabel")->text(); }

    // The named control that holds focus, looking past inner editors.
    QString focusedControl()
    {
        for (QWidget* w = QApplication::focusWidget(); w && w != &panel; w = w->parentWidget())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                return w->objectName();
        return {};
    }

    // Every control reached by pressing Tab from the first one until focus comes back round.
    std::set<QString> tabCycle(const char* first)
    {
        std::set<QString> reached;
        find<QWidget>(first)->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 60; ++i) {
            reached.insert(focusedControl());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return reached;
    }

    // Opens the cell's editor with F2, as a keyboard user does, and types over it.
    static void typeIntoCell(QTableView* table, int row, int column, const char* text)
    {
        table->setFocus();
        table->setCurrentIndex(table->model()->index(row, column));
        QTest::keyClick(table, Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The view commits a cell on Return through a queued call.
        QCoreApplication::processEvents();
    }

    ChartModel model;
    WizardPanel panel{model};
};

TEST_F(WizardPanelTest, GoToStepShowsNearestValidStep)
{
    const struct {
        int asked, shown;
    } cases[] = {{0, 1}, {7, 6}, {-32768, 1}, {32767, 6}, {1, 1}, {4, 4}, {6, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(panel.goToStep(c.asked), c.shown) << c.asked;
        EXPECT_EQ(panel.currentStep(), c.shown) << c.asked;
    }
    panel.reset();
    EXPECT_EQ(panel.currentStep(), 0);
    EXPECT_EQ(stepTitle(), QString());
}

TEST_F(WizardPanelTest, TabReachesEveryControlOfEachStep)
{
    // Fixed bounds, so the minimum and maximum fields are enabled.
    model.setAttribute(QStringLiteral("CategoryAxis"), QStringLiteral("Minimum"), QStringLiteral("0"));
    model.setAttribute(QStringLiteral("CategoryAxis"), QStringLiteral("Maximum"), QStringLiteral("40"));
    const struct {
        int step;
        std::set<QString> controls;
    } cases[] = {
        {1, {"chartTypeList"}},
        {2, {"dataTable"}},
        {3,
         {"caption:Title", "caption:Subtitle", "caption:CategoryAxis.Title", "caption:CategoryAxis.Unit",
          "caption:ValueAxis.Title", "caption:ValueAxis.Unit", "caption:CategoryAxisSec.Title",
          "caption:CategoryAxisSec.Unit", "caption:ValueAxisSec.Title", "caption:ValueAxisSec.Unit"}},
        {4,
         {"axisChoice", "axisVisible", "axisAutomatic", "axisMinimum", "axisMaximum", "axisGridLines",
          "axisNumberFormat"}},
        {5, {"legendVisible", "legendPosition"}},
        {6, {"stylePalette", "seriesList", "seriesColor", "fontElement", "fontFamily", "fontSize", "fontBold"}},
    };
    for (const auto& c : cases) {
        panel.goToStep(c.step);
        const std::set<QString> reached = tabCycle(c.controls.begin()->toLatin1().constData());
        for (const QString& control : c.controls)
            EXPECT_TRUE(reached.count(control)) << "step " << c.step << ": " << control.toStdString();
    }
}

TEST_F(WizardPanelTest, PaletteChosenWithKeyboardReachesCustomizing)
{
    panel.goToStep(6);
    QSignalSpy spy(&panel, &WizardPanel::propertyChanged);
    auto* palette = find<QComboBox>("stylePalette");
    palette->setFocus();
    QTest::keyClick(palette, Qt::Key_Down);

    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], (QVariantList{"GlobalSettings", "ColorPalette", "Tradeshow"}));
    EXPECT_EQ(model.attribute("GlobalSettings", "ColorPalette"), "Tradeshow");
    EXPECT_TRUE(writeCustomizingXml(model.customizing(), {}).contains("ColorPalette=\"Tradeshow\""));
}

TEST_F(WizardPanelTest, EditedCellChangesDataAndRaisesValueChanged)
{
    panel.goToStep(2);
    QSignalSpy spy(&panel, &WizardPanel::valueChanged);
    auto* table = find<QTableView>("dataTable");
    for (const char* refused : {"abc", "", "1e999", "nan"})
        typeIntoCell(table, 1, 1, refused); // South, Q2
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(model.data().series[1].values[1], 15);

    typeIntoCell(table, 1, 1, "1250.75");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], (QVariantList{"South", 2, 2, 1250.75}));
    EXPECT_EQ(model.data().series[1].values[1], 1250.75);
    EXPECT_TRUE(vizorb::writeDataXml(model.data()).contains("1250.75"));
    // The current cell survives the change, so typing can go on.
    EXPECT_EQ(table->currentIndex(), table->model()->index(1, 1));

    // The same value again is no change.
    typeIntoCell(table, 1, 1, "1250.75");
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(WizardPanelTest, GermanNumbersUseTheDecimalComma)
{
    panel.setLanguage("DE");
    panel.goToStep(2);
    QSignalSpy spy(&panel, &WizardPanel::valueChanged);
    auto* table = find<QTableView>("dataTable");
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), "10");
    typeIntoCell(table, 0, 0, "2,5");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(model.data().series[0].values[0], 2.5);
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), "2,5");
}

// Whatever double a cell holds, the text shown reads back to it exactly.
TEST(WizardNumbers, EveryFiniteDoubleReadsBackAsShown)
{
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> usual(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        // Any bit pattern, then a number of the usual size.
        const double value = i % 2 ? std::bit_cast<double>(random()) : usual(random);
        if (!std::isfinite(value))
            continue;
        for (const auto language : {vizorb::WizardLanguage::English, vizorb::WizardLanguage::German}) {
            const QString shown = vizorb::formatNumber(value, language);
            ASSERT_EQ(vizorb::parseNumber(shown, language), value) << shown.toStdString();
        }
    }
}

TEST_F(WizardPanelTest, EachStepsEditReachesTheModel)
{
    QSignalSpy spy(&panel, &WizardPanel::propertyChanged);

    panel.goToStep(1);
    auto* types = find<QListWidget>("chartTypeList");
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Home);
    EXPECT_EQ(model.attribute("GlobalSettings", "ChartType"), "Lines");

    panel.goToStep(3);
    auto* title = find<QLineEdit>("caption:ValueAxis.Unit");
    title->setFocus();
    QTest::keyClicks(title, "EUR");
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(model.attribute("ValueAxis.Unit", "Caption"), "EUR");

    panel.goToStep(5);
    auto* legend = find<QCheckBox>("legendVisible");
    legend->setFocus();
    QTest::keyClick(legend, Qt::Key_Space);
    EXPECT_EQ(model.attribute("Legend", "Visible"), "false");

    panel.goToStep(6);
    auto* series = find<QListView>("seriesList");
    series->setFocus();
    QTest::keyClick(series, Qt::Key_Down); // the second series
    auto* color = find<QComboBox>("seriesColor");
    color->setFocus();
    QTest::keyClick(color, Qt::Key_Down); // from "Automatic" to the first named colour
    EXPECT_EQ(model.attribute("Series2", "Color"), "#000000");

    const QList<QVariantList> expected = {{"GlobalSettings", "ChartType", "Lines"},
                                          {"ValueAxis.Unit", "Caption", "EUR"},
                                          {"Legend", "Visible", "false"},
                                          {"Series2", "Color", "#000000"}};
    EXPECT_EQ(QList<QVariantList>(spy.begin(), spy.end()), expected);
}

TEST_F(WizardPanelTest, TypedFontSizeIsAppliedOnceToTheChosenElement)
{
    panel.goToStep(6);
    auto* element = find<QComboBox>("fontElement");
    element->setCurrentIndex(element->findData("Title"));
    auto* size = find<QSpinBox>("fontSize");
    EXPECT_EQ(size->value(), 14);
    QSignalSpy spy(&panel, &WizardPanel::propertyChanged);
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, "22");
    QTest::keyClick(size, Qt::Key_Return);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], (QVariantList{"Title", "FontSize", "22"}));
    EXPECT_EQ(model.attribute("Subtitle", "FontSize"), "10");
}

TEST(WizardPanelLifetime, ClosingWithAnOpenCellEditorIsSafe)
{
    ChartModel model;
    ChartData data;
    data.series = {{QStringLiteral("Only"), {1, 2}}};
    model.setData(data);
    auto panel = std::make_unique<WizardPanel>(model);
    panel->show();
    QApplication::setActiveWindow(panel.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    panel->goToStep(2);
    auto* table = panel->findChild<QTableView*>("dataTable");
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), "5");
    panel.reset();
    EXPECT_EQ(model.data().series[0].values.size(), 2);
}

TEST_F(WizardPanelTest, LeavingAutomaticScaleFixesTheDataRange)
{
    panel.goToStep(4);
    auto* axis = find<QComboBox>("axisChoice");
    axis->setCurrentIndex(axis->findData("ValueAxis"));
    QSignalSpy spy(&panel, &WizardPanel::propertyChanged);
    auto* automatic = find<QCheckBox>("axisAutomatic");
    ASSERT_TRUE(automatic->isChecked());
    automatic->setFocus();
    QTest::keyClick(automatic, Qt::Key_Space);
    EXPECT_EQ(model.attribute("ValueAxis", "Minimum"), "0");
    EXPECT_EQ(model.attribute("ValueAxis", "Maximum"), "30");
    EXPECT_EQ(spy.count(), 2);

    // A minimum at or above the maximum is refused and the field shows the kept value.
    auto* minimum = find<QLineEdit>("axisMinimum");
    minimum->setFocus();
    minimum->selectAll();
    QTest::keyClicks(minimum, "45");
    QTest::keyClick(minimum, Qt::Key_Return);
    EXPECT_EQ(model.attribute("ValueAxis", "Minimum"), "0");
    EXPECT_EQ(minimum->text(), "0");
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(WizardPanelTest, LanguageRelabelsTheOpenWizard)
{
    panel.goToStep(2);
    EXPECT_EQ(stepTitle(), "Data");
    EXPECT_TRUE(panel.setLanguage("DE"));
    EXPECT_EQ(panel.language(), "DE");
    EXPECT_EQ(stepTitle(), "Daten");
    EXPECT_EQ(find<QLabel>("wizardStepLabel")->text(), "Schritt 2 von 6");
    EXPECT_EQ(find<QCheckBox>("legendVisible")->text(), "Legende &anzeigen");
    auto* types = find<QListWidget>("chartTypeList");
    EXPECT_EQ(types->findItems(QString::fromUtf8("Säulen"), Qt::MatchExactly).size(), 1);

    EXPECT_FALSE(panel.setLanguage("FR"));
    EXPECT_EQ(panel.language(), "DE");
    EXPECT_EQ(stepTitle(), "Daten");

    EXPECT_TRUE(panel.setLanguage("en"));
    EXPECT_EQ(panel.language(), "EN");
    EXPECT_EQ(stepTitle(), "Data");
}

TEST_F(WizardPanelTest, OutsideChangesShowWithoutEvents)
{
    QSignalSpy properties(&panel, &WizardPanel::propertyChanged);
    QSignalSpy values(&panel, &WizardPanel::valueChanged);
    model.setAttribute("Legend", "Visible", "false");
    model.setAttribute("Title", "Caption", "Sales");
    model.setValue(0, 2, 99);
    model.restrictChartTypes({"Pie", "Lines", "Gantt"});

    EXPECT_FALSE(find<QCheckBox>("legendVisible")->isChecked());
    EXPECT_EQ(find<QLineEdit>("caption:Title")->text(), "Sales");
    auto* table = find<QTableView>("dataTable");
    EXPECT_EQ(table->model()->index(2, 0).data().toString(), "99");
    auto* types = find<QListWidget>("chartTypeList");
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->item(0)->data(Qt::UserRole), "Lines");
    EXPECT_EQ(types->item(1)->data(Qt::UserRole), "Pie");
    EXPECT_EQ(properties.count(), 0);
    EXPECT_EQ(values.count(), 0);
}

TEST_F(WizardPanelTest, HiddenPropertiesAreNotOffered)
{
    model.setAttribute("Control", "HideProperties", "ColorPalette|Legend.Position|ValueAxis.Unit");
    panel.goToStep(6);
    EXPECT_FALSE(find<QComboBox>("stylePalette")->isVisible());
    panel.goToStep(5);
    EXPECT_FALSE(find<QComboBox>("legendPosition")->isVisible());
    EXPECT_TRUE(find<QCheckBox>("legendVisible")->isVisible());
    panel.goToStep(3);
    EXPECT_FALSE(find<QLineEdit>("caption:ValueAxis.Unit")->isVisible());
    EXPECT_TRUE(find<QLineEdit>("caption:ValueAxis.Title")->isVisible());
}

TEST_F(WizardPanelTest, RefusedInputSaysWhyUntilTheStepChangesOrAnInputIsTaken)
{
    model.setAttribute("ValueAxis", "Minimum", "0");
    model.setAttribute("ValueAxis", "Maximum", "40");
    auto* table = find<QTableView>("dataTable");
    auto typeBound = [&](const char* text) {
        panel.goToStep(4);
        auto* axis = find<QComboBox>("axisChoice");
        axis->setCurrentIndex(axis->findData("ValueAxis"));
        auto* minimum = find<QLineEdit>("axisMinimum");
        minimum->setFocus();
        minimum->selectAll();
        QTest::keyClicks(minimum, text);
        QTest::keyClick(minimum, Qt::Key_Return);
    };
    auto typeFormat = [&](const char* text) {
        panel.goToStep(4);
        auto* format = find<QComboBox>("axisNumberFormat");
        format->setFocus();
        format->lineEdit()->selectAll();
        // A format needs a number conversion: "3" stands for "%.3f" here.
        QTest::keyClicks(format->lineEdit(), QString::fromUtf8(text) == "3" ? QString("%.3f") : QString(text));
        QTest::keyClick(format->lineEdit(), Qt::Key_Return);
    };
    auto typeCell = [&](const char* text) {
        panel.goToStep(2);
        typeIntoCell(table, 0, 0, text);
    };
    const struct {
        const char* language;
        std::function<void(const char*)> type;
        const char* input;
        const char* message;
    } cases[] = {
        {"EN", typeCell, "abc", "Not a number: abc"},
        {"EN", typeCell, "1e999", "Number too large: 1e999"},
        {"EN", typeCell, "", "A number is required"},
        {"EN", typeBound, "45", "The minimum must be below the maximum"},
        {"EN", typeBound, "1,5", "Not a number: 1,5"},
        {"EN", typeFormat, "%s", "Not a valid value: %s"},
        {"DE", typeCell, "abc", "Keine Zahl: abc"},
        {"DE", typeBound, "40", "Das Minimum muss unter dem Maximum liegen"},
    };
    auto* message = find<QLabel>("wizardMessage");
    for (const auto& c : cases) {
        panel.setLanguage(c.language);
        c.type(c.input);
        EXPECT_TRUE(message->isVisible()) << c.input;
        EXPECT_EQ(message->text(), QString::fromUtf8(c.message)) << c.input;
        // The reason stays on its step and goes when the step changes ...
        panel.goToStep(panel.currentStep());
        EXPECT_EQ(message->text(), QString::fromUtf8(c.message)) << c.input;
        panel.goToStep(5);
        EXPECT_FALSE(message->isVisible()) << c.input;
        EXPECT_EQ(message->text(), QString()) << c.input;
        // ... or when an input is accepted.
        c.type(c.input);
        EXPECT_TRUE(message->isVisible()) << c.input;
        c.type("3");
        EXPECT_FALSE(message->isVisible()) << c.input;
    }
    EXPECT_EQ(model.data().series[0].values[0], 3);
    EXPECT_EQ(model.attribute("ValueAxis", "Minimum"), "3");
}

TEST_F(WizardPanelTest, DataColumnsKeepTheirNumbersWholeAndScrollSideways)
{
    ChartData data;
    data.categories = {QStringLiteral("Q1"), QStringLiteral("Q2")};
    for (int s = 0; s < 8; ++s)
        data.series.append(
            {QStringLiteral("Revenue of the northern region %1").arg(s + 1), {-1234567.891234 * (s + 1), 0.5}});
    data.series.append({QStringLiteral("x"), {1, 2}});
    // A word longer than a line is broken, never inside a surrogate pair or before a mark.
    const QString word = QStringLiteral("abcdefghijklmno") + QString::fromUcs4(U"\U0001F600") +
                         QStringLiteral("abcdefghijklme\u0301xyz");
    data.series.append({word, {1, 2}});
    model.setData(data);
    panel.goToStep(2);
    auto* table = find<QTableView>("dataTable");
    const QStringList lines = table->model()->headerData(9, Qt::Horizontal).toString().split('\n');
    EXPECT_EQ(lines.join(QString()), word);
    for (const QString& line : lines)
        EXPECT_TRUE(!line.back().isHighSurrogate() && !line.front().isLowSurrogate() && !line.front().isMark())
            << line.toStdString();
    for (int column = 0; column < 9; ++column) {
        for (int row = 0; row < table->model()->rowCount(); ++row)
            EXPECT_GE(table->columnWidth(column), table->sizeHintForIndex(table->model()->index(row, column)).width())
                << column;
        // The whole name, wrapped at spaces.
        EXPECT_GE(table->columnWidth(column), table->horizontalHeader()->sectionSizeHint(column)) << column;
        EXPECT_EQ(table->model()->headerData(column, Qt::Horizontal).toString().replace('\n', ' '),
                  data.series[column].name);
        EXPECT_EQ(table->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(),
                  data.series[column].name);
    }
    EXPECT_GT(table->horizontalScrollBar()->maximum(), 0);
}

TEST_F(WizardPanelTest, ChartTypeListOpensAtItsTopWithTheCurrentTypeInView)
{
    panel.resize(360, 300);
    auto* types = find<QListWidget>("chartTypeList");
    const struct {
        const char* type;
        bool atTop; // the type is in view with the list at its top
    } cases[] = {{"TimeScatter", false}, {"Columns", true}, {"Lines", true}};
    for (const auto& c : cases) {
        panel.goToStep(3);
        model.setAttribute("GlobalSettings", "ChartType", c.type);
        types->scrollToBottom();
        panel.goToStep(1);
        ASSERT_NE(types->currentItem(), nullptr) << c.type;
        EXPECT_EQ(types->currentItem()->data(Qt::UserRole), c.type);
        EXPECT_TRUE(types->viewport()->rect().contains(types->visualItemRect(types->currentItem()))) << c.type;
        EXPECT_EQ(types->verticalScrollBar()->value() == 0, c.atTop) << c.type;
    }
}

// The steps that list series build widgets only for what is on screen.
TEST_F(WizardPanelTest, ManySeriesCostNoWidgetsPerSeries)
{
    const qsizetype widgets = panel.findChildren<QWidget*>().size();
    ChartData data;
    for (int s = 0; s < 20000; ++s)
        data.series.append({QStringLiteral("S%1").arg(s + 1), {double(s)}});
    model.setData(data);
    for (int step = 1; step <= 6; ++step)
        panel.goToStep(step);
    EXPECT_LT(panel.findChildren<QWidget*>().size(), widgets + 20);
    EXPECT_EQ(find<QTableView>("dataTable")->model()->columnCount(), 20000);
    // A colour is offered for every series a customizing can name.
    EXPECT_EQ(find<QListView>("seriesList")->model()->rowCount(), vizorb::schema::maxSeriesElements);
}

} // namespace
