#pragma once

#include <QString>

namespace vizorb {

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

} // namespace vizorb
