// The platform layer. What every settings store must do, run against the memory
// store and the SQLite store alike; then the SQLite store's file: its schema and
// modes, files it must leave alone, and other processes using the same file.
// Then the compiled help reader: the committed help file read back, the contents
// parser's leniency, and files that are missing, foreign, cut short or damaged,
// which must be refused with a reason and never crash or hang.
#include "TestFiles.h"
#include "TestRegistry.h"
#include "platform/ChmArchive.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SqliteSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
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

const QString helpFile = QStringLiteral(PINGALO_SOURCE_DIR "/resources/Pingalo_Help.chm");

// "name -> local" lines, indented by depth, for whole-tree comparisons.
QStringList outline(const QList<ChmTopic> &topics, int depth = 0)
{
    QStringList lines;
    for (const ChmTopic &t : topics) {
        lines << QString(depth * 2, QLatin1Char(' ')) + t.name + u" -> "_s + t.local;
        lines << outline(t.children, depth + 1);
    }
    return lines;
}

// One topic of a contents file.
QByteArray topic(const char *name, const char *local)
{
    return QByteArray("<OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"") + name +
           "\"><param name=\"Local\" value=\"" + local + "\"></OBJECT>";
}

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

        // Another process sees every write (the last one below), and may hold the file a while.
        SqliteSettingsStore tool(path);
        QVERIFY(store.save(u"S"_s, u"v"_s, u"1"_s));

        // A writer holds the lock for 300 ms; the program's write waits for it.
        sqlite3 *db = nullptr;
        QCOMPARE(query(path, "BEGIN IMMEDIATE; UPDATE entries SET value='3' WHERE name='v'", &db),
                 QString());
        std::thread releaser([db] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        });
        const bool saved = store.save(u"S"_s, u"w"_s, u"4"_s);
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

