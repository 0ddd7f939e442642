#pragma once
// Per-book rules of the record editor and of row deletion: the book's own checks before a row
// is written, work inside the write's transaction, follow-ups after it, and the refusals,
// questions and dependent rows of a deletion. Each book registers its rules here; the generic
// save and delete run them in order of registration.

#include "refbooks/BookCatalogue.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

enum class EditMode { Add, Edit, Copy };

// The row being saved, as the book's rules see it.
class SaveContext {
public:
    SaveContext(Database& db, Prompt& prompt, const ResolvedBook& book, EditMode mode,
                std::optional<qint64> id, std::optional<qint64> parentId);

    Database& db;
    Prompt& prompt;
    const ResolvedBook& book;
    EditMode mode;
    std::optional<qint64> id;        // edit: the row; after the write: the saved row
    std::optional<qint64> parentId;

    // Converted values by field name (numbers as double or qint64, booleans as bool, dates as
    // ISO text, list values as stored, empty as null). Vitamin fields are named "$" + shname.
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& v);
    bool has(const QString& field) const;
    // The text a list field shows for its value (a product's name, ...).
    QString shownText(const QString& field) const;
    // The caption of a field.
    QString caption(const QString& field) const;
    // The key of the row other than this one (edit mode), for "another row" queries: binds as
    // -1 when there is none, which no row has.
    qint64 ownIdOrNone() const { return id.value_or(-1); }
    bool isNew() const { return mode != EditMode::Edit; }

    std::map<QString, QVariant, std::less<>> values;
};

// The row a deletion looks at.
struct DeleteContext {
    Database& db;
    Prompt& prompt;
    const BookDef& book;
    qint64 id;
    QString name;  // the row's nameField
};

// A statement that deletes dependent rows, run in the row's transaction before the row itself.
struct SqlStep {
    QString sql;
    std::vector<QVariant> params;
};

struct DeleteVerdict {
    enum Kind {
        Delete,  // delete the row with `dependents`
        Refuse,  // show `message`; the row stays
        Keep,    // the person answered No to the rule's own question; the row stays silently
    };
    Kind kind = Delete;
    QString message;
    std::vector<SqlStep> dependents;

    static DeleteVerdict refuse(const QString& text) { return {Refuse, text, {}}; }
    static DeleteVerdict keep() { return {Keep, {}, {}}; }
    static DeleteVerdict remove(std::vector<SqlStep> deps = {}) { return {Delete, {}, std::move(deps)}; }
};

struct BookRules {
    // Runs after the generic field checks; false stops the save (the rule has told the person).
    std::function<bool(SaveContext&)> check;
    // Runs inside the write's transaction after the row is written (ctx.id is the saved row);
    // an exception undoes the whole write.
    std::function<void(SaveContext&)> inWrite;
    // Runs after the write is committed.
    std::function<void(SaveContext&)> followUp;
    // Decides the deletion of one row. The first rule that does not return Delete decides;
    // the dependents of every rule that returns Delete are collected.
    std::function<DeleteVerdict(DeleteContext&)> deletion;
    // Presets of a new row (Add mode), after the parent field.
    std::function<void(Database&, std::map<QString, QVariant, std::less<>>&)> defaults;
};

// Registers the rules and list loaders of the standard books once; every way into the books
// (rules, lists) calls it first.
void ensureStandardRules();

// Adds rules to a book; several registrations of one book run in registration order.
void addBookRules(int entry, BookRules rules);
// The rules of a book (the reference-book rules of this module are registered on first use).
const std::vector<BookRules>& bookRules(int entry);

} // namespace rat::books
