#pragma once
// The card window (CardWindow): one technological card as a whole: its header, the nutrient
// block, the ingredient grid and the yield grid. The logic lives in books::CardEditor and the
// card grid functions; the window shows them, passes typed values in, opens the record editor
// for a line or a yield and keeps the caption's unsaved-changes marker. ОК saves and the
// window stays, so that lines can be added to a card just saved; "Закрыть" asks and closes.

#include "refbooks/CardEditor.h"
#include "ui/FieldControls.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolBar;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class CardWindow : public QDialog {
    Q_OBJECT
public:
    CardWindow(Database& db, Prompt& prompt, const QString& bookTitle, QWidget* parent = nullptr);

    // Reads the card (edit, copy) or prepares a new one of the category; false when the card no
    // longer exists (the person has been told; the window is not to be shown).
    bool open(books::EditMode mode, std::optional<qint64> id = {}, std::optional<qint64> category = {});

    QWidget* control(const QString& field) const;
    QTableWidget* ingredientGrid() const { return ingredients_; }
    QTableWidget* yieldGrid() const { return yields_; }
    QLabel* nutrientCaption() const { return nutrientCaption_; }
    QAction* action(const QString& key) const { return actions_.value(key); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* closeButton() const { return close_; }
    QString statusText() const;
    const books::CardEditor& editor() const { return editor_; }

    // The card as the file holds it when the window closes (nothing when it was never saved).
    std::optional<qint64> savedId() const { return editor_.cardId(); }

    // How the record editor of a line or a yield is shown; tests drive it in place of exec().
    std::function<void(QDialog&)> showDialog;

public slots:
    void accept() override;  // ОК: save; the window stays
    void reject() override;  // Закрыть, Escape, the close box: the questions, then close

    void addRow();
    void editRow();
    void copyRow();
    void deleteRows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildHeader();
    QWidget* buildNutrients();
    QWidget* buildGrids();
    QWidget* makeControl(int index, QWidget* parent);
    void display(int index);
    void displayAll();
    // After a line command: the whole header as the file holds it now.
    void reloadHeader();
    void changed(int index, const QVariant& value);
    void textEdited(int index, const QString& text);
    void refreshTitle();
    // Reads both grids again; the row of `select` (a line or yield key) in the active grid becomes current.
    void loadGrids(std::optional<qint64> select = {});
    void updateStatus();
    QTableWidget* activeGrid() const;
    books::CardGrid activeKind() const;
    void openLineEditor(books::EditMode mode);

    books::CardEditor editor_;
    Database& db_;
    Prompt& prompt_;
    FieldControls controls_;
    QHash<QString, QAction*> actions_;
    QTableWidget* ingredients_ = nullptr;
    QTableWidget* yields_ = nullptr;
    QTableWidget* lastGrid_ = nullptr;
    std::vector<books::CardIngredientRow> ingredientRows_;
    std::vector<books::CardYieldRow> yieldRows_;
    QLabel* nutrientCaption_ = nullptr;
    QLabel* perVihHeader_ = nullptr;
    QLabel* rowLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* selectedLabel_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* close_ = nullptr;
};

// Opens the card window modally over `parent` (the list of the cards). Returns the card when
// it exists in the file once the window closes.
std::optional<qint64> openCardWindow(QWidget* parent, Database& db, Prompt& prompt, const QString& bookTitle,
                                     books::EditMode mode, std::optional<qint64> id,
                                     std::optional<qint64> category = {});

} // namespace rat::ui
