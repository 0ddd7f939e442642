#pragma once
// Printing a menu-requirement in the common print frame: the checks, the template from
// "Шаблоны", the filled sheet saved into "Документы" and handed to the spreadsheet program,
// with the status texts and the messages of the menu-requirement print.

#include "documents/MenuRequirementPrint.h"

#include <QString>
#include <optional>

namespace rat::documents {

struct MenuRequirementPrintOutcome {
    bool produced = false;   // the sheet was filled
    QString path;            // the saved file; empty when it could not be saved
};

// Prints the document in `layout`. Nothing when it was refused (the person has been told:
// no eaters, no template, no such document); otherwise the outcome, after "Печатная форма
// меню-требования выполнена и сохранена в файле "<path>"." or "..., но не сохранена в файле.".
std::optional<MenuRequirementPrintOutcome> printMenuRequirement(Database& db, Prompt& prompt,
                                                                const RequirementSource& source,
                                                                MenuRequirementLayout layout,
                                                                const MenuRequirementPrintSettings& settings);

// The stored menu-requirement printed as INF.schab says (or as the given list-101 value, or the
// cook's copy) with the user's print settings.
std::optional<MenuRequirementPrintOutcome> printStoredMenuRequirement(Database& db, Prompt& prompt, qint64 idm,
                                                                      std::optional<int> schab, bool cookCopy);

// The day menu a document belongs to; nothing when the document is gone.
std::optional<qint64> dayMenuOfRequirement(Database& db, const RequirementSource& source);

} // namespace rat::documents
