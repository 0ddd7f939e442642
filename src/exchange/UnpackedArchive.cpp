// One import's own folder inside "Tempp", made when the archive is unpacked and removed after.

#include "exchange/UnpackedArchive.h"
#include "exchange/Unpack.h"

#include <QDir>

namespace rat::exchange {

namespace {

// "Tempp" exists before the import's own folder is made in it.
QString importTemplate()
{
    QDir().mkpath(scratchFolder());
    return QDir(scratchFolder()).filePath(QStringLiteral("import-XXXXXX"));
}

} // namespace

UnpackedArchive::UnpackedArchive(const QString& archive, Prompt& prompt) : dir_(importTemplate()), code_(unpackOk)
{
    if (!dir_.isValid()) {
        code_ = unpackCritical;
    } else {
        const UnpackResult r = extractArchive(archive, dir_.path());
        code_ = r.code;
    }
    tellUnpackFailure(prompt, code_);
}

} // namespace rat::exchange
