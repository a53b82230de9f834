// The list viewer: what it lists, deleting and viewing a row, sorting, the help,
// and a reminder that comes due while a viewed one is on screen.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "SchedulerFixture.h"
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "alerts/Reminders.h"
#include "list/Editor.h"
#include "list/ReminderListModel.h"
#include "shell/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {
const QDate kToday(2026, 12, 4);

struct ListFixture : SchedulerFixture {
    ListFixture()
        : SchedulerFixture(QDateTime(kToday, QTime(10, 5, 20)))
    {
    }
    ~ListFixture() { delete list; }
    Editor *open()
    {
        delete list;
        list = new Editor({store, host, help}, nullptr);
        list->show();
        return list;
    }
    // The rows as "Date|Time|Num|Type|Reminder|Sound".
    QStringList rows() const
    {
        QStringList result;
        for (int r = 0; r < list->rows().rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < ReminderListModel::ColumnCount; ++c)
                cells << list->rows().row(r).text(c);
            result << cells.join(u'|');
        }
        return result;
    }
    void select(int row) { list->RList->setCurrentIndex(list->RList->model()->index(row, 0)); }
    HelpModule help{program};
    QPointer<Editor> list;
};
} // namespace

class TstListViewer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void itListsEveryLiveSlotInStoreOrderWhateverIsDamaged()
    {
        ListFixture f;
        QVERIFY(f.open()->rows().rowCount() == 0 && !f.list->ViewBttn->isEnabled());
        f.add(kToday.addDays(1), u"9:00:00 AM"_s, u"tomorrow"_s);
        f.add(kToday, u"10:00:00 AM"_s, u"same"_s, Recurrence::kDaily);
        f.add(kToday, u"10:00:00 AM"_s, u"minute"_s, Recurrence::kOneTime, u"Sounds"_s);
        f.store.appendReminder(u"12/4/2026"_s, {u"!!!"_s, u"BEEP"_s, Recurrence::kOneTime, {}});
        f.add(QDate(2026, 6, 1), QString(), u"old bill"_s, Recurrence::kBill);
        for (const QString &note : {u"gone"_s, u"also gone"_s}) // a day of holes only
            f.store.deleteFromList(u"12/6/2026"_s,
                                   QString::number(f.add(kToday.addDays(2), {}, note)));
        f.settings.save(u"Reminders"_s, u"12/5/2026"_s, u"2000000000"_s); // absurd counts
        f.settings.save(u"Reminders"_s, u"12/9/2026"_s, u"abc"_s);
        QCOMPARE(f.open()->rows().rowCount(), 5);
        QCOMPARE(f.rows(),
                 QStringList({u"12/5/2026|9:00:00 AM|1|One-Time Reminder|tomorrow|BEEP"_s,
                              u"12/4/2026|10:00:00 AM|1|Daily Reminder|same|BEEP"_s,
                              u"12/4/2026|10:00:00 AM|2|One-Time Reminder|minute|Sounds"_s,
                              u"12/4/2026||3|One-Time Reminder|"_s + Scheduler::kUnreadableNote +
                                  u"|BEEP"_s,
                              u"6/1/2026||1|Bill Reminder|old bill|BEEP"_s}));
    }

    void deleteAsksAndCountsEachSlotOnce()
    {
        ListFixture f;
        for (const QString &note : {u"one"_s, u"two"_s, u"three"_s})
            f.add(kToday, u"11:00:00 AM"_s, note);
        f.open();
        f.select(1);
        for (bool yes : {false, true}) {
            whenModal<QMessageBox>([&](QMessageBox *box) {
                QCOMPARE(box->text(), Editor::kDeleteQuestion);
                QCOMPARE(box->icon(), QMessageBox::Question);
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            f.list->DeleteSelected->click();
            QCOMPARE(f.list->rows().rowCount(), yes ? 2 : 3);
            QCOMPARE(f.list->ViewBttn->isEnabled(), !yes);
            QCOMPARE(f.list->DeleteSelected->isEnabled(), !yes);
        }
        QCOMPARE(f.open()->rows().rowCount(), 2);
        QCOMPARE(f.liveNotes(kToday), QStringList({u"one"_s, u"three"_s}));
        QCOMPARE(*f.store.numViewed(u"12/4/2026"_s), 1);
        QCOMPARE(*f.store.numReminders(u"12/4/2026"_s), 3);

        // Slot 1 comes up while the list is open: deleting its row counts nothing more.
        f.store.consumeSlot(u"12/4/2026"_s, 1, 1);
        MessageRecorder yes; // its first button is Yes
        for (int row : {0, 0}) {
            f.select(row);
            f.list->DeleteSelected->click();
        }
        QCOMPARE(*f.store.numViewed(u"12/4/2026"_s), 3);
        QVERIFY(f.dayExists(kToday));
        f.scheduler.Timer1_Timer(); // the day is complete: the next tick removes it
        QVERIFY(!f.dayExists(kToday));
    }

    void viewingSortingAndHelp()
    {
        ListFixture f;
        f.add(QDate(2026, 12, 10), u"9:00:00 AM"_s, u"late"_s);
        f.add(QDate(2026, 12, 9), u"1:00:00 PM"_s, u"early pm"_s, Recurrence::kOneTime,
              u"VITAL_LOOP"_s);
        f.add(QDate(2026, 12, 9), u"10:00:00 AM"_s, u"early am"_s);
        f.open()->ViewBttn_Click(); // nothing selected: nothing to view
        QVERIFY(f.host.events.isEmpty());
        const auto column = [&](int c) {
            QStringList cells;
            for (int r = 0; r < 3; ++r)
                cells << f.list->RList->model()->index(r, c).data().toString();
            return cells;
        };
        f.list->RList->sortByColumn(ReminderListModel::Date, Qt::AscendingOrder);
        QCOMPARE(column(4), QStringList({u"early am"_s, u"early pm"_s, u"late"_s}));
        f.list->RList->sortByColumn(ReminderListModel::Time, Qt::DescendingOrder);
        QCOMPARE(column(4), QStringList({u"early pm"_s, u"early am"_s, u"late"_s}));

        // Enter, a double-click and the button each view the row once, and change nothing.
        f.select(0);
        QTest::keyClick(f.list->RList, Qt::Key_Return);
        const QRect cell = f.list->RList->visualRect(f.list->RList->currentIndex());
        QTest::mouseClick(f.list->RList->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.list->RList->viewport(), Qt::LeftButton, {}, cell.center());
        f.list->ViewBttn->click();
        QCOMPARE(f.host.shownTexts,
                 QStringList(3, u"Date and Time: 12/9/2026\r\nReminder Note: early pm"_s));
        QCOMPARE(f.host.events.count(u"sound:VITAL_LOOP"_s), 3);
        QCOMPARE(f.liveNotes(QDate(2026, 12, 9)).size(), 2);

        f.list->activateWindow(); // keys reach the window the user works in
        QVERIFY(QTest::qWaitForWindowActive(f.list));
        for (QWidget *focus : QWidgetList{f.list->RList, f.list->Command1}) {
            delete f.help.window();
            QTest::keyClick(focus, Qt::Key_F1);
            QVERIFY(f.help.window() && f.help.window()->isVisible());
        }
        f.help.window()->close();
    }

    void fromTheNoteMakerItIsModalToIt()
    {
        NoteMakerFixture f;
        bool owned = false;
        whenModal<Editor>([&](Editor *list) {
            owned = list->parentWidget() == f.window && list->isModal();
            list->Command1->click();
        });
        f.window->EditListItem->trigger();
        QVERIFY(owned);
    }

    // The tray's list comes to the front unread; a tick while a row is viewed waits for OK.
    void aReminderDueWhileOneIsViewedComesUpAfterIt()
    {
        ShellFixture f(u"-SU"_s);
        f.form.Form_Load();
        f.reminders.appendReminder(u"12/5/2026"_s,
                                   {*ScrambleText(u"viewed"_s, u"1"_s), u"PAGER_1_LOOP"_s,
                                    Recurrence::kOneTime, u"8:00:00 AM"_s});
        f.form.ListEditItem->trigger();
        Editor *list = f.form.editor();
        QVERIFY(list->isVisible() && !list->isModal());
        f.addToday(u"10:06:00 AM"_s, u"due"_s);
        f.form.ListEditItem->trigger();
        QCOMPARE(f.form.editor(), list);
        QCOMPARE(list->rows().rowCount(), 1);

        QStringList seen;
        whenModal<Reminders>([&](Reminders *window) {
            f.clock.set(QDateTime(kToday, QTime(10, 6, 10)));
            f.form.scheduler().Timer1_Timer();
            seen << window->ReminderText->toPlainText();
            f.clock.set(QDateTime(kToday, QTime(10, 7, 30))); // OK in the next minute
            window->Reminded->click();
        });
        list->RList->setCurrentIndex(list->RList->model()->index(0, 0));
        list->ViewBttn->click();
        whenModal<Reminders>([&](Reminders *window) {
            seen << window->ReminderText->toPlainText();
            window->Reminded->click();
        });
        QTRY_COMPARE(seen.size(), 2);
        QCOMPARE(seen,
                 QStringList({u"Date and Time: 12/5/2026\nReminder Note: viewed"_s,
                              u"Date and Time: 12/4/2026 10:06:00 AM\nReminder Note: due"_s}));
        const QString snds = QDir::currentPath() + u"/snds/"_s;
        QCOMPARE(f.sound.calls, QStringList({u"loop "_s + snds + u"PAGER_1_LOOP.wav"_s, u"stop"_s,
                                             u"play "_s + snds + u"BEEP.wav"_s, u"stop"_s}));
        f.form.ExitItem_Click();
        QVERIFY(!list->isVisible());
    }
};

PINGALO_TEST(TstListViewer)
#include "tst_listviewer.moc"
