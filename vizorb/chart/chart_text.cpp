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

namespace {
// A character drawn onto the one before it: a non-starter or any mark.
bool attaches(char32_t c)
{
    // Nothing below the first combining mark, U+0300, attaches: the usual text stays cheap.
    if (c < 0x300)
        return false;
    const QChar::Category category = QChar::category(c);
    return QChar::combiningClass(c) != 0 || category == QChar::Mark_NonSpacing ||
           category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing;
}
} // namespace

QString cutMarkRuns(const QString& text)
{
    QString result;
    qsizetype copied = 0; // text before this is in result, or dropped
    int run = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        char32_t c = text.at(i++).unicode();
        if (QChar::isHighSurrogate(c) && i < text.size() && text.at(i).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(i++).unicode());
        if (!attaches(c))
            run = 0;
        else if (++run > kMaxMarkRun) {
            result += QStringView(text).sliced(copied, start - copied);
            copied = i;
        }
    }
    if (copied == 0)
        return text;
    result += QStringView(text).sliced(copied);
    return result;
}

QString drawnText(const QString& text)
{
    const QString cut = cutMarkRuns(text);
    return cut.size() <= kMaxDrawnText ? cut : cutText(cut, kMaxDrawnText - 1);
}

QString drawnMarkup(const QString& text)
{
    return drawnText(text).toHtmlEscaped();
}

} // namespace vizorb
