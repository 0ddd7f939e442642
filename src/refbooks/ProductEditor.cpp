#include "refbooks/ProductEditor.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "refbooks/RecordEditor.h"

#include <QStringList>
#include <cmath>
#include <map>

namespace rat::books {

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString q(const QString& name)
{
    return QLatin1Char('[') + name + QLatin1Char(']');
}

EditorField make(const QString& caption, Control control, const char* name, int flag, int decimals = -1)
{
    EditorField f;
    f.caption = caption;
    f.control = control;
    f.field = QString::fromLatin1(name);
    f.flag = flag;
    f.decimals = decimals;
    return f;
}

EditorField listField(const QString& caption, const char* name, ListSource source)
{
    EditorField f = make(caption, Control::List, name, required);
    f.source = source;
    return f;
}

EditorField textField(const QString& caption, const char* name, int limit, int flag)
{
    EditorField f = make(caption, Control::Text, name, flag);
    f.limit = limit;
    return f;
}

EditorField numberField(const QString& caption, const char* name, int decimals = 2, int flag = optional)
{
    return make(caption, Control::Text, name, flag, decimals);
}

bool isNumeric(const EditorField& f)
{
    return f.control == Control::Text && f.decimals >= 0;
}

bool isVitamin(const EditorField& f)
{
    return f.field.startsWith(QLatin1Char('$'));
}

// A stored number as the window shows it: plain digits and a decimal comma.
QString numberText(const QVariant& v, int decimals)
{
    if (v.isNull() || v.toString().isEmpty())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        return v.toString();
    if (decimals == 0 && d == std::floor(d))
        return QString::number(qint64(d));
    return plainNumber(d).replace(QLatin1Char('.'), QLatin1Char(','));
}

QVariant shown(const EditorField& f, const QVariant& stored)
{
    switch (f.control) {
    case Control::CheckBox: return QVariant(!stored.isNull() && stored.toDouble() != 0.0);
    case Control::List:
        if (stored.isNull() || stored.toString().isEmpty())
            return {};
        return QVariant(stored.toLongLong());
    default:
        if (isNumeric(f))
            return numberText(stored, f.decimals);
        return stored.isNull() ? QString() : stored.toString();
    }
}

} // namespace

ProductEditor::ProductEditor(Database& db, Prompt& prompt) : db_(db), prompt_(prompt)
{
    if (const BookDef* def = findBook(entryProducts))
        book_ = resolveBook(db, *def);
    EditorField code = textField(QStringLiteral("Шифр продукта"), "schif", 100, optional);
    code.warnUnique = true;
    fields_ = {
        listField(QStringLiteral("Группа продуктов"), "id_product_group", ListSource::ProductGroups),
        textField(QStringLiteral("Наименование"), "pname", 255, requiredUnique),
        listField(QStringLiteral("Ед.изм."), "id_ed_izmer", ListSource::Units),
        code,
        numberField(QStringLiteral("Срок хранения"), "time_storage", 0, required),
        listField(QStringLiteral("Период срока хранения"), "time_period", ListSource::PeriodUnits),
        listField(QStringLiteral("Округлять до"), "rule_okr", ListSource::RoundingRules),
        numberField(QStringLiteral("% несъедобной части"), "procNe"),
        numberField(QStringLiteral("Плановая цена, ") + currencyShortName(db) + QStringLiteral(" за единицу измерения"),
                    "plpris"),
        numberField(QStringLiteral("Процент НДС, %"), "P_NDS"),
        make(QStringLiteral("Обогащен витаминами и микроэлементами"), Control::CheckBox, "trueVit", optional),
        make(QStringLiteral("Обогащен лакто и бифидобактериями"), Control::CheckBox, "trueLak", optional),
    };
    nutrientStart_ = int(fields_.size());
    fields_.push_back(numberField(QStringLiteral("Белки, г"), "protein"));
    fields_.push_back(numberField(QStringLiteral("Жиры, г"), "fat"));
    fields_.push_back(numberField(QStringLiteral("Углеводы, г"), "carbohyd"));
    fields_.push_back(numberField(QStringLiteral("Калорий, ккал"), "calories"));
    // Every vitamin, not only those the cards count.
    for (const auto& [vitaminId, code] : vitaminsOf(db, VitaminSet::All)) {
        EditorField f = numberField(code + QStringLiteral(", мг"), "", 3);
        f.field = QLatin1Char('$') + code;
        fields_.push_back(f);
    }
    values_.assign(fields_.size(), QVariant());
}

