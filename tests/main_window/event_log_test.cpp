#include "main_window/chart_ids.h"
#include "tests/support/plotwright_access.h"

#include <QItemSelectionModel>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using Access = PlotwrightTestAccess;
using platform::Variant;

struct Event {
    int index;
    std::vector<Variant> args;
    const char* line; // · for each blank, as easier to read
};

Variant i16(int value)
{
    return Variant(static_cast<std::int16_t>(value));
}
Variant r4(float value)
{
    return Variant(value);
}
Variant r8(double value)
{
    return Variant(value);
}
const Variant kAnything(std::int32_t(12345));

std::vector<Event> eventTable()
{
    using namespace chart;
    return {
        {MouseDown, {i16(1), kAnything, r4(120.5f), r4(-3)}, "MouseDown:·[·1]··120.5,-3"},
        {MouseUp, {i16(2), kAnything, r4(0), r4(15.25f)}, "MouseUp:·[·2]··0,·15.25"},
        {MouseDown, {i16(-1), kAnything, r4(-7), r4(120)}, "MouseDown:·[-1]·-7,·120"},
        {ObjectClicked, {"Legend", i16(0), i16(0)}, "ObjectClicked:·Legend"},
        {ObjectClicked, {"Series", i16(2), i16(7)}, "ObjectClicked:·Series·(Data:··2,·7)"},
        {ObjectClicked, {"Series", i16(0), i16(7)}, "ObjectClicked:·Series"},
        {ObjectClicked, {"Series", i16(-1), i16(-4)}, "ObjectClicked:·Series·(Data:·-1,-4)"},
        {ObjectClicked, {"", i16(3), i16(0)}, "ObjectClicked:··(Data:··3,·0)"},
        {PropertyChanged, {"Title", "Text", "Net sales"}, "PropertyChanged:·Title·:·Text·=·Net·sales"},
        {PropertyChanged, {"", "", ""}, "PropertyChanged:··:··=·"},
        {ValueChanged, {"Values", i16(1), i16(3), kAnything, r8(1250.75)}, "ValueChanged:·Values·[·1,·3]·=··1250.75"},
        {ValueChanged, {"Values", i16(0), i16(0), kAnything, r8(-42)}, "ValueChanged:·Values·[·0,·0]·=·-42"},
        // 16-bit limits, significant digits.
        {MouseUp, {i16(-32768), kAnything, r4(100.0f / 3), r4(1234.5678f)}, "MouseUp:·[-32768]··33.33333,·1234.568"},
        {ObjectClicked, {"Point", i16(32767), i16(-32768)}, "ObjectClicked:·Point·(Data:··32767,-32768)"},
        {ValueChanged,
         {"V", i16(32767), i16(-1), kAnything, r8(200.0 / 3)},
         "ValueChanged:·V·[·32767,-1]·=··66.6666666666667"},
        // Our forms below 1, for very large and very small values, and for negative zero.
        {MouseDown, {i16(0), kAnything, r4(0.25f), r4(-0.5f)}, "MouseDown:·[·0]··0.25,-0.5"},
        {MouseDown, {i16(0), kAnything, r4(1.5e20f), r4(-1e-5f)}, "MouseDown:·[·0]··1.5E+20,-1E-05"},
        {MouseDown, {i16(0), kAnything, r4(12345678.0f), r4(-0.0f)}, "MouseDown:·[·0]··1.234568E+07,·0"},
        {ValueChanged, {"V", i16(0), i16(0), kAnything, r8(0.1 + 0.2)}, "ValueChanged:·V·[·0,·0]·=··0.3"},
        {ValueChanged, {"V", i16(0), i16(0), kAnything, r8(-1e15)}, "ValueChanged:·V·[·0,·0]·=·-1E+15"},
        {ValueChanged,
         {"V", i16(0), i16(0), kAnything, r8(999999999999999.0)},
         "ValueChanged:·V·[·0,·0]·=··999999999999999"},
        // By-reference numbers of other types are converted for the line and handed back untouched.
        {MouseUp, {Variant(std::int32_t(3)), kAnything, r8(0.1), Variant("2.5")}, "MouseUp:·[·3]··0.1,·2.5"},
        // Texts pass as they are: no quotes, no trimming, other scripts kept.
        {PropertyChanged, {" a ", "\"b\"", "Größe – 大"}, "PropertyChanged:··a··:·\"b\"·=·Größe·–·大"},
    };
}

QString expected(const char* line)
{
    return QString::fromUtf8(line).replace(QChar(0xB7), QLatin1Char(' '));
}

