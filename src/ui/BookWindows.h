#pragma once
// The reference books inside the main window: a catalogue entry opens its list window
// (frmSprav), one window per entry, after the offer to fill an empty parent book first.

#include "refbooks/BookRules.h"

#include <QIcon>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace rat {
class Database;
class DatabaseSession;
class Prompt;
}

namespace rat::ui {

class BookListWindow;
class MainWindow;

// What a book's own module adds to its list window.
struct BookWindowHooks {
    // keyCopy1: copies the rows of the chosen parent row (all substitutes of a product, ...);
    // true when rows were added and the list is to be read again.
    std::function<bool(Database& db, Prompt& prompt, qint64 parentId)> bulkCopy;
    // A window of the book's own for one row (products, technological cards) in place of the
    // record editor; returns the key of the saved row, nothing when nothing was saved.
    std::function<std::optional<qint64>(QWidget* parent, Database& db, Prompt& prompt, books::EditMode mode,
                                        std::optional<qint64> id, std::optional<qint64> parentId)>
        recordWindow;
    // keyCopy1 acting on the current row instead of the parent (the recipe of the card in the
    // card list); used when set.
    std::function<bool(Database& db, Prompt& prompt, qint64 rowId)> bulkCopyRow;

    // Commands of the book's own on the toolbar after the common ones (keyPeresch, keyUp, ...),
    // also offered in the grid's context menu.
    struct Command {
        QString key;      // object name of the action
        QString text;     // caption
        QString tip;      // tool tip (the caption when empty)
        std::function<void(BookListWindow&)> run;
        QIcon icon;       // picture; a narrow window shows it in place of the caption
    };
    std::vector<Command> commands;
    // Runs before add, edit, copy and delete ("keyAdd", "keyEdit", "keyCopy", "keyDel"); false
    // stops the command (the hook has told the person why).
    std::function<bool(BookListWindow&, const QString& key)> guard;
    // A widget of the book's own under the grid (the plan-menu summary); the window owns it.
    // It follows the window through BookListWindow::listLoaded and the grid's current row.
    std::function<QWidget*(BookListWindow&)> panel;
};
void setBookWindowHooks(int entry, BookWindowHooks hooks);
// "Копировать рецептуру" of the card lists and of the recipe lines.
void installCardWindows();
const BookWindowHooks* bookWindowHooks(int entry);

// The open list window of an entry, or null.
BookListWindow* findBookWindow(MainWindow& main, int entry);

// Opens (or activates) the list window of a catalogue entry. When the book needs rows of a
// parent book that is still empty, the person is offered that book first and, on Yes, it
// opens instead. False when the catalogue has no such book.
bool openBookWindow(MainWindow& main, Database& db, Prompt& prompt, int entry);

// Makes the main window open the books of the catalogue in their list windows; entries the
// catalogue does not hold keep the main window's previous way of opening.
void installBookWindows(MainWindow& main, DatabaseSession& session);

// "Учреждение": the file's one institution row straight in the record editor (no list of one
// row). `show` runs the dialog (exec() when empty). True when it was saved.
bool editInstitution(QWidget* parent, Database& db, Prompt& prompt, const std::function<void(QDialog&)>& show = {});

} // namespace rat::ui
