#pragma once
// Yields set for a whole dish category at once, and the yields of a card added through the
// plain card editor.

#include <QVariant>
#include <QtGlobal>
#include <optional>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// The catalogue entry of "Выход по категориям блюд": an editor definition only (category,
// eater type and the three yields) with no list and no row of its own; its save updates or adds
// the yield of that eater type on every card of the category. The number lies above every
// entry a main-window command opens.
inline constexpr int entryCategoryYields = 70;

// Registers the rules of the category-yield editor and the follow-up of a card added through
// the plain card editor (entries 2 and 32). Safe to call more than once.
void registerCardYieldRules();

// Sets output1..output3 of `eaterType` on every card of `category`: an existing yield row is
// updated, a missing one added. Runs inside the caller's transaction. Returns the number of
// cards whose yield was added.
int setCategoryYields(Database& db, qint64 category, qint64 eaterType, const QVariant& output1,
                      const QVariant& output2, const QVariant& output3);

// After a card was added through the plain editor: tells that yields are needed, asks for the
// yield ("Выход блюда"), adds a yield row with it for every eater type, and reminds of the
// recipe. An empty or cancelled answer adds no rows and says so; a text that is not a whole
// number of grams is refused and asked again. Returns the yield added, nothing when none was.
std::optional<qint64> addYieldsOfNewCard(Database& db, Prompt& prompt, qint64 cardId);

} // namespace rat::books
