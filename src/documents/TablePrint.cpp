// Printing a list as it is shown.

#include "documents/TablePrint.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include <algorithm>

namespace rat::documents {

QString PrintTable(Database& db, Prompt& prompt, const PrintedTable& table)
{
    PrintFrame frame(prompt, PrintFamily::Document);
    frame.progress(0);
    XlsxTemplate t;
    const PrintFrame::Template opened = frame.openTemplate(QStringLiteral("Список"), t);
    if (opened == PrintFrame::Template::Refused)
        return {};
    if (opened == PrintFrame::Template::Blank) {
        t.setText(1, 1, QStringLiteral("{org}"));
        t.setText(3, 1, QStringLiteral("{title}"));
        t.setStyle(CellRange::cell(3, 1), CellStyle().heavy().size(12));
        t.setText(5, 1, QStringLiteral("{column}"));
        t.setStyle(CellRange::cell(5, 1), CellStyle().heavy().borders().wrapped().align(QStringLiteral("center")));
        t.setText(6, 1, QStringLiteral("{cell}"));
        t.setStyle(CellRange::cell(6, 1), CellStyle().borders().wrapped());
        t.setPrintTitleRows(5, 5);
    }
    frame.progress(10);
    t.fill(QStringLiteral("org"), CellValue::str(readOrganisation(db).name));
    t.fill(QStringLiteral("title"), CellValue::str(table.title));

    const int columns = std::max<int>(1, int(table.columns.size()));
    const auto head = t.find(QStringLiteral("{column}"));
    const auto cell = t.find(QStringLiteral("{cell}"));
    if (head && cell && cell->second == head->second) {
        const int col = head->second;
        t.repeatColumns(col, 1, columns, head->first, cell->first);
        t.repeatRows(cell->first, 1, int(table.rows.size()));
        std::vector<int> widths(size_t(columns), 6);
        for (int c = 0; c < int(table.columns.size()); ++c) {
            t.setText(head->first, col + c, table.columns[c]);
            // Wide enough for the caption's longest word, so the wrapped caption breaks between words.
            qsizetype word = 0;
            for (const QString& w : table.columns[c].split(u' '))
                word = std::max(word, w.size());
            widths[size_t(c)] = std::max(widths[size_t(c)], int(std::min<qsizetype>(word + 2, 30)));
        }
        for (size_t i = 0; i < table.rows.size(); ++i) {
            const PrintedRow& row = table.rows[i];
            const int r = cell->first + int(i);
            for (int c = 0; c < columns; ++c) {
                const QVariant v = c < int(row.cells.size()) ? row.cells[size_t(c)] : QVariant();
                if (v.isNull())
                    t.set(r, col + c, CellValue::empty());
                else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                    t.set(r, col + c, CellValue::num(v.toDouble()));
                else
                    t.set(r, col + c, CellValue::str(v.toString()));
                widths[size_t(c)] = std::max(widths[size_t(c)], int(std::min<qsizetype>(v.toString().size() + 2, 50)));
            }
            if (row.bold)
                t.setStyle(CellRange{r, col, r, col + columns - 1}, CellStyle().heavy());
            for (int red : row.redCells)
                if (red >= 0 && red < columns)
                    t.setStyle(CellRange::cell(r, col + red), CellStyle().heavy().color(QStringLiteral("FFFF0000")));
        }
        for (int c = 0; c < columns; ++c)
            t.setColumnWidth(col + c, widths[size_t(c)]);
        int total = 0;
        for (int w : widths)
            total += w;
        t.setLandscape(total > 100);
    }
    frame.progress(80);
    t.clearPlaceholders();
    return frame.finish(t, table.title);
}

} // namespace rat::documents
