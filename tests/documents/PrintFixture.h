#pragma once
// Shared pieces of the printing tests: a shipped template copied into the test's application
// folder, and an opener that records what it was asked to open.

#include "documents/DocumentOpener.h"

#include "core/AppState.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace rat::test {

// Copies "Шаблоны/<name>.xltx" from the build's application folder into the test's own.
inline bool installTemplate(const QString& name)
{
    const QString to = QDir(app().appDir).filePath(QStringLiteral("Шаблоны/") + name + QStringLiteral(".xltx"));
    QDir().mkpath(QDir(app().appDir).filePath(QStringLiteral("Шаблоны")));
    QFile::remove(to);
    return QFile::copy(QDir(QStringLiteral(RAT_TEMPLATES_DIR)).filePath(name + QStringLiteral(".xltx")), to);
}

class RecordingOpener : public documents::DocumentOpener {
public:
    RecordingOpener() { documents::setDocumentOpener(this); }
    ~RecordingOpener() override { documents::setDocumentOpener(nullptr); }
    bool open(const QString& path) override
    {
        opened << path;
        return true;
    }
    QStringList opened;
};

} // namespace rat::test
