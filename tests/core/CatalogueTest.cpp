// The table catalogue as data, and the file that a new database gets from it.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/FileSchema.h"
#include "core/SchemaCatalogue.h"
#include "core/TextFold.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <map>

using namespace rat;

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QString typeCode(int type, int size, int attributes)
{
    if (attributes == attrAutoIncrement)
        return type == dbLong ? QStringLiteral("C") : QStringLiteral("C?");
    QString code;
    switch (type) {
    case dbBoolean: code = QStringLiteral("B"); break;
    case dbByte: code = QStringLiteral("Y"); break;
    case dbInteger: code = QStringLiteral("I"); break;
    case dbLong: code = QStringLiteral("L"); break;
    case dbSingle: code = QStringLiteral("S"); break;
    case dbDouble: code = QStringLiteral("F"); break;
    case dbDate: code = QStringLiteral("DT"); break;
    case dbText: code = QStringLiteral("T%1").arg(size); break;
    case dbMemo: code = QStringLiteral("M"); break;
    default: code = QStringLiteral("?%1").arg(type); break;
    }
    if (attributes != schema::defaultAttributes(type))
        code += QStringLiteral("/a%1").arg(attributes);
    return code;
}

// "field:TYPE[=init]" for each field, joined by blanks.
QString describe(const TableDef& t)
{
    QStringList items;
    for (const FieldDef& f : t.fields) {
        QString item = f.name + QLatin1Char(':') + typeCode(f.type, f.size, f.attributes);
        if (f.hasInit)
            item += QLatin1Char('=') + f.init;
        items << item;
    }
    return items.join(QLatin1Char(' '));
}

QStringList names(const std::vector<TableDef>& tables)
{
    QStringList out;
    for (const TableDef& t : tables)
        out << t.name;
    return out;
}

QStringList sortedUpper(QStringList list)
{
    for (QString& s : list)
        s = s.toUpper();
    list.sort();
    return list;
}

} // namespace

TEST(Catalogue, GroupsHoldTheirTablesInOrder)
{
    EXPECT_EQ(schema::baseTables().size(), 35u);
    EXPECT_EQ(schema::addedTables().size(), 34u);
    EXPECT_EQ(schema::addedColumns().size(), 29u);

    EXPECT_EQ(names(schema::baseTables()).join(QLatin1Char(' ')),
              QStringLiteral("type_meal type_culinary card_recipes type_eating recipes output plan_menu eating "
                             "norms quantity_eating product_group day_menu products vitamin vitamin_quantity "
                             "replace vitamin_report day_menu_point return_on_storage storage order_point "
                             "spisanie_point expense return_point receipt spisanie expence_docum supplier_return "
                             "orders supplier ed_izmer days INF type_menu USERS"));
    EXPECT_EQ(names(schema::addedTables()).join(QLatin1Char(' ')),
              QStringLiteral("STORAGES FNORMS NAMETABLE VALUTA MENUTR MENUTM MENUTR_POINT MENUTR1 MENUTM1 "
                             "MENUTR_POINT1 PLSTOIM VREMTABLANALIZ AVTZAK AVTZAK_POINT AVTZAK1 VREM_TAB ZAKAZ "
                             "CARD_VITAMIN FNORMS_VIT RECEPTUR ROOM ROOM_JUR OBORUDOV VREMNABVED SEZON SOBBLUD "
                             "VREM_OS VREM_TAB_KOL RASPS_CALL VREMTABLANALIZCALL NORMS_POINT UCHZHIR VIDZHIR "
                             "TIPZHAR"));
    EXPECT_EQ(names(schema::addedColumns()).join(QLatin1Char(' ')),
              QStringLiteral("PRODUCTS PRODUCTS STORAGE ORDER_POINT CARD_RECIPES ORDER_POINT INF INF RECIPES "
                             "CARD_RECIPES PRODUCTS STORAGE DAY_MENU VITAMIN_REPORT VITAMIN_REPORT EATING MENUTM "
                             "MENUTM1 TYPE_EATING VITAMIN CARD_VITAMIN CARD_RECIPES AVTZAK1 VREM_TAB_KOL RECEPTUR "
                             "TYPE_MENU RECEIPT INF RASPS_CALL"));
}

