// The template engine: opening a template, cells and placeholders, saving the workbook.

#include "documents/XlsxTemplateImpl.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace rat::documents {

QString CellValue::display() const
{
    auto number = [](double v) {
        if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15)
            return QString::number(qint64(std::llround(v)));
        return QString::number(v, 'g', 15);
    };
    switch (kind) {
    case Kind::Empty: return {};
    case Kind::Number: return number(this->number);
    case Kind::Text: return text;
    case Kind::Formula: return textResult ? text : number(this->number);
    }
    return {};
}

XlsxTemplate::XlsxTemplate() : d(std::make_unique<Impl>()) {}
XlsxTemplate::~XlsxTemplate() = default;

static const QRegularExpression& placeholderPattern()
{
    static const QRegularExpression re(QStringLiteral("\\{[A-Za-z][A-Za-z0-9_.]*\\}"));
    return re;
}

bool XlsxTemplate::Impl::cellPos(const pugi::xml_node& c, int& row, int& col)
{
    // Plain "AB12" as the engine writes it, read without building a text; anything else (with
    // "$" signs, say) through the full parser.
    const char* p = c.attribute("r").value();
    int cc = 0, rr = 0;
    while (*p >= 'A' && *p <= 'Z')
        cc = cc * 26 + (*p++ - 'A' + 1);
    while (*p >= '0' && *p <= '9')
        rr = rr * 10 + (*p++ - '0');
    if (*p == 0 && cc > 0 && rr > 0) {
        row = rr;
        col = cc;
        return true;
    }
    return parseCellName(QString::fromLatin1(c.attribute("r").value()), row, col);
}

QString XlsxTemplate::Impl::cellText(const pugi::xml_node& c)
{
    const std::string t = c.attribute("t").value();
    if (t == "inlineStr")
        return itemText(c.child("is"));
    return QString::fromUtf8(c.child("v").text().get());
}

void XlsxTemplate::Impl::writeValue(pugi::xml_node c, const CellValue& v)
{
    c.remove_attribute("t");
    while (pugi::xml_node ch = c.first_child())
        c.remove_child(ch);
    auto numberText = [](double x) {
        if (!std::isfinite(x))
            x = 0;
        return QString::number(x, 'g', 15).toStdString();
    };
    switch (v.kind) {
    case CellValue::Kind::Empty:
        break;
    case CellValue::Kind::Number:
        c.append_child("v").text().set(numberText(v.number).c_str());
        break;
    case CellValue::Kind::Text: {
        c.append_attribute("t") = "inlineStr";
        pugi::xml_node t = c.append_child("is").append_child("t");
        t.append_attribute("xml:space") = "preserve";
        t.text().set(v.text.toUtf8().constData());
        break;
    }
    case CellValue::Kind::Formula:
        if (v.textResult)
            c.append_attribute("t") = "str";
        c.append_child("f").text().set(v.formula.toUtf8().constData());
        c.append_child("v").text().set(v.textResult ? v.text.toUtf8().constData() : numberText(v.number).c_str());
        break;
    }
}

namespace {

// The child of `parent` whose key is `want`, searched from the last child back (rows and cells are
// kept in ascending order, and filling mostly works at the end). When there is none, `after` is
// left on the child the new one belongs after (empty: it goes first).
template <class KeyOf>
pugi::xml_node orderedChild(const pugi::xml_node& parent, int want, KeyOf keyOf, pugi::xml_node& after)
{
    after = {};
    for (pugi::xml_node n = parent.last_child(); n; n = n.previous_sibling()) {
        const int key = keyOf(n);
        if (key == want)
            return n;
        if (key < want) {
            after = n;
            break;
        }
    }
    return {};
}

} // namespace

pugi::xml_node XlsxTemplate::Impl::row(int r, bool create)
{
    // Filling writes many cells of one row in turn.
    if (cachedRow && cachedRowNumber == r)
        return cachedRow;
    // Filling goes down the sheet: look from the end, where the latest rows are.
    pugi::xml_node after;
    if (pugi::xml_node n = orderedChild(sheetData, r, [](const pugi::xml_node& x) { return rowNumber(x); }, after)) {
        cachedRow = n;
        cachedRowNumber = r;
        return n;
    }
    if (!create)
        return {};
    pugi::xml_node n = after ? sheetData.insert_child_after("row", after) : sheetData.prepend_child("row");
    n.append_attribute("r") = r;
    cachedRow = n;
    cachedRowNumber = r;
    return n;
}

int XlsxTemplate::Impl::defaultStyle(const pugi::xml_node& rowNode, int col) const
{
    if (rowNode && rowNode.attribute("customFormat").as_bool())
        return rowNode.attribute("s").as_int();
    for (pugi::xml_node c : worksheet().child("cols").children("col"))
        if (c.attribute("min").as_int() <= col && col <= c.attribute("max").as_int())
            return c.attribute("style").as_int();
    return 0;
}

