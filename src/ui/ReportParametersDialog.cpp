// The report parameters dialog: dates, the warehouse, OK and Cancel.

#include "ui/ReportParametersDialog.h"

#include "core/Clock.h"
#include "documents/StockReports.h"
#include "stock/StockLots.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace rat::ui {

namespace {

QDateEdit* dateEdit(QWidget* parent, const QDate& date, const char* name)
{
    auto* e = new QDateEdit(date, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    e->setCalendarPopup(true);
    return e;
}

} // namespace

ReportParametersDialog::ReportParametersDialog(Database& db, Prompt& prompt, const QString& title, Dates dates,
                                               bool withWarehouse, int maxDays, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt), maxDays_(maxDays)
{
    setObjectName(QStringLiteral("reportParameters"));
    setWindowTitle(title);
    auto* form = new QFormLayout;
    const QDate today = Clock::today();
    if (dates == Dates::Period) {
        from_ = dateEdit(this, QDate(today.year(), today.month(), 1), "from");
        to_ = dateEdit(this, QDate(today.year(), today.month(), today.daysInMonth()), "to");
        form->addRow(QStringLiteral("Период с"), from_);
        form->addRow(QStringLiteral("по"), to_);
    } else {
        from_ = dateEdit(this, today, "date");
        form->addRow(QStringLiteral("Дата"), from_);
    }
    if (withWarehouse) {
        warehouse_ = new QComboBox(this);
        warehouse_->setObjectName(QStringLiteral("warehouse"));
        for (const auto& [id, name] : stock::warehouses(db, true))
            warehouse_->addItem(name, id);
        form->addRow(QStringLiteral("Склад"), warehouse_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QDate ReportParametersDialog::from() const { return from_->date(); }
QDate ReportParametersDialog::to() const { return to_ ? to_->date() : from_->date(); }

std::optional<qint64> ReportParametersDialog::warehouse() const
{
    if (!warehouse_)
        return std::nullopt;
    const qint64 id = warehouse_->currentData().toLongLong();
    return id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

void ReportParametersDialog::accept()
{
    if (documents::checkReportPeriod(db_, prompt_, from(), to(), maxDays_))
        QDialog::accept();
}

} // namespace rat::ui
