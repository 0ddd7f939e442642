// The headless tool's password and user commands: set and check the program password, delete
// a user.

#include "cli/Commands.h"
#include "core/AppState.h"
#include "core/Users.h"

namespace rat::cli {

void registerUserCommands()
{
    auto& c = commands();
    // The repeated entry is the next --input; without one the setting is left as it was.
    c[QStringLiteral("set-password")] = {QStringLiteral("ПАРОЛЬ"), [](Context& ctx) {
        if (ctx.args.size() != 1)
            return int(exitUsage);
        const std::optional<QString> repeated =
            ctx.prompt.input(app().appTitle, QStringLiteral("Повторите пароль:"), QString());
        if (!repeated)
            return int(exitRefused);
        return setProgramPassword(ctx.args[0], *repeated, ctx.prompt) == PasswordResult::Mismatch
                   ? int(exitRefused)
                   : int(exitOk);
    }};
    c[QStringLiteral("check-password")] = {QStringLiteral("ПАРОЛЬ"), [](Context& ctx) {
        if (ctx.args.size() != 1)
            return int(exitUsage);
        return checkLoginPassword(ctx.args[0], ctx.prompt) ? int(exitOk) : int(exitRefused);
    }};
    c[QStringLiteral("delete-user")] = {QStringLiteral("IDU"), [](Context& ctx) {
        bool ok = false;
        const qint64 idu = ctx.args.value(0).toLongLong(&ok);
        if (ctx.args.size() != 1 || !ok)
            return int(exitUsage);
        if (!ctx.openForWork())
            return int(exitRefused);
        return deleteUser(ctx.session.db(), idu, ctx.prompt) ? int(exitOk) : int(exitRefused);
    }};
}

} // namespace rat::cli
