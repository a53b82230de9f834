// What every settings store must do, run against the memory store and the
// SQLite store alike.
#include "TestRegistry.h"

#include "platform/MemorySettingsStore.h"
#include "platform/SqliteSettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class TstSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    std::unique_ptr<SettingsStore> make(const QString &kind)
    {
        if (kind == QLatin1String("memory"))
            return std::make_unique<MemorySettingsStore>();
        return std::make_unique<SqliteSettingsStore>(
            m_dir.filePath(QStringLiteral("store%1.db").arg(++m_files)));
    }

    static QStringList names(const QList<StoreValue> &values)
    {
        QStringList result;
        for (const StoreValue &v : values)
            result << v.name;
        return result;
    }

private Q_SLOTS:
    void initTestCase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("memory") << QStringLiteral("memory");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
    }

    void valuesReadBackAndKeepTheirPlace()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        const QString s = QStringLiteral("Reminders\\12/4/2026\\1");
        QCOMPARE(store->get(s, QStringLiteral("Reminder")), QString()); // absent is empty
        QVERIFY(store->save(s, QStringLiteral("Reminder"), QStringLiteral("a")));
        QVERIFY(store->save(s, QStringLiteral("Sound"), QStringLiteral("BEEP")));
        QVERIFY(store->save(s, QStringLiteral("Recurrance"), QStringLiteral("Daily Reminder")));
        QVERIFY(store->save(s, QStringLiteral("Time"), QStringLiteral("3:05:00 PM")));
        // Updating a value keeps its place among the others.
        QVERIFY(store->save(s, QStringLiteral("Sound"), QStringLiteral("SIREN")));
        QVERIFY(store->save(s, QStringLiteral("Reminder"), QStringLiteral("b")));
        const auto values = store->listValues(s);
        QVERIFY(values);
        QCOMPARE(names(*values), QStringList({QStringLiteral("Reminder"), QStringLiteral("Sound"),
                                              QStringLiteral("Recurrance"), QStringLiteral("Time")}));
        QCOMPARE(values->at(0).value, QStringLiteral("b"));
        QCOMPARE(values->at(1).value, QStringLiteral("SIREN"));
        // A value deleted and saved again goes to the end.
        QVERIFY(store->deleteValue(s, QStringLiteral("Reminder")));
        QVERIFY(store->save(s, QStringLiteral("Reminder"), QStringLiteral("c")));
        QCOMPARE(names(*store->listValues(s)).last(), QStringLiteral("Reminder"));
        // Names and sections are case-sensitive.
        QCOMPARE(store->get(s, QStringLiteral("sound")), QString());
        QCOMPARE(store->get(s.toLower(), QStringLiteral("Sound")), QString());
    }

    void everyCharacterOfAScrambledTextSurvives()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        QString all;
        for (int c = 0; c < 256; ++c)
            all.append(QChar(char16_t(c)));
        all += QStringLiteral("\u20AC\u0178 trailing  ");
        QVERIFY(store->save(QStringLiteral("S"), QStringLiteral("v"), all));
        QCOMPARE(store->get(QStringLiteral("S"), QStringLiteral("v")), all);
        QCOMPARE(store->listValues(QStringLiteral("S"))->at(0).value, all);
    }

    void deletingASectionTakesItsSubsectionsAndNothingElse()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        const QStringList sections = {
            QStringLiteral("Reminders"),
            QStringLiteral("Reminders\\12/4/2026"),
            QStringLiteral("Reminders\\12/4/2026\\1"),
            QStringLiteral("Reminders\\12/4/2026\\12\\deeper"),
            QStringLiteral("Reminders\\12/4/20261"),
            QStringLiteral("Reminders\\12/4/20261\\1"),
            QStringLiteral("Reminders\\12/4/2026]"),
            QStringLiteral("Reminders\\12/4/202"),
        };
        for (const QString &s : sections)
            QVERIFY(store->save(s, QStringLiteral("v"), s));
        QStringList slots = *store->childSections(QStringLiteral("Reminders\\12/4/2026"));
        slots.sort();
        QCOMPARE(slots, QStringList({QStringLiteral("1"), QStringLiteral("12")}));
        QVERIFY(store->deleteSection(QStringLiteral("Reminders\\12/4/2026")));
        for (const QString &s : sections) {
            const bool gone = s == QLatin1String("Reminders\\12/4/2026") ||
                              s.startsWith(QLatin1String("Reminders\\12/4/2026\\"));
            QCOMPARE(store->get(s, QStringLiteral("v")), gone ? QString() : s);
        }
        QStringList children = *store->childSections(QStringLiteral("Reminders"));
        children.sort();
        QCOMPARE(children, QStringList({QStringLiteral("12/4/202"), QStringLiteral("12/4/20261"),
                                        QStringLiteral("12/4/2026]")}));
        // Deleting what does not exist is no failure.
        QVERIFY(store->deleteSection(QStringLiteral("Nowhere")));
        QVERIFY(store->deleteValue(QStringLiteral("Nowhere"), QStringLiteral("v")));
        QVERIFY(store->listValues(QStringLiteral("Nowhere"))->isEmpty());
    }

    void transactionsLandWholeOrNotAtAll()
    {
        QFETCH_GLOBAL(QString, kind);
        auto store = make(kind);
        QVERIFY(store->save(QStringLiteral("S"), QStringLiteral("kept"), QStringLiteral("1")));
        const bool landed = store->transaction([&] {
            store->save(QStringLiteral("S"), QStringLiteral("kept"), QStringLiteral("2"));
            store->save(QStringLiteral("S"), QStringLiteral("new"), QStringLiteral("x"));
            return false;
        });
        QVERIFY(!landed);
        QCOMPARE(store->get(QStringLiteral("S"), QStringLiteral("kept")), QStringLiteral("1"));
        QCOMPARE(store->get(QStringLiteral("S"), QStringLiteral("new")), QString());

        // An inner transaction that is abandoned takes back only its own writes.
        QVERIFY(store->transaction([&] {
            store->save(QStringLiteral("S"), QStringLiteral("outer"), QStringLiteral("o"));
            const bool inner = store->transaction([&] {
                store->save(QStringLiteral("S"), QStringLiteral("inner"), QStringLiteral("i"));
                return false;
            });
            return !inner;
        }));
        QCOMPARE(store->get(QStringLiteral("S"), QStringLiteral("outer")), QStringLiteral("o"));
        QCOMPARE(store->get(QStringLiteral("S"), QStringLiteral("inner")), QString());
    }
};

PINGALO_TEST(TstSettingsStore)
#include "tst_settingsstore.moc"
