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
const QString kToday = u"12/4/2026"_s;
} // namespace

class TstNoteMaker : public QObject {
    Q_OBJECT

    // Presses the create button and gives what it said (nothing when it stored).
    static MessageRecorder::Message press(NoteMakerFixture &f,
                                          bool *timerOffWhileAsking = nullptr) {
        MessageRecorder messages;
        bool off = true;
        messages.onMessage = [&](QMessageBox *) { off = off && !f.timer.isActive(); };
        f.window->PingaloBttn->click();
        if (timerOffWhileAsking)
            *timerOffWhileAsking = off;
        return messages.messages.value(0, MessageRecorder::Message{});
    }

private Q_SLOTS:
    void theWindowAsLoaded() {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        QCOMPARE(w->windowTitle(), u"Pingalo! Vantor - Note Maker"_s);
        QCOMPARE(w->centralWidget()->size(), QSize(425, 249));
        QCOMPARE(w->DTPicker1->date(), QDate(2026, 12, 4));
        QCOMPARE(w->DTPicker2->time(), QTime(0, 0));
        QCOMPARE(w->Combo2->currentText(), u"One-Time Reminder"_s);
        QCOMPARE(w->Combo2->count(), 6);
        QVERIFY(!w->Check1->isChecked());
        QCOMPARE(w->Combo1->currentText(), u"Sounds"_s);
        QVERIFY(!w->Combo1->isEnabled());
        QVERIFY(!w->SndPreviewBttn->isEnabled());
        QCOMPARE(w->SndPreviewBttn->text(), u"&Preview"_s);
        QCOMPARE(w->Status->text(), u"Reminder Status"_s);
        QCOMPARE(w->Combo1->itemText(w->Combo1->count() - 1), u"No Sound"_s);
        // The tab order of the controls (inner parts of a control left out).
        const QList<QWidget *> expected = {
            w->DTPicker1,      w->DTPicker2, w->Combo2,      w->Check1,    w->Combo1,
            w->SndPreviewBttn, w->NoteEdit,  w->PingaloBttn, w->ResetBttn, w->Status};
        QList<QWidget *> order;
        for (QWidget *next = w->DTPicker1; order.size() < expected.size();
             next = next->nextInFocusChain())
            if (expected.contains(next) && !order.contains(next))
                order << next;
        QCOMPARE(order, expected);
        // Each control where it belongs, and nothing cut off.
        QCOMPARE(w->Combo1->pos(), QPoint(16, 184));
        QCOMPARE(w->PingaloBttn->geometry(), QRect(240, 184, 89, 33));
        QCOMPARE(w->NoteEdit->geometry(), QRect(8, 24, 185, 137));
        for (QWidget *control :
             {static_cast<QWidget *>(w->DTPicker1), static_cast<QWidget *>(w->DTPicker2),
              static_cast<QWidget *>(w->Combo2), static_cast<QWidget *>(w->Check1),
              static_cast<QWidget *>(w->SndPreviewBttn), static_cast<QWidget *>(w->PingaloBttn),
              static_cast<QWidget *>(w->ResetBttn), static_cast<QWidget *>(w->Status)}) {
            QVERIFY2(control->sizeHint().width() <= control->width() &&
                         control->sizeHint().height() <= control->height(),
                     qPrintable(control->objectName()));
            const QRect inParent = control->geometry();
            QVERIFY2(control->parentWidget()->rect().contains(inParent),
                     qPrintable(control->objectName()));
            // ... and clear of every other control beside it.
            for (QWidget *other :
                 control->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != control && other->isVisibleTo(w) && !qobject_cast<QGroupBox *>(other))
                    QVERIFY2(
                        !other->geometry().intersects(inParent),
                        qPrintable(control->objectName() + u" meets "_s + other->objectName()));
        }
    }

    void theChecksInTheirOrder() {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        // As loaded: the day at midnight has passed.
        w->NoteEdit->setPlainText(u"Dentist"_s);
        bool off = false;
        auto said = press(f, &off);
        QCOMPARE(said.text, u"Cannot set reminder for past dates, or times."_s);
        QCOMPARE(said.icon, QMessageBox::Warning);
        QCOMPARE(said.title, u"Pingalo!"_s);
        QCOMPARE(w->Status->text(), u"Invalid Date Error"_s);
        QVERIFY(off);
        QVERIFY(f.timer.isActive()); // on again after the refusal

        // A sound asked for but not chosen comes before the empty note.
        w->NoteEdit->clear();
        w->Check1->setChecked(true);
        said = press(f);
        QCOMPARE(said.text, u"Please select a sound."_s);
        QCOMPARE(w->Status->text(), u"Incomplete Date Error"_s);
        w->Check1->setChecked(false);
        said = press(f);
        QCOMPARE(said.text, u"Please enter a reminder note."_s);
        QCOMPARE(w->Status->text(), u"Incomplete Date Error"_s);
        QVERIFY(f.stored(kToday).isEmpty());
        QVERIFY(f.timer.isActive());
    }

