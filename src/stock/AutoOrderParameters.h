#pragma once
// The set-ups of automatic ordering ("Параметры автозаказа"): per plan-menu the warehouse, the
// number of plan days an order covers and the eaters of each eater type; the stored set-ups
// brought in line with the eater types, the working copy the dialog edits, the zero-count
// question and the saving.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

struct OrderingEaters {
    qint64 typeId = 0;
    QString name;       // shname
    int count = 0;
    bool active = true; // the eater type is on allowance (status -1); only these are shown and used
};

struct OrderingSetup {
    qint64 planMenu = 0;
    QString title;
    bool used = false;   // "Использовать автоматический заказ"
    qint64 warehouse = 1;
    int days = 5;
    std::vector<OrderingEaters> eaters;
};

// "Для создания параметров автоматического заказа необходимо сначала внести данные о плане-меню."
QString noPlanMenuForOrderingText();
// "Необходимо обязательно указать количество довольствующихся отличное от нуля. Не использовать
// данное план-меню в расчетах автоматического заказа?"
QString zeroCountQuestion();
// "Были внесены изменения. Сохранить?"
QString orderingChangedQuestion();

// Opening the parameters: nothing (after the message) when no plan-menu has an eater type on
// allowance. Otherwise the stored set-ups are first brought in line with the eater types (a
// point of count 0 added for every type of the plan-menu that has none, points of types gone
// deleted, set-ups left without points deleted) in one transaction, the working copy AVTZAK1 is
// filled, and one set-up per plan-menu is returned, by title: the stored one (used), or a new
// one (not used, counts 0, the first warehouse, 5 days).
std::optional<std::vector<OrderingSetup>> openOrderingParameters(Database& db, Prompt& prompt);

// True when the set-up is used while an eater type on allowance has no eaters.
bool hasZeroCount(const OrderingSetup& setup);
// The zero-count question for a used set-up with a zero count (default "Нет"): Yes takes the
// plan-menu out of ordering and gives true; No gives false (the counts are to be entered).
// Without a zero count: true, nothing asked.
bool settleZeroCounts(Prompt& prompt, OrderingSetup& setup);

// OK: the stored set-ups replaced by the used ones, the working copy emptied; one transaction.
void saveOrderingParameters(Database& db, const std::vector<OrderingSetup>& setups);
// Closing without saving: the working copy emptied.
void closeOrderingParameters(Database& db);

// The stored set-ups (used ones only), by IDAvt.
std::vector<OrderingSetup> storedOrderingSetups(Database& db);

} // namespace rat::stock
