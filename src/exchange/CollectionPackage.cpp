// The recipe-collection package: eater types with their plan-menus, the technological cards
// and the model plan-menu.

#include "core/Prompt.h"
#include "core/Rounding.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"

#include <QHash>
#include <QSet>
#include <cmath>
#include <pugixml.hpp>

#include <string_view>

namespace rat::exchange {

namespace {

const QString kCards = QStringLiteral("card_recipes");
const QString kLines = QStringLiteral("recipes");
const QString kNoNumber = QStringLiteral("б/н");

std::vector<pugi::xml_node> recipeItems(const pugi::xml_node& entities)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = entities.first_child(); n; n = n.next_sibling()) {
        if (std::string_view(n.name()) == "recipe")
            out.push_back(n);
        else if (std::string_view(n.name()) == "recipes")
            for (pugi::xml_node r = n.child("recipe"); r; r = r.next_sibling("recipe"))
                out.push_back(r);
    }
    return out;
}

// A name given either as the element's own text or by a child element.
QString nameOf(const pugi::xml_node& node, const char* child)
{
    const QString inner = childText(node, child);
    return inner.isEmpty() ? nodeText(node) : inner;
}

bool isCardLine(const QString& text)
{
    const QString t = text.trimmed();
    return t == QLatin1String("1") || t == QLatin1String("-1") || packageFlag(t);
}

// The same rounding as the card calculation, so a recalculation writes what was loaded.
double round2(double x)
{
    return roundHalfEven(x, 2);
}

// The card of that name, preferring the one whose number and recipe number also match.
qint64 findCard(ImportContext& ctx, const QString& name, const QString& number, const QString& numrec)
{
    if (name.trimmed().isEmpty())
        return 0;
    Statement st(ctx.db(), QStringLiteral("SELECT id, number1, numRec FROM card_recipes WHERE lower(trim(cname)) = ?1 ORDER BY id"));
    st.bind(1, nameKey(name));
    const QString wantNumber = number.trimmed().isEmpty() ? kNoNumber : number.trimmed();
    const QString wantNumrec = numrec.trimmed();
    qint64 first = 0, byNumber = 0, byNumrec = 0;
    while (st.next()) {
        const qint64 id = st.toInt64(0);
        const bool sameNumber = st.toString(1).trimmed() == wantNumber;
        const bool sameNumrec = st.toString(2).trimmed() == wantNumrec;
        if (sameNumber && sameNumrec)
            return id;
        if (!first)
            first = id;
        if (sameNumber && !byNumber)
            byNumber = id;
        if (sameNumrec && !byNumrec && !wantNumrec.isEmpty())
            byNumrec = id;
    }
    return byNumber ? byNumber : byNumrec ? byNumrec : first;
}

// The recipe collection of a card, by its short name; made when missing.
qint64 resolveCollection(ImportContext& ctx, const pugi::xml_node& author, const QString& fallbackName)
{
    const QString table = QStringLiteral("RECEPTUR");
    QString namesh = childText(author, "namesh");
    QString namev = childText(author, "namev");
    if (namesh.isEmpty() && namev.isEmpty()) {
        const QVariant first = ctx.scalar(QStringLiteral("SELECT ID FROM RECEPTUR ORDER BY ID LIMIT 1"), {});
        if (!first.isNull())
            return first.toLongLong();
        namev = fallbackName.isEmpty() ? QStringLiteral("Сборник рецептур") : fallbackName;
    }
    if (namesh.isEmpty())
        namesh = namev.left(100);
    if (namev.isEmpty())
        namev = namesh;
    return ctx.findOrCreate(table, QStringLiteral("namesh"), namesh,
                            {{QStringLiteral("namev"), ctx.value(table, QStringLiteral("namev"), namev)}});
}

struct CardHeader {
    pugi::xml_node recipe;
    qint64 id = 0;
};

