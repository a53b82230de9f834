#include "core/store/ReminderStore.h"

#include "core/store/TextForms.h"

#include <QHash>
#include <algorithm>

namespace {

// The slot a section name stands for, when it is written as a slot is: decimal
// digits without a leading zero. Readers look slots up by that text, so
// "03" or "3 " is not slot 3.
std::optional<qint64> slotOfName(QStringView name)
{
    if (name.isEmpty() || name.size() > 15 || name[0] == QLatin1Char('0'))
        return std::nullopt;
    for (QChar c : name)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return name.toLongLong();
}

void setRecordValue(ReminderRecord &record, const QString &name, const QString &value)
{
    if (name == ReminderStore::kReminder)
        record.reminder = value;
    else if (name == ReminderStore::kSound)
        record.sound = value;
    else if (name == ReminderStore::kRecurrance)
        record.recurrence = value;
    else if (name == ReminderStore::kTime)
        record.time = value;
    else if (name == ReminderStore::kUid)
        record.uid = value;
}

// The same reminder, whatever UID either carries.
bool sameValues(ReminderRecord a, const ReminderRecord &b)
{
    a.uid = b.uid;
    return a == b;
}

// The live records among the values of a tree read below the day index, in
// the order of the read: the sections "Reminders\<day>\<slot>" whose
// "Reminder" is not empty. Only the records that exist are looked at, so a
// damaged count of two billion costs nothing.
QList<LiveReminder> liveRecords(const QList<TreeValue> &values)
{
    const qsizetype prefix = ReminderStore::kIndexSection.size() + 1;
    QList<LiveReminder> live;
    QString day;
    for (qsizetype first = 0, end = 0; first < values.size(); first = end) {
        const QString &section = values[first].section;
        for (end = first + 1; end < values.size() && values[end].section == section;)
            ++end;
        const qsizetype slash = section.lastIndexOf(QLatin1Char('\\'));
        if (slash < prefix) // the index or a day section
            continue;
        const auto slot = slotOfName(QStringView(section).mid(slash + 1));
        if (!slot)
            continue;
        ReminderRecord record;
        for (qsizetype i = first; i < end; ++i)
            setRecordValue(record, values[i].name, values[i].value);
        if (record.isHole())
            continue;
        // The slots of one day come together: they share one text of the day.
        const QStringView dayText = QStringView(section).mid(prefix, slash - prefix);
        if (dayText != day)
            day = dayText.toString();
        live.append({day, *slot, std::move(record)});
    }
    return live;
}

void sortBySlot(QList<LiveReminder> &slots)
{
    std::sort(slots.begin(), slots.end(),
              [](const LiveReminder &a, const LiveReminder &b) { return a.slot < b.slot; });
}

} // namespace

QString ReminderStore::daySection(const QString &day)
{
    return kIndexSection + QLatin1Char('\\') + day;
}

QString ReminderStore::recordSection(const QString &day, qint64 slot)
{
    return daySection(day) + QLatin1Char('\\') + QString::number(slot);
}

std::optional<qint64> ReminderStore::numReminders(const QString &day) const
{
    const auto text = m_store.get(daySection(day), kNumReminders);
    if (!text)
        return std::nullopt;
    return TextForms::wholeNumber(*text);
}

std::optional<qint64> ReminderStore::numViewed(const QString &day) const
{
    const auto text = m_store.get(daySection(day), kNumViewed);
    if (!text)
        return std::nullopt;
    return TextForms::wholeNumber(*text);
}

std::optional<ReminderRecord> ReminderStore::readRecord(const QString &day, qint64 slot) const
{
    const auto values = m_store.listValues(recordSection(day, slot));
    if (!values)
        return std::nullopt;
    ReminderRecord record;
    for (const StoreValue &v : *values)
        setRecordValue(record, v.name, v.value);
    if (record.isHole()) // nothing else of a hole is read
        return ReminderRecord();
    return record;
}

std::optional<QList<LiveReminder>> ReminderStore::liveReminders(const QString &day,
                                                                qint64 count) const
{
    QList<LiveReminder> live;
    if (count < 1)
        return live;
    const auto values = m_store.listTree(daySection(day));
    if (!values)
        return std::nullopt;
    for (LiveReminder &slot : liveRecords(*values))
        if (slot.day == day && slot.slot <= count)
            live.append(std::move(slot));
    sortBySlot(live);
    return live;
}

std::optional<QList<LiveReminder>> ReminderStore::allLiveReminders() const
{
    const auto values = m_store.listTree(kIndexSection);
    if (!values)
        return std::nullopt;
    QHash<QString, QList<LiveReminder>> byDay;
    for (LiveReminder &slot : liveRecords(*values))
        byDay[slot.day].append(std::move(slot));
    QList<LiveReminder> live;
    // The index's values lead the read, in the order the days were added.
    for (const TreeValue &entry : *values) {
        if (entry.section != kIndexSection)
            break;
        QList<LiveReminder> day = byDay.take(entry.name);
        sortBySlot(day);
        const qint64 count = TextForms::wholeNumber(entry.value);
        for (LiveReminder &slot : day)
            if (slot.slot <= count)
                live.append(std::move(slot));
    }
    return live;
}