TEST(Catalogue, FieldsTypesSizesAndInitialValues)
{
    const auto entry = [](int group, int n) {
        const TableDef* t = schema::lookup(group, n);
        return t ? describe(*t) : QStringLiteral("<none>");
    };
    EXPECT_EQ(entry(1, 3), QStringLiteral("id:C cname:T255 id_type_meal:L id_type_culinary:L description:M fat:S "
                                          "protein:S carbohyd:S calories:S b1:S b2:S c:S ca:S fe:S"));
    EXPECT_EQ(entry(1, 19), QStringLiteral("id:C quantity:L id_product:L №docum:T20 rdate:DT"));
    EXPECT_EQ(entry(1, 33), QStringLiteral("IDLU:C Naim:M FamDir:T100 ImDir:T100 OtchDir:T100 REF:L appMajor:L "
                                           "appMinor:L appRevision:L AREF:B ASEC:I norms:B eatings:B 5week:B"));
    EXPECT_EQ(entry(1, 35), QStringLiteral("IDU:C NAIM:T50 ROLE:Y PSSW:T15 MEMO:M"));
    // The one field whose attributes are not its type's usual ones.
    EXPECT_EQ(entry(2, 22), QStringLiteral("IDRJ:C idRoom:L idObor:L Prim:M/a0"));
    EXPECT_EQ(entry(2, 32), QStringLiteral("IDuchzh:C id_zhir:L id_zhar:L id_product:L id_sotrud:L isCard:B "
                                           "dnach:DT dcon:DT ocnach:M ockon:M ostzhir:F utzhir:F"));
    EXPECT_EQ(entry(3, 3), QStringLiteral("IDSS:L=1 sum_NDS:S=0 OrgOc:M= tempHr:S=0"));
    EXPECT_EQ(entry(3, 8), QStringLiteral("allPrint:L=1 out:L=1 vloj:B=0 genVloj:B=0 schab:L=0 sanPin:B=0 "
                                          "VestSkl:B=1 AvtSpis:B=0 vidsbornik:L=-1 NewSanpin:L=1 NDS_PR:S=0 "
                                          "NDS:B=0 TaimOut:L=150 nazvSbornik:M= DopRekvizit:B=0"));
    EXPECT_EQ(entry(3, 13), QStringLiteral("nom:T10=1 filtr:L=0 idd_tm:T255="));
    EXPECT_EQ(entry(3, 16), QStringLiteral("TIME:DT=1"));
    EXPECT_EQ(entry(3, 27), QStringLiteral("nomerNakl:L nomerNaklText:T255"));

    // Fixed-size types carry their byte size.
    const TableDef* inf = schema::lookup(1, 33);
    ASSERT_NE(inf, nullptr);
    EXPECT_EQ(inf->field(QStringLiteral("ASEC"))->size, 2);
    EXPECT_EQ(inf->field(QStringLiteral("appMajor"))->size, 4);
    EXPECT_EQ(inf->field(QStringLiteral("5week"))->size, 1);
    EXPECT_EQ(schema::lookup(1, 12)->field(QStringLiteral("ddate"))->size, 8);
}

TEST(Catalogue, EveryTableButInfHasItsPrimaryKeyOnTheFirstField)
{
    for (int group : {1, 2}) {
        const auto& list = group == 1 ? schema::baseTables() : schema::addedTables();
        for (const TableDef& t : list) {
            SCOPED_TRACE(t.name.toStdString());
            ASSERT_FALSE(t.fields.empty());
            EXPECT_EQ(t.fields.front().attributes, int(attrAutoIncrement));
            EXPECT_EQ(t.fields.front().type, int(dbLong));
            if (t.name == QLatin1String("INF")) {
                EXPECT_TRUE(t.indexes.empty());
                continue;
            }
            ASSERT_EQ(t.indexes.size(), 1u);
            EXPECT_EQ(t.indexes[0].name, QStringLiteral("PrimaryKey"));
            EXPECT_EQ(t.indexes[0].fields, QStringList{QLatin1Char('+') + t.fields.front().name});
            for (size_t k = 1; k < t.fields.size(); ++k)
                EXPECT_NE(t.fields[k].attributes, int(attrAutoIncrement)) << t.fields[k].name.toStdString();
        }
    }
    for (const TableDef& t : schema::addedColumns())
        EXPECT_TRUE(t.indexes.empty()) << t.name.toStdString();
}

