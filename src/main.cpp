// Pingalo! Vantor: a reminder program that lives in the notification area.
#include "core/scheduler/Scheduler.h"
#include "core/store/SqliteSettingsStore.h"
#include "core/system/CoreDumps.h"
#include "core/system/ProgramFiles.h"
#include "gui/platform/LazySoundOutput.h"
#include "gui/platform/SingleInstance.h"
#include "gui/platform/SleepWatcher.h"
#include "gui/platform/UnixSignals.h"
#include "gui/shell/AForm.h"
#include "gui/shell/ProgramPictures.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] = "Usage: pingalo [OPTION]\n"
                      "A reminder program that lives in the notification area.\n\n"
                      "  -SU             the start at log-on: no splash, and none at all when\n"
                      "                  \"Pingalo! at Startup\" is off\n"
                      "  --new-reminder  open the note maker (Create New Reminder)\n"
                      "  --list          open the reminder list (View Reminder List)\n"
                      "  --check         check for reminders now (Check Reminders)\n"
                      "  --exit          end the program (Exit)\n"
                      "  --help          show this text\n"
                      "  --version       show the version\n\n"
                      "While the program runs, a new start with one of the four options that\n"
                      "open or do something hands it to the running program.\n";

} // namespace

int main(int argc, char **argv)
{
    CoreDumps::switchOff(); // a crash writes no notes to a core file
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("pingalo " PINGALO_VERSION);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "pingalo: there is no display to show the tray icon on; without a desktop, "
                     "try: xvfb-run -a sh -c 'trayer & sleep 1; exec %s'\n",
                     argv[0]);
        return 1;
    }
    // A Wayland client cannot keep a window above the others, and the
    // reminder window must stay on top: in a Wayland session the program runs
    // through XWayland, unless the user chose a platform.
    const bool throughXWayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                                 !qEnvironmentVariableIsEmpty("DISPLAY") &&
                                 qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (throughXWayland)
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // The web browser the About box opens chooses its own platform.
    if (throughXWayland)
        qunsetenv("QT_QPA_PLATFORM");
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
