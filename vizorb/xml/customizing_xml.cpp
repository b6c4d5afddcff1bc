#include "vizorb/xml/customizing_xml.h"

#include "vizorb/model/names.h"
#include "vizorb/xml/xml_text.h"

#include <QXmlStreamReader>

namespace vizorb {
namespace {

// A customizing names about a thousand elements at most; the bound keeps a
// file of millions of repeated ones from taking seconds.
constexpr qint64 kMaxItems = 100'000;

} // namespace

bool applyAttribute(Customizing* customizing, const QString& path, const QString& attribute, const QString& value,
                    QString* error)
{
    QString normalized;
    if (!schema::normalizeValue(path, attribute, value, &normalized, error))
        return false;
    const QString canonical = schema::canonicalPath(path);
    customizing->values[canonical].insert(schema::canonicalAttribute(canonical, attribute), normalized);
    return true;
}

bool readCustomizingXml(const QString& text, Customizing* customizing, QString* error)
{
    if (text.trimmed().isEmpty()) {
        *error = QStringLiteral("The customizing text is empty.");
        return false;
    }
    if (text.size() > kMaxMarkupText) {
        *error = QStringLiteral("The customizing text has %1 characters; the control reads at most %2.")
                     .arg(text.size())
                     .arg(kMaxMarkupText);
        return false;
    }
    if (!checkMarkup(text, error))
        return false;
    QXmlStreamReader reader(text);
    Customizing result = *customizing;
    auto fail = [&](const QString& message) {
        *error = positionText(reader) + message;
        return false;
    };
    if (!reader.readNextStartElement())
        return fail(reader.hasError() ? reader.errorString() : QStringLiteral("The text holds no XML element."));
    if (reader.name() != QLatin1String("Customizing"))
        return fail(
            QStringLiteral("The customizing must start with <Customizing>, not <%1>.").arg(quoted(reader.name())));

    QStringList stack; // element paths of the open elements below the root
    qint64 items = 0;  // elements and attributes
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (stack.isEmpty())
                break;
            stack.removeLast();
        } else if (token == QXmlStreamReader::StartElement) {
            items += 1 + reader.attributes().size();
            if (items > kMaxItems)
                return fail(QStringLiteral("The customizing has more than %1 elements and attributes.").arg(kMaxItems));
            const QString name = reader.name().toString();
            const QString written = stack.isEmpty() ? name : stack.last() + QLatin1Char('.') + name;
            const QString path = schema::canonicalPath(written);
            if (path.isEmpty())
                return fail(QStringLiteral("Unknown element \"%1\".").arg(quoted(written)));
            for (const QXmlStreamAttribute& a : reader.attributes()) {
                const QString attribute = a.name().toString();
                // A saved customizing names the release it came from; it is no setting.
                if (schema::isReadOnly(path, attribute))
                    continue;
                QString message;
                if (!applyAttribute(&result, path, attribute, a.value().toString(), &message))
                    return fail(message);
            }
            stack << path;
        } else if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) {
            return fail(QStringLiteral("Unexpected text \"%1\"; settings are attributes.").arg(quoted(reader.text())));
        }
    }
    if (!reader.hasError()) {
        while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::Invalid)
            if (reader.isStartElement())
                return fail(QStringLiteral("Only one root element is allowed."));
    }
    if (reader.hasError())
        return fail(reader.error() == QXmlStreamReader::PrematureEndOfDocumentError
                        ? QStringLiteral("The text ends before the customizing is complete.")
                        : reader.errorString());
    if (!fitsReader(result, error))
        return false;
    *customizing = std::move(result);
    return true;
}

namespace {

QString attributesText(const Customizing& customizing, const QString& path, bool complete)
{
    QString out;
    const auto element = customizing.values.constFind(path);
    for (const QString& name : schema::attributeNames(path)) {
        if (schema::isReadOnly(path, name))
            continue;
        QString value;
        if (element != customizing.values.cend() && element->contains(name))
            value = element->value(name);
        else if (complete)
            value = schema::defaultValue(path, name);
        else
            continue;
        out += QLatin1Char(' ') + name + QLatin1String("=\"") + escapeXml(value) + QLatin1Char('"');
    }
    return out;
}

} // namespace

QString writeCustomizingXml(const Customizing& customizing, const CustomizingOutput& output)
{
    QStringList paths = schema::fixedPaths();
    int series = output.complete ? output.seriesElements : 0;
    for (auto it = customizing.values.cbegin(); it != customizing.values.cend(); ++it)
        if (it.key().startsWith(element::SeriesPrefix))
            series = std::max(series, it.key().mid(6).toInt());
    for (int i = 1; i <= series; ++i)
        paths << element::SeriesPrefix + QString::number(i);

    QString out = QLatin1String(kXmlDeclaration);
    out += QLatin1String("<Customizing>\n");
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths[i];
        const QString attributes = attributesText(customizing, path, output.complete);
        const bool child = path.contains(QLatin1Char('.'));
        if (!output.nested || !child) {
            // A parent element opens its children, nested; children follow it.
            QStringList children;
            if (output.nested)
                for (qsizetype j = i + 1; j < paths.size() && paths[j].startsWith(path + QLatin1Char('.')); ++j)
                    if (!attributesText(customizing, paths[j], output.complete).isEmpty())
                        children << paths[j];
            if (attributes.isEmpty() && children.isEmpty())
                continue;
            out += QLatin1String("  <") + path + attributes;
            if (children.isEmpty()) {
                out += QLatin1String("/>\n");
                continue;
            }
            out += QLatin1String(">\n");
            for (const QString& c : children)
                out += QLatin1String("    <") + c.mid(path.size() + 1) +
                       attributesText(customizing, c, output.complete) + QLatin1String("/>\n");
            out += QLatin1String("  </") + path + QLatin1String(">\n");
        }
    }
    out += QLatin1String("</Customizing>\n");
    return out;
}

bool fitsReader(const Customizing& customizing, QString* error)
{
    // Every element and attribute with its default, in the longer layout:
    // what a value adds comes on top.
    static const qint64 frame = [] {
        qint64 longest = 0;
        for (bool nested : {true, false})
            longest =
                std::max<qint64>(longest, writeCustomizingXml({}, {true, nested, schema::maxSeriesElements}).size());
        return longest;
    }();
    // A character is escaped into at most 8 ("&#65533;"); only a customizing
    // that might not fit is counted exactly, each value in place of its
    // default, so the count is the same after a reload of what was written.
    qint64 plain = 0;
    for (const auto& element : customizing.values)
        for (const QString& value : element)
            plain += value.size();
    if (frame + 8 * plain <= kMaxMarkupText)
        return true;
    qint64 added = 0;
    for (auto element = customizing.values.cbegin(); element != customizing.values.cend(); ++element)
        for (auto value = element->cbegin(); value != element->cend(); ++value)
            added += escapedLength(*value) - escapedLength(schema::defaultValue(element.key(), value.key()));
    if (frame + added <= kMaxMarkupText)
        return true;
    *error = QStringLiteral("Written out, the customizing would take more than %1 characters, more than the control "
                            "reads; shorten its captions.")
                 .arg(kMaxMarkupText);
    return false;
}

} // namespace vizorb
