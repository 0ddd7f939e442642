#pragma once
// The document window: one window for every document with a header and a list of lines (the
// day menu, the product norm, expense, receipt, write-off, order). It builds the header fields
// of the kind, checks them on saving, shows the lines in a grid with the line commands on a
// toolbar, keeps the total and hands the confirmation to the kind.

#include "ui/DocumentKind.h"
#include "ui/MainChildCommands.h"

#include <QHash>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;
class QToolBar;
class QVBoxLayout;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

class MainWindow;

class DocumentWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    DocumentWindow(Database& db, Prompt& prompt, std::unique_ptr<DocumentKind> kind, QWidget* parent = nullptr);
    ~DocumentWindow() override;

    // Reads the document (edit, copy) or prepares a new one with `presets` over the kind's
    // defaults. False when the record no longer exists: the person has been told and the window
    // is not to be shown.
    bool open(DocumentMode mode, std::optional<qint64> id = {}, const HeaderValues& presets = {});

    Database& database() const { return db_; }
    Prompt& prompt() const { return prompt_; }
    DocumentKind& kind() const { return *kind_; }
    DocumentMode mode() const { return mode_; }
    // The saved document; nothing while a new one is not saved.
    std::optional<qint64> documentId() const { return id_; }
    std::optional<qint64> sourceId() const { return sourceId_; }
    bool isChanged() const { return changed_; }

    // The header: the control of a field by its field name, the values as typed.
    QWidget* control(const QString& field) const;
    HeaderValues values() const;
    void setValue(const QString& field, const QVariant& value);
    const std::vector<HeaderField>& fields() const { return fields_; }

    QTableWidget* grid() const { return grid_; }
    QLabel* totalLabel() const { return total_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* action(const QString& key) const { return actions_.value(key); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* cancelButton() const { return cancel_; }

    int currentRow() const;
    std::vector<int> selectedRows() const;  // ascending
    void selectRow(int row);

    // Header checks in field order, then the kind's save. True when saved.
    bool saveHeader();
    // A line command on a document without a key: "Для продолжения необходимо сохранить ...".
    bool ensureSaved();
    // Reads the lines again (and the total); `row` becomes current when it exists.
    void reloadLines(int row = -1);

    // Line commands (toolbar keys; Insert, Enter and Delete in the grid).
    void addLine();
    void editLine();
    void copyLine();
    void deleteLines();
    void deleteAllLines();
    void moveUp();
    void moveDown();
    void printDocument();
    void updateTotal();
    // OK: save and confirm. Cancel: close, asking to save changes.
    void confirm();
    void cancel();

    // What the window says when the database refuses to lock the record for editing. The file
    // is opened for exclusive use, so nothing refuses the lock yet; the text waits for shared use.
    static QString rowLockText();

    bool runCommand(const QString& name) override;
    QSize sizeHint() const override;

    // How the window shows its modal dialogs (the count editor); tests fill them in instead.
    std::function<void(QDialog&)> showDialog;

signals:
    // The header or the lines were written (the journal reads its list again).
    void documentSaved(qint64 id);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildToolBar();
    void buildHeader(QVBoxLayout* layout);
    QWidget* makeControl(const HeaderField& f, QWidget* host);
    void display(const HeaderValues& values);
    void markChanged();
    void refreshTitle();
    void closeWindow();
    bool lineCommand();
    // Runs a kind's command on the current line and reads the lines again when it changed them;
    // false when there was no saved document or no current line to run it on.
    bool currentLineCommand(bool (DocumentKind::*run)(DocumentWindow&, int));
    void move(int direction);
    QAction* addKey(const QString& key, const QString& text, const QString& tip, void (DocumentWindow::*slot)());

    Database& db_;
    Prompt& prompt_;
    std::unique_ptr<DocumentKind> kind_;
    DocumentMode mode_ = DocumentMode::New;
    std::optional<qint64> id_;
    std::optional<qint64> sourceId_;
    bool copyAccepted_ = false;   // copy mode: the lines go along at the first save
    bool savedForLines_ = false;  // a new document saved only to take lines
    bool changed_ = false;
    bool loading_ = false;
    bool closing_ = false;
    bool activated_ = false;
    bool confirmed_ = false;
    HeaderValues hidden_;         // values of fields without a control (presets, idd_tm)
    std::vector<HeaderField> fields_;
    QHash<QString, QWidget*> controls_;  // by field name, lower case
    QToolBar* toolBar_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* total_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QHash<QString, QAction*> actions_;
};

// Opens a document in its window inside the main window (or on its own without one). An
// open window of the same saved document is brought forward instead. Null when the record no
// longer exists (the person has been told) or the code is unknown.
DocumentWindow* openDocument(MainWindow* main, Database& db, Prompt& prompt, int code, std::optional<qint64> id,
                             DocumentMode mode, const HeaderValues& presets = {});

} // namespace rat::ui
