// The usual seasonal cleaning losses of potatoes, carrots and beets, added while the
// seasonal-loss book is empty.

#include "core/SeasonDefaults.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/TextFold.h"

#include <vector>

namespace rat {
namespace {

struct Period {
    int dayN, mesN, dayO, mesO;
    double proz;
};

// Months are 0-based. Stored potatoes lose more in cleaning as the winter goes on; the winter
// is split at the new year because a period that wraps over it never matches.
const std::vector<Period> kPotato = {
    {1, 7, 31, 7, 20}, {1, 8, 31, 9, 25}, {1, 2, 31, 6, 40}, {1, 0, 29, 1, 35}, {1, 10, 31, 11, 30},
};
const std::vector<Period> kRoots = {{1, 8, 31, 11, 20}, {1, 0, 31, 7, 25}};

} // namespace

int addDefaultSeasonRows(Database& db, bool byName)
{
    struct Product {
        qint64 id;
        QString name;
    };
    std::vector<Product> products;
    {
        Statement st(db, byName ? QStringLiteral("SELECT id, pname FROM products ORDER BY pname COLLATE RU")
                                : QStringLiteral("SELECT id, pname FROM products ORDER BY id"));
        while (st.next())
            products.push_back({st.toInt64(0), st.toString(1)});
    }
    Transaction tx(db);
    Statement ins(db, QStringLiteral(
        "INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    int added = 0;
    for (const Product& p : products) {
        // Letter case aside, and "свёкла" is written with ё as often as not.
        const QString name = foldText(p.name);
        const std::vector<Period>* rows = nullptr;
        if (name.contains(QStringLiteral("картофель")))
            rows = &kPotato;
        else if (name.contains(QStringLiteral("морковь")) || name.contains(QStringLiteral("свекла")))
            rows = &kRoots;
        if (!rows)
            continue;
        for (const Period& r : *rows) {
            ins.reset();
            ins.bindAll({p.id, r.dayN, r.mesN, r.dayO, r.mesO, r.proz});
            ins.exec();
            ++added;
        }
    }
    tx.commit();
    return added;
}

int ensureDefaultSeasonRows(Database& db, Prompt& prompt)
{
    int added = 0;
    try {
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM SEZON")).toLongLong() > 0)
            return 0;
        added = addDefaultSeasonRows(db, true);
    } catch (const DbError&) {
        return 0;  // the rows are a convenience: a file that refuses them stays as it was
    }
    if (added > 0)
        prompt.info(QStringLiteral("Проверьте, пожалуйста, справочник \"Сезонные проценты потерь\" на ввод "
                                   "корректных данных, если Вы будете использовать при расчетах сезонность."));
    return added;
}

} // namespace rat
