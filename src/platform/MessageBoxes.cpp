#include "platform/MessageBoxes.h"

namespace {

int show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
         QMessageBox::StandardButtons buttons = QMessageBox::Ok)
{
    QMessageBox box(icon, MessageBoxes::kTitle, text, buttons, parent);
    box.setObjectName(QStringLiteral("PingaloMessage"));
    return box.exec();
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

bool askYesNo(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    return show(parent, icon, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace MessageBoxes
