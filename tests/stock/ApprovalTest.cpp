// Approval of a menu-requirement: the save and close questions in both stock-accounting modes, the
// issue with its expense document and statuses, a second approval un-approving the first, the
// re-issue from a date after a receipt is confirmed, a lot changed or deleted, or a document deleted,
// and Cancel after edits.

#include "stock/StockFixture.h"

#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockChanges.h"
#include "stock/StockModule.h"
#include "refbooks/BookActions.h"
#include "core/AppState.h"
#include "core/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "stock/StockDocuments.h"
#include "stock/StockLots.h"

namespace rat::test {
namespace {

const QString issueQuestion = QStringLiteral("question: Выполнить расход? => ");

class Approval : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        pm = planMenu(QStringLiteral("Основное"), 2);
        garden = eaterType(pm, QStringLiteral("Сад"));
        lunch = meal(QStringLiteral("Обед"));
        potato = stockProduct(QStringLiteral("Картофель"));
        dm1 = menuOf(QStringLiteral("1"), QStringLiteral("2026-03-12"));
    }
    // A day menu of one dish needing 1 kg of potatoes (100 g for each of 10 eaters).
    qint64 menuOf(const QString& nom, const QString& date)
    {
        const qint64 dm = dayMenu(pm, nom, date);
        const qint64 c = card(QStringLiteral("Пюре ") + nom, 0, false);
        yield(c, garden, 100);
        recipeLine(c, potato, 100, 100);
        eaters(point(dm, c, lunch), garden, 10);
        return dm;
    }
    // Opens a new menu-requirement of the day menu and saves it with the answer given.
    stock::SaveOutcome approveNew(qint64 dm, std::optional<qint64>& idm, Answer answer = Answer::Yes)
    {
        if (count(QStringLiteral("SELECT COUNT(*) FROM MENUTM WHERE ID_day_menu = ?1"), {dm}) > 0)
            prompt.answers.push_back(Answer::Yes);  // a new document
        const auto opened = stock::openForDayMenu(db(), prompt, dm, QDate(2026, 3, 12));
        EXPECT_TRUE(opened.has_value());
        prompt.answers.push_back(answer);
        const auto outcome = stock::saveMenuRequirement(db(), prompt, opened->idm1, idm, 0);
        stock::clearWorkingCopy(db(), opened->idm1);
        return outcome;
    }
    qint64 expenseOf(qint64 idm) { return count(QStringLiteral("SELECT id_ex FROM MENUTR WHERE IDM = ?1"), {idm}); }
    qint64 statusOf(const QString& table, qint64 id)
    {
        return count(QStringLiteral("SELECT status FROM ") + table + QStringLiteral(" WHERE ") +
                         (table == QLatin1String("MENUTR") ? QStringLiteral("IDM") : QStringLiteral("id")) +
                         QStringLiteral(" = ?1"),
                     {id});
    }

    qint64 pm = 0, garden = 0, lunch = 0, potato = 0, dm1 = 0;
};

