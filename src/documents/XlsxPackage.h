#pragma once
// Shared pieces of the workbook package: where the sheet "Лист1" lives, the shared strings, the
// content types, XML in and out of pugixml.

#include "documents/ZipParts.h"

#include <QString>
#include <QStringList>
#include <pugixml.hpp>

namespace rat::documents {

inline constexpr const char* templateContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
inline constexpr const char* workbookContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";

// The sheet named `name` ("Лист1"), else the first sheet: its part path ("xl/worksheets/sheet1.xml"),
// its 0-based position and its name. False when the package is not a workbook.
struct SheetPart {
    QString path;
    int index = 0;
    QString name;
};
bool findSheet(const ZipParts& parts, const QString& name, SheetPart& out);

// The shared string table (plain text of every item, runs joined).
QStringList sharedStrings(const ZipParts& parts);

// The content type registered for /xl/workbook.xml.
QString workbookType(const ZipParts& parts);

bool loadXml(const QByteArray& data, pugi::xml_document& doc);
QByteArray saveXml(const pugi::xml_document& doc);

// The text of an inline or shared string item (<t> children and runs).
QString itemText(const pugi::xml_node& item);

} // namespace rat::documents
