#include "core/store/SqliteSettingsStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kBusyTimeoutMs = 3000;
constexpr int kSchemaVersion = 1;

const char kGet[] = "SELECT value FROM entries WHERE app=?1 AND section=?2 AND name=?3";
const char kSave[] = "INSERT INTO entries(app, section, name, value) VALUES(?1, ?2, ?3, ?4) "
                     "ON CONFLICT(app, section, name) DO UPDATE SET value=excluded.value";
// A section and everything below it, as one range of the primary key: the
// sections from ?2 up to ?2 + "]" are ?2 itself, those that start with ?2 + "\"
// ("\" sorts just before "]"), and those that start with ?2 and a character
// before "\", which the last test leaves out. Written as "section=?2 OR ...",
// SQLite would walk every entry of the application instead.
const char kDeleteSection[] = "DELETE FROM entries WHERE app=?1 AND section>=?2 AND "
                              "section<?2||']' AND (section=?2 OR section>=?2||'\\')";
// The same range, in primary key order: the values of a section come together.
const char kTree[] = "SELECT rowid, section, name, value FROM entries WHERE app=?1 AND "
                     "section>=?2 AND section<?2||']' AND (section=?2 OR section>=?2||'\\') "
                     "ORDER BY section"; // the key's own order: no sort step
const char kDeleteValue[] = "DELETE FROM entries WHERE app=?1 AND section=?2 AND name=?3";
// Sorted here rather than by ORDER BY, which would cost SQLite a sort table per call.
const char kList[] = "SELECT rowid, name, value FROM entries WHERE app=?1 AND section=?2";
const char kChildren[] = "SELECT DISTINCT section FROM entries WHERE app=?1 AND "
                         "section>=?2||'\\' AND section<?2||']'";

QByteArrayView columnBytes(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return QByteArrayView(text, sqlite3_column_bytes(stmt, column));
}

QString columnText(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(columnBytes(stmt, column));
}

} // namespace

// Binds texts to a cached statement and resets it when it goes out of scope.
class SqliteSettingsStore::Statement {
public:
    explicit Statement(sqlite3_stmt *stmt)
        : m_stmt(stmt)
    {
    }
    ~Statement()
    {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    explicit operator bool() const { return m_stmt != nullptr; }
    sqlite3_stmt *get() const { return m_stmt; }

    bool bind(int index, const QByteArray &utf8)
    {
        return sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()),
                                 SQLITE_TRANSIENT) == SQLITE_OK;
    }
    bool bind(int index, const QString &text) { return bind(index, text.toUtf8()); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_stmt); }

private:
    sqlite3_stmt *m_stmt;
};

SqliteSettingsStore::SqliteSettingsStore(QString path, QString application)
    : m_path(std::move(path))
    , m_app(application.toUtf8())
{
}

SqliteSettingsStore::~SqliteSettingsStore()
{
    closeFile();
}

QString SqliteSettingsStore::defaultPath()
{
    const QString fromEnvironment = qEnvironmentVariable("PINGALO_STORE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pingalo/store.db");
}

bool SqliteSettingsStore::fail(const QString &what)
{
    reportFailure(QStringLiteral("settings store %1: %2").arg(m_path, what));
    return false;
}

bool SqliteSettingsStore::failSqlite(const char *doing)
{
    const QString reason =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
    return fail(QStringLiteral("cannot %1: %2").arg(QString::fromLatin1(doing), reason));
}

bool SqliteSettingsStore::ensureOpen()
{
    if (m_db)
        return true;
    if (openFile() && prepareSchema())
        return true;
    closeFile();
    return false;
}

