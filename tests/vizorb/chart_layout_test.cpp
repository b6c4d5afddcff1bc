// What the chart draws, read from its scene: every chart type, for the examples and for hard
// fixtures (tests/vizorb/fixtures), beside the wizard and alone, at the sizes the program uses.
// Set PLOTWRIGHT_CHART_SHOTS to a folder to save every drawn chart there as fixture_type_size.png.
#include "vizorb/chart/chart_text.h"
#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"
#include "vizorb/model/chart_model.h"

#include <QAbstractAxis>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QRawFont>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

QString sourceText(const QString& path)
{
    QFile file(QStringLiteral(PLOTWRIGHT_SOURCE_DIR "/") + path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // As the program hands files over: one character per byte.
    return QString::fromLatin1(file.readAll());
}

// The XML document of a sample file that ends with `endTag`.
QString documentIn(const QString& sample, const QString& endTag)
{
    const qsizetype end = sample.indexOf(endTag);
    const qsizetype start = sample.lastIndexOf(QLatin1String("<?xml"), end);
    return end < 0 || start < 0 ? QString() : sample.mid(start, end + endTag.size() - start);
}

struct Fixture {
    const char* name;
    QString data;            // a data file, or a sample file holding data and customizing
    QStringList customizing; // the first replaces the customizing, the others are added on top
    bool valueLabels = false;
};

// The rectangle the glyphs of a laid-out text cover: a text's box holds line spacing above and
// below its glyphs, and boxes that overlap where no glyph is are not what a reader sees.
QRectF inkOf(const QTextLayout& layout)
{
    QRectF ink;
    for (int l = 0; l < layout.lineCount(); ++l)
        for (const QGlyphRun& run : layout.lineAt(l).glyphRuns()) {
            const QRawFont font = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i)
                ink |= font.boundingRect(glyphs[i]).translated(positions[i]);
        }
    return ink.translated(layout.position());
}

QRectF inkOf(const QGraphicsTextItem& item)
{
    QRectF ink;
    for (QTextBlock block = item.document()->begin(); block.isValid(); block = block.next())
        ink |= inkOf(*block.layout());
    return ink;
}

// Laid out as QGraphicsSimpleTextItem lays out its text.
QRectF inkOf(const QGraphicsSimpleTextItem& item)
{
    QString text = item.text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, item.font());
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return inkOf(layout);
}

// One text of the scene: its lines, and the outline of its glyphs half a pixel in from every
// side, so glyphs that merely touch do not count as overlapping.
struct DrawnText {
    QStringList lines;
    QString text; // the lines joined with a space
    QFont font;
    QPolygonF outline;
    QList<QPolygonF> clips; // outlines of the ancestors that clip it
};

QList<DrawnText> drawnTexts(const QGraphicsScene& scene)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\n\\x{2028}\\x{2029}]"));
    QList<DrawnText> texts;
    for (QGraphicsItem* item : scene.items()) {
        if (!item->isVisible() || item->effectiveOpacity() <= 0)
            continue;
        QString text;
        QRectF ink;
        QFont font;
        if (auto* rich = dynamic_cast<QGraphicsTextItem*>(item)) {
            text = rich->toPlainText();
            ink = inkOf(*rich);
            font = rich->font();
        } else if (auto* plain = dynamic_cast<QGraphicsSimpleTextItem*>(item)) {
            text = plain->text();
            ink = inkOf(*plain);
            font = plain->font();
        } else {
            continue;
        }
        if (text.trimmed().isEmpty())
            continue;
        DrawnText drawn;
        for (const QString& line : text.split(lineBreak))
            drawn.lines << line.trimmed();
        drawn.text = drawn.lines.join(QLatin1Char(' '));
        drawn.font = font;
        drawn.outline = item->mapToScene(ink.adjusted(0.5, 0.5, -0.5, -0.5));
        for (QGraphicsItem* p = item->parentItem(); p; p = p->parentItem())
            if (p->flags() & QGraphicsItem::ItemClipsChildrenToShape)
                drawn.clips << p->mapToScene(p->boundingRect());
        texts << drawn;
    }
    return texts;
}

