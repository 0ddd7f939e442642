// The plan-menu books over the standard data a new database is filled with: the shipped
// plan-menu shows with its title and mode, its days in order, the dishes of a day under their
// meals, and a summary with figures.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "exchange/StandardData.h"
#include "menu/MenuModule.h"
#include "menu/PlanMenu.h"
#include "refbooks/BookList.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::menu;

namespace {

TEST(PlanMenuData, StandardPlanMenuReadsInTheBooks)
{
    registerMenuModule();
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("std.db"))));
    Database& db = session.db();
    // The archive the build puts beside the programs.
    const QString archive = QFileInfo(QString::fromUtf8(RAT_CLI_PATH))
                                .dir()
                                .filePath(QStringLiteral("Примеры/Сборник_ясли_сад.zip"));
    exchange::StandardDataOptions options;
    options.regulation = exchange::defaultRegulation();
    options.stayTime = QStringLiteral("12");
    const exchange::ImportSummary loaded = exchange::ImportStandardData(db, prompt, archive, options);
    ASSERT_TRUE(loaded.collectionLoaded) << prompt.messages().join('\n').toStdString();
    ASSERT_GT(loaded.planRows, 0);

    const books::BookList menus = books::loadList(db, entryMenuTypes);
    ASSERT_GT(menus.rowCount(), 0);
    const qint64 menu = menus.ids.front();
    EXPECT_EQ(menus.rows.front().value(0), planMenuTitle(db, menu));
    EXPECT_EQ(menus.rows.front().value(1), QStringLiteral("по приемам пищи"));

    books::ListFilter byMenu;
    byMenu.parent = menu;
    const books::BookList days = books::loadList(db, entryPlanDays, byMenu);
    ASSERT_GT(days.rowCount(), 0);
    EXPECT_EQ(days.rows.front().value(1), planMenuTitle(db, menu));
    for (int i = 1; i < days.rowCount(); ++i)
        EXPECT_LT(days.ids[size_t(i - 1)], days.ids[size_t(i)]);

    books::ListFilter byDay;
    byDay.parent = days.ids.front();
    const books::BookList dishes = books::loadList(db, entryPlanDishes, byDay);
    ASSERT_GT(dishes.rowCount(), 0);
    EXPECT_EQ(dishes.captions.value(0), QStringLiteral("Прием пищи"));
    for (const QStringList& row : dishes.rows) {
        EXPECT_FALSE(row.value(0).isEmpty());  // every dish under its meal
        EXPECT_FALSE(row.value(2).isEmpty());
    }

    const PlanSummary s = planMenuSummary(db, menu, days.ids.front(), 2);
    ASSERT_FALSE(s.types.empty());
    for (const EaterSummary& t : s.types)
        EXPECT_GT(t.figures.back().fact, 0.0) << t.eaterType.toStdString();  // the day's total yield
}

} // namespace
