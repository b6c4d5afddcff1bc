// Long runs of combining marks are cut where texts are drawn, never where they are stored.
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/model/chart_model.h"

#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>

#include <gtest/gtest.h>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

QString marks(int count, char32_t mark = 0x301)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QString::fromUcs4(&mark, 1);
    return text;
}

TEST(MarkRunsTest, RunsAreCutToThirtyAfterTheirBase)
{
    const QString a = QStringLiteral("a"), plain = QStringLiteral("plain text, Grüße");
    const struct {
        const char* what;
        QString text, drawn;
    } cases[] = {
        {"plain", plain, plain},
        {"thirty kept", a + marks(30), a + marks(30)},
        {"one too many", a + marks(31), a + marks(30)},
        {"each base its own run", a + marks(40) + a + marks(35) + QStringLiteral("z"),
         a + marks(30) + a + marks(30) + QStringLiteral("z")},
        {"mixed marks", a + marks(20) + marks(20, 0x323), a + marks(20) + marks(10, 0x323)},
        {"enclosing marks", a + marks(50, 0x20DD), a + marks(30, 0x20DD)},
        {"marks beyond the BMP, pairs kept whole", a + marks(40, 0x1D167), a + marks(30, 0x1D167)},
        {"marks with no base", marks(31), marks(30)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vizorb::cutMarkRuns(c.text), c.drawn) << c.what;
        EXPECT_EQ(vizorb::drawnText(c.text), c.drawn) << c.what;
    }
}

// The longest run of U+0301 in any text on the chart's scene.
int longestDrawnRun(vizorb::ChartView& view)
{
    int longest = 0;
    for (QGraphicsItem* item : view.scene()->items()) {
        QString text;
        if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            text = simple->text();
        else if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item))
            text = rich->toPlainText();
        int run = 0;
        for (QChar c : text) {
            run = c == QChar(0x301) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

TEST(MarkRunsTest, ChartDrawsCutRunsAndKeepsTheStoredText)
{
    const QString name = QStringLiteral("N") + marks(995);
    for (const char* type :
         {"Lines", "StackedBars", "Columns", "Area", "Pie", "Doughnut", "Polar", "Radar", "Scatter"}) {
        vizorb::VizorbControl control(QStringLiteral("7.00"));
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        control.put(id::Mode12, Variant(true)); // value labels too
        control.call(id::SetAttribute, {Variant("Title"), Variant("Caption"), Variant(name)});
        const QString data = QStringLiteral("<ChartData><Categories><Category>%1</Category><Category>%1</Category>"
                                            "</Categories><Series Name=\"%1\">1;2</Series>"
                                            "<Series Name=\"%1\">3;4</Series></ChartData>")
                                 .arg(name);
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data)}), Variant(true)) << type;
        control.widget()->resize(815, 526);
        control.view().renderImage();
        EXPECT_EQ(longestDrawnRun(control.view()), vizorb::kMaxMarkRun) << type;
        const vizorb::ChartModel& model = control.model();
        EXPECT_EQ(model.data().categories.value(1), name) << type;
        EXPECT_EQ(model.data().series.value(1).name, name) << type;
        EXPECT_EQ(model.attribute(QStringLiteral("Title"), QStringLiteral("Caption")), name) << type;
    }
}

} // namespace
