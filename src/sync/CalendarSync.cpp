#include "sync/CalendarSync.h"

#include "calendar/CalendarImport.h"
#include "calendar/CalendarReader.h"
#include "calendar/CalendarWriter.h"
#include "core/scheduler/Recurrence.h"
#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"
#include "core/store/SoundNames.h"
#include "core/store/TextForms.h"
#include "core/system/Clock.h"
#include "sync/CalendarFolder.h"

#include <QCryptographicHash>
#include <QSet>
#include <QUuid>

namespace {

const QString kOurs = QStringLiteral("ours");
const QString kTheirs = QStringLiteral("theirs");
const QString kEvent = QStringLiteral("event");
const QString kUnreadableSection = CalendarSync::kSeenSection + QStringLiteral("\\Unreadable");
const QChar kTab = QLatin1Char('\t');

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

// What a reminder says, for telling whether it changed since the last merge.
QByteArray digestOf(const QString &day, const ReminderRecord &r)
{
    return digest(
        QStringList({day, r.time, r.recurrence, r.sound, r.reminder}).join(QChar(0)).toUtf8());
}

QString stampOf(const CalendarFolder::Entry &e)
{
    return QString::number(e.size) + kTab + QString::number(e.modified);
}

// The UID a file's items share: an instance's own is its series'.
QString baseUid(const QString &uid)
{
    return uid.section(QStringLiteral(";RECURRENCE-ID="), 0, 0);
}

// A reminder the program gives the item of a file, or why it gives none.
struct Mapped {
    QString uid;
    QString kind;                         // ours, theirs or event
    std::optional<LiveReminder> reminder; // none: nothing to remind of now
    bool ahead = false;                   // its moment is still to come
    QString problem;                      // not empty: the item cannot be taken
};

Mapped mapped(const CalendarReader::Result &read, const QDateTime &now)
{
    Mapped m;
    if (!read.isCalendar)
        m.problem = QStringLiteral("not an iCalendar file");
    else if (!read.refusal.isEmpty())
        m.problem = read.refusal;
    if (!m.problem.isEmpty())
        return m;
    if (read.items.isEmpty()) {
        m.problem = read.skipped.isEmpty() ? QStringLiteral("it holds no event or to-do")
                                           : QStringLiteral("its item is ") +
                                                 CalendarImport::skipText(read.skipped.first());
        if (read.skipped.value(0) == CalendarSkip::Cancelled)
            m.problem.clear(); // a cancelled item: nothing to remind of, nothing wrong
        return m;
    }
    m.uid = baseUid(read.items.first().uid);
    if (m.uid.isEmpty()) {
        m.problem = QStringLiteral("its item has no UID");
        return m;
    }
    // The item of the UID whose moment comes first from now on (or the last one).
    const CalendarItem *chosen = nullptr;
    bool alarmed = false, ours = false;
    const auto momentOf = [](const CalendarItem &i) {
        return QDateTime(i.day, i.time.isValid() ? i.time : QTime(0, 0), Qt::UTC);
    };
    const QDateTime wallNow(now.date(), now.time(), Qt::UTC);
    for (const CalendarItem &i : read.items) {
        if (baseUid(i.uid) != m.uid)
            continue;
        alarmed |= i.alarmed;
        ours |= i.ours;
        const bool ahead = momentOf(i) > wallNow;
        if (!chosen || (ahead && (momentOf(*chosen) <= wallNow || momentOf(i) < momentOf(*chosen))))
            chosen = &i;
    }
    m.kind = !alarmed ? kEvent : ours ? kOurs : kTheirs;
    if (!alarmed)
        return m;
    m.ahead = TextForms::minutesBetween(wallNow, momentOf(*chosen)) > 0;
    // A one-time item answered at or after its moment is done.
    const QDateTime answered = chosen->acknowledged.toLocalTime();
    if (Recurrence::isOneTime(chosen->recurrence) && chosen->acknowledged.isValid() &&
        QDateTime(answered.date(), answered.time(), Qt::UTC) >= momentOf(*chosen))
        return m;
    const auto note = ScrambleText(chosen->note, QStringLiteral("1"));
    if (chosen->note.isEmpty() || !note) {
        m.problem = chosen->note.isEmpty() ? QStringLiteral("its item has no note")
                                           : QStringLiteral("its note holds a character a "
                                                            "reminder cannot keep");
        return m;
    }
    LiveReminder r;
    r.day = TextForms::dayKey(chosen->day);
    r.record = {*note, chosen->sound.isEmpty() ? SoundNames::kNotChosen : chosen->sound,
                TextForms::trimBlanks(chosen->recurrence),
                chosen->time.isValid() ? TextForms::timeText(chosen->time) : QString(), m.uid};
    m.reminder = r;
    return m;
}

} // namespace

