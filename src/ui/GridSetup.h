#pragma once
// The toolbar, grid and button row the list-like windows share (the book lists, the document
// window, the product and card windows): one look, so that a key or a grid behaves alike
// wherever a cook meets it.

#include <QHash>
#include <QIcon>
#include <QString>
#include <functional>
#include <initializer_list>

class QAction;
class QBoxLayout;
class QEvent;
class QPushButton;
class QTableView;
class QToolBar;
class QWidget;

namespace rat::ui {

// A toolbar of 20-pixel pictures with their captions beside them.
QToolBar* makeToolBar(QWidget* parent);

// Adds a command to `bar` and to `keys` under its object name `key`; the tip is the caption
// when empty. The action belongs to the toolbar's window.
QAction* addToolKey(QToolBar* bar, QHash<QString, QAction*>& keys, const QString& key, const QString& text,
                    const QString& tip, std::function<void()> run, const QIcon& icon = QIcon());

// A read-only grid of whole rows, several of them selectable, in alternate colours, without
// row numbers, each row one line of text high.
void setUpRowGrid(QTableView* grid);

// The same for a list with long captions: a caption wraps and is centred, a cell stays on one
// line and the header does not light up with the selection.
void setUpListGrid(QTableView* grid);

// Insert, Enter and Delete pressed in a grid: add, edit (open) and delete rows; with Ctrl or
// Alt held the keys are left to the grid. True when the key was one of them and has been run.
bool runRowKey(QEvent* event, const std::function<void()>& add, const std::function<void()>& edit,
               const std::function<void()>& remove);

// A sunken line, then the window's buttons at the right, at the foot of `layout`.
void addButtonRow(QBoxLayout* layout, QWidget* parent, std::initializer_list<QPushButton*> buttons);

} // namespace rat::ui
