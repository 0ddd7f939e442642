#pragma once
// "Параметры автозаказа" (EditOrderingParameters): a tab per plan-menu with eater types on
// allowance, each with its check box, the number of days, the warehouse and the eater counts.

#include "stock/AutoOrderParameters.h"

#include <QDialog>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class OrderingParametersDialog : public QDialog {
    Q_OBJECT
public:
    // `setups` as stock::openOrderingParameters gave them.
    OrderingParametersDialog(Database& db, Prompt& prompt, std::vector<stock::OrderingSetup> setups,
                             QWidget* parent = nullptr);

    // The controls of the tab of a plan-menu (0-based, in tab order).
    QTabWidget* tabs() const { return tabs_; }
    QCheckBox* useBox(int tab) const { return pages_[size_t(tab)].use; }
    QSpinBox* daysBox(int tab) const { return pages_[size_t(tab)].days; }
    QComboBox* warehouseBox(int tab) const { return pages_[size_t(tab)].warehouse; }
    QTableWidget* countsGrid(int tab) const { return pages_[size_t(tab)].grid; }
    bool isChanged() const { return changed_; }

    // OK: a used plan-menu with a zero count asks first (No returns to its tab); then the set-ups
    // are stored and the window closes.
    void accept() override;
    // Cancel or closing: after changes "Были внесены изменения. Сохранить?" (Yes saves as OK).
    void reject() override;

private:
    struct Page {
        QCheckBox* use = nullptr;
        QSpinBox* days = nullptr;
        QComboBox* warehouse = nullptr;
        QTableWidget* grid = nullptr;
        std::vector<size_t> rows;  // index into the set-up's eaters of each grid row
    };
    void buildPage(size_t index);
    void collect(size_t index);
    bool settle(size_t index);
    void tabChanging(int index);
    bool save();

    Database& db_;
    Prompt& prompt_;
    std::vector<stock::OrderingSetup> setups_;
    std::vector<Page> pages_;
    QTabWidget* tabs_ = nullptr;
    int currentTab_ = 0;
    bool changed_ = false;
    bool switching_ = false;
};

// EditOrderingParameters: opens the dialog (nothing when there is no plan-menu with eater types
// on allowance, after the message); `show` runs it (exec() when empty). True when saved.
bool editOrderingParameters(QWidget* parent, Database& db, Prompt& prompt,
                            const std::function<void(QDialog&)>& show = {});

} // namespace rat::ui
