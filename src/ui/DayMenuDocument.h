#pragma once
// The day menu's part of the document window. The count editor of one row (a dish for one
// eater type) is a small dialog of its own.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace rat::ui {

class DayMenuCountDialog : public QDialog {
    Q_OBJECT
public:
    DayMenuCountDialog(const QString& dish, const QString& eaterType, const QString& group, qint64 quantity,
                       QWidget* parent = nullptr);
    QLineEdit* quantityEdit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    // The count as typed (trimmed); empty leaves the row as it is.
    QString text() const;

private:
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace rat::ui
