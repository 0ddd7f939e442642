#pragma once
// The parameters of a report: a period (from–to) or one date, and a warehouse ("Все склады" or one
// of them) where the report takes one. OK checks the period, Cancel or Escape leaves.

#include <QDate>
#include <QDialog>
#include <optional>

class QComboBox;
class QDateEdit;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class ReportParametersDialog : public QDialog {
    Q_OBJECT
public:
    enum class Dates { Period, OneDate };
    // A period starts as the current month, a date as today. `maxDays` > 0 limits the period.
    ReportParametersDialog(Database& db, Prompt& prompt, const QString& title, Dates dates, bool withWarehouse,
                           int maxDays = 0, QWidget* parent = nullptr);

    QDate from() const;
    QDate to() const;     // the date itself for one date
    std::optional<qint64> warehouse() const;  // nothing for all warehouses or none asked

    QDateEdit* fromEdit() const { return from_; }
    QDateEdit* toEdit() const { return to_; }   // null for one date
    QComboBox* warehouseBox() const { return warehouse_; }  // null without a warehouse

    // Refuses a period whose start is after its end (or longer than the limit) with a message.
    void accept() override;

private:
    Database& db_;
    Prompt& prompt_;
    int maxDays_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* warehouse_ = nullptr;
};

} // namespace rat::ui
