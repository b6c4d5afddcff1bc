#include "vizorb/xml/xml_text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace vizorb {
namespace {

// windows-1252 differs from ISO-8859-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// A declaration is short; a longer "<?xml" is left to the reader.
constexpr qsizetype kMaxDeclaration = 4096;

QString declaredEncoding(QStringView text)
{
    if (!text.startsWith(QLatin1String("<?xml")))
        return {};
    const qsizetype end = text.first(std::min(text.size(), kMaxDeclaration)).indexOf(QLatin1String("?>"));
    if (end < 0)
        return {};
    static const QRegularExpression pattern(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    return pattern.match(text.first(end).toString()).captured(1).trimmed();
}

enum class Encoding { None, Utf8, Utf16, Latin1, Ascii, Cp1252, Unknown };

Encoding encodingNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n.isEmpty())
        return Encoding::None;
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return Encoding::Utf8;
    if (n == QLatin1String("utf-16") || n == QLatin1String("utf-16le") || n == QLatin1String("utf-16be"))
        return Encoding::Utf16;
    if (n == QLatin1String("iso-8859-1") || n == QLatin1String("latin1") || n == QLatin1String("latin-1"))
        return Encoding::Latin1;
    if (n == QLatin1String("us-ascii") || n == QLatin1String("ascii"))
        return Encoding::Ascii;
    if (n == QLatin1String("windows-1252") || n == QLatin1String("cp1252"))
        return Encoding::Cp1252;
    return Encoding::Unknown;
}

QString unknownEncoding(const QString& name)
{
    return QStringLiteral("The text declares encoding \"%1\", which this control cannot read (use UTF-8, "
                          "UTF-16 with a byte-order mark, ISO-8859-1 or windows-1252).")
        .arg(quoted(name));
}

QString hex(char16_t value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// Half a surrogate pair is no character: the reader would pass it on and
// every one-byte output turn it into "?".
bool checkSurrogates(const QString& text, QString* error)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        *error = positionText(text, i) +
                 QStringLiteral("The text holds half a UTF-16 surrogate pair (U+%1), which is no character.")
                     .arg(hex(text[i].unicode(), 4));
        return false;
    }
    return true;
}

// Where UTF-8 bytes (one a character) first go wrong, as "Line L, column C: "
// counted in the characters before; empty when the fault cannot be placed.
QString utf8FaultPosition(QStringView bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t b = bytes[i].unicode();
        if (b < 0x80) {
            ++i;
            continue;
        }
        // Lead byte: how many bytes follow, and the range of the first (no
        // overlong forms, no surrogates, nothing beyond U+10FFFF).
        const int more = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
        if (more == 0)
            break;
        const char16_t low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const char16_t high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        int k = 1;
        for (; k <= more && i + k < n; ++k) {
            const char16_t c = bytes[i + k].unicode();
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                break;
        }
        if (k <= more)
            break;
        i += more + 1;
    }
    if (i >= n)
        return {};
    const QString before = QString::fromUtf8(bytes.first(i).toLatin1());
    return positionText(before, before.size());
}

} // namespace

bool decodeXmlText(const QString& text, QString* decoded, QString* error)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() > 0xFF) {
            // Already characters, not bytes: only the name can be checked.
            const QString result = text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
            if (encodingNamed(declaredEncoding(result)) == Encoding::Unknown) {
                *error = unknownEncoding(declaredEncoding(result));
                return false;
            }
            if (!checkSurrogates(result, error))
                return false;
            *decoded = result;
            return true;
        }
        if (c.unicode() >= 0x80)
            ascii = false;
    }
    if (text.startsWith(QLatin1String("\xEF\xBB\xBF"))) {
        const QString name = declaredEncoding(QStringView(text).sliced(3));
        const Encoding declared = encodingNamed(name);
        if (declared != Encoding::None && declared != Encoding::Utf8) {
            *error = QStringLiteral("The text starts with a UTF-8 byte-order mark but declares encoding \"%1\".")
                         .arg(quoted(name));
            return false;
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        *decoded = utf8(text.toLatin1().mid(3));
        if (utf8.hasError()) {
            *error = utf8FaultPosition(QStringView(text).sliced(3)) +
                     QStringLiteral("The text starts with a UTF-8 byte-order mark but is not valid UTF-8.");
            return false;
        }
        return true;
    }
    if (text.startsWith(QLatin1String("\xFF\xFE")) || text.startsWith(QLatin1String("\xFE\xFF"))) {
        const QByteArray bytes = text.toLatin1().mid(2);
        QStringDecoder utf16(text.startsWith(QLatin1String("\xFF\xFE")) ? QStringDecoder::Utf16LE
                                                                        : QStringDecoder::Utf16BE);
        QString result = utf16(bytes);
        if (bytes.size() % 2 != 0) {
            *error = positionText(result, result.size()) +
                     QStringLiteral("The UTF-16 text ends in the middle of a character (an odd number of bytes).");
            return false;
        }
        if (utf16.hasError()) {
            *error = QStringLiteral("The text starts with a UTF-16 byte-order mark but is not valid UTF-16.");
            return false;
        }
        if (!checkSurrogates(result, error))
            return false;
        const QString name = declaredEncoding(result);
        const Encoding declared = encodingNamed(name);
        if (declared != Encoding::None && declared != Encoding::Utf16) {
            *error = QStringLiteral("The text starts with a UTF-16 byte-order mark but declares encoding \"%1\".")
                         .arg(quoted(name));
            return false;
        }
        *decoded = result;
        return true;
    }
    if (text.startsWith(QLatin1String("<\0", 2)) || text.startsWith(QLatin1String("\0<", 2))) {
        *error = QStringLiteral("The text looks like UTF-16 without a byte-order mark; save it with one, or as UTF-8.");
        return false;
    }
    const QString name = declaredEncoding(text);
    const Encoding declared = encodingNamed(name);
    switch (declared) {
    case Encoding::Unknown:
        *error = unknownEncoding(name);
        return false;
    case Encoding::Utf16:
        *error = QStringLiteral("The text declares encoding \"%1\" but has no UTF-16 byte-order mark: its bytes are "
                                "one a character.")
                     .arg(quoted(name));
        return false;
    default:
        break;
    }
    if (ascii) {
        // Every ASCII-compatible encoding reads these bytes alike: no copy needed.
        *decoded = text;
        return true;
    }
    switch (declared) {
    case Encoding::None:
    case Encoding::Utf8: {
        QStringDecoder utf8(QStringDecoder::Utf8);
        *decoded = utf8(text.toLatin1());
        if (!utf8.hasError())
            return true;
        if (declared == Encoding::Utf8) {
            *error = utf8FaultPosition(text) +
                     QStringLiteral("The text declares UTF-8 but is not valid UTF-8; declare encoding=\"ISO-8859-1\" "
                                    "or save it as UTF-8.");
            return false;
        }
        // Undeclared and not UTF-8: most likely an 8-bit file written by hand.
        *decoded = text;
        return true;
    }
    case Encoding::Ascii: {
        qsizetype i = 0;
        while (text[i].unicode() < 0x80)
            ++i;
        *error = positionText(text, i) +
                 QStringLiteral("The text declares US-ASCII but holds the byte 0x%1.").arg(hex(text[i].unicode(), 2));
        return false;
    }
    case Encoding::Cp1252: {
        QString result = text;
        for (QChar& c : result)
            if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
                c = QChar(kCp1252High[c.unicode() - 0x80]);
        *decoded = result;
        return true;
    }
    default: // ISO-8859-1: one character a byte, as handed over
        *decoded = text;
        return true;
    }
}

