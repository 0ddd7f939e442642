// The headless tool's command registry and its core commands (version, create, open, hold),
// and the forms its results take (decimal point, ISO dates).

#include "cli/Commands.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseErrors.h"
#include "core/SchemaCatalogue.h"
#include "core/Startup.h"

#include <QDate>
#include <QThread>

namespace rat::cli {

std::map<QString, Command>& commands()
{
    static std::map<QString, Command> registry;
    return registry;
}

bool Context::openForWork()
{
    StartupWay way;
    way.askPassword = false;
    way.createMissing = false;
    way.refuseUnfilled = false;
    return startUp(session, prompt, way) == StartupResult::Ready;
}

bool Context::openWithRow(const QString& table, qint64 id)
{
    return openForWork() && rowExists(session.db(), table, id);
}

QString toolNumber(QString windowText)
{
    return windowText.replace(QLatin1Char(','), QLatin1Char('.'));
}

QString toolDate(const QString& windowText)
{
    const QDate d = QDate::fromString(windowText.left(10), QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid() || (windowText.size() > 10 && windowText[10] != QLatin1Char(' ')))
        return windowText;
    return d.toString(Qt::ISODate) + windowText.mid(10);
}

std::optional<qint64> positiveIdArg(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

bool takeOption(QStringList& args, const QString& name, QString& value)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool rowExists(Database& db, const QString& table, qint64 id)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE id = ?1"), {id})
               .toLongLong() > 0;
}

void registerCoreCommands()
{
    auto& c = commands();
    c[QStringLiteral("version")] = {QString(), [](Context& ctx) {
        ctx.out << schema::versionMajor << '.' << schema::versionMinor << '.' << schema::versionRevision << '\n';
        return int(exitOk);
    }};
    c[QStringLiteral("create")] = {QString(), [](Context& ctx) {
        return ctx.session.createDatabase(app().dbPath) ? int(exitOk) : int(exitRefused);
    }};
    c[QStringLiteral("open")] = {QString(), [](Context& ctx) {
        return ctx.openForWork() ? int(exitOk) : int(exitRefused);
    }};
    c[QStringLiteral("hold")] = {QStringLiteral("SECONDS"), [](Context& ctx) {
        bool ok = false;
        const double seconds = ctx.args.value(0).toDouble(&ok);
        if (ctx.args.size() != 1 || !ok || seconds < 0)
            return int(exitUsage);
        if (!ctx.openForWork())
            return int(exitRefused);
        ctx.out << "held" << '\n';
        ctx.out.flush();
        QThread::msleep(static_cast<unsigned long>(seconds * 1000));
        return int(exitOk);
    }};
}

} // namespace rat::cli
