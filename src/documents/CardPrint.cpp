// Printing technological cards.

#include "documents/CardPrint.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "refbooks/CardCalc.h"

#include <cmath>

namespace rat::documents {

namespace {

double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}

double round3(double v)
{
    return std::round(v * 1000.0) / 1000.0;
}

// The first row of the next card's copy below `top` (its "{org}" is not filled yet), or the row
// after the sheet when there is none.
int nextCard(const XlsxTemplate& t, int top)
{
    const int next = t.findRow(QStringLiteral("{org}"), top + 1);
    return next > 0 ? next : t.lastRow() + 1;
}

// One card filled into its copy of the template rows, from `top` to the next copy.
void fillCard(XlsxTemplate& t, Database& db, qint64 cardId, const ProgramParameters& p, const Organisation& org, int top)
{
    Statement st(db, QStringLiteral("SELECT cname, number1, numRec, description FROM card_recipes WHERE id = ?1"));
    st.bind(1, cardId);
    if (!st.next())
        return;
    const QString name = st.toString(0).trimmed(), number = st.toString(1).trimmed(),
                  recipe = st.toString(2).trimmed(), technology = st.toString(3).trimmed();
    const std::vector<books::CalcBlock> blocks = books::cardCalculation(db, cardId, std::nullopt, Clock::today());
    const bool requisites = p.dopRekvizit;
    for (const auto& [key, value] : std::vector<std::pair<QString, QString>>{
             {QStringLiteral("org"), requisites ? org.name : QString()},
             {QStringLiteral("approve"), requisites ? QStringLiteral("УТВЕРЖДАЮ") : QString()},
             {QStringLiteral("approver"), requisites ? QStringLiteral("Заведующий ________ ") + org.director : QString()},
             {QStringLiteral("number"), number}, {QStringLiteral("name"), name}, {QStringLiteral("recipe"), recipe},
             {QStringLiteral("technology"), technology},
             {QStringLiteral("signer"), requisites ? QStringLiteral("Медицинская сестра (диетсестра) ________") : QString()},
             {QStringLiteral("signerName"), requisites ? org.nurse : QString()},
             {QStringLiteral("signerCaption"), requisites ? QStringLiteral("(расшифровка подписи)") : QString()}})
        t.fill(key, CellValue::str(value), top, nextCard(t, top) - 1);

    const int first = t.findRow(QStringLiteral("{eater}"), top);
    const int lineRow = t.findRow(QStringLiteral("{line}"), top);
    const int valueRow = t.findRow(QStringLiteral("{protein}"), top);
    if (first <= 0 || lineRow <= first || valueRow <= lineRow || valueRow >= nextCard(t, top))
        return;
    const int size = valueRow - first + 1 + 1;  // the block and the blank row after it
    t.repeatRows(first, size, int(blocks.size()));
    // From the last block up, so the rows of the blocks above stay where they are.
    for (int b = int(blocks.size()) - 1; b >= 0; --b) {
        const books::CalcBlock& block = blocks[size_t(b)];
        const int top = first + b * size;
        const QString eater = p.galka ? QStringLiteral("Выход: ") + block.yieldText + QStringLiteral(" г (") + block.eaterName + u')'
                                      : block.eaterName;
        t.fillRow(top, {{QStringLiteral("eater"), CellValue::str(eater)}});
        t.fillRow(top + (valueRow - first),
                  {{QStringLiteral("protein"), CellValue::num(round2(block.protein))},
                   {QStringLiteral("fat"), CellValue::num(round2(block.fat))},
                   {QStringLiteral("carbohyd"), CellValue::num(round2(block.carbohyd))},
                   {QStringLiteral("calories"), CellValue::num(round2(block.calories))}});
        const int lines = top + (lineRow - first);
        t.repeatRows(lines, 1, int(block.lines.size()));
        for (size_t i = 0; i < block.lines.size(); ++i) {
            const books::CalcLine& l = block.lines[i];
            const int r = lines + int(i);
            if (l.comment) {
                t.fillRow(r, {{QStringLiteral("line"), CellValue::str(l.text)}});
                continue;
            }
            // Per 100 portions in kilograms: grams per portion × 100 / 1000.
            t.fillRow(r, {{QStringLiteral("line"), CellValue::str(l.text)},
                          {QStringLiteral("gross"), CellValue::num(round2(l.gross))},
                          {QStringLiteral("net"), CellValue::num(round2(l.net))},
                          {QStringLiteral("gross100"), CellValue::num(round3(l.gross / 10.0))},
                          {QStringLiteral("net100"), CellValue::num(round3(l.net / 10.0))}});
        }
    }
    t.clearPlaceholders(top, nextCard(t, top) - 1);
}

} // namespace

QString PrintCards(Database& db, Prompt& prompt, const std::vector<qint64>& cardIds)
{
    if (cardIds.empty())
        return {};
    PrintFrame frame(prompt, PrintFamily::Document);
    frame.progress(0);
    XlsxTemplate t;
    if (frame.openTemplate(QStringLiteral("Технологическая карта"), t) != PrintFrame::Template::Loaded)
        return {};  // the card's layout needs its template
    const ProgramParameters p = readOrganisationSwitches(db);
    const Organisation org = readOrganisation(db);
    // Every card is a copy of the template's rows, one after another.
    const int templateRows = t.lastRow();
    t.repeatRows(1, templateRows, int(cardIds.size()));
    int top = 1;
    for (size_t k = 0; k < cardIds.size(); ++k) {
        fillCard(t, db, cardIds[k], p, org, top);
        const int next = nextCard(t, top);
        if (k + 1 < cardIds.size() && p.tkList)
            t.addPageBreak(next - 1);
        top = next;
        frame.progress(10 + 70 * int(k + 1) / int(cardIds.size()));
    }
    const QString firstName = db.scalar(QStringLiteral("SELECT cname FROM card_recipes WHERE id = ?1"), {cardIds.front()}).toString().trimmed();
    const QString name = cardIds.size() == 1 ? QStringLiteral("Технологическая карта ") + firstName
                                             : QStringLiteral("Технологические карты");
    return frame.finish(t, name);
}

} // namespace rat::documents