int ProductEditor::fieldIndex(const QString& field) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool ProductEditor::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> group)
{
    mode_ = mode;
    id_ = mode == EditMode::Add ? std::nullopt : id;
    name_.clear();
    for (size_t i = 0; i < fields_.size(); ++i)
        values_[i] = shown(fields_[i], QVariant());
    changed_ = false;

    if (mode == EditMode::Add) {
        std::map<QString, QVariant, std::less<>> presets;
        if (group)
            presets[QStringLiteral("id_product_group")] = *group;
        for (const BookRules& r : bookRules(entryProducts))
            if (r.defaults)
                r.defaults(db_, presets);
        for (const auto& [name, v] : presets) {
            const int i = fieldIndex(name);
            if (i >= 0)
                values_[size_t(i)] = shown(fields_[size_t(i)], v);
        }
        return true;
    }

    Statement st(db_, QStringLiteral("SELECT * FROM products WHERE id = ?1"));
    st.bind(1, id ? QVariant(*id) : QVariant());
    if (!id || !st.next()) {
        prompt_.warning(QStringLiteral("Не найдена ") +
                        (mode == EditMode::Edit ? QStringLiteral("редактируемая") : QStringLiteral("копируемая")) +
                        QStringLiteral(" запись. Обновите окно (F5), выделите другую строку."));
        return false;
    }
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (isVitamin(fields_[i]))
            continue;
        const int c = st.columnIndex(fields_[i].field);
        if (c >= 0)
            values_[i] = shown(fields_[i], st.value(c));
    }
    name_ = st.value(QStringLiteral("pname")).toString();
    Statement v(db_, QStringLiteral("SELECT v.shname, q.quantity FROM vitamin_quantity q JOIN vitamin v ON "
                                    "v.id = q.id_vitamin WHERE q.id_product = ?1 ORDER BY q.rowid"));
    v.bind(1, *id);
    while (v.next()) {
        const int i = fieldIndex(QLatin1Char('$') + v.toString(0));
        if (i >= 0)
            values_[size_t(i)] = shown(fields_[size_t(i)], v.value(1));
    }
    // A copy is a new product that nobody has saved yet.
    changed_ = mode == EditMode::Copy;
    return true;
}

QString ProductEditor::caption() const
{
    const QString title = book_.def ? book_.def->listTitle : QStringLiteral("Продукты");
    const QString text =
        title + (mode_ == EditMode::Add ? QStringLiteral(": Новый продукт") : QStringLiteral(": ") + name_);
    return changed_ ? text + QStringLiteral(" *") : text;
}

QVariant ProductEditor::value(int index) const
{
    return index >= 0 && size_t(index) < values_.size() ? values_[size_t(index)] : QVariant();
}

void ProductEditor::setValue(int index, const QVariant& v)
{
    if (index < 0 || size_t(index) >= values_.size())
        return;
    values_[size_t(index)] = v;
    changed_ = true;
}

bool ProductEditor::setText(const QString& field, const QString& text)
{
    const int i = fieldIndex(field);
    if (i < 0)
        return false;
    const EditorField& f = fields_[size_t(i)];
    const QString t = text.trimmed();
    if (f.control == Control::List) {
        if (t.isEmpty()) {
            setValue(i, QVariant());
            return true;
        }
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (ok)
            setValue(i, QVariant(v));
        return ok;
    }
    if (f.control == Control::CheckBox) {
        const QString l = t.toLower();
        if (l == QLatin1String("1") || l == QLatin1String("-1") || l == QStringLiteral("да"))
            setValue(i, QVariant(true));
        else if (l.isEmpty() || l == QLatin1String("0") || l == QStringLiteral("нет"))
            setValue(i, QVariant(false));
        else
            return false;
        return true;
    }
    setValue(i, QVariant(text));
    return true;
}

