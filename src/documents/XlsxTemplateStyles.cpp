// The template engine's looks: font size and weight, borders, wrapping, alignment and number
// formats laid over a cell's template style, and the blank workbook for printing without a
// template.

#include "documents/XlsxTemplateImpl.h"

#include <algorithm>
#include <cmath>

namespace rat::documents {

namespace {

int childCount(const pugi::xml_node& n, const char* name)
{
    int k = 0;
    for (pugi::xml_node c = n.child(name); c; c = c.next_sibling(name))
        ++k;
    return k;
}

pugi::xml_node nth(const pugi::xml_node& n, const char* name, int index)
{
    int k = 0;
    for (pugi::xml_node c = n.child(name); c; c = c.next_sibling(name))
        if (k++ == index)
            return c;
    return {};
}

void setCount(pugi::xml_node list, const char* item)
{
    list.remove_attribute("count");
    list.prepend_attribute("count") = childCount(list, item);
}

// Font children in the order the format requires.
int fontRank(const std::string& name)
{
    static const char* order[] = {"b", "i", "strike", "condense", "extend", "outline", "shadow", "u",
                                  "vertAlign", "sz", "color", "name", "family", "charset", "scheme"};
    for (int i = 0; i < int(std::size(order)); ++i)
        if (name == order[i])
            return i;
    return 100;
}

void sortChildren(pugi::xml_node font)
{
    std::vector<pugi::xml_node> kids;
    for (pugi::xml_node c : font.children())
        kids.push_back(c);
    std::stable_sort(kids.begin(), kids.end(), [](const pugi::xml_node& a, const pugi::xml_node& b) {
        return fontRank(a.name()) < fontRank(b.name());
    });
    for (const pugi::xml_node& k : kids)
        font.append_move(k);
}

pugi::xml_node section(pugi::xml_node sheet, const char* name, const std::vector<const char*>& before)
{
    pugi::xml_node s = sheet.child(name);
    if (s)
        return s;
    for (const char* b : before)
        if (pugi::xml_node n = sheet.child(b))
            return sheet.insert_child_before(name, n);
    return sheet.append_child(name);
}

} // namespace

int XlsxTemplate::Impl::styleCount()
{
    return childCount(stylesDoc.child("styleSheet").child("cellXfs"), "xf");
}

int XlsxTemplate::Impl::deriveStyle(int style, const CellStyle& ch)
{
    std::string key = std::to_string(style);
    key += '|' + (ch.fontSize ? std::to_string(*ch.fontSize) : std::string("-"));
    key += '|' + (ch.bold ? std::to_string(*ch.bold) : std::string("-"));
    key += '|' + (ch.thinBorders ? std::to_string(*ch.thinBorders) : std::string("-"));
    key += '|' + (ch.wrap ? std::to_string(*ch.wrap) : std::string("-"));
    key += '|' + (ch.horizontal ? ch.horizontal->toStdString() : std::string("-"));
    key += '|' + (ch.numberFormat ? ch.numberFormat->toStdString() : std::string("\x01"));
    key += '|' + (ch.fontColor ? ch.fontColor->toStdString() : std::string("-"));
    if (auto it = derivedStyles.find(key); it != derivedStyles.end())
        return it->second;

    pugi::xml_node root = stylesDoc.child("styleSheet");
    pugi::xml_node xfs = section(root, "cellXfs", {"cellStyles", "dxfs", "tableStyles", "colors", "extLst"});
    if (!xfs.child("xf")) {
        pugi::xml_node xf = xfs.append_child("xf");
        for (const char* a : {"numFmtId", "fontId", "fillId", "borderId", "xfId"})
            xf.append_attribute(a) = 0;
    }
    pugi::xml_node base = nth(xfs, "xf", style);
    if (!base)
        base = xfs.child("xf");
    pugi::xml_node xf = xfs.append_copy(base);

    if (ch.fontSize || ch.bold || ch.fontColor) {
        pugi::xml_node fonts = section(root, "fonts", {"fills", "borders", "cellStyleXfs", "cellXfs"});
        pugi::xml_node font = nth(fonts, "font", xf.attribute("fontId").as_int());
        pugi::xml_node nf = font ? fonts.append_copy(font) : fonts.append_child("font");
        if (ch.bold) {
            nf.remove_child("b");
            if (*ch.bold)
                nf.append_child("b");
        }
        if (ch.fontSize) {
            nf.remove_child("sz");
            nf.append_child("sz").append_attribute("val") = *ch.fontSize;
        }
        if (ch.fontColor) {
            nf.remove_child("color");
            nf.append_child("color").append_attribute("rgb") = ch.fontColor->toLatin1().constData();
        }
        sortChildren(nf);
        setCount(fonts, "font");
        xf.remove_attribute("fontId");
        xf.append_attribute("fontId") = childCount(fonts, "font") - 1;
        xf.remove_attribute("applyFont");
        xf.append_attribute("applyFont") = 1;
    }
    if (ch.thinBorders) {
        pugi::xml_node borders = section(root, "borders", {"cellStyleXfs", "cellXfs"});
        if (!borders.child("border")) {
            pugi::xml_node empty = borders.append_child("border");
            for (const char* side : {"left", "right", "top", "bottom", "diagonal"})
                empty.append_child(side);
        }
        pugi::xml_node nb = borders.append_child("border");
        for (const char* side : {"left", "right", "top", "bottom", "diagonal"}) {
            pugi::xml_node s = nb.append_child(side);
            if (*ch.thinBorders && std::string(side) != "diagonal") {
                s.append_attribute("style") = "thin";
                s.append_child("color").append_attribute("indexed") = 64;
            }
        }
        setCount(borders, "border");
        xf.remove_attribute("borderId");
        xf.append_attribute("borderId") = *ch.thinBorders ? childCount(borders, "border") - 1 : 0;
        xf.remove_attribute("applyBorder");
        xf.append_attribute("applyBorder") = 1;
    }
    if (ch.numberFormat) {
        int id = 0;
        if (*ch.numberFormat == QStringLiteral("@"))
            id = 49;
        else if (*ch.numberFormat == QStringLiteral("0.00"))
            id = 2;
        else if (*ch.numberFormat == QStringLiteral("0"))
            id = 1;
        else if (!ch.numberFormat->isEmpty()) {
            pugi::xml_node fmts = root.child("numFmts");
            if (!fmts)
                fmts = root.prepend_child("numFmts");
            id = 164;
            for (pugi::xml_node f : fmts.children("numFmt")) {
                if (QString::fromUtf8(f.attribute("formatCode").value()) == *ch.numberFormat) {
                    id = f.attribute("numFmtId").as_int();
                    break;
                }
                id = std::max(id, f.attribute("numFmtId").as_int() + 1);
            }
            bool known = false;
            for (pugi::xml_node f : fmts.children("numFmt"))
                known = known || f.attribute("numFmtId").as_int() == id;
            if (!known) {
                pugi::xml_node f = fmts.append_child("numFmt");
                f.append_attribute("numFmtId") = id;
                f.append_attribute("formatCode") = ch.numberFormat->toUtf8().constData();
                setCount(fmts, "numFmt");
            }
        }
        xf.remove_attribute("numFmtId");
        xf.append_attribute("numFmtId") = id;
        xf.remove_attribute("applyNumberFormat");
        xf.append_attribute("applyNumberFormat") = 1;
    }
    if (ch.wrap || ch.horizontal) {
        pugi::xml_node al = xf.child("alignment");
        if (!al)
            al = xf.prepend_child("alignment");
        if (ch.wrap) {
            al.remove_attribute("wrapText");
            al.append_attribute("wrapText") = *ch.wrap ? 1 : 0;
        }
        if (ch.horizontal) {
            al.remove_attribute("horizontal");
            al.append_attribute("horizontal") = ch.horizontal->toUtf8().constData();
        }
        xf.remove_attribute("applyAlignment");
        xf.append_attribute("applyAlignment") = 1;
    }
    setCount(xfs, "xf");
    const int index = styleCount() - 1;
    derivedStyles[key] = index;
    return index;
}

void XlsxTemplate::setStyle(const CellRange& range, const CellStyle& style)
{
    for (int r = range.row1; r <= range.row2; ++r)
        for (int c = range.col1; c <= range.col2; ++c) {
            pugi::xml_node cell = d->cell(r, c, true);
            const int now = cell.attribute("s").as_int();
            const int next = d->deriveStyle(now, style);
            cell.remove_attribute("s");
            cell.append_attribute("s") = next;
        }
}

void XlsxTemplate::copyStyle(int fromRow, int fromCol, int row, int col)
{
    const pugi::xml_node from = d->cell(fromRow, fromCol, false);
    const int s = from ? from.attribute("s").as_int() : d->defaultStyle(d->row(fromRow, false), fromCol);
    pugi::xml_node cell = d->cell(row, col, true);
    cell.remove_attribute("s");
    if (s)
        cell.append_attribute("s") = s;
}

void XlsxTemplate::openBlank()
{
    d = std::make_unique<Impl>();
    auto part = [&](const char* name, const char* text) { d->parts.set(QString::fromLatin1(name), QByteArray(text)); };
    part("[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
         R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
         R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
         R"(</Types>)");
    part("_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
         R"(</Relationships>)");
    part("xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
         R"(<sheets><sheet name="Лист1" sheetId="1" r:id="rId1"/></sheets></workbook>)");
    part("xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
         R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
         R"(</Relationships>)");
    part("xl/styles.xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<fonts count="1"><font><sz val="10"/><name val="Arial"/><family val="2"/><charset val="204"/></font></fonts>)"
         R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
         R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
         R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
         R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
         R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
         R"(</styleSheet>)");
    part("xl/worksheets/sheet1.xml",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
         R"(<dimension ref="A1"/><sheetData/>)"
         R"(<pageMargins left="0.5" right="0.5" top="0.6" bottom="0.6" header="0.3" footer="0.3"/>)"
         R"(<pageSetup paperSize="9" orientation="portrait"/>)"
         R"(</worksheet>)");
    d->load(nullptr);
}

} // namespace rat::documents
