// The synthetic ten-year kindergarten file of the benchmarks: products, cards, plan-menus,
// day menus and whole menu-requirements written in bulk.

#include "KindergartenData.h"

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"

#include <QDate>
#include <QStringList>
#include <functional>
#include <vector>

namespace rat::bench {
namespace {

// Product of line `k` of card `card`: 11 is prime to the product count used, so the products
// of one card are all different and no recipe line repeats.
int cardProduct(int card, int k, int products)
{
    return (card * 7 + k * 11) % products + 1;
}

// Card of dish `k` of meal `eating` on plan day `day`: 7 steps keep the dishes of one meal
// apart, so no plan-menu entry repeats.
int planCard(int day, int eating, int k, int cards)
{
    return (day * 53 + eating * 17 + k * 7) % cards + 1;
}

void insertRows(Database& db, const QString& sql, int count,
                const std::function<std::vector<QVariant>(int)>& row)
{
    Statement st(db, sql);
    for (int i = 0; i < count; ++i) {
        st.reset();
        st.bindAll(row(i));
        st.exec();
    }
}

QStringList names(const char* const* list, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString::fromUtf8(list[i]);
    return out;
}

void fillReferenceBooks(Database& db, const KindergartenSize& s)
{
    db.exec(QStringLiteral(
                "INSERT INTO INF (Naim, FamDir, ImDir, OtchDir, REF, appMajor, appMinor, appRevision, AREF, ASEC, "
                "norms, eatings, [5week]) VALUES (?1, ?2, ?3, ?4, 0, ?5, ?6, ?7, 0, 0, -1, -1, -1)"),
            {QStringLiteral("Детский сад №2"), QStringLiteral("Иванова"), QStringLiteral("Мария"),
             QStringLiteral("Петровна"), 10, 4, 4});

    static const char* const units[] = {"кг", "л", "шт"};
    const QStringList unitNames = names(units, 3);
    insertRows(db, QStringLiteral("INSERT INTO ed_izmer (ename, koef) VALUES (?1, ?2)"), 3,
               [&](int i) { return std::vector<QVariant>{unitNames[i], i == 2 ? 1.0 : 1000.0}; });

    insertRows(db, QStringLiteral("INSERT INTO product_group (pname) VALUES (?1)"), s.productGroups,
               [](int i) { return std::vector<QVariant>{QStringLiteral("Группа %1").arg(i + 1)}; });

    insertRows(db,
               QStringLiteral("INSERT INTO products (pname, id_ed_izmer, id_product_group, fat, protein, carbohyd, "
                              "calories, time_storage, time_period, schif, plpris, trueVit, trueLak, rule_okr, "
                              "P_NDS) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, 0, 0, 3, 0)"),
               s.products, [&](int i) {
                   return std::vector<QVariant>{QStringLiteral("Продукт %1").arg(i + 1), i % 3 + 1,
                                                i % s.productGroups + 1, 0.1 * (i % 50), 0.2 * (i % 40),
                                                0.3 * (i % 70), 1.5 * (i % 400), 30, 1,
                                                QStringLiteral("%1").arg(1000 + i), 0.0};
               });

    static const char* const eaters[] = {"Ясли", "Сад"};
    const QStringList eaterNames = names(eaters, 2);
    insertRows(db,
               QStringLiteral("INSERT INTO type_eating (ename, shname, status, id_type_menu, Pes, Kod) "
                              "VALUES (?1, ?2, -1, 1, 0, ?3)"),
               s.typeEatings, [&](int i) {
                   const QString name = i < eaterNames.size() ? eaterNames[i] : QStringLiteral("Группа %1").arg(i + 1);
                   return std::vector<QVariant>{name, name.left(3), QString::number(i + 1)};
               });

    static const char* const meals[] = {"Завтрак", "Второй завтрак", "Обед", "Полдник", "Ужин"};
    const QStringList mealNames = names(meals, 5);
    insertRows(db, QStringLiteral("INSERT INTO eating (ename, TIME) VALUES (?1, ?2)"), s.eatings, [&](int i) {
        const QString name = i < mealNames.size() ? mealNames[i] : QStringLiteral("Приём %1").arg(i + 1);
        return std::vector<QVariant>{name, QDateTime(QDate(1899, 12, 30), QTime(8 + 2 * i, 0))};
    });

    insertRows(db, QStringLiteral("INSERT INTO type_meal (tname) VALUES (?1)"), 8,
               [](int i) { return std::vector<QVariant>{QStringLiteral("Вид блюда %1").arg(i + 1)}; });
    insertRows(db, QStringLiteral("INSERT INTO type_culinary (cname) VALUES (?1)"), 6,
               [](int i) { return std::vector<QVariant>{QStringLiteral("Обработка %1").arg(i + 1)}; });

    insertRows(db,
               QStringLiteral("INSERT INTO card_recipes (cname, id_type_meal, id_type_culinary, description, fat, "
                              "protein, carbohyd, calories, number1, vih, id_receptur) "
                              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, 100, 1)"),
               s.cards, [](int i) {
                   return std::vector<QVariant>{QStringLiteral("Блюдо %1").arg(i + 1), i % 8 + 1, i % 6 + 1,
                                                QStringLiteral("Технология приготовления блюда %1").arg(i + 1),
                                                0.5 * (i % 30), 0.4 * (i % 25), 1.1 * (i % 60), 3.0 * (i % 300),
                                                QString::number(i % 999 + 1)};
               });

    // Recipe lines, card by card.
    insertRows(db,
               QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isComment, isVariant, "
                              "id_MainCard, isCard, vih_kol, brutto2, netto2) "
                              "VALUES (?1, ?2, ?3, ?4, 0, 0, 0, 0, 100, 0, 0)"),
               s.cards * s.linesPerCard, [&](int i) {
                   const int card = i / s.linesPerCard;
                   const int k = i % s.linesPerCard;
                   const double brutto = 5 + (i % 97);
                   return std::vector<QVariant>{card + 1, cardProduct(card, k, s.products), brutto, brutto * 0.85};
               });

