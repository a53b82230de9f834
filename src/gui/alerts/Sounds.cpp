#include "gui/alerts/Sounds.h"

#include "core/store/ProgramSettings.h"
#include "core/store/SoundNames.h"
#include "core/system/ProgramFiles.h"
#include "gui/platform/SoundOutput.h"

#include <utility>

QStringList Sounds::names()
{
    return SoundNames::names();
}

bool Sounds::loops(const QString &name)
{
    return name.endsWith(QLatin1String("LOOP"));
}

QString Sounds::file(const QString &name)
{
    return QStringLiteral("snds/") + name + QStringLiteral(".wav");
}

QStringList Sounds::playableNames() const
{
    const QString locale = m_settings.locale().value_or(QString());
    QStringList playable;
    for (const QString &name : names())
        if (m_files.find(locale, file(name)))
            playable.append(name);
    return playable;
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
    const auto found = m_files.find(locale, file(name));
    // The one miss said is kept for a sound the user chose.
    if (!found && name != SoundNames::kNotChosen && !std::exchange(m_missSaid, true)) {
        QStringList tried;
        for (const QString &folder : m_files.folders(locale))
            tried << ProgramFiles::path(folder, file(name));
        qWarning("pingalo: the sound %s is not at %s; the bell rings instead", qPrintable(name),
                 qPrintable(tried.join(QStringLiteral(", "))));
    }
    // A file that is not there rings the bell.
    m_output.play(found.value_or(ProgramFiles::path(locale, file(name))), loops(name));
}
