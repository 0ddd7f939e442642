// The automatic-ordering commands of the headless tool, run as a separate process: a set-up
// refused and stored, the order with its first day chosen, the reminder before and after the
// days the confirmed order covers.

#include "StockToolFixture.h"

#include "core/Database.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << l.join(QStringLiteral(" | ")).toStdString();
}

class AutoOrderCli : public rat::test::StockToolTest {
protected:
    AutoOrderCli() : StockToolTest(QStringLiteral("автозаказ.db")) {}

    void SetUp() override
    {
        StockToolTest::SetUp();
        rat::Database db(path(), false);
        db.execScript(QStringLiteral(
            "DELETE FROM days; DELETE FROM plan_menu; DELETE FROM AVTZAK; DELETE FROM AVTZAK_POINT; DELETE FROM ZAKAZ;"
            "INSERT INTO days (id, dname, id_type_menu) VALUES (11, 'Понедельник', 3), (12, 'Вторник', 3), (13, 'Среда', 3);"
            "INSERT INTO plan_menu (id_day, id_eating, id_card_recipes) VALUES (11, 1, 1), (13, 1, 1);"));
    }
};

TEST_F(AutoOrderCli, SetUpOrderAndReminder)
{
    const QString question = QStringLiteral(
        "question: Необходимо обязательно указать количество довольствующихся отличное от нуля. Не использовать данное "
        "план-меню в расчетах автоматического заказа? => Нет");
    const QString header = QStringLiteral("План-меню\tСклад\tДней\tТип довольствующихся\tКоличество");
    // A type of another plan-menu, a missing count: refused.
    EXPECT_EQ(run1(QStringLiteral("auto-order-params"), {QStringLiteral("3"), QStringLiteral("9=10")}, 2), QStringList());
    EXPECT_EQ(run1(QStringLiteral("auto-order-params"), {QStringLiteral("3"), QStringLiteral("1=0")}, 1),
              QStringList({question}));
    EXPECT_EQ(run1(QStringLiteral("reminder")), QStringList());  // no set-up yet
    EXPECT_EQ(run1(QStringLiteral("auto-order-params"),
                   {QStringLiteral("3"), QStringLiteral("1=20"), QStringLiteral("--days"), QStringLiteral("2")}),
              QStringList({header, QStringLiteral("3\t1\t2\t1\t20")}));

    // From Wednesday: Wednesday and Monday, 20 × 10 g × 200 / 100 / 1000 kg each.
    EXPECT_EQ(run1(QStringLiteral("auto-order"), {QStringLiteral("--choose"), QStringLiteral("3")}),
              QStringList({QStringLiteral("choose: Основное => Среда"),
                           QStringLiteral("Заказ\tНомер\tПродукт\tЕд.изм.\tСклад\tЦена\tКоличество\t"
                                          "Количество без округления"),
                           QStringLiteral("1\t1\tМасло\tкг\t1\t0\t0.8\t0.8")}));
    {
        rat::Database db(path(), false);
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT group_concat(id_day) FROM (SELECT id_day FROM ZAKAZ ORDER BY IDZ)")).toString(),
                  QStringLiteral("13,11"));
        EXPECT_EQ(db.scalar(QStringLiteral("SELECT status FROM orders")).toInt(), 0);
    }
    // Not confirmed: the reminder still asks for an order.
    EXPECT_EQ(run1(QStringLiteral("reminder")), QStringList({QStringLiteral("info: Необходимо выполнить заказ продуктов.")}));
    {
        rat::Database db(path(), false);
        db.exec(QStringLiteral("UPDATE orders SET status = -1, odate = '2026-12-04'"));
    }
    // Confirmed on the 4th for two days: silent on the 5th.
    EXPECT_EQ(run1(QStringLiteral("reminder")), QStringList());
    EXPECT_EQ(run1(QStringLiteral("auto-order-params"), {QStringLiteral("3"), QStringLiteral("--off")}), QStringList({header}));
}

} // namespace
