// Creation, verification and step-by-step upgrade of a database file from the table
// catalogue.

#include "core/SchemaUpgrade.h"
#include "core/Database.h"
#include "core/FileSchema.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/SchemaCatalogue.h"
#include "core/SeasonDefaults.h"
#include "core/TextFold.h"

#include <QSet>

namespace rat::upgrade {

using fileschema::quoteName;

namespace {

const QString kStructure = QStringLiteral("Обнаружены ошибки в структуре файла базы данных! ");
const QString kStop = QStringLiteral(". Продолжение работы с этим файлом невозможно.");

QString missingTableMessage(const QString& table)
{
    return kStructure + QStringLiteral("Отсутствует таблица: ") + table + kStop;
}

// Runs one step of the upgrade on its own savepoint: a step the engine refuses is undone and
// the upgrade goes on with the next.
template <typename Fn>
void tolerant(Database& db, Fn&& fn)
{
    try {
        Transaction sp(db);
        fn();
        sp.commit();
    } catch (const DbError&) {
    }
}

bool hasColumn(Database& db, const QString& table, const QString& column)
{
    const auto t = fileschema::readTable(db, table);
    return t && t->field(column);
}

void createAddedTable(Database& db, const TableDef& t)
{
    db.execScript(fileschema::createTableSql(t));
}

// First contents of tables that were just created.
void fillNewTable(Database& db, const TableDef& t)
{
    const QString name = t.name.toUpper();
    if (name == QLatin1String("NAMETABLE")) {
        Statement ins(db, QStringLiteral("INSERT INTO NAMETABLE (namePole, nomTable, xpole) VALUES (?1, ?2, ?3)"));
        for (const auto& c : schema::initialColumnTitles()) {
            ins.reset();
            ins.bindAll({c.title, c.book, c.column});
            ins.exec();
        }
    } else if (name == QLatin1String("VALUTA")) {
        db.exec(QStringLiteral("INSERT INTO VALUTA (namev, shnamev, status) VALUES (?1, ?2, ?3)"),
                {QStringLiteral("Тенге"), QStringLiteral("тг."), true});
    } else if (name == QLatin1String("STORAGES")) {
        db.exec(QStringLiteral("INSERT INTO STORAGES (name) VALUES (?1)"), {QStringLiteral("Склад №1")});
    } else if (name == QLatin1String("SEZON")) {
        if (hasColumn(db, QStringLiteral("products"), QStringLiteral("pname")))
            addDefaultSeasonRows(db, false);
    } else if (name == QLatin1String("CARD_VITAMIN")) {
        struct Vit {
            const char* code;
            const char* name;
            const char* column;
        };
        static const Vit vits[] = {{"Ca", "Кальций", "ca"}, {"Fe", "Железо", "fe"},
                                   {"B1", "Витамин В1", "b1"}, {"B2", "Витамин В2", "b2"},
                                   {"C", "Витамин С", "c"}};
        const bool vitaminHasIspCard = hasColumn(db, QStringLiteral("vitamin"), QStringLiteral("ispCard"));
        const auto cards = fileschema::readTable(db, QStringLiteral("card_recipes"));
        for (const Vit& v : vits) {
            const QString code = QString::fromLatin1(v.code);
            QVariant idVitamin = db.scalar(QStringLiteral("SELECT id FROM vitamin WHERE upper(shname) = upper(?1) ORDER BY id"), {code});
            if (idVitamin.isNull()) {
                if (vitaminHasIspCard)
                    db.exec(QStringLiteral("INSERT INTO vitamin (vname, shname, ispCard) VALUES (?1, ?2, -1)"),
                            {QString::fromUtf8(v.name), code});
                else
                    db.exec(QStringLiteral("INSERT INTO vitamin (vname, shname) VALUES (?1, ?2)"),
                            {QString::fromUtf8(v.name), code});
                idVitamin = db.lastInsertId();
            }
            const QString column = QString::fromLatin1(v.column);
            const QString pr = QStringLiteral("pr_") + column;
            const QString prExpr = cards && cards->field(pr) ? quoteName(pr) : QStringLiteral("NULL");
            db.exec(QStringLiteral("INSERT INTO CARD_VITAMIN (id_vitamin, id_card_recipes, kol, kolpr) "
                                   "SELECT ?1, id, ") + quoteName(column) + QStringLiteral(", ") + prExpr +
                        QStringLiteral(" FROM card_recipes ORDER BY id"),
                    {idVitamin});
        }
    } else if (name == QLatin1String("FNORMS_VIT")) {
        static const char* const codes[][2] = {{"Ca", "nCa"}, {"Fe", "nFe"}, {"B1", "nB1"}, {"B2", "nB2"}, {"C", "nC"}};
        for (const auto& c : codes) {
            const QVariant idVitamin = db.scalar(QStringLiteral("SELECT id FROM vitamin WHERE upper(shname) = upper(?1) ORDER BY id"),
                                                 {QString::fromLatin1(c[0])});
            db.exec(QStringLiteral("INSERT INTO FNORMS_VIT (idf, id_vitamin, kol) SELECT IDF, ?1, ") +
                        quoteName(QString::fromLatin1(c[1])) + QStringLiteral(" FROM FNORMS ORDER BY IDF"),
                    {idVitamin});
        }
    }
}

// The value an added column's initial text stands for in a field of its type.
QVariant initValue(const FieldDef& f)
{
    switch (f.type) {
    case dbBoolean: return QVariant(f.init.toDouble() != 0.0);
    case dbDate: return QVariant(QDate(1899, 12, 30).addDays(f.init.toLongLong()));
    case dbText:
    case dbMemo: return QVariant(f.init);
    case dbSingle:
    case dbDouble: return QVariant(f.init.toDouble());
    default: return QVariant(f.init.toLongLong());
    }
}

void addColumns(Database& db, const TableDef& entry)
{
    auto file = fileschema::readTable(db, entry.name);
    if (!file)
        return;
    const QString table = file->name;
    QSet<QString> added;  // upper-cased names of the columns added just now
    for (const FieldDef& f : entry.fields) {
        if (file->field(f.name))
            continue;
        const QString upper = f.name.toUpper();
        tolerant(db, [&] {
            // Older files carry these columns under their former names.
            const bool renamed =
                (upper == QLatin1String("QUANTITY1") && sameText(entry.name, QStringLiteral("ORDER_POINT")) && file->field(QStringLiteral("quantity"))) ||
                (upper == QLatin1String("NUMBER1") && sameText(entry.name, QStringLiteral("CARD_RECIPES")) && file->field(QStringLiteral("number")));
            if (renamed) {
                const QString old = upper == QLatin1String("QUANTITY1") ? QStringLiteral("quantity") : QStringLiteral("number");
                db.execScript(QStringLiteral("ALTER TABLE ") + quoteName(table) + QStringLiteral(" RENAME COLUMN ") +
                              quoteName(file->field(old)->name) + QStringLiteral(" TO ") + quoteName(f.name));
            } else {
                db.execScript(fileschema::addColumnSql(table, f));
                added.insert(upper);
            }
        });
    }
    if (added.isEmpty())
        return;

    // Existing rows receive the column's initial value; a few columns take theirs from
    // other fields of the row.
    const QString tableUpper = entry.name.toUpper();
    for (const FieldDef& f : entry.fields) {
        if (!added.contains(f.name.toUpper()) || !f.hasInit || f.init.isEmpty())
            continue;
        tolerant(db, [&] {
            db.exec(QStringLiteral("UPDATE ") + quoteName(table) + QStringLiteral(" SET ") + quoteName(f.name) +
                        QStringLiteral(" = ?1"),
                    {initValue(f)});
        });
    }
    auto update = [&](const QString& setClause) {
        tolerant(db, [&] {
            db.execScript(QStringLiteral("UPDATE ") + quoteName(table) + QStringLiteral(" SET ") + setClause);
        });
    };
    if (tableUpper == QLatin1String("RECEIPT") && added.contains(QStringLiteral("NOMERNAKLTEXT")))
        update(QStringLiteral("nomerNaklText = CAST(nomerNakl AS TEXT)"));
    if (tableUpper == QLatin1String("TYPE_MENU") && added.contains(QStringLiteral("SEZON")))
        update(QStringLiteral("sezon = 1"));
    if (tableUpper == QLatin1String("INF") && added.contains(QStringLiteral("IMPP")))
        update(QStringLiteral("ImPP = imp"));
    if (tableUpper == QLatin1String("INF") && added.contains(QStringLiteral("GALKA")))
        update(QStringLiteral("Galka = -1"));
    if (tableUpper == QLatin1String("INF") && added.contains(QStringLiteral("NEWSANPIN")))
        update(QStringLiteral("NewSanpin = CASE WHEN coalesce(sanPin, 0) <> 0 THEN 1 ELSE 0 END"));
    if (tableUpper == QLatin1String("CARD_RECIPES") && added.contains(QStringLiteral("ID_RECEPTUR")))
        update(QStringLiteral("id_receptur = 1"));
    if (tableUpper == QLatin1String("VITAMIN") && added.contains(QStringLiteral("ISPCARD")))
        update(QStringLiteral("ispCard = -1 WHERE upper(shname) IN ('CA', 'FE', 'B1', 'B2', 'C')"));
    if (tableUpper == QLatin1String("VITAMIN_REPORT") && added.contains(QStringLiteral("QV"))) {
        tolerant(db, [&] {
            std::vector<std::pair<qint64, QVariant>> rows;
            Statement st(db, QStringLiteral("SELECT id, quantity_eatings, quantity_vita FROM ") + quoteName(table));
            while (st.next()) {
                if (st.isNull(1) || st.isNull(2))
                    rows.emplace_back(st.toInt64(0), QVariant());
                else
                    rows.emplace_back(st.toInt64(0), roundHalfEven(st.toDouble(1) * st.toDouble(2), 3));
            }
            Statement up(db, QStringLiteral("UPDATE ") + quoteName(table) + QStringLiteral(" SET qv = ?1 WHERE id = ?2"));
            for (const auto& [id, qv] : rows) {
                up.reset();
                up.bindAll({qv, id});
                up.exec();
            }
        });
    }
}

void planMenuEnergyTotals(Database& db)
{
    tolerant(db, [&] {
        const QVariant s = db.scalar(QStringLiteral(
            "SELECT sum(CASE WHEN coalesce(status, 0) = 0 THEN proz1 ELSE proz2 END) FROM RASPS_CALL"));
        const double sum = s.isNull() ? 0.0 : s.toDouble();
        const double total = (sum > 0 && sum < 100) ? sum : 100.0;
        db.exec(QStringLiteral("UPDATE type_menu SET sumdolpotr = ?1 WHERE sumdolpotr IS NULL OR sumdolpotr = 0"),
                {total});
    });
}

// A field of an outdated type is rebuilt through a temporary copy; the values pass through
// their trimmed text form.
void convertField(Database& db, const QString& table, const QString& field, const FieldDef& target)
{
    const QString t = quoteName(table);
    const QString tmp = field + QLatin1Char('2');
    FieldDef tmpDef = target;
    tmpDef.name = tmp;
    FieldDef def = target;
    def.name = field;
    tolerant(db, [&] { db.execScript(QStringLiteral("ALTER TABLE ") + t + QStringLiteral(" DROP COLUMN ") + quoteName(tmp)); });
    db.execScript(fileschema::addColumnSql(table, tmpDef));
    db.execScript(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET ") + quoteName(tmp) + QStringLiteral(" = trim(") + quoteName(field) + QLatin1Char(')'));
    db.execScript(QStringLiteral("ALTER TABLE ") + t + QStringLiteral(" DROP COLUMN ") + quoteName(field));
    db.execScript(fileschema::addColumnSql(table, def));
    db.execScript(QStringLiteral("UPDATE ") + t + QStringLiteral(" SET ") + quoteName(field) + QStringLiteral(" = trim(") + quoteName(tmp) + QLatin1Char(')'));
    db.execScript(QStringLiteral("ALTER TABLE ") + t + QStringLiteral(" DROP COLUMN ") + quoteName(tmp));
}

// The program's own key indexes, each made once; a file whose table or column is missing
// goes on without it.
void addOwnIndexes(Database& db)
{
    for (const schema::KeyIndex& k : schema::ownIndexes()) {
        const auto file = fileschema::readTable(db, k.table);
        if (!file || !file->field(k.column) || file->index(k.column))
            continue;
        tolerant(db, [&] {
            db.execScript(QStringLiteral("CREATE INDEX ") + quoteName(file->name + QLatin1Char('.') + k.column) +
                          QStringLiteral(" ON ") + quoteName(file->name) + QStringLiteral(" (") +
                          quoteName(file->field(k.column)->name) + QLatin1Char(')'));
        });
    }
}

bool repairPass(Database& db, Prompt& prompt)
{
    auto walk = [&](const std::vector<RepairColumn>& list, bool bySize) {
        for (const RepairColumn& r : list) {
            const auto file = fileschema::readTable(db, r.table);
            if (!file) {
                prompt.critical(missingTableMessage(r.table));
                return false;
            }
            FieldDef target;
            target.name = r.field;
            target.type = r.type;
            target.size = r.size;
            target.attributes = schema::defaultAttributes(r.type);
            const FileField* existing = file->field(r.field);
            if (!existing) {
                db.execScript(fileschema::addColumnSql(file->name, target));
            } else if (bySize ? existing->size != r.size : existing->type != r.type) {
                convertField(db, file->name, existing->name, target);
            }
        }
        return true;
    };
    return walk(schema::repairSums(), false) && walk(schema::repairMemos(), true);
}

} // namespace

void createBaseTables(Database& db)
{
    for (const TableDef& t : schema::baseTables())
        db.execScript(fileschema::createTableSql(t));
}

bool verifyBaseTables(Database& db, Prompt& prompt)
{
    for (const TableDef& t : schema::baseTables()) {
        const auto file = fileschema::readTable(db, t.name);
        if (!file) {
            prompt.critical(missingTableMessage(t.name));
            return false;
        }
        for (const FieldDef& f : t.fields) {
            const FileField* ff = file->field(f.name);
            if (!ff) {
                prompt.critical(kStructure + QStringLiteral("В таблице: ") + t.name +
                                QStringLiteral(" отсутствует поле: ") + f.name + kStop);
                return false;
            }
            if (ff->type != f.type) {
                prompt.critical(QStringLiteral("Тип данных поля ") + f.name + QStringLiteral(" таблицы ") + t.name +
                                QStringLiteral(" не соответствует формату. Продолжение работы невозможно."));
                return false;
            }
            if (ff->size != f.size) {
                prompt.critical(QStringLiteral("Размер поля ") + f.name + QStringLiteral(" таблицы ") + t.name +
                                QStringLiteral(" не соответствует формату. Продолжение работы невозможно."));
                return false;
            }
            if (ff->attributes != f.attributes) {
                prompt.critical(QStringLiteral("Параметры поля ") + f.name + QStringLiteral(" таблицы ") + t.name +
                                QStringLiteral(" не соответствуют формату. Продолжение работы невозможно."));
                return false;
            }
        }
        for (const IndexDef& i : t.indexes) {
            const FileIndex* fi = file->index(i.name);
            if (!fi) {
                prompt.critical(kStructure + QStringLiteral("В таблице: ") + t.name +
                                QStringLiteral(" отсутствует индекс: ") + i.name + kStop);
                return false;
            }
            bool same = fi->fields.size() == i.fields.size();
            for (qsizetype k = 0; same && k < i.fields.size(); ++k)
                same = sameText(fi->fields[k], i.fields[k]);
            if (!same) {
                prompt.critical(QStringLiteral("Параметры индекса ") + i.name + QStringLiteral(" таблицы ") + t.name +
                                QStringLiteral(" не соответствует формату. Продолжение работы невозможно."));
                return false;
            }
        }
    }
    return true;
}

bool upgradeFile(Database& db, Prompt& prompt, bool stamp)
{
    for (const TableDef& t : schema::addedTables()) {
        const auto file = fileschema::readTable(db, t.name);
        if (!file) {
            tolerant(db, [&] {
                createAddedTable(db, t);
                fillNewTable(db, t);
            });
            continue;
        }
        for (const FieldDef& f : t.fields)
            if (!file->field(f.name))
                tolerant(db, [&] { db.execScript(fileschema::addColumnSql(file->name, f)); });
    }
    for (const TableDef& entry : schema::addedColumns())
        addColumns(db, entry);
    for (const TableDef& entry : schema::ownColumns())
        addColumns(db, entry);
    addOwnIndexes(db);
    planMenuEnergyTotals(db);
    if (!repairPass(db, prompt))
        return false;
    if (stamp)
        db.exec(QStringLiteral("UPDATE INF SET appMajor = ?1, appMinor = ?2, appRevision = ?3"),
                {schema::versionMajor, schema::versionMinor, schema::versionRevision});
    return true;
}

long long fileVersion(Database& db)
{
    try {
        Statement st(db, QStringLiteral("SELECT appMajor, appMinor, appRevision FROM INF LIMIT 1"));
        if (!st.next())
            return 0;
        return schema::versionNumber(st.value(0).toLongLong(), st.value(1).toLongLong(), st.value(2).toLongLong());
    } catch (const DbError&) {
        return 0;
    }
}

} // namespace rat::upgrade
