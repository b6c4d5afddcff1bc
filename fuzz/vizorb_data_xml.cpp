// The chart data reader: any bytes are either rejected with a message or
// read into data that writes back and reads again unchanged.
#include "vizorb/xml/data_xml.h"
#include "vizorb/xml/xml_text.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QString decoded, error;
    vizorb::ChartData data;
    if (!vizorb::decodeXmlText(text, &decoded, &error) || !vizorb::readDataXml(decoded, &data, &error)) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QString written = vizorb::writeDataXml(data);
    vizorb::ChartData back;
    if (written.size() > vizorb::kMaxXmlText || !vizorb::decodeXmlText(written, &decoded, &error) ||
        !vizorb::readDataXml(decoded, &back, &error) || vizorb::writeDataXml(back) != written)
        std::abort();
    return 0;
}
