// The database layout as data: every table, field, index and the defaults of added columns.

#include "core/SchemaCatalogue.h"
#include "core/TextFold.h"

#include <QStringList>

namespace rat {

const FieldDef* TableDef::field(const QString& name) const
{
    for (const FieldDef& f : fields)
        if (sameText(f.name, name))
            return &f;
    return nullptr;
}

namespace schema {
namespace {

// Compact notation, one table per line: "table|field:TYPE|field:TYPE=init|...".
// TYPE: C auto-increment key, B Boolean, Y Byte, I Integer, L Long, S Single, F Double,
// DT Date/Time, Tn Text(n), M Memo, M0 Memo without attributes. "=x" is the initial value.
const char* const kBaseTables[] = {
    "type_meal|id:C|tname:T255",
    "type_culinary|id:C|cname:T255",
    "card_recipes|id:C|cname:T255|id_type_meal:L|id_type_culinary:L|description:M|fat:S|protein:S"
    "|carbohyd:S|calories:S|b1:S|b2:S|c:S|ca:S|fe:S",
    "type_eating|id:C|ename:T255|shname:T50|status:B|id_type_menu:L",
    "recipes|id:C|id_card_recipes:L|id_product:L|brutto:S|netto:S|isComment:B|isVariant:B"
    "|id_MainCard:L|comment:T255",
    "output|id:C|id_card_recipe:L|id_type_eating:L|output1:L|output2:L|output3:L",
    "plan_menu|id:C|id_day:L|id_eating:L|id_card_recipes:L|id_type_meal:L",
    "eating|id:C|ename:T100",
    "norms|id:C|id_type_eating:L|norm:S|id_product:L|gname:T255",
    "quantity_eating|id:C|id_day_menu_point:L|id_type_eating:L|quantity:L",
    "product_group|id:C|pname:T255",
    "day_menu|id:C|ddate:DT|status:B|comment:M|id_type_menu:L",
    "products|id:C|id_ed_izmer:L|id_product_group:L|fat:S|protein:S|carbohyd:S|calories:S"
    "|time_storage:L|time_period:L",
    "vitamin|id:C|vname:T255|shname:T10",
    "vitamin_quantity|id:C|id_product:L|id_vitamin:L|quantity:S",
    "replace|id:C|id_product:L|id_product_replace:L|pr_weight:S|repl_weight:S",
    "vitamin_report|id:C|id_vitamin:L|id_cards_recipes:L|vdate:DT|time1:DT|time2:DT|notes:M"
    "|quantity_eatings:L|quantity_vita:S",
    "day_menu_point|id:C|id_card_recipe:L|id_day_menu:L|id_eating:L",
    "return_on_storage|id:C|quantity:L|id_product:L|№docum:T20|rdate:DT",
    "storage|id:C|id_product:L|quantity:S|date_realization:DT|id_receipt:L|cost:S|id_ed_izmer:L"
    "|nds:L|status:B",
    "order_point|id:C|id_product:L|id_orders:L|id_ed_izmer:L|cost:S",
    "spisanie_point|id:C|id_spisanie:L|id_storage:L|quantity:S|why:T255",
    "expense|id:C|id_storage:L|quantity:S|id_expence_docum:L|id_type_eating:L",
    "return_point|id:C|id_storage:L|quantity:L|№docum:T20|id_return:L|weight:S|cost:S",
    "receipt|id:C|№docum:T20|id_supplier:L|rdate:DT|comment:M|status:B",
    "spisanie|id:C|№docum:T20|wdate:DT|status:B|comment:M",
    "expence_docum|id:C|№docum:T20|ddate:DT|status:B|comment:M",
    "supplier_return|id:C|№docum:T20|notes:M|sum:S|rdate:DT|id_supplier:L",
    "orders|id:C|odate:DT|№docum:T20|id_supplier:L|status:B|status1:B|comment:M",
    "supplier|id:C|sname:T255|phone:T50|contact:T255|address:M|director:T255|notes:M",
    "ed_izmer|id:C|ename:T50|koef:S",
    "days|id:C|dname:T255|id_type_menu:L",
    "INF|IDLU:C|Naim:M|FamDir:T100|ImDir:T100|OtchDir:T100|REF:L|appMajor:L|appMinor:L"
    "|appRevision:L|AREF:B|ASEC:I|norms:B|eatings:B|5week:B",
    "type_menu|id:C|tname:T255|status:L",
    "USERS|IDU:C|NAIM:T50|ROLE:Y|PSSW:T15|MEMO:M",
};

const char* const kAddedTables[] = {
    "STORAGES|IDSS:C|name:T255",
    "FNORMS|IDF:C|id_type_eating:L|nfat:S|nprotein:S|ncarbohyd:S|ncalories:S|nB1:S|nB2:S|nCa:S"
    "|nC:S|nFe:S",
    "NAMETABLE|IDNT:C|namePole:T255|nomTable:L|xpole:L",
    "VALUTA|IDVAL:C|namev:T255|shnamev:T50|status:B",
    "MENUTR|IDM:C|date:DT|status:B|id_ex:L|date_m:DT|nom_m:T255",
    "MENUTM|IDTM:C|IDM:L|ID_day_menu:L",
    "MENUTR_POINT|IDMP:C|id_product:L|id_type_eating:L|id_eating:L|id_card:L|kol:F|kolv:F"
    "|output:S|IDM:L",
    "MENUTR1|IDM1:C|date:DT|stoim:S|status:B|id_ex:L|date_m:DT|nom_m:T255|nk:L",
    "MENUTM1|IDTM1:C|IDM1:L|ID_day_menu:L",
    "MENUTR_POINT1|IDMP1:C|id_product:L|id_type_eating:L|id_eating:L|id_card:L|kol:F|kolv:F"
    "|output:S|ost:F|IDM1:L",
    "PLSTOIM|IDPLS:C|id_type_eating:L|pldate:DT|stoim:S",
    "VREMTABLANALIZ|IDvrem:C|tid:L|pid:L|pname:T255|plano:S|shname:T255|dname:T255|id_eating:L"
    "|tname:T255|did:L",
    "AVTZAK|IDAvt:C|id_storge:L|id_type_menu:L|day:L",
    "AVTZAK_POINT|IDAP:C|IDAvt:L|id_type_eating:L|kol:L",
    "AVTZAK1|IDAv:C|id_storge:L|id_type_menu:L|day:L|id_type_eating:L|kol:L",
    "VREM_TAB|IDVR:C|id_product:L|id_ed_izmer:L|quantity:S|idss:L",
    "ZAKAZ|IDZ:C|id_type_menu:L|id_day:L|id_orders:L",
    "CARD_VITAMIN|IDcv:C|id_vitamin:L|id_card_recipes:L|kol:S|kolpr:S",
    "FNORMS_VIT|idfv:C|kol:S|id_vitamin:L|idf:L",
    "RECEPTUR|ID:C|namev:T255|namesh:T100",
    "ROOM|idRoom:C|Name:T255",
    "ROOM_JUR|IDRJ:C|idRoom:L|idObor:L|Prim:M0",
    "OBORUDOV|idObor:C|Naim:T255|Marka:T255",
    "VREMNABVED|idvremved:C|tt:L|ename:T255|koef:L|fat:S|protein:S|carbohyd:S|calories:S|id:L"
    "|pname:M|shname:T255|quantity:L|nettto:S|ddate:DT",
    "SEZON|idSEZ:C|id_PRODUCT:L|DAY_N:L|MES_N:L|DAY_O:L|MES_O:L|PROZ:S",
    "SOBBLUD|idSO:C|id_type_eating:L|id_eating:L|objemMin:S|objemMax:S",
    "VREM_OS|IDosvrem:C|pid:L|idss:L|pname:T255|osted:S|bolll:B|koef:L",
    "VREM_TAB_KOL|IDtk:C|pid:L|pname:T255|kol:S|koef:L|eid:L",
    "RASPS_CALL|IDRC:C|id_eating:L|status:B|proz1:L|proz2:L",
    "VREMTABLANALIZCALL|IDvrem:C|eid:L|plano:S|dname:T255|did:L|tid:L",
    "NORMS_POINT|IDNP:C|id_norms:L|id_eating:L|kol:S",
    "UCHZHIR|IDuchzh:C|id_zhir:L|id_zhar:L|id_product:L|id_sotrud:L|isCard:B|dnach:DT|dcon:DT"
    "|ocnach:M|ockon:M|ostzhir:F|utzhir:F",
    "VIDZHIR|IDzhir:C|naim:M",
    "TIPZHAR|IDzhar:C|naim:M",
};

const char* const kAddedColumns[] = {
    "PRODUCTS|schif:T100|plpris:S|trueVit:B|trueLak:B",
    "PRODUCTS|rule_okr:L|procNe:S",
    "STORAGE|IDSS:L=1|sum_NDS:S=0|OrgOc:M=|tempHr:S=0",
    "ORDER_POINT|IDSS:L=1",
    "CARD_RECIPES|cost:S|pr_fat:S|pr_protein:S|pr_carbohyd:S|pr_c:S|pr_ca:S|pr_fe:S|pr_call:S"
    "|pr_b1:S|pr_b2:S|orgOc:T255|numRec:T50|fat_vih:S|protein_vih:S|carbohyd_vih:S"
    "|calories_vih:S|vih:L|pr_calories:S|depthLevel:L|nacenka:S",
    "ORDER_POINT|quantity1:S",
    "INF|wordAll:B|allrazd:B|famMat:T100|ImMat:T100|OtchMat:T100|famB:T100|ImB:T100|OtchB:T100"
    "|famMS:T100|ImMS:T100|OtchMS:T100|famK:T100|ImK:T100|OtchK:T100|famP:T100|ImP:T100"
    "|OtchP:T100|Sezonnost:B|ImPP:T100|Galka:B|arhividmenu:M|struktur:T255|okpo:T255"
    "|tupe_dou:T255|TKlist:B",
    "INF|allPrint:L=1|out:L=1|vloj:B=0|genVloj:B=0|schab:L=0|sanPin:B=0|VestSkl:B=1|AvtSpis:B=0"
    "|vidsbornik:L=-1|NewSanpin:L=1|NDS_PR:S=0|NDS:B=0|TaimOut:L=150|nazvSbornik:M="
    "|DopRekvizit:B=0",
    "RECIPES|isCard:B=0|vih_kol:L=100|brutto2:S=0|netto2:S=0",
    "CARD_RECIPES|number1:T10",
    "PRODUCTS|ProcNe:L|P_NDS:S",
    "STORAGE|rddate:DT",
    "DAY_MENU|nom:T10=1|filtr:L=0|idd_tm:T255=",
    "VITAMIN_REPORT|PRO:B",
    "VITAMIN_REPORT|qv:S",
    "EATING|TIME:DT=1",
    "MENUTM|IDSkl:L=1",
    "MENUTM1|IDSkl:L=1",
    "TYPE_EATING|Pes:B=0|Kod:T10=1",
    "VITAMIN|ispCard:B",
    "CARD_VITAMIN|kol_vih:S|vih:L",
    "CARD_RECIPES|id_receptur:L=1",
    "AVTZAK1|status:B=0",
    "VREM_TAB_KOL|idss_verm:L=1",
    "RECEPTUR|OsnSbor:B=0",
    "TYPE_MENU|sumdolpotr:S|sezon:L",
    "RECEIPT|nomerNakl:L|nomerNaklText:T255",
    "INF|vidsbornikSCH:L=0|NewSanpinSCH:L=1|nazvSbornikSCH:M=",
    "RASPS_CALL|vidTipDovl:B=0",
};

// Columns this program adds beyond the inherited layout, applied the same way after it.
const char* const kOwnColumns[] = {
    "INF|NACEN:B=0|NACEN_PR:S=0",
    "TYPE_MENU|status_diet:B=0",
};

FieldDef parseField(const QString& item)
{
    FieldDef f;
    const int colon = item.lastIndexOf(QLatin1Char(':'));
    f.name = item.left(colon);
    QString type = item.mid(colon + 1);
    const int eq = type.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        f.hasInit = true;
        f.init = type.mid(eq + 1);
        type = type.left(eq);
    }
    if (type == QLatin1String("C")) {
        f.type = dbLong;
        f.attributes = attrAutoIncrement;
    } else if (type == QLatin1String("B")) {
        f.type = dbBoolean;
    } else if (type == QLatin1String("Y")) {
        f.type = dbByte;
    } else if (type == QLatin1String("I")) {
        f.type = dbInteger;
    } else if (type == QLatin1String("L")) {
        f.type = dbLong;
    } else if (type == QLatin1String("S")) {
        f.type = dbSingle;
    } else if (type == QLatin1String("F")) {
        f.type = dbDouble;
    } else if (type == QLatin1String("DT")) {
        f.type = dbDate;
    } else if (type.startsWith(QLatin1Char('T'))) {
        f.type = dbText;
        f.size = type.mid(1).toInt();
    } else if (type == QLatin1String("M0")) {
        f.type = dbMemo;
        f.attributes = attrNone;
        return f;
    } else {
        f.type = dbMemo;
    }
    if (f.type != dbText)
        f.size = fixedSize(f.type);
    if (f.attributes == 0)
        f.attributes = defaultAttributes(f.type);
    return f;
}

std::vector<TableDef> parseTables(const char* const* lines, size_t count, bool withKeyIndex)
{
    std::vector<TableDef> out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const QStringList items = QString::fromUtf8(lines[i]).split(QLatin1Char('|'));
        TableDef t;
        t.name = items.front();
        for (qsizetype k = 1; k < items.size(); ++k)
            t.fields.push_back(parseField(items[k]));
        if (withKeyIndex && t.name != QLatin1String("INF"))
            t.indexes.push_back({QStringLiteral("PrimaryKey"), {QLatin1Char('+') + t.fields.front().name}});
        out.push_back(std::move(t));
    }
    return out;
}

template <size_t N>
std::vector<TableDef> parse(const char* const (&lines)[N], bool withKeyIndex)
{
    return parseTables(lines, N, withKeyIndex);
}

} // namespace

