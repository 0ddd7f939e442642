#pragma once
// The login windows: the program password window (checked at start-up, or set and removed
// with a repeat window for confirmation) and the login-by-name window.

#include <QDialog>
#include <QString>
#include <optional>

class QLineEdit;
class QPushButton;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

// The program password window, "frmLogin".
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Check, Set };

    LoginDialog(Mode mode, Prompt& prompt, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    QLineEdit* passwordField() const { return password_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    // The repeated entry of set mode; nothing when the person cancelled the repeat window.
    // Shows the repeat window modally.
    virtual std::optional<QString> askRepeat();

private:
    void confirm();
    void refocus();

    Mode mode_;
    Prompt& prompt_;
    QLineEdit* password_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The repeat window of set mode, "frmLogin2": one password field.
class LoginRepeatDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoginRepeatDialog(QWidget* parent = nullptr);

    QLineEdit* passwordField() const { return password_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QString text() const;

private:
    QLineEdit* password_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// The login-by-name window, "frmLoginMulti": user name and password. OK checks the password
// against that user's own, then remembers both for the run and saves the name (as the users
// book spells it) as the current user; a wrong entry keeps the window open.
class LoginByNameDialog : public QDialog {
    Q_OBJECT
public:
    LoginByNameDialog(Database& db, Prompt& prompt, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return name_; }
    QLineEdit* passwordField() const { return password_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void confirm();

    Database& db_;
    Prompt& prompt_;
    QLineEdit* name_;
    QLineEdit* password_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Start-up: asks for the program password until it is right; false when the person cancelled.
bool showLoginCheck(QWidget* parent, Prompt& prompt);
// Sets or removes the program password; true when it was changed.
bool showSetPassword(QWidget* parent, Prompt& prompt);
// Asks for the user name and password; true when the person got in.
bool showLoginByName(QWidget* parent, Database& db, Prompt& prompt);
// At start, once the file is open: asks who is working when the program password is set and
// the users book holds several users. Cancel keeps the user of the last run.
void askUserAtStart(Database& db, Prompt& prompt);

} // namespace rat::ui
