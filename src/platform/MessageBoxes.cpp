#include "platform/MessageBoxes.h"

namespace {

void show(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, MessageBoxes::kTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PingaloMessage"));
    box.exec();
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

} // namespace MessageBoxes
