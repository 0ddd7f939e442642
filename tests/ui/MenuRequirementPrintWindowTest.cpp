// The print commands of the menu-requirement window and the print settings window, on real
// widgets offscreen: the form chosen in the parameters, the cook's copy, the menu question,
// the settings kept per user.

#include "documents/MenuRequirementPrintFixture.h"

#include "core/Settings.h"
#include "documents/PrintFixture.h"
#include "documents/XlsxReader.h"
#include "ui/MenuRequirementPrintSettingsDialog.h"
#include "ui/MenuRequirementWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QSpinBox>

namespace rat::test {
namespace {

class MenuRequirementPrintWin : public MenuRequirementPrintFixture {
protected:
    void SetUp() override
    {
        MenuRequirementPrintFixture::SetUp();
        for (const char* name : {"Меню-требованиеПродукты", "Меню-требование (ОКУД 0504202)", "Меню на день"})
            ASSERT_TRUE(installTemplate(QString::fromUtf8(name)));
    }
    static bool contains(const QString& path, const QString& text)
    {
        documents::XlsxReader r;
        return r.open(path) && r.find(text).has_value();
    }
};

TEST_F(MenuRequirementPrintWin, PrintCommandsOfTheWindow)
{
    RecordingOpener opener;
    db().exec(QStringLiteral("UPDATE INF SET schab = 2"));
    ui::MenuRequirementWindow w(db(), prompt, document);
    ASSERT_TRUE(w.open());
    prompt.clear();

    w.action(QStringLiteral("keyPrint"))->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(contains(opener.opened.last(), QStringLiteral("0504202")));
    EXPECT_TRUE(prompt.messages().last().startsWith(
        QStringLiteral("info: Печатная форма меню-требования выполнена и сохранена в файле ")));

    w.action(QStringLiteral("keyPrintCook"))->trigger();
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(contains(opener.opened.last(), QStringLiteral("(для повара)")));

    // The menu: the question, then the day menu's print (here without dish costs).
    prompt.clear();
    prompt.answers = {Answer::No};
    w.action(QStringLiteral("keyPrintMenu"))->trigger();
    ASSERT_GE(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages().first(), QStringLiteral("question: Печатать меню со стоимостью блюд? => Нет"));
    EXPECT_EQ(opener.opened.size(), 3);

    // No eaters any more: the menu is refused with its own words, before the question.
    prompt.clear();
    db().exec(QStringLiteral("UPDATE quantity_eating SET quantity = 0"));
    w.action(QStringLiteral("keyPrintMenu"))->trigger();
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("warning: Невозможно сформировать меню! Укажите количество довольствующихся!")});
    EXPECT_EQ(opener.opened.size(), 3);
}

TEST_F(MenuRequirementPrintWin, SettingsWindowKeepsItsChoicesPerUser)
{
    ui::MenuRequirementWindow w(db(), prompt, document);
    ASSERT_TRUE(w.open());
    bool shown = false;
    w.showDialog = [&](QDialog& d) {
        auto* dialog = qobject_cast<ui::MenuRequirementPrintSettingsDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        shown = true;
        QStringList texts;
        for (QCheckBox* c : dialog->findChildren<QCheckBox*>())
            texts << c->text();
        EXPECT_EQ(texts, (QStringList{"Сортировать продукты по шифру", "Минимизировать графы",
                                      "Дублировать шапку таблицы на каждой странице формата А4",
                                      "Выводить название продуктов в шапке таблицы",
                                      "Группировать по блюдам, затем по типам довольствующихся"}));
        EXPECT_EQ(dialog->findChild<QGroupBox*>()->title(), QStringLiteral("Настройки"));
        dialog->sortByCode()->setChecked(true);
        dialog->groupByDish()->setChecked(true);
        dialog->fontSize()->setValue(11);
        dialog->accept();
    };
    w.action(QStringLiteral("keyPrintSettings"))->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("SortShif")), QStringLiteral("True"));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("GroupMT")), QStringLiteral("True"));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("Schrif")), QStringLiteral("11"));
    EXPECT_EQ(Settings::text(QStringLiteral("User"), QStringLiteral("MinGr")), QStringLiteral("False"));

    // Opened again, it shows what was kept; "Отмена" keeps it as it was.
    ui::MenuRequirementPrintSettingsDialog again;
    EXPECT_TRUE(again.sortByCode()->isChecked());
    EXPECT_EQ(again.fontSize()->value(), 11);
    again.sortByCode()->setChecked(false);
    again.reject();
    EXPECT_TRUE(documents::readMenuRequirementPrintSettings().sortByCode);
}

} // namespace
} // namespace rat::test
