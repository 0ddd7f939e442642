#pragma once
// Cell names in A1 form ("F12", "$A$1:$H$20") and the moving of the references inside a
// formula, a merged range or a print-title name when rows or columns are inserted, deleted or
// copied.

#include <QString>

namespace rat::documents {

QString columnName(int col);                   // 1 -> "A", 28 -> "AB"
QString cellName(int row, int col);            // (12, 6) -> "F12"
QString rangeName(int row1, int col1, int row2, int col2);  // "F10:F19" ("F10" for one cell)
// "F12" -> (12, 6); false for anything else ("$" signs allowed).
bool parseCellName(const QString& name, int& row, int& col);

// Rows (or columns) from `at` on move by `delta` (> 0: inserted before `at`; < 0: the rows
// at .. at-delta-1 deleted). With `extendEnds`, a range ending just before `at` grows over the
// inserted rows, so a sum over a block row covers all its copies.
struct RefShift {
    bool rows = true;
    int at = 1;
    int delta = 0;
    bool extendEnds = false;
};
// Applies the shift to every reference in `text` (formula, sqref list, defined name), leaving
// string literals and function names alone.
QString shiftRefs(const QString& text, const RefShift& shift);
// Moves the relative (no "$") references by the offsets, as a copied cell's formula moves.
QString offsetRefs(const QString& text, int dRow, int dCol);

} // namespace rat::documents
