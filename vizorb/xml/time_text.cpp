#include "vizorb/xml/time_text.h"

namespace vizorb {
namespace {

constexpr qint64 kDay = 86'400'000;

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
constexpr qint64 daysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Date {
    qint64 year;
    int month, day;
};

constexpr Date civilFromDays(qint64 z)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1);
    const int m = int(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

int daysInMonth(qint64 year, int month)
{
    constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Reads `count` digits at `at`; false when there are not that many.
bool digits(QStringView text, qsizetype at, int count, int* value)
{
    if (at + count > text.size())
        return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[at + i].unicode();
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

void appendDigits(QString& out, qint64 value, int count)
{
    char buffer[8];
    for (int i = count - 1; i >= 0; --i, value /= 10)
        buffer[i] = char('0' + value % 10);
    out += QLatin1StringView(buffer, count);
}

} // namespace

const qint64 kFirstTime = daysFromCivil(1, 1, 1) * kDay;
const qint64 kLastTime = daysFromCivil(10000, 1, 1) * kDay - 1;

TimeRead readIsoTime(QStringView text, qint64* msecs)
{
    int year = 0, month = 0, day = 0;
    if (!digits(text, 0, 4, &year) || text.size() < 10 || text[4] != u'-' || !digits(text, 5, 2, &month) ||
        text[7] != u'-' || !digits(text, 8, 2, &day))
        return TimeRead::NotATime;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return TimeRead::NotATime;
    qint64 ms = 0;
    qsizetype i = 10;
    if (i < text.size()) {
        if (text[i] != u'T' && text[i] != u' ')
            return TimeRead::NotATime;
        int hour = 0, minute = 0, second = 0, millis = 0;
        if (!digits(text, i + 1, 2, &hour))
            return TimeRead::NotATime;
        i += 3;
        if (i < text.size() && text[i] == u':') {
            if (!digits(text, i + 1, 2, &minute) || minute > 59)
                return TimeRead::NotATime;
            i += 3;
            if (i < text.size() && text[i] == u':') {
                if (!digits(text, i + 1, 2, &second) || second > 59)
                    return TimeRead::NotATime;
                i += 3;
                if (i < text.size() && (text[i] == u'.' || text[i] == u',')) {
                    // To the nearest millisecond, from the first four digits.
                    int count = 0, tenths = 0;
                    for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++count)
                        if (count < 4)
                            tenths = tenths * 10 + (text[i].unicode() - '0');
                    if (count == 0)
                        return TimeRead::NotATime;
                    for (int k = count; k < 4; ++k)
                        tenths *= 10;
                    millis = (tenths + 5) / 10;
                }
            }
        }
        if (hour > 24 || (hour == 24 && (minute || second || millis)))
            return TimeRead::NotATime;
        ms = ((hour * 60 + minute) * 60 + second) * qint64(1000) + millis;
        if (i < text.size()) {
            const char16_t sign = text[i].unicode();
            if ((sign == 'Z' || sign == 'z') && i + 1 == text.size()) {
                ++i;
            } else if (sign == '+' || sign == '-') {
                int offsetHours = 0, offsetMinutes = 0;
                if (!digits(text, i + 1, 2, &offsetHours) || offsetHours > 23)
                    return TimeRead::NotATime;
                i += 3;
                const bool colon = i < text.size() && text[i] == u':';
                i += colon;
                if (colon || i < text.size()) {
                    if (!digits(text, i, 2, &offsetMinutes) || offsetMinutes > 59)
                        return TimeRead::NotATime;
                    i += 2;
                }
                const qint64 offset = (offsetHours * 60 + offsetMinutes) * qint64(60'000);
                ms -= sign == '+' ? offset : -offset;
            }
        }
        if (i != text.size())
            return TimeRead::NotATime;
    }
    const qint64 result = daysFromCivil(year, month, day) * kDay + ms;
    if (result < kFirstTime || result > kLastTime)
        return TimeRead::OutOfRange;
    *msecs = result;
    return TimeRead::Ok;
}

void appendIsoTime(QString& out, qint64 msecs)
{
    const qint64 days = (msecs >= 0 ? msecs : msecs - (kDay - 1)) / kDay;
    const qint64 ms = msecs - days * kDay;
    const Date date = civilFromDays(days);
    appendDigits(out, date.year, 4);
    out += u'-';
    appendDigits(out, date.month, 2);
    out += u'-';
    appendDigits(out, date.day, 2);
    if (ms == 0)
        return;
    out += u'T';
    appendDigits(out, ms / 3'600'000, 2);
    out += u':';
    appendDigits(out, ms / 60'000 % 60, 2);
    out += u':';
    appendDigits(out, ms / 1000 % 60, 2);
    if (int fraction = int(ms % 1000)) {
        int count = 3;
        for (; fraction % 10 == 0; fraction /= 10)
            --count;
        out += u'.';
        appendDigits(out, fraction, count);
    }
    out += u'Z';
}

} // namespace vizorb
