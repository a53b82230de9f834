// The bill reminder wizard: its refusals, its warning, what it hands back,
// and the ways out of it.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "authoring/BillForm.h"

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
            // Ten days' notice for a bill due today; every control inside its frame, clear
            // of the others.
            looked = wizard->Text2->text() == QLatin1String("10") &&
                     wizard->DTPicker1->date() == QDate(2026, 12, 4) &&
                     wizard->Text1->text().isEmpty() && layoutFault(wizard).isEmpty() &&
                     layoutFault(wizard->Frame1).isEmpty();
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

    void refusalsWarningsAndRounding()
    {
        const QString overdue = u"This month's payment seems to be overdue."_s;
        const QString number = u"Please enter a number."_s;
        const QString range = u"Please enter a number between 0 and 30."_s;
        const QString payee =
            u"Please enter the name of the company/person this bill is payable to."_s;
        const struct {
            const char *payee;
            int dueInDays;
            const char *advance;
            QStringList messages;
            QString billDate; // empty: nothing handed back
        } cases[] = {
            // clang-format off
            {"", 20, "10", {payee}, {}},
            {"  ", 20, "10", {}, u"12/14/2026"_s}, // blanks are a payee
            {"Gas", 0, "0", {overdue}, u"12/4/2026"_s},
            {"Gas", -3, "ten", {overdue, number}, {}},
            {"Gas", 5, "10", {}, u"11/29/2026"_s}, // notice longer than the wait
            {"Gas", 20, "31", {range}, {}},
            {"Gas", 20, "-1", {range}, {}},
            {"Gas", 40, "30", {}, u"12/14/2026"_s},
            {"Gas", 20, "2.5", {}, u"12/22/2026"_s}, // halves round to even
            {"Gas", 20, "3.5", {}, u"12/20/2026"_s},
            {"Gas", 20, " +1e1 ", {}, u"12/14/2026"_s},
            {"Gas", 20, "", {number}, {}},
            // clang-format on
        };
        for (const auto &c : cases) {
            NoteMakerFixture f;
            f.window->NoteEdit->setPlainText(u"before"_s);
            bool stayedOpen = false;
            const QStringList said = throughTheWizard(f, [&](BillForm *wizard) {
                wizard->Text1->setText(QString::fromLatin1(c.payee));
                wizard->DTPicker1->setDate(QDate(2026, 12, 4).addDays(c.dueInDays));
                wizard->Text2->setText(QString::fromLatin1(c.advance));
                wizard->Command1->click();
                stayedOpen = wizard->isVisible();
                if (stayedOpen)
                    wizard->Command2->click();
            });
            QCOMPARE(said, c.messages);
            QCOMPARE(f.billDate, c.billDate);
            QCOMPARE(stayedOpen, c.billDate.isEmpty());
            QCOMPARE(f.window->NoteEdit->toPlainText(),
                     c.billDate.isEmpty() ? u"before"_s : QString::fromLatin1(c.payee));
        }
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
