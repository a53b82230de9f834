// Scrambling of notes and passwords: the key pinned by known answers, the
// modes and the failures. (Round trips of any text: the fuzz target's.)
#include "TestRegistry.h"
#include "platform/Cp1252.h"
#include "store/ScrambleText.h"

class TstScrambleText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theKeyNeverChangesAndEveryModeButOneUnscrambles()
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
        // Every code comes back, the five undefined ones (0x81, 0x8D, ...) included.
        for (int code = 0; code < 256; ++code)
            QCOMPARE(Cp1252::code(Cp1252::character(code)), code);
        QCOMPARE(Cp1252::character(0x80), QChar(0x20AC));
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
        QVERIFY(scrambleKeyCode(1) > '!');
        QCOMPARE(ScrambleText(u"!"_s, u"0"_s), std::nullopt);
        // Too long for the position counter, even though every character is fine.
        QCOMPARE(ScrambleText(QString(32768, QLatin1Char('a')), u"1"_s), std::nullopt);
        QVERIFY(ScrambleText(QString(32767, QLatin1Char('a')), u"1"_s));
    }
};

PINGALO_TEST(TstScrambleText)
#include "tst_scrambletext.moc"
