// The journals of the store's documents in the reference-book catalogue: their list columns,
// period and deletion rules. The documents themselves open in their own windows.

#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/MenuBookHelpers.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookDeleteFollowUp.h"
#include "refbooks/BookRules.h"
#include "stock/MenuRequirementApproval.h"
#include "stock/StockModule.h"

#include <map>

namespace rat::stock {

namespace {

using namespace rat::books;
using menu::bookparts::book;
using menu::bookparts::column;

ListColumn statusColumn(const QString& yes, const QString& no)
{
    ListColumn c = column(QStringLiteral("Статус"), QStringLiteral("CASE WHEN t.status = -1 THEN ? ELSE ? END"), 1500);
    c.params = {yes, no};
    return c;
}

ListColumn dateColumn(const QString& source)
{
    ListColumn c = column(QStringLiteral("Дата"), source, 1300);
    c.format = Control::Date;
    return c;
}

ListColumn sumColumn(const QString& caption, const QString& source)
{
    ListColumn c = column(caption, source, 1500, 2);
    c.money = true;
    return c;
}

QString documentNumber(DeleteContext& ctx)
{
    return ctx.db.scalar(QStringLiteral("SELECT [№docum] FROM [") + ctx.book.table + QStringLiteral("] WHERE id = ?1"),
                         {ctx.id})
        .toString()
        .trimmed();
}

void registerDocumentJournal(int entry, const QString& table, const QString& title, const QString& date,
                             std::vector<ListColumn> extra, const QString& from = QString())
{
    BookDef b = book(entry, table, title, title, QStringLiteral("№docum"));
    if (!from.isEmpty())
        b.from = from;
    b.columns = {statusColumn(QStringLiteral("Утвержден"), QStringLiteral("Черновик")), dateColumn(QStringLiteral("t.") + date),
                 column(QStringLiteral("Номер"), QStringLiteral("t.[№docum]"), 1000)};
    for (ListColumn& c : extra)
        b.columns.push_back(std::move(c));
    b.orderBy = QStringLiteral("t.") + date + QStringLiteral(", t.id");
    b.periodColumn = QStringLiteral("t.") + date;
    registerBook(std::move(b));
}

} // namespace

void registerStockJournals()
{
    const QString comment = QStringLiteral("Комментарий");
    registerDocumentJournal(22, QStringLiteral("expence_docum"), QStringLiteral("Расход"), QStringLiteral("ddate"),
                            {sumColumn(QStringLiteral("Сумма, "), QStringLiteral("t.sum")),
                             column(comment, QStringLiteral("t.comment"), 3000)});
    registerDocumentJournal(
        24, QStringLiteral("receipt"), QStringLiteral("Приход"), QStringLiteral("rdate"),
        {sumColumn(QStringLiteral("Сумма, "), QStringLiteral("t.sum")),
         column(QStringLiteral("Поставщик"), QStringLiteral("s.sname"), 2500),
         column(QStringLiteral("№ накладной поставщика"), QStringLiteral("t.nomerNaklText"), 1500),
         column(comment, QStringLiteral("t.comment"), 2500)},
        QStringLiteral("receipt t LEFT JOIN supplier s ON s.id = t.id_supplier"));
    registerDocumentJournal(25, QStringLiteral("spisanie"), QStringLiteral("Списание"), QStringLiteral("wdate"),
                            {sumColumn(QStringLiteral("Сумма, "), QStringLiteral("t.sum")),
                             column(comment, QStringLiteral("t.comment"), 3000)});
    {
        ListColumn delivered = column(QStringLiteral("Поставка по заказу"),
                                      QStringLiteral("CASE WHEN t.status1 = -1 THEN ? ELSE ? END"), 1200);
        delivered.params = {QStringLiteral("Да"), QStringLiteral("Нет")};
        registerDocumentJournal(28, QStringLiteral("orders"), QStringLiteral("Заказ"), QStringLiteral("odate"),
                                {delivered, column(comment, QStringLiteral("t.comment"), 2500),
                                 column(QStringLiteral("Поставщик"), QStringLiteral("s.sname"), 2500)},
                                QStringLiteral("orders t LEFT JOIN supplier s ON s.id = t.id_supplier"));
    }
    {
        BookDef b = book(44, QStringLiteral("MENUTR"), QStringLiteral("Журнал меню-требований"),
                         QStringLiteral("Меню-требование"), QStringLiteral("nom_m"));
        b.key = QStringLiteral("IDM");
        b.from = QStringLiteral("MENUTR t LEFT JOIN MENUTM m ON m.IDM = t.IDM LEFT JOIN STORAGES w ON w.IDSS = m.IDSkl");
        ListColumn menuDate = dateColumn(QStringLiteral("t.date_m"));
        menuDate.caption = QStringLiteral("Дата меню на день");
        ListColumn store = column(QStringLiteral("Склад"), QStringLiteral("COALESCE(w.name, ?)"), 2000);
        store.params = {QStringLiteral("Все склады")};
        b.columns = {dateColumn(QStringLiteral("t.date")),
                     column(QStringLiteral("Номер меню на день"), QStringLiteral("TRIM(t.nom_m)"), 1200),
                     menuDate,
                     sumColumn(QStringLiteral("Стоимость меню, "), QStringLiteral("t.stoim")),
                     statusColumn(QStringLiteral("Утверждено"), QStringLiteral("Не утверждено")),
                     store};
        b.orderBy = QStringLiteral("t.date, t.IDM");
        b.periodColumn = QStringLiteral("t.date");
        registerBook(std::move(b));
    }

    static bool rulesAdded = false;
    if (rulesAdded)
        return;
    rulesAdded = true;

    // An approved document changed what the lots held from its date: the issues of the approved
    // menu-requirements from the earliest such date are made again once the rows are gone. The
    // deletion rule notes each approved document's date before the row goes.
    static std::map<int, std::map<qint64, QDate>> approvedDates;
    const auto noteDate = [](DeleteContext& ctx, int entry, const QString& column) {
        const QVariant d = ctx.db.scalar(QStringLiteral("SELECT CASE WHEN status = -1 THEN substr(") + column +
                                             QStringLiteral(", 1, 10) END FROM [") + ctx.book.table +
                                             QStringLiteral("] WHERE id = ?1"),
                                         {ctx.id});
        if (!d.isNull())
            approvedDates[entry][ctx.id] = parseIsoDate(d.toString());
    };
    const auto followUp = [](int entry) {
        return [entry](Database& db, Prompt& prompt, const std::vector<qint64>& deleted) {
            std::map<qint64, QDate> dates;
            dates.swap(approvedDates[entry]);
            QDate from;
            for (qint64 id : deleted)
                if (const auto it = dates.find(id); it != dates.end() && it->second.isValid() &&
                                                    (!from.isValid() || it->second < from))
                    from = it->second;
            if (from.isValid())
                reissueFromDate(db, prompt, from);
        };
    };

    BookRules receipt;
    receipt.deletion = [noteDate](DeleteContext& ctx) {
        // Lots only the issue of menu-requirements took from go with those lines; the re-issue
        // after the deletion writes them again from the lots that stay.
        if (ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_receipt = ?1 AND "
                                         "((SELECT COUNT(*) FROM spisanie_point p WHERE p.id_storage = storage.id) > 0 OR "
                                         "(SELECT COUNT(*) FROM expense e WHERE e.id_storage = storage.id AND NOT EXISTS "
                                         "(SELECT 1 FROM MENUTR r WHERE r.id_ex = e.id_expence_docum)) > 0)"),
                          {ctx.id})
                .toLongLong() > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить документ прихода №\"") + documentNumber(ctx) +
                                         QStringLiteral("\", так как из его партий уже выполнен расход или списание."));
        noteDate(ctx, 24, QStringLiteral("rdate"));
        const QString issuedFrom =
            QStringLiteral("SELECT e.id_expence_docum FROM expense e JOIN storage s ON s.id = e.id_storage WHERE s.id_receipt = ?1");
        return DeleteVerdict::remove(
            {{QStringLiteral("UPDATE expence_docum SET [sum] = COALESCE((SELECT SUM(s.cost * e.quantity) FROM expense e "
                             "JOIN storage s ON s.id = e.id_storage WHERE e.id_expence_docum = expence_docum.id AND "
                             "COALESCE(s.id_receipt, 0) <> ?1), 0) WHERE id IN (") +
                  issuedFrom + QStringLiteral(")"),
              {ctx.id}},
             {QStringLiteral("DELETE FROM expense WHERE id_storage IN (SELECT id FROM storage WHERE id_receipt = ?1)"), {ctx.id}},
             {QStringLiteral("DELETE FROM storage WHERE id_receipt = ?1"), {ctx.id}}});
    };
    books::setDeletionFollowUp(24, followUp(24));
    addBookRules(24, std::move(receipt));

    BookRules expense;
    expense.deletion = [noteDate](DeleteContext& ctx) {
        if (ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR WHERE id_ex = ?1"), {ctx.id}).toLongLong() > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить документ расхода №\"") + documentNumber(ctx) +
                                         QStringLiteral("\", так как он составлен по меню-требованию."));
        noteDate(ctx, 22, QStringLiteral("ddate"));
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM expense WHERE id_expence_docum = ?1"), {ctx.id}}});
    };
    books::setDeletionFollowUp(22, followUp(22));
    addBookRules(22, std::move(expense));

    BookRules writeOff;
    writeOff.deletion = [noteDate](DeleteContext& ctx) {
        noteDate(ctx, 25, QStringLiteral("wdate"));
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM spisanie_point WHERE id_spisanie = ?1"), {ctx.id}}});
    };
    books::setDeletionFollowUp(25, followUp(25));
    addBookRules(25, std::move(writeOff));

    BookRules order;
    order.deletion = [](DeleteContext& ctx) {
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM order_point WHERE id_orders = ?1"), {ctx.id}}});
    };
    addBookRules(28, std::move(order));

    BookRules requirement;
    requirement.deletion = [](DeleteContext& ctx) {
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM MENUTR_POINT WHERE IDM = ?1"), {ctx.id}},
                                      {QStringLiteral("DELETE FROM MENUTM WHERE IDM = ?1"), {ctx.id}}});
    };
    addBookRules(44, std::move(requirement));
}

} // namespace rat::stock
