// Seasonal losses: the gross weight a recipe needs on a date, the overlap check of the book
// and the copy of one product's periods to another.

#include "refbooks/ProductRules.h"
#include "refbooks/SeasonalLosses.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "refbooks/RecordEditor.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "core/SeasonDefaults.h"
#include "refbooks/BookRules.h"

#include <QStringList>

namespace rat::books {

namespace {

// A day and a month as the list shows a period's ends: "1.03".
QString dayMonth(int day, int month)
{
    return QString::number(day) + QLatin1Char('.') + QStringLiteral("%1").arg(month + 1, 2, 10, QLatin1Char('0'));
}

QString percentText(double p)
{
    return plainNumber(p).replace(QLatin1Char('.'), QLatin1Char(','));
}

bool holds(const SeasonPeriod& p, const QDate& date)
{
    if (p.mesN > p.mesO || p.mesN < 0 || p.mesO > 11)
        return false;
    const QDate first(date.year(), p.mesN + 1, 1);
    const QDate endMonth(date.year(), p.mesO + 1, 1);
    const QDate last(date.year(), p.mesO + 1, endMonth.daysInMonth());
    return first <= date && date <= last;
}

bool within(int v, int from, int to)
{
    return from <= v && v <= to;
}

SeasonPeriod periodOf(const SaveContext& ctx)
{
    SeasonPeriod p;
    p.dayN = int(ctx.value(QStringLiteral("DAY_N")).toLongLong());
    p.mesN = int(ctx.value(QStringLiteral("MES_N")).toLongLong());
    p.dayO = int(ctx.value(QStringLiteral("DAY_O")).toLongLong());
    p.mesO = int(ctx.value(QStringLiteral("MES_O")).toLongLong());
    p.proz = ctx.value(QStringLiteral("PROZ")).toDouble();
    return p;
}

std::vector<SeasonPeriod> readPeriods(Database& db, qint64 productId, bool byPercentage)
{
    std::vector<SeasonPeriod> out;
    Statement st(db, byPercentage ? QStringLiteral("SELECT DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON "
                                                   "WHERE id_PRODUCT = ?1 ORDER BY COALESCE(PROZ, 0), idSEZ")
                                  : QStringLiteral("SELECT DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON "
                                                   "WHERE id_PRODUCT = ?1 ORDER BY idSEZ"));
    st.bind(1, productId);
    while (st.next())
        out.push_back({int(st.toInt64(0)), int(st.toInt64(1)), int(st.toInt64(2)), int(st.toInt64(3)),
                       st.toDouble(4)});
    return out;
}

} // namespace

std::vector<SeasonPeriod> seasonPeriods(Database& db, qint64 productId)
{
    return readPeriods(db, productId, true);
}

std::map<qint64, std::vector<SeasonPeriod>> allSeasonPeriods(Database& db)
{
    std::map<qint64, std::vector<SeasonPeriod>> out;
    Statement st(db, QStringLiteral("SELECT id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ FROM SEZON "
                                    "ORDER BY COALESCE(PROZ, 0), idSEZ"));
    while (st.next())
        out[st.toInt64(0)].push_back({int(st.toInt64(1)), int(st.toInt64(2)), int(st.toInt64(3)),
                                      int(st.toInt64(4)), st.toDouble(5)});
    return out;
}

double seasonalGross(const std::vector<SeasonPeriod>& ascending, double grams, const QDate& date)
{
    if (ascending.empty() || !date.isValid())
        return grams;
    const double smallest = ascending.front().proz;
    double loss = 0.0;
    for (const SeasonPeriod& p : ascending) {
        if (holds(p, date)) {
            loss = p.proz;
            break;
        }
    }
    // A loss of the whole weight leaves nothing to scale by.
    if (loss >= 100.0)
        return grams;
    return roundHalfEven((100.0 - smallest) * grams / (100.0 - loss), 2);
}

double seasonalGross(Database& db, qint64 productId, double grams, const QDate& date)
{
    return seasonalGross(seasonPeriods(db, productId), grams, date);
}

double grossOnDate(Database& db, qint64 productId, double grams, const QDate& date)
{
    if (!readParameters(db).sezonnost)
        return grams;
    return seasonalGross(db, productId, grams, date);
}

bool periodsOverlap(const SeasonPeriod& added, const SeasonPeriod& other)
{
    const bool days = within(added.dayN, other.dayN, other.dayO) || within(added.dayO, other.dayN, other.dayO);
    const bool months = within(added.mesN, other.mesN, other.mesO) || within(added.mesO, other.mesN, other.mesO);
    return days && months;
}

void registerSeasonRules()
{
    BookRules r;
    r.check = [](SaveContext& ctx) {
        const SeasonPeriod added = periodOf(ctx);
        Statement st(ctx.db, QStringLiteral("SELECT DAY_N, MES_N, DAY_O, MES_O FROM SEZON WHERE id_PRODUCT = ?1 "
                                            "AND idSEZ <> ?2"));
        st.bindAll({ctx.value(QStringLiteral("id_PRODUCT")), ctx.ownIdOrNone()});
        while (st.next()) {
            const SeasonPeriod other{int(st.toInt64(0)), int(st.toInt64(1)), int(st.toInt64(2)),
                                     int(st.toInt64(3)), 0.0};
            if (periodsOverlap(added, other)) {
                ctx.prompt.warning(QStringLiteral("Для продукта ") + quoted(ctx.shownText(QStringLiteral("id_PRODUCT"))) +
                                   QStringLiteral(" в выбранный период уже введено значение процента потерь. "
                                                  "Выберите другой период."));
                return false;
            }
        }
        return true;
    };
    addBookRules(entrySeasonalLosses, r);
}

bool copySeasonPeriods(Database& db, Prompt& prompt, qint64 productId)
{
    const QString source = db.scalar(QStringLiteral("SELECT pname FROM products WHERE id = ?1"), {productId}).toString();
    const std::vector<SeasonPeriod> periods = readPeriods(db, productId, false);
    if (periods.empty()) {
        prompt.warning(QStringLiteral("У выбранного продукта ") + quoted(source) +
                       QStringLiteral(" нет данных о сезонности. Копирование невозможно."));
        return false;
    }
    const std::optional<ListItem> picked = chooseCopyTarget(db, prompt, productId);
    if (!picked)
        return false;
    const qint64 target = picked->value.toLongLong();
    const QString targetName = picked->text;

    // The target's periods as they will be, so a source period is also measured against the
    // periods copied before it.
    std::vector<SeasonPeriod> present = readPeriods(db, target, false);
    std::vector<SeasonPeriod> added;
    for (const SeasonPeriod& p : periods) {
        bool taken = false;
        for (const SeasonPeriod& t : present)
            taken = taken || (t.dayN >= p.dayN && t.dayO <= p.dayO && t.mesN >= p.mesN && t.mesO <= p.mesO);
        if (taken) {
            prompt.info(QStringLiteral("Процент сезонных отходов ") + percentText(p.proz) +
                        QStringLiteral("% на период с ") + dayMonth(p.dayN, p.mesN) + QStringLiteral(" по ") +
                        dayMonth(p.dayO, p.mesO) + QStringLiteral(" не будет скопирован, так как в продукте ") +
                        quoted(targetName) + QStringLiteral(" уже добавлен процент."));
            continue;
        }
        present.push_back(p);
        added.push_back(p);
    }
    try {
        Transaction tx(db);
        Statement ins(db, QStringLiteral("INSERT INTO SEZON (id_PRODUCT, DAY_N, MES_N, DAY_O, MES_O, PROZ) "
                                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
        for (const SeasonPeriod& p : added) {
            ins.reset();
            ins.bindAll({target, p.dayN, p.mesN, p.dayO, p.mesO, p.proz});
            ins.exec();
        }
        tx.commit();
    } catch (const DbError& e) {
        reportSaveError(prompt, e);
        return false;
    }
    prompt.info(QStringLiteral("Копирование выполнено."));
    return true;
}

} // namespace rat::books
