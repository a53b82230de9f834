// Which file a sound name plays and how, and the reminder window's Snooze: it
// does what OK does and brings the reminder up again later.
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "gui/platform/LazySoundOutput.h"
#include "sound/QtSoundOutput.h"

#include <QSoundEffect>

const QString kSnds = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/");

class TstSounds : public QObject {
    Q_OBJECT

    MemorySettingsStore m_store;
    ProgramSettings m_settings{m_store};
    RecordingSoundOutput m_output;
    const ProgramFiles m_nowhereElse{QString(), QString()};
    Sounds m_sounds{m_settings, m_output, m_nowhereElse};

private Q_SLOTS:
    void namesDecideTheFileAndTheLoop()
    {
        m_sounds.PlayReminderSound(u"BEEP"_s); // "Locale" absent: from the root
        m_settings.setLocale(u"/opt/pingalo"_s);
        // "No Sound" leaves the loop playing; lower case plays once; the placeholder
        // "Sounds" is a file name too.
        for (const QString &name : {u"VITAL_LOOP"_s, u"No Sound"_s, u"Stop Loop"_s,
                                    u"PAGER_1_loop"_s, u"Sounds"_s, u"LOOP"_s})
            m_sounds.PlayReminderSound(name);
        QCOMPARE(m_output.calls.join(u'|').replace(u"/opt/pingalo/snds/"_s, u"~"_s),
                 u"play /snds/BEEP.wav|loop ~VITAL_LOOP.wav|stop|play ~PAGER_1_loop.wav|"
                 "play ~Sounds.wav|loop ~LOOP.wav"_s);
        for (const QString &name : Sounds::names()) // each one we offer is there
            QVERIFY2(QFile::exists(kSnds + name + u".wav"_s), qPrintable(name));
    }

    // Snooze on the real window, the scheduler's ticks driven by the test clock: OK, then a
    // one-time copy at the chosen minute; a refused copy keeps the window up; Enter (even on
    // Snooze) is OK; a row viewed from the list has OK alone.
    void snoozeDoesWhatOkDoesThenBringsTheReminderUpAgain()
    {
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        f.add(u"10:06:00 AM"_s, u"call Ann"_s, u"PAGER_1_LOOP"_s);
        f.add(u"10:06:00 AM"_s, u"water"_s, u"BEEP"_s, u"Daily Reminder"_s);
        f.program.setSnooze(u"2 hourz"_s); // damaged: the default is offered
        // Each window: when it came, its note and what Snooze offers; then the next of
        // `acts`, else OK.
        QStringList seen;
        QList<std::function<void(Reminders *)>> acts;
        std::function<void()> answer = [&] {
            whenModal<Reminders>(
                [&](Reminders *w) {
                    seen << Clock::now().toString(u"h:mm "_s) +
                                w->ReminderText->toPlainText().section(u"Note: "_s, 1) + u": "_s +
                                (w->SnoozeBttn->isVisible() ? w->SnoozeTime->currentText()
                                                            : u"OK alone"_s);
                    acts.isEmpty() ? w->Reminded->click() : acts.takeFirst()(w);
                    answer();
                },
                &f.form); // the wait ends with the test
        };
        answer();
        MessageRecorder messages;
        acts << [&](Reminders *w) {
            f.store.failWritesAfter(0);
            w->SnoozeBttn->click();
            f.store.failWritesAfter(-1);
            seen << (w->isVisible() ? messages.texts().join(u' ') : u"gone"_s); // said, still up
            w->SnoozeBttn->click(); // 10 minutes, the default
        } << [](Reminders *w) {
            w->SnoozeTime->setCurrentText(u"2 hours"_s);
            w->SnoozeBttn->click();
        } << [](Reminders *w) { QTest::keyClick(w->SnoozeBttn, Qt::Key_Return); };
        const QDateTime first(Clock::today(), QTime(10, 6, 10));
        for (int tick = 0; tick <= 11; ++tick) { // 10:06 to 10:17
            f.clock.set(first.addMSecs(tick * Scheduler::kTickMs));
            f.form.scheduler().Timer1_Timer();
        }
        f.form.ListEditItem->trigger();
        f.form.editor()->RList->setCurrentIndex(f.form.editor()->RList->model()->index(0, 0));
        f.form.editor()->ViewBttn->click();

        QCOMPARE(seen, QStringList({u"10:06 call Ann: 10 minutes"_s, Reminders::kSnoozeNotStored,
                                    u"10:06 water: 10 minutes"_s, u"10:16 call Ann: 2 hours"_s,
                                    u"10:17 water: OK alone"_s}));
        QStringList live;
        for (const LiveReminder &r : f.reminders.allLiveReminders().value_or(QList<LiveReminder>()))
            live << r.day + u' ' + r.record.time + u' ' + r.record.recurrence + u' ' +
                        r.record.shownNote();
        QCOMPARE(live, QStringList({u"12/4/2026 12:06:00 PM One-Time Reminder water"_s,
                                    u"12/5/2026 10:06:00 AM Daily Reminder water"_s}));
        QCOMPARE(f.sound.calls.join(u' ').remove(QRegularExpression(u"\\S*/"_s)),
                 u"loop PAGER_1_LOOP.wav stop play BEEP.wav stop loop PAGER_1_LOOP.wav stop "
                 "play BEEP.wav stop"_s);
    }

