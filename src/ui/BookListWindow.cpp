// The list window of a reference book (frmSprav): grid, parent filter, toolbar and context
// menu, status line, column widths and the record editor's commands.

#include "ui/BookListWindow.h"
#include "ui/ListPrint.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "documents/BookPrint.h"
#include "refbooks/RecordEditor.h"
#include "ui/BookListModel.h"
#include "ui/BookWindows.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"
#include "ui/RecordEditorDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

namespace {

const QString kLoadFailed = QStringLiteral("Список не прочитан: ");

} // namespace

BookListWindow::BookListWindow(Database& db, Prompt& prompt, int entry, QWidget* parent)
    : QWidget(parent), db_(db), prompt_(prompt), entry_(entry), def_(books::findBook(entry)),
      model_(new BookListModel(this)), grid_(new QTableView(this)), rowLabel_(new QLabel(this)),
      totalLabel_(new QLabel(this)), selectedLabel_(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSprav"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(def_ ? def_->listTitle : QString());
    showDialog = [](QDialog& dialog) { dialog.exec(); };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(toolBar_);
    buildFilters(this, layout);
    buildPeriod(this, layout);

    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setModel(model_);
    setUpListGrid(grid_);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { fitHeaderHeight(); });
    grid_->installEventFilter(this);
    layout->addWidget(grid_, 1);
    if (const BookWindowHooks* own = bookWindowHooks(entry_); own && own->panel) {
        panel_ = own->panel(*this);
        if (panel_)
            layout->addWidget(panel_);
    }

    auto* status = new QWidget(this);
    status->setObjectName(QStringLiteral("statusLine"));
    auto* statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(6, 3, 6, 3);
    statusRow->setSpacing(24);
    rowLabel_->setObjectName(QStringLiteral("lblRow"));
    totalLabel_->setObjectName(QStringLiteral("lblTotal"));
    selectedLabel_->setObjectName(QStringLiteral("lblSelected"));
    statusRow->addWidget(rowLabel_);
    statusRow->addWidget(totalLabel_);
    statusRow->addWidget(selectedLabel_);
    statusRow->addStretch(1);
    layout->addWidget(status);

    connect(grid_, &QTableView::doubleClicked, this, [this] { editRow(); });
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu_->exec(grid_->viewport()->mapToGlobal(at)); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { updateStatus(); });
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateStatus(); });

    fillGrandParents();
    fillParents();
    load(std::nullopt, 0);
    setFocusProxy(grid_);
    toolBarTextWidth_ = toolBar_->sizeHint().width();
}

void BookListWindow::resizeEvent(QResizeEvent* event)
{
    // A window too narrow for the captions shows the toolbar's pictures only (their tips keep
    // the texts), so that no command hides behind the overflow arrow.
    toolBar_->setToolButtonStyle(width() >= toolBarTextWidth_ ? Qt::ToolButtonTextBesideIcon
                                                              : Qt::ToolButtonIconOnly);
    QWidget::resizeEvent(event);
}

QAction* BookListWindow::addKey(const QString& key, const QString& text, const QString& tip,
                                void (BookListWindow::*slot)())
{
    return addToolKey(toolBar_, actions_, key, text, tip, [this, slot] { (this->*slot)(); });
}

