// The application folder: the working folders made at start, and the folders that come with the
// installation read from it when the working folder has no copy of its own.

#include "core/AppState.h"
#include "core/ShippedFolders.h"
#include "core/Startup.h"
#include "exchange/StandardData.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QSet>
#include <gtest/gtest.h>

using namespace rat;

namespace {

QSet<QString> foldersIn(const QString& dir)
{
    const QStringList names = QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return QSet<QString>(names.begin(), names.end());
}

TEST(ApplicationFolder, MakesTheWorkingFoldersAndReadsTheShippedOnesFromTheInstallation)
{
    test::TestEnv env;
    const QString install = env.path(QStringLiteral("install"));
    for (const char* shipped : {"Примеры", "Шаблоны", "Помощник"})
        ASSERT_TRUE(QDir(install).mkpath(QString::fromUtf8(shipped)));

    const QString work = prepareApplicationFolder(env.path(QStringLiteral("work")), install);
    app().appDir = work;
    EXPECT_EQ(foldersIn(work), (QSet<QString>{QStringLiteral("Архив"), QStringLiteral("Документы"),
                                              QStringLiteral("Импорт"), QStringLiteral("Экспорт")}));
    EXPECT_EQ(shippedFolder(QStringLiteral("Примеры")), QDir(install).filePath(QStringLiteral("Примеры")));
    readStartupSettings(QString());
    EXPECT_EQ(app().helpPath, QDir(install).filePath(QStringLiteral("Помощник/index.htm")));

    // A copy of its own in the working folder comes first.
    ASSERT_TRUE(QDir(work).mkpath(QStringLiteral("Шаблоны")));
    EXPECT_EQ(shippedFolder(QStringLiteral("Шаблоны")), QDir(work).filePath(QStringLiteral("Шаблоны")));
}

TEST(ApplicationFolder, WithoutTheStandardDataAnywhereTheProgramSaysSo)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    app().appDir = prepareApplicationFolder(env.path(QStringLiteral("work")), env.path(QStringLiteral("bare")));
    EXPECT_TRUE(exchange::listRecipeCollections(prompt).empty());
    EXPECT_EQ(prompt.messages(), QStringList(QStringLiteral("critical: Не найдена папка Примеры.")));
}

} // namespace
