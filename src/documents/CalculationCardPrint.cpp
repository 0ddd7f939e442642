// Printing the calculation card of a technological card.

#include "documents/CalculationCardPrint.h"
#include "documents/CellNames.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "refbooks/CardCalc.h"

#include <map>
#include <vector>

namespace rat::documents {

namespace {

using V = CellValue;

// One eater type's block: the lines from `lineRow` on, then the three cost rows.
void fillBlock(XlsxTemplate& t, const books::CalcBlock& block, int top, int lineRow, int totalRow, int money)
{
    t.fillRow(top, {{QStringLiteral("eater"), V::str(block.eaterName + QStringLiteral(", выход ") + block.yieldText +
                                                     QStringLiteral(" г"))}});
    const int lines = int(block.lines.size());
    t.repeatRows(lineRow, 1, lines);
    const int portionRow = totalRow + lines - 1;
    double portion = 0.0;
    int n = 0;
    for (int i = 0; i < lines; ++i) {
        const books::CalcLine& l = block.lines[size_t(i)];
        const int r = lineRow + i;
        if (l.comment) {
            t.fillRow(r, {{QStringLiteral("line"), V::str(l.text)}});
            continue;
        }
        std::map<QString, V> cells{{QStringLiteral("n"), V::num(++n)},
                                                 {QStringLiteral("line"), V::str(l.text)},
                                                 {QStringLiteral("unit"), V::str(l.unit)}};
        // The norm in kilograms and the price of a kilogram: the sum is the same price of a gram
        // times the grams the card's cost is taken on.
        const double grams = l.price != 0.0 ? l.costGross : l.gross;
        cells.emplace(QStringLiteral("qty"), V::num(grams / 1000.0));
        if (l.productLine) {
            cells.emplace(QStringLiteral("price"), V::num(l.price * 1000.0));
            // A variant may replace its product; it shows its sum but adds nothing to the portion.
            if (!l.variant) {
                cells.emplace(QStringLiteral("sum"),
                                   V::formulaNum(QStringLiteral("ROUND(%1*%2,%3)")
                                                     .arg(cellName(r, 4), cellName(r, 5))
                                                     .arg(money),
                                                 l.actualCost));
                portion += l.actualCost;
            } else {
                cells.emplace(QStringLiteral("sum"), V::num(l.actualCost));
            }
        }
        t.fillRow(r, cells);
    }
    portion = roundHalfEven(portion, money);
    // Only the dish's own lines add up: a variant's sum stands outside the sum of the portion.
    QStringList parts;
    for (int i = 0; i < lines; ++i) {
        const books::CalcLine& l = block.lines[size_t(i)];
        if (l.productLine && !l.variant)
            parts << cellName(lineRow + i, 6);
    }
    t.fillRow(portionRow, {{QStringLiteral("portion"), parts.isEmpty() ? V::num(0)
                                                                        : V::formulaNum(QStringLiteral("SUM(") +
                                                                                            parts.join(u',') + u')',
                                                                                        portion)}});
    t.fillRow(portionRow + 1, {{QStringLiteral("hundred"), V::formulaNum(cellName(portionRow, 6) + QStringLiteral("*100"),
                                                                         portion * 100.0)}});
    t.fillRow(portionRow + 2, {{QStringLiteral("planned"), V::num(roundHalfEven(block.plannedCost, money))}});
}

} // namespace

QString PrintCalculationCard(Database& db, Prompt& prompt, qint64 cardId, const QDate& date)
{
    PrintFrame frame(prompt, PrintFamily::Document);
    frame.progress(0);
    XlsxTemplate t;
    if (frame.openTemplate(QStringLiteral("Калькуляционная карточка"), t) != PrintFrame::Template::Loaded)
        return {};  // the card's layout needs its template
    Statement st(db, QStringLiteral("SELECT cname, number1, numRec FROM card_recipes WHERE id = ?1"));
    st.bind(1, cardId);
    if (!st.next())
        return {};
    const QString name = st.toString(0).trimmed();
    const Organisation org = readOrganisation(db);
    for (const auto& [key, value] : std::vector<std::pair<QString, QString>>{
             {QStringLiteral("org"), org.name}, {QStringLiteral("director"), org.director},
             {QStringLiteral("number"), st.toString(1).trimmed()}, {QStringLiteral("name"), name},
             {QStringLiteral("recipe"), st.toString(2).trimmed()},
             {QStringLiteral("date"), date.toString(QStringLiteral("dd.MM.yyyy"))},
             {QStringLiteral("cook"), org.cook}, {QStringLiteral("accountant"), org.accountant}})
        t.fill(key, V::str(value));
    frame.progress(10);

    const std::vector<books::CalcBlock> blocks = books::cardCalculation(db, cardId, std::nullopt, date);
    const int first = t.findRow(QStringLiteral("{eater}"));
    const int lineRow = t.findRow(QStringLiteral("{line}"));
    const int totalRow = t.findRow(QStringLiteral("{portion}"));
    const int plannedRow = t.findRow(QStringLiteral("{planned}"));
    if (first > 0 && lineRow > first && totalRow > lineRow && plannedRow >= totalRow) {
        const int size = plannedRow - first + 1 + 1;  // the block and the blank row after it
        t.repeatRows(first, size, int(blocks.size()));
        const int money = books::moneyPrecision();
        // From the first block down: each block's formulas name rows that no later insertion moves.
        int top = first;
        for (const books::CalcBlock& block : blocks) {
            fillBlock(t, block, top, top + (lineRow - first), top + (totalRow - first), money);
            top += size + int(block.lines.size()) - 1;
        }
    }
    frame.progress(80);
    t.clearPlaceholders();
    return frame.finish(t, QStringLiteral("Калькуляционная карточка ") + name);
}

QString AskAndPrintCalculationCard(Database& db, Prompt& prompt, qint64 cardId)
{
    const std::optional<QString> text = prompt.input(QStringLiteral("Калькуляционная карточка"),
                                                     QStringLiteral("Дата"),
                                                     Clock::today().toString(QStringLiteral("dd.MM.yyyy")));
    if (!text)
        return {};
    const QDate date = QDate::fromString(text->trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid()) {
        prompt.warning(QStringLiteral("Неверная дата."));
        return {};
    }
    return PrintCalculationCard(db, prompt, cardId, date);
}

} // namespace rat::documents
