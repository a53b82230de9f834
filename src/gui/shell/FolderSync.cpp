#include "gui/shell/FolderSync.h"

#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "gui/platform/MessageBoxes.h"

#include <QDir>
#include <QFileDialog>
#include <cstdio>

FolderSync::FolderSync(ReminderStore &store, ProgramSettings &settings,
                       std::function<bool()> mayMerge, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_sync(store, settings)
    , m_settings(settings)
    , m_mayMerge(std::move(mayMerge))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(300);
    connect(&m_soon, &QTimer::timeout, this, &FolderSync::mergeNow);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_soon,
            qOverload<>(&QTimer::start));
    store.setChangeListener([this] { m_soon.start(); });
    watch();
}

FolderSync::~FolderSync()
{
    m_store.setChangeListener({});
}

void FolderSync::mergeNow()
{
    if (!m_mayMerge())
        return;
    said(m_sync.merge());
    m_soon.stop(); // the merge's own writes to the store call for no other
    watch();
}

void FolderSync::answered(const LiveReminder &due)
{
    if (due.record.uid.isEmpty() || !m_mayMerge())
        return;
    const QDateTime moment(TextForms::parseDate(due.day).value_or(QDate()),
                           TextForms::parseTime(due.record.time).value_or(QTime(0, 0)));
    said(m_sync.acknowledge(due.record.uid, std::max(Clock::now(), moment)));
    m_soon.stop();
}

bool FolderSync::choose(QWidget *owner)
{
    if (m_settings.hasPassword() && !MessageBoxes::okCancel(owner, kPlainText))
        return m_sync.folder().has_value();
    QFileDialog dialog(owner, QStringLiteral("Pingalo! - Calendar Folder"),
                       m_sync.folder().value_or(QDir::homePath()));
    dialog.setObjectName(QStringLiteral("CalendarFolderDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    const QString chosen = dialog.exec() ? dialog.selectedFiles().value(0) : QString();
    QString error;
    if (!m_sync.setFolder(chosen, &error))
        MessageBoxes::exclamation(
            owner, QStringLiteral("Pingalo! cannot use %1 as its calendar folder: %2.")
                       .arg(QDir::toNativeSeparators(chosen), error));
    mergeNow();
    return m_sync.folder().has_value();
}

void FolderSync::said(const CalendarSync::Report &report)
{
    for (const QString &problem : report.fresh)
        std::fprintf(stderr, "pingalo: calendar folder: skipped %s\n", qPrintable(problem));
}

void FolderSync::watch()
{
    const QString folder = m_sync.folder().value_or(QString());
    const QStringList watched = m_watcher.directories();
    if (watched == QStringList(folder) || (folder.isEmpty() && watched.isEmpty()))
        return;
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (!folder.isEmpty())
        m_watcher.addPath(folder); // a folder not there yet is watched once a merge finds it
}
