#pragma once
// The program password (one per person, kept in the settings) and the user list with roles:
// the current user is the USERS row named by the "Login" setting, and only an administrator
// may delete users.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rat {

class Database;
class Prompt;

// Role codes of USERS.ROLE.
enum Role : int { roleAdministrator = 0, roleOperator = 1, roleUser = 2 };

// The program password as kept in the settings; empty means none.
QString programPassword();

// True when the typed text, blanks at both ends ignored, is the program password.
bool checkProgramPassword(const QString& typed);
// The login's check: a wrong password is told "Неверный пароль, введите заново!".
bool checkLoginPassword(const QString& typed, Prompt& prompt);

enum class PasswordResult { Set, Removed, Mismatch };

// Sets (or, when empty, removes) the program password after the repeated entry confirms it.
// Tells the person the outcome; a mismatch saves nothing.
PasswordResult setProgramPassword(const QString& first, const QString& repeated, Prompt& prompt);

// Display name of a role code.
QString roleName(int role);

// The name of the current user ("Login" setting) and its saving; the login-by-name window
// proposes "Администратор" when none is saved.
QString savedLogin();
void saveLogin(const QString& name);

// The name and password given in the login-by-name window during this run.
struct LoginEntry {
    QString name;
    QString password;
};
LoginEntry& currentLogin();

// The login-by-name check: the USERS row of that name (letter case ignored) whose password is
// the typed one (blanks at both ends ignored). Gives the name as the file spells it; otherwise
// tells the person that the name is unknown or the password wrong and gives nothing.
std::optional<QString> checkUserLogin(Database& db, const QString& name, const QString& password, Prompt& prompt);

// Whether the start asks who is working: the program password is set and the users book holds
// more than one user to tell apart.
bool loginByNameAtStart(Database& db);

// Whether the users book holds an administrator (ROLE 0).
bool hasAdministrator(Database& db);

// What the users book says when it makes the first administrator of a file.
QString firstAdministratorText(const QString& name);

// Role of the current user: the ROLE of the USERS row whose name equals the saved login
// (letter case ignored, as the file compares texts). Nothing when no such row exists or its
// role is empty.
std::optional<int> currentRole(Database& db);

// Deletes the user row when the current user is an administrator; otherwise tells the person
// that the rights are insufficient and leaves the row. True when the deletion was allowed.
bool deleteUser(Database& db, qint64 idu, Prompt& prompt);

// Deletes several user rows in one transaction, each under the same rule as deleteUser. After a
// refusal with rows still to go the person is asked whether to delete the rest; No ends the
// deletion, keeping what was already deleted. Returns the number of rows deleted.
int deleteUsers(Database& db, const std::vector<qint64>& idus, Prompt& prompt);

} // namespace rat