TEST_F(Approval, SecondApprovalUnapprovesTheFirstAndItsIssue)
{
    const qint64 r = receipt(QStringLiteral("2026-03-01"));
    const qint64 early = lot(r, potato, 1.5, QStringLiteral("2026-03-20"));
    lot(r, potato, 5, QStringLiteral("2026-04-20"));

    std::optional<qint64> first;
    EXPECT_EQ(approveNew(dm1, first), stock::SaveOutcome::Issued);
    EXPECT_EQ(prompt.messages(), QStringList({issueQuestion + QStringLiteral("Да")}));
    const qint64 ex1 = expenseOf(*first);
    ASSERT_NE(ex1, 0);
    EXPECT_EQ(statusOf(QStringLiteral("MENUTR"), *first), -1);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), ex1), -1);
    EXPECT_EQ(statusOf(QStringLiteral("day_menu"), dm1), -1);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT substr(ddate, 1, 10) FROM expence_docum WHERE id = ?1"), {ex1}).toString(),
              QStringLiteral("2026-03-12"));
    EXPECT_EQ(expenseLines(ex1), QStringList({QStringLiteral("%1:%2=1").arg(early).arg(garden)}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM expence_docum WHERE id = ?1"), {ex1}).toDouble(), 100);

    // The second issue does not see the first one's: it takes the same kilogram of the early lot.
    prompt.clear();
    std::optional<qint64> second;
    EXPECT_EQ(approveNew(dm1, second), stock::SaveOutcome::Issued);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Уже есть составленные меню-требования. Создать новый документ "
                                          "меню-требования? => Да"),
                           issueQuestion + QStringLiteral("Да")}));
    const qint64 ex2 = expenseOf(*second);
    EXPECT_NE(ex2, ex1);
    EXPECT_EQ(expenseLines(ex2), QStringList({QStringLiteral("%1:%2=1").arg(early).arg(garden)}));
    EXPECT_EQ(statusOf(QStringLiteral("MENUTR"), *first), 0);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), ex1), 0);
    EXPECT_EQ(statusOf(QStringLiteral("MENUTR"), *second), -1);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), ex2), -1);

    // Stored as not approved: the issue stops counting and the day menu is no longer done.
    const auto idm1 = stock::loadIntoWorkingCopy(db(), prompt, dm1, *second);
    prompt.answers = {Answer::No};
    EXPECT_EQ(stock::saveMenuRequirement(db(), prompt, *idm1, second, 0), stock::SaveOutcome::StoredNotApproved);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), ex2), 0);
    EXPECT_EQ(statusOf(QStringLiteral("day_menu"), dm1), 0);
    EXPECT_EQ(expenseLines(ex2).size(), 1);

    // Approved again: the same expense document is refilled.
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(stock::saveMenuRequirement(db(), prompt, *idm1, second, 0), stock::SaveOutcome::Issued);
    EXPECT_EQ(expenseOf(*second), ex2);
    EXPECT_EQ(expenseLines(ex2).size(), 1);
    EXPECT_EQ(statusOf(QStringLiteral("day_menu"), dm1), -1);
}

TEST_F(Approval, ShortageAskedAndNoLeavesItNotApproved)
{
    std::optional<qint64> idm;
    prompt.answers = {Answer::Yes};  // the issue, then the shortage accepted: charged to no lot, nothing to take
    EXPECT_EQ(approveNew(dm1, idm, Answer::Yes), stock::SaveOutcome::Issued);
    EXPECT_EQ(expenseLines(expenseOf(*idm)), QStringList());
    prompt.clear();
    const auto idm1 = stock::loadIntoWorkingCopy(db(), prompt, dm1, *idm);
    prompt.answers = {Answer::No};
    EXPECT_EQ(stock::saveMenuRequirement(db(), prompt, *idm1, idm, 0), stock::SaveOutcome::StoredNotApproved);
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(stock::saveMenuRequirement(db(), prompt, *idm1, idm, 0), stock::SaveOutcome::StoredNotApproved);
    EXPECT_EQ(prompt.messages(),
              QStringList({issueQuestion + QStringLiteral("Да"),
                           QStringLiteral("question: В меню-требовании используются продукты, которых либо нет на складе, "
                                          "либо нет необходимого количества. Выполнить расход? => Нет")}));
    EXPECT_EQ(statusOf(QStringLiteral("MENUTR"), *idm), 0);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), expenseOf(*idm)), 0);
}

TEST_F(Approval, WithoutStockAccountingApprovalWritesNoExpense)
{
    db().exec(QStringLiteral("UPDATE INF SET VestSkl = 0"));
    ASSERT_FALSE(stock::stockAccountingOn(db()));
    const auto opened = stock::openForDayMenu(db(), prompt, dm1, QDate(2026, 3, 12));
    ASSERT_TRUE(opened);
    std::optional<qint64> idm;
    prompt.answers = {Answer::No};
    EXPECT_EQ(stock::saveMenuRequirement(db(), prompt, opened->idm1, idm, 0), stock::SaveOutcome::StoredNotApproved);
    // Closing unchanged asks about the stored document that is not approved.
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(stock::closeMenuRequirement(db(), prompt, opened->idm1, idm, 0, false), stock::CloseOutcome::Approved);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Утвердить меню-требование? => Нет"),
                           QStringLiteral("question: Данное меню-требование не утверждено. Утвердить меню-требование? => Да")}));
    EXPECT_EQ(statusOf(QStringLiteral("MENUTR"), *idm), -1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expence_docum")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
}

