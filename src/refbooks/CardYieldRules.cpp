// The yields of a whole dish category set in one go, and the yields a card added through the
// plain card editor gets at once, so that no card is left without a yield for an eater type.

#include "refbooks/CardYieldRules.h"
#include "core/DataHelpers.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"
#include "refbooks/RecordEditor.h"

namespace rat::books {

namespace {

const QString kYieldCaption = QStringLiteral("Выход основного блюда, г");

void registerCategoryYields()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        if (ctx.value(QStringLiteral("id_type_meal")).isNull()) {
            ctx.prompt.warning(QStringLiteral("Необходимо обязательно заполнить категорию блюда."));
            return false;
        }
        if (ctx.value(QStringLiteral("id_type_eating")).isNull()) {
            ctx.prompt.warning(QStringLiteral("Необходимо обязательно заполнить тип довольствующихся."));
            return false;
        }
        // The main yield is what every portion is scaled by; it is asked for after the two
        // choices, with the common words of a field that must be filled.
        if (ctx.value(QStringLiteral("output1")).isNull()) {
            ctx.prompt.warning(QStringLiteral("Необходимо обязательно заполнить поле ") +
                               quoted(ctx.caption(QStringLiteral("output1"))) + QLatin1Char('.'));
            return false;
        }
        return ctx.prompt.ask(QStringLiteral("Внимание! Будут изменены выходы для всех блюд категории ") +
                                  quoted(ctx.shownText(QStringLiteral("id_type_meal"))) +
                                  QStringLiteral(" для типа довольствующегося ") +
                                  quoted(ctx.shownText(QStringLiteral("id_type_eating"))) +
                                  QStringLiteral(". Отменить изменения невозможно! Продолжить?"),
                              Buttons::YesNo, Answer::No) == Answer::Yes;
    };
    // In the save's transaction: every card of the category or none.
    r.inWrite = [](SaveContext& ctx) {
        setCategoryYields(ctx.db, ctx.value(QStringLiteral("id_type_meal")).toLongLong(),
                          ctx.value(QStringLiteral("id_type_eating")).toLongLong(), ctx.value(QStringLiteral("output1")),
                          ctx.value(QStringLiteral("output2")), ctx.value(QStringLiteral("output3")));
    };
    addBookRules(entryCategoryYields, r);
}

void registerNewCardYields()
{
    BookRules r;
    r.followUp = [](SaveContext& ctx) {
        if (ctx.isNew() && ctx.id)
            addYieldsOfNewCard(ctx.db, ctx.prompt, *ctx.id);
    };
    addBookRules(entryCards, r);
    addBookRules(entryCardsWithComposition, r);
}

// The yield typed into the input box: a whole number of grams, not negative. Shows what is
// wrong and returns nothing otherwise.
std::optional<qint64> typedYield(Prompt& prompt, const QString& text)
{
    const QString problem = numericTypingProblem(text);
    if (!problem.isEmpty()) {
        prompt.warning(problem);
        return std::nullopt;
    }
    bool ok = false;
    const qint64 grams = text.trimmed().toLongLong(&ok);
    if (!ok) {
        prompt.warning(QStringLiteral("Значение ") + quoted(text.trimmed()) + QStringLiteral(" поля ") +
                       quoted(kYieldCaption) + QStringLiteral(" не корректно. Измените введенное значение."));
        return std::nullopt;
    }
    return grams;
}

} // namespace

int setCategoryYields(Database& db, qint64 category, qint64 eaterType, const QVariant& output1,
                      const QVariant& output2, const QVariant& output3)
{
    db.exec(QStringLiteral("UPDATE output SET output1 = ?1, output2 = ?2, output3 = ?3 WHERE id_type_eating = ?4 "
                           "AND id_card_recipe IN (SELECT id FROM card_recipes WHERE id_type_meal = ?5)"),
            {output1, output2, output3, eaterType, category});
    return db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                  "SELECT c.id, ?1, ?2, ?3, ?4 FROM card_recipes c WHERE c.id_type_meal = ?5 AND "
                                  "NOT EXISTS (SELECT 1 FROM output o WHERE o.id_card_recipe = c.id AND "
                                  "o.id_type_eating = ?1) ORDER BY c.id"),
                   {eaterType, output1, output2, output3, category});
}

std::optional<qint64> addYieldsOfNewCard(Database& db, Prompt& prompt, qint64 cardId)
{
    prompt.info(QStringLiteral("Вы добавили технологическую карту. Необходимо добавить выходы для каждого типа "
                               "довольствующихся."));
    std::optional<qint64> yield;
    QString text;
    while (!yield) {
        const std::optional<QString> answer =
            prompt.input(QStringLiteral("Выход блюда"), QStringLiteral("Введите выход блюда"), text);
        if (!answer || answer->trimmed().isEmpty())
            break;
        text = *answer;
        yield = typedYield(prompt, text);
    }
    if (yield) {
        try {
            Transaction tx(db);
            db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1) SELECT ?1, e.id, ?2 "
                                   "FROM type_eating e WHERE NOT EXISTS (SELECT 1 FROM output o WHERE "
                                   "o.id_card_recipe = ?1 AND o.id_type_eating = e.id) ORDER BY e.id"),
                    {cardId, *yield});
            tx.commit();
        } catch (const DbError&) {
            prompt.warning(QStringLiteral("Данные не добавлены. Возможна некорректная работа программы."));
            yield.reset();
        }
    } else {
        prompt.warning(QStringLiteral("Выходы блюда не добавлены. Добавьте их в справочнике \"Выходы блюд\"."));
    }
    prompt.info(QStringLiteral("Для корректной работы программы необходимо добавить ингредиенты в справочник "
                               "\"Рецептуры\"."));
    return yield;
}

void registerCardYieldRules()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerCategoryYields();
    registerNewCardYields();
}

} // namespace rat::books