pugi::xml_node XlsxTemplate::Impl::cell(int r, int c, bool create)
{
    pugi::xml_node rn = row(r, create);
    if (!rn)
        return {};
    // Cells are mostly written left to right: look just after the last one first.
    if (cachedCell && cachedCell.parent() == rn) {
        int nr = 0, nc = 0;
        cellPos(cachedCell, nr, nc);
        if (nc < c) {
            pugi::xml_node next = cachedCell.next_sibling();
            int xr = 0, xc = 0;
            if (next && cellPos(next, xr, xc) && xc == c) {
                cachedCell = next;
                return next;
            }
        }
    }
    pugi::xml_node after;
    const auto column = [](const pugi::xml_node& x) {
        int nr = 0, nc = 0;
        cellPos(x, nr, nc);
        return nc;
    };
    if (pugi::xml_node n = orderedChild(rn, c, column, after)) {
        cachedCell = n;
        return n;
    }
    if (!create)
        return {};
    pugi::xml_node n = after ? rn.insert_child_after("c", after) : rn.prepend_child("c");
    cachedCell = n;
    n.append_attribute("r") = cellName(r, c).toLatin1().constData();
    const int style = defaultStyle(rn, c);
    if (style)
        n.append_attribute("s") = style;
    return n;
}

// Shared strings become inline texts (the engine writes only inline texts, so the shared table
// can stay as it is), rows and cells get their positions written out.
void XlsxTemplate::Impl::normalise(const QStringList& shared)
{
    int r = 0;
    for (pugi::xml_node rn : sheetData.children("row")) {
        if (rn.attribute("r"))
            r = rn.attribute("r").as_int();
        else
            rn.append_attribute("r") = ++r;
        rn.remove_attribute("spans");  // stale once columns move; optional
        int c = 0;
        for (pugi::xml_node cn : rn.children("c")) {
            int cr = 0, cc = 0;
            if (cellPos(cn, cr, cc))
                c = cc;
            else {
                ++c;
                cn.remove_attribute("r");
                cn.prepend_attribute("r") = cellName(r, c).toLatin1().constData();
            }
            if (std::string(cn.attribute("t").value()) == "s") {
                const int idx = cn.child("v").text().as_int(-1);
                const QString text = idx >= 0 && idx < shared.size() ? shared[idx] : QString();
                writeValue(cn, CellValue::str(text));
            }
        }
    }
}

bool XlsxTemplate::Impl::load(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!findSheet(parts, QStringLiteral("Лист1"), sheet))
        return fail(QStringLiteral("no worksheet"));
    if (!loadXml(*parts.find(sheet.path), sheetDoc) || !worksheet())
        return fail(QStringLiteral("unreadable worksheet"));
    if (!loadXml(*parts.find(QStringLiteral("xl/workbook.xml")), workbookDoc))
        return fail(QStringLiteral("unreadable workbook"));
    const QByteArray* styles = parts.find(QStringLiteral("xl/styles.xml"));
    if (!styles || !loadXml(*styles, stylesDoc) || !stylesDoc.child("styleSheet"))
        return fail(QStringLiteral("no styles"));
    sheetData = worksheet().child("sheetData");
    if (!sheetData)
        return fail(QStringLiteral("no sheet data"));
    derivedStyles.clear();
    normalise(sharedStrings(parts));
    return true;
}

bool XlsxTemplate::open(const QString& path, QString* error)
{
    d = std::make_unique<Impl>();
    return readZip(path, d->parts, error) && d->load(error);
}

bool XlsxTemplate::openData(const QByteArray& data, QString* error)
{
    d = std::make_unique<Impl>();
    return readZipData(data, d->parts, error) && d->load(error);
}

QString XlsxTemplate::sheetName() const
{
    return d->sheet.name;
}

void XlsxTemplate::set(int row, int col, const CellValue& value)
{
    Impl::writeValue(d->cell(row, col, true), value);
}

QString XlsxTemplate::text(int row, int col) const
{
    const pugi::xml_node c = d->cell(row, col, false);
    return c ? Impl::cellText(c) : QString();
}

int XlsxTemplate::fill(const QString& name, const CellValue& value, int firstRow, int lastRow)
{
    const QString token = u'{' + name + u'}';
    int changed = 0;
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        if (r < firstRow)
            continue;
        if (r > lastRow)
            break;
        for (pugi::xml_node cn : rn.children("c")) {
            if (std::string(cn.attribute("t").value()) != "inlineStr")
                continue;
            const QString t = Impl::cellText(cn);
            if (!t.contains(token))
                continue;
            if (t == token)
                Impl::writeValue(cn, value);
            else
                Impl::writeValue(cn, CellValue::str(QString(t).replace(token, value.display())));
            ++changed;
        }
    }
    return changed;
}

