#pragma once
// The loaders of the three package kinds and of their sections. Each is given the parsed
// document (its element `entities`) and writes through the import context; an engine error
// leaves by DbError, and the caller rolls the whole package back.

#include "exchange/StandardData.h"

#include <QString>
#include <optional>
#include <vector>

#include <pugixml.hpp>

namespace rat::exchange {

class ImportContext;

// Products package: vitamins, units, meals, kinds of processing, products (with their vitamin
// quantities and seasonal losses), one collection after another, driven by a table.
void loadProductsPackage(ImportContext& ctx, const pugi::xml_node& entities);
// A product item's `vitamin_quantitys` and `sezons`; an existing product's rows of a kind the
// item carries are replaced.
void loadProductParts(ImportContext& ctx, const pugi::xml_node& item, qint64 productId, bool existed);

// Norms package sections, in this order.
void loadReplaces(ImportContext& ctx, const pugi::xml_node& entities);
void loadNormEaterTypes(ImportContext& ctx, const pugi::xml_node& entities);
void loadRaspsCalls(ImportContext& ctx, const pugi::xml_node& entities);
void loadNormVitamins(ImportContext& ctx, const pugi::xml_node& entities);
void loadNormsPackage(ImportContext& ctx, const pugi::xml_node& entities);

// Collection package sections.
void loadCollectionEaterTypes(ImportContext& ctx, const pugi::xml_node& entities);
// Two passes: every card header first, so that nested dishes and variants can name cards that
// come later in the file; then the cards' contents. Returns the number of cards.
int loadRecipes(ImportContext& ctx, const pugi::xml_node& entities);
// `cycleDays` > 0 keeps only the positions of the first that many plan days of each plan-menu
// (in file order). Returns the number of plan-menu rows added.
int loadPlans(ImportContext& ctx, const pugi::xml_node& entities, int cycleDays = 0);

// The name and season of a plan-menu as `type_menu_Name` gives them: "Меню Сезон: (зимний)"
// is "Меню" with season 5; a name without "Сезон:" has no season.
struct PlanMenuName {
    QString name;
    std::optional<int> season;
};
PlanMenuName parsePlanMenuName(const QString& text);
// "(осенне-зимний)" 1, "(весенне-летний)" 2, "(весенний)" 3, "(летний)" 4, "(зимний)" 5,
// "(осенний)" 6, "(зимне-весенний)" 7, anything else 8.
int seasonCode(const QString& text);

// Shared by the norms and collection packages.
// The plan-menu of that name and season (no season: by name alone), made when missing; an
// empty name is "Общее". A new plan-menu is kept by meals unless `element` gives its `status`;
// its `sumdolpotr` is the element's, else the energy share the meal distribution sums to.
qint64 resolveTypeMenu(ImportContext& ctx, const QString& name, std::optional<int> season,
                       const pugi::xml_node& element = {});
// The eater type of the item's `shname`, made when missing from the item's elements and its
// `type_menu`. An existing type is kept as the person set it up: its name and plan-menu stay.
qint64 resolveEaterType(ImportContext& ctx, const pugi::xml_node& item);
// The meal of that name, made with the given time of day when missing.
qint64 resolveMeal(ImportContext& ctx, const QString& name, const QString& time = {});
// The `type_eating` items: children of `entities`, or of a `type_eatings` element in it.
std::vector<pugi::xml_node> eaterTypeItems(const pugi::xml_node& entities);

// The collection's name a package offers for the list of collections: `name` of `entities`,
// else the first card's `author/namev`; empty when it has neither.
QString collectionName(const pugi::xml_node& entities);

} // namespace rat::exchange
