// Fuzz target: the unpacker. Whatever the archive's bytes, nothing is written outside the
// folder, and no more than the size limit stays in it.

#include "exchange/Unpack.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir root;
    const QString archive = root.filePath(QStringLiteral("input.zip"));
    const QString folder = root.filePath(QStringLiteral("out"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    {
        QFile f(archive);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const qint64 limit = 1 << 20;
    const rat::exchange::UnpackResult r = rat::exchange::extractArchive(archive, folder, limit);
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().dir().absolutePath() != QDir(folder).absolutePath())
            std::abort();  // a folder was made
        total += it.fileInfo().size();
    }
    if (total > limit || (r.code == rat::exchange::unpackTooLarge && total != 0))
        std::abort();
    // Nothing beside the folder but the archive itself.
    if (QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() != 2)
        std::abort();
    return 0;
}
