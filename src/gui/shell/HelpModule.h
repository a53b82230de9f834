#pragma once

#include <QPointer>

class HelpWindow;
class ProgramFiles;
class ProgramSettings;

// Opens the help file "Pingalo_Help.chm" in the program's help window, looked
// for in the "Locale" folder, then the installed data folder, then beside the
// program (ProgramFiles); a file that is missing or damaged makes the window
// say so. One help window serves the whole run.
class HelpModule {
public:
    static inline const QString kFileName = QStringLiteral("Pingalo_Help.chm");

    HelpModule(ProgramSettings &settings, const ProgramFiles &files)
        : m_settings(settings)
        , m_files(files)
    {
    }
    ~HelpModule();

    void ShowHelpContents();
    // The help file where it is found; in the "Locale" folder when nowhere.
    QString helpPath() const;
    HelpWindow *window() const;

private:
    ProgramSettings &m_settings;
    const ProgramFiles &m_files;
    QPointer<HelpWindow> m_window;
};
