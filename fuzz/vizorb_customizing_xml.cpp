// The customizing reader: any bytes are either rejected with a message and
// nothing applied, or read into settings in their normal form that write back
// (every form) and read again unchanged, as the same text.
#include "vizorb/model/chart_model.h"
#include "vizorb/xml/customizing_xml.h"
#include "vizorb/xml/xml_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QString decoded, error;
    vizorb::Customizing customizing;
    customizing.values[QStringLiteral("Title")][QStringLiteral("Caption")] = QStringLiteral("base");
    const vizorb::Customizing before = customizing;
    if (!vizorb::decodeXmlText(text, &decoded, &error) || !vizorb::readCustomizingXml(decoded, &customizing, &error)) {
        if (error.isEmpty() || !(customizing == before))
            std::abort();
        return 0;
    }
    // A stored value is in its normal form: set again, it stays as it is.
    for (auto element = customizing.values.cbegin(); element != customizing.values.cend(); ++element)
        for (auto value = element->cbegin(); value != element->cend(); ++value) {
            QString normalized;
            if (!vizorb::schema::normalizeValue(element.key(), value.key(), *value, &normalized, &error) ||
                normalized != *value)
                std::abort();
        }
    // Every layout, only what was set or every attribute, is read again into
    // the same settings and written again as the same text, within the reader's bound.
    for (bool complete : {false, true})
        for (bool nested : {true, false}) {
            const vizorb::CustomizingOutput output{complete, nested, 3};
            const QString written = vizorb::writeCustomizingXml(customizing, output);
            vizorb::Customizing back;
            if (written.size() > vizorb::kMaxMarkupText || !vizorb::decodeXmlText(written, &decoded, &error) ||
                !vizorb::readCustomizingXml(decoded, &back, &error) ||
                vizorb::writeCustomizingXml(back, output) != written || (!complete && !(back == customizing)))
                std::abort();
        }
    return 0;
}
