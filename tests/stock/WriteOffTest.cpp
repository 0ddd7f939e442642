// The write-off of expired lots: a lot expiring today goes only together with older ones, the
// automatic document approved with its sum, the fill of an open document and its message.

#include "stock/StockFixture.h"

#include "stock/WriteOff.h"

namespace rat::test {
namespace {

class WriteOff : public StockFixture {
protected:
    void SetUp() override
    {
        StockFixture::SetUp();
        milk = stockProduct(QStringLiteral("Молоко"));
        kefir = stockProduct(QStringLiteral("Кефир"));
        r = receipt(QStringLiteral("2026-03-01"));
        todays = lot(r, milk, 2, QStringLiteral("2026-03-10"), 80);
    }
    QStringList lines(qint64 doc)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT id_storage, quantity, why FROM spisanie_point WHERE id_spisanie = ?1 "
                                          "ORDER BY id"));
        st.bind(1, doc);
        while (st.next())
            out << QStringLiteral("%1=%2 %3").arg(st.toInt64(0)).arg(st.toDouble(1)).arg(st.toString(2));
        return out;
    }
    const QDate today{2026, 3, 10};
    const QString question = QStringLiteral(
        "question: На складе имеются продукты, у которых вышел срок годности. Необходимо утвердить документ списания! "
        "\"Да\" - выполнить, \"Нет\" - не выполнять списание. => ");
    const QString why = QStringLiteral("Истек срок реализации");
    qint64 milk = 0, kefir = 0, r = 0, todays = 0;
};

TEST_F(WriteOff, LotExpiringTodayGoesOnlyWithOlderOnes)
{
    EXPECT_FALSE(stock::autoWriteOffExpired(db(), prompt, today));
    EXPECT_TRUE(prompt.messages().isEmpty());

    const qint64 old = lot(r, kefir, 1.25, QStringLiteral("2026-03-09"), 60);
    const qint64 used = lot(r, kefir, 1, QStringLiteral("2026-03-08"));
    writeOff(QStringLiteral("2026-03-05"), used, 1);        // nothing left of it
    lot(r, milk, 3, QStringLiteral("2026-03-11"));          // still good

    const QStringList before = dump(QStringLiteral("spisanie"));
    prompt.answers = {Answer::No};
    EXPECT_FALSE(stock::autoWriteOffExpired(db(), prompt, today));
    EXPECT_EQ(dump(QStringLiteral("spisanie")), before);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    const auto doc = stock::autoWriteOffExpired(db(), prompt, today);
    ASSERT_TRUE(doc);
    EXPECT_EQ(prompt.messages(), QStringList({question + QStringLiteral("Да")}));
    EXPECT_EQ(lines(*doc), QStringList({QStringLiteral("%1=1.25 ").arg(old) + why, QStringLiteral("%1=2 ").arg(todays) + why}));
    EXPECT_EQ(count(QStringLiteral("SELECT status FROM spisanie WHERE id = ?1"), {*doc}), -1);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT substr(wdate, 1, 10) FROM spisanie WHERE id = ?1"), {*doc}).toString(),
              QStringLiteral("2026-03-10"));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM spisanie WHERE id = ?1"), {*doc}).toDouble(), 1.25 * 60 + 2 * 80);

    // Written off, nothing is left to ask about.
    prompt.clear();
    EXPECT_FALSE(stock::autoWriteOffExpired(db(), prompt, today.addDays(1)));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(WriteOff, FillOfAnOpenDocument)
{
    const qint64 doc = insert(QStringLiteral("INSERT INTO spisanie ([№docum], wdate, status, [sum]) VALUES ('С-2', '2026-03-09', 0, 0)"));
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(stock::fillWriteOffWithExpired(db(), prompt, doc), 0);
    EXPECT_EQ(prompt.messages(), QStringList({QStringLiteral("question: Выполнить автоматическое списание? => Да"),
                                              QStringLiteral("info: Не найдено продуктов на списание.")}));
    db().exec(QStringLiteral("UPDATE spisanie SET wdate = '2026-03-10' WHERE id = ?1"), {doc});
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_EQ(stock::fillWriteOffWithExpired(db(), prompt, doc), 0);
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(stock::fillWriteOffWithExpired(db(), prompt, doc), 1);
    EXPECT_EQ(lines(doc), QStringList({QStringLiteral("%1=2 ").arg(todays) + why}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT sum FROM spisanie WHERE id = ?1"), {doc}).toDouble(), 160);
}

} // namespace
} // namespace rat::test