// First pass: every card header, so that any line can name any card of the file.
std::vector<CardHeader> createHeaders(ImportContext& ctx, const std::vector<pugi::xml_node>& recipes,
                                      const QString& collection)
{
    std::vector<CardHeader> out;
    out.reserve(recipes.size());
    for (const pugi::xml_node& recipe : recipes) {
        const QString name = childText(recipe, "name");
        if (name.isEmpty())
            continue;
        const qint64 receptur = resolveCollection(ctx, recipe.child("author"), collection);
        QString number = childText(recipe, "number");
        if (number.isEmpty())
            number = kNoNumber;
        const QString numrec = childText(recipe, "numrec");
        // A card already in this collection under the same name and number is filled anew.
        const QVariant existing = ctx.scalar(
            QStringLiteral("SELECT id FROM card_recipes WHERE lower(trim(cname)) = ?1 AND coalesce(id_receptur, 1) = ?2 "
                           "AND coalesce(number1, '') = ?3 ORDER BY id LIMIT 1"),
            {nameKey(name), receptur, ctx.value(kCards, QStringLiteral("number1"), number)});
        ColumnValues values{{QStringLiteral("cname"), ctx.value(kCards, QStringLiteral("cname"), name)},
                            {QStringLiteral("number1"), ctx.value(kCards, QStringLiteral("number1"), number)},
                            {QStringLiteral("numRec"), ctx.value(kCards, QStringLiteral("numRec"), numrec)},
                            {QStringLiteral("id_receptur"), receptur}};
        qint64 id = 0;
        if (!existing.isNull()) {
            id = existing.toLongLong();
            ctx.update(kCards, id, values);
        } else {
            id = ctx.insert(kCards, values);
        }
        out.push_back({recipe, id});
    }
    return out;
}

