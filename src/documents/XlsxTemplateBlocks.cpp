// The template engine's blocks: repeated, inserted and deleted rows and columns, with merged
// ranges, column widths, formulas and print names moving along.

#include "documents/CellNames.h"
#include "documents/XlsxTemplateImpl.h"

#include <algorithm>
#include <vector>

namespace rat::documents {

namespace {

using Attrs = std::vector<std::pair<std::string, std::string>>;

// Column specs exploded to one entry per column up to a limit; a last range running to the
// sheet's end (as some programs write) is kept whole as the tail.
constexpr int explodeLimit = 2048;
constexpr int maxColumns = 16384;

struct Columns {
    std::vector<std::optional<Attrs>> each;  // index = column - 1
    int tailMin = 0, tailMax = 0;
    Attrs tail;
};

Attrs attrsOf(const pugi::xml_node& col)
{
    Attrs a;
    for (pugi::xml_attribute at : col.attributes()) {
        const std::string n = at.name();
        if (n != "min" && n != "max")
            a.emplace_back(n, at.value());
    }
    return a;
}

Columns readColumns(const pugi::xml_node& cols)
{
    Columns c;
    for (pugi::xml_node col : cols.children("col")) {
        const int lo = col.attribute("min").as_int(), hi = col.attribute("max").as_int();
        if (lo < 1 || hi < lo)
            continue;
        const Attrs a = attrsOf(col);
        const int explodedTo = std::min(hi, explodeLimit);
        if (int(c.each.size()) < explodedTo)
            c.each.resize(size_t(explodedTo));
        for (int i = lo; i <= explodedTo; ++i)
            c.each[size_t(i - 1)] = a;
        if (hi > explodeLimit) {
            c.tailMin = std::max(lo, explodeLimit + 1);
            c.tailMax = hi;
            c.tail = a;
        }
    }
    return c;
}

void writeColumns(pugi::xml_node ws, const Columns& c)
{
    pugi::xml_node cols = ws.child("cols");
    if (!cols)
        cols = ws.insert_child_before("cols", ws.child("sheetData"));
    while (pugi::xml_node ch = cols.first_child())
        cols.remove_child(ch);
    auto addColumn = [&](int lo, int hi, const Attrs& a) {
        pugi::xml_node n = cols.append_child("col");
        n.append_attribute("min") = lo;
        n.append_attribute("max") = hi;
        for (const auto& [k, v] : a)
            n.append_attribute(k.c_str()) = v.c_str();
    };
    size_t i = 0;
    while (i < c.each.size()) {
        if (!c.each[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < c.each.size() && c.each[j + 1] == c.each[i])
            ++j;
        addColumn(int(i) + 1, int(j) + 1, *c.each[i]);
        i = j + 1;
    }
    if (c.tailMin > 0 && c.tailMin <= c.tailMax)
        addColumn(c.tailMin, std::min(c.tailMax, maxColumns), c.tail);
    if (!cols.first_child())
        ws.remove_child(cols);
}

pugi::xml_node mergeCellsNode(pugi::xml_node ws, bool create)
{
    pugi::xml_node m = ws.child("mergeCells");
    if (m || !create)
        return m;
    pugi::xml_node after = ws.child("sheetData");
    for (const char* name : {"sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter",
                             "sortState", "dataConsolidate", "customSheetViews"})
        if (pugi::xml_node n = ws.child(name))
            after = n;
    return ws.insert_child_after("mergeCells", after);
}

bool parseRange(const QString& ref, CellRange& r)
{
    const int colon = ref.indexOf(u':');
    if (colon < 0) {
        if (!parseCellName(ref, r.row1, r.col1))
            return false;
        r.row2 = r.row1;
        r.col2 = r.col1;
        return true;
    }
    return parseCellName(ref.left(colon), r.row1, r.col1) && parseCellName(ref.mid(colon + 1), r.row2, r.col2);
}

void setRef(pugi::xml_node n, const CellRange& r)
{
    n.attribute("ref").set_value(rangeName(r.row1, r.col1, r.row2, r.col2).toLatin1().constData());
}

// A copied cell's formula moves like a copy; parts of a shared formula become plain.
void moveCopiedCell(pugi::xml_node c, int row, int col, int dRow, int dCol)
{
    c.attribute("r").set_value(cellName(row, col).toLatin1().constData());
    if (pugi::xml_node f = c.child("f")) {
        if (std::string(f.attribute("t").value()) == "shared" && !f.attribute("ref")) {
            c.remove_child(f);  // the value stays; the group's master is elsewhere
            return;
        }
        f.remove_attribute("t");
        f.remove_attribute("ref");
        f.remove_attribute("si");
        const QString text = QString::fromUtf8(f.text().get());
        f.text().set(offsetRefs(text, dRow, dCol).toUtf8().constData());
    }
}

} // namespace

void XlsxTemplate::Impl::shiftNames(const RefShift& shift)
{
    pugi::xml_node names = workbookDoc.child("workbook").child("definedNames");
    for (pugi::xml_node n : names.children("definedName")) {
        const QString text = QString::fromUtf8(n.text().get());
        const bool ours = (n.attribute("localSheetId") && n.attribute("localSheetId").as_int() == sheet.index) ||
                          text.contains(sheet.name + u'!') || text.contains(u'\'' + sheet.name + u'\'');
        if (ours)
            n.text().set(shiftRefs(text, RefShift{shift.rows, shift.at, shift.delta, false}).toUtf8().constData());
    }
}

void XlsxTemplate::Impl::shiftReferences(const RefShift& shift, int blockFirst)
{
    const RefShift plain{shift.rows, shift.at, shift.delta, false};
    for (pugi::xml_node rn : sheetData.children("row"))
        for (pugi::xml_node cn : rn.children("c"))
            if (pugi::xml_node f = cn.child("f")) {
                const QString text = QString::fromUtf8(f.text().get());
                // Ranges grow over the copies only for the cells outside the repeated block.
                int r = 0, c = 0;
                cellPos(cn, r, c);
                const int pos = shift.rows ? r : c;
                const bool inBlock = blockFirst > 0 && pos >= blockFirst && pos < shift.at;
                if (!text.isEmpty())
                    f.text().set(shiftRefs(text, inBlock ? plain : shift).toUtf8().constData());
                if (pugi::xml_attribute ref = f.attribute("ref"))
                    ref.set_value(shiftRefs(QString::fromLatin1(ref.value()), plain).toLatin1().constData());
            }
    pugi::xml_node ws = worksheet();
    if (pugi::xml_node merges = ws.child("mergeCells")) {
        for (pugi::xml_node m = merges.first_child(); m;) {
            pugi::xml_node next = m.next_sibling();
            CellRange r;
            if (parseRange(QString::fromLatin1(m.attribute("ref").value()), r)) {
                const int lo = shift.rows ? r.row1 : r.col1, hi = shift.rows ? r.row2 : r.col2;
                const bool gone = shift.delta < 0 && lo >= shift.at && hi <= shift.at - shift.delta - 1;
                if (gone) {
                    merges.remove_child(m);
                } else {
                    m.attribute("ref").set_value(shiftRefs(QString::fromLatin1(m.attribute("ref").value()), plain).toLatin1().constData());
                    if (parseRange(QString::fromLatin1(m.attribute("ref").value()), r) && r.row1 == r.row2 && r.col1 == r.col2)
                        merges.remove_child(m);
                }
            }
            m = next;
        }
        merges.remove_attribute("count");
        if (!merges.first_child())
            ws.remove_child(merges);
        else
            merges.append_attribute("count") = int(std::distance(merges.children().begin(), merges.children().end()));
    }
    for (pugi::xml_node cf : ws.children("conditionalFormatting"))
        if (pugi::xml_attribute a = cf.attribute("sqref"))
            a.set_value(shiftRefs(QString::fromLatin1(a.value()), plain).toLatin1().constData());
    for (pugi::xml_node dv : ws.child("dataValidations").children("dataValidation"))
        if (pugi::xml_attribute a = dv.attribute("sqref"))
            a.set_value(shiftRefs(QString::fromLatin1(a.value()), plain).toLatin1().constData());
    for (pugi::xml_node h : ws.child("hyperlinks").children("hyperlink"))
        if (pugi::xml_attribute a = h.attribute("ref"))
            a.set_value(shiftRefs(QString::fromLatin1(a.value()), plain).toLatin1().constData());
    for (pugi::xml_node b : ws.child(shift.rows ? "rowBreaks" : "colBreaks").children("brk")) {
        const int id = b.attribute("id").as_int();
        if (id >= shift.at)
            b.attribute("id").set_value(std::max(0, id + shift.delta));
    }
    shiftNames(shift);
}

void XlsxTemplate::insertRows(int before, int count)
{
    d->insertRows(before, count, 0);
}

void XlsxTemplate::Impl::insertRows(int before, int count, int blockFirst)
{
    forget();
    if (count <= 0)
        return;
    Impl* d = this;
    for (pugi::xml_node rn = d->sheetData.last_child(); rn; rn = rn.previous_sibling()) {
        const int r = Impl::rowNumber(rn);
        if (r < before)
            break;
        rn.attribute("r").set_value(r + count);
        for (pugi::xml_node cn : rn.children("c")) {
            int cr = 0, cc = 0;
            Impl::cellPos(cn, cr, cc);
            cn.attribute("r").set_value(cellName(r + count, cc).toLatin1().constData());
        }
    }
    d->shiftReferences(RefShift{true, before, count, blockFirst > 0}, blockFirst);
}

void XlsxTemplate::deleteRows(int first, int count)
{
    d->forget();
    if (count <= 0)
        return;
    const int last = first + count - 1;
    for (pugi::xml_node rn = d->sheetData.first_child(); rn;) {
        pugi::xml_node next = rn.next_sibling();
        const int r = Impl::rowNumber(rn);
        if (r >= first && r <= last) {
            d->sheetData.remove_child(rn);
        } else if (r > last) {
            rn.attribute("r").set_value(r - count);
            for (pugi::xml_node cn : rn.children("c")) {
                int cr = 0, cc = 0;
                Impl::cellPos(cn, cr, cc);
                cn.attribute("r").set_value(cellName(r - count, cc).toLatin1().constData());
            }
        }
        rn = next;
    }
    d->shiftReferences(RefShift{true, first, -count, false});
}

void XlsxTemplate::repeatRows(int first, int count, int times)
{
    d->forget();
    if (count <= 0 || times == 1)
        return;
    if (times <= 0) {
        deleteRows(first, count);
        return;
    }
    const int last = first + count - 1;
    std::vector<pugi::xml_node> block;
    pugi::xml_node prev;
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        if (r > last)
            break;
        prev = rn;
        if (r >= first)
            block.push_back(rn);
    }
    std::vector<CellRange> merges;
    for (pugi::xml_node m : d->worksheet().child("mergeCells").children("mergeCell")) {
        CellRange r;
        if (parseRange(QString::fromLatin1(m.attribute("ref").value()), r) && r.row1 >= first && r.row2 <= last)
            merges.push_back(r);
    }
    d->insertRows(last + 1, count * (times - 1), first);
    for (int k = 1; k < times; ++k) {
        const int dRow = k * count;
        for (const pugi::xml_node& src : block) {
            pugi::xml_node copy = prev ? d->sheetData.insert_copy_after(src, prev) : d->sheetData.prepend_copy(src);
            const int r = Impl::rowNumber(src) + dRow;
            copy.attribute("r").set_value(r);
            for (pugi::xml_node cn : copy.children("c")) {
                int cr = 0, cc = 0;
                Impl::cellPos(cn, cr, cc);
                moveCopiedCell(cn, r, cc, dRow, 0);
            }
            prev = copy;
        }
        for (const CellRange& m : merges)
            merge(CellRange{m.row1 + dRow, m.col1, m.row2 + dRow, m.col2});
    }
}

static void shiftColumnSpecs(pugi::xml_node ws, int before, int delta)
{
    if (!ws.child("cols"))
        return;
    Columns c = readColumns(ws.child("cols"));
    if (delta > 0) {
        if (int(c.each.size()) >= before) {
            // Inserted columns take the look of the column before them.
            const std::optional<Attrs> fill = before >= 2 ? c.each[size_t(before - 2)] : std::nullopt;
            c.each.insert(c.each.begin() + (before - 1), size_t(delta), fill);
        }
        if (c.tailMin >= before)
            c.tailMin += delta;
        if (c.tailMax >= before)
            c.tailMax = std::min(maxColumns, c.tailMax + delta);
    } else {
        const int n = -delta;
        if (int(c.each.size()) >= before)
            c.each.erase(c.each.begin() + (before - 1), c.each.begin() + std::min<int>(int(c.each.size()), before - 1 + n));
        if (c.tailMin > before)
            c.tailMin = std::max(before, c.tailMin - n);
        if (c.tailMax >= before)
            c.tailMax -= n;
    }
    if (int(c.each.size()) > explodeLimit)
        c.each.resize(explodeLimit);
    writeColumns(ws, c);
}

void XlsxTemplate::repeatColumns(int first, int count, int times, int fromRow, int toRow)
{
    d->forget();
    if (count <= 0 || times == 1)
        return;
    if (times <= 0) {
        deleteColumns(first, count);
        return;
    }
    const int last = first + count - 1;
    const int n = count * (times - 1);
    std::vector<CellRange> merges;
    for (pugi::xml_node m : d->worksheet().child("mergeCells").children("mergeCell")) {
        CellRange r;
        if (parseRange(QString::fromLatin1(m.attribute("ref").value()), r) && r.col1 >= first && r.col2 <= last &&
            r.row1 >= fromRow && r.row2 <= toRow)
            merges.push_back(r);
    }
    // The widths of the block's columns, before anything moves.
    Columns widths = readColumns(d->worksheet().child("cols"));
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        for (pugi::xml_node cn = rn.last_child(); cn; cn = cn.previous_sibling()) {
            int cr = 0, cc = 0;
            Impl::cellPos(cn, cr, cc);
            if (cc <= last)
                break;
            cn.attribute("r").set_value(cellName(r, cc + n).toLatin1().constData());
        }
    }
    d->shiftReferences(RefShift{false, last + 1, n, true}, first);
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        if (r < fromRow || r > toRow)
            continue;
        std::vector<pugi::xml_node> block;
        pugi::xml_node prev;
        for (pugi::xml_node cn : rn.children("c")) {
            int cr = 0, cc = 0;
            Impl::cellPos(cn, cr, cc);
            if (cc > last)
                break;
            prev = cn;
            if (cc >= first)
                block.push_back(cn);
        }
        for (int k = 1; k < times; ++k)
            for (const pugi::xml_node& src : block) {
                int cr = 0, cc = 0;
                Impl::cellPos(src, cr, cc);
                pugi::xml_node copy = rn.insert_copy_after(src, prev);
                moveCopiedCell(copy, r, cc + k * count, 0, k * count);
                prev = copy;
            }
    }
    pugi::xml_node ws = d->worksheet();
    if (ws.child("cols")) {
        shiftColumnSpecs(ws, last + 1, n);
        Columns c = readColumns(ws.child("cols"));
        if (int(c.each.size()) < std::min(explodeLimit, last + n))
            c.each.resize(size_t(std::min(explodeLimit, last + n)));
        for (int k = 1; k < times; ++k)
            for (int j = first; j <= last; ++j) {
                const int to = j + k * count;
                if (to > explodeLimit)
                    break;
                c.each[size_t(to - 1)] = j <= int(widths.each.size()) ? widths.each[size_t(j - 1)] : std::nullopt;
            }
        writeColumns(ws, c);
    }
    for (int k = 1; k < times; ++k)
        for (const CellRange& m : merges)
            merge(CellRange{m.row1, m.col1 + k * count, m.row2, m.col2 + k * count});
}

