// Unpacking a standard-data archive into the scratch folder, whatever the archive's name
// encoding.

#include "exchange/Unpack.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "exchange/PackageText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <clocale>
#include <string>

namespace rat::exchange {

namespace {

// libarchive gives no name for a UTF-8 entry name while the process runs in the C locale:
// names are read under a UTF-8 character type and the previous one is put back afterwards.
class Utf8CharacterType {
public:
    Utf8CharacterType()
    {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        previous_ = current ? current : "C";
        if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
            std::setlocale(LC_CTYPE, "C.utf8");
    }
    ~Utf8CharacterType() { std::setlocale(LC_CTYPE, previous_.c_str()); }
    Utf8CharacterType(const Utf8CharacterType&) = delete;
    Utf8CharacterType& operator=(const Utf8CharacterType&) = delete;

private:
    std::string previous_;
};

QString entryName(archive_entry* entry)
{
    if (const char* raw = archive_entry_pathname(entry))
        return decodeEntryName(QByteArray(raw));
    if (const wchar_t* wide = archive_entry_pathname_w(entry))
        return QString::fromWCharArray(wide);
    return {};
}

// The last part of an entry's name; nothing for a name that ends in a folder or a dot part.
QString flatName(const QString& name)
{
    QString s = name;
    s.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString last = s.section(QLatin1Char('/'), -1);
    if (last.isEmpty() || last == QLatin1String(".") || last == QLatin1String(".."))
        return {};
    return last;
}

int failureCode(archive* a)
{
    return archive_errno(a) == ENOMEM ? int(unpackOutOfMemory) : int(unpackCritical);
}

} // namespace

QString unpackMessage(int code)
{
    switch (code) {
    case unpackOk: return {};
    case unpackNonCritical:
        return QStringLiteral("При создании ZIP-архива произошла некритическая ошибка. Например, доступ к одному "
                              "или нескольким файлам был запрещен, поэтому они не были включены в архив");
    case unpackCritical: return QStringLiteral("При создании ZIP-архива произошла критическая ошибка!");
    case unpackCommandLine: return QStringLiteral("При создании ZIP-архива произошла ошибка командной строки!");
    case unpackOutOfMemory: return QStringLiteral("Недостаточно памяти для создания ZIP-архива. Операция прервана!");
    case unpackInterrupted: return QStringLiteral("Формирование ZIP-архива прервано пользователем.");
    case unpackTooLarge:
        return QStringLiteral("Обнаружены ошибки в формате файла. Распакованные файлы архива занимают больше ") +
               QString::number(kUnpackLimit / (1024 * 1024)) + QStringLiteral(" МБ, допустимых для пакета данных.") +
               QStringLiteral(" Файл не был открыт.");
    default: return QStringLiteral("Неизвестная ошибка при создании ZIP-архива.");
    }
}

void tellUnpackFailure(Prompt& prompt, int code)
{
    if (code == unpackOk)
        return;
    if (code == unpackTooLarge)
        prompt.warning(unpackMessage(code));
    else
        prompt.critical(unpackMessage(code));
}

UnpackResult extractArchive(const QString& archivePath, const QString& folder, qint64 limit)
{
    UnpackResult result;
    if (archivePath.isEmpty()) {
        result.code = unpackCommandLine;
        return result;
    }
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.code = unpackCritical;
        return result;
    }

    Utf8CharacterType utf8;
    archive* a = archive_read_new();
    if (!a) {
        result.code = unpackOutOfMemory;
        return result;
    }
    archive_read_support_format_all(a);
    archive_read_support_filter_all(a);
    if (archive_read_open_fd(a, file.handle(), 64 * 1024) != ARCHIVE_OK) {
        result.code = failureCode(a);
        archive_read_free(a);
        return result;
    }

    const QDir target(folder);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    bool tooLarge = false;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a, &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r == ARCHIVE_FATAL) {
            result.code = failureCode(a);
            break;
        }
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {  // this entry is unreadable; the next may not be
            result.code = unpackNonCritical;
            continue;
        }
        // Folders, links and devices are not files of the package; a link could point anywhere.
        if (archive_entry_filetype(entry) != AE_IFREG) {
            archive_read_data_skip(a);
            continue;
        }
        const QString name = flatName(entryName(entry));
        if (name.isEmpty()) {
            result.code = unpackNonCritical;
            archive_read_data_skip(a);
            continue;
        }
        const QString path = target.filePath(name);
        // Whatever stands under that name goes first: a link left there is not followed.
        if (QFileInfo(path).isSymLink() || QFileInfo(path).isFile())
            QFile::remove(path);
        QFile out(path);
        const bool writable = out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        bool whole = writable;
        bool fatal = false;
        for (;;) {
            const la_ssize_t n = archive_read_data(a, buffer.data(), size_t(buffer.size()));
            if (n == 0)
                break;
            if (n < 0) {
                whole = false;
                if (n == ARCHIVE_FATAL)
                    fatal = true;
                break;
            }
            total += n;
            if (total > limit) {
                tooLarge = true;
                break;
            }
            if (writable && out.write(buffer.constData(), n) != n)
                whole = false;
        }
        if (writable)
            out.close();
        if (tooLarge) {
            QFile::remove(path);
            for (const QString& f : result.files)
                QFile::remove(target.filePath(f));
            result.files.clear();
            result.code = unpackTooLarge;
            break;
        }
        if (whole) {
            result.files << name;
        } else {
            if (writable)
                QFile::remove(path);
            if (result.code == unpackOk)
                result.code = unpackNonCritical;
        }
        if (fatal) {
            result.code = failureCode(a);
            break;
        }
    }
    archive_read_free(a);
    return result;
}

QString scratchFolder()
{
    return QDir(app().appDir).filePath(QStringLiteral("Tempp"));
}

int UnpackArchive(const QString& archive, Prompt& prompt)
{
    const QString folder = scratchFolder();
    QDir dir(folder);
    if (!dir.exists())
        QDir().mkpath(folder);
    if (!dir.entryList({QStringLiteral("*.xml")}, QDir::Files).isEmpty())
        for (const QString& f : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            dir.remove(f);
    const UnpackResult r = extractArchive(archive, folder);
    tellUnpackFailure(prompt, r.code);
    return r.code;
}

} // namespace rat::exchange
