// Reading a workbook's sheet back into plain cell records.

#include "documents/XlsxReader.h"
#include "documents/CellNames.h"
#include "documents/XlsxPackage.h"

#include <QFile>

#include <vector>

namespace rat::documents {

namespace {

pugi::xml_node nth(const pugi::xml_node& n, const char* name, int index)
{
    int k = 0;
    for (pugi::xml_node c = n.child(name); c; c = c.next_sibling(name))
        if (k++ == index)
            return c;
    return {};
}

QString builtinFormat(int id)
{
    switch (id) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 49: return QStringLiteral("@");
    default: return {};
    }
}

} // namespace

bool XlsxReader::open(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return openData(f.readAll(), error);
}

bool XlsxReader::openData(const QByteArray& data, QString* error)
{
    ZipParts parts;
    if (!readZipData(data, parts, error))
        return false;
    cells_.clear();
    merges.clear();
    partNames.clear();
    for (const auto& p : parts.parts)
        partNames << p.first;
    SheetPart sheet;
    if (!findSheet(parts, QStringLiteral("Лист1"), sheet)) {
        if (error)
            *error = QStringLiteral("no worksheet");
        return false;
    }
    sheetName = sheet.name;
    contentType = workbookType(parts);
    const QStringList shared = sharedStrings(parts);

    pugi::xml_document styles;
    if (const QByteArray* s = parts.find(QStringLiteral("xl/styles.xml")))
        loadXml(*s, styles);
    const pugi::xml_node ss = styles.child("styleSheet");

    pugi::xml_document doc;
    if (!loadXml(*parts.find(sheet.path), doc)) {
        if (error)
            *error = QStringLiteral("unreadable worksheet");
        return false;
    }
    const pugi::xml_node ws = doc.child("worksheet");
    int rowNo = 0;
    for (pugi::xml_node rn : ws.child("sheetData").children("row")) {
        rowNo = rn.attribute("r") ? rn.attribute("r").as_int() : rowNo + 1;
        if (rn.attribute("customHeight").as_bool())
            rowHeights[rowNo] = rn.attribute("ht").as_double();
        int colNo = 0;
        for (pugi::xml_node cn : rn.children("c")) {
            int r = 0, c = 0;
            if (parseCellName(QString::fromLatin1(cn.attribute("r").value()), r, c))
                colNo = c;
            else
                ++colNo;
            ReadCell cell;
            const std::string t = cn.attribute("t").value();
            const QString v = QString::fromUtf8(cn.child("v").text().get());
            if (t == "s")
                cell.text = shared.value(v.toInt());
            else if (t == "inlineStr")
                cell.text = itemText(cn.child("is"));
            else
                cell.text = v;
            if (t.empty() || t == "n") {
                bool ok = false;
                cell.number = v.toDouble(&ok);
                cell.isNumber = ok;
            }
            cell.formula = QString::fromUtf8(cn.child("f").text().get());
            const pugi::xml_node xf = nth(ss.child("cellXfs"), "xf", cn.attribute("s").as_int());
            const pugi::xml_node font = nth(ss.child("fonts"), "font", xf.attribute("fontId").as_int());
            cell.fontSize = font.child("sz").attribute("val").as_double();
            cell.bold = font.child("b") && font.child("b").attribute("val").as_bool(true);
            cell.fontColor = QString::fromLatin1(font.child("color").attribute("rgb").value());
            const pugi::xml_node border = nth(ss.child("borders"), "border", xf.attribute("borderId").as_int());
            cell.border = border.child("left").attribute("style") || border.child("bottom").attribute("style");
            const int fmt = xf.attribute("numFmtId").as_int();
            cell.numberFormat = builtinFormat(fmt);
            for (pugi::xml_node nf : ss.child("numFmts").children("numFmt"))
                if (nf.attribute("numFmtId").as_int() == fmt)
                    cell.numberFormat = QString::fromUtf8(nf.attribute("formatCode").value());
            if (cell.text.isEmpty() && cell.formula.isEmpty() && !cn.attribute("s"))
                continue;
            cells_[{rowNo, colNo}] = cell;
        }
    }
    for (pugi::xml_node m : ws.child("mergeCells").children("mergeCell"))
        merges << QString::fromLatin1(m.attribute("ref").value());
    for (pugi::xml_node c : ws.child("cols").children("col"))
        for (int i = c.attribute("min").as_int(); i <= std::min(c.attribute("max").as_int(), 1024); ++i)
            columnWidths[i] = c.attribute("width").as_double();
    orientation = QString::fromLatin1(ws.child("pageSetup").attribute("orientation").value());

    pugi::xml_document wb;
    if (const QByteArray* w = parts.find(QStringLiteral("xl/workbook.xml")); w && loadXml(*w, wb))
        for (pugi::xml_node n : wb.child("workbook").child("definedNames").children("definedName"))
            if (std::string(n.attribute("name").value()) == "_xlnm.Print_Titles" &&
                n.attribute("localSheetId").as_int(-1) == sheet.index)
                printTitles = QString::fromUtf8(n.text().get());
    return true;
}

const ReadCell* XlsxReader::cell(int row, int col) const
{
    const auto it = cells_.find({row, col});
    return it == cells_.end() ? nullptr : &it->second;
}

QString XlsxReader::text(int row, int col) const
{
    const ReadCell* c = cell(row, col);
    return c ? c->text : QString();
}

std::optional<double> XlsxReader::number(int row, int col) const
{
    const ReadCell* c = cell(row, col);
    if (!c || !c->isNumber)
        return std::nullopt;
    return c->number;
}

QString XlsxReader::formula(int row, int col) const
{
    const ReadCell* c = cell(row, col);
    return c ? c->formula : QString();
}

std::optional<std::pair<int, int>> XlsxReader::find(const QString& what) const
{
    for (const auto& [pos, c] : cells_)
        if (c.text.contains(what))
            return pos;
    return std::nullopt;
}

QStringList XlsxReader::rowTexts(int row) const
{
    QStringList out;
    for (auto it = cells_.lower_bound({row, 0}); it != cells_.end() && it->first.first == row; ++it) {
        while (out.size() < it->first.second - 1)
            out << QString();
        out << it->second.text;
    }
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

int XlsxReader::lastRow() const
{
    return cells_.empty() ? 0 : cells_.rbegin()->first.first;
}

int XlsxReader::lastColumn() const
{
    int most = 0;
    for (const auto& [pos, c] : cells_)
        most = std::max(most, pos.second);
    return most;
}

} // namespace rat::documents
