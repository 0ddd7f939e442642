// The re-issue from a date: every approved menu-requirement dated on or after it issued again in
// date order, each from the lots the earlier ones left (kept in memory), all in one transaction.

#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/UpgradeBackup.h"
#include "stock/StockLots.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace rat::stock {

namespace {

// The stored lines of the menu-requirements to re-issue, each one's in its order: id_product,
// id_type_eating, id_eating, id_card, kol, kolv, output. One read for all of them.
using StoredLines = std::map<qint64, std::vector<std::vector<QVariant>>>;

StoredLines storedLines(Database& db, const std::unordered_set<qint64>& wanted)
{
    StoredLines out;
    // In the table's own order, which is IDMP's: each document's lines come in their order.
    Statement st(db, QStringLiteral("SELECT IDM, id_product, id_type_eating, id_eating, id_card, kol, kolv, output "
                                    "FROM MENUTR_POINT ORDER BY IDMP"));
    while (st.next()) {
        if (!wanted.count(st.toInt64(0)))
            continue;
        std::vector<QVariant> row;
        row.reserve(7);
        for (int c = 1; c <= 7; ++c)
            row.push_back(st.value(c));
        out[st.toInt64(0)].push_back(std::move(row));
    }
    return out;
}

// A working copy of a stored menu-requirement for the issue alone: header, link and lines, without
// the remnants the window shows (the issue reads the lots itself). Returns IDM1.
std::optional<qint64> loadForReissue(Database& db, qint64 dayMenuId, qint64 idm, const StoredLines& lines,
                                     Statement& addLine)
{
    const qint64 nk = db.scalar(QStringLiteral("SELECT COALESCE(MAX(nk), 0) + 1 FROM MENUTR1")).toLongLong();
    db.exec(QStringLiteral("INSERT INTO MENUTR1 (date, stoim, status, id_ex, date_m, nom_m, nk) SELECT date, "
                           "COALESCE(stoim, 0), COALESCE(status, 0), COALESCE(id_ex, 0), date_m, nom_m, ?2 "
                           "FROM MENUTR WHERE IDM = ?1"),
            {idm, nk});
    const QVariant idm1 = db.scalar(QStringLiteral("SELECT IDM1 FROM MENUTR1 WHERE nk = ?1"), {nk});
    if (idm1.isNull())
        return std::nullopt;
    db.exec(QStringLiteral("INSERT INTO MENUTM1 (IDM1, ID_day_menu, IDSkl) SELECT ?3, ID_day_menu, COALESCE(IDSkl, 0) "
                           "FROM MENUTM WHERE ID_day_menu = ?1 AND IDM = ?2 LIMIT 1"),
            {dayMenuId, idm, idm1});
    if (const auto it = lines.find(idm); it != lines.end())
        for (const std::vector<QVariant>& row : it->second) {
            addLine.reset();
            for (int c = 0; c < 7; ++c)
                addLine.bind(c + 1, row[size_t(c)]);
            addLine.bind(8, idm1);
            addLine.exec();
        }
    return idm1.toLongLong();
}

} // namespace

