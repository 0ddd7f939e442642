// The reference-book commands of the headless tool, run as a separate process: the list as
// text, the save with its messages and exit codes, deletion with scripted answers, search.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kHangGuardMs = 120000;  // a hang guard only

struct ToolRun {
    int exitCode = -1;
    QStringList lines;
    QString err;
};

class BookCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
    }

    ToolRun run(const QStringList& args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.setProgram(QStringLiteral(RAT_CLI_PATH));
        p.setArguments(QStringList{QStringLiteral("--app-dir"), tmp.filePath(QStringLiteral("app")),
                                   QStringLiteral("--db"), tmp.filePath(QStringLiteral("книги.db"))} +
                       args);
        p.start();
        ToolRun r;
        if (!p.waitForFinished(kHangGuardMs)) {
            ADD_FAILURE() << "the tool did not finish";
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
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
                                    QStringLiteral("банка\t0,450\t1"), QStringLiteral("кг\t1000,000\t2")}));

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
