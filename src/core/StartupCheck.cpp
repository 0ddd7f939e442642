// The consistency check of a file opened for work: orphaned menu-requirements, working copies,
// duplicate recipe lines and plan-menu entries.

#include "core/StartupCheck.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QSet>
#include <QStringList>

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
    const bool anyRequirement =
        db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM MENUTM) OR EXISTS (SELECT 1 FROM MENUTR) "
                                 "OR EXISTS (SELECT 1 FROM MENUTR_POINT)")).toLongLong() != 0;
    if (anyRequirement) {
        // Menu-requirements of day menus that no longer exist.
        prompt.status(repairing);
        deleteRequirements(db, idSet(db, QStringLiteral(
            "SELECT DISTINCT m.IDM FROM MENUTM m LEFT JOIN day_menu d ON m.ID_day_menu = d.id WHERE d.id IS NULL")));

        // A menu-requirement is whole only when its header, its day menus and its lines are all
        // there; whatever part of it is left alone is removed.
        const QSet<qint64> headers = idSet(db, QStringLiteral("SELECT IDM FROM MENUTR"));
        const QSet<qint64> menus = idSet(db, QStringLiteral("SELECT DISTINCT IDM FROM MENUTM"));
        const QSet<qint64> lines = idSet(db, QStringLiteral("SELECT DISTINCT IDM FROM MENUTR_POINT"));
        QSet<qint64> whole = headers;
        whole.intersect(menus).intersect(lines);
        QSet<qint64> removed;
        for (const QSet<qint64>* part : {&headers, &menus, &lines}) {
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
    // A line can stand more than five times only where its card and product do: the cheap
    // test spares the full one on an ordinary file.
    const bool suspect = !db.scalar(QStringLiteral(
        "SELECT 1 FROM recipes GROUP BY id_card_recipes, id_product HAVING count(id) > 5 LIMIT 1")).isNull();
    if (suspect && !db.scalar(QStringLiteral("SELECT 1 FROM recipes GROUP BY ") + recipeGroup +
                              QStringLiteral(" HAVING count(id) > 5 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM recipes WHERE id NOT IN (SELECT min(id) FROM recipes GROUP BY ") +
                recipeGroup + QLatin1Char(')'));
    }
    const QString planGroup = QStringLiteral("id_day, id_eating, id_card_recipes, id_type_meal");
    if (!db.scalar(QStringLiteral("SELECT 1 FROM plan_menu GROUP BY ") + planGroup +
                   QStringLiteral(" HAVING count(id) > 1 LIMIT 1")).isNull()) {
        prompt.status(repairing);
        db.exec(QStringLiteral("DELETE FROM plan_menu WHERE id NOT IN (SELECT min(id) FROM plan_menu GROUP BY ") +
                planGroup + QLatin1Char(')'));
    }
    tx.commit();
    prompt.status(QStringLiteral("Готово"));
}

} // namespace rat
