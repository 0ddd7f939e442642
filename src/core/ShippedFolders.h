#pragma once
// The folders that come with the installation ("Примеры", "Шаблоны", "Помощник"), found for an
// application folder that may be a per-user copy without them.

#include <QString>

namespace rat {

// The folder the program is installed in (the executable's); prepareApplicationFolder sets it.
void setInstallationFolder(const QString& dir);
QString installationFolder();

// The application folder's own copy of the folder when it has one, else the installation's. The
// application folder's path when neither exists, so the caller's "not found" names it.
QString shippedFolder(const QString& name);

} // namespace rat
