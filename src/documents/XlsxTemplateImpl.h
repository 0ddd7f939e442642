#pragma once
// Inside of the template engine: the parsed parts and the cell and row lookups shared by its
// source files. Not for use outside src/documents.

#include "documents/CellNames.h"
#include "documents/XlsxPackage.h"
#include "documents/XlsxTemplate.h"

#include <pugixml.hpp>
#include <map>
#include <string>

namespace rat::documents {

struct XlsxTemplate::Impl {
    ZipParts parts;
    SheetPart sheet;
    pugi::xml_document sheetDoc, stylesDoc, workbookDoc;
    pugi::xml_node sheetData;
    std::map<std::string, int> derivedStyles;  // (style, change) -> new style index
    // The row and cell written last; every change of rows or columns forgets them.
    pugi::xml_node cachedRow, cachedCell;
    int cachedRowNumber = 0;
    void forget()
    {
        cachedRow = cachedCell = pugi::xml_node();
        cachedRowNumber = 0;
    }

    bool load(QString* error);
    void normalise(const QStringList& shared);

    pugi::xml_node worksheet() const { return sheetDoc.child("worksheet"); }
    pugi::xml_node row(int r, bool create);
    pugi::xml_node cell(int r, int c, bool create);
    static int rowNumber(const pugi::xml_node& row) { return row.attribute("r").as_int(); }
    static bool cellPos(const pugi::xml_node& c, int& row, int& col);
    static QString cellText(const pugi::xml_node& c);
    static void writeValue(pugi::xml_node c, const CellValue& v);
    int defaultStyle(const pugi::xml_node& row, int col) const;

    // References everywhere in the sheet and its print names move with inserted or deleted rows
    // and columns.
    // With `blockFirst`, the rows (columns) blockFirst .. shift.at-1 are a repeated block.
    void shiftReferences(const RefShift& shift, int blockFirst = 0);
    void insertRows(int before, int count, int blockFirst);
    void shiftNames(const RefShift& shift);

    int lastRowNumber() const;
    int lastColumnNumber() const;
    ZipParts output();  // the package as saved

    int deriveStyle(int style, const CellStyle& change);
    int styleCount();
};

} // namespace rat::documents
