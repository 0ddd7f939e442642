// The two grids of the card window and the deletion of their rows.

#include "core/Database.h"
#include "core/DataHelpers.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/TextFold.h"
#include "refbooks/CardCalc.h"
#include "refbooks/CardEditor.h"

#include <algorithm>
#include <tuple>

namespace rat::books {

namespace {

// A nested dish as the grid names it: "Фрикадельки №12 (105)".
QString dishName(const QString& name, const QString& number, const QString& numrec)
{
    QString s = name + QStringLiteral(" №") + number;
    if (const qint64 n = recipeNumberValue(numrec); n != 0)
        s += QStringLiteral(" (%1)").arg(n);
    return s;
}

// The ingredient-grid key: a main line 12 is 12.00, its variant 15 is 12.1215.
double gridKey(qint64 id, qint64 mainLine)
{
    const QString key = mainLine != 0 ? QStringLiteral("%1.%1%2").arg(mainLine).arg(id)
                                      : QStringLiteral("%1.00").arg(id);
    return key.toDouble();
}

const char* const kLinesSql =
    "SELECT r.id, COALESCE(r.id_MainCard, 0), COALESCE(r.isCard, 0), COALESCE(r.isComment, 0), "
    "COALESCE(r.isVariant, 0), r.comment, COALESCE(r.id_product, 0), p.pname, c.cname, c.number1, c.numRec, "
    "COALESCE(r.brutto, 0), COALESCE(r.netto, 0) "
    "FROM recipes r LEFT JOIN products p ON p.id = r.id_product AND COALESCE(r.isCard, 0) = 0 "
    "LEFT JOIN card_recipes c ON c.id = r.id_product AND COALESCE(r.isCard, 0) <> 0 "
    "WHERE r.id_card_recipes = ?1 ";

struct Line {
    qint64 id = 0, mainLine = 0, item = 0;
    bool isCard = false, isComment = false, isVariant = false;
    QString name;  // comment text, product name or the nested dish's grid name
    double brutto = 0, netto = 0;
};

std::vector<Line> readLines(Database& db, qint64 cardId, bool calculatedOnly)
{
    std::vector<Line> lines;
    Statement st(db, QString::fromUtf8(kLinesSql) +
                         (calculatedOnly ? QStringLiteral("AND COALESCE(r.isComment, 0) = 0 AND "
                                                          "COALESCE(r.isVariant, 0) = 0 ")
                                         : QString()) +
                         QStringLiteral("ORDER BY r.id"));
    st.bind(1, cardId);
    while (st.next()) {
        Line l;
        l.id = st.toInt64(0);
        l.mainLine = st.toInt64(1);
        l.isCard = st.toInt64(2) != 0;
        l.isComment = st.toInt64(3) != 0;
        l.isVariant = st.toInt64(4) != 0;
        l.item = st.toInt64(6);
        if (l.isComment)
            l.name = st.toString(5);
        else if (l.isCard)
            l.name = dishName(st.toString(8), st.toString(9), st.toString(10));
        else
            l.name = st.toString(7);
        l.brutto = st.toDouble(11);
        l.netto = st.toDouble(12);
        lines.push_back(std::move(l));
    }
    return lines;
}

} // namespace

std::vector<CardIngredientRow> cardIngredientRows(Database& db, qint64 cardId)
{
    std::vector<Line> lines = readLines(db, cardId, false);
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return gridKey(a.id, a.mainLine) < gridKey(b.id, b.mainLine);
    });
    std::vector<CardIngredientRow> rows;
    for (const Line& l : lines) {
        CardIngredientRow row;
        row.kind = l.isComment ? QStringLiteral("Комментарий") : l.isVariant ? QStringLiteral("или") : QString();
        row.name = l.name;
        row.text = l.isCard && !l.isComment ? l.name + QLatin1Char(':') : l.name;
        row.brutto = l.brutto;
        row.netto = l.netto;
        row.itemId = l.item;
        row.lineId = l.id;
        row.isCard = l.isCard && !l.isComment;
        rows.push_back(row);
        if (!row.isCard)
            continue;
        // The nested dish's own lines, at the mass of it that goes into 100 g of this dish.
        for (const Line& n : readLines(db, l.item, true)) {
            CardIngredientRow sub;
            sub.name = n.name;
            sub.text = (n.isCard ? QStringLiteral("      >") : QStringLiteral("    >")) + n.name;
            sub.brutto = roundHalfEven(n.brutto * l.netto / 100.0, 2);
            sub.netto = roundHalfEven(n.netto * l.netto / 100.0, 2);
            sub.itemId = n.item;
            sub.lineId = n.id;
            sub.isCard = n.isCard;
            sub.nested = true;
            rows.push_back(sub);
        }
    }
    return rows;
}

