// Pingalo! Vantor: a reminder program that lives in the notification area.
#include "platform/LazySoundOutput.h"
#include "platform/ProgramFiles.h"
#include "platform/SingleInstance.h"
#include "platform/SleepWatcher.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/UnixSignals.h"
#include "scheduler/Scheduler.h"
#include "shell/AForm.h"
#include "shell/ProgramPictures.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "pingalo: there is no display to show the tray icon on; without a desktop, "
                     "try: xvfb-run -a sh -c 'trayer & sleep 1; exec %s'\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pingalo"));
    QApplication::setApplicationVersion(QStringLiteral(PINGALO_VERSION));
    QApplication::setWindowIcon(ProgramPictures::icon());
    // The program lives in the tray: closing its last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    SqliteSettingsStore store(SqliteSettingsStore::defaultPath());
    // The sound player module: beside the program in its run folder, or installed.
    LazySoundOutput sound({QApplication::applicationDirPath(), QStringLiteral(PINGALO_MODULE_DIR)});
    // Sounds and help after "Locale": installed, or beside the program in its run folder.
    const ProgramFiles files(QStringLiteral(PINGALO_DATA_DIR), QApplication::applicationDirPath());
    AForm form({store, sound, files, QApplication::arguments().mid(1).join(QLatin1Char(' ')),
                SingleInstance::defaultFolder()});
    QObject::connect(&form, &AForm::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    UnixSignals signals_;
    QObject::connect(&signals_, &UnixSignals::terminationRequested, &form, &AForm::Form_Unload);
    // On waking, the due check catches up at once with what the sleep skipped.
    SleepWatcher sleep;
    QObject::connect(&sleep, &SleepWatcher::woke, &form.scheduler(), &Scheduler::catchUp);
    QTimer::singleShot(0, &form, &AForm::Form_Load);
    return app.exec();
}
