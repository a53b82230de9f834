#include "alerts/Sounds.h"

#include "alerts/SoundNames.h"
#include "platform/SoundOutput.h"
#include "store/ProgramSettings.h"

QStringList Sounds::names()
{
    return SoundNames::names();
}

bool Sounds::loops(const QString &name)
{
    return name.endsWith(QLatin1String("LOOP"));
}

QString Sounds::path(const QString &locale, const QString &name)
{
    return locale + QStringLiteral("/snds/") + name + QStringLiteral(".wav");
}

void Sounds::PlayReminderSound(const QString &name)
{
    const QString locale = m_settings.locale().value_or(QString());
    if (name == kNoSound)
        return;
    if (name == kStopLoop) {
        m_output.stop();
        return;
    }
    m_output.play(path(locale, name), loops(name));
}
