// Printing the stock documents.

#include "documents/StockDocumentPrint.h"
#include "documents/AmountInWords.h"
#include "documents/CellNames.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include "core/AppState.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "stock/MenuRequirement.h"

#include <cmath>
#include <map>
#include <tuple>

namespace rat::documents {

using stock::StockKind;

QString stockTemplateName(StockKind kind)
{
    switch (kind) {
    case StockKind::Receipt: return QStringLiteral("Приход");
    case StockKind::Order: return QStringLiteral("Заказ");
    case StockKind::WriteOff: return QStringLiteral("Списание");
    case StockKind::Expense: return QStringLiteral("Расход");
    }
    return {};
}

QString stockDocumentGenitive(StockKind kind)
{
    switch (kind) {
    case StockKind::Receipt: return QStringLiteral("прихода");
    case StockKind::Order: return QStringLiteral("заказа");
    case StockKind::WriteOff: return QStringLiteral("списания");
    case StockKind::Expense: return QStringLiteral("расхода");
    }
    return {};
}

std::vector<PrintedStockLine> printedStockLines(Database& db, StockKind kind, qint64 id)
{
    const std::vector<stock::StockLineRow> rows = stock::documentLines(db, kind, id);
    std::map<qint64, int> decimals;
    {
        Statement st(db, QStringLiteral("SELECT id, rule_okr FROM products"));
        while (st.next())
            decimals[st.toInt64(0)] = stock::quantityDecimals(st.value(1));
    }
    auto rounded = [&](qint64 product, double q) {
        const auto it = decimals.find(product);
        return RoundQuantity(q, it == decimals.end() ? 3 : it->second);
    };
    std::vector<PrintedStockLine> out;
    const bool grouped = kind == StockKind::WriteOff || kind == StockKind::Expense;
    std::map<std::tuple<qint64, QString, qint64, QString>, size_t> at;
    std::vector<qint64> productOf;
    for (const stock::StockLineRow& r : rows) {
        if (grouped) {
            // Prices compared in ten-thousandths, as money is kept.
            const auto key = std::make_tuple(r.productId, r.unit, std::llround(r.price * 10000),
                                             kind == StockKind::WriteOff ? r.reason : QString());
            if (const auto it = at.find(key); it != at.end()) {
                out[it->second].quantity += r.quantity;
                continue;
            }
            at[key] = out.size();
        }
        PrintedStockLine l;
        l.product = r.product;
        l.unit = r.unit;
        l.quantity = r.quantity;
        l.price = r.price;
        l.reason = r.reason;
        out.push_back(l);
        productOf.push_back(r.productId);
    }
    for (size_t i = 0; i < out.size(); ++i) {
        out[i].quantity = rounded(productOf[i], out[i].quantity);
        out[i].sum = out[i].price * out[i].quantity;
    }
    return out;
}

namespace {

// The plain layout used without a template: the same placeholders as the shipped templates.
void plainLayout(XlsxTemplate& t, StockKind kind, const QString& title, const QStringList& headerLines,
                 const std::vector<std::pair<QString, QString>>& signatures)
{
    const bool reason = kind == StockKind::WriteOff;
    QStringList heads{QStringLiteral("№"), QStringLiteral("Наименование продукта"), QStringLiteral("Ед. изм."),
                      QStringLiteral("Количество"), QStringLiteral("Цена"), QStringLiteral("Сумма")};
    QStringList keys{QStringLiteral("{no}"), QStringLiteral("{name}"), QStringLiteral("{unit}"),
                     QStringLiteral("{quantity}"), QStringLiteral("{price}"), QStringLiteral("{sum}")};
    if (reason) {
        heads.insert(5, QStringLiteral("Причина списания"));
        keys.insert(5, QStringLiteral("{reason}"));
    }
    const int n = int(heads.size());
    const double widths[] = {5, 36, 8, 11, 11, 22, 13};
    for (int c = 1; c <= n; ++c)
        t.setColumnWidth(c, c <= 5 ? widths[c - 1] : (reason && c == 6 ? 22 : 13));
    t.setText(1, 1, QStringLiteral("{org}"));
    t.setStyle(CellRange::cell(1, 1), CellStyle().heavy());
    t.setText(2, 1, QStringLiteral("ОКПО {okpo}"));
    t.setText(2, n - 2, QStringLiteral("Заведующий ________ {director}"));
    t.setText(4, 1, title);
    t.setStyle(CellRange::cell(4, 1), CellStyle().size(12).heavy());
    int r = 5;
    for (const QString& line : headerLines)
        t.setText(r++, 1, line);
    const int head = r + 1;
    for (int c = 1; c <= n; ++c) {
        t.setText(head, c, heads[c - 1]);
        t.setText(head + 1, c, keys[c - 1]);
    }
    t.setStyle(CellRange{head, 1, head, n}, CellStyle().heavy().borders().wrapped().align(QStringLiteral("center")));
    t.setStyle(CellRange{head + 1, 1, head + 1, n}, CellStyle().borders());
    t.setStyle(CellRange{head + 1, n - 1, head + 1, n}, CellStyle().format(QStringLiteral("0.00")));
    t.setText(head + 2, n - 1, QStringLiteral("Итого:"));
    t.setText(head + 2, n, QStringLiteral("{total}"));
    t.setText(head + 2, n + 1, QStringLiteral("{currency}"));
    t.setStyle(CellRange{head + 2, n - 1, head + 2, n}, CellStyle().heavy().format(QStringLiteral("0.00")));
    t.setText(head + 4, 1, QStringLiteral("Сумма прописью: {words}"));
    r = head + 6;
    for (const auto& [role, key] : signatures) {
        t.setText(r, 1, role);
        t.setText(r, 3, QStringLiteral("________"));
        t.setText(r, 5, key);
        r += 2;
    }
    t.setPrintTitleRows(head, head);
}

} // namespace

QString PrintStockDocument(Database& db, Prompt& prompt, StockKind kind, qint64 id)
{
    const std::optional<stock::StockDocumentHeader> header = stock::readStockDocument(db, kind, id);
    const std::vector<PrintedStockLine> lines = header ? printedStockLines(db, kind, id) : std::vector<PrintedStockLine>{};
    if (lines.empty()) {
        prompt.warning(QStringLiteral("Печать невозможна, так как не заполнен документ. Сначала заполните документ "
                                      "информацией, а потом повторите оперцию."));
        return {};
    }
    if (prompt.ask(QStringLiteral("Печатать документ ") + stockDocumentGenitive(kind) + QStringLiteral(" в Excel?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return {};

    PrintFrame frame(prompt, PrintFamily::Document);
    frame.progress(0);
    XlsxTemplate t;
    const PrintFrame::Template opened = frame.openTemplate(stockTemplateName(kind), t);
    if (opened == PrintFrame::Template::Refused)
        return {};
    frame.progress(10);

    const Organisation org = readOrganisation(db);
    const QString date = header->date.toString(QStringLiteral("dd.MM.yyyy"));
    const QString currency = books::currencyShortName(db);
    if (opened == PrintFrame::Template::Blank) {
        QString title;
        QStringList extra;
        std::vector<std::pair<QString, QString>> signatures;
        switch (kind) {
        case StockKind::Receipt:
            title = QStringLiteral("Приходная накладная № {number} от {date}");
            extra = {QStringLiteral("Поставщик: {supplier}"), QStringLiteral("Накладная поставщика: {note}")};
            signatures = {{QStringLiteral("Принял (кладовщик)"), QStringLiteral("{keeper}")},
                          {QStringLiteral("Материально ответственное лицо"), QStringLiteral("{mol}")}};
            break;
        case StockKind::Order:
            title = QStringLiteral("Заказ № {number} от {date}");
            extra = {QStringLiteral("Поставщик: {supplier}")};
            signatures = {{QStringLiteral("Заведующий"), QStringLiteral("{director}")},
                          {QStringLiteral("Кладовщик"), QStringLiteral("{keeper}")}};
            break;
        case StockKind::WriteOff:
            title = QStringLiteral("Акт списания продуктов № {number} от {date}");
            signatures = {{QStringLiteral("Заведующий"), QStringLiteral("{director}")},
                          {QStringLiteral("Материально ответственное лицо"), QStringLiteral("{mol}")},
                          {QStringLiteral("Бухгалтер"), QStringLiteral("{accountant}")}};
            break;
        case StockKind::Expense:
            title = QStringLiteral("Накладная на отпуск продуктов № {number} от {date}");
            signatures = {{QStringLiteral("Отпустил (кладовщик)"), QStringLiteral("{keeper}")},
                          {QStringLiteral("Получил (повар)"), QStringLiteral("{cook}")}};
            break;
        }
        extra << QStringLiteral("Примечание: {comment}");
        plainLayout(t, kind, title, extra, signatures);
    }

    QString supplier;
    if (header->supplierId)
        supplier = db.scalar(QStringLiteral("SELECT sname FROM supplier WHERE id = ?1"), {*header->supplierId})
                       .toString().trimmed();
    const std::map<QString, QString> texts{
        {QStringLiteral("org"), org.name}, {QStringLiteral("okpo"), org.okpo},
        {QStringLiteral("director"), org.director}, {QStringLiteral("keeper"), org.keeper},
        {QStringLiteral("accountant"), org.accountant}, {QStringLiteral("cook"), org.cook},
        {QStringLiteral("nurse"), org.nurse}, {QStringLiteral("mol"), org.responsible},
        {QStringLiteral("number"), header->number}, {QStringLiteral("date"), date},
        {QStringLiteral("supplier"), supplier}, {QStringLiteral("note"), header->deliveryNote},
        {QStringLiteral("comment"), header->comment}, {QStringLiteral("currency"), currency}};
    for (const auto& [key, value] : texts)
        t.fill(key, CellValue::str(value));

    // The line block: one template row repeated per line; the sum is the row's quantity times price.
    const int row = t.findRow(QStringLiteral("{name}"));
    double total = 0;
    int sumColumn = 0;
    if (row > 0) {
        const int quantityColumn = t.find(QStringLiteral("{quantity}")) ? t.find(QStringLiteral("{quantity}"))->second : 0;
        const int nameColumn = t.find(QStringLiteral("{name}")) ? t.find(QStringLiteral("{name}"))->second : 0;
        const int priceColumn = t.find(QStringLiteral("{price}")) ? t.find(QStringLiteral("{price}"))->second : 0;
        if (const auto s = t.find(QStringLiteral("{sum}")); s && s->first == row)
            sumColumn = s->second;
        t.repeatRows(row, 1, int(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i) {
            const PrintedStockLine& l = lines[i];
            const int r = row + int(i);
            const CellValue sum = quantityColumn && priceColumn
                                      ? CellValue::formulaNum(cellName(r, quantityColumn) + u'*' + cellName(r, priceColumn), l.sum)
                                      : CellValue::num(l.sum);
            if (nameColumn > 0)
                t.fitRowToText(r, nameColumn, l.product);
            t.fillRow(r, {{QStringLiteral("no"), CellValue::num(double(i + 1))},
                          {QStringLiteral("name"), CellValue::str(l.product)},
                          {QStringLiteral("unit"), CellValue::str(l.unit)},
                          {QStringLiteral("quantity"), CellValue::num(l.quantity)},
                          {QStringLiteral("price"), CellValue::num(l.price)},
                          {QStringLiteral("reason"), CellValue::str(l.reason)},
                          {QStringLiteral("sum"), sum}});
            total += l.sum;
        }
    }
    frame.progress(80);
    const double factor = std::pow(10.0, app().roundingDigits);
    const double shownTotal = std::round(total * factor) / factor;
    if (sumColumn > 0)
        t.fill(QStringLiteral("total"),
               CellValue::formulaNum(QStringLiteral("SUM(%1)").arg(rangeName(row, sumColumn, row + int(lines.size()) - 1, sumColumn)), total));
    else
        t.fill(QStringLiteral("total"), CellValue::num(total));
    t.fill(QStringLiteral("words"), CellValue::str(AmountInWords(shownTotal, false, currency)));
    t.clearPlaceholders();
    frame.progress(95);
    return frame.finish(t, stockTemplateName(kind) + QStringLiteral(" №") + header->number + QStringLiteral(" от ") + date);
}

} // namespace rat::documents
