// The bill reminder wizard: its refusals, its warning, what it hands back,
// and the ways out of it.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "authoring/BillForm.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

class TstBillForm : public QObject {
    Q_OBJECT

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

private Q_SLOTS:
    void twentyDaysAheadWithTenDaysNotice()
    {
        NoteMakerFixture f;
        bool looked = false;
        const QStringList said = throughTheWizard(f, [&](BillForm *wizard) {
            // Ten days' notice for a bill due today; every control of the frame inside it,
            // none over another.
            looked = wizard->Text2->text() == QLatin1String("10") &&
                     wizard->DTPicker1->date() == QDate(2026, 12, 4) &&
                     wizard->Text1->text().isEmpty() &&
                     !wizard->Command1->geometry().intersects(wizard->Command2->geometry());
            const QList<QWidget *> inFrame =
                wizard->Frame1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            for (QWidget *a : inFrame) {
                looked = looked && wizard->Frame1->rect().contains(a->geometry());
                for (QWidget *b : inFrame)
                    looked = looked && (a == b || !a->geometry().intersects(b->geometry()));
            }
            wizard->Text1->setText(u"City Power"_s);
            wizard->DTPicker1->setDate(QDate(2026, 12, 24));
            wizard->Command1->click();
        });
        QVERIFY(looked);
        QVERIFY(said.isEmpty());
        QCOMPARE(f.billDate, u"12/14/2026"_s);
        QCOMPARE(f.window->NoteEdit->toPlainText(), u"City Power"_s);
        QCOMPARE(f.window->Combo2->currentText(), u"Bill Reminder"_s);
        MessageRecorder messages;
        f.window->PingaloBttn->click();
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(f.stored(u"12/14/2026"_s), QStringList({u"City Power|Sounds|Bill Reminder|"_s}));
    }

    void refusalsWarningsAndRounding_data()
    {
        QTest::addColumn<QString>("payee");
        QTest::addColumn<int>("dueInDays");
        QTest::addColumn<QString>("advance");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("billDate"); // empty: nothing handed back
        const QString overdue = u"This month's payment seems to be overdue."_s;
        const QString number = u"Please enter a number."_s;
        const QString range = u"Please enter a number between 0 and 30."_s;
        const QString payee =
            u"Please enter the name of the company/person this bill is payable to."_s;
        QTest::newRow("no payee") << "" << 20 << "10" << QStringList({payee}) << "";
        QTest::newRow("payee of blanks") << "  " << 20 << "10" << QStringList() << "12/14/2026";
        QTest::newRow("due today, no notice")
            << "Gas" << 0 << "0" << QStringList({overdue}) << "12/4/2026";
        QTest::newRow("overdue and letters")
            << "Gas" << -3 << "ten" << QStringList({overdue, number}) << "";
        QTest::newRow("notice longer than the wait")
            << "Gas" << 5 << "10" << QStringList() << "11/29/2026";
        QTest::newRow("31") << "Gas" << 20 << "31" << QStringList({range}) << "";
        QTest::newRow("-1") << "Gas" << 20 << "-1" << QStringList({range}) << "";
        QTest::newRow("30") << "Gas" << 40 << "30" << QStringList() << "12/14/2026";
        QTest::newRow("2.5 rounds to 2") << "Gas" << 20 << "2.5" << QStringList() << "12/22/2026";
        QTest::newRow("3.5 rounds to 4") << "Gas" << 20 << "3.5" << QStringList() << "12/20/2026";
        QTest::newRow("blanks, sign, exponent")
            << "Gas" << 20 << " +1e1 " << QStringList() << "12/14/2026";
        QTest::newRow("empty") << "Gas" << 20 << "" << QStringList({number}) << "";
    }

    void refusalsWarningsAndRounding()
    {
        QFETCH(QString, payee);
        QFETCH(int, dueInDays);
        QFETCH(QString, advance);
        QFETCH(QStringList, messages);
        QFETCH(QString, billDate);
        NoteMakerFixture f;
        f.window->NoteEdit->setPlainText(u"before"_s);
        bool stayedOpen = false;
        const QStringList said = throughTheWizard(f, [&](BillForm *wizard) {
            wizard->Text1->setText(payee);
            wizard->DTPicker1->setDate(QDate(2026, 12, 4).addDays(dueInDays));
            wizard->Text2->setText(advance);
            wizard->Command1->click();
            stayedOpen = wizard->isVisible();
            if (stayedOpen)
                wizard->Command2->click();
        });
        QCOMPARE(said, messages);
        QCOMPARE(f.billDate, billDate);
        QCOMPARE(stayedOpen, billDate.isEmpty());
        QCOMPARE(f.window->NoteEdit->toPlainText(), billDate.isEmpty() ? u"before"_s : payee);
    }

    void cancelAndTheCloseBox()
    {
        NoteMakerFixture f;
        f.billDate = u"12/20/2026"_s;
        f.window->NoteEdit->setPlainText(u"kept"_s);
        throughTheWizard(f, [](BillForm *wizard) {
            wizard->Text1->setText(u"ignored"_s);
            wizard->Command2->click();
        });
        QCOMPARE(f.window->Combo2->currentText(), u"One-Time Reminder"_s);
        QCOMPARE(f.billDate, u"12/20/2026"_s);
        QCOMPARE(f.window->NoteEdit->toPlainText(), u"kept"_s);

        // Closed otherwise: still "Bill Reminder"; without a bill day the pickers decide.
        f.billDate.clear();
        throughTheWizard(f, [](BillForm *wizard) { wizard->close(); });
        QCOMPARE(f.window->Combo2->currentText(), u"Bill Reminder"_s);
        QVERIFY(f.billDate.isEmpty());
        f.window->DTPicker2->setTime(QTime(17, 0));
        MessageRecorder messages;
        f.window->PingaloBttn->click();
        QCOMPARE(f.stored(u"12/4/2026"_s),
                 QStringList({u"kept|Sounds|Bill Reminder|5:00:00 PM"_s}));
    }
};

PINGALO_TEST(TstBillForm)
#include "tst_billform.moc"
