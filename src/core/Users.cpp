// The program password, the user list with its roles and the rule of who may delete users.

#include "core/Users.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Settings.h"

namespace rat {
namespace {

const QString kSection = QStringLiteral("User");
const QString kPasswordKey = QStringLiteral("Passw");
const QString kLoginKey = QStringLiteral("Login");

QString userName(Database& db, qint64 idu)
{
    return db.scalar(QStringLiteral("SELECT NAIM FROM USERS WHERE IDU = ?1"), {idu}).toString();
}

QString refusalText(const QString& name)
{
    return QStringLiteral("Невозможно удалить пользователя \"") + name + QStringLiteral("\". Недостаточно прав.");
}

bool mayDeleteUsers(Database& db)
{
    const std::optional<int> role = currentRole(db);
    return role && *role == roleAdministrator;
}

int deleteRow(Database& db, qint64 idu)
{
    return db.exec(QStringLiteral("DELETE FROM USERS WHERE IDU = ?1"), {idu});
}

} // namespace

QString programPassword()
{
    return Settings::text(kSection, kPasswordKey);
}

bool checkProgramPassword(const QString& typed)
{
    // Blanks around either side do not count, so a password set with a stray blank can still
    // be entered.
    return typed.trimmed() == programPassword().trimmed();
}

bool checkLoginPassword(const QString& typed, Prompt& prompt)
{
    if (checkProgramPassword(typed))
        return true;
    prompt.critical(QStringLiteral("Неверный пароль, введите заново!"));
    return false;
}

PasswordResult setProgramPassword(const QString& first, const QString& repeated, Prompt& prompt)
{
    if (repeated != first) {
        prompt.critical(QStringLiteral("Повторный ввод неверен."));
        return PasswordResult::Mismatch;
    }
    Settings::setText(kSection, kPasswordKey, first);
    const bool removed = first.isEmpty();
    prompt.info(QStringLiteral("Пароль ") + (removed ? QStringLiteral("снят.") : QStringLiteral("установлен.")));
    return removed ? PasswordResult::Removed : PasswordResult::Set;
}

QString roleName(int role)
{
    switch (role) {
    case roleAdministrator: return QStringLiteral("Администратор");
    case roleOperator: return QStringLiteral("Оператор");
    default: return QStringLiteral("Пользователь");
    }
}

QString savedLogin()
{
    return Settings::text(kSection, kLoginKey, QStringLiteral("Администратор"));
}

void saveLogin(const QString& name)
{
    Settings::setText(kSection, kLoginKey, name);
}

LoginEntry& currentLogin()
{
    static LoginEntry entry;
    return entry;
}

std::optional<QString> checkUserLogin(Database& db, const QString& name, const QString& password, Prompt& prompt)
{
    Statement st(db, QStringLiteral("SELECT NAIM, PSSW FROM USERS WHERE lower(NAIM) = lower(?1) ORDER BY IDU"));
    st.bind(1, name.trimmed());
    if (!st.next()) {
        prompt.critical(QStringLiteral("Пользователь ") + quoted(name.trimmed()) + QStringLiteral(" не найден."));
        return std::nullopt;
    }
    if (password.trimmed() != st.toString(1).trimmed()) {
        prompt.critical(QStringLiteral("Неверный пароль, введите заново!"));
        return std::nullopt;
    }
    return st.toString(0);
}

bool loginByNameAtStart(Database& db)
{
    return !programPassword().isEmpty() && db.scalar(QStringLiteral("SELECT COUNT(*) FROM USERS")).toLongLong() > 1;
}

bool hasAdministrator(Database& db)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM USERS WHERE ROLE = ?1"), {int(roleAdministrator)}).toLongLong() > 0;
}

QString firstAdministratorText(const QString& name)
{
    return QStringLiteral("В базе данных еще нет администратора: пользователь ") + quoted(name) +
           QStringLiteral(" будет первым. Чтобы удалять пользователей, войдите под его именем командой "
                          "\"Сервис - Сменить пользователя...\".");
}

std::optional<int> currentRole(Database& db)
{
    // The login as stored, without the default the login window proposes: a person who never
    // logged in by name is no administrator.
    const QString login = Settings::text(kSection, kLoginKey);
    Statement st(db, QStringLiteral("SELECT ROLE FROM USERS WHERE lower(NAIM) = lower(?1) ORDER BY IDU"));
    st.bind(1, login);
    if (!st.next() || st.isNull(0))
        return std::nullopt;
    return int(st.toInt64(0));
}

bool deleteUser(Database& db, qint64 idu, Prompt& prompt)
{
    if (!mayDeleteUsers(db)) {
        prompt.critical(refusalText(userName(db, idu)));
        return false;
    }
    deleteRow(db, idu);
    return true;
}

int deleteUsers(Database& db, const std::vector<qint64>& idus, Prompt& prompt)
{
    Transaction tx(db);
    int deleted = 0;
    for (std::size_t i = 0; i < idus.size(); ++i) {
        // The role is read for every row: an administrator who deletes their own row loses
        // the right for the rows after it.
        if (mayDeleteUsers(db)) {
            deleted += deleteRow(db, idus[i]);
            continue;
        }
        const QString refusal = refusalText(userName(db, idus[i]));
        if (i + 1 == idus.size()) {
            prompt.critical(refusal);
            break;
        }
        if (prompt.ask(refusal + QStringLiteral("\n\nУдалить остальные выделенные строки?"), Buttons::YesNo,
                       Answer::Yes) != Answer::Yes)
            break;
    }
    tx.commit();
    return deleted;
}

} // namespace rat
