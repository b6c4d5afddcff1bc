#include "vizorb/model/chart_model.h"

#include "vizorb/model/chart_type.h"
#include "vizorb/model/names.h"
#include "vizorb/model/number_format.h"
#include "vizorb/model/number_text.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/time_text.h"
#include "vizorb/xml/xml_text.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vizorb {

// ---- data -------------------------------------------------------------------

int ChartData::pointCount() const
{
    qsizetype count = std::max({categories.size(), times.size(), x.size()});
    for (const Series& s : series)
        count = std::max(count, s.values.size());
    return int(count);
}

QString ChartData::label(int point) const
{
    if (point >= 0 && point < categories.size())
        return categories[point];
    if (point >= 0 && point < times.size()) {
        // As the data is written: ISO dates drop the milliseconds, which may be all that tells two apart.
        QString text;
        appendIsoTime(text, times[point]);
        return text;
    }
    if (point >= 0 && point < x.size())
        return shortestNumber(x[point]);
    return QString::number(point + 1);
}

// ---- schema -----------------------------------------------------------------

namespace schema {
namespace {

enum class Kind {
    Text,
    FontFamily,
    PropertyList,
    Boolean,
    Color,
    OptionalColor,
    Number,
    OptionalNumber,
    NumberFormat,
    ChartType,
    Palette,
    Position,
    ReadOnly
};

// The largest font size (points) and line width (pixels) a chart takes.
constexpr double kMaxSize = 200;
// Family names are short; a longer one is no family.
constexpr qsizetype kMaxFamily = 100;

// The wizard looks up every property it shows in the list of hidden ones.
constexpr qsizetype kMaxPropertyList = 4096;

bool isPropertyList(QStringView list)
{
    if (list.size() > kMaxPropertyList)
        return false;
    for (QChar c : list)
        if (!(c.unicode() < 0x80 && c.isLetterOrNumber()) && !QStringView(u"._| ").contains(c))
            return false;
    return true;
}

// A font family reaches fonts and rich text: it may hold only what family
// names are made of, never markup or control characters.
bool isFamilyName(QStringView name)
{
    if (name.size() > kMaxFamily)
        return false;
    for (QChar c : name)
        if (!c.isLetterOrNumber() && !c.isMark() && !QStringView(u" -_.+()[]").contains(c))
            return false;
    return true;
}

struct AttributeSpec {
    const char* name;
    Kind kind;
    const char* defaultValue;
};

struct ElementSpec {
    const char* path;
    QList<AttributeSpec> attributes;
};

QList<AttributeSpec> withFont(QList<AttributeSpec> attributes, const char* size, const char* bold)
{
    attributes.append({"FontFamily", Kind::FontFamily, ""});
    attributes.append({"FontSize", Kind::Number, size});
    attributes.append({"FontBold", Kind::Boolean, bold});
    return attributes;
}

QList<AttributeSpec> axisAttributes(bool visible, bool gridLines)
{
    return {{"Visible", Kind::Boolean, visible ? "true" : "false"},
            {"Minimum", Kind::OptionalNumber, ""},
            {"Maximum", Kind::OptionalNumber, ""},
            {"GridLines", Kind::Boolean, gridLines ? "true" : "false"},
            {"NumberFormat", Kind::NumberFormat, ""},
            {"Color", Kind::Color, "#404040"}};
}

const QList<AttributeSpec> kCaptionAttributes = {{"Caption", Kind::Text, ""}, {"Visible", Kind::Boolean, "true"}};

const QList<ElementSpec>& elements()
{
    static const QList<ElementSpec> list = {
        {"GlobalSettings", withFont({{"ChartType", Kind::ChartType, "Columns"},
                                     {"ColorPalette", Kind::Palette, "Standard"},
                                     {"BackgroundColor", Kind::Color, "#ffffff"}},
                                    "9", "false")},
        {"Title",
         withFont({{"Caption", Kind::Text, ""}, {"Visible", Kind::Boolean, "true"}, {"Color", Kind::Color, "#000000"}},
                  "14", "true")},
        {"Subtitle",
         withFont({{"Caption", Kind::Text, ""}, {"Visible", Kind::Boolean, "true"}, {"Color", Kind::Color, "#404040"}},
                  "10", "false")},
        {"Legend", withFont({{"Visible", Kind::Boolean, "true"},
                             {"Position", Kind::Position, "Bottom"},
                             {"Color", Kind::Color, "#000000"}},
                            "9", "false")},
        {"CategoryAxis", axisAttributes(true, false)},
        {"CategoryAxis.Title", kCaptionAttributes},
        {"CategoryAxis.Unit", kCaptionAttributes},
        {"CategoryAxisSec", axisAttributes(false, false)},
        {"CategoryAxisSec.Title", kCaptionAttributes},
        {"CategoryAxisSec.Unit", kCaptionAttributes},
        {"ValueAxis", axisAttributes(true, true)},
        {"ValueAxis.Title", kCaptionAttributes},
        {"ValueAxis.Unit", kCaptionAttributes},
        {"ValueAxisSec", axisAttributes(false, false)},
        {"ValueAxisSec.Title", kCaptionAttributes},
        {"ValueAxisSec.Unit", kCaptionAttributes},
        {"Control",
         {{"Version", Kind::ReadOnly, ""},
          {"UseNewCustomizing", Kind::Boolean, "false"},
          {"HideProperties", Kind::PropertyList, ""},
          {"HidePoints", Kind::Boolean, "false"}}},
    };
    return list;
}

const QList<AttributeSpec> kSeriesAttributes = {{"Caption", Kind::Text, ""},
                                                {"Color", Kind::OptionalColor, ""},
                                                {"Visible", Kind::Boolean, "true"},
                                                {"LineWidth", Kind::Number, "2"}};

const QList<AttributeSpec>* attributesOf(const QString& canonical)
{
    if (canonical.startsWith(element::SeriesPrefix))
        return &kSeriesAttributes;
    for (const ElementSpec& e : elements())
        if (canonical == QLatin1String(e.path))
            return &e.attributes;
    return nullptr;
}

const AttributeSpec* attributeSpec(const QString& path, const QString& attribute)
{
    const QString canonical = canonicalPath(path);
    const QList<AttributeSpec>* attributes = canonical.isEmpty() ? nullptr : attributesOf(canonical);
    if (!attributes)
        return nullptr;
    for (const AttributeSpec& a : *attributes)
        if (attribute.compare(QLatin1String(a.name), Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

struct Palette {
    const char* name;
    QList<const char*> colors;
};

const QList<Palette>& palettes()
{
    static const QList<Palette> list = {
        {"Standard", {"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd", "#8c564b", "#e377c2", "#7f7f7f"}},
        {"Tradeshow", {"#c8102e", "#ffb81c", "#00843d", "#0057b8", "#6d2077", "#ff6a13", "#00a3ad", "#3d3935"}},
        {"Pastel", {"#a6cee3", "#fdbf6f", "#b2df8a", "#fb9a99", "#cab2d6", "#ffff99", "#8dd3c7", "#d9d9d9"}},
        {"Earth", {"#8c510a", "#bf812d", "#35978f", "#01665e", "#dfc27d", "#80cdc1", "#543005", "#003c30"}},
        {"Ocean", {"#023858", "#045a8d", "#0570b0", "#3690c0", "#74a9cf", "#a6bddb", "#016c59", "#02818a"}},
        {"Grayscale", {"#252525", "#636363", "#969696", "#bdbdbd", "#525252", "#737373", "#a0a0a0", "#d9d9d9"}},
    };
    return list;
}

QString lookup(const QStringList& names, const QString& value)
{
    for (const QString& n : names)
        if (n.compare(value.trimmed(), Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

} // namespace

QString canonicalPath(const QString& path)
{
    const QString p = path.trimmed();
    static const QRegularExpression seriesPattern(QStringLiteral("^series([1-9][0-9]{0,2})$"),
                                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = seriesPattern.match(p);
    if (m.hasMatch())
        return element::SeriesPrefix + m.captured(1);
    for (const ElementSpec& e : elements())
        if (p.compare(QLatin1String(e.path), Qt::CaseInsensitive) == 0)
            return QLatin1String(e.path);
    return {};
}

QString canonicalAttribute(const QString& path, const QString& attribute)
{
    const AttributeSpec* spec = attributeSpec(path, attribute);
    return spec ? QLatin1String(spec->name) : QString();
}

QStringList fixedPaths()
{
    QStringList paths;
    for (const ElementSpec& e : elements())
        paths << QLatin1String(e.path);
    return paths;
}

QStringList attributeNames(const QString& path)
{
    QStringList names;
    const QString canonical = canonicalPath(path);
    if (const QList<AttributeSpec>* attributes = canonical.isEmpty() ? nullptr : attributesOf(canonical))
        for (const AttributeSpec& a : *attributes)
            names << QLatin1String(a.name);
    return names;
}

QString defaultValue(const QString& path, const QString& attribute)
{
    const AttributeSpec* spec = attributeSpec(path, attribute);
    return spec ? QLatin1String(spec->defaultValue) : QString();
}

bool isReadOnly(const QString& path, const QString& attribute)
{
    const AttributeSpec* spec = attributeSpec(path, attribute);
    return spec && spec->kind == Kind::ReadOnly;
}

QStringList chartTypes()
{
    return chartTypeNames();
}

QStringList paletteNames()
{
    QStringList names;
    for (const Palette& p : palettes())
        names << QLatin1String(p.name);
    return names;
}

QList<QColor> paletteColors(const QString& palette)
{
    QList<QColor> colors;
    for (const Palette& p : palettes())
        if (palette.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            for (const char* c : p.colors)
                colors << QColor(QLatin1String(c));
    return colors;
}

bool normalizeValue(const QString& path, const QString& attribute, const QString& value, QString* normalized,
                    QString* error)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    const QString canonical = canonicalPath(path);
    if (canonical.isEmpty())
        return fail(QStringLiteral("Unknown element \"%1\".").arg(quoted(path)));
    const AttributeSpec* spec = attributeSpec(canonical, attribute);
    if (!spec)
        return fail(QStringLiteral("Unknown attribute \"%1\" of element \"%2\".").arg(quoted(attribute), canonical));
    const QString where = QStringLiteral("%1 of element \"%2\"").arg(QLatin1String(spec->name), canonical);
    // Whatever is taken must be written and read again: no character XML
    // cannot carry, and no value whose escaped form could outgrow the reader.
    if (value.size() > kMaxValueLength)
        return fail(QStringLiteral("%1 may hold at most %2 characters, not %3.")
                        .arg(where)
                        .arg(kMaxValueLength)
                        .arg(value.size()));
    if (const qsizetype at = firstUnwritable(value); at >= 0)
        return fail(QStringLiteral("%1 holds the character U+%2 (at %3), which XML cannot carry.")
                        .arg(where)
                        .arg(QString::number(value[at].unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                        .arg(at + 1));
    const QString v = value.trimmed();
    const QString shown = quoted(value);
    QString result;
    switch (spec->kind) {
    case Kind::ReadOnly:
        return fail(QStringLiteral("%1 is read only.").arg(where));
    case Kind::Text:
        result = value;
        break;
    case Kind::FontFamily:
        if (!isFamilyName(v))
            return fail(QStringLiteral("%1 must be a font family name (letters, digits, spaces and - _ . + ( ) [ ], at "
                                       "most %2 characters), not \"%3\".")
                            .arg(where)
                            .arg(kMaxFamily)
                            .arg(shown));
        result = v;
        break;
    case Kind::PropertyList:
        if (!isPropertyList(value))
            return fail(QStringLiteral("%1 must be property names such as Legend.Position joined by |, at most %2 "
                                       "characters, not \"%3\".")
                            .arg(where)
                            .arg(kMaxPropertyList)
                            .arg(shown));
        result = value;
        break;
    case Kind::Boolean:
        if (v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v == QLatin1String("1") ||
            v == QLatin1String("-1"))
            result = QStringLiteral("true");
        else if (v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || v == QLatin1String("0"))
            result = QStringLiteral("false");
        else
            return fail(QStringLiteral("%1 must be true or false, not \"%2\".").arg(where, shown));
        break;
    case Kind::OptionalColor:
    case Kind::Color: {
        if (v.isEmpty() && spec->kind == Kind::OptionalColor)
            break;
        const QColor color = QColor::fromString(v);
        if (!color.isValid())
            return fail(QStringLiteral("%1 must be a colour such as #1f77b4 or red, not \"%2\".").arg(where, shown));
        result = color.name(QColor::HexRgb);
        break;
    }
    case Kind::OptionalNumber:
    case Kind::Number: {
        if (v.isEmpty() && spec->kind == Kind::OptionalNumber)
            break;
        double number = 0;
        if (!readNumber(v, &number))
            return fail(QStringLiteral("%1 must be a number, not \"%2\".").arg(where, shown));
        if (spec->kind == Kind::Number && number <= 0)
            return fail(QStringLiteral("%1 must be greater than 0, not \"%2\".").arg(where, shown));
        // Sizes and widths reach fonts and pens: a giant one would stall every redraw.
        if (spec->kind == Kind::Number && number > kMaxSize)
            return fail(QStringLiteral("%1 must be at most %2, not \"%3\".").arg(where).arg(kMaxSize).arg(shown));
        result = shortestNumber(number);
        break;
    }
    case Kind::NumberFormat:
        // The format reaches printf: one number conversion and literal text, nothing else.
        if (!value.isEmpty() && !NumberFormat::parse(value))
            return fail(QStringLiteral("%1 must be empty or hold one number format such as %.1f, %d or %.1f%% "
                                       "(at most %2 characters), not \"%3\".")
                            .arg(where)
                            .arg(NumberFormat::kMaxLength)
                            .arg(shown));
        result = value;
        break;
    case Kind::ChartType:
        result = lookup(chartTypes(), v);
        if (result.isEmpty())
            return fail(QStringLiteral("%1: this control does not draw chart type \"%2\" (it draws %3).")
                            .arg(where, shown, chartTypes().join(QLatin1String(", "))));
        break;
    case Kind::Palette:
        result = lookup(paletteNames(), v);
        if (result.isEmpty())
            return fail(QStringLiteral("%1: unknown colour palette \"%2\" (known: %3).")
                            .arg(where, shown, paletteNames().join(QLatin1String(", "))));
        break;
    case Kind::Position:
        result = lookup(
            {QStringLiteral("Top"), QStringLiteral("Bottom"), QStringLiteral("Left"), QStringLiteral("Right")}, v);
        if (result.isEmpty())
            return fail(QStringLiteral("%1 must be Top, Bottom, Left or Right, not \"%2\".").arg(where, shown));
        break;
    }
    if (normalized)
        *normalized = result;
    return true;
}

} // namespace schema

// ---- model ------------------------------------------------------------------

struct ChartModel::Private {
    Customizing customizing;
    ChartData data;
    QStringList restriction;
    QString version;
};

ChartModel::ChartModel(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

ChartModel::~ChartModel() = default;

QString ChartModel::attribute(const QString& path, const QString& attribute) const
{
    const QString canonical = schema::canonicalPath(path);
    const QString name = schema::canonicalAttribute(canonical, attribute);
    if (name.isEmpty())
        return {};
    if (canonical == element::Control && name == attribute::Version)
        return d->version;
    const auto element = d->customizing.values.constFind(canonical);
    if (element != d->customizing.values.cend()) {
        const auto value = element->constFind(name);
        if (value != element->cend())
            return *value;
    }
    return schema::defaultValue(canonical, name);
}

bool ChartModel::setAttribute(const QString& path, const QString& attribute, const QString& value, QString* error)
{
    QString normalized;
    if (!schema::normalizeValue(path, attribute, value, &normalized, error))
        return false;
    const QString canonical = schema::canonicalPath(path);
    const QString name = schema::canonicalAttribute(canonical, attribute);
    auto& element = d->customizing.values[canonical];
    const auto existing = element.constFind(name);
    const std::optional<QString> before = existing == element.cend() ? std::nullopt : std::optional<QString>(*existing);
    if (before == normalized)
        return true;
    element.insert(name, normalized);
    if (!fitsReader(d->customizing, error)) {
        if (before)
            element.insert(name, *before);
        else
            element.remove(name);
        if (element.isEmpty())
            d->customizing.values.remove(canonical);
        return false;
    }
    Q_EMIT customizingChanged();
    return true;
}

QStringList ChartModel::elementPaths() const
{
    QStringList paths = schema::fixedPaths();
    const int series = std::max<int>(1, int(d->data.series.size()));
    for (int i = 1; i <= series; ++i)
        paths << element::SeriesPrefix + QString::number(i);
    return paths;
}

QStringList ChartModel::attributeNames(const QString& path) const
{
    return schema::attributeNames(path);
}

QStringList ChartModel::offeredChartTypes() const
{
    if (d->restriction.isEmpty())
        return schema::chartTypes();
    QStringList offered;
    for (const QString& type : schema::chartTypes())
        if (d->restriction.contains(type))
            offered << type;
    return offered;
}

void ChartModel::restrictChartTypes(const QStringList& names)
{
    QStringList known;
    for (const QString& name : names) {
        const QString type = schema::lookup(schema::chartTypes(), name);
        if (!type.isEmpty() && !known.contains(type))
            known << type;
    }
    if (known == d->restriction)
        return;
    d->restriction = known;
    Q_EMIT customizingChanged();
}

QStringList ChartModel::paletteNames() const
{
    return schema::paletteNames();
}

bool ChartModel::isPropertyHidden(const QString& propertyName) const
{
    const QStringList hidden =
        attribute(element::Control, attribute::HideProperties).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& h : hidden)
        if (h.trimmed().compare(propertyName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

const Customizing& ChartModel::customizing() const
{
    return d->customizing;
}

void ChartModel::setCustomizing(Customizing customizing)
{
    if (customizing == d->customizing)
        return;
    d->customizing = std::move(customizing);
    Q_EMIT customizingChanged();
}

QString ChartModel::version() const
{
    return d->version;
}

void ChartModel::setVersion(const QString& version)
{
    d->version = version;
}

QColor ChartModel::seriesColor(int series) const
{
    const QString own = attribute(element::SeriesPrefix + QString::number(series + 1), attribute::Color);
    if (!own.isEmpty())
        return QColor::fromString(own);
    const QList<QColor> colors = schema::paletteColors(attribute(element::GlobalSettings, attribute::ColorPalette));
    return colors.isEmpty() ? QColor(Qt::gray) : colors[series % colors.size()];
}

bool ChartModel::boolAttribute(const QString& path, const QString& attribute) const
{
    return this->attribute(path, attribute) == QLatin1String("true");
}

const ChartData& ChartModel::data() const
{
    return d->data;
}

void ChartModel::setData(ChartData data)
{
    d->data = std::move(data);
    Q_EMIT dataChanged();
}

bool ChartModel::setValue(int series, int point, double value)
{
    if (series < 0 || series >= d->data.series.size())
        return false;
    QVector<double>& values = d->data.series[series].values;
    if (point < 0 || point >= d->data.pointCount())
        return false;
    if (point >= values.size())
        values.resize(point + 1, std::nan(""));
    values[point] = value;
    Q_EMIT dataChanged();
    return true;
}

} // namespace vizorb
