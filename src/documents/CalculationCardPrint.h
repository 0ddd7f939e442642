#pragma once
// The printed calculation card: per eater type the product lines of a portion with the norm,
// the price of the latest delivery not later than the chosen date and the sum, the cost of the
// raw-material set of a portion and of 100 portions.

#include <QDate>
#include <QString>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

// Prints the card's calculation on `date` (template "Калькуляционная карточка"). Returns the
// saved path, empty when nothing was saved.
QString PrintCalculationCard(Database& db, Prompt& prompt, qint64 cardId, const QDate& date);

// Asks the date of the prices (today offered) and prints; nothing when the person declines or
// the date cannot be read.
QString AskAndPrintCalculationCard(Database& db, Prompt& prompt, qint64 cardId);

} // namespace rat::documents