    void theMinuteBoundaries() {
        NoteMakerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 15, 59)));
        NoteMaker *w = f.window;
        w->NoteEdit->setPlainText(u"  Call Ann  "_s);
        w->DTPicker2->setTime(QTime(10, 15, 0));
        QCOMPARE(press(f).text, u"Cannot set reminder for the current time."_s);
        // One second later is the next minute: accepted, with seconds zero whatever the picker
        // says.
        w->DTPicker2->setTime(QTime(10, 16, 42));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(w->Status->text(), u"Reminder is set for: 12/4/2026 10:16:00 AM"_s);
        // Pressed again without a change: a second slot of the same day.
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(kToday),
                 QStringList({u"Call Ann|Sounds|One-Time Reminder|10:16:00 AM"_s,
                              u"Call Ann|Sounds|One-Time Reminder|10:16:00 AM"_s}));
        // The controls keep what they held.
        QCOMPARE(w->NoteEdit->toPlainText(), u"  Call Ann  "_s);
        QVERIFY(f.timer.isActive());
        // A note of blanks is a note: the record is an empty one, a hole.
        w->NoteEdit->setPlainText(u"   "_s);
        QCOMPARE(press(f).text, QString());
        QCOMPARE(*f.reminders.numReminders(kToday), 3);
        QVERIFY(f.reminders.readRecord(kToday, 3)->isHole());
    }

    void notesThatCannotBeKeptAndStoresThatRefuse() {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->DTPicker1->setDate(QDate(2026, 12, 5));
        w->NoteEdit->setPlainText(u"Snow \u2603 day"_s);
        auto said = press(f);
        QCOMPARE(said.icon, QMessageBox::Critical);
        QCOMPARE(said.text,
                 QStringLiteral("Pingalo! has encountered an error and the reminder note could "
                                "not be created. You may need to restart your system to clear "
                                "the error."));
        QCOMPARE(f.store.sectionCount(), 0); // scrambled before the first write
        QVERIFY(f.timer.isActive());

        w->NoteEdit->setPlainText(u"Snow day"_s);
        f.store.setBroken(true);
        said = press(f);
        QCOMPARE(said.icon, QMessageBox::Critical);
        QVERIFY(f.timer.isActive());
    }

    void theBillRoad() {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->NoteEdit->setPlainText(u"Rent"_s);
        w->DTPicker1->setDate(QDate(2026, 12, 20));
        w->DTPicker2->setTime(QTime(9, 0));

        // A pending bill day survives a reset and a one-time creation...
        f.billDate = u"12/10/2026"_s;
        w->ResetBttn->click();
        QCOMPARE(f.billDate, u"12/10/2026"_s);
        w->NoteEdit->setPlainText(u"Rent"_s);
        w->DTPicker1->setDate(QDate(2026, 12, 20));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.billDate, u"12/10/2026"_s);
        // ... and survives the window being closed and opened again.
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.window);
        f.open();
        w = f.window;
        QCOMPARE(f.billDate, u"12/10/2026"_s);
        // Any other recurrence, typed text included, takes the bill road: its day, no time.
        w->NoteEdit->setPlainText(u"Phone bill"_s);
        w->Combo2->setEditText(u"  Every so often "_s);
        QCOMPARE(press(f).text, QString());
        QCOMPARE(w->Status->text(), u"Reminder is set for: 12/10/2026 "_s);
        QCOMPARE(f.stored(u"12/10/2026"_s), QStringList({u"Phone bill|Sounds|Every so often|"_s}));
        QVERIFY(f.billDate.isEmpty());

        // A bill day of today is midnight, past: refused, and the day is used up anyway.
        f.billDate = u"12/4/2026"_s;
        w->Combo2->setCurrentIndex(5);
        QCOMPARE(press(f).text, u"Cannot set reminder for past dates, or times."_s);
        QVERIFY(f.billDate.isEmpty());
        // Still "Bill Reminder", now with the pickers' day and time.
        w->DTPicker1->setDate(QDate(2026, 12, 6));
        w->DTPicker2->setTime(QTime(18, 30));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(u"12/6/2026"_s),
                 QStringList({u"Phone bill|Sounds|Bill Reminder|6:30:00 PM"_s}));
    }

    void resetPutsTheFormBack() {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->DTPicker1->setDate(QDate(2027, 1, 1));
        w->DTPicker2->setTime(QTime(7, 45));
        w->Combo2->setCurrentIndex(2);
        w->Check1->setChecked(true);
        w->NoteEdit->setPlainText(u"x"_s);
        w->Status->setText(u"Reminder is set for: ..."_s);
        w->ResetItem->trigger();
        QCOMPARE(w->DTPicker1->date(), QDate(2026, 12, 4));
        QCOMPARE(w->DTPicker2->time(), QTime(0, 0));
        QCOMPARE(w->Combo2->currentText(), u"One-Time Reminder"_s);
        QVERIFY(!w->Check1->isChecked());
        QVERIFY(!w->Combo1->isEnabled());
        QCOMPARE(w->Combo1->currentText(), u"Sounds"_s);
        QVERIFY(w->NoteEdit->toPlainText().isEmpty());
        QCOMPARE(w->Status->text(), u"Reminder Status"_s);
    }
};

PINGALO_TEST(TstNoteMaker)
#include "tst_notemaker.moc"
