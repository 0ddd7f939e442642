// Case folding for Cyrillic and Latin alike (ё read as е) and the Russian alphabetical order.

#include "core/TextFold.h"

namespace rat {

namespace {

QString foldAny(const QString& s)
{
    QString r = s.toLower();
    r.replace(QChar(0x0451), QChar(0x0435));  // ё -> е
    return r;
}

// Names are mostly Russian and Latin letters, digits and signs, whose lower case is a fixed
// step; lists fold thousands of them, so these go without the general case tables. Writes
// s.size() units to `out`; false at a character that needs the tables.
bool foldPlain(QStringView s, char16_t* out)
{
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            *out++ = u >= u'A' && u <= u'Z' ? char16_t(u + 0x20) : u;
        else if (u >= 0x0410 && u <= 0x042F)  // А..Я
            *out++ = char16_t(u + 0x20);
        else if (u >= 0x0430 && u <= 0x044F)  // а..я
            *out++ = u;
        else if (u == 0x0401 || u == 0x0451)  // Ё, ё -> е
            *out++ = 0x0435;
        else if (u <= 0xBF || (u >= 0x2000 && u <= 0x206F) || u == 0x2116)  // « ° », dashes, quotes, №
            *out++ = u;
        else
            return false;
    }
    return true;
}

} // namespace

QString foldText(const QString& s)
{
    if (s.isEmpty())
        return s;
    QString r(s.size(), Qt::Uninitialized);
    return foldPlain(s, reinterpret_cast<char16_t*>(r.data())) ? r : foldAny(s);
}

void appendFolded(QStringView s, QString& out)
{
    const qsizetype at = out.size();
    out.resize(at + s.size());
    if (!foldPlain(s, reinterpret_cast<char16_t*>(out.data()) + at)) {
        out.resize(at);
        out += foldAny(s.toString());
    }
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
