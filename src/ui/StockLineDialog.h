#pragma once
// The line editor of a stock document and of a lot entered directly: a column of labelled
// controls, one per field of the line (product, lot, quantity, unit, price, dates, warehouse,
// reason), each named after its column. OK hands the typed values to the caller's check and
// closes only when it accepts them, so a refused line keeps what was typed.

#include "refbooks/BookCatalogue.h"

#include <QDate>
#include <QDialog>
#include <QHash>
#include <QMap>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

class QFormLayout;
class QLabel;
class QPushButton;

namespace rat::ui {

struct LineField {
    enum class Kind { List, Number, Date, Text, Shown };
    QString column;   // the control's object name and the key of its value
    QString caption;
    Kind kind = Kind::Text;
    std::vector<books::ListItem> items;  // a list's rows
};

class StockLineDialog : public QDialog {
    Q_OBJECT
public:
    StockLineDialog(const QString& title, const std::vector<LineField>& fields, QWidget* parent = nullptr);

    QWidget* control(const QString& column) const { return controls_.value(column.toLower()); }
    QLabel* caption(const QString& column) const { return captions_.value(column.toLower()); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // A list's chosen value (null when none), a number's or a text's text, a date.
    QVariant value(const QString& column) const;
    // Shows a value without it counting as typed by the person.
    void setValue(const QString& column, const QVariant& value);
    // Every field as text: a list's value, a date as YYYY-MM-DD, a number as typed.
    QMap<QString, QString> texts() const;
    // Shows or hides a field with its caption.
    void setFieldVisible(const QString& column, bool visible);

    // OK runs the check; true closes the editor (the line has been written).
    std::function<bool(StockLineDialog&)> accepting;
    // A field the person changed (the product's unit and sell-by date follow a product).
    std::function<void(StockLineDialog&, const QString& column)> changed;

private:
    void accept() override;

    QHash<QString, QWidget*> controls_;  // by column, lower case
    QHash<QString, QLabel*> captions_;
    QHash<QString, LineField::Kind> kinds_;
    QStringList order_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool showing_ = false;
};

} // namespace rat::ui
