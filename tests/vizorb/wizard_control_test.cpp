// The wizard as a host sees it: driven and read through the dispatch interface.
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include <QApplication>
#include <QCheckBox>
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
        {"-0", "-0", "-0"},
        {"1e-320", "1e-320", "1e-320"},
        {"", "", ""}, // missing
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
    EXPECT_TRUE(find<QLabel>("wizardMessage")->text().isEmpty());

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

// A caption, bound or format edited and put back as shown (a character typed
// and taken back, then Enter) keeps its stored text and raises nothing.
TEST_F(WizardControlTest, FieldsPutBackAsShownChangeNothing)
{
    const struct {
        int step;
        const char *path, *attribute, *field;
        QString value;
    } fields[] = {
        {3, "Title", "Caption", "caption:Title", QString(40'000, u'x') + "\n\t  "},
        {3, "ValueAxis.Unit", "Caption", "caption:ValueAxis.Unit", QString(65'535, QChar(0x20AC))},
        {3, "Subtitle", "Caption", "caption:Subtitle", "  a\r\nb  "},
        {4, "ValueAxis", "Minimum", "axisMinimum", "-1.7976931348623157e308"},
        {4, "ValueAxis", "Maximum", "axisMaximum", "5e-324"},
        {4, "ValueAxis", "NumberFormat", "axisNumberFormat", QString::fromUtf8(" %.3e \u20ac ")},
    };
    for (const auto& f : fields)
        ASSERT_EQ(control.call(id::SetAttribute, {Variant(f.path), Variant(f.attribute), Variant(f.value)}),
                  Variant(true))
            << f.path;
    QStringList stored;
    for (const auto& f : fields)
        stored << control.call(id::GetAttribute, {Variant(f.path), Variant(f.attribute)}).toString();
    const QString before = control.get(id::GetCustomizingXml).toString();
    for (const char* language : {"EN", "DE"}) {
        control.put(id::Language, Variant(language));
        for (qsizetype i = 0; i < stored.size(); ++i) {
            const auto& f = fields[i];
            control.get(id::GoToWizardStep, {Variant(std::int16_t(f.step))});
            recorder.events.clear();
            QWidget* field = find<QWidget>(f.field);
            auto* edit = qobject_cast<QLineEdit*>(field);
            if (auto* combo = qobject_cast<QComboBox*>(field))
                edit = combo->lineEdit();
            ASSERT_NE(edit, nullptr);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClick(edit, Qt::Key_0);
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClick(edit, Qt::Key_Return);
            QCoreApplication::processEvents();
            EXPECT_TRUE(recorder.events.empty()) << f.field << " " << language;
            const QString now = control.call(id::GetAttribute, {Variant(f.path), Variant(f.attribute)}).toString();
            EXPECT_TRUE(now == stored[i]) << f.field << ": " << now.size() << " characters";
        }
    }
    EXPECT_TRUE(control.get(id::GetCustomizingXml).toString() == before);
}

// Leaving automatic scaling fixes a scale of two different bounds, however
// large the data's values.
TEST_F(WizardControlTest, LeavingAutomaticScalingGivesAScale)
{
    for (const char* values : {"-1e17", "-1.7976931348623157e308", "1.7976931348623157e308;-1.7976931348623157e308",
                               "-1.0000000000000002;-1", "5e-324", ";"}) {
        ASSERT_EQ(control.get(id::LoadDataXml,
                              {Variant(QStringLiteral("<ChartData><Series>%1</Series></ChartData>").arg(values))}),
                  Variant(true));
        control.get(id::GoToWizardStep, {Variant(std::int16_t(4))});
        auto* axis = find<QComboBox>("axisChoice");
        axis->setCurrentIndex(axis->findData(QStringLiteral("ValueAxis")));
        find<QCheckBox>("axisAutomatic")->setChecked(true);
        find<QCheckBox>("axisAutomatic")->setChecked(false);
        const QString minimum = control.call(id::GetAttribute, {Variant("ValueAxis"), Variant("Minimum")}).toString();
        const QString maximum = control.call(id::GetAttribute, {Variant("ValueAxis"), Variant("Maximum")}).toString();
        EXPECT_LT(minimum.toDouble(), maximum.toDouble())
            << values << ": " << minimum.toStdString() << " " << maximum.toStdString();
    }
}

} // namespace

namespace {

// Unticking "automatic" fixes the scale the chart shows, whole (both bounds
// or neither) and never as one value, so the chart neither jumps nor cuts.
TEST(WizardAxes, LeavingAutomaticKeepsTheShownRange)
{
    const struct {
        const char* values;
        const char* type;
        const char *minimum, *maximum;
    } cases[] = {
        {"12; 172; 95", "Lines", "0", "200"},
        {"12; 172; 95", "Columns", "0", "175"},
        {"-1.0000000000000002; -1", "Lines", "-1.1", "-0.9"},
        {"2500000; 10000000", "Lines", "2000000", "12000000"},
        {"-1.7976931348623157e308; 1.7976931348623157e308", "Lines", "-1.7976931348623157e+308",
         "1.7976931348623157e+308"},
    };
    for (const auto& c : cases) {
        vizorb::VizorbControl control{QStringLiteral("7.00")};
        control.widget()->resize(1100, 640);
        control.widget()->show();
        const QString data = QStringLiteral("<ChartData><Series Name=\"S\">%1</Series></ChartData>").arg(c.values);
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data)}), Variant(true));
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(c.type)});
        control.get(id::GoToWizardStep, {Variant(std::int16_t(4))});
        auto* axis = control.widget()->findChild<QComboBox*>(QStringLiteral("axisChoice"));
        axis->setCurrentIndex(axis->findData(QStringLiteral("ValueAxis")));
        auto* automatic = control.widget()->findChild<QCheckBox*>(QStringLiteral("axisAutomatic"));
        ASSERT_TRUE(automatic->isChecked()) << c.values;
        automatic->click();
        const auto bound = [&](const char* name) {
            return control.get(id::GetAttribute, {Variant("ValueAxis"), Variant(name)}).toString().toStdString();
        };
        EXPECT_EQ(bound("Minimum"), c.minimum) << c.values << " " << c.type;
        EXPECT_EQ(bound("Maximum"), c.maximum) << c.values << " " << c.type;
        EXPECT_FALSE(automatic->isChecked()) << c.values;
    }
}

} // namespace
