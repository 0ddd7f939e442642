// The record editor's logic: opening a row, the values as typed, and the save with its
// checks in their fixed order.

#include "refbooks/RecordEditor.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <map>

namespace rat::books {

namespace {

const QDate kTimeBaseDate(1899, 12, 30);

QString q(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

bool isVitaminField(const EditorField& f)
{
    return f.field.startsWith(QLatin1Char('$'));
}

bool isNumeric(const EditorField& f)
{
    return f.control == Control::Text && f.decimals >= 0;
}

bool isTextual(const EditorField& f)
{
    switch (f.control) {
    case Control::Text:
    case Control::Memo:
    case Control::Date:
    case Control::DateTime:
    case Control::Time: return true;
    default: return false;
    }
}


// A stored value as the editor shows it.
QVariant displayValue(const EditorField& f, const QVariant& stored)
{
    switch (f.control) {
    case Control::Heading: return {};
    case Control::CheckBox: return QVariant(!stored.isNull() && stored.toDouble() != 0.0);
    case Control::List:
        if (stored.isNull() || stored.toString().isEmpty())
            return {};
        return QVariant(stored.toLongLong());
    case Control::Date: {
        const QDate d = parseIsoDate(stored.toString());
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    case Control::DateTime: {
        const QString s = stored.toString();
        const QDate d = parseIsoDate(s);
        if (!d.isValid())
            return QString();
        const QString t = s.mid(11, 5);
        return d.toString(QStringLiteral("dd.MM.yyyy")) + (t.isEmpty() ? QString() : QLatin1Char(' ') + t);
    }
    case Control::Time: {
        const QString s = stored.toString();
        return s.size() >= 16 ? s.mid(11, 5) : QString();
    }
    default:
        if (isNumeric(f))
            return numberText(stored, f.decimals);
        return stored.isNull() ? QString() : stored.toString();
    }
}

std::optional<QDate> parseDate(const QString& s)
{
    for (const char* fmt : {"dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd"}) {
        const QDate d = QDate::fromString(s, QString::fromLatin1(fmt));
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

std::optional<QTime> parseTime(const QString& s)
{
    for (const char* fmt : {"HH:mm", "H:mm"}) {
        const QTime t = QTime::fromString(s, QString::fromLatin1(fmt));
        if (t.isValid())
            return t;
    }
    return std::nullopt;
}

// The typed text converted to the value the database keeps; nothing when it does not convert.
std::optional<QVariant> convert(const EditorField& f, const QString& text)
{
    if (f.control == Control::Date) {
        const auto d = parseDate(text);
        if (!d)
            return std::nullopt;
        return QVariant(isoDate(*d));
    }
    if (f.control == Control::Time) {
        const auto t = parseTime(text);
        if (!t)
            return std::nullopt;
        return QVariant(isoDate(kTimeBaseDate) + QLatin1Char(' ') + t->toString(QStringLiteral("HH:mm:ss")));
    }
    if (f.control == Control::DateTime) {
        const int blank = text.indexOf(QLatin1Char(' '));
        const auto d = parseDate(blank < 0 ? text : text.left(blank));
        std::optional<QTime> t = QTime(0, 0);
        if (blank >= 0)
            t = parseTime(text.mid(blank + 1).trimmed());
        if (!d || !t)
            return std::nullopt;
        return QVariant(isoDate(*d) + QLatin1Char(' ') + t->toString(QStringLiteral("HH:mm:ss")));
    }
    if (isNumeric(f)) {
        bool ok = false;
        if (f.decimals == 0) {
            const qint64 n = text.toLongLong(&ok);
            if (!ok)
                return std::nullopt;
            return QVariant(n);
        }
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return std::nullopt;
        return QVariant(d);
    }
    return QVariant(text);
}

// A list field whose list and caption follow a box of the same row.
struct SwitchedList {
    int entry;
    const char* field;
    const char* box;      // while ticked, the list is `source` under `caption`
    ListSource source;
    const char* caption;
};
const SwitchedList kSwitchedLists[] = {
    {entryRecipeLines, "id_product", "isCard", ListSource::Cards, "Вложенное блюдо"},
};

// A field that applies only while a box of the same row is ticked (or only while it is
// clear); a field with several rules applies when all of them hold.
struct BoxRule {
    int entry;
    const char* field;
    const char* box;
    bool whileTicked;
    bool requiredThen;  // a list that must be chosen while it applies
};
const BoxRule kBoxRules[] = {
    // A comment line has no item, weights, nesting or variant; a line that is no comment has
    // no comment text.
    {entryRecipeLines, "id_product", "isComment", false, false},
    {entryRecipeLines, "vih_kol", "isComment", false, false},
    {entryRecipeLines, "isCard", "isComment", false, false},
    {entryRecipeLines, "brutto", "isComment", false, false},
    {entryRecipeLines, "netto", "isComment", false, false},
    {entryRecipeLines, "isVariant", "isComment", false, false},
    {entryRecipeLines, "comment", "isComment", true, false},
    // A variant is the alternative of a main line, and only a variant has one.
    {entryRecipeLines, "id_MainCard", "isVariant", true, true},
    {entryRecipeLines, "id_MainCard", "isComment", false, false},
};

// A text the column cannot hold as typed: longer than its size, or a one-line name with a line
// break or another control character (they break the lists and the printed forms).
QString textProblem(const EditorField& f, const QString& text)
{
    if (f.limit > 0 && text.size() > f.limit)
        return QStringLiteral("Значение поля ") + quoted(f.caption) + QStringLiteral(" длиннее допустимых ") +
               QString::number(f.limit) + QStringLiteral(" знаков. Сократите введенное значение.");
    if (f.control == Control::Text)
        for (const QChar c : text)
            if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
                return QStringLiteral("Поле ") + quoted(f.caption) +
                       QStringLiteral(" не может содержать переводы строк и другие управляющие символы. Измените "
                                      "введенное значение.");
    return {};
}

} // namespace

QString numberText(const QVariant& v, int decimals)
{
    if (v.isNull())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        return v.toString();
    if (decimals == 0 && d == std::floor(d))
        return QString::number(qint64(d));
    QString s = plainNumber(d);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

void reportSaveError(Prompt& prompt, const DbError& e)
{
    prompt.critical(QStringLiteral("Возникла ошибка при сохранении данных. Проверьте, изменились ли данные в "
                                   "справочнике. Ошибка: ") +
                    e.text());
}

QString numericTypingProblem(const QString& text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-')))
        return QStringLiteral("Вы ввели отрицательное значение!");
    int separators = 0;
    for (const QChar c : t) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            ++separators;
        else if (c < QLatin1Char('0') || c > QLatin1Char('9'))  // digits of other scripts cannot be stored
            separators = 2;
    }
    if (separators > 1)
        return QStringLiteral("Введите целое или дробное число. Здесь можно вводить только цифры, а целая часть от "
                              "дробной отделяется запятой!");
    return {};
}

RecordEditor::RecordEditor(Database& db, Prompt& prompt, int entry) : db_(db), prompt_(prompt), entry_(entry)
{
    if (const BookDef* def = findBook(entry))
        book_ = resolveBook(db, *def);
}

RecordEditor::RecordEditor(Database& db, Prompt& prompt, int entry, std::vector<EditorField> fields)
    : RecordEditor(db, prompt, entry)
{
    book_.fields = std::move(fields);
}

int RecordEditor::fieldIndex(const QString& field) const
{
    for (size_t i = 0; i < book_.fields.size(); ++i)
        if (book_.fields[i].control != Control::Heading &&
            book_.fields[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool RecordEditor::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> parentId)
{
    mode_ = mode;
    id_ = id;
    parentId_ = parentId;
    rowName_.clear();
    values_.assign(book_.fields.size(), QVariant());
    for (size_t i = 0; i < book_.fields.size(); ++i)
        values_[i] = displayValue(book_.fields[i], QVariant());
    changed_ = false;
    if (!book_.def)
        return false;
    const BookDef& def = *book_.def;

    if (mode == EditMode::Add) {
        id_.reset();
        std::map<QString, QVariant, std::less<>> presets;
        if (parentId && !def.parentField.isEmpty())
            presets[def.parentField] = *parentId;
        for (const BookRules& r : bookRules(entry_))
            if (r.defaults)
                r.defaults(db_, presets);
        for (const auto& [name, v] : presets) {
            const int i = fieldIndex(name);
            if (i >= 0)
                values_[size_t(i)] = displayValue(book_.fields[size_t(i)], v);
        }
        return true;
    }

    Statement st(db_, QStringLiteral("SELECT * FROM ") + q(def.table) + QStringLiteral(" WHERE ") + q(def.key) +
                          QStringLiteral(" = ?1"));
    st.bind(1, id ? QVariant(*id) : QVariant());
    if (!id || !st.next()) {
        prompt_.warning(missingRowText(mode != EditMode::Edit));
        return false;
    }
    for (size_t i = 0; i < book_.fields.size(); ++i) {
        const EditorField& f = book_.fields[i];
        if (f.control == Control::Heading || isVitaminField(f) || !f.stored)
            continue;
        const int c = st.columnIndex(f.field);
        if (c >= 0)
            values_[i] = displayValue(f, st.value(c));
    }
    if (!def.nameField.isEmpty())
        rowName_ = st.value(def.nameField).toString();
    if (!def.editorVitamins.table.isEmpty()) {
        Statement v(db_, QStringLiteral("SELECT v.shname, s.%1 FROM %2 s JOIN vitamin v ON v.id = s.id_vitamin "
                                        "WHERE s.%3 = ?1 ORDER BY s.rowid")
                             .arg(def.editorVitamins.valueField, q(def.editorVitamins.table),
                                  def.editorVitamins.ownerField));
        v.bind(1, *id);
        while (v.next()) {
            const int i = fieldIndex(QStringLiteral("$") + v.toString(0));
            if (i >= 0)
                values_[size_t(i)] = displayValue(book_.fields[size_t(i)], v.value(1));
        }
    }
    if (rowName_.isEmpty()) {
        // Books without a name column are captioned by their first shown value.
        for (size_t i = 0; i < book_.fields.size() && rowName_.isEmpty(); ++i) {
            const EditorField& f = book_.fields[i];
            if (f.control == Control::List)
                rowName_ = listText(db_, f.source, values_[i], paramOf(f));
            else if (isTextual(f))
                rowName_ = values_[i].toString();
        }
    }
    return true;
}

QString RecordEditor::caption() const
{
    const QString name = book_.def ? book_.def->recordName : QString();
    return name + QStringLiteral(": ") + (mode_ == EditMode::Add ? QStringLiteral("Новая") : rowName_);
}

QVariant RecordEditor::value(int index) const
{
    return index >= 0 && size_t(index) < values_.size() ? values_[size_t(index)] : QVariant();
}

void RecordEditor::setValue(int index, const QVariant& v)
{
    if (index < 0 || size_t(index) >= values_.size())
        return;
    values_[size_t(index)] = v;
    changed_ = true;
}

bool RecordEditor::setValue(const QString& field, const QVariant& v)
{
    const int i = fieldIndex(field);
    if (i < 0)
        return false;
    setValue(i, v);
    return true;
}

bool RecordEditor::setText(const QString& field, const QString& text)
{
    const int i = fieldIndex(field);
    if (i < 0)
        return false;
    const EditorField& f = book_.fields[size_t(i)];
    const QString t = text.trimmed();
    switch (f.control) {
    case Control::List: {
        if (t.isEmpty()) {
            setValue(i, QVariant());
            return true;
        }
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (!ok)
            return false;
        setValue(i, QVariant(v));
        return true;
    }
    case Control::CheckBox: {
        const QString l = t.toLower();
        if (l == QLatin1String("1") || l == QLatin1String("-1") || l == QStringLiteral("да") ||
            l == QLatin1String("true"))
            setValue(i, QVariant(true));
        else if (l.isEmpty() || l == QLatin1String("0") || l == QStringLiteral("нет") || l == QLatin1String("false"))
            setValue(i, QVariant(false));
        else
            return false;
        return true;
    }
    default: setValue(i, QVariant(text)); return true;
    }
}

QVariant RecordEditor::paramOf(const EditorField& f) const
{
    // Several fields ("id_day,id_type_meal") give the list their values in that order.
    if (f.paramField.contains(QLatin1Char(','))) {
        QVariantList values;
        for (const QString& name : f.paramField.split(QLatin1Char(',')))
            values << value(fieldIndex(name.trimmed()));
        return values;
    }
    if (!f.paramField.isEmpty())
        return value(fieldIndex(f.paramField));
    return parentId_ ? QVariant(*parentId_) : QVariant();
}

std::vector<ListItem> RecordEditor::items(int index) const
{
    if (index < 0 || size_t(index) >= book_.fields.size())
        return {};
    const EditorField f = currentField(index);
    if (f.control != Control::List)
        return {};
    std::vector<ListItem> out = listItems(db_, f.source, paramOf(f));
    // A line is not its own main line.
    if (f.source == ListSource::MainLines && mode_ == EditMode::Edit && id_)
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [this](const ListItem& it) { return it.value.toLongLong() == *id_; }),
                  out.end());
    return out;
}

bool RecordEditor::ticked(const char* box) const
{
    const int i = fieldIndex(QString::fromLatin1(box));
    return i >= 0 && values_[size_t(i)].toBool();
}

EditorField RecordEditor::currentField(int index) const
{
    if (index < 0 || size_t(index) >= book_.fields.size())
        return {};
    EditorField f = book_.fields[size_t(index)];
    for (const SwitchedList& s : kSwitchedLists)
        if (s.entry == entry_ && f.field.compare(QLatin1String(s.field), Qt::CaseInsensitive) == 0 && ticked(s.box)) {
            f.source = s.source;
            f.caption = QString::fromUtf8(s.caption);
        }
    if (applies(index)) {
        for (const BoxRule& r : kBoxRules)
            if (r.entry == entry_ && r.requiredThen && f.field.compare(QLatin1String(r.field), Qt::CaseInsensitive) == 0)
                f.flag = required;
    } else {
        f.flag = optional;
    }
    return f;
}

bool RecordEditor::applies(int index) const
{
    if (index < 0 || size_t(index) >= book_.fields.size())
        return false;
    const QString& field = book_.fields[size_t(index)].field;
    for (const BoxRule& r : kBoxRules)
        if (r.entry == entry_ && field.compare(QLatin1String(r.field), Qt::CaseInsensitive) == 0 &&
            ticked(r.box) != r.whileTicked)
            return false;
    return true;
}

bool RecordEditor::acceptTyping(int index, const QString& text)
{
    if (index < 0 || size_t(index) >= book_.fields.size() || !isNumeric(book_.fields[size_t(index)]))
        return true;
    const QString problem = numericTypingProblem(text);
    if (problem.isEmpty())
        return true;
    prompt_.warning(problem);
    return false;
}

bool RecordEditor::confirmClose()
{
    if (!changed_)
        return true;
    switch (prompt_.ask(QStringLiteral("Сохранить изменения?"), Buttons::YesNoCancel, Answer::Yes)) {
    case Answer::Yes: return save().has_value();
    case Answer::No: return true;
    default: return false;
    }
}

std::optional<qint64> RecordEditor::save()
{
    if (!book_.def || book_.def->readOnly)
        return std::nullopt;
    const BookDef& def = *book_.def;

    // 1. A decimal comma becomes a point.
    for (size_t i = 0; i < book_.fields.size(); ++i)
        if (isNumeric(book_.fields[i]))
            values_[i] = values_[i].toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.'));

    SaveContext ctx(db_, prompt_, book_, mode_, mode_ == EditMode::Edit ? id_ : std::nullopt, parentId_);

    // 2. Field by field: filled, convertible, unique.
    for (size_t i = 0; i < book_.fields.size(); ++i) {
        const EditorField f = currentField(int(i));
        if (f.control == Control::Heading)
            continue;
        if (f.control == Control::List && !applies(int(i))) {
            ctx.values[f.field] = qint64(0);
            continue;
        }
        QVariant stored;
        QString shown;
        if (f.control == Control::List) {
            if (values_[i].isNull() || !values_[i].isValid()) {
                if (f.flag != optional) {
                    prompt_.warning(QStringLiteral("Необходимо обязательно выбрать строку в списке ") + quoted(f.caption) +
                                    QLatin1Char('.'));
                    return std::nullopt;
                }
            } else {
                stored = values_[i].toLongLong();
            }
        } else if (f.control == Control::CheckBox) {
            stored = QVariant(values_[i].toBool());
        } else {
            QString text = values_[i].toString();
            if (f.control != Control::Memo)
                text = text.trimmed();
            if (text.trimmed().isEmpty()) {
                if (f.flag != optional) {
                    prompt_.warning(QStringLiteral("Необходимо обязательно заполнить поле ") + quoted(f.caption) +
                                    QLatin1Char('.'));
                    return std::nullopt;
                }
            } else {
                if (const QString problem = textProblem(f, text); !problem.isEmpty()) {
                    prompt_.warning(problem);
                    return std::nullopt;
                }
                const auto v = convert(f, text);
                if (!v) {
                    prompt_.warning(QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                    quoted(f.caption) + QStringLiteral(" не корректно. Измените введенное значение."));
                    return std::nullopt;
                }
                stored = *v;
                shown = text;
            }
        }
        ctx.values[f.field] = stored;

        const bool unique = f.flag == requiredUnique || f.warnUnique;
        if (!unique || stored.isNull() || !f.stored || isVitaminField(f))
            continue;
        // Letter case aside, a name is compared as typed: "Ежики" is not "Ёжики" here, though a
        // search finds one by the other.
        const bool textual = f.control == Control::Text && !isNumeric(f);
        const QString cmp = (textual || f.control == Control::Memo)
                                ? QStringLiteral("lower(%1) = lower(?1)").arg(q(f.field))
                                : QStringLiteral("%1 = ?1").arg(q(f.field));
        const qint64 others = db_.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + q(def.table) +
                                             QStringLiteral(" WHERE ") + cmp + QStringLiteral(" AND ") + q(def.key) +
                                             QStringLiteral(" <> ?2"),
                                         {stored, ctx.ownIdOrNone()})
                                  .toLongLong();
        if (others == 0)
            continue;
        if (f.control == Control::List)
            shown = listText(db_, f.source, stored, paramOf(f));
        const QString text = QStringLiteral("Значение ") + quoted(shown) + QStringLiteral(" поля ") + quoted(f.caption) +
                             QStringLiteral(" уже имеется в другой строке справочника. ");
        if (f.warnUnique) {
            if (prompt_.ask(text + QStringLiteral("Продолжить сохранение?"), Buttons::YesNo, Answer::No) != Answer::Yes)
                return std::nullopt;
        } else {
            prompt_.warning(text + QStringLiteral("Измените введенное значение."));
            return std::nullopt;
        }
    }

    // 3. The book's own checks.
    const std::vector<BookRules>& rules = bookRules(entry_);
    for (const BookRules& r : rules)
        if (r.check && !r.check(ctx))
            return std::nullopt;

    // 4. The write: the row, its vitamin rows and the book's own rows, all or nothing.
    try {
        Transaction tx(db_);
        QStringList columns;
        std::vector<QVariant> params;
        for (const EditorField& f : book_.fields) {
            if (f.control == Control::Heading || !f.stored || isVitaminField(f))
                continue;
            columns << q(f.field);
            params.push_back(ctx.value(f.field));
        }
        qint64 savedId = 0;
        if (columns.isEmpty()) {
            // Nothing of its own to write: the rules below do the work.
        } else if (ctx.isNew()) {
            QStringList marks;
            for (int k = 1; k <= columns.size(); ++k)
                marks << QStringLiteral("?%1").arg(k);
            db_.exec(QStringLiteral("INSERT INTO ") + q(def.table) + QStringLiteral(" (") +
                         columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                         marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                     params);
            savedId = db_.lastInsertId();
        } else {
            QStringList sets;
            for (int k = 0; k < columns.size(); ++k)
                sets << columns[k] + QStringLiteral(" = ?%1").arg(k + 1);
            params.push_back(*id_);
            const int changed = db_.exec(QStringLiteral("UPDATE ") + q(def.table) + QStringLiteral(" SET ") +
                                             sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + q(def.key) +
                                             QStringLiteral(" = ?%1").arg(columns.size() + 1),
                                         params);
            if (changed == 0)
                throw DbError(0, QStringLiteral("запись не найдена."));
            savedId = *id_;
        }
        if (!def.editorVitamins.table.isEmpty()) {
            // The row's content of every vitamin the editor shows is replaced: one delete (a
            // scan of the table), then a row per filled field.
            const VitaminStore& s = def.editorVitamins;
            std::map<QString, qint64> vitaminIds;
            Statement v(db_, QStringLiteral("SELECT shname, id FROM vitamin"));
            while (v.next())
                vitaminIds.emplace(v.toString(0), v.toInt64(1));
            std::vector<QVariant> shown{savedId};
            std::vector<std::pair<qint64, QVariant>> filled;
            for (const EditorField& f : book_.fields) {
                const auto it = isVitaminField(f) ? vitaminIds.find(f.field.mid(1)) : vitaminIds.end();
                if (it == vitaminIds.end())
                    continue;
                shown.push_back(it->second);
                const QVariant quantity = ctx.value(f.field);
                if (!quantity.isNull())
                    filled.emplace_back(it->second, quantity);
            }
            if (shown.size() > 1) {
                QStringList marks;
                for (size_t k = 2; k <= shown.size(); ++k)
                    marks << QStringLiteral("?%1").arg(k);
                db_.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?1 AND id_vitamin IN (%3)")
                             .arg(q(s.table), s.ownerField, marks.join(QStringLiteral(", "))),
                         shown);
            }
            Statement ins(db_, QStringLiteral("INSERT INTO %1 (id_vitamin, %2, %3) VALUES (?1, ?2, ?3)")
                                   .arg(q(s.table), s.ownerField, s.valueField));
            for (const auto& [vitamin, quantity] : filled) {
                ins.reset();
                ins.bindAll({vitamin, savedId, quantity});
                ins.exec();
            }
        }
        if (!columns.isEmpty())
            ctx.id = savedId;
        for (const BookRules& r : rules)
            if (r.inWrite)
                r.inWrite(ctx);
        tx.commit();
    } catch (const DbError& e) {
        reportSaveError(prompt_, e);
        return std::nullopt;
    }

    const bool ownRow = ctx.id.has_value();
    const EditMode savedAs = mode_;
    if (ownRow) {
        mode_ = EditMode::Edit;
        id_ = ctx.id;
    }
    changed_ = false;
    if (!def.nameField.isEmpty())
        rowName_ = ctx.value(def.nameField).toString();
    // The editor shows what was stored: numbers with a decimal comma again.
    for (size_t i = 0; i < book_.fields.size(); ++i)
        if (isNumeric(book_.fields[i]))
            values_[i] = displayValue(book_.fields[i], ctx.value(book_.fields[i].field));

    // 5. Follow-ups see the mode the row was saved in.
    ctx.mode = savedAs;
    for (const BookRules& r : rules)
        if (r.followUp)
            r.followUp(ctx);
    return ownRow ? ctx.id : std::optional<qint64>(0);
}

} // namespace rat::books
