// Scrambling of notes and passwords: round trips, the key's repetition and
// the failures.
#include "TestRegistry.h"
#include "platform/Cp1252.h"
#include "store/ScrambleText.h"

#include <QTest>

class TstScrambleText : public QObject {
    Q_OBJECT

    static QString printable(int length)
    {
        QString text;
        for (int i = 0; i < length; ++i)
            text.append(QChar(char16_t(32 + (i * 37) % 95)));
        return text;
    }

private Q_SLOTS:
    void longTextsComeBackAndTheKeyRepeats()
    {
        const QString text = printable(2000);
        const auto scrambled = ScrambleText(text, u"1"_s);
        QVERIFY(scrambled);
        QCOMPARE(scrambled->size(), text.size());
        QVERIFY(*scrambled != text);
        QCOMPARE(ScrambleText(*scrambled, u"0"_s), text);

        // Characters 976 to 1,950 use the key from its first character again.
        for (int i = 0; i < 975; ++i) {
            const int plainA = Cp1252::code(text[i]), plainB = Cp1252::code(text[i + 975]);
            QCOMPARE(Cp1252::code(scrambled->at(i)) - plainA,
                     Cp1252::code(scrambled->at(i + 975)) - plainB);
        }
        // Printable text with a printable key stays within 65..252.
        for (QChar c : *scrambled)
            QVERIFY(Cp1252::code(c) >= 65 && Cp1252::code(c) <= 252);
        for (int p = 1; p <= kScrambleKeyLength; ++p)
            QVERIFY(scrambleKeyCode(p) >= 33 && scrambleKeyCode(p) <= 126);
    }

    void everyModeButExactlyOneUnscrambles()
    {
        const QString plain = u"Pay the rent"_s;
        const QString scrambled = *ScrambleText(plain, u"1"_s);
        for (const QString &mode : {u"0"_s, QString(), u"1 "_s, u" 1"_s, u"01"_s})
            QCOMPARE(ScrambleText(scrambled, mode), plain);
        // Known answers: every stored note and password depends on the key never changing.
        QList<int> codes;
        for (QChar c : scrambled)
            codes << Cp1252::code(c);
        QCOMPARE(codes, QList<int>({133, 142, 227, 66, 229, 146, 218, 156, 170, 159, 206, 202}));
        QCOMPARE(Cp1252::code(ScrambleText(QString(976, u'x'), u"1"_s)->at(975)), 'x' + '5');
        QCOMPARE(ScrambleText(QString(), u"1"_s), QString());
        QCOMPARE(ScrambleText(QString(), u"0"_s), QString());
    }

    void windows1252TextsBeyondAsciiRoundTrip()
    {
        // The euro sign is code 128 and always scrambles; the pound sign (163) only
        // where the key code is small enough: try many positions.
        int worked = 0;
        for (int pos = 0; pos < 200; ++pos) {
            const QString text = QString(pos, QLatin1Char('a')) + u"\u20AC\u00A3"_s;
            if (const auto s = ScrambleText(text, u"1"_s)) {
                QCOMPARE(ScrambleText(*s, u"0"_s), text);
                ++worked;
            }
        }
        QVERIFY(worked > 0);
        // Every code comes back, the five undefined ones (0x81, 0x8D, ...) included.
        for (int code = 0; code < 256; ++code)
            QCOMPARE(Cp1252::code(Cp1252::character(code)), code);
    }

    void failuresGiveNoResult()
    {
        // A character Windows-1252 cannot hold.
        QCOMPARE(ScrambleText(u"snow \u2603"_s, u"1"_s), std::nullopt);
        QCOMPARE(ScrambleText(u"smile \U0001F600"_s, u"1"_s), std::nullopt);
        QCOMPARE(ScrambleText(u"\u0080"_s, u"1"_s), std::nullopt);
        // A code pushed past 255: y-diaeresis (255) plus any key code.
        QCOMPARE(ScrambleText(u"\u00FF"_s, u"1"_s), std::nullopt);
        // Unscrambling plain text falls below 0 at the first small code.
        QString plain = u"!"_s;
        QVERIFY(scrambleKeyCode(1) > '!');
        QCOMPARE(ScrambleText(plain, u"0"_s), std::nullopt);
        // Too long for the position counter, even though every character is fine.
        QCOMPARE(ScrambleText(QString(32768, QLatin1Char('a')), u"1"_s), std::nullopt);
        QVERIFY(ScrambleText(QString(32767, QLatin1Char('a')), u"1"_s));
    }
};

PINGALO_TEST(TstScrambleText)
#include "tst_scrambletext.moc"
