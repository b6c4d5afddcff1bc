#include "vizorb/model/number_text.h"

#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vizorb {

namespace {

// The fewest digits that read back to the same double, laid out as "%g"
// lays out 15 digits: plain from 0.0001 to below 1e15 (100000, not 1e+05),
// else with an exponent. The longest, "-2.2250738585072014e-308", has 24
// characters; a plain one at most 22.
struct Text {
    char buffer[32] = {};
    int size = 0;
    explicit Text(double value)
    {
        if (std::isnan(value))
            return;
        char* const end = buffer + sizeof buffer;
        const std::to_chars_result scientific = std::to_chars(buffer, end, value, std::chars_format::scientific);
        size = int(scientific.ptr - buffer);
        const char* const e = std::find(buffer, scientific.ptr, 'e');
        if (e == scientific.ptr) // infinite
            return;
        int exponent = 0;
        std::from_chars(e + (e[1] == '+' ? 2 : 1), scientific.ptr, exponent);
        if (exponent >= -4 && exponent < 15)
            size = int(std::to_chars(buffer, end, value, std::chars_format::fixed).ptr - buffer);
    }
};

} // namespace

void appendShortestNumber(QString& out, double value)
{
    const Text text(value);
    out += QLatin1StringView(text.buffer, text.size);
}

int shortestNumberLength(double value)
{
    return Text(value).size;
}

bool readNumber(QStringView text, double* value)
{
    if (text.isEmpty())
        return false;
    QVarLengthArray<char, 64> buffer(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 0x7F)
            return false;
        buffer[i] = char(c);
    }
    const char* end = buffer.cend();
    const char* begin = buffer.cbegin() + (text[0] == u'+' ? 1 : 0);
    // from_chars takes a minus of its own: a sign after a sign is no number.
    if (begin != buffer.cbegin() && (begin == end || *begin == '-' || *begin == '+'))
        return false;
    double result = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, result);
    if (ec != std::errc() || ptr != end || !std::isfinite(result))
        return false;
    *value = result;
    return true;
}

QString shortestNumber(double value)
{
    QString out;
    appendShortestNumber(out, value);
    return out;
}

} // namespace vizorb
