// Printing a list window's grid as it is shown.

#include "ui/ListPrint.h"

#include "documents/TablePrint.h"

#include <QAbstractItemModel>
#include <QTableView>
#include <QBrush>
#include <QColor>
#include <QFont>

namespace rat::ui {

// Only the columns the grid shows are printed: a hidden key column stays out of the paper.
QString printGrid(Database& db, Prompt& prompt, const QString& title, const QTableView& grid)
{
    const QAbstractItemModel& model = *grid.model();
    QList<int> shown;
    for (int c = 0; c < model.columnCount(); ++c)
        if (!grid.isColumnHidden(c))
            shown << c;
    documents::PrintedTable table;
    table.title = title;
    for (int c : shown)
        table.columns << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    for (int r = 0; r < model.rowCount(); ++r) {
        documents::PrintedRow row;
        for (int c : shown) {
            const QModelIndex at = model.index(r, c);
            const QString text = at.data(Qt::DisplayRole).toString();
            row.cells.push_back(text.isEmpty() ? QVariant() : QVariant(text));
            if (c == shown.first())
                row.bold = at.data(Qt::FontRole).value<QFont>().bold();
            const QVariant fg = at.data(Qt::ForegroundRole);
            if (fg.isValid() && fg.value<QBrush>().color() == QColor(Qt::red))
                row.redCells.push_back(int(row.cells.size()) - 1);
        }
        table.rows.push_back(std::move(row));
    }
    return documents::PrintTable(db, prompt, table);
}

} // namespace rat::ui
