// The login windows: the program password at start-up, setting it with a repeat, and the
// login by name.

#include "ui/LoginDialog.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "core/Users.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rat::ui {
namespace {

QLineEdit* passwordEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

// "ОК" (default) and "Отмена" at the bottom right of `layout`.
void addButtons(QDialog* dialog, QVBoxLayout* layout, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("ОК"), dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

} // namespace

LoginDialog::LoginDialog(Mode mode, Prompt& prompt, QWidget* parent)
    : QDialog(parent), mode_(mode), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(app().appTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(mode == Mode::Check ? QStringLiteral("Введите пароль:")
                                                     : QStringLiteral("Введите новый пароль:"),
                                 this));
    password_ = passwordEdit(this, QStringLiteral("txtPassword"));
    layout->addWidget(password_);
    addButtons(this, layout, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &LoginDialog::confirm);
    password_->setFocus();
}

std::optional<QString> LoginDialog::askRepeat()
{
    LoginRepeatDialog repeat(this);
    if (repeat.exec() != QDialog::Accepted)
        return std::nullopt;
    return repeat.text();
}

void LoginDialog::refocus()
{
    password_->setFocus();
    password_->selectAll();
}

void LoginDialog::confirm()
{
    if (mode_ == Mode::Check) {
        if (checkLoginPassword(password_->text(), prompt_)) {
            accept();
            return;
        }
        refocus();
        return;
    }
    const std::optional<QString> repeated = askRepeat();
    if (!repeated) {
        // The repeat window was cancelled: back to the first entry, nothing saved.
        refocus();
        return;
    }
    if (setProgramPassword(password_->text(), *repeated, prompt_) == PasswordResult::Mismatch) {
        refocus();
        return;
    }
    accept();
}

LoginRepeatDialog::LoginRepeatDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin2"));
    setWindowTitle(app().appTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Повторите пароль:"), this));
    password_ = passwordEdit(this, QStringLiteral("txtRepeat"));
    layout->addWidget(password_);
    addButtons(this, layout, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    password_->setFocus();
}

QString LoginRepeatDialog::text() const
{
    return password_->text();
}

LoginByNameDialog::LoginByNameDialog(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmLoginMulti"));
    setWindowTitle(app().appTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(savedLogin(), this);
    name_->setObjectName(QStringLiteral("txtUser"));
    name_->setMaxLength(50);
    password_ = passwordEdit(this, QStringLiteral("txtPassword"));
    password_->setMaxLength(15);
    form->addRow(QStringLiteral("Пользователь:"), name_);
    form->addRow(QStringLiteral("Пароль:"), password_);
    layout->addLayout(form);
    addButtons(this, layout, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &LoginByNameDialog::confirm);
    password_->setFocus();
}

void LoginByNameDialog::confirm()
{
    const std::optional<QString> user = checkUserLogin(db_, name_->text(), password_->text(), prompt_);
    if (!user) {
        password_->setFocus();
        password_->selectAll();
        return;
    }
    currentLogin() = {*user, password_->text()};
    saveLogin(*user);
    accept();
}

bool showLoginCheck(QWidget* parent, Prompt& prompt)
{
    LoginDialog dialog(LoginDialog::Mode::Check, prompt, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool showSetPassword(QWidget* parent, Prompt& prompt)
{
    LoginDialog dialog(LoginDialog::Mode::Set, prompt, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool showLoginByName(QWidget* parent, Database& db, Prompt& prompt)
{
    LoginByNameDialog dialog(db, prompt, parent);
    return dialog.exec() == QDialog::Accepted;
}

void askUserAtStart(Database& db, Prompt& prompt)
{
    if (loginByNameAtStart(db))
        showLoginByName(nullptr, db, prompt);
}

} // namespace rat::ui