class TstChmArchive : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_real;

    // The committed file with one 32-bit field changed.
    QByteArray patched(qsizetype offset, quint32 value) const
    {
        QByteArray data = m_real;
        qToLittleEndian(value, data.data() + offset);
        return data;
    }

    // Where the directory header, its first chunk and the control record lie.
    qsizetype itsp() const { return qFromLittleEndian<quint32>(m_real.constData() + 0x48); }
    qsizetype firstChunk() const { return itsp() + 0x54; }
    qsizetype controlData() const { return m_real.indexOf("LZXC") - 4; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_real = readFile(helpFile);
        QVERIFY(controlData() > 0);
    }

    void readsTheCommittedFileOneWithAnOverlongRecordAndDeepContents()
    {
        ChmArchive archive;
        QVERIFY2(archive.open(helpFile), qPrintable(archive.errorString()));
        // (The default topic, the contents tree and a page shown: the help window's test.)
        QCOMPARE(archive.title(), u"Pingalo! Vantor Help"_s);
        const auto page = archive.read(u"welcome.htm"_s);
        QVERIFY(page && page->contains("<title>Welcome to Pingalo! Vantor</title>"));
        QCOMPARE(archive.read(u"/WELCOME.HTM"_s), page);
        QCOMPARE(archive.read(u"sub/../welcome.htm"_s), page);
        QVERIFY(!archive.read(u"missing.htm"_s).has_value());
        // Every page, some stored across the compressed stream's frames, reads whole.
        const QStringList pages = archive.files().filter(u".htm"_s);
        QCOMPARE(pages.size(), 10);
        for (const QString &file : pages)
            QVERIFY2(archive.read(file).value_or("").trimmed().endsWith("</html>"),
                     qPrintable(file));

        // #SYSTEM records are read up to the first one that runs past the end; what
        // they would have said comes from the contents instead. Here the default
        // topic's record, before the title's, with its length made huge.
        const qsizetype at = m_real.indexOf(QByteArray("\x02\x00\x0c\x00welcome.htm\x00", 16));
        QVERIFY(at > 0);
        QVERIFY2(
            archive.open(writeFile(m_dir.filePath(u"overlong.chm"_s), patched(at, 0xffff0002u))),
            qPrintable(archive.errorString()));
        QCOMPARE(archive.title(), u"Welcome to Pingalo! Vantor"_s);
        QCOMPARE(archive.defaultTopic(), u"welcome.htm"_s);

        // Deep nesting in the contents is flattened, not followed.
        QByteArray text;
        for (int i = 0; i < 5000; ++i)
            text += "<UL><LI>" + topic("n", "n.htm");
        const QStringList lines = outline(ChmArchive::parseSitemap(text));
        QCOMPARE(lines.size(), 5000);                                       // none lost,
        QVERIFY(lines.filter(QString(2 * 64, QLatin1Char(' '))).isEmpty()); // <= 64 deep
    }

    // The committed file's own contents stand for the usual form.
    void parsesContentsLeniently()
    {
        const auto parsed = [](const QByteArray &text) {
            return outline(ChmArchive::parseSitemap(text)).join(u'|');
        };
        // A list inside its item, any case and quoting.
        QCOMPARE(parsed("<ul>\n<li><object type='TEXT/SITEMAP'>\n<param name=name value=Start>"
                        "<param value='s.htm' name='local'/></object>\n<ul><li><object "
                        "type=\"text/sitemap\"><PARAM NAME=\"LOCAL\" VALUE=\"a/i.htm\"><PARAM "
                        "NAME=\"NAME\" VALUE=\"Inner\"></object></li></ul></li><li>" +
                        topic("End", "e.htm") + "</li></ul>"),
                 u"Start -> s.htm|  Inner -> a/i.htm|End -> e.htm"_s);
        // Entities, ">", comments, properties, other files.
        QCOMPARE(parsed("<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"No\">"
                        "</OBJECT><!-- " +
                        topic("Hidden", "h.htm") + " --><UL><LI>" +
                        topic("a &amp; &quot;b&quot; &#233;&#x2014; > c", "b.htm") + "<LI>" +
                        topic("Elsewhere", "other.chm::/x.htm") +
                        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                        "value=\"Heading\"></OBJECT></UL>"),
                 u"a & \"b\" \u00e9\u2014 > c -> b.htm|Elsewhere -> /x.htm|Heading -> "_s);
        // Stray closing lists, cut off.
        QCOMPARE(parsed("</UL></UL>" + topic("Loose", "loose.htm") + "</UL><UL><LI>" +
                        topic("Next", "next.htm") +
                        "<LI><OBJECT type=\"text/sitemap\"><param name=\"Na"),
                 u"Loose -> loose.htm|Next -> next.htm"_s);
    }

    // Files that are missing, foreign, cut short or damaged are refused with a
    // reason; a file that was open before is let go either way.
    void refusesUnusableFiles()
    {
        const QString foreign = u"is not a compiled help file"_s, cut = u"incomplete"_s;
        const QString damaged = u"damaged"_s;
        const qsizetype chunk = firstChunk();
        // A second directory chunk laid over the unused start of the data section:
        // an index whose only child is itself, made the root of the lookups.
        QByteArray index = QByteArray("PMGI") + QByteArray(4, '\0') + QByteArray("\x01a\x01", 3);
        qToLittleEndian(quint32(4096 - index.size()), index.data() + 4);
        QByteArray indexLoop = patched(itsp() + 0x2c, 2);              // two chunks
        qToLittleEndian(quint32(1), indexLoop.data() + itsp() + 0x1c); // the root: the index
        QByteArray twoStreams = m_real;
        twoStreams[twoStreams.indexOf("/Content", chunk) - 1] = 'x'; // another stream's part
        const struct {
            const char *name;
            QByteArray content;
            QString reason;
        } cases[] = {
            // clang-format off
            {"missing", {}, u"does not exist"_s}, // made by its name, as is the folder
            {"folder", {}, u"is a folder"_s},
            {"empty", {}, u"is empty"_s},
            {"another format", QByteArray("PK\x03\x04") + m_real.mid(4), foreign},
            {"unknown version", QByteArray("ITSF\x07\0\0\0", 8) + QByteArray(200, '\0'), foreign},
            {"signature only", m_real.left(4), cut},
            {"file header only", m_real.left(0x60), cut},
            {"inside the directory", m_real.left(chunk + 100), cut},
            {"directory only", m_real.left(chunk + 4096), cut},
            {"all but the last byte", m_real.chopped(1), cut},
            {"no directory header", patched(itsp(), 0), damaged},
            // Each of these would make the help library loop for ever, read or write
            // outside its buffers, or divide by zero.
            {"leaf chain loops", patched(chunk + 0x10, 0), damaged}, // to itself
            {"index chunk points to itself", indexLoop.replace(chunk + 4096, index.size(), index), damaged},
            {"leaf entries past their end", patched(chunk + 4, 0), damaged},
            {"free space beyond the chunk", patched(chunk + 4, 0xfffffff0u), damaged},
            {"chunk length zero", patched(itsp() + 0x10, 0), damaged},
            {"first leaf beyond the directory", patched(itsp() + 0x20, 7), damaged},
            {"parts of two compressed streams", twoStreams, damaged},
            {"no windows per reset", patched(controlData() + 0x14, 0), damaged},
            {"window size zero", patched(controlData() + 0x10, 0), damaged},
            // clang-format on
        };
        for (const auto &c : cases) {
            const QString path = m_dir.filePath(QString::fromLatin1(c.name) + u".chm"_s);
            if (c.name == "folder"_L1)
                QVERIFY(QDir().mkpath(path));
            else if (c.name != "missing"_L1)
                writeFile(path, c.content);
            ChmArchive archive;
            QVERIFY(archive.open(helpFile));
            QVERIFY2(!archive.open(path), c.name);
            const QString error = archive.errorString();
            QVERIFY2(error.contains(c.reason) && error.contains(QDir::toNativeSeparators(path)),
                     qPrintable(error));
            QVERIFY2(!archive.isOpen() && archive.files().isEmpty() &&
                         archive.contents().isEmpty() &&
                         !archive.read(u"welcome.htm"_s).has_value(),
                     c.name);
            QVERIFY(archive.open(helpFile));
            QCOMPARE(archive.errorString(), QString()); // the old reason is gone
        }
    }
};

PINGALO_TEST(TstChmArchive)
#include "tst_platform.moc"
