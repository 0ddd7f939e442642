// The print commands of the menu-requirement window: the menu-requirement in the form chosen in
// the parameters, the cook's copy, the day menu with or without dish costs, the print settings.

#include "ui/MenuRequirementWindow.h"

#include "core/Parameters.h"
#include "core/Prompt.h"
#include "documents/DayMenuPrint.h"
#include "documents/MenuRequirementPrinting.h"
#include "ui/GridSetup.h"
#include "ui/MainIcons.h"
#include "ui/MenuRequirementPrintSettingsDialog.h"

#include <QAction>
#include <QToolBar>

namespace rat::ui {

void MenuRequirementWindow::addPrintKeys()
{
    toolBar_->addSeparator();
    addToolKey(toolBar_, actions_, QStringLiteral("keyPrint"), QStringLiteral("Печать"),
               QStringLiteral("Печать меню-требования"), [this] { printRequirement(false); }, glyphIcon(Glyph::Print));
    addToolKey(toolBar_, actions_, QStringLiteral("keyPrintCook"), QStringLiteral("Для повара"),
               QStringLiteral("Печать меню-требования для повара"), [this] { printRequirement(true); },
               badgeIcon(QStringLiteral("П"), QColor(0x3a, 0x6e, 0xa5)));
    addToolKey(toolBar_, actions_, QStringLiteral("keyPrintMenu"), QStringLiteral("Меню"),
               QStringLiteral("Печать меню на день"), [this] { printMenu(); },
               badgeIcon(QStringLiteral("М"), QColor(0x7a, 0x4e, 0x9e)));
    addToolKey(toolBar_, actions_, QStringLiteral("keyPrintSettings"), QStringLiteral("Настройки печати"),
               QStringLiteral("Настройки печати меню-требования"), [this] { editPrintSettings(); },
               badgeIcon(QStringLiteral("⚙"), QColor(0x60, 0x60, 0x60)));
}

void MenuRequirementWindow::printRequirement(bool cookCopy)
{
    if (!idm1_)
        return;
    const int schab = readOrganisationSwitches(db_).schab;
    // The saved form goes to the person's spreadsheet program through the print frame's opener.
    documents::printMenuRequirement(db_, prompt_, {true, *idm1_}, documents::layoutFor(schab, cookCopy),
                                    documents::readMenuRequirementPrintSettings());
}

void MenuRequirementWindow::printMenu()
{
    if (!idm1_)
        return;
    const auto dayMenu = documents::dayMenuOfRequirement(db_, {true, *idm1_});
    if (!dayMenu || !documents::checkPrintable(db_, prompt_, *dayMenu, documents::PrintKind::Menu))
        return;
    const Answer a = prompt_.ask(QStringLiteral("Печатать меню со стоимостью блюд?"), Buttons::YesNo, Answer::Yes);
    if (a != Answer::Yes && a != Answer::No)
        return;
    documents::PrintDayMenu(db_, prompt_, *dayMenu, a == Answer::Yes);
}

void MenuRequirementWindow::editPrintSettings()
{
    MenuRequirementPrintSettingsDialog dialog(this);
    showDialog(dialog);
}

} // namespace rat::ui
