// The document window: a header and a grid of lines for every document kind, its toolbar,
// column widths and opening inside the main window.

#include "ui/DocumentWindow.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

DocumentWindow::DocumentWindow(Database& db, Prompt& prompt, std::unique_ptr<DocumentKind> kind, QWidget* parent)
    : QWidget(parent), db_(db), prompt_(prompt), kind_(std::move(kind))
{
    setObjectName(QStringLiteral("frmDoc"));
    setAttribute(Qt::WA_DeleteOnClose);
    showDialog = [](QDialog& dialog) { dialog.exec(); };
    build();
}

DocumentWindow::~DocumentWindow() = default;

QAction* DocumentWindow::addKey(const QString& key, const QString& text, const QString& tip,
                                void (DocumentWindow::*slot)())
{
    return addToolKey(toolBar_, actions_, key, text, tip, [this, slot] { (this->*slot)(); });
}

void DocumentWindow::buildToolBar()
{
    toolBar_ = makeToolBar(this);
    addKey(QStringLiteral("keyAdd"), QStringLiteral("Добавить"), QStringLiteral("Новая строка (Insert)"),
           &DocumentWindow::addLine)
        ->setIcon(glyphIcon(Glyph::NewRow));
    addKey(QStringLiteral("keyEdit"), QStringLiteral("Изменить"), QStringLiteral("Изменить строку (Enter)"),
           &DocumentWindow::editLine)
        ->setIcon(glyphIcon(Glyph::EditRow));
    addKey(QStringLiteral("keyCopy"), QStringLiteral("Копировать"), QStringLiteral("Копировать строку"),
           &DocumentWindow::copyLine)
        ->setIcon(glyphIcon(Glyph::Copy));
    // The second copy key of the classic toolbar: the same command, kept for its key.
    QAction* copy1 = addKey(QStringLiteral("keyCopy1"), QStringLiteral("Копировать строку"), QString(),
                            &DocumentWindow::copyLine);
    copy1->setVisible(false);
    addKey(QStringLiteral("keyDel"), QStringLiteral("Удалить"), QStringLiteral("Удалить выделенные строки (Delete)"),
           &DocumentWindow::deleteLines)
        ->setIcon(glyphIcon(Glyph::DeleteRow));
    addKey(QStringLiteral("keyAllDay"), QStringLiteral("Удалить все"), QStringLiteral("Удалить все строки"),
           &DocumentWindow::deleteAllLines)
        ->setIcon(badgeIcon(QStringLiteral("×"), QColor(0xb0, 0x3a, 0x2e)));
    toolBar_->addSeparator();
    QAction* up = addKey(QStringLiteral("keyUp"), QStringLiteral("Вверх"),
                         QStringLiteral("Переместить блюдо вверх"), &DocumentWindow::moveUp);
    up->setIcon(badgeIcon(QStringLiteral("↑"), QColor(0x3a, 0x6e, 0xa5)));
    QAction* down = addKey(QStringLiteral("keyDown"), QStringLiteral("Вниз"),
                           QStringLiteral("Переместить блюдо вниз"), &DocumentWindow::moveDown);
    down->setIcon(badgeIcon(QStringLiteral("↓"), QColor(0x3a, 0x6e, 0xa5)));
    up->setVisible(kind_->canMove());
    down->setVisible(kind_->canMove());
    QAction* print = addKey(QStringLiteral("keyPrint"), QStringLiteral("Печать меню"),
                            QStringLiteral("Печатать меню в Excel"), &DocumentWindow::printDocument);
    print->setIcon(glyphIcon(Glyph::Print));
    print->setVisible(kind_->canPrint());
    addKey(QStringLiteral("keyUpdateSumma"), QStringLiteral("Пересчитать"), QStringLiteral("Пересчитать итог"),
           &DocumentWindow::updateTotal)
        ->setIcon(glyphIcon(Glyph::Refresh));
}

void DocumentWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(toolBar_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 6, 8, 8);
    body->setSpacing(6);
    buildHeader(body);

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("grid"));
    setUpListGrid(grid_);
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        selectRow(row);
        editLine();
    });
    body->addWidget(grid_, 1);

    total_ = new QLabel(this);
    total_->setObjectName(QStringLiteral("lblItog"));
    QFont bold = total_->font();
    bold.setBold(true);
    total_->setFont(bold);
    body->addWidget(total_);

    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    print_ = new QPushButton(QStringLiteral("Печать"), this);
    print_->setObjectName(QStringLiteral("cmdPrint"));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {ok_, print_, cancel_}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });
    connect(print_, &QPushButton::clicked, this, [this] { printDocument(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
    addButtonRow(body, this, {ok_, print_, cancel_});
    layout->addLayout(body, 1);
    setFocusProxy(grid_);
}

int DocumentWindow::currentRow() const
{
    const QModelIndex i = grid_->currentIndex();
    return i.isValid() ? i.row() : -1;
}

std::vector<int> DocumentWindow::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& i : grid_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DocumentWindow::selectRow(int row)
{
    QItemSelectionModel* sel = grid_->selectionModel();
    if (row < 0 || row >= grid_->rowCount()) {
        sel->clearSelection();
        sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    const QModelIndex index = grid_->model()->index(row, 0);
    sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollTo(index);
}

void DocumentWindow::reloadLines(int row)
{
    const int keep = row >= 0 ? row : currentRow();
    // A copy not yet saved shows the source's lines that will go along with it.
    const std::optional<qint64> shown = id_ ? id_ : (copyAccepted_ ? sourceId_ : std::nullopt);
    const LineSet set = kind_->lines(db_, shown, !id_);
    const bool sameColumns = grid_->columnCount() == set.captions.size() && grid_->rowCount() > 0;
    QList<int> widths;
    for (int c = 0; c < grid_->columnCount(); ++c)
        widths << grid_->columnWidth(c);
    grid_->clearContents();
    grid_->setColumnCount(int(set.captions.size()));
    grid_->setHorizontalHeaderLabels(set.captions);
    grid_->setRowCount(int(set.rows.size()));
    for (int r = 0; r < int(set.rows.size()); ++r) {
        const QStringList& cells = set.rows[size_t(r)];
        for (int c = 0; c < cells.size() && c < set.captions.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (std::find(set.rightAligned.begin(), set.rightAligned.end(), c) != set.rightAligned.end())
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == set.entryColumn) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            grid_->setItem(r, c, item);
        }
    }
    if (sameColumns) {
        for (int c = 0; c < widths.size(); ++c)
            grid_->setColumnWidth(c, widths[c]);
    } else {
        // Columns as wide as their contents, within reason; a caption wraps instead.
        const QFontMetrics fm = grid_->horizontalHeader()->fontMetrics();
        for (int c = 0; c < grid_->columnCount(); ++c) {
            // A caption wraps into three lines at most; the name column stays readable.
            int least = fm.horizontalAdvance(set.captions[c]) / 3 + 24;
            for (const QString& word : set.captions[c].split(QLatin1Char(' '), Qt::SkipEmptyParts))
                least = qMax(least, fm.horizontalAdvance(word) + 16);
            if (c == set.nameColumn)
                least = qMax(least, 220);
            // An empty grid is laid out for the lines to come, so that the window opens wide
            // enough for them: room for a number, a date or a short word in every column.
            int content = 0;
            if (grid_->rowCount() == 0 && c != set.nameColumn) {
                const bool number =
                    std::find(set.rightAligned.begin(), set.rightAligned.end(), c) != set.rightAligned.end();
                content = fm.horizontalAdvance(number ? QStringLiteral("00000,00") : QStringLiteral("00.00.0000"));
            }
            for (int r = 0; r < grid_->rowCount() && r < 200; ++r)
                if (const QTableWidgetItem* it = grid_->item(r, c))
                    content = qMax(content, fm.horizontalAdvance(it->text()));
            grid_->setColumnWidth(c, qMax(least, qMin(content + 18, 320)));
        }
        int lines = 1;
        for (int c = 0; c < grid_->columnCount(); ++c) {
            const QRect box = fm.boundingRect(QRect(0, 0, qMax(8, grid_->columnWidth(c) - 10), 2000),
                                              Qt::AlignCenter | Qt::TextWordWrap, set.captions[c]);
            lines = qMax(lines, (box.height() + fm.lineSpacing() - 1) / fm.lineSpacing());
        }
        grid_->horizontalHeader()->setMinimumHeight(qMin(lines, 4) * fm.lineSpacing() + 10);
    }
    selectRow(qMin(qMax(0, keep), grid_->rowCount() - 1));
    grid_->setToolTip(set.hint);
    total_->setText(set.totalLabel);
}

QSize DocumentWindow::sizeHint() const
{
    int width = 40;
    for (int c = 0; c < grid_->columnCount(); ++c)
        width += grid_->columnWidth(c);
    width = qMax(width, toolBar_->sizeHint().width() + 16);
    return {qBound(720, width, 1280), 640};
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_ &&
        runRowKey(event, [this] { addLine(); }, [this] { editLine(); }, [this] { deleteLines(); }))
        return true;
    return QWidget::eventFilter(watched, event);
}

void DocumentWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The header's fields keep their width in a narrow main window: the frame holding this
    // window is not made narrower than they need, and the main window's area scrolls instead.
    setMinimumWidth(layout()->minimumSize().width());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->setMinimumWidth(minimumWidth() + qMax(0, sub->width() - width()));
    if (activated_)
        return;
    activated_ = true;
    // After the window is on the screen, so that a hint appears over it.
    QTimer::singleShot(0, this, [this] { kind_->activated(*this); });
}

bool DocumentWindow::runCommand(const QString& name)
{
    if (name == QLatin1String("mnuDS1")) {
        addLine();
    } else if (name == QLatin1String("mnuDS2")) {
        editLine();
    } else if (name == QLatin1String("mnuDS3")) {
        copyLine();
    } else if (name == QLatin1String("mnuDS4")) {
        deleteLines();
    } else if (name == QLatin1String("mnuViewRefresh")) {
        reloadLines();
    } else if (name == QLatin1String("mnuFilePrint")) {
        printDocument();
    } else {
        return false;
    }
    return true;
}

void DocumentWindow::closeWindow()
{
    closing_ = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
    closing_ = false;
}

DocumentWindow* openDocument(MainWindow* main, Database& db, Prompt& prompt, int code, std::optional<qint64> id,
                             DocumentMode mode, const HeaderValues& presets)
{
    std::unique_ptr<DocumentKind> kind = makeDocumentKind(code);
    if (!kind)
        return nullptr;
    if (main && mode == DocumentMode::Edit && id) {
        for (QMdiSubWindow* sub : main->mdiArea()->subWindowList())
            if (auto* w = qobject_cast<DocumentWindow*>(sub->widget());
                w && w->kind().code() == code && w->documentId() == id) {
                if (sub->isMinimized())
                    sub->showNormal();
                main->mdiArea()->setActiveSubWindow(sub);
                return w;
            }
    }
    auto* w = new DocumentWindow(db, prompt, std::move(kind));
    if (!w->open(mode, id, presets)) {
        delete w;
        return nullptr;
    }
    if (main)
        main->addChild(w);
    else
        w->show();
    return w;
}

} // namespace rat::ui
