#pragma once
// The product window (ProductWindow): one product with its fields, its nutrient block per 100 g and
// one row per vitamin; new, edit or copy. The logic lives in books::ProductEditor; the window
// shows its fields, passes typed values in and keeps the caption's unsaved-changes marker.

#include "refbooks/ProductEditor.h"
#include "ui/FieldControls.h"

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class ProductWindow : public QDialog {
    Q_OBJECT
public:
    ProductWindow(Database& db, Prompt& prompt, QWidget* parent = nullptr);

    // Reads the product (edit, copy) or the presets of a new one and shows them; false when the
    // product no longer exists (the person has been told; the window is not to be shown).
    bool open(books::EditMode mode, std::optional<qint64> id = {}, std::optional<qint64> group = {});

    // The input control of a field by its field name ("pname", "$Ca"), or null.
    QWidget* control(const QString& field) const;
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    const books::ProductEditor& editor() const { return editor_; }

    // The product saved by ОК (or by Yes when closing with changes).
    std::optional<qint64> savedId() const { return savedId_; }
    // Whether the person asked to open the nutrition norms after the save.
    bool normsRequested() const { return normsRequested_; }

public slots:
    void accept() override;  // ОК: save, and close when saved
    void reject() override;  // Отмена, Escape, the window's close box: asks when there are changes

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void display(int index);
    void changed(int index, const QVariant& value);
    void textEdited(int index, const QString& text);
    void refreshTitle();

    books::ProductEditor editor_;
    FieldControls controls_;
    QWidget* vat_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<qint64> savedId_;
    bool normsRequested_ = false;
};

// Opens the product window modally over `parent` (the list window of the products). After a
// save that asked for the nutrition norms, the main window's command "Нормы питания" opens
// them. True when a product was saved; its key goes to `savedId` when given.
bool openProductWindow(QWidget* parent, Database& db, Prompt& prompt, books::EditMode mode,
                       std::optional<qint64> id, std::optional<qint64> group = {}, qint64* savedId = nullptr);

// Lets the list windows use this module: the product window for the rows of the products, and
// the bulk copies of a product's substitutes and seasonal losses.
void installProductWindows();

} // namespace rat::ui
