#pragma once
// The questions about the institution asked when a new database is made ("frmSpros"), and the
// creation of a new database with them and the progress window.

#include "exchange/NewDatabase.h"

#include <QDialog>
#include <QString>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rat {
class DatabaseSession;
class Prompt;
}

namespace rat::ui {

class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the last answers ("ned", "vr", "per", "pl").
    explicit FirstStartDialog(Prompt& prompt, QWidget* parent = nullptr);

    exchange::NewDatabaseAnswers answers() const;
    void setAnswers(const exchange::NewDatabaseAnswers& a);
    // The choice of that text (for instance "12 часов"); nullptr when there is none.
    QRadioButton* choice(const QString& text) const;
    QPushButton* okButton() const { return ok_; }
    // The institution's name as typed (the file's sample name when left empty).
    QString institutionName() const;

    // OK remembers the answers; however the window closes, the summary of the answers in
    // force is shown.
    void done(int result) override;

private:
    QButtonGroup* addGroup(const QString& title, const QStringList& texts, const QString& name);

    Prompt& prompt_;
    std::vector<QRadioButton*> choices_;
    QButtonGroup* week_ = nullptr;
    QButtonGroup* stay_ = nullptr;
    QButtonGroup* cycle_ = nullptr;
    QButtonGroup* plan_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLineEdit* name_ = nullptr;
};

// Creates and fills a new database at `path` (the fill of the desktop program): the file is
// made, the questions window asked, and the fill shown in the progress window. Messages go
// to `prompt`.
bool createDatabaseWithQuestions(QWidget* parent, DatabaseSession& session, const QString& path, Prompt& prompt);

} // namespace rat::ui
