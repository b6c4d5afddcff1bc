#include "vizorb/chart/reduce.h"

#include <algorithm>
#include <cmath>

namespace vizorb {

QVector<int> reduceForColumns(const double* x, const double* y, int count, int buckets)
{
    QVector<int> kept;
    if (count <= 0)
        return kept;
    if (buckets < 1 || count <= 4 * buckets) {
        kept.resize(count);
        for (int i = 0; i < count; ++i)
            kept[i] = i;
        return kept;
    }
    auto xAt = [&](int i) { return x ? x[i] : double(i); };
    const double first = xAt(0);
    const double span = xAt(count - 1) - first;
    const double scale = span > 0 ? buckets / span : 0;
    kept.reserve(4 * buckets + 16);

    int bucket = -1;
    int firstIndex = -1, minIndex = -1, maxIndex = -1, lastIndex = -1;
    auto flush = [&] {
        if (firstIndex < 0)
            return;
        int four[4] = {firstIndex, minIndex, maxIndex, lastIndex};
        std::sort(four, four + 4);
        for (int k = 0; k < 4; ++k)
            if (kept.isEmpty() || kept.last() != four[k])
                kept << four[k];
        firstIndex = -1;
    };
    for (int i = 0; i < count; ++i) {
        const double v = y[i];
        if (std::isnan(v)) {
            flush();
            kept << i;
            bucket = -1;
            continue;
        }
        const int b = std::min(buckets - 1, int((xAt(i) - first) * scale));
        if (b != bucket || firstIndex < 0) {
            flush();
            bucket = b;
            firstIndex = minIndex = maxIndex = lastIndex = i;
            continue;
        }
        lastIndex = i;
        if (v < y[minIndex])
            minIndex = i;
        if (v > y[maxIndex])
            maxIndex = i;
    }
    flush();
    return kept;
}

ColumnRange barColumns(int i, int k, int series, bool stacked, const BarLanes& lanes)
{
    const double width = stacked ? kBarGroupWidth : kBarGroupWidth / std::max(series, 1);
    const double left = i - kBarGroupWidth / 2 + (stacked ? 0 : k * width);
    const double scale = lanes.columns / (lanes.to - lanes.from);
    const double first = std::floor((left - lanes.from) * scale);
    const double last = std::ceil((left + width - lanes.from) * scale) - 1;
    if (!(last >= 0) || !(first < lanes.columns))
        return {0, -1};
    const int from = int(std::max(first, 0.0));
    return {from, std::max(from, int(std::min<double>(last, lanes.columns - 1)))};
}

void ValueSpan::add(double a, double b)
{
    lo = std::min({lo, a, b});
    hi = std::max({hi, a, b});
}

QVector<BarColumn> reduceBars(const QList<QVector<double>>& series, int count, bool stacked, const BarLanes& lanes)
{
    const int columns = lanes.columns;
    QVector<BarColumn> reduced(qsizetype(series.size()) * std::max(columns, 0));
    if (columns <= 0 || count <= 0 || !(lanes.to > lanes.from))
        return reduced;
    const int n = int(series.size());
    QVector<double> positive(stacked ? count : 0, 0.0), negative(stacked ? count : 0, 0.0);
    for (int k = 0; k < n; ++k) {
        const QVector<double>& values = series[k];
        BarColumn* row = reduced.data() + qsizetype(k) * columns;
        for (int i = 0; i < count && i < values.size(); ++i) {
            const double v = values[i];
            if (v == 0 || std::isnan(v))
                continue;
            double lo = std::min(0.0, v), hi = std::max(0.0, v);
            if (stacked) {
                double& base = v > 0 ? positive[i] : negative[i];
                lo = v > 0 ? base : base + v;
                hi = v > 0 ? base + v : base;
                base += v;
            }
            const auto [first, last] = barColumns(i, k, n, stacked, lanes);
            for (int c = first; c <= last; ++c)
                (v > 0 ? row[c].up : row[c].down).add(lo, hi);
        }
    }
    return reduced;
}

} // namespace vizorb
