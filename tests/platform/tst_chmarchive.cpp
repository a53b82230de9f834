// The compiled help reader: the committed help file read back in full, the
// contents parser's leniency, and files that are missing, foreign or damaged,
// which must be refused with a reason and never crash or hang.
#include "TestRegistry.h"
#include "platform/ChmArchive.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

QString helpFile()
{
    return QStringLiteral(PINGALO_SOURCE_DIR "/resources/Pingalo_Help.chm");
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint32 u32At(const QByteArray &data, qsizetype offset)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData()) + offset;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void putU32(QByteArray &data, qsizetype offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[offset + i] = char((value >> (8 * i)) & 0xff);
}

QByteArray randomBytes(quint32 seed, qsizetype size)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

// "name -> local" lines, indented by depth, for whole-tree comparisons.
QStringList outline(const QList<ChmTopic> &topics, int depth = 0)
{
    QStringList lines;
    for (const ChmTopic &t : topics) {
        lines << QString(depth * 2, QLatin1Char(' ')) + t.name + QStringLiteral(" -> ") + t.local;
        lines << outline(t.children, depth + 1);
    }
    return lines;
}

} // namespace

class TstChmArchive : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_real;
    int m_files = 0;

    QString write(const QByteArray &data)
    {
        const QString path = m_dir.filePath(QStringLiteral("file%1.chm").arg(++m_files));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Where the directory's first chunk, the control record and the #SYSTEM
    // records of the committed file lie.
    qsizetype firstChunk() const { return qsizetype(u32At(m_real, 0x48)) + 0x54; }
    qsizetype controlData() const { return m_real.indexOf("LZXC") - 4; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_real = readAll(helpFile());
        QVERIFY2(m_real.startsWith("ITSF"), qPrintable(helpFile()));
        QVERIFY(controlData() > 0);
    }

    // --- The committed help file ---

    void readsTitleAndDefaultTopic()
    {
        ChmArchive archive;
        QVERIFY2(archive.open(helpFile()), qPrintable(archive.errorString()));
        QVERIFY(archive.isOpen());
        QCOMPARE(archive.errorString(), QString());
        QCOMPARE(archive.fileName(), helpFile());
        QCOMPARE(archive.title(), QStringLiteral("Pingalo! Vantor Help"));
        QCOMPARE(archive.defaultTopic(), QStringLiteral("welcome.htm"));
        QVERIFY(archive.contains(archive.defaultTopic()));
    }

    void contentsListEveryTopicInOrder()
    {
        ChmArchive archive;
        QVERIFY(archive.open(helpFile()));
        const QStringList expected{
            QStringLiteral("Welcome to Pingalo! Vantor -> welcome.htm"),
            QStringLiteral("Creating reminders -> creating.htm"),
            QStringLiteral("  Repeating reminders -> recurrence.htm"),
            QStringLiteral("  Bill reminders -> bills.htm"),
            QStringLiteral("  Reminder sounds -> sounds.htm"),
            QStringLiteral("Missed reminders -> missed.htm"),
            QStringLiteral("The reminder list -> list.htm"),
            QStringLiteral("Password and lock-down -> password.htm"),
            QStringLiteral("Starting at log-on -> startup.htm"),
            QStringLiteral("Where your reminders are kept -> data.htm"),
        };
        QCOMPARE(outline(archive.contents()), expected);

        // Every page of the file is reachable from the contents.
        const QString all = outline(archive.contents()).join(QLatin1Char('\n'));
        const QStringList files = archive.files();
        QVERIFY(files.contains(QStringLiteral("help.css")));
        for (const QString &file : files) {
            if (file.endsWith(QLatin1String(".htm")))
                QVERIFY2(all.contains(QStringLiteral("-> ") + file), qPrintable(file));
        }
    }

    void readsPagesByAnyFormOfTheirPath()
    {
        ChmArchive archive;
        QVERIFY(archive.open(helpFile()));
        const auto page = archive.read(QStringLiteral("welcome.htm"));
        QVERIFY(page.has_value());
        QVERIFY(page->contains("<title>Welcome to Pingalo! Vantor</title>"));
        QVERIFY(page->trimmed().endsWith("</html>")); // read in full
        for (const QString &form :
             {QStringLiteral("/welcome.htm"), QStringLiteral("WELCOME.HTM"),
              QStringLiteral("./welcome.htm"), QStringLiteral("sub/../welcome.htm")}) {
            QCOMPARE(archive.read(form), page);
        }

        // Pages stored across the compressed stream's frame boundary read whole.
        for (const QString &file : archive.files()) {
            const auto data = archive.read(file);
            QVERIFY2(data && !data->isEmpty(), qPrintable(file));
            if (file.endsWith(QLatin1String(".htm")))
                QVERIFY2(data->trimmed().endsWith("</html>"), qPrintable(file));
        }
        QVERIFY(archive.read(QStringLiteral("help.css"))->contains("body {"));
        QVERIFY(archive.read(QStringLiteral("/#SYSTEM")).has_value());

        QVERIFY(!archive.read(QStringLiteral("missing.htm")).has_value());
        QVERIFY(!archive.contains(QStringLiteral("missing.htm")));
        QVERIFY(!archive.read(QStringLiteral("/")).has_value());
        QVERIFY(!archive.read(QString()).has_value());
    }

    void linksBetweenPagesResolve()
    {
        ChmArchive archive;
        QVERIFY(archive.open(helpFile()));
        static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
        int checked = 0;
        for (const QString &file : archive.files()) {
            if (!file.endsWith(QLatin1String(".htm")))
                continue;
            const QString html = QString::fromUtf8(*archive.read(file));
            const QUrl base(QStringLiteral("help:/") + file);
            for (auto it = link.globalMatch(html); it.hasNext();) {
                const QUrl target = base.resolved(QUrl(it.next().captured(1)));
                if (target.scheme() != QLatin1String("help"))
                    continue;
                const QString where = file + QStringLiteral(" -> ") + target.toString();
                const auto page = archive.read(target.path());
                QVERIFY2(page.has_value(), qPrintable(where));
                if (target.hasFragment()) {
                    const QByteArray anchor = "name=\"" + target.fragment().toUtf8() + '"';
                    QVERIFY2(page->contains(anchor), qPrintable(where));
                }
                ++checked;
            }
        }
        QVERIFY2(checked >= 40, qPrintable(QString::number(checked)));

        // The keyword index names pages and anchors that exist as well.
        const auto index = archive.read(QStringLiteral("Pingalo_Help.hhk"));
        QVERIFY(index.has_value());
        const QList<ChmTopic> keywords = ChmArchive::parseSitemap(*index);
        QVERIFY(keywords.size() >= 20);
        for (const ChmTopic &keyword : keywords) {
            const QUrl target = QUrl(QStringLiteral("help:/")).resolved(QUrl(keyword.local));
            const auto page = archive.read(target.path());
            QVERIFY2(page.has_value(), qPrintable(keyword.name));
            const QByteArray anchor = "name=\"" + target.fragment().toUtf8() + '"';
            if (target.hasFragment())
                QVERIFY2(page->contains(anchor), qPrintable(keyword.name));
        }
    }

    void closingOrReopeningForgetsTheOldFile()
    {
        ChmArchive archive;
        QVERIFY(archive.open(helpFile()));
        archive.close();
        QVERIFY(!archive.isOpen());
        QVERIFY(!archive.read(QStringLiteral("welcome.htm")).has_value());
        QCOMPARE(archive.title(), QString());
        QCOMPARE(archive.defaultTopic(), QString());
        QVERIFY(archive.contents().isEmpty());

        QVERIFY(archive.open(helpFile()));
        QVERIFY(!archive.open(m_dir.filePath(QStringLiteral("absent.chm"))));
        QVERIFY(!archive.isOpen());
        QVERIFY(!archive.read(QStringLiteral("welcome.htm")).has_value());
        QVERIFY(archive.files().isEmpty());
        QVERIFY(archive.contents().isEmpty());

        QVERIFY(archive.open(helpFile()));
        QCOMPARE(archive.errorString(), QString()); // the old reason is gone
    }

    // --- Contents files as other tools write them ---

    void parsesContentsLeniently_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected");

        const QStringList nested{QStringLiteral("Start -> start.htm"),
                                 QStringLiteral("  Inner -> a/inner.htm"),
                                 QStringLiteral("End -> end.htm")};
        QTest::newRow("list after its item")
            << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"Start\"><param name=\"Local\" value=\"start.htm\"></OBJECT>"
                          "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"Inner\"><param name=\"Local\" value=\"a/inner.htm\"></OBJECT>"
                          "</UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"End\"><param name=\"Local\" value=\"end.htm\"></OBJECT></UL>")
            << nested;
        QTest::newRow("list inside its item, lower case, other quoting")
            << QByteArray(
                   "<ul>\n<li><object type='TEXT/SITEMAP'>\n<param name=name value=Start>"
                   "<param value='start.htm' name='local'/></object>\n  <ul><li>"
                   "<object type=\"text/sitemap\"><PARAM NAME=\"NAME\" VALUE=\"Inner\">"
                   "<PARAM NAME=\"LOCAL\" VALUE=\"a/inner.htm\"></object></li></ul></li>"
                   "<li><object type=\"text/sitemap\"><param name=\"Local\" value=\"end.htm\">"
                   "<param name=\"Name\" value=\"End\"></object></li></ul>")
            << nested;
        QTest::newRow("entities, properties object, comments, other files")
            << QByteArray("<OBJECT type=\"text/site properties\"><param name=\"Name\" "
                          "value=\"Not a topic\"></OBJECT><!-- <OBJECT type=\"text/sitemap\">"
                          "<param name=\"Name\" value=\"Hidden\"></OBJECT> --><UL><LI><OBJECT "
                          "type=\"text/sitemap\"><param name=\"Name\" value=\"Bills &amp; "
                          "&quot;dues&quot; &#233;&#x2014;\"><param name=\"Local\" value=\"b.htm\">"
                          "<param name=\"Name\" value=\"Second name\"></OBJECT><LI><OBJECT "
                          "type=\"text/sitemap\"><param name=\"Local\" "
                          "value=\"other.chm::/x.htm\"></OBJECT><LI><OBJECT type=\"text/sitemap\">"
                          "<param name=\"Name\" value=\"Heading only\"></OBJECT></UL>")
            << QStringList{QStringLiteral("Bills & \"dues\" \u00e9\u2014 -> b.htm"),
                           QStringLiteral("/x.htm -> /x.htm"), QStringLiteral("Heading only -> ")};
        QTest::newRow("a value holding >")
            << QByteArray(
                   "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"a > b\">"
                   "<param name=\"Local\" value=\"ab.htm\"></OBJECT></UL>")
            << QStringList{QStringLiteral("a > b -> ab.htm")};
        QTest::newRow("stray closing lists, no list at all")
            << QByteArray("</UL></UL><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"Loose\"><param name=\"Local\" value=\"loose.htm\"></OBJECT>"
                          "</UL><UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"Next\"><param name=\"Local\" value=\"next.htm\"></OBJECT>")
            << QStringList{QStringLiteral("Loose -> loose.htm"),
                           QStringLiteral("Next -> next.htm")};
        QTest::newRow("cut off in the middle")
            << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                          "value=\"Whole\"><param name=\"Local\" value=\"w.htm\"></OBJECT><LI>"
                          "<OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Cut")
            << QStringList{QStringLiteral("Whole -> w.htm")};
        QTest::newRow("nothing") << QByteArray() << QStringList();
    }

    void parsesContentsLeniently()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QCOMPARE(outline(ChmArchive::parseSitemap(text)), expected);
    }

    void deepNestingIsFlattenedNotFollowed()
    {
        QByteArray text;
        for (int i = 0; i < 5000; ++i)
            text += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"n\">"
                    "<param name=\"Local\" value=\"n.htm\"></OBJECT>";
        const QList<ChmTopic> topics = ChmArchive::parseSitemap(text);
        int depth = 0;
        int count = 0;
        QList<ChmTopic> level = topics;
        while (!level.isEmpty()) {
            ++depth;
            count += int(level.size());
            QList<ChmTopic> next;
            for (const ChmTopic &t : level)
                next += t.children;
            level = next;
        }
        QCOMPARE(count, 5000); // no topic lost
        QVERIFY2(depth <= 64, qPrintable(QString::number(depth)));
    }

    // --- Files that are not, or no longer, sound help files ---

    void refusesWhatIsNotAHelpFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing") << QStringLiteral("missing") << QByteArray()
                                 << QStringLiteral("does not exist");
        QTest::newRow("folder") << QStringLiteral("folder") << QByteArray()
                                << QStringLiteral("is a folder");
        QTest::newRow("empty") << QStringLiteral("file") << QByteArray()
                               << QStringLiteral("is empty");
        QTest::newRow("random bytes") << QStringLiteral("file") << randomBytes(7, 65536)
                                      << QStringLiteral("is not a compiled help file");
        QTest::newRow("text") << QStringLiteral("file")
                              << QByteArray("<html><body>Not compiled</body></html>\n")
                              << QStringLiteral("is not a compiled help file");
        QTest::newRow("unknown version")
            << QStringLiteral("file") << QByteArray("ITSF\x07\0\0\0", 8) + QByteArray(200, '\0')
            << QStringLiteral("is not a compiled help file");
    }

    void refusesWhatIsNotAHelpFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QString path = m_dir.filePath(QStringLiteral("absent.chm"));
        if (kind == QLatin1String("folder")) {
            path = m_dir.filePath(QStringLiteral("folder.chm"));
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("file")) {
            path = write(content);
        }
        ChmArchive archive;
        QVERIFY(!archive.open(path));
        QVERIFY(!archive.isOpen());
        QVERIFY2(archive.errorString().contains(reason), qPrintable(archive.errorString()));
        QVERIFY2(archive.errorString().contains(QDir::toNativeSeparators(path)),
                 qPrintable(archive.errorString()));
        QVERIFY(archive.errorString().endsWith(QLatin1Char('.')));
        QVERIFY(!archive.read(QStringLiteral("welcome.htm")).has_value());
        QCOMPARE(archive.defaultTopic(), QString());
    }

    void refusesTruncatedCopies_data()
    {
        QTest::addColumn<qsizetype>("length");
        const qsizetype size = m_real.size();
        QTest::newRow("signature only") << qsizetype(4);
        QTest::newRow("inside the file header") << qsizetype(50);
        QTest::newRow("file header only") << qsizetype(0x60);
        QTest::newRow("inside the directory") << firstChunk() + 100;
        QTest::newRow("directory only") << firstChunk() + 4096;
        QTest::newRow("half") << size / 2;
        QTest::newRow("all but the last byte") << size - 1;
    }

    void refusesTruncatedCopies()
    {
        QFETCH(qsizetype, length);
        ChmArchive archive;
        QVERIFY(!archive.open(write(m_real.left(length))));
        QVERIFY2(archive.errorString().contains(QLatin1String("incomplete")),
                 qPrintable(archive.errorString()));
    }

    // Each of these would make the help library loop for ever, read or write
    // outside its buffers, or divide by zero.
    void refusesDamagedStructures_data()
    {
        QTest::addColumn<QByteArray>("content");
        const qsizetype itsp = qsizetype(u32At(m_real, 0x48));
        const qsizetype chunk = firstChunk();
        const qsizetype control = controlData();

        QByteArray leafLoop = m_real;
        putU32(leafLoop, chunk + 0x10, 0); // the only leaf names itself as the next one
        QTest::newRow("leaf chain loops") << leafLoop;

        // A second directory chunk laid over the unused start of the data section:
        // an index whose only child is itself, made the root of the lookups.
        QByteArray indexLoop = m_real;
        QByteArray index("PMGI");
        index += QByteArray(4, '\0');
        index += QByteArray("\x01"
                            "a"
                            "\x01",
                            3);
        putU32(index, 4, quint32(4096 - index.size()));
        indexLoop.replace(chunk + 4096, index.size(), index);
        putU32(indexLoop, itsp + 0x2c, 2); // two chunks
        putU32(indexLoop, itsp + 0x1c, 1); // the root is the index chunk
        QTest::newRow("index chunk points to itself") << indexLoop;

        QByteArray noFreeSpace = m_real;
        putU32(noFreeSpace, chunk + 4, 0); // entries run on into the zero padding
        QTest::newRow("leaf entries past their end") << noFreeSpace;

        QByteArray hugeFreeSpace = m_real;
        putU32(hugeFreeSpace, chunk + 4, 0xfffffff0u);
        QTest::newRow("free space larger than the chunk") << hugeFreeSpace;

        QByteArray zeroChunk = m_real;
        putU32(zeroChunk, itsp + 0x10, 0);
        QTest::newRow("chunk length zero") << zeroChunk;

        QByteArray badHead = m_real;
        putU32(badHead, itsp + 0x20, 7);
        QTest::newRow("first leaf beyond the directory") << badHead;

        QByteArray twoStreams = m_real;
        const qsizetype contentName = twoStreams.indexOf("/Content", chunk);
        twoStreams[contentName - 1] = 'x'; // the content now belongs to another stream
        QTest::newRow("parts of two compressed streams") << twoStreams;

        QByteArray noWindows = m_real;
        putU32(noWindows, control + 0x14, 0);
        QTest::newRow("no windows per reset") << noWindows;

        QByteArray noWindow = m_real;
        putU32(noWindow, control + 0x10, 0);
        QTest::newRow("window size zero") << noWindow;

        QByteArray oddWindow = m_real;
        putU32(oddWindow, control + 0x10, 3);
        QTest::newRow("window size not a power of two") << oddWindow;
    }

    void refusesDamagedStructures()
    {
        QFETCH(QByteArray, content);
        QCOMPARE(content.size(), m_real.size());
        ChmArchive archive;
        QVERIFY(!archive.open(write(content)));
        QVERIFY2(archive.errorString().contains(QLatin1String("damaged")),
                 qPrintable(archive.errorString()));
    }

    // #SYSTEM records are read up to the first one that runs past the end; what
    // they would have said comes from the contents instead.
    void overlongSystemRecordFallsBackToContents_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("default topic") << QByteArray("\x02\x00\x0c\x00welcome.htm\x00", 16);
        QTest::newRow("title") << QByteArray("\x03\x00\x15\x00Pingalo! Vantor Help\x00", 25);
    }

    void overlongSystemRecordFallsBackToContents()
    {
        QFETCH(QByteArray, record);
        QByteArray content = m_real;
        const qsizetype at = content.indexOf(record);
        QVERIFY(at > 0);
        content[at + 2] = char(0xff);
        content[at + 3] = char(0xff);
        ChmArchive archive;
        QVERIFY2(archive.open(write(content)), qPrintable(archive.errorString()));
        QCOMPARE(archive.title(), QStringLiteral("Welcome to Pingalo! Vantor"));
        QCOMPARE(archive.defaultTopic(), QStringLiteral("welcome.htm"));
        QCOMPARE(archive.contents().size(), 7);
        QVERIFY(archive.read(archive.defaultTopic()).has_value());
    }

    // Damage anywhere in the file: the reader either refuses it with a reason or
    // opens it and answers every question; it never crashes or hangs.
    void randomDamageIsRefusedOrSurvived()
    {
        const QString path = m_dir.filePath(QStringLiteral("damaged.chm"));
        QRandomGenerator generator(20260412);
        int refused = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray content = m_real;
            const int flips = 1 + int(generator.bounded(6));
            // Half of the rounds hit the headers and the directory, where the
            // structure lives; the rest hit anywhere.
            const qsizetype span = round % 2 ? content.size() : firstChunk() + 4096;
            for (int i = 0; i < flips; ++i)
                content[qsizetype(generator.bounded(quint32(span)))] = char(generator.bounded(256));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(content), content.size());
            f.close();

            ChmArchive archive;
            const bool opened = archive.open(path);
            QCOMPARE(archive.isOpen(), opened);
            QCOMPARE(archive.errorString().isEmpty(), opened);
            if (!opened) {
                ++refused;
                continue;
            }
            for (const QString &file : archive.files())
                (void)archive.read(file);
            (void)outline(archive.contents());
        }
        QVERIFY(refused > 0);
    }
};

PINGALO_TEST(TstChmArchive)
#include "tst_chmarchive.moc"
