#pragma once
// "Создание меню на день": one check box per plan-menu with a list of its days beside it. A
// day menu is made from days of plan-menus of one organisation, so while a box is ticked the
// boxes of plan-menus of the other organisation are locked.

#include "menu/DayMenu.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace rat {
class Prompt;
}

namespace rat::ui {

class DayMenuCreateDialog : public QDialog {
    Q_OBJECT
public:
    DayMenuCreateDialog(Prompt& prompt, std::vector<menu::PlanMenuOffer> offers, QWidget* parent = nullptr);

    const std::vector<QCheckBox*>& checkBoxes() const { return boxes_; }
    const std::vector<QComboBox*>& dayLists() const { return lists_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The chosen (plan-menu, day) pairs in the order the boxes were ticked.
    std::vector<menu::PlanDayPair> pairs() const;

public slots:
    // OK: every ticked plan-menu needs a day; otherwise the message, the list gets the focus
    // and the dialog stays.
    void accept() override;

private:
    void toggled(int index, bool on);

    Prompt& prompt_;
    std::vector<menu::PlanMenuOffer> offers_;
    std::vector<QCheckBox*> boxes_;
    std::vector<QComboBox*> lists_;
    std::vector<int> order_;  // ticked offers in the order of ticking
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace rat::ui
