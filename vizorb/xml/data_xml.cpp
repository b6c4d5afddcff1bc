#include "vizorb/xml/data_xml.h"

#include "vizorb/model/names.h"
#include "vizorb/model/number_text.h"
#include "vizorb/xml/time_text.h"
#include "vizorb/xml/xml_text.h"

#include <QHash>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>

namespace vizorb {
namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 kMaxValues = 20'000'000; // 160 MB of numbers
// The reader spends a microsecond or two on each element: many points are
// named by <X> or <Times> lists, not by millions of <Category> elements.
constexpr qint64 kMaxElements = 250'000;

// Long number lists bypass the XML reader, whose tokenizer would take most of
// the time on large data: their text is cut out of what the reader sees (a
// skeleton of the document, with the cut text's line ends kept so positions
// stay right) and split straight from the original. Only plain text qualifies:
// printable ASCII and line ends, no references, no markup, ended by an end tag.
// Anything else goes to the reader, so both roads refuse the same texts. Short
// lists stay with the reader, so a fault in one is placed exactly; what the
// writer puts out in them counts towards the reader's bound on markup.
struct Cut {
    qsizetype start = 0; // in the original text
    qsizetype length = 0;
};
// Texts up to this size are read whole.
constexpr qsizetype kMinText = 4096;
constexpr qsizetype kMinCut = 64;

// Whether a list's text may skip the reader: characters the reader takes
// as they are (no reference, no "]]>", no control character). Its line ends
// are kept for the skeleton.
bool plainList(QStringView content, QString* lineEnds)
{
    for (QChar c : content) {
        const char16_t u = c.unicode();
        if (u == '\n' || u == '\r')
            *lineEnds += c;
        else if ((u < 0x20 && u != '\t') || u > 0x7E || u == '&' || u == ']')
            return false;
    }
    return true;
}

// Returns false when the document has a construct the scan does not follow
// (a document type declaration, an unterminated tag); the reader then gets
// the whole text.
bool cutLists(const QString& text, QString* skeleton, QHash<qsizetype, Cut>* cuts)
{
    const qsizetype n = text.size();
    qsizetype copied = 0, i = 0;
    auto startsAt = [&](qsizetype at, QLatin1String what) { return QStringView(text).sliced(at).startsWith(what); };
    while (i < n) {
        i = text.indexOf(QLatin1Char('<'), i);
        if (i < 0)
            break;
        if (startsAt(i, QLatin1String("<!--")) || startsAt(i, QLatin1String("<![CDATA[")) ||
            startsAt(i, QLatin1String("<?"))) {
            const QLatin1String end = startsAt(i, QLatin1String("<!--")) ? QLatin1String("-->")
                                      : startsAt(i, QLatin1String("<?")) ? QLatin1String("?>")
                                                                         : QLatin1String("]]>");
            const qsizetype j = text.indexOf(end, i + 2);
            if (j < 0)
                return false;
            i = j + end.size();
            continue;
        }
        if (startsAt(i, QLatin1String("<!")))
            return false;
        qsizetype j = i + 1;
        QChar quote;
        for (; j < n; ++j) {
            const QChar c = text[j];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                break;
            }
        }
        if (j >= n)
            return false;
        const bool endTag = text[i + 1] == QLatin1Char('/'), empty = text[j - 1] == QLatin1Char('/');
        qsizetype nameEnd = i + 1;
        while (nameEnd < j && !text[nameEnd].isSpace() && text[nameEnd] != QLatin1Char('/'))
            ++nameEnd;
        const QStringView name = QStringView(text).sliced(i + 1, nameEnd - i - 1);
        i = j + 1;
        if (endTag || empty ||
            (name != QLatin1String("Series") && name != QLatin1String("X") && name != QLatin1String("Times")))
            continue;
        const qsizetype k = text.indexOf(QLatin1Char('<'), i);
        if (k < 0 || k - i < kMinCut || !startsAt(k, QLatin1String("</")))
            continue;
        const QStringView content = QStringView(text).sliced(i, k - i);
        QString lineEnds;
        if (!plainList(content, &lineEnds))
            continue;
        *skeleton += QStringView(text).sliced(copied, i - copied);
        cuts->insert(skeleton->size(), Cut{i, k - i});
        *skeleton += lineEnds;
        copied = k;
        i = k;
    }
    if (cuts->isEmpty())
        return false;
    *skeleton += QStringView(text).sliced(copied);
    return true;
}

