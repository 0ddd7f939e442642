#pragma once
// The menu-requirement window (frmMenuTr): the products a day menu needs, per product for all
// eaters or line by line per eater type, meal and dish, beside the store's remnant; quantities
// edited, a product replaced, the whole re-created from the day menu, the cost of the menu and
// the products the store lacks. The window edits a working copy of the document; saving asks
// whether to approve (and issue from stock), closing asks for unsaved changes; the working copy
// goes when the window closes.

#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"
#include "ui/MainChildCommands.h"

#include <QDialog>
#include <QHash>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolBar;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class MainWindow;

// The replacement of a product on one line: what the line is, and the substitutes offered.
class ReplacementDialog : public QDialog {
    Q_OBJECT
public:
    // `units`: the unit of each substitute, in the offer's order.
    ReplacementDialog(const stock::ReplacementOffer& offer, const QStringList& units, QWidget* parent = nullptr);
    QListWidget* candidates() const { return list_; }
    QPushButton* okButton() const { return ok_; }
    // The chosen substitute (-1: none).
    int chosen() const;

private:
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class MenuRequirementWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    // The stored menu-requirement `idm` (open() puts it into a working copy), or nothing for a
    // working copy given to openWorkingCopy().
    MenuRequirementWindow(Database& db, Prompt& prompt, std::optional<qint64> idm, QWidget* parent = nullptr);
    ~MenuRequirementWindow() override;

    // Loads the document into a working copy; false when it no longer exists (the person has
    // been told) and the window is not to be shown.
    bool open();
    // Takes a working copy already made for a day menu; a new document (no `idm`) counts as
    // changed until it is first stored.
    bool openWorkingCopy(const stock::OpenedRequirement& opened);
    // Opened from the journal: an issue closes the window.
    void setOpenedFromJournal(bool on) { fromJournal_ = on; }

    std::optional<qint64> documentId() const { return idm_; }
    std::optional<qint64> workingId() const { return idm1_; }
    bool isChanged() const { return changed_; }

    QComboBox* viewBox() const { return view_; }
    QComboBox* sufficiencyBox() const { return sufficiency_; }
    QTableWidget* grid() const { return grid_; }
    QLineEdit* costEdit() const { return cost_; }
    QPlainTextEdit* shortageBox() const { return shortage_; }
    QAction* action(const QString& key) const { return actions_.value(key); }
    stock::WorkingView view() const;
    // The grid's column of the quantity a person may change.
    int quantityColumn() const;

    // What typing a quantity into the grid does: the line (or the product's total) takes it.
    bool setQuantity(int row, const QString& text);
    void replaceProduct();
    void recreate();
    // The save command and OK: "Выполнить расход?" / "Утвердить меню-требование?", then stored
    // (and issued); false when cancelled or refused.
    bool save();
    // On every activation: the remnants as the store holds them now.
    void activated();
    void reload();

    // The toolbar's print commands: the form chosen in the parameters (or the cook's copy) of
    // what the window shows, the day menu with or without dish costs, the print settings window.
    void printRequirement(bool cookCopy);
    void printMenu();
    void editPrintSettings();

    bool runCommand(const QString& name) override;
    QSize sizeHint() const override;

    std::function<void(QDialog&)> showDialog;

signals:
    // The document was stored (the journal reads its list again).
    void documentSaved(qint64 idm);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addPrintKeys();
    void markChanged();
    void refreshTitle();
    void quantityEdited(int row, int column);
    void showLoaded();
    // The cost box as a number (empty: 0); nothing when refused (the person has been told).
    std::optional<double> typedCost();
    void closeWindow();

    Database& db_;
    Prompt& prompt_;
    std::optional<qint64> idm_;
    bool fromJournal_ = false;
    bool closing_ = false;
    std::optional<qint64> idm1_;
    stock::WorkingHeader header_;
    std::vector<stock::WorkingLine> lines_;  // by grid row
    bool changed_ = false;
    bool loading_ = false;
    bool widthsSet_ = false;
    int widthsView_ = -1;
    QToolBar* toolBar_ = nullptr;
    QComboBox* view_ = nullptr;
    QComboBox* sufficiency_ = nullptr;  // all products, the short ones, the covered ones
    QTableWidget* grid_ = nullptr;
    QLineEdit* cost_ = nullptr;
    QLabel* priced_ = nullptr;
    QPlainTextEdit* shortage_ = nullptr;
    QHash<QString, QAction*> actions_;
};

// Opens the window of a stored menu-requirement inside the main window (an open one is brought
// forward). Null when the document no longer exists.
MenuRequirementWindow* openMenuRequirement(MainWindow& main, Database& db, Prompt& prompt, qint64 idm,
                                           bool fromJournal = false);
// Opens the window on a working copy made for a day menu.
MenuRequirementWindow* openMenuRequirement(MainWindow& main, Database& db, Prompt& prompt,
                                           const stock::OpenedRequirement& opened, bool fromJournal = false);

} // namespace rat::ui
