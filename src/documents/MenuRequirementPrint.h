#pragma once
// What the printed menu-requirement shows, read from the database as plain data: the layout and
// its template, the print settings, the checks before printing, the header, the eater block,
// the dish rows by meal with the product columns, the totals and the signature block.

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

namespace rat::documents {

// ---- layouts ----

enum class MenuRequirementLayout {
    Products,      // "Меню-требованиеПродукты": the cook's copy, grams per portion and totals
    Mechanised,    // "Меню-требование": the plain accounting copy
    Form299,       // "Меню-требование№299": prices, children and staff
    Okud0504202,   // "Меню-требование (ОКУД 0504202)": staff block and money per product
};

// The template's name without folder and extension.
QString templateName(MenuRequirementLayout layout);
// The layout of the ordinary print for INF.schab (a list-101 value: 0 "Меню-требование №299",
// 1 "Меню-требование №299-мех", 2 "Меню-требование по ОКУД 0504202"; anything else is taken as
// 0), or the cook's copy.
MenuRequirementLayout layoutFor(int schab, bool cookCopy);

// ---- print settings (per user, section "User") ----

struct MenuRequirementPrintSettings {
    bool sortByCode = false;        // SortShif
    bool minimizeColumns = false;   // MinGr
    bool repeatHeader = true;       // Dub
    bool productNamesInHeader = true;  // ProdMT
    bool groupByDish = false;       // GroupMT
    int fontSize = 8;               // Schrif
    int totalFontSize = 8;          // Schrif1: the total-quantity cells
    int productTotalFontSize = 9;   // Schrif2: the product total row
    bool perPortion = false;        // ChOdin: the quantity per portion printed beside the total
};
MenuRequirementPrintSettings readMenuRequirementPrintSettings();
// Saves the keys of the print settings window (ChOdin belongs to the parameters window).
void saveMenuRequirementPrintSettings(const MenuRequirementPrintSettings& s);

// ---- the checks before printing ----

enum class PrintKind { MenuRequirement, Menu };
// The day menu has an eater count above 0 ("Невозможно сформировать меню-требование! Укажите
// количество довольствующихся!", the menu: "Невозможно сформировать меню! Укажите количество
// довольствующихся!"), and one of an eater type that exists ("Печать невозможна! Нет активных
// типов довольствующихся!"). False after the message.
bool checkPrintable(Database& db, Prompt& prompt, qint64 dayMenuId, PrintKind kind = PrintKind::MenuRequirement);

// ---- the data ----

// Where the lines are read: a stored document (menutr, menutm, menutr_point by IDM) or the
// window's working copy (menutr1, menutm1, menutr_point1 by IDM1).
struct RequirementSource {
    bool working = false;
    qint64 id = 0;
};

struct MenuRequirementHeader {
    QString organisation;     // INF.Naim
    QString director;         // "Иванова А.П."
    QString okpo;
    QString structure;        // INF.struktur
    QDate date;               // the day menu's date
    QString number;           // the day menu's number
    qint64 dayMenuId = 0;
    qint64 warehouse = 0;     // 0: all
    double menuSum = 0;       // day_menu.sum
    QString currency;         // shnamev of the active currency
};

struct EaterLine {
    qint64 typeId = 0;
    QString shortName;
    qint64 count = 0;         // the largest count of the type over the day's dishes
    double plannedCost = 0;   // per eater on the date (latest plstoim not after it; 0 without one)
    double cost = 0;          // count × plannedCost
    bool staff = false;       // type_eating.Pes
};

struct ProductColumn {
    qint64 id = 0;
    QString name;
    QString unit;
    QString code;             // schif, printed as text; may be empty
    int decimals = 3;
    double price = 0;         // per unit of the product (the priced layouts)
    double total = 0;         // "Всего": kolv over every row
    double children = 0;      // kolv over the rows of children's types
    double staff = 0;         // kolv over the rows of staff types
    double perStaffEater = 0; // staff ÷ the number of staff eaters
    double sum = 0;           // total × price
};

struct DishRow {
    qint64 eaterTypeId = 0;
    QString eaterType;
    bool staff = false;
    qint64 mealId = 0;
    qint64 cardId = 0;
    QString dish;
    qint64 portions = 0;
    double output = 0;
    // One entry per product column; nothing where the dish does not use the product.
    std::vector<std::optional<double>> kol;    // grams per portion, rounded by the product's rule
    std::vector<std::optional<double>> kolv;   // in the product's unit, rounded the same way
};

struct MealGroup {
    qint64 mealId = 0;
    QString title;            // the meal (eating.ename) or the dish category (type_meal.tname)
    std::vector<DishRow> rows;
};

struct EaterTypeTotal {
    qint64 typeId = 0;
    QString shortName;
    bool staff = false;
    // The positions of this type's rows in the order of printing (groups one after another).
    std::vector<int> rowIndexes;
    std::vector<double> kolv;  // per product column
};

struct Signature {
    QString role;             // "Бухгалтер", "Врач (диетсестра)", ...
    QString name;             // surname and initials; empty when not filled in
};

struct MenuRequirementPrintData {
    MenuRequirementLayout layout = MenuRequirementLayout::Products;
    MenuRequirementHeader header;
    std::vector<EaterLine> eaters;
    qint64 eaterCount = 0;    // "Всего": the sum of the types' counts
    double plannedCost = 0;   // "Всего": the sum of the types' costs
    qint64 childCount = 0;
    qint64 staffCount = 0;
    std::vector<ProductColumn> products;
    std::vector<MealGroup> meals;
    std::vector<EaterTypeTotal> totals;  // by eater type, in the eater block's order
    bool priced = false;      // prices filled (the №299 and ОКУД layouts)
    bool plannedPrices = false;  // prices are the products' planned prices
    double sum = 0;           // the sum over the products
    std::vector<Signature> signatures;

    int rowCount() const;
    const DishRow& row(int index) const;
};

// Reads the document for printing in `layout`. The priced layouts take prices as the day menu
// is costed: from stock lots (the latest delivery, in the document's warehouse) or the
// products' planned prices; a day menu costed by the cards' planned prices is told "В Меню на
// день установлен расчет цен по плановым ценам технологических карт, ..." and gets the
// products' planned prices. Nothing when the document or its day menu is missing.
std::optional<MenuRequirementPrintData> readMenuRequirementPrint(Database& db, Prompt& prompt,
                                                                 const RequirementSource& source,
                                                                 MenuRequirementLayout layout,
                                                                 const MenuRequirementPrintSettings& settings);

// "Меню-требование на " + dd.MM.yyyy + " (" + the day menu's number + ")"; the print frame makes
// it a file name (characters a file name cannot hold become blanks).
QString menuRequirementFileName(const QDate& date, const QString& number);

} // namespace rat::documents
