#pragma once
// A read-only view of one table of the file, shown for a reference book until its own list
// window takes over.

#include "ui/MainChildCommands.h"

#include <QWidget>

class QLabel;
class QStandardItemModel;
class QTableView;

namespace rat {
class Database;
}

namespace rat::ui {

class TableViewWindow : public QWidget, public ChildCommands {
    Q_OBJECT
public:
    TableViewWindow(Database& db, const QString& table, const QString& title, int entry,
                    QWidget* parent = nullptr);

    int entry() const { return entry_; }
    QString table() const { return table_; }
    QTableView* view() const { return view_; }
    int rowCount() const;

    // Reads the table again.
    void reload();
    bool runCommand(const QString& name) override;
    QSize sizeHint() const override { return {760, 440}; }

private:
    void copySelection() const;

    Database& db_;
    QString table_;
    int entry_;
    QTableView* view_;
    QStandardItemModel* model_;
    QLabel* footer_;
};

} // namespace rat::ui
