// The main window's database file commands: create, open, save as, copies, restore,
// archive, compact, check and the switch to another file.

#include "ui/MainWindow.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/DatabaseFileOps.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/Settings.h"
#include "core/StartupCheck.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace rat::ui {

namespace {

const QString kReady = QStringLiteral("Готово");
const QString kCreateFailed = QStringLiteral("Создание базы данных не выполнено.");
const QString kOpenFailed = QStringLiteral("Файл базы данных не был открыт.");
const QString kSaveAsFailed = QStringLiteral("Сохранение базы данных в другом файле не выполнено.");
const QString kCopyFailed = QStringLiteral("Копирование базы данных на съемный диск не было выполнено.");
const QString kRestoreFailed = QStringLiteral("Восстановление базы данных со съемного диска не было выполнено.");
const QString kCompactFailed = QStringLiteral("Сжатие и восстановление базы данных не было выполнено.");
const QString kSwitchFailed = QStringLiteral("Переход на новую базу данных не был произведен.");
const QString kArchiveFailed = QStringLiteral("Архивирование базы данных не было выполнено.");
const QString kDbFilter = QStringLiteral("Базы данных (*.db);;Все файлы (*)");

QString withDbSuffix(const QString& path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".db") : path;
}

} // namespace

QString MainWindow::defaultChooseFile(FileChoice choice, const QString& suggestion)
{
    switch (choice) {
    case FileChoice::CreateDatabase:
        return QFileDialog::getSaveFileName(this, QStringLiteral("Создать базу данных"), suggestion, kDbFilter,
                                            nullptr, QFileDialog::DontConfirmOverwrite);
    case FileChoice::OpenDatabase:
        return QFileDialog::getOpenFileName(this, QStringLiteral("Открыть базу данных"), suggestion, kDbFilter);
    case FileChoice::SaveDatabaseAs:
        return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить базу данных как"), suggestion, kDbFilter);
    case FileChoice::CopyToFolder:
        return QFileDialog::getExistingDirectory(this, QStringLiteral("Скопировать базу данных на съемный диск"),
                                                 suggestion);
    case FileChoice::RestoreFrom:
        return QFileDialog::getOpenFileName(this, QStringLiteral("Восстановить базу данных со съемного диска"),
                                            suggestion, kDbFilter);
    case FileChoice::NewDatabase:
        return QFileDialog::getSaveFileName(this, QStringLiteral("Переход на новую базу данных"), suggestion,
                                            kDbFilter, nullptr, QFileDialog::DontConfirmOverwrite);
    }
    return {};
}

QString MainWindow::askFile(FileChoice choice, const QString& suggestion)
{
    return chooseFile ? chooseFile(choice, suggestion) : defaultChooseFile(choice, suggestion);
}

bool MainWindow::runFileCommand(const QString& name)
{
    using Handler = void (MainWindow::*)();
    static const QHash<QString, Handler> handlers = {
        {QStringLiteral("mnuFileCr"), &MainWindow::createDatabaseFile},
        {QStringLiteral("mnuFileOpen"), &MainWindow::openDatabaseFile},
        {QStringLiteral("mnuFileOpenR"), &MainWindow::openDatabaseLocation},
        {QStringLiteral("mnuFileSaveAs"), &MainWindow::saveDatabaseAs},
        {QStringLiteral("mnuFileSaveTo"), &MainWindow::copyDatabaseToDisk},
        {QStringLiteral("mnuFileOpenFrom"), &MainWindow::restoreDatabaseFromDisk},
        {QStringLiteral("mnuToolsAcc"), &MainWindow::compactDatabaseFile},
        {QStringLiteral("mnuToolsArh"), &MainWindow::archiveDatabaseFile},
        {QStringLiteral("mnuProverka"), &MainWindow::checkDatabaseFile},
        {QStringLiteral("mnuNevDB"), &MainWindow::switchToNewDatabase},
    };
    const auto h = handlers.constFind(name);
    if (h == handlers.constEnd())
        return false;
    (this->*(*h))();
    return true;
}

