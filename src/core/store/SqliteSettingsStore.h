#pragma once

#include "core/store/SettingsStore.h"

#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

// The settings store in one SQLite file:
//
//   CREATE TABLE entries(app TEXT NOT NULL, section TEXT NOT NULL,
//                        name TEXT NOT NULL, value TEXT NOT NULL,
//                        PRIMARY KEY(app, section, name));
//   PRAGMA user_version = 1;
//
// WAL journal with synchronous=FULL, so every write is durable when the call
// returns, and a busy timeout, so that another process may use the same file.
// Nothing is cached: every call reads the file as it is now.
//
// The file is opened on first use and opened again after a failed open. A file
// that is not such a store (not a database, a database of another program, a
// newer format) is never changed: every operation fails instead.
class SqliteSettingsStore : public SettingsStore {
public:
    explicit SqliteSettingsStore(QString path, QString application = QStringLiteral("Pingalo!"));
    ~SqliteSettingsStore() override;
    SqliteSettingsStore(const SqliteSettingsStore &) = delete;
    SqliteSettingsStore &operator=(const SqliteSettingsStore &) = delete;

    // $PINGALO_STORE when set, else $XDG_CONFIG_HOME/pingalo/store.db.
    static QString defaultPath();

    const QString &path() const { return m_path; }

    std::optional<QString> get(const QString &section, const QString &name) override;
    bool save(const QString &section, const QString &name, const QString &value) override;
    bool deleteSection(const QString &section) override;
    bool deleteValue(const QString &section, const QString &name) override;
    std::optional<QList<StoreValue>> listValues(const QString &section) override;
    std::optional<QList<TreeValue>> listTree(const QString &section) override;
    std::optional<QStringList> childSections(const QString &section) override;
    bool transaction(const std::function<bool()> &body) override;
    // Another connection's commits show in SQLite's data version, this one's
    // own writes in its count of changes.
    std::optional<qint64> version() override;

private:
    class Statement;

    bool ensureOpen();
    bool openFile();
    bool prepareSchema();
    void closeFile();
    bool exec(const char *sql);
    bool switchToWal();
    sqlite3_stmt *statement(const char *sql);
    bool fail(const QString &what);
    bool failSqlite(const char *doing);

    QString m_path;
    QByteArray m_app;
    sqlite3 *m_db = nullptr;
    QHash<const char *, sqlite3_stmt *> m_statements;
    int m_depth = 0;
};
