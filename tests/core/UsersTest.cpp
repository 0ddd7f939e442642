// The program password (set, removed, checked), the current user's role and the deletion of
// users, which only an administrator may do.

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/Users.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/RecordEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "support/ToolRun.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rat;

namespace {

const QString kUser = QStringLiteral("User");

QString storedPassword()
{
    return Settings::text(kUser, QStringLiteral("Passw"));
}

QString refusalText(const QString& name)
{
    return QStringLiteral("Невозможно удалить пользователя \"") + name + QStringLiteral("\". Недостаточно прав.");
}

QString refusal(const QString& name)
{
    return QStringLiteral("critical: ") + refusalText(name);
}

// A working file with the first users of a new file ("Оператор" 1, "Пользователь" 2).
class UsersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, app().dbPath)) << setup.messages().join('\n').toStdString();
        setup.clear();
    }

    Database& db() { return session.db(); }

    qint64 idOf(const QString& name)
    {
        return db().scalar(QStringLiteral("SELECT IDU FROM USERS WHERE NAIM = ?1"), {name}).toLongLong();
    }

    qint64 addUser(const QString& name, const QVariant& role)
    {
        db().exec(QStringLiteral("INSERT INTO USERS (NAIM, ROLE, PSSW, MEMO) VALUES (?1, ?2, '', '')"), {name, role});
        return db().lastInsertId();
    }

    QStringList names()
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT NAIM FROM USERS ORDER BY IDU"));
        while (st.next())
            out << st.toString(0);
        return out;
    }

    test::TestEnv env;
    test::ScriptedPrompt setup;
    DatabaseSession session{setup};
    test::ScriptedPrompt prompt;
};

} // namespace

TEST(ProgramPassword, SetCheckMismatchAndRemove)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;

    EXPECT_EQ(setProgramPassword(QStringLiteral("Кухня 7"), QStringLiteral("Кухня 7"), prompt), PasswordResult::Set);
    EXPECT_EQ(storedPassword(), QStringLiteral("Кухня 7"));

    // Blanks around the typed text do not count; letter case and inner blanks do.
    EXPECT_TRUE(checkProgramPassword(QStringLiteral("Кухня 7")));
    EXPECT_TRUE(checkProgramPassword(QStringLiteral("  Кухня 7\t ")));
    EXPECT_FALSE(checkProgramPassword(QStringLiteral("кухня 7")));
    EXPECT_FALSE(checkProgramPassword(QStringLiteral("Кухня  7")));
    EXPECT_FALSE(checkProgramPassword(QString()));

    // A repeat that differs saves nothing, not even the first entry.
    EXPECT_EQ(setProgramPassword(QStringLiteral("новый"), QStringLiteral("новый "), prompt), PasswordResult::Mismatch);
    EXPECT_EQ(storedPassword(), QStringLiteral("Кухня 7"));
    EXPECT_EQ(setProgramPassword(QString(), QStringLiteral("x"), prompt), PasswordResult::Mismatch);
    EXPECT_EQ(storedPassword(), QStringLiteral("Кухня 7"));

    // A password saved with blanks around it can still be entered.
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral(" Кухня 7 "));
    EXPECT_TRUE(checkProgramPassword(QStringLiteral("Кухня 7")));
    Settings::setText(QStringLiteral("User"), QStringLiteral("Passw"), QStringLiteral("Кухня 7"));

    EXPECT_EQ(setProgramPassword(QString(), QString(), prompt), PasswordResult::Removed);
    EXPECT_EQ(storedPassword(), QString());
    EXPECT_TRUE(checkProgramPassword(QStringLiteral("   ")));

    EXPECT_EQ(prompt.messages(), (QStringList{QStringLiteral("info: Пароль установлен."),
                                              QStringLiteral("critical: Повторный ввод неверен."),
                                              QStringLiteral("critical: Повторный ввод неверен."),
                                              QStringLiteral("info: Пароль снят.")}));
}

TEST(ProgramPassword, GuardsTheStart)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    int asked = 0;

    // A password set: a refused login ends the start before any file is made.
    Settings::setText(kUser, QStringLiteral("Passw"), QStringLiteral("секрет"));
    {
        DatabaseSession session(prompt);
        EXPECT_EQ(startUp(session, prompt, [&] { return ++asked, false; }), StartupResult::LoginRefused);
        EXPECT_FALSE(session.isOpen());
    }
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFileInfo::exists(app().dbPath));

    // No password: nobody is asked.
    Settings::setText(kUser, QStringLiteral("Passw"), QString());
    DatabaseSession session(prompt);
    EXPECT_EQ(startUp(session, prompt, [&] { return ++asked, false; }), StartupResult::Ready);
    EXPECT_EQ(asked, 1);
}

