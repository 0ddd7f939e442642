#pragma once
// The write-off of expired lots: the automatic one that writes an approved write-off document by
// itself, and the fill of an open write-off document on request.

#include <QDate>
#include <QtGlobal>
#include <optional>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// The reason written on every line of an expired lot.
inline constexpr const char* expiredReason = "Истек срок реализации";

// With `today` T: silent unless a counted lot with quantity above 0 expired before T and the lots
// expired before T still hold something; then "На складе имеются продукты, у которых вышел срок
// годности. ..." and, on Yes, one approved write-off dated T with a line per lot with a remnant
// expiring on or before T (by product name), its sum, in one transaction. Returns the document.
std::optional<qint64> autoWriteOffExpired(Database& db, Prompt& prompt, const QDate& today);

// "Выполнить автоматическое списание?" in an open write-off document: on Yes a line per lot with a
// remnant on the document's date expiring on or before it; "Не найдено продуктов на списание."
// when there is none. Returns the number of lines added.
int fillWriteOffWithExpired(Database& db, Prompt& prompt, qint64 documentId);

} // namespace rat::stock
