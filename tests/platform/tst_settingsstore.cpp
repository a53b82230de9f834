// What every settings store must do, run against the memory store and the
// SQLite store alike.
#include "TestRegistry.h"
#include "platform/MemorySettingsStore.h"
#include "platform/SqliteSettingsStore.h"

#include <QTemporaryDir>

class TstSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    std::unique_ptr<SettingsStore> make(const QString &kind)
    {
        if (kind == QLatin1String("memory"))
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
    void initTestCase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("memory") << u"memory"_s;
        QTest::newRow("sqlite") << u"sqlite"_s;
    }

    void valuesReadBackAndKeepTheirPlace()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        const QString s = u"Reminders\\12/4/2026\\1"_s;
        QCOMPARE(store->get(s, u"Reminder"_s), QString()); // absent is empty
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
    }

    void deletingASectionTakesItsSubsectionsAndNothingElse()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        const QStringList sections =
            u"Reminders|Reminders\\12/4/2026|Reminders\\12/4/2026\\1|Reminders\\12/4/"
            u"2026\\12\\deeper|"
            u"Reminders\\12/4/20261|Reminders\\12/4/20261\\1|Reminders\\12/4/2026]|Reminders\\12/4/202"_s
                .split(u'|');
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
        QVERIFY(store->deleteSection(u"Nowhere"_s));
        QVERIFY(store->deleteValue(u"Nowhere"_s, u"v"_s));
        QVERIFY(store->listValues(u"Nowhere"_s)->isEmpty());
        QVERIFY(store->listTree(u"Nowhere"_s)->isEmpty());
    }

    void transactionsLandWholeOrNotAtAll()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        QVERIFY(store->save(u"S"_s, u"kept"_s, u"1"_s));
        const bool landed = store->transaction([&] {
            store->save(u"S"_s, u"kept"_s, u"2"_s);
            store->save(u"S"_s, u"new"_s, u"x"_s);
            return false;
        });
        QVERIFY(!landed);
        QCOMPARE(store->get(u"S"_s, u"kept"_s), u"1"_s);
        QCOMPARE(store->get(u"S"_s, u"new"_s), QString());

        // An inner transaction that is abandoned takes back only its own writes.
        QVERIFY(store->transaction([&] {
            store->save(u"S"_s, u"outer"_s, u"o"_s);
            const bool inner = store->transaction([&] {
                store->save(u"S"_s, u"inner"_s, u"i"_s);
                return false;
            });
            return !inner;
        }));
        QCOMPARE(store->get(u"S"_s, u"outer"_s), u"o"_s);
        QCOMPARE(store->get(u"S"_s, u"inner"_s), QString());
    }
};

PINGALO_TEST(TstSettingsStore)
#include "tst_settingsstore.moc"
