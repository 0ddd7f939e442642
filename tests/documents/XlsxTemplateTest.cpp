// The template engine: placeholders, repeated rows and columns with their merges, formulas and
// print titles, styles, the saved package read back.

#include "documents/CellNames.h"
#include "documents/XlsxPackage.h"
#include "documents/XlsxReader.h"
#include "documents/XlsxTemplate.h"
#include "documents/ZipParts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rat::documents;

namespace {

// A template as a user would keep it: placeholders, a header merge, a block row, a total row.
//  1 "{title}" merged A1:D1            (print titles rows 1-2)
//  2 Наименование | Кол-во | Цена | Сумма
//  3 {n} | {q} | {p} | {s}             (block, merged? no)
//  4 Итого: | | | SUM(D3:D3)
//  5 "Подпись {who}" merged A5:B5
QByteArray sampleTemplate()
{
    XlsxTemplate t;
    t.openBlank();
    t.setText(1, 1, QStringLiteral("{title}"));
    t.merge(CellRange{1, 1, 1, 4});
    const QStringList head{QStringLiteral("Наименование"), QStringLiteral("Кол-во"), QStringLiteral("Цена"), QStringLiteral("Сумма")};
    for (int c = 0; c < 4; ++c)
        t.setText(2, c + 1, head[c]);
    t.setText(3, 1, QStringLiteral("{n}"));
    t.setText(3, 2, QStringLiteral("{q}"));
    t.setText(3, 3, QStringLiteral("{p}"));
    t.setText(3, 4, QStringLiteral("{s}"));
    t.setStyle(CellRange{3, 1, 3, 4}, CellStyle().borders());
    t.setText(4, 1, QStringLiteral("Итого:"));
    t.setFormula(4, 4, QStringLiteral("SUM(D3:D3)"), 0);
    t.setText(5, 1, QStringLiteral("Подпись {who}"));
    t.merge(CellRange{5, 1, 5, 2});
    t.setPrintTitleRows(1, 2);
    t.setColumnWidth(1, 30);
    ZipParts parts;
    EXPECT_TRUE(readZipData(t.saveData(), parts, nullptr));
    // Stored as a template, as the shipped ones are.
    QByteArray& types = *parts.find(QStringLiteral("[Content_Types].xml"));
    types.replace(workbookContentType, templateContentType);
    QByteArray out;
    EXPECT_TRUE(zipData(parts, out, nullptr));
    return out;
}

XlsxReader readBack(XlsxTemplate& t)
{
    XlsxReader r;
    EXPECT_TRUE(r.openData(t.saveData()));
    return r;
}

} // namespace

TEST(CellNamesTest, NamesAndShifts)
{
    EXPECT_EQ(cellName(12, 6), "F12");
    EXPECT_EQ(columnName(28), "AB");
    EXPECT_EQ(columnName(703), "AAA");
    int r = 0, c = 0;
    ASSERT_TRUE(parseCellName(QStringLiteral("$AB$7"), r, c));
    EXPECT_EQ(r, 7);
    EXPECT_EQ(c, 28);
    EXPECT_FALSE(parseCellName(QStringLiteral("SUM"), r, c));

    struct Case { const char* in; RefShift shift; const char* out; };
    const Case cases[] = {
        {"SUM(D3:D3)+D2", {true, 4, 3, true}, "SUM(D3:D6)+D2"},      // a range ending on the block grows
        {"SUM(D3:D3)", {true, 4, 3, false}, "SUM(D3:D3)"},
        {"D4*2+LOG10(D5)", {true, 4, 3, false}, "D7*2+LOG10(D8)"},   // function names stay
        {"\"D4\"&D4", {true, 4, 1, false}, "\"D4\"&D5"},             // text literals stay
        {"'Лист1'!$1:$2", {true, 1, 2, false}, "'Лист1'!$3:$4"},
        {"'Лист1'!$1:$2", {true, 3, 2, false}, "'Лист1'!$1:$2"},
        {"A1:C9", {false, 2, 2, false}, "A1:E9"},
        {"SUM(E3:E9)", {true, 4, -2, false}, "SUM(E3:E7)"},          // rows 4-5 deleted
        {"D4", {false, 2, -1, false}, "C4"},
        {"A1 B7:C8", {true, 5, 1, false}, "A1 B8:C9"},               // sqref lists
    };
    for (const Case& k : cases)
        EXPECT_EQ(shiftRefs(QString::fromUtf8(k.in), k.shift), QString::fromUtf8(k.out)) << k.in;
    EXPECT_EQ(offsetRefs(QStringLiteral("C3*$D$3+D$3"), 2, 1), "D5*$D$3+E$3");
}

