#pragma once
// The record editor (frmSD1): one row of a reference book as a column of labelled input
// controls, saved through the book's RecordEditor. The same window in search mode asks for
// a column of the list and a sample ("Найти: " + the book, button "Найти далее").

#include "refbooks/BookActions.h"

#include <QDialog>
#include <QHash>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace rat::books {
class RecordEditor;
}

namespace rat::ui {

class RecordEditorDialog : public QDialog {
    Q_OBJECT
public:
    // The editor of an opened RecordEditor (add, edit or copy); it stays the editor's view.
    explicit RecordEditorDialog(books::RecordEditor& editor, QWidget* parent = nullptr);
    // The search dialog of a book: its searchable columns, with the column and sample of the
    // last search preset.
    RecordEditorDialog(const QString& bookTitle, const std::vector<books::SearchColumn>& columns, int column,
                     const QString& sample, QWidget* parent = nullptr);

    bool isSearch() const { return editor_ == nullptr; }

    // The input control of a field by its field name (the widget's objectName), or null.
    QWidget* control(const QString& field) const;
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Editor: the key of the row saved (after ОК, or Yes to "Сохранить изменения?").
    std::optional<qint64> savedId() const { return savedId_; }

    // Search: the chosen list column (0-based visible column; -1 with no columns) and sample.
    QComboBox* searchColumnBox() const { return searchColumn_; }
    QLineEdit* sampleEdit() const { return sample_; }
    int searchColumn() const;
    QString sample() const;

    QSize sizeHint() const override;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildButtons(QVBoxLayout* layout, const QString& okText);
    void buildEditor();
    void buildSearch(const QString& bookTitle, const std::vector<books::SearchColumn>& columns, int column,
                     const QString& sample);
    QWidget* makeControl(int index);
    void fillList(int index, QComboBox* box);
    void listChanged(int index);
    // After a box changed: the fields that follow it (a recipe line's item list between products
    // and cards, the fields a comment line has no use for) are enabled, captioned and filled as
    // they now apply.
    void followBoxes();
    void save();
    bool isInput(QWidget* w) const;

    books::RecordEditor* editor_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QHash<QString, QWidget*> controls_;   // by field name (lower case)
    QHash<int, QLabel*> labels_;          // caption of a field by its index
    QHash<int, int> listSources_;         // the list source a list field shows, by its index
    QHash<QWidget*, QString> accepted_;   // numeric fields: the last text accepted
    std::vector<QWidget*> inputs_;        // input controls in display order
    std::optional<qint64> savedId_;
    QComboBox* searchColumn_ = nullptr;
    QLineEdit* sample_ = nullptr;
    std::vector<books::SearchColumn> columns_;
    int contentHeight_ = 0;
    int contentWidth_ = 0;
};

} // namespace rat::ui
