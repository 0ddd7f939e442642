// Approval of a menu-requirement: opening for a day menu, the save and close questions, and the
// issue that writes its expense document and makes it the day menu's only approved one.

#include "stock/MenuRequirementApproval.h"
#include "stock/MenuRequirement.h"
#include "stock/StockDocuments.h"
#include "stock/StockIssue.h"
#include "stock/WriteOff.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"

#include <vector>

namespace rat::stock {

bool stockAccountingOn(Database& db)
{
    return readParameters(db).vestSkl;
}

std::optional<OpenedRequirement> openForDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId, const QDate& today)
{
    if (readParameters(db).avtSpis)
        autoWriteOffExpired(db, prompt, today.isValid() ? today : Clock::today());
    if (!menu::checkEatersEntered(db, prompt, dayMenuId))
        return std::nullopt;
    std::vector<qint64> existing;
    QStringList items;
    Statement st(db, QStringLiteral("SELECT r.IDM, r.date, COALESCE(r.status, 0) FROM MENUTM tm JOIN MENUTR r ON "
                                    "r.IDM = tm.IDM WHERE tm.ID_day_menu = ?1 "
                                    "ORDER BY CASE WHEN COALESCE(r.status, 0) <> 0 THEN 1 ELSE 0 END, r.date, r.IDM"));
    st.bind(1, dayMenuId);
    while (st.next()) {
        existing.push_back(st.toInt64(0));
        items << parseIsoDate(st.toString(1).left(10)).toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" (") +
                     (st.toInt64(2) != 0 ? QStringLiteral("Утверждено") : QStringLiteral("Черновик")) + QLatin1Char(')');
    }
    if (!existing.empty() &&
        prompt.ask(QStringLiteral("Уже есть составленные меню-требования. Создать новый документ меню-требования?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes) {
        const auto chosen = prompt.choose(QStringLiteral("Выберите меню-требование"),
                                          QStringLiteral("Выберите меню-требование"), items);
        if (!chosen || *chosen < 0 || *chosen >= int(existing.size())) {
            prompt.info(QStringLiteral("Не был выбран документ меню-требования."));
            return std::nullopt;
        }
        const qint64 idm = existing[size_t(*chosen)];
        const auto idm1 = loadIntoWorkingCopy(db, prompt, dayMenuId, idm);
        if (!idm1)
            return std::nullopt;
        return OpenedRequirement{*idm1, idm};
    }
    const auto idm1 = fillFromDayMenu(db, prompt, dayMenuId);
    if (!idm1)
        return std::nullopt;
    return OpenedRequirement{*idm1, std::nullopt};
}

namespace {

// The day menu is "Не выполнен расход" again once none of its menu-requirements stands issued.
void unmarkDayMenuIfNotIssued(Database& db, qint64 dayMenuId)
{
    db.exec(QStringLiteral("UPDATE day_menu SET status = 0 WHERE id = ?1 AND NOT EXISTS (SELECT 1 FROM MENUTM tm "
                           "JOIN MENUTR r ON r.IDM = tm.IDM JOIN expence_docum e ON e.id = r.id_ex "
                           "WHERE tm.ID_day_menu = ?1 AND r.status = -1 AND e.status = -1)"),
            {dayMenuId});
}

qint64 storeNotApproved(Database& db, qint64 idm1, std::optional<qint64>& idm, double cost)
{
    Transaction tx(db);
    idm = storeWorkingCopy(db, idm1, idm, cost);
    if (const auto h = readWorkingHeader(db, idm1))
        unmarkDayMenuIfNotIssued(db, h->dayMenuId);
    tx.commit();
    return *idm;
}

// Stock accounting off: stored with status -1, the other menu-requirements of the day menu back to 0.
void storeApproved(Database& db, qint64 idm1, std::optional<qint64>& idm, double cost)
{
    Transaction tx(db);
    idm = storeWorkingCopy(db, idm1, idm, cost);
    const auto h = readWorkingHeader(db, idm1);
    db.exec(QStringLiteral("UPDATE MENUTR SET status = -1 WHERE IDM = ?1"), {*idm});
    db.exec(QStringLiteral("UPDATE MENUTR1 SET status = -1 WHERE IDM1 = ?1"), {idm1});
    if (h)
        db.exec(QStringLiteral("UPDATE MENUTR SET status = 0 WHERE IDM <> ?1 AND IDM IN "
                               "(SELECT IDM FROM MENUTM WHERE ID_day_menu = ?2)"),
                {*idm, h->dayMenuId});
    tx.commit();
}

// Yes of a save or close question: store, then approve (and issue).
SaveOutcome approve(Database& db, Prompt& prompt, qint64 idm1, std::optional<qint64>& idm, double cost, bool stock)
{
    if (!stock) {
        storeApproved(db, idm1, idm, cost);
        return SaveOutcome::Approved;
    }
    storeNotApproved(db, idm1, idm, cost);
    return issueAndApprove(db, prompt, idm1, *idm) ? SaveOutcome::Issued : SaveOutcome::StoredNotApproved;
}

} // namespace

SaveOutcome saveMenuRequirement(Database& db, Prompt& prompt, qint64 idm1, std::optional<qint64>& idm, double cost)
{
    const bool stock = stockAccountingOn(db);
    const Answer a = prompt.ask(stock ? QStringLiteral("Выполнить расход?") : QStringLiteral("Утвердить меню-требование?"),
                                Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::Yes)
        return approve(db, prompt, idm1, idm, cost, stock);
    if (a == Answer::No) {
        storeNotApproved(db, idm1, idm, cost);
        return SaveOutcome::StoredNotApproved;
    }
    return SaveOutcome::Cancelled;
}

CloseOutcome closeMenuRequirement(Database& db, Prompt& prompt, qint64 idm1, std::optional<qint64>& idm, double cost,
                                  bool changed)
{
    const bool stock = stockAccountingOn(db);
    const auto done = [&](CloseOutcome o) {
        clearWorkingCopy(db, idm1);
        return o;
    };
    const auto approved = [&] {
        switch (approve(db, prompt, idm1, idm, cost, stock)) {
        case SaveOutcome::Issued: return CloseOutcome::Issued;
        case SaveOutcome::Approved: return CloseOutcome::Approved;
        default: return CloseOutcome::StoredNotApproved;
        }
    };
    if (changed) {
        const QString text =
            stock ? QStringLiteral("Были внесены изменения в меню-требование. Выполнить расход и сохранить меню-требование? "
                                   "\"Да\" - сохранить меню-требование и выполнить расход, \"Нет\" - сохранить изменения в "
                                   "меню-требовании, \"Отмена\" - не сохранять изменения.")
                  : QStringLiteral("Были внесены изменения в меню-требование. Cохранить и утвердить меню-требование? "
                                   "\"Да\" - сохранить меню-требование и утвердить, \"Нет\" - сохранить изменения в "
                                   "меню-требовании, \"Отмена\" - не сохранять изменения.");
        const Answer a = prompt.ask(text, Buttons::YesNoCancel, Answer::Yes);
        if (a == Answer::Yes)
            return done(approved());
        if (a == Answer::No) {
            storeNotApproved(db, idm1, idm, cost);
            return done(CloseOutcome::StoredNotApproved);
        }
        return done(CloseOutcome::ClosedWithoutStoring);
    }
    const bool notApproved =
        idm && db.scalar(QStringLiteral("SELECT COALESCE(status, 0) FROM MENUTR WHERE IDM = ?1"), {*idm}).toLongLong() == 0 &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR WHERE IDM = ?1"), {*idm}).toLongLong() > 0;
    if (!notApproved)
        return done(CloseOutcome::ClosedWithoutStoring);
    const QString text = stock ? QStringLiteral("Данное меню-требование не утверждено. Утвердить меню-требование и выполнить расход?")
                               : QStringLiteral("Данное меню-требование не утверждено. Утвердить меню-требование?");
    if (prompt.ask(text, Buttons::YesNo, Answer::Yes) == Answer::Yes)
        return done(approved());
    return done(CloseOutcome::ClosedNotApproved);
}

bool issueAndApprove(Database& db, Prompt& prompt, qint64 idm1, qint64 idm, bool ask)
{
    const auto h = readWorkingHeader(db, idm1);
    if (!h)
        return false;
    if (ask) {
        refreshRemnants(db, idm1);
        if (!shortageList(db, idm1).empty() &&
            prompt.ask(QStringLiteral("В меню-требовании используются продукты, которых либо нет на складе, либо нет "
                                      "необходимого количества. Выполнить расход?"),
                       Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return false;
    }
    issueAndApproveFrom(db, idm1, idm, [&](const QDate& date, std::optional<qint64> warehouse,
                                           std::optional<qint64> excluded) {
        return lotRemnants(db, date, warehouse, excluded);
    });
    return true;
}

std::vector<IssueLine> issueAndApproveFrom(Database& db, qint64 idm1, qint64 idm, const LotSource& lots,
                                           bool linesCleared, const std::vector<qint64>* eaterOrder)
{
    const auto h = readWorkingHeader(db, idm1);
    if (!h)
        return {};
    const QVariant menuDate = db.scalar(QStringLiteral("SELECT substr(ddate, 1, 10) FROM day_menu WHERE id = ?1"),
                                        {h->dayMenuId});
    const QDate date = menuDate.isNull() ? h->dayMenuDate : parseIsoDate(menuDate.toString());

    Transaction tx(db);
    // The issue of the approved menu-requirement of this day menu does not count against itself.
    const std::optional<qint64> excluded = approvedExpenseOfDayMenu(db, h->dayMenuId);
    qint64 expenseId = h->expenseId;
    if (expenseId != 0 &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM expence_docum WHERE id = ?1"), {expenseId}).toLongLong() > 0) {
        if (!linesCleared)
            db.exec(QStringLiteral("DELETE FROM expense WHERE id_expence_docum = ?1"), {expenseId});
        db.exec(QStringLiteral("UPDATE expence_docum SET ddate = ?2 WHERE id = ?1"), {expenseId, date});
    } else {
        db.exec(QStringLiteral("INSERT INTO expence_docum ([№docum], ddate, status, [sum]) VALUES (?1, ?2, 0, 0)"),
                {menu::nextDocumentNumber(db, QStringLiteral("expence_docum")), date});
        expenseId = db.lastInsertId();
    }
    // The document's lines are now only those written below, after every line there is: its sum
    // reads them alone, in the order a read of the whole table would meet them.
    const qint64 lastBefore = db.scalar(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM expense")).toLongLong();
    std::vector<IssueLine> lines = issueFromLots(
        db, idm1, expenseId, lots(date, h->warehouse != 0 ? std::optional<qint64>(h->warehouse) : std::nullopt, excluded),
        eaterOrder);
    db.exec(QStringLiteral("UPDATE expence_docum SET [sum] = ?1 WHERE id = ?2"),
            {db.scalar(QStringLiteral("SELECT SUM(s.cost * u.quantity) FROM expense AS u, storage AS s WHERE u.id > ?2 "
                                      "AND s.id = u.id_storage AND u.id_expence_docum = ?1"),
                       {expenseId, lastBefore})
                 .toDouble(),
             expenseId});

    db.exec(QStringLiteral("UPDATE expence_docum SET status = 0 WHERE id IN (SELECT r.id_ex FROM MENUTR r JOIN MENUTM tm "
                           "ON tm.IDM = r.IDM WHERE tm.ID_day_menu = ?1 AND r.IDM <> ?2)"),
            {h->dayMenuId, idm});
    db.exec(QStringLiteral("UPDATE MENUTR SET status = 0 WHERE IDM <> ?2 AND IDM IN "
                           "(SELECT IDM FROM MENUTM WHERE ID_day_menu = ?1)"),
            {h->dayMenuId, idm});
    db.exec(QStringLiteral("UPDATE expence_docum SET status = -1 WHERE id = ?1"), {expenseId});
    db.exec(QStringLiteral("UPDATE MENUTR SET status = -1, id_ex = ?2 WHERE IDM = ?1"), {idm, expenseId});
    db.exec(QStringLiteral("UPDATE MENUTR1 SET status = -1, id_ex = ?2 WHERE IDM1 = ?1"), {idm1, expenseId});
    db.exec(QStringLiteral("UPDATE day_menu SET status = -1 WHERE id = ?1"), {h->dayMenuId});
    tx.commit();
    return lines;
}

} // namespace rat::stock
