#pragma once
#include <QString>

namespace rat {

// Case-folded form for comparisons and searches: lower case, and ё read as е since people
// type е.
QString foldText(const QString& s);

// Russian alphabetical order, case-insensitive, Ё with Е; ties broken by the exact text so
// the order is total.
int compareRussian(const QString& a, const QString& b);

// Case-insensitive equality of names (tables, fields, people's entries), Cyrillic included.
bool sameText(const QString& a, const QString& b);

} // namespace rat
