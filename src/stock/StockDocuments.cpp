// Stock document headers, their lines as the document window lists them, the line editors of
// expense, write-off and order, the document total and the confirmation question.

#include "stock/StockDocuments.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockShared.h"

#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/TextFold.h"
#include "menu/DayMenu.h"

#include <algorithm>

namespace rat::stock {

using detail::dateOf;
using detail::num;

std::optional<StockKind> stockKind(int code)
{
    switch (code) {
    case 22: return StockKind::Expense;
    case 24: return StockKind::Receipt;
    case 25: return StockKind::WriteOff;
    case 28: return StockKind::Order;
    default: return std::nullopt;
    }
}

QString documentTable(StockKind kind)
{
    switch (kind) {
    case StockKind::Expense: return QStringLiteral("expence_docum");
    case StockKind::Receipt: return QStringLiteral("receipt");
    case StockKind::WriteOff: return QStringLiteral("spisanie");
    case StockKind::Order: break;
    }
    return QStringLiteral("orders");
}

QString lineTable(StockKind kind)
{
    switch (kind) {
    case StockKind::Expense: return QStringLiteral("expense");
    case StockKind::Receipt: return QStringLiteral("storage");
    case StockKind::WriteOff: return QStringLiteral("spisanie_point");
    case StockKind::Order: break;
    }
    return QStringLiteral("order_point");
}

QString dateColumn(StockKind kind)
{
    switch (kind) {
    case StockKind::Expense: return QStringLiteral("ddate");
    case StockKind::Receipt: return QStringLiteral("rdate");
    case StockKind::WriteOff: return QStringLiteral("wdate");
    case StockKind::Order: break;
    }
    return QStringLiteral("odate");
}

QString documentKey(StockKind kind)
{
    switch (kind) {
    case StockKind::Expense: return QStringLiteral("id_expence_docum");
    case StockKind::Receipt: return QStringLiteral("id_receipt");
    case StockKind::WriteOff: return QStringLiteral("id_spisanie");
    case StockKind::Order: break;
    }
    return QStringLiteral("id_orders");
}

namespace {

bool hasSupplier(StockKind kind)
{
    return kind == StockKind::Receipt || kind == StockKind::Order;
}

} // namespace

std::optional<StockDocumentHeader> readStockDocument(Database& db, StockKind kind, qint64 id)
{
    const QString extra = kind == StockKind::Receipt ? QStringLiteral(", id_supplier, nomerNaklText, 0")
                          : kind == StockKind::Order ? QStringLiteral(", id_supplier, '', status1")
                                                     : QStringLiteral(", NULL, '', 0");
    Statement st(db, QStringLiteral("SELECT [№docum], ") + dateColumn(kind) +
                         QStringLiteral(", comment, status, [sum]") + extra + QStringLiteral(" FROM ") +
                         documentTable(kind) + QStringLiteral(" WHERE id = ?1"));
    st.bind(1, id);
    if (!st.next())
        return std::nullopt;
    StockDocumentHeader h;
    h.id = id;
    h.number = st.toString(0);
    h.date = dateOf(st, 1);
    h.comment = st.toString(2);
    h.approved = st.toInt64(3) != 0;
    h.sum = num(st, 4);
    if (!st.isNull(5))
        h.supplierId = st.toInt64(5);
    h.deliveryNote = st.toString(6);
    h.delivered = st.toInt64(7) != 0;
    return h;
}

qint64 saveStockDocument(Database& db, StockKind kind, StockDocumentHeader& header)
{
    if (header.number.isEmpty())
        header.number = menu::nextDocumentNumber(db, documentTable(kind));
    const QString table = documentTable(kind);
    QStringList columns = {QStringLiteral("[№docum]"), dateColumn(kind), QStringLiteral("comment"),
                           QStringLiteral("status")};
    std::vector<QVariant> values = {header.number, header.date.isValid() ? QVariant(header.date) : QVariant(),
                                    header.comment, header.approved ? -1 : 0};
    if (hasSupplier(kind)) {
        columns << QStringLiteral("id_supplier");
        values.push_back(detail::orNull(header.supplierId));
    }
    if (kind == StockKind::Receipt) {
        columns << QStringLiteral("nomerNaklText");
        values.push_back(header.deliveryNote);
    }
    if (kind == StockKind::Order) {
        columns << QStringLiteral("status1");
        values.push_back(header.delivered ? -1 : 0);
    }
    if (header.id) {
        QStringList sets;
        for (int i = 0; i < columns.size(); ++i)
            sets << columns[i] + QStringLiteral(" = ?") + QString::number(i + 1);
        values.push_back(*header.id);
        db.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) +
                    QStringLiteral(" WHERE id = ?") + QString::number(values.size()),
                values);
        return *header.id;
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?") + QString::number(i + 1);
    db.exec(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                QStringLiteral(", [sum]) VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(", 0)"),
            values);
    header.id = db.lastInsertId();
    return *header.id;
}

