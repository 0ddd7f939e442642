// The stock documents (expense, receipt, write-off, order) in the document window: their header
// fields and line columns. The stock lines and confirmations arrive with the stock module.

#include "core/Database.h"
#include "core/Prompt.h"
#include "ui/DocumentKindsInternal.h"
#include "ui/DocumentWindow.h"

#include <QLocale>

namespace rat::ui {

namespace {

using Kind = HeaderField::Kind;

HeaderField supplierField(Database& db)
{
    HeaderField f = headerField(QStringLiteral("id_supplier"), QStringLiteral("Поставщик"), Kind::List, true);
    Statement st(db, QStringLiteral("SELECT id, sname FROM supplier ORDER BY sname, id"));
    while (st.next())
        f.items.push_back({st.toInt64(0), st.toString(1)});
    return f;
}

QString money(const QString& caption, const QString& currency)
{
    return caption + currency;
}

class StockKind : public DocumentKind {
public:
    explicit StockKind(int code) : code_(code) {}

    int code() const override { return code_; }

    QString caption() const override
    {
        switch (code_) {
        case docExpense: return QStringLiteral("Расход");
        case docReceipt: return QStringLiteral("Приход");
        case docWriteOff: return QStringLiteral("Списание");
        default: return QStringLiteral("Заказ");
        }
    }

    QString table() const override
    {
        switch (code_) {
        case docExpense: return QStringLiteral("expence_docum");
        case docReceipt: return QStringLiteral("receipt");
        case docWriteOff: return QStringLiteral("spisanie");
        default: return QStringLiteral("orders");
        }
    }

    std::vector<HeaderField> fields(Database& db) override
    {
        std::vector<HeaderField> out{numberField(QStringLiteral("№docum"), 20)};
        switch (code_) {
        case docExpense: out.push_back(dateField(QStringLiteral("ddate"))); break;
        case docReceipt: {
            out.push_back(dateField(QStringLiteral("rdate")));
            out.push_back(supplierField(db));
            HeaderField note;
            note.field = QStringLiteral("nomerNaklText");
            note.caption = QStringLiteral("№ накладной поставщика");
            note.limit = 255;
            out.push_back(note);
            break;
        }
        case docWriteOff: out.push_back(dateField(QStringLiteral("wdate"))); break;
        default: {
            out.push_back(dateField(QStringLiteral("odate")));
            out.push_back(supplierField(db));
            HeaderField delivered;
            delivered.field = QStringLiteral("status1");
            delivered.caption = QStringLiteral("Поставка по заказу");
            delivered.kind = Kind::Check;
            out.push_back(delivered);
            break;
        }
        }
        out.push_back(commentField());
        return out;
    }

    LineSet lines(Database& db, std::optional<qint64> id, bool) override
    {
        const QString cur = books::currencyShortName(db);
        LineSet set;
        const QString product = QStringLiteral("Продукт"), quantity = QStringLiteral("Количество"),
                      unit = QStringLiteral("Ед.изм."), store = QStringLiteral("Склад");
        const QString price = money(QStringLiteral("Цена, "), cur), sum = money(QStringLiteral("Сумма, "), cur);
        switch (code_) {
        case docExpense:
            set.captions = {product, quantity, unit, price, sum, QStringLiteral("Тип довольствующихся"),
                            QStringLiteral("№ поставки"), store};
            set.rightAligned = {1, 3, 4};
            break;
        case docReceipt:
            set.captions = {product, quantity, unit, price, QStringLiteral("Температура хранения, °C"),
                            QStringLiteral("Срок реализации"), sum, money(QStringLiteral("Сумма с НДС, "), cur), store};
            set.rightAligned = {1, 3, 4, 6, 7};
            break;
        case docWriteOff:
            set.captions = {product, quantity, unit, price, sum, QStringLiteral("Причина"), store};
            set.rightAligned = {1, 3, 4};
            break;
        default:
            set.captions = {product, quantity, unit, price, sum, store};
            set.rightAligned = {1, 3, 4};
            break;
        }
        // The header's sum as the stock module last stored it.
        double total = 0;
        if (id)
            total = db.scalar(QStringLiteral("SELECT [sum] FROM [") + table() + QStringLiteral("] WHERE id = ?1"), {*id})
                        .toDouble();
        if (set.rows.empty())
            set.totalLabel = QStringLiteral("Итого: 0 ") + cur;
        else
            set.totalLabel = QStringLiteral("Итого: ") +
                             QString::number(total, 'f', 2).replace(QLatin1Char('.'), QLocale().decimalPoint()) +
                             QLatin1Char(' ') + cur;
        return set;
    }

    bool hasLines(Database& db, qint64 id) override
    {
        QString sql;
        switch (code_) {
        case docExpense: sql = QStringLiteral("SELECT COUNT(*) FROM expense WHERE id_expence_docum = ?1"); break;
        case docReceipt: sql = QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_receipt = ?1"); break;
        case docWriteOff: sql = QStringLiteral("SELECT COUNT(*) FROM spisanie_point WHERE id_spisanie = ?1"); break;
        default: sql = QStringLiteral("SELECT COUNT(*) FROM order_point WHERE id_orders = ?1"); break;
        }
        return db.scalar(sql, {id}).toLongLong() > 0;
    }

    QString copyQuestion() const override
    {
        return QStringLiteral("У копируемого документа уже был заполнен список продуктов. Копировать список продуктов?");
    }

private:
    int code_;
};

} // namespace

std::unique_ptr<DocumentKind> makeStockKind(int code)
{
    return std::make_unique<StockKind>(code);
}

} // namespace rat::ui
