#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

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
    QVector<qint64> times;  // empty unless the data names times
    QVector<Series> series;
    friend bool operator==(const ChartData&, const ChartData&) = default;
};

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
    bool setAttribute(const QString& path, const QString& attribute, const QString& value,
                      QString* error = nullptr);

    // The element paths and attribute names the customizing knows.
    QStringList elementPaths() const;
    QStringList attributeNames(const QString& path) const;

    // Chart types this control draws, in order, restricted by SetChartTypes.
    QStringList offeredChartTypes() const;
    void restrictChartTypes(const QStringList& names);  // unknown names ignored
    QStringList paletteNames() const;
    // Whether "HideProperties" in section "Control" names this property.
    bool isPropertyHidden(const QString& propertyName) const;

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
    Private* d;
};

}  // namespace vizorb
