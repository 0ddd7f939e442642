#pragma once
// The printed stock documents: receipt, order, write-off and expense, filled into the templates
// "Приход", "Заказ", "Списание" and "Расход" (or a plain layout when the template is missing and
// the person agrees), with the total and the total in words.

#include "stock/StockDocuments.h"

#include <QDate>
#include <QString>
#include <vector>

namespace rat {
class Database;
class Prompt;
}

namespace rat::documents {

// One printed line. Write-off lines are joined per product, unit, price and reason, expense lines
// per product, unit and price (an expense issues one product from several lots and for several
// eater types, which the printed form does not show); receipt and order lines print one by one.
struct PrintedStockLine {
    QString product;
    QString unit;
    double quantity = 0;  // rounded by the product's rule
    double price = 0;
    QString reason;       // write-off
    double sum = 0;       // price × quantity
};
std::vector<PrintedStockLine> printedStockLines(Database& db, stock::StockKind kind, qint64 id);

QString stockTemplateName(stock::StockKind kind);    // "Приход", ...
QString stockDocumentGenitive(stock::StockKind kind); // "прихода", ...

// `PrintStockDocument`: refuses an empty document, asks "Печатать документ прихода в Excel?",
// builds the form in the printing frame and saves it as "Приход №5 от 01.03.2026". Returns the
// saved file's path, empty when nothing was saved.
QString PrintStockDocument(Database& db, Prompt& prompt, stock::StockKind kind, qint64 id);

} // namespace rat::documents