    insertRows(db,
               QStringLiteral("INSERT INTO type_menu (tname, status, sumdolpotr, sezon) VALUES (?1, -1, 100, ?2)"),
               s.typeMenus, [](int i) {
                   return std::vector<QVariant>{QStringLiteral("Меню %1").arg(i + 1), i % 2 + 1};
               });
    const int planDays = s.typeMenus * s.daysPerTypeMenu;
    insertRows(db, QStringLiteral("INSERT INTO days (dname, id_type_menu) VALUES (?1, ?2)"), planDays,
               [&](int i) {
                   return std::vector<QVariant>{QStringLiteral("День %1").arg(i % s.daysPerTypeMenu + 1),
                                                i / s.daysPerTypeMenu + 1};
               });
    const int perDay = s.eatings * s.cardsPerPlanMeal;
    insertRows(db,
               QStringLiteral("INSERT INTO plan_menu (id_day, id_eating, id_card_recipes, id_type_meal) "
                              "VALUES (?1, ?2, ?3, ?4)"),
               planDays * perDay, [&](int i) {
                   const int day = i / perDay;
                   const int eating = i % perDay / s.cardsPerPlanMeal;
                   const int card = planCard(day, eating, i % s.cardsPerPlanMeal, s.cards);
                   return std::vector<QVariant>{day + 1, eating + 1, card, (card - 1) % 8 + 1};
               });
}

// Day menus with their dishes and eater counts, and one menu-requirement per working day.
void fillDailyWork(Database& db, const KindergartenSize& s)
{
    std::vector<QDate> dates;
    for (QDate d(2015, 1, 12); int(dates.size()) < s.workingDays; d = d.addDays(1))
        if (d.dayOfWeek() <= 5)
            dates.push_back(d);

    Statement dayMenu(db, QStringLiteral(
        "INSERT INTO day_menu (id, ddate, status, comment, id_type_menu, nom, filtr, idd_tm) "
        "VALUES (?1, ?2, -1, NULL, ?3, ?4, 0, '')"));
    Statement point(db, QStringLiteral(
        "INSERT INTO day_menu_point (id, id_card_recipe, id_day_menu, id_eating) VALUES (?1, ?2, ?3, ?4)"));
    Statement quantity(db, QStringLiteral(
        "INSERT INTO quantity_eating (id_day_menu_point, id_type_eating, quantity) VALUES (?1, ?2, ?3)"));
    Statement header(db, QStringLiteral(
        "INSERT INTO MENUTR (IDM, date, status, id_ex, date_m, nom_m, STOIM) VALUES (?1, ?2, -1, 0, ?2, ?3, ?4)"));
    Statement link(db, QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu, IDSkl) VALUES (?1, ?2, 1)"));
    Statement line(db, QStringLiteral(
        "INSERT INTO MENUTR_POINT (id_product, id_type_eating, id_eating, id_card, kol, kolv, output, IDM) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));

    // 300 children: about a third in the nursery groups.
    const int children[] = {100, 200};
    qint64 pointId = 0;
    for (int day = 0; day < s.workingDays; ++day) {
        const int idDay = day + 1;
        const int typeMenu = day * s.typeMenus / s.workingDays + 1;
        const int planDay = (typeMenu - 1) * s.daysPerTypeMenu + day % s.daysPerTypeMenu;
        dayMenu.reset();
        dayMenu.bindAll({idDay, dates[size_t(day)], typeMenu, QString::number(day % 250 + 1)});
        dayMenu.exec();

        header.reset();
        header.bindAll({idDay, dates[size_t(day)], QString::number(day % 250 + 1), 25000.0 + day % 1000});
        header.exec();
        link.reset();
        link.bindAll({idDay, idDay});
        link.exec();

        for (int eating = 0; eating < s.eatings; ++eating) {
            for (int dish = 0; dish < s.dishesPerMeal; ++dish) {
                const int card = planCard(planDay, eating, dish, s.cards);
                ++pointId;
                point.reset();
                point.bindAll({pointId, card, idDay, eating + 1});
                point.exec();
                for (int te = 0; te < s.typeEatings; ++te) {
                    const int kids = children[te % 2] - (day * 7 + te) % 15;
                    quantity.reset();
                    quantity.bindAll({pointId, te + 1, kids});
                    quantity.exec();
                    for (int k = 0; k < s.productsPerDish; ++k) {
                        const double kol = 5 + (card + k) % 60;
                        line.reset();
                        line.bindAll({cardProduct(card - 1, k, s.products), te + 1, eating + 1, card, kol,
                                      kol * kids / 1000.0, 150.0 + 50 * te, idDay});
                        line.exec();
                    }
                }
            }
        }
    }
}

// Suppliers, receipts and their stock lots.
void fillStore(Database& db, const KindergartenSize& s)
{
    insertRows(db, QStringLiteral("INSERT INTO supplier (sname, phone, contact) VALUES (?1, ?2, ?3)"), 12,
               [](int i) {
                   return std::vector<QVariant>{QStringLiteral("Поставщик %1").arg(i + 1),
                                                QStringLiteral("8 700 000 %1").arg(i, 2, 10, QLatin1Char('0')),
                                                QStringLiteral("Менеджер %1").arg(i + 1)};
               });
    const QDate first(2015, 1, 5);
    insertRows(db,
               QStringLiteral("INSERT INTO receipt ([№docum], id_supplier, rdate, status, nomerNakl, nomerNaklText, SUM) "
                              "VALUES (?1, ?2, ?3, -1, ?4, ?5, ?6)"),
               s.receipts, [&](int i) {
                   return std::vector<QVariant>{QString::number(i + 1), i % 12 + 1, first.addDays(i * 6), i + 1,
                                                QString::number(i + 1), 150000.0 + i};
               });
    insertRows(db,
               QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, id_receipt, cost, "
                              "id_ed_izmer, nds, status, IDSS, sum_NDS, OrgOc, tempHr, rddate) "
                              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, -1, 1, 0, '', 0, ?7)"),
               s.receipts * s.lotsPerReceipt, [&](int i) {
                   const int receipt = i / s.lotsPerReceipt;
                   const int product = (receipt * 13 + (i % s.lotsPerReceipt) * 11) % s.products + 1;
                   const QDate d = first.addDays(receipt * 6);
                   return std::vector<QVariant>{product, 1.0 + i % 40, d.addDays(30), receipt + 1,
                                                100.0 + i % 900, (product - 1) % 3 + 1, d};
               });
}

} // namespace

void createKindergartenFile(const QString& path, const KindergartenSize& size)
{
    SilentPrompt prompt;
    DatabaseSession session(prompt);
    if (!session.createDatabase(path))
        throw DbError(0, QStringLiteral("the new file was refused"));
    Database& db = session.db();
    Transaction tx(db);
    fillReferenceBooks(db, size);
    fillDailyWork(db, size);
    fillStore(db, size);
    tx.commit();
}

int addOrphans(Database& db, const KindergartenSize& s)
{
    Transaction tx(db);
    int added = 0;
    const qint64 firstIdm = db.scalar(QStringLiteral("SELECT max(IDM) FROM MENUTR")).toLongLong() + 1;
    auto header = [&](qint64 idm) {
        added += db.exec(QStringLiteral("INSERT INTO MENUTR (IDM, date, status, nom_m) VALUES (?1, ?2, -1, 'x')"),
                         {idm, QDate(2025, 1, 1)});
    };
    auto link = [&](qint64 idm, qint64 dayMenu) {
        added += db.exec(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu, IDSkl) VALUES (?1, ?2, 1)"),
                         {idm, dayMenu});
    };
    auto lines = [&](qint64 idm) {
        for (int k = 0; k < 10; ++k)
            added += db.exec(QStringLiteral("INSERT INTO MENUTR_POINT (id_product, id_type_eating, id_eating, "
                                            "id_card, kol, kolv, output, IDM) VALUES (?1, 1, 1, 1, 10, 1, 150, ?2)"),
                             {k + 1, idm});
    };
    // Two whole requirements of a day menu that was deleted.
    for (qint64 idm = firstIdm; idm < firstIdm + 2; ++idm) {
        header(idm);
        link(idm, s.workingDays + 1000);
        lines(idm);
    }
    // Two headers alone, a requirement without its day-menu link, and lines without anything.
    header(firstIdm + 2);
    header(firstIdm + 3);
    header(firstIdm + 4);
    lines(firstIdm + 4);
    lines(firstIdm + 5);

