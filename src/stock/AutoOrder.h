#pragma once
// Automatic ordering: the order for the coming plan days of every set-up (the need of the plan
// days for the set-up's eaters against today's stock, one order document with a line for every
// product that falls short) and the reminder at start-up.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::stock {

// The grams of one portion as an order counts them (`rule_okr` of the product): without a rule 5
// decimals; otherwise Round(g, rule - 1) when that is not zero, rounded up to a whole gram for
// rule 1; else the first non-zero of Round(g, rule) ... Round(g, rule + 4). So 0.3 g stays 0.3
// with rule 1 while 2.3 g becomes 3.
double orderPortionGrams(double grams, int ruleOkr);

// The plan days a set-up covers: `count` days from `first`, in id order, continuing from the
// first day after the last. Empty when `first` is not among `days`.
std::vector<qint64> coveredDays(const std::vector<qint64>& days, qint64 first, int count);

// The first-day selection of a plan-menu: its days in id order, the day to recommend (the one
// after the last ordered, else the first) and the note shown with the list.
struct FirstDayChoice {
    std::vector<qint64> days;
    QStringList names;
    int recommended = 0;  // index into days
    QString note;         // "Примечание: ..."
};
FirstDayChoice firstDayChoice(Database& db, qint64 planMenu);

// "На указанные дни продуктов на складе достаточное количество. Автозаказ не выполнен."
QString stockSufficientText();
// "Невозможно выполнить автоматический заказ продуктов питания, так как не заполнен справочник "План-меню"."
QString planMenuEmptyText();
// "Необходимо выполнить заказ продуктов."
QString orderNeededText();
// "Не заданы параметры автоматического заказа. ..." (no set-up with eaters)
QString noOrderingSetupText();

struct AutoOrderLine {
    qint64 productId = 0;
    QString product;
    qint64 unitId = 0;
    QString unit;
    qint64 warehouse = 0;
    double cost = 0;       // of the product's most recent lot, in the product's unit, or its planned price
    double quantity = 0;   // the shortage rounded by the product's rule
    double quantity1 = 0;  // the shortage as computed
};
struct AutoOrderResult {
    qint64 orderId = 0;
    QString number;
    double sum = 0;
    std::vector<AutoOrderLine> lines;  // by product name
};

// MakeAutomaticOrder with today's date: for each set-up the first plan day is chosen ("Выберите
// день из плана-меню:" with the note), the need of the covered days is compared with today's
// remnant of the set-up's warehouse, and the shortages become one unconfirmed order (status 0,
// sum = Σ cost × quantity1) dated today with the covered days recorded in ZAKAZ; one transaction.
// Nothing when nothing is short (after the message), the choice is declined, or there is no
// set-up or plan-menu (after a warning).
std::optional<AutoOrderResult> makeAutomaticOrder(Database& db, Prompt& prompt, const QDate& today);

// OrderingReminder, with stock accounting on and a set-up with eaters: silent while `today` is
// before the last confirmed automatic order's date plus the set-up's days; otherwise the warning
// about the empty plan-menu book, or "Необходимо выполнить заказ продуктов." followed, when the
// automatic write-off is on, by the write-off of expired lots. Returns the write-off document it
// wrote, for viewing.
std::optional<qint64> orderingReminder(Database& db, Prompt& prompt, const QDate& today);

} // namespace rat::stock
