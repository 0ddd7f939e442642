// Rows several packages name: plan-menus, eater types and meals, found by name and made when
// missing; and the season written after a plan-menu's name.

#include "exchange/ImportContext.h"
#include "exchange/PackageLoaders.h"
#include "exchange/PackageText.h"

#include <pugixml.hpp>

#include <string_view>

namespace rat::exchange {

QString fillingLabel()
{
    return QStringLiteral("Пожалуйста, подождите! Идет заполнение базы данных. Это может занять несколько минут...");
}

int seasonCode(const QString& text)
{
    static const char* const names[] = {"(осенне-зимний)", "(весенне-летний)", "(весенний)", "(летний)",
                                        "(зимний)",        "(осенний)",        "(зимне-весенний)"};
    const QString t = text.trimmed();
    for (int i = 0; i < 7; ++i)
        if (t == QString::fromUtf8(names[i]))
            return i + 1;
    return 8;
}

PlanMenuName parsePlanMenuName(const QString& text)
{
    static const QString marker = QStringLiteral(" Сезон:");
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return {text.trimmed(), std::nullopt};
    // The season starts after the marker and its blank.
    return {text.left(at).trimmed(), seasonCode(text.mid(at + 8))};
}

qint64 resolveTypeMenu(ImportContext& ctx, const QString& givenName, std::optional<int> season,
                       const pugi::xml_node& element)
{
    const QString name = givenName.trimmed().isEmpty() ? QStringLiteral("Общее") : givenName.trimmed();
    QVariant id;
    if (season)
        id = ctx.scalar(QStringLiteral("SELECT id FROM type_menu WHERE lower(trim(tname)) = ?1 AND "
                                       "coalesce(sezon, 0) = ?2 ORDER BY id LIMIT 1"),
                        {nameKey(name), *season});
    else
        id = ctx.scalar(QStringLiteral("SELECT id FROM type_menu WHERE lower(trim(tname)) = ?1 ORDER BY id LIMIT 1"),
                        {nameKey(name)});
    if (!id.isNull())
        return id.toLongLong();

    ColumnValues values{{QStringLiteral("tname"), ctx.value(QStringLiteral("type_menu"), QStringLiteral("tname"), name)},
                        {QStringLiteral("sezon"), season.value_or(0)}};
    const QString status = childText(element, "status");
    values.emplace_back(QStringLiteral("status"), status.isEmpty() ? QVariant(2)
                                                                    : ctx.value(QStringLiteral("type_menu"), QStringLiteral("status"), status));
    const QString share = childText(element, "sumdolpotr");
    double s = packageNumber(share);
    if (share.isEmpty() || s == 0) {
        // As the layout upgrade fills it: the meals' shares of the day, 100 when out of range.
        s = ctx.scalar(QStringLiteral("SELECT sum(CASE WHEN coalesce(status, 0) = 0 THEN proz1 ELSE proz2 END) "
                                      "FROM RASPS_CALL"),
                       {})
                .toDouble();
        if (!(s > 0 && s < 100))
            s = 100;
    }
    values.emplace_back(QStringLiteral("sumdolpotr"), s);
    if (ctx.column(QStringLiteral("type_menu"), QStringLiteral("status_diet")))
        values.emplace_back(QStringLiteral("status_diet"), packageFlag(childText(element, "status_diet")) ? -1 : 0);
    return ctx.insert(QStringLiteral("type_menu"), values);
}

qint64 resolveMeal(ImportContext& ctx, const QString& name, const QString& time)
{
    ColumnValues extra;
    const QVariant t = ctx.value(QStringLiteral("eating"), QStringLiteral("TIME"), time);
    if (t.isValid())
        extra.emplace_back(QStringLiteral("TIME"), t);
    return ctx.findOrCreate(QStringLiteral("eating"), QStringLiteral("ename"), name, extra);
}

std::vector<pugi::xml_node> eaterTypeItems(const pugi::xml_node& entities)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = entities.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element)
            continue;
        if (std::string_view(n.name()) == "type_eating") {
            out.push_back(n);
        } else if (std::string_view(n.name()) == "type_eatings") {
            for (pugi::xml_node t = n.child("type_eating"); t; t = t.next_sibling("type_eating"))
                out.push_back(t);
        }
    }
    return out;
}

qint64 resolveEaterType(ImportContext& ctx, const pugi::xml_node& item)
{
    const QString table = QStringLiteral("type_eating");
    const QString shname = childText(item, "shname");
    if (const qint64 existing = ctx.find(table, QStringLiteral("shname"), shname))
        return existing;
    ColumnValues values;
    for (const char* c : {"shname", "ename", "status", "pes", "kod"}) {
        const pugi::xml_node n = item.child(c);
        if (!n)
            continue;
        const FileField* f = ctx.column(table, QString::fromLatin1(c));
        if (!f)
            continue;
        const QVariant v = ctx.value(table, f->name, nodeText(n));
        if (v.isValid())
            values.emplace_back(f->name, v);
    }
    const pugi::xml_node menu = item.child("type_menu");
    const QString sezon = childText(menu, "sezon");
    values.emplace_back(QStringLiteral("id_type_menu"),
                        resolveTypeMenu(ctx, childText(menu, "tname"), sezon.isEmpty() ? 0 : int(packageNumber(sezon)), menu));
    return ctx.insert(table, values);
}

} // namespace rat::exchange
