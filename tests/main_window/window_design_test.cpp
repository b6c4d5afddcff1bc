#include "main_window/chart_ids.h"
#include "tests/support/plotwright_access.h"

#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Access = PlotwrightTestAccess;
using fakes::Call;
using platform::InvokeKind;
using platform::Variant;

TEST(MainWindowDesign, CaptionMenuAndControls)
{
    fakes::WindowFixture f;
    EXPECT_EQ(f.window->windowTitle(), "Quarnel Plotwright 7.00");
    EXPECT_EQ(fakes::WindowFixture(kPlotwright640).window->windowTitle(), "Quarnel Plotwright 6.40");

    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"mnuFileNew", "&New", QKeySequence("Ctrl+N")},
        {"mnuFileOpenData", "Open &Data...", {}},
        {"mnuFileOpenCustomizing", "&Open Customizing...", QKeySequence("Ctrl+O")},
        {"mnuFileAddCustomizing", "&Add Customizing...", QKeySequence("Ctrl+A")},
        {"mnuFileSaveCustomizing", "&Save Customizing...", QKeySequence("Ctrl+S")},
        {"mnuFileSavePicture", "&Export Picture...", {}},
        {"mnuFilePrint", "&Print...", QKeySequence("Ctrl+P")},
        {"mnuFileExit", "&Exit", {}},
        {"mnuEditCopyImage", "Copy &Image to clipboard", {}},
        {"mnuEditCopyCustomizing", "Copy &Customizing to clipboard", {}},
        {"mnuHelpAbout", "&About...", {}},
    };
    for (const Item& item : items) {
        auto* action = f.window->findChild<QAction*>(item.name);
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_EQ(action->text(), item.caption);
        EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
    }
    QStringList menus;
    for (QAction* action : f.window->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Help"}));
    auto* file = f.window->findChild<QMenu*>("mnuFile");
    ASSERT_NE(file, nullptr);
    QStringList fileItems;
    for (QAction* action : file->actions())
        fileItems << (action->isSeparator() ? QString("-") : action->objectName());
    EXPECT_EQ(fileItems,
              QStringList({"mnuFileNew", "-", "mnuFileOpenData", "-", "mnuFileOpenCustomizing", "mnuFileAddCustomizing",
                           "mnuFileSaveCustomizing", "-", "mnuFileSavePicture", "mnuFilePrint", "-", "mnuFileExit"}));

    EXPECT_EQ(Access::cmdBack(*f.window).text(), "< &Back");
    EXPECT_EQ(Access::cmdNext(*f.window).text(), "&Next >");
    EXPECT_EQ(Access::cmdFinish(*f.window).text(), "&Finish");
    EXPECT_TRUE(Access::cmdBack(*f.window).isHidden());
    EXPECT_TRUE(Access::ctrlEventList(*f.window).isHidden());
    EXPECT_EQ(f.chart->designState(), QByteArray::fromHex("000001 00 c9520000 e3300000 00000000 ff01"));
    EXPECT_EQ(Access::ScaleWidth(*f.window), 12225.0f);
    EXPECT_EQ(Access::ScaleHeight(*f.window), 7890.0f);
    EXPECT_EQ(f.window->windowIcon().availableSizes(), (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
}

TEST(MainWindowDesign, TabOrderAndNoDefaultOrCancelButton)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    const QList<QWidget*> designed = {Access::ctrlChart(w).control().widget(), &Access::ctrlEventList(w),
                                      &Access::cmdBack(w), &Access::cmdNext(w), &Access::cmdFinish(w)};
    QList<QWidget*> order;
    QWidget* widget = designed.front();
    for (int i = 0; i < 1000 && order.size() < designed.size(); ++i, widget = widget->nextInFocusChain()) {
        if (designed.contains(widget) && !order.contains(widget))
            order.append(widget);
    }
    EXPECT_EQ(order, designed);

    Access::cmdBack(w).setEnabled(true);
    for (QPushButton* button : w.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
        // Neither Enter nor Esc clicks a button, not even the one with the focus.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(button, key);
            QTest::keyClick(&w, key);
        }
    }
    EXPECT_TRUE(f.chart->calls().empty());
    EXPECT_TRUE(Access::WizardActive(w));
}

TEST(MainWindowDesign, LoadSequenceOfEachDeliverable)
{
    const Call reset{chart::ResetWizard, InvokeKind::Method, {}};
    const Call goTo1{chart::GoToWizardStep, InvokeKind::PropertyGet, {Variant(std::int16_t(1))}};

    fakes::WindowFixture f700(kPlotwright700);
    f700.window->load();
    EXPECT_EQ(f700.chart->calls(), (std::vector<Call>{
                                       {chart::Language, InvokeKind::PropertyPut, {Variant("EN")}},
                                       {chart::SetAttribute,
                                        InvokeKind::Method,
                                        {Variant("Control"), Variant("UseNewCustomizing"), Variant("true")}},
                                       {chart::SetAttribute,
                                        InvokeKind::Method,
                                        {Variant("GlobalSettings"), Variant("ColorPalette"), Variant("Tradeshow")}},
                                       reset,
                                       goTo1,
                                   }));

    fakes::WindowFixture f640(kPlotwright640);
    f640.window->load();
    const QString types = "Lines|StackedLines|Profiles|StackedProfiles|Bars|StackedBars|Columns|StackedColumns|Area|"
                          "StackedArea|ProfileArea|StackedProfileArea|Pie|Doughnut|SplitPie|Polar|Radar|StackedRadar|"
                          "Scatter|TimeScatter|Speedometer|Portfolio|Histogram|Gantt|MTA|SmartMap";
    ASSERT_EQ(types.size(), 249);
    EXPECT_EQ(f640.chart->calls(), (std::vector<Call>{
                                       {chart::Language, InvokeKind::PropertyPut, {Variant("EN")}},
                                       {chart::TemplateFile, InvokeKind::PropertyPut, {Variant("vizorb.tpl")}},
                                       {chart::SetChartTypes, InvokeKind::Method, {Variant(types)}},
                                       reset,
                                       goTo1,
                                   }));
}

} // namespace
