// The main window on an open file, the message boxes that stand for Prompt, and the desktop
// program started offscreen.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "core/StartupCheck.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

using namespace rat;

namespace {

qint64 count(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

void fillWorkingCopies(Database& db)
{
    db.exec(QStringLiteral("INSERT INTO MENUTR1 (IDM1, date, status) VALUES (1, '2024-03-11', 0)"));
    db.exec(QStringLiteral("INSERT INTO MENUTM1 (IDTM1, IDM1, ID_day_menu) VALUES (1, 1, 1)"));
    db.exec(QStringLiteral("INSERT INTO MENUTR_POINT1 (IDMP1, IDM1, id_product, kol) VALUES (1, 1, 1, 2.5)"));
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(createAndFillDatabase(session, env.path(QStringLiteral("main.db"))))
            << prompt.messages().join('\n').toStdString();
        prompt.clear();
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
};

TEST_F(MainWindowTest, OpensReadyWithTheProgramTitle)
{
    ui::MainWindow window(session);
    window.show();
    // The program's title, then a suffix of the window's own.
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Рационарий - "))) << window.windowTitle().toStdString();
    EXPECT_EQ(window.statusText(), QStringLiteral("Готово"));
    EXPECT_TRUE(window.statusBar()->isVisible());
    QStringList shown;
    for (const QLabel* label : window.statusBar()->findChildren<QLabel*>())
        if (label->isVisible())
            shown << label->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("Готово"))) << shown.join('|').toStdString();
    EXPECT_EQ(window.centralWidget(), window.mdiArea());
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(MainWindowTest, ClosingEmptiesTheWorkingCopiesAndKeepsTheRest)
{
    fillWorkingCopies(session.db());
    session.db().exec(QStringLiteral("INSERT INTO MENUTR (IDM, date, status) VALUES (5, '2024-03-11', 0)"));
    {
        ui::MainWindow window(session);
        window.show();
        EXPECT_TRUE(window.close());
    }
    ASSERT_TRUE(session.isOpen());
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTM1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR_POINT1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR")), 1);
    EXPECT_EQ(count(session.db(), QStringLiteral("USERS")), 2);
}

TEST_F(MainWindowTest, PlacementIsSavedOnCloseAndRestored)
{
    Settings::setValue(QStringLiteral("Settings"), QStringLiteral("MainLeft"), 40);
    Settings::setValue(QStringLiteral("Settings"), QStringLiteral("MainTop"), 30);
    Settings::setValue(QStringLiteral("Settings"), QStringLiteral("MainWidth"), 900);
    Settings::setValue(QStringLiteral("Settings"), QStringLiteral("MainHeight"), 600);
    {
        ui::MainWindow window(session);
        window.show();
        EXPECT_EQ(window.size(), QSize(900, 600));
        window.resize(820, 540);
        window.statusBar()->hide();
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainWidth")).toInt(), 820);
    EXPECT_EQ(Settings::value(QStringLiteral("Settings"), QStringLiteral("MainHeight")).toInt(), 540);
    EXPECT_EQ(Settings::text(QStringLiteral("Settings"), QStringLiteral("StBar")), QStringLiteral("False"));

    ui::MainWindow again(session);
    again.show();
    EXPECT_EQ(again.size(), QSize(820, 540));
    EXPECT_FALSE(again.statusBar()->isVisible());
}

// ---- Message boxes -------------------------------------------------------------------------

// Runs `act` on the message box once it is shown modally.
void onMessageBox(const std::function<void(QMessageBox&)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box shown";
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
            return;
        }
        act(*box);
    });
}

QStringList buttonTexts(const QMessageBox& box)
{
    QStringList out;
    for (QAbstractButton* b : box.buttons())
        out << b->text();
    out.sort();
    return out;
}

