#pragma once
// The calculations of a technological card: the expansion of a card into products (the one rule
// every quantity of a dish follows), its nutrient value per 100 g and per its reference mass,
// its planned cost per 100 g, the questions after a recipe change, the batch commands of the
// card list, the calculation view per eater type and the cost of a card in a menu.
//
// A card's recipe is stated for 100 g of dish. Only lines that are neither comments nor
// variants take part. A nested-dish line brings the nested card in at its net weight. A card
// that contains itself through its nested dishes (a damaged file) ends the work with
// kNestingCycleMessage instead of looping.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::books {

// Shown (with the card's name) when the nested dishes of a card lead back to a card already
// being expanded.
QString nestingCycleMessage(const QString& cardName);

// One product line of an expansion.
struct ExpandedLine {
    qint64 lineId = 0;       // the `recipes` row
    qint64 productId = 0;
    QString productName;
    qint64 ownerCardId = 0;  // the card whose recipe holds the line (the card or a nested one)
    int depth = 0;           // 0 for the card's own lines, 1 inside a nested dish, ...
    double gross = 0.0;      // grams
    double net = 0.0;        // grams
};

struct CardExpansion {
    std::vector<ExpandedLine> lines;  // in recipe order, nested lines where their dish stands
    bool cycle = false;               // the nesting led back to itself; `lines` is then empty
    QString message;                  // the cycle message
};

// The expansion of a card at yield Y grams: each product line at brutto × Y / 100 and
// netto × Y / 100, each nested dish expanded at its netto × Y / 100. With a prompt, a cycle is
// also told through it.
CardExpansion expandCard(Database& db, qint64 cardId, double yieldGrams, Prompt* prompt = nullptr);

struct VitaminValue {
    qint64 vitaminId = 0;
    QString shname;
    double kol = 0.0;     // per 100 g
    double kolVih = 0.0;  // per vih g
    double kolpr = 0.0;   // loss in cooking, %, as the card had it
};

struct NutrientValues {
    double fat = 0, protein = 0, carbohyd = 0, calories = 0;              // per 100 g
    double fatVih = 0, proteinVih = 0, carbohydVih = 0, caloriesVih = 0;  // per vih g
    int vih = 100;
    std::vector<VitaminValue> vitamins;  // the vitamins that belong on a card, by id
};

// The prices of a gram by product that many cardMenuCost calls of one basis and one date share
// (a whole menu costed at once reads each product's price once).
using MenuPriceCache = std::map<qint64, double>;

// Computes and calculates many cards sharing what it has read (recipes, products, losses,
// costs of nested cards). Lives for one operation: it does not see changes made meanwhile by
// others.
class CardCalculator {
public:
    explicit CardCalculator(Database& db, Prompt* prompt = nullptr);
    ~CardCalculator();
    CardCalculator(const CardCalculator&) = delete;
    CardCalculator& operator=(const CardCalculator&) = delete;

    // Reads every card, recipe line and product at once; for work over many cards. The nutrient
    // values are then written in the caller's transaction, which holds the whole batch.
    void preload();
    // Reads the listed cards and the cards nested in them, one query per table and nesting
    // level; for work over a few cards of a large file.
    void preloadCards(const std::vector<qint64>& cards);

    CardExpansion expand(qint64 cardId, double yieldGrams);

    // The nutrient value, computed and written to the card (fat ... calories, the _vih values,
    // the card's card_vitamin rows with their losses kept). Nothing on a nesting cycle (the
    // card keeps its values) or for a missing card.
    std::optional<NutrientValues> calculateNutrients(qint64 cardId);

    // The planned cost of 100 g of dish at the money precision; nothing on a nesting cycle.
    std::optional<double> cost(qint64 cardId);
    // The cost computed and stored in card_recipes.cost.
    std::optional<double> storeCost(qint64 cardId);

    // The cost of a portion of `yieldGrams`: Σ Round(price of a gram × gross weight) over the
    // expanded product lines (a product without a price counts 0), the gross weights adjusted
    // to `date` while seasonality is on, the sum rounded again; all at the money precision.
    // Nothing on a nesting cycle.
    std::optional<double> portionCost(qint64 cardId, double yieldGrams, const MenuPriceCache& prices, const QDate& date);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

std::optional<NutrientValues> calculateCardNutrients(Database& db, qint64 cardId, Prompt* prompt = nullptr);
std::optional<double> calculateCardCost(Database& db, qint64 cardId, Prompt* prompt = nullptr);
std::optional<double> storeCardCost(Database& db, qint64 cardId, Prompt* prompt = nullptr);

// The money precision: the decimal places of sums ("Округление").
int moneyPrecision();

// After a recipe line is saved or lines are deleted: when automatic recalculation is on
// ("ispAvtRas" empty or 1) asks to recalculate the nutrient value, then, when some product has
// a planned price, the cost (both Yes/No, No by default), and does what was accepted.
void askRecalculationAfterRecipeChange(Database& db, Prompt& prompt, qint64 cardId);

// Nutrient values of the listed cards, one after another in one transaction, with the status
// text after each card. Returns the number done.
int calculateNutrientsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards);
// Costs of the listed cards, stored, with the status text after each card; "Готово." at the end.
int storeCostsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards);

