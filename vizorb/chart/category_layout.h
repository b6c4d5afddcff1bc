#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

namespace vizorb {

// Category names are never drawn smaller than this to fit their axis.
inline constexpr qreal kLeastLabelPoint = 7;

// The room an axis' labels have: its length, the depth beside it they may
// take, and how far beyond its first and last point a label may reach.
struct AxisRoom {
    double length = 0;
    double across = 0;
    double before = 0, after = 0;
};

// How category labels are drawn along an axis.
struct CategoryLayout {
    int every = 1;     // every n-th label is shown, starting with the first
    int angle = 0;     // 0, -45 or -90
    qreal points = 9;  // the labels' font size
    QStringList lines; // each shown label, wrapped lines joined with '\n'
};

// Lays out `labels` along an axis: side by side, broken into lines (at spaces,
// hyphens and slashes), turned by 45 or 90 degrees, in a smaller font (down to
// kLeastLabelPoint), and only then thinned. Where the axis gives each label a
// line's height at the smallest font and the depth holds the label turned,
// every label is shown. `alongX` is false for a vertical axis (its labels are
// never turned). Measures a bounded number of labels when many are thinned.
CategoryLayout layoutCategories(const QStringList& labels, const QFont& font, const AxisRoom& room, bool alongX);

// The widest line and the most lines' height of the labels laid out, each with a text item's margins.
QSizeF labelsExtent(const CategoryLayout& layout, const QFont& font);

// Names of spokes around a circle, spoke k at 360 * k / n degrees clockwise from the top.
struct SpokeLayout {
    qreal points = 9;
    double radius = 0;   // of the circle, centred in the room
    QStringList texts;   // per spoke, wrapped; empty where left off
    QList<QSizeF> sizes; // per spoke
};

// The largest circle whose spokes' names fit around it inside `room`, each
// name broken into lines and shown unless it would overlap a name already
// shown; the font shrinks (down to kLeastLabelPoint) before any is left off,
// and the circle before the font, down to half the room.
SpokeLayout layoutSpokes(const QStringList& labels, const QFont& font, const QRectF& room);

// Where a name of `size` stands beside the spoke at `degrees` of a circle:
// just outside it, with the side or corner that faces the circle towards it.
QRectF spokeLabelBox(QPointF centre, double radius, double degrees, QSizeF size);

} // namespace vizorb
