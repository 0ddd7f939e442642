// The main window: menu bar, toolbars, operations panel, status bar, the child windows and
// the dispatch of every command.

#include "ui/MainWindow.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/SchemaCatalogue.h"
#include "core/Settings.h"
#include "core/StartupCheck.h"
#include "ui/HelpBrowser.h"
#include "ui/LoginDialog.h"
#include "ui/MainChildCommands.h"
#include "ui/MainIcons.h"
#include "ui/MainMenu.h"
#include "ui/TableViewWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace rat::ui {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kReady = QStringLiteral("Готово");
const QString kTitleSuffix = QStringLiteral("питание в детском саду");

// Commands that act on the active child window; they wait for one to be open.
const QStringList kChildCommands = {
    QStringLiteral("mnuFileClose"), QStringLiteral("mnuFilePrint"), QStringLiteral("mnuEditCut"),
    QStringLiteral("mnuEditCopy"),  QStringLiteral("mnuEditPaste"), QStringLiteral("mnuPoisk"),
    QStringLiteral("mnuPoiskd"),    QStringLiteral("mnuViewRefresh"), QStringLiteral("mnuDS0"),
    QStringLiteral("mnuDS1"),       QStringLiteral("mnuDS2"),       QStringLiteral("mnuDS3"),
    QStringLiteral("mnuDS4"),
};

const QStringList kNormButtons = {QStringLiteral("keyPl"), QStringLiteral("keyVedKontr"), QStringLiteral("keyVed")};

QString flagText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

bool flagSetting(const QString& key)
{
    return Settings::text(kSettings, key, QStringLiteral("True")) != QLatin1String("False");
}

} // namespace

MainWindow::MainWindow(DatabaseSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session), mdi_(new QMdiArea(this)), status_(new QLabel(this))
{
    setWindowTitle(app().appTitle + QStringLiteral(" - ") + kTitleSuffix);
    setWindowIcon(badgeIcon(QStringLiteral("Р"), QColor(0x2f, 0x6f, 0xb5)));
    setContextMenuPolicy(Qt::NoContextMenu);
    setDockOptions(QMainWindow::AnimatedDocks);

    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(QColor(0xa9, 0xb4, 0xc2));
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    status_->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(status_, 1);

    const BuiltMenus built = buildMainMenus(menuBar(), [this](const QString& name) { runCommand(name); });
    commands_ = built.commands;
    menus_ = built.menus;
    buildToolbars();
    buildOperationsPanel();
    connectViewToggles();

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { updateChildCommands(); });
    if (QMenu* windows = menu(QStringLiteral("menuWindow")))
        connect(windows, &QMenu::aboutToShow, this, [this] { fillWindowList(); });

    openEntry = [this](int entry) { openEntryTable(entry); };

    // The program's working folders, should someone have removed them.
    QDir base(app().appDir);
    for (const QString& folder : applicationFolders())
        if (!app().appDir.isEmpty() && !base.exists(folder))
            base.mkpath(folder);

    applyOrganisationSwitches();
    restorePlacement();
    updateChildCommands();
    showStatus(kReady);
}

Prompt& MainWindow::prompt()
{
    return session_.prompt();
}

MainWindow::~MainWindow()
{
    // Children still open go down with the frame; their activation must not reach a frame
    // that is half destroyed.
    disconnect(mdi_, nullptr, this, nullptr);
}

void MainWindow::showStatus(const QString& text)
{
    status_->setText(text);
}

QString MainWindow::statusText() const
{
    return status_->text();
}

QAction* MainWindow::command(const QString& name) const
{
    if (QAction* a = commands_.value(name))
        return a;
    if (QMenu* m = menus_.value(name))
        return m->menuAction();
    return nullptr;
}

QMenu* MainWindow::menu(const QString& name) const
{
    return menus_.value(name);
}

void MainWindow::setCommandHandler(const QString& name, std::function<void()> handler)
{
    if (handler)
        handlers_.insert(name, std::move(handler));
    else
        handlers_.remove(name);
}

QString MainWindow::notAvailableText()
{
    return QStringLiteral("Функция недоступна в этой версии программы.");
}

QStringList MainWindow::normCommands()
{
    return {QStringLiteral("mnuNorms"), QStringLiteral("mnuFnorms"),  QStringLiteral("mnuPM"),
            QStringLiteral("mnuVedKon"), QStringLiteral("mnuVedKon1"), QStringLiteral("mnuAnKall")};
}

