#include "gui/shell/HelpWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

namespace {

const QString kPageScheme = QStringLiteral("help");
constexpr int kLocalRole = Qt::UserRole;

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString messagePage(const QString &heading, const QString &details)
{
    return QStringLiteral("<html><body><h2>%1</h2><p>%2</p></body></html>")
        .arg(escaped(heading), details);
}

// Shows the pages of the open help file: pages, stylesheets and pictures all come
// from the archive, and relative addresses are taken relative to the page shown.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(const ChmArchive &archive, QWidget *parent)
        : QTextBrowser(parent)
        , m_archive(archive)
    {
    }

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = name.isRelative() ? m_page.resolved(name) : name;
        if (url.scheme() != kPageScheme)
            return {}; // nothing from the network or the local disk
        const QString path = url.path();
        if (type == QTextDocument::HtmlResource)
            m_page = url;
        const auto data = m_archive.read(path);
        if (!data) {
            if (type != QTextDocument::HtmlResource)
                return {};
            return messagePage(QStringLiteral("This page could not be found in the help file."),
                               escaped(QDir::toNativeSeparators(path.mid(1))));
        }
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(*data);
        return *data;
    }

protected:
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override
    {
        const QUrl url = name.isRelative() && !m_page.isEmpty() ? m_page.resolved(name) : name;
        if (url.scheme() == kPageScheme)
            m_page = url;
        QTextBrowser::doSetSource(url, type);
    }

private:
    const ChmArchive &m_archive;
    QUrl m_page;
};

void addTopics(QTreeWidgetItem *parent, QTreeWidget *tree, const QList<ChmTopic> &topics)
{
    for (const ChmTopic &topic : topics) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, topic.name);
        item->setData(0, kLocalRole, topic.local);
        item->setToolTip(0, topic.name); // for names wider than the tree
        addTopics(item, tree, topic.children);
    }
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Pingalo! Vantor - Help"));
    resize(760, 520);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("contentsTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_browser = new HelpBrowser(m_archive, splitter);
    m_browser->setObjectName(QStringLiteral("pageBrowser"));
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);

    // The desktop's own icons where it has them, Qt's otherwise.
    const auto themeIcon = [this](const char *name, QStyle::StandardPixmap fallback) {
        return QIcon::fromTheme(QLatin1String(name), style()->standardIcon(fallback));
    };
    auto *toolBar = addToolBar(QStringLiteral("Navigation"));
    toolBar->setObjectName(QStringLiteral("navigationBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    m_backAction =
        toolBar->addAction(themeIcon("go-previous", QStyle::SP_ArrowBack), QStringLiteral("Back"));
    m_backAction->setShortcut(QKeySequence::Back);
    m_backAction->setEnabled(false);
    m_forwardAction = toolBar->addAction(themeIcon("go-next", QStyle::SP_ArrowForward),
                                         QStringLiteral("Forward"));
    m_forwardAction->setShortcut(QKeySequence::Forward);
    m_forwardAction->setEnabled(false);
    m_homeAction =
        toolBar->addAction(themeIcon("go-home", QStyle::SP_DirHomeIcon), QStringLiteral("Home"));
    m_homeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    m_homeAction->setEnabled(false);

    connect(m_backAction, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forwardAction, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_homeAction, &QAction::triggered, this, &HelpWindow::goHome);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backAction, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardAction, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::selectItemFor);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { showTopicOfItem(current); });
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { showTopicOfItem(item); });
}

HelpWindow::~HelpWindow() = default;

QTextBrowser *HelpWindow::browser() const
{
    return m_browser;
}

QTreeWidget *HelpWindow::contentsTree() const
{
    return m_tree;
}

QUrl HelpWindow::pageUrl(const QString &archivePath)
{
    QString path = archivePath;
    QString fragment;
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    QUrl url;
    url.setScheme(kPageScheme);
    url.setPath(QLatin1Char('/') + ChmArchive::normalizedPath(path));
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

void HelpWindow::openFile(const QString &chmPath)
{
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->clear();
    }
    m_homeAction->setEnabled(false);

    if (!m_archive.open(chmPath)) {
        showProblem(
            QStringLiteral("The help file could not be opened."),
            QStringLiteral("%1<br>%2")
                .arg(escaped(QDir::toNativeSeparators(chmPath)), escaped(m_archive.errorString())));
        return;
    }
    {
        const QSignalBlocker blocker(m_tree);
        addTopics(nullptr, m_tree, m_archive.contents());
        m_tree->expandAll();
    }
    if (m_archive.defaultTopic().isEmpty()) {
        showProblem(QStringLiteral("The help file holds no pages."),
                    escaped(QDir::toNativeSeparators(chmPath)));
        return;
    }
    m_homeAction->setEnabled(true);
    m_browser->setSource(pageUrl(m_archive.defaultTopic()));
    m_browser->clearHistory();
}

void HelpWindow::showProblem(const QString &heading, const QString &details)
{
    m_browser->clearHistory();
    m_browser->setHtml(messagePage(heading, details));
    m_backAction->setEnabled(false);
    m_forwardAction->setEnabled(false);
}

void HelpWindow::showTopicOfItem(QTreeWidgetItem *item)
{
    if (!item || !m_archive.isOpen())
        return;
    const QString local = item->data(0, kLocalRole).toString();
    if (local.isEmpty())
        return;
    const QUrl url = pageUrl(local);
    if (url != m_browser->source())
        m_browser->setSource(url);
}

void HelpWindow::followLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == kPageScheme) {
        m_browser->setSource(url);
    } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
               scheme == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
    }
}

void HelpWindow::goHome()
{
    if (m_archive.isOpen() && !m_archive.defaultTopic().isEmpty())
        m_browser->setSource(pageUrl(m_archive.defaultTopic()));
}

// Keeps the tree's selection on the page shown, without opening it again.
void HelpWindow::selectItemFor(const QUrl &url)
{
    if (url.scheme() != kPageScheme)
        return;
    const QString path = ChmArchive::normalizedPath(url.path());
    QTreeWidgetItem *current = m_tree->currentItem();
    if (current && ChmArchive::normalizedPath(current->data(0, kLocalRole).toString())
                           .compare(path, Qt::CaseInsensitive) == 0)
        return;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        const QString local = (*it)->data(0, kLocalRole).toString();
        if (!local.isEmpty() &&
            ChmArchive::normalizedPath(local).compare(path, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker blocker(m_tree);
            m_tree->setCurrentItem(*it);
            return;
        }
    }
    const QSignalBlocker blocker(m_tree);
    m_tree->setCurrentItem(nullptr);
}
