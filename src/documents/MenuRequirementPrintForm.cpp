// Fills the menu-requirement template: header, eaters, product columns, dish rows by meal, the
// totals as formulas carrying their values, fonts and the rows repeated on every page.

#include "documents/MenuRequirementPrintForm.h"

#include "documents/CellNames.h"
#include "documents/XlsxTemplate.h"

#include <algorithm>
#include <functional>
#include <map>

namespace rat::documents {

namespace {

using V = CellValue;

int columnOf(const XlsxTemplate& t, const QString& placeholder)
{
    const auto at = t.find(placeholder);
    return at ? at->second : 0;
}

QString sumOf(const std::vector<QString>& cells)
{
    if (cells.empty())
        return QStringLiteral("0");
    QString f;
    for (const QString& c : cells)
        f += (f.isEmpty() ? QString() : QStringLiteral("+")) + c;
    return f;
}

class FormFiller {
public:
    FormFiller(XlsxTemplate& t, const MenuRequirementPrintData& d, const MenuRequirementPrintSettings& s)
        : t(t), d(d), s(s)
    {
    }

    void run()
    {
        titleRow = t.findRow(QStringLiteral("{number}"));
        fonts();
        header();
        eaters();
        products();
        leftColumns();
        const bool anyStaff = std::any_of(d.meals.begin(), d.meals.end(), [](const MealGroup& g) {
            return std::any_of(g.rows.begin(), g.rows.end(), [](const DishRow& r) { return r.staff; });
        });
        if (!anyStaff)
            dropStaffBlock();
        section(QStringLiteral("{meal}"), 0);
        section(QStringLiteral("{meal.kids}"), 1);
        section(QStringLiteral("{meal.staff}"), 2);
        totals();
        looks();
        t.clearPlaceholders();
    }

private:
    int kolCol(size_t i) const { return first + int(i) * width; }
    int kolvCol(size_t i) const { return first + int(i) * width + width - 1; }

    void header()
    {
        const MenuRequirementHeader& h = d.header;
        t.fill(QStringLiteral("org"), V::str(h.organisation));
        t.fill(QStringLiteral("director"), V::str(h.director));
        t.fill(QStringLiteral("okpo"), V::str(h.okpo));
        t.fill(QStringLiteral("structure"), V::str(h.structure));
        t.fill(QStringLiteral("date"), V::str(h.date.toString(QStringLiteral("dd.MM.yyyy"))));
        t.fill(QStringLiteral("number"), V::str(h.number));
        t.fill(QStringLiteral("currency"), V::str(h.currency));
        t.fill(QStringLiteral("menu_sum"), V::num(h.menuSum));
        t.fill(QStringLiteral("staff_count"), V::num(double(d.staffCount)));
        static const char* keys[] = {"sign.buh", "sign.med", "sign.mol", "sign.cook", "sign.store"};
        for (size_t i = 0; i < d.signatures.size() && i < 5; ++i)
            t.fill(QString::fromLatin1(keys[i]), V::str(d.signatures[i].name));
    }

    void eaters()
    {
        const int row = t.findRow(QStringLiteral("{e.name}"));
        if (!row)
            return;
        const int cName = columnOf(t, QStringLiteral("{e.name}"));
        const int cCount = columnOf(t, QStringLiteral("{e.count}"));
        const int cPrice = columnOf(t, QStringLiteral("{e.price}"));
        const int cCost = columnOf(t, QStringLiteral("{e.cost}"));
        const int cStaff = columnOf(t, QStringLiteral("{e.staff}"));
        const int n = int(d.eaters.size());
        t.repeatRows(row, 1, n);
        for (int i = 0; i < n; ++i) {
            const EaterLine& e = d.eaters[size_t(i)];
            const int r = row + i;
            t.set(r, cName, V::str(e.shortName));
            if (cCount)
                t.setNumber(r, cCount, double(e.count));
            if (cPrice)
                t.setNumber(r, cPrice, e.plannedCost);
            if (cCost)
                t.setFormula(r, cCost, cellName(r, cCount) + QLatin1Char('*') + cellName(r, cPrice), e.cost);
            if (cStaff)
                t.set(r, cStaff, e.staff ? V::num(double(e.count)) : V::empty());
        }
        const auto total = [&](const QString& name, int col, double value) {
            if (!col)
                return;
            t.fill(name, n ? V::formulaNum(QStringLiteral("SUM(") + rangeName(row, col, row + n - 1, col) +
                                               QLatin1Char(')'),
                                           value)
                           : V::num(0));
        };
        total(QStringLiteral("e_total.count"), cCount, double(d.eaterCount));
        total(QStringLiteral("e_total.cost"), cCost, d.plannedCost);
    }

