// The day-menu journal: the list of day menus over a period, with the plan-menu's title and
// mode, and its deletion rule (a day menu a menu-requirement was made from stays).

#include "menu/DayMenu.h"
#include "menu/MenuBookHelpers.h"
#include "menu/MenuModule.h"

#include "core/Database.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"

namespace rat::menu {

namespace {

using namespace rat::books;
using namespace rat::menu::bookparts;

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
    BookDef b = book(entryDayMenuJournal, QStringLiteral("day_menu"), QStringLiteral("Журнал меню на день"),
                     QStringLiteral("Меню на день"), QStringLiteral("nom"));
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
    // The plan days as the document's header names them: "Основное (Понедельник)".
    ListColumn planDays = column(QStringLiteral("Плановые дни"), QStringLiteral("t.idd_tm"), 2500);
    planDays.shownAs = [](Database& db, const QString& iddTm) {
        return iddTmLines(db, iddTm).join(QStringLiteral("; "));
    };
    b.columns = {planMenuTitleColumn(QStringLiteral("План-меню"), QStringLiteral("m"), 3500),
                 mode,
                 date,
                 column(QStringLiteral("Комментарий"), QStringLiteral("t.comment"), 3000),
                 sum,
                 status,
                 column(QStringLiteral("Номер"), QStringLiteral("TRIM(t.nom)"), 1000),
                 planDays};
    b.orderBy = QStringLiteral("t.ddate, t.id");
    b.periodColumn = QStringLiteral("t.ddate");
    // Day menus are edited in the document window; these fields serve a plain record editor.
    EditorField numberField = field(QStringLiteral("Номер"), Control::Text, QStringLiteral("nom"), requiredUnique);
    numberField.limit = 10;
    b.fields = {field(QStringLiteral("Дата"), Control::Date, QStringLiteral("ddate"), required), numberField,
                listField(QStringLiteral("План-меню"), QStringLiteral("id_type_menu"), ListSource::PlanMenus),
                field(QStringLiteral("Комментарий:"), Control::Memo, QStringLiteral("comment"))};
    registerBook(std::move(b));

    BookRules rules;
    rules.deletion = deletion;
    addBookRules(entryDayMenuJournal, std::move(rules));
}

} // namespace rat::menu
