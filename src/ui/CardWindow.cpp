// The card window (FrmSprav2): header, nutrient block, ingredient and yield grids of one
// technological card, with the line editor opened on the grids.

#include "ui/CardWindow.h"
#include "core/DataHelpers.h"
#include "refbooks/RecordEditor.h"
#include "ui/FieldControls.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/RecordEditorDialog.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

using books::CardGrid;
using books::Control;
using books::EditMode;
using books::EditorField;
using books::LineCommand;

namespace {

QString weightText(double x)
{
    QString s = plainNumber(x);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QLabel* headingLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

CardWindow::CardWindow(Database& db, Prompt& prompt, const QString& bookTitle, QWidget* parent)
    : QDialog(parent), editor_(db, prompt, bookTitle), db_(db), prompt_(prompt)
{
    setObjectName(QStringLiteral("FrmSprav2"));
    showDialog = [](QDialog& dialog) { dialog.exec(); };
    build();
}

QWidget* CardWindow::makeControl(int i, QWidget* parent)
{
    const EditorField& f = editor_.fields()[size_t(i)];
    QWidget* w = nullptr;
    if (f.control == Control::List) {
        auto* box = new QComboBox(parent);
        box->setMinimumWidth(200);
        for (const books::ListItem& it : editor_.items(i))
            box->addItem(it.text, it.value);
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, box, i](int row) { changed(i, row < 0 ? QVariant() : box->itemData(row)); });
        w = box;
    } else if (f.control == Control::Memo) {
        auto* memo = new QPlainTextEdit(parent);
        memo->setTabChangesFocus(true);
        memo->setFixedHeight(f.field == QLatin1String("description") ? 86 : 56);
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, i] { changed(i, memo->toPlainText()); });
        w = memo;
    } else {
        auto* edit = new QLineEdit(parent);
        if (f.limit > 0)
            edit->setMaxLength(f.limit);
        if (isNumericField(f)) {
            edit->setAlignment(Qt::AlignRight);
            edit->setMaximumWidth(90);
        }
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& t) { textEdited(i, t); });
        w = edit;
    }
    return controls_.add(i, f.field, w, this);
}

QWidget* CardWindow::buildHeader()
{
    auto* host = new QWidget(this);
    auto* form = new QFormLayout(host);
    form->setContentsMargins(0, 0, 0, 0);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto& fields = editor_.fields();
    for (int i = 0; i < editor_.headerCount(); ++i) {
        const EditorField& f = fields[size_t(i)];
        if (f.control == Control::Heading) {
            form->addRow(headingLabel(f.caption, host));
            continue;
        }
        QWidget* w = makeControl(i, host);
        if (f.caption.isEmpty()) {
            form->addRow(w);
        } else if (isNumericField(f) || f.limit == 10) {
            // Short fields keep their width; the rest of the row stays empty.
            auto* row = new QHBoxLayout;
            row->addWidget(w);
            row->addStretch(1);
            auto* label = new QLabel(f.caption, host);
            label->setBuddy(w);
            form->addRow(label, row);
            if (!isNumericField(f))
                w->setMaximumWidth(110);
        } else {
            auto* label = new QLabel(f.caption, host);
            label->setBuddy(w);
            form->addRow(label, w);
        }
    }
    return host;
}

