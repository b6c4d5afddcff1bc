#pragma once

#include <QVector>

namespace vizorb {

// Dense line data thinned to what a pixel column can show: the x range is cut
// into `buckets` columns of equal width and each keeps its first, lowest,
// highest and last point, in x order, so a line drawn through the kept points
// covers the same pixels as one through all of them. A missing y (NaN) breaks
// the line: its index is kept and a new column starts after it. `x` must
// ascend; null means x is the index. Returns the indices kept, ascending.
QVector<int> reduceForColumns(const double* x, const double* y, int count, int buckets);

} // namespace vizorb