// Reads the text of a list element chunk by chunk as the reader delivers it,
// so a list of a million numbers is never copied into one string. Returns
// false when the element holds more than text.
template <class Take> bool readList(QXmlStreamReader& reader, QStringView cut, Take take, qsizetype* failedAt)
{
    QString carry; // an item cut at a chunk's end
    qsizetype index = 0;
    *failedAt = -1;
    bool any = false;
    auto item = [&](QStringView text) {
        if (*failedAt < 0 && !take(text.trimmed()))
            *failedAt = index;
        ++index;
    };
    bool first = true;
    while (!reader.atEnd()) {
        QStringView chunk = cut;
        if (!first || cut.isEmpty()) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (token == QXmlStreamReader::EndElement)
                break;
            if (token == QXmlStreamReader::Comment || token == QXmlStreamReader::ProcessingInstruction)
                continue;
            if (token != QXmlStreamReader::Characters)
                return false;
            chunk = reader.text();
        }
        first = false;
        qsizetype start = 0;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            if (chunk[i] != QLatin1Char(';'))
                continue;
            if (carry.isEmpty()) {
                item(chunk.sliced(start, i - start));
            } else {
                carry += chunk.sliced(start, i - start);
                item(carry);
                carry.clear();
            }
            any = true;
            start = i + 1;
        }
        carry += chunk.sliced(start);
        if (!chunk.sliced(start).trimmed().isEmpty())
            any = true;
    }
    // A list that is only blanks has no items.
    if (any)
        item(carry);
    return true;
}

bool parseValue(QStringView item, double* value)
{
    if (item.isEmpty()) {
        *value = kMissing;
        return true;
    }
    return readNumber(item, value);
}

// At least the characters the writer puts out for a number read from `item`
// (at most kMaxNumberLength). Without an exponent and within 15 characters a number stays
// plain, gaining at most a leading zero (".5"); otherwise it may be written
// plain up to 15 digits ("1e14" is written 100000000000000) or gain an
// exponent ("12345678901234567" is written 1.2345678901234568e+16).
qsizetype writtenBound(QStringView item)
{
    if (item.isEmpty())
        return 0;
    if (item.size() <= 15 && !item.contains(u'e') && !item.contains(u'E'))
        return item.size() + 1;
    return std::min<qsizetype>(std::max<qsizetype>(item.size() + 5, 16), kMaxNumberLength);
}

void appendList(QString& out, const QVector<double>& values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(';');
        appendShortestNumber(out, values[i]);
    }
}

// The writer's markup, counted by fitsReader before anything is written.
constexpr QLatin1String kOpen("<ChartData>\n"), kClose("</ChartData>\n");
constexpr QLatin1String kCategoriesOpen("  <Categories>\n"), kCategoriesClose("  </Categories>\n");
constexpr QLatin1String kCategoryOpen("    <Category>"), kCategoryClose("</Category>\n");
constexpr QLatin1String kXOpen("  <X>"), kXClose("</X>\n");
constexpr QLatin1String kTimesOpen("  <Times>"), kTimesClose("</Times>\n");
constexpr QLatin1String kSeriesOpen("  <Series Name=\""), kSeriesNameEnd("\">"), kSeriesClose("</Series>\n");

