#pragma once
// The day menu's part of the document window. The count editor of one row (a dish for one
// eater type) is a small dialog of its own.

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace rat::ui {

class DayMenuCountDialog : public QDialog {
    Q_OBJECT
public:
    DayMenuCountDialog(const QString& dish, const QString& eaterType, const QString& groupCaption, const QString& group,
                       qint64 quantity, QWidget* parent = nullptr);
    QLineEdit* quantityEdit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    // The count as typed (trimmed); empty leaves the row as it is.
    QString text() const;

private:
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// A dish added to a day menu by hand: the meal (or the dish category) and the card.
class DayMenuDishDialog : public QDialog {
    Q_OBJECT
public:
    DayMenuDishDialog(const QString& groupCaption, QWidget* parent = nullptr);
    QComboBox* groupBox() const { return group_; }
    QComboBox* cardBox() const { return card_; }
    QPushButton* okButton() const { return ok_; }

private:
    QComboBox* group_ = nullptr;
    QComboBox* card_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace rat::ui
