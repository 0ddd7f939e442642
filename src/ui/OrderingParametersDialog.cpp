// The automatic-order parameters dialog: one tab per plan-menu, the zero-count question when a
// used tab is left, the question on Cancel after changes, the set-ups stored on OK.

#include "ui/OrderingParametersDialog.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "stock/StockLots.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rat::ui {

OrderingParametersDialog::OrderingParametersDialog(Database& db, Prompt& prompt, std::vector<stock::OrderingSetup> setups,
                                                   QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), setups_(std::move(setups))
{
    setObjectName(QStringLiteral("EditOrderingParameters"));
    setWindowTitle(QStringLiteral("Параметры автозаказа"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabPlanMenus"));
    layout->addWidget(tabs_);
    pages_.resize(setups_.size());
    for (size_t i = 0; i < setups_.size(); ++i)
        buildPage(i);
    connect(tabs_, &QTabWidget::currentChanged, this, &OrderingParametersDialog::tabChanging);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(460, 380);
}

void OrderingParametersDialog::buildPage(size_t index)
{
    const stock::OrderingSetup& s = setups_[index];
    Page& p = pages_[index];
    auto* page = new QWidget(tabs_);
    auto* grid = new QGridLayout(page);

    p.use = new QCheckBox(QStringLiteral("Использовать автоматический заказ"), page);
    p.use->setObjectName(QStringLiteral("chkUse"));
    p.use->setChecked(s.used);
    grid->addWidget(p.use, 0, 0, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Создавать автоматический заказ на:"), page), 1, 0);
    p.days = new QSpinBox(page);
    p.days->setObjectName(QStringLiteral("txtDays"));
    p.days->setRange(1, 365);
    p.days->setValue(qBound(1, s.days, 365));
    grid->addWidget(p.days, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("дн."), page), 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Склад:"), page), 2, 0);
    p.warehouse = new QComboBox(page);
    p.warehouse->setObjectName(QStringLiteral("cboSklad"));
    for (const auto& [id, name] : stock::warehouses(db_, false))
        p.warehouse->addItem(name, id);
    const int at = p.warehouse->findData(s.warehouse);
    if (at >= 0)
        p.warehouse->setCurrentIndex(at);
    grid->addWidget(p.warehouse, 2, 1, 1, 2);

    p.grid = new QTableWidget(page);
    p.grid->setObjectName(QStringLiteral("grdCounts"));
    p.grid->setColumnCount(2);
    p.grid->setHorizontalHeaderLabels({QStringLiteral("Тип довольствующихся"), QStringLiteral("Количество")});
    p.grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    p.grid->verticalHeader()->hide();
    for (size_t e = 0; e < s.eaters.size(); ++e) {
        if (!s.eaters[e].active)
            continue;
        const int row = p.grid->rowCount();
        p.grid->insertRow(row);
        auto* name = new QTableWidgetItem(s.eaters[e].name);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        p.grid->setItem(row, 0, name);
        auto* count = new QTableWidgetItem;
        count->setData(Qt::EditRole, s.eaters[e].count);  // a spin box edits it: digits only
        p.grid->setItem(row, 1, count);
        p.rows.push_back(e);
    }
    grid->addWidget(p.grid, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    const auto changed = [this] { changed_ = true; };
    connect(p.use, &QCheckBox::toggled, this, changed);
    connect(p.days, &QSpinBox::valueChanged, this, changed);
    connect(p.warehouse, &QComboBox::currentIndexChanged, this, changed);
    connect(p.grid, &QTableWidget::itemChanged, this, changed);
    tabs_->addTab(page, s.title);
}

void OrderingParametersDialog::collect(size_t index)
{
    stock::OrderingSetup& s = setups_[index];
    const Page& p = pages_[index];
    s.used = p.use->isChecked();
    s.days = p.days->value();
    if (p.warehouse->currentIndex() >= 0)
        s.warehouse = p.warehouse->currentData().toLongLong();
    for (int row = 0; row < p.grid->rowCount(); ++row)
        s.eaters[p.rows[size_t(row)]].count = qMax(0, p.grid->item(row, 1)->data(Qt::EditRole).toInt());
}

// The zero-count question of a tab; Yes clears its check box.
bool OrderingParametersDialog::settle(size_t index)
{
    collect(index);
    if (!stock::settleZeroCounts(prompt_, setups_[index]))
        return false;
    pages_[index].use->setChecked(setups_[index].used);
    return true;
}

void OrderingParametersDialog::tabChanging(int index)
{
    if (switching_)
        return;
    const int left = currentTab_;
    if (left >= 0 && left < int(pages_.size()) && !settle(size_t(left))) {
        // Back to the tab whose counts are to be entered.
        switching_ = true;
        tabs_->setCurrentIndex(left);
        switching_ = false;
        return;
    }
    currentTab_ = index;
}

bool OrderingParametersDialog::save()
{
    for (size_t i = 0; i < setups_.size(); ++i)
        if (!settle(i)) {
            switching_ = true;
            tabs_->setCurrentIndex(int(i));
            currentTab_ = int(i);
            switching_ = false;
            return false;
        }
    stock::saveOrderingParameters(db_, setups_);
    return true;
}

void OrderingParametersDialog::accept()
{
    if (save())
        QDialog::accept();
}

void OrderingParametersDialog::reject()
{
    if (changed_ && prompt_.ask(stock::orderingChangedQuestion(), Buttons::YesNo, Answer::Yes) == Answer::Yes) {
        accept();
        return;
    }
    stock::closeOrderingParameters(db_);
    QDialog::reject();
}

bool editOrderingParameters(QWidget* parent, Database& db, Prompt& prompt, const std::function<void(QDialog&)>& show)
{
    auto setups = stock::openOrderingParameters(db, prompt);
    if (!setups)
        return false;
    OrderingParametersDialog dlg(db, prompt, std::move(*setups), parent);
    if (show)
        show(dlg);
    else
        dlg.exec();
    return dlg.result() == QDialog::Accepted;
}

} // namespace rat::ui
