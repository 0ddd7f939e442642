// Recipe lines: a comment needs its text and a dish may not be nested into itself at any depth.
// Yields: one row per card and eater type, a question for a type that is not served, and a
// new row copied to every eater type the card has no yield for. Cards: deletion refused while
// menus use the card, nested uses removed on request, and the card's own rows removed with it.
// Copies: a card with everything it holds, or its recipe appended to another card.

#include "refbooks/CardRules.h"
#include "core/DataHelpers.h"

#include "core/Database.h"
#include "core/Prompt.h"
#include "refbooks/BookCatalogue.h"
#include "refbooks/BookRules.h"
#include "refbooks/RecordEditor.h"

#include <QStringList>
#include <algorithm>
#include <map>
#include <vector>

namespace rat::books {

namespace {

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

// What the check leaves for the write, under names no field of the book has: that the line
// was a variant, and the former main line of a line that becomes the main line of its group.
const QString kNewMainOf = QStringLiteral("#newMainOf");
const QString kWasVariant = QStringLiteral("#wasVariant");

// A saved variant line whose "Вариант" box was cleared: asks whether it becomes the main line
// of its group or a separate line.
void askUnvariant(SaveContext& ctx)
{
    if (ctx.mode != EditMode::Edit || !ctx.id || isSet(ctx.value(QStringLiteral("isVariant"))))
        return;
    Statement st(ctx.db, QStringLiteral("SELECT COALESCE(isVariant, 0), COALESCE(id_MainCard, 0) FROM recipes "
                                        "WHERE id = ?1"));
    st.bind(1, *ctx.id);
    if (!st.next() || st.toInt64(0) == 0)
        return;
    const qint64 formerMain = st.toInt64(1);
    ctx.values[kWasVariant] = true;
    const QString kind = isSet(ctx.value(QStringLiteral("isCard"))) ? QStringLiteral("вложенное блюдо")
                                                                     : QStringLiteral("продукт");
    const Answer a = ctx.prompt.ask(QStringLiteral("Сделать ") + kind +
                                        QStringLiteral(" основным для вариантов или отдельным? \"Да\" - основным, "
                                                       "\"Нет\" - отдельным."),
                                    Buttons::YesNo, Answer::Yes);
    if (a == Answer::Yes && formerMain != 0)
        ctx.values[kNewMainOf] = formerMain;
}

// In the line's write: a former variant loses its main line; made the main line of its group,
// it takes the former main line and that line's other variants as its own variants.
void repointUnvariant(SaveContext& ctx)
{
    if (!ctx.id || !ctx.value(kWasVariant).toBool())
        return;
    ctx.db.exec(QStringLiteral("UPDATE recipes SET id_MainCard = 0 WHERE id = ?1"), {*ctx.id});
    const QVariant formerMain = ctx.value(kNewMainOf);
    if (formerMain.isNull())
        return;
    ctx.db.exec(QStringLiteral("UPDATE recipes SET id_MainCard = ?1 WHERE COALESCE(isVariant, 0) <> 0 AND "
                               "id_MainCard = ?2 AND id <> ?1"),
                {*ctx.id, formerMain});
    ctx.db.exec(QStringLiteral("UPDATE recipes SET isVariant = -1, id_MainCard = ?1 WHERE id = ?2"),
                {*ctx.id, formerMain});
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
        } else if (isSet(ctx.value(QStringLiteral("isCard")))) {
            const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipes"));
            const QVariant dish = ctx.value(QStringLiteral("id_product"));
            if (!card.isNull() && !dish.isNull() && containsCard(ctx.db, dish, card)) {
                ctx.prompt.warning(QStringLiteral("Нельзя вложить блюдо в себя!"));
                return false;
            }
        }
        // Asked last, once the line is known to be saved.
        askUnvariant(ctx);
        return true;
    };
    r.inWrite = repointUnvariant;
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
    // Once a new yield is saved the person is told, then it is copied to every eater type the
    // card has no yield for: all those rows or none; the saved yield stays either way.
    r.followUp = [](SaveContext& ctx) {
        if (!ctx.isNew())
            return;
        const QVariant card = ownerCard(ctx, QStringLiteral("id_card_recipe"));
        if (card.isNull())
            return;
        const QString cardName =
            ctx.db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {card}).toString();
        ctx.prompt.info(
            QStringLiteral("Вы добавили выход блюда ") + quoted(cardName) +
            QStringLiteral(". Для корректной работы программы необходимо ввести выходы для всех типов "
                           "довольствующихся. Программа выполнит это автоматически, скопировав введенный Вами выход, и "
                           "Вы затем сможете при необходимости отредактировать строки."));
        try {
            Transaction tx(ctx.db);
            ctx.db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                                       "SELECT ?1, e.id, ?2, ?3, ?4 FROM type_eating e WHERE NOT EXISTS (SELECT 1 FROM "
                                       "output o WHERE o.id_card_recipe = ?1 AND o.id_type_eating = e.id) ORDER BY e.id"),
                        {card, ctx.value(QStringLiteral("output1")), ctx.value(QStringLiteral("output2")),
                         ctx.value(QStringLiteral("output3"))});
            tx.commit();
        } catch (const DbError&) {
            ctx.prompt.warning(QStringLiteral("Данные не добавлены. Возможна некорректная работа программы."));
        }
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