std::vector<ListItem> ProductEditor::items(int index) const
{
    if (index < 0 || size_t(index) >= fields_.size() || fields_[size_t(index)].control != Control::List)
        return {};
    return listItems(db_, fields_[size_t(index)].source);
}

bool ProductEditor::acceptTyping(int index, const QString& text)
{
    if (index < 0 || size_t(index) >= fields_.size() || !isNumeric(fields_[size_t(index)]))
        return true;
    const QString problem = numericTypingProblem(text);
    if (problem.isEmpty())
        return true;
    prompt_.warning(problem);
    return false;
}

std::optional<QString> ProductEditor::vatOnFocus(const QString& text) const
{
    const QString t = text.trimmed();
    if (!t.isEmpty() && t != QLatin1String("0"))
        return std::nullopt;
    const ProgramParameters p = readParameters(db_);
    if (!p.nds)
        return std::nullopt;
    return plainNumber(p.ndsRate).replace(QLatin1Char('.'), QLatin1Char(','));
}

std::optional<qint64> ProductEditor::save()
{
    // A decimal comma becomes a point.
    for (size_t i = 0; i < fields_.size(); ++i)
        if (isNumeric(fields_[i]))
            values_[i] = values_[i].toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.'));

    SaveContext ctx(db_, prompt_, book_, mode_, mode_ == EditMode::Edit ? id_ : std::nullopt, std::nullopt);

    // Field by field, in the window's order: filled, convertible, unique.
    for (size_t i = 0; i < fields_.size(); ++i) {
        const EditorField& f = fields_[i];
        QVariant stored;
        QString text;
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
            text = values_[i].toString().trimmed();
            if (text.isEmpty()) {
                if (f.flag != optional) {
                    prompt_.warning(QStringLiteral("Необходимо обязательно заполнить поле ") + quoted(f.caption) +
                                    QLatin1Char('.'));
                    return std::nullopt;
                }
            } else if (isNumeric(f)) {
                bool ok = false;
                if (f.decimals == 0) {
                    const qint64 n = text.toLongLong(&ok);
                    stored = n;
                } else {
                    const double d = text.toDouble(&ok);
                    ok = ok && std::isfinite(d);
                    stored = d;
                }
                if (!ok) {
                    prompt_.warning(QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                    quoted(f.caption) + QStringLiteral(" не корректно. Измените введенное значение."));
                    return std::nullopt;
                }
            } else {
                if (f.limit > 0 && text.size() > f.limit)
                    text = text.left(f.limit);
                stored = text;
            }
        }
        ctx.values[f.field] = stored;

        if ((f.flag != requiredUnique && !f.warnUnique) || stored.isNull())
            continue;
        const qint64 others =
            db_.scalar(QStringLiteral("SELECT COUNT(*) FROM products WHERE fold(%1) = fold(?1) AND id <> ?2").arg(q(f.field)),
                       {stored, ctx.ownIdOrNone()})
                .toLongLong();
        if (others == 0)
            continue;
        const QString message = QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                quoted(f.caption) + QStringLiteral(" уже имеется в другой строке справочника. ");
        if (f.warnUnique) {
            if (prompt_.ask(message + QStringLiteral("Продолжить сохранение?"), Buttons::YesNo, Answer::No) !=
                Answer::Yes)
                return std::nullopt;
        } else {
            prompt_.warning(message + QStringLiteral("Измените введенное значение."));
            return std::nullopt;
        }
    }

    const std::vector<BookRules>& rules = bookRules(entryProducts);
    for (const BookRules& r : rules)
        if (r.check && !r.check(ctx))
            return std::nullopt;

    try {
        Transaction tx(db_);
        QStringList columns;
        std::vector<QVariant> params;
        for (const EditorField& f : fields_) {
            if (isVitamin(f))
                continue;
            columns << q(f.field);
            params.push_back(ctx.value(f.field));
        }
        qint64 savedId = 0;
        if (ctx.isNew()) {
            QStringList marks;
            for (int k = 1; k <= columns.size(); ++k)
                marks << QStringLiteral("?%1").arg(k);
            db_.exec(QStringLiteral("INSERT INTO products (%1) VALUES (%2)")
                         .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                     params);
            savedId = db_.lastInsertId();
        } else {
            QStringList sets;
            for (int k = 0; k < columns.size(); ++k)
                sets << columns[k] + QStringLiteral(" = ?%1").arg(k + 1);
            params.push_back(*id_);
            if (db_.exec(QStringLiteral("UPDATE products SET %1 WHERE id = ?%2")
                             .arg(sets.join(QStringLiteral(", ")))
                             .arg(columns.size() + 1),
                         params) == 0)
                throw DbError(0, QStringLiteral("запись не найдена."));
            savedId = *id_;
        }
        // Each vitamin of the block: whatever rows the product had for it go, the new value
        // comes in, so one product never has two rows of one vitamin.
        Statement find(db_, QStringLiteral("SELECT id FROM vitamin WHERE shname = ?1 ORDER BY id LIMIT 1"));
        Statement drop(db_, QStringLiteral("DELETE FROM vitamin_quantity WHERE id_product = ?1 AND id_vitamin = ?2"));
        Statement add(db_, QStringLiteral("INSERT INTO vitamin_quantity (id_vitamin, id_product, quantity) "
                                          "VALUES (?1, ?2, ?3)"));
        for (const EditorField& f : fields_) {
            if (!isVitamin(f))
                continue;
            find.reset();
            find.bind(1, f.field.mid(1));
            if (!find.next())
                continue;  // the vitamin was deleted meanwhile
            const qint64 vitamin = find.toInt64(0);
            drop.reset();
            drop.bindAll({savedId, vitamin});
            drop.exec();
            const QVariant quantity = ctx.value(f.field);
            if (quantity.isNull())
                continue;
            add.reset();
            add.bindAll({vitamin, savedId, quantity});
            add.exec();
        }
        ctx.id = savedId;
        for (const BookRules& r : rules)
            if (r.inWrite)
                r.inWrite(ctx);
        tx.commit();
    } catch (const DbError& e) {
        prompt_.critical(
            QStringLiteral("Возникла ошибка при сохранении данных. Проверьте, изменились ли данные в справочнике. "
                           "Ошибка: ") +
            e.text());
        return std::nullopt;
    }

    const EditMode savedAs = mode_;
    mode_ = EditMode::Edit;
    id_ = ctx.id;
    name_ = ctx.value(QStringLiteral("pname")).toString();
    changed_ = false;
    // The window shows what was stored: numbers with a decimal comma again.
    for (size_t i = 0; i < fields_.size(); ++i)
        if (isNumeric(fields_[i]))
            values_[i] = shown(fields_[i], ctx.value(fields_[i].field));

    ctx.mode = savedAs;
    for (const BookRules& r : rules)
        if (r.followUp)
            r.followUp(ctx);

    if (db_.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_product = ?1"), {*ctx.id}).toLongLong() == 0 &&
        prompt_.ask(QStringLiteral("Рекомендуется добавить продукт в справочник \"Нормы питания\" по всем типам "
                                   "довольствующихся для корректного выполнения различных отчетов, например "
                                   "\"Анализа плана меню на соответствие нормам питания\". Открыть справочник "
                                   "\"Нормы питания\"?"),
                    Buttons::YesNo, Answer::Yes) == Answer::Yes &&
        onOpenNorms)
        onOpenNorms();
    return ctx.id;
}

bool ProductEditor::confirmClose()
{
    if (!changed_)
        return true;
    switch (prompt_.ask(QStringLiteral("Были внесены изменения. Сохранить и закрыть? \"Да\" – сохранить, \"Нет\" – "
                                       "не сохранять, \"Отмена\" – не выходить."),
                        Buttons::YesNoCancel, Answer::Yes)) {
    case Answer::Yes: return save().has_value();
    case Answer::No: return true;
    default: return false;
    }
}

} // namespace rat::books