    // One recipe line standing seven times, and two plan-menu entries entered twice.
    for (int k = 0; k < 6; ++k)
        added += db.exec(QStringLiteral("INSERT INTO recipes (id_card_recipes, id_product, brutto, netto, isComment, "
                                        "isVariant, id_MainCard, comment, isCard, vih_kol, brutto2, netto2) "
                                        "SELECT id_card_recipes, id_product, brutto, netto, isComment, isVariant, "
                                        "id_MainCard, comment, isCard, vih_kol, brutto2, netto2 FROM recipes "
                                        "WHERE id = 1"));
    added += db.exec(QStringLiteral("INSERT INTO plan_menu (id_day, id_eating, id_card_recipes, id_type_meal) "
                                    "SELECT id_day, id_eating, id_card_recipes, id_type_meal FROM plan_menu "
                                    "WHERE id IN (1, 2)"));
    tx.commit();
    return added;
}

TableCounts countRows(Database& db)
{
    auto count = [&](const char* table) {
        return db.scalar(QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(table)).toLongLong();
    };
    return {count("MENUTR"), count("MENUTM"), count("MENUTR_POINT"),
            count("recipes"), count("plan_menu"), count("day_menu")};
}

QString describe(const TableCounts& c)
{
    return QStringLiteral("MENUTR %1, MENUTM %2, MENUTR_POINT %3, recipes %4, plan_menu %5, day_menu %6")
        .arg(c.menutr).arg(c.menutm).arg(c.menutrPoint).arg(c.recipes).arg(c.planMenu).arg(c.dayMenu);
}

} // namespace rat::bench
