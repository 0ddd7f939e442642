#pragma once
// The fixed choice lists: small codes stored in the database and the text each one shows.
// Every window that edits such a field offers the list by its number; the stored value is the
// chosen entry's code (plus one for the storage-period unit and the rounding rule).

#include <QString>
#include <QVariant>
#include <vector>

namespace rat {

class Database;

struct ChoiceItem {
    QString text;
    int code;
};

// Switches of the organisation record that change two of the lists.
struct ChoiceFlags {
    bool eatings = false;  // documents may be formed by meals (list 20)
    bool vestSkl = false;  // stock accounting: costing by the latest delivery (list 252)
};

// INF.eatings and INF.VestSkl as every reader of the organisation switches takes them: an empty
// field or no row gives the switch's initial value (stock accounting on, meals off).
ChoiceFlags readChoiceFlags(Database& db);

// The entries of the numbered list in order; an unknown number gives no entries.
//  44 menu grouping, 5 storage-period unit, 16 user role, 20 document formed by, 25 rounding
//  rule, 29 direction, 32 main collection, 40 stock sufficiency, 101 menu-requirement form,
//  102 day of a month, 103 month, 250 sanitary regulation, 251 kind of organisation,
//  252 costing method, 253 season of a plan-menu.
std::vector<ChoiceItem> choiceList(int listNumber, const ChoiceFlags& flags);

// Lists 5 and 25 store the code plus one (products.time_period 1-5, products.rule_okr 1-4);
// every other list stores the code itself.
int storedCodeToListCode(int listNumber, int stored);
int listCodeToStored(int listNumber, int code);

// The suffix shown after a plan-menu's title for type_menu.sezon: nothing for 0, " (осенне-зимний)"
// for 1, ... " (зимне-весенний)" for 7, and " (летне-осенний)" for any other value.
QString seasonSuffix(int sezon);
// The same for a value read from the database: NULL or empty text is no season.
QString seasonSuffix(const QVariant& sezon);

} // namespace rat
