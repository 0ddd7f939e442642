// Printing a reference book from its list window; the seasonal-loss book by product.

#include "documents/BookPrint.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookList.h"

#include <set>

namespace rat::documents {

namespace {

const QString kSeasonQuestion = QStringLiteral(
    "Печатать справочник \"Сезонные проценты потерь\" по продуктам? \"Да\" - по всем, \"Нет\" - по выбранному, "
    "\"Отмена\" - не печатать.");

PrintedRow listRow(const books::BookList& list, int r)
{
    PrintedRow row;
    const QStringList& texts = list.rows[size_t(r)];
    for (int c = 0; c < list.columnCount(); ++c) {
        const QString text = texts.value(c);
        bool isNumber = false;
        const double n = QString(text).replace(u',', u'.').toDouble(&isNumber);
        if (text.isEmpty())
            row.cells.push_back(QVariant());
        else if (list.decimals[size_t(c)] >= 0 && isNumber)
            row.cells.push_back(n);
        else
            row.cells.push_back(text);
    }
    return row;
}

} // namespace

PrintedTable bookTable(const books::BookList& list, const std::vector<int>* rows)
{
    PrintedTable table;
    table.title = list.title;
    table.columns = list.captions;
    if (rows) {
        for (int r : *rows)
            if (r >= 0 && r < list.rowCount())
                table.rows.push_back(listRow(list, r));
    } else {
        for (int r = 0; r < list.rowCount(); ++r)
            table.rows.push_back(listRow(list, r));
    }
    return table;
}

QString PrintSeasonalLosses(Database& db, Prompt& prompt, std::optional<qint64> product)
{
    std::set<qint64> withPeriods;
    Statement q(db, QStringLiteral("SELECT DISTINCT id_PRODUCT FROM SEZON WHERE id_PRODUCT IS NOT NULL"));
    while (q.next())
        withPeriods.insert(q.toInt64(0));

    PrintedTable table;
    table.title = books::findBook(books::entrySeasonalLosses)->listTitle;
    table.columns << QStringLiteral("Продукт");
    bool captions = false;
    // Products in the order the product filter offers them (by name).
    for (const books::ListItem& item : books::parentItems(db, books::entrySeasonalLosses)) {
        const qint64 id = item.value.toLongLong();
        if (product ? id != *product : !withPeriods.count(id))
            continue;
        const books::BookList list = books::loadList(db, books::entrySeasonalLosses, id);
        if (!captions) {
            table.columns << list.captions;
            captions = true;
        }
        if (product)
            table.title += QStringLiteral(" (") + item.text + u')';
        for (int r = 0; r < list.rowCount(); ++r) {
            PrintedRow row = listRow(list, r);
            row.cells.insert(row.cells.begin(), item.text);
            table.rows.push_back(std::move(row));
        }
    }
    if (!captions)
        table.columns << books::loadList(db, books::entrySeasonalLosses, qint64(0)).captions;
    return PrintTable(db, prompt, table);
}

QString PrintBook(Database& db, Prompt& prompt, int entry, std::optional<qint64> parent)
{
    if (entry == books::entrySeasonalLosses) {
        switch (prompt.ask(kSeasonQuestion, Buttons::YesNoCancel, Answer::Yes)) {
        case Answer::Yes:
            return PrintSeasonalLosses(db, prompt, std::nullopt);
        case Answer::No:
            // Nothing is chosen only when the product book is empty: nothing to print then.
            return parent ? PrintSeasonalLosses(db, prompt, parent) : QString();
        default:
            return {};
        }
    }
    return PrintTable(db, prompt, bookTable(books::loadList(db, entry, parent)));
}

} // namespace rat::documents