    void products()
    {
        const auto kol = t.find(QStringLiteral("{p.kol}"));
        const auto kolv = t.find(QStringLiteral("{p.kolv}"));
        if (!kolv)
            return;
        first = kol ? kol->second : kolv->second;
        width = kol ? kolv->second - kol->second + 1 : 1;
        const bool perPortion = d.layout == MenuRequirementLayout::Products || s.perPortion;
        if (kol && !perPortion) {
            t.deleteColumns(kol->second, 1);
            width = 1;
            first = kol->second;
        }
        const int nameRow = t.findRow(QStringLiteral("{p.name}"));
        const int unitRow = t.findRow(QStringLiteral("{p.unit}"));
        const int codeRow = t.findRow(QStringLiteral("{p.code}"));
        // Only the table's own rows are copied across: a heading a user puts above the table in
        // these columns stays single.
        int tableTop = kolv->first;
        for (int row : {nameRow, unitRow, codeRow, kol ? kol->first : 0})
            if (row > 0)
                tableTop = std::min(tableTop, row);
        t.repeatColumns(first, width, int(d.products.size()), tableTop);
        for (size_t i = 0; i < d.products.size(); ++i) {
            const ProductColumn& p = d.products[i];
            const int c = kolCol(i);
            for (auto [row, text] : {std::pair{nameRow, p.name}, std::pair{unitRow, p.unit}, std::pair{codeRow, p.code}}) {
                if (!row)
                    continue;
                // The placeholder left in the pair's other cell goes with the rest at the end.
                t.set(row, c, V::str(text));
                if (width > 1)
                    t.merge({row, c, row, c + width - 1});
            }
            if (width > 1)
                t.setColumnWidth(c, s.minimizeColumns ? 5 : 7);
            t.setColumnWidth(kolvCol(i), s.minimizeColumns ? 6 : 9);
        }
        headFirst = nameRow ? nameRow : unitRow ? unitRow : codeRow;
        if (nameRow && !s.productNamesInHeader)
            t.deleteRows(nameRow, 1);
    }

    void leftColumns()
    {
        cType = columnOf(t, QStringLiteral("{r.type}"));
        cDish = columnOf(t, QStringLiteral("{r.dish}"));
        cPortions = columnOf(t, QStringLiteral("{r.portions}"));
        cOutput = columnOf(t, QStringLiteral("{r.output}"));
        cMoney = columnOf(t, QStringLiteral("{r.money}"));
        cPortionCost = columnOf(t, QStringLiteral("{r.pcost}"));
    }

    // Without staff rows the staff block of a template is left out.
    void dropStaffBlock()
    {
        const int begin = t.findRow(QStringLiteral("{staff.begin}"));
        if (!begin)
            return;
        int end = t.findRow(QStringLiteral("{s.fact}"));
        if (!end) {
            const int meal = t.findRow(QStringLiteral("{meal.staff}"));
            end = meal ? meal + 1 : begin;
        }
        t.deleteRows(begin, end - begin + 1);
    }

