#include "gui/list/Editor.h"

#include "core/scheduler/Scheduler.h"
#include "core/scheduler/SchedulerHost.h"
#include "core/store/ReminderStore.h"
#include "core/store/TextForms.h"
#include "gui/list/ReminderListModel.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/MessageBoxes.h"
#include "gui/platform/WindowPlacement.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

Editor::Editor(const Services &services, QWidget *owner)
    : QDialog(owner)
    , m_services(services)
    , m_rows(new ReminderListModel(this))
{
    setObjectName(QStringLiteral("Editor"));
    setWindowTitle(QStringLiteral("Pingalo! Vantor - List Viewer"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    FixedLayout::useFont(this);
    setFixedSize(473, 289);

    RList = new QTreeView(this);
    RList->setObjectName(QStringLiteral("RList"));
    RList->setGeometry(0, 0, 473, 249);
    RList->setRootIsDecorated(false);
    RList->setUniformRowHeights(true);
    RList->setAllColumnsShowFocus(true);
    RList->setSelectionBehavior(QAbstractItemView::SelectRows);
    RList->setSelectionMode(QAbstractItemView::SingleSelection);
    RList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RList->setModel(m_rows);
    // Column widths as the list was drawn: 1300, 1300, 600, 1600, 1600 and 1200 twips.
    const int widths[] = {87, 87, 40, 107, 107, 80};
    for (int column = 0; column < ReminderListModel::ColumnCount; ++column)
        RList->setColumnWidth(column, widths[column]);
    // Unsorted until a header is clicked; a third click goes back to the stored order.
    RList->header()->setSortIndicator(-1, Qt::AscendingOrder);
    RList->header()->setSortIndicatorClearable(true);
    RList->setSortingEnabled(true);
    connect(RList, &QAbstractItemView::doubleClicked, this, &Editor::ViewBttn_Click);
    RList->installEventFilter(this); // Enter
    connect(RList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { setRowButtonsEnabled(selectedRow().has_value()); });

    ViewBttn = FixedLayout::place(new QPushButton(QStringLiteral("&View"), this), "ViewBttn", 120,
                                  256, 73, 25, QStringLiteral("View the selected reminder."));
    connect(ViewBttn, &QPushButton::clicked, this, &Editor::ViewBttn_Click);
    DeleteSelected =
        FixedLayout::place(new QPushButton(QStringLiteral("&Delete"), this), "DeleteSelected", 200,
                           256, 73, 25, QStringLiteral("Deletes the selected reminder"));
    connect(DeleteSelected, &QPushButton::clicked, this, &Editor::DeleteSelected_Click);
    Command1 = FixedLayout::place(new QPushButton(QStringLiteral("&Cancel"), this), "Command1", 280,
                                  256, 73, 25);
    connect(Command1, &QPushButton::clicked, this, &Editor::Command1_Click);
    setRowButtonsEnabled(false);

    QWidget::setTabOrder(RList, ViewBttn);
    QWidget::setTabOrder(ViewBttn, DeleteSelected);
    QWidget::setTabOrder(DeleteSelected, Command1);
    RList->setFocus();

    // F1 wherever the focus is in the window.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { m_services.showHelp(); });

    Form_Load();
}

void Editor::Form_Load()
{
    m_rows->load(m_services.store);
    // The first row comes selected, so that Enter and View act at once.
    if (m_rows->rowCount() > 0)
        RList->setCurrentIndex(m_rows->index(0, 0));
}

std::optional<int> Editor::selectedRow() const
{
    const QModelIndexList selected = RList->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first().row();
}

void Editor::setRowButtonsEnabled(bool enabled)
{
    ViewBttn->setEnabled(enabled);
    DeleteSelected->setEnabled(enabled);
}

void Editor::ViewBttn_Click()
{
    const auto index = selectedRow();
    if (!index)
        return;
    const ReminderListModel::Row &row = m_rows->row(*index);
    // The day only: a row is viewed without its time of day.
    const auto date = TextForms::parseDate(row.date);
    m_services.alerts.setReminderText(
        Scheduler::reminderText(date ? TextForms::dayKey(*date) : row.date, row.note));
    m_services.alerts.playSound(row.sound);
    // Only looked at, not due: nothing to snooze.
    m_services.alerts.showReminderWindow(std::nullopt);
}

void Editor::DeleteSelected_Click()
{
    const auto index = selectedRow();
    if (!index || !MessageBoxes::yesNo(this, kDeleteQuestion))
        return;
    const ReminderListModel::Row &row = m_rows->row(*index);
    // A reminder that came up (or went) since the list was read is not counted
    // again: a count run ahead of the slots would let its day be removed with
    // a live reminder in it; nor is another reminder that took its number
    // since. A delete the store refused keeps its row, so that the list never
    // shows as gone a reminder that will still come up.
    const ReminderRecord listed{row.storedNote, row.sound, row.type, row.time};
    if (m_services.store.deleteListed(row.date, row.num.toLongLong(), listed) ==
        ReminderStore::ListedDelete::Failed)
        return;
    m_rows->removeRows(*index, 1);
    RList->clearSelection();
    setRowButtonsEnabled(false);
}

void Editor::Command1_Click()
{
    close();
}

bool Editor::eventFilter(QObject *watched, QEvent *event)
{
    // Taken here, so that it does not go on to press the window's default button too.
    if (watched == RList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ViewBttn_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Editor::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this);
}
