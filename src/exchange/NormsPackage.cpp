// The norms package of one regulation and stay time: substitutes, the eater types with their
// physiological, product and portion norms, the energy distribution over meals, and which
// vitamins take part in card calculations.

#include "core/Prompt.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"

#include <pugixml.hpp>

namespace rat::exchange {

namespace {

// Each item on its own: one with a value that cannot be stored is refused and the rest load.
template <typename F>
void forEachItem(ImportContext& ctx, const pugi::xml_node& entities, const char* section, F&& f)
{
    for (pugi::xml_node s = entities.child(section); s; s = s.next_sibling(section))
        for (pugi::xml_node item = s.first_child(); item; item = item.next_sibling())
            if (item.type() == pugi::node_element)
                loadItem(ctx, [&] { f(item); });
}

qint64 productByName(ImportContext& ctx, const QString& name)
{
    return name.isEmpty() ? 0 : ctx.find(QStringLiteral("products"), QStringLiteral("pname"), name);
}

// Vitamins named by the norms package are only looked up, never made.
qint64 vitaminByShortName(ImportContext& ctx, const QString& shname)
{
    return shname.isEmpty() ? 0 : ctx.find(QStringLiteral("vitamin"), QStringLiteral("shname"), shname);
}

// The records of a section that is either one record itself or a list of them.
std::vector<pugi::xml_node> records(ImportContext& ctx, const pugi::xml_node& section, const QString& table)
{
    std::vector<pugi::xml_node> out;
    if (!section)
        return out;
    for (pugi::xml_node c = section.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && ctx.column(table, QString::fromUtf8(c.name()))) {
            out.push_back(section);
            return out;
        }
    for (pugi::xml_node c = section.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element)
            out.push_back(c);
    return out;
}

// A type's norms from an earlier import give way to the package's.
void clearTypeNorms(ImportContext& ctx, qint64 type)
{
    ctx.run(QStringLiteral("DELETE FROM FNORMS_VIT WHERE idf IN (SELECT IDF FROM FNORMS WHERE id_type_eating = ?1)"), {type});
    ctx.run(QStringLiteral("DELETE FROM FNORMS WHERE id_type_eating = ?1"), {type});
    ctx.run(QStringLiteral("DELETE FROM SOBBLUD WHERE id_type_eating = ?1"), {type});
    ctx.run(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms IN (SELECT id FROM norms WHERE id_type_eating = ?1)"), {type});
    ctx.run(QStringLiteral("DELETE FROM norms WHERE id_type_eating = ?1"), {type});
}

void loadTypeNorms(ImportContext& ctx, const pugi::xml_node& item, qint64 type)
{
    clearTypeNorms(ctx, type);

    qint64 idf = 0;
    for (const pugi::xml_node& rec : records(ctx, item.child("fnorms"), QStringLiteral("FNORMS"))) {
        ColumnValues values = ctx.sameNamedColumns(rec, QStringLiteral("FNORMS"), {QStringLiteral("id_type_eating")});
        values.emplace_back(QStringLiteral("id_type_eating"), type);
        idf = ctx.insert(QStringLiteral("FNORMS"), values);
    }
    const pugi::xml_node vits = item.child("fnorms_vits");
    if (vits && !idf)
        idf = ctx.insert(QStringLiteral("FNORMS"), {{QStringLiteral("id_type_eating"), type}});
    for (pugi::xml_node v = vits.first_child(); v; v = v.next_sibling()) {
        if (v.type() != pugi::node_element)
            continue;
        const qint64 vitamin = vitaminByShortName(ctx, childText(v, "shname"));
        if (!vitamin)
            continue;
        ctx.insert(QStringLiteral("FNORMS_VIT"),
                   {{QStringLiteral("idf"), idf},
                    {QStringLiteral("id_vitamin"), vitamin},
                    {QStringLiteral("kol"), ctx.value(QStringLiteral("FNORMS_VIT"), QStringLiteral("kol"), childText(v, "kol"))}});
    }

    for (pugi::xml_node s = item.child("sobbluds").first_child(); s; s = s.next_sibling()) {
        if (s.type() != pugi::node_element)
            continue;
        const QString meal = childText(s, "ename");
        ColumnValues values = ctx.sameNamedColumns(s, QStringLiteral("SOBBLUD"),
                                                   {QStringLiteral("id_type_eating"), QStringLiteral("id_eating")});
        values.emplace_back(QStringLiteral("id_type_eating"), type);
        if (!meal.isEmpty())
            values.emplace_back(QStringLiteral("id_eating"), resolveMeal(ctx, meal));
        ctx.insert(QStringLiteral("SOBBLUD"), values);
    }

    for (pugi::xml_node n = item.child("normss").first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element)
            continue;
        const qint64 product = productByName(ctx, childText(n, "pname"));
        if (!product)
            continue;
        const qint64 norm = ctx.insert(
            QStringLiteral("norms"),
            {{QStringLiteral("id_type_eating"), type},
             {QStringLiteral("gname"), ctx.value(QStringLiteral("norms"), QStringLiteral("gname"), childText(n, "gname"))},
             {QStringLiteral("norm"), ctx.value(QStringLiteral("norms"), QStringLiteral("norm"), childText(n, "norm"))},
             {QStringLiteral("id_product"), product}});
        for (pugi::xml_node p = n.child("norms_points").first_child(); p; p = p.next_sibling()) {
            if (p.type() != pugi::node_element)
                continue;
            const QString meal = childText(p, "ename");
            ctx.insert(QStringLiteral("NORMS_POINT"),
                       {{QStringLiteral("id_norms"), norm},
                        {QStringLiteral("id_eating"), meal.isEmpty() ? QVariant() : QVariant(resolveMeal(ctx, meal))},
                        {QStringLiteral("kol"), ctx.value(QStringLiteral("NORMS_POINT"), QStringLiteral("kol"), childText(p, "kol"))}});
        }
    }
}

} // namespace

void loadReplaces(ImportContext& ctx, const pugi::xml_node& entities)
{
    forEachItem(ctx, entities, "replaces", [&](const pugi::xml_node& item) {
        const qint64 product = productByName(ctx, childText(item, "pname"));
        const qint64 replacement = productByName(ctx, childText(item, "pname_replace"));
        if (!product || !replacement)
            return;
        ColumnValues values = ctx.sameNamedColumns(
            item, QStringLiteral("replace"),
            {QStringLiteral("pname"), QStringLiteral("pname_replace"), QStringLiteral("id_product"), QStringLiteral("id_product_replace")});
        values.emplace_back(QStringLiteral("id_product"), product);
        values.emplace_back(QStringLiteral("id_product_replace"), replacement);
        ctx.insert(QStringLiteral("replace"), values);
    });
}

void loadNormEaterTypes(ImportContext& ctx, const pugi::xml_node& entities)
{
    if (!entities)
        return;
    for (const pugi::xml_node& item : eaterTypeItems(entities)) {
        if (childText(item, "shname").isEmpty())
            continue;
        loadTypeNorms(ctx, item, resolveEaterType(ctx, item));
    }
}

void loadRaspsCalls(ImportContext& ctx, const pugi::xml_node& entities)
{
    if (!entities.child("rasps_calls"))
        return;
    ctx.run(QStringLiteral("DELETE FROM RASPS_CALL"), {});
    forEachItem(ctx, entities, "rasps_calls", [&](const pugi::xml_node& item) {
        ColumnValues values = ctx.sameNamedColumns(item, QStringLiteral("RASPS_CALL"),
                                                   {QStringLiteral("eating"), QStringLiteral("status"), QStringLiteral("id_eating")});
        const pugi::xml_node meal = item.child("eating");
        const QString mealName = childText(meal, "ename");
        if (!mealName.isEmpty())
            values.emplace_back(QStringLiteral("id_eating"), resolveMeal(ctx, mealName, childText(meal, "time")));
        values.emplace_back(QStringLiteral("status"), packageFlag(childText(item, "status")) ? -1 : 0);
        ctx.insert(QStringLiteral("RASPS_CALL"), values);
    });
}

void loadNormVitamins(ImportContext& ctx, const pugi::xml_node& entities)
{
    forEachItem(ctx, entities, "vitamins", [&](const pugi::xml_node& item) {
        const qint64 vitamin = ctx.find(QStringLiteral("vitamin"), QStringLiteral("vname"), childText(item, "vname"));
        if (!vitamin)
            return;
        QString flag = childText(item, "ispCard");
        if (flag.isEmpty())
            flag = childText(item, "ispcard");
        ctx.run(QStringLiteral("UPDATE vitamin SET ispCard = ?1 WHERE id = ?2"), {packageFlag(flag) ? -1 : 0, vitamin});
    });
}

void loadNormsPackage(ImportContext& ctx, const pugi::xml_node& entities)
{
    loadReplaces(ctx, entities);
    ctx.prompt().progress(1, 4, fillingLabel());
    loadNormEaterTypes(ctx, entities);
    ctx.prompt().progress(2, 4, fillingLabel());
    loadRaspsCalls(ctx, entities);
    ctx.prompt().progress(3, 4, fillingLabel());
    loadNormVitamins(ctx, entities);
    ctx.prompt().progress(4, 4, fillingLabel());
}

} // namespace rat::exchange