    // which: 0 every row, 1 children, 2 staff.
    void section(const QString& marker, int which)
    {
        const auto at = t.find(marker);
        if (!at)
            return;
        const int mealRow = at->first;
        std::vector<std::pair<QString, std::vector<const DishRow*>>> groups;
        for (const MealGroup& g : d.meals) {
            std::vector<const DishRow*> rows;
            for (const DishRow& r : g.rows)
                if (which == 0 || (which == 2) == r.staff)
                    rows.push_back(&r);
            if (!rows.empty())
                groups.emplace_back(g.title, std::move(rows));
        }
        t.repeatRows(mealRow, 2, int(groups.size()));
        for (int g = int(groups.size()) - 1; g >= 0; --g)
            t.repeatRows(mealRow + 2 * g + 1, 1, int(groups[size_t(g)].second.size()));
        int row = mealRow;
        for (const auto& [title, rows] : groups) {
            t.set(row, at->second, V::str(title));
            ++row;
            for (const DishRow* r : rows) {
                sheetRow[r] = row;
                if (cType)
                    t.setText(row, cType, r->eaterType);
                if (cDish)
                    t.setText(row, cDish, r->dish);
                if (cPortions)
                    t.setNumber(row, cPortions, double(r->portions));
                if (cOutput)
                    t.setNumber(row, cOutput, r->output);
                // Cells of products the dish does not use keep their placeholder until the end.
                for (size_t i = 0; i < d.products.size(); ++i) {
                    if (width > 1 && r->kol[i])
                        t.setNumber(row, kolCol(i), *r->kol[i]);
                    if (r->kolv[i])
                        t.setNumber(row, kolvCol(i), *r->kolv[i]);
                }
                ++row;
            }
        }
    }

    // The kolv cells of the rows that pass the test, in one column.
    std::vector<QString> cells(size_t product, const std::function<bool(const DishRow&)>& take) const
    {
        std::vector<QString> out;
        for (const MealGroup& g : d.meals)
            for (const DishRow& r : g.rows)
                if (take(r)) {
                    const auto it = sheetRow.find(&r);
                    if (it != sheetRow.end())
                        out.push_back(cellName(it->second, kolvCol(product)));
                }
        return out;
    }

    void totals()
    {
        const size_t n = d.products.size();
        // "Итого" per eater type.
        int totalFirst = 0, totalCount = 0;
        if (const int tr = t.findRow(QStringLiteral("{t.kolv}"))) {
            const int cTypeName = columnOf(t, QStringLiteral("{t.type}"));
            totalFirst = tr;
            totalCount = int(d.totals.size());
            t.repeatRows(tr, 1, totalCount);
            for (int k = 0; k < totalCount; ++k) {
                const EaterTypeTotal& tt = d.totals[size_t(k)];
                if (cTypeName)
                    t.setText(tr + k, cTypeName, tt.shortName);
                for (size_t i = 0; i < n; ++i) {
                    std::vector<QString> refs;
                    for (int idx : tt.rowIndexes) {
                        const auto it = sheetRow.find(&d.row(idx));
                        if (it != sheetRow.end())
                            refs.push_back(cellName(it->second, kolvCol(i)));
                    }
                    t.setFormula(tr + k, kolvCol(i), sumOf(refs), tt.kolv[i]);
                }
            }
        }
        const int kOut = t.findRow(QStringLiteral("{k.out}"));
        const int kAdj = t.findRow(QStringLiteral("{k.adj}"));
        const int kFact = t.findRow(QStringLiteral("{k.fact}"));
        const int sOut = t.findRow(QStringLiteral("{s.out}"));
        const int sPer = t.findRow(QStringLiteral("{s.per}"));
        const int sAdj = t.findRow(QStringLiteral("{s.adj}"));
        const int sFact = t.findRow(QStringLiteral("{s.fact}"));
        const int grand = t.findRow(QStringLiteral("{g.kolv}"));
        const int price = t.findRow(QStringLiteral("{p.price}"));
        const int sum = t.findRow(QStringLiteral("{p.sum}"));
        for (size_t i = 0; i < n; ++i) {
            const ProductColumn& p = d.products[i];
            const int c = kolvCol(i);
            auto at = [&](int row) { return cellName(row, c); };
            if (kOut)
                t.setFormula(kOut, c, sumOf(cells(i, [](const DishRow& r) { return !r.staff; })), p.children);
            if (kFact)
                t.setFormula(kFact, c, kAdj ? at(kOut) + QLatin1Char('+') + at(kAdj) : at(kOut), p.children);
            if (sOut)
                t.setFormula(sOut, c, sumOf(cells(i, [](const DishRow& r) { return r.staff; })), p.staff);
            if (sPer)
                t.set(sPer, c, d.staffCount > 0 ? V::formulaNum(at(sOut) + QLatin1Char('/') + QString::number(d.staffCount),
                                                                p.perStaffEater)
                                                : V::num(0));
            if (sFact)
                t.setFormula(sFact, c, sAdj ? at(sOut) + QLatin1Char('+') + at(sAdj) : at(sOut), p.staff);
            if (grand) {
                QString f;
                if (totalCount > 0)
                    f = QStringLiteral("SUM(") + rangeName(totalFirst, c, totalFirst + totalCount - 1, c) + QLatin1Char(')');
                else if (kOut || sOut) {
                    std::vector<QString> parts;
                    if (kOut)
                        parts.push_back(at(kFact ? kFact : kOut));
                    if (sOut)
                        parts.push_back(at(sFact ? sFact : sOut));
                    f = sumOf(parts);
                } else
                    f = sumOf(cells(i, [](const DishRow&) { return true; }));
                t.setFormula(grand, c, f, p.total);
            }
            if (price)
                t.setNumber(price, c, p.price);
            if (sum)
                t.setFormula(sum, c, grand && price ? at(grand) + QLatin1Char('*') + at(price) : QStringLiteral("0"), p.sum);
        }
        if (sum && n > 0)
            t.fill(QStringLiteral("sum_total"),
                   V::formulaNum(QStringLiteral("SUM(") + rangeName(sum, first, sum, kolvCol(n - 1)) + QLatin1Char(')'), d.sum));
        else
            t.fill(QStringLiteral("sum_total"), V::num(d.sum));
        // Money per dish row: its quantities at the prices of the price row.
        if (price && cMoney)
            for (const auto& [r, row] : sheetRow) {
                std::vector<QString> parts;
                double money = 0;
                for (size_t i = 0; i < n; ++i)
                    if (r->kolv[i]) {
                        parts.push_back(cellName(row, kolvCol(i)) + QLatin1Char('*') + cellName(price, kolvCol(i)));
                        money += *r->kolv[i] * d.products[i].price;
                    }
                t.setFormula(row, cMoney, sumOf(parts), money);
                if (cPortionCost)
                    t.set(row, cPortionCost,
                          r->portions > 0 ? V::formulaNum(cellName(row, cMoney) + QLatin1Char('/') + cellName(row, cPortions),
                                                          money / double(r->portions))
                                          : V::num(0));
            }
    }

