// The line editor of the stock documents: controls built from the line's fields, values shown
// and read back as text, OK checked by the caller.

#include "ui/StockLineDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rat::ui {

StockLineDialog::StockLineDialog(const QString& title, const std::vector<LineField>& fields, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStockLine"));
    setWindowTitle(title);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const LineField& f : fields) {
        QWidget* w = nullptr;
        const QString column = f.column;
        switch (f.kind) {
        case LineField::Kind::List: {
            auto* box = new QComboBox(this);
            box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            box->setMinimumContentsLength(30);
            box->setMaxVisibleItems(25);
            for (const books::ListItem& it : f.items)
                box->addItem(it.text, it.value);
            box->setCurrentIndex(-1);
            connect(box, &QComboBox::currentIndexChanged, this, [this, column] {
                if (!showing_ && changed)
                    changed(*this, column);
            });
            w = box;
            break;
        }
        case LineField::Kind::Date: {
            auto* date = new QDateEdit(this);
            date->setCalendarPopup(true);
            date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
            date->setMinimumWidth(130);
            connect(date, &QDateEdit::dateChanged, this, [this, column] {
                if (!showing_ && changed)
                    changed(*this, column);
            });
            w = date;
            break;
        }
        case LineField::Kind::Shown: {
            auto* label = new QLabel(this);
            label->setMinimumWidth(120);
            w = label;
            break;
        }
        default: {
            auto* edit = new QLineEdit(this);
            if (f.kind == LineField::Kind::Number) {
                edit->setMaximumWidth(140);
                edit->setAlignment(Qt::AlignRight);
            } else {
                edit->setMinimumWidth(300);
                edit->setMaxLength(255);
            }
            connect(edit, &QLineEdit::textEdited, this, [this, column] {
                if (!showing_ && changed)
                    changed(*this, column);
            });
            w = edit;
            break;
        }
        }
        w->setObjectName(f.column);
        auto* label = new QLabel(f.caption + QLatin1Char(':'), this);
        label->setBuddy(w);
        form->addRow(label, w);
        controls_.insert(f.column.toLower(), w);
        captions_.insert(f.column.toLower(), label);
        kinds_.insert(f.column.toLower(), f.kind);
        order_ << f.column;
    }
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    cancel_ = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &StockLineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

QVariant StockLineDialog::value(const QString& column) const
{
    QWidget* w = control(column);
    if (auto* box = qobject_cast<QComboBox*>(w))
        return box->currentIndex() < 0 ? QVariant() : box->currentData();
    if (auto* date = qobject_cast<QDateEdit*>(w))
        return date->date();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().trimmed();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return {};
}

void StockLineDialog::setValue(const QString& column, const QVariant& value)
{
    QWidget* w = control(column);
    showing_ = true;
    if (auto* box = qobject_cast<QComboBox*>(w)) {
        int at = -1;
        if (!value.isNull())
            for (int i = 0; i < box->count(); ++i)
                if (box->itemData(i).toString() == value.toString()) {
                    at = i;
                    break;
                }
        box->setCurrentIndex(at);
    } else if (auto* date = qobject_cast<QDateEdit*>(w)) {
        if (value.toDate().isValid())
            date->setDate(value.toDate());
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(value.toString());
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value.toString());
    }
    showing_ = false;
}

QMap<QString, QString> StockLineDialog::texts() const
{
    QMap<QString, QString> out;
    for (const QString& column : order_) {
        if (kinds_.value(column.toLower()) == LineField::Kind::Shown || !control(column)->isVisibleTo(this))
            continue;
        const QVariant v = value(column);
        if (v.typeId() == QMetaType::QDate)
            out.insert(column, v.toDate().toString(Qt::ISODate));
        else
            out.insert(column, v.isNull() ? QString() : v.toString());
    }
    return out;
}

void StockLineDialog::setFieldVisible(const QString& column, bool visible)
{
    if (QWidget* w = control(column))
        w->setVisible(visible);
    if (QLabel* l = caption(column))
        l->setVisible(visible);
}

void StockLineDialog::accept()
{
    if (!accepting || accepting(*this))
        QDialog::accept();
}

} // namespace rat::ui
