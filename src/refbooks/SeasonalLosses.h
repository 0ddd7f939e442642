#pragma once
// Seasonal losses of a product: the gross weight a recipe needs on a date, the overlap check
// of the seasonal-loss book, the copy of every period of one product to another, and the
// usual periods of potatoes, carrots and beets put into an empty book at start.

#include <QDate>
#include <QtGlobal>
#include <map>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// One period of a product; months 0 (January) to 11 (December).
struct SeasonPeriod {
    int dayN = 0, mesN = 0, dayO = 0, mesO = 0;
    double proz = 0.0;
};

// The periods of a product in ascending percentage (ties in the order they were entered).
std::vector<SeasonPeriod> seasonPeriods(Database& db, qint64 productId);
// The periods of every product that has any, each product's in ascending percentage, read in
// one pass for work over many products.
std::map<qint64, std::vector<SeasonPeriod>> allSeasonPeriods(Database& db);

// The gross weight `grams` of a recipe adjusted to the date. The recipe's weight stands for the
// smallest percentage of the product; the first period in ascending percentage whose months
// hold the date gives the loss of that date (whole months, start and end month in the date's
// year; a period wrapping over the new year never holds a date), none gives 0.
// Result: Round((100 - smallest) * grams / (100 - loss), 2). Without periods: grams unchanged.
double seasonalGross(const std::vector<SeasonPeriod>& ascending, double grams, const QDate& date);
double seasonalGross(Database& db, qint64 productId, double grams, const QDate& date);

// The gross weight as the computations use it: adjusted only while the organisation's
// seasonality switch (INF.Sezonnost) is on.
double grossOnDate(Database& db, qint64 productId, double grams, const QDate& date);

// True when the new period overlaps another: one of its first and last days lies within the
// other's days and one of its first and last months within the other's months.
bool periodsOverlap(const SeasonPeriod& added, const SeasonPeriod& other);

// Registers the seasonal-loss book's check: a period overlapping another period of the same
// product is refused.
void registerSeasonRules();

// "Копировать все проценты потерь": every period of the product added for a product the person
// chooses, except those where the target already has a period within the source period (each
// skip is told). True when the copy ran.
bool copySeasonPeriods(Database& db, Prompt& prompt, qint64 productId);

} // namespace rat::books
