#pragma once

#include <QAbstractTableModel>
#include <QList>

class ReminderStore;

// The rows of the list viewer: every live reminder of the store as the texts
// it shows, read once when the window loads. "Date" and "Num" stay exactly as
// the store names the day and the slot, because viewing and deleting find the
// record by them. Sorting by a column compares dates, times and slot numbers
// as such; column -1 puts the rows back in the order they were read.
class ReminderListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Date, Time, Num, Type, Note, Sound, ColumnCount };

    struct Row {
        QString date; // the day key
        QString time; // empty for a bill reminder
        QString num;  // the slot
        QString type; // the recurrence
        QString note; // unscrambled
        QString sound;
        QString storedNote;   // scrambled, as the store holds it
        qsizetype readAt = 0; // its place in the order the store gave
        const QString &text(int column) const;
    };

    explicit ReminderListModel(QObject *parent = nullptr);

    // Reads every live slot of the store: day by day in the order of the day
    // index, each day in slot order. A store that cannot be read gives no rows.
    void load(const ReminderStore &store);
    const Row &row(int index) const { return m_rows.at(index); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Whether row `a` comes before row `b` when sorted by `column` ascending;
    // rows that compare equal keep the order they were read in.
    static bool lessThan(const Row &a, const Row &b, int column);

private:
    QList<Row> m_rows;
};
