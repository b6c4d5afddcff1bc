#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

namespace vizorb {

class NumberFormat;

// A value axis: its range, ticks a nice step apart (1, 2, 2.5 or 5 times a
// power of ten) and one label a tick, all written in one form.
struct ValueScale {
    double lo = 0, hi = 1;
    double step = 1;
    QVector<double> ticks; // multiples of step within [lo, hi]
    QStringList labels;    // each the exact value of its tick
    friend bool operator==(const ValueScale&, const ValueScale&) = default;
};

// A finite, non-empty range around [lo, hi] for any (or missing) ends. Ends
// equal to within a few units in the last place are taken as equal, and equal
// ends are widened by a tenth of their value (by 1 around zero).
std::pair<double, double> drawnRange(double lo, double hi);

// At most `maxSteps` steps. With `round` the ends move out to the nice ticks
// around [lo, hi] (ends that would overflow stay as given); without, the ends
// are kept and the ticks fall inside them. Labels are plain digits (group
// separators from 10,000 up) from 0.001 to below 10^12, `compact` ones (a
// shared suffix k, M, G) from 1,000; beyond, a shared suffix or multiplier.
ValueScale valueScale(double lo, double hi, int maxSteps, bool round, bool compact = false);

// One value as a label: 15 significant digits, plain from 0.0001 to below 10^15
// with group separators from 10,000 up, else with an exponent.
QString valueText(double value);

// The same ticks labelled by a customized number format.
void relabel(ValueScale& scale, const NumberFormat& format);

// Qt Charts maps a value to pixels through its axis' max - min, which
// overflows near the double range. An axis whose values reach that far is
// handed them scaled by a power of two (exact in binary); its ticks stand at
// the scaled values and are labelled with the true ones.
struct AxisScaling {
    double factor = 1;
    double shown(double value) const { return value * factor; }
    double value(double shown) const { return shown / factor; }
    friend bool operator==(const AxisScaling&, const AxisScaling&) = default;
};

// The scaling of an axis whose values and ends are at most `magnitude` away from zero.
AxisScaling axisScaling(double magnitude);

} // namespace vizorb