// Whether `lines`, joined at spaces (or inside a word wider than a line), are `text`.
bool joinsInto(const QStringList& lines, const QString& text)
{
    qsizetype at = 0;
    for (const QString& line : lines) {
        if (at > 0 && at < text.size() && text[at] == QLatin1Char(' '))
            ++at;
        if (QStringView(text).mid(at, line.size()) != line)
            return false;
        at += line.size();
    }
    return at == text.size();
}

// Whether some lines of one drawn text, joined, are `text` (a title and its subtitle may share an item).
bool drawnWhole(const QList<DrawnText>& texts, const QString& text)
{
    for (const DrawnText& drawn : texts)
        for (qsizetype first = 0; first < drawn.lines.size(); ++first)
            for (qsizetype count = 1; first + count <= drawn.lines.size(); ++count)
                if (joinsInto(drawn.lines.mid(first, count), text))
                    return true;
    return false;
}

bool contained(const QPolygonF& outline, const QPolygonF& area)
{
    return area.boundingRect().contains(outline.boundingRect());
}

// Counts each kind of fault of one chart and keeps its first example.
class Faults {
public:
    void add(const char* check, const QString& example)
    {
        auto& [count, first] = m_faults[check];
        if (count++ == 0)
            first = example;
    }
    void report(const std::string& where) const
    {
        for (const auto& [check, fault] : m_faults)
            ADD_FAILURE() << where << ": " << check << " (" << fault.first << " times), e.g. \""
                          << fault.second.toStdString() << "\"";
    }

private:
    std::map<std::string, std::pair<int, QString>> m_faults;
};

// Value axes read honestly: labels in one form (plain digits, or one suffix for
// the axis), with equal decimals, a nice step apart, each the exact value of its tick.
// `customized` tells an axis (by its path) that draws a customized number format.
void checkValueLabels(vizorb::ChartView* view, const std::function<bool(const QString&)>& customized, Faults& faults)
{
    static const QRegularExpression form(QStringLiteral("^(-?)([0-9]{1,3}(,[0-9]{3})*|[0-9]+)(\\.([0-9]+))?(\\D.*)?$"));
    static const QRegularExpression comment(QStringLiteral("<!--\\d+-->"));
    for (QAbstractAxis* axis : view->chart()->axes()) {
        auto* values = qobject_cast<QCategoryAxis*>(axis);
        if (!values || axis->objectName().isEmpty() || !axis->isVisible() || customized(axis->objectName()))
            continue;
        // Near the double range an axis is handed scaled values: its ticks' true values are labelled.
        const auto range = view->shownRange(axis->objectName());
        const double unit = !range                 ? 1.0
                            : values->max() != 0.0 ? range->second / values->max()
                                                   : range->first / values->min();
        QList<double> ticks;
        QString suffix;
        qsizetype decimals = -1;
        for (const QString& markup : values->categoriesLabels()) {
            const QString label = QString(markup).remove(comment);
            const QRegularExpressionMatch m = form.match(label);
            if (!m.hasMatch()) {
                faults.add("value label not a number", label);
                continue;
            }
            if (decimals < 0) {
                decimals = m.captured(5).size();
                suffix = m.captured(6);
            }
            if (m.captured(5).size() != decimals || m.captured(6) != suffix)
                faults.add("value labels in more than one form", label);
            const double tick = values->endValue(markup) * unit;
            if (suffix.isEmpty() && QString(label).remove(QLatin1Char(',')).toDouble() != tick)
                faults.add("value label not its tick's value", label);
            ticks << tick;
        }
        for (qsizetype k = 2; k < ticks.size(); ++k)
            if (std::abs((ticks[k] - ticks[k - 1]) - (ticks[1] - ticks[0])) > 1e-9 * std::abs(ticks[1] - ticks[0]))
                faults.add("value ticks unevenly apart", axis->objectName());
        if (ticks.size() >= 2) {
            const double step = ticks[1] - ticks[0];
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
            if (!(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 || std::abs(mantissa - 2.5) < 1e-6 ||
                  std::abs(mantissa - 5) < 1e-6 || std::abs(mantissa - 10) < 1e-6))
                faults.add("value step not nice", QString::number(step));
        }
    }
}

class ChartLayoutTest : public ::testing::Test {
protected:
    QString attribute(const char* path, const char* name)
    {
        return control.get(id::GetAttribute, {Variant(path), Variant(name)}).toString();
    }
    bool visible(const QString& path)
    {
        return control.get(id::GetAttribute, {Variant(path), Variant("Visible")}).toString() == QLatin1String("true");
    }

