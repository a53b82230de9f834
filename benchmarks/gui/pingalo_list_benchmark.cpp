// Prints how long the list viewer takes to open on a store of 10,000
// reminders over 365 days, from creating the window to its first painted
// frame (target under 150 ms), and the program's resident memory afterwards.
// The first opening is measured alone, then the median of ten more.
//
//   pingalo_list_benchmark [STORE-FILE]     (default: a fresh file in /tmp)
//
// It needs a display; with none, it runs offscreen.
#include "BenchmarkStore.h"
#include "core/store/SqliteSettingsStore.h"
#include "gui/list/Editor.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <vector>

namespace {

// Resident memory of this process in kB, from /proc/self/status.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Notes when a widget has painted.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Milliseconds from creating the list viewer to the end of its list's first paint.
double openOnce(ReminderStore &store, CountingHost &host, int *rows)
{
    QElapsedTimer t;
    t.start();
    auto *list = new Editor({store, host, [] {}}, nullptr);
    PaintWatch watch;
    list->RList->viewport()->installEventFilter(&watch);
    list->show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the frame the paint belongs to goes out
    const double ms = t.nsecsElapsed() / 1e6;
    *rows = list->RList->model()->rowCount();
    list->RList->viewport()->removeEventFilter(&watch);
    delete list;
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("list.db"));
    QFile::remove(path);
    SqliteSettingsStore settings(path);
    ReminderStore store(settings);
    const QDate first(2027, 1, 1);
    std::printf("filling %s with 10,000 reminders over 365 days...\n", qPrintable(path));
    std::printf("made %d reminders\n",
                fillStore(settings, store, first, TextForms::dayKey(first.addDays(100))));

    CountingHost host;
    const long before = residentKb();
    int rows = 0;
    const double cold = openOnce(store, host, &rows);
    const long closed = residentKb(); // the toolkit's own start-up, paid once
    std::vector<double> warm;
    for (int i = 0; i < 10; ++i)
        warm.push_back(openOnce(store, host, &rows));
    std::sort(warm.begin(), warm.end());
    // Resident memory with the list open, as the user sees it.
    auto *list = new Editor({store, host, [] {}}, nullptr);
    list->show();
    QCoreApplication::processEvents();
    const long open = residentKb();

    std::printf("open the list viewer on %d reminders to its first frame: first %7.1f ms, "
                "median %7.1f ms   (target < 150)\n",
                rows, cold, warm[warm.size() / 2]);
    std::printf("resident memory: %ld kB before the first opening, %ld kB once it was closed, "
                "%ld kB with the list open\n",
                before, closed, open);
    delete list;
    return 0;
}
