#include "vizorb/chart/value_scale.h"

#include "vizorb/model/number_format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vizorb {
namespace {

// Ends this many units in the last place apart are float noise, not a range.
constexpr double kEqualUlps = 4;
// Below this a range is too narrow to divide into decimal ticks.
constexpr double kTinyRange = 1e-290;
// Tick indices stay well inside 64 bits, times the step's mantissa.
constexpr double kMaxIndex = 1e17;

// The double nearest to n * 10^e, as reading the decimal text would give it.
double decimalValue(long long n, int e)
{
    const std::string text = std::to_string(n) + 'e' + std::to_string(e);
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc::result_out_of_range)
        return e > 0 ? (n > 0 ? HUGE_VAL : -HUGE_VAL) : 0.0;
    return value;
}

// The gap between `x` (finite, not negative) and the next double below it.
double ulpOf(double x)
{
    return x - std::nextafter(x, 0.0);
}

// A nice step: mantissa 1, 2, 25 or 5 times 10^e (2.5 is 25 times 10^(p-1)).
struct Step {
    long long m = 1;
    int e = 0;
    double value() const { return decimalValue(m, e); }
    Step next() const
    {
        switch (m) {
        case 1:
            return {2, e};
        case 2:
            return {25, e - 1};
        case 25:
            return {5, e + 1};
        default:
            return {1, e + 1};
        }
    }
};

// The least nice step of at least `raw` (a positive finite number).
Step stepOf(double raw)
{
    Step s{1, int(std::floor(std::log10(raw))) - 1};
    // The largest finite step at most, for a range near the double range.
    for (int guard = 0; guard < 8 && s.value() < raw && std::isfinite(s.next().value()); ++guard)
        s = s.next();
    return s;
}

double tick(long long k, Step s)
{
    return decimalValue(k * s.m, s.e);
}

// The largest k whose tick is at most x (`atMost`), or the least whose tick is at least x.
long long index(double x, Step s, bool atMost)
{
    long long k = std::llround(x / s.value());
    if (atMost) {
        while (tick(k, s) > x)
            --k;
        while (tick(k + 1, s) <= x)
            ++k;
    } else {
        while (tick(k, s) < x)
            ++k;
        while (tick(k - 1, s) >= x)
            --k;
    }
    return k;
}

bool indexable(double lo, double hi, Step s)
{
    const double step = s.value();
    return step > 0 && std::isfinite(step) && std::abs(lo / step) < kMaxIndex && std::abs(hi / step) < kMaxIndex;
}

// One form for every label of an axis: value / 10^shift with a fixed count of
// decimals, and either group separators or one suffix for the whole axis.
struct LabelForm {
    int shift = 0;
    int decimals = 0;
    bool groups = false;
    QString suffix;
};

QString superscript(int n)
{
    static const char16_t digits[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    QString text = n < 0 ? QStringLiteral("⁻") : QString();
    for (QChar c : QString::number(std::abs(n)))
        text += QChar(digits[c.unicode() - '0']);
    return text;
}

int digitCount(unsigned long long n)
{
    int count = 1;
    while (n >= 10) {
        n /= 10;
        ++count;
    }
    return count;
}

LabelForm formOf(long long largest, Step s, bool compact)
{
    // The power of ten of the largest label's leading digit.
    const int lead = largest == 0 ? 0 : digitCount(std::abs(largest)) - 1 + s.e;
    LabelForm form;
    if (compact && lead >= 3 && lead < 12) {
        form.shift = lead / 3 * 3;
        form.suffix = QString(QLatin1Char("kMG"[lead / 3 - 1]));
    } else if (lead >= -3 && lead < 12) {
        form.groups = lead >= 4;
    } else if (lead >= 12 && lead < 15) {
        form.shift = 12;
        form.suffix = QStringLiteral("T");
    } else if (lead >= -6 && lead < -3) {
        form.shift = -6;
        form.suffix = QStringLiteral("µ");
    } else if (lead >= -9 && lead < -6) {
        form.shift = -9;
        form.suffix = QStringLiteral("n");
    } else {
        form.shift = lead;
        form.suffix = QStringLiteral("×10") + superscript(lead);
    }
    form.decimals = std::max(0, form.shift - s.e);
    return form;
}

// n * 10^e in `form`, digit by digit, so the label is exactly the tick's decimal value.
QString label(long long n, int e, const LabelForm& form)
{
    QString digits = QString::number(static_cast<unsigned long long>(n < 0 ? -n : n));
    const int shift = n == 0 ? -form.decimals : e - form.shift;
    if (shift >= 0)
        digits += QString(shift, QLatin1Char('0'));
    else if (digits.size() <= -shift)
        digits.prepend(QString(-shift - digits.size() + 1, QLatin1Char('0')));
    const qsizetype point = digits.size() - form.decimals;
    QString whole = digits.left(point), fraction = digits.mid(point);
    if (form.groups)
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, QLatin1Char(','));
    QString text = n < 0 ? QStringLiteral("-") : QString();
    text += whole;
    if (form.decimals > 0)
        text += QLatin1Char('.') + fraction.leftJustified(form.decimals, QLatin1Char('0'));
    return text + form.suffix;
}

} // namespace