QStringList MainWindow::warehouseCommands()
{
    return {
        // The warehouse menu with its operations, reports and suppliers.
        QStringLiteral("menuStore"), QStringLiteral("mnuReceip"), QStringLiteral("mnuOstatok"),
        // The stock statements and documents of the reports menu.
        QStringLiteral("menuAccumulative"), QStringLiteral("mnuJur1"), QStringLiteral("mnuJur"),
        QStringLiteral("MnuBookUschOtch"), QStringLiteral("mnuObr22"), QStringLiteral("mnuObr2"),
        QStringLiteral("mnuObr1"), QStringLiteral("mnuObrPos"), QStringLiteral("mnuVedost"), QStringLiteral("mnuStr"),
        QStringLiteral("mnuNaklSkl"), QStringLiteral("mnuSlVed"), QStringLiteral("mnuInVed"),
        // Automatic ordering belongs to the warehouse.
        QStringLiteral("mnuAvtPrich"),
    };
}

void MainWindow::notAvailable()
{
    prompt().info(notAvailableText());
}

void MainWindow::buildToolbars()
{
    tool0_ = addToolBar(QStringLiteral("Панель инструментов"));
    tool0_->setObjectName(QStringLiteral("Tool0"));
    tool0_->setMovable(false);
    tool0_->setIconSize(QSize(22, 22));
    tool0_->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto put = [this](const QString& name, Glyph glyph) {
        QAction* a = command(name);
        a->setIcon(glyphIcon(glyph));
        tool0_->addAction(a);
    };
    put(QStringLiteral("mnuFileOpen"), Glyph::Open);
    put(QStringLiteral("mnuFileSaveAs"), Glyph::Save);
    put(QStringLiteral("mnuFilePrint"), Glyph::Print);
    tool0_->addSeparator();
    put(QStringLiteral("mnuEditCut"), Glyph::Cut);
    put(QStringLiteral("mnuEditCopy"), Glyph::Copy);
    put(QStringLiteral("mnuEditPaste"), Glyph::Paste);
    tool0_->addSeparator();
    put(QStringLiteral("mnuPoisk"), Glyph::Find);
    put(QStringLiteral("mnuViewRefresh"), Glyph::Refresh);
    tool0_->addSeparator();
    put(QStringLiteral("mnuDS1"), Glyph::NewRow);
    put(QStringLiteral("mnuDS2"), Glyph::EditRow);
    put(QStringLiteral("mnuDS4"), Glyph::DeleteRow);
    tool0_->addSeparator();

    // The norm buttons: the plan-menu analysis and the two ration control statements.
    struct Key {
        const char* name;
        const char* text;
        const char* badge;
        QColor color;
        const char* commandName;
    };
    const Key keys[] = {
        {"keyPl", "Анализ ПМ", "АН", QColor(0x6a, 0x4c, 0x9c), "mnuPM"},
        {"keyVedKontr", "Брутто", "ВК", QColor(0x2e, 0x8b, 0x4f), "mnuVedKon"},
        {"keyVed", "Нетто", "ВК", QColor(0x2a, 0x7f, 0x8f), "mnuVedKon1"},
    };
    for (const Key& k : keys) {
        const QString target = QString::fromUtf8(k.commandName);
        auto* a = new QAction(badgeIcon(QString::fromUtf8(k.badge), k.color), QString::fromUtf8(k.text), this);
        a->setObjectName(QString::fromUtf8(k.name));
        a->setToolTip(command(target)->text().remove(QLatin1Char('&')));
        connect(a, &QAction::triggered, this, [this, target] { runCommand(target); });
        tool0_->addAction(a);
        if (auto* button = qobject_cast<QToolButton*>(tool0_->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        commands_.insert(a->objectName(), a);
    }
    tool0_->addSeparator();
    put(QStringLiteral("mnuBrowser"), Glyph::Help);
}

void MainWindow::buildOperationsPanel()
{
    tool1_ = new QToolBar(QStringLiteral("Панель операций"), this);
    tool1_->setObjectName(QStringLiteral("Tool1"));
    tool1_->setOrientation(Qt::Vertical);
    tool1_->setMovable(false);
    tool1_->setAllowedAreas(Qt::LeftToolBarArea | Qt::RightToolBarArea);
    tool1_->setIconSize(QSize(34, 34));
    tool1_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tool1_->setStyleSheet(QStringLiteral(
        "QToolBar#Tool1 { background: #e9eef4; border: none; border-right: 1px solid #b9c4d2; padding: 4px; spacing: 2px; }"
        "QToolBar#Tool1 QToolButton { padding: 4px 2px; border-radius: 4px; }"
        "QToolBar#Tool1 QToolButton:hover { background: #d5e1ee; }"
        "QToolBar#Tool1 QLabel { color: #3c4655; font-weight: bold; padding: 2px 0 6px 0; }"));
    addToolBar(Qt::LeftToolBarArea, tool1_);

    auto* caption = new QLabel(QStringLiteral("Операции дня"), tool1_);
    caption->setAlignment(Qt::AlignCenter);
    tool1_->addWidget(caption);

    struct Button {
        const char* name;
        const char* text;
        const char* badge;
        QColor color;
    };
    const QColor kitchen(0xc0, 0x6a, 0x2b), menuColor(0x2f, 0x6f, 0xb5), store(0x2e, 0x8b, 0x4f);
    const Button buttons[] = {
        {"mnuCards2", "Техкарты", "ТК", kitchen},
        {"mnuPlan", "План-меню", "ПМ", menuColor},
        {"mnuDayMenu", "Меню на день", "МД", menuColor},
        {"mnuM", "Меню-требования", "МТ", menuColor},
        {nullptr, nullptr, nullptr, {}},
        {"mnuReceip", "Приход", "ПР", store},
        {"mnuOstatok", "Остатки", "ОС", store},
    };
    for (const Button& b : buttons) {
        if (!b.name) {
            tool1_->addSeparator();
            continue;
        }
        QAction* a = command(QString::fromUtf8(b.name));
        a->setIcon(badgeIcon(QString::fromUtf8(b.badge), b.color));
        a->setIconText(QString::fromUtf8(b.text));
        a->setToolTip(a->text().remove(QLatin1Char('&')));
        tool1_->addAction(a);
    }

    for (QAction* a : tool1_->actions())
        if (auto* button = qobject_cast<QToolButton*>(tool1_->widgetForAction(a)))
            button->setMinimumWidth(118);
}

void MainWindow::connectViewToggles()
{
    struct Toggle {
        const char* command;
        std::function<void(bool)> apply;
    };
    const Toggle toggles[] = {
        {"mnuViewToolbar", [this](bool on) { tool0_->setVisible(on); }},
        {"mnuOper", [this](bool on) { tool1_->setVisible(on); }},
        {"mnuViewStatusBar", [this](bool on) { statusBar()->setVisible(on); }},
    };
    for (const Toggle& t : toggles) {
        QAction* a = command(QString::fromUtf8(t.command));
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::toggled, this, t.apply);
    }
}

void MainWindow::applyOrganisationSwitches()
{
    bool norms = true;
    bool warehouse = true;
    if (session_.isOpen()) {
        try {
            const ProgramParameters p = readOrganisationSwitches(session_.db());
            norms = p.norms;
            warehouse = p.vestSkl;
        } catch (const DbError&) {
            // A file without the switches keeps every command.
        }
    }
    for (const QString& name : normCommands() + kNormButtons)
        if (QAction* a = command(name))
            a->setEnabled(norms);
    for (const QString& name : warehouseCommands())
        if (QAction* a = command(name))
            a->setVisible(warehouse);
}

void MainWindow::restorePlacement()
{
    const QVariant w = Settings::value(kSettings, QStringLiteral("MainWidth"));
    const QVariant h = Settings::value(kSettings, QStringLiteral("MainHeight"));
    if (w.isValid() && h.isValid() && w.toInt() > 200 && h.toInt() > 150) {
        setGeometry(Settings::value(kSettings, QStringLiteral("MainLeft"), 0).toInt(),
                    Settings::value(kSettings, QStringLiteral("MainTop"), 0).toInt(), w.toInt(), h.toInt());
    } else {
        // First start: most of the screen, centred.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
        const QSize size(qMin(1200, area.width() * 9 / 10), qMin(800, area.height() * 9 / 10));
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (Settings::value(kSettings, QStringLiteral("MainState"), 0).toInt() == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    command(QStringLiteral("mnuViewToolbar"))->setChecked(flagSetting(QStringLiteral("Tool0")));
    command(QStringLiteral("mnuOper"))->setChecked(flagSetting(QStringLiteral("Tool1")));
    command(QStringLiteral("mnuViewStatusBar"))->setChecked(flagSetting(QStringLiteral("StBar")));
}

void MainWindow::savePlacement()
{
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    Settings::setValue(kSettings, QStringLiteral("MainLeft"), g.x());
    Settings::setValue(kSettings, QStringLiteral("MainTop"), g.y());
    Settings::setValue(kSettings, QStringLiteral("MainWidth"), g.width());
    Settings::setValue(kSettings, QStringLiteral("MainHeight"), g.height());
    Settings::setValue(kSettings, QStringLiteral("MainState"), isMaximized() ? 2 : 0);
    // isHidden: hidden on purpose, whether or not the window itself is on the screen.
    Settings::setText(kSettings, QStringLiteral("Tool0"), flagText(!tool0_->isHidden()));
    Settings::setText(kSettings, QStringLiteral("Tool1"), flagText(!tool1_->isHidden()));
    Settings::setText(kSettings, QStringLiteral("StBar"), flagText(!statusBar()->isHidden()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closeAllChildren()) {
        event->ignore();
        return;
    }
    savePlacement();
    if (session_.isOpen()) {
        try {
            clearWorkingCopies(session_.db());
        } catch (const DbError&) {
            // The file is closed right after; nothing of a person's work is in the copies.
        }
    }
    event->accept();
}

bool MainWindow::closeAllChildren()
{
    mdi_->closeAllSubWindows();
    return mdi_->subWindowList().isEmpty();
}

QMdiSubWindow* MainWindow::addChild(QWidget* widget)
{
    QMdiSubWindow* sub = mdi_->addSubWindow(widget);
    sub->setWindowIcon(widget->windowIcon().isNull() ? windowIcon() : widget->windowIcon());
    // As large as the window wants, within the frame, placed like the next cascade step.
    const QSize room = mdi_->viewport()->size();
    const QSize want = sub->sizeHint();
    sub->resize(qMin(want.width(), room.width() * 9 / 10), qMin(want.height(), room.height() * 9 / 10));
    const int step = 26 * int(mdi_->subWindowList().size() - 1) % qMax(1, room.height() / 3);
    sub->move(step, step);
    widget->show();
    sub->show();
    mdi_->setActiveSubWindow(sub);
    return sub;
}

void MainWindow::updateChildCommands()
{
    const bool child = mdi_->activeSubWindow() != nullptr;
    for (const QString& name : kChildCommands)
        if (QAction* a = command(name))
            a->setEnabled(child);
}

void MainWindow::fillWindowList()
{
    QMenu* windows = menu(QStringLiteral("menuWindow"));
    for (QAction* a : windowListActions_) {
        windows->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
    if (subs.isEmpty())
        return;
    windowListActions_ << windows->addSeparator();
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        ++n;
        const QString text = (n < 10 ? QStringLiteral("&%1 ").arg(n) : QString()) + sub->windowTitle();
        QAction* a = windows->addAction(text);
        a->setCheckable(true);
        a->setChecked(sub == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
        windowListActions_ << a;
    }
}

void MainWindow::tileStrips(bool horizontalStrips)
{
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (!sub->isMinimized() && !sub->isHidden())
            subs << sub;
    if (subs.isEmpty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs[i];
        sub->showNormal();
        if (horizontalStrips) {
            const int top = area.height() * i / n, bottom = area.height() * (i + 1) / n;
            sub->setGeometry(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * i / n, right = area.width() * (i + 1) / n;
            sub->setGeometry(left, 0, right - left, area.height());
        }
    }
}

bool MainWindow::forwardToChild(const QString& name)
{
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    if (!sub)
        return false;
    if (auto* child = dynamic_cast<ChildCommands*>(sub->widget()))
        if (child->runCommand(name))
            return true;
    // Clipboard commands reach the field that has the focus inside the window.
    static const QHash<QString, const char*> clipboard = {
        {QStringLiteral("mnuEditCut"), "cut"},
        {QStringLiteral("mnuEditCopy"), "copy"},
        {QStringLiteral("mnuEditPaste"), "paste"},
    };
    if (clipboard.contains(name)) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && sub->isAncestorOf(focus))
            QMetaObject::invokeMethod(focus, clipboard.value(name));
        return true;
    }
    return false;
}

void MainWindow::runCommand(const QString& name)
{
    if (const auto h = handlers_.constFind(name); h != handlers_.constEnd()) {
        (*h)();
        return;
    }
    if (runFileCommand(name))
        return;

    if (name == QLatin1String("mnuFileClose")) {
        mdi_->closeActiveSubWindow();
    } else if (name == QLatin1String("mnuFileExit")) {
        close();
    } else if (name == QLatin1String("mnuViewToolbar") || name == QLatin1String("mnuOper") ||
               name == QLatin1String("mnuViewStatusBar")) {
        // Checkable: the toggle itself shows or hides the bar.
    } else if (name == QLatin1String("mnuViewOptions") || name == QLatin1String("mnuToolsOptions")) {
        onParameters ? onParameters() : notAvailable();
    } else if (name == QLatin1String("mnuToolsLock")) {
        onSetPassword ? onSetPassword() : notAvailable();
    } else if (name == QLatin1String("mnuUserSwitch")) {
        if (session_.isOpen())
            showLoginByName(this, session_.db(), prompt());
    } else if (name == QLatin1String("mnuWindowCascade")) {
        mdi_->cascadeSubWindows();
    } else if (name == QLatin1String("mnuWindowTileHorizontal")) {
        tileStrips(true);
    } else if (name == QLatin1String("mnuWindowTileVertical")) {
        tileStrips(false);
    } else if (name == QLatin1String("mnuHelpManual")) {
        openManual();
    } else if (name == QLatin1String("mnuBrowser")) {
        openHelp();
    } else if (name == QLatin1String("mnuHelpAbout")) {
        about();
    } else if (kChildCommands.contains(name)) {
        if (!forwardToChild(name) && mdi_->activeSubWindow())
            notAvailable();
    } else if (const int entry = commandEntry(name); entry >= 0) {
        currentEntry_ = entry;
        if (openEntry)
            openEntry(entry);
    } else {
        notAvailable();
    }
}

void MainWindow::openEntryTable(int entry)
{
    // A window of its own comes for every other entry; until then the entry says so before
    // anything else, rather than showing a raw table with the file's column names.
    static const QList<int> plainTables = {19, 24, 44};
    EntryTable t;
    if (!plainTables.contains(entry) || !entryTable(entry, &t) || !session_.isOpen()) {
        notAvailable();
        return;
    }
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (auto* view = qobject_cast<TableViewWindow*>(sub->widget()); view && view->entry() == entry) {
            mdi_->setActiveSubWindow(sub);
            return;
        }
    }
    addChild(new TableViewWindow(session_.db(), t.table, t.title, entry));
}

void MainWindow::openHelp()
{
    const QString page = findHelpPage(app().helpPath);
    if (page.isEmpty()) {
        prompt().info(QStringLiteral("Файл помощника ") + nativePath(app().helpPath) + QStringLiteral(" не найден."));
        return;
    }
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (qobject_cast<HelpBrowser*>(sub->widget())) {
            mdi_->setActiveSubWindow(sub);
            return;
        }
    }
    addChild(new HelpBrowser(page));
}

void MainWindow::openManual()
{
    const QString path = QDir(app().appDir).filePath(QStringLiteral("Руководство пользователя.pdf"));
    if (!QFileInfo(path).isFile()) {
        prompt().info(QStringLiteral("Руководство пользователя не найдено: ") + nativePath(path));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        prompt().info(QStringLiteral("Руководство пользователя находится в файле ") + nativePath(path) +
                      QStringLiteral(". Откройте его программой просмотра PDF."));
}

void MainWindow::about()
{
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(schema::versionMajor)
                                .arg(schema::versionMinor)
                                .arg(schema::versionRevision);
    prompt().info(app().appTitle + QLatin1Char('\n') + QStringLiteral("Версия ") + version +
                  QStringLiteral("\n\nПитание в детском саду: технологические карты, план-меню, меню на день, "
                                 "меню-требования и складской учет продуктов."));
}

} // namespace rat::ui
