// The header of the document window: its controls built from the kind's field list, the values
// shown and read back, the checks of saving in field order and the save itself.

#include "core/Clock.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "ui/DocumentWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTime>
#include <QVBoxLayout>
#include <cmath>

namespace rat::ui {

namespace {

QString bracket(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

using Kind = HeaderField::Kind;

} // namespace

QWidget* DocumentWindow::makeControl(const HeaderField& f, QWidget* host)
{
    QWidget* w = nullptr;
    // What the person changes leaves the document unsaved; what the window shows does not.
    const auto edited = [this] {
        if (!loading_)
            markChanged();
    };
    switch (f.kind) {
    case Kind::List: {
        auto* box = new QComboBox(host);
        box->setEditable(f.editable);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(24);
        box->setMaxVisibleItems(25);
        const std::vector<books::ListItem> items =
            f.items.empty() && f.source != books::ListSource::None ? books::listItems(db_, f.source) : f.items;
        for (const books::ListItem& it : items)
            box->addItem(it.text, it.value);
        box->setCurrentIndex(-1);
        const QString name = f.field;
        connect(box, &QComboBox::currentIndexChanged, this, [this, name] {
            if (loading_)
                return;
            // A value the kind stores itself (the cost basis) leaves nothing unsaved.
            if (!kind_->headerChanged(*this, name))
                markChanged();
        });
        if (f.editable)
            connect(box, &QComboBox::editTextChanged, this, edited);
        w = box;
        break;
    }
    case Kind::Check: {
        auto* check = new QCheckBox(f.caption, host);
        connect(check, &QCheckBox::toggled, this, edited);
        w = check;
        break;
    }
    case Kind::Date: {
        auto* date = new QDateEdit(host);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        connect(date, &QDateEdit::dateChanged, this, edited);
        w = date;
        break;
    }
    case Kind::Comment: {
        auto* memo = new QPlainTextEdit(host);
        memo->setTabChangesFocus(true);
        memo->setMinimumWidth(260);
        memo->setMaximumHeight(memo->fontMetrics().lineSpacing() * 4 + 14);
        connect(memo, &QPlainTextEdit::textChanged, this, edited);
        w = memo;
        break;
    }
    case Kind::Info: {
        auto* label = new QLabel(host);
        label->setFrameShape(QFrame::StyledPanel);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setMinimumWidth(260);
        label->setContentsMargins(4, 2, 4, 2);
        w = label;
        break;
    }
    default: {
        auto* edit = new QLineEdit(host);
        if (f.limit > 0)
            edit->setMaxLength(f.limit);
        if (f.kind == Kind::Number || f.kind == Kind::Time || f.number) {
            edit->setMaximumWidth(140);
            if (f.kind == Kind::Number)
                edit->setAlignment(Qt::AlignRight);
        }
        connect(edit, &QLineEdit::textEdited, this, [this] { markChanged(); });
        w = edit;
        break;
    }
    }
    w->setObjectName(f.field);
    controls_.insert(f.field.toLower(), w);
    return w;
}

void DocumentWindow::buildHeader(QVBoxLayout* layout)
{
    fields_ = kind_->fields(db_);
    auto* frame = new QGroupBox(QStringLiteral("Данные по документу:"), this);
    frame->setObjectName(QStringLiteral("frameHeader"));
    auto* columns = new QHBoxLayout(frame);
    columns->setSpacing(16);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    auto* right = new QVBoxLayout;
    for (const HeaderField& f : fields_) {
        QWidget* w = makeControl(f, frame);
        if (f.kind == Kind::Comment || f.kind == Kind::Info) {
            auto* label = new QLabel(f.caption, frame);
            label->setBuddy(w);
            right->addWidget(label);
            right->addWidget(w);
        } else if (f.kind == Kind::Check) {
            form->addRow(QString(), w);
        } else {
            auto* label = new QLabel(f.caption, frame);
            label->setBuddy(w);
            form->addRow(label, w);
        }
    }
    right->addStretch(1);
    columns->addLayout(form);
    columns->addLayout(right, 1);
    layout->addWidget(frame);
}

QWidget* DocumentWindow::control(const QString& field) const
{
    return controls_.value(field.toLower(), nullptr);
}

void DocumentWindow::display(const HeaderValues& values)
{
    loading_ = true;
    hidden_ = values;
    for (const HeaderField& f : fields_) {
        QWidget* w = control(f.field);
        const QVariant v = values.value(f.field);
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            if (f.editable) {
                box->setCurrentIndex(box->findText(v.toString()));
                box->setEditText(v.toString());
            } else {
                int index = -1;
                if (!v.isNull() && v.isValid())
                    for (int i = 0; i < box->count(); ++i)
                        if (box->itemData(i).toLongLong() == v.toLongLong())
                            index = i;
                box->setCurrentIndex(index);
            }
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            check->setChecked(v.toBool());
        } else if (auto* date = qobject_cast<QDateEdit*>(w)) {
            date->setDate(v.toDate().isValid() ? v.toDate() : Clock::today());
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            memo->setPlainText(v.toString());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(kind_->shownText(db_, f.field, v));
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(v.toString());
            edit->setCursorPosition(0);
        }
    }
    loading_ = false;
}

HeaderValues DocumentWindow::values() const
{
    HeaderValues out = hidden_;
    for (const HeaderField& f : fields_) {
        QWidget* w = control(f.field);
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            if (f.editable)
                out[f.field] = box->currentText();
            else
                out[f.field] = box->currentIndex() < 0 ? QVariant() : box->currentData();
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            out[f.field] = check->isChecked();
        } else if (auto* date = qobject_cast<QDateEdit*>(w)) {
            out[f.field] = date->date();
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            out[f.field] = memo->toPlainText();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            out[f.field] = edit->text();
        }
    }
    return out;
}

