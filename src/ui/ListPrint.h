#pragma once
// The main menu's "Печать..." on a list window: its grid printed as shown (captions, cell texts,
// bold rows, red cells) through the printed-list form.

#include <QString>

class QTableView;

namespace rat {
class Database;
class Prompt;
}

namespace rat::ui {

QString printGrid(Database& db, Prompt& prompt, const QString& title, const QTableView& grid);

} // namespace rat::ui
