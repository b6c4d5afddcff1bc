#pragma once

#include <QString>

namespace vizorb {

// The fewest digits that read back as exactly `value`, plain from 0.0001 to
// below 1e15 ("0.1", "100000", "1e-05", "1.7976931348623157e+308"); every number the control stores as text or
// writes goes through here, so what it writes it reads again unchanged.
// Nothing for NaN (a missing value).
void appendShortestNumber(QString& out, double value);
QString shortestNumber(double value);
// Reads a number as the formats write them: a full stop for decimals, an
// optional exponent, one optional sign ("+-1" is no number); finite only.
bool readNumber(QStringView text, double* value);
// The length of that text (0 for NaN).
int shortestNumberLength(double value);
// The most characters that takes ("-2.2250738585072014e-308").
inline constexpr int kMaxNumberLength = 24;

} // namespace vizorb
