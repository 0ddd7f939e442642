// The registry of per-book rules: checks before a row is written, work inside the write,
// follow-ups after it, and the refusals of deletion.

#include "refbooks/BookRules.h"
#include "core/Database.h"

namespace rat::books {

void registerStandardRules();  // StandardRules.cpp

namespace {

std::map<int, std::vector<BookRules>>& registry()
{
    static std::map<int, std::vector<BookRules>> r;
    return r;
}

const EditorField* findField(const ResolvedBook& book, const QString& name)
{
    for (const EditorField& f : book.fields)
        if (f.field.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

} // namespace

// The reference-book rules of this module come first, whoever asks first.
void ensureStandardRules()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    registerStandardRules();
}

void addBookRules(int entry, BookRules rules)
{
    ensureStandardRules();
    registry()[entry].push_back(std::move(rules));
}

const std::vector<BookRules>& bookRules(int entry)
{
    ensureStandardRules();
    return registry()[entry];
}

SaveContext::SaveContext(Database& d, Prompt& p, const ResolvedBook& b, EditMode m, std::optional<qint64> i,
                         std::optional<qint64> parent)
    : db(d), prompt(p), book(b), mode(m), id(i), parentId(parent)
{
}

QVariant SaveContext::value(const QString& field) const
{
    const auto it = values.find(field);
    return it == values.end() ? QVariant() : it->second;
}

void SaveContext::setValue(const QString& field, const QVariant& v)
{
    values[field] = v;
}

bool SaveContext::has(const QString& field) const
{
    return values.find(field) != values.end();
}

QString SaveContext::shownText(const QString& field) const
{
    const EditorField* f = findField(book, field);
    const QVariant v = value(field);
    if (!f || f->control != Control::List)
        return v.toString();
    const QVariant param = f->paramField.isEmpty()
                               ? (parentId ? QVariant(*parentId) : QVariant())
                               : value(f->paramField);
    return listText(db, f->source, v, param);
}

QString SaveContext::caption(const QString& field) const
{
    const EditorField* f = findField(book, field);
    return f ? f->caption : QString();
}

} // namespace rat::books
