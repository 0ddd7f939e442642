// The behaviour switches: defaults of a new file, every switch saved and read back, and the
// per-user ones in the settings store.

#include "core/AppState.h"
#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Parameters.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QDirIterator>
#include <gtest/gtest.h>

using namespace rat;

namespace {

// A new file whose organisation row carries a name only: every switch is empty.
struct BareFile {
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};

    BareFile()
    {
        EXPECT_TRUE(session.createDatabase(env.path("p.db")));
        session.db().exec(QStringLiteral("INSERT INTO INF (Naim) VALUES (?1)"), {QStringLiteral("Ясли №1")});
    }
    Database& db() { return session.db(); }
};

ProgramParameters everythingChanged()
{
    ProgramParameters p;
    p.norms = true;
    p.eatings = true;
    p.fiveWeek = true;
    p.tkList = true;
    p.galka = true;
    p.dopRekvizit = true;
    p.nds = true;
    p.ndsRate = 18.0;
    p.schab = 2;
    p.vestSkl = true;
    p.avtSpis = true;
    p.sezonnost = true;
    p.taimOut = 300;
    p.nacen = true;
    p.nacenRate = 7.5;
    p.zapretPlM = true;
    p.ispAvtRas = false;
    p.sumBludOb = true;
    p.tochOkrugl = 1;
    p.chOdin = true;
    p.shablonPM = true;
    p.roundingDigits = 3;
    return p;
}

void expectSame(const ProgramParameters& a, const ProgramParameters& b)
{
    EXPECT_EQ(a.norms, b.norms);
    EXPECT_EQ(a.eatings, b.eatings);
    EXPECT_EQ(a.fiveWeek, b.fiveWeek);
    EXPECT_EQ(a.tkList, b.tkList);
    EXPECT_EQ(a.galka, b.galka);
    EXPECT_EQ(a.dopRekvizit, b.dopRekvizit);
    EXPECT_EQ(a.nds, b.nds);
    EXPECT_DOUBLE_EQ(a.ndsRate, b.ndsRate);
    EXPECT_EQ(a.schab, b.schab);
    EXPECT_EQ(a.vestSkl, b.vestSkl);
    EXPECT_EQ(a.avtSpis, b.avtSpis);
    EXPECT_EQ(a.sezonnost, b.sezonnost);
    EXPECT_EQ(a.taimOut, b.taimOut);
    EXPECT_EQ(a.nacen, b.nacen);
    EXPECT_DOUBLE_EQ(a.nacenRate, b.nacenRate);
    EXPECT_EQ(a.zapretPlM, b.zapretPlM);
    EXPECT_EQ(a.ispAvtRas, b.ispAvtRas);
    EXPECT_EQ(a.sumBludOb, b.sumBludOb);
    EXPECT_EQ(a.tochOkrugl, b.tochOkrugl);
    EXPECT_EQ(a.chOdin, b.chOdin);
    EXPECT_EQ(a.shablonPM, b.shablonPM);
    EXPECT_EQ(a.roundingDigits, b.roundingDigits);
}

} // namespace

TEST(Parameters, EmptyFieldsAndSettingsGiveInitialValues)
{
    BareFile f;
    const ProgramParameters p = readParameters(f.db());
    EXPECT_FALSE(p.norms);
    EXPECT_FALSE(p.eatings);
    EXPECT_FALSE(p.fiveWeek);
    EXPECT_FALSE(p.tkList);
    EXPECT_FALSE(p.galka);
    EXPECT_FALSE(p.dopRekvizit);
    EXPECT_FALSE(p.nds);
    EXPECT_EQ(p.ndsRate, 0.0);
    EXPECT_EQ(p.schab, 0);
    EXPECT_TRUE(p.vestSkl);
    EXPECT_FALSE(p.avtSpis);
    EXPECT_FALSE(p.sezonnost);
    EXPECT_EQ(p.taimOut, 150);
    EXPECT_FALSE(p.nacen);
    EXPECT_EQ(p.nacenRate, 0.0);
    EXPECT_FALSE(p.zapretPlM);
    EXPECT_TRUE(p.ispAvtRas);
    EXPECT_FALSE(p.sumBludOb);
    EXPECT_EQ(p.tochOkrugl, 2);
    EXPECT_FALSE(p.chOdin);
    EXPECT_FALSE(p.shablonPM);
    EXPECT_EQ(p.roundingDigits, 2);
}

