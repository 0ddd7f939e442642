// The common frame of the printed forms: status texts, templates, output files and messages.

#include "documents/PrintFrame.h"
#include "documents/DocumentOpener.h"

#include "core/AppState.h"
#include "core/DataHelpers.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/ShippedFolders.h"

#include <QDir>
#include <QFileInfo>

namespace rat::documents {

namespace {
DocumentOpener* currentOpener = nullptr;
}

void setDocumentOpener(DocumentOpener* opener)
{
    currentOpener = opener;
}

DocumentOpener* documentOpener()
{
    return currentOpener;
}

PrintFrame::PrintFrame(Prompt& prompt, PrintFamily family) : prompt_(prompt), family_(family) {}

QString PrintFrame::statusText(int percent) const
{
    const QString base = family_ == PrintFamily::MenuRequirement
                             ? QStringLiteral("Идет создание печатной формы меню-требования...")
                             : QStringLiteral("Идет создание печатной формы документа...");
    return percent <= 0 ? base : base + QString::number(percent) + u'%';
}

void PrintFrame::progress(int percent)
{
    prompt_.status(statusText(percent));
}

// A template the user redesigned in the application folder's own "Шаблоны" wins; one it does not
// hold is taken from the installation, so a folder with a few own templates hides none.
QString PrintFrame::templatePath(const QString& name)
{
    const QString file = name + QStringLiteral(".xltx");
    const QString own = QDir(QDir(app().appDir).filePath(QStringLiteral("Шаблоны"))).filePath(file);
    if (QFileInfo::exists(own) || installationFolder().isEmpty())
        return own;
    const QString installed = QDir(QDir(installationFolder()).filePath(QStringLiteral("Шаблоны"))).filePath(file);
    return QFileInfo::exists(installed) ? installed : own;
}

QString PrintFrame::outputPath(const QString& name)
{
    return QDir(QDir(app().appDir).filePath(QStringLiteral("Документы"))).filePath(FileNameText(name) + QStringLiteral(".xlsx"));
}

QString PrintFrame::missingTemplateText(const QString& name) const
{
    const QString where = QStringLiteral("\"") + name + QStringLiteral(".xltx\" в папке \"Шаблоны\".");
    if (family_ == PrintFamily::MenuRequirement)
        return QStringLiteral("Шаблон Меню-требования не найден! Он должен находиться в файле ") + where +
               QStringLiteral(" Печать невозможна");
    return QStringLiteral("Шаблон документа не найден! Он должен находиться в файле ") + where +
           QStringLiteral(" Выполнить печать без шаблона?");
}

PrintFrame::Template PrintFrame::openTemplate(const QString& name, XlsxTemplate& sheet)
{
    const QString path = templatePath(name);
    if (QFileInfo(path).isFile() && sheet.open(path))
        return Template::Loaded;
    if (family_ == PrintFamily::MenuRequirement) {
        prompt_.critical(missingTemplateText(name));
        return Template::Refused;
    }
    if (prompt_.ask(missingTemplateText(name), Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return Template::Refused;
    sheet.openBlank();
    return Template::Blank;
}

void PrintFrame::show(XlsxTemplate& sheet, const QString& path)
{
    if (DocumentOpener* opener = documentOpener())
        opener->open(path);
    Q_UNUSED(sheet);
}

QString PrintFrame::finish(XlsxTemplate& sheet, const QString& name)
{
    const bool mr = family_ == PrintFamily::MenuRequirement;
    const QString what = mr ? QStringLiteral("меню-требования") : QStringLiteral("документа");
    // The form for viewing when it is not kept in "Документы".
    auto viewCopy = [&]() {
        const QString temp = QDir(app().appDir).filePath(QStringLiteral("Tempp"));
        QDir().mkpath(temp);
        const QString base = name.isEmpty() ? QStringLiteral("Печатная форма") : FileNameText(name);
        const QString path = QDir(temp).filePath(base + QStringLiteral(".xlsx"));
        if (sheet.save(path))
            show(sheet, path);
    };
    if (name.isEmpty()) {
        progress(100);
        viewCopy();
        prompt_.info(QStringLiteral("Печатная форма ") + what + QStringLiteral(" выполнена."));
        return {};
    }
    const QString path = outputPath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const bool saved = sheet.save(path);
    progress(100);
    if (!saved) {
        viewCopy();
        prompt_.warning(QStringLiteral("Печатная форма ") + what + QStringLiteral(" выполнена, но не сохранена в файле."));
        return {};
    }
    show(sheet, path);
    prompt_.info(QStringLiteral("Печатная форма ") + what + QStringLiteral(" выполнена и сохранена в файле \"") +
                 nativePath(path) + QStringLiteral("\"."));
    return path;
}

} // namespace rat::documents
