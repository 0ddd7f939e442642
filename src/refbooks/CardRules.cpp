// Recipe lines: a comment needs its text and a dish may not be nested into itself at any depth.
// Yields: one row per card and eater type, a question for a type that is not served, and a
// new row copied to every eater type the card has no yield for. Cards: deletion refused while
// menus use the card, nested uses removed on request, and the card's own rows removed with it.

#include "refbooks/CardRules.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookRules.h"

namespace rat::books {

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

qint64 count(Database& db, const QString& sql, const std::vector<QVariant>& params)
{
    return db.scalar(sql, params).toLongLong();
}

bool isSet(const QVariant& v)
{
    return !v.isNull() && v.toLongLong() != 0;
}

// The card a line or yield belongs to: its own field, else the parent the editor was opened with.
QVariant ownerCard(const SaveContext& ctx, const QString& field)
{
    QVariant card = ctx.value(field);
    if (card.isNull() && ctx.parentId)
        card = *ctx.parentId;
    return card;
}

// True when `dish` is `card` or contains it as a nested dish at any depth.
bool containsCard(Database& db, const QVariant& dish, const QVariant& card)
{
    return count(db,
                 QStringLiteral("WITH RECURSIVE nest(id) AS (SELECT ?1 UNION SELECT r.id_product FROM recipes r "
                                "JOIN nest ON r.id_card_recipes = nest.id WHERE COALESCE(r.isCard, 0) <> 0) "
                                "SELECT COUNT(*) FROM nest WHERE id = ?2"),
                 {dish.toLongLong(), card.toLongLong()}) > 0;
}

void registerRecipeLines()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        if (isSet(ctx.value(QStringLiteral("isComment")))) {
            if (ctx.value(QStringLiteral("comment")).toString().trimmed().isEmpty()) {
                ctx.prompt.warning(QStringLiteral("Необходимо обязательно ввести комментарий."));
                return false;
            }
            return true;
        }
        if (isSet(ctx.value(QStringLiteral("isCard")))) {
            const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipes"));
            const QVariant dish = ctx.value(QStringLiteral("id_product"));
            if (!card.isNull() && !dish.isNull() && containsCard(ctx.db, dish, card)) {
                ctx.prompt.warning(QStringLiteral("Нельзя вложить блюдо в себя!"));
                return false;
            }
        }
        return true;
    };
    addBookRules(entryRecipeLines, r);
}

void registerYields()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipe"));
        const QVariant type = ctx.value(QStringLiteral("id_type_eating"));
        if (card.isNull() || type.isNull())
            return true;
        const QString typeName =
            ctx.db.scalar(QStringLiteral("SELECT shname FROM type_eating WHERE id = ?1"), {type}).toString();
        if (count(ctx.db,
                  QStringLiteral("SELECT COUNT(*) FROM output WHERE id_card_recipe = ?1 AND id_type_eating = ?2 "
                                 "AND id <> ?3"),
                  {card, type, ctx.ownIdOrNone()}) > 0) {
            const QString cardName =
                ctx.db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {card}).toString();
            ctx.prompt.warning(QStringLiteral("На блюдо ") + quoted(cardName) + QStringLiteral(" для типа ") +
                               quoted(typeName) + QStringLiteral(" уже добавлен выход."));
            return false;
        }
        if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM type_eating WHERE id = ?1 AND COALESCE(status, 0) = 0"),
                  {type}) > 0 &&
            ctx.prompt.ask(QStringLiteral("Выбранный тип ") + quoted(typeName) +
                               QStringLiteral(" не стоит на довольствии! Продолжить?"),
                           Buttons::YesNo, Answer::No) != Answer::Yes)
            return false;
        return true;
    };
    // A new yield is copied, in the same write, to every eater type the card has no yield for.
    r.inWrite = [](SaveContext& ctx) {
        if (!ctx.isNew())
            return;
        const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipe"));
        if (card.isNull())
            return;
        ctx.db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                   "SELECT ?1, e.id, ?2, ?3, ?4 FROM type_eating e WHERE NOT EXISTS (SELECT 1 FROM "
                                   "output o WHERE o.id_card_recipe = ?1 AND o.id_type_eating = e.id) ORDER BY e.id"),
                    {card, ctx.value(QStringLiteral("output1")), ctx.value(QStringLiteral("output2")),
                     ctx.value(QStringLiteral("output3"))});
    };
    r.followUp = [](SaveContext& ctx) {
        if (!ctx.isNew())
            return;
        const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipe"));
        const QString cardName =
            ctx.db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {card}).toString();
        ctx.prompt.info(
            QStringLiteral("Вы добавили выход блюда ") + quoted(cardName) +
            QStringLiteral(". Для корректной работы программы необходимо ввести выходы для всех типов "
                           "довольствующихся. Программа выполнит это автоматически, скопировав введенный Вами выход, и "
                           "Вы затем сможете при необходимости отредактировать строки."));
    };
    addBookRules(entryYields, r);
}

DeleteVerdict deleteCard(DeleteContext& ctx)
{
    const QString name = quoted(ctx.name);
    const QString head = QStringLiteral("Невозможно удалить технологическую карту ") + name;
    if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM plan_menu WHERE id_card_recipes = ?1"), {ctx.id}) > 0)
        return DeleteVerdict::refuse(head + QStringLiteral(", так как она используется в плане-меню. Сначала удалите "
                                                           "строки с картой из плана-меню."));
    if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM day_menu_point WHERE id_card_recipe = ?1"), {ctx.id}) > 0)
        return DeleteVerdict::refuse(head + QStringLiteral(", так как она используется в меню на день. Сначала "
                                                           "удалите все строки с картой из меню на день."));
    if (count(ctx.db, QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT WHERE id_card = ?1"), {ctx.id}) > 0)
        return DeleteVerdict::refuse(head + QStringLiteral(", так как она используется в меню-требовании. Сначала "
                                                           "удалите все строки с картой из меню-требования."));
    std::vector<SqlStep> steps;
    if (count(ctx.db,
              QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_product = ?1 AND COALESCE(isCard, 0) <> 0 AND "
                             "id_card_recipes <> ?1"),
              {ctx.id}) > 0) {
        if (ctx.prompt.ask(QStringLiteral("Технологическая карта ") + name +
                               QStringLiteral(" используется в качестве вложенного блюда. Удалить вложенное блюдо из "
                                              "всех рецептур, где оно используется?"),
                           Buttons::YesNo, Answer::No) != Answer::Yes)
            return DeleteVerdict::keep();
    }
    steps.push_back(
        {QStringLiteral("DELETE FROM recipes WHERE id_product = ?1 AND COALESCE(isCard, 0) <> 0"), {ctx.id}});
    steps.push_back({QStringLiteral("DELETE FROM recipes WHERE id_card_recipes = ?1"), {ctx.id}});
    steps.push_back({QStringLiteral("DELETE FROM output WHERE id_card_recipe = ?1"), {ctx.id}});
    steps.push_back({QStringLiteral("DELETE FROM CARD_VITAMIN WHERE id_card_recipes = ?1"), {ctx.id}});
    return DeleteVerdict::remove(std::move(steps));
}

} // namespace

void registerCardRules()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerRecipeLines();
    registerYields();
    BookRules cards;
    cards.deletion = deleteCard;
    addBookRules(entryCards, cards);
    addBookRules(entryCardsWithComposition, cards);
}

} // namespace rat::books
