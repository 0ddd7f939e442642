// ratsionariy-cli: the program's operations without windows, for scripts, demonstrations and
// tests. Every message and question is one line on standard output.

#include "cli/CliPrompt.h"
#include "cli/Commands.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/DatabaseErrors.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "menu/MenuModule.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>
#include <cstdio>

using namespace rat;

namespace {

void usage(QTextStream& err)
{
    err << "Использование: ratsionariy-cli [--app-dir ПАПКА] [--db ФАЙЛ] [--today ГГГГ-ММ-ДД]\n"
           "                               [--answer Да|Нет|Отмена]... [--choose N]... [--input ТЕКСТ]...\n"
           "                               КОМАНДА [АРГУМЕНТЫ]\n"
           "Команды:\n";
    for (const auto& [name, cmd] : cli::commands())
        err << "  " << name << (cmd.usage.isEmpty() ? QString() : QLatin1Char(' ') + cmd.usage) << '\n';
    err.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ratsionariy"));
    QCoreApplication::setApplicationName(QStringLiteral("ratsionariy"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    cli::registerAllCommands();
    menu::registerMenuModule();

    cli::CliPrompt prompt(out);
    QString appDir, dbPath, command;
    QStringList args;
    const QStringList all = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString& a = all[i];
        auto next = [&](QString& into) {
            if (i + 1 >= all.size())
                return false;
            into = all[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--app-dir")) {
            if (!next(appDir)) return (usage(err), cli::exitUsage);
        } else if (a == QLatin1String("--db")) {
            if (!next(dbPath)) return (usage(err), cli::exitUsage);
        } else if (a == QLatin1String("--today")) {
            if (!next(v)) return (usage(err), cli::exitUsage);
            const QDate d = QDate::fromString(v, Qt::ISODate);
            if (!d.isValid()) {
                err << "Неверная дата: " << v << '\n';
                return cli::exitUsage;
            }
            Clock::setToday(d);
        } else if (a == QLatin1String("--answer")) {
            if (!next(v)) return (usage(err), cli::exitUsage);
            prompt.answers.push_back(v);
        } else if (a == QLatin1String("--choose")) {
            if (!next(v)) return (usage(err), cli::exitUsage);
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 0) return (usage(err), cli::exitUsage);
            prompt.choices.push_back(n);
        } else if (a == QLatin1String("--input")) {
            if (!next(v)) return (usage(err), cli::exitUsage);
            prompt.inputs.push_back(v);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            usage(err);
            return cli::exitOk;
        } else if (command.isEmpty()) {
            command = a;
        } else {
            args << a;
        }
    }
    const auto it = cli::commands().find(command);
    if (it == cli::commands().end()) {
        if (!command.isEmpty())
            err << "Неизвестная команда: " << command << '\n';
        usage(err);
        return cli::exitUsage;
    }

    app().appDir = prepareApplicationFolder(appDir, QCoreApplication::applicationDirPath());
    readStartupSettings(dbPath);

    DatabaseSession session(prompt);
    cli::Context ctx{session, prompt, out, args};
    int rc = cli::exitRefused;
    // One guard per command: an engine error (a damaged page, a read-only file) is told, not fatal.
    try {
        rc = it->second.run(ctx);
    } catch (const DbError& e) {
        prompt.critical(databaseErrorMessage(QStringLiteral("выполнении команды \"") + command + QLatin1Char('"'), e,
                                             session.isOpen() ? session.db().path() : app().dbPath));
    }
    if (rc == cli::exitUsage)
        usage(err);
    out.flush();
    return rc;
}
