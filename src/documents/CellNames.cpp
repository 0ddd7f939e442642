// A1 cell names and a small reference scanner over formula text.

#include "documents/CellNames.h"

#include <functional>

namespace rat::documents {

QString columnName(int col)
{
    QString s;
    while (col > 0) {
        const int r = (col - 1) % 26;
        s.prepend(QChar('A' + r));
        col = (col - 1) / 26;
    }
    return s;
}

QString cellName(int row, int col)
{
    return columnName(col) + QString::number(row);
}

QString rangeName(int row1, int col1, int row2, int col2)
{
    if (row1 == row2 && col1 == col2)
        return cellName(row1, col1);
    return cellName(row1, col1) + u':' + cellName(row2, col2);
}

namespace {

bool isUpper(QChar c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$'; }

// One part of a reference: optional column, optional row, each possibly "$"-anchored.
struct Part {
    int begin = 0, end = 0;  // span in the text
    bool hasCol = false, colAbs = false, hasRow = false, rowAbs = false;
    int col = 0, row = 0;
};

// Reads a part starting at i; false when nothing reference-like is there.
bool readPart(const QString& s, int i, Part& p)
{
    p = Part{};
    p.begin = i;
    int j = i;
    bool abs = false;
    if (j < s.size() && s[j] == u'$') {
        abs = true;
        ++j;
    }
    int k = j;
    while (k < s.size() && isUpper(s[k]) && k - j < 3)
        ++k;
    if (k > j) {
        p.hasCol = true;
        p.colAbs = abs;
        for (int m = j; m < k; ++m)
            p.col = p.col * 26 + (s[m].unicode() - 'A' + 1);
        j = k;
        abs = false;
        if (j < s.size() && s[j] == u'$') {
            abs = true;
            ++j;
        }
    }
    k = j;
    while (k < s.size() && isDigit(s[k]))
        ++k;
    if (k > j) {
        p.hasRow = true;
        p.rowAbs = abs;
        p.row = s.mid(j, k - j).toInt();
        j = k;
    } else if (abs) {
        return false;  // a lone "$"
    }
    if (!p.hasCol && !p.hasRow)
        return false;
    p.end = j;
    return true;
}

QString writePart(const Part& p)
{
    QString s;
    if (p.hasCol)
        s += (p.colAbs ? QStringLiteral("$") : QString()) + columnName(p.col);
    if (p.hasRow)
        s += (p.rowAbs ? QStringLiteral("$") : QString()) + QString::number(p.row);
    return s;
}

// Walks the references of the text and lets `edit` change each one (start and end part; the end
// equals the start for a single cell).
QString editRefs(const QString& s, const std::function<void(Part&, Part&, bool isRange)>& edit)
{
    QString out;
    out.reserve(s.size() + 8);
    int i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'"' || c == u'\'') {  // string literal or quoted sheet name
            int j = i + 1;
            while (j < s.size()) {
                if (s[j] == c) {
                    if (j + 1 < s.size() && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += s.mid(i, j - i + 1);
            i = j + 1;
            continue;
        }
        const bool boundary = i == 0 || !isNameChar(s[i - 1]);
        Part a;
        if (boundary && (c == u'$' || isUpper(c) || isDigit(c)) && readPart(s, i, a)) {
            Part b;
            const bool range = a.end < s.size() && s[a.end] == u':' && readPart(s, a.end + 1, b) &&
                               b.hasCol == a.hasCol && b.hasRow == a.hasRow;
            const int end = range ? b.end : a.end;
            const bool followedByName = end < s.size() && (isNameChar(s[end]) || s[end] == u'(' || s[end] == u'!');
            const bool cell = a.hasCol && a.hasRow;
            if (!followedByName && (cell || range)) {
                if (!range)
                    b = a;
                edit(a, b, range);
                out += writePart(a);
                if (range)
                    out += u':' + writePart(b);
                i = end;
                continue;
            }
            // A name or a number: copy it whole.
            int j = i;
            while (j < s.size() && isNameChar(s[j]))
                ++j;
            out += s.mid(i, std::max(1, j - i));
            i = std::max(i + 1, j);
            continue;
        }
        if (isNameChar(c)) {
            int j = i;
            while (j < s.size() && isNameChar(s[j]))
                ++j;
            out += s.mid(i, j - i);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace

bool parseCellName(const QString& name, int& row, int& col)
{
    Part p;
    if (!readPart(name, 0, p) || p.end != name.size() || !p.hasCol || !p.hasRow || p.row < 1)
        return false;
    row = p.row;
    col = p.col;
    return true;
}

QString shiftRefs(const QString& text, const RefShift& sh)
{
    auto coord = [&](Part& p) -> int& { return sh.rows ? p.row : p.col; };
    auto has = [&](const Part& p) { return sh.rows ? p.hasRow : p.hasCol; };
    return editRefs(text, [&](Part& a, Part& b, bool range) {
        if (!has(a))
            return;
        int& x = coord(a);
        int& y = coord(b);
        if (sh.delta > 0) {
            const bool extend = sh.extendEnds && range && y == sh.at - 1;
            if (x >= sh.at)
                x += sh.delta;
            if (y >= sh.at || extend)
                y += sh.delta;
        } else if (sh.delta < 0) {
            const int last = sh.at - sh.delta - 1;  // last deleted
            auto move = [&](int& v, bool isEnd) {
                if (v > last)
                    v += sh.delta;
                else if (v >= sh.at)
                    v = isEnd ? std::max(1, sh.at - 1) : sh.at;
            };
            move(x, false);
            if (range)
                move(y, true);
            else
                y = x;
        }
    });
}

QString offsetRefs(const QString& text, int dRow, int dCol)
{
    auto move = [&](Part& p) {
        if (p.hasRow && !p.rowAbs)
            p.row = std::max(1, p.row + dRow);
        if (p.hasCol && !p.colAbs)
            p.col = std::max(1, p.col + dCol);
    };
    return editRefs(text, [&](Part& a, Part& b, bool range) {
        move(a);
        if (range)
            move(b);
    });
}

} // namespace rat::documents