TEST_F(Approval, CancelAfterEditsLeavesTheStoredDocumentAndNoWorkingCopy)
{
    const auto opened = stock::openForDayMenu(db(), prompt, dm1, QDate(2026, 3, 12));
    ASSERT_TRUE(opened);
    std::optional<qint64> idm;
    prompt.answers = {Answer::No};
    stock::saveMenuRequirement(db(), prompt, opened->idm1, idm, 0);
    const QStringList header = dump(QStringLiteral("MENUTR")), lines = dump(QStringLiteral("MENUTR_POINT"));
    const qint64 line = count(QStringLiteral("SELECT MIN(IDMP1) FROM MENUTR_POINT1 WHERE IDM1 = ?1"), {opened->idm1});
    ASSERT_TRUE(stock::setLineQuantity(db(), prompt, opened->idm1, line, 7));
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    EXPECT_EQ(stock::closeMenuRequirement(db(), prompt, opened->idm1, idm, 5, true),
              stock::CloseOutcome::ClosedWithoutStoring);
    EXPECT_EQ(prompt.messages(),
              QStringList({QStringLiteral("question: Были внесены изменения в меню-требование. Выполнить расход и сохранить "
                                          "меню-требование? \"Да\" - сохранить меню-требование и выполнить расход, \"Нет\" - "
                                          "сохранить изменения в меню-требовании, \"Отмена\" - не сохранять изменения. => Отмена")}));
    EXPECT_EQ(dump(QStringLiteral("MENUTR")), header);
    EXPECT_EQ(dump(QStringLiteral("MENUTR_POINT")), lines);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTM1")), 0);
}

class Reissue : public Approval {
protected:
    void SetUp() override
    {
        Approval::SetUp();
        dm2 = menuOf(QStringLiteral("2"), QStringLiteral("2026-03-14"));
        late = lot(receipt(QStringLiteral("2026-03-01")), potato, 5, QStringLiteral("2026-04-30"), 100);
        EXPECT_EQ(approveNew(dm1, idm1), stock::SaveOutcome::Issued);
        EXPECT_EQ(approveNew(dm2, idm2), stock::SaveOutcome::Issued);
        // A receipt dated before both, not yet approved, with a cheaper lot expiring sooner.
        cheap = receipt(QStringLiteral("2026-03-05"), false, QStringLiteral("П-2"));
        early = lot(cheap, potato, 1.5, QStringLiteral("2026-03-20"), 50);
        prompt.clear();
    }
    QString line(qint64 lotId, double q) { return QStringLiteral("%1:%2=%3").arg(lotId).arg(garden).arg(q); }
    const QString first = QStringLiteral(
        "question: Изменения этого документа затрагивают партионный учет продуктов на складе. Сейчас программа будет "
        "заново заполнять и утверждать документы по расходу продуктов (на основании утвержденных меню-требований), "
        "начиная с даты 05.03.2026. Это может занять несколько минут. Выполнить? => ");
    const QString second = QStringLiteral(
        "question: Внимание: документы \"Расход\" будут заполнены заново. Если Вы вручную корректировали эти документы то "
        "изменения, внесенные вручную, начиная с даты 05.03.2026 будут потеряны. (Меню-требования, заказ, приход, "
        "списание остаются без изменений.) Выполнить? => ");
    const QString confirm = QStringLiteral(
        "question: Утвердить приход? \"Да\" - утвердить, \"Нет\" - сохранить как черновик, \"Отмена\" - вернуться. => Да");

    qint64 dm2 = 0, late = 0, cheap = 0, early = 0;
    std::optional<qint64> idm1, idm2;
};