// What the last merge saw of one UID, kept in the store as one value.
struct CalendarSync::Seen {
    QString kind; // ours, theirs or event
    QString file;
    qint64 size = 0, modified = 0;
    QByteArray fileDigest;
    QByteArray storeDigest; // of its reminder; empty when it has none

    QString text() const
    {
        return QStringList({kind, QString::number(size), QString::number(modified),
                            QString::fromLatin1(fileDigest), QString::fromLatin1(storeDigest),
                            file})
            .join(kTab);
    }
    static std::optional<Seen> parse(const QString &text)
    {
        const QStringList f = text.split(kTab);
        if (f.size() < 6)
            return std::nullopt;
        return Seen{f[0],
                    f.mid(5).join(kTab),
                    f[1].toLongLong(),
                    f[2].toLongLong(),
                    f[3].toLatin1(),
                    f[4].toLatin1()};
    }
    bool sameFile(const CalendarFolder::Entry &e) const
    {
        return e.name == file && e.size == size && e.modified == modified;
    }
};

// An item file of this merge: unchanged since the last one, or read afresh.
struct CalendarSync::FolderItem {
    CalendarFolder::Entry entry;
    bool changed = false;
    QByteArray digest;
    Mapped item;
};

// What the store holds for the merge: what the last merge saw, the files it
// could not read, every reminder by its UID; and the store's version then.
struct CalendarSync::StoreSide {
    QString folder;
    qint64 version = -1;
    QHash<QString, Seen> seen;
    QHash<QString, QString> uidOfFile; // the files the last merge read, and the UID each held
    QHash<QString, QString> unreadable;
    QHash<QString, LiveReminder> stored;
    QHash<QString, QByteArray> storeDigests; // by UID
};

bool CalendarSync::readStoreSide(StoreSide &side)
{
    SettingsStore &settings = m_store.settingsStore();
    const auto seenValues = settings.listValues(kSeenSection);
    const auto unreadableValues = settings.listValues(kUnreadableSection);
    auto live = m_store.allLiveReminders();
    if (!seenValues || !unreadableValues || !live)
        return false;
    for (const StoreValue &v : *seenValues)
        if (const auto s = Seen::parse(v.value)) {
            side.seen.insert(v.name, *s);
            side.uidOfFile.insert(s->file, v.name);
        }
    for (const StoreValue &v : *unreadableValues)
        side.unreadable.insert(v.name, v.value);
    // Every reminder named by a UID of its own, given now to those without one.
    QList<LiveReminder> named;
    for (LiveReminder &r : *live) {
        if (r.record.uid.isEmpty() || side.stored.contains(r.record.uid)) {
            const bool second = !r.record.uid.isEmpty();
            r.record.uid = QUuid::createUuid().toString(QUuid::WithoutBraces) +
                           QStringLiteral("@pingalo-vantor");
            named.append(r);
            if (second)
                continue; // a second reminder under one UID keeps it until the next merge
        }
        side.stored.insert(r.record.uid, r);
        side.storeDigests.insert(r.record.uid, digestOf(r.day, r.record));
    }
    if (!named.isEmpty() && !m_store.keepUids(named))
        return false;
    const auto version = settings.version();
    side.version = version.value_or(-1);
    return true;
}

