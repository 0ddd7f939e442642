// Document numbers: the increment of the trailing number of a text and the next free number of
// a day menu or a stock document within the current year.

#include "menu/DayMenu.h"

#include "core/Clock.h"
#include "core/Database.h"

#include <QDate>

namespace rat::menu {

namespace {

// Gives up after this many taken numbers in a row and returns the last candidate.
constexpr int kMaxRounds = 1000;

struct NumberedTable {
    const char* table;
    const char* number;
    const char* date;
};

const NumberedTable kTables[] = {
    {"day_menu", "nom", "ddate"},
    {"spisanie", "№docum", "wdate"},
    {"expence_docum", "№docum", "ddate"},
    {"receipt", "№docum", "rdate"},
    {"orders", "№docum", "odate"},
};

const NumberedTable* findTable(const QString& table)
{
    for (const NumberedTable& t : kTables)
        if (table.compare(QString::fromUtf8(t.table), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

// The rule shared by every numbered document: after the number of the last document (by key)
// dated in today's year, the first number nobody in that year holds.
QString nextNumber(Database& db, const NumberedTable& t)
{
    const int year = Clock::today().year();
    const QString from = QStringLiteral("%1-01-01").arg(year, 4, 10, QLatin1Char('0'));
    const QString to = QStringLiteral("%1-12-31").arg(year, 4, 10, QLatin1Char('0'));
    const QString table = QStringLiteral("[") + QString::fromUtf8(t.table) + QLatin1Char(']');
    const QString number = QStringLiteral("[") + QString::fromUtf8(t.number) + QLatin1Char(']');
    const QString inYear = QStringLiteral("substr([") + QString::fromUtf8(t.date) +
                           QStringLiteral("], 1, 10) BETWEEN ?1 AND ?2");

    const QVariant last = db.scalar(QStringLiteral("SELECT ") + number + QStringLiteral(" FROM ") + table +
                                        QStringLiteral(" WHERE ") + inYear + QStringLiteral(" ORDER BY id DESC LIMIT 1"),
                                    {from, to});
    QString candidate = incrementDocumentNumber(last.isNull() ? QStringLiteral("0") : last.toString().trimmed());
    Statement taken(db, QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") + inYear +
                            QStringLiteral(" AND TRIM(") + number + QStringLiteral(") = ?3"));
    for (int round = 0; round < kMaxRounds; ++round) {
        taken.reset();
        taken.bindAll({from, to, candidate});
        if (!taken.next() || taken.toInt64(0) == 0)
            break;
        candidate = incrementDocumentNumber(candidate);
    }
    return candidate;
}

} // namespace

QString incrementDocumentNumber(const QString& number)
{
    qsizetype start = number.size();
    while (start > 0 && number.at(start - 1).isDigit() && number.at(start - 1).unicode() < 128)
        --start;
    if (start == number.size())
        return number + QLatin1Char('1');
    QString digits = number.mid(start);
    qsizetype i = digits.size() - 1;
    for (; i >= 0; --i) {
        if (digits[i] == QLatin1Char('9')) {
            digits[i] = QLatin1Char('0');
            continue;
        }
        digits[i] = QChar(digits[i].unicode() + 1);
        break;
    }
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    return number.left(start) + digits;
}

QString nextDayMenuNumber(Database& db)
{
    return nextNumber(db, kTables[0]);
}

QString nextDocumentNumber(Database& db, const QString& table)
{
    const NumberedTable* t = findTable(table);
    if (!t)
        return {};
    return nextNumber(db, *t);
}

} // namespace rat::menu
