// The reminder window: every way of dismissing it stops the sound, ends the
// modal showing and lets the scheduler run again.
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
    // Each of OK, Escape, the close box and Enter, twice.
    void everyDismissalDoesWhatOkDoes()
    {
        Reminders window(m_sounds, m_timer, &m_owner);
        for (const QString &how : {u"ok"_s, u"ok"_s, u"escape"_s, u"escape"_s, u"close"_s,
                                   u"close"_s, u"enter"_s, u"enter"_s}) {
            const QString note = u"dismissed with "_s + how;
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
            QVERIFY(seen && !window.isVisible());
            QCOMPARE(m_output.calls, QStringList({u"stop"_s}));
            QVERIFY(m_timer.isActive());
        }
    }
};

PINGALO_TEST(TstReminderWindow)
#include "tst_reminderwindow.moc"
