// The note maker's Settings menu: the start-up item, the missed-reminder days
// and password protection switched on and off.
#include "ModalHelpers.h"
#include "NoteMakerFixture.h"
#include "TestRegistry.h"
#include "authoring/SettingsMenu.h"
#include "password/PassFormCreate.h"

using B = QMessageBox::StandardButton;

class TstSettingsMenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void missedReminderDays()
    {
        NoteMakerFixture f;
        // Types the answers (then cancels), presses the buttons; gives what each box said.
        const auto ask = [&](const QStringList &typed, const QList<B> &buttons = {}) {
            MessageRecorder dialogs;
            dialogs.inputs = typed;
            dialogs.buttons = buttons;
            f.window->settingsMenu()->OutDRem->trigger();
            QStringList said;
            for (const auto &m : dialogs.messages)
                said << (m.icon == QMessageBox::NoIcon ? m.title + u':' + m.preset : m.text);
            return said;
        };
        QCOMPARE(ask({u"30"_s}), QStringList({u"Pingalo! Vantor:14"_s}));
        for (const auto &[typed, stored] :
             {std::pair{u"7 days"_s, u"7"_s}, {u"2.50"_s, u"2.5"_s}, {u"007"_s, u"7"_s}}) {
            ask({typed});
            QCOMPARE(*f.program.checkMissed(), stored);
        }
        // Out of range: OK asks again with the stored value; an empty answer, or Cancel, ends it.
        const QString range = SettingsMenu::kMissedRange, again = u"Pingalo! Vantor:7"_s;
        QCOMPARE(ask({u"0"_s, u"31"_s, u"-3"_s, u"days"_s, u""_s}, {B::Ok, B::Ok, B::Ok, B::Ok}),
                 QStringList({again, range, again, range, again, range, again, range, again}));
        QCOMPARE(ask({u"31"_s}, {B::Cancel}), QStringList({again, range}));
        QCOMPARE(*f.program.checkMissed(), u"7"_s);
    }

    void startUpAndPasswordProtection()
    {
        NoteMakerFixture f;
        SettingsMenu *menu = f.window->settingsMenu();
        menu->StartupItem->trigger();
        QCOMPARE(*f.program.startUp(), u"True"_s);
        menu->StartupItem->trigger();
        QCOMPARE(*f.program.startUp(), u"False"_s);

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
        menu->EnablePassItem->trigger();
        QVERIFY(!menu->EnablePassItem->isChecked() && !menu->SetPassItem->isEnabled() &&
                !f.lockItem.isEnabled());
        QVERIFY(f.store.listValues(u"Settings"_s)->contains(StoreValue{u"Last"_s, u""_s}));

        // A password stored meanwhile: switched on, the item is just checked.
        f.program.setStoredPassword(*ScrambleText(u"pw"_s, u"1"_s));
        menu->EnablePassItem->trigger();
        QVERIFY(menu->EnablePassItem->isChecked() && menu->SetPassItem->isEnabled());
        // A note maker opened now shows both marks.
        f.program.setStartUp(true);
        f.window->close();
        f.open();
        menu = f.window->settingsMenu();
        QVERIFY(menu->StartupItem->isChecked() && menu->EnablePassItem->isChecked());
    }
};

PINGALO_TEST(TstSettingsMenu)
#include "tst_settingsmenu.moc"
