#pragma once
#include <QString>

namespace rat {

// Case-folded form for comparisons and searches: lower case, and ё read as е since people
// type е.
QString foldText(const QString& s);
// Appends the folded form of `s` to `out` (the folded names of a list kept in one text).
void appendFolded(QStringView s, QString& out);

// Russian alphabetical order, case-insensitive, Ё with Е; ties broken by the exact text so
// the order is total.
int compareRussian(const QString& a, const QString& b);

// Case-insensitive equality of names (tables, fields, people's entries), Cyrillic included.
bool sameText(const QString& a, const QString& b);

} // namespace rat