    void check(const QString& type, Faults& faults);

    vizorb::VizorbControl control{QStringLiteral("7.00")};
};

void ChartLayoutTest::check(const QString& type, Faults& faults)
{
    auto* view = control.widget()->findChild<vizorb::ChartView*>();
    ASSERT_NE(view, nullptr);
    QChart* chart = view->chart();
    const QList<DrawnText> texts = drawnTexts(*view->scene());
    const vizorb::ChartData& data = control.model().data();

    // What the data and the customizing hold, and what of it the chart must show whole.
    QStringList known, whole, series;
    for (const char* path : {"Title", "Subtitle"}) {
        const QString caption = attribute(path, "Caption");
        known << caption;
        // Beyond what any layout can show, a caption is drawn cut, as that whole.
        if (visible(QLatin1String(path)) && !caption.isEmpty())
            whole << vizorb::drawnText(caption);
    }
    for (const char* path : {"CategoryAxis.Title", "CategoryAxis.Unit", "ValueAxis.Title", "ValueAxis.Unit"})
        known << attribute(path, "Caption");
    for (qsizetype s = 0; s < data.series.size(); ++s) {
        const QString path = QStringLiteral("Series%1").arg(s + 1);
        const QString caption = control.get(id::GetAttribute, {Variant(path), Variant("Caption")}).toString();
        const QString name = caption.isEmpty() ? data.series[s].name : caption;
        known << name;
        if (visible(path))
            series << name;
    }
    known << data.categories;

    const bool drawn = view->hintText().isEmpty();
    const bool pie = type == QLatin1String("Pie") || type == QLatin1String("Doughnut");
    if (drawn && visible(QStringLiteral("Legend"))) {
        // A pie names the series it draws and a doughnut its rings, once there is more than one.
        if (!pie)
            whole << series;
        else if (series.size() > 1)
            whole << (type == QLatin1String("Pie") ? series.mid(0, 1) : series);
    }
    for (const QString& text : whole)
        if (!drawnWhole(texts, text))
            faults.add("title, subtitle or series name not drawn whole", text);

    // Categories label the points of every chart that lays them out by category.
    static const QStringList byCategory = {
        QStringLiteral("Lines"),       QStringLiteral("StackedLines"), QStringLiteral("Bars"),
        QStringLiteral("StackedBars"), QStringLiteral("Columns"),      QStringLiteral("StackedColumns"),
        QStringLiteral("Area"),        QStringLiteral("StackedArea"),  QStringLiteral("Radar")};
    const bool categoriesShown = pie ? visible(QStringLiteral("Legend")) : visible(QStringLiteral("CategoryAxis"));
    if (drawn && !data.categories.isEmpty() && data.x.isEmpty() && data.times.isEmpty() && categoriesShown &&
        (pie || byCategory.contains(type)) &&
        std::none_of(data.categories.begin(), data.categories.end(),
                     [&](const QString& category) { return drawnWhole(texts, category); }))
        faults.add("no category drawn whole", data.categories.first());

    static const QRegularExpression isoTime(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT"));
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    const QPolygonF area = view->mapToScene(view->viewport()->rect());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const DrawnText& t = texts[i];
        const bool elided = t.text.contains(QChar(0x2026)) || t.text.contains(QLatin1String("..."));
        // Only a text beyond what any layout can show ends in an ellipsis.
        if (elided && !(t.text.endsWith(QChar(0x2026)) && t.text.size() >= vizorb::kMaxDrawnText - 2))
            faults.add("ellipsis", t.text);
        if (t.text.contains(isoTime))
            faults.add("raw ISO time", t.text);
        if (!contained(t.outline, area))
            faults.add("outside the chart", t.text);
        for (const QPolygonF& clip : t.clips)
            if (!contained(t.outline, clip))
                faults.add("clipped", t.text);
        // A text that is part of a category, title or name, but not all of it, was cut
        // (unless that source is drawn whole elsewhere: then the likeness is chance).
        if (!elided && t.text.contains(letter) && !known.contains(t.text))
            for (const QString& source : known)
                if (source.contains(t.text) && !drawnWhole(texts, source)) {
                    faults.add("drawn in part", t.text + QLatin1String(" of ") + source);
                    break;
                }
        for (qsizetype j = i + 1; j < texts.size(); ++j)
            if (t.outline.boundingRect().intersects(texts[j].outline.boundingRect()) &&
                t.outline.intersects(texts[j].outline))
                faults.add("overlap", t.text + QLatin1String(" / ") + texts[j].text);
    }
    static const QRegularExpression notFinite(QStringLiteral("\\b(nan|inf)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const DrawnText& t : texts)
        if (t.text.contains(notFinite) && !known.contains(t.text))
            faults.add("nan or inf drawn", t.text);
    checkValueLabels(
        view,
        [&](const QString& path) {
            return !control.get(id::GetAttribute, {Variant(path), Variant("NumberFormat")}).toString().isEmpty();
        },
        faults);
    for (QAbstractAxis* axis : chart->axes())
        if (axis->isVisible() && axis->labelsTruncated())
            faults.add("axis labels truncated", axis->metaObject()->className());

    // Whatever the fonts and texts, the chart and its picture keep the control's size.
    if (chart->size() != QSizeF(view->size()) || view->renderImage().size() != view->size())
        faults.add("chart or picture not the control's size",
                   QStringLiteral("%1 x %2").arg(chart->size().width()).arg(chart->size().height()));
    // Names and categories have no font of their own: they take the whole chart's family and weight.
    const QString family = attribute("GlobalSettings", "FontFamily");
    const bool bold = attribute("GlobalSettings", "FontBold") == QLatin1String("true");
    for (const DrawnText& t : texts)
        if ((series.contains(t.text) || data.categories.contains(t.text)) &&
            ((!family.isEmpty() && t.font.family() != family) || (bold && !t.font.bold())))
            faults.add("not in the chart's font", t.text + QLatin1String(": ") + t.font.family());
    for (const DrawnText& t : texts)
        if (contained(t.outline, area) && !contained(t.outline, area.boundingRect().adjusted(2, 2, -2, -2)))
            faults.add("touches the chart's edge", t.text);
    // Leader lines of slice labels and ring names do not cross.
    QList<QPolygonF> leaders;
    for (QGraphicsItem* item : view->scene()->items())
        if (auto* path = dynamic_cast<QGraphicsPathItem*>(item); path && path->isVisible() && pie) {
            QPolygonF line;
            for (int k = 0; k < path->path().elementCount(); ++k)
                line << path->mapToScene(QPointF(path->path().elementAt(k)));
            leaders << line;
        }
    for (qsizetype i = 0; i < leaders.size(); ++i)
        for (qsizetype j = i + 1; j < leaders.size(); ++j)
            for (qsizetype a = 0; a + 1 < leaders[i].size(); ++a)
                for (qsizetype b = 0; b + 1 < leaders[j].size(); ++b)
                    if (QLineF(leaders[i][a], leaders[i][a + 1])
                            .intersects(QLineF(leaders[j][b], leaders[j][b + 1]), nullptr) ==
                        QLineF::BoundedIntersection)
                        faults.add("leader lines cross", QString::number(i));
    if (!drawn || data.categories.isEmpty() || !data.x.isEmpty() || !data.times.isEmpty())
        return;

    // Every category is named where its axis gives each one a line's height.
    QFont font = QApplication::font();
    font.setPointSizeF(attribute("GlobalSettings", "FontSize").toDouble());
    const QFontMetricsF fm(font);
    const QRectF plot = chart->plotArea();
    const qsizetype n = data.categories.size();
    const bool radar = type == QLatin1String("Radar");
    const bool acrossY = type.endsWith(QLatin1String("Bars"));
    if (categoriesShown && !pie && !radar && byCategory.contains(type) &&
        (acrossY ? plot.height() : plot.width()) >= n * fm.height())
        for (const QString& category : data.categories)
            if (!drawnWhole(texts, category))
                faults.add("category left off though one line each fits", category);
    if (!radar)
        return;
    // A spoke keeps its grid line, named or not, and is named where the circle leaves its
    // neighbours room for its longest word beside it.
    const QPointF centre = view->chart()->mapToScene(plot.center());
    qsizetype spokes = 0;
    for (QGraphicsItem* item : view->scene()->items())
        if (auto* line = dynamic_cast<QGraphicsLineItem*>(item); line && line->isVisible()) {
            const QPointF a = line->mapToScene(line->line().p1()), b = line->mapToScene(line->line().p2());
            const bool fromCentre = QLineF(a, centre).length() < 1 || QLineF(b, centre).length() < 1;
            if (fromCentre && QLineF(a, b).length() > plot.width() / 4)
                ++spokes;
        }
    if (spokes < n)
        faults.add("spoke without its grid line", QString::number(n - spokes));
    double word = 0;
    for (const QString& category : data.categories)
        for (const QString& w : category.split(QLatin1Char(' ')))
            word = std::max(word, fm.horizontalAdvance(w));
    if (M_PI * plot.width() / n >= word + fm.height())
        for (const QString& category : data.categories)
            if (!drawnWhole(texts, category))
                faults.add("spoke left unnamed though it has room", category);
}

TEST_F(ChartLayoutTest, EveryTextIsWholeReadableAndInsideTheChart)
{
    const QString f = QStringLiteral("tests/vizorb/fixtures/"), e = QStringLiteral("examples/");
    const std::vector<Fixture> fixtures = {
        {"long-categories", f + "long-categories.xml", {f + "long-title.xml"}},
        {"many-series", f + "many-series.xml", {f + "legend-right.xml"}},
        {"thirty-series", f + "thirty-series.xml", {}},
        {"pie-slices", f + "pie-slices.xml", {}},
        {"doughnut-rings", f + "doughnut-rings.xml", {}},
        {"monthly-times", f + "monthly-times.xml", {}},
        {"daily-times", f + "daily-times.xml", {}},
        {"half-hours", f + "half-hours.xml", {}},
        {"many-categories", f + "many-categories.xml", {}},
        {"large-scatter", f + "large-scatter.xml", {}},
        {"markup", f + "markup.xml", {f + "markup-titles.xml"}},
        {"quarterly-sales", e + "quarterly-sales.xml", {e + "sales-customizing.xml", e + "highlight-customizing.xml"}},
        {"quarterly-tradeshow", e + "quarterly-sales.xml", {e + "tradeshow-columns.xml"}},
        {"quarterly-minimal", e + "quarterly-sales.xml", {e + "minimal-lines.xml"}},
        {"share-breakdown", e + "share-breakdown.xml", {}},
        {"time-series", e + "time-series.xml", {}},
        {"sample-file", e + "quarterly-sales.pws", {}},
        {"long-names-left", f + "long-series-names.xml", {f + "legend-left-url.xml"}},
        {"long-names-top-large", f + "long-series-names.xml", {f + "legend-top-large-font.xml"}},
        {"large-numbers", f + "large-numbers.xml", {f + "axis-captions.xml"}},
        {"single-point", f + "single-point.xml", {}, true},
        {"over-midnight", f + "over-midnight.xml", {}},
        {"decade-apart", f + "decade-apart.xml", {}},
        {"forty-categories", f + "forty-categories.xml", {f + "second-axes.xml"}},
        {"tiny-slices", f + "tiny-slices.xml", {}},
        {"german-states", f + "german-states.xml", {}},
        {"eu-countries", f + "eu-countries.xml", {}},
        {"material-properties", f + "material-properties.xml", {}},
        {"ten-spokes", f + "ten-spokes.xml", {}},
        {"twelve-months", f + "twelve-months.xml", {f + "legend-right.xml"}},
        {"big-fonts", e + "quarterly-sales.xml", {f + "big-fonts.xml"}},
        {"long-words-title", f + "german-states.xml", {f + "long-words-title.xml", f + "legend-right.xml"}},
        {"population", f + "population.xml", {}, true},
        {"small-values", f + "small-values.xml", {}},
        {"fixed-0-3", f + "scores.xml", {f + "fixed-0-3.xml"}},
        {"fixed-0-7", f + "scores.xml", {f + "fixed-0-7.xml"}},
        {"float-noise", f + "float-noise.xml", {}, true},
        {"double-range", f + "double-range.xml", {f + "second-axes.xml"}},
        {"monthly-revenue", f + "monthly-revenue.xml", {f + "euro-format-left.xml"}},
        {"unemployment", f + "unemployment-regions.xml", {f + "percent-fixed.xml"}, true},
        {"temperature-anomalies", f + "temperature-anomalies.xml", {}},
        {"molar-concentrations", f + "molar-concentrations.xml", {}, true},
        {"gdp-trillions", f + "gdp-trillions.xml", {f + "legend-right.xml"}},
        {"stock-prices", f + "stock-prices.xml", {}},
        {"survey-scores", f + "survey-eight-spokes.xml", {f + "scale-1-5.xml"}},
        {"departments", f + "departments-slashes.xml", {}},
        {"service-kpis", f + "service-kpis.xml", {f + "title-subtitle-11pt.xml"}},
        {"departments-serif-14", f + "departments-slashes.xml", {f + "serif-14-legend-right.xml"}, true},
        {"countries", f + "countries-life-expectancy.xml", {f + "legend-right.xml"}},
        {"small-rates", f + "small-rates-outlier.xml", {}, true},
        {"profit-and-loss", f + "profit-and-loss.xml", {}, true},
        {"arctic-temperatures", f + "arctic-temperatures.xml", {f + "legend-right.xml"}, true},
    };
    const QStringList types = {
        QStringLiteral("Lines"),       QStringLiteral("StackedLines"), QStringLiteral("Bars"),
        QStringLiteral("StackedBars"), QStringLiteral("Columns"),      QStringLiteral("StackedColumns"),
        QStringLiteral("Area"),        QStringLiteral("StackedArea"),  QStringLiteral("Pie"),
        QStringLiteral("Doughnut"),    QStringLiteral("Polar"),        QStringLiteral("Radar"),
        QStringLiteral("Scatter"),     QStringLiteral("TimeScatter")};
    struct Size {
        const char* name;
        QSize control;
        bool wizard;
    };
    const Size sizes[] = {{"wizard", {815, 498}, true}, {"alone", {815, 526}, false}};
    const QString shots = qEnvironmentVariable("PLOTWRIGHT_CHART_SHOTS");
    if (!shots.isEmpty())
        QDir().mkpath(shots);

    control.widget()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.widget()));
    auto settle = [] {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    };
    for (const Size& size : sizes) {
        control.widget()->resize(size.control);
        if (size.wizard)
            control.call(id::GoToWizardStep, {Variant(std::int16_t(1))});
        else
            control.call(id::FinishWizard);
        settle();
        // Beside the wizard the chart gets what the panel leaves; alone the whole control.
        const QSize chartSize = control.widget()->findChild<vizorb::ChartView*>()->size();
        if (size.wizard)
            ASSERT_LT(chartSize.width(), size.control.width());
        else
            ASSERT_EQ(chartSize, size.control);
        for (const Fixture& fixture : fixtures) {
            SCOPED_TRACE(fixture.name);
            QString data = sourceText(fixture.data);
            QStringList customizing;
            for (const QString& path : fixture.customizing)
                customizing << sourceText(path);
            if (fixture.data.endsWith(QLatin1String(".pws"))) {
                customizing = {documentIn(data, QStringLiteral("</Customizing>"))};
                data = documentIn(data, QStringLiteral("</ChartData>"));
            }
            ASSERT_EQ(control.get(id::LoadDataXml, {Variant(data)}), Variant(true));
            control.put(id::Mode12, Variant(fixture.valueLabels));
            if (customizing.isEmpty())
                customizing = {QStringLiteral("<Customizing/>")};
            for (qsizetype i = 0; i < customizing.size(); ++i)
                ASSERT_EQ(control.get(id::LoadCustomizingXml, {Variant(customizing[i]), Variant(i == 0)}),
                          Variant(true))
                    << control.get(id::LastErrorText).toString().toStdString();
            for (const QString& type : types) {
                control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(type)});
                settle();
                const std::string where = std::string(fixture.name) + " " + type.toStdString() + " " + size.name;
                Faults faults;
                check(type, faults);
                faults.report(where);
                if (!shots.isEmpty())
                    control.widget()->findChild<vizorb::ChartView*>()->renderImage().save(
                        QDir(shots).filePath(QStringLiteral("%1_%2_%3.png")
                                                 .arg(QLatin1String(fixture.name), type, QLatin1String(size.name))));
            }
        }
    }
}

} // namespace
