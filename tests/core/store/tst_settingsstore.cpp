// What every settings store must do, run against the memory store and the
// SQLite store alike; then the SQLite store's file: its schema and modes, its
// transactions as other processes see them, files it must leave alone, and
// other processes using the same file.
#include "TestFiles.h"
#include "TestRegistry.h"
#include "core/store/MemorySettingsStore.h"
#include "core/store/SqliteSettingsStore.h"

#include <QtCore>
#include <sqlite3.h>
#include <thread>

namespace {

// Runs SQL on the file through a connection of its own, as another process would;
// gives the first column of the last row, or "<failed>". The connection is closed,
// or handed over in `kept`.
QString query(const QString &path, const char *sql, sqlite3 **kept = nullptr)
{
    sqlite3 *db = nullptr;
    QString result;
    const auto row = [](void *r, int, char **v, char **) {
        return *static_cast<QString *>(r) = QString::fromUtf8(v[0]), 0;
    };
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql, row, &result, nullptr) != SQLITE_OK)
        result = u"<failed>"_s;
    kept ? void(*kept = db) : void(sqlite3_close(db));
    return result;
}

const char kSchema[] = "CREATE TABLE entries(app TEXT NOT NULL, section TEXT NOT NULL, "
                       "name TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY(app, section, name))";

} // namespace

class TstSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // The store of the row: the memory store, or a SQLite store on a new file.
    std::unique_ptr<SettingsStore> make()
    {
        QFETCH(bool, sqlite);
        if (!sqlite)
            return std::make_unique<MemorySettingsStore>();
        return std::make_unique<SqliteSettingsStore>(
            m_dir.filePath(u"store%1.db"_s.arg(++m_files)));
    }

    // A section's values as "name=value", in their order.
    static QStringList listed(SettingsStore &store, const QString &section)
    {
        QStringList result;
        const auto failed = QList<StoreValue>{{u"<failed>"_s, QString()}};
        for (const StoreValue &v : store.listValues(section).value_or(failed))
            result << v.name + u'=' + v.value;
        return result;
    }