void BookListWindow::buildToolBar()
{
    toolBar_ = makeToolBar(this);
    const bool editable = def_ && !def_->readOnly;

    if (editable) {
        addKey(QStringLiteral("keyAdd"), QStringLiteral("Добавить"), QStringLiteral("Новая строка (Insert)"),
               &BookListWindow::addRow)
            ->setIcon(glyphIcon(Glyph::NewRow));
        addKey(QStringLiteral("keyEdit"), QStringLiteral("Изменить"), QStringLiteral("Изменить (открыть) (Enter)"),
               &BookListWindow::editRow)
            ->setIcon(glyphIcon(Glyph::EditRow));
        addKey(QStringLiteral("keyCopy"), QStringLiteral("Копировать"), QStringLiteral("Копировать строку"),
               &BookListWindow::copyRow)
            ->setIcon(glyphIcon(Glyph::Copy));
        addKey(QStringLiteral("keyDel"), QStringLiteral("Удалить"), QStringLiteral("Удалить строку (Delete)"),
               &BookListWindow::deleteRows)
            ->setIcon(glyphIcon(Glyph::DeleteRow));
        toolBar_->addSeparator();
    }
    const QString findText = def_ && !def_->findCaption.isEmpty() ? def_->findCaption : QStringLiteral("Найти");
    addKey(QStringLiteral("keyFind"), findText, findText + QStringLiteral(" (Ctrl+F)"), &BookListWindow::find)
        ->setIcon(glyphIcon(Glyph::Find));
    addKey(QStringLiteral("keyper"), QStringLiteral("Обновить"), QStringLiteral("Обновить (F5)"),
           &BookListWindow::reload)
        ->setIcon(glyphIcon(Glyph::Refresh));
    toolBar_->addSeparator();
    addKey(QStringLiteral("PrintV"), QStringLiteral("Печать"), QStringLiteral("Печать справочника"),
           &BookListWindow::printBook)
        ->setIcon(glyphIcon(Glyph::Print));
    addKey(QStringLiteral("PrintV1"), QStringLiteral("Печать выделенных строк"), QString(),
           &BookListWindow::printSelected)
        ->setIcon(glyphIcon(Glyph::Print));
    if (editable && !def_->bulkCopyCaption.isEmpty()) {
        toolBar_->addSeparator();
        addKey(QStringLiteral("keyCopy1"), def_->bulkCopyCaption, QString(), &BookListWindow::bulkCopy)
            ->setIcon(glyphIcon(Glyph::Paste));
    }
    if (entry_ == books::entryVitamins) {
        toolBar_->addSeparator();
        addKey(QStringLiteral("keyVich"), QStringLiteral("Включить все витамины"), QString(),
               &BookListWindow::includeAllVitamins)
            ->setIcon(badgeIcon(QStringLiteral("В"), QColor(0x2e, 0x8b, 0x4f)));
    }

    const BookWindowHooks* own = bookWindowHooks(entry_);
    if (own && !own->commands.empty()) {
        toolBar_->addSeparator();
        for (const BookWindowHooks::Command& c : own->commands) {
            const auto run = c.run;
            addToolKey(toolBar_, actions_, c.key, c.text, c.tip, [this, run] {
                if (run)
                    run(*this);
            }, c.icon);
        }
    }

    // The context menu: the same commands as the toolbar's find, add, edit, copy and delete.
    contextMenu_ = new QMenu(QStringLiteral("Действия"), this);
    contextMenu_->setObjectName(QStringLiteral("menuActions"));
    struct Item {
        const char* name;
        const char* text;
        void (BookListWindow::*slot)();
        bool rows;
    };
    const Item items[] = {
        {"mnuDS0", "Найти блюдо", &BookListWindow::find, false},
        {nullptr, nullptr, nullptr, false},
        {"mnuDS1", "Новая строка", &BookListWindow::addRow, true},
        {"mnuDS2", "Изменить (открыть)", &BookListWindow::editRow, true},
        {"mnuDS3", "Копировать строку", &BookListWindow::copyRow, true},
        {"mnuDS4", "Удалить строку", &BookListWindow::deleteRows, true},
    };
    for (const Item& it : items) {
        if (!it.name) {
            contextMenu_->addSeparator();
            continue;
        }
        QAction* a = contextMenu_->addAction(QString::fromUtf8(it.text));
        a->setObjectName(QString::fromUtf8(it.name));
        a->setEnabled(!it.rows || editable);
        const auto slot = it.slot;
        connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    }
    // A book with a window of its own (products, cards) keeps its plain definition at hand too.
    const BookWindowHooks* hooks = bookWindowHooks(entry_);
    if (hooks && hooks->recordWindow) {
        QAction* plainAdd = new QAction(QStringLiteral("Добавить в простой форме"), contextMenu_);
        plainAdd->setObjectName(QStringLiteral("keyPlainAdd"));
        plainAdd->setEnabled(editable);
        contextMenu_->insertAction(contextMenu_->actions().value(4), plainAdd);
        connect(plainAdd, &QAction::triggered, this, [this] {
            if (guarded(QStringLiteral("keyAdd")))
                openEditor(books::EditMode::Add, true);
        });
        QAction* plain = new QAction(QStringLiteral("Изменить в простой форме"), contextMenu_);
        plain->setObjectName(QStringLiteral("keyPlainEdit"));
        plain->setEnabled(editable);
        contextMenu_->insertAction(contextMenu_->actions().value(4), plain);
        connect(plain, &QAction::triggered, this, [this] { editRowPlain(); });
    }
    if (own && !own->commands.empty()) {
        contextMenu_->addSeparator();
        for (const BookWindowHooks::Command& c : own->commands)
            contextMenu_->addAction(actions_.value(c.key));
    }
}

