// The reference-book commands of the headless tool, run as a separate process: the list as
// text, the save with its messages and exit codes, deletion with scripted answers, search.

#include "support/ToolRun.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using rat::test::ToolRun;

class BookCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
    }

    ToolRun run(const QStringList& args) const
    {
        return rat::test::runTool(tmp.path(), tmp.filePath(QStringLiteral("книги.db")), args);
    }

    QTemporaryDir tmp;
};

TEST_F(BookCli, SaveListDeleteFind)
{
    ToolRun r = run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("ename=банка"),
                     QStringLiteral("koef=0,4")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("saved: 1")));

    r = run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("ename=БАНКА"), QStringLiteral("koef=1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("warning: Значение \"БАНКА\" поля \"Наименование\" уже имеется в "
                                                  "другой строке справочника. Измените введенное значение.")));
    r = run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("ename=ящик"), QStringLiteral("koef=-5")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("warning: Вы ввели отрицательное значение!")));
    r = run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("цвет=красный")});
    EXPECT_EQ(r.exitCode, 2);

    EXPECT_EQ(run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("ename=кг"), QStringLiteral("koef=1000")})
                  .exitCode,
              0);
    EXPECT_EQ(run({QStringLiteral("save"), QStringLiteral("30"), QStringLiteral("--id"), QStringLiteral("1"),
                   QStringLiteral("koef=0,45")})
                  .exitCode,
              0);
    r = run({QStringLiteral("list"), QStringLiteral("30")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("Наименование\tКоэффициент пересчета в граммы\tid"),
                                    QStringLiteral("банка\t0.450\t1"), QStringLiteral("кг\t1000.000\t2")}));

    r = run({QStringLiteral("find"), QStringLiteral("30"), QStringLiteral("Наименование"), QStringLiteral("КГ")});
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("2\tкг")));
    r = run({QStringLiteral("find"), QStringLiteral("30"), QStringLiteral("Наименование"), QStringLiteral("кг"),
             QStringLiteral("--from"), QStringLiteral("2")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList(QStringLiteral("info: Поиск завершен.")));

    r = run({QStringLiteral("--answer"), QStringLiteral("Да"), QStringLiteral("delete"), QStringLiteral("30"),
             QStringLiteral("2"), QStringLiteral("1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines,
              QStringList({QStringLiteral("question: Удалить выделенные строки? => Да"),
                           QStringLiteral("status: Идет удаление строк..."),
                           QStringLiteral("question: Невозможно удалить единицу измерения \"кг\", так как она является "
                                          "базовой.\\n\\nУдалить остальные выделенные строки? => Нет"),
                           QStringLiteral("status: Удалено строк: 0")}));
    EXPECT_EQ(run({QStringLiteral("list"), QStringLiteral("30")}).lines.size(), 3);
}

} // namespace
