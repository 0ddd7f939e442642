#pragma once
// The day-menu journal's own commands: a new day menu is made from plan-menu days chosen in
// the creation dialog and opens in the document window, as do the edited and copied ones.

#include <QDialog>
#include <functional>

namespace rat::ui {

class MainWindow;

void installDayMenuJournal(MainWindow& main);

// How the journal shows the creation dialog (exec by default); tests fill the dialog in.
void setDayMenuDialogRunner(std::function<void(QDialog&)> run);

} // namespace rat::ui