void DocumentWindow::setValue(const QString& field, const QVariant& value)
{
    HeaderValues v = values();
    v[field] = value;
    display(v);
}

void DocumentWindow::markChanged()
{
    changed_ = true;
}

void DocumentWindow::refreshTitle()
{
    setWindowTitle(kind_->title(values(), id_));
}

bool DocumentWindow::open(DocumentMode mode, std::optional<qint64> id, const HeaderValues& presets)
{
    mode_ = mode;
    id_.reset();
    sourceId_.reset();
    copyAccepted_ = false;
    HeaderValues start;
    if (mode == DocumentMode::New) {
        start = kind_->defaults(db_);
        for (auto it = presets.begin(); it != presets.end(); ++it)
            start[it.key()] = it.value();
    } else {
        const std::optional<HeaderValues> read = id ? kind_->read(db_, *id) : std::nullopt;
        if (!read) {
            prompt_.warning(missingRowText(mode != DocumentMode::Edit));
            return false;
        }
        if (mode == DocumentMode::Edit) {
            id_ = id;
            start = *read;
        } else {
            sourceId_ = id;
            start = kind_->copied(db_, *read);
        }
    }
    kind_->opened(start);
    display(start);
    changed_ = mode == DocumentMode::Copy;
    if (mode == DocumentMode::Copy && kind_->hasLines(db_, *sourceId_))
        copyAccepted_ = prompt_.ask(kind_->copyQuestion(), Buttons::YesNo, Answer::Yes) == Answer::Yes;
    refreshTitle();
    reloadLines(0);
    return true;
}

