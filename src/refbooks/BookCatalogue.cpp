// The reference-book catalogue: each book's table, list columns and editor fields, and the
// rows of the lists the editor offers.

#include "refbooks/BookCatalogue.h"
#include "core/Users.h"
#include "refbooks/CardYieldRules.h"
#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/TextFold.h"

#include <algorithm>
#include <map>

namespace rat::books {

namespace {

// ---- building blocks of the definitions ----

ListColumn col(const char* caption, const char* source, int width = 1500, int decimals = -1)
{
    ListColumn c;
    c.caption = QString::fromUtf8(caption);
    c.source = QString::fromUtf8(source);
    c.width = width;
    c.decimals = decimals;
    return c;
}

ListColumn num(const char* caption, const char* source, int decimals = 2, int width = 1200)
{
    return col(caption, source, width, decimals);
}

ListColumn moneyCol(const char* caption, const char* source, const char* tail = "")
{
    ListColumn c = col(caption, source, 1600, 2);
    c.money = true;
    c.moneyTail = QString::fromUtf8(tail);
    return c;
}

ListColumn dated(const char* caption, const char* source, Control format)
{
    ListColumn c = col(caption, source, 1300);
    c.format = format;
    return c;
}

// "Да" / "Нет" from a Boolean column: the query gives 1 or 0, the list shows its text.
ListColumn yesNo(const char* caption, const char* column, int width = 1200)
{
    ListColumn c = col(caption, "", width);
    c.source = QStringLiteral("COALESCE(") + QString::fromUtf8(column) + QStringLiteral(", 0) <> 0");
    c.choices = {{QVariant(1), QStringLiteral("Да")}, {QVariant(0), QStringLiteral("Нет")}};
    return c;
}

ListColumn vitaminCols(VitaminSet set, VitaminStore store, const char* suffix, int decimals = 3)
{
    ListColumn c;
    c.vitamins = set;
    c.store = std::move(store);
    c.vitaminSuffix = QString::fromUtf8(suffix);
    c.decimals = decimals;
    c.width = 900;
    return c;
}

std::vector<ListItem> fixed(int listNumber, int offset)
{
    std::vector<ListItem> out;
    for (const ChoiceItem& it : choiceList(listNumber, ChoiceFlags{}))
        out.push_back({QVariant(it.code + offset), it.text});
    return out;
}

// Items of a fixed list source; empty for a database source.
std::vector<ListItem> fixedItems(ListSource source)
{
    switch (source) {
    case ListSource::PeriodUnits: return fixed(5, 1);
    case ListSource::RoundingRules: return fixed(25, 1);
    case ListSource::MonthDays: return fixed(102, 0);
    case ListSource::Months: return fixed(103, 0);
    case ListSource::Seasons: return fixed(253, 1);
    case ListSource::Roles: return fixed(16, 0);
    default: return {};
    }
}

bool isFixed(ListSource source)
{
    return int(source) >= int(ListSource::PeriodUnits) && int(source) < int(ListSource::FirstCustom);
}

// A column of a fixed list's stored code shown as its text; a code the list does not hold
// shows `otherwise`.
ListColumn fixedText(const char* caption, const char* column, ListSource source, int width = 1300,
                     const QString& otherwise = QString())
{
    ListColumn c = col(caption, column, width);
    c.choices = fixedItems(source);
    c.otherwise = otherwise.isEmpty() ? QStringLiteral("") : otherwise;
    return c;
}

// The title of a plan-menu with its season suffix (the suffixes are bound).
QString planMenuTitleSql(const QString& alias, std::vector<QVariant>& params)
{
    QString sql = QStringLiteral("COALESCE(") + alias + QStringLiteral(".tname, '') || CASE WHEN ") + alias +
                  QStringLiteral(".sezon IS NULL OR ") + alias + QStringLiteral(".sezon = '' OR ") + alias +
                  QStringLiteral(".sezon = 0 THEN ''");
    for (int s = 1; s <= 7; ++s) {
        sql += QStringLiteral(" WHEN ") + alias + QStringLiteral(".sezon = ? THEN ?");
        params.push_back(s);
        params.push_back(seasonSuffix(s));
    }
    sql += QStringLiteral(" ELSE ? END");
    params.push_back(seasonSuffix(8));
    return sql;
}

EditorField field(const char* caption, Control control, const char* name, int flag = optional)
{
    EditorField f;
    f.caption = QString::fromUtf8(caption);
    f.control = control;
    f.field = QString::fromUtf8(name);
    f.flag = flag;
    return f;
}

EditorField text(const char* caption, const char* name, int limit, int flag = optional)
{
    EditorField f = field(caption, Control::Text, name, flag);
    f.limit = limit;
    return f;
}

EditorField memo(const char* caption, const char* name, int flag = optional)
{
    return field(caption, Control::Memo, name, flag);
}

EditorField number(const char* caption, const char* name, int decimals = 2, int flag = optional)
{
    EditorField f = field(caption, Control::Text, name, flag);
    f.decimals = decimals;
    return f;
}

EditorField whole(const char* caption, const char* name, int flag = optional)
{
    return number(caption, name, 0, flag);
}

EditorField moneyField(const char* caption, const char* name, const char* tail = "")
{
    EditorField f = number(caption, name, 2);
    f.money = true;
    f.moneyTail = QString::fromUtf8(tail);
    return f;
}

EditorField list(const char* caption, const char* name, ListSource source, int flag = required)
{
    EditorField f = field(caption, Control::List, name, flag);
    f.source = source;
    return f;
}

EditorField check(const char* caption, const char* name)
{
    return field(caption, Control::CheckBox, name);
}

EditorField heading(const char* caption)
{
    return field(caption, Control::Heading, "");
}

EditorField vitaminFields(VitaminSet set, const char* suffix)
{
    EditorField f = number("", "$", 3);
    f.vitamins = set;
    f.vitaminSuffix = QString::fromUtf8(suffix);
    return f;
}

BookDef book(int entry, const char* table, const char* key, const char* listTitle, const char* recordName,
             const char* nameField)
{
    BookDef b;
    b.entry = entry;
    b.table = QString::fromUtf8(table);
    b.key = QString::fromUtf8(key);
    b.listTitle = QString::fromUtf8(listTitle);
    b.recordName = QString::fromUtf8(recordName);
    b.nameField = QString::fromUtf8(nameField);
    return b;
}

// A book of one name column, unique, ordered by the name.
BookDef nameBook(int entry, const char* table, const char* key, const char* listTitle, const char* recordName,
                 const char* nameField, const char* listCaption, const char* editorCaption, int limit)
{
    BookDef b = book(entry, table, key, listTitle, recordName, nameField);
    b.columns = {col(listCaption, (QStringLiteral("t.") + QString::fromUtf8(nameField)).toUtf8().constData(), 5000)};
    b.orderBy = QStringLiteral("t.") + b.nameField + QStringLiteral(" COLLATE RU");
    b.fields = {text(editorCaption, nameField, limit, requiredUnique)};
    return b;
}

void setParent(BookDef& b, const char* column, const char* editorField, ListSource source, const char* prompt)
{
    b.parentColumn = QString::fromUtf8(column);
    b.parentField = QString::fromUtf8(editorField);
    b.parentSource = source;
    b.parentPrompt = QString::fromUtf8(prompt);
}

const VitaminStore kProductVitamins{QStringLiteral("vitamin_quantity"), QStringLiteral("id_product"),
                                    QStringLiteral("quantity")};
const VitaminStore kCardVitamins{QStringLiteral("CARD_VITAMIN"), QStringLiteral("id_card_recipes"),
                                 QStringLiteral("kol")};
const VitaminStore kCardVitaminLosses{QStringLiteral("CARD_VITAMIN"), QStringLiteral("id_card_recipes"),
                                      QStringLiteral("kolpr")};
const VitaminStore kNormVitamins{QStringLiteral("FNORMS_VIT"), QStringLiteral("idf"), QStringLiteral("kol")};

// The plain editor of a technological card.
std::vector<EditorField> cardFields()
{
    EditorField name = text("Наименование", "cname", 255, required);
    name.warnUnique = true;
    return {
        heading("Общая информация:"),
        list("Категория блюда", "id_type_meal", ListSource::DishCategories),
        text("Номер", "number1", 10),
        name,
        memo("Технология приготовления", "description"),
        list("Вид обработки", "id_type_culinary", ListSource::CulinaryKinds, optional),
        list("Сборник рецептур", "id_receptur", ListSource::Collections, optional),
        moneyField("Цена, ", "cost"),
        heading("Химический состав:"),
        number("Белки на 100г, г", "protein"),
        number("Жиры на 100г, г", "fat"),
        number("Углеводы на 100г, г", "carbohyd"),
        number("Калорийность на 100г, ккал", "calories"),
        number("Ca на 100г, мг", "ca", 3),
        number("Fe на 100г, мг", "fe", 3),
        number("B1 на 100г, мг", "b1", 3),
        number("B2 на 100г, мг", "b2", 3),
        number("C на 100г, мг", "c", 3),
        heading("Потери:"),
        number("Белки,%", "pr_protein"),
        number("Жиры,%", "pr_fat"),
        number("Углеводы,%", "pr_carbohyd"),
        number("Калорийность,%", "pr_call"),
        number("Ca,%", "pr_ca"),
        number("Fe,%", "pr_fe"),
        number("B1,%", "pr_b1"),
        number("B2,%", "pr_b2"),
        number("С,%", "pr_c"),
        memo("Органолептическая оценка:", "orgOc"),
    };
}

const char* const kCardFrom =
    "card_recipes t LEFT JOIN type_culinary k ON k.id = t.id_type_culinary "
    "LEFT JOIN RECEPTUR r ON r.ID = t.id_receptur";

std::map<int, BookDef> buildCatalogue()
{
    std::map<int, BookDef> c;
    auto put = [&c](BookDef b) { c[b.entry] = std::move(b); };

    put(nameBook(entryDishCategories, "type_meal", "id", "Категории блюд", "Категория блюд", "tname",
                 "Наименование", "Категория блюд", 255));
    put(nameBook(entryCulinaryKinds, "type_culinary", "id", "Виды кулинарной обработки",
                 "Вид кулинарной обработки", "cname", "Наименование", "Вид обработки", 255));

    {
        BookDef b = book(entryCards, "card_recipes", "id", "Блюда", "Технологическая карта", "cname");
        b.from = QString::fromUtf8(kCardFrom);
        b.columns = {col("Номер", "t.number1", 800), col("Номер рецептуры", "t.numRec", 1000),
                     col("Наименование", "t.cname", 5000), col("Вид обработки", "k.cname", 2000),
                     moneyCol("Плановая стоимость на 100 г., ", "t.cost"),
                     col("Сборник рецептур", "r.namesh", 1500)};
        b.orderBy = QStringLiteral("t.cname COLLATE RU");
        setParent(b, "t.id_type_meal", "id_type_meal", ListSource::DishCategories, "Выберите категорию блюд");
        b.findCaption = QStringLiteral("Найти блюдо");
        b.bulkCopyCaption = QStringLiteral("Копировать рецептуру");
        b.fields = cardFields();
        put(b);

        BookDef w = b;
        w.entry = entryCardsWithComposition;
        w.listTitle = QStringLiteral("Технологические карты");
        w.columns = {col("Номер", "t.number1", 800),
                     col("Номер рецептуры", "t.numRec", 1000),
                     col("Наименование", "t.cname", 5000),
                     num("Белки на 100 г", "t.protein"),
                     num("Жиры на 100 г", "t.fat"),
                     num("Углеводы на 100 г", "t.carbohyd"),
                     num("Калорийность на 100 г", "t.calories"),
                     vitaminCols(VitaminSet::ForCards, kCardVitamins, " мг"),
                     col("Вид обработки", "k.cname", 2000),
                     col("Сборник рецептур", "r.namesh", 1500),
                     moneyCol("План. стоимость на 100 г., ", "t.cost"),
                     num("% потери Б", "t.pr_protein"),
                     num("% потери Ж", "t.pr_fat"),
                     num("% потери У", "t.pr_carbohyd"),
                     num("% потери Э", "t.pr_call"),
                     vitaminCols(VitaminSet::ForCards, kCardVitaminLosses, "%", 2),
                     col("Технология приготовления", "t.description", 5000),
                     col("Органолептическая оценка", "t.orgOc", 3000)};
        put(w);
    }

    {
        BookDef b = book(entryRecipeLines, "recipes", "id", "Рецептуры", "Рецептура", "");
        b.from = QStringLiteral("recipes t LEFT JOIN products p ON p.id = t.id_product "
                                "LEFT JOIN card_recipes n ON n.id = t.id_product");
        ListColumn name = col("Продукт", "", 5000);
        name.source = QStringLiteral(
            "CASE WHEN COALESCE(t.isComment, 0) <> 0 THEN ? || COALESCE(t.comment, '') "
            "WHEN COALESCE(t.isCard, 0) <> 0 THEN CASE WHEN COALESCE(t.isVariant, 0) <> 0 THEN ? ELSE '' END "
            "|| COALESCE(n.cname, '') "
            "ELSE CASE WHEN COALESCE(t.isVariant, 0) <> 0 THEN ? ELSE '' END || COALESCE(p.pname, '') END");
        name.params = {QStringLiteral("Комментарий: "), QStringLiteral("или "), QStringLiteral("или ")};
        b.columns = {name, num("Вес-брутто, г", "t.brutto", 3), num("Вес-нетто, г", "t.netto", 3)};
        b.orderBy = QStringLiteral(
            "CASE WHEN COALESCE(t.id_MainCard, 0) <> 0 THEN t.id_MainCard ELSE t.id END, "
            "CASE WHEN COALESCE(t.id_MainCard, 0) <> 0 THEN 1 ELSE 0 END, t.id");
        setParent(b, "t.id_card_recipes", "id_card_recipes", ListSource::Cards, "Выберите блюдо");
        b.grandParentSource = ListSource::DishCategories;
        b.grandParentPrompt = QStringLiteral("Выберите категорию блюд");
        b.findCaption = QStringLiteral("Найти продукт");
        b.bulkCopyCaption = QStringLiteral("Копировать рецептуру");
        EditorField variantOf = list("Основной продукт/блюдо", "id_MainCard", ListSource::MainLines, optional);
        variantOf.paramField = QStringLiteral("id_card_recipes");
        b.fields = {list("Продукт", "id_product", ListSource::Products),
                    whole("Введите вес блюда для пересчета весов продуктов", "vih_kol"),
                    list("Блюдо", "id_card_recipes", ListSource::Cards),
                    check("Вложить блюдо", "isCard"),
                    text("Комментарий", "comment", 255),
                    number("Брутто", "brutto", 3),
                    number("Нетто", "netto", 3),
                    check("Вариант", "isVariant"),
                    check("Комментарий", "isComment"),
                    variantOf};
        put(b);
    }

    {
        BookDef b = book(entryYields, "output", "id", "Выходы блюд", "Выход блюда", "");
        b.from = QStringLiteral("output t LEFT JOIN type_eating e ON e.id = t.id_type_eating "
                                "LEFT JOIN type_menu m ON m.id = e.id_type_menu");
        b.columns = {col("Тип довольствующихся", "e.shname", 2500),
                     col("Выход блюда, г",
                         "CASE WHEN COALESCE(t.output3, 0) > 0 THEN COALESCE(t.output1, 0) || '/' || "
                         "COALESCE(t.output2, 0) || '/' || t.output3 "
                         "WHEN COALESCE(t.output2, 0) > 0 THEN COALESCE(t.output1, 0) || '/' || t.output2 "
                         "ELSE COALESCE(t.output1, 0) END",
                         1800)};
        b.orderBy = QStringLiteral("m.tname COLLATE RU, e.ename COLLATE RU, t.id");
        setParent(b, "t.id_card_recipe", "id_card_recipe", ListSource::Cards, "Выберите блюдо");
        b.grandParentSource = ListSource::DishCategories;
        b.grandParentPrompt = QStringLiteral("Выберите категорию блюд");
        b.bulkCopyCaption = QStringLiteral("Копировать все строки выходов");
        b.fields = {list("Блюдо", "id_card_recipe", ListSource::Cards),
                    list("Типы довольствующихся", "id_type_eating", ListSource::EaterTypes),
                    whole("Выход основного блюда, г", "output1", required),
                    whole("Выход1 доп. блюда, г", "output2"),
                    whole("Выход2 доп. блюда, г", "output3")};
        put(b);
    }

    {
        // Entry 70 (entryCategoryYields): the yields of a whole dish category. An editor only,
        // opened from the yields list; nothing of it is stored in a row of its own, its save
        // sets the yield on every card of the category (CardYieldRules). The category and the
        // eater type are checked there, with messages of their own.
        BookDef b = book(entryCategoryYields, "output", "id", "Выход по категориям блюд", "Выход по категориям блюд", "");
        b.parentField = QStringLiteral("id_type_meal");  // the category the yields list shows
        auto unstored = [](EditorField f) {
            f.stored = false;
            return f;
        };
        b.fields = {unstored(list("Категория блюд", "id_type_meal", ListSource::DishCategories, optional)),
                    unstored(list("Тип довольствующихся", "id_type_eating", ListSource::EaterTypes, optional)),
                    unstored(whole("Выход основного блюда, г", "output1")),
                    unstored(whole("Выход1 доп. блюда, г", "output2")),
                    unstored(whole("Выход2 доп. блюда, г", "output3"))};
        put(b);
    }

    {
        BookDef b = book(entryCardCalculation, "card_recipes", "id", "Расчет технологической карты",
                         "Технологическая карта", "cname");
        b.readOnly = true;
        b.columns = {col("Продукт", "", 4000),
                     col("Ед.изм", "", 800),
                     num("Вес-брутто, г", "", 3),
                     num("Вес-нетто, г", "", 3),
                     num("Белки, г", ""),
                     num("Жиры, г", ""),
                     num("Углеводы, г", ""),
                     num("Калорийность, ккал", ""),
                     moneyCol("Факт. стоимость, ", ""),
                     moneyCol("Плановая стоимость на выход блюда, г., ", "")};
        setParent(b, "", "", ListSource::Cards, "Выберите блюдо");
        b.secondSource = ListSource::EaterTypes;
        b.secondPrompt = QStringLiteral("Выберите тип довольствующихся");
        put(b);
    }

    put(nameBook(entryProductGroups, "product_group", "id", "Группы продуктов", "Группа продуктов", "pname",
                 "Наименование", "Наименование", 255));

    {
        BookDef b = book(entryProducts, "products", "id", "Продукты", "Продукт", "pname");
        b.from = QStringLiteral("products t LEFT JOIN ed_izmer e ON e.id = t.id_ed_izmer");
        ListColumn storage = fixedText("Cрок хранения", "t.time_storage", ListSource::PeriodUnits);
        storage.unitSource = QStringLiteral("t.time_period");
        b.columns = {col("Наименование", "t.pname", 5000),
                     col("Ед.изм.", "e.ename", 800),
                     col("Шифр продукта", "t.schif", 1000),
                     num("Белки, г", "t.protein"),
                     num("Жиры, г", "t.fat"),
                     num("Углеводы, г", "t.carbohyd"),
                     num("Калорийность, ккал", "t.calories"),
                     vitaminCols(VitaminSet::All, kProductVitamins, ", мг"),
                     storage,
                     fixedText("Округлять до", "t.rule_okr", ListSource::RoundingRules, 1500),
                     num("% несъедобной части", "t.procNe"),
                     moneyCol("Плановая цена, ", "t.plpris"),
                     num("Процент НДС, %", "t.P_NDS"),
                     yesNo("Обогащен витаминами и микроэлементами", "t.trueVit"),
                     yesNo("Обогащен лакто и бифидобактериями", "t.trueLak")};
        b.orderBy = QStringLiteral("t.pname COLLATE RU");
        setParent(b, "t.id_product_group", "id_product_group", ListSource::ProductGroups,
                  "Выберите группу продуктов");
        b.findCaption = QStringLiteral("Найти продукт");
        EditorField code = text("Шифр продукта", "schif", 100);
        code.warnUnique = true;
        b.fields = {list("Группа продуктов", "id_product_group", ListSource::ProductGroups),
                    text("Наименование", "pname", 255, requiredUnique),
                    list("Ед.изм.", "id_ed_izmer", ListSource::Units),
                    code,
                    number("Белки, г", "protein"),
                    number("Жиры, г", "fat"),
                    number("Углеводы, г", "carbohyd"),
                    number("Калорийность, ккал", "calories"),
                    whole("Срок хранения", "time_storage", required),
                    list("Период срока хранения", "time_period", ListSource::PeriodUnits),
                    list("Округлять до", "rule_okr", ListSource::RoundingRules),
                    number("% несъедобной части", "procNe"),
                    moneyField("Плановая цена, ", "plpris", ", на ед. измер."),
                    heading("Витамины и минералы:"),
                    vitaminFields(VitaminSet::All, ", мг")};
        b.editorVitamins = kProductVitamins;
        put(b);
    }

    {
        BookDef b = book(entryVitamins, "vitamin", "id", "Витамины и минералы", "Витамин/минерал", "vname");
        b.columns = {col("Наименование", "t.vname", 4000), col("Краткое наименование", "t.shname", 1500),
                     yesNo("Участвует в расчетах", "t.ispCard", 1500)};
        b.orderBy = QStringLiteral("t.vname COLLATE RU");
        b.fields = {text("Наименование", "vname", 255, requiredUnique),
                    text("Краткое наименование", "shname", 10, requiredUnique),
                    check("Участвует в расчетах", "ispCard")};
        put(b);
    }

    {
        BookDef b = book(entryVitaminContent, "vitamin_quantity", "id", "Содержание витаминов и минералов",
                         "Содержание витамина", "");
        b.from = QStringLiteral("vitamin_quantity t LEFT JOIN vitamin v ON v.id = t.id_vitamin");
        b.columns = {col("Витамин", "v.vname", 4000), num("Содержание,мг", "t.quantity", 3)};
        b.orderBy = QStringLiteral("v.vname COLLATE RU, t.id");
        setParent(b, "t.id_product", "id_product", ListSource::Products, "Выберите продукт");
        b.fields = {list("Продукт", "id_product", ListSource::Products),
                    list("Витамин", "id_vitamin", ListSource::Vitamins),
                    number("Содержание на 100 г", "quantity", 3, required)};
        put(b);
    }

    {
        BookDef b = book(entrySubstitutions, "replace", "id", "Замена", "Замена продукта", "");
        b.from = QStringLiteral("[replace] t LEFT JOIN products p ON p.id = t.id_product_replace");
        b.columns = {col("Продукт-заменитель", "p.pname", 4000), num("Вес заменителя, г", "t.repl_weight", 3),
                     num("На вес продукта, г", "t.pr_weight", 3)};
        b.orderBy = QStringLiteral("p.pname COLLATE RU, t.id");
        setParent(b, "t.id_product", "id_product", ListSource::Products, "Выберите продукт");
        b.bulkCopyCaption = QStringLiteral("Копировать все продукты-заменители");
        EditorField substitute = list("Продукт-заменитель", "id_product_replace", ListSource::ProductsExcept);
        substitute.paramField = QStringLiteral("id_product");
        b.fields = {list("Продукт", "id_product", ListSource::Products), substitute,
                    number("Вес заменителя, г", "repl_weight", 3, required),
                    number("На вес продукта, г", "pr_weight", 3, required)};
        put(b);
    }

    {
        BookDef b = book(entrySeasonalLosses, "SEZON", "idSEZ", "Сезонные проценты потерь",
                         "Сезонный процент потерь", "");
        b.columns = {col("Период с:", "t.DAY_N || '.' || substr('0' || (COALESCE(t.MES_N, 0) + 1), -2)", 1200),
                     col("Период по:", "t.DAY_O || '.' || substr('0' || (COALESCE(t.MES_O, 0) + 1), -2)", 1200),
                     num("Процент потерь (брутто),%", "t.PROZ")};
        b.orderBy = QStringLiteral("t.MES_N, t.DAY_N, t.idSEZ");
        setParent(b, "t.id_PRODUCT", "id_PRODUCT", ListSource::Products, "Выберите продукт");
        b.bulkCopyCaption = QStringLiteral("Копировать все проценты потерь");
        b.fields = {list("Продукт", "id_PRODUCT", ListSource::Products),
                    list("День начала периода", "DAY_N", ListSource::MonthDays),
                    list("Месяц начала периода", "MES_N", ListSource::Months),
                    list("День окончания периода", "DAY_O", ListSource::MonthDays),
                    list("Месяц окончания периода", "MES_O", ListSource::Months),
                    number("Процент потерь (брутто), %", "PROZ", 2, required)};
        put(b);
    }

    {
        BookDef b = book(entryUnits, "ed_izmer", "id", "Единицы измерения", "Единица измерения", "ename");
        b.columns = {col("Наименование", "t.ename", 2500), num("Коэффициент пересчета в граммы", "t.koef", 3, 2500)};
        b.orderBy = QStringLiteral("t.ename COLLATE RU");
        b.fields = {text("Наименование", "ename", 50, requiredUnique),
                    number("Коэффициент пересчета в граммы", "koef", 3, required)};
        put(b);
    }

    {
        BookDef b = book(entryCollections, "RECEPTUR", "ID", "Сборники рецептур", "Сборник рецептур", "namev");
        b.columns = {col("Наименование", "t.namev", 5000), col("Краткое наименование", "t.namesh", 2000)};
        b.orderBy = QStringLiteral("t.namev COLLATE RU");
        b.fields = {text("Наименование", "namev", 255, requiredUnique),
                    text("Краткое наименование", "namesh", 100, required)};
        put(b);
    }

    {
        BookDef b = book(entryCurrencies, "VALUTA", "IDVAL", "Валюты", "Валюта", "namev");
        ListColumn status = col("Статус", "CASE WHEN t.status = -1 THEN ? ELSE '' END", 1200);
        status.params = {QStringLiteral("Основная")};
        b.columns = {col("Наименование", "t.namev", 3000), col("Краткое наименование", "t.shnamev", 1500), status};
        b.orderBy = QStringLiteral("t.namev COLLATE RU");
        b.fields = {text("Наименование", "namev", 255, requiredUnique),
                    text("Краткое наименование", "shnamev", 50, required)};
        put(b);
    }

    {
        BookDef b = book(entryEaterTypes, "type_eating", "id", "Типы довольствующихся", "Тип довольствующихся",
                         "ename");
        b.from = QStringLiteral("type_eating t LEFT JOIN type_menu m ON m.id = t.id_type_menu");
        ListColumn menu = col("Тип меню", "", 3000);
        menu.source = planMenuTitleSql(QStringLiteral("m"), menu.params);
        b.columns = {col("Наименование", "t.ename", 3500),
                     col("Краткое наименование", "t.shname", 1500),
                     col("Код категории", "t.Kod", 1000),
                     yesNo("Сотрудники", "t.Pes"),
                     menu,
                     yesNo("Стоит на довольствии", "t.status", 1500)};
        b.orderBy = QStringLiteral("t.ename COLLATE RU");
        setParent(b, "t.id_type_menu", "id_type_menu", ListSource::PlanMenus, "Выберите Тип меню");
        b.fields = {text("Наименование", "ename", 255, requiredUnique),
                    text("Краткое наименование", "shname", 50, requiredUnique),
                    text("Код категории", "Kod", 10),
                    list("Тип меню", "id_type_menu", ListSource::PlanMenus),
                    check("Стоит на довольствии", "status"),
                    check("Сотрудники", "Pes")};
        put(b);
    }

    {
        BookDef b = book(entryMeals, "eating", "id", "Приемы пищи", "Прием пищи", "ename");
        b.columns = {col("Наименование", "t.ename", 3000), dated("Время", "t.TIME", Control::Time)};
        b.fields = {text("Наименование", "ename", 100, requiredUnique), field("Время", Control::Time, "TIME")};
        put(b);
    }

    {
        BookDef b = book(entryUsers, "USERS", "IDU", "Пользователи", "Пользователь", "NAIM");
        b.columns = {col("Пользователь", "t.NAIM", 3000),
                     // Any code beyond the three named roles is a plain user.
                     fixedText("Роль", "t.ROLE", ListSource::Roles, 2000, roleName(roleUser)),
                     col("Примечание", "t.MEMO", 4000)};
        b.orderBy = QStringLiteral("t.NAIM COLLATE RU");
        EditorField confirm = text("Подтверждение пароля", "~PSSW", 15);
        confirm.stored = false;
        b.fields = {text("Пользователь", "NAIM", 50, requiredUnique), list("Роль", "ROLE", ListSource::Roles),
                    text("Пароль", "PSSW", 15), confirm, memo("Примечание", "MEMO")};
        put(b);
    }

    put(nameBook(entryWarehouses, "STORAGES", "IDSS", "Склады", "Склад", "name", "Наименование", "Наименование",
                 255));

    {
        BookDef b = book(entrySuppliers, "supplier", "id", "Поставщики", "Поставщик", "sname");
        b.columns = {col("Наименование", "t.sname", 4000), col("Контактное лицо", "t.contact", 2500),
                     col("Телефон", "t.phone", 1500),       col("Адрес", "t.address", 3000),
                     col("Директор", "t.director", 2500),    col("Примечание", "t.notes", 3000)};
        b.orderBy = QStringLiteral("t.sname COLLATE RU");
        b.fields = {text("Наименование", "sname", 255, requiredUnique), text("Контактное лицо", "contact", 255),
                    text("Телефон", "phone", 50),                           memo("Адрес", "address"),
                    text("Директор", "director", 255),                      memo("Примечание", "notes")};
        put(b);
    }

    {
        BookDef b = book(entryPhysNorms, "FNORMS", "IDF", "Физиологические нормы", "Физиологическая норма", "");
        b.from = QStringLiteral("FNORMS t LEFT JOIN type_eating e ON e.id = t.id_type_eating");
        b.columns = {col("Тип довольствующихся", "e.shname", 2500),
                     num("Белки, г", "t.nprotein"),
                     num("Жиры, г", "t.nfat"),
                     num("Углеводы, г", "t.ncarbohyd"),
                     num("Калорийность, ккал", "t.ncalories"),
                     vitaminCols(VitaminSet::All, kNormVitamins, ", мг")};
        b.orderBy = QStringLiteral("e.shname COLLATE RU, t.IDF");
        setParent(b, "t.id_type_eating", "id_type_eating", ListSource::EaterTypes, "Выберите тип довольствующего");
        b.fields = {list("Тип довольствующихся", "id_type_eating", ListSource::EaterTypes),
                    number("Белки, г", "nprotein"),
                    number("Жиры, г", "nfat"),
                    number("Углеводы, г", "ncarbohyd"),
                    number("Калорийность, ккал", "ncalories"),
                    heading("Витамины и минералы:"),
                    vitaminFields(VitaminSet::All, ", мг")};
        b.editorVitamins = kNormVitamins;
        put(b);
    }

    {
        BookDef b = book(entryFixedCost, "PLSTOIM", "IDPLS", "Фиксированная плановая стоимость",
                         "Фиксированная плановая стоимость", "");
        b.from = QStringLiteral("PLSTOIM t LEFT JOIN type_eating e ON e.id = t.id_type_eating");
        b.columns = {col("Тип довольствующихся", "e.shname", 2500), dated("Дата", "t.pldate", Control::Date),
                     moneyCol("Стоимость, ", "t.stoim")};
        b.orderBy = QStringLiteral("e.shname COLLATE RU, t.pldate, t.IDPLS");
        setParent(b, "t.id_type_eating", "id_type_eating", ListSource::EaterTypes, "Выберите тип довольствующего");
        EditorField cost = moneyField("Стоимость, ", "stoim");
        cost.flag = required;
        b.fields = {list("Тип довольствующихся", "id_type_eating", ListSource::EaterTypes),
                    field("Дата", Control::Date, "pldate", required), cost};
        put(b);
    }

    {
        BookDef b = book(entryPortionVolumes, "SOBBLUD", "idSO", "Суммарные объемы блюд по приемам пищи",
                         "Объем блюд по приему пищи", "");
        b.from = QStringLiteral("SOBBLUD t LEFT JOIN type_eating e ON e.id = t.id_type_eating "
                                "LEFT JOIN eating m ON m.id = t.id_eating");
        b.columns = {col("Тип довольствующихся", "e.shname", 2500), col("Прием пищи", "m.ename", 2500),
                     col("Объем, г",
                         "CASE WHEN COALESCE(t.objemMax, 0) <> 0 THEN t.objemMin || ' - ' || t.objemMax "
                         "ELSE COALESCE(t.objemMin, '') END",
                         1500)};
        b.orderBy = QStringLiteral("e.shname COLLATE RU, t.id_eating, t.idSO");
        setParent(b, "t.id_type_eating", "id_type_eating", ListSource::EaterTypes, "Выберите тип довольствующего");
        b.fields = {list("Тип довольствующихся", "id_type_eating", ListSource::EaterTypes),
                    list("Прием пищи", "id_eating", ListSource::Meals),
                    number("Минимальный объем, г", "objemMin", 2, required),
                    number("Максимальный объем, г", "objemMax")};
        put(b);
    }

    {
        BookDef b = book(entryEnergyDistribution, "RASPS_CALL", "IDRC",
                         "Распределение энергетической ценности (калорийности)",
                         "Распределение энергетической ценности", "");
        b.from = QStringLiteral("RASPS_CALL t LEFT JOIN eating m ON m.id = t.id_eating");
        b.columns = {col("Прием пищи", "m.ename", 3000),
                     col("Доля калорийности, %",
                         "CASE WHEN COALESCE(t.status, 0) <> 0 THEN t.proz1 || '-' || t.proz2 "
                         "ELSE COALESCE(t.proz1, '') END",
                         2000)};
        b.orderBy = QStringLiteral("m.ename COLLATE RU, t.IDRC");
        b.fields = {list("Прием пищи", "id_eating", ListSource::Meals),
                    check("Диапазон значений", "status"),
                    whole("Доля калорийности (от), %", "proz1", required),
                    whole("Доля калорийности (до), %", "proz2")};
        put(b);
    }

    {
        BookDef b = nameBook(entryFryingFats, "VIDZHIR", "IDzhir", "Виды фритюрных жиров", "Вид фритюрного жира",
                             "naim", "Наименование", "Наименование", 0);
        put(b);
        BookDef e = nameBook(entryFryingEquipmentTypes, "TIPZHAR", "IDzhar", "Типы жарочного оборудования",
                             "Тип жарочного оборудования", "naim", "Наименование", "Наименование", 0);
        put(e);
    }

    put(nameBook(entryRooms, "ROOM", "idRoom", "Помещения", "Помещение", "Name", "Наименование", "Наименование",
                 255));

    {
        BookDef b = book(entryEquipment, "OBORUDOV", "idObor", "Оборудование", "Оборудование", "Naim");
        b.columns = {col("Наименование", "t.Naim", 4000), col("Марка", "t.Marka", 2500)};
        b.orderBy = QStringLiteral("t.Naim COLLATE RU, t.idObor");
        b.fields = {text("Наименование", "Naim", 255, required), text("Марка", "Marka", 255)};
        put(b);
    }

    {
        BookDef b = book(entryRoomEquipment, "ROOM_JUR", "IDRJ", "Перечень тех.оборудования",
                         "Оборудование помещения", "");
        b.from = QStringLiteral("ROOM_JUR t LEFT JOIN OBORUDOV o ON o.idObor = t.idObor");
        b.columns = {col("Оборудование", "o.Naim", 4000), col("Марка", "o.Marka", 2500),
                     col("Примечание", "t.Prim", 3000)};
        b.orderBy = QStringLiteral("o.Naim COLLATE RU, t.IDRJ");
        setParent(b, "t.idRoom", "idRoom", ListSource::Rooms, "Выберите помещение");
        b.fields = {list("Помещение", "idRoom", ListSource::Rooms), list("Оборудование", "idObor", ListSource::Equipment),
                    memo("Примечание", "Prim")};
        put(b);
    }

    {
        BookDef b = book(entryFryingJournal, "UCHZHIR", "IDuchzh", "Использование фритюрных жиров",
                         "Использование фритюрного жира", "");
        b.from = QStringLiteral("UCHZHIR t LEFT JOIN VIDZHIR z ON z.IDzhir = t.id_zhir "
                                "LEFT JOIN TIPZHAR o ON o.IDzhar = t.id_zhar "
                                "LEFT JOIN products p ON p.id = t.id_product "
                                "LEFT JOIN card_recipes c ON c.id = t.id_product "
                                "LEFT JOIN USERS u ON u.IDU = t.id_sotrud");
        b.columns = {dated("Дата и время начала", "t.dnach", Control::DateTime),
                     col("Вид фритюрного жира", "z.naim", 2500),
                     col("Тип жарочного оборудования", "o.naim", 2500),
                     col("Продукт (блюдо)", "CASE WHEN COALESCE(t.isCard, 0) <> 0 THEN c.cname ELSE p.pname END",
                         3000),
                     col("Оценка в начале", "t.ocnach", 2500),
                     dated("Дата и время окончания", "t.dcon", Control::DateTime),
                     col("Оценка по окончании", "t.ockon", 2500),
                     num("Переходящий остаток жира, кг", "t.ostzhir", 3),
                     num("Утилизированный жир, кг", "t.utzhir", 3),
                     col("Ответственный", "u.NAIM", 2000)};
        b.orderBy = QStringLiteral("t.dnach, t.IDuchzh");
        b.fields = {field("Дата и время начала", Control::DateTime, "dnach", required),
                    list("Вид фритюрного жира", "id_zhir", ListSource::FryingFats),
                    list("Тип жарочного оборудования", "id_zhar", ListSource::FryingEquipmentTypes),
                    list("Продукт", "id_product", ListSource::Products, optional),
                    memo("Оценка в начале", "ocnach"),
                    field("Дата и время окончания", Control::DateTime, "dcon"),
                    memo("Оценка по окончании", "ockon"),
                    number("Переходящий остаток жира, кг", "ostzhir", 3),
                    number("Утилизированный жир, кг", "utzhir", 3),
                    list("Ответственный", "id_sotrud", ListSource::Users, optional)};
        put(b);
    }

    {
        BookDef b = book(entryVitaminJournal, "vitamin_report", "id", "Журнал витаминизации",
                         "Запись журнала витаминизации", "");
        b.from = QStringLiteral("vitamin_report t LEFT JOIN vitamin v ON v.id = t.id_vitamin "
                                "LEFT JOIN products p ON p.id = t.id_vitamin "
                                "LEFT JOIN card_recipes c ON c.id = t.id_cards_recipes");
        b.columns = {dated("Дата", "t.vdate", Control::Date),
                     col("Витамин", "CASE WHEN COALESCE(t.PRO, 0) <> 0 THEN p.pname ELSE v.vname END", 3000),
                     col("Блюдо", "c.cname", 3500),
                     num("Количество питающихся", "t.quantity_eatings", 0),
                     num("Количество витамина на одного, мг", "t.quantity_vita", 3),
                     num("Общее количество витамина, мг", "t.qv", 3),
                     dated("Время внесения", "t.time1", Control::Time),
                     dated("Время приема блюда", "t.time2", Control::Time),
                     col("Примечание", "t.notes", 3000)};
        b.orderBy = QStringLiteral("t.vdate, t.time1, t.id");
        b.fields = {field("Дата", Control::Date, "vdate", required),
                    list("Витамин", "id_vitamin", ListSource::Vitamins),
                    list("Блюдо", "id_cards_recipes", ListSource::Cards),
                    whole("Количество питающихся", "quantity_eatings", required),
                    number("Количество витамина на одного, мг", "quantity_vita", 3, required),
                    field("Время внесения", Control::Time, "time1", required),
                    field("Время приема блюда", Control::Time, "time2"),
                    memo("Примечание", "notes")};
        put(b);
    }

    {
        // The institution as the printed forms name it. The version stamp and the switches of
        // the same row belong to the program and the parameters window.
        BookDef b = book(entryInstitution, "INF", "IDLU", "Учреждение", "Учреждение", "Naim");
        b.columns = {col("Наименование", "t.Naim", 5000), col("ОКПО", "t.okpo", 1500)};
        std::vector<EditorField> fields = {memo("Наименование", "Naim", required), text("ОКПО", "okpo", 255),
                                           text("Структура", "struktur", 255),
                                           text("Тип учреждения", "tupe_dou", 255)};
        struct Person {
            const char* heading;
            const char* fam;
            const char* im;
            const char* otch;
        };
        const Person persons[] = {
            {"Заведующий:", "FamDir", "ImDir", "OtchDir"},
            {"Бухгалтер:", "famB", "ImB", "OtchB"},
            {"Кладовщик:", "famK", "ImK", "OtchK"},
            {"Медицинская сестра:", "famMS", "ImMS", "OtchMS"},
            {"Повар:", "famP", "ImP", "OtchP"},
            {"Материально ответственное лицо:", "famMat", "ImMat", "OtchMat"},
        };
        for (const Person& p : persons) {
            fields.push_back(heading(p.heading));
            fields.push_back(text("Фамилия", p.fam, 100));
            fields.push_back(text("Имя", p.im, 100));
            fields.push_back(text("Отчество", p.otch, 100));
        }
        b.fields = std::move(fields);
        put(b);
    }

    for (auto& [entry, b] : c) {
        if (b.from.isEmpty())
            b.from = b.table + QStringLiteral(" t");
        if (b.orderBy.isEmpty())
            b.orderBy = QStringLiteral("t.") + b.key;
    }
    return c;
}

std::map<int, BookDef>& catalogue()
{
    static std::map<int, BookDef> c = buildCatalogue();
    return c;
}

std::map<int, CustomListSource>& customSources()
{
    static std::map<int, CustomListSource> s;
    return s;
}

// ---- list sources ----

std::vector<ListItem> query(Database& db, const QString& sql, const std::vector<QVariant>& params = {})
{
    std::vector<ListItem> out;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.next())
        out.push_back({st.value(0), st.toString(1)});
    return out;
}

// The items of `sql` (key, text, the name to sort by, optionally one more value to sort by)
// in the order "ORDER BY <name> COLLATE RU, <value>, <key>" gives: `sql` reads the rows in key
// order and each name is folded once here, not at every comparison of the database's sort.
std::vector<ListItem> queryByName(Database& db, const QString& sql, const std::vector<QVariant>& params = {})
{
    struct Row {
        ListItem item;
        bool nullName;
        QString name, folded;
        QVariant extra;
    };
    std::vector<Row> rows;
    Statement st(db, sql);
    st.bindAll(params);
    const bool extra = st.columnCount() > 3;
    while (st.next()) {
        const QString name = st.toString(2);
        rows.push_back({{st.value(0), st.toString(1)}, st.isNull(2), name, foldText(name),
                        extra ? st.value(3) : QVariant()});
    }
    const auto compareExtra = [](const QVariant& a, const QVariant& b) {
        if (a.isNull() || b.isNull())
            return int(b.isNull()) - int(a.isNull());
        bool okA = false, okB = false;
        const double x = a.toDouble(&okA), y = b.toDouble(&okB);
        if (okA && okB)
            return x < y ? -1 : (x > y ? 1 : 0);
        return a.toString().compare(b.toString());
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        if (a.nullName != b.nullName)
            return a.nullName;
        if (int c = a.folded.compare(b.folded))
            return c < 0;
        if (int c = a.name.compare(b.name))
            return c < 0;
        return compareExtra(a.extra, b.extra) < 0;
    });
    std::vector<ListItem> out;
    out.reserve(rows.size());
    for (Row& r : rows)
        out.push_back(std::move(r.item));
    return out;
}

} // namespace

