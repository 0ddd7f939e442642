// The menu-requirement print from start to end: status texts with their percentages, the
// checks, the template, filling, saving and the closing message.

#include "documents/MenuRequirementPrinting.h"

#include "core/AppState.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/ShippedFolders.h"
#include "documents/MenuRequirementPrintForm.h"
#include "documents/XlsxTemplate.h"

#include <QDir>
#include <QFileInfo>

namespace rat::documents {

namespace {

const QString kStatus = QStringLiteral("Идет создание печатной формы меню-требования...");

void step(Prompt& prompt, int percent)
{
    prompt.status(kStatus + QString::number(percent) + QLatin1Char('%'));
}

QString quotedText(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The template in the given folder, else in the application folder's "Шаблоны", else in the
// installation's (a per-user application folder may hold an empty "Шаблоны" of its own).
QString templateFile(const QString& folder, const QString& file)
{
    if (!folder.isEmpty())
        return QDir(folder).filePath(file);
    const QString own = QDir(shippedFolder(QStringLiteral("Шаблоны"))).filePath(file);
    if (QFileInfo::exists(own) || installationFolder().isEmpty())
        return own;
    const QString installed = QDir(QDir(installationFolder()).filePath(QStringLiteral("Шаблоны"))).filePath(file);
    return QFileInfo::exists(installed) ? installed : own;
}

} // namespace

std::optional<qint64> dayMenuOfRequirement(Database& db, const RequirementSource& source)
{
    const QVariant v = source.working
                           ? db.scalar(QStringLiteral("SELECT ID_day_menu FROM MENUTM1 WHERE IDM1 = ?1 ORDER BY IDTM1 LIMIT 1"),
                                       {source.id})
                           : db.scalar(QStringLiteral("SELECT ID_day_menu FROM MENUTM WHERE IDM = ?1 ORDER BY IDTM LIMIT 1"),
                                       {source.id});
    if (v.isNull())
        return std::nullopt;
    return v.toLongLong();
}

std::optional<MenuRequirementPrintOutcome> printMenuRequirement(Database& db, Prompt& prompt,
                                                                const RequirementSource& source,
                                                                MenuRequirementLayout layout,
                                                                const MenuRequirementPrintSettings& settings,
                                                                const QString& templateFolder,
                                                                const QString& outputFolder)
{
    const auto dayMenu = dayMenuOfRequirement(db, source);
    if (!dayMenu) {
        prompt.warning(QStringLiteral("Не найдена редактируемая запись. Обновите окно (F5), выделите другую строку."));
        return std::nullopt;
    }
    if (!checkPrintable(db, prompt, *dayMenu))
        return std::nullopt;
    prompt.status(kStatus);
    step(prompt, 1);

    const QString name = templateName(layout);
    const QString templatePath = templateFile(templateFolder, name + QStringLiteral(".xltx"));
    XlsxTemplate sheet;
    if (!QFileInfo::exists(templatePath) || !sheet.open(templatePath)) {
        prompt.status(QString());
        prompt.critical(QStringLiteral("Шаблон Меню-требования не найден! Он должен находиться в файле ") +
                        quotedText(name + QStringLiteral(".xltx")) + QStringLiteral(" в папке ") +
                        quotedText(QStringLiteral("Шаблоны")) + QStringLiteral(". Печать невозможна"));
        return std::nullopt;
    }
    step(prompt, 3);
    const auto data = readMenuRequirementPrint(db, prompt, source, layout, settings);
    if (!data) {
        prompt.status(QString());
        return std::nullopt;
    }
    step(prompt, 10);
    step(prompt, 15);
    fillMenuRequirementForm(sheet, *data, settings);
    step(prompt, 80);

    MenuRequirementPrintOutcome outcome;
    outcome.produced = true;
    const QString out = outputFolder.isEmpty() ? QDir(app().appDir).filePath(QStringLiteral("Документы")) : outputFolder;
    QDir().mkpath(out);
    const QString path = QDir(out).filePath(menuRequirementFileName(data->header.date, data->header.number) +
                                            QStringLiteral(".xlsx"));
    step(prompt, 95);
    const bool saved = sheet.save(path);
    step(prompt, 100);
    prompt.status(QString());
    if (saved) {
        outcome.path = QDir::toNativeSeparators(path);
        prompt.info(QStringLiteral("Печатная форма меню-требования выполнена и сохранена в файле ") + quotedText(outcome.path) +
                    QLatin1Char('.'));
    } else {
        prompt.warning(QStringLiteral("Печатная форма меню-требования выполнена, но не сохранена в файле."));
    }
    return outcome;
}

std::optional<MenuRequirementPrintOutcome> printStoredMenuRequirement(Database& db, Prompt& prompt, qint64 idm,
                                                                      std::optional<int> schab, bool cookCopy)
{
    const int form = schab ? *schab : readOrganisationSwitches(db).schab;
    return printMenuRequirement(db, prompt, {false, idm}, layoutFor(form, cookCopy), readMenuRequirementPrintSettings());
}

} // namespace rat::documents
