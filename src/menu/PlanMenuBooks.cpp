// The plan-menu books in the catalogue: "Типы меню" (the plan-menus), "Плановые дни" and
// "План-меню" (the dishes of a plan day), with their list sources, the record-editor checks
// and the deletion rules.

#include "menu/MenuBookHelpers.h"
#include "core/DataHelpers.h"
#include "menu/MenuModule.h"
#include "menu/PlanMenu.h"
#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookList.h"
#include "refbooks/BookRules.h"

namespace rat::menu {

namespace {

using namespace rat::books;
using namespace rat::menu::bookparts;

std::optional<qint64> idOf(const QVariant& v)
{
    if (v.isNull() || !v.isValid() || v.toString().isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 id = v.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

// ---- list sources ----

void registerSources()
{
    registerListSource(sourceMenuModes, [](Database&, const QVariant&) {
        return std::vector<ListItem>{{QVariant(int(byMeals)), QStringLiteral("По приемам пищи")},
                                     {QVariant(int(byCategories)), QStringLiteral("По категориям блюд")}};
    });
    registerListSource(sourceDaysOfMenu, [](Database& db, const QVariant& planMenu) {
        if (const auto id = idOf(planMenu))
            return listItemsOf(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"),
                               {*id});
        // Without a plan-menu every day, named with its plan-menu.
        std::vector<ListItem> out;
        Statement st(db, QStringLiteral("SELECT d.id, d.dname, m.tname, m.sezon FROM days d LEFT JOIN type_menu m "
                                        "ON m.id = d.id_type_menu ORDER BY d.id"));
        while (st.next())
            out.push_back({st.value(0), st.toString(1) + QStringLiteral(" (") +
                                            planMenuTitle(st.toString(2), st.value(3)) + QLatin1Char(')')});
        return out;
    });
    registerListSource(sourceDaysBeside, [](Database& db, const QVariant& day) {
        const auto id = idOf(day);
        const auto menu = id ? planMenuOfDay(db, *id) : std::nullopt;
        return listItems(db, sourceDaysOfMenu, menu ? QVariant(*menu) : QVariant());
    });
    // The card list of a dish takes the day and the category ("id_day,id_type_meal"); a plain
    // value is the day.
    registerListSource(sourcePlanCards, [](Database& db, const QVariant& param) {
        std::optional<qint64> day, category;
        if (param.typeId() == QMetaType::QVariantList) {
            const QVariantList values = param.toList();
            day = idOf(values.value(0));
            category = idOf(values.value(1));
        } else {
            day = idOf(param);
        }
        return planMenuCards(db, day, category);
    });
}

// ---- books ----

BookDef menuTypesBook()
{
    BookDef b = book(entryMenuTypes, QStringLiteral("type_menu"), QStringLiteral("Типы меню"), QStringLiteral("Тип меню"),
                     QStringLiteral("tname"));
    ListColumn mode = column(QStringLiteral("Способ составления"), QStringLiteral("CASE WHEN t.status = ? THEN ? ELSE ? END"),
                             2200);
    mode.params = {int(byCategories), planMenuModeText(int(byCategories)), planMenuModeText(int(byMeals))};
    b.columns = {planMenuTitleColumn(QStringLiteral("Наименование"), QStringLiteral("t"), 4500), mode,
                 column(QStringLiteral("Доля суточной потребности, %"), QStringLiteral("t.sumdolpotr"), 1500, 2),
                 column(QStringLiteral("Диетическое"), QStringLiteral("CASE WHEN t.status_diet <> 0 THEN 'Да' ELSE 'Нет' END"),
                        1200)};
    b.orderBy = QStringLiteral("t.tname COLLATE RU, t.sezon, t.id");
    const EditorField name = nameField(QStringLiteral("tname"));
    EditorField share = field(QStringLiteral("Доля суточной потребности в энергии, %"), Control::Text,
                              QStringLiteral("sumdolpotr"), optional);
    share.decimals = 2;
    b.fields = {name, listField(QStringLiteral("Способ составления меню"), QStringLiteral("status"), sourceMenuModes),
                listField(QStringLiteral("Сезон"), QStringLiteral("sezon"), ListSource::Seasons, optional), share,
                field(QStringLiteral("Диетическое меню"), Control::CheckBox, QStringLiteral("status_diet"), optional)};
    b.deleteWords.one = QStringLiteral("ое меню?");
    b.deleteWords.many = QStringLiteral("ые меню?");
    b.deleteWords.running = QStringLiteral("Идет удаление меню...");
    b.deleteWords.done = QStringLiteral("Удалено меню: ");
    return b;
}

BookDef planDaysBook()
{
    BookDef b = book(entryPlanDays, QStringLiteral("days"), QStringLiteral("Плановые дни"),
                     QStringLiteral("Плановый день"), QStringLiteral("dname"));
    b.from = QStringLiteral("days t LEFT JOIN type_menu m ON m.id = t.id_type_menu");
    b.columns = {column(QStringLiteral("Наименование"), QStringLiteral("t.dname"), 3000),
                 planMenuTitleColumn(QStringLiteral("Тип меню"), QStringLiteral("m"), 4500)};
    b.orderBy = QStringLiteral("t.id");
    b.parentColumn = QStringLiteral("t.id_type_menu");
    b.parentField = QStringLiteral("id_type_menu");
    b.parentSource = ListSource::PlanMenus;
    b.parentPrompt = QStringLiteral("Выберите Тип меню");
    b.fields = {listField(QStringLiteral("Тип меню"), QStringLiteral("id_type_menu"), ListSource::PlanMenus),
                nameField(QStringLiteral("dname"))};
    return b;
}

BookDef planDishesBook()
{
    BookDef b = book(entryPlanDishes, QStringLiteral("plan_menu"), QStringLiteral("План-меню"),
                     QStringLiteral("План-меню"));
    b.from = QStringLiteral("plan_menu t LEFT JOIN card_recipes c ON c.id = t.id_card_recipes");
    // The first column is the meal or the dish category, as the plan-menu is kept; the list
    // loader below fills it.
    b.columns = {column(QStringLiteral("Прием пищи"), QString(), 2200),
                 column(QStringLiteral("Номер"), QStringLiteral("c.number1"), 800),
                 column(QStringLiteral("Блюдо"), QStringLiteral("c.cname"), 5000),
                 column(QStringLiteral("Номер рецептуры"), QStringLiteral("c.numRec"), 1000)};
    b.grandParentSource = ListSource::PlanMenus;
    b.grandParentPrompt = QStringLiteral("Выберите Тип меню");
    b.parentColumn = QStringLiteral("t.id_day");
    b.parentField = QStringLiteral("id_day");
    b.parentSource = sourceDaysOfMenu;
    b.parentPrompt = QStringLiteral("Выберите плановый день");
    EditorField card = listField(QStringLiteral("Блюдо"), QStringLiteral("id_card_recipes"), sourcePlanCards);
    card.paramField = QStringLiteral("id_day,id_type_meal");
    b.fields = {listField(QStringLiteral("Плановый день"), QStringLiteral("id_day"), sourceDaysBeside),
                listField(QStringLiteral("Прием пищи"), QStringLiteral("id_eating"), ListSource::Meals, optional),
                listField(QStringLiteral("Категория блюд"), QStringLiteral("id_type_meal"), ListSource::DishCategories,
                          optional),
                card};
    b.deleteWords.one = QStringLiteral("ое блюдо?");
    b.deleteWords.many = QStringLiteral("ые блюда?");
    b.deleteWords.running = QStringLiteral("Идет удаление блюд...");
    return b;
}

// The dishes of the chosen day, grouped by meal or by dish category as the plan-menu is kept.
void loadPlanDishes(Database& db, const ListFilter& filter, BookList& list)
{
    if (!filter.parent || *filter.parent <= 0)
        return;
    const auto menu = planMenuOfDay(db, *filter.parent);
    if (menu && planMenuByCategories(db, *menu) && !list.captions.isEmpty())
        list.captions[0] = QStringLiteral("Категория блюд");
    for (const PlanDish& d : planDishes(db, *filter.parent)) {
        list.ids.push_back(d.id);
        list.rows.push_back({d.groupName, d.number, d.card, d.numRec});
    }
}

// ---- rules ----

void registerMenuTypeRules()
{
    BookRules r;
    r.defaults = [](Database&, std::map<QString, QVariant, std::less<>>& presets) {
        presets[QStringLiteral("status")] = int(byMeals);
    };
    // The refusals in their order: days, day menus, eater types.
    r.deletion = [](DeleteContext& ctx) {
        const QVariant sezon = ctx.db.scalar(QStringLiteral("SELECT sezon FROM type_menu WHERE id = ?1"), {ctx.id});
        const QString title = quoted(planMenuTitle(ctx.name, sezon));
        const QString before = QStringLiteral("Невозможно удалить тип меню ") + title + QStringLiteral(", так как для ");
        auto used = [&ctx](const char* sql) { return ctx.db.scalar(QString::fromUtf8(sql), {ctx.id}).toLongLong() > 0; };
        if (used("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1"))
            return DeleteVerdict::refuse(before + QStringLiteral("него введены плановые дни."));
        if (used("SELECT COUNT(*) FROM day_menu WHERE id_type_menu = ?1"))
            return DeleteVerdict::refuse(before + QStringLiteral("него составлено меню на день."));
        if (used("SELECT COUNT(*) FROM type_eating WHERE id_type_menu = ?1"))
            return DeleteVerdict::refuse(before + QStringLiteral("него определен(ы) тип(ы) довольствующихся."));
        return DeleteVerdict::remove();
    };
    addBookRules(entryMenuTypes, std::move(r));
}

void registerPlanDayRules()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const QVariant menu = ctx.value(QStringLiteral("id_type_menu"));
        const QString name = ctx.value(QStringLiteral("dname")).toString();
        const qint64 same =
            ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM days WHERE id_type_menu = ?1 AND "
                                         "lower(dname) = lower(?2) AND id <> ?3"),
                          {menu, name, ctx.ownIdOrNone()})
                .toLongLong();
        if (same == 0)
            return true;
        ctx.prompt.warning(QStringLiteral("Для типа меню ") + quoted(planMenuTitle(ctx.db, menu.toLongLong())) +
                           QStringLiteral(" уже добавлен день ") + quoted(name) +
                           QStringLiteral(". Измените выбранные значения."));
        return false;
    };
    r.deletion = [](DeleteContext& ctx) {
        if (ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM plan_menu WHERE id_day = ?1"), {ctx.id}).toLongLong() > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить плановый день ") + quoted(ctx.name) +
                                         QStringLiteral(", так как для него составлено плановое меню."));
        return DeleteVerdict::remove();
    };
    addBookRules(entryPlanDays, std::move(r));
}