void MainWindow::databaseSwitched(const QString& path)
{
    rememberDatabase(path);
    currentEntry_ = -1;
    applyOrganisationSwitches();
    showStatus(kReady);
}

void MainWindow::createDatabaseFile()
{
    const QString folder = QFileInfo(app().dbPath).absolutePath();
    QString path = askFile(FileChoice::CreateDatabase, QDir(folder).filePath(QStringLiteral("Новая база данных.db")));
    if (path.isEmpty() || !closeAllChildren()) {
        showStatus(kCreateFailed);
        return;
    }
    path = withDbSuffix(path);
    if (!createAndSwitchDatabase(session_, path)) {
        applyOrganisationSwitches();
        showStatus(kCreateFailed);
        return;
    }
    databaseSwitched(path);
}

void MainWindow::openDatabaseFile()
{
    const QString path = askFile(FileChoice::OpenDatabase, app().dbPath);
    if (path.isEmpty()) {
        showStatus(kOpenFailed);
        return;
    }
    if (session_.isOpen() && sameFile(path, session_.db().path())) {
        showStatus(kReady);  // it is the open file already
        return;
    }
    if (!closeAllChildren() || !switchDatabase(session_, path)) {
        applyOrganisationSwitches();
        showStatus(kOpenFailed);
        return;
    }
    databaseSwitched(path);
}

void MainWindow::openDatabaseLocation()
{
    const QString path = session_.isOpen() ? session_.db().path() : app().dbPath;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        prompt().info(QStringLiteral("Файл базы данных: ") + nativePath(QFileInfo(path).absoluteFilePath()));
}

void MainWindow::saveDatabaseAs()
{
    if (!session_.isOpen()) {
        showStatus(kSaveAsFailed);
        return;
    }
    const QFileInfo current(session_.db().path());
    const QString suggestion =
        current.absoluteDir().filePath(current.completeBaseName() + QStringLiteral(" (копия).") + current.suffix());
    QString path = askFile(FileChoice::SaveDatabaseAs, suggestion);
    if (path.isEmpty()) {
        showStatus(kSaveAsFailed);
        return;
    }
    path = withDbSuffix(path);
    QString error;
    if (!backupDatabase(session_.db(), path, &error)) {
        prompt().warning(QStringLiteral("Файл ") + nativePath(path) + QStringLiteral(" не записан: ") + error +
                         QLatin1Char('.'));
        showStatus(kSaveAsFailed);
        return;
    }
    prompt().info(QStringLiteral("База данных сохранена в файле ") + nativePath(path) + QLatin1Char('.'));
    showStatus(kReady);
}

void MainWindow::copyDatabaseToDisk()
{
    if (!session_.isOpen()) {
        showStatus(kCopyFailed);
        return;
    }
    const QString folder = askFile(FileChoice::CopyToFolder, QDir::homePath());
    if (folder.isEmpty()) {
        showStatus(kCopyFailed);
        return;
    }
    QString error;
    const QString written = copyDatabaseToFolder(session_.db(), folder, &error);
    if (written.isEmpty()) {
        prompt().warning(QStringLiteral("База данных не записана в папку ") + nativePath(folder) +
                         QStringLiteral(": ") + error + QLatin1Char('.'));
        showStatus(kCopyFailed);
        return;
    }
    prompt().info(QStringLiteral("База данных скопирована в файл ") + nativePath(written) + QLatin1Char('.'));
    showStatus(kReady);
}

