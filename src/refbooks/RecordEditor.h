#pragma once
// The record editor's logic: one row of a book as a column of values, the new-row presets,
// the opening of a row for edit or copy, and the save with its checks in their fixed order.
// The window (frmSD1) only shows fields() and passes typed values in; every message and
// question goes through Prompt.

#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace rat {
class Database;
class DbError;
class Prompt;
}

namespace rat::books {

class RecordEditor {
public:
    RecordEditor(Database& db, Prompt& prompt, int entry);
    // A book's own window (products) shows the book's fields in an order and with captions of
    // its own; the checks, the write and the rules stay those of the book.
    RecordEditor(Database& db, Prompt& prompt, int entry, std::vector<EditorField> fields);

    // Prepares the editor. Add: the presets of a new row (the parent field from parentId, the
    // book's defaults). Edit and copy: reads the row; a row that no longer exists gives
    // "Не найдена редактируемая (копируемая) запись. ..." and false (the editor closes).
    bool open(EditMode mode, std::optional<qint64> id = {}, std::optional<qint64> parentId = {});

    const ResolvedBook& book() const { return book_; }
    // Fields in display order: vitamin generators expanded, money captions completed.
    const std::vector<EditorField>& fields() const { return book_.fields; }
    int fieldIndex(const QString& field) const;  // case-insensitive; -1 when absent

    // Book's single-record name + ": " + the row's name, or + ": Новая" for a new row.
    QString caption() const;
    EditMode mode() const { return mode_; }
    std::optional<qint64> id() const { return id_; }
    std::optional<qint64> parentId() const { return parentId_; }

    // Values as the window shows them: texts as typed (numbers with a decimal comma), a list
    // field's stored value (null: no selection), a check box's bool; null for a heading.
    QVariant value(int index) const;
    void setValue(int index, const QVariant& v);
    // By field name; false when the book has no such field.
    bool setValue(const QString& field, const QVariant& v);
    // A value given as text, the way a person types it: a list field takes the stored value
    // (row id or fixed-list code), a check box 1/0 (also "Да"/"Нет", "-1").
    bool setText(const QString& field, const QString& text);

    // Items of a list field (a parameterised list takes its parameter field or the parent), as
    // currentField() lists them; the main-line list of a recipe line leaves the line itself out.
    std::vector<ListItem> items(int index) const;

    // A field as it applies to the row's current values. The item of a recipe line is a card,
    // captioned "Вложенное блюдо", while "Вложить блюдо" is ticked, and a product otherwise; the
    // main line of a variant must be chosen while "Вариант" is ticked.
    EditorField currentField(int index) const;
    // False for a field that does not apply to the row as it stands: the item, weights and
    // boxes of a comment line, the comment text of a line that is no comment, the main line of
    // a line that is no variant. Such a field needs no value; a list of them is stored as 0
    // (no item, no main line), other fields keep what was typed.
    bool applies(int index) const;

    bool isChanged() const { return changed_; }

    // The save in its fixed order. Returns the saved row's key for reselection, or nothing
    // when a check refused it, a question was answered No, or the write failed (the editor
    // stays open; nothing was written). A definition none of whose fields is stored (the
    // yields of a whole dish category) writes no row of its own: its rules do the writing in
    // the save's transaction, and a successful save returns 0.
    std::optional<qint64> save();

    // Closing the editor with Cancel: with unsaved changes asks "Сохранить изменения?"
    // (Yes/No/Cancel). Yes saves (and stays open when the save fails), No discards, Cancel
    // stays. True when the editor may close.
    bool confirmClose();

    // A numeric field's typing rule: letters refused ("Введите целое или дробное число. ..."),
    // a negative value refused ("Вы ввели отрицательное значение!"). Shows the message and
    // returns false when the typed text is not accepted.
    bool acceptTyping(int index, const QString& text);

private:
    QVariant paramOf(const EditorField& f) const;
    bool ticked(const char* box) const;

    Database& db_;
    Prompt& prompt_;
    int entry_;
    ResolvedBook book_;
    EditMode mode_ = EditMode::Add;
    std::optional<qint64> id_;
    std::optional<qint64> parentId_;
    QString rowName_;
    std::vector<QVariant> values_;
    bool changed_ = false;
};

// The problem with a text typed into a numeric field, or an empty text when it is fine:
// "Введите целое или дробное число. Здесь можно вводить только цифры, а целая часть от дробной
// отделяется запятой!" for anything but digits and one comma, "Вы ввели отрицательное
// значение!" for a leading minus.
QString numericTypingProblem(const QString& text);

// A stored number as an editor shows it: plain digits, a decimal comma; a whole number in a
// field of no decimals without a fraction.
QString numberText(const QVariant& v, int decimals = -1);

// The message of a save the database refused, with the database's own words.
void reportSaveError(Prompt& prompt, const DbError& e);

} // namespace rat::books
