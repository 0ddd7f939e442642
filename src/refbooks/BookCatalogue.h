#pragma once
// The reference-book catalogue: one definition per reference book or journal, by its catalogue
// entry number (the number a main-window command opens). A definition says which table the
// book shows, under which titles, with which list columns, which parent book filters it and
// which fields the record editor shows and how they are validated. The list window and the
// record editor are generic and read only these definitions.

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace rat {
class Database;
}

namespace rat::books {

// Catalogue entry numbers.
enum Entry : int {
    entryDishCategories = 0,
    entryCulinaryKinds = 1,
    entryCards = 2,
    entryEaterTypes = 3,
    entryRecipeLines = 4,
    entryYields = 5,
    entryMeals = 7,
    entryProductGroups = 10,
    entryProducts = 12,
    entryVitamins = 13,
    entryVitaminContent = 14,
    entrySubstitutions = 15,
    entryVitaminJournal = 16,
    entrySuppliers = 29,
    entryUnits = 30,
    entryCardsWithComposition = 32,
    entryCardCalculation = 33,  // read-only view of one card at one eater type's yield
    entryInstitution = 34,      // the one INF row: name, director, codes, responsible persons
    entryUsers = 36,
    entryWarehouses = 37,
    entryPhysNorms = 38,
    entryCurrencies = 42,
    entryCollections = 43,
    entryFixedCost = 52,
    entryPortionVolumes = 55,
    entrySeasonalLosses = 57,
    entryEnergyDistribution = 59,
    entryFryingFats = 62,
    entryFryingEquipmentTypes = 63,
    entryRooms = 64,
    entryRoomEquipment = 65,
    entryEquipment = 66,
    entryFryingJournal = 68,
};

// Kinds of editor controls. 0, 1, 2, 4 and 10 are the classic codes; the date and time kinds
// are numbered after them.
enum class Control : int {
    Text = 0,       // one line; a number when EditorField::decimals >= 0
    List = 1,       // drop-down list of a ListSource; stores the item's value
    CheckBox = 2,   // stored as -1 / 0
    Memo = 4,       // multi-line text
    Date = 5,       // typed "dd.MM.yyyy", stored 'YYYY-MM-DD'
    DateTime = 6,   // typed "dd.MM.yyyy HH:mm", stored 'YYYY-MM-DD HH:MM:SS'
    Time = 7,       // typed "HH:mm", stored on the base date 1899-12-30
    Heading = 10,   // a section caption, no value
};

// Validation flag of an editor field.
enum Validation : int { optional = 0, required = 1, requiredUnique = 2 };

// Drop-down list sources. Parameterised sources take the editor's parent row (or the value of
// EditorField::paramField) as their parameter.
enum class ListSource : int {
    None = 0,
    DishCategories = 1,        // type_meal by tname
    EaterTypes = 2,            // type_eating with status not 0, by shname
    ProductGroups = 3,         // product_group by pname
    Units = 4,                 // ed_izmer by id, shown ename
    CulinaryKinds = 5,         // type_culinary by cname
    Products = 6,              // products by pname
    Cards = 7,                 // card_recipes: "cname number numrec"
    CardsOfCategory = 8,       // the same for one id_type_meal (parameter)
    VitaminsAndProducts = 9,   // vitamin shname, then products of groups named "...витамин..."
    MainLines = 10,            // other lines of a card that are neither variants nor comments
    SubstitutesOf = 11,        // the replace rows of a product (parameter), shown pname
    ProductsExcept = 12,       // products other than the parameter
    EaterTypesExcept = 13,     // eater types other than the parameter, status not 0
    Collections = 14,          // RECEPTUR, shown namesh
    SearchColumns = 15,        // NAMETABLE rows of one nomTable (parameter), shown namePole
    Vitamins = 16,             // vitamin by vname
    PlanMenus = 17,            // type_menu by tname, shown with its season suffix
    Meals = 18,                // eating by id
    Rooms = 19,                // ROOM by Name
    Equipment = 20,            // OBORUDOV by Naim
    FryingFats = 21,           // VIDZHIR by naim
    FryingEquipmentTypes = 22, // TIPZHAR by naim
    Users = 23,                // USERS by NAIM
    AllEaterTypes = 24,        // every type_eating by shname, whether served or not
    Warehouses = 25,           // STORAGES by name
    // Fixed lists (no database rows): value = the stored code.
    PeriodUnits = 100,         // time_period 1..5
    RoundingRules = 101,       // rule_okr 1..4
    MonthDays = 102,           // 1..31
    Months = 103,              // 0..11
    Seasons = 104,             // type_menu.sezon 1..8
    Roles = 105,               // USERS.ROLE 0..2
    // Codes from 200 on belong to the modules above this one (registerListSource).
    FirstCustom = 200,
};

struct ListItem {
    QVariant value;  // row id or fixed-list code
    QString text;
};

// The items of a list source, in the order the list offers them.
std::vector<ListItem> listItems(Database& db, ListSource source, const QVariant& param = {});

// The items `sql` reads with `params` bound: the first column the value, the second the text.
std::vector<ListItem> listItemsOf(Database& db, const QString& sql, const std::vector<QVariant>& params = {});

// The items of a list source that a module above this one supplies (plan-menu dishes, ...);
// the parameter is the one listItems() receives.
using CustomListSource = std::function<std::vector<ListItem>(Database&, const QVariant& param)>;
void registerListSource(ListSource code, CustomListSource items);

// The text an item value shows in a source (empty when the value is not among its items).
QString listText(Database& db, ListSource source, const QVariant& value, const QVariant& param = {});

// Generated vitamin columns and fields.
enum class VitaminSet { None, All, ForCards };

struct VitaminStore {
    QString table;       // "vitamin_quantity", "CARD_VITAMIN", "FNORMS_VIT"
    QString ownerField;  // "id_product", "id_card_recipes", "idf"
    QString valueField;  // "quantity", "kol", "kolpr"
};

struct ListColumn {
    QString caption;
    QString source;       // SQL expression over the book's FROM clause
    int width = 1500;     // twips, as the list window sizes columns
    int decimals = -1;    // -1 text; n >= 0 a number shown with n decimals
    Control format = Control::Text;  // Date, DateTime, Time: a stored date shown as such
    bool money = false;   // caption followed by the current currency's short name, then tail
    QString moneyTail;
    // A generator: expands into one column per vitamin, captioned shname + vitaminSuffix.
    VitaminSet vitamins = VitaminSet::None;
    VitaminStore store;
    QString vitaminSuffix;
    std::vector<QVariant> params;  // values bound into `source`, in order
    // A stored text that people read otherwise (plan days "1*2" as the plan-menu and day names).
    std::function<QString(Database&, const QString&)> shownAs;
    // A stored code shown as the text of its item, as the query would match it in
    // "CASE <source> WHEN <code> THEN <text> ... ELSE <otherwise> END" (used when not empty).
    std::vector<ListItem> choices;
    QString otherwise;
    // A quantity with its unit: `source` the quantity, this the unit's code among `choices`,
    // shown "<quantity> <unit text>" ("6 мес."), nothing when the quantity is not set.
    QString unitSource;
};

struct EditorField {
    QString caption;
    Control control = Control::Text;
    QString field;            // column of the table; "$" + shname for a vitamin field
    int limit = 0;            // Text/Memo: maximum length, 0 = none
    ListSource source = ListSource::None;
    int flag = optional;      // Validation
    int decimals = -1;        // Text: -1 not a number, 0 whole number, n decimals
    bool warnUnique = false;  // uniqueness only warns ("... Продолжить сохранение?"), even if optional
    bool stored = true;       // false: shown and checked but not written (a confirmation field)
    QString paramField;       // a parameterised list takes this field's value (else the parent);
                              // "a,b" gives it the values of both fields as a list
    bool money = false;       // caption + currency short name + moneyTail
    QString moneyTail;
    // A generator (field "$"): one number field per vitamin, captioned shname + vitaminSuffix.
    VitaminSet vitamins = VitaminSet::None;
    QString vitaminSuffix;
};

// Texts of the deletion of rows of a book.
struct DeleteWords {
    QString one = QStringLiteral("ую строку?");      // "Удалить выделенн" + one
    QString many = QStringLiteral("ые строки?");     // "Удалить выделенн" + many
    QString running = QStringLiteral("Идет удаление строк...");
    QString done = QStringLiteral("Удалено строк: ");
};

struct BookDef {
    int entry = -1;
    QString table;
    QString key = QStringLiteral("id");
    QString listTitle;      // caption of the list window
    QString recordName;     // editor caption: recordName + ": " + name or "Новая"
    QString nameField;      // the row's name (editor caption, messages); a column of `table`
    bool readOnly = false;  // no editor, no deletion

