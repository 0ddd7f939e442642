// The input controls of the product and card windows: one per field, shown without counting
// as a change, keeping a number field's last valid text.

#include "ui/FieldControls.h"
#include "refbooks/BookCatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace rat::ui {

bool isNumericField(const books::EditorField& f)
{
    return f.control == books::Control::Text && f.decimals >= 0;
}

void restoreRefusedText(QLineEdit* edit, const QString& typed, const QString& before)
{
    const int cursor = edit->cursorPosition();
    edit->setText(before);
    edit->setCursorPosition(qBound(0, cursor - int(typed.size() - before.size()), int(before.size())));
}

void FieldControls::reset(size_t fieldCount)
{
    controls_.assign(fieldCount, nullptr);
    byName_.clear();
    accepted_.clear();
}

QWidget* FieldControls::add(int index, const QString& field, QWidget* control, QObject* filter)
{
    control->setObjectName(field);
    control->installEventFilter(filter);
    controls_[size_t(index)] = control;
    byName_.insert(field.toLower(), control);
    return control;
}

void FieldControls::show(int index, const QVariant& v)
{
    QWidget* w = at(index);
    showing_ = true;
    if (auto* box = qobject_cast<QComboBox*>(w)) {
        box->setCurrentIndex(v.isNull() ? -1 : box->findData(v));
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
        check->setChecked(v.toBool());
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        memo->setPlainText(v.toString());
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(v.toString());
        edit->setCursorPosition(0);
        accepted_[edit] = edit->text();
    }
    showing_ = false;
}

bool FieldControls::keepTyped(int index, const QString& text, bool allowed)
{
    auto* edit = qobject_cast<QLineEdit*>(at(index));
    if (!edit)
        return false;
    if (!allowed) {
        restoreRefusedText(edit, text, accepted_.value(edit));
        return false;
    }
    accepted_[edit] = text;
    return true;
}

} // namespace rat::ui
