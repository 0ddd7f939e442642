// The approval commands of the headless tool, run as a separate process: a menu-requirement
// opened and issued, closed, re-issued from a date, and the write-off of expired lots.

#include "StockToolFixture.h"

#include "core/Database.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << l.join(QStringLiteral(" | ")).toStdString();
}

class ApprovalCli : public rat::test::StockToolTest {
protected:
    ApprovalCli() : StockToolTest(QStringLiteral("утверждение.db")) {}
    // One value read straight from the file between runs.
    QString query(const QString& sql) const
    {
        rat::Database db(path(), false);
        return db.scalar(sql).toString();
    }
};

TEST_F(ApprovalCli, IssueReissueAndWriteOff)
{
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("800"),
                                     QStringLiteral("2026-11-01"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-20")});
    const QString filling = QStringLiteral("status: Идет заполнение меню-требования...");
    const QString done = QStringLiteral("status: Готово");
    const QString header = QStringLiteral("IDM\tСтатус\tРасход\tСтатус расхода\tСумма расхода");
    EXPECT_EQ(run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да")}),
              QStringList({filling, done, QStringLiteral("question: Выполнить расход? => Да"), header,
                           QStringLiteral("1\tУтверждено\t1\tУтверждено\t160")}));
    // Cancel stores nothing.
    EXPECT_EQ(run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да"),
                                                        QStringLiteral("--answer"), QStringLiteral("Отмена")}, 1)
                  .last(),
              QStringLiteral("question: Выполнить расход? => Отмена"));
    EXPECT_EQ(run1(QStringLiteral("menu-requirement-close"), {QStringLiteral("1")}),
              QStringList({filling, done, header, QStringLiteral("1\tУтверждено\t1\tУтверждено\t160")}));

    // A cheaper lot entered before the day: the issue moves to it.
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("500"),
                                     QStringLiteral("2026-11-02"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-10")});
    const QStringList reissued = run1(QStringLiteral("reissue-from"), {QStringLiteral("2026-11-02"), QStringLiteral("--answer"),
                                                                      QStringLiteral("Да"), QStringLiteral("--answer"),
                                                                      QStringLiteral("Да")});
    ASSERT_GE(reissued.size(), 2);
    EXPECT_EQ(reissued.mid(reissued.size() - 3),
              QStringList({QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена."),
                           QStringLiteral("IDM\tДата\tРасход\tСумма расхода"), QStringLiteral("1\t2026-12-05\t1\t100")}));

    // Nothing expired before today: silent; a lot expired: written off with the one expiring today.
    EXPECT_EQ(run1(QStringLiteral("auto-writeoff")), QStringList());
    run1(QStringLiteral("lot-add"), {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("100"),
                                     QStringLiteral("2026-11-03"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-04")});
    run1(QStringLiteral("lot-add"), {QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("100"),
                                     QStringLiteral("2026-11-03"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-05")});
    EXPECT_EQ(run1(QStringLiteral("auto-writeoff"), {QStringLiteral("--answer"), QStringLiteral("Да")}),
              QStringList({QStringLiteral("question: На складе имеются продукты, у которых вышел срок годности. Необходимо "
                                          "утвердить документ списания! \"Да\" - выполнить, \"Нет\" - не выполнять списание. => Да"),
                           QStringLiteral("Документ\tПартия\tКоличество\tПричина"),
                           QStringLiteral("1\t3\t3\tИстек срок реализации"), QStringLiteral("1\t4\t1\tИстек срок реализации")}));
    // Nothing left to write off into a new document of the same day.
    run1(QStringLiteral("document-new"), {QStringLiteral("25"), QStringLiteral("2026-12-05")});
    EXPECT_EQ(run1(QStringLiteral("writeoff-fill"), {QStringLiteral("2"), QStringLiteral("--answer"), QStringLiteral("Да")}, 1),
              QStringList({QStringLiteral("question: Выполнить автоматическое списание? => Да"),
                           QStringLiteral("info: Не найдено продуктов на списание.")}));
    EXPECT_EQ(run1(QStringLiteral("writeoff-fill"), {QStringLiteral("x")}, 2), QStringList());
}

TEST_F(ApprovalCli, DeletedLotsAndDocumentsReissue)
{
    const QStringList yes2 = {QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("--answer"),
                              QStringLiteral("Да")};
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("800"),
                                     QStringLiteral("2026-11-01"), QStringLiteral("--sell-by"), QStringLiteral("2026-12-20")});
    run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Да")});
    // A cheaper receipt dated before the day, confirmed: the day's issue moves to its lot.
    run1(QStringLiteral("document-new"), {QStringLiteral("24"), QStringLiteral("2026-11-02")});
    run1(QStringLiteral("document-line"), {QStringLiteral("24"), QStringLiteral("1"), QStringLiteral("id_product=1"),
                                           QStringLiteral("quantity=1"), QStringLiteral("cost=500"),
                                           QStringLiteral("date_realization=2026-12-10")});
    run1(QStringLiteral("document-confirm"), QStringList({QStringLiteral("24"), QStringLiteral("1"),
                                                          QStringLiteral("--answer"), QStringLiteral("Да")}) + yes2);
    const QString sumOfIssue = QStringLiteral("SELECT sum FROM expence_docum WHERE id = 1");
    EXPECT_EQ(query(sumOfIssue), QStringLiteral("100"));
    // Its lot deleted: the issue goes back to the first lot.
    const QStringList deleted =
        run1(QStringLiteral("document-line-delete"), QStringList({QStringLiteral("24"), QStringLiteral("1"),
                                                                  QStringLiteral("2")}) + yes2);
    EXPECT_EQ(deleted.mid(deleted.size() - 2),
              QStringList({QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена."),
                           QStringLiteral("1")}));
    EXPECT_EQ(query(sumOfIssue), QStringLiteral("160"));
    EXPECT_EQ(query(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id = 2")), QStringLiteral("0"));
    // An approved write-off of the first lot before the day, deleted from its journal: asked again.
    run1(QStringLiteral("document-new"), {QStringLiteral("25"), QStringLiteral("2026-11-03")});
    run1(QStringLiteral("document-line"), {QStringLiteral("25"), QStringLiteral("1"), QStringLiteral("id_storage=1"),
                                           QStringLiteral("quantity=1.9"), QStringLiteral("why=Порча")});
    run1(QStringLiteral("document-confirm"), QStringList({QStringLiteral("25"), QStringLiteral("1"),
                                                          QStringLiteral("--answer"), QStringLiteral("Да")}) + yes2);
    const QStringList removed = run1(QStringLiteral("delete"), QStringList({QStringLiteral("25"), QStringLiteral("1"),
                                                                            QStringLiteral("--answer"), QStringLiteral("Да")}) +
                                                                   yes2);
    EXPECT_TRUE(removed.contains(QStringLiteral("info: Операция перерасчета остатков партий продуктов успешно выполнена.")))
        << removed.join('\n').toStdString();
    EXPECT_EQ(query(sumOfIssue), QStringLiteral("160"));
}

} // namespace
