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

} // namespace vizorb