QAbstractButton* buttonWithText(const QMessageBox& box, const QString& text)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST(MessageBoxPrompt, QuestionOffersItsButtonsAndDefault)
{
    ui::MessageBoxPrompt prompt;
    const QString question = QStringLiteral("Удалить запись?");

    QString title, text, defaultText;
    QStringList buttons;
    onMessageBox([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        buttons = buttonTexts(box);
        defaultText = box.defaultButton() ? box.defaultButton()->text() : QString();
        if (QAbstractButton* yes = buttonWithText(box, QStringLiteral("Да")))
            yes->click();
        else
            box.close();
    });
    EXPECT_EQ(prompt.ask(question, Buttons::YesNo, Answer::No), Answer::Yes);
    EXPECT_EQ(title, QStringLiteral("Рационарий"));
    EXPECT_EQ(text, question);
    EXPECT_EQ(buttons, QStringList({QStringLiteral("Да"), QStringLiteral("Нет")}));
    EXPECT_EQ(defaultText, QStringLiteral("Нет"));

    // Enter takes the default button.
    onMessageBox([](QMessageBox& box) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
    });
    EXPECT_EQ(prompt.ask(question, Buttons::YesNoCancel, Answer::No), Answer::No);
    onMessageBox([](QMessageBox& box) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
    });
    EXPECT_EQ(prompt.ask(question, Buttons::OkCancel, Answer::Cancel), Answer::Cancel);

    // Escape is "Отмена" where there is one, "Нет" otherwise.
    const auto escape = [](QMessageBox& box) {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &esc);
    };
    onMessageBox(escape);
    EXPECT_EQ(prompt.ask(question, Buttons::YesNoCancel, Answer::Yes), Answer::Cancel);
    onMessageBox(escape);
    EXPECT_EQ(prompt.ask(question, Buttons::YesNo, Answer::Yes), Answer::No);
}

TEST(MessageBoxPrompt, ChoiceShowsThePreselectedItemAndEnterTakesIt)
{
    ui::MessageBoxPrompt prompt;
    const QStringList days = {QStringLiteral("День 1"), QStringLiteral("День 2"), QStringLiteral("День 3")};
    for (const int preselected : {0, 2}) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            shown = dlg->textValue();
            dlg->accept();
        });
        EXPECT_EQ(prompt.choose(QString(), QStringLiteral("Выберите день из плана-меню:"), days, preselected),
                  std::optional<int>(preselected));
        EXPECT_EQ(shown, days[preselected]);
    }
}

TEST(MessageBoxPrompt, MessagesCarryTheTitleIconAndText)
{
    ui::MessageBoxPrompt prompt;
    struct Shown {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    } shown;
    const auto record = [&](QMessageBox& box) {
        shown = {box.windowTitle(), box.text(), box.icon(), buttonTexts(box)};
        box.buttons().value(0)->click();
    };

    onMessageBox(record);
    prompt.critical(QStringLiteral("Файл базы данных x.db не найден!"));
    EXPECT_EQ(shown.title, QStringLiteral("Рационарий"));
    EXPECT_EQ(shown.text, QStringLiteral("Файл базы данных x.db не найден!"));
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
    EXPECT_EQ(shown.buttons, QStringList(QStringLiteral("ОК")));

    onMessageBox(record);
    prompt.warning(QStringLiteral("Неверный пароль, введите заново!"));
    EXPECT_EQ(shown.icon, QMessageBox::Warning);

    onMessageBox(record);
    prompt.info(QStringLiteral("Готово."));
    EXPECT_EQ(shown.icon, QMessageBox::Information);
}

TEST_F(MainWindowTest, StatusTextsReachTheStatusBar)
{
    ui::MainWindow window(session);
    window.show();
    ui::MessageBoxPrompt boxes(&window);
    QStringList seen;
    boxes.setStatusSink([&](const QString& text) {
        seen << text;
        window.showStatus(text);
    });
    fillWorkingCopies(session.db());

    runStartupCheck(session.db(), boxes);

    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), QStringLiteral("Выполняется проверка базы данных..."));
    EXPECT_EQ(window.statusText(), seen.back());
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR1")), 0);
}

// ---- The desktop program ---------------------------------------------------------------------

QString desktopProgram()
{
    return QFileInfo(QStringLiteral(RAT_CLI_PATH)).absolutePath() + QStringLiteral("/ratsionariy");
}

