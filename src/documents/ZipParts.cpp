// Reading and writing ZIP packages in memory through libarchive.

#include "documents/ZipParts.h"

#include <QFile>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>

namespace rat::documents {

QByteArray* ZipParts::find(const QString& name)
{
    for (auto& p : parts)
        if (p.first == name)
            return &p.second;
    return nullptr;
}

const QByteArray* ZipParts::find(const QString& name) const
{
    for (const auto& p : parts)
        if (p.first == name)
            return &p.second;
    return nullptr;
}

void ZipParts::set(const QString& name, const QByteArray& data)
{
    if (QByteArray* existing = find(name))
        *existing = data;
    else
        parts.emplace_back(name, data);
}

void ZipParts::remove(const QString& name)
{
    for (auto it = parts.begin(); it != parts.end(); ++it)
        if (it->first == name) {
            parts.erase(it);
            return;
        }
}

bool readZipData(const QByteArray& data, ZipParts& out, QString* error)
{
    out.parts.clear();
    archive* a = archive_read_new();
    archive_read_support_format_zip(a);
    if (archive_read_open_memory(a, data.constData(), size_t(data.size())) != ARCHIVE_OK) {
        if (error)
            *error = QString::fromUtf8(archive_error_string(a));
        archive_read_free(a);
        return false;
    }
    archive_entry* e = nullptr;
    int rc = ARCHIVE_OK;
    while ((rc = archive_read_next_header(a, &e)) == ARCHIVE_OK) {
        if (archive_entry_filetype(e) != AE_IFREG)
            continue;
        // Package part names are ASCII; the raw bytes need no locale.
        const char* raw = archive_entry_pathname(e);
        const QString name = QString::fromUtf8(raw ? raw : "");
        QByteArray content;
        char buf[65536];
        la_ssize_t n = 0;
        while ((n = archive_read_data(a, buf, sizeof buf)) > 0)
            content.append(buf, qsizetype(n));
        if (n < 0) {
            rc = ARCHIVE_FATAL;
            break;
        }
        out.parts.emplace_back(name, content);
    }
    const bool ok = rc == ARCHIVE_EOF && !out.parts.empty();
    if (!ok && error)
        *error = rc == ARCHIVE_EOF ? QStringLiteral("empty archive")
                                   : QString::fromUtf8(archive_error_string(a));
    archive_read_free(a);
    return ok;
}

bool readZip(const QString& path, ZipParts& out, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return readZipData(f.readAll(), out, error);
}

namespace {

la_ssize_t appendToBuffer(archive*, void* client, const void* buf, size_t n)
{
    static_cast<QByteArray*>(client)->append(static_cast<const char*>(buf), qsizetype(n));
    return la_ssize_t(n);
}

} // namespace

bool zipData(const ZipParts& parts, QByteArray& buffer, QString* error)
{
    buffer.clear();
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_zip_set_compression_deflate(a);
    archive_write_set_bytes_in_last_block(a, 1);
    bool ok = archive_write_open(a, &buffer, nullptr, appendToBuffer, nullptr) == ARCHIVE_OK;
    for (const auto& [name, data] : parts.parts) {
        if (!ok)
            break;
        archive_entry* e = archive_entry_new();
        const QByteArray n = name.toUtf8();
        archive_entry_set_pathname(e, n.constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, la_int64_t(data.size()));
        archive_entry_set_mtime(e, 1704067200, 0);
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             (data.isEmpty() || archive_write_data(a, data.constData(), size_t(data.size())) == la_ssize_t(data.size()));
        archive_entry_free(e);
    }
    if (archive_write_close(a) != ARCHIVE_OK)
        ok = false;
    if (!ok && error)
        *error = QString::fromUtf8(archive_error_string(a));
    archive_write_free(a);
    return ok;
}

bool writeZip(const QString& path, const ZipParts& parts, QString* error)
{
    QByteArray buffer;
    if (!zipData(parts, buffer, error))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(buffer) != buffer.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace rat::documents
