// The automatic-order commands joined to the main window and the orders journal, and the
// reminder after start-up.

#include "ui/AutoOrderWindows.h"
#include "core/Clock.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "stock/AutoOrder.h"
#include "stock/StockDocuments.h"
#include "ui/BookListWindow.h"
#include "ui/BookWindows.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/OrderingParametersDialog.h"

#include <QAction>
#include <QMenu>

namespace rat::ui {

namespace {

constexpr int entryOrders = int(stock::StockKind::Order);
constexpr int entryWriteOffs = int(stock::StockKind::WriteOff);
const char* const orderCommand = "mnuAvtZakaz";

QString orderCaption()
{
    return QStringLiteral("Автоматический заказ...");
}

void showInJournal(MainWindow& main, int entry, qint64 id)
{
    if (BookListWindow* journal = findBookWindow(main, entry)) {
        journal->reload();
        journal->selectId(id);
    }
}

void openStored(MainWindow& main, Database& db, Prompt& prompt, int entry, qint64 id)
{
    showInJournal(main, entry, id);
    if (DocumentWindow* w = openDocument(&main, db, prompt, entry, id, DocumentMode::Edit))
        QObject::connect(w, &DocumentWindow::documentSaved, &main,
                         [&main, entry](qint64 saved) { showInJournal(main, entry, saved); });
}

} // namespace

void runAutomaticOrder(MainWindow& main, Database& db, Prompt& prompt)
{
    if (const auto order = stock::makeAutomaticOrder(db, prompt, Clock::today()))
        openStored(main, db, prompt, entryOrders, order->orderId);
}

void remindAboutOrdering(MainWindow& main, DatabaseSession& session)
{
    if (!session.isOpen())
        return;
    if (const auto doc = stock::orderingReminder(session.db(), session.prompt(), Clock::today()))
        openStored(main, session.db(), session.prompt(), entryWriteOffs, *doc);
}

void installAutoOrderWindows(MainWindow& main, DatabaseSession& session)
{
    main.setCommandHandler(QStringLiteral("mnuAvtPrich"), [&main, &session] {
        if (session.isOpen())
            editOrderingParameters(&main, session.db(), session.prompt());
    });
    main.setCommandHandler(QString::fromLatin1(orderCommand), [&main, &session] {
        if (session.isOpen())
            runAutomaticOrder(main, session.db(), session.prompt());
    });

    // The warehouse menu: after its operations.
    if (QMenu* store = main.menu(QStringLiteral("menuStore"))) {
        auto* a = new QAction(orderCaption(), store);
        a->setObjectName(QString::fromLatin1(orderCommand));
        QMenu* reports = main.menu(QStringLiteral("menuStoreReports"));
        store->insertAction(reports ? reports->menuAction() : nullptr, a);
        QObject::connect(a, &QAction::triggered, &main, [&main] { main.runCommand(QString::fromLatin1(orderCommand)); });
    }

    // The orders journal's toolbar.
    const BookWindowHooks* existing = bookWindowHooks(entryOrders);
    BookWindowHooks hooks = existing ? *existing : BookWindowHooks{};
    std::erase_if(hooks.commands, [](const BookWindowHooks::Command& c) { return c.key == QLatin1String("keyAvtZakaz"); });
    hooks.commands.push_back({QStringLiteral("keyAvtZakaz"), orderCaption(),
                              QStringLiteral("Составить заказ продуктов на ближайшие дни плана-меню"),
                              [&main](BookListWindow& w) { runAutomaticOrder(main, w.database(), w.prompt()); }, QIcon()});
    setBookWindowHooks(entryOrders, std::move(hooks));
}

} // namespace rat::ui