int fixedSize(int type)
{
    switch (type) {
    case dbBoolean:
    case dbByte: return 1;
    case dbInteger: return 2;
    case dbLong:
    case dbSingle: return 4;
    case dbDouble:
    case dbDate: return 8;
    default: return 0;
    }
}

int defaultAttributes(int type)
{
    return (type == dbText || type == dbMemo) ? attrVariable : attrFixed;
}

const std::vector<TableDef>& baseTables()
{
    static const std::vector<TableDef> t = parse(kBaseTables, true);
    return t;
}

const std::vector<TableDef>& addedTables()
{
    static const std::vector<TableDef> t = parse(kAddedTables, true);
    return t;
}

const std::vector<TableDef>& addedColumns()
{
    static const std::vector<TableDef> t = parse(kAddedColumns, false);
    return t;
}

const std::vector<TableDef>& ownColumns()
{
    static const std::vector<TableDef> t = parse(kOwnColumns, false);
    return t;
}

const std::vector<KeyIndex>& ownIndexes()
{
    // The lines of the menu-requirements: hundreds of thousands in a file of ten years, read
    // and deleted by their document.
    static const std::vector<KeyIndex> i = {{QStringLiteral("MENUTR_POINT"), QStringLiteral("IDM")}};
    return i;
}

const std::vector<RepairColumn>& repairSums()
{
    static const std::vector<RepairColumn> r = {
        {QStringLiteral("DAY_MENU"), QStringLiteral("SUM"), dbDouble, 8},
        {QStringLiteral("RECEIPT"), QStringLiteral("SUM"), dbDouble, 8},
        {QStringLiteral("EXPENCE_DOCUM"), QStringLiteral("SUM"), dbDouble, 8},
        {QStringLiteral("SPISANIE"), QStringLiteral("SUM"), dbDouble, 8},
        {QStringLiteral("ORDERS"), QStringLiteral("SUM"), dbDouble, 8},
        {QStringLiteral("MENUTR"), QStringLiteral("STOIM"), dbDouble, 8},
    };
    return r;
}

