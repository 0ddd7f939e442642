#pragma once
// Eater types: what a new type takes over from an existing one (yields, product norms and
// physiological norms), and what goes with a deleted type.

#include <QtGlobal>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// The questions after a new eater type is saved: copy the yields of a chosen type, then its
// norms and physiological norms. Each copy is one transaction.
void offerEaterTypeCopy(Database& db, Prompt& prompt, qint64 newType);

// The copies themselves (rows of `from` added for `to`).
void copyYields(Database& db, qint64 from, qint64 to);
void copyNormsAndPhysNorms(Database& db, qint64 from, qint64 to);

// The record-editor follow-up and deletion rules of the eater-type book.
void registerEaterTypeRules();

} // namespace rat::books