void checkEveryLine()
{
    fakes::WindowFixture f;
    f.loadWindow();
    EventList& list = Access::ctrlEventList(*f.window);
    const std::vector<Event> events = eventTable();
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& e = events[i];
        SCOPED_TRACE(e.line);
        const std::vector<Variant> after = f.chart->raiseEvent(e.index, e.args);
        EXPECT_TRUE(f.messageBox.shown().empty());
        ASSERT_EQ(list.listCount(), int(i + 1));
        EXPECT_EQ(list.list(int(i)).toStdString(), expected(e.line).toStdString());
        EXPECT_EQ(list.listIndex(), int(i));
        EXPECT_EQ(after, e.args); // nothing written back
    }
}

TEST(EventLog, EachEventWritesItsLine)
{
    checkEveryLine();
}

TEST(EventLog, LinesDoNotFollowTheLocale)
{
    const QLocale savedLocale;
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool cLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    checkEveryLine();
    std::setlocale(LC_ALL, savedC.c_str());
    QLocale::setDefault(savedLocale);
    if (!cLocale)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed: only Qt's locale was German";
}

TEST(EventLog, EveryEventAddsOneLineHiddenOrShown)
{
    fakes::WindowFixture f;
    f.loadWindow();
    Plotwright& w = *f.window;
    EventList& list = Access::ctrlEventList(w);
    ASSERT_TRUE(list.isHidden());
    EXPECT_EQ(list.listCount(), 0);
    EXPECT_EQ(list.listIndex(), -1);
    for (int i = 0; i < 3; ++i)
        f.chart->raiseEvent(chart::PropertyChanged, {"Title", "Text", "Same"});
    EXPECT_EQ(list.listCount(), 3);
    EXPECT_EQ(list.list(2), list.list(0));
    EXPECT_EQ(list.listIndex(), 2);

    // Shown later, the list holds every line with the newest selected and in view.
    Access::cmdFinish_Click(w);
    Access::ToggleEventList(w);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (int i = 0; i < 200; ++i)
        f.chart->raiseEvent(chart::ValueChanged, {"Values", i16(i), i16(0), kAnything, r8(i)});
    EXPECT_EQ(list.listIndex(), 202);
    // The view catches up on a later event-loop turn.
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.model()->rowCount() == 203; }));
    EXPECT_EQ(list.selectionModel()->currentIndex().row(), 202);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(list.model()->index(202, 0)).center()));
    EXPECT_EQ(list.model()->index(202, 0).data().toString(), "ValueChanged: Values [ 199, 0] =  199");

    // A line the user picks is the selected one, until the next event.
    list.selectionModel()->setCurrentIndex(list.model()->index(5, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(list.listIndex(), 5);
    f.chart->raiseEvent(chart::ObjectClicked, {"Legend", i16(0), i16(0)});
    EXPECT_EQ(list.listIndex(), 203);
}

TEST(EventList, KeepsEveryLineExactlyAcrossItsStorage)
{
    // Enough text to fill several storage chunks, a line larger than a chunk,
    // and lines that are not ASCII.
    std::vector<QString> lines;
    for (int i = 0; i < 60'000; ++i) {
        switch (i % 4) {
        case 0:
            lines.push_back(QString("ValueChanged: Values [ %1, 3] =  %2").arg(i).arg(i * 0.5));
            break;
        case 1:
            lines.push_back(QString());
            break;
        case 2:
            lines.push_back(QString("PropertyChanged: Größe : 大 = %1 \u00e9").arg(i));
            break;
        default:
            lines.push_back(QString(i % 997, QChar('x')));
            break;
        }
        if (i == 30'001)
            lines.back() = QString(3 << 20, QChar('y')) + "end";
        if (i == 40'002) // malformed UTF-16 comes back as it went in
            lines.back() = QString(QChar(0xD800)) + "lone" + QChar(0xDC00) + QChar(0) + "x";
    }
    EventList list;
    for (const QString& line : lines)
        list.addItem(line);
    ASSERT_EQ(list.listCount(), int(lines.size()));
    EXPECT_EQ(list.newIndex(), int(lines.size()) - 1);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (list.list(int(i)) != lines[i])
            FAIL() << "line " << i << " differs";
    EXPECT_EQ(list.list(int(lines.size())), QString());
    EXPECT_EQ(list.list(-1), QString());
}

TEST(EventLog, OutOfRangeSelectionIsRefused)
{
    fakes::WindowFixture f;
    EventList& list = Access::ctrlEventList(*f.window);
    list.addItem("one");
    for (int index : {-2, 1}) {
        try {
            list.setListIndex(index);
            ADD_FAILURE() << index << " accepted";
        } catch (const platform::RuntimeError& error) {
            EXPECT_EQ(error.number(), platform::err::InvalidPropertyValue);
        }
    }
    list.setListIndex(-1);
    EXPECT_EQ(list.listIndex(), -1);
}

} // namespace
