#pragma once

#include <QList>
#include <QVector>

#include <limits>

namespace vizorb {

// Dense line data thinned to what a pixel column can show: the x range is cut
// into `buckets` columns of equal width and each keeps its first, lowest,
// highest and last point, in x order, so a line drawn through the kept points
// covers the same pixels as one through all of them. A missing y (NaN) breaks
// the line: its index is kept and a new column starts after it. `x` must
// ascend; null means x is the index. Returns the indices kept, ascending.
QVector<int> reduceForColumns(const double* x, const double* y, int count, int buckets);

// Bars as a bar chart places them: point i's group is `kBarGroupWidth` wide
// around i; grouped series share the group side by side, stacked ones each
// take all of it.
inline constexpr double kBarGroupWidth = 0.5;

// `columns` pixel columns over the category axis from `from` to `to`, in
// points (-0.5 to count - 0.5 shows every bar whole).
struct BarLanes {
    int columns;
    double from;
    double to;
};

// The pixel columns series `k` (of `series`) at point `i` covers: every
// column its bar touches, at least one; first > last when the bar lies
// beyond the axis.
struct ColumnRange {
    int first;
    int last;
};
ColumnRange barColumns(int i, int k, int series, bool stacked, const BarLanes& lanes);

// The values a series' bars cover in one pixel column, above zero and
// below it apart (stacked segments of one series may lie on both sides).
struct ValueSpan {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    bool isEmpty() const { return !(lo <= hi); }
    void add(double a, double b);
};
struct BarColumn {
    ValueSpan up, down;
};

// Dense bars reduced to what each pixel column shows: for each series and
// column (index series * columns + column) the span of values its bars there
// cover, from zero to the value, or a stack's segment (positive values
// stacked up from zero, negative ones down). A missing (NaN) or zero value
// draws no bar; a stack counts a missing value as 0. The series' value lists
// may be shorter than `count`.
QVector<BarColumn> reduceBars(const QList<QVector<double>>& series, int count, bool stacked, const BarLanes& lanes);

} // namespace vizorb
