#pragma once
// A list printed as it is shown: a title, a header row and the rows with their bold lines and red
// cells, filled into the template "Список" (its header cell and its row cell repeated across
// and down). The printed analyses and the "Печать" command of an active list use it.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

struct PrintedRow {
    std::vector<QVariant> cells;  // numbers as doubles, texts as strings, null empty
    bool bold = false;
    std::vector<int> redCells;
};

struct PrintedTable {
    QString title;
    QStringList columns;
    std::vector<PrintedRow> rows;
};

// Prints the table (a plain layout when the template is missing and the person agrees) and
// saves it as FileNameText(title). Returns the saved path, empty when nothing was saved.
QString PrintTable(Database& db, Prompt& prompt, const PrintedTable& table);

} // namespace rat::documents
