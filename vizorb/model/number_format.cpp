#include "vizorb/model/number_format.h"

#include "vizorb/xml/xml_text.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <string>

namespace vizorb {
namespace {

constexpr int kMaxFlags = 5;
constexpr int kMaxDigits = 2;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The C library's printf in the "C" locale: Qt sets the process's to the
// desktop's, whose decimal sign may be a comma.
QString printed(const std::string& conversion, auto value)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    const locale_t previous = uselocale(c);
    const int size = std::snprintf(nullptr, 0, conversion.c_str(), value);
    std::string text(size_t(std::max(size, 0)) + 1, '\0');
    if (size > 0)
        std::snprintf(text.data(), text.size(), conversion.c_str(), value);
    uselocale(previous);
    text.resize(size_t(std::max(size, 0)));
    return QString::fromLatin1(text);
}

} // namespace

std::optional<NumberFormat> NumberFormat::parse(QStringView text)
{
    if (text.size() > kMaxLength)
        return std::nullopt;
    // Literal text is stored in XML.
    if (firstUnwritable(text) >= 0)
        return std::nullopt;
    NumberFormat format;
    bool converted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString& literal = converted ? format.m_after : format.m_before;
        if (text[i] != QLatin1Char('%')) {
            literal += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == QLatin1Char('%')) {
            literal += QLatin1Char('%');
            ++i;
            continue;
        }
        if (converted)
            return std::nullopt;
        std::string conversion = "%";
        qsizetype j = i + 1;
        for (int n = 0; j < text.size() && n < kMaxFlags && QStringView(u"-+ 0#").contains(text[j]); ++j, ++n)
            conversion += char(text[j].unicode());
        for (int n = 0; j < text.size() && n < kMaxDigits && isDigit(text[j]); ++j, ++n)
            conversion += char(text[j].unicode());
        if (j < text.size() && text[j] == QLatin1Char('.')) {
            conversion += '.';
            ++j;
            for (int n = 0; j < text.size() && n < kMaxDigits && isDigit(text[j]); ++j, ++n)
                conversion += char(text[j].unicode());
        }
        if (j >= text.size() || !QStringView(u"difFeEgG").contains(text[j]))
            return std::nullopt;
        conversion += char(text[j].unicode());
        format.m_conversion = conversion;
        converted = true;
        i = j;
    }
    if (!converted)
        return std::nullopt;
    return format;
}

QString NumberFormat::format(double value) const
{
    QString number;
    const char letter = m_conversion.back();
    if (letter == 'd' || letter == 'i') {
        // An integer conversion of a number beyond 64 bits shows its digits all the same.
        std::string spec = m_conversion;
        spec.pop_back();
        std::erase(spec, '#');
        if (std::abs(value) < 9.2e18) {
            number = printed(spec + "lld", static_cast<long long>(std::llround(value)));
        } else {
            if (const auto dot = spec.find('.'); dot != std::string::npos)
                spec.erase(dot);
            number = printed(spec + ".0f", value);
        }
    } else {
        number = printed(m_conversion, value);
    }
    return m_before + number + m_after;
}

} // namespace vizorb
