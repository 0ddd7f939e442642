// The product's own rules: deletion with its refusals and questions, and the sell-by date of
// a delivery.

#include "refbooks/ProductRules.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookRules.h"

#include <QStringList>

namespace rat::books {

namespace {

bool any(Database& db, const QString& sql, qint64 id)
{
    return db.scalar(sql, {id}).toLongLong() > 0;
}

// A product with rows in another book is deleted with all of them: the question names the
// first book that has rows, "со всеми данными" covers the rest.
std::vector<SqlStep> productDependents(qint64 id)
{
    return {
        {QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms IN (SELECT id FROM norms WHERE id_product = ?1)"), {id}},
        {QStringLiteral("DELETE FROM norms WHERE id_product = ?1"), {id}},
        {QStringLiteral("DELETE FROM [replace] WHERE id_product = ?1 OR id_product_replace = ?1"), {id}},
        {QStringLiteral("DELETE FROM vitamin_quantity WHERE id_product = ?1"), {id}},
        {QStringLiteral("DELETE FROM SEZON WHERE id_PRODUCT = ?1"), {id}},
    };
}

DeleteVerdict deleteProduct(DeleteContext& ctx)
{
    const QString name = quoted(ctx.name);
    // A nested dish keeps its card's id in id_product: only product lines count.
    if (any(ctx.db, QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_product = ?1 AND COALESCE(isCard, 0) = 0"),
            ctx.id))
        return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить продукт ") + name +
                                     QStringLiteral(", так как он используется в справочнике рецептур."));
    if (any(ctx.db, QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_product = ?1"), ctx.id))
        return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить продукт ") + name +
                                     QStringLiteral(", так как он используется в справочнике поступлений."));
    if (any(ctx.db, QStringLiteral("SELECT COUNT(*) FROM order_point WHERE id_product = ?1"), ctx.id))
        return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить продукт ") + name +
                                     QStringLiteral(", так как он используется в справочнике заказов."));

    QString book;
    if (any(ctx.db, QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_product = ?1"), ctx.id))
        book = QStringLiteral("Нормы питания");
    else if (any(ctx.db,
                 QStringLiteral("SELECT COUNT(*) FROM [replace] WHERE id_product = ?1 OR id_product_replace = ?1"),
                 ctx.id))
        book = QStringLiteral("Замен");
    else if (any(ctx.db, QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_product = ?1"), ctx.id))
        book = QStringLiteral("Содержание витаминов");
    if (!book.isEmpty() &&
        ctx.prompt.ask(QStringLiteral("Для продукта ") + name + QStringLiteral(" заполнен справочник ") + quoted(book) +
                           QStringLiteral(". Удалить продукт со всеми данными?"),
                       Buttons::YesNo, Answer::No) != Answer::Yes)
        return DeleteVerdict::keep();
    return DeleteVerdict::remove(productDependents(ctx.id));
}

} // namespace

void registerProductRules()
{
    BookRules r;
    r.deletion = deleteProduct;
    addBookRules(entryProducts, r);
}

std::optional<QDateTime> advanceByStorage(const QDateTime& received, qint64 timeStorage, int timePeriod)
{
    if (!received.isValid())
        return std::nullopt;
    // Calendar arithmetic on the wall-clock time: a change to summer time adds no hour.
    const QDateTime t(received.date(), received.time(), Qt::UTC);
    QDateTime out;
    switch (timePeriod) {
    case 1: out = t.addSecs(timeStorage * 3600); break;
    case 2: out = t.addDays(timeStorage); break;
    case 3: out = t.addDays(timeStorage * 7); break;
    case 4: out = t.addMonths(int(timeStorage)); break;
    case 5: out = t.addYears(int(timeStorage)); break;
    default: return std::nullopt;
    }
    return QDateTime(out.date(), out.time(), received.timeSpec());
}

std::optional<QDateTime> sellByDate(Database& db, qint64 productId, const QDateTime& received)
{
    Statement st(db, QStringLiteral("SELECT time_storage, time_period FROM products WHERE id = ?1"));
    st.bind(1, productId);
    if (!st.next() || st.isNull(0) || st.isNull(1))
        return std::nullopt;
    return advanceByStorage(received, st.toInt64(0), int(st.toInt64(1)));
}

std::optional<ListItem> chooseCopyTarget(Database& db, Prompt& prompt, qint64 productId)
{
    const std::vector<ListItem> targets = listItems(db, ListSource::ProductsExcept, productId);
    QStringList names;
    for (const ListItem& t : targets)
        names << t.text;
    const std::optional<int> chosen =
        prompt.choose(QStringLiteral("Выберите продукт, в который копировать..."), QStringLiteral("Выберите продукт:"),
                      names);
    if (!chosen || *chosen < 0 || size_t(*chosen) >= targets.size()) {
        prompt.warning(QStringLiteral("Не был выбран продукт. Копирование невозможно."));
        return std::nullopt;
    }
    return targets[size_t(*chosen)];
}

} // namespace rat::books
