// The store's windows joined to the main window: the stock journals' record windows, the
// menu-requirement journal's add command, the remnants list and the day menu's way to its
// menu-requirement.

#include "ui/StockWindows.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"
#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockModule.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/MenuRequirementWindow.h"
#include "ui/RemnantsWindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace rat::ui {

namespace {

constexpr int entryRemnants = 19;
constexpr int entryMenuRequirements = 44;

// A journal reads its list again whenever one of its documents is written.
void follow(MainWindow& main, int entry, qint64 id)
{
    if (BookListWindow* journal = findBookWindow(main, entry)) {
        journal->reload();
        journal->selectId(id);
    }
}

void followDocument(MainWindow& main, int entry, DocumentWindow* w)
{
    if (w)
        QObject::connect(w, &DocumentWindow::documentSaved, &main, [&main, entry](qint64 id) { follow(main, entry, id); });
}

// The window on a stored document (from the journal) or on a working copy made for a day menu.
template <typename Source>
MenuRequirementWindow* openRequirement(MainWindow& main, Database& db, Prompt& prompt, const Source& source,
                                       bool fromJournal)
{
    MenuRequirementWindow* w = openMenuRequirement(main, db, prompt, source, fromJournal);
    if (w)
        QObject::connect(w, &MenuRequirementWindow::documentSaved, &main,
                         [&main](qint64 id) { follow(main, entryMenuRequirements, id); });
    return w;
}

void installDocumentJournal(MainWindow& main, int entry)
{
    const BookWindowHooks* existing = bookWindowHooks(entry);
    BookWindowHooks hooks = existing ? *existing : BookWindowHooks{};
    hooks.recordWindow = [&main, entry](QWidget*, Database& db, Prompt& prompt, books::EditMode mode,
                                        std::optional<qint64> id, std::optional<qint64>) -> std::optional<qint64> {
        const DocumentMode m = mode == books::EditMode::Add    ? DocumentMode::New
                               : mode == books::EditMode::Edit ? DocumentMode::Edit
                                                               : DocumentMode::Copy;
        followDocument(main, entry, openDocument(&main, db, prompt, entry, m == DocumentMode::New ? std::nullopt : id, m));
        return std::nullopt;
    };
    setBookWindowHooks(entry, std::move(hooks));
}

void installRequirementJournal(MainWindow& main)
{
    const BookWindowHooks* existing = bookWindowHooks(entryMenuRequirements);
    BookWindowHooks hooks = existing ? *existing : BookWindowHooks{};
    hooks.recordWindow = [&main](QWidget*, Database& db, Prompt& prompt, books::EditMode mode,
                                 std::optional<qint64> id, std::optional<qint64>) -> std::optional<qint64> {
        if (mode == books::EditMode::Add) {
            const std::optional<qint64> dayMenu = stock::chooseDayMenuForNewRequirement(db, prompt);
            if (!dayMenu)
                return std::nullopt;
            // Stored on its first save, when the journal reads its list again.
            if (const auto opened = stock::openForDayMenu(db, prompt, *dayMenu))
                openRequirement(main, db, prompt, *opened, true);
        } else if (mode == books::EditMode::Edit && id) {
            openRequirement(main, db, prompt, *id, true);
        } else {
            prompt.info(MainWindow::notAvailableText());
        }
        return std::nullopt;
    };
    setBookWindowHooks(entryMenuRequirements, std::move(hooks));
}

void openRemnants(MainWindow& main, Database& db, Prompt& prompt)
{
    for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
        if (auto* w = qobject_cast<RemnantsWindow*>(sub->widget())) {
            if (sub->isMinimized())
                sub->showNormal();
            main.mdiArea()->setActiveSubWindow(sub);
            w->reload();
            return;
        }
    main.addChild(new RemnantsWindow(db, prompt));
}

} // namespace

void installStockWindows(MainWindow& main, DatabaseSession& session)
{
    stock::registerStockJournals();
    for (int entry : {22, 24, 25, 28})
        installDocumentJournal(main, entry);
    installRequirementJournal(main);

    const auto previous = main.openEntry;
    main.openEntry = [&main, &session, previous](int entry) {
        if (entry == entryRemnants && session.isOpen()) {
            openRemnants(main, session.db(), session.prompt());
            return;
        }
        if (previous)
            previous(entry);
    };

    menu::MenuRequirementGateway gateway = stock::headlessGateway();
    gateway.open = [&main, &session](qint64 idm) {
        if (session.isOpen())
            openRequirement(main, session.db(), session.prompt(), idm, false);
    };
    gateway.openForDayMenu = [&main](Database& db, Prompt& prompt, qint64 dayMenuId) {
        const auto opened = stock::openForDayMenu(db, prompt, dayMenuId);
        return opened && openRequirement(main, db, prompt, *opened, false) != nullptr;
    };
    menu::setMenuRequirementGateway(std::move(gateway));
}

} // namespace rat::ui