bool DocumentWindow::saveHeader()
{
    HeaderValues v = values();
    kind_->headerTyped(v);
    auto refuse = [this](const HeaderField& f, const QString& text) {
        prompt_.warning(text);
        if (QWidget* w = control(f.field))
            w->setFocus();
        return false;
    };
    for (const HeaderField& f : fields_) {
        if (f.kind == Kind::Info || f.kind == Kind::Check)
            continue;
        const QVariant value = v.value(f.field);
        if (f.kind == Kind::List && !f.editable) {
            if ((value.isNull() || !value.isValid()) && f.required)
                return refuse(f, QStringLiteral("Необходимо обязательно выбрать строку в списке ") + quoted(f.caption) +
                                     QLatin1Char('.'));
            continue;
        }
        if (f.kind == Kind::Date) {
            if (!value.toDate().isValid())
                return refuse(f, QStringLiteral("Значение ") + quoted(value.toString()) + QStringLiteral(" поля ") +
                                     quoted(f.caption) + QStringLiteral(" не корректно. Измените введенное значение."));
            continue;
        }
        QString text = value.toString();
        if (f.kind != Kind::Comment)
            text = text.trimmed();
        if (text.trimmed().isEmpty()) {
            if (f.required) {
                if (f.kind == Kind::List)
                    return refuse(f, QStringLiteral("Необходимо обязательно выбрать строку в списке ") +
                                         quoted(f.caption) + QLatin1Char('.'));
                return refuse(f, QStringLiteral("Необходимо обязательно заполнить поле ") + quoted(f.caption) +
                                     QLatin1Char('.'));
            }
            v[f.field] = QVariant();
            continue;
        }
        const QString badValue = QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                 quoted(f.caption) + QStringLiteral(" не корректно. Измените введенное значение.");
        if (f.kind == Kind::Number) {
            // A decimal point or comma, whichever the person typed.
            bool ok = false;
            const double number = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (!ok || !std::isfinite(number))  // "nan" and "inf" read as numbers too
                return refuse(f, badValue);
            v[f.field] = number;
        } else if (f.kind == Kind::Time) {
            if (!QTime::fromString(text, QStringLiteral("HH:mm")).isValid())
                return refuse(f, badValue);
            v[f.field] = text;
        } else {
            if (f.limit > 0 && text.size() > f.limit)
                text = text.left(f.limit);
            v[f.field] = text;
        }
        if (f.number) {
            QString number = text;
            if (!kind_->checkNumber(db_, prompt_, f, number, id_)) {
                if (QWidget* w = control(f.field))
                    w->setFocus();
                return false;
            }
            if (number != text) {
                v[f.field] = number;
                if (auto* edit = qobject_cast<QLineEdit*>(control(f.field)))
                    edit->setText(number);
            }
        } else if (f.unique && f.stored) {
            const qint64 others =
                db_.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + bracket(kind_->table()) + QStringLiteral(" WHERE ") +
                               bracket(f.field) + QStringLiteral(" = ?1 AND ") + bracket(kind_->key()) +
                               QStringLiteral(" <> ?2"),
                           {v.value(f.field), id_.value_or(-1)})
                    .toLongLong();
            if (others > 0)
                return refuse(f, QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                     quoted(f.caption) +
                                     (f.bookForm ? QStringLiteral(" уже имеется в другой строке справочника. ")
                                                 : QStringLiteral(" уже имеется в другом документе. ")) +
                                     QStringLiteral("Измените введенное значение."));
        }
    }

    // The first save of a copy writes the header and the copied lines together: a copy that
    // fails leaves no header without its lines.
    const bool copyLines = !id_ && copyAccepted_ && sourceId_;
    std::optional<qint64> saved;
    try {
        Transaction tx(db_);
        saved = kind_->save(db_, prompt_, v, id_);
        if (!saved)
            return false;
        if (copyLines)
            kind_->copyLines(db_, *sourceId_, *saved);
        tx.commit();
    } catch (const DbError& e) {
        prompt_.critical(e.text());
        return false;
    }
    id_ = saved;
    changed_ = false;
    v.insert(QStringLiteral("id"), *saved);
    hidden_ = v;
    if (copyLines)
        copyAccepted_ = false;
    refreshTitle();
    reloadLines();
    emit documentSaved(*id_);
    return true;
}

} // namespace rat::ui
