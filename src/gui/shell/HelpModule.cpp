#include "gui/shell/HelpModule.h"

#include "core/store/ProgramSettings.h"
#include "core/system/ProgramFiles.h"
#include "gui/shell/HelpWindow.h"

HelpModule::~HelpModule()
{
    delete m_window;
}

QString HelpModule::helpPath() const
{
    const QString locale = m_settings.locale().value_or(QString());
    return m_files.find(locale, kFileName).value_or(ProgramFiles::path(locale, kFileName));
}

void HelpModule::ShowHelpContents()
{
    if (!m_window)
        m_window = new HelpWindow;
    m_window->openFile(helpPath());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

HelpWindow *HelpModule::window() const
{
    return m_window;
}