QStringList CalendarSync::Report::lines() const
{
    QStringList out;
    const auto count = [&out](int n, const char *one, const char *many) {
        if (n > 0)
            out << QString::fromLatin1(n == 1 ? one : many).arg(n);
    };
    count(added, "Added %1 reminder from the calendar folder.",
          "Added %1 reminders from the calendar folder.");
    count(changed, "Changed %1 reminder as its item changed.",
          "Changed %1 reminders as their items changed.");
    count(removed, "Removed %1 reminder whose item went.",
          "Removed %1 reminders whose items went.");
    count(written, "Wrote %1 item to the calendar folder.",
          "Wrote %1 items to the calendar folder.");
    count(deleted, "Deleted %1 item from the calendar folder.",
          "Deleted %1 items from the calendar folder.");
    for (const QString &p : problems)
        out << QStringLiteral("Skipped ") + p;
    return out;
}

CalendarSync::CalendarSync(ReminderStore &store, ProgramSettings &settings)
    : m_store(store)
    , m_settings(settings)
{
}

CalendarSync::~CalendarSync() = default;

std::optional<QString> CalendarSync::folder() const
{
    const QString path = m_settings.calendarFolder().value_or(QString());
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

bool CalendarSync::setFolder(const QString &path, QString *error)
{
    if (!path.isEmpty() && !CalendarFolder(path).create(error))
        return false;
    SettingsStore &store = m_store.settingsStore();
    const bool set = store.transaction(
        [&] { return store.deleteSection(kSeenSection) && m_settings.setCalendarFolder(path); });
    if (!set)
        *error = QStringLiteral("the store refused the setting");
    return set;
}

CalendarSync::Report CalendarSync::merge()
{
    return run(QString(), QDateTime());
}

CalendarSync::Report CalendarSync::acknowledge(const QString &uid, const QDateTime &when)
{
    const auto path = folder();
    if (!path)
        return Report();
    // Another program's item keeps all it says; only its alarm is marked.
    const CalendarFolder dir(*path);
    const auto seen =
        Seen::parse(m_store.settingsStore().get(kSeenSection, uid).value_or(QString()));
    if (seen && seen->kind == kTheirs) {
        QString error;
        const auto text = dir.read(seen->file, &error);
        const QByteArray marked = text ? CalendarWriter::acknowledge(*text, when) : QByteArray();
        if (!marked.isEmpty())
            dir.write(seen->file, marked, &error);
    }
    return run(uid, when);
}

CalendarSync::Report CalendarSync::run(const QString &answeredUid, const QDateTime &answeredAt)
{
    Report report;
    const auto path = folder();
    if (!path)
        return report;
    report.on = true;
    const CalendarFolder dir(*path);
    const auto files = dir.list();
    if (!files) {
        report.folderThere = false;
        return report;
    }
    SettingsStore &settings = m_store.settingsStore();
    const auto version = settings.version();
    if (answeredUid.isEmpty() && m_quiet && version && m_quiet->version == *version &&
        m_quiet->folder == *path && m_quiet->files == *files) {
        report.problems = m_quiet->problems;
        return report;
    }
    m_quiet.reset();
    // The store's side, read afresh only when the store changed since the last merge.
    if (!m_cache || !version || m_cache->version != *version || m_cache->folder != *path) {
        m_cache.reset();
        auto fresh = std::make_unique<StoreSide>();
        if (!readStoreSide(*fresh))
            return report;
        fresh->folder = *path;
        m_cache = std::move(fresh);
    }
    const QHash<QString, Seen> &seen = m_cache->seen;
    const QHash<QString, LiveReminder> &stored = m_cache->stored;
    const QHash<QString, QString> &unreadable = m_cache->unreadable; // file -> stamp and reason
    const QHash<QString, QString> &uidOfFile = m_cache->uidOfFile;
    const QDateTime now = Clock::now();

    // The folder: files unchanged since the last merge are not read.
    QHash<QString, FolderItem> inFolder;
    QHash<QString, QString> stillUnreadable;
    for (const CalendarFolder::Entry &e : *files) {
        const QString known = uidOfFile.value(e.name);
        if (!known.isEmpty() && seen.value(known).sameFile(e)) {
            inFolder.insert(known, {e, false, seen.value(known).fileDigest, {}});
            continue;
        }
        const auto keepKnown = [&] { // a known item's file that cannot be read keeps all it gave
            if (!known.isEmpty())
                inFolder.insert(known, {e, false, seen.value(known).fileDigest, {}});
        };
        const QString said = unreadable.value(e.name);
        if (said.section(kTab, 0, 1) == stampOf(e)) {
            stillUnreadable.insert(e.name, said);
            report.problems << e.name + QStringLiteral(": ") + said.section(kTab, 2);
            keepKnown();
            continue;
        }
        QString error;
        const auto content = dir.read(e.name, &error);
        const QByteArray fileDigest = content ? digest(*content) : QByteArray();
        if (content && !known.isEmpty() && seen.value(known).fileDigest == fileDigest) {
            inFolder.insert(known, {e, false, fileDigest, {}}); // touched, not changed
            continue;
        }
        Mapped item;
        if (content)
            item = mapped(CalendarReader::read(*content, now), now);
        else
            item.problem = error;
        if (item.uid.isEmpty() && item.problem.isEmpty())
            item.problem = QStringLiteral("it holds no reminder the program can read");
        if (!item.problem.isEmpty() || inFolder.contains(item.uid)) {
            if (item.problem.isEmpty())
                item.problem = QStringLiteral("its UID is another file's too");
            const QString entry = stampOf(e) + kTab + item.problem;
            stillUnreadable.insert(e.name, entry);
            report.problems << e.name + QStringLiteral(": ") + item.problem;
            report.fresh << report.problems.last();
            keepKnown();
            continue;
        }
        inFolder.insert(item.uid, {e, true, fileDigest, item});
    }

    // Each UID of either side, and what the last merge saw of it.
    QSet<QString> uids(seen.keyBegin(), seen.keyEnd());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        uids.insert(it.key());
    for (auto it = inFolder.cbegin(); it != inFolder.cend(); ++it)
        uids.insert(it.key());

    QList<std::pair<LiveReminder, std::optional<LiveReminder>>> replaced; // store: old, new
    QList<LiveReminder> added;
    QHash<QString, std::optional<Seen>> nowSeen; // what changes in the section
    QSet<QString> namesTaken;
    for (const CalendarFolder::Entry &e : *files)
        namesTaken.insert(e.name);

    const auto writeOurs = [&](const QString &uid, const LiveReminder &r, const Seen *was) {
        QString name = was && !was->file.isEmpty() ? was->file : CalendarFolder::fileNameFor(uid);
        if (!was || was->file.isEmpty())
            for (int n = 2; namesTaken.contains(name); ++n)
                name = CalendarFolder::fileNameFor(uid).chopped(4) + QLatin1Char('-') +
                       QString::number(n) + QStringLiteral(".ics");
        const QByteArray text =
            CalendarWriter::item(r, now, uid == answeredUid ? answeredAt : QDateTime());
        QString error;
        std::optional<CalendarFolder::Entry> written;
        if (!text.isEmpty() && dir.write(name, text, &error))
            written = dir.entry(name);
        if (!written) {
            report.problems << name + QStringLiteral(": cannot be written: ") + error;
            report.fresh << report.problems.last();
            return;
        }
        namesTaken.insert(name);
        ++report.written;
        nowSeen[uid] = Seen{
            kOurs, name, written->size, written->modified, digest(text), digestOf(r.day, r.record)};
    };

    for (const QString &uid : std::as_const(uids)) {
        const auto seenAt = seen.constFind(uid);
        const auto storedAt = stored.constFind(uid);
        const auto fileAt = inFolder.constFind(uid);
        const Seen *was = seenAt != seen.cend() ? &*seenAt : nullptr;
        const LiveReminder *inStore = storedAt != stored.cend() ? &*storedAt : nullptr;
        const FolderItem *file = fileAt != inFolder.cend() ? &*fileAt : nullptr;
        const QByteArray storeDigest = m_cache->storeDigests.value(uid);
        const bool storeChanged = inStore && (!was || was->storeDigest != storeDigest);
        const bool storeGone = was && !was->storeDigest.isEmpty() && !inStore;

        if (file && file->changed) {
            const Mapped &item = file->item;
            if (storeChanged && was && was->kind == kOurs && item.kind == kOurs) {
                writeOurs(uid, *inStore, was); // both changed: the store's change is the later
                continue;
            }
            // The folder's change wins: the reminder follows its item.
            std::optional<LiveReminder> target = item.reminder;
            if (target && !inStore && !storeGone && !item.ahead && was)
                target
                    .reset(); // a known item whose moment passed unanswered, gone here: stays gone
            if (target && !inStore && !was && !item.ahead)
                target.reset(); // a new item in the past is not a reminder now
            const QByteArray targetDigest =
                target ? digestOf(target->day, target->record) : QByteArray();
            if (inStore && targetDigest != storeDigest) {
                replaced.append({*inStore, target});
                ++(target ? report.changed : report.removed);
            } else if (!inStore && target) {
                added.append(*target);
                ++report.added;
            }
            nowSeen[uid] =
                Seen{item.kind,    file->entry.name, file->entry.size, file->entry.modified,
                     file->digest, targetDigest};
        } else if (file) {
            Seen next = *was;
            next.size = file->entry.size;
            next.modified = file->entry.modified;
            if (storeChanged && was->kind == kOurs) {
                writeOurs(uid, *inStore, was);
                continue;
            }
            if (storeGone && was->kind == kOurs) {
                if (dir.remove(was->file))
                    ++report.deleted;
                nowSeen[uid] = std::nullopt;
                continue;
            }
            next.storeDigest = storeDigest; // theirs: moved on, or dismissed here
            if (next.size != was->size || next.modified != was->modified ||
                next.storeDigest != was->storeDigest)
                nowSeen[uid] = next;
        } else if (was && !was->file.isEmpty()) {
            // Its file went: so does the reminder, unless it changed meanwhile.
            if (storeChanged) {
                writeOurs(uid, *inStore, nullptr);
                continue;
            }
            if (inStore) {
                replaced.append({*inStore, std::nullopt});
                ++report.removed;
            }
            nowSeen[uid] = std::nullopt;
        } else if (inStore) {
            writeOurs(uid, *inStore, nullptr); // new in the store
        } else if (was) {
            nowSeen[uid] = std::nullopt;
        }
    }

    // The files written reach the disk before the store says they are there.
    if (report.written > 0)
        dir.flush();
    // The store and what this merge saw, in one transaction.
    const bool stored_ = settings.transaction([&] {
        for (const auto &[old, target] : std::as_const(replaced)) {
            if (m_store.deleteListed(old.day, old.slot, old.record) ==
                ReminderStore::ListedDelete::Failed)
                return false;
            if (target && !m_store.appendReminder(target->day, target->record))
                return false;
        }
        for (const LiveReminder &r : std::as_const(added))
            if (!m_store.appendReminder(r.day, r.record))
                return false;
        for (auto it = nowSeen.cbegin(); it != nowSeen.cend(); ++it)
            if (!(it.value() ? settings.save(kSeenSection, it.key(), it.value()->text())
                             : settings.deleteValue(kSeenSection, it.key())))
                return false;
        for (auto it = unreadable.cbegin(); it != unreadable.cend(); ++it)
            if (!stillUnreadable.contains(it.key()) &&
                !settings.deleteValue(kUnreadableSection, it.key()))
                return false;
        for (auto it = stillUnreadable.cbegin(); it != stillUnreadable.cend(); ++it)
            if (unreadable.value(it.key()) != it.value() &&
                !settings.save(kUnreadableSection, it.key(), it.value()))
                return false;
        return true;
    });
    if (!stored_)
        report.added = report.changed = report.removed = 0;
    const auto after = settings.version();
    if (stored_ && after && replaced.isEmpty() && added.isEmpty() && nowSeen.isEmpty() &&
        report.written == 0 && report.deleted == 0 && stillUnreadable == unreadable)
        m_quiet = Quiet{*path, *after, *files, report.problems};
    return report;
}
