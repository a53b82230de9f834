// The help window over the committed help file: the default topic and the
// contents tree, moving between pages by the tree, links and the tool bar, and a
// plain message instead of a page when the file cannot be used.
#include "TestRegistry.h"
#include "gui/shell/HelpWindow.h"

#include <QtWidgets>

namespace {

const QString helpFile = QStringLiteral(PINGALO_SOURCE_DIR "/resources/Pingalo_Help.chm");

QUrl page(const char *path)
{
    return HelpWindow::pageUrl(QString::fromLatin1(path));
}

} // namespace

class TstHelpWindow : public QObject {
    Q_OBJECT

    QList<QUrl> m_handedToDesktop;

public Q_SLOTS:
    // Stands in for the desktop's handler of web addresses.
    void open(const QUrl &url) { m_handedToDesktop.append(url); }

private Q_SLOTS:
    void opensTheDefaultTopicAndMovesBetweenPages()
    {
        HelpWindow window;
        window.openFile(helpFile);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTreeWidget *tree = window.contentsTree();
        QTextBrowser *browser = window.browser();
        const auto click = [tree](const char *text) {
            const auto found = tree->findItems(QString::fromLatin1(text), Qt::MatchRecursive);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                              tree->visualItemRect(found.value(0)).center());
        };

        QCOMPARE(browser->source(), page("welcome.htm"));
        // The shared stylesheet comes from the file: headings take its colour.
        const QTextBlock heading = browser->document()->firstBlock();
        QCOMPARE(heading.charFormat().foreground().color(), QColor(0x1d, 0x4f, 0x91));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0)); // the page shown is marked

        click("Bill reminders");
        QCOMPARE(browser->source(), page("bills.htm"));
        click("Where your reminders are kept");
        QCOMPARE(browser->source(), page("data.htm"));
        window.backAction()->trigger();
        QCOMPARE(browser->source(), page("bills.htm"));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(1)->child(1)); // the tree follows
        window.backAction()->trigger();
        QVERIFY(!window.backAction()->isEnabled());
        window.forwardAction()->trigger();
        QCOMPARE(browser->source(), page("bills.htm"));
        window.homeAction()->trigger();
        QCOMPARE(browser->source(), page("welcome.htm"));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));

        // The first link of the welcome page, reached with the keyboard.
        browser->setFocus();
        QTest::keyClick(browser, Qt::Key_Tab);
        QTest::keyClick(browser, Qt::Key_Return);
        QCOMPARE(browser->source(), page("password.htm"));

        browser->setSource(QUrl(u"nothing-here.htm"_s)); // a message, not nothing
        QVERIFY(browser->toPlainText().contains(
            u"This page could not be found in the help file.\nnothing-here.htm"_s));
    }

    void webAddressesGoToTheDesktop()
    {
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        HelpWindow window;
        window.openFile(helpFile);
        const QList<QUrl> external{QUrl(u"https://example.org/pingalo"_s),
                                   QUrl(u"http://example.org/"_s),
                                   QUrl(u"mailto:help@example.org"_s)};
        for (const QUrl &url : external + QList<QUrl>{QUrl(u"file:///etc/passwd"_s)})
            Q_EMIT window.browser()->anchorClicked(url);
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        QCOMPARE(m_handedToDesktop, external);
        QCOMPARE(window.browser()->source(), page("welcome.htm")); // the page stays
    }

    void anUnusableFileShowsAMessage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Pingalo_Help.chm"_s); // not there
        HelpWindow window;
        window.openFile(helpFile); // a file that was open before is let go
        window.openFile(path);
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.startsWith(u"The help file could not be opened.\n"_s +
                                 QDir::toNativeSeparators(path)),
                 qPrintable(text));
        QVERIFY2(text.contains(u"does not exist"_s), qPrintable(text));
        QCOMPARE(window.contentsTree()->topLevelItemCount(), 0);
        QVERIFY(!window.homeAction()->isEnabled());
        window.openFile(helpFile); // once the file is there again, its pages come back
        QCOMPARE(window.browser()->source(), page("welcome.htm"));
    }
};

PINGALO_TEST(TstHelpWindow)
#include "tst_helpwindow.moc"