    // List: SELECT <columns>, <alias>.<key> FROM <from> [WHERE <parentColumn> = ?] ORDER BY ...
    QString alias = QStringLiteral("t");  // alias of `table` in `from`
    QString from;                         // defaults to "<table> t"
    std::vector<ListColumn> columns;
    QString orderBy;                      // defaults to the key
    // Parent filter: the rows whose parentColumn equals the chosen parent row.
    QString parentColumn;                 // e.g. "t.id_product" (empty: no filter)
    QString parentField;                  // editor field preset from the parent on a new row
    ListSource parentSource = ListSource::None;
    QString parentPrompt;                 // "Выберите продукт", ...
    // A second filter level above the parent (the dish category above a card); the window
    // offers its items and narrows the parent list with CardsOfCategory.
    ListSource grandParentSource = ListSource::None;
    QString grandParentPrompt;
    // A further choice below the parent (the eater type of a card calculation), passed to the
    // book's loader; its first item "Все" leaves it open.
    ListSource secondSource = ListSource::None;
    QString secondPrompt;
    QString findCaption;                  // "Найти блюдо", "Найти продукт" or empty
    QString bulkCopyCaption;              // keyCopy1 caption, empty when the book has none
    // A journal: the rows whose periodColumn (an ISO date) lies in the window's period.
    QString periodColumn;                 // e.g. "t.ddate" (empty: no period)

