// pingalo-ctl's calendar folder: the sync command, and the folder following
// every command that changes the reminders.
#include "core/store/ProgramSettings.h"
#include "core/store/ReminderStore.h"
#include "ctl/Ctl.h"
#include "sync/CalendarSync.h"

#include <QCommandLineParser>
#include <QFileInfo>

void Ctl::mirror()
{
    ReminderStore store(m_settings);
    ProgramSettings settings(m_settings);
    const CalendarSync::Report report = CalendarSync(store, settings).merge();
    for (const QString &problem : report.fresh)
        m_io.err.write(
            (QStringLiteral("pingalo-ctl: calendar folder: skipped ") + problem + QLatin1Char('\n'))
                .toUtf8());
}

int Ctl::sync(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption folderOption(QStringLiteral("folder"), QString(),
                                          QStringLiteral("DIR"));
    const QCommandLineOption offOption(QStringLiteral("off"));
    parser.addOptions({passwordStdinOption(), folderOption, offOption});
    if (const int parsed = parse(parser, QStringLiteral("sync"), arguments); parsed != Done)
        return parsed < 0 ? Done : parsed;
    if (!parser.positionalArguments().isEmpty() ||
        (parser.isSet(folderOption) && parser.isSet(offOption)))
        return usage(QStringLiteral("sync"),
                     QStringLiteral("sync takes --folder DIR, or --off, or nothing"));
    if (!passwordGiven(parser))
        return Refused;

    ReminderStore store(m_settings);
    ProgramSettings settings(m_settings);
    CalendarSync sync(store, settings);
    const auto was = sync.folder();
    QString error;
    if (parser.isSet(offOption)) {
        if (!sync.setFolder(QString(), &error))
            return refuse(error);
        say(was ? QStringLiteral("The calendar folder is off; %1 is left as it is.").arg(*was)
                : QStringLiteral("The calendar folder is off."));
        return Done;
    }
    if (parser.isSet(folderOption)) {
        const QString path = QFileInfo(parser.value(folderOption)).absoluteFilePath();
        if (!sync.setFolder(path, &error))
            return refuse(
                QStringLiteral("cannot use %1 as the calendar folder: %2").arg(path, error));
        say(QStringLiteral("The reminders are kept in step with %1.").arg(path));
    }
    const auto folder = sync.folder();
    if (!folder)
        return refuse(QStringLiteral("no calendar folder is set: pingalo-ctl sync --folder DIR "
                                     "sets one"));
    const CalendarSync::Report report = sync.merge();
    if (!report.folderThere)
        return refuse(QStringLiteral("the calendar folder %1 is not there or cannot be read (a "
                                     "disk not mounted?): nothing was done")
                          .arg(*folder));
    const QStringList lines = report.lines();
    for (const QString &line : lines)
        say(line);
    if (lines.isEmpty())
        say(QStringLiteral("Nothing changed."));
    return report.problems.isEmpty() ? Done : Refused;
}