TEST(Catalogue, LookupOutsideAGroupFindsNothing)
{
    EXPECT_EQ(schema::lookup(1, 1)->name, QStringLiteral("type_meal"));
    EXPECT_EQ(schema::lookup(1, 35)->name, QStringLiteral("USERS"));
    EXPECT_EQ(schema::lookup(2, 1)->name, QStringLiteral("STORAGES"));
    EXPECT_EQ(schema::lookup(2, 34)->name, QStringLiteral("TIPZHAR"));
    EXPECT_EQ(schema::lookup(3, 1)->name, QStringLiteral("PRODUCTS"));
    EXPECT_EQ(schema::lookup(3, 29)->name, QStringLiteral("RASPS_CALL"));

    EXPECT_EQ(schema::lookup(1, 0), nullptr);
    EXPECT_EQ(schema::lookup(1, 36), nullptr);
    EXPECT_EQ(schema::lookup(2, 35), nullptr);
    EXPECT_EQ(schema::lookup(3, 30), nullptr);
    EXPECT_EQ(schema::lookup(3, -1), nullptr);
    EXPECT_EQ(schema::lookup(0, 1), nullptr);
    EXPECT_EQ(schema::lookup(4, 1), nullptr);
}

TEST(Catalogue, DocumentNumberTables)
{
    QStringList withNumber;
    for (const TableDef& t : schema::baseTables())
        if (const FieldDef* f = t.field(QStringLiteral("№docum"))) {
            withNumber << t.name;
            EXPECT_EQ(f->type, int(dbText)) << t.name.toStdString();
            EXPECT_EQ(f->size, 20) << t.name.toStdString();
        }
    EXPECT_EQ(sortedUpper(withNumber),
              sortedUpper({QStringLiteral("return_on_storage"), QStringLiteral("return_point"), QStringLiteral("receipt"),
                           QStringLiteral("spisanie"), QStringLiteral("expence_docum"),
                           QStringLiteral("supplier_return"), QStringLiteral("orders")}));
}

// --- the file a new database gets -------------------------------------------------------

namespace {

struct Expected {
    QString name;
    int type, size, attributes;
};

// What every table of a finished new file must hold: its catalogue fields, the columns added
// to it (a name already present, in any letter case, is the same field and keeps its first
// type), and the document sums and long texts of the repair pass.
std::map<QString, std::vector<Expected>> expectedLayout()
{
    std::map<QString, std::vector<Expected>> out;
    // `replace` is the repair pass: an existing field changes its type in place.
    auto add = [&](const QString& table, const QString& name, int type, int size, int attributes, bool replace) {
        auto& fields = out[table.toUpper()];
        for (Expected& e : fields)
            if (sameText(e.name, name)) {
                if (replace)
                    e = {e.name, type, size, attributes};
                return;
            }
        fields.push_back({name, type, size, attributes});
    };
    for (const auto* list : {&schema::baseTables(), &schema::addedTables(), &schema::addedColumns(), &schema::ownColumns()})
        for (const TableDef& t : *list)
            for (const FieldDef& f : t.fields)
                add(t.name, f.name, f.type, f.size, f.attributes, false);
    for (const char* t : {"day_menu", "receipt", "expence_docum", "spisanie", "orders"})
        add(QString::fromLatin1(t), QStringLiteral("SUM"), dbDouble, 8, attrFixed, true);
    add(QStringLiteral("MENUTR"), QStringLiteral("STOIM"), dbDouble, 8, attrFixed, true);
    add(QStringLiteral("products"), QStringLiteral("pname"), dbMemo, 0, attrVariable, true);
    add(QStringLiteral("card_recipes"), QStringLiteral("orgOc"), dbMemo, 0, attrVariable, true);
    return out;
}

class NewFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = env.path(QStringLiteral("new.db"));
        DatabaseSession session(prompt);
        ASSERT_TRUE(session.createDatabase(path));
        EXPECT_EQ(prompt.messages(), QStringList());
    }

    test::TestEnv env;
    test::ScriptedPrompt prompt;
    QString path;
};

} // namespace

