// Creating a reminder in the note maker: the checks and their answers, the
// minute boundaries, the bill road and its wizard, the sound box and its
// preview, and the scheduler kept off throughout; then the Settings menu: the
// start-up item, the missed-reminder days and password protection.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "gui/authoring/BillForm.h"
#include "gui/authoring/SettingsMenu.h"
#include "gui/authoring/SoundBox.h"
#include "gui/authoring/SoundSelection.h"
#include "gui/password/PassFormCreate.h"

using B = QMessageBox::StandardButton;

namespace {

const QString kToday = u"12/4/2026"_s;
const QString kFresh = u"12/4/2026|0:00|One-Time Reminder|unchecked|Sounds|off|off||"
                       u"Reminder Status"_s;
const QString kSnds = QStringLiteral(PINGALO_SOURCE_DIR "/resources/snds/");

// Chooses a sound as the user does: the list drops down, an item is chosen.
void choose(NoteMaker *w, const QString &name)
{
    w->soundSelection().Combo1_DropDown();
    w->Combo1->setCurrentIndex(w->Combo1->findText(name));
    Q_EMIT w->Combo1->chosen(w->Combo1->currentIndex());
}

} // namespace

class TstNoteMaker : public QObject {
    Q_OBJECT

    // Presses the create button and gives what it said (nothing when it stored), marked
    // when the scheduler's timer was on while it asked.
    static MessageRecorder::Message press(NoteMakerFixture &f)
    {
        MessageRecorder messages;
        messages.onMessage = [&](QMessageBox *box) {
            if (f.timer.isActive())
                box->setText(box->text() + u" (the timer ran)"_s);
        };
        f.window->PingaloBttn->click();
        return messages.messages.value(0, MessageRecorder::Message{});
    }

    // Chooses "Bill Reminder" in the note maker and runs `fill` on the wizard;
    // gives the messages it showed.
    static QStringList throughTheWizard(NoteMakerFixture &f, std::function<void(BillForm *)> fill)
    {
        MessageRecorder messages;
        whenModal<BillForm>([&](BillForm *wizard) { fill(wizard); });
        f.window->Combo2->setCurrentIndex(5);
        Q_EMIT f.window->Combo2->chosen(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return messages.texts();
    }

    // The form as one line: day, time, recurrence, the sound box, note and status.
    static QString stateOf(NoteMaker *w)
    {
        const auto on = [](QWidget *c) { return c->isEnabled() ? u"on"_s : u"off"_s; };
        return QStringList({w->DTPicker1->date().toString(u"M/d/yyyy"_s),
                            w->DTPicker2->time().toString(u"h:mm"_s), w->Combo2->currentText(),
                            w->Check1->isChecked() ? u"checked"_s : u"unchecked"_s,
                            w->Combo1->currentText(), on(w->Combo1), on(w->SndPreviewBttn),
                            w->NoteEdit->toPlainText(), w->Status->text()})
            .join(u'|');
    }

private Q_SLOTS:
    // As loaded and after a reset: today at midnight, one-time, no sound, no note; every
    // control inside its frame, clear of the others. Between the two, the checks in their
    // order and the errors, the scheduler's timer off while each is said; after, the
    // minute boundaries.
    void theFormTheChecksAResetAndTheMinuteBoundaries()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        QCOMPARE(stateOf(w), kFresh);
        for (QWidget *control :
             QWidgetList{w->DTPicker1, w->Combo2, w->Check1, w->NoteEdit, w->Status})
            QCOMPARE(layoutFault(control->parentWidget()), QString());

        // The checks in their order. As loaded, the day at midnight has passed; a sound
        // asked for but not chosen comes before the empty note.
        const auto said = [&]() -> QString {
            const QString text = press(f).text;
            return text + u'|' + w->Status->text();
        };
        w->NoteEdit->setPlainText(u"Dentist"_s);
        QCOMPARE(press(f).icon, QMessageBox::Warning);
        QCOMPARE(said(), u"Cannot set reminder for past dates, or times.|Invalid Date Error"_s);
        w->NoteEdit->clear();
        w->Check1->setChecked(true);
        QCOMPARE(said(), u"Please select a sound.|Incomplete Date Error"_s);
        w->Check1->setChecked(false);
        QCOMPARE(said(), u"Please enter a reminder note.|Incomplete Date Error"_s);
        QVERIFY(f.stored(kToday).isEmpty());

        // A note that cannot be kept, and a store that refuses: errors, not warnings.
        w->DTPicker1->setDate(QDate(2026, 12, 5));
        w->NoteEdit->setPlainText(u"Snow \u2603 day"_s);
        const auto error = press(f);
        QCOMPARE(error.icon, QMessageBox::Critical);
        QVERIFY2(error.text.contains(u"could not be created"_s) &&
                     error.text.contains(u"\n\nIts character 6, \u201C\u2603\u201D, is not one"_s),
                 qPrintable(error.text));
        QCOMPARE(f.store.sectionCount(), 0); // scrambled before the first write
        w->NoteEdit->setPlainText(u"Snow day"_s);
        f.store.setBroken(true);
        QCOMPARE(press(f).icon, QMessageBox::Critical);
        QVERIFY(f.timer.isActive());

        // A reset clears what the checks left (the day, the note, the status) and more.
        w->DTPicker2->setTime(QTime(7, 45));
        w->Combo2->setCurrentIndex(2);
        w->Check1->setChecked(true);
        w->ResetItem->trigger();
        QCOMPARE(stateOf(w), kFresh);
        f.store.setBroken(false);

        // The minute boundaries: this minute is refused, the next one is not.
        f.clock.set(QDateTime(QDate(2026, 12, 4), QTime(10, 15, 59)));
        w->NoteEdit->setPlainText(u"  Call Ann  "_s);
        w->DTPicker2->setTime(QTime(10, 15, 0));
        QCOMPARE(press(f).text, u"Cannot set reminder for the current time."_s);
        // A second later is the next minute: accepted, seconds zero whatever the picker
        // says; pressed again without a change, a second slot of the same day. The
        // controls keep what they held.
        w->DTPicker2->setTime(QTime(10, 16, 42));
        QCOMPARE(press(f).text + press(f).text, QString());
        QCOMPARE(w->Status->text(), u"Reminder is set for: 12/4/2026 10:16:00 AM"_s);
        QCOMPARE(f.stored(kToday),
                 QStringList(2, u"Call Ann|Sounds|One-Time Reminder|10:16:00 AM"_s));
        QCOMPARE(w->NoteEdit->toPlainText(), u"  Call Ann  "_s);
        // A note of blanks is a note: the record is an empty one, a hole.
        w->NoteEdit->setPlainText(u"   "_s);
        QCOMPARE(press(f).text, QString());
        QVERIFY(*f.reminders.numReminders(kToday) == 3 &&
                f.reminders.readRecord(kToday, 3)->isHole());
    }

