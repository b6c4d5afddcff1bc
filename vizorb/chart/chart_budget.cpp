#include "vizorb/chart/chart_budget.h"

#include "vizorb/chart/reduce.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace vizorb {
namespace {

bool present(const double* x, const double* y, int i)
{
    return !(x && std::isnan(x[i])) && !(y && std::isnan(y[i]));
}

} // namespace

int pieceCount(const double* x, const double* y, int count)
{
    int pieces = 0;
    bool inPiece = false;
    for (int i = 0; i < count; ++i) {
        const bool here = present(x, y, i);
        pieces += here && !inPiece;
        inPiece = here;
    }
    return pieces;
}

QVector<bool> seriesJoiningGaps(const QVector<int>& pieces, int budget)
{
    QVector<int> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pieces[a] < pieces[b]; });
    // Every series is at least one piece; each that keeps its gaps adds the rest.
    qint64 total = pieces.size();
    QVector<bool> joined(pieces.size(), true);
    for (int s : order) {
        const qint64 extra = std::max(0, pieces[s] - 1);
        if (total + extra > budget)
            break;
        total += extra;
        joined[s] = false;
    }
    return joined;
}

int columnsPerLine(int pixels, qsizetype series, qsizetype points)
{
    // A column keeps at most four points.
    const qsizetype share = points / (4 * std::max<qsizetype>(series, 1));
    return int(std::clamp<qsizetype>(share, kMinColumns, std::max(pixels, kMinColumns)));
}

QVector<int> linePoints(const double* x, const double* y, int count, int columns, bool xOrdered, bool joined)
{
    QVector<int> result;
    if (joined) {
        QVector<int> index;
        QVector<double> xs, ys;
        for (int i = 0; i < count; ++i)
            if (present(x, y, i)) {
                index << i;
                if (x)
                    xs << x[i];
                ys << y[i];
            }
        const QVector<int> kept =
            reduceForColumns(x && xOrdered ? xs.constData() : nullptr, ys.constData(), int(ys.size()), columns);
        result.reserve(kept.size());
        for (int k : kept)
            result << index[k];
        return result;
    }
    // The reduction breaks only at a missing y: a missing x breaks the same way.
    QVector<double> broken;
    const double* ys = y;
    if (x && std::any_of(x, x + count, [](double v) { return std::isnan(v); })) {
        broken = QVector<double>(y, y + count);
        for (int i = 0; i < count; ++i)
            if (std::isnan(x[i]))
                broken[i] = std::nan("");
        ys = broken.constData();
    }
    const QVector<int> kept = reduceForColumns(xOrdered ? x : nullptr, ys, count, columns);
    result.reserve(kept.size());
    for (int k : kept) {
        const int point = std::isnan(ys[k]) ? -1 : k;
        if (point >= 0 || (!result.isEmpty() && result.last() >= 0))
            result << point;
    }
    return result;
}

void fillEnvelope(QList<QPointF>& high, QList<QPointF>& low, int columns)
{
    const double inf = std::numeric_limits<double>::infinity();
    double first = inf, last = -inf;
    for (const QPointF& p : high) {
        first = std::min(first, p.x());
        last = std::max(last, p.x());
    }
    struct Column {
        double left = std::numeric_limits<double>::infinity(), right = -left, top = -left, bottom = left;
    };
    QVector<Column> band(std::max(columns, 1));
    // Halved, so a span across the whole double range stays finite.
    const double span = last / 2 - first / 2;
    for (qsizetype i = 0; i < high.size(); ++i) {
        const double x = high[i].x();
        const int at = span > 0 ? int(std::min<double>(band.size() - 1, (x / 2 - first / 2) / span * band.size())) : 0;
        Column& c = band[at];
        c.left = std::min(c.left, x);
        c.right = std::max(c.right, x);
        c.top = std::max({c.top, high[i].y(), low[i].y()});
        c.bottom = std::min({c.bottom, high[i].y(), low[i].y()});
    }
    high.clear();
    low.clear();
    for (const Column& c : band)
        if (c.left <= c.right) {
            high << QPointF(c.left, c.top) << QPointF(c.right, c.top);
            low << QPointF(c.left, c.bottom) << QPointF(c.right, c.bottom);
        }
}

bool stackOverflows(const ChartData& data, const QList<int>& series)
{
    const int n = data.pointCount();
    QVector<double> positive(n, 0.0), negative(n, 0.0);
    for (int s : series) {
        const QVector<double>& values = data.series[s].values;
        for (int i = 0; i < n && i < values.size(); ++i)
            (values[i] > 0 ? positive[i] : negative[i]) += std::isnan(values[i]) ? 0.0 : values[i];
    }
    const auto infinite = [](double v) { return std::isinf(v); };
    return std::any_of(positive.begin(), positive.end(), infinite) ||
           std::any_of(negative.begin(), negative.end(), infinite);
}

bool pieOverflows(const QVector<double>& values)
{
    double total = 0;
    for (double v : values)
        if (v > 0)
            total += v;
    return std::isinf(total);
}

} // namespace vizorb
