#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <variant>

namespace platform {

// Anything a Variant can hold by reference: a picture, a dispatch object.
class Object {
public:
    virtual ~Object();
};

// The runtime's variant: the one value type that crosses the dispatch
// boundary. Conversions follow the original runtime: a failing conversion
// raises Type mismatch (13) or Overflow (6) as a platform::RuntimeError.
class Variant {
public:
    enum class Type { Empty, Boolean, Integer, Long, Single, Double, String, Object };

    Variant() = default;
    Variant(bool value) : m_value(value) {}
    Variant(std::int16_t value) : m_value(value) {}
    Variant(std::int32_t value) : m_value(value) {}
    Variant(float value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(QString value) : m_value(std::move(value)) {}
    Variant(const char* utf8) : m_value(QString::fromUtf8(utf8)) {}
    Variant(std::shared_ptr<Object> object) : m_value(std::move(object)) {}

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNumeric() const;

    bool toBoolean() const;
    std::int16_t toInteger() const;
    std::int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    QString toString() const;
    // Empty or a non-object raises Type mismatch.
    std::shared_ptr<Object> toObject() const;
    template <class T> std::shared_ptr<T> toObjectOf() const;

    // Same type and same value; objects compare by identity.
    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double, QString, std::shared_ptr<Object>>
        m_value;

    [[noreturn]] static void typeMismatch();
    double numericValue() const; // raises Type mismatch for what has no numeric value
};

QString typeName(Variant::Type type);

// For test failure messages.
void PrintTo(const Variant& value, std::ostream* os);

[[noreturn]] void raiseTypeMismatch();

template <class T> std::shared_ptr<T> Variant::toObjectOf() const
{
    auto object = std::dynamic_pointer_cast<T>(toObject());
    if (!object)
        raiseTypeMismatch();
    return object;
}

// Numeric text as the runtime reads it: surrounding blanks ignored, an
// optional sign, digits with an optional full stop and exponent, or &H / &O
// prefixed hexadecimal or octal. Returns false for text with no numeric value.
bool parseNumber(const QString& text, double* value);

// A number in plain decimal with at most `significantDigits` significant
// digits, no trailing zeros, a full stop whatever the locale, a leading zero
// before the point below 1; exponent form ("1.5E+20", "1E-07") from 10^digits
// upwards and below 0.0001. A minus sign for negatives, nothing for others.
QString formatNumber(double value, int significantDigits);

} // namespace platform
