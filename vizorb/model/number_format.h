#pragma once

#include <QString>

#include <optional>
#include <string>

namespace vizorb {

// A customized number format: literal text around exactly one printf-style
// conversion (d, i, f, F, e, E, g or G with flags, a width and a precision of
// at most two digits each), "%%" for a percent sign. The literal text may hold
// any character and is drawn as typed; only the conversion reaches printf.
class NumberFormat {
public:
    static constexpr qsizetype kMaxLength = 100;

    // The format `text` spells, or nothing when it spells none.
    static std::optional<NumberFormat> parse(QStringView text);

    QString format(double value) const;

    friend bool operator==(const NumberFormat&, const NumberFormat&) = default;

private:
    QString m_before, m_after; // literal text, "%%" already a single "%"
    std::string m_conversion;  // ASCII: '%', flags, width, precision, letter
};

} // namespace vizorb
