// The reminder window: its look, and that every way of dismissing it stops
// the sound, ends the modal showing and lets the scheduler run again.
#include "ModalHelpers.h"
#include "RecordingSoundOutput.h"
#include "TestRegistry.h"
#include "alerts/Reminders.h"
#include "alerts/Sounds.h"
#include "platform/MemorySettingsStore.h"
#include "store/ProgramSettings.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TstReminderWindow : public QObject {
    Q_OBJECT

    MemorySettingsStore m_store;
    ProgramSettings m_settings{m_store};
    RecordingSoundOutput m_output;
    Sounds m_sounds{m_settings, m_output};
    QTimer m_timer;
    QWidget m_owner;

private Q_SLOTS:
    void itLooksAsItShould() {
        Reminders window(m_sounds, m_timer, &m_owner);
        QCOMPARE(window.windowTitle(), u"Pingalo! Vantor - Reminder"_s);
        QCOMPARE(window.size(), QSize(305, 209));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.Frame1->title(), u"Current Reminder"_s);
        QCOMPARE(window.Frame1->geometry(), QRect(8, 8, 289, 159));
        QCOMPARE(window.ReminderText->geometry(), QRect(8, 16, 273, 134));
        QCOMPARE(window.Reminded->geometry(), QRect(120, 176, 65, 25));
        QCOMPARE(window.Reminded->text(), u"&OK"_s);
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // no task-bar entry
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(window.ReminderText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void everyDismissalDoesWhatOkDoes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << u"ok"_s;
        QTest::newRow("Escape") << u"escape"_s;
        QTest::newRow("close box") << u"close"_s;
        QTest::newRow("Enter") << u"enter"_s;
    }

    void everyDismissalDoesWhatOkDoes() {
        QFETCH(QString, how);
        Reminders window(m_sounds, m_timer, &m_owner);
        for (const QString &note : {u"first"_s, u"second"_s}) {
            m_output.calls.clear();
            m_timer.stop();
            window.ReminderText->setPlainText(note);
            bool seen = false;
            whenModal<Reminders>([&](Reminders *shown) {
                seen = shown == &window && shown->ReminderText->toPlainText() == note;
                QVERIFY(shown->isModal());
                if (how == QLatin1String("ok"))
                    shown->Reminded->click();
                else if (how == QLatin1String("escape"))
                    QTest::keyClick(shown, Qt::Key_Escape);
                else if (how == QLatin1String("enter"))
                    QTest::keyClick(shown->Reminded, Qt::Key_Return);
                else
                    shown->close();
            });
            window.exec();
            QVERIFY(seen);
            QVERIFY(!window.isVisible());
            QCOMPARE(m_output.calls, QStringList({u"stop"_s}));
            QVERIFY(m_timer.isActive());
        }
    }
};

PINGALO_TEST(TstReminderWindow)
#include "tst_reminderwindow.moc"
