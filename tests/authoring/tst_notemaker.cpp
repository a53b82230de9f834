// Creating a reminder in the note maker: the checks and their answers, the
// minute boundaries, the bill road, and the scheduler kept off throughout.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"

#include "authoring/SoundBox.h"
#include "scheduler/Recurrence.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

namespace {
const QString kToday = QStringLiteral("12/4/2026");
} // namespace

class TstNoteMaker : public QObject {
    Q_OBJECT

    // Presses the create button and gives what it said (nothing when it stored).
    static MessageRecorder::Message press(NoteMakerFixture &f, bool *timerOffWhileAsking = nullptr)
    {
        MessageRecorder messages;
        bool off = true;
        messages.onMessage = [&](QMessageBox *) { off = off && !f.timer.isActive(); };
        f.window->PingaloBttn->click();
        if (timerOffWhileAsking)
            *timerOffWhileAsking = off;
        return messages.messages.value(0, MessageRecorder::Message{});
    }

private Q_SLOTS:
    void theWindowAsLoaded()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        QCOMPARE(w->windowTitle(), QStringLiteral("Pingalo! Vantor - Note Maker"));
        QCOMPARE(w->centralWidget()->size(), QSize(425, 249));
        QCOMPARE(w->DTPicker1->date(), QDate(2026, 12, 4));
        QCOMPARE(w->DTPicker2->time(), QTime(0, 0));
        QCOMPARE(w->Combo2->currentText(), QStringLiteral("One-Time Reminder"));
        QCOMPARE(w->Combo2->count(), 6);
        QVERIFY(!w->Check1->isChecked());
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Sounds"));
        QVERIFY(!w->Combo1->isEnabled());
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), QStringLiteral("&Preview"));
        QCOMPARE(w->Status->text(), QStringLiteral("Reminder Status"));
        QCOMPARE(w->Combo1->itemText(w->Combo1->count() - 1), QStringLiteral("No Sound"));
        // The tab order of the controls (inner parts of a control left out).
        const QList<QWidget *> expected = {w->DTPicker1, w->DTPicker2, w->Combo2, w->Check1,
                                           w->Combo1, w->SndPreviewBttn, w->NoteEdit, w->PingaloBttn,
                                           w->ResetBttn, w->Status};
        QList<QWidget *> order;
        for (QWidget *next = w->DTPicker1; order.size() < expected.size(); next = next->nextInFocusChain())
            if (expected.contains(next) && !order.contains(next))
                order << next;
        QCOMPARE(order, expected);
        // Each control where it belongs, and nothing cut off.
        QCOMPARE(w->Combo1->pos(), QPoint(16, 184));
        QCOMPARE(w->PingaloBttn->geometry(), QRect(240, 184, 89, 33));
        QCOMPARE(w->NoteEdit->geometry(), QRect(8, 24, 185, 137));
        for (QWidget *control : {static_cast<QWidget *>(w->DTPicker1), static_cast<QWidget *>(w->DTPicker2),
                                 static_cast<QWidget *>(w->Combo2), static_cast<QWidget *>(w->Check1),
                                 static_cast<QWidget *>(w->SndPreviewBttn), static_cast<QWidget *>(w->PingaloBttn),
                                 static_cast<QWidget *>(w->ResetBttn), static_cast<QWidget *>(w->Status)}) {
            QVERIFY2(control->sizeHint().width() <= control->width() &&
                         control->sizeHint().height() <= control->height(),
                     qPrintable(control->objectName()));
            const QRect inParent = control->geometry();
            QVERIFY2(control->parentWidget()->rect().contains(inParent), qPrintable(control->objectName()));
            // ... and clear of every other control beside it.
            for (QWidget *other : control->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != control && other->isVisibleTo(w) && !qobject_cast<QGroupBox *>(other))
                    QVERIFY2(!other->geometry().intersects(inParent),
                             qPrintable(control->objectName() + QStringLiteral(" meets ") + other->objectName()));
        }
    }

    void theChecksInTheirOrder()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        // As loaded: the day at midnight has passed.
        w->NoteEdit->setPlainText(QStringLiteral("Dentist"));
        bool off = false;
        auto said = press(f, &off);
        QCOMPARE(said.text, QStringLiteral("Cannot set reminder for past dates, or times."));
        QCOMPARE(said.icon, QMessageBox::Warning);
        QCOMPARE(said.title, QStringLiteral("Pingalo!"));
        QCOMPARE(w->Status->text(), QStringLiteral("Invalid Date Error"));
        QVERIFY(off);
        QVERIFY(f.timer.isActive()); // on again after the refusal

        // A sound asked for but not chosen comes before the empty note.
        w->NoteEdit->clear();
        w->Check1->setChecked(true);
        said = press(f);
        QCOMPARE(said.text, QStringLiteral("Please select a sound."));
        QCOMPARE(w->Status->text(), QStringLiteral("Incomplete Date Error"));
        w->Check1->setChecked(false);
        said = press(f);
        QCOMPARE(said.text, QStringLiteral("Please enter a reminder note."));
        QCOMPARE(w->Status->text(), QStringLiteral("Incomplete Date Error"));
        QVERIFY(f.stored(kToday).isEmpty());
        QVERIFY(f.timer.isActive());
    }

    void theMinuteBoundaries()
    {
        NoteMakerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 15, 59)));
        NoteMaker *w = f.window;
        w->NoteEdit->setPlainText(QStringLiteral("  Call Ann  "));
        w->DTPicker2->setTime(QTime(10, 15, 0));
        QCOMPARE(press(f).text, QStringLiteral("Cannot set reminder for the current time."));
        // One second later is the next minute: accepted, with seconds zero whatever the picker says.
        w->DTPicker2->setTime(QTime(10, 16, 42));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(w->Status->text(), QStringLiteral("Reminder is set for: 12/4/2026 10:16:00 AM"));
        // Pressed again without a change: a second slot of the same day.
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(kToday), QStringList({QStringLiteral("Call Ann|Sounds|One-Time Reminder|10:16:00 AM"),
                                                QStringLiteral("Call Ann|Sounds|One-Time Reminder|10:16:00 AM")}));
        // The controls keep what they held.
        QCOMPARE(w->NoteEdit->toPlainText(), QStringLiteral("  Call Ann  "));
        QVERIFY(f.timer.isActive());
        // A note of blanks is a note: the record is an empty one, a hole.
        w->NoteEdit->setPlainText(QStringLiteral("   "));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(*f.reminders.numReminders(kToday), 3);
        QVERIFY(f.reminders.readRecord(kToday, 3)->isHole());
    }

    void notesThatCannotBeKeptAndStoresThatRefuse()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->DTPicker1->setDate(QDate(2026, 12, 5));
        w->NoteEdit->setPlainText(QStringLiteral("Snow \u2603 day"));
        auto said = press(f);
        QCOMPARE(said.icon, QMessageBox::Critical);
        QCOMPARE(said.text, QStringLiteral("Pingalo! has encountered an error and the reminder note could "
                                           "not be created. You may need to restart your system to clear "
                                           "the error."));
        QCOMPARE(f.store.sectionCount(), 0); // scrambled before the first write
        QVERIFY(f.timer.isActive());

        w->NoteEdit->setPlainText(QStringLiteral("Snow day"));
        f.store.setBroken(true);
        said = press(f);
        QCOMPARE(said.icon, QMessageBox::Critical);
        QVERIFY(f.timer.isActive());
    }

    void theBillRoad()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->NoteEdit->setPlainText(QStringLiteral("Rent"));
        w->DTPicker1->setDate(QDate(2026, 12, 20));
        w->DTPicker2->setTime(QTime(9, 0));

        // A pending bill day survives a reset and a one-time creation...
        f.billDate = QStringLiteral("12/10/2026");
        w->ResetBttn->click();
        QCOMPARE(f.billDate, QStringLiteral("12/10/2026"));
        w->NoteEdit->setPlainText(QStringLiteral("Rent"));
        w->DTPicker1->setDate(QDate(2026, 12, 20));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.billDate, QStringLiteral("12/10/2026"));
        // ... and survives the window being closed and opened again.
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.window);
        f.open();
        w = f.window;
        QCOMPARE(f.billDate, QStringLiteral("12/10/2026"));
        // Any other recurrence, typed text included, takes the bill road: its day, no time.
        w->NoteEdit->setPlainText(QStringLiteral("Phone bill"));
        w->Combo2->setEditText(QStringLiteral("  Every so often "));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(w->Status->text(), QStringLiteral("Reminder is set for: 12/10/2026 "));
        QCOMPARE(f.stored(QStringLiteral("12/10/2026")),
                 QStringList({QStringLiteral("Phone bill|Sounds|Every so often|")}));
        QVERIFY(f.billDate.isEmpty());

        // A bill day of today is midnight, past: refused, and the day is used up anyway.
        f.billDate = QStringLiteral("12/4/2026");
        w->Combo2->setCurrentIndex(5);
        QCOMPARE(press(f).text, QStringLiteral("Cannot set reminder for past dates, or times."));
        QVERIFY(f.billDate.isEmpty());
        // Still "Bill Reminder", now with the pickers' day and time.
        w->DTPicker1->setDate(QDate(2026, 12, 6));
        w->DTPicker2->setTime(QTime(18, 30));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(QStringLiteral("12/6/2026")),
                 QStringList({QStringLiteral("Phone bill|Sounds|Bill Reminder|6:30:00 PM")}));
    }

    void resetPutsTheFormBack()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->DTPicker1->setDate(QDate(2027, 1, 1));
        w->DTPicker2->setTime(QTime(7, 45));
        w->Combo2->setCurrentIndex(2);
        w->Check1->setChecked(true);
        w->NoteEdit->setPlainText(QStringLiteral("x"));
        w->Status->setText(QStringLiteral("Reminder is set for: ..."));
        w->ResetItem->trigger();
        QCOMPARE(w->DTPicker1->date(), QDate(2026, 12, 4));
        QCOMPARE(w->DTPicker2->time(), QTime(0, 0));
        QCOMPARE(w->Combo2->currentText(), QStringLiteral("One-Time Reminder"));
        QVERIFY(!w->Check1->isChecked());
        QVERIFY(!w->Combo1->isEnabled());
        QCOMPARE(w->Combo1->currentText(), QStringLiteral("Sounds"));
        QVERIFY(w->NoteEdit->toPlainText().isEmpty());
        QCOMPARE(w->Status->text(), QStringLiteral("Reminder Status"));
    }
};

PINGALO_TEST(TstNoteMaker)
#include "tst_notemaker.moc"
