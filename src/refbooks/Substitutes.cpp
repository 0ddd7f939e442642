// Substitutes: copying every substitute of one product to another.

#include "refbooks/ProductRules.h"
#include "refbooks/Substitutes.h"
#include "core/Database.h"
#include "refbooks/RecordEditor.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"

#include <QStringList>
#include <vector>

namespace rat::books {

int copySubstitutes(Database& db, Prompt& prompt, qint64 productId)
{
    struct Row {
        qint64 substitute;
        QVariant prWeight, replWeight;
    };
    std::vector<Row> rows;
    {
        Statement st(db, QStringLiteral("SELECT id_product_replace, pr_weight, repl_weight FROM [replace] "
                                        "WHERE id_product = ?1 ORDER BY id"));
        st.bind(1, productId);
        while (st.next())
            rows.push_back({st.toInt64(0), st.value(1), st.value(2)});
    }
    if (rows.empty()) {
        prompt.info(QStringLiteral("Нет строк для копирования!"));
        return -1;
    }
    const std::optional<ListItem> picked = chooseCopyTarget(db, prompt, productId);
    if (!picked)
        return -1;
    const qint64 target = picked->value.toLongLong();

    int added = 0;
    try {
        Transaction tx(db);
        Statement has(db, QStringLiteral("SELECT COUNT(*) FROM [replace] WHERE id_product = ?1 AND "
                                         "id_product_replace = ?2"));
        Statement ins(db, QStringLiteral("INSERT INTO [replace] (id_product, id_product_replace, pr_weight, "
                                         "repl_weight) VALUES (?1, ?2, ?3, ?4)"));
        for (const Row& r : rows) {
            if (r.substitute == target)
                continue;
            has.reset();
            has.bindAll({target, r.substitute});
            if (has.next() && has.toInt64(0) > 0)
                continue;
            ins.reset();
            ins.bindAll({target, r.substitute, r.prWeight, r.replWeight});
            ins.exec();
            ++added;
        }
        tx.commit();
    } catch (const DbError& e) {
        reportSaveError(prompt, e);
        return -1;
    }
    prompt.info(QStringLiteral("Копирование выполнено! Скопировано продуктов-заменителей - ") + QString::number(added) +
                QLatin1Char('.'));
    return added;
}

} // namespace rat::books
