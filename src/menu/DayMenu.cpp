// Day menus: the mode of a plan-menu and a day menu, the plan-menus offered for a new day menu,
// the header (read, number check, save, caption), the OK command towards the menu-requirement
// and the first-use hint.

#include "menu/DayMenu.h"
#include "menu/DayMenuShared.h"
#include "menu/PlanMenu.h"

#include "core/ChoiceLists.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/TextFold.h"

#include <QStringList>
#include <algorithm>

namespace rat::menu {

namespace detail {

std::vector<qint64> eaterTypesOnAllowance(Database& db, qint64 planMenuId)
{
    std::vector<qint64> ids;
    Statement st(db, QStringLiteral("SELECT id FROM type_eating WHERE id_type_menu = ?1 AND status = -1 ORDER BY id"));
    st.bind(1, planMenuId);
    while (st.next())
        ids.push_back(st.toInt64(0));
    return ids;
}

bool stockAccountingOn(Database& db)
{
    return readChoiceFlags(db).vestSkl;
}

int storedBasisCode(Database& db, qint64 dayMenuId)
{
    return db.scalar(QStringLiteral("SELECT COALESCE(filtr, 0) FROM day_menu WHERE id = ?1"), {dayMenuId}).toInt();
}

} // namespace detail

namespace {

MenuRequirementGateway& gateway()
{
    static MenuRequirementGateway g;
    return g;
}

QString modeText(MenuMode mode)
{
    return mode == MenuMode::ByMeals ? QStringLiteral(" по приемам пищи") : QStringLiteral(" по категориям блюд");
}

} // namespace

MenuMode planMenuMode(Database& db, qint64 planMenuId)
{
    const QVariant status = db.scalar(QStringLiteral("SELECT status FROM type_menu WHERE id = ?1"), {planMenuId});
    return !status.isNull() && status.toLongLong() == 1 ? MenuMode::ByCategories : MenuMode::ByMeals;
}

MenuMode dayMenuMode(Database& db, qint64 dayMenuId)
{
    const QVariant pm = db.scalar(QStringLiteral("SELECT id_type_menu FROM day_menu WHERE id = ?1"), {dayMenuId});
    return planMenuMode(db, pm.toLongLong());
}

std::vector<PlanMenuOffer> planMenuOffers(Database& db)
{
    std::vector<PlanMenuOffer> offers;
    Statement menus(db, QStringLiteral("SELECT id, tname, sezon, status FROM type_menu m "
                                       "WHERE EXISTS (SELECT 1 FROM days d WHERE d.id_type_menu = m.id)"));
    Statement days(db, QStringLiteral("SELECT id, dname FROM days WHERE id_type_menu = ?1 ORDER BY id"));
    while (menus.next()) {
        PlanMenuOffer o;
        o.id = menus.toInt64(0);
        // Only status 2 reads "by meals" in the caption; the grouping itself treats every
        // status but 1 as meals.
        const bool meals = !menus.isNull(3) && menus.toInt64(3) == 2;
        o.mode = !menus.isNull(3) && menus.toInt64(3) == 1 ? MenuMode::ByCategories : MenuMode::ByMeals;
        o.caption = menus.toString(1) + seasonSuffix(menus.value(2)) +
                    modeText(meals ? MenuMode::ByMeals : MenuMode::ByCategories);
        days.reset();
        days.bind(1, o.id);
        while (days.next())
            o.days.emplace_back(days.toInt64(0), days.toString(1));
        offers.push_back(std::move(o));
    }
    std::stable_sort(offers.begin(), offers.end(), [](const PlanMenuOffer& a, const PlanMenuOffer& b) {
        return compareRussian(a.caption, b.caption) < 0;
    });
    return offers;
}

std::optional<DayMenuHeader> readDayMenu(Database& db, qint64 id)
{
    Statement st(db, QStringLiteral("SELECT id, ddate, nom, comment, status, id_type_menu, idd_tm, sum, filtr "
                                    "FROM day_menu WHERE id = ?1"));
    st.bind(1, id);
    if (!st.next())
        return std::nullopt;
    DayMenuHeader h;
    h.id = st.toInt64(0);
    h.date = parseIsoDate(st.toString(1));
    h.number = st.toString(2).trimmed();
    h.comment = st.toString(3);
    h.done = st.toBool(4);
    if (!st.isNull(5))
        h.planMenuId = st.toInt64(5);
    h.iddTm = st.toString(6);
    h.sum = st.toDouble(7);
    h.basisCode = int(st.toInt64(8));
    return h;
}

QStringList iddTmLines(Database& db, const QString& iddTm)
{
    QStringList lines;
    Statement day(db, QStringLiteral("SELECT dname FROM days WHERE id = ?1"));
    for (const QString& pair : iddTm.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split(QLatin1Char('*'));
        bool okMenu = false, okDay = false;
        const qint64 menuId = parts.value(0).trimmed().toLongLong(&okMenu);
        const qint64 dayId = parts.value(1).trimmed().toLongLong(&okDay);
        if (parts.size() != 2 || !okMenu || !okDay)
            continue;
        day.reset();
        day.bind(1, dayId);
        const QString dname = day.next() ? day.toString(0) : QString();
        lines << planMenuTitle(db, menuId) + QStringLiteral(" (") + dname + QLatin1Char(')');
    }
    return lines;
}

bool checkDayMenuNumber(Database& db, Prompt& prompt, DayMenuHeader& header)
{
    const QString nom = header.number.trimmed();
    // Numbers restart every year, so a number is taken only by a day menu of the same year.
    const int year = header.date.isValid() ? header.date.year() : Clock::today().year();
    const QString yearText = QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
    const qint64 taken = db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu WHERE TRIM(nom) = ?1 AND id <> ?2 "
                                                  "AND substr(ddate, 1, 4) = ?3"),
                                   {nom, header.id.value_or(-1), yearText})
                             .toLongLong();
    if (taken == 0)
        return true;

    // The highest number of the year by its numeric value; among equal values the first read.
    QString highest;
    double best = 0;
    bool any = false;
    Statement st(db, QStringLiteral("SELECT nom FROM day_menu WHERE substr(ddate, 1, 4) = ?1 ORDER BY id"));
    st.bind(1, yearText);
    while (st.next()) {
        const QString n = st.toString(0).trimmed();
        const double v = leadingNumber(n);
        if (!any || v > best) {
            best = v;
            highest = n;
            any = true;
        }
    }
    const QString next = incrementDocumentNumber(highest);
    const QString text = QStringLiteral("Значение \"") + nom +
                         QStringLiteral("\" поля \"Номер\" уже имеется в другом документе. Следующий номер документа \"") +
                         next +
                         QStringLiteral("\"? \"Да\" - заменить автоматически, \"Нет\" - изменить вручную.");
    if (prompt.ask(text, Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;
    header.number = next;
    return true;
}

qint64 saveDayMenuHeader(Database& db, const DayMenuHeader& h)
{
    const std::vector<QVariant> values = {
        h.date.isValid() ? QVariant(h.date) : QVariant(),
        h.number.trimmed(),
        h.comment,
        boolValue(h.done),
        h.planMenuId ? QVariant(*h.planMenuId) : QVariant(),
        h.iddTm,
        h.sum,
        h.basisCode,
    };
    if (h.id && db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu WHERE id = ?1"), {*h.id}).toLongLong() > 0) {
        std::vector<QVariant> params = values;
        params.push_back(*h.id);
        db.exec(QStringLiteral("UPDATE day_menu SET ddate = ?1, nom = ?2, comment = ?3, status = ?4, id_type_menu = ?5, "
                               "idd_tm = ?6, sum = ?7, filtr = ?8 WHERE id = ?9"),
                params);
        return *h.id;
    }
    db.exec(QStringLiteral("INSERT INTO day_menu (ddate, nom, comment, status, id_type_menu, idd_tm, sum, filtr) "
                           "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
            values);
    return db.lastInsertId();
}

QString dayMenuCaption(const DayMenuHeader& header)
{
    return QStringLiteral("Меню на день №") + header.number + QStringLiteral(" от ") +
           header.date.toString(QStringLiteral("dd.MM.yyyy"));
}

void setMenuRequirementGateway(MenuRequirementGateway g)
{
    gateway() = std::move(g);
}

namespace {

// The expense documents approved from this menu's menu-requirements carry the menu's date.
void alignExpenseDates(Database& db, Prompt& prompt, qint64 dayMenuId)
{
    const QVariant menuDate = db.scalar(QStringLiteral("SELECT substr(ddate, 1, 10) FROM day_menu WHERE id = ?1"),
                                        {dayMenuId});
    const qint64 differing =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTM tm JOIN MENUTR r ON r.IDM = tm.IDM "
                                 "JOIN expence_docum e ON e.id = r.id_ex "
                                 "WHERE tm.ID_day_menu = ?1 AND COALESCE(substr(e.ddate, 1, 10), '') <> COALESCE(?2, '')"),
                  {dayMenuId, menuDate})
            .toLongLong();
    if (differing == 0)
        return;
    const QString text = QStringLiteral(
        "Дата утвержденного документа меню на день должна соответствовать дате утвержденного документа расхода. "
        "Изменить дату у всех связанных документов? \"Да\" - изменить, \"Нет\" - оставить прежней.");
    if (prompt.ask(text, Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    Transaction tx(db);
    db.exec(QStringLiteral("UPDATE expence_docum SET ddate = ?2 WHERE id IN (SELECT r.id_ex FROM MENUTM tm "
                           "JOIN MENUTR r ON r.IDM = tm.IDM WHERE tm.ID_day_menu = ?1)"),
            {dayMenuId, menuDate});
    db.exec(QStringLiteral("UPDATE MENUTR SET date = ?2, date_m = ?2 WHERE id_ex IS NOT NULL AND id_ex <> 0 AND "
                           "IDM IN (SELECT IDM FROM MENUTM WHERE ID_day_menu = ?1)"),
            {dayMenuId, menuDate});
    tx.commit();
}

} // namespace

bool checkEatersEntered(Database& db, Prompt& prompt, qint64 dayMenuId)
{
    const double eaters = db.scalar(QStringLiteral("SELECT COALESCE(SUM(q.quantity), 0) FROM day_menu_point d "
                                                   "JOIN quantity_eating q ON q.id_day_menu_point = d.id "
                                                   "WHERE d.id_day_menu = ?1"),
                                    {dayMenuId})
                              .toDouble();
    if (eaters != 0)
        return true;
    prompt.info(QStringLiteral("Сначала введите количество питающихся."));
    return false;
}

ConfirmResult confirmDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId)
{
    const Answer a = prompt.ask(QStringLiteral("Открыть меню-требование? \"Да\" - открыть, \"Нет\" - сохранить меню на день "
                                               "как черновик, \"Отмена\" - вернуться."),
                                Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::No)
        return ConfirmResult::SavedAsDraft;
    if (a != Answer::Yes)
        return ConfirmResult::Returned;

    const MenuRequirementGateway& g = gateway();
    if (g.openForDayMenu) {
        alignExpenseDates(db, prompt, dayMenuId);
        return g.openForDayMenu(db, prompt, dayMenuId) ? ConfirmResult::MenuRequirementOpened : ConfirmResult::Stopped;
    }
    if (g.autoWriteOff && readOrganisationSwitches(db).avtSpis)
        g.autoWriteOff(db, prompt, dayMenuId);

    if (!checkEatersEntered(db, prompt, dayMenuId))
        return ConfirmResult::Stopped;
    if (!g.create || !g.open) {
        prompt.info(QStringLiteral("Функция недоступна в этой версии программы."));
        return ConfirmResult::Stopped;
    }

    alignExpenseDates(db, prompt, dayMenuId);

    std::vector<qint64> existing;
    QStringList items;
    Statement st(db, QStringLiteral("SELECT r.IDM, r.date, COALESCE(r.status, 0) FROM MENUTM tm JOIN MENUTR r ON "
                                    "r.IDM = tm.IDM WHERE tm.ID_day_menu = ?1 "
                                    "ORDER BY CASE WHEN COALESCE(r.status, 0) <> 0 THEN 1 ELSE 0 END, r.date, r.IDM"));
    st.bind(1, dayMenuId);
    while (st.next()) {
        existing.push_back(st.toInt64(0));
        items << parseIsoDate(st.toString(1)).toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" (") +
                     (st.toInt64(2) != 0 ? QStringLiteral("Утверждено") : QStringLiteral("Черновик")) +
                     QLatin1Char(')');
    }
    if (!existing.empty() &&
        prompt.ask(QStringLiteral("Уже есть составленные меню-требования. Создать новый документ меню-требования?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes) {
        const auto chosen = prompt.choose(QStringLiteral("Выберите меню-требование"),
                                          QStringLiteral("Выберите меню-требование"), items);
        if (!chosen || *chosen < 0 || *chosen >= int(existing.size())) {
            prompt.info(QStringLiteral("Не был выбран документ меню-требования."));
            return ConfirmResult::Stopped;
        }
        g.open(existing[size_t(*chosen)]);
        return ConfirmResult::MenuRequirementOpened;
    }
    const auto created = g.create(db, prompt, dayMenuId);
    if (!created)
        return ConfirmResult::Stopped;
    g.open(*created);
    return ConfirmResult::MenuRequirementOpened;
}

void showDayMenuHint(Prompt& prompt)
{
    const QString section = QStringLiteral("User");
    const QString key = QStringLiteral("vopr");
    const QString current = Settings::text(section, key).trimmed();
    if (!current.isEmpty() && current != QLatin1String("1"))
        return;
    const Answer a = prompt.ask(
        QStringLiteral("Меню на день создано. Вам необходимо ввести количество порций по каждому типу довольствующихся, "
                       "для этого дважды щелкните по строке с наименованием блюда и заполните количество. Показывать "
                       "это сообщение в дальнейшем?"),
        Buttons::YesNo, Answer::Yes);
    Settings::setText(section, key, a == Answer::Yes ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace rat::menu
