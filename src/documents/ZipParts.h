#pragma once
// The parts of a ZIP package (an .xlsx / .xltx workbook) held in memory: read all of them from a
// file, write them back as a new file.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace rat::documents {

// Parts in the order the package lists them; names are the package's own ("xl/workbook.xml").
struct ZipParts {
    std::vector<std::pair<QString, QByteArray>> parts;

    QByteArray* find(const QString& name);
    const QByteArray* find(const QString& name) const;
    void set(const QString& name, const QByteArray& data);  // replaces or appends
    void remove(const QString& name);
};

// Reads every file entry; false with `error` set when the file is missing or not a ZIP.
bool readZip(const QString& path, ZipParts& out, QString* error);
bool readZipData(const QByteArray& data, ZipParts& out, QString* error);
// The package as ZIP bytes (deflated).
bool zipData(const ZipParts& parts, QByteArray& out, QString* error);
// Writes the package through a temporary file, so a failed write leaves no half file.
bool writeZip(const QString& path, const ZipParts& parts, QString* error);

} // namespace rat::documents
