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

// The text as drawn by a plain-text item: whole up to kMaxDrawnText characters.
QString drawnText(const QString& text);

// The same text for an item that reads rich text (Qt Charts' titles, axis
// labels, legend entries and slice labels): its characters, never markup.
QString drawnMarkup(const QString& text);

} // namespace vizorb
