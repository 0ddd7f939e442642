// Eater types: what a new type takes over from an existing one and what goes with a deleted
// one.

#include "refbooks/EaterTypes.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookRules.h"

#include <QStringList>

namespace rat::books {

namespace {

const QString kNotAdded = QStringLiteral("Данные не добавлены. Возможна некорректная работа программы.");

} // namespace

void copyYields(Database& db, qint64 from, qint64 to)
{
    Transaction tx(db);
    db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                           "SELECT id_card_recipe, ?2, output1, output2, output3 FROM output "
                           "WHERE id_type_eating = ?1 ORDER BY id"),
            {from, to});
    tx.commit();
}

void copyNormsAndPhysNorms(Database& db, qint64 from, qint64 to)
{
    Transaction tx(db);
    {
        std::vector<std::pair<qint64, std::vector<QVariant>>> norms;
        Statement st(db, QStringLiteral("SELECT id, norm, id_product, gname FROM norms WHERE id_type_eating = ?1 "
                                        "ORDER BY id"));
        st.bind(1, from);
        while (st.next())
            norms.push_back({st.toInt64(0), {st.value(1), st.value(2), st.value(3)}});
        for (const auto& [id, v] : norms) {
            db.exec(QStringLiteral("INSERT INTO norms (id_type_eating, norm, id_product, gname) VALUES (?1, ?2, ?3, ?4)"),
                    {to, v[0], v[1], v[2]});
            const qint64 copy = db.lastInsertId();
            db.exec(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) SELECT ?2, id_eating, kol "
                                   "FROM NORMS_POINT WHERE id_norms = ?1 ORDER BY IDNP"),
                    {id, copy});
        }
    }
    {
        std::vector<qint64> physNorms;
        Statement st(db, QStringLiteral("SELECT IDF FROM FNORMS WHERE id_type_eating = ?1 ORDER BY IDF"));
        st.bind(1, from);
        while (st.next())
            physNorms.push_back(st.toInt64(0));
        for (const qint64 idf : physNorms) {
            db.exec(QStringLiteral("INSERT INTO FNORMS (id_type_eating, nfat, nprotein, ncarbohyd, ncalories, nB1, nB2, "
                                   "nCa, nC, nFe) SELECT ?2, nfat, nprotein, ncarbohyd, ncalories, nB1, nB2, nCa, nC, "
                                   "nFe FROM FNORMS WHERE IDF = ?1"),
                    {idf, to});
            const qint64 copy = db.lastInsertId();
            db.exec(QStringLiteral("INSERT INTO FNORMS_VIT (kol, id_vitamin, idf) SELECT kol, id_vitamin, ?2 "
                                   "FROM FNORMS_VIT WHERE idf = ?1 ORDER BY idfv"),
                    {idf, copy});
        }
    }
    tx.commit();
}

void offerEaterTypeCopy(Database& db, Prompt& prompt, qint64 newType)
{
    if (prompt.ask(QStringLiteral("Скопировать выходы для нового типа довольствующихся в справочник \"Выходы блюд\"?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    const std::vector<ListItem> types = listItems(db, ListSource::EaterTypesExcept, newType);
    QStringList names;
    for (const ListItem& t : types)
        names << t.text;
    const std::optional<int> chosen =
        names.isEmpty() ? std::nullopt
                        : prompt.choose(QStringLiteral("Добавление (копирование) типа довольствующихся"),
                                        QStringLiteral("Выберите тип довольствующихся, выходы которого будут "
                                                       "скопированы:"),
                                        names);
    if (!chosen || *chosen < 0 || *chosen >= int(types.size())) {
        prompt.warning(QStringLiteral("Не был выбран тип довольствующихся. Добаление(копирование) невозможно."));
        return;
    }
    const qint64 source = types[size_t(*chosen)].value.toLongLong();
    try {
        copyYields(db, source, newType);
    } catch (const DbError&) {
        prompt.critical(kNotAdded);
        return;
    }
    if (prompt.ask(QStringLiteral("Выходы добавлены (скопированы). Добавить (скопировать) нормы питания и физиологические "
                                  "нормы для нового типа довольствующихся в справочники \"Нормы питания\" и "
                                  "\"Физиологические нормы\"?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    try {
        copyNormsAndPhysNorms(db, source, newType);
    } catch (const DbError&) {
        prompt.critical(kNotAdded);
    }
}

void registerEaterTypeRules()
{
    BookRules r;
    r.followUp = [](SaveContext& ctx) {
        if (ctx.isNew() && ctx.id)
            offerEaterTypeCopy(ctx.db, ctx.prompt, *ctx.id);
    };
    r.deletion = [](DeleteContext& ctx) {
        const QString shname =
            ctx.db.scalar(QStringLiteral("SELECT shname FROM type_eating WHERE id = ?1"), {ctx.id}).toString();
        const bool hasMenus =
            ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM quantity_eating WHERE id_type_eating = ?1"), {ctx.id})
                .toLongLong() > 0;
        const QString question =
            hasMenus ? QStringLiteral("Для типа довольствующихся ") + shname +
                           QStringLiteral(" составлены меню на день. Удалить тип вместе с меню? Внимание! Восстановить "
                                          "данные будет невозможно!")
                     : QStringLiteral("Удалить тип довольтсвующегося вместе с выходами и нормами?");
        if (ctx.prompt.ask(question, Buttons::YesNo, Answer::No) != Answer::Yes)
            return DeleteVerdict::keep();
        const std::vector<QVariant> id{ctx.id};
        return DeleteVerdict::remove({
            {QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms IN (SELECT id FROM norms WHERE id_type_eating = ?1)"), id},
            {QStringLiteral("DELETE FROM norms WHERE id_type_eating = ?1"), id},
            {QStringLiteral("DELETE FROM output WHERE id_type_eating = ?1"), id},
            {QStringLiteral("DELETE FROM FNORMS_VIT WHERE idf IN (SELECT IDF FROM FNORMS WHERE id_type_eating = ?1)"), id},
            {QStringLiteral("DELETE FROM FNORMS WHERE id_type_eating = ?1"), id},
            {QStringLiteral("DELETE FROM quantity_eating WHERE id_type_eating = ?1"), id},
        });
    };
    addBookRules(entryEaterTypes, r);
}

} // namespace rat::books
