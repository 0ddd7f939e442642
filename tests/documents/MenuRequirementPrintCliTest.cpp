// "print menu-requirement" of the headless tool, run as a separate process: the form chosen by
// --layout or the organisation's setting, the cook's copy, the saved file's path printed last.

#include "stock/StockToolFixture.h"

#include "documents/XlsxReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace rat::test {
namespace {

class MenuRequirementPrintCli : public StockToolTest {
protected:
    MenuRequirementPrintCli() : StockToolTest(QStringLiteral("печать.db")) {}

    void SetUp() override
    {
        StockToolTest::SetUp();
        // The tool's application folder gets the shipped templates.
        const QString folder = tmp.filePath(QStringLiteral("app/Шаблоны"));
        QDir().mkpath(folder);
        for (const char* name : {"Меню-требованиеПродукты", "Меню-требование№299", "Меню-требование (ОКУД 0504202)"}) {
            const QString file = QString::fromUtf8(name) + QStringLiteral(".xltx");
            ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(RAT_TEMPLATES_DIR)).filePath(file), QDir(folder).filePath(file)));
        }
        run1(QStringLiteral("menu-requirement"), {QStringLiteral("1"), QStringLiteral("--answer"), QStringLiteral("Нет")});
    }
};

TEST_F(MenuRequirementPrintCli, LayoutsAndTheCooksCopy)
{
    QStringList out = run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("1"),
                                                    QStringLiteral("--layout"), QStringLiteral("2")});
    ASSERT_GE(out.size(), 2);
    EXPECT_EQ(out.at(out.size() - 2), QStringLiteral("Файл"));
    const QString path = out.last();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Документы") + QDir::separator() +
                              QStringLiteral("Меню-требование на 05.12.2026 (7).xlsx")))
        << path.toStdString();
    documents::XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_TRUE(r.find(QStringLiteral("0504202")));
    EXPECT_TRUE(out.contains(QStringLiteral("info: Печатная форма меню-требования выполнена и сохранена в файле \"") +
                             path + QStringLiteral("\".")));

    // Without --layout: INF.schab (0, the form № 299); --cook: the cook's copy.
    out = run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("1")});
    ASSERT_TRUE(r.open(out.last()));
    EXPECT_TRUE(r.find(QStringLiteral("(форма № 299)")));
    out = run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("1"), QStringLiteral("--cook")});
    ASSERT_TRUE(r.open(out.last()));
    EXPECT_TRUE(r.find(QStringLiteral("(для повара)")));
}

TEST_F(MenuRequirementPrintCli, Refusals)
{
    // The template of the mechanised form in the folder is not a workbook: it counts as missing
    // (the folder's own copy is taken before the installation's).
    QFile bad(tmp.filePath(QStringLiteral("app/Шаблоны/Меню-требование.xltx")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a workbook");
    bad.close();
    const QStringList out = run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("1"),
                                                          QStringLiteral("--layout"), QStringLiteral("1")},
                                 1);
    EXPECT_EQ(out.last(), QStringLiteral("critical: Шаблон Меню-требования не найден! Он должен находиться в файле "
                                         "\"Меню-требование.xltx\" в папке \"Шаблоны\". Печать невозможна"));
    EXPECT_EQ(run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("99")}, 1).last(),
              QStringLiteral("warning: Не найдена редактируемая запись. Обновите окно (F5), выделите другую строку."));
    run1(QStringLiteral("print"), {QStringLiteral("menu-requirement"), QStringLiteral("1"), QStringLiteral("--layout"),
                                   QStringLiteral("5")},
         2);
    run1(QStringLiteral("print"), {QStringLiteral("menu-requirement")}, 2);
}

} // namespace
} // namespace rat::test