std::vector<ListItem> listItemsOf(Database& db, const QString& sql, const std::vector<QVariant>& params)
{
    return query(db, sql, params);
}

std::vector<ListItem> listItems(Database& db, ListSource source, const QVariant& param)
{
    if (isFixed(source))
        return fixedItems(source);
    switch (source) {
    case ListSource::DishCategories:
        return query(db, QStringLiteral("SELECT id, tname FROM type_meal ORDER BY tname COLLATE RU, id"));
    case ListSource::EaterTypes:
        return query(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE status <> 0 "
                                        "ORDER BY shname COLLATE RU, id"));
    case ListSource::AllEaterTypes:
        return query(db, QStringLiteral("SELECT id, shname FROM type_eating ORDER BY shname COLLATE RU, id"));
    case ListSource::EaterTypesExcept:
        return query(db,
                     QStringLiteral("SELECT id, shname FROM type_eating WHERE id <> ?1 AND status <> 0 "
                                    "ORDER BY shname COLLATE RU, id"),
                     {param.isNull() ? QVariant(-1) : param});
    case ListSource::ProductGroups:
        return query(db, QStringLiteral("SELECT id, pname FROM product_group ORDER BY pname COLLATE RU, id"));
    case ListSource::Units: return query(db, QStringLiteral("SELECT id, ename FROM ed_izmer ORDER BY id"));
    case ListSource::CulinaryKinds:
        return query(db, QStringLiteral("SELECT id, cname FROM type_culinary ORDER BY cname COLLATE RU, id"));
    case ListSource::Products:
        return queryByName(db, QStringLiteral("SELECT id, pname, pname FROM products ORDER BY id"));
    case ListSource::ProductsExcept:
        return queryByName(db, QStringLiteral("SELECT id, pname, pname FROM products WHERE id <> ?1 ORDER BY id"),
                           {param.isNull() ? QVariant(-1) : param});
    case ListSource::Cards:
        return queryByName(db, QStringLiteral("SELECT id, COALESCE(cname, '') || ' ' || COALESCE(number1, '') || ' ' || "
                                              "COALESCE(numRec, ''), cname, id_type_meal FROM card_recipes ORDER BY id"));
    case ListSource::CardsOfCategory:
        return queryByName(db,
                           QStringLiteral("SELECT id, COALESCE(cname, '') || ' ' || COALESCE(number1, '') || ' ' || "
                                          "COALESCE(numRec, ''), cname FROM card_recipes WHERE id_type_meal = ?1 "
                                          "ORDER BY id"),
                           {param});
    case ListSource::VitaminsAndProducts: {
        // Products are given with their id negated, so that one list holds both kinds of row.
        auto out = query(db, QStringLiteral("SELECT id, shname FROM vitamin ORDER BY id"));
        auto products = query(db,
                              QStringLiteral("SELECT -p.id, p.pname FROM products p JOIN product_group g "
                                             "ON g.id = p.id_product_group WHERE instr(fold(g.pname), ?1) > 0 "
                                             "ORDER BY p.pname COLLATE RU, p.id"),
                              {QStringLiteral("витамин")});
        out.insert(out.end(), products.begin(), products.end());
        return out;
    }
    case ListSource::MainLines:
        return query(db,
                     QStringLiteral("SELECT r.id, CASE WHEN COALESCE(r.isCard, 0) <> 0 THEN c.cname ELSE p.pname END "
                                    "FROM recipes r LEFT JOIN products p ON p.id = r.id_product "
                                    "LEFT JOIN card_recipes c ON c.id = r.id_product "
                                    "WHERE r.id_card_recipes = ?1 AND COALESCE(r.isVariant, 0) = 0 "
                                    "AND COALESCE(r.isComment, 0) = 0 ORDER BY r.id"),
                     {param});
    case ListSource::SubstitutesOf:
        return query(db,
                     QStringLiteral("SELECT r.id_product_replace, p.pname FROM [replace] r JOIN products p "
                                    "ON p.id = r.id_product_replace WHERE r.id_product = ?1 "
                                    "ORDER BY p.pname COLLATE RU, r.id"),
                     {param});
    case ListSource::Collections: return query(db, QStringLiteral("SELECT ID, namesh FROM RECEPTUR ORDER BY ID"));
    case ListSource::SearchColumns:
        return query(db, QStringLiteral("SELECT xpole, namePole FROM NAMETABLE WHERE nomTable = ?1 ORDER BY IDNT"),
                     {param});
    case ListSource::Vitamins:
        return query(db, QStringLiteral("SELECT id, vname FROM vitamin ORDER BY vname COLLATE RU, id"));
    case ListSource::PlanMenus: {
        std::vector<ListItem> out;
        Statement st(db, QStringLiteral("SELECT id, tname, sezon FROM type_menu ORDER BY tname COLLATE RU, id"));
        while (st.next())
            out.push_back({st.value(0), st.toString(1) + seasonSuffix(st.value(2))});
        return out;
    }
    case ListSource::Meals: return query(db, QStringLiteral("SELECT id, ename FROM eating ORDER BY id"));
    case ListSource::Rooms:
        return query(db, QStringLiteral("SELECT idRoom, Name FROM ROOM ORDER BY Name COLLATE RU, idRoom"));
    case ListSource::Equipment:
        return query(db, QStringLiteral("SELECT idObor, Naim FROM OBORUDOV ORDER BY Naim COLLATE RU, idObor"));
    case ListSource::FryingFats:
        return query(db, QStringLiteral("SELECT IDzhir, naim FROM VIDZHIR ORDER BY naim COLLATE RU, IDzhir"));
    case ListSource::FryingEquipmentTypes:
        return query(db, QStringLiteral("SELECT IDzhar, naim FROM TIPZHAR ORDER BY naim COLLATE RU, IDzhar"));
    case ListSource::Users:
        return query(db, QStringLiteral("SELECT IDU, NAIM FROM USERS ORDER BY NAIM COLLATE RU, IDU"));
    case ListSource::Warehouses:
        return query(db, QStringLiteral("SELECT IDSS, name FROM STORAGES ORDER BY name COLLATE RU, IDSS"));
    default: {
        const auto it = customSources().find(int(source));
        return it == customSources().end() ? std::vector<ListItem>{} : it->second(db, param);
    }
    }
}

