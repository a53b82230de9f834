// Which file a sound name plays, and how.
#include "RecordingSoundOutput.h"
#include "TestRegistry.h"
#include "alerts/Sounds.h"
#include "platform/LazySoundOutput.h"
#include "platform/MemorySettingsStore.h"
#include "platform/ProgramFiles.h"
#include "platform/QtSoundOutput.h"
#include "store/ProgramSettings.h"

#include <QProcess>
#include <QSoundEffect>

class TstSounds : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesDecideTheFileAndTheLoop()
    {
        MemorySettingsStore store;
        ProgramSettings settings(store);
        RecordingSoundOutput output;
        const ProgramFiles nowhereElse{QString(), QString()};
        Sounds sounds(settings, output, nowhereElse);

        sounds.PlayReminderSound(u"BEEP"_s); // "Locale" absent: from the root
        settings.setLocale(u"/opt/pingalo"_s);
        sounds.PlayReminderSound(u"VITAL_LOOP"_s);
        sounds.PlayReminderSound(u"No Sound"_s); // leaves the loop playing
        sounds.PlayReminderSound(u"Stop Loop"_s);
        sounds.PlayReminderSound(u"PAGER_1_loop"_s); // lower case: once
        sounds.PlayReminderSound(u"Sounds"_s);       // the placeholder is a file name too
        sounds.PlayReminderSound(u"LOOP"_s);
        QCOMPARE(output.calls,
                 QStringList({u"play /snds/BEEP.wav"_s, u"loop /opt/pingalo/snds/VITAL_LOOP.wav"_s,
                              u"stop"_s, u"play /opt/pingalo/snds/PAGER_1_loop.wav"_s,
                              u"play /opt/pingalo/snds/Sounds.wav"_s,
                              u"loop /opt/pingalo/snds/LOOP.wav"_s}));
        for (const QString &name : Sounds::names()) // each one we offer is there
            QVERIFY2(QFile::exists(QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/") + name +
                                   u".wav"_s),
                     qPrintable(name));
    }

    void theOutputIsMadeOnFirstUseAndRingsForMissingFiles()
    {
        int bells = 0;
        QtSoundOutput output([&] { ++bells; });
        output.stop();
        output.play(u"/nonexistent/snds/BEEP.wav"_s, false);
        QCOMPARE(bells, 1);
        QCOMPARE(output.effect(), nullptr); // nothing made by a stop or a missing file

        const QString loop = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/VITAL_LOOP.wav");
        output.play(loop, true);
        QVERIFY(output.effect());
        QCOMPARE(output.effect()->loopCount(), int(QSoundEffect::Infinite));
        QCOMPARE(output.effect()->source().toLocalFile(), loop);
        const QString once = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/BEEP.wav");
        output.play(once, false); // replaces the loop on the one channel
        QCOMPARE(output.effect()->loopCount(), 1);
        QCOMPARE(output.effect()->source().toLocalFile(), once);
        output.stop();
        QVERIFY(!output.effect()->isPlaying());
    }

    void thePlayerModuleLoadsOnlyWithTheFirstSound()
    {
        int bells = 0;
        LazySoundOutput missing({u"/nonexistent"_s}, [&] { ++bells; });
        missing.stop();
        missing.play(QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/BEEP.wav"), false);
        missing.play(QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/BEEP.wav"), false);
        QCOMPARE(bells, 2); // no module: the bell, every time
        QVERIFY(!missing.isLoaded());

        LazySoundOutput output({u"/nonexistent"_s, QStringLiteral(SOUND_MODULE_DIR)},
                               [&] { ++bells; });
        output.stop();
        QVERIFY(!output.isLoaded());
        output.play(QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/VITAL_LOOP.wav"), true);
        QVERIFY(output.isLoaded());
        output.play(u"/nonexistent/snds/BEEP.wav"_s, false); // the module's own bell
        QCOMPARE(bells, 3);
        output.stop();
    }

    // Qt Multimedia can hang a process that ends while a wave is still being
    // decoded; the player must not let that happen. A hang shows only now and
    // then, hence the repeats.
    void aProcessThatJustPlayedStillEnds()
    {
        const QString snds = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/");
        const QStringList waves{snds + u"VITAL_LOOP.wav"_s, snds + u"BEEP.wav"_s, u"-"_s,
                                snds + u"VITAL_LOOP.wav"_s};
        for (int run = 0; run < 10; ++run) {
            QProcess probe;
            probe.start(QStringLiteral(SOUND_EXIT_PROBE), waves);
            const bool ended = probe.waitForFinished(10000);
            if (!ended)
                probe.kill();
            QVERIFY2(ended, qPrintable(u"run %1 did not end"_s.arg(run)));
            QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
            QCOMPARE(probe.exitCode(), 0);
        }
    }
};

PINGALO_TEST(TstSounds)
#include "tst_sounds.moc"
