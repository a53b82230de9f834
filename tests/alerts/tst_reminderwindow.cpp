// The reminder window: its look, and that every way of dismissing it stops
// the sound, ends the modal showing and lets the scheduler run again.
#include "ModalHelpers.h"
#include "RecordingSoundOutput.h"
#include "TestRegistry.h"
#include "alerts/Reminders.h"
#include "alerts/Sounds.h"
#include "platform/MemorySettingsStore.h"
#include "platform/ProgramFiles.h"
#include "store/ProgramSettings.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TstReminderWindow : public QObject {
    Q_OBJECT

    MemorySettingsStore m_store;
    ProgramSettings m_settings{m_store};
    RecordingSoundOutput m_output;
    ProgramFiles m_files{QString(), QString()};
    Sounds m_sounds{m_settings, m_output, m_files};
    QTimer m_timer;
    QWidget m_owner;

private Q_SLOTS:
    // Fixed in size, on top of everything, with no task-bar entry and no minimise or
    // maximise button.
    void itStaysOnTop()
    {
        Reminders window(m_sounds, m_timer, &m_owner);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window.ReminderText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void everyDismissalDoesWhatOkDoes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << u"ok"_s;
        QTest::newRow("Escape") << u"escape"_s;
        QTest::newRow("close box") << u"close"_s;
        QTest::newRow("Enter") << u"enter"_s;
    }

    void everyDismissalDoesWhatOkDoes()
    {
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