void BookListWindow::buildFilters(QWidget* host, QVBoxLayout* layout)
{
    if (!def_ || def_->parentSource == books::ListSource::None)
        return;
    auto* panel = new QWidget(host);
    panel->setObjectName(QStringLiteral("filters"));
    auto* form = new QFormLayout(panel);
    form->setContentsMargins(6, 4, 6, 4);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto makeBox = [panel](const QString& name) {
        auto* box = new QComboBox(panel);
        box->setObjectName(name);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(32);
        box->setMaxVisibleItems(25);
        return box;
    };
    if (def_->grandParentSource != books::ListSource::None) {
        grandParentBox_ = makeBox(QStringLiteral("grandParentFilter"));
        form->addRow(new QLabel(def_->grandParentPrompt, panel), grandParentBox_);
        connect(grandParentBox_, &QComboBox::currentIndexChanged, this, [this] {
            fillParents();
            load(std::nullopt, 0);
        });
    }
    parentBox_ = makeBox(QStringLiteral("parentFilter"));
    form->addRow(new QLabel(def_->parentPrompt, panel), parentBox_);
    connect(parentBox_, &QComboBox::currentIndexChanged, this, [this] { load(std::nullopt, 0); });
    if (def_->secondSource != books::ListSource::None) {
        secondBox_ = makeBox(QStringLiteral("secondFilter"));
        secondBox_->addItem(QStringLiteral("Все"), QVariant());
        for (const books::ListItem& it : books::listItems(db_, def_->secondSource))
            secondBox_->addItem(it.text, it.value);
        form->addRow(new QLabel(def_->secondPrompt, panel), secondBox_);
        connect(secondBox_, &QComboBox::currentIndexChanged, this, [this] { load(std::nullopt, 0); });
    }
    layout->addWidget(panel);
}

