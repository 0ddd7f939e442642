// The set-ups of automatic ordering: reconciled with the eater types, copied into the working
// copy for the dialog, checked for zero counts and stored again.

#include "stock/AutoOrderParameters.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <map>

namespace rat::stock {

namespace {

constexpr int kDefaultDays = 5;

qint64 firstWarehouse(Database& db)
{
    const QVariant v = db.scalar(QStringLiteral("SELECT MIN(IDSS) FROM STORAGES"));
    return v.isNull() ? 1 : v.toLongLong();
}

// Every set-up gets a point for each eater type of its plan-menu; points of types gone and
// set-ups without points go.
void reconcile(Database& db)
{
    Transaction tx(db);
    db.exec(QStringLiteral(
        "INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) "
        "SELECT a.IDAvt, te.id, 0 FROM AVTZAK a JOIN type_eating te ON te.id_type_menu = a.id_type_menu "
        "WHERE NOT EXISTS (SELECT 1 FROM AVTZAK_POINT p WHERE p.IDAvt = a.IDAvt AND p.id_type_eating = te.id) "
        "ORDER BY a.IDAvt, te.id"));
    db.exec(QStringLiteral("DELETE FROM AVTZAK_POINT WHERE NOT EXISTS "
                           "(SELECT 1 FROM type_eating te WHERE te.id = AVTZAK_POINT.id_type_eating)"));
    db.exec(QStringLiteral("DELETE FROM AVTZAK WHERE NOT EXISTS "
                           "(SELECT 1 FROM AVTZAK_POINT p WHERE p.IDAvt = AVTZAK.IDAvt)"));
    tx.commit();
}

} // namespace

QString noPlanMenuForOrderingText()
{
    return QStringLiteral("Для создания параметров автоматического заказа необходимо сначала внести данные о плане-меню.");
}

QString zeroCountQuestion()
{
    return QStringLiteral("Необходимо обязательно указать количество довольствующихся отличное от нуля. Не использовать "
                          "данное план-меню в расчетах автоматического заказа?");
}

QString orderingChangedQuestion()
{
    return QStringLiteral("Были внесены изменения. Сохранить?");
}

std::optional<std::vector<OrderingSetup>> openOrderingParameters(Database& db, Prompt& prompt)
{
    std::vector<OrderingSetup> setups;
    {
        Statement st(db, QStringLiteral("SELECT DISTINCT tm.id, tm.tname FROM type_menu AS tm, type_eating AS te "
                                        "WHERE te.status = -1 AND te.id_type_menu = tm.id ORDER BY tm.tname COLLATE RU, tm.id"));
        while (st.next()) {
            OrderingSetup s;
            s.planMenu = st.toInt64(0);
            s.title = st.toString(1);
            setups.push_back(std::move(s));
        }
    }
    db.exec(QStringLiteral("DELETE FROM AVTZAK1"));
    if (setups.empty()) {
        prompt.warning(noPlanMenuForOrderingText());
        return std::nullopt;
    }
    reconcile(db);

    const qint64 warehouse = firstWarehouse(db);
    Transaction tx(db);
    db.exec(QStringLiteral("INSERT INTO AVTZAK1 (id_storge, id_type_menu, day, id_type_eating, kol, status) "
                           "SELECT a.id_storge, a.id_type_menu, a.day, p.id_type_eating, p.kol, -1 "
                           "FROM AVTZAK a JOIN AVTZAK_POINT p ON p.IDAvt = a.IDAvt ORDER BY a.IDAvt, p.IDAP"));
    // Plan-menus without a set-up join the working copy unused, with no eaters yet.
    db.exec(QStringLiteral("INSERT INTO AVTZAK1 (id_storge, id_type_menu, day, id_type_eating, kol, status) "
                           "SELECT ?1, te.id_type_menu, ?2, te.id, 0, 0 FROM type_eating te "
                           "WHERE te.status = -1 AND NOT EXISTS (SELECT 1 FROM AVTZAK a WHERE a.id_type_menu = te.id_type_menu) "
                           "ORDER BY te.id_type_menu, te.id"),
            {warehouse, kDefaultDays});
    tx.commit();

    std::map<qint64, OrderingSetup*> byPlan;
    for (OrderingSetup& s : setups) {
        s.warehouse = warehouse;
        s.days = kDefaultDays;
        byPlan[s.planMenu] = &s;
    }
    Statement st(db, QStringLiteral("SELECT w.id_type_menu, w.id_storge, w.day, w.id_type_eating, w.kol, w.status, "
                                    "te.shname, COALESCE(te.status, 0) FROM AVTZAK1 w "
                                    "JOIN type_eating te ON te.id = w.id_type_eating "
                                    "ORDER BY w.id_type_menu, te.shname COLLATE RU, te.id"));
    while (st.next()) {
        const auto it = byPlan.find(st.toInt64(0));
        if (it == byPlan.end())
            continue;  // no type on allowance any more: not offered
        OrderingSetup& s = *it->second;
        s.warehouse = st.isNull(1) ? warehouse : st.toInt64(1);
        s.days = st.isNull(2) ? kDefaultDays : int(st.toInt64(2));
        s.used = st.toInt64(5) != 0;
        s.eaters.push_back({st.toInt64(3), st.toString(6), int(st.toInt64(4)), st.toInt64(7) == -1});
    }
    return setups;
}

bool hasZeroCount(const OrderingSetup& setup)
{
    if (!setup.used)
        return false;
    for (const OrderingEaters& e : setup.eaters)
        if (e.active && e.count == 0)
            return true;
    return false;
}

bool settleZeroCounts(Prompt& prompt, OrderingSetup& setup)
{
    if (!hasZeroCount(setup))
        return true;
    if (prompt.ask(zeroCountQuestion(), Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    setup.used = false;
    return true;
}

void saveOrderingParameters(Database& db, const std::vector<OrderingSetup>& setups)
{
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM AVTZAK"));
    db.exec(QStringLiteral("DELETE FROM AVTZAK_POINT"));
    Statement head(db, QStringLiteral("INSERT INTO AVTZAK (id_storge, id_type_menu, day) VALUES (?1, ?2, ?3)"));
    Statement point(db, QStringLiteral("INSERT INTO AVTZAK_POINT (IDAvt, id_type_eating, kol) VALUES (?1, ?2, ?3)"));
    for (const OrderingSetup& s : setups) {
        if (!s.used)
            continue;
        head.reset();
        head.bindAll({s.warehouse, s.planMenu, s.days});
        head.exec();
        const qint64 id = db.lastInsertId();
        for (const OrderingEaters& e : s.eaters) {
            point.reset();
            point.bindAll({id, e.typeId, e.count});
            point.exec();
        }
    }
    db.exec(QStringLiteral("DELETE FROM AVTZAK1"));
    tx.commit();
}

void closeOrderingParameters(Database& db)
{
    db.exec(QStringLiteral("DELETE FROM AVTZAK1"));
}

std::vector<OrderingSetup> storedOrderingSetups(Database& db)
{
    std::vector<OrderingSetup> out;
    std::map<qint64, size_t> index;
    Statement st(db, QStringLiteral(
        "SELECT a.IDAvt, a.id_type_menu, COALESCE(tm.tname, ''), COALESCE(a.id_storge, 0), COALESCE(a.day, 0), "
        "p.id_type_eating, COALESCE(p.kol, 0), te.shname, COALESCE(te.status, 0) FROM AVTZAK a "
        "LEFT JOIN type_menu tm ON tm.id = a.id_type_menu "
        "LEFT JOIN AVTZAK_POINT p ON p.IDAvt = a.IDAvt LEFT JOIN type_eating te ON te.id = p.id_type_eating "
        "ORDER BY a.IDAvt, te.shname COLLATE RU, p.id_type_eating"));
    while (st.next()) {
        const qint64 id = st.toInt64(0);
        auto it = index.find(id);
        if (it == index.end()) {
            OrderingSetup s;
            s.planMenu = st.toInt64(1);
            s.title = st.toString(2);
            s.used = true;
            s.warehouse = st.toInt64(3);
            s.days = int(st.toInt64(4));
            out.push_back(std::move(s));
            it = index.emplace(id, out.size() - 1).first;
        }
        if (!st.isNull(5))
            out[it->second].eaters.push_back(
                {st.toInt64(5), st.toString(7), int(st.toInt64(6)), st.toInt64(8) == -1});
    }
    return out;
}

} // namespace rat::stock