TEST(NewFileFirstPass, HoldsTheBaseTablesOnly)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    const QString path = env.path(QStringLiteral("first.db"));
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.openDatabase(path, true));
    EXPECT_EQ(prompt.messages(), QStringList());
    Database& db = session.db();
    EXPECT_EQ(sortedUpper(fileschema::tableNames(db)), sortedUpper(names(schema::baseTables())));
    for (const TableDef& t : schema::baseTables()) {
        const auto file = fileschema::readTable(db, t.name);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->fields.size(), t.fields.size()) << t.name.toStdString();
    }
    // No stamp yet: the file has no INF row until it is filled.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM INF")).toInt(), 0);
}

TEST_F(NewFile, HoldsEveryTableAndColumnWithItsType)
{
    Database db(path, false);
    QStringList all = names(schema::baseTables()) + names(schema::addedTables());
    EXPECT_EQ(all.size(), 69);
    // SQLite's own bookkeeping tables are not part of the layout.
    EXPECT_EQ(sortedUpper(fileschema::tableNames(db)), sortedUpper(all));

    const auto layout = expectedLayout();
    EXPECT_EQ(layout.size(), 69u);
    for (const auto& [table, fields] : layout) {
        SCOPED_TRACE(table.toStdString());
        const auto file = fileschema::readTable(db, table);
        ASSERT_TRUE(file);
        QStringList want, have;
        for (const Expected& e : fields)
            want << e.name.toUpper() + QLatin1Char(':') + typeCode(e.type, e.size, e.attributes);
        for (const FileField& f : file->fields)
            have << f.name.toUpper() + QLatin1Char(':') + typeCode(f.type, f.size, f.attributes);
        want.sort();
        have.sort();
        EXPECT_EQ(have, want);
    }

    // Spot checks written out by hand.
    auto fieldOf = [&](const QString& table, const QString& field) {
        const auto t = fileschema::readTable(db, table);
        const FileField* f = t ? t->field(field) : nullptr;
        return f ? typeCode(f->type, f->size, f->attributes) : QStringLiteral("<missing>");
    };
    EXPECT_EQ(fieldOf(QStringLiteral("receipt"), QStringLiteral("SUM")), QStringLiteral("F"));
    EXPECT_EQ(fieldOf(QStringLiteral("MENUTR"), QStringLiteral("STOIM")), QStringLiteral("F"));
    EXPECT_EQ(fieldOf(QStringLiteral("MENUTR1"), QStringLiteral("stoim")), QStringLiteral("S"));
    EXPECT_EQ(fieldOf(QStringLiteral("products"), QStringLiteral("pname")), QStringLiteral("M"));
    EXPECT_EQ(fieldOf(QStringLiteral("card_recipes"), QStringLiteral("orgOc")), QStringLiteral("M"));
    EXPECT_EQ(fieldOf(QStringLiteral("ROOM_JUR"), QStringLiteral("Prim")), QStringLiteral("M/a0"));
    EXPECT_EQ(fieldOf(QStringLiteral("INF"), QStringLiteral("IDLU")), QStringLiteral("C"));
    EXPECT_EQ(fieldOf(QStringLiteral("INF"), QStringLiteral("TaimOut")), QStringLiteral("L"));
    EXPECT_EQ(fieldOf(QStringLiteral("USERS"), QStringLiteral("ROLE")), QStringLiteral("Y"));
    // "ProcNe" of a later entry is the field "procNe" added before it, and keeps its type.
    EXPECT_EQ(fieldOf(QStringLiteral("products"), QStringLiteral("ProcNe")), QStringLiteral("S"));
    EXPECT_EQ(fieldOf(QStringLiteral("order_point"), QStringLiteral("quantity1")), QStringLiteral("S"));
    EXPECT_EQ(fieldOf(QStringLiteral("order_point"), QStringLiteral("quantity")), QStringLiteral("<missing>"));
    EXPECT_EQ(fieldOf(QStringLiteral("day_menu"), QStringLiteral("SUM2")), QStringLiteral("<missing>"));
    EXPECT_EQ(fieldOf(QStringLiteral("card_recipes"), QStringLiteral("orgOc2")), QStringLiteral("<missing>"));
}

