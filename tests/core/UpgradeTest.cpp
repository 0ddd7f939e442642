// Upgrade of older files in place: added tables with their first contents, added columns with
// the values existing rows receive, the plan-menu energy totals, the repair of old column
// types, and the version stamp. An "old file" here is a finished new file taken back with
// plain SQL: tables dropped, columns dropped, rows written, stamp set.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/FileSchema.h"
#include "core/SchemaCatalogue.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace rat;

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kNewer = QStringLiteral("info: Версия базы данных новее, чем версия программы. Для работы с этой базой "
                                      "рекомендуется обновить программу.");

QString render(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

class Upgrade : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = env.path(QStringLiteral("vektas.db"));
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        ASSERT_TRUE(session.createDatabase(path));
        ASSERT_EQ(prompt.messages(), QStringList());
    }

    // Changes the closed file with plain SQL.
    void sql(const QString& script, const std::vector<QVariant>& params = {})
    {
        Database db(path, false);
        if (params.empty())
            db.execScript(script);
        else
            db.exec(script, params);
    }

    void dropColumns(const QString& table, const QStringList& columns)
    {
        for (const QString& c : columns)
            sql(QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" DROP COLUMN ") + fileschema::quoteName(c));
    }

    void dropTables(const QStringList& tables)
    {
        for (const QString& t : tables)
            sql(QStringLiteral("DROP TABLE ") + fileschema::quoteName(t));
    }

    void setStamp(const QVariant& major, const QVariant& minor, const QVariant& revision)
    {
        Database db(path, false);
        if (db.scalar(QStringLiteral("SELECT count(*) FROM INF")).toInt() == 0)
            db.exec(QStringLiteral("INSERT INTO INF (Naim) VALUES (?1)"), {QStringLiteral("Детский сад №2")});
        db.exec(QStringLiteral("UPDATE INF SET appMajor = ?1, appMinor = ?2, appRevision = ?3"), {major, minor, revision});
    }

    // Opens the file as the program does and returns every message shown.
    QStringList reopen()
    {
        test::ScriptedPrompt prompt;
        DatabaseSession session(prompt);
        EXPECT_TRUE(session.openDatabase(path, false));
        return prompt.messages();
    }

    QStringList rows(const QString& query, const std::vector<QVariant>& params = {})
    {
        Database db(path, false);
        Statement st(db, query);
        st.bindAll(params);
        QStringList out;
        while (st.next()) {
            QStringList cells;
            for (int c = 0; c < st.columnCount(); ++c)
                cells << render(st.value(c));
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    QString one(const QString& query) { return rows(query).value(0, QStringLiteral("<no row>")); }

    std::optional<FileTable> table(const QString& name)
    {
        Database db(path, false);
        return fileschema::readTable(db, name);
    }

    QString fieldType(const QString& tableName, const QString& field)
    {
        const auto t = table(tableName);
        const FileField* f = t ? t->field(field) : nullptr;
        if (!f)
            return QStringLiteral("<missing>");
        return QStringLiteral("%1/%2/%3").arg(f->type).arg(f->size).arg(f->attributes);
    }

    // Every table's definition and rows, for comparing a file before and after an open.
    QStringList snapshot()
    {
        QStringList out = rows(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY type, name"));
        for (const QString& t : rows(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name"))) {
            Database db(path, false);
            Statement st(db, QStringLiteral("SELECT * FROM ") + fileschema::quoteName(t) + QStringLiteral(" ORDER BY rowid"));
            while (st.next()) {
                QString line = t;
                for (int c = 0; c < st.columnCount(); ++c)
                    line += QLatin1Char('|') + st.columnName(c) + QLatin1Char('=') + render(st.value(c));
                out << line;
            }
        }
        return out;
    }

    test::TestEnv env;
    QString path;
};

} // namespace

// --- version stamp ----------------------------------------------------------------------

struct StampCase {
    QVariant major, minor, revision;
    bool newer;
    const char* after;
};

class UpgradeStamp : public Upgrade, public ::testing::WithParamInterface<StampCase> {};

TEST_P(UpgradeStamp, NewerFilesKeepTheirStampAndAreUpgradedAnyway)
{
    const StampCase& c = GetParam();
    setStamp(c.major, c.minor, c.revision);
    dropTables({QStringLiteral("VALUTA")});
    dropColumns(QStringLiteral("INF"), {QStringLiteral("TaimOut")});

    EXPECT_EQ(reopen(), c.newer ? QStringList{kNewer} : QStringList());
    EXPECT_EQ(one(QStringLiteral("SELECT appMajor, appMinor, appRevision FROM INF")), QString::fromUtf8(c.after));
    EXPECT_EQ(one(QStringLiteral("SELECT TaimOut FROM INF")), QStringLiteral("150"));
    EXPECT_EQ(one(QStringLiteral("SELECT count(*) FROM VALUTA")), QStringLiteral("1"));
}

// The stamp compares as major * 1,000,000 + minor * 1,000 + revision against 10,004,004.
INSTANTIATE_TEST_SUITE_P(Stamps, UpgradeStamp,
                         ::testing::Values(StampCase{10, 4, 5, true, "10|4|5"},
                                           StampCase{11, 0, 0, true, "11|0|0"},
                                           StampCase{10, 3, 1005, true, "10|3|1005"},
                                           StampCase{10, 4, 4, false, "10|4|4"},
                                           StampCase{10, 3, 1004, false, "10|4|4"},
                                           StampCase{10, 4, 3, false, "10|4|4"},
                                           StampCase{9, 999, 999, false, "10|4|4"},
                                           StampCase{0, 4, 0, false, "10|4|4"},
                                           StampCase{QVariant(), QVariant(), QVariant(), false, "10|4|4"}));

// --- renamed columns --------------------------------------------------------------------

TEST_F(Upgrade, FormerColumnNamesAreRenamedWithTheirValues)
{
    setStamp(10, 2, 0);
    sql(QStringLiteral("ALTER TABLE order_point RENAME COLUMN quantity1 TO quantity; "
                       "ALTER TABLE card_recipes RENAME COLUMN number1 TO number"));
    sql(QStringLiteral("INSERT INTO order_point (id_product, quantity) VALUES (1, 2.5), (2, 7), (3, NULL)"));
    sql(QStringLiteral("INSERT INTO card_recipes (cname, number) VALUES (?1, ?2)"), {QStringLiteral("Борщ"), QStringLiteral("12а")});

    EXPECT_EQ(reopen(), QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT id_product, quantity1 FROM order_point ORDER BY id")),
              (QStringList{QStringLiteral("1|2.5"), QStringLiteral("2|7"), QStringLiteral("3|NULL")}));
    EXPECT_EQ(fieldType(QStringLiteral("order_point"), QStringLiteral("quantity")), QStringLiteral("<missing>"));
    EXPECT_EQ(fieldType(QStringLiteral("order_point"), QStringLiteral("quantity1")),
              QStringLiteral("%1/4/%2").arg(int(dbSingle)).arg(int(attrFixed)));
    EXPECT_EQ(one(QStringLiteral("SELECT number1 FROM card_recipes")), QStringLiteral("12а"));
    EXPECT_EQ(fieldType(QStringLiteral("card_recipes"), QStringLiteral("number")), QStringLiteral("<missing>"));
}

// --- added tables -----------------------------------------------------------------------

TEST_F(Upgrade, AddedTablesGetTheirFirstContents)
{
    setStamp(9, 0, 0);
    QStringList added;
    for (const TableDef& t : schema::addedTables())
        if (t.name != QLatin1String("FNORMS"))
            added << t.name;
    dropTables(added);
    dropColumns(QStringLiteral("vitamin"), {QStringLiteral("ispCard")});
    sql(QStringLiteral("DELETE FROM vitamin"));
    sql(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'vitamin'"));
    sql(QStringLiteral("INSERT INTO vitamin (vname, shname) VALUES (?1, 'Ca'), (?2, 'A')"),
        {QStringLiteral("Кальций"), QStringLiteral("Витамин А")});
    sql(QStringLiteral("INSERT INTO card_recipes (id, cname, ca, fe, b1, b2, c, pr_ca, pr_fe, pr_b1, pr_b2, pr_c) "
                       "VALUES (1, 'Суп', 12.5, 0.8, 0.03, 0.05, 4.2, 10, 0, 25, 20, 60), "
                       "(2, 'Каша', 3, 1.1, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL)"));
    sql(QStringLiteral("INSERT INTO FNORMS (IDF, id_type_eating, nCa, nFe, nB1, nB2, nC) "
                       "VALUES (1, 1, 800, 10, 0.9, 1, 45), (2, 2, 1000, NULL, NULL, NULL, NULL)"));
    for (const char* name : {"Картофель", "Капуста белокочанная", "Морковь", "свекла столовая", "Картофель молодой"})
        sql(QStringLiteral("INSERT INTO products (pname) VALUES (?1)"), {QString::fromUtf8(name)});

    EXPECT_EQ(reopen(), QStringList());

    // Column titles of the reference-book lists, in this order.
    const QStringList titles{
        "Наименование|0|1", "Наименование|1|1", "Номер|2|1", "Наименование|2|3", "Номер рецептуры|2|2",
        "Наименование|3|1", "Краткое наименование|3|2", "Номер|4|1", "Наименование|4|2", "Описание|4|13",
        "Наименование|7|1", "Группа продуктов|8|1", "Продукт|8|2", "Наименование|10|1", "Наименование|12|1",
        "Шифр|12|3", "Наименование|13|1", "Краткое наименование|13|2", "Продукт|14|1", "Наименование|15|1",
        "Витамин|16|2", "Блюдо|16|3", "Продукт|19|1", "Номер|22|3", "Номер|24|3", "Поставщик|24|5",
        "Номер|25|3", "Номер|28|4", "Поставщик|28|6", "Наименование|29|1", "Контактное лицо|29|2",
        "Телефон|29|3", "Адрес|29|4", "Директор|29|5", "Наименование|30|1", "Номер|32|1", "Наименование|32|3",
        "Номер рецептуры|32|2", "Наименование|35|1", "Пользователь|36|1", "Наименование|37|1",
        "Наименование|43|1", "Краткое наименование|43|2"};
    EXPECT_EQ(titles.size(), 43);
    EXPECT_EQ(rows(QStringLiteral("SELECT namePole, nomTable, xpole FROM NAMETABLE ORDER BY IDNT")), titles);

    EXPECT_EQ(rows(QStringLiteral("SELECT namev, shnamev, status FROM VALUTA")), QStringList{"Тенге|тг.|-1"});
    EXPECT_EQ(rows(QStringLiteral("SELECT IDSS, name FROM STORAGES")), QStringList{"1|Склад №1"});

    // The five vitamins of the card columns, the missing ones added; only they are marked.
    EXPECT_EQ(rows(QStringLiteral("SELECT id, vname, shname, ispCard FROM vitamin ORDER BY id")),
              (QStringList{"1|Кальций|Ca|-1", "2|Витамин А|A|NULL", "3|Железо|Fe|-1", "4|Витамин В1|B1|-1",
                           "5|Витамин В2|B2|-1", "6|Витамин С|C|-1"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT id_card_recipes, id_vitamin, kol, kolpr FROM CARD_VITAMIN "
                                  "ORDER BY id_card_recipes, id_vitamin")),
              (QStringList{"1|1|12.5|10", "1|3|0.8|0", "1|4|0.03|25", "1|5|0.05|20", "1|6|4.2|60",
                           "2|1|3|NULL", "2|3|1.1|NULL", "2|4|0|NULL", "2|5|0|NULL", "2|6|NULL|NULL"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT idf, id_vitamin, kol FROM FNORMS_VIT ORDER BY idf, id_vitamin")),
              (QStringList{"1|1|800", "1|3|10", "1|4|0.9", "1|5|1", "1|6|45",
                           "2|1|1000", "2|3|NULL", "2|4|NULL", "2|5|NULL", "2|6|NULL"}));

    // Seasonal losses for potatoes (five periods), carrots and beets (two each).
    EXPECT_EQ(rows(QStringLiteral("SELECT id_PRODUCT, count(*) FROM SEZON GROUP BY id_PRODUCT ORDER BY id_PRODUCT")),
              (QStringList{"1|5", "3|2", "4|2", "5|5"}));
    EXPECT_EQ(one(QStringLiteral("SELECT count(*) FROM SEZON WHERE PROZ > 0 AND DAY_N BETWEEN 1 AND 31 "
                                 "AND DAY_O BETWEEN 1 AND 31")),
              QStringLiteral("14"));

    // Every added table is there; those without first contents are empty.
    for (const TableDef& t : schema::addedTables()) {
        const auto file = table(t.name);
        ASSERT_TRUE(file) << t.name.toStdString();
        EXPECT_NE(file->index(QStringLiteral("PrimaryKey")), nullptr) << t.name.toStdString();
    }
    for (const char* t : {"MENUTR", "MENUTM", "ZAKAZ", "ROOM", "UCHZHIR", "RASPS_CALL", "RECEPTUR"})
        EXPECT_EQ(one(QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(t)), QStringLiteral("0")) << t;
    EXPECT_EQ(one(QStringLiteral("SELECT appMajor, appMinor, appRevision FROM INF")), QStringLiteral("10|4|4"));
}

TEST_F(Upgrade, VitaminCodesAreFoundInAnyLetterCase)
{
    dropTables({QStringLiteral("CARD_VITAMIN"), QStringLiteral("FNORMS_VIT")});
    sql(QStringLiteral("DELETE FROM vitamin"));
    sql(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 'vitamin'"));
    sql(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES (?1, 'CA', 0), (?2, 'fe', 0)"),
        {QStringLiteral("Кальций"), QStringLiteral("Железо")});
    sql(QStringLiteral("INSERT INTO card_recipes (id, cname, ca, fe, b1, b2, c) VALUES (1, 'Суп', 5, 2, 0, 0, 0)"));
    sql(QStringLiteral("INSERT INTO FNORMS (IDF, nCa, nFe, nB1, nB2, nC) VALUES (1, 800, 10, 1, 1, 45)"));

    EXPECT_EQ(reopen(), QStringList());
    // The vitamins found keep their rows as they are; the rest are added, marked.
    EXPECT_EQ(rows(QStringLiteral("SELECT id, shname, ispCard FROM vitamin ORDER BY id")),
              (QStringList{"1|CA|0", "2|fe|0", "3|B1|-1", "4|B2|-1", "5|C|-1"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT id_vitamin, kol FROM CARD_VITAMIN ORDER BY id_vitamin")),
              (QStringList{"1|5", "2|2", "3|0", "4|0", "5|0"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT id_vitamin, kol FROM FNORMS_VIT ORDER BY id_vitamin")),
              (QStringList{"1|800", "2|10", "3|1", "4|1", "5|45"}));
}

// --- added columns ----------------------------------------------------------------------

TEST_F(Upgrade, AddedColumnsGiveExistingRowsTheirValues)
{
    setStamp(10, 3, 0);
    sql(QStringLiteral("UPDATE INF SET sanPin = -1, ImP = ?1, allPrint = 3, ImPP = NULL"), {QStringLiteral("Анна")});
    dropColumns(QStringLiteral("storage"), {"IDSS", "sum_NDS", "OrgOc", "tempHr"});
    dropColumns(QStringLiteral("INF"), {"VestSkl", "TaimOut", "Galka", "NewSanpin", "ImPP", "arhividmenu"});
    dropColumns(QStringLiteral("day_menu"), {"nom", "filtr", "idd_tm"});
    dropColumns(QStringLiteral("type_menu"), {"sezon", "status_diet"});
    dropColumns(QStringLiteral("vitamin_report"), {"qv"});
    dropColumns(QStringLiteral("receipt"), {"nomerNaklText"});
    dropColumns(QStringLiteral("eating"), {"TIME"});
    dropColumns(QStringLiteral("type_eating"), {"Pes", "Kod"});
    dropColumns(QStringLiteral("card_recipes"), {"id_receptur"});
    dropColumns(QStringLiteral("recipes"), {"isCard", "vih_kol", "brutto2", "netto2"});
    dropColumns(QStringLiteral("order_point"), {"IDSS"});
    dropColumns(QStringLiteral("MENUTM"), {"IDSkl"});

    sql(QStringLiteral("INSERT INTO storage (id_product, quantity) VALUES (1, 10), (2, 5.5)"));
    sql(QStringLiteral("INSERT INTO day_menu (ddate) VALUES ('2024-03-01'), ('2024-03-04')"));
    sql(QStringLiteral("INSERT INTO type_menu (tname, sumdolpotr) VALUES (?1, 90)"), {QStringLiteral("Основное")});
    sql(QStringLiteral("INSERT INTO vitamin_report (quantity_eatings, quantity_vita) VALUES "
                       "(5, 0.0125), (1, 0.0375), (3, 0.1235), (7, 0.12345), (4, 0.2), (6, NULL)"));
    sql(QStringLiteral("INSERT INTO receipt ([№docum], nomerNakl) VALUES ('0099', 15), ('0100', NULL)"));
    sql(QStringLiteral("INSERT INTO eating (ename) VALUES (?1)"), {QStringLiteral("Завтрак")});
    sql(QStringLiteral("INSERT INTO type_eating (ename) VALUES (?1)"), {QStringLiteral("Ясли")});
    sql(QStringLiteral("INSERT INTO card_recipes (cname) VALUES (?1)"), {QStringLiteral("Борщ")});
    sql(QStringLiteral("INSERT INTO recipes (id_card_recipes, brutto, netto) VALUES (1, 50, 40)"));
    sql(QStringLiteral("INSERT INTO order_point (id_product) VALUES (1)"));
    sql(QStringLiteral("INSERT INTO MENUTM (IDM, ID_day_menu) VALUES (1, 1)"));

    EXPECT_EQ(reopen(), QStringList());

    EXPECT_EQ(rows(QStringLiteral("SELECT IDSS, sum_NDS, OrgOc, tempHr FROM storage ORDER BY id")),
              (QStringList{"1|0|NULL|0", "1|0|NULL|0"}));
    // Columns of an entry that were there already keep their values.
    EXPECT_EQ(one(QStringLiteral("SELECT VestSkl, TaimOut, Galka, NewSanpin, ImPP, arhividmenu, allPrint FROM INF")),
              QStringLiteral("-1|150|-1|1|Анна|NULL|3"));
    EXPECT_EQ(rows(QStringLiteral("SELECT typeof(nom), nom, filtr, idd_tm FROM day_menu ORDER BY id")),
              (QStringList{"text|1|0|NULL", "text|1|0|NULL"}));
    EXPECT_EQ(one(QStringLiteral("SELECT sezon, sumdolpotr, status_diet FROM type_menu")), QStringLiteral("1|90|0"));
    // quantity_eatings * quantity_vita to 3 places, halves to the even neighbour.
    EXPECT_EQ(rows(QStringLiteral("SELECT qv FROM vitamin_report ORDER BY id")),
              (QStringList{"0.062", "0.038", "0.37", "0.864", "0.8", "NULL"}));
    EXPECT_EQ(rows(QStringLiteral("SELECT typeof(nomerNaklText), nomerNaklText FROM receipt ORDER BY id")),
              (QStringList{"text|15", "null|NULL"}));
    EXPECT_EQ(one(QStringLiteral("SELECT TIME FROM eating")), QStringLiteral("1899-12-31"));
    EXPECT_EQ(one(QStringLiteral("SELECT Pes, typeof(Kod), Kod FROM type_eating")), QStringLiteral("0|text|1"));
    EXPECT_EQ(one(QStringLiteral("SELECT id_receptur FROM card_recipes")), QStringLiteral("1"));
    EXPECT_EQ(one(QStringLiteral("SELECT isCard, vih_kol, brutto2, netto2 FROM recipes")), QStringLiteral("0|100|0|0"));
    EXPECT_EQ(one(QStringLiteral("SELECT IDSS FROM order_point")), QStringLiteral("1"));
    EXPECT_EQ(one(QStringLiteral("SELECT IDSkl FROM MENUTM")), QStringLiteral("1"));
    EXPECT_EQ(one(QStringLiteral("SELECT appMajor, appMinor, appRevision FROM INF")), QStringLiteral("10|4|4"));

    // The added columns have their catalogue types.
    EXPECT_EQ(fieldType(QStringLiteral("day_menu"), QStringLiteral("nom")),
              QStringLiteral("%1/10/%2").arg(int(dbText)).arg(int(attrVariable)));
    EXPECT_EQ(fieldType(QStringLiteral("INF"), QStringLiteral("Galka")),
              QStringLiteral("%1/1/%2").arg(int(dbBoolean)).arg(int(attrFixed)));
}

TEST_F(Upgrade, NewSanpinFollowsSanPin)
{
    setStamp(10, 3, 0);
    for (const auto& [sanPin, expected] : {std::pair{-1, "1"}, std::pair{0, "0"}}) {
        sql(QStringLiteral("UPDATE INF SET sanPin = ?1"), {sanPin});
        dropColumns(QStringLiteral("INF"), {"NewSanpin"});
        EXPECT_EQ(reopen(), QStringList());
        EXPECT_EQ(one(QStringLiteral("SELECT NewSanpin FROM INF")), QString::fromLatin1(expected)) << sanPin;
    }
}

// --- plan-menu energy totals ------------------------------------------------------------

TEST_F(Upgrade, PlanMenuEnergyTotals)
{
    sql(QStringLiteral("INSERT INTO type_menu (id, tname, sumdolpotr) VALUES (1, 'a', NULL), (2, 'b', 0), (3, 'c', 95)"));
    // proz1 counts where status is off, proz2 where it is on: 25 + 35 + 20 = 80.
    sql(QStringLiteral("INSERT INTO RASPS_CALL (status, proz1, proz2) VALUES (0, 25, 30), (-1, 10, 35), (0, 20, 99)"));
    EXPECT_EQ(reopen(), QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT id, sumdolpotr FROM type_menu ORDER BY id")),
              (QStringList{"1|80", "2|80", "3|95"}));

    // 80 + 40 = 120 is out of range: 100. Rows already set are left alone.
    sql(QStringLiteral("UPDATE type_menu SET sumdolpotr = 0 WHERE id = 1"));
    sql(QStringLiteral("INSERT INTO RASPS_CALL (status, proz1, proz2) VALUES (0, 40, 0)"));
    EXPECT_EQ(reopen(), QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT id, sumdolpotr FROM type_menu ORDER BY id")),
              (QStringList{"1|100", "2|80", "3|95"}));

    // No distribution at all: 100.
    sql(QStringLiteral("DELETE FROM RASPS_CALL"));
    sql(QStringLiteral("UPDATE type_menu SET sumdolpotr = NULL WHERE id = 2"));
    EXPECT_EQ(reopen(), QStringList());
    EXPECT_EQ(rows(QStringLiteral("SELECT id, sumdolpotr FROM type_menu ORDER BY id")),
              (QStringList{"1|100", "2|100", "3|95"}));
}

// --- repair pass ------------------------------------------------------------------------

TEST_F(Upgrade, RepairPassConvertsOldColumnTypes)
{
    // A document sum kept as text, with a temporary column left over from an interrupted
    // conversion; a sum missing; a Single where a Double is due; a product name as Text(255).
    dropColumns(QStringLiteral("day_menu"), {"SUM"});
    sql(QStringLiteral("ALTER TABLE day_menu ADD COLUMN [SUM] VARCHAR(50); ALTER TABLE day_menu ADD COLUMN [SUM2] DOUBLE"));
    sql(QStringLiteral("INSERT INTO day_menu (ddate, [SUM], [SUM2]) VALUES ('2024-03-01', ' 12.5 ', 7), "
                       "('2024-03-02', '3', NULL), ('2024-03-03', NULL, NULL)"));
    dropColumns(QStringLiteral("receipt"), {"SUM"});
    sql(QStringLiteral("INSERT INTO receipt ([№docum]) VALUES ('0099')"));
    dropColumns(QStringLiteral("MENUTR"), {"STOIM"});
    sql(QStringLiteral("ALTER TABLE MENUTR ADD COLUMN STOIM FLOAT"));
    sql(QStringLiteral("INSERT INTO MENUTR (nom_m, STOIM) VALUES ('1', 3.25)"));
    dropColumns(QStringLiteral("products"), {"pname"});
    sql(QStringLiteral("ALTER TABLE products ADD COLUMN pname VARCHAR(255)"));
    sql(QStringLiteral("INSERT INTO products (pname) VALUES (?1), (?2)"), {QStringLiteral(" Картофель "), QStringLiteral("Молоко")});
    sql(QStringLiteral("INSERT INTO card_recipes (cname, orgOc) VALUES ('Суп', ?1)"), {QStringLiteral(" вкус хороший ")});

    EXPECT_EQ(reopen(), QStringList());

    const QString dbl = QStringLiteral("%1/8/%2").arg(int(dbDouble)).arg(int(attrFixed));
    const QString memo = QStringLiteral("%1/0/%2").arg(int(dbMemo)).arg(int(attrVariable));
    EXPECT_EQ(fieldType(QStringLiteral("day_menu"), QStringLiteral("SUM")), dbl);
    EXPECT_EQ(fieldType(QStringLiteral("day_menu"), QStringLiteral("SUM2")), QStringLiteral("<missing>"));
    EXPECT_EQ(rows(QStringLiteral("SELECT typeof([SUM]), [SUM] FROM day_menu ORDER BY id")),
              (QStringList{"real|12.5", "real|3", "null|NULL"}));
    EXPECT_EQ(fieldType(QStringLiteral("receipt"), QStringLiteral("SUM")), dbl);
    EXPECT_EQ(one(QStringLiteral("SELECT [SUM] FROM receipt")), QStringLiteral("NULL"));
    EXPECT_EQ(fieldType(QStringLiteral("MENUTR"), QStringLiteral("STOIM")), dbl);
    EXPECT_EQ(one(QStringLiteral("SELECT STOIM FROM MENUTR")), QStringLiteral("3.25"));
    EXPECT_EQ(fieldType(QStringLiteral("products"), QStringLiteral("pname")), memo);
    EXPECT_EQ(fieldType(QStringLiteral("products"), QStringLiteral("pname2")), QStringLiteral("<missing>"));
    // Values pass through their trimmed text form.
    EXPECT_EQ(rows(QStringLiteral("SELECT pname FROM products ORDER BY id")), (QStringList{"Картофель", "Молоко"}));
    // A memo already in place is not converted.
    EXPECT_EQ(one(QStringLiteral("SELECT orgOc FROM card_recipes")), QStringLiteral(" вкус хороший "));
    EXPECT_EQ(fieldType(QStringLiteral("card_recipes"), QStringLiteral("orgOc")), memo);
}

// The lines of the menu-requirements are indexed by their document: in a new file, and in an
// older one when it is opened (also when the column itself had to be added first).
TEST_F(Upgrade, MenuRequirementLinesGetTheirIndexOnce)
{
    const QString indexes = QStringLiteral(
        "SELECT l.name || ':' || group_concat(c.name) FROM pragma_index_list('MENUTR_POINT') AS l, "
        "pragma_index_info(l.name) AS c GROUP BY l.name ORDER BY l.name");
    EXPECT_EQ(rows(indexes), QStringList({QStringLiteral("MENUTR_POINT.IDM:IDM")}));

    for (const bool dropColumn : {false, true}) {
        SCOPED_TRACE(dropColumn ? "without the column" : "without the index");
        sql(QStringLiteral("DROP INDEX [MENUTR_POINT.IDM]"));
        if (dropColumn)
            dropColumns(QStringLiteral("MENUTR_POINT"), {"IDM"});
        sql(dropColumn ? QStringLiteral("INSERT INTO MENUTR_POINT (IDMP, kol) VALUES (1, 2), (2, 3)")
                       : QStringLiteral("INSERT INTO MENUTR_POINT (IDMP, IDM, kol) VALUES (1, 7, 2), (2, 8, 3)"));
        setStamp(10, 1, 7);
        ASSERT_EQ(rows(indexes), QStringList());

        EXPECT_EQ(reopen(), QStringList());
        EXPECT_EQ(rows(indexes), QStringList({QStringLiteral("MENUTR_POINT.IDM:IDM")}));
        EXPECT_EQ(reopen(), QStringList());
        EXPECT_EQ(rows(indexes), QStringList({QStringLiteral("MENUTR_POINT.IDM:IDM")}));
        EXPECT_EQ(rows(QStringLiteral("SELECT IDMP FROM MENUTR_POINT INDEXED BY [MENUTR_POINT.IDM] WHERE IDM = 8")),
                  dropColumn ? QStringList() : QStringList({QStringLiteral("2")}));
        sql(QStringLiteral("DELETE FROM MENUTR_POINT"));
    }
}

// --- idempotence ------------------------------------------------------------------------

TEST_F(Upgrade, OpeningTwiceChangesNothingButTheStamp)
{
    // An old file that needs every kind of work.
    setStamp(10, 1, 7);
    dropTables({"NAMETABLE", "VALUTA", "STORAGES", "CARD_VITAMIN", "FNORMS_VIT", "SEZON", "RASPS_CALL", "MENUTR"});
    dropColumns(QStringLiteral("INF"), {"TaimOut", "Galka", "NewSanpin", "ImPP", "vidsbornikSCH"});
    dropColumns(QStringLiteral("storage"), {"IDSS"});
    dropColumns(QStringLiteral("type_menu"), {"sumdolpotr", "sezon"});
    dropColumns(QStringLiteral("vitamin_report"), {"qv"});
    dropColumns(QStringLiteral("vitamin"), {"ispCard"});
    dropColumns(QStringLiteral("day_menu"), {"SUM"});
    sql(QStringLiteral("ALTER TABLE day_menu ADD COLUMN [SUM] VARCHAR(50)"));
    dropColumns(QStringLiteral("products"), {"pname"});
    sql(QStringLiteral("ALTER TABLE products ADD COLUMN pname VARCHAR(255)"));
    sql(QStringLiteral("ALTER TABLE order_point RENAME COLUMN quantity1 TO quantity"));
    sql(QStringLiteral("INSERT INTO order_point (quantity) VALUES (4)"));
    sql(QStringLiteral("INSERT INTO products (pname) VALUES (?1), (?2)"), {QStringLiteral("Картофель"), QStringLiteral("Морковь")});
    sql(QStringLiteral("INSERT INTO card_recipes (cname, ca, fe) VALUES ('Суп', 1, 2)"));
    sql(QStringLiteral("INSERT INTO day_menu (ddate, [SUM]) VALUES ('2024-03-01', ' 12.5 ')"));
    sql(QStringLiteral("INSERT INTO type_menu (tname) VALUES ('a'), ('b')"));
    sql(QStringLiteral("INSERT INTO vitamin_report (quantity_eatings, quantity_vita) VALUES (5, 0.0125)"));
    sql(QStringLiteral("INSERT INTO storage (id_product, quantity) VALUES (1, 10)"));
    sql(QStringLiteral("INSERT INTO FNORMS (nCa) VALUES (800)"));

    const QStringList old = snapshot();
    EXPECT_EQ(reopen(), QStringList());
    const QStringList first = snapshot();
    ASSERT_NE(first, old);

    // The stamp is written again; nothing else moves.
    setStamp(10, 1, 7);
    EXPECT_EQ(reopen(), QStringList());
    const QStringList second = snapshot();
    EXPECT_EQ(second, first);
}