void XlsxTemplate::deleteColumns(int first, int count)
{
    d->forget();
    if (count <= 0)
        return;
    const int last = first + count - 1;
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        for (pugi::xml_node cn = rn.first_child(); cn;) {
            pugi::xml_node next = cn.next_sibling();
            int cr = 0, cc = 0;
            Impl::cellPos(cn, cr, cc);
            if (cc >= first && cc <= last)
                rn.remove_child(cn);
            else if (cc > last)
                cn.attribute("r").set_value(cellName(r, cc - count).toLatin1().constData());
            cn = next;
        }
    }
    d->shiftReferences(RefShift{false, first, -count, false});
    shiftColumnSpecs(d->worksheet(), first, -count);
}

void XlsxTemplate::merge(const CellRange& range)
{
    pugi::xml_node merges = mergeCellsNode(d->worksheet(), true);
    pugi::xml_node m = merges.append_child("mergeCell");
    m.append_attribute("ref");
    setRef(m, range);
    merges.remove_attribute("count");
    merges.append_attribute("count") = int(std::distance(merges.children().begin(), merges.children().end()));
}

void XlsxTemplate::setColumnWidth(int col, double width)
{
    pugi::xml_node ws = d->worksheet();
    Columns c = readColumns(ws.child("cols"));
    if (col > explodeLimit)
        return;
    if (int(c.each.size()) < col)
        c.each.resize(size_t(col));
    Attrs a = c.each[size_t(col - 1)].value_or(Attrs{});
    std::erase_if(a, [](const auto& p) { return p.first == "width" || p.first == "customWidth"; });
    a.emplace_back("width", QString::number(width, 'g', 10).toStdString());
    a.emplace_back("customWidth", "1");
    c.each[size_t(col - 1)] = a;
    writeColumns(ws, c);
}