TEST(XlsxTemplateTest, FillsBlockAndSavesAWorkbook)
{
    XlsxTemplate t;
    ASSERT_TRUE(t.openData(sampleTemplate()));
    EXPECT_EQ(t.sheetName(), "Лист1");
    EXPECT_EQ(t.fill(QStringLiteral("title"), CellValue::str(QStringLiteral("Приход №5"))), 1);
    EXPECT_EQ(t.fill(QStringLiteral("who"), CellValue::str(QStringLiteral("Иванова"))), 1);
    const int line = t.findRow(QStringLiteral("{n}"));
    ASSERT_EQ(line, 3);
    t.repeatRows(line, 1, 3);
    const double q[] = {2, 1.5, 10}, p[] = {100, 40.4, 3};
    double total = 0;
    for (int i = 0; i < 3; ++i) {
        const int r = line + i;
        total += q[i] * p[i];
        t.fillRow(r, {{QStringLiteral("n"), CellValue::str(QStringLiteral("Товар %1").arg(i + 1))},
                      {QStringLiteral("q"), CellValue::num(q[i])},
                      {QStringLiteral("p"), CellValue::num(p[i])},
                      {QStringLiteral("s"), CellValue::formulaNum(cellName(r, 2) + u'*' + cellName(r, 3), q[i] * p[i])}});
    }
    t.setFormula(6, 4, QStringLiteral("SUM(D3:D5)"), total);
    t.clearPlaceholders();

    XlsxReader r = readBack(t);
    EXPECT_EQ(r.contentType, QString::fromLatin1(workbookContentType));
    EXPECT_EQ(r.text(1, 1), "Приход №5");
    EXPECT_EQ(r.rowTexts(3), (QStringList{"Товар 1", "2", "100", "200"}));
    EXPECT_EQ(r.rowTexts(4), (QStringList{"Товар 2", "1.5", "40.4", "60.6"}));
    EXPECT_EQ(r.formula(5, 4), "B5*C5");
    EXPECT_DOUBLE_EQ(*r.number(5, 4), 30);
    EXPECT_TRUE(r.cell(5, 1)->border);  // the block's style came with the copies
    EXPECT_EQ(r.text(6, 1), "Итого:");
    EXPECT_EQ(r.formula(6, 4), "SUM(D3:D5)");
    EXPECT_DOUBLE_EQ(*r.number(6, 4), 290.6);
    EXPECT_EQ(r.text(7, 1), "Подпись Иванова");
    EXPECT_EQ(r.merges, (QStringList{"A1:D1", "A7:B7"}));
    EXPECT_EQ(r.printTitles, "'Лист1'!$1:$2");
    EXPECT_DOUBLE_EQ(r.columnWidths[1], 30);
    EXPECT_FALSE(r.find(QStringLiteral("{")));
}

TEST(XlsxTemplateTest, TemplateFormulasFollowTheirRows)
{
    XlsxTemplate t;
    ASSERT_TRUE(t.openData(sampleTemplate()));
    t.repeatRows(3, 1, 4);
    XlsxReader r = readBack(t);
    EXPECT_EQ(r.formula(7, 4), "SUM(D3:D6)");  // the total's range grew over the copies
    EXPECT_EQ(r.text(6, 1), "{n}");            // copies carry the placeholders
    t.repeatRows(3, 1, 0);                      // no lines: the block row goes
    r = readBack(t);
    EXPECT_EQ(r.text(2, 1), "Наименование");
    EXPECT_EQ(r.text(3, 1), "{n}");             // three copies left
    EXPECT_EQ(r.formula(6, 4), "SUM(D3:D5)");
    EXPECT_EQ(r.merges.last(), "A7:B7");
}

