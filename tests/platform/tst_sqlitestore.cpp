// The SQLite store's file: its schema and modes, files it must leave alone,
// and other processes using the same file.
#include "TestFiles.h"
#include "TestRegistry.h"
#include "platform/SqliteSettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace {

// Runs SQL on the file through a connection of its own, as another process would.
QString query(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QString result;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            result =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

const char kSchema[] = "CREATE TABLE entries(app TEXT NOT NULL, section TEXT NOT NULL, "
                       "name TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY(app, section, name))";

int mode(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

} // namespace

class TstSqliteStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void aNewStoreIsPrivateAndHasTheDocumentedSchema()
    {
        const QString path = m_dir.filePath(u"new/pingalo/store.db"_s);
        SqliteSettingsStore store(path);
        QVERIFY(store.save(u"Settings"_s, u"CheckMissed"_s, u"14"_s));
        QCOMPARE(mode(QFileInfo(path).absolutePath()), 0700);
        QCOMPARE(mode(path), 0600);
        QCOMPARE(query(path, "SELECT sql FROM sqlite_master WHERE name='entries'"),
                 QString::fromLatin1(kSchema));
        QCOMPARE(query(path, "PRAGMA user_version"), u"1"_s);
        QCOMPARE(query(path, "PRAGMA journal_mode"), u"wal"_s);
        QCOMPARE(query(path, "SELECT app||'|'||section||'|'||name||'|'||value FROM entries"),
                 u"Pingalo!|Settings|CheckMissed|14"_s);
    }

    void aFileThatIsNotOurStoreIsNeverTouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("NumReminders=3\r\nnot a database at all\r\n");
        // Databases, made by their SQL.
        QTest::newRow("another program's database")
            << QByteArray("CREATE TABLE photos(id INTEGER); INSERT INTO photos VALUES(1);");
        QTest::newRow("a newer format") << QByteArray(kSchema) + "; PRAGMA user_version=7;";
    }

    void aFileThatIsNotOurStoreIsNeverTouched()
    {
        QFETCH(QByteArray, content);
        const QString path =
            m_dir.filePath(u"foreign-%1.db"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        if (content.startsWith("CREATE")) {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, content.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        } else {
            writeFile(path, content);
        }
        const QByteArray before = readFile(path);

        SqliteSettingsStore store(path);
        QVERIFY(!store.get(u"Settings"_s, u"Last"_s));
        QVERIFY(!store.save(u"Settings"_s, u"Last"_s, u"x"_s));
        QVERIFY(!store.deleteSection(u"Reminders"_s));
        QVERIFY(!store.listValues(u"Reminders"_s));
        QVERIFY(!store.transaction([] { return true; }));
        QCOMPARE(readFile(path), before);
        QVERIFY(!QFile::exists(path + u"-wal"_s));
    }

    void aStoreThatCannotBeMadeFailsAndRecoversWhenItCan()
    {
        // The folder of the store is a plain file: nothing can be created there.
        const QString blocker = m_dir.filePath(u"blocker"_s);
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        SqliteSettingsStore store(blocker + u"/store.db"_s);
        QVERIFY(!store.get(u"S"_s, u"v"_s));
        QVERIFY(!store.save(u"S"_s, u"v"_s, u"1"_s));
        // Once the way is clear the same store object works.
        QVERIFY(QFile::remove(blocker));
        QVERIFY(store.save(u"S"_s, u"v"_s, u"1"_s));
        QCOMPARE(store.get(u"S"_s, u"v"_s), u"1"_s);
    }

    void anotherProcessSeesEveryWriteAndMayHoldTheFileForAWhile()
    {
        const QString path = m_dir.filePath(u"shared.db"_s);
        SqliteSettingsStore program(path);
        SqliteSettingsStore tool(path);
        QVERIFY(program.save(u"S"_s, u"v"_s, u"1"_s));
        QCOMPARE(tool.get(u"S"_s, u"v"_s), u"1"_s);
        QVERIFY(tool.save(u"S"_s, u"v"_s, u"2"_s));
        QCOMPARE(program.get(u"S"_s, u"v"_s), u"2"_s);

        // A writer holds the lock for 300 ms; the program's write waits for it.
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE entries SET value='3' WHERE name='v';",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        std::thread releaser([db] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        });
        const bool saved = program.save(u"S"_s, u"w"_s, u"4"_s);
        releaser.join();
        sqlite3_close(db);
        QVERIFY(saved);
        QCOMPARE(program.get(u"S"_s, u"v"_s), u"3"_s);
        QCOMPARE(tool.get(u"S"_s, u"w"_s), u"4"_s);
    }
};

PINGALO_TEST(TstSqliteStore)
#include "tst_sqlitestore.moc"