int XlsxTemplate::fillRow(int row, const std::map<QString, CellValue>& values)
{
    pugi::xml_node rn = d->row(row, false);
    int changed = 0;
    for (pugi::xml_node cn : rn.children("c")) {
        if (std::string(cn.attribute("t").value()) != "inlineStr")
            continue;
        QString t = Impl::cellText(cn);
        if (!t.contains(u'{'))
            continue;
        for (const auto& [name, value] : values) {
            const QString token = u'{' + name + u'}';
            if (t == token) {
                Impl::writeValue(cn, value);
                ++changed;
                break;
            }
            if (t.contains(token)) {
                t.replace(token, value.display());
                Impl::writeValue(cn, CellValue::str(t));
                ++changed;
            }
        }
    }
    return changed;
}

void XlsxTemplate::clearPlaceholders(int firstRow, int lastRow)
{
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        const int r = Impl::rowNumber(rn);
        if (r < firstRow)
            continue;
        if (r > lastRow)
            break;
        for (pugi::xml_node cn : rn.children("c")) {
            if (std::string(cn.attribute("t").value()) != "inlineStr")
                continue;
            const QString t = Impl::cellText(cn);
            if (!t.contains(placeholderPattern()))
                continue;
            const QString rest = QString(t).remove(placeholderPattern());
            Impl::writeValue(cn, rest.trimmed().isEmpty() ? CellValue::empty() : CellValue::str(rest));
        }
    }
}

std::optional<std::pair<int, int>> XlsxTemplate::find(const QString& text, int fromRow) const
{
    for (pugi::xml_node rn : d->sheetData.children("row")) {
        if (Impl::rowNumber(rn) < fromRow)
            continue;
        for (pugi::xml_node cn : rn.children("c"))
            if (Impl::cellText(cn).contains(text)) {
                int r = 0, c = 0;
                Impl::cellPos(cn, r, c);
                return std::make_pair(r, c);
            }
    }
    return std::nullopt;
}

int XlsxTemplate::findRow(const QString& text, int fromRow) const
{
    const auto at = find(text, fromRow);
    return at ? at->first : 0;
}

int XlsxTemplate::findColumn(const QString& text, int fromRow) const
{
    const auto at = find(text, fromRow);
    return at ? at->second : 0;
}

void XlsxTemplate::addPageBreak(int afterRow)
{
    if (afterRow < 1)
        return;
    pugi::xml_node ws = d->worksheet();
    pugi::xml_node breaks = ws.child("rowBreaks");
    if (!breaks) {
        // rowBreaks follow the page setup and the header and footer.
        pugi::xml_node after;
        for (const char* name : {"sheetData", "mergeCells", "phoneticPr", "conditionalFormatting", "dataValidations",
                                 "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter"})
            if (pugi::xml_node n = ws.child(name))
                after = n;
        breaks = ws.insert_child_after("rowBreaks", after);
    }
    pugi::xml_node brk = breaks.append_child("brk");
    brk.append_attribute("id") = afterRow;
    brk.append_attribute("max") = 16383;
    brk.append_attribute("man") = 1;
    int n = 0;
    for (pugi::xml_node b = breaks.child("brk"); b; b = b.next_sibling("brk"))
        ++n;
    breaks.remove_attribute("count");
    breaks.remove_attribute("manualBreakCount");
    breaks.prepend_attribute("manualBreakCount") = n;
    breaks.prepend_attribute("count") = n;
}

int XlsxTemplate::lastRow() const
{
    return d->lastRowNumber();
}

int XlsxTemplate::lastColumn() const
{
    return d->lastColumnNumber();
}

int XlsxTemplate::Impl::lastRowNumber() const
{
    const pugi::xml_node last = sheetData.last_child();
    return last ? rowNumber(last) : 0;
}

int XlsxTemplate::Impl::lastColumnNumber() const
{
    int most = 0;
    for (pugi::xml_node rn : sheetData.children("row"))
        if (pugi::xml_node cn = rn.last_child()) {
            int r = 0, c = 0;
            Impl::cellPos(cn, r, c);
            most = std::max(most, c);
        }
    return most;
}

double XlsxTemplate::columnWidth(int col) const
{
    for (pugi::xml_node c : d->worksheet().child("cols").children("col"))
        if (c.attribute("min").as_int() <= col && col <= c.attribute("max").as_int())
            return c.attribute("width").as_double(8.43);
    return d->worksheet().child("sheetFormatPr").attribute("defaultColWidth").as_double(8.43);
}

