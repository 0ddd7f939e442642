// The menu-requirement print from start to end in the common print frame: the checks, the
// status texts with their percentages, the template, filling, saving and the closing message.

#include "documents/MenuRequirementPrinting.h"

#include "core/Database.h"
#include "core/DataHelpers.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "documents/MenuRequirementPrintForm.h"
#include "documents/PrintFrame.h"
#include "documents/XlsxTemplate.h"

namespace rat::documents {

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
                                                                const MenuRequirementPrintSettings& settings)
{
    const auto dayMenu = dayMenuOfRequirement(db, source);
    if (!dayMenu) {
        prompt.warning(missingRowText());
        return std::nullopt;
    }
    if (!checkPrintable(db, prompt, *dayMenu))
        return std::nullopt;
    PrintFrame frame(prompt, PrintFamily::MenuRequirement);
    frame.progress(0);
    frame.progress(1);
    XlsxTemplate sheet;
    if (frame.openTemplate(templateName(layout), sheet) == PrintFrame::Template::Refused)
        return std::nullopt;
    frame.progress(3);
    const auto data = readMenuRequirementPrint(db, prompt, source, layout, settings);
    if (!data)
        return std::nullopt;
    frame.progress(10);
    frame.progress(15);
    fillMenuRequirementForm(sheet, *data, settings);
    frame.progress(80);
    frame.progress(95);
    MenuRequirementPrintOutcome outcome;
    outcome.produced = true;
    outcome.path = frame.finish(sheet, menuRequirementFileName(data->header.date, data->header.number));
    return outcome;
}

std::optional<MenuRequirementPrintOutcome> printStoredMenuRequirement(Database& db, Prompt& prompt, qint64 idm,
                                                                      std::optional<int> schab, bool cookCopy)
{
    const int form = schab ? *schab : readOrganisationSwitches(db).schab;
    return printMenuRequirement(db, prompt, {false, idm}, layoutFor(form, cookCopy), readMenuRequirementPrintSettings());
}

} // namespace rat::documents
