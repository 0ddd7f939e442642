// The product window (FrmProd): one product with its nutrient block and vitamin rows; the
// logic lives in books::ProductEditor.

#include "ui/ProductWindow.h"
#include "refbooks/SeasonalLosses.h"
#include "refbooks/Substitutes.h"
#include "ui/BookWindows.h"
#include "ui/FieldControls.h"
#include "ui/GridSetup.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace rat::ui {

using books::EditMode;
using books::EditorField;

namespace {

MainWindow* mainWindowOf(QWidget* w)
{
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* m = qobject_cast<MainWindow*>(p))
            return m;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<MainWindow*>(top))
            return m;
    return nullptr;
}

} // namespace

ProductWindow::ProductWindow(Database& db, Prompt& prompt, QWidget* parent) : QDialog(parent), editor_(db, prompt)
{
    setObjectName(QStringLiteral("FrmProd"));
    editor_.onOpenNorms = [this] { normsRequested_ = true; };
    build();
}

void ProductWindow::build()
{
    const auto& fields = editor_.fields();
    controls_.reset(fields.size());

    auto makeControl = [this, &fields](int i) -> QWidget* {
        const EditorField& f = fields[size_t(i)];
        QWidget* w = nullptr;
        if (f.control == books::Control::List) {
            auto* box = new QComboBox(this);
            box->setMinimumWidth(220);
            for (const books::ListItem& it : editor_.items(i))
                box->addItem(it.text, it.value);
            connect(box, &QComboBox::currentIndexChanged, this,
                    [this, box, i](int row) { changed(i, row < 0 ? QVariant() : box->itemData(row)); });
            w = box;
        } else if (f.control == books::Control::CheckBox) {
            auto* check = new QCheckBox(f.caption, this);
            connect(check, &QCheckBox::toggled, this, [this, i](bool on) { changed(i, on); });
            w = check;
        } else {
            auto* edit = new QLineEdit(this);
            if (f.limit > 0)
                edit->setMaxLength(f.limit);
            if (isNumericField(f)) {
                edit->setMaximumWidth(110);
                edit->setAlignment(Qt::AlignRight);
            }
            connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& t) { textEdited(i, t); });
            w = edit;
        }
        return controls_.add(i, f.field, w, this);
    };

    // The product's fields.
    auto* main = new QFormLayout;
    main->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    main->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int i = 0; i < editor_.nutrientStart(); ++i) {
        QWidget* w = makeControl(i);
        if (fields[size_t(i)].control == books::Control::CheckBox) {
            main->addRow(QString(), w);
        } else {
            auto* label = new QLabel(fields[size_t(i)].caption, this);
            label->setBuddy(w);
            if (isNumericField(fields[size_t(i)])) {
                auto* row = new QHBoxLayout;
                row->addWidget(w);
                row->addStretch(1);
                main->addRow(label, row);
            } else {
                main->addRow(label, w);
            }
        }
    }
    // The nutrient block per 100 g of the edible part, then the vitamins and minerals: one
    // column of labels, scrolled when the vitamin book is long.
    auto* nutrients = new QGroupBox(this);
    nutrients->setObjectName(QStringLiteral("nutrients"));
    auto* block = new QVBoxLayout(nutrients);
    block->setContentsMargins(4, 4, 4, 4);
    auto* scroll = new QScrollArea(nutrients);
    scroll->setObjectName(QStringLiteral("vitamins"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->viewport()->setAutoFillBackground(false);
    auto* inner = new QWidget(scroll);
    inner->setAutoFillBackground(false);
    auto* values = new QFormLayout(inner);
    values->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int i = editor_.nutrientStart(); i < int(fields.size()); ++i) {
        if (i == editor_.vitaminStart()) {
            auto* heading = new QLabel(QStringLiteral("Витамины и минералы:"), inner);
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            heading->setContentsMargins(0, 8, 0, 0);
            values->addRow(heading);
        }
        QWidget* w = makeControl(i);
        w->setParent(inner);
        values->addRow(fields[size_t(i)].caption, w);
    }
    scroll->setWidget(inner);
    block->addWidget(scroll);

    auto* left = new QVBoxLayout;
    left->addLayout(main);
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addWidget(nutrients, 2);

    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &ProductWindow::accept);
    connect(cancel_, &QPushButton::clicked, this, &ProductWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    addButtonRow(layout, this, {ok_, cancel_});

    vat_ = controls_.byName(QStringLiteral("p_nds"));
    // Tall enough for the fields and a usual vitamin book; a long one scrolls.
    const int content = qMax(left->sizeHint().height(), inner->sizeHint().height() + 16);
    resize(860, qBound(420, content + 70, 640));
}

