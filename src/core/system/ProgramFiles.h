#pragma once

#include <QStringList>
#include <optional>

// Where the files that come with the program are found: a sound
// ("snds/BEEP.wav") or the help file. Each is looked for in the "Locale"
// folder first, so that a user's own files there win, then in the installed
// data folder, then in the folder that holds the program (the run folder of a
// build); the first folder that holds it wins. Nothing is remembered: a file
// put in place while the program runs is found at its next use.
class ProgramFiles {
public:
    ProgramFiles(QString dataFolder, QString programFolder);

    // `file` in `folder`, whether it is there or not. A folder that is the
    // empty text (no "Locale" known) stands for the root.
    static QString path(const QString &folder, const QString &file);

    // The folders looked in, in order, when "Locale" is `locale`.
    QStringList folders(const QString &locale) const;
    // `file` in the first of those folders that holds it; nullopt when none does.
    std::optional<QString> find(const QString &locale, const QString &file) const;

private:
    QString m_dataFolder;
    QString m_programFolder;
};