bool reissueFromDate(Database& db, Prompt& prompt, const QDate& from, std::optional<qint64> exceptDayMenu)
{
    struct Approved {
        qint64 idm = 0;
        qint64 dayMenuId = 0;
    };
    std::vector<Approved> list;
    Statement st(db, QStringLiteral("SELECT r.IDM, tm.ID_day_menu FROM MENUTR r JOIN MENUTM tm ON tm.IDM = r.IDM "
                                    "WHERE substr(r.date, 1, 10) >= ?1 AND r.status = -1 AND (?2 IS NULL OR "
                                    "tm.ID_day_menu <> ?2) ORDER BY substr(r.date, 1, 10), r.IDM"));
    st.bind(1, isoDate(from)).bind(2, exceptDayMenu ? QVariant(*exceptDayMenu) : QVariant());
    while (st.next())
        list.push_back({st.toInt64(0), st.toInt64(1)});
    if (list.empty())
        return false;

    const QString d = from.toString(QStringLiteral("dd.MM.yyyy"));
    if (prompt.ask(QStringLiteral("Изменения этого документа затрагивают партионный учет продуктов на складе. Сейчас "
                                  "программа будет заново заполнять и утверждать документы по расходу продуктов (на "
                                  "основании утвержденных меню-требований), начиная с даты ") +
                       d + QStringLiteral(". Это может занять несколько минут. Выполнить?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes) {
        prompt.warning(QStringLiteral("Поскольку перерасчет расходования партий продуктов не был выполнен, то остатки по "
                                      "складу по партиям товаров могут быть некорректны. Общее количество оставшихся "
                                      "продуктов по всем партиям остается верным."));
        return false;
    }
    if (prompt.ask(QStringLiteral("Внимание: документы \"Расход\" будут заполнены заново. Если Вы вручную корректировали "
                                  "эти документы то изменения, внесенные вручную, начиная с даты ") +
                       d + QStringLiteral(" будут потеряны. (Меню-требования, заказ, приход, списание остаются без "
                                          "изменений.) Выполнить?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;

    // The file as it was, in case the person wants the old expense documents back.
    backupBeforeReissue(db, prompt, app().appDir, Clock::today());

    Transaction tx(db);
    // The issues being redone stop counting at once; what is left of each lot is then kept in
    // memory: its quantity less what the other documents dated up to the day took, less what the
    // earlier re-issues took.
    db.exec(QStringLiteral("DELETE FROM expense WHERE id_expence_docum IN (SELECT r.id_ex FROM MENUTR r JOIN MENUTM tm "
                           "ON tm.IDM = r.IDM WHERE substr(r.date, 1, 10) >= ?1 AND r.status = -1 AND (?2 IS NULL OR "
                           "tm.ID_day_menu <> ?2))"),
            {isoDate(from), exceptDayMenu ? QVariant(*exceptDayMenu) : QVariant()});
    const std::map<qint64, std::vector<qint64>> eaterTypes = dayMenuEaterTypes(db);
    std::unordered_set<qint64> wanted;
    for (const Approved& a : list)
        wanted.insert(a.idm);
    const StoredLines stored = storedLines(db, wanted);
    Statement addLine(db, QStringLiteral("INSERT INTO MENUTR_POINT1 (id_product, id_type_eating, id_eating, id_card, kol, "
                                         "kolv, output, ost, IDM1) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 0, ?8)"));
    const std::vector<qint64> noEaters;
    std::vector<LotRemnant> all = lotRemnants(db, QDate(9999, 12, 31));
    // The issue walks figures only; without the names every day's copy of the lots is cheap.
    for (LotRemnant& l : all) {
        l.productName.clear();
        l.unitName.clear();
        l.warehouseName.clear();
        l.document.clear();
    }
    // Each lot by its place in `all`, each product by a dense number, so the walk over the lots for
    // every document reads plain arrays.
    std::unordered_map<qint64, size_t> lotIndex;
    std::unordered_map<qint64, size_t> productIndex;
    std::vector<size_t> lotProduct;  // dense product number of all[k]
    lotIndex.reserve(all.size());
    lotProduct.reserve(all.size());
    for (size_t k = 0; k < all.size(); ++k) {
        lotIndex.emplace(all[k].lotId, k);
        lotProduct.push_back(productIndex.emplace(all[k].productId, productIndex.size()).first->second);
    }
    constexpr size_t noLot = size_t(-1);
    struct Taken {
        size_t lot = 0;  // place in `all`; noLot for a lot not counted there, never offered
        double quantity = 0;
        QDate date;
    };
    std::vector<Taken> taken;
    for (const char* sql : {"SELECT e.id_storage, e.quantity, d.ddate FROM expense e JOIN expence_docum d "
                            "ON d.id = e.id_expence_docum WHERE d.status = -1",
                            "SELECT p.id_storage, p.quantity, d.wdate FROM spisanie_point p JOIN spisanie d "
                            "ON d.id = p.id_spisanie WHERE d.status = -1"}) {
        Statement t(db, QString::fromLatin1(sql));
        while (t.next()) {
            const auto it = lotIndex.find(t.toInt64(0));
            taken.push_back({it == lotIndex.end() ? noLot : it->second, t.isNull(1) ? 0.0 : t.toDouble(1),
                             parseIsoDate(t.toString(2))});
        }
    }
    std::sort(taken.begin(), taken.end(), [](const Taken& a, const Taken& b) { return a.date < b.date; });
    std::vector<double> reissued(all.size(), 0.0);  // taken by the re-issues so far
    std::vector<double> upTo(all.size(), 0.0);      // taken by the other documents up to the day
    size_t passed = 0;                              // taken[..passed] are dated up to the day
    QDate day;
    std::vector<char> needed(productIndex.size(), 0);  // the products of the document being issued
    const LotSource lotsOn = [&](const QDate& date, std::optional<qint64> warehouse, std::optional<qint64>) {
        // The days come in order, so the sums only grow; a day out of order starts over.
        if (day.isValid() && date < day) {
            std::fill(upTo.begin(), upTo.end(), 0.0);
            passed = 0;
        }
        day = date;
        for (; passed < taken.size() && taken[passed].date <= date; ++passed)
            if (taken[passed].lot != noLot)
                upTo[taken[passed].lot] += taken[passed].quantity;
        // Only the lots of the document's products: the issue sets the others aside unread.
        std::vector<LotRemnant> out;
        for (size_t k = 0; k < all.size(); ++k) {
            const LotRemnant& l = all[k];
            if (!needed[lotProduct[k]] || l.lotDate > date || (warehouse && l.warehouse != *warehouse))
                continue;
            LotRemnant r = l;
            r.remnant = l.quantity;
            r.remnant -= upTo[k];
            r.remnant -= reissued[k];
            out.push_back(std::move(r));
        }
        return out;
    };
    for (size_t i = 0; i < list.size(); ++i) {
        prompt.progress(int(i), int(list.size()), QString());
        const auto idm1 = loadForReissue(db, list[i].dayMenuId, list[i].idm, stored, addLine);
        if (!idm1)
            continue;
        std::fill(needed.begin(), needed.end(), 0);
        if (const auto it = stored.find(list[i].idm); it != stored.end())
            for (const std::vector<QVariant>& row : it->second)
                if (const auto p = productIndex.find(row[0].toLongLong()); p != productIndex.end())
                    needed[p->second] = 1;
        const auto types = eaterTypes.find(list[i].dayMenuId);
        for (const IssueLine& l : issueAndApproveFrom(db, *idm1, list[i].idm, lotsOn, true,
                                                      types == eaterTypes.end() ? &noEaters : &types->second))
            if (const auto it = lotIndex.find(l.lotId); it != lotIndex.end())
                reissued[it->second] += l.quantity;
        clearWorkingCopy(db, *idm1);
    }
    tx.commit();
    prompt.progress(0, 0, QString());
    prompt.info(QStringLiteral("Операция перерасчета остатков партий продуктов успешно выполнена."));
    return true;
}

} // namespace rat::stock