struct RecipeLine {
    qint64 id = 0;
    qint64 mainLine = 0;
    bool variant = false;
    std::vector<QVariant> values;  // in the order of the copied columns
};

// The lines of a card with the columns asked for after id, isVariant, id_MainCard, in id order.
std::vector<RecipeLine> readLines(Database& db, qint64 cardId, const QStringList& columns)
{
    std::vector<RecipeLine> lines;
    Statement st(db, QStringLiteral("SELECT id, COALESCE(isVariant, 0), COALESCE(id_MainCard, 0), ") +
                         columns.join(QStringLiteral(", ")) +
                         QStringLiteral(" FROM recipes WHERE id_card_recipes = ?1 ORDER BY id"));
    st.bind(1, cardId);
    while (st.next()) {
        RecipeLine l;
        l.id = st.toInt64(0);
        l.variant = st.toInt64(1) != 0;
        l.mainLine = st.toInt64(2);
        for (int i = 0; i < columns.size(); ++i)
            l.values.push_back(st.value(3 + i));
        lines.push_back(std::move(l));
    }
    return lines;
}

// The ingredient-grid key: a main line 12 is 12.00, its variant 15 is 12.1215.
double gridKey(const RecipeLine& l)
{
    const QString key = l.mainLine != 0 ? QStringLiteral("%1.%1%2").arg(l.mainLine).arg(l.id)
                                        : QStringLiteral("%1.00").arg(l.id);
    return key.toDouble();
}

// Appends the lines to `toCard`; a variant's main line is translated to the copy of that line
// (0 when the main line is not among the copied lines).
void appendLines(Database& db, qint64 toCard, const std::vector<RecipeLine>& lines, const QStringList& columns)
{
    QStringList marks;
    for (int k = 0; k < columns.size() + 2; ++k)
        marks << QStringLiteral("?%1").arg(k + 1);
    Statement ins(db, QStringLiteral("INSERT INTO recipes (id_card_recipes, id_MainCard, ") +
                          columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                          marks.join(QStringLiteral(", ")) + QLatin1Char(')'));
    std::map<qint64, qint64> copied;
    std::vector<std::pair<qint64, qint64>> pending;  // new variant line, source main line
    for (const RecipeLine& l : lines) {
        std::vector<QVariant> params{toCard, qint64(0)};
        params.insert(params.end(), l.values.begin(), l.values.end());
        ins.reset();
        ins.bindAll(params);
        ins.exec();
        const qint64 newId = db.lastInsertId();
        copied[l.id] = newId;
        if (l.mainLine != 0)
            pending.emplace_back(newId, l.mainLine);
    }
    for (const auto& [line, mainLine] : pending) {
        const auto it = copied.find(mainLine);
        if (it != copied.end())
            db.exec(QStringLiteral("UPDATE recipes SET id_MainCard = ?1 WHERE id = ?2"), {it->second, line});
    }
}

// Every column of a table but its key, for copying a row as it is.
QStringList columnsBesidesKey(Database& db, const QString& table)
{
    QStringList columns;
    Statement st(db, QStringLiteral("PRAGMA table_info(") + table + QLatin1Char(')'));
    while (st.next())
        if (st.toInt64(st.columnIndex(QStringLiteral("pk"))) == 0)
            columns << QLatin1Char('[') + st.value(QStringLiteral("name")).toString() + QLatin1Char(']');
    return columns;
}

} // namespace

std::optional<int> copyRecipe(Database& db, Prompt& prompt, qint64 fromCard, qint64 toCard)
{
    const QStringList columns = {QStringLiteral("id_product"), QStringLiteral("brutto"), QStringLiteral("netto"),
                                 QStringLiteral("isComment"),  QStringLiteral("isVariant"), QStringLiteral("comment"),
                                 QStringLiteral("isCard")};
    std::vector<RecipeLine> lines = readLines(db, fromCard, columns);
    if (lines.empty()) {
        prompt.warning(QStringLiteral("На выбранное блюдо нет данных. Копирование невозможно."));
        return std::nullopt;
    }
    if (fromCard == toCard) {
        prompt.warning(QStringLiteral("Невозможно копировать ингредиенты блюда самого в себя. Выберите другое блюдо "
                                      "куда копировать."));
        return std::nullopt;
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const RecipeLine& x, const RecipeLine& y) { return gridKey(x) < gridKey(y); });
    Transaction tx(db);
    appendLines(db, toCard, lines, columns);
    tx.commit();
    return int(lines.size());
}

