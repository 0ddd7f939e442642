// The headless tool's helper commands: rounding, names made safe for SQL, fixed choice lists.

#include "cli/Commands.h"
#include "core/AppState.h"
#include "core/ChoiceLists.h"
#include "core/DataHelpers.h"

#include <QFileInfo>
#include <cmath>
#include <vector>

namespace rat::cli {

namespace {

// The single text argument of a command, or nothing when there is not exactly one.
bool singleText(const Context& ctx, QString& text)
{
    if (ctx.args.size() != 1)
        return false;
    text = ctx.args.front();
    return true;
}

} // namespace

void registerHelperCommands()
{
    auto& c = commands();

    c[QStringLiteral("round")] = {QStringLiteral("X D [X D ...]"), [](Context& ctx) {
        const QStringList& a = ctx.args;
        if (a.isEmpty() || a.size() % 2 != 0)
            return int(exitUsage);
        std::vector<double> results;
        for (qsizetype i = 0; i < a.size(); i += 2) {
            bool okX = false, okD = false;
            const double x = a[i].toDouble(&okX);
            const int d = a[i + 1].toInt(&okD);
            if (!okX || !okD || !std::isfinite(x))
                return int(exitUsage);
            results.push_back(RoundQuantity(x, d));
        }
        for (double r : results)
            ctx.out << plainNumber(r) << '\n';
        return int(exitOk);
    }};

    c[QStringLiteral("sheet-name")] = {QStringLiteral("ТЕКСТ"), [](Context& ctx) {
        QString text;
        if (!singleText(ctx, text))
            return int(exitUsage);
        ctx.out << SheetName(text) << '\n';
        return int(exitOk);
    }};

    c[QStringLiteral("file-name")] = {QStringLiteral("ТЕКСТ"), [](Context& ctx) {
        QString text;
        if (!singleText(ctx, text))
            return int(exitUsage);
        ctx.out << FileNameText(text) << '\n';
        return int(exitOk);
    }};

    c[QStringLiteral("sql-text")] = {QStringLiteral("ТЕКСТ [--cut]"), [](Context& ctx) {
        QStringList a = ctx.args;
        const bool cut = a.removeAll(QStringLiteral("--cut")) > 0;
        if (a.size() != 1)
            return int(exitUsage);
        ctx.out << SqlText(a.front(), cut) << '\n';
        return int(exitOk);
    }};

    // The switches come from the options when either is given; otherwise from the organisation
    // record of the file named by --db when that file exists and opens; otherwise both are off.
    c[QStringLiteral("choice-list")] = {QStringLiteral("N [--eatings] [--vestskl]"), [](Context& ctx) {
        QStringList a = ctx.args;
        const bool eatings = a.removeAll(QStringLiteral("--eatings")) > 0;
        const bool vestSkl = a.removeAll(QStringLiteral("--vestskl")) > 0;
        bool ok = false;
        const int number = a.value(0).toInt(&ok);
        if (a.size() != 1 || !ok)
            return int(exitUsage);
        ChoiceFlags flags;
        if (eatings || vestSkl) {
            flags.eatings = eatings;
            flags.vestSkl = vestSkl;
        } else if (QFileInfo::exists(app().dbPath) && ctx.openForWork()) {
            flags = readChoiceFlags(ctx.session.db());
        }
        for (const ChoiceItem& item : choiceList(number, flags))
            ctx.out << item.code << '\t' << item.text << '\n';
        return int(exitOk);
    }};
}

} // namespace rat::cli