TEST(Roles, DisplayNames)
{
    EXPECT_EQ(roleName(0), QStringLiteral("Администратор"));
    EXPECT_EQ(roleName(1), QStringLiteral("Оператор"));
    EXPECT_EQ(roleName(2), QStringLiteral("Пользователь"));
    EXPECT_EQ(roleName(3), QStringLiteral("Пользователь"));
    EXPECT_EQ(roleName(255), QStringLiteral("Пользователь"));
    EXPECT_EQ(roleName(-1), QStringLiteral("Пользователь"));
}

TEST(Roles, SavedLogin)
{
    test::TestEnv env;
    EXPECT_EQ(savedLogin(), QStringLiteral("Администратор"));
    saveLogin(QStringLiteral("Повар"));
    EXPECT_EQ(savedLogin(), QStringLiteral("Повар"));
    EXPECT_EQ(Settings::text(kUser, QStringLiteral("Login")), QStringLiteral("Повар"));
}

TEST_F(UsersTest, CurrentRoleFollowsTheSavedLogin)
{
    // Nobody logged in by name: the proposed "Администратор" is no user of the file.
    EXPECT_EQ(currentRole(db()), std::nullopt);

    saveLogin(QStringLiteral("Оператор"));
    EXPECT_EQ(currentRole(db()), 1);
    // Names compare without regard to letter case, Cyrillic included.
    saveLogin(QStringLiteral("пОЛЬЗОВАТЕЛЬ"));
    EXPECT_EQ(currentRole(db()), 2);

    // Quotation marks in a name are just letters.
    addUser(QStringLiteral("Иван \"Повар\""), 0);
    saveLogin(QStringLiteral("Иван \"Повар\""));
    EXPECT_EQ(currentRole(db()), 0);
    saveLogin(QStringLiteral("\") OR 1=1 OR (\""));
    EXPECT_EQ(currentRole(db()), std::nullopt);

    // A row without a role gives no role.
    addUser(QStringLiteral("Без роли"), QVariant());
    saveLogin(QStringLiteral("Без роли"));
    EXPECT_EQ(currentRole(db()), std::nullopt);
}

TEST_F(UsersTest, DeletionRefusedWithoutAdministratorRights)
{
    const QStringList before = names();
    const qint64 operatorId = idOf(QStringLiteral("Оператор"));

    // The current user is not in the list at all.
    saveLogin(QStringLiteral("Гость"));
    EXPECT_FALSE(deleteUser(db(), operatorId, prompt));
    // An operator is no administrator either.
    saveLogin(QStringLiteral("Оператор"));
    EXPECT_FALSE(deleteUser(db(), idOf(QStringLiteral("Пользователь")), prompt));

    EXPECT_EQ(prompt.messages(), (QStringList{refusal(QStringLiteral("Оператор")), refusal(QStringLiteral("Пользователь"))}));
    EXPECT_EQ(names(), before);
}

TEST_F(UsersTest, AdministratorDeletesOneRow)
{
    addUser(QStringLiteral("Заведующая"), 0);
    saveLogin(QStringLiteral("заведующая"));
    EXPECT_TRUE(deleteUser(db(), idOf(QStringLiteral("Пользователь")), prompt));
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Оператор"), QStringLiteral("Заведующая")}));
}

TEST_F(UsersTest, SeveralRowsAskBeforeGoingOnAfterARefusal)
{
    const QString more = QStringLiteral("\n\nУдалить остальные выделенные строки?");
    addUser(QStringLiteral("Завхоз"), 2);
    const std::vector<qint64> all{idOf(QStringLiteral("Оператор")), idOf(QStringLiteral("Пользователь")),
                                  idOf(QStringLiteral("Завхоз"))};
    const QStringList before = names();

    // An operator: every row is refused; Yes goes on to the next row, No stops.
    saveLogin(QStringLiteral("Оператор"));
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteUsers(db(), all, prompt), 0);
    EXPECT_EQ(prompt.messages(),
              (QStringList{QStringLiteral("question: ") + refusalText(QStringLiteral("Оператор")) + more + QStringLiteral(" => Да"),
                           QStringLiteral("question: ") + refusalText(QStringLiteral("Пользователь")) + more + QStringLiteral(" => Нет")}));
    EXPECT_EQ(names(), before);

    // An administrator who deletes their own row loses the right for the rows after it; the
    // last refused row is only reported.
    prompt.clear();
    const qint64 self = addUser(QStringLiteral("Администратор"), 0);
    saveLogin(QStringLiteral("Администратор"));
    EXPECT_EQ(deleteUsers(db(), {all[0], self, all[2]}, prompt), 2);
    EXPECT_EQ(prompt.messages(), QStringList{refusal(QStringLiteral("Завхоз"))});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Пользователь"), QStringLiteral("Завхоз")}));
    EXPECT_FALSE(db().inTransaction());
}

