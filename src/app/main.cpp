// Рационарий, the desktop program: settings, password, database, main window.

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "exchange/NewDatabase.h"
#include "menu/MenuModule.h"
#include "ui/BookWindows.h"
#include "ui/DayMenuJournal.h"
#include "ui/CardListCommands.h"
#include "ui/ProgressWindow.h"
#include "ui/ProductWindow.h"
#include "ui/LoginDialog.h"
#include "ui/DesktopOpener.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxPrompt.h"
#include "ui/FirstStartDialog.h"
#include "ui/GuardedApplication.h"
#include "ui/ParametersDialog.h"
#include "ui/AnalysisWindow.h"
#include "ui/AutoOrderWindows.h"
#include "ui/PlanMenuWindows.h"
#include "ui/SplashWindow.h"
#include "ui/StockWindows.h"
#include "ui/StockReportCommands.h"

#include <QApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace rat;

namespace {

bool haveDisplay()
{
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

QString optionValue(const QStringList& args, const QString& name)
{
    const qsizetype i = args.indexOf(name);
    return (i >= 0 && i + 1 < args.size()) ? args[i + 1] : QString();
}

bool helpAsked(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

void printHelp()
{
    std::fputs("Использование: ratsionariy [ПАРАМЕТРЫ]\n"
               "Рационарий - питание в детском саду.\n"
               "\n"
               "Параметры:\n"
               "  --db ФАЙЛ           файл базы данных (по умолчанию выбранный в программе или vektas\n"
               "                      в папке программы; отсутствующий файл создается)\n"
               "  --app-dir ПАПКА     папка программы: база данных, шаблоны, документы, справка\n"
               "  --today ГГГГ-ММ-ДД  рабочая дата вместо сегодняшней\n"
               "  --open N            сразу открыть справочник или журнал с номером N\n"
               "  --screenshot ФАЙЛ   сохранить снимок главного окна в PNG и выйти (без вопросов)\n"
               "  -h, --help          показать эту справку и выйти\n"
               "\n"
               "Без дисплея: xvfb-run -a ratsionariy\n",
               stdout);
}

bool askPassword(ui::MessageBoxPrompt& prompt)
{
    return ui::showLoginCheck(nullptr, prompt);
}

} // namespace

int main(int argc, char* argv[])
{
    if (helpAsked(argc, argv)) {
        printHelp();
        return 0;
    }
    if (!haveDisplay()) {
        std::fputs("Рационарий: не найден графический дисплей.\n"
                   "Запустите программу в графическом сеансе, под виртуальным дисплеем\n"
                   "  xvfb-run -a ratsionariy\n"
                   "или без окна на экране:\n"
                   "  QT_QPA_PLATFORM=offscreen ratsionariy --screenshot снимок.png\n",
                   stderr);
        return 2;
    }
    ui::GuardedApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ratsionariy"));
    QApplication::setApplicationName(QStringLiteral("ratsionariy"));
    // Qt's own texts (file dialogs, the context menus of input fields) in Russian.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    const QStringList args = QApplication::arguments();
    const QString today = optionValue(args, QStringLiteral("--today"));
    if (!today.isEmpty())
        Clock::setToday(QDate::fromString(today, Qt::ISODate));
    const QString screenshot = optionValue(args, QStringLiteral("--screenshot"));

    app().appDir = prepareApplicationFolder(optionValue(args, QStringLiteral("--app-dir")),
                                            QApplication::applicationDirPath());
    readStartupSettings(optionValue(args, QStringLiteral("--db")));

    ui::MessageBoxPrompt prompt;
    prompt.setUnattended(!screenshot.isEmpty());
    DatabaseSession session(prompt);
    qapp.setReport(&prompt, [&session] { return session.isOpen() ? session.db().path() : app().dbPath; });
    // A missing file, here and for the create command, is made with the questions window and
    // filled with the standard reference data. An unattended run (a screenshot) takes the
    // remembered answers and shows no window on the way.
    QWidget* dialogParent = nullptr;
    setDatabaseFill([&](DatabaseSession& s, const QString& path) {
        if (screenshot.isEmpty())
            return ui::createDatabaseWithQuestions(dialogParent, s, path, prompt);
        exchange::NewDatabaseRequest request;
        request.answers = exchange::rememberedAnswers();
        request.prompt = &prompt;
        return exchange::createAndFillNewDatabase(s, path, request);
    });
    // The splash for a moment before the password; an unattended run shows no window on the way.
    if (screenshot.isEmpty())
        ui::showSplash();
    if (startUp(session, prompt, [&] { return askPassword(prompt); }) != StartupResult::Ready)
        return 1;
    if (screenshot.isEmpty())
        ui::askUserAtStart(session.db(), prompt);
    menu::registerMenuModule();
    ui::installProductWindows();
    ui::installCardWindows();
    ui::installCardListCommands();

    // Printed forms open in the person's spreadsheet program (an unattended run opens nothing).
    ui::DesktopOpener opener;
    if (screenshot.isEmpty())
        documents::setDocumentOpener(&opener);

    ui::MainWindow window(session);
    dialogParent = &window;
    window.setCommandHandler(QStringLiteral("mnuImpSbor"), [&] { ui::importPlanMenu(&window, session, prompt); });
    prompt.setParent(&window);
    prompt.setStatusSink([&window](const QString& text) { window.showStatus(text); });
    window.onSetPassword = [&window, &prompt] { ui::showSetPassword(&window, prompt); };
    window.onParameters = [&window, &session, &prompt] {
        if (session.isOpen() && ui::showParametersDialog(&window, session.db(), prompt))
            window.applyOrganisationSwitches();
    };
    ui::installBookWindows(window, session);
    ui::installPlanMenuWindows(window, session);
    ui::installAnalysisWindows(window, session);
    ui::installDayMenuJournal(window);
    ui::installStockWindows(window, session);
    ui::installAutoOrderWindows(window, session);
    ui::installStockReportCommands(window, session);
    window.show();
    // Once the frame is up: the ordering reminder, then the write-off of expired lots.
    if (screenshot.isEmpty())
        QTimer::singleShot(0, &window, [&window, &session] { ui::remindAboutOrdering(window, session); });

    // --open N: the window of catalogue entry N, as its menu command would open it.
    bool entryGiven = false;
    const int entry = optionValue(args, QStringLiteral("--open")).toInt(&entryGiven);
    if (entryGiven && window.openEntry)
        window.openEntry(entry);

    if (!screenshot.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            const bool saved = window.grab().save(screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "Не удалось сохранить снимок: %s\n", qPrintable(screenshot));
            window.close();
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
