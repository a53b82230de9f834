#include "core/store/TextForms.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const QDate kFirstDate(100, 1, 1);
const QDate kLastDate(9999, 12, 31);

bool inRange(const QDate &date)
{
    return date.isValid() && date >= kFirstDate && date <= kLastDate;
}

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

// Reads up to `most` ASCII digits at `pos`; false when there is none.
bool digits(QStringView text, qsizetype &pos, int most, int &value, int &count)
{
    value = 0;
    count = 0;
    while (pos < text.size() && count < most && text[pos] >= QLatin1Char('0') &&
           text[pos] <= QLatin1Char('9')) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++count;
    }
    return count > 0;
}

void skipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
}

// The number at the start of text from position `pos` on; `end` is set past it.
// Returns false when no digit is found.
bool scanNumber(const QString &text, qsizetype pos, qsizetype &end, double &value)
{
    const qsizetype start = pos;
    if (pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        ++pos;
    qsizetype digits = 0;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128)
        ++pos, ++digits;
    if (pos < text.size() && text[pos] == QLatin1Char('.')) {
        ++pos;
        while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128)
            ++pos, ++digits;
    }
    if (digits == 0)
        return false;
    // An exponent counts only when digits follow it.
    if (pos < text.size() && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        qsizetype e = pos + 1;
        if (e < text.size() && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        const qsizetype firstDigit = e;
        while (e < text.size() && text[e].isDigit() && text[e].unicode() < 128)
            ++e;
        if (e > firstDigit)
            pos = e;
    }
    end = pos;
    value = text.mid(start, pos - start).toDouble();
    if (!std::isfinite(value)) // 1e999
        value = text[start] == QLatin1Char('-') ? -std::numeric_limits<double>::max()
                                                : std::numeric_limits<double>::max();
    return true;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

namespace TextForms {

QString dayKey(const QDate &date)
{
    if (!inRange(date))
        return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(date.month())
        .arg(date.day())
        .arg(QString::number(date.year()).rightJustified(4, QLatin1Char('0')));
}

QString timeText(const QTime &time)
{
    if (!time.isValid())
        return QString();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour12)
        .arg(twoDigits(time.minute()), twoDigits(time.second()),
             time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString momentText(const QDateTime &moment)
{
    const QString day = dayKey(moment.date());
    if (day.isEmpty() || !moment.time().isValid())
        return QString();
    const QTime time = moment.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return day;
    return day + QLatin1Char(' ') + timeText(time);
}

std::optional<QDate> parseDate(const QString &text)
{
    // M/d/yyyy or M/d/yy, with leading zeros allowed.
    const QStringView trimmed = QStringView(text).trimmed();
    qsizetype pos = 0;
    int month = 0, day = 0, year = 0, count = 0;
    if (!digits(trimmed, pos, 2, month, count) || pos >= trimmed.size() ||
        trimmed[pos++] != QLatin1Char('/'))
        return std::nullopt;
    if (!digits(trimmed, pos, 2, day, count) || pos >= trimmed.size() ||
        trimmed[pos++] != QLatin1Char('/'))
        return std::nullopt;
    if (!digits(trimmed, pos, 4, year, count) || pos != trimmed.size() ||
        (count != 2 && count != 4))
        return std::nullopt;
    if (count == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, month, day);
    if (!inRange(date))
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(const QString &text)
{
    // h[:mm[:ss]] [AM|PM]; without AM or PM the minutes are needed.
    const QStringView trimmed = QStringView(text).trimmed();
    qsizetype pos = 0;
    int hour = 0, minute = 0, second = 0, count = 0;
    if (!digits(trimmed, pos, 2, hour, count))
        return std::nullopt;
    bool hasMinutes = false;
    if (pos < trimmed.size() && trimmed[pos] == QLatin1Char(':')) {
        ++pos;
        if (!digits(trimmed, pos, 2, minute, count))
            return std::nullopt;
        hasMinutes = true;
        if (pos < trimmed.size() && trimmed[pos] == QLatin1Char(':')) {
            ++pos;
            if (!digits(trimmed, pos, 2, second, count))
                return std::nullopt;
        }
    }
    skipBlanks(trimmed, pos);
    const QStringView half = trimmed.mid(pos);
    if (half.isEmpty()) {
        if (!hasMinutes) // a bare number is not a time
            return std::nullopt;
    } else {
        const bool am = half.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
        const bool pm = half.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || hour > 12)
            return std::nullopt;
        if (hour == 12)
            hour = 0;
        if (pm)
            hour += 12;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> parseMoment(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype gap = trimmed.indexOf(QLatin1Char(' '));
    const auto date = parseDate(gap < 0 ? trimmed : trimmed.left(gap));
    if (!date)
        return std::nullopt;
    if (gap < 0)
        return QDateTime(*date, QTime(0, 0));
    const auto time = parseTime(trimmed.mid(gap + 1));
    if (!time)
        return std::nullopt;
    return QDateTime(*date, *time);
}

QDate dateSerial(qint64 year, qint64 month, qint64 day)
{
    // Far outside the range the arithmetic below could overflow; no such date exists.
    constexpr qint64 kLimit = 100'000'000;
    if (std::abs(year) > kLimit || std::abs(month) > kLimit || std::abs(day) > kLimit)
        return QDate();
    const qint64 monthIndex = year * 12 + (month - 1);
    const qint64 y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const qint64 m = monthIndex - y * 12 + 1;
    if (y < 1 || y > 9999)
        return QDate();
    const QDate date = QDate(int(y), int(m), 1).addDays(day - 1);
    return inRange(date) ? date : QDate();
}

qint64 minutesBetween(const QDateTime &from, const QDateTime &to)
{
    const auto index = [](const QDateTime &t) {
        return t.date().toJulianDay() * 1440 + t.time().hour() * 60 + t.time().minute();
    };
    return index(to) - index(from);
}

qint64 hoursBetween(const QDateTime &from, const QDateTime &to)
{
    const auto index = [](const QDateTime &t) {
        return t.date().toJulianDay() * 24 + t.time().hour();
    };
    return index(to) - index(from);
}

qint64 daysBetween(const QDate &from, const QDate &to)
{
    return to.toJulianDay() - from.toJulianDay();
}

double leadingNumber(const QString &text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    qsizetype end = 0;
    double value = 0;
    return scanNumber(text, pos, end, value) ? value : 0.0;
}

QString numberText(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

qint64 roundHalfEven(double value)
{
    constexpr double kLimit = 9007199254740992.0; // 2^53
    if (std::isnan(value))
        return 0;
    if (value >= kLimit)
        return qint64(kLimit);
    if (value <= -kLimit)
        return -qint64(kLimit);
    return qint64(std::nearbyint(value)); // the default rounding mode rounds a half to even
}

qint64 wholeNumber(const QString &text)
{
    return roundHalfEven(leadingNumber(text));
}

std::optional<double> numericValue(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    double value = 0;
    if (!scanNumber(trimmed, 0, end, value) || end != trimmed.size())
        return std::nullopt;
    return value;
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace TextForms
