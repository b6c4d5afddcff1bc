#include "variant.h"

#include "runtime_error.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>

namespace platform {

Object::~Object() = default;

void raiseTypeMismatch()
{
    raise(err::TypeMismatch);
}

void Variant::typeMismatch()
{
    raiseTypeMismatch();
}

QString typeName(Variant::Type type)
{
    switch (type) {
    case Variant::Type::Empty:
        return QStringLiteral("Empty");
    case Variant::Type::Boolean:
        return QStringLiteral("Boolean");
    case Variant::Type::Integer:
        return QStringLiteral("Integer");
    case Variant::Type::Long:
        return QStringLiteral("Long");
    case Variant::Type::Single:
        return QStringLiteral("Single");
    case Variant::Type::Double:
        return QStringLiteral("Double");
    case Variant::Type::String:
        return QStringLiteral("String");
    case Variant::Type::Object:
        return QStringLiteral("Object");
    }
    return {};
}

void PrintTo(const Variant& value, std::ostream* os)
{
    *os << typeName(value.type()).toStdString();
    if (value.type() != Variant::Type::Empty && value.type() != Variant::Type::Object)
        *os << "(" << value.toString().toStdString() << ")";
}

bool parseNumber(const QString& text, double* value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const QByteArray bytes = trimmed.toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();

    if (bytes.size() > 2 && bytes[0] == '&' &&
        (bytes[1] == 'H' || bytes[1] == 'h' || bytes[1] == 'O' || bytes[1] == 'o')) {
        const int base = (bytes[1] == 'H' || bytes[1] == 'h') ? 16 : 8;
        std::uint64_t digits = 0;
        auto [ptr, ec] = std::from_chars(begin + 2, end, digits, base);
        if (ec != std::errc() || ptr != end)
            return false;
        *value = static_cast<double>(digits);
        return true;
    }

    const char* start = begin;
    bool negative = false;
    if (*start == '+' || *start == '-') {
        negative = *start == '-';
        ++start;
    }
    if (start == end || *start == '+' || *start == '-')
        return false;
    QByteArray plain(start, end - start);
    // The runtime also writes its exponents with D; from_chars knows only E.
    for (char& c : plain)
        if (c == 'd' || c == 'D')
            c = 'e';
    double parsed = 0;
    auto [ptr, ec] =
        std::from_chars(plain.constData(), plain.constData() + plain.size(), parsed, std::chars_format::general);
    if (ptr != plain.constData() + plain.size())
        return false;
    if (ec == std::errc::result_out_of_range)
        parsed = std::numeric_limits<double>::infinity(); // reported as Overflow by the caller
    else if (ec != std::errc())
        return false;
    for (char c : plain)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'))
            return false; // no "inf", "nan" or hexadecimal floats
    *value = negative ? -parsed : parsed;
    return true;
}

QString formatNumber(double value, int significantDigits)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0)
        return QStringLiteral("0");

    // to_chars, not printf: the C locale's decimal comma must not reach the text.
    char buffer[64];
    QByteArray scientific(
        buffer,
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significantDigits - 1).ptr -
            buffer);
    const int ePos = scientific.indexOf('e');
    const int exponent = scientific.mid(ePos + 1).toInt();

    auto trimFraction = [](QByteArray digits) {
        if (digits.contains('.')) {
            while (digits.endsWith('0'))
                digits.chop(1);
            if (digits.endsWith('.'))
                digits.chop(1);
        }
        return digits;
    };

    if (exponent >= significantDigits || exponent < -4) {
        QByteArray mantissa = trimFraction(scientific.left(ePos));
        const QByteArray exp = QByteArray::number(std::abs(exponent)).rightJustified(2, '0');
        return QString::fromLatin1(mantissa + (exponent < 0 ? "E-" : "E+") + exp);
    }
    const int decimals = std::max(0, significantDigits - 1 - exponent);
    const char* fixedEnd = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return QString::fromLatin1(trimFraction(QByteArray(buffer, fixedEnd - buffer)));
}

bool Variant::isNumeric() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
        return true;
    default:
        return false;
    }
}

double Variant::numericValue() const
{
    switch (type()) {
    case Type::Empty:
        return 0;
    case Type::Boolean:
        return std::get<bool>(m_value) ? -1 : 0;
    case Type::Integer:
        return std::get<std::int16_t>(m_value);
    case Type::Long:
        return std::get<std::int32_t>(m_value);
    case Type::Single:
        return std::get<float>(m_value);
    case Type::Double:
        return std::get<double>(m_value);
    case Type::String: {
        double parsed = 0;
        if (!parseNumber(std::get<QString>(m_value), &parsed))
            typeMismatch();
        return parsed;
    }
    case Type::Object:
        break;
    }
    typeMismatch();
}

namespace {
template <class Int> Int roundToInteger(double value)
{
    if (!std::isfinite(value))
        raise(err::Overflow);
    const double rounded = std::nearbyint(value); // the default rounding mode sends halves to even
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        raise(err::Overflow);
    return static_cast<Int>(rounded);
}
} // namespace

std::int16_t Variant::toInteger() const
{
    if (type() == Type::Integer)
        return std::get<std::int16_t>(m_value);
    return roundToInteger<std::int16_t>(numericValue());
}

std::int32_t Variant::toLong() const
{
    if (type() == Type::Long)
        return std::get<std::int32_t>(m_value);
    return roundToInteger<std::int32_t>(numericValue());
}

bool Variant::toBoolean() const
{
    if (type() == Type::Boolean)
        return std::get<bool>(m_value);
    if (type() == Type::String) {
        const QString text = std::get<QString>(m_value).trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const double value = numericValue();
    return value != 0;
}

float Variant::toSingle() const
{
    if (type() == Type::Single)
        return std::get<float>(m_value);
    const double value = numericValue();
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        raise(err::Overflow);
    if (std::isinf(value))
        raise(err::Overflow);
    return static_cast<float>(value);
}

double Variant::toDouble() const
{
    const double value = numericValue();
    if (std::isinf(value) && type() == Type::String)
        raise(err::Overflow);
    return value;
}

QString Variant::toString() const
{
    switch (type()) {
    case Type::Empty:
        return {};
    case Type::Boolean:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer:
        return QString::number(std::get<std::int16_t>(m_value));
    case Type::Long:
        return QString::number(std::get<std::int32_t>(m_value));
    case Type::Single:
        return formatNumber(std::get<float>(m_value), 7);
    case Type::Double:
        return formatNumber(std::get<double>(m_value), 15);
    case Type::String:
        return std::get<QString>(m_value);
    case Type::Object:
        break;
    }
    typeMismatch();
}

std::shared_ptr<Object> Variant::toObject() const
{
    if (type() != Type::Object || !std::get<std::shared_ptr<Object>>(m_value))
        typeMismatch();
    return std::get<std::shared_ptr<Object>>(m_value);
}

} // namespace platform
