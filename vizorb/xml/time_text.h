#pragma once

#include <QString>

namespace vizorb {

// ISO 8601 times as the data format holds them, read and written by hand:
// a time without a zone is UTC whatever the machine's zone, so no local-time
// rules are consulted (a time in a daylight-saving gap is no fault), and a
// million times read as fast with "Z" as without.
//
// Read: YYYY-MM-DD, optionally followed by "T" (or a blank) and hh, hh:mm,
// hh:mm:ss or hh:mm:ss.f (any number of digits, "," too, rounded to the
// millisecond; 24:00 is the next midnight) and a zone: "Z", +hh, +hhmm or
// +hh:mm (or "-").
enum class TimeRead { Ok, NotATime, OutOfRange };
// `msecs` since the epoch, UTC. OutOfRange when the time, taken to UTC,
// leaves the years 1 to 9999.
TimeRead readIsoTime(QStringView text, qint64* msecs);

// The shortest form that keeps the time: the date alone at midnight UTC,
// else YYYY-MM-DDThh:mm:ssZ with a fraction only where it is not zero
// (".5", ".25", ".125"). Longest form: 24 characters.
void appendIsoTime(QString& out, qint64 msecs);
inline constexpr int kMaxIsoTimeLength = 24;

// The first and last millisecond of the years 1 to 9999, UTC.
extern const qint64 kFirstTime;
extern const qint64 kLastTime;

} // namespace vizorb
