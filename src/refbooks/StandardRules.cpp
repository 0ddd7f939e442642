// The record-editor checks and deletion rules of the reference books of this module.

#include "core/Database.h"
#include "core/DataHelpers.h"
#include "core/Prompt.h"
#include "core/Users.h"
#include "refbooks/BookRules.h"
#include "refbooks/CardCalc.h"
#include "refbooks/CardRules.h"
#include "refbooks/CardYieldRules.h"
#include "refbooks/EaterTypes.h"
#include "refbooks/ProductRules.h"
#include "refbooks/SeasonalLosses.h"

#include <QSet>

namespace rat::books {

namespace {

qint64 count(Database& db, const QString& sql, const std::vector<QVariant>& params)
{
    return db.scalar(sql, params).toLongLong();
}

// A deletion refused while another table refers to the row.
BookRules refuseWhileUsed(const QString& sql, const QString& before, const QString& after)
{
    BookRules r;
    r.deletion = [sql, before, after](DeleteContext& ctx) {
        if (count(ctx.db, sql, {ctx.id}) > 0)
            return DeleteVerdict::refuse(before + quoted(ctx.name) + after);
        return DeleteVerdict::remove();
    };
    return r;
}

// The units the program's weights are defined in: gram and kilogram.
bool isBaseUnit(const QString& name)
{
    QString n = name.trimmed().toLower();
    while (n.endsWith(QLatin1Char('.')))
        n.chop(1);
    return n == QStringLiteral("г") || n == QStringLiteral("гр") || n == QStringLiteral("кг");
}

bool isBaseVitamin(const QString& shname)
{
    static const QSet<QString> base = {QStringLiteral("CA"), QStringLiteral("FE"), QStringLiteral("B1"),
                                       QStringLiteral("B2"), QStringLiteral("C")};
    return base.contains(shname.trimmed().toUpper());
}

// The value of a field used most by products (counted per value, the most frequent first).
QVariant mostUsed(Database& db, const QString& column, bool skipEmpty)
{
    const QString where = skipEmpty ? QStringLiteral(" WHERE %1 IS NOT NULL AND %1 <> ''").arg(column) : QString();
    return db.scalar(QStringLiteral("SELECT %1 FROM products%2 GROUP BY %1 ORDER BY COUNT(*) DESC, %1 LIMIT 1")
                         .arg(column, where));
}

void registerVitamins()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const QString code = ctx.value(QStringLiteral("shname")).toString();
        if (!code.contains(QLatin1Char('.')))
            return true;
        ctx.prompt.warning(QStringLiteral("В кратком наименовании витамина обнаружены недопустимые символы. Программа "
                                          "автоматически заменит их на символ \"_\"."));
        QString fixed = code;
        fixed.replace(QLatin1Char('.'), QLatin1Char('_'));
        ctx.setValue(QStringLiteral("shname"), fixed);
        // The replaced code must still be the only one.
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM vitamin WHERE lower(shname) = lower(?1) AND id <> ?2"),
                  {fixed, ctx.ownIdOrNone()}) > 0) {
            ctx.prompt.warning(QStringLiteral("Значение ") + quoted(fixed) + QStringLiteral(" поля ") +
                               quoted(ctx.caption(QStringLiteral("shname"))) +
                               QStringLiteral(" уже имеется в другой строке справочника. Измените введенное значение."));
            return false;
        }
        return true;
    };
    r.deletion = [](DeleteContext& ctx) {
        const QString code = ctx.db.scalar(QStringLiteral("SELECT shname FROM vitamin WHERE id = ?1"), {ctx.id}).toString();
        if (isBaseVitamin(code))
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить базовый витамин/минерал ") +
                                         quoted(ctx.name) + QLatin1Char('!'));
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_vitamin = ?1"), {ctx.id}) > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить витамин/минерал ") + quoted(ctx.name) +
                                         QStringLiteral(", так как он используется в справочнике \"Содержание "
                                                        "витаминов\"."));
        if (count(ctx.db,
                  QStringLiteral("SELECT COUNT(*) FROM vitamin_report WHERE id_vitamin = ?1 AND COALESCE(PRO, 0) = 0"),
                  {ctx.id}) > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить витамин/минерал ") + quoted(ctx.name) +
                                         QStringLiteral(", так как он используется в журнале витаминизации. Сначала "
                                                        "удалите все записи из журнала витаминизации для данного "
                                                        "витамина."));
        // Its values on cards and in the physiological norms go with it.
        return DeleteVerdict::remove({{QStringLiteral("DELETE FROM CARD_VITAMIN WHERE id_vitamin = ?1"), {ctx.id}},
                                      {QStringLiteral("DELETE FROM FNORMS_VIT WHERE id_vitamin = ?1"), {ctx.id}}});
    };
    addBookRules(entryVitamins, r);
}

