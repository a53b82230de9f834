#include "platform/MessageBoxes.h"

namespace {

QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, MessageBoxes::kTitle, text, buttons, parent);
    box.setObjectName(QStringLiteral("PingaloMessage"));
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

namespace MessageBoxes {

void exclamation(QWidget *parent, const QString &text)
{
    ask(parent, QMessageBox::Warning, text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &text)
{
    ask(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

void critical(QWidget *parent, const QString &text)
{
    ask(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

bool askYesNo(QWidget *parent, const QString &text, QMessageBox::Icon icon)
{
    return ask(parent, icon, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool askOkCancel(QWidget *parent, const QString &text)
{
    return ask(parent, QMessageBox::Warning, text, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

} // namespace MessageBoxes