    // Editor.
    std::vector<EditorField> fields;
    VitaminStore editorVitamins;          // where "$" fields are kept (owner = this row)
    DeleteWords deleteWords;
};

// Adds (or replaces) a catalogue entry: the books and journals of the modules above this one
// (plan-menus, day menus, ...) register theirs at start. Pointers from findBook() stay valid.
void registerBook(BookDef def);

// The definition of a catalogue entry; nullptr for a number the catalogue does not hold.
const BookDef* findBook(int entry);
// Every entry number the catalogue holds, ascending.
std::vector<int> bookEntries();

// Short name of the current currency (valuta.shnamev where status = -1); empty when none.
QString currencyShortName(Database& db);

// A list column after expansion: generators turned into one column per vitamin, money
// captions completed with the current currency.
struct ResolvedColumn {
    QString caption;
    QString source;
    int width = 1500;
    int decimals = -1;
    Control format = Control::Text;
    std::vector<QVariant> params;
    std::function<QString(Database&, const QString&)> shownAs;
    std::vector<ListItem> choices;  // see ListColumn::choices
    QString otherwise;
    QString unitSource;             // see ListColumn::unitSource
    // Vitamin columns are read from a pivot of `store`: the vitamin's id and its pivot alias.
    qint64 vitaminId = 0;
    int storeIndex = -1;
};

struct ResolvedBook {
    const BookDef* def = nullptr;
    std::vector<ResolvedColumn> columns;
    std::vector<VitaminStore> stores;   // distinct vitamin stores of the generated columns
    std::vector<EditorField> fields;    // generators expanded, money captions completed
};

// Resolves a book against the database's current vitamins and currency.
ResolvedBook resolveBook(Database& db, const BookDef& def);

// The vitamins of a set, in list order (by id): (id, shname).
std::vector<std::pair<qint64, QString>> vitaminsOf(Database& db, VitaminSet set);

} // namespace rat::books
