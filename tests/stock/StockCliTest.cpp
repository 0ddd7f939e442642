// The stock commands of the headless tool, run as a separate process: a receipt with its lot
// and confirmation, remnants and prices, a menu-requirement filled, listed and edited by a
// replacement, refusals and usage errors; and writes killed at random moments, which leave each
// document whole or absent.

#include "StockToolFixture.h"

#include "core/Database.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << l.join(QStringLiteral(" | ")).toStdString();
}

class StockCli : public rat::test::StockToolTest {
protected:
    StockCli() : StockToolTest(QStringLiteral("склад.db")) {}
};

TEST_F(StockCli, ReceiptLotConfirmationRemnantsAndPrices)
{
    EXPECT_EQ(run1(QStringLiteral("document-new"), {QStringLiteral("24"), QStringLiteral("2026-12-01"),
                                                    QStringLiteral("nomerNaklText=Н-15")}),
              QStringList({QStringLiteral("1\t1")}));
    EXPECT_EQ(run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("2,5"), QStringLiteral("800"),
                                               QStringLiteral("2026-12-01"), QStringLiteral("--receipt"), QStringLiteral("1"),
                                               QStringLiteral("--sell-by"), QStringLiteral("2026-12-20")}),
              QStringList({QStringLiteral("1")}));
    EXPECT_EQ(run1(QStringLiteral("document-line"), {QStringLiteral("24"), QStringLiteral("1"), QStringLiteral("id_product=1"),
                                                     QStringLiteral("quantity=1"), QStringLiteral("cost=900"),
                                                     QStringLiteral("date_realization=2026-12-10")}),
              QStringList({QStringLiteral("2")}));
    // Not counted before the receipt is approved.
    EXPECT_EQ(run1(QStringLiteral("remnants"), {QStringLiteral("2026-12-05")}),
              QStringList({QStringLiteral("id\tПродукт\tГраммы\tКоличество")}));
    EXPECT_EQ(run1(QStringLiteral("document-confirm"), {QStringLiteral("24"), QStringLiteral("1"), QStringLiteral("--answer"),
                                                        QStringLiteral("Да")}),
              QStringList({QStringLiteral("question: Утвердить приход? \"Да\" - утвердить, \"Нет\" - сохранить как "
                                          "черновик, \"Отмена\" - вернуться. => Да"),
                           QStringLiteral("-1")}));
    EXPECT_EQ(run1(QStringLiteral("remnants"), {QStringLiteral("2026-12-05")}),
              QStringList({QStringLiteral("id\tПродукт\tГраммы\tКоличество"), QStringLiteral("1\tМасло\t3500\t3.5")}));
    EXPECT_EQ(run1(QStringLiteral("lot-remnants"), {QStringLiteral("2026-12-05"), QStringLiteral("--warehouse"),
                                                    QStringLiteral("1")}),
              QStringList({QStringLiteral("Партия\tПродукт\tКоличество\tОстаток\tЕд.изм.\tЦена\tСрок реализации\t"
                                          "Дата партии\tСклад\tДокумент"),
                           QStringLiteral("2\tМасло\t1\t1\tкг\t900\t2026-12-10\t2026-12-01\tОсновной\t1"),
                           QStringLiteral("1\tМасло\t2.5\t2.5\tкг\t800\t2026-12-20\t2026-12-01\tОсновной\t1")}));
    EXPECT_EQ(run1(QStringLiteral("prices"), {QStringLiteral("2026-12-05"), QStringLiteral("1"), QStringLiteral("2")}),
              QStringList({QStringLiteral("id\tЦена за грамм"), QStringLiteral("1\t0.9"), QStringLiteral("2\t-")}));
}

TEST_F(StockCli, MenuRequirementFilledListedAndReplaced)
{
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("0.15"), QStringLiteral("800"),
                                     QStringLiteral("2026-11-01")});
    EXPECT_EQ(run1(QStringLiteral("menu-requirement-fill"), {QStringLiteral("1")}),
              QStringList({QStringLiteral("status: Идет заполнение меню-требования..."), QStringLiteral("status: Готово"),
                           QStringLiteral("1")}));
    const QString filling = QStringLiteral("status: Идет заполнение меню-требования...");
    const QString done = QStringLiteral("status: Готово");
    const QString header = QStringLiteral("Тип довольствующихся\tПрием пищи\tБлюдо\tПродукт\tНа порцию, г\tКоличество\t"
                                          "Ед.изм.\tВыход\tОстаток");
    EXPECT_EQ(run1(QStringLiteral("menu-requirement-lines"), {QStringLiteral("1")}),
              QStringList({filling, done, header, QStringLiteral("Сад\tОбед\tКаша\tМасло\t20\t0.2\tкг\t200\t0.15")}));
    EXPECT_EQ(run1(QStringLiteral("replace-product"), {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2")}),
              QStringList({filling, done, header, QStringLiteral("Сад\tОбед\tКаша\tМаргарин\t10\t0.1\tкг\t200\t0")}));
    // A product that is no substitute is refused and the document stays as it is.
    EXPECT_EQ(run1(QStringLiteral("replace-product"), {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")}, 1),
              QStringList({filling, done, QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Продукт\".")}));
    rat::Database db(path(), false);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT1")).toInt(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT status FROM MENUTR WHERE IDM = 1")).toInt(), 0);
    EXPECT_DOUBLE_EQ(db.scalar(QStringLiteral("SELECT stoim FROM MENUTR WHERE IDM = 1")).toDouble(), 55);
}

