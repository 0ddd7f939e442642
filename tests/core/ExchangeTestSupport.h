#pragma once
// Small standard-data packages for the exchange tests: XML texts written into files and ZIP
// archives written with libarchive, with names flagged as UTF-8 or left as raw bytes.

#include "core/Database.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <string>
#include <utility>
#include <vector>

namespace rat::test {

struct ZipEntry {
    ZipEntry(QByteArray n, QByteArray d = {}, unsigned t = AE_IFREG, QByteArray l = {})
        : name(std::move(n)), data(std::move(d)), type(t), link(std::move(l))
    {
    }
    QByteArray name;  // UTF-8, or the raw bytes of another code page
    QByteArray data;
    unsigned type;
    QByteArray link;  // target of a symbolic link
};

enum class NameFlag { Utf8, Raw };

// Writes the archive. With NameFlag::Utf8 the names carry the archive's UTF-8 flag; with
// NameFlag::Raw the bytes are stored as they are, without the flag (as archivers on Windows
// store CP866 names).
inline bool writeZip(const QString& path, const std::vector<ZipEntry>& entries, NameFlag flag = NameFlag::Utf8)
{
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, flag == NameFlag::Utf8 ? "C.UTF-8" : "C");
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    if (flag == NameFlag::Utf8)
        archive_write_set_options(a, "hdrcharset=UTF-8");
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
    for (const ZipEntry& z : entries) {
        if (!ok)
            break;
        archive_entry* e = archive_entry_new();
        if (flag == NameFlag::Utf8)
            archive_entry_set_pathname_utf8(e, z.name.constData());
        else
            archive_entry_copy_pathname(e, z.name.constData());
        archive_entry_set_filetype(e, z.type);
        archive_entry_set_perm(e, z.type == AE_IFDIR ? 0755 : 0644);
        if (z.type == AE_IFLNK)
            archive_entry_set_symlink(e, z.link.constData());
        archive_entry_set_size(e, z.type == AE_IFREG ? z.data.size() : 0);
        ok = archive_write_header(a, e) == ARCHIVE_OK;
        if (ok && z.type == AE_IFREG && !z.data.isEmpty())
            ok = archive_write_data(a, z.data.constData(), size_t(z.data.size())) == z.data.size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    std::setlocale(LC_CTYPE, previous.c_str());
    return ok;
}

// The general-purpose flags of the archive's first local header (bit 11: UTF-8 names).
inline int firstEntryFlags(const QString& zip)
{
    QFile f(zip);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = f.read(8);
    if (head.size() < 8 || !head.startsWith("PK\x03\x04"))
        return -1;
    return int(static_cast<unsigned char>(head[6])) | (int(static_cast<unsigned char>(head[7])) << 8);
}

inline QByteArray xml(const QString& body)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + body.toUtf8();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The files of a folder, in name order.
inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The first column of every row of the query, joined in the query's order.
inline QVariant joinedRows(Database& db, const QString& sql, const std::vector<QVariant>& params, const QString& sep)
{
    Statement st(db, sql);
    st.bindAll(params);
    QStringList parts;
    while (st.next())
        parts << st.toString(0);
    return parts.join(sep);
}

inline qint64 rows(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM [") + table + QStringLiteral("]")).toLongLong();
}

} // namespace rat::test
