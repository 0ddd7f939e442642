#pragma once
// The menu-requirement print settings window: the order and look of the printed form, kept per
// user (section "User").

#include "documents/MenuRequirementPrint.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace rat::ui {

class MenuRequirementPrintSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit MenuRequirementPrintSettingsDialog(QWidget* parent = nullptr);

    // The settings as the controls show them.
    documents::MenuRequirementPrintSettings settings() const;
    // OK: the settings are saved and the window closes.
    void accept() override;

    QCheckBox* sortByCode() const { return sortShif_; }
    QCheckBox* groupByDish() const { return groupMT_; }
    QSpinBox* fontSize() const { return schrif_; }

private:
    QCheckBox* sortShif_ = nullptr;
    QCheckBox* minGr_ = nullptr;
    QCheckBox* dub_ = nullptr;
    QCheckBox* prodMT_ = nullptr;
    QCheckBox* groupMT_ = nullptr;
    QSpinBox* schrif_ = nullptr;
    QSpinBox* schrif1_ = nullptr;
    QSpinBox* schrif2_ = nullptr;
    documents::MenuRequirementPrintSettings kept_;
};

} // namespace rat::ui
