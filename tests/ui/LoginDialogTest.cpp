// The login windows as real widgets: the password asked until it is right, the repeat window
// of set mode, and the login-by-name window.

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "core/Settings.h"
#include "core/Users.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/LoginDialog.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace rat;
using rat::ui::LoginByNameDialog;
using rat::ui::LoginDialog;
using rat::ui::LoginRepeatDialog;

namespace {

const QString kWrong = QStringLiteral("critical: Неверный пароль, введите заново!");
const QString kMismatch = QStringLiteral("critical: Повторный ввод неверен.");

QString storedPassword()
{
    return Settings::text(QStringLiteral("User"), QStringLiteral("Passw"));
}

// Runs `act` on the modal window named `name` once its event loop is running. A window that
// never shows up fails the test and every open dialog is closed, so nothing waits for ever.
template <class T>
void whenModal(const QString& name, std::function<void(T*)> act)
{
    QTimer::singleShot(0, [name, act] {
        auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!w || w->objectName() != name) {
            ADD_FAILURE() << "no modal window " << name.toStdString();
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible())
                    d->reject();
            return;
        }
        act(w);
    });
}

// Types into a field the way a person does after clicking OK elsewhere: the focus is away from
// it and nothing is selected.
void type(QLineEdit* field, QPushButton* ok, const QString& text)
{
    field->setText(text);
    field->deselect();
    ok->setFocus();
}

bool focusedAndSelected(QDialog& dialog, QLineEdit* field)
{
    return dialog.focusWidget() == field && field->selectionStart() == 0 &&
           field->selectionLength() == field->text().size() && !field->text().isEmpty();
}

} // namespace

TEST(LoginDialog, CheckModeAsksUntilRight)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("Кухня"));
    test::ScriptedPrompt prompt;

    LoginDialog dialog(LoginDialog::Mode::Check, prompt);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("frmLogin"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Рационарий"));
    EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("ОК"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("Отмена"));
    dialog.show();

    // Two wrong tries: each is told, and the window stays with the text selected for retyping.
    for (const QString& wrong : {QStringLiteral("кухня"), QStringLiteral("Кухня 2")}) {
        type(dialog.passwordField(), dialog.okButton(), wrong);
        dialog.okButton()->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(focusedAndSelected(dialog, dialog.passwordField())) << wrong.toStdString();
    }
    EXPECT_EQ(prompt.messages(), (QStringList{kWrong, kWrong}));

    // Blanks around the right password do not count.
    type(dialog.passwordField(), dialog.okButton(), QStringLiteral("  Кухня "));
    dialog.okButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.messages().size(), 2);
}

TEST(LoginDialog, StartUpLoginConfirmsOrCancels)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("7"));
    test::ScriptedPrompt prompt;

    whenModal<LoginDialog>(QStringLiteral("frmLogin"), [](LoginDialog* d) {
        d->passwordField()->setText(QStringLiteral("8"));
        d->okButton()->click();
        d->passwordField()->setText(QStringLiteral("7"));
        d->okButton()->click();
    });
    EXPECT_TRUE(ui::showLoginCheck(nullptr, prompt));
    EXPECT_EQ(prompt.messages(), QStringList{kWrong});

    prompt.clear();
    whenModal<LoginDialog>(QStringLiteral("frmLogin"), [](LoginDialog* d) {
        d->passwordField()->setText(QStringLiteral("7"));
        d->cancelButton()->click();
    });
    EXPECT_FALSE(ui::showLoginCheck(nullptr, prompt));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(LoginDialog, SetModeConfirmsWithTheRepeatWindow)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("старый"));
    test::ScriptedPrompt prompt;

    LoginDialog dialog(LoginDialog::Mode::Set, prompt);
    dialog.show();

    // A repeat that differs: told, nothing saved, the first entry selected for retyping.
    type(dialog.passwordField(), dialog.okButton(), QStringLiteral("новый"));
    bool repeatShown = false;
    whenModal<LoginRepeatDialog>(QStringLiteral("frmLogin2"), [&](LoginRepeatDialog* r) {
        repeatShown = true;
        EXPECT_EQ(r->passwordField()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(r->parentWidget(), &dialog);
        r->passwordField()->setText(QStringLiteral("новый1"));
        r->okButton()->click();
    });
    dialog.okButton()->click();
    EXPECT_TRUE(repeatShown);
    EXPECT_EQ(prompt.messages(), QStringList{kMismatch});
    EXPECT_EQ(storedPassword(), QStringLiteral("старый"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(focusedAndSelected(dialog, dialog.passwordField()));

    // The repeat window cancelled: back to the first entry, nothing told or saved.
    prompt.clear();
    type(dialog.passwordField(), dialog.okButton(), QStringLiteral("новый"));
    whenModal<LoginRepeatDialog>(QStringLiteral("frmLogin2"), [](LoginRepeatDialog* r) {
        r->passwordField()->setText(QStringLiteral("новый"));
        r->cancelButton()->click();
    });
    dialog.okButton()->click();
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(storedPassword(), QStringLiteral("старый"));
    EXPECT_TRUE(dialog.isVisible());

    // A matching repeat saves the password as typed, blanks included.
    type(dialog.passwordField(), dialog.okButton(), QStringLiteral(" новый"));
    whenModal<LoginRepeatDialog>(QStringLiteral("frmLogin2"), [](LoginRepeatDialog* r) {
        r->passwordField()->setText(QStringLiteral(" новый"));
        r->okButton()->click();
    });
    dialog.okButton()->click();
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("info: Пароль установлен.")});
    EXPECT_EQ(storedPassword(), QStringLiteral(" новый"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(LoginDialog, SetModeRemovesThePassword)
{
    test::TestEnv env;
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("старый"));
    test::ScriptedPrompt prompt;

    whenModal<LoginDialog>(QStringLiteral("frmLogin"), [](LoginDialog* d) {
        whenModal<LoginRepeatDialog>(QStringLiteral("frmLogin2"), [](LoginRepeatDialog* r) { r->okButton()->click(); });
        d->okButton()->click();
    });
    EXPECT_TRUE(ui::showSetPassword(nullptr, prompt));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("info: Пароль снят.")});
    EXPECT_EQ(storedPassword(), QString());

    // Cancelled: the password stays.
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("старый"));
    prompt.clear();
    whenModal<LoginDialog>(QStringLiteral("frmLogin"), [](LoginDialog* d) {
        d->passwordField()->setText(QStringLiteral("x"));
        d->cancelButton()->click();
    });
    EXPECT_FALSE(ui::showSetPassword(nullptr, prompt));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(storedPassword(), QStringLiteral("старый"));
}