void registerVitaminContent()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const QVariant product = ctx.value(QStringLiteral("id_product"));
        const QVariant vitamin = ctx.value(QStringLiteral("id_vitamin"));
        if (count(ctx.db,
                  QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_product = ?1 AND id_vitamin = ?2 "
                                 "AND id <> ?3"),
                  {product, vitamin, ctx.ownIdOrNone()}) == 0)
            return true;
        ctx.prompt.warning(QStringLiteral("На продукт ") + quoted(ctx.shownText(QStringLiteral("id_product"))) +
                           QStringLiteral(" уже добавлен витамин ") + quoted(ctx.shownText(QStringLiteral("id_vitamin"))) +
                           QLatin1Char('.'));
        return false;
    };
    addBookRules(entryVitaminContent, r);
}

void registerSubstitutions()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const QVariant product = ctx.value(QStringLiteral("id_product"));
        const QVariant substitute = ctx.value(QStringLiteral("id_product_replace"));
        if (product.toLongLong() == substitute.toLongLong()) {
            ctx.prompt.warning(QStringLiteral("Продукт и продукт-заменитель совпадают. Измените выбранные значения."));
            return false;
        }
        if (count(ctx.db,
                  QStringLiteral("SELECT COUNT(*) FROM [replace] WHERE id_product = ?1 AND id_product_replace = ?2 "
                                 "AND id <> ?3"),
                  {product, substitute, ctx.ownIdOrNone()}) > 0) {
            ctx.prompt.warning(QStringLiteral("Значение ") +
                               quoted(ctx.shownText(QStringLiteral("id_product_replace"))) + QStringLiteral(" поля ") +
                               quoted(ctx.caption(QStringLiteral("id_product_replace"))) +
                               QStringLiteral(" уже имеется в другой строке справочника. Измените введенное значение."));
            return false;
        }
        return true;
    };
    addBookRules(entrySubstitutions, r);
}

void registerCurrencies()
{
    BookRules r;
    r.deletion = [](DeleteContext& ctx) {
        const qint64 base = ctx.db.scalar(QStringLiteral("SELECT MIN(IDVAL) FROM VALUTA")).toLongLong();
        if (ctx.id == base)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить валюту ") + quoted(ctx.name) +
                                         QStringLiteral(", так как она является базовой."));
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM VALUTA WHERE IDVAL = ?1 AND status = -1"), {ctx.id}) > 0)
            return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить валюту ") + quoted(ctx.name) +
                                         QStringLiteral(", так как она является основной."));
        return DeleteVerdict::remove();
    };
    addBookRules(entryCurrencies, r);
}

void registerUnits()
{
    BookRules r;
    r.deletion = [](DeleteContext& ctx) {
        const QString before = QStringLiteral("Невозможно удалить единицу измерения ") + quoted(ctx.name);
        if (isBaseUnit(ctx.name))
            return DeleteVerdict::refuse(before + QStringLiteral(", так как она является базовой."));
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM products WHERE id_ed_izmer = ?1"), {ctx.id}) > 0)
            return DeleteVerdict::refuse(before + QStringLiteral(", так как она используется в справочнике продуктов."));
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM storage WHERE id_ed_izmer = ?1"), {ctx.id}) > 0)
            return DeleteVerdict::refuse(before + QStringLiteral(", так как она используется на складе."));
        return DeleteVerdict::remove();
    };
    addBookRules(entryUnits, r);
}

void registerProducts()
{
    BookRules r;
    r.defaults = [](Database& db, std::map<QString, QVariant, std::less<>>& presets) {
        for (const char* column : {"id_ed_izmer", "time_period"}) {
            const QVariant v = mostUsed(db, QString::fromLatin1(column), false);
            if (!v.isNull())
                presets[QString::fromLatin1(column)] = v;
        }
        const QVariant rule = mostUsed(db, QStringLiteral("rule_okr"), true);
        if (!rule.isNull())
            presets[QStringLiteral("rule_okr")] = rule;
    };
    addBookRules(entryProducts, r);
}

