// The stored text forms of days, times and moments, how
// numbers are read from stored text, and the scrambling of notes and passwords:
// the key pinned by known answers, the modes and the failures. (That what is
// parsed or scrambled comes back unchanged is the fuzz targets'; date-serial
// carrying, used only for the next day of a recurrence, is walked against QDate's
// own arithmetic by the model of a reminder's life.)
#include "TestRegistry.h"
#include "core/store/ScrambleText.h"
#include "core/store/TextForms.h"
#include "core/system/Cp1252.h"

using namespace TextForms;

class TstTextForms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formsAreFixedWhateverTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QDate d(2026, 12, 4);
        // clang-format off
        const QStringList forms = {
            dayKey(d), dayKey(QDate(2027, 1, 31)), timeText(QTime(15, 5)), timeText(QTime(0, 0)),
            timeText(QTime(12, 30, 9)), momentText(QDateTime(d, QTime(15, 5))),
            momentText(QDateTime(d, QTime(0, 0))), momentText(QDateTime(d, QTime(0, 0, 1)))};
        // clang-format on
        QCOMPARE(forms.join(u'|'), u"12/4/2026|1/31/2027|3:05:00 PM|12:00:00 AM|12:30:09 PM|"
                                   "12/4/2026 3:05:00 PM|12/4/2026|12/4/2026 12:00:01 AM"_s);
        QLocale::setDefault(QLocale::c());
        QVERIFY(dayKey(QDate()).isEmpty() && dayKey(QDate(10000, 1, 1)).isEmpty() &&
                momentText(QDateTime(QDate(10000, 1, 1), QTime(9, 0))).isEmpty());
    }

    void parsingTakesWhatPeopleWrite()
    {
        const QDate d(2026, 12, 4);
        const QDateTime none;
        // clang-format off
        const std::pair<const char *, QDateTime> cases[] = {
            {"12/4/2026 3:05:00 PM", QDateTime(d, QTime(15, 5))},
            {"12/4/2026", QDateTime(d, QTime(0, 0))},
            {"12/04/2026 03:05 pm", QDateTime(d, QTime(15, 5))},
            {"12/4/2026 15:05", QDateTime(d, QTime(15, 5))},
            {"12/4/2026 12:00:00 PM", QDateTime(d, QTime(12, 0))},
            {"  12/4/2026   3:05:00PM ", QDateTime(d, QTime(15, 5))},
            {"12/4/26", QDateTime(d, QTime(0, 0))},
            {"1/2/99", QDateTime(QDate(1999, 1, 2), QTime(0, 0))},
            {"2/29/2027", none}, {"12/4/2026 13:00 PM", none}, {"12/4/2026 3:60", none},
            {"2026-12-04 15:05", none}, {"1/1/99999", none}, {"1/1/0099", none},
        };
        // clang-format on
        for (const auto &[text, expected] : cases)
            QVERIFY2(parseMoment(QString::fromLatin1(text)) ==
                         (expected.isValid() ? std::optional(expected) : std::nullopt),
                     text);
    }

    void numbersAreReadByTheirLeadingDigitsOrAsAWhole()
    {
        // clang-format off
        const struct { QString text; double leading; qint64 whole; } cases[] = {
            {u"abc"_s, 0, 0}, {u"  12x"_s, 12, 12}, {u"2.5"_s, 2.5, 2}, {u"3.5"_s, 3.5, 4},
            {u"-2.5"_s, -2.5, -2}, {u".5"_s, 0.5, 0}, {u"1e3"_s, 1000, 1000}, {u"12e"_s, 12, 12},
            {u"1e999"_s, std::numeric_limits<double>::max(), 9007199254740992LL},
            {u"\u0661\u0662"_s, 0, 0}, // Arabic-Indic digits are not read
        };
        // clang-format on
        for (const auto &c : cases) {
            QCOMPARE(leadingNumber(c.text), c.leading);
            QCOMPARE(wholeNumber(c.text), c.whole);
        }
        // The numeric test takes the whole text.
        for (const auto &[text, v] :
             {std::pair{" 10 ", 10.0}, {"-1", -1.0}, {"+2.5", 2.5}, {"1e1", 10.0}, {"3.", 3.0}})
            QCOMPARE(numericValue(QString::fromLatin1(text)), v);
        for (const QString &text : {u"ten"_s, u"10 days"_s, u""_s, u"1e"_s, u"."_s})
            QCOMPARE(numericValue(text), std::nullopt);
        QCOMPARE(roundHalfEven(std::nan("")), 0);
        QCOMPARE(roundHalfEven(-1e300), -qint64(9007199254740992LL));
    }

    void theScrambleKeyNeverChangesAndEveryModeButOneUnscrambles()
    {
        const QString plain = u"Pay the rent"_s;
        const QString scrambled = *ScrambleText(plain, u"1"_s);
        for (const QString &mode : {u"0"_s, QString(), u"1 "_s, u" 1"_s, u"01"_s})
            QCOMPARE(ScrambleText(scrambled, mode), plain);
        // Known answers: every stored note and password depends on the key never changing,
        // up to its last character (975) and from its first again.
        QList<int> codes;
        for (QChar c : scrambled)
            codes << Cp1252::code(c);
        QCOMPARE(codes, QList<int>({133, 142, 227, 66, 229, 146, 218, 156, 170, 159, 206, 202}));
        const QString x976 = *ScrambleText(QString(976, u'x'), u"1"_s);
        QCOMPARE(Cp1252::code(x976.at(974)), 'x' + ']');
        QCOMPARE(Cp1252::code(x976.at(975)), 'x' + '5');
        QCOMPARE(ScrambleText(QString(), u"1"_s), QString());
        QCOMPARE(Cp1252::character(0x80), QChar(0x20AC));

        // Failures give no result. A character Windows-1252 cannot hold, and a code pushed past
        // 255: y-diaeresis (255) plus any key code.
        for (const QString &text :
             {u"snow \u2603"_s, u"smile \U0001F600"_s, u"\u0080"_s, u"\u00FF"_s})
            QVERIFY2(!ScrambleText(text, u"1"_s), qPrintable(text));
        // Unscrambling plain text falls below 0 at the first small code (the key's first is '5').
        QCOMPARE(ScrambleText(u"!"_s, u"0"_s), std::nullopt);
        // Too long for the position counter, even though every character is fine.
        QCOMPARE(ScrambleText(QString(32768, QLatin1Char('a')), u"1"_s), std::nullopt);
        QVERIFY(ScrambleText(QString(32767, QLatin1Char('a')), u"1"_s));
    }
};

PINGALO_TEST(TstTextForms)
#include "tst_textforms.moc"
