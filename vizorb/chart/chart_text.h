#pragma once

#include <QFont>
#include <QString>

namespace vizorb {

// The one place the chart shortens, breaks, shrinks and escapes the texts it draws.

// Texts from the data or the customizing, as the chart hands them to Qt.
// Beyond what any layout can show a text is cut with an ellipsis before it
// reaches Qt Charts, whose own shortening costs time and memory quadratic in
// the text's length; this is the one place the chart shortens a text.
constexpr qsizetype kMaxDrawnText = 1000;

// A text longer than `keep` characters as its first `keep` (one fewer where
// the cut would split a surrogate pair) and an ellipsis; a shorter one whole.
QString cutText(const QString& text, qsizetype keep);

// Marks kept after a base character: as Unicode's stream-safe text format,
// which no real text exceeds. Qt shapes a mark run at a cost far beyond its
// length, so a name of one letter and a thousand accents would draw slowly.
constexpr int kMaxMarkRun = 30;

// The text with every run of combining marks after a base cut to kMaxMarkRun.
QString cutMarkRuns(const QString& text);

// The text as drawn by a plain-text item: mark runs cut, whole up to
// kMaxDrawnText characters.
QString drawnText(const QString& text);

// The same text for an item that reads rich text (Qt Charts' titles, axis
// labels, legend entries and slice labels): its characters, never markup.
QString drawnMarkup(const QString& text);

// A tooltip that shows `text` as its characters.
QString tooltipText(const QString& text);

// Markup for a QCategoryAxis label: the text's characters, lines (joined by
// '\n') broken with <br> and centred, and, as the axis keys labels by their
// text, an invisible mark making the k-th repetition of a text (and an empty
// one) distinct.
QString categoryMarkup(const QString& text, int repeat);

// Texts shrink step by step to kMinPoint before anything is left off or broken.
inline constexpr qreal kMinPoint = 6;
qreal smaller(qreal points, qreal least = kMinPoint);
// The font at `points` points.
QFont sized(QFont font, qreal points);
// A font's size in points (9 where it is given in pixels).
qreal pointsOf(const QFont& font);
// Qt Charts draws a label as a text item with this margin on each side.
inline constexpr double kItemPad = 4;

// The code units of the character at `i` with its combining marks: a text is
// never broken inside them (half a surrogate pair, a letter without its accent).
qsizetype characterLength(QStringView text, qsizetype i);

// `text` broken into lines no wider than `width`, joined by '\n': at spaces
// (each break replaces one) and after a hyphen or slash inside a word (kept
// at the line's end); a word wider than a line is broken where it must be,
// never inside a surrogate pair nor before a combining mark. Existing line breaks are kept. Linear in the
// text's length.
QString wrapText(const QString& text, const QFont& font, qreal width);

// The width of the widest piece of `text` that wrapText never breaks (a word,
// or its part up to a hyphen or slash).
qreal widestWord(const QString& text, const QFont& font);

// The width of the widest of `lines` (joined by '\n').
qreal widestLine(const QString& lines, const QFont& font);

} // namespace vizorb
