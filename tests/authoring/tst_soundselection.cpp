// The sound check box, the locked sound box and the preview button.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"

#include "authoring/SoundBox.h"
#include "authoring/SoundSelection.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

namespace {

// Chooses a sound as the user does: the list drops down, an item is chosen.
void choose(NoteMaker *w, const QString &name)
{
    w->soundSelection().Combo1_DropDown();
    w->Combo1->setCurrentIndex(w->Combo1->findText(name));
    Q_EMIT w->Combo1->activated(w->Combo1->currentIndex());
}

const QString kLoop = QStringLiteral("/snds/PAGER_1_LOOP.wav");

} // namespace

class TstSoundSelection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFourStates()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->Check1->setChecked(true); // on, nothing chosen
        QVERIFY(w->Combo1->isEnabled());
        QVERIFY(w->Combo1->isLocked());
        QVERIFY(w->Combo1->lineEdit()->isReadOnly());
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        // Locked: neither keys nor the wheel change the choice.
        w->Combo1->setFocus();
        QTest::keyClick(w->Combo1, Qt::Key_Down);
        QTest::keyClicks(w->Combo1->lineEdit(), QStringLiteral("xyz"));
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Sounds"));

        choose(w, QStringLiteral("SIREN")); // on, a sound chosen
        QVERIFY(w->SndPreviewBttn->isEnabled());
        QVERIFY(w->Combo1->isLocked());
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls, QStringList({QStringLiteral("play /snds/SIREN.wav")}));
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Preview")); // once: no "&Stop"

        choose(w, QStringLiteral("PAGER_1_LOOP")); // looping preview
        w->SndPreviewBttn->click();
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Stop"));
        QCOMPARE(f.output.calls.last(), QStringLiteral("loop ") + kLoop);
        // Another sound chosen meanwhile: the next click stops, it does not play.
        choose(w, QStringLiteral("BEEP"));
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Stop"));
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls.last(), QStringLiteral("stop"));
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Preview"));

        // The stored sound is what the box shows.
        w->NoteEdit->setPlainText(QStringLiteral("Tea"));
        w->DTPicker2->setTime(QTime(11, 0));
        MessageRecorder messages;
        w->PingaloBttn->click();
        QCOMPARE(f.stored(QStringLiteral("12/4/2026")),
                 QStringList({QStringLiteral("Tea|BEEP|One-Time Reminder|11:00:00 AM")}));
    }

    void noSoundAndResetLeaveALoopPlaying()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->Check1->setChecked(true);
        choose(w, QStringLiteral("PAGER_1_LOOP"));
        w->SndPreviewBttn->click();
        f.output.calls.clear();
        choose(w, QStringLiteral("No Sound"));
        QVERIFY(!w->Check1->isChecked());
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Sounds"));
        QVERIFY(!w->Combo1->isEnabled());
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Stop")); // caption kept, loop goes on
        QVERIFY(f.output.calls.isEmpty());

        // Checked again, a sound chosen, the button clicked: the loop stops.
        w->Check1->setChecked(true);
        choose(w, QStringLiteral("BEEP"));
        w->SndPreviewBttn->click();
        QCOMPARE(f.output.calls, QStringList({QStringLiteral("stop")}));

        // A reset clears the box the same way, and leaves a playing loop alone.
        choose(w, QStringLiteral("VITAL_LOOP"));
        w->SndPreviewBttn->click();
        f.output.calls.clear();
        w->ResetBttn->click();
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Stop"));
        QVERIFY(f.output.calls.isEmpty());
        // Closing the note maker stops whatever plays.
        w->close();
        QCOMPARE(f.output.calls, QStringList({QStringLiteral("stop")}));
    }

    void aListDroppedAndLeftUnlocksTheBox()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->Check1->setChecked(true);
        w->soundSelection().Combo1_DropDown(); // and closed without a choice
        QVERIFY(!w->Combo1->isLocked());
        w->Combo1->lineEdit()->selectAll();
        QTest::keyClicks(w->Combo1->lineEdit(), QStringLiteral("MY_SOUND"));
        w->NoteEdit->setPlainText(QStringLiteral("Typed sound"));
        w->DTPicker2->setTime(QTime(11, 0));
        MessageRecorder messages;
        w->PingaloBttn->click();
        QCOMPARE(f.stored(QStringLiteral("12/4/2026")),
                 QStringList({QStringLiteral("Typed sound|MY_SOUND|One-Time Reminder|11:00:00 AM")}));

        // Clearing a box that is already clear changes nothing.
        w->Check1->setChecked(false);
        w->Combo1->setEditText(QStringLiteral("left alone"));
        w->Check1->setChecked(false);
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("left alone"));
    }
};

PINGALO_TEST(TstSoundSelection)
#include "tst_soundselection.moc"