std::optional<qint64> copyCard(Database& db, qint64 cardId)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id = ?1"), {cardId}).toLongLong() == 0)
        return std::nullopt;
    Transaction tx(db);
    const QStringList header = columnsBesidesKey(db, QStringLiteral("card_recipes"));
    db.exec(QStringLiteral("INSERT INTO card_recipes (") + header.join(QStringLiteral(", ")) +
                QStringLiteral(") SELECT ") + header.join(QStringLiteral(", ")) +
                QStringLiteral(" FROM card_recipes WHERE id = ?1"),
            {cardId});
    const qint64 newId = db.lastInsertId();

    QStringList vitamins = columnsBesidesKey(db, QStringLiteral("CARD_VITAMIN"));
    vitamins.removeAll(QStringLiteral("[id_card_recipes]"));
    db.exec(QStringLiteral("INSERT INTO CARD_VITAMIN (id_card_recipes, ") + vitamins.join(QStringLiteral(", ")) +
                QStringLiteral(") SELECT ?1, ") + vitamins.join(QStringLiteral(", ")) +
                QStringLiteral(" FROM CARD_VITAMIN WHERE id_card_recipes = ?2 ORDER BY rowid"),
            {newId, cardId});

    copyCardLinesAndYields(db, cardId, newId);
    tx.commit();
    return newId;
}

void copyCardLinesAndYields(Database& db, qint64 fromCard, qint64 toCard)
{
    const QStringList columns = {QStringLiteral("id_product"), QStringLiteral("brutto"),  QStringLiteral("netto"),
                                 QStringLiteral("isComment"),  QStringLiteral("isVariant"), QStringLiteral("comment"),
                                 QStringLiteral("isCard"),     QStringLiteral("vih_kol"),  QStringLiteral("brutto2"),
                                 QStringLiteral("netto2")};
    appendLines(db, toCard, readLines(db, fromCard, columns), columns);

    db.exec(QStringLiteral("INSERT INTO output (id_card_recipe, id_type_eating, output1, output2, output3) "
                           "SELECT ?1, id_type_eating, output1, output2, output3 FROM output "
                           "WHERE id_card_recipe = ?2 ORDER BY id"),
            {toCard, fromCard});
}

bool confirmCardNumber(Database& db, Prompt& prompt, std::optional<qint64> ownId, const QVariant& collection,
                       const QVariant& number, const QVariant& numrec)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE id <> ?1 AND id_receptur = ?2 AND "
                                 "COALESCE(number1, '') = COALESCE(?3, '') AND COALESCE(numRec, '') = COALESCE(?4, '')"),
                  {ownId ? QVariant(*ownId) : QVariant(qint64(-1)), collection, number, numrec})
            .toLongLong() == 0)
        return true;
    const QString collectionName = db.scalar(QStringLiteral("SELECT namesh FROM RECEPTUR WHERE ID = ?1"), {collection}).toString();
    return prompt.ask(QStringLiteral("Технологическая карта с номером ") + quoted(number.toString()) +
                          QStringLiteral(" из сборника рецептур ") + quoted(collectionName) +
                          QStringLiteral(" уже добавлена. Продолжить сохранение?"),
                      Buttons::YesNo, Answer::No) == Answer::Yes;
}

namespace {

// The plain form has no field of the recipe number: an edited card keeps its own.
bool confirmPlainCardNumber(SaveContext& ctx)
{
    QVariant numrec;
    if (ctx.has(QStringLiteral("numRec")))
        numrec = ctx.value(QStringLiteral("numRec"));
    else if (ctx.mode == EditMode::Edit && ctx.id)
        numrec = ctx.db.scalar(QStringLiteral("SELECT numRec FROM card_recipes WHERE id = ?1"), {*ctx.id});
    return confirmCardNumber(ctx.db, ctx.prompt, ctx.mode == EditMode::Edit ? ctx.id : std::nullopt,
                             ctx.value(QStringLiteral("id_receptur")), ctx.value(QStringLiteral("number1")), numrec);
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
    cards.check = confirmPlainCardNumber;
    cards.deletion = deleteCard;
    addBookRules(entryCards, cards);
    addBookRules(entryCardsWithComposition, cards);
}

bool copyRecipeToChosenCard(Database& db, Prompt& prompt, qint64 fromCard)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_card_recipes = ?1"), {fromCard}).toLongLong() == 0) {
        prompt.warning(QStringLiteral("На выбранное блюдо нет данных. Копирование невозможно."));
        return false;
    }
    const std::vector<ListItem> cards = listItems(db, ListSource::Cards);
    QStringList names;
    for (const ListItem& c : cards)
        names << c.text.trimmed();
    const std::optional<int> picked =
        prompt.choose(QStringLiteral("Копирование рецептуры"), QStringLiteral("Выберите блюдо, куда копировать:"), names);
    if (!picked)
        return false;
    std::optional<int> added;
    try {
        added = copyRecipe(db, prompt, fromCard, cards[size_t(*picked)].value.toLongLong());
    } catch (const DbError& e) {
        // Nothing was appended: the copy is one transaction.
        reportSaveError(prompt, e);
        return false;
    }
    if (!added)
        return false;
    prompt.info(QStringLiteral("Копирование выполнено."));
    return *added > 0;
}

} // namespace rat::books