TEST_F(Reissue, ConfirmedReceiptReissuesBothInDateOrder)
{
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(late, 1)}));
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(stock::confirmStockDocument(db(), prompt, stock::StockKind::Receipt, cheap), stock::StockConfirm::Approved);
    EXPECT_EQ(prompt.messages(),
              QStringList({confirm, first + QStringLiteral("Да"), second + QStringLiteral("Да"),
                           QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена.")}));
    // The earlier day takes the kilogram of the early lot, the later one its half and the rest of the late lot.
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(early, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(early, 0.5), line(late, 0.5)}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM expence_docum WHERE id = ?1"), {expenseOf(*idm1)}).toDouble(),
                     50);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), expenseOf(*idm2)), -1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM MENUTR1")), 0);
}

TEST_F(Reissue, RefusalsLeaveTheExpenseDocuments)
{
    const QStringList before = dump(QStringLiteral("expense"));
    prompt.answers = {Answer::Yes, Answer::No};
    stock::confirmStockDocument(db(), prompt, stock::StockKind::Receipt, cheap);
    EXPECT_EQ(prompt.messages(),
              QStringList({confirm, first + QStringLiteral("Нет"),
                           QStringLiteral("warning: Поскольку перерасчет расходования партий продуктов не был выполнен, то "
                                          "остатки по складу по партиям товаров могут быть некорректны. Общее количество "
                                          "оставшихся продуктов по всем партиям остается верным.")}));
    prompt.clear();
    prompt.answers = {Answer::No, Answer::Yes, Answer::No};
    stock::confirmStockDocument(db(), prompt, stock::StockKind::Receipt, cheap);
    EXPECT_EQ(prompt.messages().size(), 3);
    EXPECT_EQ(dump(QStringLiteral("expense")), before);
}

TEST_F(Reissue, ExceptDayMenuAndLaterDatesOnly)
{
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 13), dm1));
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(late, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(late, 1)}));  // the receipt still not approved
    prompt.clear();
    EXPECT_FALSE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 15)));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(Reissue, UnconfirmedIssueStaysUnconfirmedAndLaterDaysFollow)
{
    const qint64 ex1 = expenseOf(*idm1);
    prompt.answers = {Answer::No, Answer::Yes, Answer::Yes};
    EXPECT_EQ(stock::confirmStockDocument(db(), prompt, stock::StockKind::Expense, ex1), stock::StockConfirm::Draft);
    EXPECT_EQ(prompt.messages().size(), 4);
    EXPECT_TRUE(prompt.messages().value(1).contains(QStringLiteral("начиная с даты 12.03.2026.")));
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), ex1), 0);
    EXPECT_EQ(statusOf(QStringLiteral("expence_docum"), expenseOf(*idm2)), -1);
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(late, 1)}));
}

TEST_F(Reissue, WriteOffsBetweenTheDaysCountOnlyFromTheirDate)
{
    // The cheap lot's remaining half is written off between the two days; a write-off of the late
    // lot after both days does not count for them.
    db().exec(QStringLiteral("UPDATE receipt SET status = -1 WHERE id = ?1"), {cheap});
    writeOff(QStringLiteral("2026-03-13"), early, 0.5);
    writeOff(QStringLiteral("2026-03-20"), late, 4);
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 5)));
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(early, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(late, 1)}));
    const auto lots = stock::lotRemnants(db(), QDate(2026, 3, 20));
    ASSERT_EQ(lots.size(), 2u);
    EXPECT_DOUBLE_EQ(lots[0].remnant, 0);  // early: 1.5 - 1 - 0.5
    EXPECT_DOUBLE_EQ(lots[1].remnant, 0);  // late: 5 - 1 - 4
}