    void outputsAreMadeOnFirstUseAndRingForMissingFiles()
    {
        int bells = 0;
        QtSoundOutput output([&] { ++bells; });
        output.stop();
        output.play(u"/nonexistent/snds/BEEP.wav"_s, false);
        QCOMPARE(bells, 1);
        QCOMPARE(output.effect(), nullptr); // nothing made by a stop or a missing file

        const QString once = kSnds + u"BEEP.wav"_s;
        output.play(once, false);
        // A decoded wave's effect plays the next sound; only one still decoding is set aside.
        QSoundEffect *decoded = output.effect();
        QTRY_VERIFY(decoded->status() != QSoundEffect::Loading);
        output.play(once, false);
        QCOMPARE(output.effect(), decoded);
        output.stop();

        // The player module loads only with the first sound.
        LazySoundOutput missing({u"/nonexistent"_s}, [&] { ++bells; });
        missing.stop();
        missing.play(once, false);
        missing.play(once, false);
        QCOMPARE(bells, 3); // no module: the bell, every time
        QVERIFY(!missing.isLoaded());

        LazySoundOutput lazy({u"/nonexistent"_s, QStringLiteral(SOUND_MODULE_DIR)},
                             [&] { ++bells; });
        lazy.stop();
        QVERIFY(!lazy.isLoaded());
        lazy.play(kSnds + u"VITAL_LOOP.wav"_s, true);
        QVERIFY(lazy.isLoaded());
        lazy.play(u"/nonexistent/snds/BEEP.wav"_s, false); // the module's own bell
        QCOMPARE(bells, 4);
        lazy.stop();
    }

    // Qt Multimedia can hang a process that ends while a wave is still being
    // decoded; the player must not let that happen. A hang shows only now and
    // then, hence the repeats.
    void aProcessThatJustPlayedStillEnds()
    {
        const QString loop = kSnds + u"VITAL_LOOP.wav"_s;
        const QStringList waves{loop, kSnds + u"BEEP.wav"_s, u"-"_s, loop};
        for (int run = 0; run < 10; ++run) {
            QProcess probe;
            probe.start(QStringLiteral(SOUND_EXIT_PROBE), waves);
            // One that hangs is killed as the QProcess goes.
            QVERIFY2(probe.waitForFinished(10000), qPrintable(u"run %1 did not end"_s.arg(run)));
            QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
            QCOMPARE(probe.exitCode(), 0);
        }
    }
};

PINGALO_TEST(TstSounds)
#include "tst_sounds.moc"
