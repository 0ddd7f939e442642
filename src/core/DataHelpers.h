#pragma once
// Small routines used from every window and module: one value by a query, the number of rows of
// a query, a text made safe for a double-quoted SQL literal, the rounding of a product quantity
// by the product's rounding rule, and texts cleaned for worksheet and file names.

#include "core/Database.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace rat {

// The value of `field` in the first row of the query, as text; numbers in their plain decimal
// form ("." as the separator). An empty text when the query returns no row, the field is absent
// or NULL, or the query fails.
QString GetValue(Database& db, const QString& sql, const QString& field,
                 const std::vector<QVariant>& params = {});

// The number of rows the query returns; 0 when none or when the query fails.
int CountRows(Database& db, const QString& sql, const std::vector<QVariant>& params = {});

// The text made safe for a double-quoted SQL literal: every double quote doubled. With
// cutAtNumber the text is first cut in front of its number suffix: the blank before the first
// "№" and everything from it on are dropped ("Меню №3" -> "Меню"). A text without "№" is kept
// whole; a text starting with "№" leaves nothing.
QString SqlText(const QString& text, bool cutAtNumber);

// A product quantity rounded by the rounding rule `rule` (decimal places):
// - rule 0: rounded up to a whole number (toward plus infinity): 2.01 -> 3, 2 -> 2, -2.5 -> -2;
// - otherwise the first non-zero of the quantity rounded to rule, rule+1, ... rule+4 places
//   (halves to even); when all are zero, the quantity rounded to rule+5 places.
// So a small non-zero quantity never rounds to zero while five extra places can show it.
double RoundQuantity(double x, int rule);

// A text usable as a worksheet name: "/", "\", "?", ":" and "*" removed, at most 31 characters.
QString SheetName(const QString& text);

// A text usable as a file name: each of * | \ : " < > ? / replaced by a blank.
QString FileNameText(const QString& text);

// The shortest plain decimal form of x at 15 significant digits: "." as the separator, no
// exponent, no thousands separator: 3, 0.12, 0.0004, -1.5, 1234567.
QString plainNumber(double x);

// A value as the messages name it: in double quotes.
QString quoted(const QString& text);

// The row a window meant to edit (or copy) is gone: "Не найдена редактируемая (копируемая) запись.
// Обновите окно (F5), выделите другую строку."
QString missingRowText(bool copy = false);

} // namespace rat