TEST(Parameters, EverySwitchReaderTakesTheSameInitialValues)
{
    // The choice lists and the day menu read the switches as the parameters window does: an
    // empty field, or no organisation row at all, is the switch's initial value.
    BareFile f;
    for (bool withRow : {true, false}) {
        if (!withRow)
            f.db().exec(QStringLiteral("DELETE FROM INF"));
        const ProgramParameters p = readParameters(f.db());
        const ChoiceFlags c = readChoiceFlags(f.db());
        EXPECT_TRUE(p.vestSkl);
        EXPECT_EQ(c.vestSkl, p.vestSkl) << withRow;
        EXPECT_EQ(c.eatings, p.eatings) << withRow;
        EXPECT_EQ(readOrganisationSwitches(f.db()).vestSkl, p.vestSkl);
    }
    f.db().exec(QStringLiteral("INSERT INTO INF (VestSkl, eatings) VALUES (0, -1)"));
    EXPECT_FALSE(readChoiceFlags(f.db()).vestSkl);
    EXPECT_TRUE(readChoiceFlags(f.db()).eatings);
}

TEST(Parameters, NewWorkingFileHasNormsMealsAndFiveDayWeek)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(createAndFillDatabase(session, env.path("w.db")));
    const ProgramParameters p = readParameters(session.db());
    EXPECT_TRUE(p.norms);
    EXPECT_TRUE(p.eatings);
    EXPECT_TRUE(p.fiveWeek);
    EXPECT_TRUE(p.vestSkl);
    EXPECT_FALSE(p.nds);
    EXPECT_EQ(p.taimOut, 150);
}

TEST(Parameters, SavedValuesReadBackAndStayInTheOneRow)
{
    BareFile f;
    const ProgramParameters p = everythingChanged();
    saveParameters(f.db(), p);
    expectSame(readParameters(f.db()), p);

    Database& db = f.db();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM INF")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Naim FROM INF")).toString(), QStringLiteral("Ясли №1"));
    // Booleans as the file keeps them, the odd column name included.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT [5week] FROM INF")).toInt(), -1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT NACEN FROM INF")).toInt(), -1);
    EXPECT_DOUBLE_EQ(db.scalar(QStringLiteral("SELECT NACEN_PR FROM INF")).toDouble(), 7.5);

    // Everything off again.
    ProgramParameters off;
    off.vestSkl = false;
    off.taimOut = 0;
    saveParameters(f.db(), off);
    expectSame(readParameters(f.db()), off);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT norms FROM INF")).toInt(), 0);
}

TEST(Parameters, RateTypedWithCommaIsStoredAsNumber)
{
    BareFile f;
    bool ok = false;
    ProgramParameters p;
    p.nds = true;
    p.ndsRate = parseDecimal(QStringLiteral("12,5"), &ok);
    ASSERT_TRUE(ok);
    saveParameters(f.db(), p);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT typeof(NDS_PR) FROM INF")).toString(), QStringLiteral("real"));
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT NDS_PR FROM INF")).toDouble(), 12.5);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT NDS FROM INF")).toInt(), -1);
}

TEST(Parameters, DecimalsWithCommaOrPoint)
{
    const struct {
        const char* text;
        double value;
    } good[] = {{"12,5", 12.5}, {"12.5", 12.5}, {" 20 ", 20.0}, {"0", 0.0}, {"12,", 12.0}, {",25", 0.25},
                {"007,50", 7.5}, {"-3,5", -3.5}};
    for (const auto& g : good) {
        bool ok = false;
        EXPECT_DOUBLE_EQ(parseDecimal(QString::fromUtf8(g.text), &ok), g.value) << g.text;
        EXPECT_TRUE(ok) << g.text;
    }
    for (const char* bad : {"", ",", "12,5,1", "1.2.3", "1,2.3", "абв", "12a", "1e3", "inf", "- 1"}) {
        bool ok = true;
        EXPECT_EQ(parseDecimal(QString::fromUtf8(bad), &ok), 0.0) << bad;
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(Parameters, WarehouseAccountingOffClearsAutomaticWriteOff)
{
    BareFile f;
    ProgramParameters p;
    p.vestSkl = true;
    p.avtSpis = true;
    saveParameters(f.db(), p);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT AvtSpis FROM INF")).toInt(), -1);

    p.vestSkl = false;  // the write-off switch left on by mistake
    saveParameters(f.db(), p);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT VestSkl FROM INF")).toInt(), 0);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT AvtSpis FROM INF")).toInt(), 0);
    EXPECT_FALSE(readParameters(f.db()).avtSpis);
}

