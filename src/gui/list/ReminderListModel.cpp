#include "gui/list/ReminderListModel.h"

#include "core/scheduler/Scheduler.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"

#include <QHash>
#include <algorithm>
#include <tuple>

namespace {

const QString kHeaders[] = {QStringLiteral("Date"),     QStringLiteral("Time"),
                            QStringLiteral("Num"),      QStringLiteral("Type"),
                            QStringLiteral("Reminder"), QStringLiteral("Sound")};

// Sort keys: a text that is not a date or a time goes after those that are.
std::tuple<bool, QDate> dateKey(const QString &text)
{
    const auto date = TextForms::parseDate(text);
    return {!date, date.value_or(QDate())};
}

// A bill reminder (no time) is due all day: it goes before the timed ones.
std::tuple<int, QTime> timeKey(const QString &text)
{
    if (text.isEmpty())
        return {0, QTime(0, 0)};
    const auto time = TextForms::parseTime(text);
    return {time ? 1 : 2, time.value_or(QTime(0, 0))};
}

} // namespace

const QString &ReminderListModel::Row::text(int column) const
{
    switch (column) {
    case Date:
        return date;
    case Time:
        return time;
    case Num:
        return num;
    case Type:
        return type;
    case Note:
        return note;
    default:
        return sound;
    }
}

ReminderListModel::ReminderListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ReminderListModel::load(const ReminderStore &store)
{
    beginResetModel();
    m_rows.clear();
    const auto live = store.allLiveReminders();
    for (const LiveReminder &slot : live.value_or(QList<LiveReminder>())) {
        const ReminderRecord &r = slot.record;
        m_rows.append({slot.day, r.time, QString::number(slot.slot), r.recurrence, r.shownNote(),
                       r.sound, r.reminder, m_rows.size()});
    }
    endResetModel();
}

int ReminderListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReminderListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReminderListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    // A text cut short by its column is read whole in its tool tip.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return row.text(index.column());
    return QVariant();
}

QVariant ReminderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return QVariant();
    return kHeaders[section];
}

bool ReminderListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_rows.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    return true;
}

bool ReminderListModel::lessThan(const Row &a, const Row &b, int column)
{
    switch (column) {
    case Date: // a day's rows by their time
        if (dateKey(a.date) != dateKey(b.date))
            return dateKey(a.date) < dateKey(b.date);
        if (timeKey(a.time) != timeKey(b.time))
            return timeKey(a.time) < timeKey(b.time);
        break;
    case Time:
        if (timeKey(a.time) != timeKey(b.time))
            return timeKey(a.time) < timeKey(b.time);
        break;
    case Num:
        if (a.num.toLongLong() != b.num.toLongLong())
            return a.num.toLongLong() < b.num.toLongLong();
        break;
    case Type:
    case Note:
    case Sound:
        if (const int c = a.text(column).localeAwareCompare(b.text(column)); c != 0)
            return c < 0;
        break;
    default:
        break;
    }
    return a.readAt < b.readAt;
}

void ReminderListModel::sort(int column, Qt::SortOrder order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<qsizetype> before(m_rows.size());
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        before[i] = m_rows[i].readAt;
    std::sort(m_rows.begin(), m_rows.end(), [&](const Row &a, const Row &b) {
        return order == Qt::AscendingOrder ? lessThan(a, b, column) : lessThan(b, a, column);
    });
    // The selection and the current row follow their rows.
    QHash<qsizetype, int> now;
    for (int i = 0; i < m_rows.size(); ++i)
        now.insert(m_rows[i].readAt, i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex &index : from)
        to.append(this->index(now.value(before.value(index.row())), index.column()));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