    // The font sizes are laid on the template's cells before rows and columns are copied, so
    // every copy carries them.
    void fonts()
    {
        const int lastCol = std::max(t.lastColumn(), 1);
        t.setStyle({1, 1, t.lastRow(), lastCol}, CellStyle{.fontSize = double(s.fontSize)});
        if (titleRow)
            t.setStyle({titleRow, 1, titleRow, lastCol}, CellStyle{.fontSize = double(s.fontSize + 4), .bold = true});
        if (const auto kolv = t.find(QStringLiteral("{p.kolv}")))
            t.setStyle(CellRange::cell(kolv->first, kolv->second), CellStyle{.fontSize = double(s.totalFontSize)});
        if (const auto grand = t.find(QStringLiteral("{g.kolv}")))
            t.setStyle(CellRange::cell(grand->first, grand->second),
                       CellStyle{.fontSize = double(s.productTotalFontSize), .bold = true});
    }

    void looks()
    {
        const int headLast = t.findRow(QStringLiteral("{head.end}"));
        if (s.repeatHeader && headFirst && headLast >= headFirst)
            t.setPrintTitleRows(headFirst, headLast);
        // Pages to the right of the first keep the dish columns, so every product column can be
        // read against its dish.
        if (first > 1)
            t.setPrintTitleColumns(1, first - 1);
    }

    XlsxTemplate& t;
    const MenuRequirementPrintData& d;
    const MenuRequirementPrintSettings& s;
    int first = 0, width = 1;
    int cType = 0, cDish = 0, cPortions = 0, cOutput = 0, cMoney = 0, cPortionCost = 0;
    int titleRow = 0, headFirst = 0;
    std::map<const DishRow*, int> sheetRow;
};

} // namespace

void fillMenuRequirementForm(XlsxTemplate& sheet, const MenuRequirementPrintData& data,
                             const MenuRequirementPrintSettings& settings)
{
    FormFiller(sheet, data, settings).run();
}

} // namespace rat::documents