TEST(Parameters, SettingsGoToTheIsolatedStore)
{
    BareFile f;
    saveParameters(f.db(), everythingChanged());

    EXPECT_EQ(Settings::text("User", "zapretPlM"), QStringLiteral("True"));
    EXPECT_EQ(Settings::text("User", "ispAvtRas"), QStringLiteral("0"));
    EXPECT_EQ(Settings::text("User", "sumBludOb"), QStringLiteral("True"));
    EXPECT_EQ(Settings::text("User", "tochOkrugl"), QStringLiteral("1"));
    EXPECT_EQ(Settings::text("User", "ChOdin"), QStringLiteral("True"));
    EXPECT_EQ(Settings::text("Settings", "ШаблонПМ"), QStringLiteral("True"));
    EXPECT_EQ(Settings::text("Settings", "Округление"), QStringLiteral("3"));
    EXPECT_EQ(app().roundingDigits, 3);
    EXPECT_FALSE(autoRecalculationOn());
    EXPECT_TRUE(planMenuLocked());
    EXPECT_EQ(moneyDecimals(), 1);

    // The store is a file inside the test's own folder.
    QStringList stores;
    QDirIterator it(f.env.path("settings"), {QStringLiteral("*.ini")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        stores << it.next();
    ASSERT_EQ(stores.size(), 1);
    QFile ini(stores.first());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("zapretPlM=True"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ispAvtRas=0"))) << text.toStdString();

    ProgramParameters off;
    saveParameters(f.db(), off);
    EXPECT_EQ(Settings::text("User", "zapretPlM"), QStringLiteral("False"));
    EXPECT_EQ(Settings::text("User", "ispAvtRas"), QStringLiteral("1"));
    EXPECT_TRUE(autoRecalculationOn());
}

TEST(Parameters, SwitchesWrittenAsNumbersByOlderCopiesAreRead)
{
    BareFile f;
    Settings::setText("User", "zapretPlM", "-1");
    Settings::setText("User", "sumBludOb", "1");
    Settings::setText("User", "ChOdin", "0");
    Settings::setText("User", "ispAvtRas", "0");
    Settings::setText("Settings", "Округление", "4");
    const ProgramParameters p = readParameters(f.db());
    EXPECT_TRUE(p.zapretPlM);
    EXPECT_TRUE(p.sumBludOb);
    EXPECT_FALSE(p.chOdin);
    EXPECT_FALSE(p.ispAvtRas);
    EXPECT_EQ(p.roundingDigits, 4);
    EXPECT_EQ(p.tochOkrugl, 4);  // no precision of its own yet: the rounding digits
}

TEST(Parameters, FileWithoutOrganisationRowGetsOne)
{
    BareFile f;
    f.db().exec(QStringLiteral("DELETE FROM INF"));
    EXPECT_TRUE(readParameters(f.db()).vestSkl);
    ProgramParameters p;
    p.nds = true;
    p.ndsRate = 10;
    saveParameters(f.db(), p);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT COUNT(*) FROM INF")).toInt(), 1);
    EXPECT_DOUBLE_EQ(readParameters(f.db()).ndsRate, 10.0);
}

TEST(Parameters, SettingsAreSavedBeforeTheRow)
{
    BareFile f;
    f.db().exec(QStringLiteral("DROP TABLE INF"));
    EXPECT_THROW(saveParameters(f.db(), everythingChanged()), DbError);
    EXPECT_EQ(Settings::text("User", "zapretPlM"), QStringLiteral("True"));
    EXPECT_EQ(app().roundingDigits, 3);
}