// Whether what the writer puts out for `data` is read again: its markup (all
// but the lists, which the reader cuts out) within kMaxMarkupText and the
// whole within kMaxXmlText. `numberBound` bounds the numbers' characters; only
// when that bound does not fit are they counted exactly.
bool fitsReader(const ChartData& data, qint64 numberBound, QString* error)
{
    qint64 markup = qstrlen(kXmlDeclaration) + kOpen.size() + kClose.size();
    if (!data.categories.isEmpty())
        markup += kCategoriesOpen.size() + kCategoriesClose.size();
    for (const QString& c : data.categories)
        markup += kCategoryOpen.size() + escapedLength(c) + kCategoryClose.size();
    if (!data.x.isEmpty())
        markup += kXOpen.size() + kXClose.size();
    if (!data.times.isEmpty())
        markup += kTimesOpen.size() + kTimesClose.size();
    qint64 separators = std::max<qsizetype>(data.x.size() - 1, 0) + std::max<qsizetype>(data.times.size() - 1, 0);
    for (const Series& s : data.series) {
        markup += kSeriesOpen.size() + escapedLength(s.name) + kSeriesNameEnd.size() + kSeriesClose.size();
        separators += std::max<qsizetype>(s.values.size() - 1, 0);
    }
    // A list shorter than kMinCut stays with the reader: its separators alone
    // make a list of more values longer.
    QString list;
    qint64 shortLists = 0; // counted in the lists below too
    auto shortList = [&](auto values, auto append) {
        if (values.size() > kMinCut)
            return;
        list.clear();
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                list += QLatin1Char(';');
            append(list, values[i]);
        }
        if (list.size() < kMinCut)
            shortLists += list.size();
    };
    shortList(data.x, appendShortestNumber);
    shortList(data.times, appendIsoTime);
    for (const Series& s : data.series)
        shortList(s.values, appendShortestNumber);
    markup += shortLists;
    if (markup > kMaxMarkupText) {
        *error = QStringLiteral("Written out, the data's names, labels and short lists would take %1 "
                                "characters; the control reads at most %2.")
                     .arg(markup)
                     .arg(kMaxMarkupText);
        return false;
    }
    qint64 times = data.times.size() * qint64(kMaxIsoTimeLength);
    if (markup - shortLists + separators + times + numberBound > kMaxXmlText) {
        numberBound = times = 0;
        QString text;
        for (qint64 t : data.times) {
            text.clear();
            appendIsoTime(text, t);
            times += text.size();
        }
        for (double v : data.x)
            numberBound += shortestNumberLength(v);
        for (const Series& s : data.series)
            for (double v : s.values)
                numberBound += shortestNumberLength(v);
    }
    const qint64 total = markup - shortLists + separators + times + numberBound;
    if (total > kMaxXmlText) {
        *error = QStringLiteral("Written out, the data would take %1 characters; the control reads at most %2.")
                     .arg(total)
                     .arg(kMaxXmlText);
        return false;
    }
    return true;
}

} // namespace

