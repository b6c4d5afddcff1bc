#include "chart_text.h"

namespace vizorb {

QString drawnText(const QString& text)
{
    if (text.size() <= kMaxDrawnText)
        return text;
    qsizetype cut = kMaxDrawnText - 1;
    // Never split a surrogate pair.
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

QString drawnMarkup(const QString& text)
{
    return drawnText(text).toHtmlEscaped();
}

} // namespace vizorb
