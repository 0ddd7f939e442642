// The printing frame: status texts, missing templates in both families, the saved, not saved and
// no-file messages, the file handed to the opener.

#include "PrintFixture.h"
#include "documents/PrintFrame.h"
#include "documents/XlsxReader.h"

#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/ShippedFolders.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::documents;

TEST(PrintFrameTest, StatusTextsOfBothFamilies)
{
    test::ScriptedPrompt prompt;
    PrintFrame mr(prompt, PrintFamily::MenuRequirement);
    for (int p : {0, 1, 3, 10, 15, 80, 95, 100})
        mr.progress(p);
    EXPECT_EQ(prompt.events, (QStringList{
        "status: Идет создание печатной формы меню-требования...",
        "status: Идет создание печатной формы меню-требования...1%",
        "status: Идет создание печатной формы меню-требования...3%",
        "status: Идет создание печатной формы меню-требования...10%",
        "status: Идет создание печатной формы меню-требования...15%",
        "status: Идет создание печатной формы меню-требования...80%",
        "status: Идет создание печатной формы меню-требования...95%",
        "status: Идет создание печатной формы меню-требования...100%"}));
    EXPECT_EQ(PrintFrame(prompt, PrintFamily::Document).statusText(15), "Идет создание печатной формы документа...15%");
}

TEST(PrintFrameTest, MissingTemplate)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    XlsxTemplate sheet;
    EXPECT_EQ(PrintFrame(prompt, PrintFamily::MenuRequirement).openTemplate(QStringLiteral("Меню-требование"), sheet),
              PrintFrame::Template::Refused);
    EXPECT_EQ(prompt.messages(), (QStringList{
        "critical: Шаблон Меню-требования не найден! Он должен находиться в файле \"Меню-требование.xltx\" "
        "в папке \"Шаблоны\". Печать невозможна"}));

    prompt.clear();
    PrintFrame doc(prompt, PrintFamily::Document);
    prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(doc.openTemplate(QStringLiteral("Приход"), sheet), PrintFrame::Template::Refused);
    EXPECT_EQ(doc.openTemplate(QStringLiteral("Приход"), sheet), PrintFrame::Template::Blank);
    const QString question = "question: Шаблон документа не найден! Он должен находиться в файле \"Приход.xltx\" "
                             "в папке \"Шаблоны\". Выполнить печать без шаблона?";
    EXPECT_EQ(prompt.messages(), (QStringList{question + " => Нет", question + " => Да"}));
    EXPECT_EQ(sheet.sheetName(), "Лист1");

    // A file that is not a workbook counts as missing.
    QDir().mkpath(QDir(app().appDir).filePath(QStringLiteral("Шаблоны")));
    QFile bad(QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Расход.xltx")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a workbook");
    bad.close();
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_EQ(doc.openTemplate(QStringLiteral("Расход"), sheet), PrintFrame::Template::Refused);

    ASSERT_TRUE(test::installTemplate(QStringLiteral("Приход")));
    prompt.clear();
    EXPECT_EQ(doc.openTemplate(QStringLiteral("Приход"), sheet), PrintFrame::Template::Loaded);
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(PrintFrameTest, TemplatesOfTheInstallationBehindTheApplicationFoldersOwn)
{
    test::TestEnv env;
    const QString installation = QDir(app().appDir).filePath(QStringLiteral("installed"));
    QDir().mkpath(installation + QStringLiteral("/Шаблоны"));
    QDir().mkpath(QDir(app().appDir).filePath(QStringLiteral("Шаблоны")));  // a folder of its own, empty
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(RAT_TEMPLATES_DIR)).filePath(QStringLiteral("Приход.xltx")),
                            installation + QStringLiteral("/Шаблоны/Приход.xltx")));
    const QString before = installationFolder();
    setInstallationFolder(installation);
    EXPECT_EQ(PrintFrame::templatePath(QStringLiteral("Приход")), installation + QStringLiteral("/Шаблоны/Приход.xltx"));
    ASSERT_TRUE(test::installTemplate(QStringLiteral("Приход")));  // the user's own copy wins
    EXPECT_EQ(PrintFrame::templatePath(QStringLiteral("Приход")),
              QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Приход.xltx")));
    // Found nowhere: the application folder's path, which the message names.
    EXPECT_EQ(PrintFrame::templatePath(QStringLiteral("Нет такого")),
              QDir(app().appDir).filePath(QStringLiteral("Шаблоны/Нет такого.xltx")));
    setInstallationFolder(before);
}

TEST(PrintFrameTest, SavedNotSavedAndNoFile)
{
    test::TestEnv env;
    test::RecordingOpener opener;
    test::ScriptedPrompt prompt;
    PrintFrame frame(prompt, PrintFamily::Document);
    XlsxTemplate sheet;
    sheet.openBlank();
    sheet.setText(1, 1, QStringLiteral("Проверка"));

    const QString path = frame.finish(sheet, QStringLiteral("Приход №5/1 от 01.03.2026"));
    const QString expected = QDir(app().appDir).filePath(QStringLiteral("Документы/Приход №5 1 от 01.03.2026.xlsx"));
    EXPECT_EQ(path, expected);
    EXPECT_EQ(prompt.messages(), (QStringList{"info: Печатная форма документа выполнена и сохранена в файле \"" +
                                              nativePath(expected) + "\"."}));
    EXPECT_EQ(opener.opened, QStringList{expected});
    XlsxReader r;
    ASSERT_TRUE(r.open(path));
    EXPECT_EQ(r.text(1, 1), "Проверка");

    // "Документы" is not a folder: the form is shown from "Tempp", not kept.
    prompt.clear();
    opener.opened.clear();
    PrintFrame mr(prompt, PrintFamily::MenuRequirement);
    const QString docs = QDir(app().appDir).filePath(QStringLiteral("Документы"));
    ASSERT_TRUE(QDir(docs).removeRecursively());
    QFile blocker(docs);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(mr.finish(sheet, QStringLiteral("Меню-требование на 01.03.2026 (7)")), QString());
    EXPECT_EQ(prompt.messages(), (QStringList{"warning: Печатная форма меню-требования выполнена, но не сохранена в файле."}));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(opener.opened[0].contains(QStringLiteral("Tempp")));

    prompt.clear();
    opener.opened.clear();
    EXPECT_EQ(mr.finish(sheet, QString()), QString());
    EXPECT_EQ(prompt.messages(), (QStringList{"info: Печатная форма меню-требования выполнена."}));
    EXPECT_EQ(opener.opened.size(), 1);
}