std::optional<QList<StoreValue>> ReminderStore::dayIndex() const
{
    return m_store.listValues(kIndexSection);
}

std::optional<QStringList> ReminderStore::storedDays() const
{
    const auto index = dayIndex();
    const auto sections = m_store.childSections(kIndexSection);
    if (!index || !sections)
        return std::nullopt;
    QStringList days = *sections;
    for (const StoreValue &v : *index)
        days.append(v.name);
    days.removeDuplicates();
    return days;
}

std::optional<qint64> ReminderStore::nextSlot(const QString &day) const
{
    const auto count = numReminders(day);
    if (!count)
        return std::nullopt;
    // A damaged count ("abc", "-5") must not make an append overwrite a record
    // that exists: the new slot lies past every slot section of the day.
    qint64 highest = std::max<qint64>(*count, 0);
    const auto children = m_store.childSections(daySection(day));
    if (!children)
        return std::nullopt;
    for (const QString &name : *children)
        if (const auto slot = slotOfName(name))
            highest = std::max(highest, *slot);
    return highest + 1;
}

bool ReminderStore::saveRecord(const QString &section, const ReminderRecord &record)
{
    return m_store.save(section, kReminder, record.reminder) &&
           m_store.save(section, kSound, record.sound) &&
           m_store.save(section, kRecurrance, record.recurrence) &&
           m_store.save(section, kTime, record.time) &&
           (record.uid.isEmpty() || m_store.save(section, kUid, record.uid));
}

std::optional<qint64> ReminderStore::append(const QString &day, const ReminderRecord &record,
                                            bool countFirst)
{
    qint64 slot = 0;
    const bool done = m_store.transaction([&] {
        const auto next = nextSlot(day);
        if (!next)
            return false;
        slot = *next;
        const QString count = QString::number(slot);
        const QString section = daySection(day);
        if (countFirst && !m_store.save(section, kNumReminders, count))
            return false;
        if (!saveRecord(recordSection(day, slot), record))
            return false;
        if (!countFirst && !m_store.save(section, kNumReminders, count))
            return false;
        return m_store.save(kIndexSection, day, count);
    });
    if (!changed(done))
        return std::nullopt;
    return slot;
}

std::optional<qint64> ReminderStore::appendReminder(const QString &day,
                                                    const ReminderRecord &record)
{
    return append(day, record, false);
}

std::optional<qint64> ReminderStore::appendCopy(const QString &day, const ReminderRecord &record)
{
    return append(day, record, true);
}

bool ReminderStore::consumeSlot(const QString &day, qint64 slot, qint64 viewedBefore)
{
    return changed(m_store.transaction([&] {
        return m_store.deleteSection(recordSection(day, slot)) &&
               m_store.save(daySection(day), kNumViewed, QString::number(viewedBefore + 1));
    }));
}

bool ReminderStore::deleteFromList(const QString &day, const QString &slot)
{
    return changed(m_store.transaction([&] {
        const auto viewed = numViewed(day);
        return viewed && m_store.save(daySection(day), kNumViewed, QString::number(*viewed + 1)) &&
               m_store.deleteSection(daySection(day) + QLatin1Char('\\') + slot);
    }));
}

ReminderStore::ListedDelete ReminderStore::deleteListed(const QString &day, qint64 slot,
                                                        const ReminderRecord &listed)
{
    bool gone = false;
    const bool done = m_store.transaction([&] {
        const auto now = readRecord(day, slot);
        if (now && !sameValues(*now, listed))
            return gone = true;
        return now && deleteFromList(day, QString::number(slot));
    });
    if (!done)
        return ListedDelete::Failed;
    return gone ? ListedDelete::Gone : ListedDelete::Deleted;
}

bool ReminderStore::keepUids(const QList<LiveReminder> &named)
{
    return changed(m_store.transaction([&] {
        for (const LiveReminder &r : named) {
            const auto now = readRecord(r.day, r.slot);
            if (!now)
                return false;
            if (!now->isHole() && now->uid.isEmpty() && sameValues(*now, r.record) &&
                !m_store.save(recordSection(r.day, r.slot), kUid, r.record.uid))
                return false;
        }
        return true;
    }));
}

bool ReminderStore::deleteRecord(const QString &day, qint64 slot)
{
    return changed(m_store.deleteSection(recordSection(day, slot)));
}

bool ReminderStore::removeDay(const QString &day)
{
    return changed(m_store.transaction([&] {
        return m_store.deleteSection(daySection(day)) && m_store.deleteValue(kIndexSection, day);
    }));
}

bool ReminderStore::changed(bool written) const
{
    if (written && m_changeListener)
        m_changeListener();
    return written;
}
