// Prices of a gram of products from their latest delivery, read for many products at once.

#include "refbooks/LatestDeliveryPrices.h"

#include "core/Database.h"

#include <QStringList>
#include <unordered_map>
#include <unordered_set>

namespace rat::books {

namespace {

struct Best {
    QString date;
    qint64 newestId = 0;
    double price = 0;
    bool any = false;
};

// One lot into the best price of its product so far.
void take(Best& b, bool emptyDate, qint64 lot, const QString& day, double price)
{
    if (emptyDate) {
        // Without a date the newest lot entered gives the price.
        if (!b.any || lot > b.newestId) {
            b.newestId = lot;
            b.price = price;
        }
    } else if (!b.any || day > b.date) {
        b.date = day;
        b.price = price;
    } else if (day == b.date && price > b.price) {
        b.price = price;
    }
    b.any = true;
}

} // namespace

bool isEmptyDate(const QDate& date)
{
    return !date.isValid() || date <= QDate(1790, 1, 1);
}

std::map<qint64, double> latestDeliveryPrices(Database& db, const QDate& date, const std::vector<qint64>& products,
                                              std::optional<qint64> warehouse)
{
    const bool emptyDate = isEmptyDate(date);
    const QString limit = emptyDate ? QString() : date.toString(Qt::ISODate);
    const QString lots = QStringLiteral(
        "SELECT s.id_product, s.id, s.cost / u.koef, "
        "CASE WHEN s.status = -1 THEN COALESCE(substr(s.rddate, 1, 10), '1990-01-01') ELSE substr(rc.rdate, 1, 10) "
        "END AS ld "
        "FROM storage s LEFT JOIN receipt rc ON rc.id = s.id_receipt "
        "LEFT JOIN products p ON p.id = s.id_product "
        "JOIN ed_izmer u ON u.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
        "WHERE (CASE WHEN s.status = -1 THEN -1 ELSE rc.status END) = -1 AND s.cost IS NOT NULL AND u.koef <> 0 "
        "AND (?1 IS NULL OR s.IDSS = ?1) AND (?2 = '' OR ld <= ?2)");
    const QVariant store = warehouse ? QVariant(*warehouse) : QVariant();

    std::unordered_map<qint64, Best> best;
    auto read = [&](Statement& st) {
        while (st.next())
            take(best[st.toInt64(0)], emptyDate, st.toInt64(1), st.toString(3), st.toDouble(2));
    };
    if (products.empty()) {
        Statement st(db, lots);
        st.bindAll({store, limit});
        read(st);
    } else {
        // Products go in as bound values, a few hundred per statement.
        const std::unordered_set<qint64> wanted(products.begin(), products.end());
        const std::vector<qint64> ids(wanted.begin(), wanted.end());
        const size_t chunk = 400;
        for (size_t from = 0; from < ids.size(); from += chunk) {
            const size_t n = std::min(chunk, ids.size() - from);
            QStringList marks;
            std::vector<QVariant> params = {store, limit};
            for (size_t i = 0; i < n; ++i) {
                marks << QStringLiteral("?") + QString::number(i + 3);
                params.push_back(ids[from + i]);
            }
            Statement st(db, lots + QStringLiteral(" AND s.id_product IN (") + marks.join(QLatin1Char(',')) +
                                 QLatin1Char(')'));
            st.bindAll(params);
            read(st);
        }
    }
    std::map<qint64, double> out;
    for (const auto& [product, b] : best)
        out[product] = b.price;
    return out;
}

} // namespace rat::books