bool readDataXml(const QString& text, ChartData* data, QString* error)
{
    if (text.trimmed().isEmpty()) {
        *error = QStringLiteral("The data text is empty.");
        return false;
    }
    if (!checkMarkup(text, error))
        return false;
    QString skeleton;
    QHash<qsizetype, Cut> cuts;
    const bool cut = text.size() > kMinText && cutLists(text, &skeleton, &cuts);
    if ((cut ? skeleton.size() : text.size()) > kMaxMarkupText) {
        *error = QStringLiteral("The data has %1 characters besides long lists of plain numbers; the control reads "
                                "at most %2 (write long lists as numbers and \";\" only).")
                     .arg(cut ? skeleton.size() : text.size())
                     .arg(kMaxMarkupText);
        return false;
    }
    QXmlStreamReader reader(cut ? skeleton : text);
    // The original text of a list whose content was cut out, if any.
    auto cutContent = [&]() -> QStringView {
        const auto it = cuts.constFind(reader.characterOffset());
        return it == cuts.cend() ? QStringView() : QStringView(text).sliced(it->start, it->length);
    };
    ChartData result;
    bool haveCategories = false, haveTimes = false, haveX = false;
    auto fail = [&](const QString& message) {
        *error = positionText(reader) + message;
        return false;
    };
    qint64 elements = 0;
    // Lists stop at the value limit as they are read, not after: every series
    // value counts towards it, and so would each X or time with a series.
    qint64 seriesValues = 0;
    bool overflow = false;
    qint64 numberBound = 0; // at least the characters the writer puts out for every number read
    auto full = [&](qsizetype count) {
        overflow = count >= kMaxValues;
        return overflow;
    };
    auto tooManyValues = [&] {
        return fail(
            QStringLiteral("The data has more than %1 values; a chart holds at most %1 values.").arg(kMaxValues));
    };
    auto tooMany = [&] {
        if (++elements <= kMaxElements)
            return false;
        fail(QStringLiteral("The data has more than %1 elements; name many points with <X> or <Times> instead "
                            "of <Category> elements.")
                 .arg(kMaxElements));
        return true;
    };
    auto badAttributes = [&](const QString& element, const QStringList& allowed) -> bool {
        for (const QXmlStreamAttribute& a : reader.attributes())
            if (!allowed.contains(a.name().toString())) {
                fail(QStringLiteral("Element \"%1\" has no attribute \"%2\".").arg(element, quoted(a.name())));
                return true;
            }
        return false;
    };

    if (!reader.readNextStartElement())
        return fail(reader.hasError() ? reader.errorString() : QStringLiteral("The text holds no XML element."));
    if (reader.name() != QLatin1String("ChartData"))
        return fail(QStringLiteral("The data must start with <ChartData>, not <%1>.").arg(quoted(reader.name())));
    if (badAttributes(QStringLiteral("ChartData"), {}))
        return false;

    while (reader.readNextStartElement()) {
        if (tooMany())
            return false;
        const QString name = reader.name().toString();
        if (name == QLatin1String("Categories")) {
            if (haveCategories)
                return fail(QStringLiteral("<Categories> may appear only once."));
            haveCategories = true;
            if (badAttributes(name, {}))
                return false;
            while (reader.readNextStartElement()) {
                if (tooMany())
                    return false;
                if (reader.name() != QLatin1String("Category"))
                    return fail(QStringLiteral("<Categories> holds only <Category> elements, not <%1>.")
                                    .arg(quoted(reader.name())));
                if (badAttributes(QStringLiteral("Category"), {}))
                    return false;
                result.categories << reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                if (reader.hasError())
                    break;
            }
        } else if (name == QLatin1String("X") || name == QLatin1String("Times")) {
            const bool times = name == QLatin1String("Times");
            if (times ? haveTimes : haveX)
                return fail(QStringLiteral("<%1> may appear only once.").arg(name));
            (times ? haveTimes : haveX) = true;
            if (badAttributes(name, {}))
                return false;
            QString bad; // the failing item as a message quotes it
            qsizetype failed = -1;
            bool outOfRange = false;
            const QStringView content = cutContent();
            // One allocation for a long list instead of many growing ones.
            const qsizetype expected =
                content.isEmpty() ? 0 : std::min(content.count(QLatin1Char(';')) + 1, qsizetype(kMaxValues));
            (times ? result.times.reserve(expected) : result.x.reserve(expected));
            const bool textOnly = readList(
                reader, content,
                [&](QStringView item) {
                    if (full(times ? result.times.size() : result.x.size()))
                        return false;
                    if (times) {
                        qint64 msecs = 0;
                        const TimeRead read = readIsoTime(item, &msecs);
                        if (read != TimeRead::Ok) {
                            outOfRange = read == TimeRead::OutOfRange;
                            bad = quoted(item);
                            return false;
                        }
                        result.times << msecs;
                    } else {
                        double value = 0;
                        if (!parseValue(item, &value) || std::isnan(value)) {
                            bad = quoted(item);
                            return false;
                        }
                        numberBound += writtenBound(item);
                        result.x << value;
                    }
                    return true;
                },
                &failed);
            if (reader.hasError())
                break;
            if (!textOnly)
                return fail(QStringLiteral("<%1> holds only text.").arg(name));
            if (overflow)
                return tooManyValues();
            if (failed >= 0 && outOfRange)
                return fail(QStringLiteral("Time %1 in <Times> is \"%2\", which lies outside the years 1 to 9999 "
                                           "in UTC.")
                                .arg(failed + 1)
                                .arg(bad));
            if (failed >= 0)
                return fail(times
                                ? QStringLiteral("Time %1 in <Times> is \"%2\", not a time such as "
                                                 "2024-03-31T12:00:00Z.")
                                      .arg(failed + 1)
                                      .arg(bad)
                                : QStringLiteral("Value %1 in <X> is \"%2\", not a number.").arg(failed + 1).arg(bad));
        } else if (name == QLatin1String("Series")) {
            if (badAttributes(name, {QStringLiteral("Name")}))
                return false;
            Series series;
            series.name = reader.attributes().value(QLatin1String("Name")).toString();
            if (series.name.isEmpty())
                series.name = element::SeriesPrefix + QString::number(result.series.size() + 1);
            QString bad; // the failing item as a message quotes it
            qsizetype failed = -1;
            const QStringView content = cutContent();
            if (!content.isEmpty())
                series.values.reserve(std::min(content.count(QLatin1Char(';')) + 1, kMaxValues - seriesValues));
            const bool textOnly = readList(
                reader, content,
                [&](QStringView item) {
                    if (full(seriesValues))
                        return false;
                    ++seriesValues;
                    double value = 0;
                    if (!parseValue(item, &value)) {
                        bad = quoted(item);
                        return false;
                    }
                    numberBound += writtenBound(item);
                    series.values << value;
                    return true;
                },
                &failed);
            if (reader.hasError())
                break;
            if (!textOnly)
                return fail(QStringLiteral("<Series> holds only text."));
            if (overflow)
                return tooManyValues();
            if (failed >= 0)
                return fail(QStringLiteral("Value %1 of series \"%2\" is \"%3\", not a number.")
                                .arg(failed + 1)
                                .arg(quoted(series.name), bad));
            result.series << std::move(series);
        } else {
            return fail(QStringLiteral("Unknown element <%1> in <ChartData> (known: Categories, X, Times, Series).")
                            .arg(quoted(name)));
        }
    }
    if (!reader.hasError()) {
        // Only blanks, comments and processing instructions may follow the root.
        while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid) {
            if (reader.isStartElement())
                return fail(QStringLiteral("Only one root element is allowed."));
        }
    }
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return fail(reader.errorString());
    if (reader.hasError())
        return fail(QStringLiteral("The text ends before the data is complete."));

    // Positions name the points; no series may run past them.
    const qsizetype positions = std::max({result.categories.size(), result.times.size(), result.x.size()});
    auto mismatch = [&](const char* what, qsizetype count) {
        *error = QStringLiteral("There are %1 %2 but %3 points; give every point one.")
                     .arg(count)
                     .arg(QLatin1String(what))
                     .arg(positions);
        return false;
    };
    if (haveCategories && result.categories.size() != positions)
        return mismatch("categories", result.categories.size());
    if (haveTimes && result.times.size() != positions)
        return mismatch("times", result.times.size());
    if (haveX && result.x.size() != positions)
        return mismatch("x values", result.x.size());
    const int count = result.pointCount();
    // Short series are filled up with missing values: one long list beside
    // many empty series would otherwise grow far beyond the text's own size.
    if (qint64(count) * result.series.size() > kMaxValues) {
        *error = QStringLiteral("The data has %1 series of %2 points; a chart holds at most %3 values.")
                     .arg(result.series.size())
                     .arg(count)
                     .arg(kMaxValues);
        return false;
    }
    for (Series& s : result.series) {
        if (positions > 0 && s.values.size() > positions) {
            *error = QStringLiteral("Series \"%1\" has %2 values but there are only %3 points.")
                         .arg(quoted(s.name))
                         .arg(s.values.size())
                         .arg(positions);
            return false;
        }
        s.values.resize(count, kMissing);
    }
    if (!fitsReader(result, numberBound, error))
        return false;
    *data = std::move(result);
    return true;
}

