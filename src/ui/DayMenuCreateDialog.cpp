// The dialog "Создание меню на день": plan-menus with their days, from which a day menu is
// made.

#include "ui/DayMenuCreateDialog.h"
#include "core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

DayMenuCreateDialog::DayMenuCreateDialog(Prompt& prompt, std::vector<menu::PlanMenuOffer> offers, QWidget* parent)
    : QDialog(parent), prompt_(prompt), offers_(std::move(offers))
{
    setObjectName(QStringLiteral("frmDayMenuCreate"));
    setWindowTitle(QStringLiteral("Создание меню на день"));

    auto* frame = new QGroupBox(QStringLiteral("Выберите плановые меню и день"), this);
    frame->setObjectName(QStringLiteral("framePlans"));
    auto* frameLayout = new QVBoxLayout(frame);
    auto* scroll = new QScrollArea(frame);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* inner = new QWidget(scroll);
    auto* grid = new QGridLayout(inner);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setHorizontalSpacing(12);
    if (offers_.empty())
        grid->addWidget(new QLabel(QStringLiteral("Нет плановых меню с заполненными днями."), inner), 0, 0, 1, 2);
    for (int i = 0; i < int(offers_.size()); ++i) {
        const menu::PlanMenuOffer& offer = offers_[size_t(i)];
        auto* box = new QCheckBox(offer.caption, inner);
        box->setObjectName(QStringLiteral("plan%1").arg(offer.id));
        auto* list = new QComboBox(inner);
        list->setObjectName(QStringLiteral("days%1").arg(offer.id));
        list->setMinimumContentsLength(16);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMaxVisibleItems(20);
        for (const auto& [id, name] : offer.days)
            list->addItem(name, id);
        list->setCurrentIndex(-1);
        list->setPlaceholderText(QStringLiteral("выберите день"));
        list->setEnabled(false);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { toggled(i, on); });
        grid->addWidget(box, i, 0);
        grid->addWidget(list, i, 1);
        boxes_.push_back(box);
        lists_.push_back(list);
    }
    grid->setRowStretch(int(offers_.size()), 1);
    scroll->setWidget(inner);
    frameLayout->addWidget(scroll);

    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok_, &QPushButton::clicked, this, &DayMenuCreateDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &DayMenuCreateDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    const int rowHeight = boxes_.empty() ? 30 : qMax(boxes_.front()->sizeHint().height(), 28) + 8;
    resize(620, qBound(220, int(offers_.size()) * rowHeight + 130, 560));
}

void DayMenuCreateDialog::toggled(int index, bool on)
{
    lists_[size_t(index)]->setEnabled(on);
    order_.erase(std::remove(order_.begin(), order_.end(), index), order_.end());
    if (on)
        order_.push_back(index);
    // One organisation per day menu: the first ticked box decides which boxes stay open.
    const bool any = !order_.empty();
    const menu::MenuMode mode = any ? offers_[size_t(order_.front())].mode : menu::MenuMode::ByMeals;
    for (size_t i = 0; i < boxes_.size(); ++i)
        boxes_[i]->setEnabled(!any || offers_[i].mode == mode);
}

std::vector<menu::PlanDayPair> DayMenuCreateDialog::pairs() const
{
    std::vector<menu::PlanDayPair> out;
    for (int i : order_) {
        const QComboBox* list = lists_[size_t(i)];
        if (list->currentIndex() >= 0)
            out.emplace_back(offers_[size_t(i)].id, list->currentData().toLongLong());
    }
    return out;
}

void DayMenuCreateDialog::accept()
{
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QComboBox* list = lists_[i];
        if (boxes_[i]->isChecked() && list->currentIndex() < 0) {
            prompt_.warning(QStringLiteral("Необходимо обязательно выбрат из списка день у плана меню \"") +
                            offers_[i].caption + QStringLiteral("\" ."));
            list->setFocus();
            return;
        }
    }
    QDialog::accept();
}

} // namespace rat::ui
