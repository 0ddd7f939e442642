// The day-menu journal (its list over a period and its deletion refused by a menu-requirement),
// the OK command of the document towards the menu-requirement, and the first-use hint.

#include "DayMenuFixture.h"

#include "core/Settings.h"
#include "refbooks/BookList.h"

using namespace rat;
using namespace rat::menu;

namespace {

class DayMenuJournal : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        pm = planMenu(QStringLiteral("Основное"), 1, 2);
        ya = eaterType(pm, QStringLiteral("Я"));
        soup = card(QStringLiteral("Суп"));
        yield(soup, ya, 200);
        menu = dayMenu(pm, QStringLiteral("7"), QStringLiteral("2026-12-03"));
        pt = point(menu, soup, 1);
        eaters(pt, ya, 0);
    }
    void TearDown() override
    {
        setMenuRequirementGateway({});
        DayMenuFixture::TearDown();
    }

    qint64 menuRequirement(qint64 dayMenuId, const QString& date, bool approved, QVariant expense = {})
    {
        const qint64 idm = insert(QStringLiteral("INSERT INTO MENUTR (date, status, id_ex, date_m) VALUES (?1, ?2, ?3, ?1)"),
                                  {date, approved ? -1 : 0, expense});
        db().exec(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu) VALUES (?1, ?2)"), {idm, dayMenuId});
        return idm;
    }

    const QString kConfirm = QStringLiteral("question: Открыть меню-требование? \"Да\" - открыть, \"Нет\" - сохранить "
                                            "меню на день как черновик, \"Отмена\" - вернуться. => ");
    qint64 pm = 0, ya = 0, soup = 0, menu = 0, pt = 0;
};

TEST_F(DayMenuJournal, ListsTheMenusOfThePeriodWhosePlanMenuExists)
{
    const qint64 monday = day(pm, QStringLiteral("Понедельник 1 неделя"));
    const qint64 tuesday = day(pm, QStringLiteral("Вторник 1 неделя"));
    // Plan days as stored: plan-menu*day, a menu of two days joined by "/".
    db().exec(QStringLiteral("UPDATE day_menu SET comment = 'Обычный', sum = 351.01, idd_tm = ?2 WHERE id = ?1"),
              {menu, QStringLiteral("%1*%2/%1*%3").arg(pm).arg(monday).arg(tuesday)});
    const qint64 done = dayMenu(pm, QStringLiteral("8"), QStringLiteral("2026-12-04"));
    db().exec(QStringLiteral("UPDATE day_menu SET status = -1 WHERE id = ?1"), {done});
    dayMenu(pm + 100, QStringLiteral("9"), QStringLiteral("2026-12-04"));  // its plan-menu is gone
    dayMenu(pm, QStringLiteral("10"), QStringLiteral("2026-11-30"));       // before the period

    books::ListFilter period;
    period.from = QDate(2026, 12, 1);
    period.to = QDate(2026, 12, 31);
    const books::BookList list = books::loadList(db(), entryDayMenuJournal, period);
    EXPECT_EQ(list.title, QStringLiteral("Журнал меню на день"));
    EXPECT_EQ(list.captions, QStringList({QStringLiteral("План-меню"), QStringLiteral("Организация меню"),
                                          QStringLiteral("Дата"), QStringLiteral("Комментарий"),
                                          QStringLiteral("Сумма, руб."), QStringLiteral("Статус"),
                                          QStringLiteral("Номер"), QStringLiteral("Плановые дни")}));
    EXPECT_EQ(list.ids, (std::vector<qint64>{menu, done}));
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0], QStringList({QStringLiteral("Основное (весенне-летний)"), QStringLiteral("по категориям блюд"),
                                         QStringLiteral("03.12.2026"), QStringLiteral("Обычный"),
                                         QStringLiteral("351,01"), QStringLiteral("Не выполнен расход"),
                                         QStringLiteral("7"),
                                         QStringLiteral("Основное (весенне-летний) (Понедельник 1 неделя); Основное "
                                                        "(весенне-летний) (Вторник 1 неделя)")}));
    EXPECT_EQ(list.rows[1][5], QStringLiteral("Выполнен расход"));
}

TEST_F(DayMenuJournal, DeletionRefusedByAMenuRequirementThenTheOthersOnYes)
{
    menuRequirement(menu, QStringLiteral("2026-12-03"), false);
    const QStringList untouched = state();
    const QString refusal =
        QStringLiteral("Невозможно удалить документ меню на день №\"7\", так как на него составлено меню-требование.");

    prompt.answers = {Answer::Yes};
    EXPECT_EQ(deleteDayMenus(db(), prompt, {menu}), 0);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Удалить выделенную строку? => Да"),
                                              QStringLiteral("critical: ") + refusal}));
    EXPECT_EQ(state(), untouched);

    // With another line selected the person decides whether to go on.
    const qint64 other = dayMenu(pm, QStringLiteral("8"));
    const qint64 otherPoint = point(other, soup, 1);
    eaters(otherPoint, ya, 5);
    const qint64 keptPoint = point(menu, soup, 2);
    eaters(keptPoint, ya, 1);
    const QStringList withOther = state();
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(deleteDayMenus(db(), prompt, {menu, other}), 0);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("question: ") + refusal + QStringLiteral("\n\nУдалить остальные выделенные "
                                                                                   "строки? => Нет")}));
    EXPECT_EQ(state(), withOther);

    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(deleteDayMenus(db(), prompt, {menu, other}), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu WHERE id = ?1"), {other}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_day_menu = ?1"), {other}), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM quantity_eating WHERE id_day_menu_point = ?1"), {otherPoint}), 0);
    // The refused menu keeps its points and counts.
    EXPECT_EQ(counts(menu), QStringList({QStringLiteral("Суп:Я=0"), QStringLiteral("Суп:Я=1")}));
}