// The headless tool's commands, run as a separate process with its own settings store.
TEST(UserCommands, PasswordAndDeletion)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString config = tmp.filePath(QStringLiteral("config"));
    const QString ini = config + QStringLiteral("/ratsionariy/ratsionariy.ini");
    auto run = [&](const QStringList& args, QStringList* lines = nullptr) {
        rat::test::ToolRun r = rat::test::runTool(tmp.path(), tmp.filePath(QStringLiteral("столовая.db")), args);
        if (lines) {
            *lines = r.lines;
            lines->removeIf([](const QString& l) { return l.startsWith(QLatin1String("status: ")); });
        }
        return r.exitCode;
    };
    auto stored = [&] {
        QSettings s(ini, QSettings::IniFormat);
        return s.value(QStringLiteral("User/Passw")).toString();
    };

    QStringList lines;
    EXPECT_EQ(run({QStringLiteral("--input"), QStringLiteral("повар"), QStringLiteral("set-password"), QStringLiteral("повар")}, &lines), 0);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("input: Повторите пароль: => повар"), QStringLiteral("info: Пароль установлен.")}));
    EXPECT_EQ(stored(), QStringLiteral("повар"));

    EXPECT_EQ(run({QStringLiteral("--input"), QStringLiteral("Повар"), QStringLiteral("set-password"), QStringLiteral("повар2")}, &lines), 1);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("input: Повторите пароль: => Повар"), QStringLiteral("critical: Повторный ввод неверен.")}));
    EXPECT_EQ(stored(), QStringLiteral("повар"));

    EXPECT_EQ(run({QStringLiteral("check-password"), QStringLiteral(" повар ")}, &lines), 0);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(run({QStringLiteral("check-password"), QStringLiteral("Повар")}, &lines), 1);
    EXPECT_EQ(lines, QStringList(QStringLiteral("critical: Неверный пароль, введите заново!")));

    EXPECT_EQ(run({QStringLiteral("--input"), QString(), QStringLiteral("set-password"), QString()}, &lines), 0);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("input: Повторите пароль: => "), QStringLiteral("info: Пароль снят.")}));
    EXPECT_EQ(stored(), QString());

    // Deletion: someone not logged in by name may not delete; the administrator may.
    ASSERT_EQ(run({QStringLiteral("create")}), 0);
    auto userNames = [&] {
        Database file(tmp.filePath(QStringLiteral("столовая.db")), false);
        QStringList out;
        Statement st(file, QStringLiteral("SELECT NAIM FROM USERS ORDER BY IDU"));
        while (st.next())
            out << st.toString(0);
        return out;
    };
    {
        Database file(tmp.filePath(QStringLiteral("столовая.db")), false);
        file.exec(QStringLiteral("INSERT INTO USERS (IDU, NAIM, ROLE) VALUES (1, 'Администратор', 0), (2, 'Повар', 2)"));
    }
    EXPECT_EQ(run({QStringLiteral("delete-user"), QStringLiteral("2")}, &lines), 1);
    EXPECT_EQ(lines, QStringList{refusal(QStringLiteral("Повар"))});
    EXPECT_EQ(userNames(), (QStringList{QStringLiteral("Администратор"), QStringLiteral("Повар")}));
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("User/Login"), QStringLiteral("Администратор"));
    }
    EXPECT_EQ(run({QStringLiteral("delete-user"), QStringLiteral("2")}, &lines), 0);
    EXPECT_TRUE(lines.isEmpty()) << lines.join('\n').toStdString();
    EXPECT_EQ(userNames(), QStringList{QStringLiteral("Администратор")});
    EXPECT_EQ(run({QStringLiteral("delete-user"), QStringLiteral("первый")}), 2);
}

