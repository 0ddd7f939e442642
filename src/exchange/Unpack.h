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
};

struct UnpackResult {
    int code = unpackOk;
    QStringList files;  // names written into the folder, in archive order
};

// The message shown for an unpack outcome; empty for success.
QString unpackMessage(int code);

// Extracts every regular file of `archive` into `folder` under the last part of its name: an
// entry "a/b/x.xml", "../x.xml" or "/x.xml" becomes `folder`/x.xml and nothing is written
// anywhere else. Names are read as UTF-8 whether the archive flags them so or not, and as
// CP866 when they are not UTF-8. The folder must exist.
UnpackResult extractArchive(const QString& archive, const QString& folder);

// The scratch folder of the application folder.
QString scratchFolder();

// Unpacks into "Tempp" (created when missing; emptied first when it holds any *.xml). A failure
// is told to the person with its message (critical icon). Returns the outcome code.
int UnpackArchive(const QString& archive, Prompt& prompt);

} // namespace rat::exchange
