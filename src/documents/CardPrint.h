#pragma once
// The printed technological card: per eater type the yield, the product lines per portion and
// per 100 portions, the nutrient value of a portion; the technology; the organisation and the
// signature when the requisites are switched on (`DopRekvizit`), the yields when `Galka` is on.

#include <QString>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

// Prints the cards into one workbook (template "Технологическая карта"), each card starting on a
// new page when `TKlist` is on. Returns the saved path, empty when nothing was saved.
QString PrintCards(Database& db, Prompt& prompt, const std::vector<qint64>& cardIds);

} // namespace rat::documents