std::vector<StockLineRow> documentLines(Database& db, StockKind kind, qint64 id)
{
    QString sql;
    switch (kind) {
    case StockKind::Expense:
        sql = QStringLiteral(
            "SELECT x.id, s.id, s.id_product, p.pname, x.quantity, u.ename, s.cost, t.shname, "
            "CASE WHEN rc.id IS NULL OR s.status = -1 THEN 'Без № поставки' ELSE rc.[№docum] END, "
            "0, NULL, 0, '', w.name "
            "FROM expense x JOIN storage s ON s.id = x.id_storage LEFT JOIN products p ON p.id = s.id_product "
            "LEFT JOIN ed_izmer u ON u.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
            "LEFT JOIN type_eating t ON t.id = x.id_type_eating LEFT JOIN receipt rc ON rc.id = s.id_receipt "
            "LEFT JOIN STORAGES w ON w.IDSS = s.IDSS WHERE x.id_expence_docum = ?1 AND x.quantity > 0");
        break;
    case StockKind::Receipt:
        sql = QStringLiteral(
            "SELECT s.id, s.id, s.id_product, p.pname, s.quantity, u.ename, s.cost, '', '', "
            "s.tempHr, s.date_realization, COALESCE(s.sum_NDS, 0), '', w.name "
            "FROM storage s LEFT JOIN products p ON p.id = s.id_product "
            "LEFT JOIN ed_izmer u ON u.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
            "LEFT JOIN STORAGES w ON w.IDSS = s.IDSS WHERE s.id_receipt = ?1");
        break;
    case StockKind::WriteOff:
        sql = QStringLiteral(
            "SELECT x.id, s.id, s.id_product, p.pname, x.quantity, u.ename, s.cost, '', '', 0, NULL, 0, x.why, w.name "
            "FROM spisanie_point x JOIN storage s ON s.id = x.id_storage LEFT JOIN products p ON p.id = s.id_product "
            "LEFT JOIN ed_izmer u ON u.id = COALESCE(s.id_ed_izmer, p.id_ed_izmer) "
            "LEFT JOIN STORAGES w ON w.IDSS = s.IDSS WHERE x.id_spisanie = ?1");
        break;
    case StockKind::Order:
        sql = QStringLiteral(
            "SELECT o.id, 0, o.id_product, p.pname, o.quantity1, u.ename, o.cost, '', '', 0, NULL, 0, '', w.name "
            "FROM order_point o LEFT JOIN products p ON p.id = o.id_product "
            "LEFT JOIN ed_izmer u ON u.id = COALESCE(o.id_ed_izmer, p.id_ed_izmer) "
            "LEFT JOIN STORAGES w ON w.IDSS = o.IDSS WHERE o.id_orders = ?1");
        break;
    }
    std::vector<StockLineRow> rows;
    Statement st(db, sql);
    st.bind(1, id);
    while (st.next()) {
        StockLineRow r;
        r.lineId = st.toInt64(0);
        r.lotId = st.toInt64(1);
        r.productId = st.toInt64(2);
        r.product = st.toString(3);
        r.quantity = num(st, 4);
        r.unit = st.toString(5);
        r.price = num(st, 6);
        r.sum = r.price * r.quantity;
        r.eaterType = st.toString(7);
        r.delivery = st.toString(8);
        r.temperature = num(st, 9);
        r.sellBy = dateOf(st, 10);
        r.sumWithVat = r.sum + num(st, 11);
        r.reason = st.toString(12);
        r.warehouse = st.toString(13);
        rows.push_back(std::move(r));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const StockLineRow& a, const StockLineRow& b) {
        const int c = compareRussian(a.product, b.product);
        return c != 0 ? c < 0 : a.lineId < b.lineId;
    });
    return rows;
}