void registerPlanDishRules()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        if (refuseLockedPlanMenu(ctx.prompt))
            return false;
        // The grouping field of the plan-menu's mode must be chosen.
        const auto day = idOf(ctx.value(QStringLiteral("id_day")));
        const auto menu = day ? planMenuOfDay(ctx.db, *day) : std::nullopt;
        const QString group = menu && planMenuByCategories(ctx.db, *menu) ? QStringLiteral("id_type_meal")
                                                                           : QStringLiteral("id_eating");
        if (!idOf(ctx.value(group))) {
            ctx.prompt.warning(QStringLiteral("Необходимо обязательно выбрать строку в списке ") +
                               quoted(ctx.caption(group)) + QLatin1Char('.'));
            return false;
        }
        return true;
    };
    r.deletion = [](DeleteContext& ctx) {
        if (isPlanMenuLocked())
            return DeleteVerdict::refuse(planMenuLockedText());
        return DeleteVerdict::remove();
    };
    addBookRules(entryPlanDishes, std::move(r));
}

} // namespace

void registerPlanMenuBooks()
{
    registerSources();
    registerBook(menuTypesBook());
    registerBook(planDaysBook());
    registerBook(planDishesBook());
    registerListLoader(entryPlanDishes, loadPlanDishes);
    registerMenuTypeRules();
    registerPlanDayRules();
    registerPlanDishRules();
}

} // namespace rat::menu