QWidget* CardWindow::buildNutrients()
{
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("nutrients"));
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(6, 6, 6, 6);

    // The block's caption holds the mass the second column is stated for.
    auto* top = new QHBoxLayout;
    nutrientCaption_ = headingLabel(QString(), box);
    nutrientCaption_->setObjectName(QStringLiteral("nutrientCaption"));
    top->addWidget(nutrientCaption_);
    top->addStretch(1);
    top->addWidget(new QLabel(QStringLiteral("Масса, г"), box));
    QWidget* vih = makeControl(editor_.vihIndex(), box);
    vih->setMaximumWidth(70);
    top->addWidget(vih);
    outer->addLayout(top);

    auto* scroll = new QScrollArea(box);
    scroll->setObjectName(QStringLiteral("nutrientRows"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* inner = new QWidget(scroll);
    inner->setAutoFillBackground(false);
    auto* grid = new QGridLayout(inner);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    auto* per100 = new QLabel(QStringLiteral("на 100 г"), inner);
    perVihHeader_ = new QLabel(inner);
    auto* loss = new QLabel(QStringLiteral("потери, %"), inner);
    for (QLabel* l : {per100, perVihHeader_, loss})
        l->setAlignment(Qt::AlignCenter);
    grid->addWidget(per100, 0, 1);
    grid->addWidget(perVihHeader_, 0, 2);
    grid->addWidget(loss, 0, 3);
    int r = 1;
    for (const auto& row : editor_.nutrientRows()) {
        auto* label = new QLabel(row.caption, inner);
        grid->addWidget(label, r, 0, Qt::AlignRight | Qt::AlignVCenter);
        int c = 1;
        for (int index : {row.per100, row.perVih, row.loss}) {
            QWidget* w = makeControl(index, inner);
            w->setFixedWidth(76);
            grid->addWidget(w, r, c++);
        }
        label->setBuddy(controls_.at(row.per100));
        ++r;
    }
    grid->setRowStretch(r, 1);
    grid->setColumnStretch(0, 1);
    scroll->setWidget(inner);
    // Wide enough for the three columns; a long vitamin book scrolls down, never sideways.
    scroll->setMinimumWidth(inner->sizeHint().width() + scroll->verticalScrollBar()->sizeHint().width() + 4);
    outer->addWidget(scroll, 1);
    return box;
}

QWidget* CardWindow::buildGrids()
{
    auto* host = new QWidget(this);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);

    toolBar_ = makeToolBar(host);
    contextMenu_ = new QMenu(QStringLiteral("Действия"), this);
    struct Key {
        const char* key;
        const char* text;
        const char* tip;
        Glyph glyph;
        void (CardWindow::*slot)();
    };
    const Key keys[] = {
        {"keyAdd", "Добавить", "Новая строка (Insert)", Glyph::NewRow, &CardWindow::addRow},
        {"keyEdit", "Изменить", "Изменить (открыть) (Enter)", Glyph::EditRow, &CardWindow::editRow},
        {"keyCopy", "Копировать", "Копировать строку", Glyph::Copy, &CardWindow::copyRow},
        {"keyDel", "Удалить", "Удалить строку (Delete)", Glyph::DeleteRow, &CardWindow::deleteRows},
    };
    for (const Key& k : keys) {
        const auto slot = k.slot;
        contextMenu_->addAction(addToolKey(toolBar_, actions_, QString::fromLatin1(k.key), QString::fromUtf8(k.text),
                                           QString::fromUtf8(k.tip), [this, slot] { (this->*slot)(); },
                                           glyphIcon(k.glyph)));
    }
    layout->addWidget(toolBar_);

    auto makeGrid = [this, host](const char* name, const QStringList& headers) {
        auto* g = new QTableWidget(0, int(headers.size()), host);
        g->setObjectName(QString::fromLatin1(name));
        g->setHorizontalHeaderLabels(headers);
        setUpRowGrid(g);
        g->setContextMenuPolicy(Qt::CustomContextMenu);
        g->installEventFilter(this);
        connect(g, &QWidget::customContextMenuRequested, this, [this, g](const QPoint& at) {
            lastGrid_ = g;
            updateStatus();
            contextMenu_->popup(g->viewport()->mapToGlobal(at));
        });
        connect(g, &QTableWidget::itemSelectionChanged, this, [this, g] {
            if (g->hasFocus())
                lastGrid_ = g;
            updateStatus();
        });
        connect(g, &QTableWidget::cellDoubleClicked, this, [this, g](int, int) {
            lastGrid_ = g;
            editRow();
        });
        return g;
    };
    ingredients_ = makeGrid("ingredients", {QString(), QStringLiteral("Ингредиент"), QStringLiteral("Вес-брутто, г"),
                                            QStringLiteral("Вес-нетто, г")});
    ingredients_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    ingredients_->setColumnWidth(0, 96);
    ingredients_->setColumnWidth(2, 100);
    ingredients_->setColumnWidth(3, 100);
    yields_ = makeGrid("yields", {QStringLiteral("Тип довольствующихся"), QStringLiteral("Выход блюда, г")});
    yields_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    yields_->setColumnWidth(1, 120);
    lastGrid_ = ingredients_;

    auto* split = new QSplitter(Qt::Horizontal, host);
    split->addWidget(ingredients_);
    split->addWidget(yields_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    split->setSizes({610, 330});
    layout->addWidget(split, 1);

    auto* status = new QHBoxLayout;
    rowLabel_ = new QLabel(host);
    rowLabel_->setObjectName(QStringLiteral("rowLabel"));
    totalLabel_ = new QLabel(host);
    totalLabel_->setObjectName(QStringLiteral("totalLabel"));
    selectedLabel_ = new QLabel(host);
    selectedLabel_->setObjectName(QStringLiteral("selectedLabel"));
    status->addWidget(rowLabel_);
    status->addSpacing(16);
    status->addWidget(totalLabel_);
    status->addSpacing(16);
    status->addWidget(selectedLabel_);
    status->addStretch(1);
    layout->addLayout(status);
    return host;
}

void CardWindow::build()
{
    controls_.reset(editor_.fields().size());
    auto* top = new QHBoxLayout;
    top->addWidget(buildHeader(), 3);
    top->addWidget(buildNutrients(), 2);

    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setToolTip(QStringLiteral("Сохранить карту"));
    ok_->setAutoDefault(false);
    close_ = new QPushButton(QStringLiteral("Закрыть"), this);
    close_->setObjectName(QStringLiteral("cmdClose"));
    close_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CardWindow::accept);
    connect(close_, &QPushButton::clicked, this, &CardWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildGrids(), 1);
    addButtonRow(layout, this, {ok_, close_});
    resize(980, 760);
}