TEST_F(NewFile, PrimaryKeysAsTheFileReportsThem)
{
    Database db(path, false);
    for (const QString& name : fileschema::tableNames(db)) {
        SCOPED_TRACE(name.toStdString());
        const auto t = fileschema::readTable(db, name);
        ASSERT_TRUE(t);
        if (name == QLatin1String("INF"))
            continue;  // asked for no index; its auto-numbered key is simply SQLite's row key
        const FileIndex* pk = t->index(QStringLiteral("PrimaryKey"));
        ASSERT_NE(pk, nullptr);
        EXPECT_EQ(pk->fields, QStringList{QLatin1Char('+') + t->fields.front().name});
    }
}

TEST_F(NewFile, ColumnsStoreValuesWithTheAffinityOfTheirType)
{
    Database db(path, false);
    Transaction tx(db);  // rolled back: the file itself is not the point here
    // A text typed into each column: text and memo columns keep it as it is, number columns
    // turn it into a number, date columns keep the ISO text.
    int textColumns = 0;
    for (const QString& name : fileschema::tableNames(db)) {
        const auto t = fileschema::readTable(db, name);
        ASSERT_TRUE(t);
        for (const FileField& f : t->fields) {
            if (f.attributes == attrAutoIncrement)
                continue;
            SCOPED_TRACE((name + QLatin1Char('.') + f.name).toStdString());
            QString typed, wantType, wantValue;
            switch (f.type) {
            case dbText:
            case dbMemo: typed = QStringLiteral("0099"); wantType = QStringLiteral("text"); wantValue = typed; ++textColumns; break;
            case dbSingle:
            case dbDouble: typed = QStringLiteral("12.50"); wantType = QStringLiteral("real"); wantValue = QStringLiteral("12.5"); break;
            case dbDate: typed = QStringLiteral("2024-03-01"); wantType = QStringLiteral("text"); wantValue = typed; break;
            default: typed = QStringLiteral("0099"); wantType = QStringLiteral("integer"); wantValue = QStringLiteral("99"); break;
            }
            const QString col = fileschema::quoteName(f.name);
            const QString tbl = fileschema::quoteName(name);
            db.exec(QStringLiteral("INSERT INTO ") + tbl + QStringLiteral(" (") + col + QStringLiteral(") VALUES (?1)"), {typed});
            Statement st(db, QStringLiteral("SELECT typeof(") + col + QStringLiteral("), ") + col + QStringLiteral(" FROM ") + tbl +
                                 QStringLiteral(" WHERE rowid = ?1"));
            st.bind(1, db.lastInsertId());
            ASSERT_TRUE(st.next());
            EXPECT_EQ(st.toString(0), wantType);
            EXPECT_EQ(st.toString(1), wantValue);
        }
    }
    EXPECT_GT(textColumns, 100);
}

TEST_F(NewFile, OddColumnNamesWorkInBrackets)
{
    Database db(path, false);
    db.exec(QStringLiteral("INSERT INTO receipt ([№docum], rdate) VALUES (?1, ?2)"),
            {QStringLiteral("0099"), QDate(2024, 3, 1)});
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT [№docum] FROM receipt WHERE rdate = ?1"), {QDate(2024, 3, 1)}),
              QVariant(QStringLiteral("0099")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM receipt WHERE [№docum] = ?1"), {QStringLiteral("0099")}).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM receipt WHERE [№docum] = ?1"), {99}).toInt(), 0);

    db.exec(QStringLiteral("INSERT INTO INF (Naim, [5week]) VALUES (?1, ?2)"), {QStringLiteral("Детский сад"), true});
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT [5week] FROM INF")).toInt(), -1);
    db.exec(QStringLiteral("UPDATE INF SET [5week] = ?1"), {false});
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT [5week] FROM INF")).toInt(), 0);
}
