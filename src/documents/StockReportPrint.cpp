// The forms of the stock reports: the turnover sheet, the accumulative ledgers (one column per day
// of the period) and the remnants on a date, each in its own template or, when the person agrees
// to go without it, in a plain layout with the same placeholders.

#include "documents/StockReports.h"
#include "documents/CellNames.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"

#include <map>

namespace rat::documents {

namespace {

QString dateText(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }

QString warehouseText(Database& db, std::optional<qint64> warehouse)
{
    if (!warehouse)
        return QStringLiteral("Все склады");
    return db.scalar(QStringLiteral("SELECT name FROM STORAGES WHERE IDSS = ?1"), {*warehouse}).toString().trimmed();
}

// The layout without a template: title lines, one header row, the line row of placeholders, the
// total row with "Итого" and the total placeholders under their columns, the storekeeper's line.
void plainLayout(XlsxTemplate& t, const QStringList& titles, const QStringList& heads, const QStringList& keys,
                 const std::map<int, QString>& totals)
{
    const int n = int(heads.size());
    t.setLandscape(n > 6);
    for (int c = 1; c <= n; ++c)
        t.setColumnWidth(c, c == 2 ? 30 : (c == 1 ? 5 : 11));
    t.setText(1, 1, QStringLiteral("{org}"));
    t.setStyle(CellRange::cell(1, 1), CellStyle().heavy());
    int r = 3;
    for (const QString& line : titles)
        t.setText(r++, 1, line);
    t.setStyle(CellRange::cell(3, 1), CellStyle().size(12).heavy());
    const int head = r + 1;
    for (int c = 1; c <= n; ++c) {
        t.setText(head, c, heads[c - 1]);
        t.setText(head + 1, c, keys[c - 1]);
    }
    t.setStyle(CellRange{head, 1, head, n}, CellStyle().heavy().borders().wrapped().align(QStringLiteral("center")));
    t.setStyle(CellRange{head + 1, 1, head + 2, n}, CellStyle().borders());
    t.setText(head + 2, 1, QStringLiteral("Итого"));
    t.setStyle(CellRange{head + 2, 1, head + 2, n}, CellStyle().heavy());
    t.setRowHeight(head, 40);  // room for the wrapped captions
    for (const auto& [col, key] : totals) {
        t.setText(head + 2, col, key);
        t.setStyle(CellRange{head + 1, col, head + 2, col}, CellStyle().format(QStringLiteral("0.00")));
    }
    t.setText(head + 2, n + 1, QStringLiteral("{currency}"));
    t.setText(head + 4, 2, QStringLiteral("Кладовщик ________ {keeper}"));
    t.setPrintTitleRows(head, head);
}

// The frame's first steps; nullopt when the person refused to print without the template.
std::optional<PrintFrame::Template> openReport(PrintFrame& frame, const QString& title, XlsxTemplate& t)
{
    frame.progress(0);
    const PrintFrame::Template opened = frame.openTemplate(title, t);
    if (opened == PrintFrame::Template::Refused)
        return std::nullopt;
    frame.progress(10);
    return opened;
}

void fillHeader(Database& db, XlsxTemplate& t, const std::map<QString, QString>& extra)
{
    const Organisation org = readOrganisation(db);
    std::map<QString, QString> texts{{QStringLiteral("org"), org.name},
                                     {QStringLiteral("keeper"), org.keeper},
                                     {QStringLiteral("accountant"), org.accountant},
                                     {QStringLiteral("currency"), books::currencyShortName(db)}};
    for (const auto& [k, v] : extra)
        texts[k] = v;
    for (const auto& [key, value] : texts)
        t.fill(key, CellValue::str(value));
}

// The column of a placeholder, 0 when the layout has none.
int columnOf(const XlsxTemplate& t, const QString& key)
{
    const auto at = t.find(QLatin1Char('{') + key + QLatin1Char('}'));
    return at ? at->second : 0;
}

// "{key}" of the total row: the sum of the column's lines as a formula (a plain 0 without lines).
void fillColumnTotal(XlsxTemplate& t, const QString& key, int column, int firstLine, int lines, double value)
{
    if (column > 0 && lines > 0)
        t.fill(key, CellValue::formulaNum(QStringLiteral("SUM(%1)").arg(rangeName(firstLine, column, firstLine + lines - 1, column)), value));
    else
        t.fill(key, CellValue::num(value));
}

// A figure of a line; a zero stays an empty cell, as on paper.
CellValue quantityCell(double q) { return q != 0 ? CellValue::num(q) : CellValue::empty(); }

} // namespace

bool checkReportPeriod(Database&, Prompt& prompt, const QDate& from, const QDate& to, int maxDays)
{
    if (!from.isValid() || !to.isValid() || from > to) {
        prompt.warning(QStringLiteral("Дата начала периода не может быть позже даты его окончания."));
        return false;
    }
    if (maxDays > 0 && from.daysTo(to) + 1 > maxDays) {
        prompt.warning(QStringLiteral("Период ведомости не может быть длиннее %1 дня.").arg(maxDays));
        return false;
    }
    return true;
}

QString PrintTurnoverSheet(Database& db, Prompt& prompt, const QDate& from, const QDate& to, std::optional<qint64> warehouse)
{
    if (!checkReportPeriod(db, prompt, from, to))
        return {};
    PrintFrame frame(prompt, PrintFamily::Document);
    XlsxTemplate t;
    const auto opened = openReport(frame, turnoverTitle(), t);
    if (!opened)
        return {};
    if (*opened == PrintFrame::Template::Blank)
        plainLayout(t, {turnoverTitle(), QStringLiteral("за период с {from} по {to}"), QStringLiteral("Склад: {warehouse}")},
                    {QStringLiteral("№"), QStringLiteral("Наименование продукта"), QStringLiteral("Ед. изм."),
                     QStringLiteral("Остаток на {from}, количество"), QStringLiteral("Остаток на {from}, сумма"),
                     QStringLiteral("Приход, количество"), QStringLiteral("Приход, сумма"),
                     QStringLiteral("Расход и списание, количество"), QStringLiteral("Расход и списание, сумма"),
                     QStringLiteral("Остаток на {to}, количество"), QStringLiteral("Остаток на {to}, сумма")},
                    {QStringLiteral("{no}"), QStringLiteral("{name}"), QStringLiteral("{unit}"), QStringLiteral("{oq}"),
                     QStringLiteral("{os}"), QStringLiteral("{iq}"), QStringLiteral("{is}"), QStringLiteral("{xq}"),
                     QStringLiteral("{xs}"), QStringLiteral("{cq}"), QStringLiteral("{cs}")},
                    {{5, QStringLiteral("{tos}")}, {7, QStringLiteral("{tis}")}, {9, QStringLiteral("{txs}")},
                     {11, QStringLiteral("{tcs}")}});

    const std::vector<TurnoverRow> rows = turnoverRows(db, from, to, warehouse);
    frame.progress(15);
    fillHeader(db, t, {{QStringLiteral("from"), dateText(from)}, {QStringLiteral("to"), dateText(to)},
                       {QStringLiteral("warehouse"), warehouseText(db, warehouse)}});
    const int row = t.findRow(QStringLiteral("{name}"));
    const int n = int(rows.size());
    double totals[4] = {0, 0, 0, 0};
    const QString sumKeys[4] = {QStringLiteral("os"), QStringLiteral("is"), QStringLiteral("xs"), QStringLiteral("cs")};
    int sumColumns[4] = {0, 0, 0, 0};
    for (int k = 0; k < 4; ++k)
        sumColumns[k] = columnOf(t, sumKeys[k]);
    const int nameColumn = columnOf(t, QStringLiteral("name"));
    if (row > 0) {
        t.repeatRows(row, 1, n);
        for (int i = 0; i < n; ++i) {
            const TurnoverRow& r = rows[size_t(i)];
            if (nameColumn > 0)
                t.fitRowToText(row + i, nameColumn, r.name);
            t.fillRow(row + i, {{QStringLiteral("no"), CellValue::num(i + 1)},
                                {QStringLiteral("name"), CellValue::str(r.name)},
                                {QStringLiteral("unit"), CellValue::str(r.unit)},
                                {QStringLiteral("oq"), quantityCell(r.openingQuantity)},
                                {QStringLiteral("os"), quantityCell(r.openingSum)},
                                {QStringLiteral("iq"), quantityCell(r.receivedQuantity)},
                                {QStringLiteral("is"), quantityCell(r.receivedSum)},
                                {QStringLiteral("xq"), quantityCell(r.issuedQuantity)},
                                {QStringLiteral("xs"), quantityCell(r.issuedSum)},
                                {QStringLiteral("cq"), quantityCell(r.closingQuantity)},
                                {QStringLiteral("cs"), quantityCell(r.closingSum)}});
            totals[0] += r.openingSum;
            totals[1] += r.receivedSum;
            totals[2] += r.issuedSum;
            totals[3] += r.closingSum;
        }
    }
    frame.progress(80);
    const QString totalKeys[4] = {QStringLiteral("tos"), QStringLiteral("tis"), QStringLiteral("txs"), QStringLiteral("tcs")};
    for (int k = 0; k < 4; ++k)
        fillColumnTotal(t, totalKeys[k], sumColumns[k], row, n, totals[k]);
    t.clearPlaceholders();
    frame.progress(95);
    return frame.finish(t, turnoverTitle() + QStringLiteral(" с ") + dateText(from) + QStringLiteral(" по ") + dateText(to));
}

QString PrintLedger(Database& db, Prompt& prompt, LedgerKind kind, const QDate& from, const QDate& to)
{
    if (!checkReportPeriod(db, prompt, from, to, kLedgerMaxDays))
        return {};
    const QString title = ledgerTitle(kind);
    PrintFrame frame(prompt, PrintFamily::Document);
    XlsxTemplate t;
    const auto opened = openReport(frame, title, t);
    if (!opened)
        return {};
    if (*opened == PrintFrame::Template::Blank)
        plainLayout(t, {title, QStringLiteral("за период с {from} по {to}")},
                    {QStringLiteral("№"), QStringLiteral("Наименование продукта"), QStringLiteral("Ед. изм."),
                     QStringLiteral("{day}"), QStringLiteral("Всего количество"), QStringLiteral("Цена"),
                     QStringLiteral("Сумма")},
                    {QStringLiteral("{no}"), QStringLiteral("{name}"), QStringLiteral("{unit}"), QStringLiteral("{q}"),
                     QStringLiteral("{total}"), QStringLiteral("{price}"), QStringLiteral("{sum}")},
                    {{7, QStringLiteral("{tsum}")}});

    const std::vector<LedgerRow> rows = ledgerRows(db, kind, from, to);
    frame.progress(15);
    fillHeader(db, t, {{QStringLiteral("from"), dateText(from)}, {QStringLiteral("to"), dateText(to)}});
    const int days = int(from.daysTo(to)) + 1;
    const int row = t.findRow(QStringLiteral("{name}"));
    const auto dayHead = t.find(QStringLiteral("{day}"));
    const int dayColumn = columnOf(t, QStringLiteral("q"));
    // One column per day of the period: its header is the day and month.
    if (dayHead && dayColumn == dayHead->second && row > dayHead->first) {
        t.repeatColumns(dayColumn, 1, days, dayHead->first, row);
        for (int i = 0; i < days; ++i)
            t.setText(dayHead->first, dayColumn + i, from.addDays(i).toString(QStringLiteral("dd.MM")));
    }
    const int totalColumn = columnOf(t, QStringLiteral("total"));
    const int priceColumn = columnOf(t, QStringLiteral("price"));
    const int sumColumn = columnOf(t, QStringLiteral("sum"));
    const int nameColumn = columnOf(t, QStringLiteral("name"));
    const int n = int(rows.size());
    double total = 0;
    if (row > 0) {
        t.repeatRows(row, 1, n);
        for (int i = 0; i < n; ++i) {
            const LedgerRow& r = rows[size_t(i)];
            const int at = row + i;
            if (dayColumn > 0)
                for (int d = 0; d < days; ++d)
                    t.set(at, dayColumn + d, quantityCell(r.days[size_t(d)]));
            const CellValue totalCell =
                dayColumn > 0 ? CellValue::formulaNum(QStringLiteral("SUM(%1)").arg(rangeName(at, dayColumn, at, dayColumn + days - 1)), r.total)
                              : CellValue::num(r.total);
            const CellValue sumCell =
                totalColumn > 0 && priceColumn > 0
                    ? CellValue::formulaNum(QStringLiteral("ROUND(%1*%2,2)").arg(cellName(at, totalColumn), cellName(at, priceColumn)), r.sum)
                    : CellValue::num(r.sum);
            if (nameColumn > 0)
                t.fitRowToText(at, nameColumn, r.name);
            t.fillRow(at, {{QStringLiteral("no"), CellValue::num(i + 1)},
                           {QStringLiteral("name"), CellValue::str(r.name)},
                           {QStringLiteral("unit"), CellValue::str(r.unit)},
                           {QStringLiteral("total"), totalCell},
                           {QStringLiteral("price"), CellValue::num(r.price)},
                           {QStringLiteral("sum"), sumCell}});
            total += r.sum;
        }
        // A price per gram or per piece may need more than kopecks to show what the sum took.
        if (priceColumn > 0 && n > 0)
            t.setStyle(CellRange{row, priceColumn, row + n - 1, priceColumn}, CellStyle().format(QStringLiteral("0.00##")));
    }
    frame.progress(80);
    fillColumnTotal(t, QStringLiteral("tsum"), sumColumn, row, n, total);
    t.clearPlaceholders();
    frame.progress(95);
    return frame.finish(t, title + QStringLiteral(" с ") + dateText(from) + QStringLiteral(" по ") + dateText(to));
}

QString PrintRemnantsOnDate(Database& db, Prompt& prompt, const QDate& date, std::optional<qint64> warehouse)
{
    if (!checkReportPeriod(db, prompt, date, date))
        return {};
    PrintFrame frame(prompt, PrintFamily::Document);
    XlsxTemplate t;
    const auto opened = openReport(frame, remnantsTitle(), t);
    if (!opened)
        return {};
    if (*opened == PrintFrame::Template::Blank)
        plainLayout(t, {QStringLiteral("Остатки продуктов на {date}"), QStringLiteral("Склад: {warehouse}")},
                    {QStringLiteral("№"), QStringLiteral("Наименование продукта"), QStringLiteral("Ед. изм."),
                     QStringLiteral("Количество"), QStringLiteral("Цена"), QStringLiteral("Сумма")},
                    {QStringLiteral("{no}"), QStringLiteral("{name}"), QStringLiteral("{unit}"),
                     QStringLiteral("{quantity}"), QStringLiteral("{price}"), QStringLiteral("{sum}")},
                    {{6, QStringLiteral("{total}")}});
    const std::vector<RemnantReportRow> rows = remnantReportRows(db, date, warehouse);
    frame.progress(15);
    fillHeader(db, t, {{QStringLiteral("date"), dateText(date)}, {QStringLiteral("warehouse"), warehouseText(db, warehouse)}});
    const int row = t.findRow(QStringLiteral("{name}"));
    const int sumColumn = columnOf(t, QStringLiteral("sum"));
    const int n = int(rows.size());
    double total = 0;
    const int nameColumn = columnOf(t, QStringLiteral("name"));
    if (row > 0) {
        t.repeatRows(row, 1, n);
        for (int i = 0; i < n; ++i) {
            const RemnantReportRow& r = rows[size_t(i)];
            if (nameColumn > 0)
                t.fitRowToText(row + i, nameColumn, r.name);
            t.fillRow(row + i, {{QStringLiteral("no"), CellValue::num(i + 1)},
                                {QStringLiteral("name"), CellValue::str(r.name)},
                                {QStringLiteral("unit"), CellValue::str(r.unit)},
                                {QStringLiteral("quantity"), CellValue::num(r.quantity)},
                                {QStringLiteral("price"), CellValue::num(r.price)},
                                {QStringLiteral("sum"), CellValue::num(r.sum)}});
            total += r.sum;
        }
    }
    frame.progress(80);
    fillColumnTotal(t, QStringLiteral("total"), sumColumn, row, n, total);
    t.clearPlaceholders();
    frame.progress(95);
    return frame.finish(t, QStringLiteral("Остатки продуктов на ") + dateText(date));
}

} // namespace rat::documents
