// The wizard as a host sees it: driven and read through the dispatch interface.
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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

// Every cell confirmed as shown (F2, Enter), in either language, keeps its
// value exactly and raises nothing; a typed extreme value is taken exactly.
TEST_F(WizardControlTest, ConfirmingShownCellsChangesNothing)
{
    const struct {
        const char *stored, *english, *german;
    } cells[] = {
        {"1.7976931348623157e308", "1.7976931348623157e+308", "1,7976931348623157e+308"},
        {"-1.7976931348623157e308", "-1.7976931348623157e+308", "-1,7976931348623157e+308"},
        {"5e-324", "5e-324", "5e-324"},
        {"2.2250738585072014e-308", "2.2250738585072014e-308", "2,2250738585072014e-308"},
        {"0.30000000000000004", "0.30000000000000004", "0,30000000000000004"},
        {"0.1234567890123456789", "0.12345678901234568", "0,12345678901234568"},
        {"-1.0000000000000002", "-1.0000000000000002", "-1,0000000000000002"},
        {"123456789012345680", "1.2345678901234568e+17", "1,2345678901234568e+17"},
        {"999999999999999.9", "999999999999999.9", "999999999999999,9"},
        {"100000", "100000", "100000"},
        {"0.0001", "0.0001", "0,0001"},
        {"0.00001", "1e-05", "1e-05"},
    };
    QStringList stored;
    for (const auto& c : cells)
        stored << QLatin1String(c.stored);
    const QString data =
        QStringLiteral("<ChartData><Series Name=\"Edge\">%1</Series></ChartData>").arg(stored.join(';'));
    ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data)}), Variant(true));
    const QString before = control.get(id::GetDataXml).toString();
    control.get(id::GoToWizardStep, {Variant(std::int16_t(2))});
    auto* table = find<QTableView>("dataTable");
    recorder.events.clear();
    for (const char* language : {"EN", "DE"}) {
        control.put(id::Language, Variant(language));
        for (int row = 0; row < int(std::size(cells)); ++row) {
            const QString shown = QLatin1String(*language == 'E' ? cells[row].english : cells[row].german);
            const QModelIndex cell = table->model()->index(row, 0);
            EXPECT_EQ(cell.data().toString(), shown) << language;
            table->setFocus();
            table->setCurrentIndex(cell);
            QTest::keyClick(table, Qt::Key_F2);
            auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->text(), shown) << language;
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
        }
    }
    EXPECT_TRUE(recorder.events.empty()) << recorder.events.size() << " events";
    EXPECT_EQ(control.get(id::GetDataXml).toString(), before);

    const struct {
        const char* typed;
        double value;
    } typed[] = {{"4,9e-324", 5e-324}, {"1.7976931348623157E308", 1.7976931348623157e308}};
    for (const auto& t : typed) {
        recorder.events.clear();
        table->setCurrentIndex(table->model()->index(5, 0));
        QTest::keyClick(table, Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), t.typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        ASSERT_EQ(recorder.events.size(), 1u) << t.typed;
        EXPECT_EQ(recorder.events[0].second.at(4), Variant(t.value)) << t.typed;
    }
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
