#pragma once
// The record-editor checks of recipe lines and yields, the deletion of whole cards, and the
// copying of a card or of its recipe.

#include <QVariant>
#include <QtGlobal>
#include <optional>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// Registers the rules of recipe lines, yields and cards with the book-rules registry.
void registerCardRules();

// When another card of the same collection has the same number and recipe number, asks
// "Технологическая карта с номером ... уже добавлена. Продолжить сохранение?" (No by default).
// False when the person answered No. Both the card window and the plain form ask it.
bool confirmCardNumber(Database& db, Prompt& prompt, std::optional<qint64> ownId, const QVariant& collection,
                       const QVariant& number, const QVariant& numrec);

// Appends the recipe lines of `fromCard` to the existing card `toCard`, in the ingredient-grid
// order, each variant pointing at the copy of its main line; the target's own lines stay. All
// lines or none are written. Returns the number of lines added, or nothing when the copy was
// refused (the person has been told). A database error is thrown as DbError, with nothing written.
std::optional<int> copyRecipe(Database& db, Prompt& prompt, qint64 fromCard, qint64 toCard);

// The list command "Копировать рецептуру": a card without lines is refused at once; otherwise
// the person picks the target card ("Копирование рецептуры") and the lines are appended to it.
// True when lines were added.
bool copyRecipeToChosenCard(Database& db, Prompt& prompt, qint64 fromCard);

// Adds a copy of the card: its header, vitamin values, recipe lines (variants pointing at the
// copied main lines) and yields, all or nothing. Returns the new card's id, or nothing when the
// card does not exist. A database error is thrown as DbError, with nothing written.
std::optional<qint64> copyCard(Database& db, qint64 cardId);

// Adds the recipe lines (variants pointing at the copied main lines) and the yields of
// `fromCard` to the new card `toCard`, inside the caller's transaction.
void copyCardLinesAndYields(Database& db, qint64 fromCard, qint64 toCard);

} // namespace rat::books