void BookListWindow::buildPeriod(QWidget* host, QVBoxLayout* layout)
{
    if (!def_ || def_->periodColumn.isEmpty())
        return;
    auto* panel = new QWidget(host);
    panel->setObjectName(QStringLiteral("period"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 4, 6, 4);
    auto makeDate = [panel](const QString& name, const QDate& date) {
        auto* edit = new QDateEdit(date, panel);
        edit->setObjectName(name);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return edit;
    };
    // A journal opens on the current month: what the kitchen works on.
    const QDate today = Clock::today();
    fromDate_ = makeDate(QStringLiteral("dateFrom"), QDate(today.year(), today.month(), 1));
    toDate_ = makeDate(QStringLiteral("dateTo"), QDate(today.year(), today.month(), today.daysInMonth()));
    row->addWidget(new QLabel(QStringLiteral("Период с"), panel));
    row->addWidget(fromDate_);
    row->addWidget(new QLabel(QStringLiteral("по"), panel));
    row->addWidget(toDate_);
    row->addStretch(1);
    for (QDateEdit* edit : {fromDate_, toDate_})
        connect(edit, &QDateEdit::dateChanged, this, [this] { load(currentId(), currentRow()); });
    layout->addWidget(panel);
}

void BookListWindow::choose(QComboBox* box, const QVariant& value)
{
    int index = box->count() > 0 ? 0 : -1;
    if (value.isValid())
        for (int i = 0; i < box->count(); ++i)
            if (box->itemData(i).toLongLong() == value.toLongLong())
                index = i;
    box->setCurrentIndex(index);
}

void BookListWindow::fillGrandParents()
{
    if (!grandParentBox_)
        return;
    const QVariant chosen = grandParentBox_->currentData();
    const QSignalBlocker block(grandParentBox_);
    grandParentBox_->clear();
    for (const books::ListItem& it : books::listItems(db_, def_->grandParentSource))
        grandParentBox_->addItem(it.text, it.value);
    choose(grandParentBox_, chosen);
}

void BookListWindow::fillParents()
{
    if (!parentBox_)
        return;
    const QVariant chosen = parentBox_->currentData();
    const QVariant grandParent = grandParentBox_ ? grandParentBox_->currentData() : QVariant();
    const QSignalBlocker block(parentBox_);
    parentBox_->clear();
    // A card list under a category with nothing chosen there stays empty.
    if (!grandParentBox_ || grandParent.isValid())
        for (const books::ListItem& it : books::parentItems(db_, entry_, grandParent))
            parentBox_->addItem(it.text, it.value);
    choose(parentBox_, chosen);
}

std::optional<qint64> BookListWindow::parentId() const
{
    if (!parentBox_ || parentBox_->currentIndex() < 0)
        return std::nullopt;
    return parentBox_->currentData().toLongLong();
}

const books::BookList& BookListWindow::list() const
{
    return model_->list();
}

void BookListWindow::load(std::optional<qint64> keepId, int fallbackRow)
{
    books::ListFilter filter;
    if (parentBox_)
        filter.parent = parentId().value_or(-1);  // an empty parent book: no rows
    if (secondBox_ && secondBox_->currentData().isValid())
        filter.second = secondBox_->currentData().toLongLong();
    if (fromDate_) {
        filter.from = fromDate_->date();
        filter.to = toDate_->date();
    }
    QHeaderView* header = grid_->horizontalHeader();
    std::vector<int> widths;
    for (int c = 0; c < model_->columnCount(); ++c)
        widths.push_back(header->sectionSize(c));
    QString failure;
    books::BookList loaded;
    try {
        loaded = books::loadList(db_, entry_, filter);
    } catch (const DbError& e) {
        failure = kLoadFailed + e.text();
        loaded.captions = model_->list().captions;
        loaded.widths = model_->list().widths;
        loaded.decimals = model_->list().decimals;
    }
    const bool sameColumns = widthsSet_ && loaded.captions == model_->list().captions;
    model_->setList(std::move(loaded));
    if (sameColumns) {
        for (int c = 0; c < int(widths.size()) && c < model_->columnCount(); ++c)
            header->resizeSection(c, widths[size_t(c)]);
        fitContent();
    } else {
        applyWidths();
    }
    grid_->setColumnHidden(model_->keyColumn(), true);

    int row = keepId ? model_->list().rowOf(*keepId) : -1;
    if (row < 0)
        row = qMin(qMax(0, fallbackRow), model_->rowCount() - 1);
    selectRow(row);
    updateStatus();
    if (!failure.isEmpty())
        totalLabel_->setText(failure);
    emit listLoaded();
}

void BookListWindow::applyWidths()
{
    const books::BookList& l = model_->list();
    const int dpi = qMax(72, logicalDpiX());
    const QFontMetrics fm = grid_->horizontalHeader()->fontMetrics();
    for (int c = 0; c < l.columnCount(); ++c) {
        // The catalogue gives widths in twips; a column is never narrower than the longest word
        // of its caption, so that a wrapped caption stays readable.
        int width = (c < int(l.widths.size()) ? l.widths[size_t(c)] : 1500) * dpi / 1440;
        int longestWord = 0;
        for (const QString& word : l.captions.value(c).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            longestWord = qMax(longestWord, fm.horizontalAdvance(word));
        width = qMax(width, longestWord + 16);
        grid_->setColumnWidth(c, width);
    }
    fitContent();
    // A short list of texts fills the window; a number column keeps its width beside its text.
    const bool lastIsText = !l.decimals.empty() && l.decimals.back() < 0;
    grid_->horizontalHeader()->setStretchLastSection(l.columnCount() <= 3 && lastIsText);
    widthsSet_ = true;
    fitHeaderHeight();
}

void BookListWindow::fitContent()
{
    // A column widens to show its texts whole: a figure never loses digits, a status never
    // its last word. Only a long text (a name, a comment) stops at a width and is cut.
    const books::BookList& l = model_->list();
    const QFontMetrics fm = grid_->fontMetrics();
    const int rows = qMin(l.rowCount(), 500);
    for (int c = 0; c < l.columnCount(); ++c) {
        int content = 0;
        for (int r = 0; r < rows; ++r)
            content = qMax(content, fm.horizontalAdvance(l.rows[size_t(r)].value(c)));
        int need = content + 14;
        const bool number = c < int(l.decimals.size()) && l.decimals[size_t(c)] >= 0;
        if (!number)
            need = qMin(need, 360);
        if (grid_->columnWidth(c) < need)
            grid_->setColumnWidth(c, need);
    }
}

void BookListWindow::fitHeaderHeight()
{
    // Long captions wrap; the header is as tall as the tallest wrapped caption.
    QHeaderView* header = grid_->horizontalHeader();
    const QFontMetrics fm = header->fontMetrics();
    int lines = 1;
    for (int c = 0; c < model_->list().columnCount(); ++c) {
        const QRect r = fm.boundingRect(QRect(0, 0, qMax(8, header->sectionSize(c) - 10), 2000),
                                        Qt::AlignCenter | Qt::TextWordWrap, model_->list().captions.value(c));
        lines = qMax(lines, (r.height() + fm.lineSpacing() - 1) / fm.lineSpacing());
    }
    header->setMinimumHeight(qMin(lines, 4) * fm.lineSpacing() + 10);
}

int BookListWindow::currentRow() const
{
    const QModelIndex i = grid_->currentIndex();
    return i.isValid() ? i.row() : -1;
}

std::optional<qint64> BookListWindow::currentId() const
{
    const int row = currentRow();
    if (row < 0)
        return std::nullopt;
    return model_->idAt(row);
}

std::vector<qint64> BookListWindow::selectedIds() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<qint64> ids;
    for (int r : rows)
        ids.push_back(model_->idAt(r));
    return ids;
}

void BookListWindow::selectRow(int row)
{
    QItemSelectionModel* sel = grid_->selectionModel();
    if (row < 0 || row >= model_->rowCount()) {
        sel->clearSelection();
        sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        updateStatus();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollTo(index);
    updateStatus();
}

bool BookListWindow::selectId(qint64 id)
{
    const int row = model_->list().rowOf(id);
    if (row < 0)
        return false;
    selectRow(row);
    return true;
}

void BookListWindow::updateStatus()
{
    const int row = currentRow();
    rowLabel_->setText(QStringLiteral("Строка: ") + QString::number(row < 0 ? 0 : row + 1));
    totalLabel_->setText(QStringLiteral("Всего строк: ") + QString::number(model_->rowCount()));
    selectedLabel_->setText(QStringLiteral("Выделено строк: ") +
                            QString::number(grid_->selectionModel()->selectedRows().size()));
}

void BookListWindow::reload()
{
    fillGrandParents();
    fillParents();
    load(currentId(), currentRow());
}

void BookListWindow::editRowPlain()
{
    if (guarded(QStringLiteral("keyEdit")))
        openEditor(books::EditMode::Edit, true);
}

void BookListWindow::openEditor(books::EditMode mode, bool plainForm)
{
    if (!def_ || def_->readOnly)
        return;
    std::optional<qint64> id;
    if (mode != books::EditMode::Add) {
        id = currentId();
        if (!id)
            return;
    }
    std::optional<qint64> saved;
    QVariant parent;
    const BookWindowHooks* hooks = bookWindowHooks(entry_);
    if (hooks && hooks->recordWindow && !plainForm) {
        saved = hooks->recordWindow(this, db_, prompt_, mode, id, parentId());
        if (saved && !def_->parentField.isEmpty() && !def_->table.isEmpty())
            parent = db_.scalar(QStringLiteral("SELECT [") + def_->parentField + QStringLiteral("] FROM [") +
                                    def_->table + QStringLiteral("] WHERE [") + def_->key + QStringLiteral("] = ?1"),
                                {*saved});
    } else {
        books::RecordEditor editor(db_, prompt_, entry_);
        if (!editor.open(mode, id, parentId()))
            return;
        RecordEditorDialog dialog(editor, this);
        showDialog(dialog);
        saved = dialog.savedId();
        if (saved && !def_->parentField.isEmpty())
            parent = editor.value(editor.fieldIndex(def_->parentField));
    }
    if (!saved)
        return;
    // A row saved under another parent is shown with that parent's rows.
    if (parentBox_) {
        if (!parent.isNull() && parent.toLongLong() != parentId().value_or(-1)) {
            const QSignalBlocker block(parentBox_);
            for (int i = 0; i < parentBox_->count(); ++i)
                if (parentBox_->itemData(i).toLongLong() == parent.toLongLong())
                    parentBox_->setCurrentIndex(i);
        }
    }
    load(saved, currentRow());
    grid_->setFocus();
}

bool BookListWindow::guarded(const QString& key)
{
    const BookWindowHooks* hooks = bookWindowHooks(entry_);
    return !hooks || !hooks->guard || hooks->guard(*this, key);
}

void BookListWindow::addRow()
{
    if (guarded(QStringLiteral("keyAdd")))
        openEditor(books::EditMode::Add);
}

void BookListWindow::editRow()
{
    if (guarded(QStringLiteral("keyEdit")))
        openEditor(books::EditMode::Edit);
}

void BookListWindow::copyRow()
{
    if (guarded(QStringLiteral("keyCopy")))
        openEditor(books::EditMode::Copy);
}

void BookListWindow::deleteRows()
{
    if (!def_ || def_->readOnly || !guarded(QStringLiteral("keyDel")))
        return;
    std::vector<qint64> ids = selectedIds();
    if (ids.empty())
        if (const auto id = currentId())
            ids.push_back(*id);
    // After the deletion the row that takes the place of the first deleted one is current.
    int firstRow = currentRow();
    for (qint64 id : ids)
        if (const int r = model_->list().rowOf(id); r >= 0 && (firstRow < 0 || r < firstRow))
            firstRow = r;
    const books::DeleteResult result = books::deleteRows(db_, prompt_, entry_, ids);
    if (!result.confirmed)
        return;
    load(currentId(), firstRow);
}

void BookListWindow::find()
{
    if (!books::BookSearch::canStart(db_, prompt_, entry_, model_->list()))
        return;
    RecordEditorDialog dialog(def_ ? def_->listTitle : windowTitle(), books::searchColumns(db_, entry_),
                            searchColumn_, searchSample_, this);
    showDialog(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    searchColumn_ = dialog.searchColumn();
    searchSample_ = dialog.sample();
    search_.emplace(searchColumn_, searchSample_);
    findNext();
}

void BookListWindow::findNext()
{
    if (!search_) {
        find();
        return;
    }
    if (const auto row = search_->findNext(prompt_, model_->list(), currentRow()))
        selectRow(*row);
    grid_->setFocus();
}

void BookListWindow::includeAllVitamins()
{
    if (books::includeAllVitamins(db_, prompt_))
        reload();
}

void BookListWindow::bulkCopy()
{
    const BookWindowHooks* hooks = bookWindowHooks(entry_);
    if (hooks && hooks->bulkCopyRow) {
        if (const std::optional<qint64> row = currentId(); row && hooks->bulkCopyRow(db_, prompt_, *row))
            reload();
        return;
    }
    if (!hooks || !hooks->bulkCopy) {
        prompt_.info(MainWindow::notAvailableText());
        return;
    }
    const std::optional<qint64> parent = parentId();
    if (parent && hooks->bulkCopy(db_, prompt_, *parent))
        reload();
}

void BookListWindow::printBook()
{
    // The seasonal-loss book asks whether to print every product; any other book prints the
    // rows as the list shows them.
    if (entry_ == books::entrySeasonalLosses)
        documents::PrintBook(db_, prompt_, entry_, parentId());
    else
        documents::PrintTable(db_, prompt_, documents::bookTable(model_->list()));
}

void BookListWindow::printSelected()
{
    std::vector<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    if (rows.empty() && currentRow() >= 0)
        rows.push_back(currentRow());
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    documents::PrintTable(db_, prompt_, documents::bookTable(model_->list(), &rows));
}

void BookListWindow::copyToClipboard() const
{
    const books::BookList& l = model_->list();
    std::vector<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (int r : rows)
        lines << l.rows[size_t(r)].join(QLatin1Char('\t'));
    if (!lines.isEmpty())
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

bool BookListWindow::runCommand(const QString& name)
{
    const bool editable = def_ && !def_->readOnly;
    if (name == QLatin1String("mnuPoisk") || name == QLatin1String("mnuDS0")) {
        find();
    } else if (name == QLatin1String("mnuPoiskd")) {
        findNext();
    } else if (name == QLatin1String("mnuViewRefresh")) {
        reload();
    } else if (name == QLatin1String("mnuDS1") && editable) {
        addRow();
    } else if (name == QLatin1String("mnuDS2") && editable) {
        editRow();
    } else if (name == QLatin1String("mnuDS3") && editable) {
        copyRow();
    } else if (name == QLatin1String("mnuDS4") && editable) {
        deleteRows();
    } else if (name == QLatin1String("mnuEditCopy") && grid_->hasFocus()) {
        copyToClipboard();
    } else if (name == QLatin1String("mnuFilePrint")) {
        printGrid(db_, prompt_, windowTitle(), *grid_);
    } else {
        return false;
    }
    return true;
}

bool BookListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_ && runRowKey(event, [this] { addRow(); }, [this] { editRow(); }, [this] { deleteRows(); }))
        return true;
    return QWidget::eventFilter(watched, event);
}

void BookListWindow::keyPressEvent(QKeyEvent* event)
{
    // Inside the main window F5 is its "Обновить"; a window on its own reloads itself.
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        reload();
        return;
    }
    QWidget::keyPressEvent(event);
}

QSize BookListWindow::sizeHint() const
{
    // Wide enough for every column and for the whole toolbar with its captions.
    int width = 40;
    for (int c = 0; c < model_->list().columnCount(); ++c)
        width += grid_->columnWidth(c);
    width = qMax(width, toolBarTextWidth_ + 16);
    return {qBound(620, width, 1200), 560};
}

} // namespace rat::ui
