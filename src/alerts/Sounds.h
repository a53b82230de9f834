#pragma once

#include <QString>
#include <QStringList>

class ProgramSettings;
class SoundOutput;

// The one way the program plays, loops and stops reminder sounds. A sound is
// named by a word; the wave file is <Locale>/snds/<name>.wav, and a name that
// ends in "LOOP" (upper case) plays until stopped. "No Sound" does nothing,
// "Stop Loop" stops whatever plays.
class Sounds {
public:
    static inline const QString kNoSound = QStringLiteral("No Sound");
    static inline const QString kStopLoop = QStringLiteral("Stop Loop");

    // The sounds offered to the user, in list order ("No Sound" not included).
    static QStringList names();
    static bool loops(const QString &name);
    static QString path(const QString &locale, const QString &name);

    Sounds(ProgramSettings &settings, SoundOutput &output)
        : m_settings(settings)
        , m_output(output)
    {
    }

    void PlayReminderSound(const QString &name);

private:
    ProgramSettings &m_settings;
    SoundOutput &m_output;
};