double documentSum(Database& db, StockKind kind, qint64 id)
{
    QString sql;
    switch (kind) {
    case StockKind::Expense:
    case StockKind::WriteOff:
        sql = QStringLiteral("SELECT SUM(s.cost * u.quantity) FROM ") + lineTable(kind) +
              QStringLiteral(" AS u, storage AS s WHERE s.id = u.id_storage AND u.") + documentKey(kind) +
              QStringLiteral(" = ?1");
        break;
    case StockKind::Receipt:
        sql = QStringLiteral("SELECT SUM(cost * quantity) FROM storage WHERE id_receipt = ?1");
        break;
    case StockKind::Order:
        sql = QStringLiteral("SELECT SUM(cost * quantity1) FROM order_point WHERE id_orders = ?1");
        break;
    }
    const double sum = db.scalar(sql, {id}).toDouble();
    db.exec(QStringLiteral("UPDATE ") + documentTable(kind) + QStringLiteral(" SET [sum] = ?1 WHERE id = ?2"), {sum, id});
    return sum;
}

std::optional<qint64> saveLotLine(Database& db, Prompt& prompt, StockKind kind, const LotLineInput& line)
{
    auto refuse = [&](const QString& text) {
        prompt.warning(text);
        return std::optional<qint64>();
    };
    if (kind != StockKind::Expense && kind != StockKind::WriteOff)
        return std::nullopt;
    const QString table = lineTable(kind);
    const auto header = readStockDocument(db, kind, line.documentId);
    if (!header)
        return refuse(detail::editedRowMissing());
    double own = 0;
    if (line.id) {
        const QVariant q = db.scalar(QStringLiteral("SELECT quantity FROM ") + table + QStringLiteral(" WHERE id = ?1 AND ") +
                                         documentKey(kind) + QStringLiteral(" = ?2"),
                                     {*line.id, line.documentId});
        if (q.isNull())
            return refuse(detail::editedRowMissing());
        // The line's own quantity counts against the lot only while the document is approved.
        const QVariant lot = db.scalar(QStringLiteral("SELECT id_storage FROM ") + table + QStringLiteral(" WHERE id = ?1"),
                                       {*line.id});
        if (header->approved && lot.toLongLong() == line.lotId)
            own = q.toDouble();
    }
    const std::vector<LotRemnant> lots = lotRemnants(db, header->date);
    const auto lot = std::find_if(lots.begin(), lots.end(), [&](const LotRemnant& l) { return l.lotId == line.lotId; });
    if (lot == lots.end())
        return refuse(detail::mustChoose(QStringLiteral("Продукт")));
    if (!(line.quantity > 0))
        return refuse(detail::notValid(plainNumber(line.quantity), QStringLiteral("Количество")));
    const double available = lot->remnant + own;
    if (line.quantity > available + 1e-9)
        return refuse(QStringLiteral("Количество превышает остаток партии на складе: ") + plainNumber(available) +
                      QLatin1Char(' ') + lot->unitName + QLatin1Char('.'));
    if (kind == StockKind::Expense && line.eaterTypeId &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM type_eating WHERE id = ?1"), {*line.eaterTypeId}).toLongLong() == 0)
        return refuse(detail::mustChoose(QStringLiteral("Тип довольствующихся")));

    Transaction tx(db);
    qint64 id = 0;
    const QVariant third = kind == StockKind::Expense ? detail::orNull(line.eaterTypeId) : QVariant(line.reason);
    const QString thirdColumn = kind == StockKind::Expense ? QStringLiteral("id_type_eating") : QStringLiteral("why");
    if (line.id) {
        db.exec(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET id_storage = ?1, quantity = ?2, ") + thirdColumn +
                    QStringLiteral(" = ?3 WHERE id = ?4"),
                {line.lotId, line.quantity, third, *line.id});
        id = *line.id;
    } else {
        db.exec(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (id_storage, quantity, ") + thirdColumn +
                    QStringLiteral(", ") + documentKey(kind) + QStringLiteral(") VALUES (?1, ?2, ?3, ?4)"),
                {line.lotId, line.quantity, third, line.documentId});
        id = db.lastInsertId();
    }
    documentSum(db, kind, line.documentId);
    tx.commit();
    return id;
}

std::optional<qint64> saveOrderLine(Database& db, Prompt& prompt, const OrderLineInput& line)
{
    auto refuse = [&](const QString& text) {
        prompt.warning(text);
        return std::optional<qint64>();
    };
    const auto exists = [&](const QString& sql, qint64 id) { return db.scalar(sql, {id}).toLongLong() > 0; };
    if (!exists(QStringLiteral("SELECT COUNT(*) FROM orders WHERE id = ?1"), line.documentId) ||
        (line.id && !exists(QStringLiteral("SELECT COUNT(*) FROM order_point WHERE id = ?1"), *line.id)))
        return refuse(detail::editedRowMissing());
    if (line.productId <= 0 || !exists(QStringLiteral("SELECT COUNT(*) FROM products WHERE id = ?1"), line.productId))
        return refuse(detail::mustChoose(QStringLiteral("Продукт")));
    if (!(line.quantity > 0))
        return refuse(detail::notValid(plainNumber(line.quantity), QStringLiteral("Количество")));
    if (line.cost < 0)
        return refuse(detail::notValid(plainNumber(line.cost), QStringLiteral("Цена")));
    const qint64 unit = line.unitId.value_or(
        db.scalar(QStringLiteral("SELECT id_ed_izmer FROM products WHERE id = ?1"), {line.productId}).toLongLong());
    if (!exists(QStringLiteral("SELECT COUNT(*) FROM ed_izmer WHERE id = ?1"), unit))
        return refuse(detail::mustChoose(QStringLiteral("Ед.изм.")));
    if (!exists(QStringLiteral("SELECT COUNT(*) FROM STORAGES WHERE IDSS = ?1"), line.warehouse))
        return refuse(detail::mustChoose(QStringLiteral("Склад")));

    Transaction tx(db);
    qint64 id = 0;
    if (line.id) {
        db.exec(QStringLiteral("UPDATE order_point SET id_product = ?1, quantity1 = ?2, id_ed_izmer = ?3, cost = ?4, "
                               "IDSS = ?5 WHERE id = ?6"),
                {line.productId, line.quantity, unit, line.cost, line.warehouse, *line.id});
        id = *line.id;
    } else {
        db.exec(QStringLiteral("INSERT INTO order_point (id_product, quantity1, id_ed_izmer, cost, IDSS, id_orders) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
                {line.productId, line.quantity, unit, line.cost, line.warehouse, line.documentId});
        id = db.lastInsertId();
    }
    documentSum(db, StockKind::Order, line.documentId);
    tx.commit();
    return id;
}

QString confirmQuestion(StockKind kind)
{
    QString verb = QStringLiteral("Утвердить "), answer = QStringLiteral("утвердить"), name;
    switch (kind) {
    case StockKind::Expense:
        verb = QStringLiteral("Выполнить ");
        answer = QStringLiteral("выполнить");
        name = QStringLiteral("расход");
        break;
    case StockKind::Receipt: name = QStringLiteral("приход"); break;
    case StockKind::WriteOff: name = QStringLiteral("списание"); break;
    case StockKind::Order: name = QStringLiteral("заказ"); break;
    }
    return verb + name + QStringLiteral("? \"Да\" - ") + answer +
           QStringLiteral(", \"Нет\" - сохранить как черновик, \"Отмена\" - вернуться.");
}

StockConfirm confirmStockDocument(Database& db, Prompt& prompt, StockKind kind, qint64 id)
{
    const Answer a = prompt.ask(confirmQuestion(kind), Buttons::YesNoCancel, Answer::Yes);
    if (a != Answer::Yes && a != Answer::No)
        return StockConfirm::Returned;
    Transaction tx(db);
    db.exec(QStringLiteral("UPDATE ") + documentTable(kind) + QStringLiteral(" SET status = ?1 WHERE id = ?2"),
            {a == Answer::Yes ? -1 : 0, id});
    documentSum(db, kind, id);
    tx.commit();
    // A receipt, expense or write-off changes what the lots hold from its date on: the later issues
    // follow; the issue of a menu-requirement leaves its own day menu as the user set it.
    if (kind != StockKind::Order)
        if (const auto h = readStockDocument(db, kind, id); h && h->date.isValid()) {
            std::optional<qint64> ownDayMenu;
            if (kind == StockKind::Expense) {
                const QVariant dm = db.scalar(QStringLiteral("SELECT tm.ID_day_menu FROM MENUTR r JOIN MENUTM tm "
                                                             "ON tm.IDM = r.IDM WHERE r.id_ex = ?1 LIMIT 1"),
                                              {id});
                if (!dm.isNull())
                    ownDayMenu = dm.toLongLong();
            }
            reissueFromDate(db, prompt, h->date, ownDayMenu);
        }
    return a == Answer::Yes ? StockConfirm::Approved : StockConfirm::Draft;
}

} // namespace rat::stock
