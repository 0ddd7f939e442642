// The consistency check of a file opened for work: orphaned menu-requirements, working copies,
// duplicate recipe lines and plan-menu entries.

#include "core/StartupCheck.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <optional>
#include <array>
#include <vector>

namespace rat {
namespace {

QSet<qint64> idSet(Database& db, const QString& sql)
{
    QSet<qint64> ids;
    Statement st(db, sql);
    while (st.next())
        if (!st.isNull(0))
            ids.insert(st.toInt64(0));
    return ids;
}

// Removes whole menu-requirements, one statement per table however many there are.
void deleteRequirements(Database& db, const QSet<qint64>& idms)
{
    if (idms.isEmpty())
        return;
    QStringList ids;
    for (qint64 idm : idms)
        ids << QString::number(idm);
    const QString list = QLatin1Char('[') + ids.join(QLatin1Char(',')) + QLatin1Char(']');
    for (const char* table : {"MENUTR_POINT", "MENUTM", "MENUTR"})
        db.exec(QStringLiteral("DELETE FROM %1 WHERE IDM IN (SELECT value FROM json_each(?1))").arg(QLatin1String(table)),
                {list});
}

// The keys of a column read in one pass over its table (NULL left out), and whether the table
// has any row at all.
struct KeyScan {
    QSet<qint64> ids;
    bool anyRow = false;
};

KeyScan scanKeys(Database& db, const QString& sql)
{
    KeyScan k;
    Statement st(db, sql);
    qint64 last = 0;
    bool lastSet = false;
    while (st.next()) {
        k.anyRow = true;
        if (st.isNull(0))
            continue;
        const qint64 id = st.toInt64(0);
        // The rows of one key mostly stand together: a repeat of the last key needs no lookup.
        if (lastSet && id == last)
            continue;
        k.ids.insert(id);
        last = id;
        lastSet = true;
    }
    return k;
}

// True when some combination of the integer columns of `sql` stands more than `limit` times
// (NULL counted as a value of its own). Texts or fractions read as integers can only make more
// rows equal, so a false answer is sure; a true one is confirmed by the caller. The rows are
// sorted in memory, so that equal ones stand together.
bool anyRepeated(Database& db, const QString& sql, int columns, int limit)
{
    using Key = std::array<qint64, 4>;
    std::vector<Key> keys;
    Statement st(db, sql);
    while (st.next()) {
        Key k{0, 0, 0, 0};
        for (int c = 0; c < columns; ++c)
            k[size_t(c)] = st.isNull(c) ? std::numeric_limits<qint64>::min() : st.toInt64(c);
        keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end());
    int run = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        run = i > 0 && keys[i] == keys[i - 1] ? run + 1 : 1;
        if (run > limit)
            return true;
    }
    return false;
}

} // namespace

void clearWorkingCopies(Database& db)
{
    Transaction tx(db);
    db.execScript(QStringLiteral("DELETE FROM MENUTR1; DELETE FROM MENUTM1; DELETE FROM MENUTR_POINT1;"));
    tx.commit();
}

void runStartupCheck(Database& db, Prompt& prompt)
{
    if (db.scalar(QStringLiteral("SELECT appMajor FROM INF LIMIT 1")).isNull())
        return;
    prompt.status(QStringLiteral("Выполняется проверка базы данных..."));
    const QString repairing = QStringLiteral("Выполняется устранение ошибок в базе данных...");

    Transaction tx(db);
    // Each table of the menu-requirements is read once; what is whole is worked out here.
    std::vector<std::pair<std::optional<qint64>, std::optional<qint64>>> links;  // MENUTM: IDM, day menu
    {
        Statement st(db, QStringLiteral("SELECT IDM, ID_day_menu FROM MENUTM"));
        while (st.next())
            links.emplace_back(st.isNull(0) ? std::nullopt : std::optional<qint64>(st.toInt64(0)),
                               st.isNull(1) ? std::nullopt : std::optional<qint64>(st.toInt64(1)));
    }
    KeyScan headers = scanKeys(db, QStringLiteral("SELECT IDM FROM MENUTR"));
    KeyScan lines = scanKeys(db, QStringLiteral("SELECT IDM FROM MENUTR_POINT"));
    if (!links.empty() || headers.anyRow || lines.anyRow) {
        // Menu-requirements of day menus that no longer exist.
        QSet<qint64> dayMenus;
        if (!links.empty())
            dayMenus = scanKeys(db, QStringLiteral("SELECT id FROM day_menu")).ids;
        QSet<qint64> orphans, menus;
        for (const auto& [idm, dayMenu] : links) {
            if (!idm)
                continue;
            menus.insert(*idm);
            if (!dayMenu || !dayMenus.contains(*dayMenu))
                orphans.insert(*idm);
        }
        prompt.status(repairing);
        deleteRequirements(db, orphans);
        menus.subtract(orphans);
        headers.ids.subtract(orphans);
        lines.ids.subtract(orphans);

        // A menu-requirement is whole only when its header, its day menus and its lines are all
        // there; whatever part of it is left alone is removed.
        QSet<qint64> whole = headers.ids;
        whole.intersect(menus).intersect(lines.ids);
        QSet<qint64> removed;
        for (const QSet<qint64>* part : {&headers.ids, &menus, &lines.ids}) {
            prompt.status(repairing);
            QSet<qint64> broken = *part;
            broken.subtract(whole).subtract(removed);
            deleteRequirements(db, broken);
            removed.unite(broken);
        }
    }
    db.execScript(QStringLiteral("DELETE FROM MENUTR1; DELETE FROM MENUTM1; DELETE FROM MENUTR_POINT1;"));

    // Recipe lines are cleaned only when some line stands more than five times: a few equal
    // lines may be meant; many are the trace of an old fault.
    const QString recipeGroup = QStringLiteral(
        "id_card_recipes, id_product, brutto, netto, isComment, isVariant, id_MainCard, comment, isCard");
    // A line can stand more than five times only where its card and product do: one pass over
    // the lines spares the full test on an ordinary file.
    const bool suspect = anyRepeated(db, QStringLiteral("SELECT id_card_recipes, id_product FROM recipes"), 2, 5);
    if (suspect && !db.scalar(QStringLiteral("SELECT 1 FROM recipes GROUP BY ") + recipeGroup +
                              QStringLiteral(" HAVING count(id) > 5 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM recipes WHERE id NOT IN (SELECT min(id) FROM recipes GROUP BY ") +
                recipeGroup + QLatin1Char(')'));
    }
    const QString planGroup = QStringLiteral("id_day, id_eating, id_card_recipes, id_type_meal");
    if (anyRepeated(db, QStringLiteral("SELECT ") + planGroup + QStringLiteral(" FROM plan_menu"), 4, 1) &&
        !db.scalar(QStringLiteral("SELECT 1 FROM plan_menu GROUP BY ") + planGroup +
                   QStringLiteral(" HAVING count(id) > 1 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM plan_menu WHERE id NOT IN (SELECT min(id) FROM plan_menu GROUP BY ") +
                planGroup + QLatin1Char(')'));
    }
    tx.commit();
    prompt.status(QStringLiteral("Готово"));
}

} // namespace rat
