// The desktop's opener for saved printed forms.

#include "ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace rat::ui {

bool DesktopOpener::open(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace rat::ui
