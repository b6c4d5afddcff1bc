#include "plotwright.h"

#include "event_list.h"

#include <QStringBuilder>

// Each line gives its numbers a sign position: a blank for zero and above, the
// minus sign below. Singles show at most 7 significant digits, doubles 15, always
// with a full stop; below 1 a zero stands before the point (" 0.25"), and from
// 10^7 (singles) or 10^15 (doubles) upwards, and below 0.0001, an exponent takes
// over (" 1.5E+20", "-2.5E-05").
namespace {

QString signPosition(bool negative, const QString& digits)
{
    return negative ? digits : QLatin1Char(' ') + digits;
}

QString integerText(std::int16_t value)
{
    return signPosition(value < 0, QString::number(value));
}

// formatNumber writes the minus sign itself.
QString singleText(float value)
{
    return signPosition(value < 0, platform::formatNumber(value, 7));
}

QString doubleText(double value)
{
    return signPosition(value < 0, platform::formatNumber(value, 15));
}

void appendAndSelect(EventList& list, const QString& line)
{
    list.addItem(line);
    list.setListIndex(list.newIndex());
}

} // namespace

void Plotwright::ctrlChart_MouseDown(std::int16_t& button, platform::Variant&, float& x, float& y)
{
    appendAndSelect(*ctrlEventList,
                    u"MouseDown: [" % integerText(button) % u"] " % singleText(x) % u"," % singleText(y));
}

void Plotwright::ctrlChart_MouseUp(std::int16_t& button, platform::Variant&, float& x, float& y)
{
    appendAndSelect(*ctrlEventList, u"MouseUp: [" % integerText(button) % u"] " % singleText(x) % u"," % singleText(y));
}

void Plotwright::ctrlChart_ObjectClicked(const QString& name, std::int16_t series, std::int16_t point)
{
    QString line = u"ObjectClicked: " % name;
    // Series 0 means no data point was hit, whatever the point says.
    if (series != 0)
        line += u" (Data: " % integerText(series) % u"," % integerText(point) % u")";
    appendAndSelect(*ctrlEventList, line);
}

void Plotwright::ctrlChart_ValueChanged(const QString& name, std::int16_t series, std::int16_t point,
                                        const platform::Variant&, double value)
{
    appendAndSelect(*ctrlEventList, u"ValueChanged: " % name % u" [" % integerText(series) % u"," % integerText(point) %
                                        u"] = " % doubleText(value));
}

void Plotwright::ctrlChart_PropertyChanged(const QString& path, const QString& attribute, const QString& value)
{
    appendAndSelect(*ctrlEventList, u"PropertyChanged: " % path % u" : " % attribute % u" = " % value);
}
