// The folders that come with the installation, read from the installation when the
// application folder has no copy of its own.

#include "core/ShippedFolders.h"
#include "core/AppState.h"

#include <QDir>
#include <QFileInfo>

namespace rat {
namespace {

QString& installed()
{
    static QString dir;
    return dir;
}

} // namespace

void setInstallationFolder(const QString& dir)
{
    installed() = dir.isEmpty() ? QString() : QDir::cleanPath(QDir(dir).absolutePath());
}

QString installationFolder()
{
    return installed();
}

QString shippedFolder(const QString& name)
{
    const QString own = QDir(app().appDir).filePath(name);
    if (QFileInfo(own).isDir() || installed().isEmpty())
        return own;
    const QString fromInstallation = QDir(installed()).filePath(name);
    return QFileInfo(fromInstallation).isDir() ? fromInstallation : own;
}

} // namespace rat