private Q_SLOTS:
    void whatEveryStoreMustDo_data()
    {
        QTest::addColumn<bool>("sqlite");
        QTest::newRow("memory") << false;
        QTest::newRow("sqlite") << true;
    }
    void whatEveryStoreMustDo()
    {
        auto store = make();
        // Deleting a section takes its subsections and nothing else.
        const QStringList sections = u"Reminders|Reminders\\12/4/2026|Reminders\\12/4/2026\\1|"
                                     u"Reminders\\12/4/2026\\12\\deeper|Reminders\\12/4/20261|"
                                     u"Reminders\\12/4/20261\\1|Reminders\\12/4/2026]|"
                                     u"Reminders\\12/4/202"_s.split(u'|');
        for (const QString &s : sections)
            QVERIFY(store->save(s, u"v"_s, s));
        QStringList slots = *store->childSections(u"Reminders\\12/4/2026"_s);
        slots.sort();
        QCOMPARE(slots, QStringList({u"1"_s, u"12"_s}));
        const auto below = [](const QString &s) {
            return s == QLatin1String("Reminders\\12/4/2026") ||
                   s.startsWith(QLatin1String("Reminders\\12/4/2026\\"));
        };
        // The tree read takes just what the deletion takes.
        const auto read = *store->listTree(u"Reminders\\12/4/2026"_s);
        QCOMPARE(read.size(), 3);
        for (const TreeValue &v : read)
            QVERIFY2(below(v.section) && v.value == v.section, qPrintable(v.section));
        QVERIFY(store->deleteSection(u"Reminders\\12/4/2026"_s));
        for (const QString &s : sections)
            QCOMPARE(store->get(s, u"v"_s), below(s) ? QString() : s);
        QStringList children = *store->childSections(u"Reminders"_s);
        children.sort();
        QCOMPARE(children, QStringList({u"12/4/202"_s, u"12/4/20261"_s, u"12/4/2026]"_s}));
        // Deleting what does not exist is no failure.
        QVERIFY(store->deleteSection(u"Nowhere"_s) && store->deleteValue(u"Nowhere"_s, u"v"_s));
        QVERIFY(store->listValues(u"Nowhere"_s)->isEmpty() &&
                store->listTree(u"Nowhere"_s)->isEmpty());

        // Values read back and keep their place, in a section that was deleted.
        const QString s = u"Reminders\\12/4/2026\\1"_s;
        // Updating a value (the last two) keeps its place among the others.
        for (const QString &v : u"Reminder=a|Sound=BEEP|Recurrance=Daily Reminder|Time=3:05:00 PM|"
                                u"Sound=SIREN|Reminder=b"_s.split(u'|'))
            QVERIFY(store->save(s, v.section(u'=', 0, 0), v.section(u'=', 1)));
        QCOMPARE(listed(*store, s).join(u'|'),
                 u"Reminder=b|Sound=SIREN|Recurrance=Daily Reminder|Time=3:05:00 PM"_s);
        // Read as a tree, the section comes first, its values in the same order.
        QVERIFY(store->save(s + u"\\x"_s, u"v"_s, u"below"_s));
        QCOMPARE(*store->listTree(s), (QList<TreeValue>{{s, u"Reminder"_s, u"b"_s},
                                                        {s, u"Sound"_s, u"SIREN"_s},
                                                        {s, u"Recurrance"_s, u"Daily Reminder"_s},
                                                        {s, u"Time"_s, u"3:05:00 PM"_s},
                                                        {s + u"\\x"_s, u"v"_s, u"below"_s}}));
        // A value deleted and saved again goes to the end.
        QVERIFY(store->deleteValue(s, u"Reminder"_s));
        QVERIFY(store->save(s, u"Reminder"_s, u"c"_s));
        QCOMPARE(listed(*store, s).last(), u"Reminder=c"_s);
        // Names and sections are case-sensitive.
        QCOMPARE(store->get(s, u"sound"_s), QString());
        QCOMPARE(store->get(s.toLower(), u"Sound"_s), QString());

        // Every character a scrambled text may hold survives, trailing blanks included.
        QString all;
        for (int c = 0; c < 256; ++c)
            all.append(QChar(char16_t(c)));
        all += u"\u20AC\u0178 trailing  "_s;
        QVERIFY(store->save(u"S"_s, u"v"_s, all));
        QCOMPARE(store->get(u"S"_s, u"v"_s), all);
        QCOMPARE(listed(*store, u"S"_s), QStringList({u"v="_s + all}));

        // Transactions land whole or not at all.
        QVERIFY(store->save(u"S"_s, u"kept"_s, u"1"_s));
        QVERIFY(!store->transaction([&] {
            store->save(u"S"_s, u"kept"_s, u"2"_s);
            store->save(u"S"_s, u"new"_s, u"x"_s);
            return false;
        }));
        QCOMPARE(listed(*store, u"S"_s).mid(1), QStringList({u"kept=1"_s}));

        // An inner transaction that is abandoned takes back only its own writes.
        QVERIFY(store->transaction([&] {
            store->save(u"S"_s, u"outer"_s, u"o"_s);
            const bool inner = store->transaction([&] {
                store->save(u"S"_s, u"inner"_s, u"i"_s);
                return false;
            });
            return !inner;
        }));
        QCOMPARE(listed(*store, u"S"_s).mid(1), QStringList({u"kept=1"_s, u"outer=o"_s}));
    }

    void aNewStoreIsPrivateHasTheDocumentedSchemaAndIsShared()
    {
        const QString path = m_dir.filePath(u"new/pingalo/store.db"_s);
        SqliteSettingsStore store(path);
        QVERIFY(store.save(u"Settings"_s, u"CheckMissed"_s, u"14"_s));
        using P = QFileDevice::Permission;
        const auto mine = P::ReadOwner | P::WriteOwner | P::ReadUser | P::WriteUser; // 0600
        QCOMPARE(QFile::permissions(path), mine);
        QCOMPARE(QFile::permissions(QFileInfo(path).absolutePath()),
                 mine | P::ExeOwner | P::ExeUser);
        QCOMPARE(query(path, "SELECT sql||'|'||user_version||'|'||journal_mode FROM sqlite_master, "
                             "pragma_user_version, pragma_journal_mode WHERE name='entries'"),
                 QString::fromLatin1(kSchema) + u"|1|wal"_s);
        QCOMPARE(query(path, "SELECT app||'|'||section||'|'||name||'|'||value FROM entries"),
                 u"Pingalo!|Settings|CheckMissed|14"_s);

        // A change of several values is one transaction of the database's: another process
        // sees none of it until it ends (so a writer killed half-way leaves nothing), and all
        // of it once it has.
        const char *const both = "SELECT count(*) FROM entries WHERE name IN ('t1', 't2')";
        QVERIFY(store.transaction([&] {
            return store.save(u"S"_s, u"t1"_s, u"1"_s) && store.save(u"S"_s, u"t2"_s, u"2"_s) &&
                   query(path, both) == u"0"_s;
        }));
        QCOMPARE(query(path, both), u"2"_s);

        // Another process sees every write (the last one below), and may hold the file a while.
        SqliteSettingsStore tool(path);
        QVERIFY(store.save(u"S"_s, u"v"_s, u"1"_s));

        // A writer holds the lock for 300 ms; the program's change (a read, then a write, as
        // an append is) waits for it from its start, and so reads what the writer left.
        sqlite3 *db = nullptr;
        QCOMPARE(query(path, "BEGIN IMMEDIATE; UPDATE entries SET value='3' WHERE name='v'", &db),
                 QString());
        std::thread releaser([db] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        });
        const bool saved = store.transaction([&] {
            return store.get(u"S"_s, u"v"_s) == u"3"_s && store.save(u"S"_s, u"w"_s, u"4"_s);
        });
        releaser.join();
        sqlite3_close(db);
        QVERIFY(saved);
        QCOMPARE(store.get(u"S"_s, u"v"_s), u"3"_s);
        QCOMPARE(tool.get(u"S"_s, u"w"_s), u"4"_s);
    }

    void aFileThatIsNotOurStoreIsNeverTouchedAndOneThatCannotBeMadeFails()
    {
        // Databases are made by their SQL.
        for (const QByteArray &content :
             {"NumReminders=3\r\nnot a database at all\r\n"_ba,                    // text
              "CREATE TABLE photos(id INTEGER); INSERT INTO photos VALUES(1);"_ba, // another's
              QByteArray(kSchema).append("; PRAGMA user_version=7;")}) {           // a newer format
            const QString path = m_dir.filePath(u"foreign-%1.db"_s.arg(qHash(content)));
            if (content.startsWith("CREATE"))
                QCOMPARE(query(path, content.constData()), QString());
            else
                writeFile(path, content);
            const QByteArray before = readFile(path);
            SqliteSettingsStore store(path);
            const bool refused = !store.get(u"Settings"_s, u"Last"_s) &&
                                 !store.save(u"Settings"_s, u"Last"_s, u"x"_s) &&
                                 !store.deleteSection(u"Reminders"_s) &&
                                 !store.listValues(u"Reminders"_s) &&
                                 !store.transaction([] { return true; });
            QVERIFY2(refused && readFile(path) == before && !QFile::exists(path + u"-wal"_s),
                     content.constData());
        }

        // A store that cannot be made fails, and recovers when it can.
        // The folder of the store is a plain file: nothing can be created there.
        const QString blocker = m_dir.filePath(u"blocker"_s);
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        SqliteSettingsStore store(blocker + u"/store.db"_s);
        QVERIFY(!store.get(u"S"_s, u"v"_s) && !store.save(u"S"_s, u"v"_s, u"1"_s));
        // Once the way is clear the same store object works.
        QVERIFY(QFile::remove(blocker));
        QVERIFY(store.save(u"S"_s, u"v"_s, u"1"_s));
        QCOMPARE(store.get(u"S"_s, u"v"_s), u"1"_s);
    }
};

PINGALO_TEST(TstSettingsStore)

#include "tst_settingsstore.moc"