void XlsxTemplate::fitRowToText(int row, int col, const QString& text, double lineHeight)
{
    // Words are laid out greedily on lines of about as many letters as the width holds.
    const int perLine = std::max(1, int(columnWidth(col) * 0.95));
    int lines = 1, used = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int n = int(word.size());
        if (used > 0 && used + 1 + n > perLine) {
            ++lines;
            used = 0;
        }
        used += (used > 0 ? 1 : 0) + n;
        for (; used > perLine; used -= perLine)
            ++lines;
    }
    if (lines > 1)
        setRowHeight(row, lines * lineHeight);
}

void XlsxTemplate::setRowHeight(int row, double points)
{
    pugi::xml_node rn = d->row(row, true);
    rn.remove_attribute("ht");
    rn.remove_attribute("customHeight");
    rn.append_attribute("ht") = points;
    rn.append_attribute("customHeight") = 1;
}

void XlsxTemplate::setLandscape(bool landscape)
{
    pugi::xml_node ws = d->worksheet();
    pugi::xml_node ps = ws.child("pageSetup");
    if (!ps) {
        // pageSetup follows pageMargins / printOptions and comes before headerFooter and drawings.
        pugi::xml_node after = ws.child("pageMargins");
        if (!after)
            after = ws.child("printOptions");
        if (!after)
            after = ws.child("mergeCells") ? ws.child("mergeCells") : d->sheetData;
        ps = ws.insert_child_after("pageSetup", after);
        ps.append_attribute("paperSize") = 9;
    }
    ps.remove_attribute("orientation");
    ps.append_attribute("orientation") = landscape ? "landscape" : "portrait";
}

ZipParts XlsxTemplate::Impl::output()
{
    ZipParts out = parts;
    Impl* d = this;
    pugi::xml_node ws = d->worksheet();
    if (pugi::xml_node dim = ws.child("dimension")) {
        const int rows = std::max(1, lastRowNumber()), cols = std::max(1, lastColumnNumber());
        dim.attribute("ref").set_value(rangeName(1, 1, rows, cols).toLatin1().constData());
    }
    out.set(d->sheet.path, saveXml(d->sheetDoc));
    out.set(QStringLiteral("xl/styles.xml"), saveXml(d->stylesDoc));

    // The workbook recalculates on opening, in case the template itself holds formulas.
    pugi::xml_document wb;
    wb.reset(d->workbookDoc);
    pugi::xml_node root = wb.child("workbook");
    pugi::xml_node calc = root.child("calcPr");
    if (!calc) {
        pugi::xml_node after = root.child("definedNames") ? root.child("definedNames") : root.child("sheets");
        calc = root.insert_child_after("calcPr", after);
    }
    if (!calc.attribute("fullCalcOnLoad"))
        calc.append_attribute("fullCalcOnLoad") = 1;
    out.set(QStringLiteral("xl/workbook.xml"), saveXml(wb));

    // A calculation chain from the template would name cells that moved: leave it out.
    out.remove(QStringLiteral("xl/calcChain.xml"));
    if (QByteArray* rels = out.find(QStringLiteral("xl/_rels/workbook.xml.rels"))) {
        pugi::xml_document doc;
        if (loadXml(*rels, doc)) {
            pugi::xml_node list = doc.child("Relationships");
            for (pugi::xml_node r = list.first_child(); r;) {
                pugi::xml_node next = r.next_sibling();
                if (QString::fromUtf8(r.attribute("Type").value()).endsWith(QStringLiteral("/calcChain")))
                    list.remove_child(r);
                r = next;
            }
            *rels = saveXml(doc);
        }
    }
    if (QByteArray* types = out.find(QStringLiteral("[Content_Types].xml"))) {
        pugi::xml_document doc;
        if (loadXml(*types, doc)) {
            pugi::xml_node list = doc.child("Types");
            for (pugi::xml_node o = list.first_child(); o;) {
                pugi::xml_node next = o.next_sibling();
                const std::string part = o.attribute("PartName").value();
                if (part == "/xl/calcChain.xml")
                    list.remove_child(o);
                else if (part == "/xl/workbook.xml")
                    o.attribute("ContentType").set_value(workbookContentType);
                o = next;
            }
            *types = saveXml(doc);
        }
    }
    // [Content_Types].xml first, as spreadsheet programs expect.
    std::stable_partition(out.parts.begin(), out.parts.end(),
                          [](const auto& p) { return p.first == QStringLiteral("[Content_Types].xml"); });
    return out;
}

QByteArray XlsxTemplate::saveData()
{
    QByteArray bytes;
    zipData(d->output(), bytes, nullptr);
    return bytes;
}

bool XlsxTemplate::save(const QString& path, QString* error)
{
    return writeZip(path, d->output(), error);
}

} // namespace rat::documents
