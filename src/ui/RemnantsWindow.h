#pragma once
// The remnants list ("Остатки на складе"): every lot with what is left of it on a date (today
// unless the person picks another), in one warehouse or in all, a total per product in the
// product's unit, and the lots entered directly (opening balances) added and changed here.

#include "ui/MainChildCommands.h"

#include <QDate>
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
class QTableWidget;
class QToolBar;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class RemnantsWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    RemnantsWindow(Database& db, Prompt& prompt, QWidget* parent = nullptr);

    QDateEdit* dateEdit() const { return date_; }
    QComboBox* warehouseBox() const { return warehouse_; }
    QTableWidget* grid() const { return grid_; }
    QLabel* totalLabel() const { return total_; }
    QAction* action(const QString& key) const { return actions_.value(key); }

    // Reads the lots again for the chosen date and warehouse.
    void reload();
    // A lot entered directly (an opening balance), dated with the chosen date.
    void addLot();
    // The lot editor of the current lot: a lot entered directly is changed here, a receipt's
    // lot in its receipt.
    void editLot();
    // The lot of a grid row (nothing for a product's total row).
    std::optional<qint64> lotOfRow(int row) const;

    bool runCommand(const QString& name) override;
    QSize sizeHint() const override;

    // How the window shows its modal dialogs (the lot editor); tests fill them in instead.
    std::function<void(QDialog&)> showDialog;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Database& db_;
    Prompt& prompt_;
    QToolBar* toolBar_ = nullptr;
    QDateEdit* date_ = nullptr;
    QComboBox* warehouse_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* total_ = nullptr;
    QHash<QString, QAction*> actions_;
    std::vector<std::optional<qint64>> lots_;  // by grid row; nothing on a total row
    bool widthsSet_ = false;
};

} // namespace rat::ui