TEST_F(UsersTest, LoginByNameChecksThePasswordOfThatUser)
{
    db().exec(QStringLiteral("UPDATE USERS SET PSSW = 'щи' WHERE NAIM = 'Оператор'"));
    const QString wrong = QStringLiteral("critical: Неверный пароль, введите заново!");
    const QString unknown = QStringLiteral("critical: Пользователь \"Гость\" не найден.");
    // Each row: name, password typed, accepted, what the person is told.
    const struct {
        const char* name;
        const char* password;
        bool accepted;
        QString told;
    } cases[] = {
        {"Оператор", "щи", true, {}},
        {"оПЕРАТОР", "  щи ", true, {}},       // letter case of the name and blanks around do not count
        {"Оператор", "", false, wrong},         // typing a name alone grants nothing
        {"Оператор", "ЩИ", false, wrong},
        {"Пользователь", "", true, {}},         // a user without a password
        {"Гость", "", false, unknown},
    };
    for (const auto& c : cases) {
        prompt.clear();
        const std::optional<QString> user =
            checkUserLogin(db(), QString::fromUtf8(c.name), QString::fromUtf8(c.password), prompt);
        EXPECT_EQ(user.has_value(), c.accepted) << c.name << "/" << c.password;
        if (user)
            EXPECT_EQ(*user, QString::fromUtf8(c.name).trimmed().toLower() == QStringLiteral("оператор")
                                 ? QStringLiteral("Оператор")
                                 : QString::fromUtf8(c.name));
        EXPECT_EQ(prompt.messages(), c.told.isEmpty() ? QStringList() : QStringList(c.told)) << c.name;
    }
}

TEST_F(UsersTest, LoginByNameIsAskedAtStartWhenThePasswordIsSetAndSeveralUsersExist)
{
    EXPECT_FALSE(loginByNameAtStart(db()));  // no program password
    Settings::setText(kUser, QStringLiteral("Passw"), QStringLiteral("1"));
    EXPECT_TRUE(loginByNameAtStart(db()));
    db().exec(QStringLiteral("DELETE FROM USERS WHERE NAIM = 'Оператор'"));
    EXPECT_FALSE(loginByNameAtStart(db()));  // one user: nobody to choose between
}

namespace {

std::optional<qint64> saveUser(Database& db, Prompt& prompt, books::EditMode mode, std::optional<qint64> id,
                               const QString& name, int role)
{
    books::RecordEditor editor(db, prompt, books::entryUsers);
    if (!editor.open(mode, id, std::nullopt))
        return std::nullopt;
    EXPECT_TRUE(editor.setText(QStringLiteral("NAIM"), name));
    EXPECT_TRUE(editor.setText(QStringLiteral("ROLE"), QString::number(role)));
    return editor.save();
}

} // namespace

TEST_F(UsersTest, TheFirstAdministratorIsMadeInTheUsersBookThenOnlyAnAdministratorMakesOthers)
{
    using books::EditMode;
    // A new file has no administrator: whoever works makes the first one and is told so.
    const auto head = saveUser(db(), prompt, EditMode::Add, {}, QStringLiteral("Заведующая"), roleAdministrator);
    ASSERT_TRUE(head);
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("info: ") + firstAdministratorText(QStringLiteral("Заведующая"))));

    // From now on a non-administrator makes no administrator and does not change one.
    prompt.clear();
    saveLogin(QStringLiteral("Оператор"));
    const QStringList before = names();
    EXPECT_FALSE(saveUser(db(), prompt, EditMode::Add, {}, QStringLiteral("Повар"), roleAdministrator));
    EXPECT_FALSE(saveUser(db(), prompt, EditMode::Edit, head, QStringLiteral("Завхоз"), roleUser));
    const QString refused = QStringLiteral("warning: Назначать и изменять администраторов может только администратор.");
    EXPECT_EQ(prompt.messages(), (QStringList{refused, refused}));
    EXPECT_EQ(names(), before);
    // Plain users are still theirs to add.
    EXPECT_TRUE(saveUser(db(), prompt, EditMode::Add, {}, QStringLiteral("Повар"), roleUser));

    // The administrator, logged in by name, makes another and deletes users.
    prompt.clear();
    saveLogin(QStringLiteral("Заведующая"));
    EXPECT_TRUE(saveUser(db(), prompt, EditMode::Add, {}, QStringLiteral("Завхоз"), roleAdministrator));
    EXPECT_TRUE(deleteUser(db(), idOf(QStringLiteral("Повар")), prompt));
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
}