TEST(XlsxTemplateTest, BlocksOfSeveralRowsCarryTheirMerges)
{
    XlsxTemplate t;
    t.openBlank();
    t.setText(1, 1, QStringLiteral("шапка"));
    t.setText(2, 1, QStringLiteral("{dish}"));
    t.merge(CellRange{2, 1, 2, 3});
    t.setText(3, 1, QStringLiteral("{meal}"));
    t.setRowHeight(3, 30);
    t.setText(4, 1, QStringLiteral("низ"));
    t.merge(CellRange{4, 1, 4, 2});
    t.setPrintTitleRows(4, 4);
    t.repeatRows(2, 2, 3);
    const XlsxReader r = readBack(t);
    EXPECT_EQ(r.merges, (QStringList{"A2:C2", "A8:B8", "A4:C4", "A6:C6"}));
    EXPECT_EQ(r.text(7, 1), "{meal}");
    EXPECT_EQ(r.text(8, 1), "низ");
    EXPECT_EQ(r.printTitles, "'Лист1'!$8:$8");
}

TEST(XlsxTemplateTest, RepeatedColumnsTakeWidthsMergesAndFormulas)
{
    XlsxTemplate t;
    t.openBlank();
    t.setText(1, 1, QStringLiteral("Блюдо"));
    t.setText(1, 2, QStringLiteral("{product}"));
    t.merge(CellRange{1, 2, 1, 3});
    t.setText(2, 2, QStringLiteral("{kol}"));
    t.setText(2, 3, QStringLiteral("{kolv}"));
    t.setFormula(3, 3, QStringLiteral("SUM(C2:C2)"), 0);
    t.setText(1, 4, QStringLiteral("Конец"));
    t.setFormula(3, 4, QStringLiteral("C3"), 0);
    t.setColumnWidth(2, 7);
    t.setColumnWidth(3, 9);
    t.setColumnWidth(4, 20);
    t.repeatColumns(2, 2, 3);
    const XlsxReader r = readBack(t);
    EXPECT_EQ(r.rowTexts(1), (QStringList{"Блюдо", "{product}", "", "{product}", "", "{product}", "", "Конец"}));
    EXPECT_EQ(r.formula(3, 5), "SUM(E2:E2)");
    EXPECT_EQ(r.formula(3, 7), "SUM(G2:G2)");
    EXPECT_EQ(r.formula(3, 8), "C3");
    EXPECT_EQ(r.merges, (QStringList{"B1:C1", "D1:E1", "F1:G1"}));
    EXPECT_DOUBLE_EQ(r.columnWidths.at(4), 7);
    EXPECT_DOUBLE_EQ(r.columnWidths.at(7), 9);
    EXPECT_DOUBLE_EQ(r.columnWidths.at(8), 20);
    t.deleteColumns(2, 4);
    const XlsxReader r2 = readBack(t);
    t.setText(5, 2, QStringLiteral("под таблицей"));
    t.repeatColumns(2, 1, 3, 1, 3);  // only the table's rows are copied
    const XlsxReader r3 = readBack(t);
    EXPECT_EQ(r3.rowTexts(5), (QStringList{"", "под таблицей"}));
    EXPECT_EQ(r3.rowTexts(1), (QStringList{"Блюдо", "{product}", "{product}", "{product}", "", "Конец"}));
    EXPECT_EQ(r2.rowTexts(1), (QStringList{"Блюдо", "{product}", "", "Конец"}));
    EXPECT_EQ(r2.merges, (QStringList{"B1:C1"}));
}

TEST(XlsxTemplateTest, PrintTitlesKeepBothRowsAndColumns)
{
    XlsxTemplate t;
    t.openBlank();
    t.setPrintTitleRows(3, 4);
    t.setPrintTitleColumns(1, 4);
    EXPECT_EQ(readBack(t).printTitles, "'Лист1'!$A:$D,'Лист1'!$3:$4");
    t.setPrintTitleRows(7, 7);  // setting one kind again replaces only that kind
    EXPECT_EQ(readBack(t).printTitles, "'Лист1'!$A:$D,'Лист1'!$7:$7");
}

