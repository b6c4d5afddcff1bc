#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

namespace vizorb {

// One named series of numbers; a missing value is NaN.
struct Series {
    QString name;
    QVector<double> values;
    friend bool operator==(const Series&, const Series&) = default;
};

// The chart's data: category labels (or, for time-based types, times in
// milliseconds since the epoch, UTC) and one or more series, each with one
// value per category.
struct ChartData {
    QStringList categories;
    QVector<qint64> times; // empty unless the data names times
    QVector<Series> series;
    QVector<double> x; // numeric positions (scatter, polar angles); empty unless the data names them
    friend bool operator==(const ChartData&, const ChartData&) = default;

    // Points per series: the longest of categories, times, x and the series.
    int pointCount() const;
    bool isEmpty() const { return series.isEmpty(); }
    // The label of point i: its category, else its time, else its x, else i + 1.
    QString label(int point) const;
};

// The customizing as set: element path -> attribute -> value, in canonical
// spelling and normal form. Unset attributes take the schema's default.
struct Customizing {
    QMap<QString, QMap<QString, QString>> values;
    friend bool operator==(const Customizing&, const Customizing&) = default;
};

// The schema of the customizing: which elements and attributes exist and
// what values they take.
namespace schema {
// Canonical spelling of an element path ("categoryaxis.title" -> "CategoryAxis.Title",
// "series3" -> "Series3"); empty when no such element exists.
QString canonicalPath(const QString& path);
// Canonical spelling of an attribute of a canonical path; empty when unknown.
QString canonicalAttribute(const QString& path, const QString& attribute);
// Checks and normalizes a value ("True" -> "true", "red" -> "#ff0000").
// False with a message naming the path when the value has the wrong form.
bool normalizeValue(const QString& path, const QString& attribute, const QString& value, QString* normalized,
                    QString* error);
QString defaultValue(const QString& path, const QString& attribute);
bool isReadOnly(const QString& path, const QString& attribute);
// Fixed element paths in document order (series elements are "Series1".."Series999").
QStringList fixedPaths();
QStringList attributeNames(const QString& path);
// Every chart type this control draws, in order.
QStringList chartTypes();
QStringList paletteNames();
QList<QColor> paletteColors(const QString& palette);
inline constexpr int maxSeriesElements = 999;
// The longest value an attribute takes (a caption): what the customizing
// writer makes of it stays within what its reader takes.
inline constexpr qsizetype kMaxValueLength = 65'536;
} // namespace schema

// The chart control's state: its data and its customizing, a tree of
// elements addressed by dotted paths ("Title", "CategoryAxis.Title",
// "Series2", ...) with named attributes. The wizard, the dispatch interface
// and the XML readers all change the chart through this one class, so every
// change is checked the same way and seen by the chart at once.
class ChartModel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChartModel)

public:
    explicit ChartModel(QObject* parent = nullptr);
    ~ChartModel() override;

    // ---- customizing -----------------------------------------------------
    // The attribute's current value as text ("" when unset and without default).
    QString attribute(const QString& path, const QString& attribute) const;
    // Sets one attribute exactly as SetAttribute does. An unknown element or
    // attribute, or a value of the wrong form, changes nothing and returns
    // false with a message naming the element's path.
    bool setAttribute(const QString& path, const QString& attribute, const QString& value, QString* error = nullptr);

    // The element paths and attribute names the customizing knows.
    QStringList elementPaths() const;
    QStringList attributeNames(const QString& path) const;

    // Chart types this control draws, in order, restricted by SetChartTypes.
    QStringList offeredChartTypes() const;
    void restrictChartTypes(const QStringList& names); // unknown names ignored
    QStringList paletteNames() const;
    // Whether "HideProperties" in section "Control" names this property.
    bool isPropertyHidden(const QString& propertyName) const;

    // The whole customizing as a value: a load checks a copy and applies it
    // in one step, so a rejected load changes nothing.
    const Customizing& customizing() const;
    void setCustomizing(Customizing customizing);
    // What "Control", "Version" reports (read only to callers).
    QString version() const;
    void setVersion(const QString& version);

    // The colour of series i (0-based): its own "Color", else the palette's.
    QColor seriesColor(int series) const;
    bool boolAttribute(const QString& path, const QString& attribute) const;

    // ---- data ------------------------------------------------------------
    const ChartData& data() const;
    void setData(ChartData data);
    // Changes one value (0-based series and point); false when out of range.
    bool setValue(int series, int point, double value);

Q_SIGNALS:
    void customizingChanged();
    void dataChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace vizorb