void MainWindow::restoreDatabaseFromDisk()
{
    if (!session_.isOpen()) {
        showStatus(kRestoreFailed);
        return;
    }
    const QString candidate = askFile(FileChoice::RestoreFrom, QDir::homePath());
    if (candidate.isEmpty()) {
        showStatus(kRestoreFailed);
        return;
    }
    const QString current = session_.db().path();
    if (sameFile(candidate, current)) {
        prompt().warning(QStringLiteral("Выбран файл, с которым программа работает сейчас."));
        showStatus(kRestoreFailed);
        return;
    }
    const Answer answer = prompt().ask(
        QStringLiteral("Текущая база данных будет заменена базой данных из файла ") + nativePath(candidate) +
            QStringLiteral(". Копия текущей базы данных будет сохранена в папке \"Архив\". Продолжить?"),
        Buttons::YesNo, Answer::No);
    if (answer != Answer::Yes || !closeAllChildren()) {
        showStatus(kRestoreFailed);
        return;
    }
    QString error;
    if (archiveDatabase(session_.db(), app().appDir, Clock::today(), &error).isEmpty()) {
        prompt().warning(kArchiveFailed + QLatin1Char(' ') + error);
        showStatus(kRestoreFailed);
        return;
    }
    if (!restoreDatabase(session_, candidate)) {
        applyOrganisationSwitches();
        showStatus(kRestoreFailed);
        return;
    }
    databaseSwitched(current);
    prompt().info(QStringLiteral("База данных восстановлена из файла ") + nativePath(candidate) + QLatin1Char('.'));
}

void MainWindow::archiveDatabaseFile()
{
    if (!session_.isOpen()) {
        showStatus(kArchiveFailed);
        return;
    }
    QString error;
    const QString written = archiveDatabase(session_.db(), app().appDir, Clock::today(), &error);
    if (written.isEmpty()) {
        prompt().warning(kArchiveFailed + QLatin1Char(' ') + error);
        showStatus(kArchiveFailed);
        return;
    }
    prompt().info(QStringLiteral("Архивная копия базы данных сохранена в файле ") + nativePath(written) +
                  QLatin1Char('.'));
    showStatus(kReady);
}

void MainWindow::compactDatabaseFile()
{
    QString error;
    if (!session_.isOpen() || !compactDatabase(session_.db(), &error)) {
        if (!error.isEmpty())
            prompt().warning(kCompactFailed + QLatin1Char(' ') + error);
        showStatus(kCompactFailed);
        return;
    }
    prompt().info(QStringLiteral("Сжатие и восстановление базы данных выполнено."));
    showStatus(kReady);
}

void MainWindow::checkDatabaseFile()
{
    if (!session_.isOpen())
        return;
    showStatus(QStringLiteral("Выполняется проверка базы данных..."));
    const QStringList problems = integrityProblems(session_.db());
    if (!problems.isEmpty()) {
        prompt().warning(QStringLiteral("При проверке базы данных обнаружены ошибки:\n") +
                         problems.mid(0, 20).join(QLatin1Char('\n')) +
                         QStringLiteral("\nВосстановите базу данных из архивной копии."));
        showStatus(kReady);
        return;
    }
    try {
        runStartupCheck(session_.db(), prompt());
    } catch (const DbError& e) {
        prompt().critical(QStringLiteral("Произошла ошибка при проверке базы данных. Ошибка: ") +
                          QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.'));
        showStatus(kReady);
        return;
    }
    prompt().info(QStringLiteral("Проверка базы данных завершена. Ошибок не обнаружено."));
    showStatus(kReady);
}

void MainWindow::switchToNewDatabase()
{
    const QString current = session_.isOpen() ? session_.db().path() : QString();
    QString target = Settings::text(QStringLiteral("User"), QStringLiteral("DB"));
    // The "DB" setting names the file to go to; when it is the open one, the person chooses
    // another (an existing file, or a new one that is created and filled).
    if (target.isEmpty() || sameFile(target, current) || !QFileInfo(target).isFile()) {
        target = askFile(FileChoice::NewDatabase, QFileInfo(current).absolutePath());
        if (target.isEmpty()) {
            showStatus(kSwitchFailed);
            return;
        }
        target = withDbSuffix(target);
    }
    if (sameFile(target, current)) {
        showStatus(kSwitchFailed);
        return;
    }
    if (!closeAllChildren()) {
        showStatus(kSwitchFailed);
        return;
    }
    const bool switched = QFileInfo(target).isFile() ? switchDatabase(session_, target)
                                                     : createAndSwitchDatabase(session_, target);
    if (!switched) {
        applyOrganisationSwitches();
        showStatus(kSwitchFailed);
        return;
    }
    databaseSwitched(target);
}

} // namespace rat::ui