TEST(XlsxTemplateTest, RowsGrowForNamesLongerThanTheirColumn)
{
    XlsxTemplate t;
    t.openBlank();
    t.setColumnWidth(2, 30);  // about 28 letters a line
    EXPECT_DOUBLE_EQ(t.columnWidth(2), 30);
    t.fitRowToText(1, 2, QStringLiteral("Говядина 1 категории"));
    t.fitRowToText(2, 2, QStringLiteral("Дрожжи хлебопекарные прессованные"));
    t.fitRowToText(3, 2, QStringLiteral("Кисель плодово-ягодный (концентрат) сухой в брикетах по 250 г"));
    t.fitRowToText(4, 2, QString(60, QChar(u'ж')));  // one word longer than two lines
    const XlsxReader r = readBack(t);
    EXPECT_FALSE(r.rowHeights.contains(1));
    EXPECT_DOUBLE_EQ(r.rowHeights.at(2), 2 * 12.75);
    EXPECT_DOUBLE_EQ(r.rowHeights.at(3), 3 * 12.75);
    EXPECT_DOUBLE_EQ(r.rowHeights.at(4), 3 * 12.75);
}

TEST(XlsxTemplateTest, FontsAndFormatsLaidOverTheTemplateStyle)
{
    XlsxTemplate t;
    ASSERT_TRUE(t.openData(sampleTemplate()));
    t.setStyle(CellRange{3, 1, 3, 4}, CellStyle().size(14).heavy());
    t.setStyle(CellRange::cell(4, 4), CellStyle().format(QStringLiteral("0.000")));
    const XlsxReader r = readBack(t);
    EXPECT_DOUBLE_EQ(r.cell(3, 2)->fontSize, 14);
    EXPECT_TRUE(r.cell(3, 2)->bold);
    EXPECT_TRUE(r.cell(3, 2)->border);  // the template's borders stay
    EXPECT_FALSE(r.cell(2, 2)->bold);
    EXPECT_DOUBLE_EQ(r.cell(2, 2)->fontSize, 10);
    EXPECT_EQ(r.cell(4, 4)->numberFormat, "0.000");
}

TEST(XlsxTemplateTest, RefusesWhatIsNotAWorkbook)
{
    QTemporaryDir dir;
    XlsxTemplate t;
    QString error;
    EXPECT_FALSE(t.open(dir.filePath(QStringLiteral("нет.xltx")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(t.openData(QByteArray("not a zip at all")));
    ZipParts parts;
    parts.set(QStringLiteral("readme.txt"), "hello");
    QByteArray zip;
    ASSERT_TRUE(zipData(parts, zip, nullptr));
    EXPECT_FALSE(t.openData(zip, &error));
    // A folder that does not exist: saving fails with a reason, nothing is left behind.
    t.openBlank();
    EXPECT_FALSE(t.save(dir.filePath(QStringLiteral("нет/файл.xlsx")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(t.save(dir.filePath(QStringLiteral("файл.xlsx")), &error));
    XlsxReader r;
    EXPECT_TRUE(r.open(dir.filePath(QStringLiteral("файл.xlsx"))));
}

TEST(XlsxTemplateTest, CellsWrittenInAnyOrderAroundMovingBlocks)
{
    XlsxTemplate t;
    t.openBlank();
    t.setText(2, 3, QStringLiteral("c"));
    t.setText(2, 1, QStringLiteral("a"));
    t.setText(2, 2, QStringLiteral("b"));
    t.setNumber(1, 5, 1);
    t.repeatRows(2, 1, 3);   // rows 2-4 now
    t.setNumber(3, 2, 7);    // a copied cell, overwritten
    t.setNumber(4, 4, 8);    // a new cell among copies
    t.deleteRows(1, 1);      // everything one up
    t.setNumber(1, 1, 5);
    t.setNumber(3, 4, 9);
    t.repeatColumns(2, 1, 2);
    t.setNumber(1, 3, 6);
    const XlsxReader r = readBack(t);
    EXPECT_EQ(r.rowTexts(1), (QStringList{"5", "b", "6", "c"}));
    EXPECT_EQ(r.rowTexts(2), (QStringList{"a", "7", "7", "c"}));
    EXPECT_EQ(r.rowTexts(3), (QStringList{"a", "b", "b", "c", "9"}));
    EXPECT_EQ(r.lastRow(), 3);
}
