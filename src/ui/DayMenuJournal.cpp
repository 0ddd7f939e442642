// The day-menu journal's commands: a new day menu from chosen plan days, and the edited and
// copied ones, each in the document window.

#include "ui/DayMenuJournal.h"
#include "menu/DayMenu.h"
#include "ui/BookWindows.h"
#include "ui/DayMenuCreateDialog.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/BookListWindow.h"

namespace rat::ui {

namespace {

std::function<void(QDialog&)>& dialogRunner()
{
    static std::function<void(QDialog&)> run = [](QDialog& d) { d.exec(); };
    return run;
}

// The journal reads its list again whenever a document window writes the day menu.
void followDocument(MainWindow& main, DocumentWindow* w)
{
    if (!w)
        return;
    QObject::connect(w, &DocumentWindow::documentSaved, &main, [&main](qint64 id) {
        if (BookListWindow* journal = findBookWindow(main, menu::entryDayMenuJournal)) {
            journal->reload();
            journal->selectId(id);
        }
    });
}

std::optional<qint64> createFromPlan(MainWindow& main, QWidget* parent, Database& db, Prompt& prompt)
{
    DayMenuCreateDialog dialog(prompt, menu::planMenuOffers(db), parent);
    dialogRunner()(dialog);
    if (dialog.result() != QDialog::Accepted)
        return std::nullopt;
    const menu::CreatedDayMenu created = menu::createDayMenuFromPlan(db, prompt, dialog.pairs());
    if (created.id) {
        // The journal shows the new menu before its window opens over it.
        if (BookListWindow* journal = findBookWindow(main, menu::entryDayMenuJournal)) {
            journal->reload();
            journal->selectId(*created.id);
        }
        followDocument(main, openDocument(&main, db, prompt, docDayMenu, created.id, DocumentMode::Edit));
    } else if (!created.filled && created.firstPlanMenu) {
        // "Нет": an empty day menu that keeps the chosen days until it is saved.
        HeaderValues presets;
        presets.insert(QStringLiteral("id_type_menu"), *created.firstPlanMenu);
        presets.insert(QStringLiteral("idd_tm"), created.pendingIddTm);
        followDocument(main, openDocument(&main, db, prompt, docDayMenu, std::nullopt, DocumentMode::New, presets));
    }
    // The journal has been read again here; the list window need not do it once more.
    return std::nullopt;
}

} // namespace

void setDayMenuDialogRunner(std::function<void(QDialog&)> run)
{
    dialogRunner() = run ? std::move(run) : [](QDialog& d) { d.exec(); };
}

void installDayMenuJournal(MainWindow& main)
{
    const BookWindowHooks* existing = bookWindowHooks(menu::entryDayMenuJournal);
    BookWindowHooks hooks = existing ? *existing : BookWindowHooks{};
    hooks.recordWindow = [&main](QWidget* parent, Database& db, Prompt& prompt, books::EditMode mode,
                                 std::optional<qint64> id, std::optional<qint64>) -> std::optional<qint64> {
        if (mode == books::EditMode::Add)
            return createFromPlan(main, parent, db, prompt);
        followDocument(main, openDocument(&main, db, prompt, docDayMenu, id,
                                          mode == books::EditMode::Edit ? DocumentMode::Edit : DocumentMode::Copy));
        return std::nullopt;
    };
    setBookWindowHooks(menu::entryDayMenuJournal, std::move(hooks));
}

} // namespace rat::ui