std::pair<double, double> drawnRange(double lo, double hi)
{
    if (!std::isfinite(lo) && !std::isfinite(hi)) {
        lo = 0;
        hi = 0;
    }
    if (!std::isfinite(lo))
        lo = hi;
    if (!std::isfinite(hi))
        hi = lo;
    if (hi < lo)
        std::swap(lo, hi);
    const double biggest = std::max(std::abs(lo), std::abs(hi));
    // Divided before subtracting: the span of extreme ends overflows.
    const double span = hi / 2 - lo / 2;
    if (span <= kEqualUlps / 2 * ulpOf(biggest) || biggest < kTinyRange) {
        const double v = lo / 2 + hi / 2;
        const double pad = std::abs(v) < kTinyRange ? 1.0 : std::abs(v) * 0.1;
        lo = std::max(v - pad, -DBL_MAX);
        hi = std::min(v + pad, DBL_MAX);
    }
    return {lo, hi};
}

ValueScale valueScale(double lo, double hi, int maxSteps, bool round, bool compact)
{
    // Rounded ends around zero take two steps however large the step.
    maxSteps = std::clamp(maxSteps, round ? 2 : 1, 100);
    std::tie(lo, hi) = drawnRange(lo, hi);
    ValueScale scale;
    scale.lo = lo;
    scale.hi = hi;
    // Ticks at least a few units in the last place apart, so each is a value of its own.
    const double raw = std::min(hi / maxSteps - lo / maxSteps, DBL_MAX);
    Step s = stepOf(std::max(raw, 2 * ulpOf(std::max(std::abs(lo), std::abs(hi)))));
    long long first = 0, last = -1;
    bool found = false;
    for (int guard = 0; guard < 64 && !found; ++guard) {
        if (indexable(lo, hi, s)) {
            first = index(lo, s, round);
            last = index(hi, s, !round);
            // An end beyond the largest double stays the data's own, with the ticks inside it.
            if (round && !std::isfinite(tick(first, s)))
                first = index(lo, s, false);
            if (round && !std::isfinite(tick(last, s)))
                last = index(hi, s, true);
            found = last - first <= maxSteps;
        }
        if (!found)
            s = s.next();
    }
    if (!found)
        return scale; // no nice step divides this range: unlabelled, but finite
    if (round) {
        scale.lo = std::min(lo, tick(first, s));
        scale.hi = std::max(hi, tick(last, s));
    }
    scale.step = s.value();
    long long largest = 0;
    for (long long k = first; k <= last; ++k) {
        scale.ticks << tick(k, s);
        largest = std::max(largest, std::abs(k * s.m));
    }
    const LabelForm form = formOf(largest, s, compact);
    for (long long k = first; k <= last; ++k)
        scale.labels << label(k * s.m, s.e, form);
    return scale;
}

QString valueText(double value)
{
    // 15 digits, as slices and bars show theirs: float noise is no part of a value read off a chart.
    QString text = QString::number(value, 'g', 15);
    if (std::abs(value) < 10000 || text.contains(QLatin1Char('e')))
        return text;
    qsizetype end = text.indexOf(QLatin1Char('.'));
    if (end < 0)
        end = text.size();
    const qsizetype first = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype at = end - 3; at > first; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}

void relabel(ValueScale& scale, const NumberFormat& format)
{
    for (qsizetype i = 0; i < scale.ticks.size(); ++i)
        scale.labels[i] = format.format(scale.ticks[i]);
}

AxisScaling axisScaling(double magnitude)
{
    // Headroom for Qt Charts' own sums of ends and steps; scaled values keep it too.
    constexpr double kScaled = 1.0 / 256;
    return {magnitude > DBL_MAX * kScaled ? kScaled : 1.0};
}

} // namespace vizorb
