#pragma once
// Unpacking a standard-data archive into the scratch folder "Tempp": every file of the archive
// without its folders, whatever the names inside the archive say.

#include <QString>
#include <QStringList>

namespace rat {
class Prompt;
}

namespace rat::exchange {

// The unpacker's outcome, numbered as the archiver's exit codes the messages are known by.
enum UnpackCode {
    unpackOk = 0,
    unpackNonCritical = 1,  // some entries could not be written or read; the others are there
    unpackCritical = 2,     // not an archive, or damaged
    unpackCommandLine = 7,  // no archive named
    unpackOutOfMemory = 8,
    unpackInterrupted = 255,
    unpackTooLarge = 9,     // more than the size limit unpacked; nothing of it is kept
};

// What one archive may unpack to, in all: our own packages are under a megabyte, so anything
// near this size is no package of ours (an archive made to fill the disk or the memory).
constexpr qint64 kUnpackLimit = 64 * 1024 * 1024;

struct UnpackResult {
    int code = unpackOk;
    QStringList files;  // names written into the folder, in archive order
};

// The message shown for an unpack outcome; empty for success.
QString unpackMessage(int code);
// Tells a failed outcome: a file too large for a package with the format message (warning
// icon), the archiver's failures with theirs (critical icon).
void tellUnpackFailure(Prompt& prompt, int code);

// Extracts every regular file of `archive` into `folder` under the last part of its name: an
// entry "a/b/x.xml", "../x.xml" or "/x.xml" becomes `folder`/x.xml and nothing is written
// anywhere else. Names are read as UTF-8 whether the archive flags them so or not, and as
// CP866 when they are not UTF-8. The folder must exist. When the files would hold more than
// `limit` bytes in all, unpacking stops and every file written by this call is removed.
UnpackResult extractArchive(const QString& archive, const QString& folder, qint64 limit = kUnpackLimit);

// The scratch folder of the application folder.
QString scratchFolder();

// Unpacks into "Tempp" (created when missing; emptied first when it holds any *.xml). A failure
// is told to the person with its message (critical icon). Returns the outcome code.
int UnpackArchive(const QString& archive, Prompt& prompt);

} // namespace rat::exchange
