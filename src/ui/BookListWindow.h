#pragma once
// The list window of a reference book (frmSprav): the rows of one catalogue entry in a grid,
// the parent filter of a dependent book, the book's toolbar commands, the "Действия" context
// menu and the status line. Every rule and message is the domain layer's; the window shows
// its lists and calls it.

#include "refbooks/BookActions.h"
#include "refbooks/BookRules.h"
#include "ui/MainChildCommands.h"

#include <QHash>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QDateEdit;
class QDialog;
class QLabel;
class QMenu;
class QTableView;
class QToolBar;
class QVBoxLayout;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class BookListModel;

class BookListWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    BookListWindow(Database& db, Prompt& prompt, int entry, QWidget* parent = nullptr);

    int entry() const { return entry_; }
    const books::BookList& list() const;
    QTableView* grid() const { return grid_; }
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* contextMenu() const { return contextMenu_; }
    // The parent filter of a dependent book (null when the book has none) and, above it, the
    // filter of the parent's own parent (the dish category above a card).
    QComboBox* parentFilter() const { return parentBox_; }
    QComboBox* grandParentFilter() const { return grandParentBox_; }
    QComboBox* secondFilter() const { return secondBox_; }
    // The period of a journal (null when the book has none).
    QDateEdit* fromDate() const { return fromDate_; }
    QDateEdit* toDate() const { return toDate_; }
    // The book's own panel under the grid (null when it has none).
    QWidget* panel() const { return panel_; }
    Database& database() const { return db_; }
    Prompt& prompt() const { return prompt_; }
    QLabel* rowLabel() const { return rowLabel_; }
    QLabel* totalLabel() const { return totalLabel_; }
    QLabel* selectedLabel() const { return selectedLabel_; }
    // A toolbar command by its key ("keyAdd", "keyper", ...); null when the book has none.
    QAction* action(const QString& key) const { return actions_.value(key); }

    // The chosen parent row (nothing for a book without a filter or an empty parent book).
    std::optional<qint64> parentId() const;
    // The current row (-1: none) and its key; the keys of the selected rows in list order.
    int currentRow() const;
    std::optional<qint64> currentId() const;
    std::vector<qint64> selectedIds() const;
    // Makes a row current and the only one selected.
    void selectRow(int row);
    bool selectId(qint64 id);

    // Reads the rows again and reselects the current row (keyper, F5).
    void reload();
    void addRow();
    void editRow();
    void editRowPlain();  // the book's plain definition in the record editor
    void copyRow();
    void deleteRows();
    void find();
    void findNext();
    void includeAllVitamins();
    void bulkCopy();
    // PrintV: the book printed as the list shows it (the seasonal-loss book asks: every product
    // or the chosen one); PrintV1: the selected rows only.
    void printBook();
    void printSelected();

    bool runCommand(const QString& name) override;
    QSize sizeHint() const override;

    // How the window shows its modal dialogs (the record editor, the search dialog); tests
    // replace it to fill the dialog in.
    std::function<void(QDialog&)> showDialog;

signals:
    // The rows were read again (after a filter change, a reload or a command).
    void listLoaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void buildFilters(QWidget* host, QVBoxLayout* layout);
    void buildPeriod(QWidget* host, QVBoxLayout* layout);
    bool guarded(const QString& key);
    void fillParents();
    void fillGrandParents();
    void load(std::optional<qint64> keepId, int fallbackRow);
    void applyWidths();
    void fitContent();
    void fitHeaderHeight();
    void updateStatus();
    // plainForm: the generic record editor even where the book has a window of its own.
    void openEditor(books::EditMode mode, bool plainForm = false);
    void choose(QComboBox* box, const QVariant& value);
    QAction* addKey(const QString& key, const QString& text, const QString& tip, void (BookListWindow::*slot)());
    void copyToClipboard() const;

    Database& db_;
    Prompt& prompt_;
    int entry_;
    const books::BookDef* def_;
    BookListModel* model_;
    QTableView* grid_;
    QToolBar* toolBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QComboBox* parentBox_ = nullptr;
    QComboBox* grandParentBox_ = nullptr;
    QComboBox* secondBox_ = nullptr;
    QDateEdit* fromDate_ = nullptr;
    QDateEdit* toDate_ = nullptr;
    QWidget* panel_ = nullptr;
    QLabel* rowLabel_;
    QLabel* totalLabel_;
    QLabel* selectedLabel_;
    QHash<QString, QAction*> actions_;
    std::optional<books::BookSearch> search_;
    int searchColumn_ = -1;
    QString searchSample_;
    bool widthsSet_ = false;
    int toolBarTextWidth_ = 0;
};

} // namespace rat::ui