    void theBillRoad()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;

        // A pending bill day survives a reset, a one-time creation and the window being
        // closed and opened again: the bill road below still finds it.
        f.billDate = u"12/10/2026"_s;
        w->ResetBttn->click();
        w->NoteEdit->setPlainText(u"Rent"_s);
        w->DTPicker1->setDate(QDate(2026, 12, 20));
        QCOMPARE(press(f).text, QString());
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.window);
        f.open();
        w = f.window;
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

        // The wizard cancelled: a one-time reminder again, the bill day kept.
        f.billDate = u"12/20/2026"_s;
        w->NoteEdit->setPlainText(u"kept"_s);
        throughTheWizard(f, [](BillForm *wizard) { wizard->Command2->click(); });
        QCOMPARE(w->Combo2->currentText() + f.billDate, u"One-Time Reminder12/20/2026"_s);

        // Closed otherwise: still "Bill Reminder"; without a bill day the pickers decide.
        f.billDate.clear();
        throughTheWizard(f, [](BillForm *wizard) { wizard->close(); });
        QVERIFY(f.billDate.isEmpty());
        w->DTPicker2->setTime(QTime(17, 0));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(kToday).join(u'/'), u"kept|Sounds|Bill Reminder|5:00:00 PM"_s);
    }

    // An item's name typed is not a choice, with Enter or as the focus leaves: the sound
    // stored is the text of the box, chosen or typed (chosen: the e2e test); only a choice
    // from the list opens the wizard.
    void typedItemNamesAreNotChoices()
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
        w->NoteEdit->setPlainText(u"Typed sound"_s);
        w->DTPicker2->setTime(QTime(11, 0));
        QCOMPARE(press(f).text, QString());
        QCOMPARE(f.stored(kToday).join(u'/'),
                 u"Typed sound|No Sound|One-Time Reminder|11:00:00 AM"_s);

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
    }

    // Every answer of the bill wizard, each given to a wizard as it opens: ten days' notice
    // for a bill due today, every control inside its frame, clear of the others.
    void theBillWizardsAnswers()
    {
        const QString overdue = u"This month's payment seems to be overdue."_s;
        const QString number = u"Please enter a number."_s;
        const QString range = u"Please enter a number between 0 and 30."_s;
        const struct {
            const char *payee;
            int dueInDays;
            const char *advance;
            QStringList messages;
            QString billDate; // empty: nothing handed back
        } cases[] = {
            // clang-format off
            {"", 20, "10", {u"Please enter the name of the company/person this bill is payable to."_s}, {}},
            {"  ", 20, "10", {}, u"12/14/2026"_s}, // blanks are a payee
            {"Gas", 0, "0", {overdue}, u"12/4/2026"_s},
            {"Gas", -3, "ten", {overdue, number}, {}},
            {"Gas", 5, "10", {}, u"11/29/2026"_s}, // notice longer than the wait
            {"Gas", 20, "31", {range}, {}},
            {"Gas", 40, "30", {}, u"12/14/2026"_s},
            {"Gas", 20, "2.5", {}, u"12/22/2026"_s}, // halves round to even
            {"Gas", 20, "3.5", {}, u"12/20/2026"_s},
            {"Gas", 20, "", {number}, {}},
            // clang-format on
        };
        for (const auto &c : cases) {
            NoteMakerFixture f;
            f.window->NoteEdit->setPlainText(u"before"_s);
            bool looked = false, stayedOpen = false;
            const QStringList said = throughTheWizard(f, [&](BillForm *wizard) {
                looked = wizard->Text2->text() == QLatin1String("10") &&
                         wizard->DTPicker1->date() == QDate(2026, 12, 4) &&
                         wizard->Text1->text().isEmpty() && layoutFault(wizard).isEmpty() &&
                         wizard->Label4->font().pointSizeF() > 6 && // smaller only to fit
                         layoutFault(wizard->Frame1).isEmpty();
                wizard->Text1->setText(QString::fromLatin1(c.payee));
                wizard->DTPicker1->setDate(QDate(2026, 12, 4).addDays(c.dueInDays));
                wizard->Text2->setText(QString::fromLatin1(c.advance));
                wizard->Command1->click();
                stayedOpen = wizard->isVisible();
                if (stayedOpen)
                    wizard->Command2->click();
            });
            QVERIFY(looked);
            QCOMPARE(said, c.messages);
            QCOMPARE(f.billDate, c.billDate);
            QCOMPARE(stayedOpen, c.billDate.isEmpty());
            QCOMPARE(f.window->NoteEdit->toPlainText(),
                     c.billDate.isEmpty() ? u"before"_s : QString::fromLatin1(c.payee));
        }
    }

    void theFourStatesAndThePreview()
    {
        NoteMakerFixture f;
        NoteMaker *w = f.window;
        // What was played since the last look, and the preview button's caption.
        const auto heard = [&]() -> QString {
            return std::exchange(f.output.calls, {}).join(u',') + u'|' + w->SndPreviewBttn->text();
        };
        w->Check1->setChecked(true); // on, nothing chosen
        QVERIFY(w->Combo1->isEnabled() && w->Combo1->isLocked() && !w->SndPreviewBttn->isEnabled());
        // Locked: neither keys nor the wheel change the choice.
        w->Combo1->setFocus();
        QTest::keyClick(w->Combo1, Qt::Key_Down);
        QTest::keyClicks(w->Combo1->lineEdit(), u"xyz"_s);
        QCOMPARE(w->Combo1->currentText(), u"Sounds"_s);

        choose(w, u"SIREN"_s); // on, a sound chosen
        QVERIFY(w->SndPreviewBttn->isEnabled() && w->Combo1->isLocked());
        QTest::keyClick(w->Combo1, Qt::Key_Up, Qt::AltModifier); // drops it down, moves nothing
        QVERIFY(w->Combo1->view()->isVisible() && w->Combo1->currentText() == u"SIREN"_s);
        w->Combo1->hidePopup();
        choose(w, u"SIREN"_s);
        w->SndPreviewBttn->click();
        QCOMPARE(heard(), u"play "_s + kSnds + u"SIREN.wav|&Preview"_s); // once: no "&Stop"

        choose(w, u"PAGER_1_LOOP"_s); // looping preview
        w->SndPreviewBttn->click();
        QCOMPARE(heard(), u"loop "_s + kSnds + u"PAGER_1_LOOP.wav|&Stop"_s);
        // Another sound chosen meanwhile: the next click stops, it does not play.
        choose(w, u"BEEP"_s);
        w->SndPreviewBttn->click();
        QCOMPARE(heard(), u"stop|&Preview"_s);

        // "No Sound" and a reset leave a playing loop alone.
        choose(w, u"PAGER_1_LOOP"_s);
        w->SndPreviewBttn->click();
        f.output.calls.clear();
        choose(w, u"No Sound"_s);
        QCOMPARE(stateOf(w), kFresh);
        QCOMPARE(heard(), u"|&Stop"_s); // caption kept, loop goes on
        // Closing the note maker stops whatever plays.
        w->close();
        QCOMPARE(f.output.calls, QStringList({u"stop"_s}));
    }

    void theSettingsMenu()
    {
        NoteMakerFixture f;
        const QString prompt = u"Pingalo! Vantor can check for missed reminders that are up to "
                               "30 days old. Enter the number of days you would like Pingalo! to "
                               "check for missed reminders:"_s;
        // Types the answers (then cancels), presses the buttons; gives what each box said
        // (an input box with the prompt: its title and what it proposed).
        const auto ask = [&](const QStringList &typed, const QList<B> &buttons = {}) {
            MessageRecorder dialogs;
            dialogs.inputs = typed;
            dialogs.buttons = buttons;
            f.window->settingsMenu()->OutDRem->trigger();
            QStringList said;
            for (const auto &m : dialogs.messages)
                said << (m.text == prompt ? m.title + u':' + m.preset : m.text);
            return said;
        };
        QCOMPARE(ask({u"30"_s}), QStringList({u"Pingalo! Vantor:14"_s}));
        ask({u"007"_s}); // stored as the number read (the reading: the text forms' test)
        QCOMPARE(*f.program.checkMissed(), u"7"_s);
        // Out of range: OK asks again with the stored value; an empty answer, or Cancel, ends it.
        const QString range = u"Please enter a number from 1 to 30, or click CANCEL."_s,
                      again = u"Pingalo! Vantor:7"_s;
        QCOMPARE(ask({u"0"_s, u"days"_s, u""_s}, {B::Ok, B::Ok}),
                 QStringList({again, range, again, range, again}));
        QCOMPARE(ask({u"31"_s}, {B::Cancel}), QStringList({again, range}));
        QCOMPARE(*f.program.checkMissed(), u"7"_s);

        // The start-up item, and password protection switched on and off.
        SettingsMenu *menu = f.window->settingsMenu();
        menu->StartupItem->trigger();
        QCOMPARE(*f.program.startUp(), u"True"_s);
        menu->StartupItem->trigger();
        QCOMPARE(*f.program.startUp(), u"False"_s);
        f.store.failWritesAfter(0); // refused: said, and the mark stays as it was
        const QString notWritten = u"Pingalo! could not write its settings. Nothing was changed."_s;
        QCOMPARE(ask({u"9"_s}).last(), notWritten);
        {
            MessageRecorder refused;
            menu->StartupItem->trigger();
            QCOMPARE(refused.texts(), QStringList({notWritten}));
            QCOMPARE(refused.messages.first().icon, QMessageBox::Warning);
        }
        f.store.failWritesAfter(-1);
        QVERIFY(!menu->StartupItem->isChecked() && *f.program.checkMissed() == u"7"_s);

        // Switched on with no password: the password window; cancelled, still off.
        f.lockItem.setEnabled(false);
        whenModal<PassFormCreate>([](PassFormCreate *w) { w->Command2->click(); });
        menu->EnablePassItem->trigger();
        QVERIFY(!menu->EnablePassItem->isChecked() && menu->SetPassItem->isEnabled());
        // Again, and a password saved: on, and lock-down available.
        whenModal<PassFormCreate>([](PassFormCreate *w) {
            w->NewPassA->setText(u"pw"_s), w->NewPassB->setText(u"pw"_s), w->Command1->click();
        });
        MessageRecorder messages;
        menu->EnablePassItem->trigger();
        QVERIFY(menu->EnablePassItem->isChecked() && f.lockItem.isEnabled());

        // Off: No keeps the password; Yes empties it and takes lock-down away.
        messages.buttons = {B::No, B::Yes};
        menu->EnablePassItem->trigger();
        QVERIFY(menu->EnablePassItem->isChecked() && f.program.isPassword(u"pw"_s));
        QCOMPARE(messages.texts().last(),
                 u"This will remove the password protection and delete your current password. "
                 "If you want to password protect your Pingalo! notes in the future you will "
                 "need to setup a new password. Are you sure you want to remove the password "
                 "protection?"_s);
        QCOMPARE(messages.messages.last().icon, QMessageBox::Warning);
        menu->EnablePassItem->trigger();
        QVERIFY(!menu->EnablePassItem->isChecked() && !menu->SetPassItem->isEnabled() &&
                !f.lockItem.isEnabled());
        QVERIFY(f.store.listValues(u"Settings"_s)->contains(StoreValue{u"Last"_s, u""_s}));

        // A note maker opened with both set shows both marks.
        f.program.setStoredPassword(*ScrambleText(u"pw"_s, u"1"_s));
        f.program.setStartUp(true);
        f.window->close();
        f.open();
        menu = f.window->settingsMenu();
        QVERIFY(menu->StartupItem->isChecked() && menu->EnablePassItem->isChecked());
    }
};

PINGALO_TEST(TstNoteMaker)
#include "tst_notemaker.moc"
