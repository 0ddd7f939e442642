// The stock documents in the document window (expense, receipt, write-off, order): their header
// fields, their lines with the line columns of each kind, the line editors, the total and the
// confirmation. What the lines mean and how they are checked is the stock module's.

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "documents/StockDocumentPrint.h"
#include "stock/StockDocuments.h"
#include "ui/DocumentKindsInternal.h"
#include "ui/DocumentWindow.h"
#include "ui/StockLineEditors.h"

#include <QLocale>
#include <algorithm>

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

QString number(double v, int decimals)
{
    QString s = QString::number(v, 'f', decimals);
    if (s.contains(QLatin1Char('.')) && decimals > 2) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString quantityText(double v)
{
    return number(v, 4);
}

QString moneyText(double v)
{
    return number(v, 2);
}

class StockKind : public DocumentKind {
public:
    explicit StockKind(int code) : code_(code), kind_(stock::StockKind(code)) {}

    int code() const override { return code_; }

    QString caption() const override
    {
        switch (kind_) {
        case stock::StockKind::Expense: return QStringLiteral("Расход");
        case stock::StockKind::Receipt: return QStringLiteral("Приход");
        case stock::StockKind::WriteOff: return QStringLiteral("Списание");
        default: return QStringLiteral("Заказ");
        }
    }

    QString table() const override { return stock::documentTable(kind_); }

    std::vector<HeaderField> fields(Database& db) override
    {
        std::vector<HeaderField> out{numberField(QStringLiteral("№docum"), 20), dateField(stock::dateColumn(kind_))};
        switch (kind_) {
        case stock::StockKind::Receipt: {
            out.push_back(supplierField(db));
            HeaderField note;
            note.field = QStringLiteral("nomerNaklText");
            note.caption = QStringLiteral("№ накладной поставщика");
            note.limit = 255;
            out.push_back(note);
            break;
        }
        case stock::StockKind::Order: {
            out.push_back(supplierField(db));
            HeaderField delivered;
            delivered.field = QStringLiteral("status1");
            delivered.caption = QStringLiteral("Поставка по заказу");
            delivered.kind = Kind::Check;
            out.push_back(delivered);
            break;
        }
        default: break;
        }
        out.push_back(commentField());
        return out;
    }

    LineSet lines(Database& db, std::optional<qint64> id, bool preview) override
    {
        const QString cur = books::currencyShortName(db);
        LineSet set;
        const QString product = QStringLiteral("Продукт"), quantity = QStringLiteral("Количество"),
                      unit = QStringLiteral("Ед.изм."), store = QStringLiteral("Склад");
        const QString price = QStringLiteral("Цена, ") + cur, sum = QStringLiteral("Сумма, ") + cur;
        switch (kind_) {
        case stock::StockKind::Expense:
            set.captions = {product, quantity, unit, price, sum, QStringLiteral("Тип довольствующихся"),
                            QStringLiteral("№ поставки"), store};
            set.rightAligned = {1, 3, 4};
            break;
        case stock::StockKind::Receipt:
            set.captions = {product, quantity, unit, price, QStringLiteral("Температура хранения, °C"),
                            QStringLiteral("Срок реализации"), sum, QStringLiteral("Сумма с НДС, ") + cur, store};
            set.rightAligned = {1, 3, 4, 6, 7};
            break;
        case stock::StockKind::WriteOff:
            set.captions = {product, quantity, unit, price, sum, QStringLiteral("Причина"), store};
            set.rightAligned = {1, 3, 4};
            break;
        default:
            set.captions = {product, quantity, unit, price, sum, store};
            set.rightAligned = {1, 3, 4};
            break;
        }
        set.entryColumn = 1;
        set.hint = QStringLiteral("Дважды щелкните по строке, чтобы изменить ее");
        ids_.clear();
        double total = 0;
        if (id) {
            for (const stock::StockLineRow& r : stock::documentLines(db, kind_, *id)) {
                ids_.push_back(r.lineId);
                const QString q = quantityText(r.quantity), p = moneyText(r.price), s = moneyText(r.sum);
                switch (kind_) {
                case stock::StockKind::Expense:
                    set.rows.push_back({r.product, q, r.unit, p, s, r.eaterType, r.delivery, r.warehouse});
                    break;
                case stock::StockKind::Receipt:
                    set.rows.push_back({r.product, q, r.unit, p, quantityText(r.temperature),
                                        r.sellBy.toString(QStringLiteral("dd.MM.yyyy")), s, moneyText(r.sumWithVat),
                                        r.warehouse});
                    break;
                case stock::StockKind::WriteOff:
                    set.rows.push_back({r.product, q, r.unit, p, s, r.reason, r.warehouse});
                    break;
                default: set.rows.push_back({r.product, q, r.unit, p, s, r.warehouse}); break;
                }
            }
            // A saved document's total follows its lines; a preview of a copy only reads it.
            total = preview ? db.scalar(QStringLiteral("SELECT [sum] FROM [") + table() +
                                            QStringLiteral("] WHERE id = ?1"),
                                        {*id})
                                  .toDouble()
                            : stock::documentSum(db, kind_, *id);
        }
        if (set.rows.empty())
            set.totalLabel = QStringLiteral("Итого: 0 ") + cur;
        else
            set.totalLabel = QStringLiteral("Итого: ") + moneyText(total) + QLatin1Char(' ') + cur;
        return set;
    }

    bool hasLines(Database& db, qint64 id) override
    {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM [") + stock::lineTable(kind_) +
                             QStringLiteral("] WHERE [") + stock::documentKey(kind_) + QStringLiteral("] = ?1"),
                         {id})
                   .toLongLong() > 0;
    }

    QString copyQuestion() const override
    {
        return QStringLiteral("У копируемого документа уже был заполнен список продуктов. Копировать список продуктов?");
    }

    void copyLines(Database& db, qint64 sourceId, qint64 targetId) override
    {
        Transaction tx(db);
        switch (kind_) {
        case stock::StockKind::Expense:
            db.exec(QStringLiteral("INSERT INTO expense (id_storage, quantity, id_expence_docum, id_type_eating) "
                                   "SELECT id_storage, quantity, ?1, id_type_eating FROM expense "
                                   "WHERE id_expence_docum = ?2 ORDER BY id"),
                    {targetId, sourceId});
            break;
        case stock::StockKind::Receipt:
            db.exec(QStringLiteral("INSERT INTO storage (id_product, quantity, date_realization, id_receipt, cost, "
                                   "id_ed_izmer, nds, status, IDSS, sum_NDS, OrgOc, tempHr) "
                                   "SELECT id_product, quantity, date_realization, ?1, cost, id_ed_izmer, nds, 0, IDSS, "
                                   "sum_NDS, OrgOc, tempHr FROM storage WHERE id_receipt = ?2 ORDER BY id"),
                    {targetId, sourceId});
            break;
        case stock::StockKind::WriteOff:
            db.exec(QStringLiteral("INSERT INTO spisanie_point (id_spisanie, id_storage, quantity, why) "
                                   "SELECT ?1, id_storage, quantity, why FROM spisanie_point "
                                   "WHERE id_spisanie = ?2 ORDER BY id"),
                    {targetId, sourceId});
            break;
        default:
            db.exec(QStringLiteral("INSERT INTO order_point (id_product, id_orders, id_ed_izmer, cost, quantity1, IDSS) "
                                   "SELECT id_product, ?1, id_ed_izmer, cost, quantity1, IDSS FROM order_point "
                                   "WHERE id_orders = ?2 ORDER BY id"),
                    {targetId, sourceId});
            break;
        }
        stock::documentSum(db, kind_, targetId);
        tx.commit();
    }

    bool addLine(DocumentWindow& w) override { return runEditor(w, std::nullopt, false); }

    bool editLine(DocumentWindow& w, int row) override
    {
        return row >= 0 && row < int(ids_.size()) && runEditor(w, ids_[size_t(row)], false);
    }

    bool copyLine(DocumentWindow& w, int row) override
    {
        return row >= 0 && row < int(ids_.size()) && runEditor(w, ids_[size_t(row)], true);
    }

    bool deleteLines(DocumentWindow& w, const std::vector<int>& rows) override
    {
        std::vector<qint64> ids;
        for (int r : rows)
            if (r >= 0 && r < int(ids_.size()))
                ids.push_back(ids_[size_t(r)]);
        Database& db = w.database();
        const qint64 doc = *w.documentId();
        return deleteLinesAsked(w.prompt(), int(ids.size()),
                                [&] { deleteStockLines(db, w.prompt(), kind_, doc, ids); }) > 0;
    }

    bool deleteAllLines(DocumentWindow& w) override
    {
        if (ids_.empty())
            return false;
        if (w.prompt().ask(QStringLiteral("Удалить все строки?"), Buttons::YesNo, Answer::No) != Answer::Yes)
            return false;
        deleteStockLines(w.database(), w.prompt(), kind_, *w.documentId(), ids_);
        return true;
    }

    bool canPrint() const override { return true; }

    void print(DocumentWindow& w) override
    {
        // A document never saved has no lines to print: the print says so.
        documents::PrintStockDocument(w.database(), w.prompt(), kind_, w.documentId().value_or(0));
    }

    bool confirm(DocumentWindow& w) override
    {
        return stock::confirmStockDocument(w.database(), w.prompt(), kind_, *w.documentId()) !=
               stock::StockConfirm::Returned;
    }

private:
    bool runEditor(DocumentWindow& w, std::optional<qint64> lineId, bool copy)
    {
        QDate date = w.values().value(stock::dateColumn(kind_)).toDate();
        if (!date.isValid())
            date = Clock::today();
        StockLineContext c{&w, &w.database(), &w.prompt(), w.showDialog};
        return editStockLine(c, kind_, *w.documentId(), date, lineId, copy).has_value();
    }

    int code_;
    stock::StockKind kind_;
    std::vector<qint64> ids_;  // line keys by grid row
};

} // namespace

std::unique_ptr<DocumentKind> makeStockKind(int code)
{
    return std::make_unique<StockKind>(code);
}

} // namespace rat::ui