bool CardWindow::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> category)
{
    if (!editor_.open(mode, id, category))
        return false;
    displayAll();
    loadGrids();
    refreshTitle();
    return true;
}

void CardWindow::displayAll()
{
    for (int i = 0; i < controls_.count(); ++i)
        if (controls_.at(i))
            display(i);
}

void CardWindow::reloadHeader()
{
    editor_.reload();
    displayAll();
    refreshTitle();
}

QWidget* CardWindow::control(const QString& field) const
{
    return controls_.byName(field);
}

void CardWindow::display(int index)
{
    controls_.show(index, editor_.value(index));
}

void CardWindow::changed(int index, const QVariant& value)
{
    if (controls_.showing())
        return;
    editor_.setValue(index, value);
    refreshTitle();
}

void CardWindow::textEdited(int index, const QString& text)
{
    // A refused character goes; the text stays as it was.
    const bool allowed = !isNumericField(editor_.fields()[size_t(index)]) || editor_.acceptTyping(index, text);
    if (controls_.keepTyped(index, text, allowed))
        changed(index, text);
}

void CardWindow::refreshTitle()
{
    setWindowTitle(editor_.caption());
    nutrientCaption_->setText(editor_.nutrientCaption());
    perVihHeader_->setText(QStringLiteral("на ") + editor_.value(editor_.vihIndex()).toString().trimmed() +
                           QStringLiteral(" г"));
}

