// Printing the day menu for parents.

#include "documents/DayMenuPrint.h"
#include "documents/Organisation.h"
#include "documents/PrintFrame.h"

#include "core/Clock.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"
#include "refbooks/BookCatalogue.h"

#include <vector>

namespace rat::documents {

QString askAndPrintDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId)
{
    if (prompt.ask(QStringLiteral("Печатать меню в Excel?"), Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return {};
    const Answer a = prompt.ask(QStringLiteral("Печатать меню для родителей в Excel? \"Да\" - меню для родителей с "
                                               "калькуляцией, \"Нет\" - меню для родителей без калькуляции, \"Отмена\" - "
                                               "не печатать."),
                                Buttons::YesNoCancel, Answer::Yes);
    if (a == Answer::Cancel || a == Answer::None)
        return {};
    return PrintDayMenu(db, prompt, dayMenuId, a == Answer::Yes);
}

namespace {

// The plain layout without a template: the placeholders of the shipped one.
void plainLayout(XlsxTemplate& t)
{
    const double widths[] = {40, 21, 9, 17, 11};
    for (int c = 1; c <= 5; ++c)
        t.setColumnWidth(c, widths[c - 1]);
    t.setText(1, 1, QStringLiteral("{org}"));
    t.setText(2, 3, QStringLiteral("Заведующий ________ {director}"));
    t.setText(4, 1, QStringLiteral("Меню на {date}"));
    t.setStyle(CellRange::cell(4, 1), CellStyle().size(12).heavy());
    t.setText(5, 1, QStringLiteral("{comment}"));
    const QStringList heads{QStringLiteral("Наименование блюда"), QStringLiteral("Тип довольствующихся"),
                            QStringLiteral("Выход, г"), QStringLiteral("Энергетическая ценность, ккал"),
                            QStringLiteral("Цена порции, {currency}")};
    const QStringList keys{QStringLiteral("{dish}"), QStringLiteral("{eater}"), QStringLiteral("{yield}"),
                           QStringLiteral("{calories}"), QStringLiteral("{cost}")};
    for (int c = 1; c <= 5; ++c) {
        t.setText(7, c, heads[c - 1]);
        t.setText(9, c, keys[c - 1]);
    }
    t.setText(8, 1, QStringLiteral("{group}"));
    t.merge(CellRange{8, 1, 8, 5});
    t.setStyle(CellRange{7, 1, 7, 5}, CellStyle().heavy().borders().wrapped().align(QStringLiteral("center")));
    t.setStyle(CellRange{8, 1, 8, 5}, CellStyle().heavy().borders());
    t.setStyle(CellRange{9, 1, 9, 5}, CellStyle().borders().wrapped());
    t.setStyle(CellRange::cell(9, 5), CellStyle().format(QStringLiteral("0.00")));
    t.setText(11, 1, QStringLiteral("Медицинская сестра (диетсестра) ________ {nurse}"));
    t.setText(13, 1, QStringLiteral("Повар ________ {cook}"));
    t.setPrintTitleRows(7, 7);
}

} // namespace

QString PrintDayMenu(Database& db, Prompt& prompt, qint64 dayMenuId, bool withCosts)
{
    const std::optional<menu::DayMenuHeader> header = menu::readDayMenu(db, dayMenuId);
    std::vector<menu::DayMenuRow> rows;
    if (header) {
        const menu::DayMenuRows all = menu::dayMenuRows(db, dayMenuId, header->basisCode, Clock::today());
        for (const menu::DayMenuRow& r : all.rows)
            if (r.quantity > 0)
                rows.push_back(r);
    }
    if (rows.empty()) {
        prompt.warning(QStringLiteral("Невозможно сформировать меню! Укажите количество довольствующихся!"));
        return {};
    }
    PrintFrame frame(prompt, PrintFamily::Document);
    frame.progress(0);
    XlsxTemplate t;
    const PrintFrame::Template opened = frame.openTemplate(QStringLiteral("Меню на день"), t);
    if (opened == PrintFrame::Template::Refused)
        return {};
    if (opened == PrintFrame::Template::Blank)
        plainLayout(t);
    frame.progress(10);

    const Organisation org = readOrganisation(db);
    const QString date = header->date.toString(QStringLiteral("dd.MM.yyyy"));
    for (const auto& [key, value] : std::vector<std::pair<QString, QString>>{
             {QStringLiteral("org"), org.name}, {QStringLiteral("director"), org.director},
             {QStringLiteral("nurse"), org.nurse}, {QStringLiteral("cook"), org.cook},
             {QStringLiteral("date"), date}, {QStringLiteral("number"), header->number},
             {QStringLiteral("comment"), header->comment}, {QStringLiteral("currency"), books::currencyShortName(db)}})
        t.fill(key, CellValue::str(value));

    // Groups one after another: the pair (group row, dish row) is copied for the next group, the
    // dish row repeated for the group's dishes; the unused last pair goes at the end.
    int groupRow = t.findRow(QStringLiteral("{group}"));
    const int dishRow = t.findRow(QStringLiteral("{dish}"));
    const bool pair = groupRow > 0 && dishRow == groupRow + 1;
    size_t i = 0;
    while (pair && i < rows.size()) {
        size_t j = i;
        while (j < rows.size() && rows[j].group == rows[i].group)
            ++j;
        t.repeatRows(groupRow, 2, 2);
        t.fillRow(groupRow, {{QStringLiteral("group"), CellValue::str(rows[i].group)}});
        t.repeatRows(groupRow + 1, 1, int(j - i));
        for (size_t k = i; k < j; ++k) {
            const menu::DayMenuRow& r = rows[k];
            t.fillRow(groupRow + 1 + int(k - i),
                      {{QStringLiteral("dish"), CellValue::str(r.dish)},
                       {QStringLiteral("eater"), CellValue::str(r.eaterType)},
                       {QStringLiteral("yield"), CellValue::str(r.yield)},
                       {QStringLiteral("calories"), CellValue::num(r.calories)},
                       {QStringLiteral("cost"), CellValue::num(r.portionCost)}});
        }
        groupRow += 1 + int(j - i);
        i = j;
    }
    if (pair)
        t.repeatRows(groupRow, 2, 0);
    if (!withCosts) {
        if (const auto cost = t.find(QStringLiteral("Цена порции")))
            t.deleteColumns(cost->second, 1);
    }
    frame.progress(80);
    t.clearPlaceholders();
    return frame.finish(t, QStringLiteral("Меню на ") + date + QStringLiteral(" (") + header->number + u')');
}

} // namespace rat::documents
