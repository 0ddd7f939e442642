#pragma once
// The parameters window: the behaviour switches of the file and of the user.

#include "core/Parameters.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class frmParameters : public QDialog {
    Q_OBJECT
public:
    frmParameters(Database& db, Prompt& prompt, QWidget* parent = nullptr);

    // OK: checks the typed numbers, saves and closes; a bad number keeps the window open.
    void accept() override;

private:
    void build();
    void load(const ProgramParameters& p);
    bool collect(ProgramParameters& p);
    void ndsToggled(bool on);
    void nacenToggled(bool on);
    void vestSklToggled(bool on);

    Database& db_;
    Prompt& prompt_;
    ProgramParameters loaded_;  // values the window has no control for pass through unchanged

    QCheckBox* chkNorms_ = nullptr;
    QCheckBox* chkEatings_ = nullptr;
    QCheckBox* chkZapretPlM_ = nullptr;
    QCheckBox* chkIspAvtRas_ = nullptr;
    QRadioButton* opt5Week_ = nullptr;
    QRadioButton* opt6Week_ = nullptr;
    QCheckBox* chkSezonnost_ = nullptr;
    QSpinBox* spnOkrugl_ = nullptr;    // "tochOkrugl", the precision of the menus' sums
    QSpinBox* spnRounding_ = nullptr;  // "Округление", the rounding digits of the computations
    QCheckBox* chkNDS_ = nullptr;
    QLineEdit* txtNDS_ = nullptr;
    QCheckBox* chkNacen_ = nullptr;
    QLineEdit* txtNacen_ = nullptr;
    QCheckBox* chkVestSkl_ = nullptr;
    QCheckBox* chkAvtSpis_ = nullptr;
    QComboBox* cboSchab_ = nullptr;
    QCheckBox* chkChOdin_ = nullptr;
    QCheckBox* chkTKlist_ = nullptr;
    QCheckBox* chkGalka_ = nullptr;
    QCheckBox* chkDopRekvizit_ = nullptr;
    QCheckBox* chkSumBludOb_ = nullptr;
    QCheckBox* chkShablonPM_ = nullptr;
    QLineEdit* txtTaimOut_ = nullptr;
};

// Shows the window modally; true when the parameters were saved.
bool showParametersDialog(QWidget* parent, Database& db, Prompt& prompt);

} // namespace rat::ui
