// The compiled help reader: the committed help file read back, the contents
// parser's leniency, and files that are missing, foreign, cut short or damaged,
// which must be refused with a reason and never crash or hang.
#include "TestFiles.h"
#include "TestRegistry.h"
#include "gui/platform/ChmArchive.h"
#include "gui/platform/ChmDirectory.h"
#include "gui/platform/ChmSitemap.h"

#include <QtCore>

namespace {

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

    // The committed file with a second directory chunk laid over the unused start of
    // the data section: an index whose only child is chunk `child`, made the root of
    // the lookups.
    QByteArray withIndex(char child) const
    {
        QByteArray index = QByteArray("PMGI") + QByteArray(4, '\0') + "\x01/" + child;
        qToLittleEndian(quint32(4096 - index.size()), index.data() + 4);
        QByteArray data = patched(itsp() + 0x2c, 2);              // two chunks
        qToLittleEndian(quint32(1), data.data() + itsp() + 0x1c); // the root: the index
        return data.replace(firstChunk() + 4096, index.size(), index);
    }

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
        // Without a contents file as well: the first page gives both.
        QVERIFY(archive.open(writeFile(m_dir.filePath(u"bare.chm"_s),
                                       patched(at, 0xffff0002u).replace(".hhc", ".hhx"))));
        QCOMPARE(archive.title() + u' ' + archive.defaultTopic(), u"Bill reminders bills.htm"_s);
        QVERIFY(archive.contents().isEmpty());

        // The same file as version 2 of the format, with an index chunk over its leaf,
        // or with its contents file under another name (the one #SYSTEM gives): read alike.
        QVERIFY(archive.open(helpFile));
        const QStringList contents = outline(archive.contents());
        QVERIFY(!contents.isEmpty());
        QByteArray renamed = m_real;
        for (const QByteArray &variant :
             {patched(4, 2), withIndex(0), renamed.replace(".hhc", ".hhx")}) {
            QVERIFY2(archive.open(writeFile(m_dir.filePath(u"variant.chm"_s), variant)),
                     qPrintable(archive.errorString()));
            QCOMPARE(archive.read(u"welcome.htm"_s), page);
            QCOMPARE(outline(archive.contents()), contents);
        }

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
        // Names fold A to Z only; a text ends at its first NUL.
        QCOMPARE(ChmDirectory::foldCase("@AZ[`az{"), "@az[`az{");
        QVERIFY(ChmSitemap::cString(QByteArray("\0tail", 5)).isEmpty());
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
        QByteArray twoStreams = m_real;
        twoStreams[twoStreams.indexOf("/Content", chunk) - 1] = 'x'; // another stream's part
        // The control record moved far into the data section, and the file cut inside it.
        QByteArray controlCut = m_real;
        const qsizetype start = controlCut.indexOf("/ControlData", chunk) + 13; // two bytes
        controlCut[start] = char(0xe0), controlCut[start + 1] = '\0';           // 0x3000
        controlCut.truncate(qFromLittleEndian<quint32>(m_real.constData() + 0x58) + 0x3000 + 10);
        const struct {
            const char *name;
            QByteArray content;
            QString reason;
        } cases[] = {
            // clang-format off
            {"missing", {}, u"does not exist"_s}, // not made
            {"empty", {}, u"is empty"_s},
            {"another format", QByteArray("PK\x03\x04") + m_real.mid(4), foreign},
            {"version 3 header too short", patched(8, 0x58), foreign},
            {"inside the directory", m_real.left(chunk + 100), cut},
            {"all but the last byte", m_real.chopped(1), cut},
            {"control record cut short", controlCut, cut},
            {"no directory header", patched(itsp(), 0), damaged},
            // Each of these would make the help library loop for ever, read or write
            // outside its buffers, or divide by zero.
            {"leaf chain loops", patched(chunk + 0x10, 0), damaged}, // to itself
            {"leaf chain leads far outside", patched(chunk + 0x10, 0x7ffffff0), damaged},
            {"index chunk points to itself", withIndex(1), damaged},
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
            if (c.name != "missing"_L1)
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
#include "tst_chmarchive.moc"
