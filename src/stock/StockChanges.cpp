// The deletion of a stock document's lines and the lot date it re-issues from: the issues of
// menu-requirements are redone, so a lot they took from may go with their lines.

#include "stock/StockChanges.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockShared.h"

#include "core/Database.h"
#include "core/Prompt.h"

#include <QStringList>

namespace rat::stock {

std::optional<QDate> countedLotDate(Database& db, qint64 lotId)
{
    Statement st(db, QStringLiteral("SELECT s.status, s.rddate, r.status, r.rdate FROM storage s "
                                    "LEFT JOIN receipt r ON r.id = s.id_receipt WHERE s.id = ?1"));
    st.bind(1, lotId);
    if (!st.next())
        return std::nullopt;
    if (st.toInt64(0) == -1)
        return st.isNull(1) ? directLotDefaultDate() : detail::dateOf(st, 1);
    if (st.isNull(2) || st.toInt64(2) != -1)
        return std::nullopt;
    return detail::dateOf(st, 3);
}

bool lotRemovable(Database& db, qint64 lotId)
{
    return db.scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM spisanie_point WHERE id_storage = ?1) + "
                                    "(SELECT COUNT(*) FROM expense e WHERE e.id_storage = ?1 AND NOT EXISTS "
                                    "(SELECT 1 FROM MENUTR r WHERE r.id_ex = e.id_expence_docum))"),
                     {lotId})
               .toLongLong() == 0;
}

int deleteStockLines(Database& db, Prompt& prompt, StockKind kind, qint64 documentId, const std::vector<qint64>& lineIds)
{
    const QString table = lineTable(kind);
    std::vector<qint64> removable;
    QStringList kept;
    std::optional<QDate> from;  // the earliest date a removed lot counted from
    for (qint64 id : lineIds) {
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM [") + table + QStringLiteral("] WHERE id = ?1 AND ") +
                          documentKey(kind) + QStringLiteral(" = ?2"),
                      {id, documentId})
                .toLongLong() == 0)
            continue;  // not a line of this document (removed meanwhile)
        if (kind == StockKind::Receipt) {
            if (!lotRemovable(db, id)) {
                kept << db.scalar(QStringLiteral("SELECT p.pname FROM storage s JOIN products p ON p.id = s.id_product "
                                                 "WHERE s.id = ?1"),
                                  {id})
                            .toString()
                            .trimmed();
                continue;
            }
            const bool issued =
                db.scalar(QStringLiteral("SELECT COUNT(*) FROM expense WHERE id_storage = ?1"), {id}).toLongLong() > 0;
            if (const auto d = countedLotDate(db, id); d && issued && (!from || *d < *from))
                from = d;
        }
        removable.push_back(id);
    }
    if (!kept.isEmpty())
        prompt.warning(QStringLiteral("Партию продукта \"") + kept.join(QStringLiteral("\", \"")) +
                       QStringLiteral("\" удалить невозможно: из нее уже выполнен расход или списание."));
    if (removable.empty())
        return 0;
    Transaction tx(db);
    for (qint64 id : removable) {
        if (kind == StockKind::Receipt) {
            // The issues that took from the lot lose its lines; the re-issue below writes them anew.
            std::vector<qint64> docs;
            Statement st(db, QStringLiteral("SELECT DISTINCT id_expence_docum FROM expense WHERE id_storage = ?1"));
            st.bind(1, id);
            while (st.next())
                docs.push_back(st.toInt64(0));
            db.exec(QStringLiteral("DELETE FROM expense WHERE id_storage = ?1"), {id});
            for (qint64 doc : docs)
                documentSum(db, StockKind::Expense, doc);
        }
        db.exec(QStringLiteral("DELETE FROM [") + table + QStringLiteral("] WHERE id = ?1"), {id});
    }
    documentSum(db, kind, documentId);
    tx.commit();
    // The re-issue is a transaction of its own after a copy of the file without the lots.
    if (from)
        reissueFromDate(db, prompt, *from);
    return int(removable.size());
}

} // namespace rat::stock