void registerListSource(ListSource code, CustomListSource items)
{
    customSources()[int(code)] = std::move(items);
}

void registerBook(BookDef def)
{
    if (def.from.isEmpty())
        def.from = def.table + QStringLiteral(" ") + def.alias;
    if (def.orderBy.isEmpty())
        def.orderBy = def.alias + QStringLiteral(".") + def.key;
    const int entry = def.entry;
    catalogue().insert_or_assign(entry, std::move(def));
}

QString listText(Database& db, ListSource source, const QVariant& value, const QVariant& param)
{
    if (value.isNull())
        return {};
    for (const ListItem& it : listItems(db, source, param))
        if (it.value.toLongLong() == value.toLongLong())
            return it.text;
    return {};
}

const BookDef* findBook(int entry)
{
    const auto& c = catalogue();
    const auto it = c.find(entry);
    return it == c.end() ? nullptr : &it->second;
}

std::vector<int> bookEntries()
{
    std::vector<int> out;
    for (const auto& [entry, b] : catalogue())
        out.push_back(entry);
    return out;
}

QString currencyShortName(Database& db)
{
    const QVariant v =
        db.scalar(QStringLiteral("SELECT shnamev FROM VALUTA WHERE status = -1 ORDER BY IDVAL LIMIT 1"));
    return v.isNull() ? QString() : v.toString();
}