QString writeDataXml(const ChartData& data)
{
    QString out = QLatin1String(kXmlDeclaration);
    out += kOpen;
    if (!data.categories.isEmpty()) {
        out += kCategoriesOpen;
        for (const QString& c : data.categories)
            out += kCategoryOpen + escapeXml(c) + kCategoryClose;
        out += kCategoriesClose;
    }
    if (!data.x.isEmpty()) {
        out += kXOpen;
        appendList(out, data.x);
        out += kXClose;
    }
    if (!data.times.isEmpty()) {
        out += kTimesOpen;
        for (qsizetype i = 0; i < data.times.size(); ++i) {
            if (i > 0)
                out += QLatin1Char(';');
            appendIsoTime(out, data.times[i]);
        }
        out += kTimesClose;
    }
    for (const Series& s : data.series) {
        out += kSeriesOpen + escapeXml(s.name) + kSeriesNameEnd;
        appendList(out, s.values);
        out += kSeriesClose;
    }
    out += kClose;
    return out;
}

QString dataText(const ChartData& data)
{
    // A tab or line end (Unicode's too) inside a name would split its cell or its line.
    auto cell = [](QString text) {
        for (QChar& c : text)
            if (c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029')
                c = u' ';
        return text;
    };
    QString out;
    for (const Series& s : data.series)
        out += QLatin1Char('\t') + cell(s.name);
    out += QLatin1String("\r\n");
    const int count = data.pointCount();
    for (int i = 0; i < count; ++i) {
        out += cell(data.label(i));
        for (const Series& s : data.series) {
            out += QLatin1Char('\t');
            if (i < s.values.size())
                appendShortestNumber(out, s.values[i]);
        }
        out += QLatin1String("\r\n");
    }
    return out;
}

} // namespace vizorb