bool SqliteSettingsStore::openFile()
{
    const QFileInfo info(m_path);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("cannot create the folder %1").arg(folder));
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    }
    const QByteArray file = QFile::encodeName(m_path);
    if (!info.exists()) {
        // Create it ourselves, so that it is private to the user from the start;
        // SQLite gives its journal files the same mode.
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return fail(QStringLiteral("cannot create the file: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (fd >= 0)
            ::close(fd);
    }
    // No SQLITE_OPEN_CREATE: the file exists now, and one that vanished is not
    // silently made again somewhere else.
    if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return failSqlite("open the file");
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    return true;
}

bool SqliteSettingsStore::prepareSchema()
{
    // Reading the header first: a file that is not a database fails here,
    // before anything could be written to it.
    int version = -1;
    {
        Statement stmt(statement("PRAGMA user_version"));
        if (!stmt || stmt.step() != SQLITE_ROW)
            return failSqlite("read the file");
        version = sqlite3_column_int(stmt.get(), 0);
    }
    if (version > kSchemaVersion)
        return fail(
            QStringLiteral("the file was written by a newer version (format %1)").arg(version));
    if (version == 0) {
        Statement others(statement("SELECT count(*) FROM sqlite_master WHERE name<>'entries' "
                                   "AND name NOT LIKE 'sqlite_%'"));
        if (!others || others.step() != SQLITE_ROW)
            return failSqlite("read the file");
        if (sqlite3_column_int(others.get(), 0) > 0)
            return fail(QStringLiteral("the file is a database of another program"));
    }
    if (!switchToWal() || !exec("PRAGMA synchronous=FULL"))
        return false;
    if (version == 0) {
        const bool made = transaction([this] {
            return exec("CREATE TABLE IF NOT EXISTS entries(app TEXT NOT NULL, "
                        "section TEXT NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL, "
                        "PRIMARY KEY(app, section, name))") &&
                   exec("PRAGMA user_version=1");
        });
        if (!made)
            return false;
    }
    return true;
}

bool SqliteSettingsStore::switchToWal()
{
    // Programs opening a new store at the same moment each switch it, and the
    // switch needs the file to itself: SQLite answers "busy" at once rather
    // than wait where waiting could deadlock. So it is tried again for as long
    // as any other wait for the file may last.
    const QDeadlineTimer deadline(kBusyTimeoutMs);
    for (;;) {
        const int rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return true;
        if ((rc & 0xff) != SQLITE_BUSY || deadline.hasExpired())
            return failSqlite("switch to write-ahead logging");
        QThread::msleep(5);
    }
}

void SqliteSettingsStore::closeFile()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db)
        sqlite3_close(m_db);
    m_db = nullptr;
    m_depth = 0;
}

bool SqliteSettingsStore::exec(const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return fail(QStringLiteral("cannot run %1: %2").arg(QString::fromUtf8(sql), reason));
}

sqlite3_stmt *SqliteSettingsStore::statement(const char *sql)
{
    if (sqlite3_stmt *cached = m_statements.value(sql))
        return cached;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        failSqlite("prepare a statement");
        sqlite3_finalize(stmt);
        return nullptr;
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

std::optional<QString> SqliteSettingsStore::get(const QString &section, const QString &name)
{
    if (!ensureOpen())
        return std::nullopt;
    Statement stmt(statement(kGet));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section) || !stmt.bind(3, name))
        return failSqlite("read a value"), std::nullopt;
    switch (stmt.step()) {
    case SQLITE_ROW:
        return columnText(stmt.get(), 0);
    case SQLITE_DONE:
        return QString();
    default:
        failSqlite("read a value");
        return std::nullopt;
    }
}

bool SqliteSettingsStore::save(const QString &section, const QString &name, const QString &value)
{
    if (!ensureOpen())
        return false;
    Statement stmt(statement(kSave));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section) || !stmt.bind(3, name) ||
        !stmt.bind(4, value) || stmt.step() != SQLITE_DONE)
        return failSqlite("save a value");
    return true;
}

bool SqliteSettingsStore::deleteSection(const QString &section)
{
    if (!ensureOpen())
        return false;
    Statement stmt(statement(kDeleteSection));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section) || stmt.step() != SQLITE_DONE)
        return failSqlite("delete a section");
    return true;
}

bool SqliteSettingsStore::deleteValue(const QString &section, const QString &name)
{
    if (!ensureOpen())
        return false;
    Statement stmt(statement(kDeleteValue));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section) || !stmt.bind(3, name) ||
        stmt.step() != SQLITE_DONE)
        return failSqlite("delete a value");
    return true;
}

