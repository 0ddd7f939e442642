// The list window's commands besides add and edit: deleting rows, searching a column,
// including every vitamin in card calculations.

#include "refbooks/BookActions.h"
#include "refbooks/BookDeleteFollowUp.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/TextFold.h"
#include "refbooks/BookRules.h"

#include <map>

namespace rat::books {

namespace {

QString q(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

} // namespace

DeleteResult deleteRows(Database& db, Prompt& prompt, int entry, const std::vector<qint64>& ids)
{
    DeleteResult result;
    const BookDef* def = findBook(entry);
    if (!def || def->readOnly)
        return result;
    const DeleteWords& words = def->deleteWords;
    if (ids.empty()) {
        prompt.info(QStringLiteral("Нет строк для удаления."));
        return result;
    }
    const QString confirm = QStringLiteral("Удалить выделенн") + (ids.size() == 1 ? words.one : words.many);
    if (prompt.ask(confirm, Buttons::YesNo, Answer::No) != Answer::Yes)
        return result;
    result.confirmed = true;
    prompt.status(words.running);

    const std::vector<BookRules>& rules = bookRules(entry);
    const QString nameSql = def->nameField.isEmpty()
                                ? QString()
                                : QStringLiteral("SELECT ") + q(def->nameField) + QStringLiteral(" FROM ") +
                                      q(def->table) + QStringLiteral(" WHERE ") + q(def->key) + QStringLiteral(" = ?1");
    const QString existsSql = QStringLiteral("SELECT COUNT(*) FROM ") + q(def->table) + QStringLiteral(" WHERE ") +
                              q(def->key) + QStringLiteral(" = ?1");

    std::vector<qint64> deletedIds;
    for (size_t i = 0; i < ids.size(); ++i) {
        const qint64 id = ids[i];
        if (db.scalar(existsSql, {id}).toLongLong() == 0)
            continue;  // removed meanwhile, with a row deleted before it
        DeleteContext ctx{db, prompt, *def, id, nameSql.isEmpty() ? QString() : db.scalar(nameSql, {id}).toString()};
        DeleteVerdict verdict;
        std::vector<SqlStep> dependents;
        for (const BookRules& r : rules) {
            if (!r.deletion)
                continue;
            DeleteVerdict v = r.deletion(ctx);
            if (v.kind != DeleteVerdict::Delete) {
                verdict = std::move(v);
                break;
            }
            dependents.insert(dependents.end(), v.dependents.begin(), v.dependents.end());
        }
        if (verdict.kind == DeleteVerdict::Refuse) {
            if (i + 1 < ids.size()) {
                if (prompt.ask(verdict.message + QStringLiteral("\n\nУдалить остальные выделенные строки?"),
                               Buttons::YesNo, Answer::No) != Answer::Yes)
                    break;
            } else {
                prompt.critical(verdict.message);
            }
            continue;
        }
        if (verdict.kind == DeleteVerdict::Keep)
            continue;
        try {
            Transaction tx(db);
            for (const SqlStep& s : dependents)
                db.exec(s.sql, s.params);
            db.exec(QStringLiteral("DELETE FROM ") + q(def->table) + QStringLiteral(" WHERE ") + q(def->key) +
                        QStringLiteral(" = ?1"),
                    {id});
            tx.commit();
            ++result.deleted;
            deletedIds.push_back(id);
        } catch (const DbError& e) {
            prompt.critical(QStringLiteral("Возникла ошибка при удалении строки. Ошибка: ") + e.text());
            break;
        }
    }
    prompt.status(words.done + QString::number(result.deleted));
    runDeletionFollowUp(entry, db, prompt, deletedIds);
    return result;
}

namespace {

std::map<int, DeletionFollowUp>& followUps()
{
    static std::map<int, DeletionFollowUp> all;
    return all;
}

} // namespace

void setDeletionFollowUp(int entry, DeletionFollowUp followUp)
{
    followUps()[entry] = std::move(followUp);
}

void runDeletionFollowUp(int entry, Database& db, Prompt& prompt, const std::vector<qint64>& deletedIds)
{
    if (deletedIds.empty())
        return;
    const auto it = followUps().find(entry);
    if (it != followUps().end() && it->second)
        it->second(db, prompt, deletedIds);
}

std::vector<SearchColumn> searchColumns(Database& db, int entry)
{
    std::vector<SearchColumn> out;
    for (const ListItem& it : listItems(db, ListSource::SearchColumns, entry))
        out.push_back({it.text, int(it.value.toLongLong()) - 1});
    return out;
}

bool BookSearch::canStart(Database& db, Prompt& prompt, int entry, const BookList& list)
{
    if (list.rowCount() > 0)
        return true;
    const BookDef* def = findBook(entry);
    const bool bookEmpty =
        !def || def->readOnly ||
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + q(def->table)).toLongLong() == 0;
    if (bookEmpty) {
        prompt.info(QStringLiteral("Справочник пуст! Поиск невозможен."));
        return false;
    }
    return true;
}

bool BookSearch::matches(const BookList& list, int row) const
{
    if (row < 0 || row >= list.rowCount() || column_ < 0)
        return false;
    const QStringList& cells = list.rows[size_t(row)];
    if (column_ >= cells.size())
        return false;
    return foldText(cells[column_]).contains(foldText(sample_));
}

std::optional<int> BookSearch::findNext(Prompt& prompt, const BookList& list, int currentRow)
{
    if (list.rowCount() == 0) {
        prompt.info(QStringLiteral("Поиск завершен. Справочник пуст."));
        return std::nullopt;
    }
    for (int row = qMax(0, currentRow + 1); row < list.rowCount(); ++row) {
        if (matches(list, row)) {
            foundBefore_ = true;
            return row;
        }
    }
    prompt.info(foundBefore_ ? QStringLiteral("Поиск завершен.") : QStringLiteral("Поиск завершен. Образец не найден"));
    return std::nullopt;
}

std::optional<int> offerPrerequisite(Database& db, Prompt& prompt, int entry)
{
    const BookDef* def = findBook(entry);
    if (!def)
        return std::nullopt;
    struct Needed {
        int entry;
        const char* table;
        const char* title;
    };
    std::optional<Needed> needed;
    switch (def->parentSource) {
    case ListSource::DishCategories: needed = Needed{entryDishCategories, "type_meal", "Категории блюд"}; break;
    case ListSource::Cards: needed = Needed{entryCards, "card_recipes", "Блюда"}; break;
    case ListSource::ProductGroups: needed = Needed{entryProductGroups, "product_group", "Группы продуктов"}; break;
    case ListSource::Products: needed = Needed{entryProducts, "products", "Продукты"}; break;
    case ListSource::EaterTypes: needed = Needed{entryEaterTypes, "type_eating", "Типы довольствующихся"}; break;
    case ListSource::PlanMenus: needed = Needed{35, "type_menu", "Типы меню"}; break;
    case ListSource::Rooms: needed = Needed{entryRooms, "ROOM", "Помещения"}; break;
    default: break;
    }
    if (!needed ||
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + q(QString::fromLatin1(needed->table))).toLongLong() > 0)
        return std::nullopt;
    if (prompt.ask(QStringLiteral("Сначала необходимо заполнить данные в справочнике \"") +
                       QString::fromUtf8(needed->title) + QStringLiteral("\". Открыть справочник?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return std::nullopt;
    return needed->entry;
}

bool includeAllVitamins(Database& db, Prompt& prompt)
{
    if (prompt.ask(QStringLiteral("Включить в рассчет все витамины?"), Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    db.exec(QStringLiteral("UPDATE vitamin SET ispCard = -1"));
    return true;
}

} // namespace rat::books
