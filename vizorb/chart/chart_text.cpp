#include "vizorb/chart/chart_text.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>

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

QString tooltipText(const QString& text)
{
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(drawnMarkup(text));
}

QString categoryMarkup(const QString& text, int repeat)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    QString markup = lines.join(QLatin1String("<br>"));
    // Wrapped lines centred under one another, as one label.
    if (lines.size() > 1)
        markup = QStringLiteral("<div align=\"center\">%1</div>").arg(markup);
    // Invisible, but a label of its own; an empty label is one too.
    if (repeat > 0 || text.isEmpty())
        markup += QStringLiteral("<!--%1-->").arg(repeat);
    return markup;
}

qsizetype characterLength(QStringView text, qsizetype i)
{
    qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    while (i + n < text.size() && text[i + n].isMark())
        ++n;
    return n;
}

QFont sized(QFont font, qreal points)
{
    font.setPointSizeF(points);
    return font;
}

qreal pointsOf(const QFont& font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : 9;
}

qreal smaller(qreal points, qreal least)
{
    return std::max(least, std::min(points - 1, points * 0.9));
}

namespace {

// Whether the hyphen at `i` is an exponent's sign, as in 9.87E-07: a number is not broken.
bool exponentSign(QStringView word, qsizetype i)
{
    return i >= 2 && (word[i - 1] == QLatin1Char('e') || word[i - 1] == QLatin1Char('E')) && word[i - 2].isDigit() &&
           word[i + 1].isDigit();
}

// A word's pieces: it may break after a hyphen or slash that has a character on either side.
QList<QStringView> pieces(QStringView word)
{
    QList<QStringView> out;
    qsizetype start = 0;
    for (qsizetype i = 1; i + 1 < word.size(); ++i)
        if ((word[i] == QLatin1Char('-') && !exponentSign(word, i)) || word[i] == QLatin1Char('/')) {
            out << word.mid(start, i + 1 - start);
            start = i + 1;
        }
    out << word.mid(start);
    return out;
}

} // namespace

QString wrapText(const QString& text, const QFont& font, qreal width)
{
    const QFontMetricsF fm(font);
    const qreal space = fm.horizontalAdvance(QLatin1Char(' '));
    QString out;
    out.reserve(text.size() + 16);
    bool firstParagraph = true;
    for (QStringView paragraph : QStringView(text).split(QLatin1Char('\n'))) {
        if (!firstParagraph)
            out += QLatin1Char('\n');
        firstParagraph = false;
        qreal line = 0;
        bool empty = true;
        qsizetype lineStart = out.size();
        // Widths add up piece by piece; near the limit the line is measured whole, as it is drawn.
        const auto fits = [&](qreal gap, qreal w, QStringView piece, bool spaced) {
            if (line + gap + w <= width)
                return true;
            if (line + gap + w > width + 2)
                return false;
            QString whole = out.mid(lineStart);
            if (spaced)
                whole += QLatin1Char(' ');
            whole += piece;
            return fm.horizontalAdvance(whole) <= width;
        };
        for (QStringView word : paragraph.split(QLatin1Char(' '))) {
            bool firstPiece = true;
            for (QStringView piece : pieces(word)) {
                const qreal gap = firstPiece ? space : 0;
                const qreal w = fm.horizontalAdvance(piece.toString());
                if (!empty && fits(gap, w, piece, firstPiece)) {
                    if (firstPiece)
                        out += QLatin1Char(' ');
                    out += piece;
                    line += gap + w;
                    firstPiece = false;
                    continue;
                }
                if (!empty) {
                    out += QLatin1Char('\n');
                    lineStart = out.size();
                }
                empty = false;
                firstPiece = false;
                if (w <= width) {
                    out += piece;
                    line = w;
                    continue;
                }
                line = 0;
                for (qsizetype i = 0; i < piece.size();) {
                    const qsizetype n = characterLength(piece, i);
                    const QStringView part = piece.mid(i, n);
                    const qreal cw = n == 1 ? fm.horizontalAdvance(piece[i]) : fm.horizontalAdvance(part.toString());
                    if (line > 0 && line + cw > width) {
                        out += QLatin1Char('\n');
                        lineStart = out.size();
                        line = 0;
                    }
                    out += part;
                    line += cw;
                    i += n;
                }
            }
        }
    }
    return out;
}

qreal widestWord(const QString& text, const QFont& font)
{
    const QFontMetricsF fm(font);
    qreal widest = 0;
    for (QStringView paragraph : QStringView(text).split(QLatin1Char('\n')))
        for (QStringView word : paragraph.split(QLatin1Char(' ')))
            for (QStringView piece : pieces(word))
                widest = std::max(widest, fm.horizontalAdvance(piece.toString()));
    return widest;
}

qreal widestLine(const QString& lines, const QFont& font)
{
    const QFontMetricsF fm(font);
    qreal widest = 0;
    for (QStringView line : QStringView(lines).split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line.toString()));
    return widest;
}

} // namespace vizorb