void writeNutrition(ImportContext& ctx, const pugi::xml_node& nutrition, qint64 card, ColumnValues& values)
{
    static const char* const skip[] = {"vitamin", "vitamins", "id", "cname", "number1", "numRec", "id_receptur"};
    QStringList skipped;
    for (const char* s : skip)
        skipped << QString::fromLatin1(s);
    ColumnValues given = ctx.sameNamedColumns(nutrition, kCards, skipped);
    auto get = [&](const char* name) -> QVariant {
        for (const auto& [c, v] : given)
            if (c.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return v;
        return {};
    };
    auto put = [&](const char* name, const QVariant& v) {
        for (auto& [c, old] : given)
            if (c.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                old = v;
                return;
            }
        given.emplace_back(QString::fromLatin1(name), v);
    };
    // The energy loss has two columns: the card list's and the card window's.
    if (get("pr_calories").isNull() && !get("pr_call").isNull())
        put("pr_calories", get("pr_call"));
    if (get("pr_call").isNull() && !get("pr_calories").isNull())
        put("pr_call", get("pr_calories"));
    qint64 vih = get("vih").toLongLong();
    if (vih <= 0)
        vih = 100;
    put("vih", vih);
    for (const char* n : {"fat", "protein", "carbohyd", "calories"}) {
        const QByteArray perPortion = QByteArray(n) + "_vih";
        const QVariant v = get(n);
        if (!v.isNull() && get(perPortion.constData()).isNull())
            put(perPortion.constData(), round2(v.toDouble() * double(vih) / 100.0));
    }

    ctx.run(QStringLiteral("DELETE FROM CARD_VITAMIN WHERE id_card_recipes = ?1"), {card});
    std::vector<pugi::xml_node> vitamins;
    for (pugi::xml_node v = nutrition.child("vitamin"); v; v = v.next_sibling("vitamin"))
        vitamins.push_back(v);
    for (pugi::xml_node v = nutrition.child("vitamins").child("vitamin"); v; v = v.next_sibling("vitamin"))
        vitamins.push_back(v);
    for (const pugi::xml_node& v : vitamins) {
        const QString shname = childText(v, "shname");
        if (shname.isEmpty())
            continue;
        const qint64 vitamin = ctx.findOrCreate(QStringLiteral("vitamin"), QStringLiteral("shname"), shname,
                                                {{QStringLiteral("vname"), shname}});
        const QVariant kol = ctx.value(QStringLiteral("CARD_VITAMIN"), QStringLiteral("kol"), childText(v, "kol"));
        const QVariant kolpr = ctx.value(QStringLiteral("CARD_VITAMIN"), QStringLiteral("kolpr"), childText(v, "kolpr"));
        ctx.insert(QStringLiteral("CARD_VITAMIN"),
                   {{QStringLiteral("id_vitamin"), vitamin},
                    {QStringLiteral("id_card_recipes"), card},
                    {QStringLiteral("kol"), kol},
                    {QStringLiteral("kolpr"), kolpr},
                    {QStringLiteral("kol_vih"), kol.isNull() ? QVariant() : QVariant(round2(kol.toDouble() * double(vih) / 100.0))},
                    {QStringLiteral("vih"), vih}});
        // The card's own columns of the five usual vitamins and minerals.
        const QString column = shname.toLower();
        if (column == QLatin1String("b1") || column == QLatin1String("b2") || column == QLatin1String("c") ||
            column == QLatin1String("ca") || column == QLatin1String("fe")) {
            put(column.toLatin1().constData(), kol);
            put((QByteArray("pr_") + column.toLatin1()).constData(), kolpr);
        }
    }
    values.insert(values.end(), given.begin(), given.end());
}

void writeOutputs(ImportContext& ctx, const pugi::xml_node& recipe, qint64 card)
{
    ctx.run(QStringLiteral("DELETE FROM output WHERE id_card_recipe = ?1"), {card});
    for (pugi::xml_node w = recipe.child("weight"); w; w = w.next_sibling("weight")) {
        const QString type = childText(w, "type");
        if (type.isEmpty())
            continue;
        const qint64 eaterType = ctx.findOrCreate(QStringLiteral("type_eating"), QStringLiteral("shname"), type,
                                                  {{QStringLiteral("ename"), type}});
        ColumnValues values{{QStringLiteral("id_card_recipe"), card}, {QStringLiteral("id_type_eating"), eaterType}};
        for (const char* c : {"output1", "output2", "output3"})
            values.emplace_back(QString::fromLatin1(c), ctx.value(QStringLiteral("output"), QString::fromLatin1(c), childText(w, c)));
        ctx.insert(QStringLiteral("output"), values);
    }
}

// A product named by a card line, made from the line's description when it is not known yet.
qint64 lineProduct(ImportContext& ctx, const QString& name, const pugi::xml_node& description)
{
    const QString table = QStringLiteral("products");
    if (const qint64 id = ctx.find(table, QStringLiteral("pname"), name))
        return id;
    ColumnValues values{{QStringLiteral("pname"), ctx.value(table, QStringLiteral("pname"), name)}};
    if (description) {
        const ColumnValues given = ctx.sameNamedColumns(
            description, table,
            {QStringLiteral("pname"), QStringLiteral("ed_izmer"), QStringLiteral("product_group"),
             QStringLiteral("id_ed_izmer"), QStringLiteral("id_product_group")});
        values.insert(values.end(), given.begin(), given.end());
        const pugi::xml_node unit = description.child("ed_izmer");
        const QString unitName = nameOf(unit, "ename");
        if (!unitName.isEmpty()) {
            ColumnValues extra;
            const QVariant koef = ctx.value(QStringLiteral("ed_izmer"), QStringLiteral("koef"), childText(unit, "koef"));
            if (koef.isValid())
                extra.emplace_back(QStringLiteral("koef"), koef);
            values.emplace_back(QStringLiteral("id_ed_izmer"),
                                ctx.findOrCreate(QStringLiteral("ed_izmer"), QStringLiteral("ename"), unitName, extra));
        }
        const QString group = nameOf(description.child("product_group"), "pname");
        if (!group.isEmpty())
            values.emplace_back(QStringLiteral("id_product_group"),
                                ctx.findOrCreate(QStringLiteral("product_group"), QStringLiteral("pname"), group));
    }
    const qint64 id = ctx.insert(table, values);
    if (description)
        loadProductParts(ctx, description, id, false);
    return id;
}

struct VariantLine {
    qint64 line;
    QString mainName, mainNumber, mainNumrec;
};

// The main line a variant stands for: the line of the same product (or nested card) in the card.
qint64 mainLine(ImportContext& ctx, qint64 card, const VariantLine& v)
{
    const bool nestedFirst = !v.mainNumber.isEmpty() || !v.mainNumrec.isEmpty();
    for (int pass = 0; pass < 2; ++pass) {
        const bool nested = (pass == 0) == nestedFirst;
        const qint64 target = nested ? findCard(ctx, v.mainName, v.mainNumber, v.mainNumrec)
                                     : ctx.find(QStringLiteral("products"), QStringLiteral("pname"), v.mainName);
        if (!target)
            continue;
        const QVariant line = ctx.scalar(
            QStringLiteral("SELECT id FROM recipes WHERE id_card_recipes = ?1 AND id_product = ?2 AND coalesce(isCard, 0) = ?3 "
                           "AND coalesce(isVariant, 0) = 0 AND coalesce(isComment, 0) = 0 ORDER BY id LIMIT 1"),
            {card, target, nested ? -1 : 0});
        if (!line.isNull())
            return line.toLongLong();
    }
    return 0;
}

void writeLines(ImportContext& ctx, const pugi::xml_node& recipe, qint64 card)
{
    ctx.run(QStringLiteral("DELETE FROM recipes WHERE id_card_recipes = ?1"), {card});
    std::vector<VariantLine> variants;
    for (pugi::xml_node ing = recipe.child("ingredient"); ing; ing = ing.next_sibling("ingredient")) {
        loadItem(ctx, [&] {
            const bool comment = packageFlag(childText(ing, "isComment"));
            const bool variant = packageFlag(childText(ing, "isVariant"));
            const bool nested = !comment && isCardLine(childText(ing, "isCard"));
            const QString name = childText(ing, "name");
            qint64 target = 0;
            if (nested) {
                target = findCard(ctx, name, childText(ing, "Vloj_Number"), childText(ing, "Vloj_Numrec"));
                if (!target)
                    return;  // a dish that is nowhere cannot be a line
            } else if (!comment) {
                if (name.isEmpty())
                    return;
                target = lineProduct(ctx, name, ing.child("product"));
            }
            ColumnValues values{{QStringLiteral("id_card_recipes"), card},
                                {QStringLiteral("id_product"), target},
                                {QStringLiteral("isComment"), comment ? -1 : 0},
                                {QStringLiteral("isVariant"), variant ? -1 : 0},
                                {QStringLiteral("isCard"), nested ? -1 : 0},
                                {QStringLiteral("id_MainCard"), 0}};
            for (const char* c : {"brutto", "netto", "brutto2", "netto2", "vih_kol", "comment"}) {
                const QVariant v = ctx.value(kLines, QString::fromLatin1(c), childText(ing, c));
                // A weight below zero is no weight: the line is refused, not stored.
                if (std::string_view(c) != "comment" && v.isValid() && v.toDouble() < 0)
                    refuseValue(QString::fromLatin1(c), childText(ing, c));
                if (v.isValid())
                    values.emplace_back(QString::fromLatin1(c), v);
                else if (std::string_view(c) == "vih_kol")
                    values.emplace_back(QStringLiteral("vih_kol"), 100);
                else if (std::string_view(c) == "brutto2" || std::string_view(c) == "netto2")
                    values.emplace_back(QString::fromLatin1(c), 0);
            }
            const qint64 line = ctx.insert(kLines, values);
            if (variant)
                variants.push_back({line, childText(ing, "MainCard"), childText(ing, "MainCard_Number"),
                                    childText(ing, "MainCard_Numrec")});
        });
    }
    for (const VariantLine& v : variants)
        if (const qint64 main = mainLine(ctx, card, v))
            ctx.run(QStringLiteral("UPDATE recipes SET id_MainCard = ?1 WHERE id = ?2"), {main, v.line});
}

// Second pass: the card's contents.
void fillCard(ImportContext& ctx, const CardHeader& h)
{
    const pugi::xml_node& recipe = h.recipe;
    ColumnValues values;
    const QString category = childText(recipe, "type");
    if (!category.isEmpty())
        values.emplace_back(QStringLiteral("id_type_meal"),
                            ctx.findOrCreate(QStringLiteral("type_meal"), QStringLiteral("tname"), category));
    const QString processing = childText(recipe, "sub-type");
    if (!processing.isEmpty())
        values.emplace_back(QStringLiteral("id_type_culinary"),
                            ctx.findOrCreate(QStringLiteral("type_culinary"), QStringLiteral("cname"), processing));
    const QString instructions = childText(recipe, "instructions");
    if (!instructions.isEmpty())
        values.emplace_back(QStringLiteral("description"), instructions);
    // A card without an organoleptic text keeps a single blank there.
    const QString organoleptic = childText(recipe, "orgocen");
    values.emplace_back(QStringLiteral("orgOc"), organoleptic.isEmpty()
                                                     ? QVariant(QStringLiteral(" "))
                                                     : ctx.value(kCards, QStringLiteral("orgOc"), organoleptic));
    writeNutrition(ctx, recipe.child("nutrition"), h.id, values);
    ctx.update(kCards, h.id, values);
    writeOutputs(ctx, recipe, h.id);
    writeLines(ctx, recipe, h.id);
}

qint64 resolveDay(ImportContext& ctx, QHash<QString, qint64>& days, qint64 typeMenu, const QString& name)
{
    const QString key = QString::number(typeMenu) + QLatin1Char('|') + nameKey(name);
    auto it = days.constFind(key);
    if (it != days.constEnd())
        return *it;
    const QVariant found = ctx.scalar(
        QStringLiteral("SELECT id FROM days WHERE id_type_menu = ?1 AND lower(trim(dname)) = ?2 ORDER BY id LIMIT 1"),
        {typeMenu, nameKey(name)});
    const qint64 id = found.isNull()
                          ? ctx.insert(QStringLiteral("days"),
                                       {{QStringLiteral("dname"), ctx.value(QStringLiteral("days"), QStringLiteral("dname"), name)},
                                        {QStringLiteral("id_type_menu"), typeMenu}})
                          : found.toLongLong();
    days.insert(key, id);
    return id;
}

} // namespace

