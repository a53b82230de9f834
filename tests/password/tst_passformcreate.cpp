// The window that sets the password: every refusal with its focus, and what
// a save stores.
#include "ModalHelpers.h"
#include "TestRegistry.h"
#include "password/PassFormCreate.h"
#include "platform/MemorySettingsStore.h"
#include "store/ProgramSettings.h"
#include "store/ScrambleText.h"

#include <QLineEdit>
#include <QPushButton>

class TstPassFormCreate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusalsAndSaves()
    {
        struct Case {
            QString stored, current, newA, newB, said, focus; // no focus: saved
        };
        const QString none = u"You must enter a password."_s,
                      saved = u"Your password has been saved."_s;
        // clang-format off
        const Case cases[] = {
            {u""_s,    u""_s,    u""_s,        u""_s,        none, u"NewPassA"_s},
            {u""_s,    u""_s,    u"pw"_s,      u""_s,        none, u"NewPassB"_s},
            {u""_s,    u"x"_s,   u"pw"_s,      u"pw"_s,      u"Current password not required."_s, u"NewPassA"_s},
            {u"old"_s, u""_s,    u"pw"_s,      u"pw"_s,      u"You must enter your current password."_s, u"CurrentPass"_s},
            {u"old"_s, u"Old"_s, u"pw"_s,      u"pw"_s,      u"The password you entered is invalid. Please try again."_s, u"CurrentPass"_s},
            {u"old"_s, u"old"_s, u"pw"_s,      u"PW"_s,      u"The passwords you entered do not match."_s, u"NewPassB"_s},
            {u""_s,    u""_s,    u"a\u2603"_s, u"a\u2603"_s, u"The new password holds \"\u2603\", a character that Pingalo! cannot store in a password. Please choose a password without it."_s, u"NewPassA"_s},
            {u""_s,    u""_s,    u"pw"_s,      u"pw"_s,      saved, {}},
            {u"old"_s, u"old"_s, u"  "_s,      u"  "_s,      saved, {}}};
        // clang-format on
        for (const Case &c : cases) {
            MemorySettingsStore store;
            ProgramSettings settings(store);
            settings.setStoredPassword(*ScrambleText(c.stored, u"1"_s));
            QWidget owner;
            auto *w = new PassFormCreate(settings, &owner);
            w->show();
            w->CurrentPass->setText(c.current);
            w->NewPassA->setText(c.newA);
            w->NewPassB->setText(c.newB);
            MessageRecorder messages;
            w->Command1->click();
            QCOMPARE(messages.texts(), QStringList({c.said}));
            // A save replaces the password and closes the window; a refusal changes nothing.
            const QString now = c.focus.isEmpty() ? c.newA : c.stored;
            QCOMPARE(*settings.storedPassword(), *ScrambleText(now, u"1"_s));
            QCOMPARE(w->isVisible() ? w->focusWidget()->objectName() : QString(), c.focus);
        }
    }
};

PINGALO_TEST(TstPassFormCreate)
#include "tst_passformcreate.moc"
