#include "gui/platform/MessageBoxes.h"

#include "gui/platform/WindowPlacement.h"

#include <QInputDialog>
#include <QLabel>

namespace {

// A message box comes up over its parent once it has taken the size its text
// needs (QDialog places it before that, by a first guess at its size).
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        centreOver(this, parentWidget());
    }
};

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok)
{
    MessageBox box(icon, MessageBoxes::kTitle, text, buttons, parent);
    box.setObjectName(QStringLiteral("PingaloMessage"));
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

namespace MessageBoxes {

void exclamation(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Warning, text);
}

void information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, text);
}

void critical(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, text);
}

QMessageBox *informationWithoutWaiting(const QString &text)
{
    auto *box = new MessageBox(QMessageBox::Information, kTitle, text, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("PingaloMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

bool yesNo(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    return show(parent, icon, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool okCancel(QWidget *parent, const QString &text)
{
    return show(parent, QMessageBox::Warning, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

QString input(QWidget *parent, const QString &prompt, const QString &preset)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PingaloInput"));
    dialog.setWindowTitle(kInputTitle);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(prompt);
    dialog.setTextValue(preset);
    // A long prompt wraps rather than stretching the box across the screen.
    if (auto *label = dialog.findChild<QLabel *>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 52);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace MessageBoxes
