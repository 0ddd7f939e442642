// Builds a shipped print template (.xltx) from its text sources: the parts shared by every
// template, overlaid with the template's own parts (its sheet, and its workbook part when it
// names print titles). Every XML part must parse, so a broken edit stops the build.
//   rat_maketemplate OUTPUT.xltx COMMON_FOLDER TEMPLATE_FOLDER

#include "documents/XlsxPackage.h"
#include "documents/ZipParts.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>

#include <cstdio>
#include <map>

using namespace rat::documents;

static bool addFolder(const QString& folder, std::map<QString, QByteArray>& parts)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "rat_maketemplate: %s: %s\n", qPrintable(path), qPrintable(f.errorString()));
            return false;
        }
        const QString name = QDir(folder).relativeFilePath(path);
        if (name.endsWith(QStringLiteral(".md")))
            continue;  // notes beside the parts
        QByteArray data = f.readAll();
        pugi::xml_document doc;
        const pugi::xml_parse_result ok = doc.load_buffer(data.constData(), size_t(data.size()));
        if (!ok) {
            std::fprintf(stderr, "rat_maketemplate: %s: %s at offset %lld\n", qPrintable(path), ok.description(),
                         static_cast<long long>(ok.offset));
            return false;
        }
        parts[name] = data;
    }
    return true;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: rat_maketemplate OUTPUT.xltx COMMON_FOLDER TEMPLATE_FOLDER\n");
        return 2;
    }
    std::map<QString, QByteArray> parts;
    if (!addFolder(args[2], parts) || !addFolder(args[3], parts))
        return 1;
    ZipParts zip;
    // The content types first, as spreadsheet programs expect.
    const QString types = QStringLiteral("[Content_Types].xml");
    if (parts.count(types))
        zip.set(types, parts[types]);
    for (const auto& [name, data] : parts)
        if (name != types)
            zip.set(name, data);
    QString error;
    SheetPart sheet;
    if (!findSheet(zip, QStringLiteral("Лист1"), sheet)) {
        std::fprintf(stderr, "rat_maketemplate: %s: no sheet \"Лист1\"\n", qPrintable(args[3]));
        return 1;
    }
    QDir().mkpath(QFileInfo(args[1]).absolutePath());
    if (!writeZip(args[1], zip, &error)) {
        std::fprintf(stderr, "rat_maketemplate: %s: %s\n", qPrintable(args[1]), qPrintable(error));
        return 1;
    }
    return 0;
}
