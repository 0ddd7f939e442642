// The day-menu journal: the list of day menus over a period, with the plan-menu's title and
// mode, and its deletion rule (a day menu a menu-requirement was made from stays).

#include "menu/DayMenu.h"
#include "menu/MenuModule.h"

#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"

namespace rat::menu {

namespace {

using namespace rat::books;

ListColumn column(const QString& caption, const QString& source, int width, int decimals = -1)
{
    ListColumn c;
    c.caption = caption;
    c.source = source;
    c.width = width;
    c.decimals = decimals;
    return c;
}

// The plan-menu's title with its season suffix; the suffixes are bound.
ListColumn titleColumn()
{
    ListColumn c = column(QStringLiteral("План-меню"), QString(), 3500);
    QString sql = QStringLiteral("COALESCE(m.tname, '') || CASE WHEN m.sezon IS NULL OR m.sezon = '' OR m.sezon = 0 "
                                 "THEN ''");
    for (int s = 1; s <= 7; ++s) {
        sql += QStringLiteral(" WHEN m.sezon = ? THEN ?");
        c.params.push_back(s);
        c.params.push_back(seasonSuffix(s));
    }
    sql += QStringLiteral(" ELSE ? END");
    c.params.push_back(seasonSuffix(8));
    c.source = sql;
    return c;
}

DeleteVerdict deletion(DeleteContext& ctx)
{
    if (ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTM WHERE ID_day_menu = ?1"), {ctx.id}).toLongLong() > 0) {
        const QString nom = ctx.db.scalar(QStringLiteral("SELECT nom FROM day_menu WHERE id = ?1"), {ctx.id}).toString();
        return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить документ меню на день №\"") + nom.trimmed() +
                                     QStringLiteral("\", так как на него составлено меню-требование."));
    }
    return DeleteVerdict::remove({
        {QStringLiteral("DELETE FROM quantity_eating WHERE id_day_menu_point IN "
                        "(SELECT id FROM day_menu_point WHERE id_day_menu = ?1)"),
         {ctx.id}},
        {QStringLiteral("DELETE FROM day_menu_point WHERE id_day_menu = ?1"), {ctx.id}},
    });
}

} // namespace

void registerDayMenuBooks()
{
    BookDef b;
    b.entry = entryDayMenuJournal;
    b.table = QStringLiteral("day_menu");
    b.key = QStringLiteral("id");
    b.listTitle = QStringLiteral("Журнал меню на день");
    b.recordName = QStringLiteral("Меню на день");
    b.nameField = QStringLiteral("nom");
    b.alias = QStringLiteral("t");
    // Only day menus whose plan-menu exists are listed.
    b.from = QStringLiteral("day_menu t JOIN type_menu m ON m.id = t.id_type_menu");

    ListColumn mode = column(QStringLiteral("Организация меню"),
                             QStringLiteral("CASE WHEN m.status = 1 THEN ? ELSE ? END"), 2000);
    mode.params = {QStringLiteral("по категориям блюд"), QStringLiteral("по приемам пищи")};
    ListColumn date = column(QStringLiteral("Дата"), QStringLiteral("t.ddate"), 1300);
    date.format = Control::Date;
    ListColumn sum = column(QStringLiteral("Сумма, "), QStringLiteral("t.sum"), 1500, 2);
    sum.money = true;
    ListColumn status = column(QStringLiteral("Статус"),
                               QStringLiteral("CASE WHEN t.status = -1 THEN ? ELSE ? END"), 2000);
    status.params = {QStringLiteral("Выполнен расход"), QStringLiteral("Не выполнен расход")};
    b.columns = {titleColumn(),
                 mode,
                 date,
                 column(QStringLiteral("Комментарий"), QStringLiteral("t.comment"), 3000),
                 sum,
                 status,
                 column(QStringLiteral("Номер"), QStringLiteral("TRIM(t.nom)"), 1000),
                 column(QStringLiteral("Плановые дни"), QStringLiteral("t.idd_tm"), 1500)};
    b.orderBy = QStringLiteral("t.ddate, t.id");
    b.periodColumn = QStringLiteral("t.ddate");
    // Day menus are edited in the document window; these fields serve a plain record editor.
    EditorField dateField;
    dateField.caption = QStringLiteral("Дата");
    dateField.control = Control::Date;
    dateField.field = QStringLiteral("ddate");
    dateField.flag = required;
    EditorField numberField;
    numberField.caption = QStringLiteral("Номер");
    numberField.field = QStringLiteral("nom");
    numberField.limit = 10;
    numberField.flag = requiredUnique;
    EditorField planField;
    planField.caption = QStringLiteral("План-меню");
    planField.control = Control::List;
    planField.field = QStringLiteral("id_type_menu");
    planField.source = ListSource::PlanMenus;
    planField.flag = required;
    EditorField commentField;
    commentField.caption = QStringLiteral("Комментарий:");
    commentField.control = Control::Memo;
    commentField.field = QStringLiteral("comment");
    b.fields = {dateField, numberField, planField, commentField};
    registerBook(std::move(b));

    BookRules rules;
    rules.deletion = deletion;
    addBookRules(entryDayMenuJournal, std::move(rules));
}

} // namespace rat::menu
