// The cells a list builds itself rather than asking the query for their text: coded texts and
// quantities with their units from odd stored values, numbers by the quick formatting, folded
// names, texts read in place, and vitamin values set into the rows by their owners' keys.

#include "core/Database.h"
#include "core/TextFold.h"
#include "refbooks/BookList.h"
#include "support/FileTest.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace rat;
using namespace rat::books;

namespace {

class BookListCells : public test::FileTest {
protected:
    void SetUp() override { ASSERT_TRUE(session.createDatabase(env.path(QStringLiteral("cells.db")))); }

    // The cells of one product row from `columns` (captions), in that order.
    static QStringList cellsOf(const BookList& list, qint64 id, const QStringList& columns)
    {
        QStringList out;
        const int row = list.rowOf(id);
        for (const QString& caption : columns)
            out << (row < 0 ? QStringLiteral("<no row>") : list.rows[size_t(row)].value(list.captions.indexOf(caption)));
        return out;
    }
};

TEST_F(BookListCells, CodedTextsAndStoragePeriodsOfOddStoredValues)
{
    struct Case {
        QVariant storage, period, rule, enriched;
        QStringList shown;  // storage period, rounding, enriched
    };
    // Each as "CASE <code> WHEN ..." and "<quantity> || ' ' || <unit>" show them: a real
    // quantity as SQLite writes it, an unknown or missing unit as nothing after the space, a
    // rounding code stored as a real or a numeric text as its whole number, any text as "Да".
    const std::vector<Case> cases = {
        {6, 4, 2, -1, {QStringLiteral("6 мес."), QStringLiteral("десятых (1,5)"), QStringLiteral("Да")}},
        {2.5, 1, 7, 0, {QStringLiteral("2.5 час."), QString(), QStringLiteral("Нет")}},
        {QVariant(), 2, QVariant(), QVariant(), {QString(), QString(), QStringLiteral("Нет")}},
        {3, 9, 4.0, QStringLiteral("abc"), {QStringLiteral("3 "), QStringLiteral("тысячных (1,555)"), QStringLiteral("Да")}},
        {3, QVariant(), QStringLiteral("x"), QStringLiteral("0"), {QStringLiteral("3 "), QString(), QStringLiteral("Нет")}},
        {QStringLiteral("1 год"), 5, QStringLiteral("2"), 2.5,
         {QStringLiteral("1 год г."), QStringLiteral("десятых (1,5)"), QStringLiteral("Да")}},
        {0, 3, 3, QStringLiteral(" 1"), {QStringLiteral("0 нед."), QStringLiteral("сотых (1,55)"), QStringLiteral("Да")}},
        {4, QStringLiteral("abc"), 1, 1, {QStringLiteral("4 "), QStringLiteral("целых (1)"), QStringLiteral("Да")}},
    };
    std::vector<qint64> ids;
    for (size_t i = 0; i < cases.size(); ++i)
        ids.push_back(insert(QStringLiteral("INSERT INTO products (pname, time_storage, time_period, rule_okr, trueVit) "
                                            "VALUES (?1, ?2, ?3, ?4, ?5)"),
                             {QStringLiteral("П%1").arg(i), cases[i].storage, cases[i].period, cases[i].rule,
                              cases[i].enriched}));
    const BookList list = loadList(db(), entryProducts);
    const int rounding = int(list.captions.indexOf(QStringLiteral("Округлять до")));
    ASSERT_GT(rounding, 0);
    const QStringList columns = {list.captions.value(rounding - 1), QStringLiteral("Округлять до"),
                                 QStringLiteral("Обогащен витаминами и микроэлементами")};
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(cellsOf(list, ids[i], columns), cases[i].shown) << i;

    // A role stored as a text is no code of the list: a plain user.
    insert(QStringLiteral("INSERT INTO USERS (NAIM, ROLE) VALUES ('текст', 'abc')"));
    insert(QStringLiteral("INSERT INTO USERS (NAIM, ROLE) VALUES ('пусто', NULL)"));
    const BookList users = loadList(db(), entryUsers);
    ASSERT_EQ(users.rowCount(), 2);
    EXPECT_EQ(users.rows[0].value(1), QStringLiteral("Пользователь"));
    EXPECT_EQ(users.rows[1].value(1), QStringLiteral("Пользователь"));
}

TEST_F(BookListCells, VitaminValuesFindTheirRowsByKeyNearOrFar)
{
    const qint64 calcium = count(QStringLiteral("SELECT id FROM vitamin WHERE shname = 'Ca'"));
    // Keys close together are looked up in a table over their range, keys far apart in a hash;
    // a row with key 0 takes only the values of owner 0, never those of no owner.
    for (const qint64 far : {qint64(50), qint64(5000000000)}) {
        db().execScript(QStringLiteral("DELETE FROM vitamin_quantity; DELETE FROM products;"));
        for (const qint64 id : {qint64(0), qint64(7), far})
            db().exec(QStringLiteral("INSERT INTO products (id, pname) VALUES (?1, ?2)"), {id, QStringLiteral("П%1").arg(id)});
        const auto content = [&](const QVariant& owner, const QVariant& vitamin, const QVariant& quantity) {
            db().exec(QStringLiteral("INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) VALUES (?1, ?2, ?3)"),
                      {owner, vitamin, quantity});
        };
        content(0, calcium, 1.5);
        content(QVariant(), calcium, 99);
        content(7, QVariant(), 98);
        content(7, calcium, 0);
        content(far, calcium, 12.25);
        content(far, calcium, 3);
        content(far + 1, calcium, 97);
        const BookList list = loadList(db(), entryProducts);
        const QStringList ca = {QStringLiteral("Ca, мг")};
        EXPECT_EQ(cellsOf(list, 0, ca), QStringList(QStringLiteral("1,500"))) << far;
        EXPECT_EQ(cellsOf(list, 7, ca), QStringList(QStringLiteral("0,000"))) << far;
        EXPECT_EQ(cellsOf(list, far, ca), QStringList(QStringLiteral("12,250"))) << far;
    }
}

// A number as Qt writes it with a decimal comma, a value that rounds to zero as 0.
QString referenceNumber(double v, int places)
{
    static const double halfUnit[] = {0.5, 0.05, 0.005, 5e-4, 5e-5, 5e-6, 5e-7, 5e-8, 5e-9, 5e-10};
    const double shown = places < 10 && std::abs(v) < halfUnit[places] ? 0.0 : v;
    QString s = QString::number(shown, 'f', places);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

TEST(ListNumbers, QuickFormattingWritesWhatQtWrites)
{
    struct Case {
        double value;
        int places;
        const char* shown;
    };
    const Case cases[] = {
        {0.005, 2, "0,01"},        {-0.005, 2, "-0,01"},     {0.0049999, 2, "0,00"},  {-0.0, 2, "0,00"},
        {999.9995, 3, "1000,000"}, {999.9994999, 3, "999,999"}, {0.05, 3, "0,050"},    {7, 0, "7"},
        {-12.345678, 4, "-12,3457"}, {1e12, 2, "1000000000000,00"}, {123456789.125, 2, "123456789,13"},
        {1.23e-11, 11, "0,00000000001"}, {-1e-12, 11, "-0,00000000000"}, {2.675, 2, "2,67"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayNumber(c.value, c.places), QString::fromLatin1(c.shown)) << c.value << " " << c.places;
        EXPECT_EQ(displayNumber(QVariant(c.value), c.places), QString::fromLatin1(c.shown)) << c.value;
    }
    EXPECT_EQ(displayNumber(std::nan(""), 2), referenceNumber(std::nan(""), 2));
    EXPECT_EQ(displayNumber(QVariant(QStringLiteral("нет")), 2), QStringLiteral("нет"));

    // Values of every size, halves and their neighbours.
    QRandomGenerator rng(515);
    for (int i = 0; i < 100000; ++i) {
        const int places = int(rng.bounded(12));
        double v = 0;
        switch (i % 4) {
        case 0: v = (rng.generateDouble() - 0.5) * std::pow(10.0, int(rng.bounded(28)) - 12); break;
        case 1: v = double(int(rng.bounded(2000000)) - 1000000) / std::pow(10.0, int(rng.bounded(6))); break;
        case 2: v = (double(int(rng.bounded(200000)) - 100000) + 0.5) / std::pow(10.0, places); break;
        default:
            v = std::nextafter((double(int(rng.bounded(20000)) - 10000) + 0.5) / std::pow(10.0, places),
                               rng.bounded(2) ? 1e300 : -1e300);
        }
        ASSERT_EQ(displayNumber(v, places), referenceNumber(v, places)) << v << " " << places;
    }
}

TEST(ListNames, QuickFoldingFoldsAsTheGeneralOne)
{
    const auto general = [](const QString& s) {
        QString r = s.toLower();
        r.replace(QChar(0x0451), QChar(0x0435));
        return r;
    };
    QString appended, expected;
    for (const char* name : {"", "Ёжевика", "ЯБЛОКИ свежие", "Apple №5 «сорт» — 1,5 кг", "ёЁеЕ", "Ѐлка", "ΏΣ",
                             "ÀÉÎ crème", "İstanbul", "µ ª º ° ±", "Ǆ", "𝐀bc"}) {
        const QString s = QString::fromUtf8(name);
        EXPECT_EQ(foldText(s), general(s)) << name;
        appendFolded(s, appended);
        expected += general(s);
        EXPECT_EQ(appended, expected) << name;  // İ folds to two units: the text goes on after them
    }
    EXPECT_TRUE(foldText(QString()).isNull());
    EXPECT_EQ(compareRussian(QStringLiteral("Ёрш"), QStringLiteral("ель")), 1);
}

TEST(StatementTexts, ReadInPlaceOrConvertedAlike)
{
    // A file of UTF-8 texts (as every file of the program) and one of UTF-16: the same texts.
    QTemporaryDir dir;
    for (const char* encoding : {"UTF-8", "UTF-16le"}) {
        Database db(dir.filePath(QString::fromLatin1(encoding)), true);
        db.execScript(QStringLiteral("PRAGMA encoding = '%1'; CREATE TABLE t (x)").arg(QString::fromLatin1(encoding)));
        EXPECT_EQ(db.textInUtf8(), QByteArrayView(encoding) == "UTF-8") << encoding;
        for (const QVariant& v : {QVariant(QStringLiteral("Ёжевика №1")), QVariant(), QVariant(QStringLiteral("")),
                                  QVariant(42), QVariant(2.5)})
            db.exec(QStringLiteral("INSERT INTO t (x) VALUES (?1)"), {v});
        Statement st(db, QStringLiteral("SELECT x, typeof(x) FROM t ORDER BY rowid"));
        QStringList texts, kinds;
        while (st.next()) {
            const QString s = st.toString(0);
            texts << (s.isNull() ? QStringLiteral("<null>") : s.isEmpty() ? QStringLiteral("<empty>") : s);
            kinds << st.toString(1);
        }
        EXPECT_EQ(texts, QStringList({QStringLiteral("Ёжевика №1"), QStringLiteral("<null>"), QStringLiteral("<empty>"),
                                      QStringLiteral("42"), QStringLiteral("2.5")}))
            << encoding;
        EXPECT_EQ(kinds, QStringList({QStringLiteral("text"), QStringLiteral("null"), QStringLiteral("text"),
                                      QStringLiteral("integer"), QStringLiteral("real")}))
            << encoding;
    }
}

} // namespace