void XlsxTemplate::setPrintTitleRows(int first, int last)
{
    setPrintTitles(QStringLiteral("$%1:$%2").arg(first).arg(last), false);
}

void XlsxTemplate::setPrintTitleColumns(int first, int last)
{
    setPrintTitles(u'$' + columnName(first) + QStringLiteral(":$") + columnName(last), true);
}

// The print titles of the sheet hold at most one range of columns and one of rows; setting one
// keeps the other.
void XlsxTemplate::setPrintTitles(const QString& range, bool columns)
{
    pugi::xml_node wb = d->workbookDoc.child("workbook");
    pugi::xml_node names = wb.child("definedNames");
    if (!names) {
        pugi::xml_node after = wb.child("sheets");
        for (const char* name : {"functionGroups", "externalReferences"})
            if (pugi::xml_node n = wb.child(name))
                after = n;
        names = wb.insert_child_after("definedNames", after);
    }
    pugi::xml_node title;
    for (pugi::xml_node n : names.children("definedName"))
        if (std::string(n.attribute("name").value()) == "_xlnm.Print_Titles" &&
            n.attribute("localSheetId").as_int(-1) == d->sheet.index)
            title = n;
    if (!title) {
        title = names.append_child("definedName");
        title.append_attribute("name") = "_xlnm.Print_Titles";
        title.append_attribute("localSheetId") = d->sheet.index;
    }
    const QString prefix = u'\'' + d->sheet.name + QStringLiteral("'!");
    QString rows, cols;
    for (const QString& part : QString::fromUtf8(title.text().get()).split(u',', Qt::SkipEmptyParts)) {
        const QString r = part.mid(part.lastIndexOf(u'!') + 1);
        (r.size() > 1 && r.at(1).isDigit() ? rows : cols) = r;
    }
    (columns ? cols : rows) = range;
    QStringList parts;
    for (const QString& r : {cols, rows})
        if (!r.isEmpty())
            parts << prefix + r;
    title.text().set(parts.join(u',').toUtf8().constData());
}

} // namespace rat::documents
