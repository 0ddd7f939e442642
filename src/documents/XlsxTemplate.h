#pragma once
// The spreadsheet template engine: fills a copy of the first sheet ("Лист1") of an .xltx/.xlsx
// template and saves it as an .xlsx workbook. Styles, widths, merges, page setup and print titles
// come from the template; the program writes values into the cells the template prepared.
//
//   XlsxTemplate t;
//   if (!t.open(templatePath, &error)) ...            // or t.openBlank() for a plain layout
//   t.fill("org", CellValue::text(name));              // every "{org}" in the sheet
//   const int line = t.findRow("{line.name}");         // the row that repeats per line
//   t.repeatRows(line, 1, lines.size());               // rows below move down, merges too
//   for (i...) t.fillRow(line + i, {{"line.name", CellValue::text(..)},
//                                     {"line.sum", CellValue::formula("C7*D7", 12.5)}});
//   t.setStyle(CellRange{r1, c1, r2, c2}, CellStyle().size(12).heavy());
//   t.clearPlaceholders();                             // "{...}" left over become empty
//   t.save(outputPath, &error);                        // content type: workbook
//
// Placeholders are "{name}" with Latin letters, digits, "_" and "."; a cell holding only the
// placeholder takes the value as it is (a number stays a number), a longer text gets the value
// written into it. Formulas are in A1 form without "=" and always carry their computed value, so
// a reader that does not recalculate shows the right figures. Rows and columns are 1-based.

#include "documents/ZipParts.h"

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace rat::documents {

struct CellValue {
    enum class Kind { Empty, Number, Text, Formula };
    Kind kind = Kind::Empty;
    double number = 0;  // Number; a number formula's result
    QString text;       // Text; a text formula's result
    QString formula;    // Formula, A1 form without "="
    bool textResult = false;

    static CellValue empty() { return {}; }
    static CellValue num(double v) { return {Kind::Number, v, {}, {}, false}; }
    static CellValue str(const QString& s) { return {Kind::Text, 0, s, {}, false}; }
    static CellValue formulaNum(const QString& f, double result) { return {Kind::Formula, result, {}, f, false}; }
    static CellValue formulaText(const QString& f, const QString& result) { return {Kind::Formula, 0, result, f, true}; }
    // As text inside a longer cell text (numbers with a decimal point, up to 15 digits).
    QString display() const;
};

struct CellRange {
    int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
    static CellRange cell(int row, int col) { return {row, col, row, col}; }
};

// A change of look laid over the style each cell already has.
struct CellStyle {
    std::optional<double> fontSize;
    std::optional<bool> bold;
    std::optional<bool> thinBorders;   // all four sides
    std::optional<bool> wrap;
    std::optional<QString> horizontal; // "left", "center", "right"
    std::optional<QString> numberFormat;  // "0.00", "@"
    std::optional<QString> fontColor;     // "FFFF0000" (ARGB)

    CellStyle& size(double points) { fontSize = points; return *this; }
    CellStyle& heavy(bool on = true) { bold = on; return *this; }
    CellStyle& borders(bool on = true) { thinBorders = on; return *this; }
    CellStyle& wrapped(bool on = true) { wrap = on; return *this; }
    CellStyle& align(const QString& h) { horizontal = h; return *this; }
    CellStyle& format(const QString& f) { numberFormat = f; return *this; }
    CellStyle& color(const QString& argb) { fontColor = argb; return *this; }
};

class XlsxTemplate {
public:
    XlsxTemplate();
    ~XlsxTemplate();
    XlsxTemplate(const XlsxTemplate&) = delete;
    XlsxTemplate& operator=(const XlsxTemplate&) = delete;

    // Reads the template; false with a reason when it is missing or not a workbook.
    bool open(const QString& path, QString* error = nullptr);
    bool openData(const QByteArray& data, QString* error = nullptr);
    // An empty workbook with one sheet "Лист1" (A4 portrait), for printing without a template.
    void openBlank();

    QString sheetName() const;

    // Placeholders.
    // Every "{name}" (in the rows firstRow..lastRow); returns the cells changed.
    int fill(const QString& name, const CellValue& value, int firstRow = 1, int lastRow = 1048576);
    // The first cell containing the text, at or below `fromRow`.
    std::optional<std::pair<int, int>> find(const QString& text, int fromRow = 1) const;
    int findRow(const QString& text, int fromRow = 1) const;     // 0 when nowhere
    int findColumn(const QString& text, int fromRow = 1) const;  // 0 when nowhere
    int fillRow(int row, const std::map<QString, CellValue>& values);
    void clearPlaceholders(int firstRow = 1, int lastRow = 1048576);

    // Cells: the value lands in the existing cell and keeps its style.
    void set(int row, int col, const CellValue& value);
    void setNumber(int row, int col, double v) { set(row, col, CellValue::num(v)); }
    void setText(int row, int col, const QString& s) { set(row, col, CellValue::str(s)); }
    void setFormula(int row, int col, const QString& f, double result) { set(row, col, CellValue::formulaNum(f, result)); }
    QString text(int row, int col) const;  // the written text or number as text
    // The style of another cell (by its look: font, borders, format) for a cell.
    void copyStyle(int fromRow, int fromCol, int row, int col);

    // Blocks. The rows first..first+count-1 appear `times` times (0 removes them); the copies
    // follow the block with its heights, styles, texts, merges and formulas (moved like a copy),
    // everything below moves down, and a range ending on the block's last row grows over the copies.
    void repeatRows(int first, int count, int times);
    void insertRows(int before, int count);  // empty rows; ranges across them grow
    void deleteRows(int first, int count);
    // Whole columns are inserted; only the cells of the rows fromRow..toRow are copied into them
    // (a title above a table of product columns stays single).
    void repeatColumns(int first, int count, int times, int fromRow = 1, int toRow = 1048576);
    void deleteColumns(int first, int count);

    void merge(const CellRange& range);
    void setStyle(const CellRange& range, const CellStyle& style);
    void setColumnWidth(int col, double width);
    void setRowHeight(int row, double points);
    double columnWidth(int col) const;  // in characters, as the sheet keeps it
    // Makes the row tall enough for `text` wrapped in its column (estimated from the column's
    // width), so a long name stays inside its row instead of running over the next one.
    void fitRowToText(int row, int col, const QString& text, double lineHeight = 12.75);
    void setPrintTitleRows(int first, int last);  // repeated at the top of every printed page
    void setPrintTitleColumns(int first, int last);  // repeated at the left of every printed page
    void setLandscape(bool landscape);
    void addPageBreak(int afterRow);  // a new printed page starts below the row

    int lastRow() const;
    int lastColumn() const;

    // Saves an .xlsx workbook; false with the reason when the file cannot be written.
    bool save(const QString& path, QString* error = nullptr);
    QByteArray saveData();

private:
    void setPrintTitles(const QString& range, bool columns);
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace rat::documents
