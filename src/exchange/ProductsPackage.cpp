// The products package: each collection goes into its table by one generic loader, driven by
// the table below (collection -> table -> columns -> references resolved by name).

#include "core/Prompt.h"
#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageNumbers.h"
#include "exchange/PackageText.h"

#include <pugixml.hpp>

#include <cstring>
#include <vector>

namespace rat::exchange {

namespace {

// A column whose element names a row of another table: the row with that name is used, or
// made when there is none.
struct Reference {
    const char* element;
    const char* column;
    const char* table;
    const char* nameColumn;
};

struct CollectionLoad {
    const char* collection;
    const char* table;
    const char* key;  // the element naming the item; an existing row of that name is updated
    std::vector<const char*> columns;
    std::vector<Reference> references;
    const char* numericFlag = nullptr;  // a yes/no column that the package writes as a number
};

const std::vector<CollectionLoad>& productCollections()
{
    static const std::vector<CollectionLoad> loads = {
        {"vitamins", "vitamin", "shname", {"vname", "shname", "ispCard"}, {}, "ispCard"},
        {"ed_izmers", "ed_izmer", "ename", {"ename", "koef"}, {}},
        {"eatings", "eating", "ename", {"ename", "time"}, {}},
        {"type_culinarys", "type_culinary", "cname", {"cname"}, {}},
        {"products",
         "products",
         "pname",
         {"pname", "fat", "protein", "carbohyd", "calories", "time_storage", "time_period", "schif", "plpris",
          "rule_okr", "procNe", "trueVit", "trueLak"},
         {{"ename", "id_ed_izmer", "ed_izmer", "ename"},
          {"products_group", "id_product_group", "product_group", "pname"}}},
    };
    return loads;
}

// The first element of that name below the item, at any depth.
pugi::xml_node firstDescendant(const pugi::xml_node& item, const char* name)
{
    return item.find_node([name](const pugi::xml_node& n) {
        return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
    });
}

} // namespace

void loadProductParts(ImportContext& ctx, const pugi::xml_node& item, qint64 productId, bool existed)
{
    if (const pugi::xml_node list = item.child("vitamin_quantitys")) {
        if (existed)
            ctx.run(QStringLiteral("DELETE FROM vitamin_quantity WHERE id_product = ?1"), {productId});
        for (pugi::xml_node q = list.first_child(); q; q = q.next_sibling()) {
            if (q.type() != pugi::node_element)
                continue;
            const QString shname = childText(q, "shname");
            if (shname.isEmpty())
                continue;
            const qint64 vitamin = ctx.findOrCreate(QStringLiteral("vitamin"), QStringLiteral("shname"), shname,
                                                    {{QStringLiteral("vname"), shname}});
            ctx.insert(QStringLiteral("vitamin_quantity"),
                       {{QStringLiteral("id_product"), productId},
                        {QStringLiteral("id_vitamin"), vitamin},
                        {QStringLiteral("quantity"),
                         ctx.value(QStringLiteral("vitamin_quantity"), QStringLiteral("quantity"), childText(q, "quantity"))}});
        }
    }
    if (const pugi::xml_node list = item.child("sezons")) {
        if (existed)
            ctx.run(QStringLiteral("DELETE FROM SEZON WHERE id_PRODUCT = ?1"), {productId});
        for (pugi::xml_node s = list.first_child(); s; s = s.next_sibling()) {
            if (s.type() != pugi::node_element)
                continue;
            ColumnValues values{{QStringLiteral("id_PRODUCT"), productId}};
            for (const char* c : {"day_n", "mes_n", "day_o", "mes_o", "proz"}) {
                const QVariant v = ctx.value(QStringLiteral("SEZON"), QString::fromLatin1(c), childText(s, c));
                if (v.isValid())
                    values.emplace_back(QString::fromLatin1(c), v);
            }
            ctx.insert(QStringLiteral("SEZON"), values);
        }
    }
}

namespace {

void loadCollection(ImportContext& ctx, const pugi::xml_node& entities, const CollectionLoad& load)
{
    const QString table = QString::fromLatin1(load.table);
    const bool isProducts = std::strcmp(load.table, "products") == 0;
    for (pugi::xml_node collection = entities.child(load.collection); collection;
         collection = collection.next_sibling(load.collection)) {
        for (pugi::xml_node item = collection.first_child(); item; item = item.next_sibling()) {
            if (item.type() != pugi::node_element)
                continue;
            loadItem(ctx, [&] {
                if (isProducts && nodeText(firstDescendant(item, "pname")).isEmpty())
                    throw PackageItemRefused(QStringLiteral("Элемент pname пуст: продукт без названия не загружен."));
                ColumnValues values;
                for (const char* c : load.columns) {
                    const pugi::xml_node n = firstDescendant(item, c);
                    if (!n)
                        continue;
                    const QString text = nodeText(n);
                    if (text.isEmpty())
                        continue;
                    const QVariant v = load.numericFlag && std::strcmp(c, load.numericFlag) == 0
                                           ? QVariant(packageNumericFlag(text) ? -1 : 0)
                                           : ctx.value(table, QString::fromLatin1(c), text);
                    if (v.isValid())
                        values.emplace_back(QString::fromLatin1(c), v);
                }
                for (const Reference& r : load.references) {
                    const QString text = nodeText(firstDescendant(item, r.element));
                    if (text.isEmpty())
                        continue;
                    values.emplace_back(QString::fromLatin1(r.column),
                                        ctx.findOrCreate(QString::fromLatin1(r.table), QString::fromLatin1(r.nameColumn), text));
                }
                const QString keyText = nodeText(firstDescendant(item, load.key));
                const qint64 existing = keyText.isEmpty() ? 0 : ctx.find(table, QString::fromLatin1(load.key), keyText);
                qint64 id = existing;
                if (existing)
                    ctx.update(table, existing, values);
                else
                    id = ctx.insert(table, values);
                if (isProducts)
                    loadProductParts(ctx, item, id, existing != 0);
            });
        }
    }
}

} // namespace

void loadProductsPackage(ImportContext& ctx, const pugi::xml_node& entities)
{
    const auto& loads = productCollections();
    int done = 0;
    for (const CollectionLoad& load : loads) {
        loadCollection(ctx, entities, load);
        ctx.prompt().progress(++done, int(loads.size()), fillingLabel());
    }
}

} // namespace rat::exchange
