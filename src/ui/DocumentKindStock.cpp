// The stock documents (expense, receipt, write-off, order) and the product norm in the document
// window: their header fields and line columns. The stock lines and confirmations arrive with
// the stock module; a norm's meal split is read, copied and deleted here.

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

// A product norm: one norms row with its split over meals (NORMS_POINT).
class NormKind : public DocumentKind {
public:
    int code() const override { return docNorm; }
    QString caption() const override { return QStringLiteral("Нормы питания"); }
    QString table() const override { return QStringLiteral("norms"); }
    QString noun() const override { return QStringLiteral("норму"); }

    std::vector<HeaderField> fields(Database& db) override
    {
        HeaderField type =
            headerField(QStringLiteral("id_type_eating"), QStringLiteral("Тип довольствующихся"), Kind::List, true);
        type.source = books::ListSource::EaterTypes;
        HeaderField group = headerField(QStringLiteral("gname"), QStringLiteral("Группа продуктов"), Kind::List);
        group.editable = true;
        group.limit = 255;
        Statement st(db, QStringLiteral("SELECT DISTINCT gname FROM norms WHERE gname IS NOT NULL ORDER BY gname"));
        while (st.next())
            group.items.push_back({st.toString(0), st.toString(0)});
        const HeaderField norm =
            headerField(QStringLiteral("norm"), QStringLiteral("Норма по группе продуктов"), Kind::Number, true);
        HeaderField product = headerField(QStringLiteral("id_product"), QStringLiteral("Продукт"), Kind::List, true);
        product.source = books::ListSource::Products;
        return {type, group, norm, product};
    }

    LineSet lines(Database& db, std::optional<qint64> id, bool) override
    {
        LineSet set;
        set.captions = {QStringLiteral("Прием пищи"), QStringLiteral("Норма по приему пищи")};
        set.rightAligned = {1};
        ids_.clear();
        double total = 0;
        if (id) {
            Statement st(db, QStringLiteral("SELECT p.IDNP, e.ename, p.kol FROM NORMS_POINT p "
                                            "LEFT JOIN eating e ON e.id = p.id_eating WHERE p.id_norms = ?1 "
                                            "ORDER BY p.id_eating, p.IDNP"));
            st.bind(1, *id);
            while (st.next()) {
                ids_.push_back(st.toInt64(0));
                set.rows.push_back({st.toString(1), QLocale().toString(st.toDouble(2), 'g', 12)});
                total += st.toDouble(2);
            }
        }
        set.totalLabel = QStringLiteral("Итого: ") + QLocale().toString(total, 'g', 12);
        return set;
    }

    bool hasLines(Database& db, qint64 id) override
    {
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT WHERE id_norms = ?1"), {id}).toLongLong() > 0;
    }

    QString copyQuestion() const override
    {
        return QStringLiteral("У копируемой нормы уже был заполнен список норм по приемам пищи. Копировать список?");
    }

    void copyLines(Database& db, qint64 sourceId, qint64 targetId) override
    {
        Transaction tx(db);
        db.exec(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) "
                               "SELECT ?1, id_eating, kol FROM NORMS_POINT WHERE id_norms = ?2 ORDER BY IDNP"),
                {targetId, sourceId});
        tx.commit();
    }

    bool deleteLines(DocumentWindow& w, const std::vector<int>& rows) override
    {
        std::vector<qint64> ids;
        for (int r : rows)
            if (r >= 0 && r < int(ids_.size()))
                ids.push_back(ids_[size_t(r)]);
        Database& db = w.database();
        return deleteLinesAsked(w.prompt(), int(ids.size()), [&] {
                   Transaction tx(db);
                   for (qint64 id : ids)
                       db.exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE IDNP = ?1"), {id});
                   tx.commit();
               }) > 0;
    }

    bool deleteAllLines(DocumentWindow& w) override
    {
        if (w.prompt().ask(QStringLiteral("Удалить все строки?"), Buttons::YesNo, Answer::No) != Answer::Yes)
            return false;
        w.database().exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms = ?1"), {*w.documentId()});
        return true;
    }

    // Choosing an existing group takes the group's norm for the eater type.
    bool headerChanged(DocumentWindow& w, const QString& field) override
    {
        if (field != QLatin1String("gname") && field != QLatin1String("id_type_eating"))
            return false;
        const HeaderValues v = w.values();
        const QVariant norm =
            w.database().scalar(QStringLiteral("SELECT norm FROM norms WHERE gname = ?1 AND id_type_eating = ?2 "
                                               "ORDER BY id LIMIT 1"),
                                {v.value(QStringLiteral("gname")).toString(), v.value(QStringLiteral("id_type_eating"))});
        if (!norm.isNull())
            w.setValue(QStringLiteral("norm"),
                       QString::number(norm.toDouble(), 'g', 12).replace(QLatin1Char('.'), QLatin1Char(',')));
        return false;
    }

    bool discardsNewOnCancel() const override { return true; }

    void discardNew(Database& db, qint64 id) override
    {
        Transaction tx(db);
        db.exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms = ?1"), {id});
        db.exec(QStringLiteral("DELETE FROM norms WHERE id = ?1"), {id});
        tx.commit();
    }

private:
    std::vector<qint64> ids_;  // NORMS_POINT keys by grid row
};

} // namespace

std::unique_ptr<DocumentKind> makeStockKind(int code)
{
    return std::make_unique<StockKind>(code);
}

std::unique_ptr<DocumentKind> makeNormKind()
{
    return std::make_unique<NormKind>();
}

} // namespace rat::ui
