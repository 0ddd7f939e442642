// The write-off of expired lots: the automatic approved write-off document and the fill of an open
// write-off document, both one line per lot with a remnant whose sell-by date has come.

#include "stock/WriteOff.h"
#include "stock/StockDocuments.h"
#include "stock/StockLots.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "core/TextFold.h"
#include "menu/DayMenu.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rat::stock {

namespace {

double round3(double v)
{
    return std::round(v * 1000.0) / 1000.0;
}

// The lots with a remnant (to 3 places) on `date` expiring on or before it, by product name.
std::vector<LotRemnant> expiredWithRemnant(const std::vector<LotRemnant>& lots, const QDate& date)
{
    std::vector<LotRemnant> out;
    for (const LotRemnant& l : lots)
        if (l.sellBy.isValid() && l.sellBy <= date && round3(l.remnant) > 0)
            out.push_back(l);
    std::stable_sort(out.begin(), out.end(),
                     [](const LotRemnant& a, const LotRemnant& b) { return compareRussian(a.productName, b.productName) < 0; });
    return out;
}

void addLines(Database& db, qint64 documentId, const std::vector<LotRemnant>& lots)
{
    Statement ins(db, QStringLiteral("INSERT INTO spisanie_point (id_storage, quantity, id_spisanie, why) "
                                     "VALUES (?1, ?2, ?3, ?4)"));
    for (const LotRemnant& l : lots) {
        ins.reset();
        ins.bind(1, l.lotId).bind(2, round3(l.remnant)).bind(3, documentId).bind(4, QString::fromUtf8(expiredReason));
        ins.exec();
    }
}

} // namespace

std::optional<qint64> autoWriteOffExpired(Database& db, Prompt& prompt, const QDate& today)
{
    const qint64 expired =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM storage s LEFT JOIN receipt r ON r.id = s.id_receipt "
                                 "WHERE (CASE WHEN s.status = -1 THEN -1 ELSE r.status END) = -1 "
                                 "AND substr(s.date_realization, 1, 10) < ?1 AND s.quantity > 0"),
                  {isoDate(today)})
            .toLongLong();
    if (expired == 0)
        return std::nullopt;
    const std::vector<LotRemnant> lots = lotRemnants(db, today);
    double before = 0;
    for (const LotRemnant& l : lots)
        if (l.sellBy.isValid() && l.sellBy < today && l.remnant > 0)
            before += l.remnant;
    if (!(round3(before) > 0))
        return std::nullopt;
    if (prompt.ask(QStringLiteral("На складе имеются продукты, у которых вышел срок годности. Необходимо утвердить "
                                  "документ списания! \"Да\" - выполнить, \"Нет\" - не выполнять списание."),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return std::nullopt;

    Transaction tx(db);
    db.exec(QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status, [sum]) VALUES (?1, ?2, -1, 0)"),
            {menu::nextDocumentNumber(db, QStringLiteral("spisanie")), today});
    const qint64 doc = db.lastInsertId();
    addLines(db, doc, expiredWithRemnant(lots, today));
    documentSum(db, StockKind::WriteOff, doc);
    tx.commit();
    return doc;
}

int fillWriteOffWithExpired(Database& db, Prompt& prompt, qint64 documentId)
{
    const auto header = readStockDocument(db, StockKind::WriteOff, documentId);
    if (!header)
        return 0;
    if (prompt.ask(QStringLiteral("Выполнить автоматическое списание?"), Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return 0;
    const std::vector<LotRemnant> lots = expiredWithRemnant(lotRemnants(db, header->date), header->date);
    if (lots.empty()) {
        prompt.info(QStringLiteral("Не найдено продуктов на списание."));
        return 0;
    }
    Transaction tx(db);
    addLines(db, documentId, lots);
    documentSum(db, StockKind::WriteOff, documentId);
    tx.commit();
    return int(lots.size());
}

} // namespace rat::stock