bool checkMarkup(QStringView text, QString* error)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while ((i = text.indexOf(QLatin1Char('<'), i)) >= 0) {
        const QStringView rest = text.sliced(i);
        QLatin1String end;
        if (rest.startsWith(QLatin1String("<!--")))
            end = QLatin1String("-->");
        else if (rest.startsWith(QLatin1String("<![CDATA[")))
            end = QLatin1String("]]>");
        else if (rest.startsWith(QLatin1String("<?")))
            end = QLatin1String("?>");
        else if (rest.startsWith(QLatin1String("<!DOCTYPE"))) {
            *error = positionText(text, i) + QStringLiteral("Document type declarations are not supported.");
            return false;
        }
        if (end.size() > 0) {
            const qsizetype j = text.indexOf(end, i + 2);
            if (j < 0)
                return true; // unterminated: the reader says so
            i = j + end.size();
            continue;
        }
        // A tag: each "=" outside quotes starts an attribute's value.
        int attributes = 0;
        QChar quote;
        for (++i; i < n; ++i) {
            const QChar c = text[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('=') && ++attributes > kMaxAttributes) {
                *error = positionText(text, i) +
                         QStringLiteral("An element has more than %1 attributes.").arg(kMaxAttributes);
                return false;
            } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
                break;
            }
        }
    }
    return true;
}

QString escapeXml(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\t':
        case '\n':
        case '\r':
            out += QStringLiteral("&#%1;").arg(unsigned(c));
            break;
        default:
            if (c > 0xFF)
                out += QStringLiteral("&#%1;").arg(unsigned(c));
            else
                out += text[i];
        }
    }
    return out;
}

qsizetype escapedLength(QStringView text)
{
    // "&#N;"
    auto reference = [](char32_t c) {
        int digits = 1;
        for (; c >= 10; c /= 10)
            ++digits;
        return 3 + digits;
    };
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            length += reference(QChar::surrogateToUcs4(text[i], text[i + 1]));
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            length += 5;
            break;
        case '<':
        case '>':
            length += 4;
            break;
        case '"':
            length += 6;
            break;
        case '\t':
        case '\n':
        case '\r':
            length += reference(c);
            break;
        default:
            length += c > 0xFF ? reference(c) : 1;
        }
    }
    return length;
}

qsizetype firstUnwritable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return i;
        if (c == 0xFFFE || c == 0xFFFF)
            return i;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return i;
    }
    return -1;
}

QString positionText(const QXmlStreamReader& reader)
{
    return QStringLiteral("Line %1, column %2: ").arg(reader.lineNumber()).arg(reader.columnNumber());
}

QString positionText(QStringView text, qsizetype index)
{
    qint64 line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < index && i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') ||
            (c == QLatin1Char('\r') && (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n')))) {
            ++line;
            lineStart = i + 1;
        }
    }
    return QStringLiteral("Line %1, column %2: ").arg(line).arg(index - lineStart + 1);
}

QString quoted(QStringView text)
{
    constexpr qsizetype kShown = 60;
    if (text.size() <= kShown)
        return text.toString();
    qsizetype keep = kShown - 3;
    if (text[keep - 1].isHighSurrogate())
        --keep;
    return text.first(keep).toString() + QLatin1String("...");
}

} // namespace vizorb
