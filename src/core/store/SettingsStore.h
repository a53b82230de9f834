#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// One named text value of a section, as the store lists it.
struct StoreValue {
    QString name;
    QString value;
    bool operator==(const StoreValue &) const = default;
};

// One value of a section tree, with the section that holds it.
struct TreeValue {
    QString section;
    QString name;
    QString value;
    bool operator==(const TreeValue &) const = default;
};
Q_DECLARE_TYPEINFO(TreeValue, Q_RELOCATABLE_TYPE);

// The per-user settings store: a tree of sections whose path components are
// separated by "\" ("Reminders\12/4/2026\3"), each section holding named text
// values, all under one application name.
//
// Every operation reports failure through its result (nullopt or false); the
// store has then already written the reason to standard error. Reading a value
// that does not exist is not a failure: it gives the empty text.
class SettingsStore {
public:
    virtual ~SettingsStore();

    // The value's text, the empty text when it does not exist.
    virtual std::optional<QString> get(const QString &section, const QString &name) = 0;
    // Saves a value, creating the section; an existing value keeps its place.
    virtual bool save(const QString &section, const QString &name, const QString &value) = 0;
    // Deletes the section's values and every section below it, nothing else.
    virtual bool deleteSection(const QString &section) = 0;
    virtual bool deleteValue(const QString &section, const QString &name) = 0;
    // The section's values in the order in which they were first saved.
    virtual std::optional<QList<StoreValue>> listValues(const QString &section) = 0;
    // Every value of the section and of every section below it, in one read:
    // the section's own values first, then those of the sections below it in
    // the store's own order, the values of each section together and in the
    // order in which they were first saved.
    virtual std::optional<QList<TreeValue>> listTree(const QString &section) = 0;
    // The names of the sections directly below section (in no particular order).
    virtual std::optional<QStringList> childSections(const QString &section) = 0;

    // Runs body as one transaction: either every write it made lands, or none
    // does. The transaction is abandoned when body returns false or when the
    // store cannot commit it; the result says whether it landed. Transactions
    // nest: an inner one that is abandoned takes back only its own writes.
    virtual bool transaction(const std::function<bool()> &body) = 0;

    // A number that changes whenever what the store holds may have changed,
    // written by this object or by another process; none when the store
    // cannot tell. What a reader keeps of the store stays true while it is
    // the same.
    virtual std::optional<qint64> version() { return std::nullopt; }

protected:
    // Writes a store failure to standard error, once for a run of the same text.
    void reportFailure(const QString &what);

private:
    QString m_lastReported;
};
