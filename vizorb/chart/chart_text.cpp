#include "vizorb/chart/chart_text.h"

namespace vizorb {

QString cutText(const QString& text, qsizetype keep)
{
    if (text.size() <= keep)
        return text;
    if (keep > 0 && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QChar(0x2026);
}

QString drawnText(const QString& text)
{
    return text.size() <= kMaxDrawnText ? text : cutText(text, kMaxDrawnText - 1);
}

QString drawnMarkup(const QString& text)
{
    return drawnText(text).toHtmlEscaped();
}

} // namespace vizorb
