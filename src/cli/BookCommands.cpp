// Reference books without windows: the list as the window shows it, the record editor's save,
// the deletion of rows and the search.

#include "cli/Commands.h"
#include "refbooks/BookActions.h"
#include "refbooks/BookList.h"
#include "refbooks/RecordEditor.h"

#include <QTextStream>

namespace rat::cli {

namespace {

using namespace rat::books;

struct Options {
    QStringList positional;
    std::optional<qint64> id;
    std::optional<qint64> parent;
    std::optional<int> from;
    bool copy = false;
    bool ok = true;
};

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto number = [&](auto& into) {
            bool ok = false;
            const qint64 v = i + 1 < args.size() ? args[i + 1].toLongLong(&ok) : 0;
            if (!ok)
                o.ok = false;
            else
                into = static_cast<std::remove_reference_t<decltype(*into)>>(v);
            ++i;
        };
        if (a == QLatin1String("--id"))
            number(o.id);
        else if (a == QLatin1String("--parent"))
            number(o.parent);
        else if (a == QLatin1String("--from"))
            number(o.from);
        else if (a == QLatin1String("--copy"))
            o.copy = true;
        else
            o.positional << a;
    }
    return o;
}

std::optional<int> entryOf(const Options& o, QTextStream& err)
{
    bool ok = false;
    const int entry = o.positional.value(0).toInt(&ok);
    if (!ok || !findBook(entry)) {
        err << "Нет такого справочника: " << o.positional.value(0) << '\n';
        return std::nullopt;
    }
    return entry;
}

QTextStream& errStream()
{
    static QTextStream err(stderr);
    return err;
}

struct BookCall {
    Options options;
    int entry = -1;
};

// The options of a book command and the book its first argument names; nothing when the
// arguments do not fit the command (a usage error, the unknown book named on the error stream).
std::optional<BookCall> bookCall(const Context& ctx, bool (*fits)(const Options&))
{
    BookCall call{parse(ctx.args)};
    if (!call.options.ok || !fits(call.options))
        return std::nullopt;
    const auto entry = entryOf(call.options, errStream());
    if (!entry)
        return std::nullopt;
    call.entry = *entry;
    return call;
}

int runList(Context& ctx)
{
    const auto call = bookCall(ctx, [](const Options& o) { return !(o.positional.size() != 1); });
    if (!call)
        return exitUsage;
    const Options& o = call->options;
    const int entry = call->entry;
    if (!ctx.openForWork())
        return exitRefused;
    const BookList list = loadList(ctx.session.db(), entry, o.parent);
    // The row key, hidden in the window, is the last column here so rows can be named.
    ctx.out << (list.captions + QStringList{QStringLiteral("id")}).join(QLatin1Char('\t')) << '\n';
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells = list.rows[size_t(r)];
        for (int c = 0; c < cells.size() && c < list.columnCount(); ++c) {
            if (list.decimals[size_t(c)] >= 0)
                cells[c] = toolNumber(cells[c]);
            else if (list.formats[size_t(c)] == books::Control::Date || list.formats[size_t(c)] == books::Control::DateTime)
                cells[c] = toolDate(cells[c]);
        }
        ctx.out << (cells + QStringList{QString::number(list.ids[size_t(r)])}).join(QLatin1Char('\t')) << '\n';
    }
    return exitOk;
}

int runSave(Context& ctx)
{
    const auto call = bookCall(ctx, [](const Options& o) { return !(o.positional.isEmpty() || (o.copy && !o.id)); });
    if (!call)
        return exitUsage;
    const Options& o = call->options;
    const int entry = call->entry;
    if (!ctx.openForWork())
        return exitRefused;
    RecordEditor editor(ctx.session.db(), ctx.prompt, entry);
    const EditMode mode = !o.id ? EditMode::Add : (o.copy ? EditMode::Copy : EditMode::Edit);
    if (!editor.open(mode, o.id, o.parent))
        return exitRefused;
    for (qsizetype i = 1; i < o.positional.size(); ++i) {
        const QString& a = o.positional[i];
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const QString field = eq < 0 ? a : a.left(eq);
        const QString text = eq < 0 ? QString() : a.mid(eq + 1);
        const int index = editor.fieldIndex(field);
        if (eq < 0 || index < 0) {
            errStream() << "Нет такого поля: " << field << '\n';
            return exitUsage;
        }
        // Typed into a numeric field, the text passes the field's typing rule first.
        if (!editor.acceptTyping(index, text))
            return exitRefused;
        if (!editor.setText(field, text)) {
            errStream() << "Неверное значение поля " << field << ": " << text << '\n';
            return exitUsage;
        }
    }
    const std::optional<qint64> saved = editor.save();
    if (!saved)
        return exitRefused;
    ctx.out << "saved: " << *saved << '\n';
    return exitOk;
}

int runDelete(Context& ctx)
{
    const auto call = bookCall(ctx, [](const Options& o) { return !(o.positional.isEmpty()); });
    if (!call)
        return exitUsage;
    const Options& o = call->options;
    const int entry = call->entry;
    std::vector<qint64> ids;
    for (qsizetype i = 1; i < o.positional.size(); ++i) {
        bool ok = false;
        ids.push_back(o.positional[i].toLongLong(&ok));
        if (!ok)
            return exitUsage;
    }
    if (!ctx.openForWork())
        return exitRefused;
    const DeleteResult r = deleteRows(ctx.session.db(), ctx.prompt, entry, ids);
    return r.deleted == int(ids.size()) && !ids.empty() ? exitOk : exitRefused;
}

int runFind(Context& ctx)
{
    const auto call = bookCall(ctx, [](const Options& o) { return !(o.positional.size() != 3); });
    if (!call)
        return exitUsage;
    const Options& o = call->options;
    const int entry = call->entry;
    if (!ctx.openForWork())
        return exitRefused;
    Database& db = ctx.session.db();
    std::optional<SearchColumn> column;
    for (const SearchColumn& c : searchColumns(db, entry))
        if (c.caption.compare(o.positional[1], Qt::CaseInsensitive) == 0)
            column = c;
    if (!column) {
        errStream() << "Нет такого столбца поиска: " << o.positional[1] << '\n';
        return exitUsage;
    }
    const BookList list = loadList(db, entry, o.parent);
    if (!BookSearch::canStart(db, ctx.prompt, entry, list))
        return exitRefused;
    BookSearch search(column->column, o.positional[2]);
    // --from names the row the previous search stopped at (1-based); the search goes on after it.
    const int current = o.from.value_or(0) - 1;
    search.setFoundBefore(search.matches(list, current));
    const std::optional<int> row = search.findNext(ctx.prompt, list, current);
    if (!row)
        return exitRefused;
    ctx.out << (*row + 1) << '\t' << list.rows[size_t(*row)].value(0) << '\n';
    return exitOk;
}

} // namespace

void registerBookCommands()
{
    auto& c = commands();
    c[QStringLiteral("list")] = {QStringLiteral("СПРАВОЧНИК [--parent ID]"), runList};
    c[QStringLiteral("save")] = {QStringLiteral("СПРАВОЧНИК [--id N [--copy]] [--parent ID] ПОЛЕ=ТЕКСТ..."), runSave};
    c[QStringLiteral("delete")] = {QStringLiteral("СПРАВОЧНИК ID [ID...]"), runDelete};
    c[QStringLiteral("find")] = {QStringLiteral("СПРАВОЧНИК СТОЛБЕЦ ОБРАЗЕЦ [--from СТРОКА] [--parent ID]"), runFind};
}

} // namespace rat::cli
