// The customizing reader: any bytes are either rejected with a message and
// nothing applied, or read into settings that write back (both layouts) and
// read again unchanged.
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
    for (bool nested : {true, false}) {
        const QString written = vizorb::writeCustomizingXml(customizing, {false, nested, 0});
        vizorb::Customizing back;
        if (!vizorb::decodeXmlText(written, &decoded, &error) || !vizorb::readCustomizingXml(decoded, &back, &error) ||
            !(back == customizing))
            std::abort();
    }
    return 0;
}
