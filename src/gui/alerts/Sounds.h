#pragma once

#include <QString>
#include <QStringList>

class ProgramFiles;
class ProgramSettings;
class SoundOutput;

// The one way the program plays, loops and stops reminder sounds. A sound is
// named by a word; its wave file is snds/<name>.wav, looked for in the
// "Locale" folder, then the installed data folder, then beside the program
// (ProgramFiles). A name that ends in "LOOP" (upper case) plays until stopped.
// "No Sound" does nothing, "Stop Loop" stops whatever plays. A sound found
// nowhere rings the bell, and the first such sound of a run says on standard
// error where it was looked for.
class Sounds {
public:
    static inline const QString kNoSound = QStringLiteral("No Sound");
    static inline const QString kStopLoop = QStringLiteral("Stop Loop");

    // The sounds offered to the user, in list order ("No Sound" not included).
    static QStringList names();
    static bool loops(const QString &name);
    // The wave file of a sound, relative to the folder that holds it.
    static QString file(const QString &name);

    Sounds(ProgramSettings &settings, SoundOutput &output, const ProgramFiles &files)
        : m_settings(settings)
        , m_output(output)
        , m_files(files)
    {
    }

    // Those of names() whose file is found now, in list order.
    QStringList playableNames() const;

    void PlayReminderSound(const QString &name);

private:
    ProgramSettings &m_settings;
    SoundOutput &m_output;
    const ProgramFiles &m_files;
    bool m_missSaid = false;
};
