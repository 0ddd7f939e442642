// The FEFO issue of a menu-requirement: what each eater type needs of each product taken from the
// lots earliest sell-by date first, what is left of a lot passed on to the next eater type.

#include "stock/StockIssue.h"
#include "stock/StockShared.h"

#include "core/Database.h"
#include "core/TextFold.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace rat::stock {

std::vector<IssueLine> planIssue(const std::vector<LotRemnant>& lots, const std::vector<qint64>& eaterOrder,
                                 const std::vector<IssueNeed>& needs)
{
    std::map<std::pair<qint64, qint64>, double> needOf;  // (eater type, product) -> grams
    for (const IssueNeed& n : needs)
        needOf[{n.eaterTypeId, n.productId}] += n.grams;

    std::vector<double> left;  // what is left of each lot, in its unit, as the eater types take it
    left.reserve(lots.size());
    for (const LotRemnant& l : lots)
        left.push_back(l.remnant);

    std::vector<IssueLine> out;
    for (const qint64 type : eaterOrder) {
        size_t i = 0;
        while (i < lots.size()) {
            const qint64 product = lots[i].productId;
            size_t end = i;
            while (end < lots.size() && lots[end].productId == product)
                ++end;
            const auto it = needOf.find({type, product});
            double need = it == needOf.end() ? 0.0 : it->second;
            std::optional<size_t> lastLine;  // the last line written for this product and eater type
            for (size_t k = i; k < end && need > 0; ++k) {
                const double koef = lots[k].koef;
                const double avail = left[k] * koef;
                if (koef <= 0 || avail <= 0)
                    continue;
                if (need <= avail) {
                    out.push_back({lots[k].lotId, type, need / koef});
                    left[k] = (avail - need) / koef;
                    need = 0;
                } else {
                    out.push_back({lots[k].lotId, type, avail / koef});
                    need -= avail;
                    left[k] = 0;
                }
                lastLine = out.size() - 1;
            }
            if (need > 0) {
                // The issued total always equals the requirement: the rest goes on the last lot used,
                // whose remnant then falls below zero. When earlier eater types emptied every lot,
                // the product's last lot in the walk takes it on a line of its own.
                if (lastLine) {
                    const auto lot = std::find_if(lots.begin() + i, lots.begin() + end,
                                                  [&](const LotRemnant& l) { return l.lotId == out[*lastLine].lotId; });
                    out[*lastLine].quantity += need / lot->koef;
                    left[size_t(lot - lots.begin())] -= need / lot->koef;
                } else if (lots[end - 1].koef > 0) {
                    out.push_back({lots[end - 1].lotId, type, need / lots[end - 1].koef});
                    left[end - 1] -= need / lots[end - 1].koef;
                }
            }
            i = end;
        }
    }
    return out;
}

namespace {

// Eater types (short name, id) in the order the issue serves them.
std::vector<qint64> servingOrder(std::vector<std::pair<QString, qint64>> types)
{
    std::sort(types.begin(), types.end(), [](const auto& a, const auto& b) {
        const int c = compareRussian(a.first, b.first);
        return c != 0 ? c < 0 : a.second < b.second;
    });
    std::vector<qint64> order;
    for (const auto& [name, id] : types)
        order.push_back(id);
    return order;
}

} // namespace

std::map<qint64, std::vector<qint64>> dayMenuEaterTypes(Database& db)
{
    std::map<qint64, std::vector<std::pair<QString, qint64>>> types;
    Statement t(db, QStringLiteral("SELECT DISTINCT dm.id_day_menu, te.shname, te.id FROM quantity_eating q "
                                   "JOIN day_menu_point dm ON dm.id = q.id_day_menu_point "
                                   "JOIN type_eating te ON te.id = q.id_type_eating WHERE q.quantity > 0"));
    while (t.next())
        types[t.toInt64(0)].emplace_back(t.toString(1), t.toInt64(2));
    std::map<qint64, std::vector<qint64>> out;
    for (auto& [dayMenu, list] : types)
        out[dayMenu] = servingOrder(std::move(list));
    return out;
}

int issueForMenuRequirement(Database& db, qint64 idm1, qint64 expenseId, const QDate& date,
                            std::optional<qint64> warehouse, std::optional<qint64> excludedExpense)
{
    return int(issueFromLots(db, idm1, expenseId,
                             lotRemnants(db, date, warehouse && *warehouse != 0 ? warehouse : std::nullopt, excludedExpense))
                   .size());
}

std::vector<IssueLine> issueFromLots(Database& db, qint64 idm1, qint64 expenseId, std::vector<LotRemnant> lots,
                                     const std::vector<qint64>* eaterOrder)
{
    std::vector<IssueNeed> needs;
    std::unordered_set<qint64> products;
    Statement st(db, QStringLiteral("SELECT m.id_type_eating, m.id_product, SUM(m.kolv) * e.koef FROM MENUTR_POINT1 m "
                                    "JOIN products p ON p.id = m.id_product JOIN ed_izmer e ON e.id = p.id_ed_izmer "
                                    "WHERE m.IDM1 = ?1 GROUP BY m.id_type_eating, m.id_product, e.koef"));
    st.bind(1, idm1);
    while (st.next()) {
        needs.push_back({st.toInt64(0), st.toInt64(1), detail::num(st, 2)});
        products.insert(st.toInt64(1));
    }

    std::vector<qint64> order;
    if (eaterOrder) {
        order = *eaterOrder;
    } else {
        std::vector<std::pair<QString, qint64>> types;
        Statement t(db, QStringLiteral("SELECT DISTINCT te.shname, te.id FROM quantity_eating q "
                                       "JOIN day_menu_point dm ON dm.id = q.id_day_menu_point "
                                       "JOIN type_eating te ON te.id = q.id_type_eating "
                                       "WHERE dm.id_day_menu IN (SELECT ID_day_menu FROM MENUTM1 WHERE IDM1 = ?1) "
                                       "AND q.quantity > 0"));
        t.bind(1, idm1);
        while (t.next())
            types.emplace_back(t.toString(0), t.toInt64(1));
        order = servingOrder(std::move(types));
    }

    std::erase_if(lots, [&](const LotRemnant& l) { return !products.count(l.productId); });

    const std::vector<IssueLine> lines = planIssue(lots, order, needs);
    Transaction tx(db);
    Statement ins(db, QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum, id_type_eating) "
                                     "VALUES (?1, ?2, ?3, ?4)"));
    for (const IssueLine& l : lines) {
        ins.reset();
        ins.bind(1, l.lotId).bind(2, l.quantity).bind(3, expenseId).bind(4, l.eaterTypeId);
        ins.exec();
    }
    tx.commit();
    return lines;
}

} // namespace rat::stock
