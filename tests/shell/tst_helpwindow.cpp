// The help window over the committed help file: the default topic and the
// contents tree, moving between pages by the tree, links and the tool bar, and a
// plain message instead of a page when the file cannot be used.
#include "TestRegistry.h"
#include "shell/HelpWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

namespace {

QString helpFile()
{
    return QStringLiteral(PINGALO_SOURCE_DIR "/resources/Pingalo_Help.chm");
}

QTreeWidgetItem *findItem(QTreeWidget *tree, const QString &text)
{
    const QList<QTreeWidgetItem *> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.size() == 1 ? found.first() : nullptr;
}

} // namespace

// Receives the addresses that the window hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

class TstHelpWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void opensOnTheDefaultTopicWithTheContentsTree()
    {
        HelpWindow window;
        window.openFile(helpFile());
        QCOMPARE(window.windowTitle(), QStringLiteral("Pingalo! Vantor - Help"));
        QCOMPARE(window.browser()->source(), HelpWindow::pageUrl(QStringLiteral("welcome.htm")));
        QVERIFY(window.browser()->toPlainText().startsWith(
            QStringLiteral("Welcome to Pingalo! Vantor")));

        QTreeWidget *tree = window.contentsTree();
        QCOMPARE(tree->topLevelItemCount(), 7);
        QTreeWidgetItem *creating = tree->topLevelItem(1);
        QCOMPARE(creating->text(0), QStringLiteral("Creating reminders"));
        QCOMPARE(creating->childCount(), 3);
        QVERIFY(creating->isExpanded());
        QCOMPARE(creating->child(1)->text(0), QStringLiteral("Bill reminders"));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0)); // the page shown is marked

        // The shared stylesheet comes from the file: headings take its colour.
        const QTextBlock heading = window.browser()->document()->firstBlock();
        QCOMPARE(heading.text().trimmed(), QStringLiteral("Welcome to Pingalo! Vantor"));
        QCOMPARE(heading.charFormat().foreground().color(), QColor(0x1d, 0x4f, 0x91));

        QVERIFY(window.homeAction()->isEnabled());
        QVERIFY(!window.backAction()->isEnabled());
        QVERIFY(!window.forwardAction()->isEnabled());
    }

    void treeAndToolBarMoveBetweenPages()
    {
        HelpWindow window;
        window.openFile(helpFile());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidget *tree = window.contentsTree();
        QTextBrowser *browser = window.browser();

        QTreeWidgetItem *bills = findItem(tree, QStringLiteral("Bill reminders"));
        QVERIFY(bills);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(bills).center());
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("bills.htm")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Bill Reminder Wizard")));
        QVERIFY(window.backAction()->isEnabled());

        QTreeWidgetItem *data = findItem(tree, QStringLiteral("Where your reminders are kept"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(data).center());
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("data.htm")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("not encryption")));

        window.backAction()->trigger();
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("bills.htm")));
        QCOMPARE(tree->currentItem(), bills); // the tree follows the page
        QVERIFY(window.forwardAction()->isEnabled());
        window.backAction()->trigger();
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("welcome.htm")));
        QVERIFY(!window.backAction()->isEnabled());
        window.forwardAction()->trigger();
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("bills.htm")));

        window.homeAction()->trigger();
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("welcome.htm")));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    }

    void linksOpenPagesOfTheFile()
    {
        HelpWindow window;
        window.openFile(helpFile());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTextBrowser *browser = window.browser();

        // The first link of the welcome page, reached with the keyboard.
        browser->setFocus();
        QTest::keyClick(browser, Qt::Key_Tab);
        QVERIFY(browser->textCursor().hasSelection());
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("password.htm")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Lock-down")));

        // A link relative to the page shown, with an anchor.
        browser->setSource(QUrl(QStringLiteral("missed.htm#days")));
        QCOMPARE(browser->source(), HelpWindow::pageUrl(QStringLiteral("missed.htm#days")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Changing the look-back")));
        QCOMPARE(window.contentsTree()->currentItem()->text(0), QStringLiteral("Missed reminders"));

        // A page that the file does not hold: a message, not an empty page.
        browser->setSource(QUrl(QStringLiteral("nothing-here.htm")));
        QVERIFY(browser->toPlainText().contains(
            QStringLiteral("This page could not be found in the help file.")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("nothing-here.htm")));
    }

    void webAddressesGoToTheDesktop()
    {
        UrlRecorder recorder;
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "open");
        HelpWindow window;
        window.openFile(helpFile());
        const QUrl page = window.browser()->source();
        const QList<QUrl> external{QUrl(QStringLiteral("https://example.org/pingalo")),
                                   QUrl(QStringLiteral("http://example.org/")),
                                   QUrl(QStringLiteral("mailto:help@example.org"))};
        for (const QUrl &url : external)
            Q_EMIT window.browser()->anchorClicked(url);
        Q_EMIT window.browser()->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(recorder.urls, external);
        QCOMPARE(window.browser()->source(), page); // the page stays
    }

    void unusableFilesShowAMessage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("does not exist");
        QTest::newRow("not a help file")
            << QByteArray("just some text\n") << QStringLiteral("is not a compiled help file");
    }

    void unusableFilesShowAMessage()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path =
            m_dir.filePath(QStringLiteral("%1.chm").arg(QLatin1String(QTest::currentDataTag())));
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }

        HelpWindow window;
        window.openFile(helpFile()); // a file that was open before is let go
        window.openFile(path);
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.startsWith(QStringLiteral("The help file could not be opened.")),
                 qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QCOMPARE(window.contentsTree()->topLevelItemCount(), 0);
        QVERIFY(!window.homeAction()->isEnabled());
        QVERIFY(!window.backAction()->isEnabled());
        QVERIFY(!window.forwardAction()->isEnabled());
        window.homeAction()->trigger(); // does nothing harmful
        QCOMPARE(window.browser()->toPlainText(), text);

        // Once the file is there again, its pages come back.
        window.openFile(helpFile());
        QCOMPARE(window.browser()->source(), HelpWindow::pageUrl(QStringLiteral("welcome.htm")));
        QVERIFY(window.browser()->toPlainText().startsWith(
            QStringLiteral("Welcome to Pingalo! Vantor")));
        QCOMPARE(window.contentsTree()->topLevelItemCount(), 7);
    }
};

PINGALO_TEST(TstHelpWindow)
#include "tst_helpwindow.moc"