TEST_F(StockCli, RefusalsAndUsageErrors)
{
    run1(QStringLiteral("document-new"), {QStringLiteral("22"), QStringLiteral("2026-12-05")});
    EXPECT_EQ(run1(QStringLiteral("document-line"), {QStringLiteral("22"), QStringLiteral("1"), QStringLiteral("id_storage=5"),
                                                     QStringLiteral("quantity=1")},
                   1),
              QStringList({QStringLiteral("warning: Необходимо обязательно выбрать строку в списке \"Продукт\".")}));
    EXPECT_EQ(run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"),
                                               QStringLiteral("2026-12-01")},
                   1),
              QStringList({QStringLiteral("warning: Значение \"0\" поля \"Количество\" не корректно. Измените введенное "
                                          "значение.")}));
    const QList<QStringList> usage = {
        {QStringLiteral("document-new"), QStringLiteral("23"), QStringLiteral("2026-12-05")},
        {QStringLiteral("document-new"), QStringLiteral("22"), QStringLiteral("2026-12-05"), QStringLiteral("id_supplier=1")},
        {QStringLiteral("document-line"), QStringLiteral("22"), QStringLiteral("1"), QStringLiteral("why=Порча")},
        {QStringLiteral("remnants"), QStringLiteral("05.12.2026")},
        {QStringLiteral("prices"), QStringLiteral("2026-12-05")},
        {QStringLiteral("lot-add"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")},
    };
    for (const QStringList& args : usage) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run(args).exitCode, 2);
    }
}

// Kills the tool at random moments of a write; after each kill the file opens, and the documents
// are whole or absent: a menu-requirement with its link and its line, each stock document with a
// total that matches its lines.
TEST_F(StockCli, KilledWritesLeaveDocumentsWholeOrAbsent)
{
    for (const char* kind : {"24", "22", "25", "28"})
        run1(QStringLiteral("document-new"), {QString::fromLatin1(kind), QStringLiteral("2026-12-01")});
    run1(QStringLiteral("lot-add"), {QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("10"),
                                     QStringLiteral("2026-12-01"), QStringLiteral("--receipt"), QStringLiteral("1")});
    run1(QStringLiteral("document-confirm"), {QStringLiteral("24"), QStringLiteral("1"), QStringLiteral("--answer"),
                                              QStringLiteral("Да")});
    const QList<QStringList> writes = {
        {QStringLiteral("menu-requirement-fill"), QStringLiteral("1")},
        {QStringLiteral("lot-add"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("10"),
         QStringLiteral("2026-12-01"), QStringLiteral("--receipt"), QStringLiteral("1")},
        {QStringLiteral("document-line"), QStringLiteral("22"), QStringLiteral("1"), QStringLiteral("id_storage=1"),
         QStringLiteral("quantity=1")},
        {QStringLiteral("document-line"), QStringLiteral("25"), QStringLiteral("1"), QStringLiteral("id_storage=1"),
         QStringLiteral("quantity=1"), QStringLiteral("why=Порча")},
        {QStringLiteral("document-line"), QStringLiteral("28"), QStringLiteral("1"), QStringLiteral("id_product=2"),
         QStringLiteral("quantity1=3"), QStringLiteral("cost=7")},
    };
    const QStringList totals = {
        QStringLiteral("SELECT COUNT(*) FROM receipt d WHERE ABS(COALESCE(d.[sum], 0) - (SELECT COALESCE(SUM(cost * quantity), 0) "
                       "FROM storage WHERE id_receipt = d.id)) > 1e-6"),
        QStringLiteral("SELECT COUNT(*) FROM expence_docum d WHERE ABS(COALESCE(d.[sum], 0) - (SELECT COALESCE(SUM(s.cost * "
                       "x.quantity), 0) FROM expense x JOIN storage s ON s.id = x.id_storage "
                       "WHERE x.id_expence_docum = d.id)) > 1e-6"),
        QStringLiteral("SELECT COUNT(*) FROM spisanie d WHERE ABS(COALESCE(d.[sum], 0) - (SELECT COALESCE(SUM(s.cost * "
                       "x.quantity), 0) FROM spisanie_point x JOIN storage s ON s.id = x.id_storage "
                       "WHERE x.id_spisanie = d.id)) > 1e-6"),
        QStringLiteral("SELECT COUNT(*) FROM orders d WHERE ABS(COALESCE(d.[sum], 0) - (SELECT COALESCE(SUM(cost * quantity1), 0) "
                       "FROM order_point WHERE id_orders = d.id)) > 1e-6"),
        // Every menu-requirement has its link and its one line.
        QStringLiteral("SELECT COUNT(*) FROM MENUTR r WHERE (SELECT COUNT(*) FROM MENUTM m WHERE m.IDM = r.IDM) <> 1 "
                       "OR (SELECT COUNT(*) FROM MENUTR_POINT p WHERE p.IDM = r.IDM) <> 1"),
    };
    QRandomGenerator random(20261205);
    for (const QStringList& w : writes) {
        SCOPED_TRACE(w.join(' ').toStdString());
        // A full run tells how long the write takes.
        QElapsedTimer t;
        t.start();
        run1(w.first(), w.mid(1));
        const int full = int(t.elapsed());
        for (int i = 0; i < 4; ++i) {
            QProcess p;
            rat::test::prepareTool(p, tmp.path(), path(), w);
            p.start();
            ASSERT_TRUE(p.waitForStarted());
            QThread::msleep(random.bounded(full + 1));
            p.kill();
            p.waitForFinished();

            rat::Database db(path(), false);
            EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            for (const QString& sql : totals)
                EXPECT_EQ(db.scalar(sql).toInt(), 0) << sql.toStdString();
        }
    }
}

} // namespace
