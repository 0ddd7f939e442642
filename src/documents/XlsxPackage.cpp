// Locating the parts of a workbook package.

#include "documents/XlsxPackage.h"

#include <sstream>

namespace rat::documents {

bool loadXml(const QByteArray& data, pugi::xml_document& doc)
{
    return doc.load_buffer(data.constData(), size_t(data.size()),
                           pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
}

namespace {
struct ByteWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
};
} // namespace

QByteArray saveXml(const pugi::xml_document& doc)
{
    ByteWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

QString itemText(const pugi::xml_node& item)
{
    QString s;
    for (pugi::xml_node n : item.children()) {
        const std::string name = n.name();
        if (name == "t")
            s += QString::fromUtf8(n.text().get());
        else if (name == "r")
            s += QString::fromUtf8(n.child("t").text().get());
    }
    return s;
}

static QString resolveTarget(const QString& target)
{
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

bool findSheet(const ZipParts& parts, const QString& name, SheetPart& out)
{
    const QByteArray* wb = parts.find(QStringLiteral("xl/workbook.xml"));
    const QByteArray* rels = parts.find(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (!wb || !rels)
        return false;
    pugi::xml_document wdoc, rdoc;
    if (!loadXml(*wb, wdoc) || !loadXml(*rels, rdoc))
        return false;
    pugi::xml_node sheets = wdoc.child("workbook").child("sheets");
    pugi::xml_node first, match;
    int index = 0, firstIndex = 0, matchIndex = 0;
    for (pugi::xml_node s : sheets.children("sheet")) {
        if (!first) {
            first = s;
            firstIndex = index;
        }
        if (!match && QString::fromUtf8(s.attribute("name").value()) == name) {
            match = s;
            matchIndex = index;
        }
        ++index;
    }
    const pugi::xml_node chosen = match ? match : first;
    const int chosenIndex = match ? matchIndex : firstIndex;
    if (!chosen)
        return false;
    const std::string rid = chosen.attribute("r:id").value();
    for (pugi::xml_node r : rdoc.child("Relationships").children("Relationship"))
        if (rid == r.attribute("Id").value()) {
            out.path = resolveTarget(QString::fromUtf8(r.attribute("Target").value()));
            out.index = chosenIndex;
            out.name = QString::fromUtf8(chosen.attribute("name").value());
            return parts.find(out.path) != nullptr;
        }
    return false;
}

QStringList sharedStrings(const ZipParts& parts)
{
    QStringList list;
    const QByteArray* data = parts.find(QStringLiteral("xl/sharedStrings.xml"));
    pugi::xml_document doc;
    if (!data || !loadXml(*data, doc))
        return list;
    for (pugi::xml_node si : doc.child("sst").children("si"))
        list << itemText(si);
    return list;
}

QString workbookType(const ZipParts& parts)
{
    const QByteArray* data = parts.find(QStringLiteral("[Content_Types].xml"));
    pugi::xml_document doc;
    if (!data || !loadXml(*data, doc))
        return {};
    for (pugi::xml_node o : doc.child("Types").children("Override"))
        if (std::string(o.attribute("PartName").value()) == "/xl/workbook.xml")
            return QString::fromUtf8(o.attribute("ContentType").value());
    return {};
}

} // namespace rat::documents
