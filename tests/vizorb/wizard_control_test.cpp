// The wizard as a host sees it: driven and read through the dispatch interface.
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;
namespace event = vizorb::event;

struct Recorder : platform::EventSink {
    std::vector<std::pair<int, std::vector<Variant>>> events;
    void onEvent(int index, std::span<Variant> args) override
    {
        events.emplace_back(index, std::vector<Variant>(args.begin(), args.end()));
    }
};

class WizardControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        control.advise(&recorder);
        QWidget* window = control.widget();
        window->resize(1100, 640);
        window->show();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        const QString data = QStringLiteral("<ChartData><Categories><Category>A</Category><Category>B</Category>"
                                            "</Categories><Series Name=\"Plan\">1; 2</Series></ChartData>");
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data)}), Variant(true));
        control.call(id::ResetWizard);
    }

    template <typename W> W* find(const char* name)
    {
        W* widget = control.widget()->findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    Recorder recorder;
    vizorb::VizorbControl control{QStringLiteral("7.00")};
};

TEST_F(WizardControlTest, PaletteChangeReachesCustomizingXmlAndRaisesPropertyChanged)
{
    EXPECT_EQ(control.get(id::GoToWizardStep, {Variant(std::int16_t(6))}), Variant(std::int16_t(6)));
    recorder.events.clear();
    auto* palette = find<QComboBox>("stylePalette");
    palette->setFocus();
    QTest::keyClick(palette, Qt::Key_Down);

    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].first, event::PropertyChanged);
    EXPECT_EQ(recorder.events[0].second,
              (std::vector<Variant>{Variant("GlobalSettings"), Variant("ColorPalette"), Variant("Tradeshow")}));
    EXPECT_TRUE(control.get(id::GetCustomizingXml).toString().contains(QLatin1String("ColorPalette=\"Tradeshow\"")));
}

TEST_F(WizardControlTest, EditedCellReachesDataXmlAndRaisesValueChanged)
{
    control.get(id::GoToWizardStep, {Variant(std::int16_t(2))});
    recorder.events.clear();
    auto* table = find<QTableView>("dataTable");
    table->setFocus();
    table->setCurrentIndex(table->model()->index(1, 0));
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "-7.5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents(); // the view commits through a queued call

    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].first, event::ValueChanged);
    const std::vector<Variant>& args = recorder.events[0].second;
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[0], Variant("Plan"));
    EXPECT_EQ(args[1], Variant(std::int16_t(1)));
    EXPECT_EQ(args[2], Variant(std::int16_t(2)));
    EXPECT_EQ(args[4], Variant(-7.5));
    EXPECT_TRUE(control.get(id::GetDataXml).toString().contains(QLatin1String("-7.5")));
}

TEST_F(WizardControlTest, LanguageAndStepsThroughDispatch)
{
    const struct {
        std::int16_t asked, shown;
    } steps[] = {{0, 1}, {7, 6}, {3, 3}};
    for (const auto& s : steps)
        EXPECT_EQ(control.get(id::GoToWizardStep, {Variant(s.asked)}), Variant(s.shown)) << s.asked;
    control.put(id::Language, Variant("DE"));
    EXPECT_EQ(find<QLabel>("wizardTitleLabel")->text(), "Titel");
    control.put(id::Language, Variant("EN"));
    EXPECT_EQ(find<QLabel>("wizardTitleLabel")->text(), "Titles");
}

} // namespace