// The date in both re-issue questions, and the answers Yes, Yes with the final message.
QStringList reissuedFrom(const QString& date)
{
    return {QStringLiteral("question: Изменения этого документа затрагивают партионный учет продуктов на складе. Сейчас "
                           "программа будет заново заполнять и утверждать документы по расходу продуктов (на основании "
                           "утвержденных меню-требований), начиная с даты ") +
                date + QStringLiteral(". Это может занять несколько минут. Выполнить? => Да"),
            QStringLiteral("question: Внимание: документы \"Расход\" будут заполнены заново. Если Вы вручную корректировали "
                           "эти документы то изменения, внесенные вручную, начиная с даты ") +
                date + QStringLiteral(" будут потеряны. (Меню-требования, заказ, приход, списание остаются без изменений.) "
                                      "Выполнить? => Да"),
            QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена.")};
}

TEST_F(Reissue, ChangedLotReissuesFromItsDate)
{
    // The cheap receipt approved without a re-issue: the issues still take the late lot.
    db().exec(QStringLiteral("UPDATE receipt SET status = -1 WHERE id = ?1"), {cheap});
    stock::LotInput in;
    in.id = early;
    in.receiptId = cheap;
    in.productId = potato;
    in.quantity = 2;
    in.cost = 50;
    in.sellBy = QDate(2026, 3, 20);
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::saveLot(db(), prompt, in));
    EXPECT_EQ(prompt.messages(), reissuedFrom(QStringLiteral("05.03.2026")));
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(early, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(early, 1)}));
}

TEST_F(Reissue, LotMovedPastADayLeavesNoLinesOnIt)
{
    // A lot entered directly on 01.03 and taken by both days, moved to 13.03: the first day no
    // longer sees it, the re-issue starts from its earlier date.
    db().exec(QStringLiteral("DELETE FROM expense"));
    db().exec(QStringLiteral("DELETE FROM storage WHERE id = ?1"), {late});
    const qint64 direct = directLot(potato, 5, QStringLiteral("2026-03-01"), QStringLiteral("2026-04-30"));
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 1)));
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(direct, 1)}));
    prompt.clear();
    stock::LotInput in;
    in.id = direct;
    in.productId = potato;
    in.quantity = 5;
    in.cost = 100;
    in.date = QDate(2026, 3, 13);
    in.sellBy = QDate(2026, 4, 30);
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::saveLot(db(), prompt, in));
    EXPECT_EQ(prompt.messages(), reissuedFrom(QStringLiteral("01.03.2026")));
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList());
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM expence_docum WHERE id = ?1"), {expenseOf(*idm1)}).toDouble(),
                     0);
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(direct, 1)}));
}

TEST_F(Reissue, DeletedIssuedLotGoesWithItsLinesAndTheDaysTakeWhatIsLeft)
{
    db().exec(QStringLiteral("UPDATE receipt SET status = -1 WHERE id = ?1"), {cheap});
    const qint64 lateReceipt = count(QStringLiteral("SELECT id_receipt FROM storage WHERE id = ?1"), {late});
    prompt.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(stock::deleteStockLines(db(), prompt, stock::StockKind::Receipt, lateReceipt, {late}), 1);
    EXPECT_EQ(prompt.messages(), reissuedFrom(QStringLiteral("01.03.2026")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expense WHERE id_storage = ?1"), {late}), 0);
    // 1 kg of the 1.5 kg lot on the first day; the second takes the half left and its shortage of 0.5.
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(early, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(early, 1)}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM receipt WHERE id = ?1"), {lateReceipt}).toDouble(), 0);
}

TEST_F(Reissue, LotDeletionRefusedOrReissueDeclined)
{
    const qint64 lateReceipt = count(QStringLiteral("SELECT id_receipt FROM storage WHERE id = ?1"), {late});
    // Written off: the lot stays and nothing changes.
    writeOff(QStringLiteral("2026-03-20"), late, 1);
    const QStringList before = dump(QStringLiteral("storage")) + dump(QStringLiteral("expense"));
    EXPECT_EQ(stock::deleteStockLines(db(), prompt, stock::StockKind::Receipt, lateReceipt, {late}), 0);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("warning: Партию продукта \"Картофель\" удалить невозможно: "
                                                             "из нее уже выполнен расход или списание.")}));
    EXPECT_EQ(dump(QStringLiteral("storage")) + dump(QStringLiteral("expense")), before);
    // Without the write-off, and the re-issue declined: the lot goes with its lines all the same.
    db().exec(QStringLiteral("DELETE FROM spisanie_point"));
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_EQ(stock::deleteStockLines(db(), prompt, stock::StockKind::Receipt, lateReceipt, {late}), 1);
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_TRUE(prompt.messages().value(1).startsWith(QStringLiteral("warning: Поскольку перерасчет")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM expense")), 0);
}

TEST_F(Reissue, DeletedDocumentsReissueFromTheEarliestApprovedDate)
{
    // An approved write-off of the late lot between the days and a draft one before them: deleting
    // both re-issues from the approved one's date only.
    const qint64 approved = writeOff(QStringLiteral("2026-03-13"), late, 4);
    const qint64 draft = writeOff(QStringLiteral("2026-03-02"), late, 1, false);
    stock::registerStockJournals();
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 13)));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(late, 1)}));  // 0 left: the shortage on it
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(books::deleteRows(db(), prompt, 25, {draft, approved}).deleted, 2);
    const QStringList shown = prompt.messages();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown.mid(1), reissuedFrom(QStringLiteral("13.03.2026")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM spisanie_point")), 0);

    // A draft alone: no re-issue.
    const qint64 another = writeOff(QStringLiteral("2026-03-02"), late, 1, false);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(books::deleteRows(db(), prompt, 25, {another}).deleted, 1);
    EXPECT_EQ(prompt.messages().size(), 1);
}

