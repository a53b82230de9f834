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
        const auto scrambled = ScrambleText(text, QStringLiteral("1"));
        QVERIFY(scrambled);
        QCOMPARE(scrambled->size(), text.size());
        QVERIFY(*scrambled != text);
        QCOMPARE(ScrambleText(*scrambled, QStringLiteral("0")), text);

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
        const QString plain = QStringLiteral("Pay the rent");
        const QString scrambled = *ScrambleText(plain, QStringLiteral("1"));
        for (const QString &mode : {QStringLiteral("0"), QString(), QStringLiteral("1 "),
                                    QStringLiteral(" 1"), QStringLiteral("01")})
            QCOMPARE(ScrambleText(scrambled, mode), plain);
        QCOMPARE(ScrambleText(QString(), QStringLiteral("1")), QString());
        QCOMPARE(ScrambleText(QString(), QStringLiteral("0")), QString());
    }

    void windows1252TextsBeyondAsciiRoundTrip()
    {
        // The euro sign is code 128 and always scrambles; the pound sign (163) only
        // where the key code is small enough: try many positions.
        int worked = 0;
        for (int pos = 0; pos < 200; ++pos) {
            const QString text = QString(pos, QLatin1Char('a')) + QStringLiteral("\u20AC\u00A3");
            if (const auto s = ScrambleText(text, QStringLiteral("1"))) {
                QCOMPARE(ScrambleText(*s, QStringLiteral("0")), text);
                ++worked;
            }
        }
        QVERIFY(worked > 0);
        // The five undefined codes travel as the control characters of their number.
        for (int code : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(Cp1252::code(Cp1252::character(code)), code);
        for (int code = 0; code < 256; ++code)
            QCOMPARE(Cp1252::code(Cp1252::character(code)), code);
    }

    void failuresGiveNoResult()
    {
        // A character Windows-1252 cannot hold.
        QCOMPARE(ScrambleText(QStringLiteral("snow \u2603"), QStringLiteral("1")), std::nullopt);
        QCOMPARE(ScrambleText(QStringLiteral("smile \U0001F600"), QStringLiteral("1")), std::nullopt);
        QCOMPARE(ScrambleText(QStringLiteral("\u0080"), QStringLiteral("1")), std::nullopt);
        // A code pushed past 255: y-diaeresis (255) plus any key code.
        QCOMPARE(ScrambleText(QStringLiteral("\u00FF"), QStringLiteral("1")), std::nullopt);
        // Unscrambling plain text falls below 0 at the first small code.
        QString plain = QStringLiteral("!");
        QVERIFY(scrambleKeyCode(1) > '!');
        QCOMPARE(ScrambleText(plain, QStringLiteral("0")), std::nullopt);
        // Too long for the position counter, even though every character is fine.
        QCOMPARE(ScrambleText(QString(32768, QLatin1Char('a')), QStringLiteral("1")), std::nullopt);
        QVERIFY(ScrambleText(QString(32767, QLatin1Char('a')), QStringLiteral("1")));
    }
};

PINGALO_TEST(TstScrambleText)
#include "tst_scrambletext.moc"
