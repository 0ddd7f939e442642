// What every kind of document shares unless it says otherwise: the header read and written
// field by field, the next number, the number check, and line commands this version does not
// have yet.

#include "ui/DocumentKind.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "menu/DayMenu.h"
#include "ui/DocumentKindsInternal.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"

namespace rat::ui {

namespace {

QString bracket(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

bool isStoredColumn(const HeaderField& f)
{
    return f.stored && f.kind != HeaderField::Kind::Info;
}

} // namespace

std::optional<HeaderValues> DocumentKind::read(Database& db, qint64 id)
{
    std::vector<HeaderField> all = fields(db);
    QStringList columns;
    std::vector<const HeaderField*> read;
    for (const HeaderField& f : all)
        if (isStoredColumn(f)) {
            columns << bracket(f.field);
            read.push_back(&f);
        }
    if (columns.isEmpty())
        columns << bracket(key());
    Statement st(db, QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                         bracket(table()) + QStringLiteral(" WHERE ") + bracket(key()) + QStringLiteral(" = ?1"));
    st.bind(1, id);
    if (!st.next())
        return std::nullopt;
    HeaderValues v;
    v.insert(QStringLiteral("id"), id);
    for (int i = 0; i < int(read.size()); ++i) {
        const HeaderField& f = *read[size_t(i)];
        if (st.isNull(i)) {
            v.insert(f.field, QVariant());
        } else if (f.kind == HeaderField::Kind::Date) {
            v.insert(f.field, parseIsoDate(st.toString(i).left(10)));
        } else if (f.kind == HeaderField::Kind::Check) {
            v.insert(f.field, st.toInt64(i) != 0);
        } else if (f.kind == HeaderField::Kind::List && !f.editable) {
            v.insert(f.field, st.toInt64(i));
        } else if (f.kind == HeaderField::Kind::Number) {
            v.insert(f.field, QString::number(st.toDouble(i), 'g', 12).replace(QLatin1Char('.'), QLatin1Char(',')));
        } else {
            v.insert(f.field, st.toString(i));
        }
    }
    return v;
}

HeaderValues DocumentKind::defaults(Database& db)
{
    HeaderValues v;
    for (const HeaderField& f : fields(db)) {
        if (f.number)
            v.insert(f.field, nextNumber(db));
        else if (f.kind == HeaderField::Kind::Date)
            v.insert(f.field, Clock::today());
    }
    return v;
}

HeaderValues DocumentKind::copied(Database& db, const HeaderValues& source)
{
    HeaderValues v = source;
    v.remove(QStringLiteral("id"));
    // A copy is a new document: it takes the next free number.
    for (const HeaderField& f : fields(db))
        if (f.number)
            v.insert(f.field, nextNumber(db));
    return v;
}

void DocumentKind::opened(const HeaderValues&) {}

QString DocumentKind::shownText(Database&, const QString&, const QVariant& value) const
{
    return value.toString();
}

QString DocumentKind::title(const HeaderValues&, std::optional<qint64> id) const
{
    return id ? caption() : caption() + QStringLiteral(": Новое");
}

QString DocumentKind::nextNumber(Database& db)
{
    return menu::nextDocumentNumber(db, table());
}

bool DocumentKind::checkNumber(Database& db, Prompt& prompt, const HeaderField& field, QString& number,
                               std::optional<qint64> id)
{
    const qint64 others =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + bracket(table()) + QStringLiteral(" WHERE ") +
                      bracket(field.field) + QStringLiteral(" = ?1 AND ") + bracket(key()) + QStringLiteral(" <> ?2"),
                  {number, id.value_or(-1)})
            .toLongLong();
    if (others == 0)
        return true;
    const QString next = nextNumber(db);
    if (prompt.ask(QStringLiteral("Значение \"") + number + QStringLiteral("\" поля \"") + field.caption +
                       QStringLiteral("\" уже имеется в другом документе. Следующий номер документа \"") + next +
                       QStringLiteral("\"? \"Да\" - заменить автоматически, \"Нет\" - изменить вручную."),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;
    number = next;
    return true;
}

std::optional<qint64> DocumentKind::save(Database& db, Prompt&, HeaderValues& values, std::optional<qint64> id)
{
    QStringList columns;
    std::vector<QVariant> params;
    for (const HeaderField& f : fields(db)) {
        if (!isStoredColumn(f))
            continue;
        columns << bracket(f.field);
        QVariant v = values.value(f.field);
        if (f.kind == HeaderField::Kind::Check)
            v = QVariant(v.toBool());
        params.push_back(v);
    }
    Transaction tx(db);
    qint64 saved = 0;
    if (id) {
        QStringList sets;
        for (int i = 0; i < columns.size(); ++i)
            sets << columns[i] + QStringLiteral(" = ?") + QString::number(i + 1);
        params.push_back(*id);
        db.exec(QStringLiteral("UPDATE ") + bracket(table()) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) +
                    QStringLiteral(" WHERE ") + bracket(key()) + QStringLiteral(" = ?") +
                    QString::number(columns.size() + 1),
                params);
        saved = *id;
    } else {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?") + QString::number(i + 1);
        db.exec(QStringLiteral("INSERT INTO ") + bracket(table()) + QStringLiteral(" (") +
                    columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                    QStringLiteral(")"),
                params);
        saved = db.lastInsertId();
    }
    tx.commit();
    return saved;
}

void DocumentKind::copyLines(Database&, qint64, qint64) {}

bool DocumentKind::addLine(DocumentWindow& w)
{
    w.prompt().info(MainWindow::notAvailableText());
    return false;
}

bool DocumentKind::editLine(DocumentWindow& w, int)
{
    w.prompt().info(MainWindow::notAvailableText());
    return false;
}

bool DocumentKind::copyLine(DocumentWindow& w, int)
{
    w.prompt().info(MainWindow::notAvailableText());
    return false;
}

bool DocumentKind::deleteLines(DocumentWindow& w, const std::vector<int>&)
{
    w.prompt().info(MainWindow::notAvailableText());
    return false;
}

bool DocumentKind::deleteAllLines(DocumentWindow& w)
{
    w.prompt().info(MainWindow::notAvailableText());
    return false;
}

std::optional<int> DocumentKind::moveLine(DocumentWindow&, int, int)
{
    return std::nullopt;
}

void DocumentKind::print(DocumentWindow& w)
{
    w.prompt().info(MainWindow::notAvailableText());
}

bool DocumentKind::headerChanged(DocumentWindow&, const QString&)
{
    return false;
}

bool DocumentKind::confirm(DocumentWindow&)
{
    return true;
}

void DocumentKind::discardNew(Database&, qint64) {}

void DocumentKind::activated(DocumentWindow&) {}

std::vector<int> documentCodes()
{
    return {docNorm, docDayMenu, docExpense, docReceipt, docWriteOff, docOrder};
}

std::unique_ptr<DocumentKind> makeDocumentKind(int code)
{
    switch (code) {
    case docNorm: return makeNormKind();
    case docDayMenu: return makeDayMenuKind();
    case docExpense:
    case docReceipt:
    case docWriteOff:
    case docOrder: return makeStockKind(code);
    default: return nullptr;
    }
}

HeaderField headerField(const QString& column, const QString& caption, HeaderField::Kind kind, bool required)
{
    HeaderField f;
    f.field = column;
    f.caption = caption;
    f.kind = kind;
    f.required = required;
    return f;
}

HeaderField numberField(const QString& column, int limit)
{
    HeaderField f = headerField(column, QStringLiteral("Номер"), HeaderField::Kind::Text, true);
    f.number = true;
    f.limit = limit;
    return f;
}

HeaderField dateField(const QString& column)
{
    return headerField(column, QStringLiteral("Дата"), HeaderField::Kind::Date, true);
}

HeaderField commentField()
{
    return headerField(QStringLiteral("comment"), QStringLiteral("Комментарий:"), HeaderField::Kind::Comment);
}

int deleteLinesAsked(Prompt& prompt, int count, const std::function<void()>& remove)
{
    if (count <= 0)
        return 0;
    if (prompt.ask(QStringLiteral("Удалить выделенн") +
                       (count == 1 ? QStringLiteral("ую строку?") : QStringLiteral("ые строки?")),
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return 0;
    prompt.status(QStringLiteral("Идет удаление строк..."));
    remove();
    prompt.info(QStringLiteral("Удалено строк: ") + QString::number(count));
    return count;
}

} // namespace rat::ui