QString collectionName(const pugi::xml_node& entities)
{
    const QString own = childText(entities, "name");
    if (!own.isEmpty())
        return own;
    const std::vector<pugi::xml_node> recipes = recipeItems(entities);
    return recipes.empty() ? QString() : childText(recipes.front().child("author"), "namev");
}

void loadCollectionEaterTypes(ImportContext& ctx, const pugi::xml_node& entities)
{
    for (const pugi::xml_node& item : eaterTypeItems(entities))
        if (!childText(item, "shname").isEmpty())
            resolveEaterType(ctx, item);
}

int loadRecipes(ImportContext& ctx, const pugi::xml_node& entities)
{
    const std::vector<pugi::xml_node> recipes = recipeItems(entities);
    if (recipes.empty()) {
        ctx.prompt().warning(QStringLiteral("В файле нет данных о технологических картах. Заполнение технологических карт невозможно."));
        ctx.prompt().info(QStringLiteral("База данных будет создана без справочника технологических карт."));
        return 0;
    }
    const std::vector<CardHeader> headers = createHeaders(ctx, recipes, collectionName(entities));
    const int total = int(headers.size());
    int done = 0;
    for (const CardHeader& h : headers) {
        loadItem(ctx, [&] { fillCard(ctx, h); });
        ctx.prompt().progress(++done, total, fillingLabel());
    }
    return total;
}

