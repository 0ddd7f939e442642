// The commands of the card list that recalculate cards: the questions after a recipe change
// and the batch nutrient value and cost over all cards, the selected one or a dish category.

#include "refbooks/CardCalc.h"

#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"

#include <QVariant>
#include <vector>

namespace rat::books {

void askRecalculationAfterRecipeChange(Database& db, Prompt& prompt, qint64 cardId)
{
    if (!autoRecalculationOn())
        return;
    const QVariant name = db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {cardId});
    if (name.isNull())
        return;
    const QString n = name.toString();
    if (prompt.ask(QStringLiteral("Вы изменили рецептуру. Пересчитать пищевую ценность технологической карты \"%1\" с "
                                  "учетом химического состава продуктов и  \"% несъедобной части\" продукта  из "
                                  "справочника \"Продукты\", а также с учетом \"Потери при тепловой обработке, %\"?")
                       .arg(n),
                   Buttons::YesNo, Answer::No) == Answer::Yes)
        calculateCardNutrients(db, cardId, &prompt);
    const bool priced =
        !db.scalar(QStringLiteral("SELECT 1 FROM products WHERE plpris <> 0 LIMIT 1")).isNull();
    if (priced &&
        prompt.ask(QStringLiteral("Вы изменили рецептуру, пересчитать стоимость технологической карты \"%1\"?").arg(n),
                   Buttons::YesNo, Answer::No) == Answer::Yes)
        storeCardCost(db, cardId, &prompt);
}

int calculateNutrientsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards)
{
    CardCalculator calc(db, &prompt);
    if (cards.size() > 1)
        calc.preload();
    Transaction t(db);
    int done = 0;
    for (qint64 id : cards) {
        if (calc.calculateNutrients(id))
            ++done;
        prompt.status(QStringLiteral("Пересчитано %1 технологических карт").arg(done));
    }
    t.commit();
    return done;
}

int storeCostsOfCards(Database& db, Prompt& prompt, const std::vector<qint64>& cards)
{
    CardCalculator calc(db, &prompt);
    if (cards.size() > 1)
        calc.preload();
    Transaction t(db);
    int done = 0;
    const int total = int(cards.size());
    for (qint64 id : cards) {
        if (calc.storeCost(id))
            ++done;
        prompt.status(QStringLiteral("Пересчитана стоимость карт %1 из %2").arg(done).arg(total));
    }
    t.commit();
    return done;
}

namespace {

std::vector<qint64> idsOf(Database& db, const QString& sql, const std::vector<QVariant>& params = {})
{
    std::vector<qint64> ids;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.next())
        ids.push_back(st.toInt64(0));
    return ids;
}

} // namespace

void batchNutrientCommand(Database& db, Prompt& prompt, std::optional<qint64> selectedCard, bool cardBookShown)
{
    const Answer a = prompt.ask(QStringLiteral("Рассчитывать химический состав всех блюд? \"Да\" - все блюда, \"Нет\" - "
                                               "выделенное блюдо, \"Отмена\" - не рассчитывать."),
                                Buttons::YesNoCancel, Answer::Cancel);
    std::vector<qint64> cards;
    if (a == Answer::Yes)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes ORDER BY id"));
    else if (a == Answer::No && selectedCard)
        cards = {*selectedCard};
    else
        return;
    calculateNutrientsOfCards(db, prompt, cards);
    prompt.info(cardBookShown ? QStringLiteral("Расчет химического состава завершен.")
                              : QStringLiteral("Расчет химического состава завершен. Данные можно посмотреть в "
                                               "справочнике \"Технологические карты\"."));
}

void batchCostCommand(Database& db, Prompt& prompt, qint64 categoryId)
{
    const QString category =
        db.scalar(QStringLiteral("SELECT tname FROM type_meal WHERE id = ?1"), {categoryId}).toString();
    const Answer a = prompt.ask(
        QStringLiteral("Пересчитать стоимость технологических карт категории \"%1\"? \"Да\" - пересчет стоимости карт "
                       "только выбранной категории, \"Нет\" - пересчет стоимости всех технологических карт, "
                       "\"Отмена\" - не пересчитывать.")
            .arg(category),
        Buttons::YesNoCancel, Answer::Cancel);
    std::vector<qint64> cards;
    if (a == Answer::Yes)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes WHERE id_type_meal = ?1 ORDER BY id"), {categoryId});
    else if (a == Answer::No)
        cards = idsOf(db, QStringLiteral("SELECT id FROM card_recipes ORDER BY id"));
    else
        return;
    storeCostsOfCards(db, prompt, cards);
    prompt.info(QStringLiteral("Пересчет выполнен."));
    prompt.status(QStringLiteral("Готово."));
}

} // namespace rat::books
