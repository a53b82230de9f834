#pragma once

#include <QPointer>

class HelpWindow;
class ProgramSettings;

// Opens the help file "Pingalo_Help.chm" of the "Locale" folder in the
// program's help window; a file that is missing or damaged makes the window
// say so. One help window serves the whole run.
class HelpModule {
public:
    static inline const QString kFileName = QStringLiteral("Pingalo_Help.chm");

    explicit HelpModule(ProgramSettings &settings)
        : m_settings(settings)
    {
    }
    ~HelpModule();

    void ShowHelpContents();
    // The path the help is looked for at: "Locale" + "/Pingalo_Help.chm".
    QString helpPath() const;
    HelpWindow *window() const;

private:
    ProgramSettings &m_settings;
    QPointer<HelpWindow> m_window;
};
