#include "gui/password/PassFormCreate.h"

#include "core/store/ProgramSettings.h"
#include "core/store/ScrambleText.h"
#include "gui/platform/MessageBoxes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PassFormCreate::PassFormCreate(ProgramSettings &settings, QWidget *owner)
    : PasswordDialog(QStringLiteral("PassFormCreate"), QStringLiteral("Pingalo! - New Password"),
                     owner)
    , m_settings(settings)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Label1 = new QLabel(QStringLiteral("Your password will help prevent unauthorized viewing, or "
                                       "editing of your reminder notes."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    CurrentPass = passwordBox(
        "CurrentPass", QStringLiteral("If you have a password currently set up enter it here."));
    NewPassA = passwordBox("NewPassA", QStringLiteral("Enter the new password here."));
    NewPassB = passwordBox("NewPassB", QStringLiteral("Re-enter the new password here."));
    Command1 = button(QStringLiteral("&Set Password"), "Command1");
    Command1->setToolTip(QStringLiteral("Set the new password."));
    Command2 = button(QStringLiteral("&Cancel"), "Command2");
    connect(Command1, &QPushButton::clicked, this, &PassFormCreate::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PassFormCreate::Command2_Click);

    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(10);
    grid->addWidget(iconLabel(), 0, 0, Qt::AlignTop);
    grid->addWidget(Label1, 0, 1, 1, 2);
    const std::pair<QString, QLineEdit *> rows[] = {
        {QStringLiteral("Current Password (Leave blank if you do not have one.):"), CurrentPass},
        {QStringLiteral("New Password:"), NewPassA},
        {QStringLiteral("Re-Enter New Password:"), NewPassB}};
    int row = 1;
    for (const auto &[caption, box] : rows) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box); // the box's name, for screen readers too
        grid->addWidget(label, row, 1);
        grid->addWidget(box, row++, 2);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, row, 1, 1, 2);

    QWidget *order[] = {CurrentPass, NewPassA, NewPassB, Command1, Command2};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    CurrentPass->setFocus();
}

void PassFormCreate::Command1_Click()
{
    const bool typed = !CurrentPass->text().isEmpty();
    const bool stored = m_settings.hasPassword();
    if (typed && stored) {
        if (m_settings.isPassword(CurrentPass->text()))
            SavePassword();
        else
            refuse(QStringLiteral("The password you entered is invalid. Please try again."),
                   CurrentPass);
    } else if (typed) {
        refuse(QStringLiteral("Current password not required."), NewPassA);
    } else if (!stored) {
        SavePassword();
    } else {
        refuse(QStringLiteral("You must enter your current password."), CurrentPass);
    }
}

void PassFormCreate::SavePassword()
{
    const QString password = NewPassA->text();
    if (password.isEmpty())
        return refuse(QStringLiteral("You must enter a password."), NewPassA);
    if (NewPassB->text().isEmpty())
        return refuse(QStringLiteral("You must enter a password."), NewPassB);
    if (NewPassB->text() != password)
        return refuse(QStringLiteral("The passwords you entered do not match."), NewPassB);
    qsizetype at = 0;
    const auto scrambled = ScrambleText(password, QStringLiteral("1"), &at);
    if (!scrambled && at >= password.size())
        return refuse(QStringLiteral("The new password is too long. Please choose a shorter one."),
                      NewPassA);
    if (!scrambled) {
        const QString character = password.mid(at, password.at(at).isHighSurrogate() ? 2 : 1);
        return refuse(QStringLiteral("The new password holds \"%1\", a character that Pingalo! "
                                     "cannot store in a password. Please choose a password "
                                     "without it.")
                          .arg(character),
                      NewPassA);
    }
    if (!m_settings.setStoredPassword(*scrambled))
        return MessageBoxes::exclamation(this, MessageBoxes::kSettingsNotWritten);
    MessageBoxes::exclamation(this, QStringLiteral("Your password has been saved."));
    Q_EMIT passwordSaved();
    close();
}

void PassFormCreate::Command2_Click()
{
    close();
}

void PassFormCreate::refuse(const QString &message, QLineEdit *fault)
{
    MessageBoxes::exclamation(this, message);
    fault->setFocus();
}
