#pragma once
// The program's frame: the menu bar with the whole command set, the main toolbar, the
// operations panel and the status bar; documents and reference books open as windows inside.

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace rat {
class DatabaseSession;
class Prompt;
}

namespace rat::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(DatabaseSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    QMdiArea* mdiArea() const { return mdi_; }
    void showStatus(const QString& text);
    QString statusText() const;

    // A command or toolbar button by its name ("mnuFileCr", "keyPl"), a menu by its name
    // ("menuStore"); null when there is none.
    QAction* command(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QToolBar* mainToolBar() const { return tool0_; }
    QToolBar* operationsPanel() const { return tool1_; }

    // Carries out a command of the menu bar by its name.
    void runCommand(const QString& name);

    // The catalogue entry the last reference-book command asked for; the list window reads it.
    int currentEntry() const { return currentEntry_; }

    // Reads INF again: the norms switch enables the norm commands and buttons, the warehouse
    // switch shows or hides the warehouse commands.
    void applyOrganisationSwitches();

    // Opens the window of a catalogue entry (currentEntry() is already set). The default shows
    // the entry's table read-only.
    std::function<void(int entry)> openEntry;
    // The program password window and the parameters window.
    std::function<void()> onSetPassword;
    std::function<void()> onParameters;

    // Files and folders asked of the person; an empty answer means cancelled.
    enum class FileChoice { CreateDatabase, OpenDatabase, SaveDatabaseAs, CopyToFolder, RestoreFrom, NewDatabase };
    std::function<QString(FileChoice choice, const QString& suggestion)> chooseFile;

    // A command carried out by another part of the program; it takes precedence over the
    // window's own handling of that command.
    void setCommandHandler(const QString& name, std::function<void()> handler);

    // Shown by commands whose function this version of the program does not have.
    static QString notAvailableText();
    // The commands switched by INF.norms and the warehouse commands switched by INF.VestSkl.
    static QStringList normCommands();
    static QStringList warehouseCommands();

    // The child window of a command, when it has one open.
    QMdiSubWindow* addChild(QWidget* widget);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbars();
    void buildOperationsPanel();
    void connectViewToggles();
    void restorePlacement();
    void savePlacement();
    void updateChildCommands();
    void fillWindowList();
    void tileStrips(bool horizontalStrips);
    void notAvailable();
    bool closeAllChildren();
    void openEntryTable(int entry);
    void openHelp();
    void openManual();
    void about();
    QString askFile(FileChoice choice, const QString& suggestion);
    QString defaultChooseFile(FileChoice choice, const QString& suggestion);
    bool forwardToChild(const QString& name);

    // Database file commands (MainFileCommands.cpp).
    bool runFileCommand(const QString& name);
    void createDatabaseFile();
    void openDatabaseFile();
    void openDatabaseLocation();
    void saveDatabaseAs();
    void copyDatabaseToDisk();
    void restoreDatabaseFromDisk();
    void archiveDatabaseFile();
    void compactDatabaseFile();
    void checkDatabaseFile();
    void switchToNewDatabase();
    void databaseSwitched(const QString& path);

    Prompt& prompt();

    DatabaseSession& session_;
    QMdiArea* mdi_;
    QLabel* status_;
    QToolBar* tool0_ = nullptr;
    QToolBar* tool1_ = nullptr;
    QHash<QString, QAction*> commands_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, std::function<void()>> handlers_;
    QList<QAction*> windowListActions_;
    int currentEntry_ = -1;
};

} // namespace rat::ui
