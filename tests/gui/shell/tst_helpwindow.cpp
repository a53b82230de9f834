// The help window over the committed help file: the default topic and the
// contents tree, moving between pages by the tree, links and the tool bar, and a
// plain message instead of a missing page.
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
    void open(const QUrl &url) { m_handedToDesktop.append(url); } // the desktop's handler

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

        // Web and mail addresses go to the desktop, a file's to nobody; the page stays.
        for (const char *scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        for (const char *url : {"https://example.org/", "http://example.org/",
                                "mailto:a@example.org", "file:///etc/passwd"})
            Q_EMIT browser->anchorClicked(QUrl(QString::fromLatin1(url)));
        QCOMPARE(m_handedToDesktop.size(), 3);
        QCOMPARE(browser->source(), page("password.htm"));

        browser->setSource(QUrl(u"nothing-here.htm"_s)); // a message, not nothing
        QVERIFY(browser->toPlainText().contains(
            u"This page could not be found in the help file.\nnothing-here.htm"_s));
    }
};

PINGALO_TEST(TstHelpWindow)
#include "tst_helpwindow.moc"