bool ProductWindow::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> group)
{
    savedId_.reset();
    normsRequested_ = false;
    if (!editor_.open(mode, id, group))
        return false;
    for (int i = 0; i < controls_.count(); ++i)
        display(i);
    refreshTitle();
    return true;
}

void ProductWindow::display(int index)
{
    controls_.show(index, editor_.value(index));
}

QWidget* ProductWindow::control(const QString& field) const
{
    return controls_.byName(field);
}

void ProductWindow::changed(int index, const QVariant& value)
{
    if (controls_.showing())
        return;
    editor_.setValue(index, value);
    refreshTitle();
}

void ProductWindow::textEdited(int index, const QString& text)
{
    // A refused character goes; the text stays as it was.
    const bool allowed = !isNumericField(editor_.fields()[size_t(index)]) || editor_.acceptTyping(index, text);
    if (controls_.keepTyped(index, text, allowed))
        changed(index, text);
}

void ProductWindow::refreshTitle()
{
    setWindowTitle(editor_.caption());
}

bool ProductWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == vat_) {
        auto* edit = static_cast<QLineEdit*>(vat_);
        if (const auto rate = editor_.vatOnFocus(edit->text())) {
            if (*rate != edit->text()) {
                edit->setText(*rate);
                controls_.keep(edit, *rate);
                changed(editor_.fieldIndex(QStringLiteral("P_NDS")), *rate);
            }
            // After the click that gave the focus has placed its cursor.
            edit->selectAll();
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves on to the next field, as in the record editor.
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ProductWindow::accept()
{
    const auto saved = editor_.save();
    refreshTitle();
    if (!saved)
        return;
    savedId_ = saved;
    QDialog::accept();
}

void ProductWindow::reject()
{
    const bool wasChanged = editor_.isChanged();
    if (!editor_.confirmClose()) {
        refreshTitle();
        return;
    }
    if (wasChanged && !editor_.isChanged() && editor_.id()) {
        // Yes: saved before closing.
        savedId_ = editor_.id();
        QDialog::accept();
        return;
    }
    QDialog::reject();
}

bool openProductWindow(QWidget* parent, Database& db, Prompt& prompt, EditMode mode, std::optional<qint64> id,
                       std::optional<qint64> group, qint64* savedId)
{
    ProductWindow window(db, prompt, parent);
    if (!window.open(mode, id, group))
        return false;
    window.exec();
    const auto saved = window.savedId();
    if (saved && savedId)
        *savedId = *saved;
    // The norms open once the product window is gone, so the list is not behind a modal window.
    if (window.normsRequested())
        if (MainWindow* main = mainWindowOf(parent))
            main->runCommand(QStringLiteral("mnuNorms"));
    return saved.has_value();
}

void installProductWindows()
{
    BookWindowHooks products;
    products.recordWindow = [](QWidget* parent, Database& db, Prompt& prompt, EditMode mode,
                               std::optional<qint64> id, std::optional<qint64> group) -> std::optional<qint64> {
        qint64 saved = 0;
        if (!openProductWindow(parent, db, prompt, mode, id, group, &saved))
            return std::nullopt;
        return saved;
    };
    setBookWindowHooks(books::entryProducts, products);

    BookWindowHooks substitutes;
    substitutes.bulkCopy = [](Database& db, Prompt& prompt, qint64 product) {
        return books::copySubstitutes(db, prompt, product) > 0;
    };
    setBookWindowHooks(books::entrySubstitutions, substitutes);

    BookWindowHooks seasons;
    seasons.bulkCopy = [](Database& db, Prompt& prompt, qint64 product) {
        return books::copySeasonPeriods(db, prompt, product);
    };
    setBookWindowHooks(books::entrySeasonalLosses, seasons);
}

} // namespace rat::ui