struct DesktopResult {
    int exitCode = -1;
    QString err;
    QString out;
};

DesktopResult runDesktop(const QTemporaryDir& tmp, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp.filePath(QStringLiteral("config")));
    p.setProcessEnvironment(env);
    p.start(desktopProgram(), args);
    DesktopResult r;
    if (!p.waitForFinished(120000)) {  // a hang guard, not a timing check
        ADD_FAILURE() << "the program did not finish";
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

TEST(DesktopProgram, HelpListsTheOptionsAndStartsNothing)
{
    QTemporaryDir tmp;
    const QString appDir = tmp.filePath(QStringLiteral("app"));
    const DesktopResult r = runDesktop(tmp, {QStringLiteral("--app-dir"), appDir, QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* option : {"--db", "--app-dir", "--today", "--open", "--screenshot", "--help", "xvfb-run"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(option))) << option << "\n" << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(appDir));  // no folder prepared, no database made
}

TEST(DesktopProgram, FreshFolderGetsADatabaseAndAScreenshot)
{
    ASSERT_TRUE(QFileInfo(desktopProgram()).isExecutable()) << desktopProgram().toStdString();
    QTemporaryDir tmp;
    const QString appDir = tmp.filePath(QStringLiteral("app"));
    const QString shot = tmp.filePath(QStringLiteral("снимок.png"));

    const DesktopResult r = runDesktop(tmp, {QStringLiteral("--app-dir"), appDir, QStringLiteral("--screenshot"), shot});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const QByteArray png = test::fileBytes(shot);
    ASSERT_TRUE(png.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n")));
    const QImage image = QImage::fromData(png, "PNG");
    EXPECT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 200);
    EXPECT_GT(image.height(), 150);

    const QString db = appDir + QStringLiteral("/vektas.db");
    ASSERT_TRUE(QFileInfo(db).isFile());
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.openDatabase(db, false)) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT appMajor FROM INF")).toInt(), 10);
    EXPECT_EQ(count(session.db(), QStringLiteral("USERS")), 2);

    // The window placement went to the child's own settings store.
    const QSettings saved(tmp.filePath(QStringLiteral("config/ratsionariy/ratsionariy.ini")), QSettings::IniFormat);
    EXPECT_TRUE(saved.contains(QStringLiteral("Settings/MainWidth"))) << saved.fileName().toStdString();
}

TEST(DesktopProgram, ExistingFileIsOpenedNotReplaced)
{
    QTemporaryDir tmp;
    const QString appDir = tmp.filePath(QStringLiteral("app"));
    const QString db = tmp.filePath(QStringLiteral("детсад.db"));
    {
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        ASSERT_TRUE(createAndFillDatabase(session, db));
        session.db().exec(QStringLiteral("UPDATE INF SET Naim = ?1"), {QStringLiteral("Ясли-сад «Солнышко»")});
        fillWorkingCopies(session.db());
    }

    const DesktopResult r = runDesktop(tmp, {QStringLiteral("--app-dir"), appDir, QStringLiteral("--db"), db,
                                          QStringLiteral("--screenshot"), tmp.filePath(QStringLiteral("s.png"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(appDir + QStringLiteral("/vektas.db")));

    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.openDatabase(db, false));
    EXPECT_EQ(session.db().scalar(QStringLiteral("SELECT Naim FROM INF")).toString(), QStringLiteral("Ясли-сад «Солнышко»"));
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTM1")), 0);
    EXPECT_EQ(count(session.db(), QStringLiteral("MENUTR_POINT1")), 0);
}

} // namespace

TEST_F(MainWindowTest, GoesDownWithItsChildrenStillOpen)
{
    auto window = std::make_unique<ui::MainWindow>(session);
    window->show();
    for (const char* name : {"первое", "второе"}) {
        auto* child = new QLabel(QString::fromUtf8(name));
        window->mdiArea()->addSubWindow(child)->show();
    }
    ASSERT_EQ(window->mdiArea()->subWindowList().size(), 2);
    window.reset();  // must not touch the frame while its children are destroyed
    SUCCEED();
}