std::vector<std::pair<qint64, QString>> vitaminsOf(Database& db, VitaminSet set)
{
    std::vector<std::pair<qint64, QString>> out;
    if (set == VitaminSet::None)
        return out;
    Statement st(db, set == VitaminSet::ForCards
                         ? QStringLiteral("SELECT id, shname FROM vitamin WHERE COALESCE(ispCard, 0) <> 0 ORDER BY id")
                         : QStringLiteral("SELECT id, shname FROM vitamin ORDER BY id"));
    while (st.next())
        out.emplace_back(st.toInt64(0), st.toString(1));
    return out;
}

ResolvedBook resolveBook(Database& db, const BookDef& def)
{
    ResolvedBook r;
    r.def = &def;
    bool needCurrency = false;
    for (const ListColumn& c : def.columns)
        needCurrency = needCurrency || c.money;
    for (const EditorField& f : def.fields)
        needCurrency = needCurrency || f.money;
    const QString currency = needCurrency ? currencyShortName(db) : QString();

    std::map<VitaminSet, std::vector<std::pair<qint64, QString>>> vitamins;
    auto vitaminList = [&](VitaminSet set) -> const std::vector<std::pair<qint64, QString>>& {
        auto it = vitamins.find(set);
        if (it == vitamins.end())
            it = vitamins.emplace(set, vitaminsOf(db, set)).first;
        return it->second;
    };

    for (const ListColumn& c : def.columns) {
        if (c.vitamins == VitaminSet::None) {
            ResolvedColumn rc;
            rc.caption = c.money ? c.caption + currency + c.moneyTail : c.caption;
            rc.source = c.source;
            rc.width = c.width;
            rc.decimals = c.decimals;
            rc.format = c.format;
            rc.params = c.params;
            rc.shownAs = c.shownAs;
            rc.choices = c.choices;
            rc.otherwise = c.otherwise;
            rc.unitSource = c.unitSource;
            r.columns.push_back(std::move(rc));
            continue;
        }
        int storeIndex = -1;
        for (size_t i = 0; i < r.stores.size(); ++i)
            if (r.stores[i].table == c.store.table && r.stores[i].ownerField == c.store.ownerField &&
                r.stores[i].valueField == c.store.valueField)
                storeIndex = int(i);
        if (storeIndex < 0) {
            r.stores.push_back(c.store);
            storeIndex = int(r.stores.size()) - 1;
        }
        for (const auto& [id, shname] : vitaminList(c.vitamins)) {
            ResolvedColumn rc;
            rc.caption = shname + c.vitaminSuffix;
            rc.width = c.width;
            rc.decimals = c.decimals;
            rc.vitaminId = id;
            rc.storeIndex = storeIndex;
            r.columns.push_back(std::move(rc));
        }
    }

    for (const EditorField& f : def.fields) {
        if (f.vitamins == VitaminSet::None) {
            EditorField e = f;
            if (f.money)
                e.caption = f.caption + currency + f.moneyTail;
            r.fields.push_back(std::move(e));
            continue;
        }
        for (const auto& [id, shname] : vitaminList(f.vitamins)) {
            EditorField e = f;
            e.vitamins = VitaminSet::None;
            e.caption = shname + f.vitaminSuffix;
            e.field = QStringLiteral("$") + shname;
            r.fields.push_back(std::move(e));
        }
    }
    return r;
}

} // namespace rat::books
