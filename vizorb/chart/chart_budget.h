#pragma once

#include "vizorb/model/chart_model.h"

#include <QList>
#include <QPointF>
#include <QVector>

namespace vizorb {

// What one chart may hand to Qt Charts, counted over all its series before
// anything is built. Qt Charts makes a series object, a legend marker and a
// graphics item for every piece of a broken line, a graphics item for every
// scatter marker, bar and slice, and keeps a path through every point of a
// line; past these counts a chart takes seconds to minutes and shows nothing
// more.
inline constexpr int kMaxPieces = 1000;            // Qt series of the whole chart (line and area pieces)
inline constexpr qsizetype kMaxLinePoints = 50000; // points of lines and areas together
inline constexpr qsizetype kMaxPolarPoints = 1000; // of polar lines, each far dearer to draw
inline constexpr qsizetype kMaxFillColumns = 4000; // of all area fills, each column a long edge to fill
inline constexpr qsizetype kDenseScatter = 5000;   // beyond, every scatter series is painted as a layer
// Bars are painted as one layer beyond either count: a bar is two graphics
// items and its label a text document; and past 500 side by side along the
// axis (a stack counts once) each is thinner than a pixel at the control's
// size, where Qt Charts' bars show mostly their borders and later series
// hide earlier ones.
inline constexpr qsizetype kMaxBars = 5000;
inline constexpr qsizetype kMaxBarsAcross = 500;
inline bool denseBars(qsizetype points, qsizetype series, bool stacked)
{
    return points * series > kMaxBars || (stacked ? points : points * series) > kMaxBarsAcross;
}
inline constexpr qsizetype kMaxSlices = 1000;
// A line keeps at least this many pixel columns: more series than the point
// budget gives that share are refused rather than drawn as scribbles.
inline constexpr int kMinColumns = 4;
// Polar and radar series: at their least share each line is short, so these
// together may pass kMaxPolarPoints twice over and still draw at once; a
// single line of that many noisy points crossing the circle takes longer.
inline constexpr int kMaxPolarSeries = 125;

// Unbroken runs of points with both x (when given) and y (when given) present.
int pieceCount(const double* x, const double* y, int count);

// Which series join their gaps so that the pieces of all of them stay within
// `budget`: a series keeps its gaps while what it adds fits, series with the
// fewest pieces first, so one broken series does not join the others' gaps.
QVector<bool> seriesJoiningGaps(const QVector<int>& pieces, int budget);

// Pixel columns each of `series` lines may keep: at most `pixels` (what can
// be seen), fewer when the lines together would pass `points`, at least
// kMinColumns.
int columnsPerLine(int pixels, qsizetype series, qsizetype points);

// The points one line draws, as data indices, -1 where the line breaks at a
// missing x (when given) or y: thinned to `columns` pixel columns of x when
// `xOrdered`, else of the index (data drawn in its own order), and, when
// `joined`, one line through every present point.
QVector<int> linePoints(const double* x, const double* y, int count, int columns, bool xOrdered, bool joined);

// A dense area's fill as the band it covers in each of `columns` equal x
// columns, two points a column in x order: handed the zigzag of thinned (or
// unordered) points, Qt's filler takes seconds for one area. `high` and `low`
// are the area's edges point by point, the same length; on return they hold
// the band's top and bottom.
void fillEnvelope(QList<QPointF>& high, QList<QPointF>& low, int columns);

// Whether some point's values over these series, positive and negative ones
// apart as a stack adds them, sum beyond the largest double.
bool stackOverflows(const ChartData& data, const QList<int>& series);

// Whether the positive values of a pie's series sum beyond the largest double.
bool pieOverflows(const QVector<double>& values);

} // namespace vizorb