void registerVitaminJournal()
{
    BookRules r;
    r.defaults = [](Database& db, std::map<QString, QVariant, std::less<>>& presets) {
        const QVariant t = db.scalar(QStringLiteral("SELECT time1 FROM vitamin_report WHERE time1 IS NOT NULL "
                                                    "GROUP BY time1 ORDER BY COUNT(*) DESC, time1 LIMIT 1"));
        if (!t.isNull())
            presets[QStringLiteral("time1")] = t;
    };
    // The total of the row, kept for the reports: eaters × quantity per eater.
    r.inWrite = [](SaveContext& ctx) {
        ctx.db.exec(QStringLiteral("UPDATE vitamin_report SET qv = ROUND(COALESCE(quantity_eatings, 0) * "
                                   "COALESCE(quantity_vita, 0), 3) WHERE id = ?1"),
                    {*ctx.id});
    };
    addBookRules(entryVitaminJournal, r);
}

void registerUsers()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        if (ctx.value(QStringLiteral("PSSW")).toString() != ctx.value(QStringLiteral("~PSSW")).toString()) {
            ctx.prompt.warning(QStringLiteral("Повторный ввод неверен."));
            return false;
        }
        // Administrators are made and changed by an administrator, except the first of a file:
        // a new file has none, and somebody must be able to delete users.
        const QVariant role = ctx.value(QStringLiteral("ROLE"));
        const bool makesAdministrator = !role.isNull() && role.toInt() == roleAdministrator;
        const bool changesAdministrator =
            !ctx.isNew() && ctx.id &&
            ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM USERS WHERE IDU = ?1 AND ROLE = ?2"),
                          {*ctx.id, int(roleAdministrator)})
                    .toLongLong() > 0;
        if (!makesAdministrator && !changesAdministrator)
            return true;
        if (!hasAdministrator(ctx.db)) {
            ctx.prompt.info(firstAdministratorText(ctx.value(QStringLiteral("NAIM")).toString()));
            return true;
        }
        if (currentRole(ctx.db) == std::optional<int>(roleAdministrator))
            return true;
        ctx.prompt.warning(QStringLiteral("Назначать и изменять администраторов может только администратор."));
        return false;
    };
    r.deletion = [](DeleteContext& ctx) {
        if (currentRole(ctx.db) == std::optional<int>(roleAdministrator))
            return DeleteVerdict::remove();
        return DeleteVerdict::refuse(QStringLiteral("Невозможно удалить пользователя ") + quoted(ctx.name) +
                                     QStringLiteral(". Недостаточно прав."));
    };
    addBookRules(entryUsers, r);
}

} // namespace

void registerStandardRules()
{
    addBookRules(entryDishCategories,
                 refuseWhileUsed(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id_type_meal = ?1"),
                                 QStringLiteral("Невозможно удалить категорию блюд "),
                                 QStringLiteral(", так как она используется в справочнике технологических карт.")));
    addBookRules(entryCollections,
                 refuseWhileUsed(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id_receptur = ?1"),
                                 QStringLiteral("Невозможно удалить сборник "),
                                 QStringLiteral(", так как он используется в справочнике технологических карт.")));
    addBookRules(entryCulinaryKinds,
                 refuseWhileUsed(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id_type_culinary = ?1"),
                                 QStringLiteral("Невозможно удалить вид кулинарной обработки "),
                                 QStringLiteral(", так как он используется в справочнике технологических карт.")));
    addBookRules(entryProductGroups,
                 refuseWhileUsed(QStringLiteral("SELECT COUNT(*) FROM products WHERE id_product_group = ?1"),
                                 QStringLiteral("Невозможно удалить группу продуктов "),
                                 QStringLiteral(", так как она используется в справочнике продуктов.")));
    registerVitamins();
    registerVitaminContent();
    registerSubstitutions();
    registerCurrencies();
    registerUnits();
    registerProducts();
    registerVitaminJournal();
    registerUsers();
    registerEaterTypeRules();
    registerProductRules();
    registerSeasonRules();
    registerCardCalculation();
    registerCardRules();
    registerCardYieldRules();
}

} // namespace rat::books
