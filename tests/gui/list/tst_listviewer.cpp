// The list viewer: what it lists, deleting and viewing a row, sorting and the help.
#include "SchedulerFixture.h"
#include "ShellFixture.h"
#include "TestRegistry.h"
#include "core/system/ProgramFiles.h"
#include "gui/list/ReminderListModel.h"
#include "gui/shell/HelpWindow.h"

namespace {
const QDate kToday(2026, 12, 4);
const QString kDay = u"12/4/2026"_s;
const ProgramFiles kNoFiles{QString(), QString()}; // the help found nowhere

// The rows in the order shown, as "Date|Time|Num|Type|Reminder|Sound", or one column of them.
QStringList shown(Editor &list, int column = -1)
{
    QStringList rows;
    const QAbstractItemModel *model = list.RList->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            if (column < 0 || c == column)
                cells << model->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}
} // namespace

class TstListViewer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void itListsLiveSlotsWhateverIsDamagedAndDeletesThem()
    {
        SchedulerFixture f(QDateTime(kToday, QTime(10, 5, 20)));
        HelpModule help(f.program, kNoFiles);
        for (const QString &note : {u"one"_s, u"two"_s}) // of the same minute
            f.add(kToday, u"11:00:00 AM"_s, note, Recurrence::kDaily);
        f.store.appendReminder(kDay, {u"!!!"_s, u"Sounds"_s, {}, {}});
        f.add(QDate(2026, 6, 1), QString(), u"old"_s, Recurrence::kBill);
        f.store.deleteFromList(u"12/6/2026"_s, u"%1"_s.arg(f.add(kToday.addDays(2), {}, u"x"_s)));
        f.settings.save(u"Reminders"_s, kDay, u"2000000000"_s);
        Editor list({f.store, f.host, [&] { help.ShowHelpContents(); }}, nullptr);
        QCOMPARE(shown(list),
                 QStringList({u"12/4/2026|11:00:00 AM|1|Daily Reminder|one|BEEP"_s,
                              u"12/4/2026|11:00:00 AM|2|Daily Reminder|two|BEEP"_s,
                              u"12/4/2026||3||"_s + ReminderRecord::kUnreadableNote + u"|Sounds"_s,
                              u"6/1/2026||1|Bill Reminder|old|BEEP"_s}));
        QStringList headers;
        for (int c = 0; c < ReminderListModel::ColumnCount; ++c)
            headers << list.RList->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers.join(u'|'), u"Date|Time|Num|Type|Reminder|Sound"_s);
        QVERIFY(!list.RList->model()
                     ->headerData(ReminderListModel::ColumnCount, Qt::Horizontal)
                     .isValid());

        list.show();
        list.activateWindow(); // keys reach the window the user works in
        QVERIFY(QTest::qWaitForWindowActive(&list) && f.host.events.isEmpty());
        QTest::keyClick(list.Command1, Qt::Key_F1);
        QVERIFY(help.window() && help.window()->isVisible());

        // Enter on the list (of either kind) views the current row; other keys move in it.
        list.RList->setCurrentIndex(list.RList->model()->index(0, 0));
        QTest::keyClick(list.RList, Qt::Key_Down);
        QTest::keyClick(list.RList, Qt::Key_Enter);
        QCOMPARE(f.host.notes(), QStringList({u"two"_s}));
        whenModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        list.DeleteSelected->click();
        QVERIFY(list.ViewBttn->isEnabled() && list.DeleteSelected->isEnabled());
        MessageRecorder yes; // answers with the first button, Yes
        list.DeleteSelected->click();
        QCOMPARE(yes.texts(),
                 QStringList({u"Are you sure you want to permanently delete this reminder?"_s}));
        QCOMPARE(yes.messages.first().icon, QMessageBox::Question);
        QVERIFY(!list.ViewBttn->isEnabled() && !list.DeleteSelected->isEnabled());
        Editor again({f.store, f.host, [&] { help.ShowHelpContents(); }}, nullptr);
        QCOMPARE(shown(again, 2), QStringList({u"1"_s, u"3"_s, u"1"_s}));
        QCOMPARE(*f.store.numViewed(kDay) * 10 + *f.store.numReminders(kDay), 13);
        // Sorted by date as dates, not as text, and a day's rows by time, none first.
        again.RList->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(shown(again, 4),
                 QStringList({u"old"_s, ReminderRecord::kUnreadableNote, u"one"_s}));
        // By time (all-day rows have none), by number as a number, by type as text.
        const auto first = [&](int column, Qt::SortOrder order) {
            again.RList->sortByColumn(column, order);
            return shown(again, 4).value(0);
        };
        QCOMPARE(first(1, Qt::DescendingOrder), u"one"_s);
        QCOMPARE(first(2, Qt::DescendingOrder), ReminderRecord::kUnreadableNote);
        QCOMPARE(first(3, Qt::AscendingOrder), ReminderRecord::kUnreadableNote);
        again.RList->sortByColumn(0, Qt::AscendingOrder);
        // Slot 1 comes up while the list is open: deleting its row counts nothing more (a
        // count run ahead would let the day go with a live reminder in it).
        f.store.consumeSlot(kDay, 1, 1);
        again.RList->setCurrentIndex(again.RList->model()->index(2, 0));
        again.DeleteSelected->click();
        QCOMPARE(*f.store.numViewed(kDay), 2);
    }

    void aRowWhoseNumberWasTakenAgainDeletesNothing()
    {
        SchedulerFixture f(QDateTime(kToday, QTime(10, 5, 20)));
        f.add(kToday, u"10:06:00 AM"_s, u"old"_s);
        Editor list({f.store, f.host, {}}, nullptr);
        // It comes up, its day goes, and a new reminder of the day takes number 1 again.
        f.clock.set(QDateTime(kToday, QTime(10, 6, 10)));
        f.scheduler.Timer1_Timer();
        f.scheduler.Timer1_Timer();
        f.add(kToday, u"11:30:00 AM"_s, u"new"_s);
        list.RList->setCurrentIndex(list.RList->model()->index(0, 0));
        MessageRecorder yes;
        list.DeleteSelected->click();
        QVERIFY(shown(list).isEmpty());
        QCOMPARE(f.liveNotes(kToday), QStringList({u"new"_s}));
        QCOMPARE(*f.store.numViewed(kDay), 0);
    }
};

PINGALO_TEST(TstListViewer)
#include "tst_listviewer.moc"
