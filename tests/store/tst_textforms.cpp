// The stored text forms of days, times and moments, date-serial carrying,
// and how numbers are read from stored text.
#include "TestRegistry.h"
#include "store/TextForms.h"

#include <QTest>

using namespace TextForms;

class TstTextForms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formsAreFixedWhateverTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(dayKey(QDate(2026, 12, 4)), u"12/4/2026"_s);
        QCOMPARE(dayKey(QDate(2027, 1, 31)), u"1/31/2027"_s);
        QCOMPARE(timeText(QTime(15, 5)), u"3:05:00 PM"_s);
        QCOMPARE(timeText(QTime(0, 0)), u"12:00:00 AM"_s);
        QCOMPARE(timeText(QTime(12, 30, 9)), u"12:30:09 PM"_s);
        QCOMPARE(momentText(QDateTime(QDate(2026, 12, 4), QTime(15, 5))),
                 u"12/4/2026 3:05:00 PM"_s);
        QCOMPARE(momentText(QDateTime(QDate(2026, 12, 4), QTime(0, 0))), u"12/4/2026"_s);
        QCOMPARE(momentText(QDateTime(QDate(2026, 12, 4), QTime(0, 0, 1))),
                 u"12/4/2026 12:00:01 AM"_s);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(dayKey(QDate()), QString());
        QCOMPARE(dayKey(QDate(10000, 1, 1)), QString());
    }

    void parsingTakesWhatPeopleWrite_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: no result
        const QDate d(2026, 12, 4);
        QTest::newRow("stored moment") << "12/4/2026 3:05:00 PM" << QDateTime(d, QTime(15, 5));
        QTest::newRow("date alone") << "12/4/2026" << QDateTime(d, QTime(0, 0));
        QTest::newRow("leading zeros") << "12/04/2026 03:05 pm" << QDateTime(d, QTime(15, 5));
        QTest::newRow("24-hour") << "12/4/2026 15:05" << QDateTime(d, QTime(15, 5));
        QTest::newRow("midnight") << "12/4/2026 12:00:00 AM" << QDateTime(d, QTime(0, 0));
        QTest::newRow("noon") << "12/4/2026 12:00:00 PM" << QDateTime(d, QTime(12, 0));
        QTest::newRow("blanks") << "  12/4/2026   3:05:00PM " << QDateTime(d, QTime(15, 5));
        QTest::newRow("two-digit year") << "12/4/26" << QDateTime(d, QTime(0, 0));
        QTest::newRow("1999") << "1/2/99" << QDateTime(QDate(1999, 1, 2), QTime(0, 0));
        QTest::newRow("31 February") << "2/31/2026" << QDateTime();
        QTest::newRow("29 February 2027") << "2/29/2027" << QDateTime();
        QTest::newRow("month 13") << "13/1/2026" << QDateTime();
        QTest::newRow("13 PM") << "12/4/2026 13:00 PM" << QDateTime();
        QTest::newRow("minute 60") << "12/4/2026 3:60" << QDateTime();
        QTest::newRow("bare hour") << "12/4/2026 3" << QDateTime();
        QTest::newRow("day first") << "2026-12-04 15:05" << QDateTime();
        QTest::newRow("backslash") << "12\\4\\2026" << QDateTime();
        QTest::newRow("words") << "tomorrow" << QDateTime();
        QTest::newRow("empty") << "" << QDateTime();
        QTest::newRow("year 99999") << "1/1/99999" << QDateTime();
        QTest::newRow("year 0099") << "1/1/0099" << QDateTime();
    }

    void parsingTakesWhatPeopleWrite()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const auto parsed = parseMoment(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed)
            QCOMPARE(*parsed, expected);
    }

    void timesAndDaysRoundTrip()
    {
        for (int minute = 0; minute < 24 * 60; minute += 7) {
            const QTime t(minute / 60, minute % 60);
            QCOMPARE(parseTime(timeText(t)), t);
        }
        for (QDate d(2024, 1, 1); d.year() < 2026; d = d.addDays(3))
            QCOMPARE(parseDate(dayKey(d)), d);
        QCOMPARE(parseTime(u"not a time"_s), std::nullopt);
        QCOMPARE(parseTime(u"25:00"_s), std::nullopt);
    }

    void dateSerialCarries_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("d");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("31 Jan + 1 month") << 2026 << 2 << 31 << QDate(2026, 3, 3);
        QTest::newRow("31 Jan + 1 month, leap") << 2028 << 2 << 31 << QDate(2028, 3, 2);
        QTest::newRow("29 Feb + 1 year") << 2029 << 2 << 29 << QDate(2029, 3, 1);
        QTest::newRow("31 Dec + 1 day") << 2026 << 12 << 32 << QDate(2027, 1, 1);
        QTest::newRow("month 13") << 2026 << 13 << 5 << QDate(2027, 1, 5);
        QTest::newRow("month 0") << 2026 << 0 << 5 << QDate(2025, 12, 5);
        QTest::newRow("month -11") << 2026 << -11 << 1 << QDate(2025, 1, 1);
        QTest::newRow("month -12") << 2026 << -12 << 1 << QDate(2024, 12, 1);
        QTest::newRow("day 0") << 2026 << 3 << 0 << QDate(2026, 2, 28);
        QTest::newRow("day -30 into January") << 2026 << 3 << -30 << QDate(2026, 1, 29);
        QTest::newRow("14 days back over the year") << 2027 << 1 << (3 - 14) << QDate(2026, 12, 20);
        QTest::newRow("day 400") << 2026 << 1 << 400 << QDate(2027, 2, 4);
        QTest::newRow("past the last date") << 9999 << 12 << 32 << QDate();
        QTest::newRow("before the first date") << 100 << 1 << 0 << QDate();
        QTest::newRow("absurd") << 2026 << 1 << 2000000000 << QDate();
    }

    void dateSerialCarries()
    {
        QFETCH(int, y);
        QFETCH(int, m);
        QFETCH(int, d);
        QFETCH(QDate, expected);
        QCOMPARE(dateSerial(y, m, d), expected);
    }

    void differencesCountBoundariesNotDurations()
    {
        const QDate day(2026, 12, 4);
        const QDateTime at1000(day, QTime(10, 0));
        QCOMPARE(minutesBetween(QDateTime(day, QTime(10, 0, 0, 400)), at1000), 0);
        QCOMPARE(minutesBetween(QDateTime(day, QTime(10, 0, 59, 900)), at1000), 0);
        QCOMPARE(minutesBetween(QDateTime(day, QTime(9, 59, 59, 999)), at1000), 1);
        QCOMPARE(minutesBetween(QDateTime(day, QTime(10, 15, 59)), QDateTime(day, QTime(10, 16))),
                 1);
        QCOMPARE(minutesBetween(QDateTime(day, QTime(10, 15, 30)), QDateTime(day, QTime(10, 15))),
                 0);
        QCOMPARE(minutesBetween(QDateTime(day, QTime(23, 59, 59)),
                                QDateTime(day.addDays(1), QTime(0, 0))),
                 1);
        QCOMPARE(hoursBetween(QDateTime(day, QTime(10, 5)), QDateTime(day, QTime(10, 59))), 0);
        QCOMPARE(hoursBetween(QDateTime(day, QTime(10, 5)), QDateTime(day, QTime(9, 59))), -1);
        QCOMPARE(hoursBetween(QDateTime(day, QTime(10, 59)), QDateTime(day, QTime(11, 0))), 1);
        QCOMPARE(daysBetween(day, QDate(2027, 1, 1)), 28);
        QCOMPARE(daysBetween(day, day.addDays(-3)), -3);
    }

    void numbersAreReadByTheirLeadingDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("leading");
        QTest::addColumn<qint64>("whole");
        QTest::newRow("plain") << "14" << 14.0 << qint64(14);
        QTest::newRow("absent") << "" << 0.0 << qint64(0);
        QTest::newRow("letters") << "abc" << 0.0 << qint64(0);
        QTest::newRow("7 days") << "7 days" << 7.0 << qint64(7);
        QTest::newRow("negative") << "-5" << -5.0 << qint64(-5);
        QTest::newRow("blanks first") << "  12x" << 12.0 << qint64(12);
        QTest::newRow("half down to even") << "2.5" << 2.5 << qint64(2);
        QTest::newRow("half up to even") << "3.5" << 3.5 << qint64(4);
        QTest::newRow("minus half") << "-2.5" << -2.5 << qint64(-2);
        QTest::newRow("fraction only") << ".5" << 0.5 << qint64(0);
        QTest::newRow("exponent") << "1e3" << 1000.0 << qint64(1000);
        QTest::newRow("dangling exponent") << "12e" << 12.0 << qint64(12);
        QTest::newRow("two billion") << "2000000000" << 2e9 << qint64(2000000000);
        QTest::newRow("beyond double")
            << "1e999" << std::numeric_limits<double>::max() << qint64(9007199254740992LL);
        QTest::newRow("arabic digits") << u"\u0661\u0662"_s << 0.0 << qint64(0);
    }

    void numbersAreReadByTheirLeadingDigits()
    {
        QFETCH(QString, text);
        QFETCH(double, leading);
        QFETCH(qint64, whole);
        QCOMPARE(leadingNumber(text), leading);
        QCOMPARE(wholeNumber(text), whole);
    }

    void theNumericTestTakesTheWholeText()
    {
        QCOMPARE(numericValue(u" 10 "_s), 10.0);
        QCOMPARE(numericValue(u"-1"_s), -1.0);
        QCOMPARE(numericValue(u"+2.5"_s), 2.5);
        QCOMPARE(numericValue(u"1e1"_s), 10.0);
        QCOMPARE(numericValue(u"3."_s), 3.0);
        QCOMPARE(numericValue(u"ten"_s), std::nullopt);
        QCOMPARE(numericValue(u"10 days"_s), std::nullopt);
        QCOMPARE(numericValue(u""_s), std::nullopt);
        QCOMPARE(numericValue(u"1e"_s), std::nullopt);
        QCOMPARE(numericValue(u"."_s), std::nullopt);
        QCOMPARE(roundHalfEven(std::nan("")), 0);
        QCOMPARE(roundHalfEven(-1e300), -qint64(9007199254740992LL));
    }
};

PINGALO_TEST(TstTextForms)
#include "tst_textforms.moc"