int loadPlans(ImportContext& ctx, const pugi::xml_node& entities, int cycleDays)
{
    QHash<QString, qint64> days;
    QHash<qint64, QStringList> daysInFile;  // per plan-menu, in file order
    int added = 0;
    for (pugi::xml_node plans = entities.child("plans"); plans; plans = plans.next_sibling("plans")) {
        for (pugi::xml_node item = plans.first_child(); item; item = item.next_sibling()) {
            if (item.type() != pugi::node_element)
                continue;
            const QString dayName = childText(item, "day");
            if (dayName.isEmpty())
                continue;
            const pugi::xml_node cardNode = item.child("cards");
            const qint64 card = findCard(ctx, nameOf(cardNode, "cname"), childText(cardNode, "number"),
                                         childText(cardNode, "numrec"));
            if (!card)
                continue;
            const PlanMenuName menu = parsePlanMenuName(childText(item, "type_menu_Name"));
            const qint64 typeMenu = resolveTypeMenu(ctx, menu.name, menu.season);
            QStringList& seen = daysInFile[typeMenu];
            const QString dayKey = nameKey(dayName);
            if (!seen.contains(dayKey)) {
                if (cycleDays > 0 && seen.size() >= cycleDays)
                    continue;
                seen << dayKey;
            }
            const qint64 day = resolveDay(ctx, days, typeMenu, dayName);
            const pugi::xml_node meal = item.child("eating");
            const QString mealName = nameOf(meal, "ename");
            const QString category = nameOf(item.child("type_meal"), "tname");
            ctx.insert(QStringLiteral("plan_menu"),
                       {{QStringLiteral("id_day"), day},
                        {QStringLiteral("id_eating"),
                         mealName.isEmpty() ? QVariant() : QVariant(resolveMeal(ctx, mealName, childText(meal, "time")))},
                        {QStringLiteral("id_card_recipes"), card},
                        {QStringLiteral("id_type_meal"),
                         category.isEmpty() ? QVariant()
                                            : QVariant(ctx.findOrCreate(QStringLiteral("type_meal"), QStringLiteral("tname"), category))}});
            ++added;
        }
    }
    return added;
}

} // namespace rat::exchange
