#pragma once
// The card window's logic (CardWindow): one technological card as a whole. The header fields
// and the nutrient block (per 100 g, per the reference mass `vih`, the loss in cooking), the
// ingredient grid with the nested dishes expanded, the yield grid, the save with its checks in
// their fixed order, the conditions of the line commands, the deletion of grid rows and the
// questions on closing. The window only shows fields() and the rows and passes typed values
// in; every message and question goes through Prompt.

#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"
#include "refbooks/RecordEditor.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// One row of the ingredient grid.
struct CardIngredientRow {
    QString kind;        // "Комментарий", "или" or blank
    QString text;        // "Ингредиент"
    QString name;        // the comment, product or dish as messages name it
    double brutto = 0.0; // grams per 100 g of the dish (scaled for an expanded row)
    double netto = 0.0;
    qint64 itemId = 0;   // the product or the nested card; 0 for a comment
    qint64 lineId = 0;   // the `recipes` row (of the nested card for an expanded row)
    bool isCard = false;
    bool nested = false; // an expanded row: it belongs to the nested card
};

// The card's lines in the grid order (a main line 12 at 12.00, its variant 15 at 12.1215),
// each nested dish followed by the product lines ("    >") and nested dishes ("      >") of its
// card that are neither comments nor variants, weighed at the nested dish's net weight.
std::vector<CardIngredientRow> cardIngredientRows(Database& db, qint64 cardId);

// One row of the yield grid.
struct CardYieldRow {
    qint64 id = 0;            // the `output` row
    qint64 eaterTypeId = 0;
    QString eaterType;        // the eater type's short name
    QString text;             // "150/30"
};

// The yields of the card for the eater types on the allowance, by plan-menu, eater type and
// yield text.
std::vector<CardYieldRow> cardYieldRows(Database& db, qint64 cardId);

// The grids of the window and the commands on their rows.
enum class CardGrid { Ingredients, Yields };
enum class LineCommand { Add, Edit, Copy, Delete };

class CardEditor {
public:
    // `bookTitle`: the caption of the list the window was opened from ("Технологические
    // карты", "Блюда").
    CardEditor(Database& db, Prompt& prompt, QString bookTitle = QStringLiteral("Технологические карты"));

    // New: an empty card of the category chosen in the list. Edit and copy: reads the card;
    // one that no longer exists gives "Не найдена редактируемая (копируемая) запись. ..." and
    // false (the window is not to be shown).
    bool open(EditMode mode, std::optional<qint64> id = {}, std::optional<qint64> category = {});

    // The fields: the header (headerCount() of them, in the window's order, headings
    // included), then `vih`, then the nutrient block, three fields per row.
    const std::vector<EditorField>& fields() const { return editor_.fields(); }
    int headerCount() const { return headerCount_; }
    int vihIndex() const { return headerCount_; }
    struct NutrientRow {
        QString caption;  // "Белки, г", ..., "Ca, мг"
        int per100 = -1;  // field indices
        int perVih = -1;
        int loss = -1;
    };
    const std::vector<NutrientRow>& nutrientRows() const { return rows_; }
    int fieldIndex(const QString& field) const { return editor_.fieldIndex(field); }

    // "<book>: Новая карта *", "<book>: <name>" (a copy with " *"), "Технологическая карта:
    // <name>" once saved here; a change appends the " *" marker.
    QString caption() const;
    // "Химический состав на " + vih + " г:" with the vih as typed.
    QString nutrientCaption() const;

    EditMode mode() const { return mode_; }
    // The card the window shows once it exists in the file: nothing for a new card or a copy
    // not yet saved.
    std::optional<qint64> cardId() const { return cardId_; }
    bool isChanged() const { return marked_; }

    // Values as the window shows them (numbers with a decimal comma, a list field's stored
    // value; the planned cost and the nutrient block with their fixed decimals). Any change
    // marks the card as changed; a figure of the block or the cost counts as typed from then on.
    QVariant value(int index) const { return editor_.value(index); }
    void setValue(int index, const QVariant& v);
    bool setText(const QString& field, const QString& text);
    std::vector<ListItem> items(int index) const { return editor_.items(index); }
    bool acceptTyping(int index, const QString& text) { return editor_.acceptTyping(index, text); }

    // OK: the checks in their fixed order, then the header, its vitamin rows and (copy) the
    // source card's lines and yields in one transaction. Returns the saved card, or nothing
    // when a check refused, a question was answered No or the write failed.
    std::optional<qint64> save();

    // The saved card as the file holds it now: after a line command the recalculation may have
    // changed its cost and every figure of the nutrient block. Only an unmarked card is read
    // again, so nothing typed is lost.
    void reload();

    // Before a line command on a grid: the card must be saved, and a copy needs a row. False
    // after the message.
    bool lineCommandAllowed(LineCommand command, int gridRows);

    // Closing: unsaved changes ask "Были внесены изменения. Сохранить и закрыть? ..." (Yes
    // saves; a failed save keeps the window), then a saved card with an empty grid asks
    // whether to close all the same. True when the window may close.
    bool confirmClose(int ingredientRows, int yieldRows);

private:
    std::vector<EditorField> buildFields();
    // The planned cost and every figure of the nutrient block: filled by the calculation, so a
    // save writes them only when typed, and otherwise keeps every stored decimal.
    bool isCalculated(int index) const;
    void readCalculated(std::optional<qint64> id);

    Database& db_;
    Prompt& prompt_;
    QString bookTitle_;
    // The layout is built before the editor that holds the fields.
    int headerCount_ = 0;
    std::vector<NutrientRow> rows_;
    std::vector<std::pair<qint64, QString>> vitamins_;  // the block's vitamins (id, shname)
    RecordEditor editor_;
    EditMode mode_ = EditMode::Add;
    std::optional<qint64> cardId_;
    std::optional<qint64> sourceId_;  // copy: the card copied
    QString name_;
    std::vector<QVariant> stored_;  // a calculated field's value as the file holds it
    std::vector<bool> typed_;       // a calculated field the person changed since reading
    bool marked_ = false;
    bool savedHere_ = false;
};

// keyDel in the card window: the selected rows of a grid (indices into the rows shown), each
// with its refusals and questions, the count at the end; the recalculation questions follow
// when ingredient lines went. Returns the number of rows deleted.
int deleteCardIngredientRows(Database& db, Prompt& prompt, qint64 cardId, const std::vector<CardIngredientRow>& rows);
int deleteCardYieldRows(Database& db, Prompt& prompt, qint64 cardId, const std::vector<CardYieldRow>& rows);

} // namespace rat::books