TEST(LoginByNameDialog, ProposesTheUserNameAndLetsInWithThatUsersPassword)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("u.db"))));
    session.db().exec(QStringLiteral("INSERT INTO USERS (NAIM, ROLE, PSSW) VALUES ('Повар', 0, 'щи')"));
    prompt.clear();
    currentLogin() = {};
    {
        LoginByNameDialog dialog(session.db(), prompt);
        EXPECT_EQ(dialog.objectName(), QStringLiteral("frmLoginMulti"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Рационарий"));
        EXPECT_EQ(dialog.nameField()->text(), QStringLiteral("Администратор"));
        EXPECT_EQ(dialog.passwordField()->echoMode(), QLineEdit::Password);
    }

    // Cancel saves nothing.
    whenModal<LoginByNameDialog>(QStringLiteral("frmLoginMulti"), [](LoginByNameDialog* d) {
        d->nameField()->setText(QStringLiteral("Повар"));
        d->cancelButton()->click();
    });
    EXPECT_FALSE(ui::showLoginByName(nullptr, session.db(), prompt));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Login"), QStringLiteral("-")), QStringLiteral("-"));

    // A wrong password keeps the window open and the role unknown; the right one lets in.
    whenModal<LoginByNameDialog>(QStringLiteral("frmLoginMulti"), [](LoginByNameDialog* d) {
        d->nameField()->setText(QStringLiteral("Повар"));
        type(d->passwordField(), d->okButton(), QStringLiteral("борщ"));
        d->okButton()->click();
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->focusWidget(), d->passwordField());
        EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Login")), QString());
        if (const QString shots = qEnvironmentVariable("RAT_SHOTS"); !shots.isEmpty())
            d->grab().save(QDir(shots).filePath(QStringLiteral("frmLoginMulti.png")));
        type(d->passwordField(), d->okButton(), QStringLiteral("щи"));
        d->okButton()->click();
    });
    EXPECT_TRUE(ui::showLoginByName(nullptr, session.db(), prompt));
    EXPECT_EQ(prompt.messages(), QStringList(kWrong));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Login")), QStringLiteral("Повар"));
    EXPECT_EQ(currentLogin().name, QStringLiteral("Повар"));
    EXPECT_EQ(currentLogin().password, QStringLiteral("щи"));
    EXPECT_EQ(currentRole(session.db()), std::optional<int>(roleAdministrator));

    // The next time the saved name is proposed.
    LoginByNameDialog again(session.db(), prompt);
    EXPECT_EQ(again.nameField()->text(), QStringLiteral("Повар"));
}

TEST(LoginByNameDialog, ServiceMenuSwitchesTheUser)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("u.db"))));
    prompt.clear();
    ui::MainWindow window(session);
    QAction* command = window.command(QStringLiteral("mnuUserSwitch"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), QStringLiteral("Сменить пользователя..."));
    EXPECT_TRUE(window.menu(QStringLiteral("menuService"))->actions().contains(command));

    whenModal<LoginByNameDialog>(QStringLiteral("frmLoginMulti"), [](LoginByNameDialog* d) {
        d->nameField()->setText(QStringLiteral("оператор"));
        d->okButton()->click();
    });
    command->trigger();
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    // The name as the users book spells it.
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Login")), QStringLiteral("Оператор"));
    EXPECT_EQ(currentRole(session.db()), std::optional<int>(roleOperator));
}