void CardWindow::loadGrids(std::optional<qint64> select)
{
    const std::optional<qint64> card = editor_.cardId();
    ingredientRows_ = card ? books::cardIngredientRows(db_, *card) : std::vector<books::CardIngredientRow>{};
    yieldRows_ = card ? books::cardYieldRows(db_, *card) : std::vector<books::CardYieldRow>{};

    const int ingredientRow = ingredients_->currentRow();
    ingredients_->clearContents();
    ingredients_->setRowCount(int(ingredientRows_.size()));
    const QColor nestedColor = palette().color(QPalette::Disabled, QPalette::Text);
    for (int r = 0; r < int(ingredientRows_.size()); ++r) {
        const books::CardIngredientRow& x = ingredientRows_[size_t(r)];
        QTableWidgetItem* items[] = {cell(x.kind), cell(x.text), cell(weightText(x.brutto), true),
                                     cell(weightText(x.netto), true)};
        // The hidden keys: the product or card, the line, whether the row is the nested card's.
        items[0]->setData(Qt::UserRole, x.itemId);
        items[0]->setData(Qt::UserRole + 1, x.lineId);
        items[0]->setData(Qt::UserRole + 2, x.nested);
        for (int c = 0; c < 4; ++c) {
            if (x.nested)
                items[c]->setForeground(nestedColor);
            if (x.isCard && !x.nested && c == 1) {
                QFont f = items[c]->font();
                f.setBold(true);
                items[c]->setFont(f);
            }
            ingredients_->setItem(r, c, items[c]);
        }
    }
    int ingredientAt = ingredientRow;
    for (int r = 0; select && lastGrid_ == ingredients_ && r < int(ingredientRows_.size()); ++r)
        if (!ingredientRows_[size_t(r)].nested && ingredientRows_[size_t(r)].lineId == *select)
            ingredientAt = r;
    if (!ingredientRows_.empty())
        ingredients_->setCurrentCell(qBound(0, ingredientAt, int(ingredientRows_.size()) - 1), 1);

    const int yieldRow = yields_->currentRow();
    yields_->clearContents();
    yields_->setRowCount(int(yieldRows_.size()));
    for (int r = 0; r < int(yieldRows_.size()); ++r) {
        const books::CardYieldRow& y = yieldRows_[size_t(r)];
        QTableWidgetItem* name = cell(y.eaterType);
        name->setData(Qt::UserRole, y.id);
        yields_->setItem(r, 0, name);
        yields_->setItem(r, 1, cell(y.text, true));
    }
    int yieldAt = yieldRow;
    for (int r = 0; select && lastGrid_ == yields_ && r < int(yieldRows_.size()); ++r)
        if (yieldRows_[size_t(r)].id == *select)
            yieldAt = r;
    if (!yieldRows_.empty())
        yields_->setCurrentCell(qBound(0, yieldAt, int(yieldRows_.size()) - 1), 0);
    updateStatus();
}

QTableWidget* CardWindow::activeGrid() const
{
    if (yields_->hasFocus())
        return yields_;
    if (ingredients_->hasFocus())
        return ingredients_;
    return lastGrid_;
}

CardGrid CardWindow::activeKind() const
{
    return activeGrid() == yields_ ? CardGrid::Yields : CardGrid::Ingredients;
}

QString CardWindow::statusText() const
{
    return rowLabel_->text() + QLatin1Char(' ') + totalLabel_->text() + QLatin1Char(' ') + selectedLabel_->text();
}

void CardWindow::updateStatus()
{
    QTableWidget* g = activeGrid();
    const int current = g->currentRow();
    rowLabel_->setText(QStringLiteral("Строка: ") + QString::number(current < 0 ? 0 : current + 1) +
                       QLatin1Char('.'));
    totalLabel_->setText(QStringLiteral("Всего строк: ") + QString::number(g->rowCount()) + QLatin1Char('.'));
    selectedLabel_->setText(QStringLiteral("Выделено строк: ") +
                            QString::number(g->selectionModel()->selectedRows().size()) + QLatin1Char('.'));
}