const std::vector<RepairColumn>& repairMemos()
{
    static const std::vector<RepairColumn> r = {
        {QStringLiteral("CARD_RECIPES"), QStringLiteral("ORGOC"), dbMemo, 0},
        {QStringLiteral("PRODUCTS"), QStringLiteral("PNAME"), dbMemo, 0},
    };
    return r;
}

const TableDef* lookup(int group, int entry)
{
    const std::vector<TableDef>* list = nullptr;
    switch (group) {
    case baseGroup: list = &baseTables(); break;
    case addedTablesGroup: list = &addedTables(); break;
    case addedColumnsGroup: list = &addedColumns(); break;
    default: return nullptr;
    }
    if (entry < 1 || entry > int(list->size()))
        return nullptr;
    return &(*list)[size_t(entry - 1)];
}

const std::vector<ColumnTitle>& initialColumnTitles()
{
    static const std::vector<ColumnTitle> titles = [] {
        // title'book'column, repeated
        const QString packed = QStringLiteral(
            "Наименование'0'1'Наименование'1'1'Номер'2'1'Наименование'2'3'Номер рецептуры'2'2'"
            "Наименование'3'1'Краткое наименование'3'2'Номер'4'1'Наименование'4'2'Описание'4'13'"
            "Наименование'7'1'Группа продуктов'8'1'Продукт'8'2'Наименование'10'1'"
            "Наименование'12'1'Шифр'12'3'Наименование'13'1'Краткое наименование'13'2'"
            "Продукт'14'1'Наименование'15'1'Витамин'16'2'Блюдо'16'3'Продукт'19'1'Номер'22'3'"
            "Номер'24'3'Поставщик'24'5'Номер'25'3'Номер'28'4'Поставщик'28'6'Наименование'29'1'"
            "Контактное лицо'29'2'Телефон'29'3'Адрес'29'4'Директор'29'5'Наименование'30'1'"
            "Номер'32'1'Наименование'32'3'Номер рецептуры'32'2'Наименование'35'1'"
            "Пользователь'36'1'Наименование'37'1'Наименование'43'1'Краткое наименование'43'2");
        const QStringList items = packed.split(QLatin1Char('\''));
        std::vector<ColumnTitle> out;
        for (qsizetype i = 0; i + 2 < items.size(); i += 3)
            out.push_back({items[i], items[i + 1].toInt(), items[i + 2].toInt()});
        return out;
    }();
    return titles;
}

} // namespace schema
} // namespace rat
