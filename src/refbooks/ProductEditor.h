#pragma once
// The product window's logic (ProductWindow): the fields of a product in the window's order, the
// nutrient block with one row per vitamin, the caption with its unsaved-changes marker, the
// VAT default, the save with its checks, vitamin rows and the norms question, and closing with
// unsaved changes. The window only shows fields() and passes typed values in; every message
// and question goes through Prompt.

#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"
#include "refbooks/RecordEditor.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

class ProductEditor {
public:
    ProductEditor(Database& db, Prompt& prompt);

    // New: the presets of a new product (its group from the list's filter, the unit, storage
    // unit and rounding rule most products have). Edit and copy: reads the product; one that no
    // longer exists gives "Не найдена редактируемая (копируемая) запись. ..." and false.
    bool open(EditMode mode, std::optional<qint64> id = {}, std::optional<qint64> group = {});

    // The fields in display order: the product's fields, then the nutrient block (from
    // nutrientStart(): protein, fat, carbohydrates, calories, then one row per vitamin, named
    // "$" + shname).
    const std::vector<EditorField>& fields() const { return editor_.fields(); }
    int nutrientStart() const { return nutrientStart_; }
    int vitaminStart() const { return nutrientStart_ + 4; }
    int fieldIndex(const QString& field) const { return editor_.fieldIndex(field); }

    // "Продукты: Новый продукт" or "Продукты: <name>", followed by " *" while there are unsaved
    // changes (a copy starts with them).
    QString caption() const;
    EditMode mode() const { return editor_.mode(); }
    std::optional<qint64> id() const { return editor_.id(); }
    bool isChanged() const { return editor_.isChanged() || copyUnsaved_; }

    // Values as the window shows them: texts as typed (numbers with a decimal comma), a list
    // field's stored value (null: no selection), a check box's bool. Any change marks the
    // product as changed.
    QVariant value(int index) const { return editor_.value(index); }
    void setValue(int index, const QVariant& v) { editor_.setValue(index, v); }
    bool setText(const QString& field, const QString& text) { return editor_.setText(field, text); }
    std::vector<ListItem> items(int index) const { return editor_.items(index); }

    // A numeric field's typing rule; shows the message and returns false when refused.
    bool acceptTyping(int index, const QString& text) { return editor_.acceptTyping(index, text); }

    // The VAT field receives the focus holding `text`: while VAT is in use and the field holds
    // "0" or nothing, the general VAT percentage ("0" when missing) that the field takes.
    // Nothing when the field stays as it is.
    std::optional<QString> vatOnFocus(const QString& text) const;

    // OK: the checks in field order, the product row and its vitamin rows in one transaction,
    // then, for a product without nutrition norms, the question whether to open them (Yes
    // calls onOpenNorms). Returns the saved product, or nothing when a check refused it, a
    // question was answered No or the write failed.
    std::optional<qint64> save();
    std::function<void()> onOpenNorms;

    // Closing: with unsaved changes asks "Были внесены изменения. Сохранить и закрыть? ..."
    // (Yes saves, and the window stays when the save fails; No closes; Cancel stays). True when
    // the window may close.
    bool confirmClose();

private:
    Database& db_;
    Prompt& prompt_;
    int nutrientStart_ = 0;
    // The save, its checks and the vitamin rows are the products book's own.
    RecordEditor editor_;
    QString name_;
    bool copyUnsaved_ = false;  // a copy is a new product nobody has saved yet
};

} // namespace rat::books