std::vector<CardYieldRow> cardYieldRows(Database& db, qint64 cardId)
{
    struct Sorted {
        CardYieldRow row;
        QString menu, eater;
    };
    std::vector<Sorted> rows;
    Statement st(db, QStringLiteral("SELECT o.id, e.id, e.shname, COALESCE(o.output1, 0), COALESCE(o.output2, 0), "
                                    "COALESCE(o.output3, 0), COALESCE(m.tname, ''), COALESCE(e.ename, '') "
                                    "FROM output o JOIN type_eating e ON e.id = o.id_type_eating "
                                    "LEFT JOIN type_menu m ON m.id = e.id_type_menu "
                                    "WHERE o.id_card_recipe = ?1 AND COALESCE(e.status, 0) <> 0 ORDER BY o.id"));
    st.bind(1, cardId);
    while (st.next()) {
        Sorted s;
        s.row.id = st.toInt64(0);
        s.row.eaterTypeId = st.toInt64(1);
        s.row.eaterType = st.toString(2);
        s.row.text = yieldText(st.toDouble(3), st.toDouble(4), st.toDouble(5));
        s.menu = st.toString(6);
        s.eater = st.toString(7);
        rows.push_back(std::move(s));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Sorted& a, const Sorted& b) {
        if (const int c = compareRussian(a.menu, b.menu))
            return c < 0;
        if (const int c = compareRussian(a.eater, b.eater))
            return c < 0;
        return compareRussian(a.row.text, b.row.text) < 0;
    });
    std::vector<CardYieldRow> out;
    for (Sorted& s : rows)
        out.push_back(std::move(s.row));
    return out;
}

namespace {

// The deletion common to both grids: the confirmation, the status texts, a refusal followed by
// the question whether to go on while rows remain. `handle` returns the refusal, or an empty
// text when the row was dealt with (`deleted` tells whether it went).
template <class Row, class Handle>
int deleteSelected(Prompt& prompt, const std::vector<Row>& rows, Handle handle)
{
    if (rows.empty())
        return 0;
    if (prompt.ask(QStringLiteral("Удалить выделенн") +
                       (rows.size() == 1 ? QStringLiteral("ую строку?") : QStringLiteral("ые строки?")),
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return 0;
    prompt.status(QStringLiteral("Идет удаление строк..."));
    int deleted = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        bool gone = false;
        QString refusal;
        try {
            refusal = handle(rows[i], gone);
        } catch (const DbError& e) {
            // The row stays as it was; the rest is not tried.
            prompt.critical(QStringLiteral("Возникла ошибка при удалении строки. Ошибка: ") + e.text());
            break;
        }
        if (gone)
            ++deleted;
        if (refusal.isEmpty())
            continue;
        if (i + 1 < rows.size()) {
            if (prompt.ask(refusal + QStringLiteral("\n\nУдалить остальные выделенные строки?"), Buttons::YesNo,
                           Answer::No) != Answer::Yes)
                break;
        } else {
            prompt.critical(refusal);
        }
    }
    prompt.status(QStringLiteral("Удалено строк: ") + QString::number(deleted));
    return deleted;
}

} // namespace

int deleteCardIngredientRows(Database& db, Prompt& prompt, qint64 cardId, const std::vector<CardIngredientRow>& rows)
{
    const int deleted = deleteSelected(prompt, rows, [&](const CardIngredientRow& row, bool& gone) -> QString {
        if (row.nested)
            return QStringLiteral("Невозможно удалить продукт/блюдо ") + quoted(row.name) +
                   QStringLiteral(", так как он/оно является ингредиентом вложенного блюда. Удалите вложенное блюдо.");
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM recipes WHERE id_MainCard = ?1 AND id <> ?1"), {row.lineId})
                .toLongLong() > 0)
            return QStringLiteral("Невозможно удалить основной продукт/блюдо ") + quoted(row.name) +
                   QStringLiteral(", так как для него добавлены варианты. Сначала удалите варианты.");
        gone = db.exec(QStringLiteral("DELETE FROM recipes WHERE id = ?1 AND id_card_recipes = ?2"),
                       {row.lineId, cardId}) > 0;
        return {};
    });
    if (deleted > 0)
        askRecalculationAfterRecipeChange(db, prompt, cardId);
    return deleted;
}

int deleteCardYieldRows(Database& db, Prompt& prompt, qint64 cardId, const std::vector<CardYieldRow>& rows)
{
    return deleteSelected(prompt, rows, [&](const CardYieldRow& row, bool& gone) -> QString {
        const QVariant planMenu =
            db.scalar(QStringLiteral("SELECT id_type_menu FROM type_eating WHERE id = ?1"), {row.eaterTypeId});
        const QString head = QStringLiteral("Невозможно удалить выход ") + quoted(row.text);
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM plan_menu p JOIN days d ON d.id = p.id_day "
                                     "WHERE p.id_card_recipes = ?1 AND d.id_type_menu = ?2"),
                      {cardId, planMenu})
                .toLongLong() > 0)
            return head + QStringLiteral(", так как блюдо используется в плане-меню.");
        if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM day_menu_point p JOIN day_menu m ON m.id = p.id_day_menu "
                                     "WHERE p.id_card_recipe = ?1 AND m.id_type_menu = ?2"),
                      {cardId, planMenu})
                    .toLongLong() > 0 ||
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM MENUTR_POINT WHERE id_card = ?1 AND id_type_eating = ?2"),
                      {cardId, row.eaterTypeId})
                    .toLongLong() > 0)
            return head + QStringLiteral(", так как блюдо используется в меню на день.");
        if (prompt.ask(QStringLiteral("Внимание! Для корректной работы в технологических картах должны быть введены "
                                      "выходы для каждого типа довольствующихся. Удалить выход?"),
                       Buttons::YesNo, Answer::No) != Answer::Yes)
            return {};
        gone = db.exec(QStringLiteral("DELETE FROM output WHERE id = ?1 AND id_card_recipe = ?2"), {row.id, cardId}) > 0;
        return {};
    });
}

} // namespace rat::books
