#include "vizorb/chart/chart_axes.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPolarChart>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>

#include <cmath>

#include <gtest/gtest.h>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

qint64 at(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toMSecsSinceEpoch();
}

TEST(CalendarTicks, StepAndFormFollowTheSpan)
{
    struct Case {
        const char *first, *last;
        bool enclose;
        int maxTicks;
        QStringList labels;
        const char *lo, *hi;
    };
    const Case cases[] = {
        {"2025-03-03T09:10:00Z",
         "2025-03-03T17:50:00Z",
         false,
         5,
         {"10:00", "12:00", "14:00", "16:00"},
         "2025-03-03T09:10:00Z",
         "2025-03-03T17:50:00Z"},
        {"2025-03-01T00:00:00Z",
         "2025-03-07T00:00:00Z",
         false,
         8,
         {"1 Mar", "2 Mar", "3 Mar", "4 Mar", "5 Mar", "6 Mar", "7 Mar"},
         "2025-03-01T00:00:00Z",
         "2025-03-07T00:00:00Z"},
        {"2024-01-01T00:00:00Z",
         "2025-12-31T00:00:00Z",
         false,
         10,
         {"Jan 2024", "Apr 2024", "Jul 2024", "Oct 2024", "Jan 2025", "Apr 2025", "Jul 2025", "Oct 2025"},
         "2024-01-01T00:00:00Z",
         "2025-12-31T00:00:00Z"},
        {"1961-05-02T00:00:00Z",
         "2019-08-01T00:00:00Z",
         true,
         8,
         {"1960", "1970", "1980", "1990", "2000", "2010", "2020"},
         "1960-01-01T00:00:00Z",
         "2020-01-01T00:00:00Z"},
        // Enclosing boundaries lie beyond times that sit on one.
        {"2024-01-01T00:00:00Z",
         "2025-12-31T00:00:00Z",
         true,
         6,
         {"Jul 2023", "Jan 2024", "Jul 2024", "Jan 2025", "Jul 2025", "Jan 2026"},
         "2023-07-01T00:00:00Z",
         "2026-01-01T00:00:00Z"},
        // One time alone still gives a range.
        {"2025-06-15T12:00:00Z",
         "2025-06-15T12:00:00Z",
         false,
         6,
         {"12:00", "13:00"},
         "2025-06-15T12:00:00Z",
         "2025-06-15T13:00:00Z"},
    };
    for (const Case& c : cases) {
        const vizorb::TimeTicks t = vizorb::calendarTicks(at(c.first), at(c.last), c.maxTicks, c.enclose);
        EXPECT_EQ(t.labels, c.labels) << c.first;
        EXPECT_EQ(t.lo, at(c.lo)) << c.first;
        EXPECT_EQ(t.hi, at(c.hi)) << c.first;
    }
}

TEST(CalendarTicks, SpokeLabelsTakeTheFormOfTheirSpacing)
{
    EXPECT_EQ(vizorb::timeLabels({at("2025-01-01T00:00:00Z"), at("2025-02-01T00:00:00Z")}),
              (QStringList{"Jan 2025", "Feb 2025"}));
    EXPECT_EQ(vizorb::timeLabels({at("2025-03-03T00:00:00Z"), at("2025-03-04T00:00:00Z")}),
              (QStringList{"3 Mar", "4 Mar"}));
    EXPECT_EQ(vizorb::timeLabels({at("2020-01-01T00:00:00Z"), at("2021-01-01T00:00:00Z")}),
              (QStringList{"2020", "2021"}));
}

TEST(ValueTicks, RangesAreFiniteAndNice)
{
    struct Case {
        double lo, hi;
        int steps;
        double wantLo, wantHi;
    };
    const Case cases[] = {
        {3, 97, 8, 0, 100},
        {0, 1, 4, 0, 1},
        {1e17, 1e17, 8, 9e16, 1.1e17},
        {0, 2.5e7, 5, 0, 2.5e7},
        // Extreme ends keep their values where rounding would overflow.
        {-DBL_MAX, -DBL_MAX, 8, -DBL_MAX, NAN},
        {-DBL_MAX, DBL_MAX, 8, -DBL_MAX, DBL_MAX},
    };
    for (const Case& c : cases) {
        const vizorb::ValueTicks t = vizorb::valueTicks(c.lo, c.hi, c.steps, true);
        EXPECT_TRUE(std::isfinite(t.lo) && std::isfinite(t.hi) && t.hi > t.lo) << c.lo;
        EXPECT_DOUBLE_EQ(t.lo, c.wantLo) << c.lo;
        if (!std::isnan(c.wantHi)) {
            EXPECT_DOUBLE_EQ(t.hi, c.wantHi) << c.lo;
        }
    }
}

class AxisSceneTest : public ::testing::Test {
protected:
    AxisSceneTest()
    {
        control.widget()->resize(815, 526);
        control.widget()->show();
    }

    void load(const QString& xml, const char* type)
    {
        ASSERT_EQ(control.get(id::LoadDataXml, {Variant(xml)}), Variant(true));
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
        ASSERT_TRUE(QTest::qWaitForWindowExposed(control.widget()));
        control.view().renderImage();
    }

    // The visible texts of the chart's scene, with where they are drawn.
    QList<std::pair<QString, QPolygonF>> texts()
    {
        QList<std::pair<QString, QPolygonF>> found;
        for (QGraphicsItem* item : control.view().scene()->items()) {
            QString plain;
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item))
                plain = text->toPlainText();
            else if (auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item))
                plain = simple->text();
            if (plain.isEmpty() || !item->isVisible())
                continue;
            // Wrapped lines read as the text they came from.
            plain.replace(QChar(0x2028), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            // Qt Charts' label items keep a blank margin of 2 px around their text: margins may touch.
            const QRectF box = item->boundingRect();
            found.append({plain, item->mapToScene(box.adjusted(2, 2, -2, -2))});
        }
        return found;
    }

    vizorb::VizorbControl control{QStringLiteral("7.00")};
};

