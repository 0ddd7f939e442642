// Changes to the rows of a day menu: eater counts with their copies, moving a dish, deleting
// rows and whole day menus, copying the rows of one day menu to another.

#include "menu/DayMenu.h"
#include "menu/DayMenuShared.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookActions.h"

#include <algorithm>

namespace rat::menu {

namespace {

// After rows change, the stored total follows at the menu's stored cost basis.
void refreshTotal(Database& db, qint64 dayMenuId)
{
    updateDayMenuTotal(db, dayMenuId, detail::storedBasisCode(db, dayMenuId), Clock::today());
}

void deletePoints(Database& db, const std::vector<qint64>& points)
{
    for (qint64 p : points) {
        db.exec(QStringLiteral("DELETE FROM quantity_eating WHERE id_day_menu_point = ?1"), {p});
        db.exec(QStringLiteral("DELETE FROM day_menu_point WHERE id = ?1"), {p});
    }
}

} // namespace

void setEaterCount(Database& db, Prompt& prompt, qint64 quantityId, qint64 quantity)
{
    Statement st(db, QStringLiteral("SELECT q.id_type_eating, p.id_eating, p.id_day_menu FROM quantity_eating q "
                                    "JOIN day_menu_point p ON p.id = q.id_day_menu_point WHERE q.id = ?1"));
    st.bind(1, quantityId);
    if (!st.next())
        return;
    const qint64 type = st.toInt64(0), eating = st.toInt64(1), menuId = st.toInt64(2);
    db.exec(QStringLiteral("UPDATE quantity_eating SET quantity = ?1 WHERE id = ?2"), {quantity, quantityId});

    const QString text = dayMenuMode(db, menuId) == MenuMode::ByMeals
                             ? QStringLiteral("Скопировать введенное Вами количество на весь день - нажмите \"Да\", на "
                                              "весь прием пищи - нажмите \"Нет\", не копировать - нажмите \"Отмена\"?")
                             : QStringLiteral("Скопировать введенное Вами количество на весь день - нажмите \"Да\", на "
                                              "всю категорию блюд - нажмите \"Нет\", не копировать - нажмите \"Отмена\"?");
    const Answer a = prompt.ask(text, Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::Yes) {
        db.exec(QStringLiteral("UPDATE quantity_eating SET quantity = ?1 WHERE id_type_eating = ?2 AND "
                               "id_day_menu_point IN (SELECT id FROM day_menu_point WHERE id_day_menu = ?3)"),
                {quantity, type, menuId});
    } else if (a == Answer::No) {
        db.exec(QStringLiteral("UPDATE quantity_eating SET quantity = ?1 WHERE id_type_eating = ?2 AND "
                               "id_day_menu_point IN (SELECT id FROM day_menu_point WHERE id_day_menu = ?3 AND "
                               "id_eating = ?4)"),
                {quantity, type, menuId, eating});
    }
}

int moveDayMenuRow(Database& db, Prompt& prompt, qint64 dayMenuId, int row, int direction, const QDate& /*date*/)
{
    if (row < 0) {
        prompt.info(QStringLiteral("Не выделена строка. Сначала выделите строку, которую нужно переместить."));
        return row;
    }
    const std::vector<DayMenuRow> rows = detail::dayMenuRowKeys(db, dayMenuId);
    if (row >= int(rows.size()) || direction == 0)
        return row;
    // The dish's own rows, one per eater type it has a yield for, stand together; the move
    // steps over them, whatever the number of eater types of the menu's plan-menus.
    const qint64 a = rows[size_t(row)].pointId;
    int first = row, last = row;
    while (first > 0 && rows[size_t(first - 1)].pointId == a)
        --first;
    while (last + 1 < int(rows.size()) && rows[size_t(last + 1)].pointId == a)
        ++last;
    const int target = direction < 0 ? first - 1 : last + 1;
    if (target < 0 || target >= int(rows.size()))
        return row;
    const qint64 b = rows[size_t(target)].pointId;

    Statement read(db, QStringLiteral("SELECT id_card_recipe, id_eating, id_day_menu FROM day_menu_point WHERE id = ?1"));
    const auto fields = [&](qint64 id) {
        read.reset();
        read.bind(1, id);
        read.next();
        return std::vector<QVariant>{read.value(0), read.value(1), read.value(2)};
    };
    std::vector<QVariant> fa = fields(a), fb = fields(b);
    Transaction tx(db);
    const QString update = QStringLiteral("UPDATE day_menu_point SET id_card_recipe = ?1, id_eating = ?2, "
                                          "id_day_menu = ?3 WHERE id = ?4");
    fb.push_back(a);
    fa.push_back(b);
    db.exec(update, fb);
    db.exec(update, fa);
    tx.commit();
    // The same row of the dish in its new place.
    const std::vector<DayMenuRow> moved = detail::dayMenuRowKeys(db, dayMenuId);
    int at = -1, size = 0;
    for (int r = 0; r < int(moved.size()); ++r)
        if (moved[size_t(r)].pointId == b) {
            if (at < 0)
                at = r;
            ++size;
        }
    return at < 0 ? row : at + std::min(row - first, size - 1);
}

bool deleteAllRows(Database& db, Prompt& prompt, qint64 dayMenuId)
{
    if (prompt.ask(QStringLiteral("Удалить все строки?"), Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM quantity_eating WHERE id_day_menu_point IN "
                           "(SELECT id FROM day_menu_point WHERE id_day_menu = ?1)"),
            {dayMenuId});
    db.exec(QStringLiteral("DELETE FROM day_menu_point WHERE id_day_menu = ?1"), {dayMenuId});
    refreshTotal(db, dayMenuId);
    tx.commit();
    return true;
}

int deleteSelectedRows(Database& db, Prompt& prompt, const std::vector<qint64>& pointIds)
{
    // Several grid rows of one dish are one point.
    std::vector<qint64> points;
    for (qint64 p : pointIds)
        if (std::find(points.begin(), points.end(), p) == points.end())
            points.push_back(p);
    if (points.empty())
        return 0;
    const QString question = QStringLiteral("Удалить выделенн") +
                             (points.size() == 1 ? QStringLiteral("ую строку?") : QStringLiteral("ые строки?"));
    if (prompt.ask(question, Buttons::YesNo, Answer::No) != Answer::Yes)
        return 0;
    prompt.status(QStringLiteral("Идет удаление строк..."));
    const QVariant menu = db.scalar(QStringLiteral("SELECT id_day_menu FROM day_menu_point WHERE id = ?1"), {points.front()});
    int deleted = 0;
    Transaction tx(db);
    for (qint64 p : points) {
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id = ?1"), {p}).toLongLong() == 0)
            continue;
        deletePoints(db, {p});
        ++deleted;
    }
    if (!menu.isNull())
        refreshTotal(db, menu.toLongLong());
    tx.commit();
    prompt.info(QStringLiteral("Удалено строк: ") + QString::number(deleted));
    return deleted;
}

int deleteDayMenus(Database& db, Prompt& prompt, const std::vector<qint64>& ids)
{
    // The journal's deletion rule refuses a day menu with a menu-requirement.
    return books::deleteRows(db, prompt, entryDayMenuJournal, ids).deleted;
}

void copyDayMenuRows(Database& db, qint64 sourceId, qint64 targetId)
{
    Transaction tx(db);
    Statement points(db, QStringLiteral("SELECT id, id_card_recipe, id_eating FROM day_menu_point WHERE id_day_menu = ?1 "
                                        "ORDER BY id"));
    Statement counts(db, QStringLiteral("SELECT id_type_eating, quantity FROM quantity_eating WHERE "
                                        "id_day_menu_point = ?1 ORDER BY id"));
    Statement addPoint(db, QStringLiteral("INSERT INTO day_menu_point (id_card_recipe, id_eating, id_day_menu) "
                                          "VALUES (?1, ?2, ?3)"));
    Statement addCount(db, QStringLiteral("INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) "
                                          "VALUES (?1, ?2, ?3)"));
    points.bind(1, sourceId);
    while (points.next()) {
        addPoint.reset();
        addPoint.bindAll({points.value(1), points.value(2), targetId});
        addPoint.exec();
        const qint64 newPoint = db.lastInsertId();
        counts.reset();
        counts.bind(1, points.toInt64(0));
        while (counts.next()) {
            addCount.reset();
            addCount.bindAll({newPoint, counts.value(0), counts.value(1)});
            addCount.exec();
        }
    }
    tx.commit();
}

} // namespace rat::menu
