// Reading and writing the program's behaviour switches: the file's organisation row and the
// user's settings.

#include "core/Parameters.h"
#include "core/AppState.h"
#include "core/Database.h"
#include "core/Settings.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVariant>
#include <vector>

namespace rat {
namespace {

const QString kUser = QStringLiteral("User");
const QString kSettings = QStringLiteral("Settings");

QString flagText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// "True" as this program writes it; -1 or 1 as older copies of the settings may hold.
bool readFlag(const QString& section, const QString& key, bool def)
{
    const QString t = Settings::text(section, key).trimmed();
    if (t.isEmpty())
        return def;
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return leadingNumber(t) != 0.0;
}

int readNumber(const QString& section, const QString& key, int def)
{
    const QString t = Settings::text(section, key).trimmed();
    return t.isEmpty() ? def : int(leadingNumber(t));
}

bool rowFlag(const Statement& row, const char* column, bool def)
{
    const int c = row.columnIndex(QLatin1String(column));
    return c < 0 || row.isNull(c) ? def : row.toBool(c);
}

qint64 rowInt(const Statement& row, const char* column, qint64 def)
{
    const int c = row.columnIndex(QLatin1String(column));
    return c < 0 || row.isNull(c) ? def : row.toInt64(c);
}

double rowDouble(const Statement& row, const char* column, double def)
{
    const int c = row.columnIndex(QLatin1String(column));
    return c < 0 || row.isNull(c) ? def : row.toDouble(c);
}

} // namespace

ProgramParameters readOrganisationSwitches(Database& db)
{
    ProgramParameters p;
    Statement row(db, QStringLiteral("SELECT * FROM INF"));
    if (row.next()) {
        p.norms = rowFlag(row, "norms", p.norms);
        p.eatings = rowFlag(row, "eatings", p.eatings);
        p.fiveWeek = rowFlag(row, "5week", p.fiveWeek);
        p.tkList = rowFlag(row, "TKlist", p.tkList);
        p.galka = rowFlag(row, "Galka", p.galka);
        p.dopRekvizit = rowFlag(row, "DopRekvizit", p.dopRekvizit);
        p.nds = rowFlag(row, "NDS", p.nds);
        p.ndsRate = rowDouble(row, "NDS_PR", p.ndsRate);
        p.schab = int(rowInt(row, "schab", p.schab));
        p.vestSkl = rowFlag(row, "VestSkl", p.vestSkl);
        p.avtSpis = rowFlag(row, "AvtSpis", p.avtSpis);
        p.sezonnost = rowFlag(row, "Sezonnost", p.sezonnost);
        p.taimOut = int(rowInt(row, "TaimOut", p.taimOut));
        p.nacen = rowFlag(row, "NACEN", p.nacen);
        p.nacenRate = rowDouble(row, "NACEN_PR", p.nacenRate);
    }
    return p;
}

ProgramParameters readParameters(Database& db)
{
    ProgramParameters p = readOrganisationSwitches(db);

    p.roundingDigits = int(leadingNumber(Settings::text(kSettings, QStringLiteral("Округление"), QStringLiteral("2"))));
    p.shablonPM = readFlag(kSettings, QStringLiteral("ШаблонПМ"), false);
    p.zapretPlM = readFlag(kUser, QStringLiteral("zapretPlM"), false);
    p.ispAvtRas = autoRecalculationOn();
    p.sumBludOb = readFlag(kUser, QStringLiteral("sumBludOb"), false);
    p.tochOkrugl = readNumber(kUser, QStringLiteral("tochOkrugl"), p.roundingDigits);
    p.chOdin = readFlag(kUser, QStringLiteral("ChOdin"), false);
    return p;
}

void saveParameters(Database& db, const ProgramParameters& p)
{
    Settings::setText(kUser, QStringLiteral("zapretPlM"), flagText(p.zapretPlM));
    // The card windows read this one as a number: empty or 1 is on, 0 is off.
    Settings::setText(kUser, QStringLiteral("ispAvtRas"), p.ispAvtRas ? QStringLiteral("1") : QStringLiteral("0"));
    Settings::setText(kUser, QStringLiteral("sumBludOb"), flagText(p.sumBludOb));
    Settings::setText(kUser, QStringLiteral("tochOkrugl"), QString::number(p.tochOkrugl));
    Settings::setText(kUser, QStringLiteral("ChOdin"), flagText(p.chOdin));
    Settings::setText(kSettings, QStringLiteral("ШаблонПМ"), flagText(p.shablonPM));
    Settings::setText(kSettings, QStringLiteral("Округление"), QString::number(p.roundingDigits));
    app().roundingDigits = p.roundingDigits;

    const std::vector<QVariant> values = {
        p.norms, p.eatings, p.fiveWeek, p.tkList, p.galka, p.dopRekvizit, p.nds, p.ndsRate, p.schab,
        p.vestSkl, p.vestSkl && p.avtSpis, p.sezonnost, p.taimOut, p.nacen, p.nacenRate,
    };
    const int changed = db.exec(
        QStringLiteral("UPDATE INF SET norms = ?1, eatings = ?2, [5week] = ?3, TKlist = ?4, Galka = ?5, "
                       "DopRekvizit = ?6, NDS = ?7, NDS_PR = ?8, schab = ?9, VestSkl = ?10, AvtSpis = ?11, "
                       "Sezonnost = ?12, TaimOut = ?13, NACEN = ?14, NACEN_PR = ?15"),
        values);
    if (changed == 0) {
        // A file that lost its organisation row gets one back rather than losing the choices.
        db.exec(QStringLiteral("INSERT INTO INF (norms, eatings, [5week], TKlist, Galka, DopRekvizit, NDS, NDS_PR, "
                               "schab, VestSkl, AvtSpis, Sezonnost, TaimOut, NACEN, NACEN_PR) "
                               "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)"),
                values);
    }
}

double parseDecimal(const QString& text, bool* ok)
{
    static const QRegularExpression re(QStringLiteral("^[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    QString t = text.trimmed();
    const bool good = re.match(t).hasMatch();
    if (ok)
        *ok = good;
    if (!good)
        return 0.0;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.endsWith(QLatin1Char('.')))
        t += QLatin1Char('0');
    if (t.startsWith(QLatin1Char('.')))
        t.prepend(QLatin1Char('0'));
    return QLocale::c().toDouble(t);
}

bool planMenuLocked()
{
    return readFlag(kUser, QStringLiteral("zapretPlM"), false);
}

bool autoRecalculationOn()
{
    return readFlag(kUser, QStringLiteral("ispAvtRas"), true);
}

int moneyDecimals()
{
    return readNumber(kUser, QStringLiteral("tochOkrugl"), app().roundingDigits);
}

} // namespace rat
