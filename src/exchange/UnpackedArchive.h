#pragma once
// One import's own unpacked copy of an archive: a folder of its own inside "Tempp", removed
// with everything in it when the import is done, so imports running at the same time (two
// databases) never see or remove each other's files.

#include <QString>
#include <QTemporaryDir>

namespace rat {
class Prompt;
}

namespace rat::exchange {

class UnpackedArchive {
public:
    // Unpacks `archive`; a failure is told with its message (critical icon), as UnpackArchive does.
    UnpackedArchive(const QString& archive, Prompt& prompt);
    UnpackedArchive(const UnpackedArchive&) = delete;
    UnpackedArchive& operator=(const UnpackedArchive&) = delete;

    QString folder() const { return dir_.path(); }
    int code() const { return code_; }

private:
    QTemporaryDir dir_;
    int code_;
};

} // namespace rat::exchange
