// The toolbar, grid and button row shared by the list-like windows, so keys and grids behave
// alike everywhere.

#include "ui/GridSetup.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>

namespace rat::ui {

QToolBar* makeToolBar(QWidget* parent)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

QAction* addToolKey(QToolBar* bar, QHash<QString, QAction*>& keys, const QString& key, const QString& text,
                    const QString& tip, std::function<void()> run, const QIcon& icon)
{
    auto* a = new QAction(icon, text, bar->parentWidget());
    a->setObjectName(key);
    a->setToolTip(tip.isEmpty() ? text : tip);
    QObject::connect(a, &QAction::triggered, a, [run = std::move(run)] {
        if (run)
            run();
    });
    bar->addAction(a);
    keys.insert(key, a);
    return a;
}

void setUpRowGrid(QTableView* grid)
{
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setAlternatingRowColors(true);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
}

void setUpListGrid(QTableView* grid)
{
    setUpRowGrid(grid);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideRight);
    grid->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter) | Qt::Alignment(Qt::TextWordWrap));
    grid->horizontalHeader()->setHighlightSections(false);
}

bool runRowKey(QEvent* event, const std::function<void()>& add, const std::function<void()>& edit,
               const std::function<void()>& remove)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Insert: add(); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: edit(); return true;
    case Qt::Key_Delete: remove(); return true;
    default: return false;
    }
}

void addButtonRow(QBoxLayout* layout, QWidget* parent, std::initializer_list<QPushButton*> buttons)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    layout->addLayout(row);
}

} // namespace rat::ui