std::optional<QList<StoreValue>> SqliteSettingsStore::listValues(const QString &section)
{
    if (!ensureOpen())
        return std::nullopt;
    Statement stmt(statement(kList));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section))
        return failSqlite("list a section"), std::nullopt;
    std::vector<std::pair<sqlite3_int64, StoreValue>> rows;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW)
        rows.push_back({sqlite3_column_int64(stmt.get(), 0),
                        {columnText(stmt.get(), 1), columnText(stmt.get(), 2)}});
    if (rc != SQLITE_DONE)
        return failSqlite("list a section"), std::nullopt;
    std::sort(rows.begin(), rows.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<StoreValue> values;
    values.reserve(qsizetype(rows.size()));
    for (auto &row : rows)
        values.append(std::move(row.second));
    return values;
}

std::optional<QList<TreeValue>> SqliteSettingsStore::listTree(const QString &section)
{
    if (!ensureOpen())
        return std::nullopt;
    Statement stmt(statement(kTree));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section))
        return failSqlite("read a section tree"), std::nullopt;
    QList<TreeValue> values;
    // The rows come section by section; each section's values are put in the
    // order they were saved (rowid) when the next section begins.
    std::vector<std::pair<sqlite3_int64, TreeValue>> current;
    const auto endSection = [&] {
        std::sort(current.begin(), current.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
        for (auto &row : current)
            values.append(std::move(row.second));
        current.clear();
    };
    // A store holds few names: the texts of the recent ones are shared.
    std::array<std::pair<QByteArray, QString>, 8> names;
    size_t nextName = 0;
    const auto nameText = [&](QByteArrayView utf8) {
        for (const auto &[bytes, text] : names)
            if (bytes == utf8)
                return text;
        names[nextName] = {utf8.toByteArray(), QString::fromUtf8(utf8)};
        return names[std::exchange(nextName, (nextName + 1) % names.size())].second;
    };
    QByteArray currentSection;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        const QByteArrayView sectionBytes = columnBytes(stmt.get(), 1);
        QString sectionText; // shared by the values of one section
        if (!current.empty() && sectionBytes == currentSection) {
            sectionText = current.front().second.section;
        } else {
            endSection();
            currentSection = sectionBytes.toByteArray();
            sectionText = QString::fromUtf8(sectionBytes);
        }
        current.push_back(
            {sqlite3_column_int64(stmt.get(), 0),
             {sectionText, nameText(columnBytes(stmt.get(), 2)), columnText(stmt.get(), 3)}});
    }
    if (rc != SQLITE_DONE)
        return failSqlite("read a section tree"), std::nullopt;
    endSection();
    return values;
}

std::optional<QStringList> SqliteSettingsStore::childSections(const QString &section)
{
    if (!ensureOpen())
        return std::nullopt;
    Statement stmt(statement(kChildren));
    if (!stmt || !stmt.bind(1, m_app) || !stmt.bind(2, section))
        return failSqlite("list the sections below a section"), std::nullopt;
    const qsizetype prefix = section.size() + 1;
    QStringList children;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        const QString below = columnText(stmt.get(), 0).mid(prefix);
        children.append(below.section(QLatin1Char('\\'), 0, 0));
    }
    if (rc != SQLITE_DONE)
        return failSqlite("list the sections below a section"), std::nullopt;
    children.removeDuplicates();
    return children;
}

bool SqliteSettingsStore::transaction(const std::function<bool()> &body)
{
    if (!ensureOpen())
        return false;
    // The outermost level takes the write lock at once (IMMEDIATE), so that a
    // read-then-write sequence cannot be overtaken by another process's write;
    // inner levels are savepoints.
    const bool outermost = m_depth == 0;
    if (!exec(outermost ? "BEGIN IMMEDIATE" : "SAVEPOINT inner"))
        return false;
    ++m_depth;
    bool ok = body();
    --m_depth;
    if (!m_db) // the body lost the file
        return false;
    if (ok)
        ok = exec(outermost ? "COMMIT" : "RELEASE inner");
    if (!ok) {
        if (outermost) {
            if (!sqlite3_get_autocommit(m_db))
                exec("ROLLBACK");
        } else {
            exec("ROLLBACK TO inner");
            exec("RELEASE inner");
        }
    }
    return ok;
}

std::optional<qint64> SqliteSettingsStore::version()
{
    if (!ensureOpen())
        return std::nullopt;
    Statement stmt(statement("PRAGMA data_version"));
    if (!stmt || stmt.step() != SQLITE_ROW)
        return std::nullopt;
    return (qint64(sqlite3_column_int(stmt.get(), 0)) << 40) + sqlite3_total_changes64(m_db);
}
