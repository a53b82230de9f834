#pragma once

#include "gui/platform/ChmArchive.h"

#include <QMainWindow>

class QAction;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

// The program's help viewer: the contents of a compiled help file in a tree on
// the left, its pages on the right, and Back, Forward and Home (the file's
// default topic) in a small tool bar. It keeps nothing between openings.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Loads the file and shows its default topic. When the file cannot be used,
    // the window says so in place of a page.
    void openFile(const QString &chmPath);

    QTextBrowser *browser() const;
    QTreeWidget *contentsTree() const;
    QAction *backAction() const { return m_backAction; }
    QAction *forwardAction() const { return m_forwardAction; }
    QAction *homeAction() const { return m_homeAction; }

    // The address under which a page of the open file is shown.
    static QUrl pageUrl(const QString &archivePath);

private:
    void showTopicOfItem(QTreeWidgetItem *item);
    void followLink(const QUrl &url);
    void goHome();
    void selectItemFor(const QUrl &url);
    void showProblem(const QString &heading, const QString &details);

    ChmArchive m_archive;
    QTextBrowser *m_browser = nullptr;
    QTreeWidget *m_tree = nullptr;
    QAction *m_backAction = nullptr;
    QAction *m_forwardAction = nullptr;
    QAction *m_homeAction = nullptr;
};