TEST_F(DayMenuJournal, ConfirmingWithoutTheMenuRequirementModule)
{
    const QStringList untouched = state();
    prompt.answers = {Answer::No, Answer::Cancel, Answer::Yes};
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::SavedAsDraft);
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::Returned);
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::Stopped);
    EXPECT_EQ(prompt.events, QStringList({kConfirm + QStringLiteral("Нет"), kConfirm + QStringLiteral("Отмена"),
                                          kConfirm + QStringLiteral("Да"),
                                          QStringLiteral("info: Сначала введите количество питающихся.")}));
    EXPECT_EQ(state(), untouched);

    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 12"));
    const QStringList counted = state();
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::Stopped);
    EXPECT_EQ(prompt.events, QStringList({kConfirm + QStringLiteral("Да"),
                                          QStringLiteral("info: Функция недоступна в этой версии программы.")}));
    EXPECT_EQ(state(), counted);
}

TEST_F(DayMenuJournal, ConfirmingThroughTheMenuRequirementModule)
{
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 12"));
    db().exec(QStringLiteral("UPDATE INF SET AvtSpis = -1"));
    QStringList calls;
    qint64 nextId = 500;
    setMenuRequirementGateway({[&](Database&, Prompt&, qint64 id) -> std::optional<qint64> {
                                   calls << QStringLiteral("create %1").arg(id);
                                   return nextId;
                               },
                               [&](qint64 id) { calls << QStringLiteral("open %1").arg(id); },
                               [&](Database&, Prompt&, qint64 id) { calls << QStringLiteral("write-off %1").arg(id); }});

    // None yet: a new one is made and opened.
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::MenuRequirementOpened);
    EXPECT_EQ(calls, QStringList({QStringLiteral("write-off %1").arg(menu), QStringLiteral("create %1").arg(menu),
                                  QStringLiteral("open 500")}));
    EXPECT_EQ(prompt.events, QStringList({kConfirm + QStringLiteral("Да")}));

    // An approved one whose expense document is dated otherwise, and a draft.
    const qint64 expense = insert(QStringLiteral("INSERT INTO expence_docum ([№docum], ddate, status) VALUES ('1', "
                                                 "'2026-12-01', -1)"));
    const qint64 approved = menuRequirement(menu, QStringLiteral("2026-12-01"), true, expense);
    const qint64 draft = menuRequirement(menu, QStringLiteral("2026-12-02"), false);
    calls.clear();
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::No};
    prompt.choices = {1};
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::MenuRequirementOpened);
    EXPECT_EQ(calls, QStringList({QStringLiteral("write-off %1").arg(menu), QStringLiteral("open %1").arg(approved)}));
    EXPECT_EQ(prompt.events,
              QStringList({kConfirm + QStringLiteral("Да"),
                           QStringLiteral("question: Дата утвержденного документа меню на день должна соответствовать "
                                          "дате утвержденного документа расхода. Изменить дату у всех связанных "
                                          "документов? \"Да\" - изменить, \"Нет\" - оставить прежней. => Да"),
                           QStringLiteral("question: Уже есть составленные меню-требования. Создать новый документ "
                                          "меню-требования? => Нет"),
                           QStringLiteral("choose: Выберите меню-требование => 03.12.2026 (Утверждено)")}));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT ddate FROM expence_docum WHERE id = ?1"), {expense}).toString(),
              QStringLiteral("2026-12-03"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT date FROM MENUTR WHERE IDM = ?1"), {approved}).toString(),
              QStringLiteral("2026-12-03"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT date_m FROM MENUTR WHERE IDM = ?1"), {approved}).toString(),
              QStringLiteral("2026-12-03"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT date FROM MENUTR WHERE IDM = ?1"), {draft}).toString(),
              QStringLiteral("2026-12-02"));

    // The dates agree now; none picked from the list.
    calls.clear();
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    prompt.choices = {std::nullopt};
    EXPECT_EQ(confirmDayMenu(db(), prompt, menu), ConfirmResult::Stopped);
    EXPECT_EQ(prompt.messages().mid(2), QStringList({QStringLiteral("choose: Выберите меню-требование => "),
                                                     QStringLiteral("info: Не был выбран документ меню-требования.")}));
    EXPECT_EQ(calls, QStringList({QStringLiteral("write-off %1").arg(menu)}));
}

TEST_F(DayMenuJournal, FirstUseHintUntilTheAnswerIsNo)
{
    const QString hint = QStringLiteral(
        "question: Меню на день создано. Вам необходимо ввести количество порций по каждому типу довольствующихся, для "
        "этого дважды щелкните по строке с наименованием блюда и заполните количество. Показывать это сообщение в "
        "дальнейшем? => ");
    prompt.answers = {Answer::Yes, Answer::No};
    showDayMenuHint(prompt);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("vopr")), QStringLiteral("1"));
    showDayMenuHint(prompt);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("vopr")), QStringLiteral("0"));
    showDayMenuHint(prompt);  // no question any more
    EXPECT_EQ(prompt.events, QStringList({hint + QStringLiteral("Да"), hint + QStringLiteral("Нет")}));
}

} // namespace