bool CardWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && (watched == ingredients_ || watched == yields_)) {
        lastGrid_ = static_cast<QTableWidget*>(watched);
        updateStatus();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ingredients_ || watched == yields_) {
            lastGrid_ = static_cast<QTableWidget*>(watched);
            switch (key) {
            case Qt::Key_Insert: addRow(); return true;
            case Qt::Key_Return:
            case Qt::Key_Enter: editRow(); return true;
            case Qt::Key_Delete: deleteRows(); return true;
            default: break;
            }
        } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QPlainTextEdit*>(watched) == nullptr) {
            // Enter moves on to the next field, as in the record editor.
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CardWindow::openLineEditor(EditMode mode)
{
    const CardGrid kind = activeKind();
    QTableWidget* grid = activeGrid();
    const int rows = grid->rowCount();
    const LineCommand command = mode == EditMode::Add    ? LineCommand::Add
                                : mode == EditMode::Edit ? LineCommand::Edit
                                                         : LineCommand::Copy;
    if (!editor_.lineCommandAllowed(command, rows))
        return;
    std::optional<qint64> id;
    if (mode != EditMode::Add) {
        int r = grid->currentRow();
        if (r < 0)
            return;
        if (kind == CardGrid::Ingredients) {
            // A row of a nested card stands for the nested-dish line above it.
            while (r > 0 && ingredientRows_[size_t(r)].nested)
                --r;
            id = ingredientRows_[size_t(r)].lineId;
        } else {
            id = yieldRows_[size_t(r)].id;
        }
    }
    books::RecordEditor line(db_, prompt_, kind == CardGrid::Ingredients ? books::entryRecipeLines : books::entryYields);
    std::optional<qint64> saved;
    if (line.open(mode, id, editor_.cardId())) {
        RecordEditorDialog dialog(line, this);
        showDialog(dialog);
        saved = dialog.savedId();
    }
    // The line editor may have recalculated the card's cost and nutrients.
    lastGrid_ = grid;
    loadGrids(saved);
    reloadHeader();
    grid->setFocus();
}

void CardWindow::addRow()
{
    openLineEditor(EditMode::Add);
}

void CardWindow::editRow()
{
    openLineEditor(EditMode::Edit);
}

void CardWindow::copyRow()
{
    openLineEditor(EditMode::Copy);
}

void CardWindow::deleteRows()
{
    const CardGrid kind = activeKind();
    QTableWidget* grid = activeGrid();
    if (!editor_.lineCommandAllowed(LineCommand::Delete, grid->rowCount()))
        return;
    std::vector<int> selected;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows())
        selected.push_back(i.row());
    if (selected.empty() && grid->currentRow() >= 0)
        selected.push_back(grid->currentRow());
    std::sort(selected.begin(), selected.end());
    const qint64 card = *editor_.cardId();
    if (kind == CardGrid::Ingredients) {
        std::vector<books::CardIngredientRow> rows;
        for (int r : selected)
            rows.push_back(ingredientRows_[size_t(r)]);
        books::deleteCardIngredientRows(db_, prompt_, card, rows);
    } else {
        std::vector<books::CardYieldRow> rows;
        for (int r : selected)
            rows.push_back(yieldRows_[size_t(r)]);
        books::deleteCardYieldRows(db_, prompt_, card, rows);
    }
    loadGrids();
    reloadHeader();
    grid->setFocus();
}

void CardWindow::accept()
{
    // A copy receives its lines and yields at its first save; the figures show as stored.
    if (editor_.save()) {
        loadGrids();
        displayAll();
    }
    refreshTitle();
}

void CardWindow::reject()
{
    if (!editor_.confirmClose(ingredients_->rowCount(), yields_->rowCount())) {
        refreshTitle();
        return;
    }
    if (editor_.cardId())
        QDialog::accept();
    else
        QDialog::reject();
}

std::optional<qint64> openCardWindow(QWidget* parent, Database& db, Prompt& prompt, const QString& bookTitle,
                                     EditMode mode, std::optional<qint64> id, std::optional<qint64> category)
{
    CardWindow window(db, prompt, bookTitle, parent);
    if (!window.open(mode, id, category))
        return std::nullopt;
    window.exec();
    return window.savedId();
}

} // namespace rat::ui