QString categoriesXml(const QStringList& names)
{
    QString xml = QStringLiteral("<ChartData><Categories>");
    QStringList values;
    for (const QString& name : names) {
        xml += QStringLiteral("<Category>%1</Category>").arg(name.toHtmlEscaped());
        values << QString::number(values.size() + 1);
    }
    return xml + QStringLiteral("</Categories><Series Name=\"S\">%1</Series></ChartData>").arg(values.join(';'));
}

TEST_F(AxisSceneTest, CategoryLabelsAreWholeAndApart)
{
    QStringList halfHours, items;
    for (int i = 0; i < 48; ++i)
        halfHours << QStringLiteral("%1:%2").arg(i / 2, 2, 10, QLatin1Char('0')).arg(i % 2 ? "30" : "00");
    for (int i = 1; i <= 300; ++i)
        items << QStringLiteral("Item %1").arg(i, 3, 10, QLatin1Char('0'));
    const QStringList longNames = {"Europe, Middle East and Africa", "Asia Pacific and Japan",
                                   "North and South America", "<b>Bold</b> & more", "<b>Bold</b> & more"};
    struct Case {
        QStringList names;
        const char* type;
        int least; // labels drawn at least
    };
    const Case cases[] = {{halfHours, "Columns", 6},
                          {longNames, "Columns", 5},
                          {longNames, "Bars", 5},
                          {halfHours, "Lines", 6},
                          {items, "Area", 6}};
    for (const Case& c : cases) {
        load(categoriesXml(c.names), c.type);
        QList<std::pair<QString, QPolygonF>> labels;
        for (const auto& [text, rect] : texts()) {
            if (c.names.contains(text))
                labels.append({text, rect});
            EXPECT_FALSE(text.contains(QChar(0x2026)) || text.contains(QLatin1String("..."))) << text.toStdString();
        }
        EXPECT_GE(labels.size(), c.least) << c.type;
        for (qsizetype i = 0; i < labels.size(); ++i)
            for (qsizetype j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].second.intersects(labels[j].second))
                    << labels[i].first.toStdString() << " / " << labels[j].first.toStdString();
        for (QAbstractAxis* axis : control.view().chart()->axes())
            EXPECT_FALSE(axis->labelsTruncated()) << c.type;
    }
}

QString timesXml(QDate first, int count, int monthsApart)
{
    QStringList times, values;
    for (int i = 0; i < count; ++i) {
        const QDate date = monthsApart ? first.addMonths(i * monthsApart) : first.addDays(i);
        times << QDateTime(date, QTime(0, 0), Qt::UTC).toString(Qt::ISODate);
        values << QString::number(10 + (i * 7) % 30);
    }
    return QStringLiteral("<ChartData><Times>%1</Times><Series Name=\"S\">%2</Series></ChartData>")
        .arg(times.join(';'), values.join(';'));
}

TEST_F(AxisSceneTest, TimesAreLabelledInCalendarForms)
{
    struct Case {
        QString xml;
        const char* type;
        const char* label; // one label that must be drawn
    };
    const Case cases[] = {
        {timesXml(QDate(2024, 1, 1), 730, 0), "Lines", "Jan 2025"},
        {timesXml(QDate(2024, 1, 1), 730, 0), "TimeScatter", "Jan 2025"},
        {timesXml(QDate(2025, 1, 1), 12, 1), "Radar", "Mar 2025"},
        {timesXml(QDate(2025, 1, 1), 12, 1), "Polar", "Mar 2025"},
        {timesXml(QDate(2025, 1, 1), 12, 1), "Columns", "Mar 2025"},
        {timesXml(QDate(2025, 1, 1), 12, 1), "Doughnut", "Mar 2025"},
    };
    for (const Case& c : cases) {
        load(c.xml, c.type);
        QStringList drawn;
        for (const auto& [text, where] : texts())
            drawn << text;
        EXPECT_TRUE(drawn.contains(QLatin1String(c.label))) << c.type << ": " << drawn.join('|').toStdString();
        EXPECT_FALSE(drawn.join('|').contains(QLatin1String("T00:00"))) << c.type;
        // Radial labels stand clear of the series' corners.
        if (!qobject_cast<QPolarChart*>(control.view().chart()))
            continue;
        for (QGraphicsItem* item : control.view().scene()->items()) {
            auto* label = dynamic_cast<QGraphicsSimpleTextItem*>(item);
            if (!label || !label->isVisible())
                continue;
            const QPolygonF where = label->mapToScene(label->boundingRect());
            for (QAbstractSeries* series : control.view().chart()->series())
                for (QPointF p : static_cast<QXYSeries*>(series)->points())
                    EXPECT_FALSE(where.containsPoint(control.view().chart()->mapToPosition(p, series), Qt::OddEvenFill))
                        << c.type << " " << label->text().toStdString();
        }
    }
}

TEST_F(AxisSceneTest, EqualHugeValuesGiveAFiniteRange)
{
    load(QStringLiteral("<ChartData><Series Name=\"S\">1e17;1e17;1e17</Series></ChartData>"), "Lines");
    for (QAbstractAxis* axis : control.view().chart()->axes(Qt::Vertical))
        if (auto* v = qobject_cast<QValueAxis*>(axis)) {
            EXPECT_TRUE(std::isfinite(v->min()) && std::isfinite(v->max()));
            EXPECT_LT(v->min(), 1e17);
            EXPECT_GT(v->max(), 1e17);
        }
}

} // namespace