// The batch nutrient command of the card list: asks all / the selected card / nothing, runs,
// tells the end. `cardBookShown`: the list window shows the book of technological cards.
void batchNutrientCommand(Database& db, Prompt& prompt, std::optional<qint64> selectedCard, bool cardBookShown);
// The batch cost command of the card list for a dish category: asks the category / all cards /
// nothing, runs, tells the end.
void batchCostCommand(Database& db, Prompt& prompt, qint64 categoryId);

// The calculation view of a card per eater type.
struct CalcLine {
    qint64 lineId = 0;
    QString text;
    QString unit;
    bool comment = false;
    bool productLine = false;
    bool variant = false;  // "   или ...": shown, but no part of the dish's cost
    double gross = 0, net = 0;
    double protein = 0, fat = 0, carbohyd = 0, calories = 0;
    double actualCost = 0;
    double price = 0;      // price of a gram from the latest delivery, at the money precision (0: none)
    double costGross = 0;  // the gross weight the actual cost is taken on (seasonal, rounded)
};

struct CalcBlock {
    qint64 eaterTypeId = 0;
    QString eaterName;   // short name
    QString yieldText;   // "150/30"
    double yield = 0;    // output1
    double protein = 0, fat = 0, carbohyd = 0, calories = 0;  // one portion
    std::vector<std::pair<QString, double>> vitamins;          // one portion, by shname
    double plannedCost = 0;                                    // one portion
    std::vector<CalcLine> lines;
};

// Every active eater type with a yield row for the card (or only `eaterTypeId`), lines in the
// ingredient order of the card window, actual costs from the latest delivery not later than
// `date`.
std::vector<CalcBlock> cardCalculation(Database& db, qint64 cardId, std::optional<qint64> eaterTypeId,
                                       const QDate& date);

// The yield text of a yield row: "a/b/c", "a/b" or "a".
QString yieldText(double output1, double output2, double output3);

// The whole number a recipe number starts with, as a nested dish shows it in parentheses:
// "12а" is 12, "7.9" is 7, "" and "б/н" are 0 (nothing shown).
qint64 recipeNumberValue(const QString& text);

// The bases of the cost of a card in a menu, in the order of their fixed list.
enum class CostBasis { LatestDelivery, PlannedProductPrice, PlannedCardPrice };

// The latest-delivery price of a gram of a product: among its lots counted as received not
// later than `date`, those of the latest receipt date, the largest cost / koef; nothing when
// there is no such lot.
std::optional<double> latestDeliveryPricePerGram(Database& db, qint64 productId, const QDate& date);

// The cost of one portion of a card for an eater type in a menu on `date`. Nothing when the
// card has no yield for the eater type or its nesting loops.
std::optional<double> cardMenuCost(Database& db, qint64 cardId, qint64 eaterTypeId, CostBasis basis,
                                   const QDate& date, Prompt* prompt = nullptr, MenuPriceCache* prices = nullptr);

// The price of a gram of every product that has one at a basis of product prices on `date`:
// the latest delivery (as latestDeliveryPricePerGram) or the planned price, in one pass.
MenuPriceCache menuPrices(Database& db, CostBasis basis, const QDate& date);

// The portion costs of the cards of one menu at one basis and date, as cardMenuCost gives them:
// every product's price read in one pass, the menu's cards read together and each expanded once.
class MenuCosting {
public:
    MenuCosting(Database& db, CostBasis basis, const QDate& date, const std::vector<qint64>& cards);
    // The cost of a portion of `yieldGrams` of the card; `plannedCardCost` (its stored cost of
    // 100 g) serves the planned card price. Nothing on a nesting cycle.
    std::optional<double> portionCost(qint64 cardId, double yieldGrams, double plannedCardCost);

private:
    CostBasis basis_;
    QDate date_;
    CardCalculator calc_;
    MenuPriceCache prices_;
};

// The recalculation follow-up of the recipe-line editor and the calculation view's loader.
// Safe to call more than once.
void registerCardCalculation();

} // namespace rat::books
