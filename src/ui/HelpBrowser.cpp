// The built-in help window showing the program's own help pages.

#include "ui/HelpBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace rat::ui {

HelpBrowser::HelpBrowser(const QString& path, QWidget* parent) : QTextBrowser(parent)
{
    setWindowTitle(QStringLiteral("Ваш помощник"));
    setAttribute(Qt::WA_DeleteOnClose);
    setOpenExternalLinks(true);
    setOpenLinks(true);
    document()->setDocumentMargin(12);
    setSource(QUrl::fromLocalFile(path));
}

bool HelpBrowser::runCommand(const QString& name)
{
    if (name == QLatin1String("mnuEditCopy")) {
        copy();
        return true;
    }
    if (name == QLatin1String("mnuViewRefresh")) {
        reload();
        return true;
    }
    return false;
}

QString findHelpPage(const QString& configured)
{
    if (!configured.isEmpty() && QFileInfo(configured).isFile())
        return configured;
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Помощник/index.htm"));
    return QFileInfo(beside).isFile() ? beside : QString();
}

} // namespace rat::ui
