#include "xml_text.h"

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

QString declaredEncoding(const QString& text)
{
    if (!text.startsWith(QLatin1String("<?xml")))
        return {};
    const qsizetype end = text.indexOf(QLatin1String("?>"));
    if (end < 0)
        return {};
    static const QRegularExpression pattern(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    return pattern.match(text.left(end)).captured(1).trimmed();
}

} // namespace

bool decodeXmlText(const QString& text, QString* decoded, QString* error)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() > 0xFF) {
            // Already characters, not bytes.
            *decoded = text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
            return true;
        }
        if (c.unicode() >= 0x80)
            ascii = false;
    }
    if (ascii) {
        // Every ASCII-compatible encoding reads these bytes alike: no copy needed.
        *decoded = text;
        return true;
    }
    const QByteArray bytes = text.toLatin1();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        *decoded = utf8(bytes.mid(3));
        if (utf8.hasError()) {
            *error = QStringLiteral("The text starts with a UTF-8 byte-order mark but is not valid UTF-8.");
            return false;
        }
        return true;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        *decoded = utf16(bytes.mid(2));
        if (utf16.hasError()) {
            *error = QStringLiteral("The text starts with a UTF-16 byte-order mark but is not valid UTF-16.");
            return false;
        }
        return true;
    }
    const QString encoding = declaredEncoding(text).toLower();
    if (encoding.isEmpty() || encoding == QLatin1String("utf-8") || encoding == QLatin1String("utf8")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        *decoded = utf8(bytes);
        if (!utf8.hasError())
            return true;
        if (!encoding.isEmpty()) {
            *error = QStringLiteral("The text declares UTF-8 but is not valid UTF-8; declare encoding=\"ISO-8859-1\" "
                                    "or save it as UTF-8.");
            return false;
        }
        // Undeclared and not UTF-8: most likely an 8-bit file written by hand.
        *decoded = text;
        return true;
    }
    if (encoding == QLatin1String("iso-8859-1") || encoding == QLatin1String("latin1") ||
        encoding == QLatin1String("latin-1") || encoding == QLatin1String("us-ascii") ||
        encoding == QLatin1String("ascii")) {
        *decoded = text;
        return true;
    }
    if (encoding == QLatin1String("windows-1252") || encoding == QLatin1String("cp1252")) {
        QString result = text;
        for (QChar& c : result)
            if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
                c = QChar(kCp1252High[c.unicode() - 0x80]);
        *decoded = result;
        return true;
    }
    *error = QStringLiteral("The text declares encoding \"%1\", which this control cannot read (use UTF-8, "
                            "UTF-16 with a byte-order mark, ISO-8859-1 or windows-1252).")
                 .arg(declaredEncoding(text));
    return false;
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

QString positionText(const QXmlStreamReader& reader)
{
    return QStringLiteral("Line %1, column %2: ").arg(reader.lineNumber()).arg(reader.columnNumber());
}

} // namespace vizorb
