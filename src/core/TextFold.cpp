// Case folding for Cyrillic and Latin alike (ё read as е) and the Russian alphabetical order.

#include "core/TextFold.h"

namespace rat {

QString foldText(const QString& s)
{
    QString r = s.toLower();
    r.replace(QChar(0x0451), QChar(0x0435));  // ё -> е
    return r;
}

int compareRussian(const QString& a, const QString& b)
{
    // In Unicode the Cyrillic letters а..я stand in alphabetical order once ё is folded to е,
    // so code-unit order of the folded text is the Russian dictionary order.
    const int c = foldText(a).compare(foldText(b));
    if (c != 0)
        return c < 0 ? -1 : 1;
    const int d = a.compare(b);
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

bool sameText(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace rat
