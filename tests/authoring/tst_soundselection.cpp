// The sound check box, the locked sound box and the preview button.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "authoring/SoundBox.h"
#include "authoring/SoundSelection.h"

namespace {

// Chooses a sound as the user does: the list drops down, an item is chosen.
void choose(NoteMaker *w, const QString &name)
{
    w->soundSelection().Combo1_DropDown();
    w->Combo1->setCurrentIndex(w->Combo1->findText(name));
    Q_EMIT w->Combo1->chosen(w->Combo1->currentIndex());
}

const QString kSnds = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/");
const QString kLoop = kSnds + u"PAGER_1_LOOP.wav"_s;

} // namespace

class TstSoundSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFourStates()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->Check1->setChecked(true); // on, nothing chosen
        QVERIFY(w->Combo1->isEnabled() && w->Combo1->isLocked());
        QVERIFY(w->Combo1->lineEdit()->isReadOnly() && !w->SndPreviewBttn->isEnabled());
        // Locked: neither keys nor the wheel change the choice.
        w->Combo1->setFocus();
        QTest::keyClick(w->Combo1, Qt::Key_Down);
        QTest::keyClicks(w->Combo1->lineEdit(), u"xyz"_s);
        QCOMPARE(w->Combo1->currentText(), u"Sounds"_s);

        choose(w, u"SIREN"_s); // on, a sound chosen
        QVERIFY(w->SndPreviewBttn->isEnabled() && w->Combo1->isLocked());
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls, QStringList({u"play "_s + kSnds + u"SIREN.wav"_s}));
        QCOMPARE(w->SndPreviewBttn->text(), u"&Preview"_s); // once: no "&Stop"

        choose(w, u"PAGER_1_LOOP"_s); // looping preview
        w->SndPreviewBttn->click();
        QCOMPARE(w->SndPreviewBttn->text(), u"&Stop"_s);
        QCOMPARE(f.output.calls.last(), u"loop "_s + kLoop);
        // Another sound chosen meanwhile: the next click stops, it does not play.
        choose(w, u"BEEP"_s);
        QCOMPARE(w->SndPreviewBttn->text(), u"&Stop"_s);
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls.last(), u"stop"_s);
        QCOMPARE(w->SndPreviewBttn->text(), u"&Preview"_s);
    }

    void noSoundAndResetLeaveALoopPlaying()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->Check1->setChecked(true);
        choose(w, u"PAGER_1_LOOP"_s);
        w->SndPreviewBttn->click();
        f.output.calls.clear();
        choose(w, u"No Sound"_s);
        QCOMPARE(w->Combo1->currentText(), u"Sounds"_s);
        QVERIFY(!w->Check1->isChecked() && !w->Combo1->isEnabled() &&
                !w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), u"&Stop"_s); // caption kept, loop goes on
        QVERIFY(f.output.calls.isEmpty());

        // Checked again, a sound chosen, the button clicked: the loop stops.
        w->Check1->setChecked(true);
        choose(w, u"BEEP"_s);
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls, QStringList({u"stop"_s}));

        // A reset clears the box the same way, and leaves a playing loop alone.
        choose(w, u"VITAL_LOOP"_s);
        w->SndPreviewBttn->click();
        f.output.calls.clear();
        w->ResetBttn->click();
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), u"&Stop"_s);
        QVERIFY(f.output.calls.isEmpty());
        // Closing the note maker stops whatever plays.
        w->close();
        QCOMPARE(f.output.calls, QStringList({u"stop"_s}));
    }

    // The sound stored is the text of the box, chosen or typed (chosen: the e2e test). An
    // item's name typed is not a choice, not even when the focus leaves the box.
    void aListDroppedAndLeftUnlocksTheBox()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->Check1->setChecked(true);
        w->soundSelection().Combo1_DropDown(); // and closed without a choice
        QVERIFY(!w->Combo1->isLocked());
        w->Combo1->setFocus();
        w->Combo1->lineEdit()->selectAll();
        QTest::keyClicks(w->Combo1->lineEdit(), u"No Sound"_s);
        w->NoteEdit->setFocus();
        QVERIFY(w->Check1->isChecked());
        w->NoteEdit->setPlainText(u"Typed sound"_s);
        w->DTPicker2->setTime(QTime(11, 0));
        MessageRecorder messages;
        w->PingaloBttn->click();
        QCOMPARE(f.stored(u"12/4/2026"_s),
                 QStringList({u"Typed sound|No Sound|One-Time Reminder|11:00:00 AM"_s}));

        // Clearing a box that is already clear changes nothing.
        w->Check1->setChecked(false);
        w->Combo1->setEditText(u"left alone"_s);
        w->Check1->setChecked(false);
        QCOMPARE(w->Combo1->currentText(), u"left alone"_s);
    }
};

PINGALO_TEST(TstSoundSelection)
#include "tst_soundselection.moc"