TEST_F(Reissue, DeletedReceiptTakesItsIssuedLotsAndTheirLines)
{
    db().exec(QStringLiteral("UPDATE receipt SET status = -1 WHERE id = ?1"), {cheap});
    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 5)));
    ASSERT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(early, 1)}));
    stock::registerStockJournals();
    prompt.clear();
    prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(books::deleteRows(db(), prompt, 24, {cheap}).deleted, 1);
    EXPECT_EQ(prompt.messages().mid(1), reissuedFrom(QStringLiteral("05.03.2026")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id = ?1"), {early}), 0);
    EXPECT_EQ(expenseLines(expenseOf(*idm1)), QStringList({line(late, 1)}));
    EXPECT_EQ(expenseLines(expenseOf(*idm2)), QStringList({line(late, 1)}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM expence_docum WHERE id = ?1"), {expenseOf(*idm1)}).toDouble(),
                     100);
}

TEST_F(Reissue, FileCopiedToTheArchiveFirstAndOnlyTheLastTenKept)
{
    const QFileInfo info(db().path());
    const QString stem = info.completeBaseName() + QStringLiteral("_перед_перерасчетом_");
    const QString ext = QLatin1Char('.') + info.suffix();
    QDir archive(QDir(app().appDir).filePath(QStringLiteral("Архив")));
    ASSERT_TRUE(archive.mkpath(QStringLiteral(".")));
    for (int day = 1; day <= 10; ++day) {
        QFile f(archive.filePath(stem + QStringLiteral("2020-01-%1").arg(day, 2, 10, QLatin1Char('0')) + ext));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.setFileTime(QDateTime(QDate(2020, 1, day), QTime(12, 0)), QFileDevice::FileModificationTime);
    }
    QFile own(archive.filePath(QStringLiteral("своя копия") + ext));  // a copy of the person's own stays
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    const QStringList lines = dump(QStringLiteral("expense"));

    prompt.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(stock::reissueFromDate(db(), prompt, QDate(2026, 3, 1)));
    const QString copy = stem + Clock::today().toString(QStringLiteral("yyyy-MM-dd")) + ext;
    EXPECT_TRUE(prompt.events.contains(QStringLiteral("status: Перед перерасчетом партий база данных сохранена в папке "
                                                      "Архив: ") +
                                       copy + QStringLiteral(" (хранятся 10 последних копий).")));
    EXPECT_TRUE(archive.exists(copy));
    EXPECT_FALSE(archive.exists(stem + QStringLiteral("2020-01-01") + ext));
    EXPECT_TRUE(archive.exists(stem + QStringLiteral("2020-01-02") + ext));
    EXPECT_TRUE(archive.exists(QStringLiteral("своя копия") + ext));
    // The copy is the file before the re-issue.
    Database saved(archive.filePath(copy), false);
    Statement st(saved, QStringLiteral("SELECT COUNT(*) FROM expense"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.toInt64(0), lines.size());
}

} // namespace
} // namespace rat::test
