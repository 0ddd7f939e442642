#pragma once
// The input controls of a window of a book's own (the product, the card): one control per
// editor field, found by index or by field name, shown without counting as a change, and a
// number field that keeps its last valid text when a keystroke is refused.

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

class QLineEdit;
class QObject;
class QWidget;

namespace rat::books {
struct EditorField;
}

namespace rat::ui {

// A text field that takes a number.
bool isNumericField(const books::EditorField& f);

// A refused keystroke: the field gets back the text it had, the cursor where it stood.
void restoreRefusedText(QLineEdit* edit, const QString& typed, const QString& before);

class FieldControls {
public:
    void reset(size_t fieldCount);
    // Takes the control of field `index`: named after the field, its keys go to `filter` first.
    QWidget* add(int index, const QString& field, QWidget* control, QObject* filter);
    QWidget* at(int index) const { return controls_[size_t(index)]; }
    QWidget* byName(const QString& field) const { return byName_.value(field.toLower(), nullptr); }
    int count() const { return int(controls_.size()); }

    // Shows a value (a list's key, a check, a text); the control's signals meanwhile are not changes.
    void show(int index, const QVariant& value);
    bool showing() const { return showing_; }

    // A text typed into the line of field `index`: kept when `allowed`, else the line gets
    // back its last kept text. True when kept.
    bool keepTyped(int index, const QString& text, bool allowed);
    // A text the window itself put into a line, kept as valid.
    void keep(QLineEdit* edit, const QString& text) { accepted_[edit] = text; }

private:
    std::vector<QWidget*> controls_;       // by field index
    QHash<QString, QWidget*> byName_;      // by field name, lower case
    QHash<QLineEdit*, QString> accepted_;  // the last text kept
    bool showing_ = false;
};

} // namespace rat::ui
