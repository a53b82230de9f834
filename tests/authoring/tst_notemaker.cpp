// Creating a reminder in the note maker: the checks and their answers, the
// minute boundaries, the bill road, and the scheduler kept off throughout.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "authoring/BillForm.h"
#include "authoring/SoundBox.h"
#include "scheduler/Recurrence.h"
#include "shell/About.h"

#include <QAbstractItemView>

namespace {
const QString kToday = u"12/4/2026"_s;
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
    // As loaded and after a reset: today at midnight, one-time, no sound, no note; every
    // control inside its frame, clear of the others.
    void theFormAsLoadedAndAfterAReset()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        const auto state = [w] {
            const auto on = [](QWidget *c) { return c->isEnabled() ? u"on"_s : u"off"_s; };
            return QStringList({w->DTPicker1->date().toString(u"M/d/yyyy"_s),
                                w->DTPicker2->time().toString(u"h:mm"_s), w->Combo2->currentText(),
                                w->Check1->isChecked() ? u"checked"_s : u"unchecked"_s,
                                w->Combo1->currentText(), on(w->Combo1), on(w->SndPreviewBttn),
                                w->NoteEdit->toPlainText(), w->Status->text()})
                .join(u'|');
        };
        const QString fresh = u"12/4/2026|0:00|One-Time Reminder|unchecked|Sounds|off|off||"
                              u"Reminder Status"_s;
        QCOMPARE(state(), fresh);
        for (QWidget *control :
             QWidgetList{w->DTPicker1, w->Combo2, w->Check1, w->NoteEdit, w->Status})
            QCOMPARE(layoutFault(control->parentWidget()), QString());

        w->DTPicker1->setDate(QDate(2027, 1, 1));
        w->DTPicker2->setTime(QTime(7, 45));
        w->Combo2->setCurrentIndex(2);
        w->Check1->setChecked(true);
        w->NoteEdit->setPlainText(u"x"_s);
        w->Status->setText(u"Reminder is set for: ..."_s);
        w->ResetItem->trigger();
        QCOMPARE(state(), fresh);
    }

    void theChecksInTheirOrder()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        // As loaded: the day at midnight has passed.
        w->NoteEdit->setPlainText(u"Dentist"_s);
        bool off = false;
        auto said = press(f, &off);
        QCOMPARE(said.text, u"Cannot set reminder for past dates, or times."_s);
        QCOMPARE(said.icon, QMessageBox::Warning);
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

    void theMinuteBoundaries()
    {
        NoteMakerFixture f(QDateTime(QDate(2026, 12, 4), QTime(10, 15, 59)));
        NoteMaker *w = f.window;
        w->NoteEdit->setPlainText(u"  Call Ann  "_s);
        w->DTPicker2->setTime(QTime(10, 15, 0));
        QCOMPARE(press(f).text, u"Cannot set reminder for the current time."_s);
        // A second later is the next minute: accepted, seconds zero whatever the picker says.
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

    void notesThatCannotBeKeptAndStoresThatRefuse()
    {
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

    void theBillRoad()
    {
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
        QVERIFY(f.billDate.isEmpty()); // (then the pickers decide: the wizard's close-box test)
    }

    // Only a choice from the list opens the wizard: the item's name typed, with Enter or as the
    // focus leaves, does not. And About comes up once.
    void typedItemNamesAreNotChoicesAndAboutIsOne()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        int wizards = 0; // each closed at once
        std::function<void(BillForm *)> close = [&](BillForm *b) {
            ++wizards, b->close(), whenModal<BillForm>(close, w);
        };
        whenModal<BillForm>(close, w);
        w->Combo2->setFocus();
        w->Combo2->lineEdit()->selectAll();
        QTest::keyClicks(w->Combo2, u"Bill Reminder"_s);
        QTest::keyClick(w->Combo2, Qt::Key_Return);
        w->NoteEdit->setFocus();
        QCOMPARE(wizards, 0);
        w->Combo2->showPopup();
        QTest::keyClick(w->Combo2->view(), Qt::Key_Return);
        QTRY_COMPARE(wizards, 1);

        auto *open = new About(&f.owner); // the tray's, say
        open->show();
        bool second = false;
        whenModal<About>([&](About *box) { second = true, box->close(); }, open);
        w->AboutItem->trigger();
        QVERIFY(!second);
        delete open;
    }
};

PINGALO_TEST(TstNoteMaker)
#include "tst_notemaker.moc"
