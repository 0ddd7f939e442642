// Printing a list window's grid as it is shown.

#include "ui/ListPrint.h"

#include "documents/TablePrint.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QColor>
#include <QFont>

namespace rat::ui {

QString printGrid(Database& db, Prompt& prompt, const QString& title, const QAbstractItemModel& model)
{
    documents::PrintedTable table;
    table.title = title;
    for (int c = 0; c < model.columnCount(); ++c)
        table.columns << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    for (int r = 0; r < model.rowCount(); ++r) {
        documents::PrintedRow row;
        for (int c = 0; c < model.columnCount(); ++c) {
            const QModelIndex at = model.index(r, c);
            const QString text = at.data(Qt::DisplayRole).toString();
            row.cells.push_back(text.isEmpty() ? QVariant() : QVariant(text));
            if (c == 0)
                row.bold = at.data(Qt::FontRole).value<QFont>().bold();
            const QVariant fg = at.data(Qt::ForegroundRole);
            if (fg.isValid() && fg.value<QBrush>().color() == QColor(Qt::red))
                row.redCells.push_back(c);
        }
        table.rows.push_back(std::move(row));
    }
    return documents::PrintTable(db, prompt, table);
}

} // namespace rat::ui
