#pragma once
// Reads a saved workbook back: the cells of its sheet "Лист1" (value, formula, cached result,
// font), merged ranges, print titles and the package's content type. The tests check printed
// forms with it; it does not recalculate anything.

#include "documents/ZipParts.h"

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>

namespace rat::documents {

struct ReadCell {
    QString text;        // the shown text: a string, or a number / cached result as written
    bool isNumber = false;
    double number = 0;
    QString formula;     // without "="
    double fontSize = 0;
    bool bold = false;
    QString fontColor;   // ARGB, empty for the default
    bool border = false;
    QString numberFormat;
};

class XlsxReader {
public:
    bool open(const QString& path, QString* error = nullptr);
    bool openData(const QByteArray& data, QString* error = nullptr);

    const ReadCell* cell(int row, int col) const;
    QString text(int row, int col) const;
    std::optional<double> number(int row, int col) const;
    QString formula(int row, int col) const;
    // The first cell whose text contains `what` (row, col), nothing when none.
    std::optional<std::pair<int, int>> find(const QString& what) const;
    // The texts of a row from column 1 to its last cell, for a compact comparison.
    QStringList rowTexts(int row) const;
    int lastRow() const;
    int lastColumn() const;

    QStringList merges;        // "A1:C1"
    QString printTitles;       // the print-titles name of the sheet, as stored
    QString contentType;       // of /xl/workbook.xml
    QString sheetName;
    QStringList partNames;
    std::map<int, double> columnWidths;
    std::map<int, double> rowHeights;  // rows of a height of their own
    QString orientation;

private:
    std::map<std::pair<int, int>, ReadCell> cells_;
};

} // namespace rat::documents
