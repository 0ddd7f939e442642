// The card window's header and nutrient block: reading a card, the save with its checks in
// their fixed order, the conditions of the line commands and the questions on closing. The
// header is written here, not by the record editor of the card book, so the follow-ups of a
// card added through the plain editor do not run for the window.

#include "refbooks/CardEditor.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"
#include "core/Rounding.h"
#include "refbooks/CardRules.h"

#include <QStringList>
#include <cmath>

namespace rat::books {

namespace {

EditorField make(const QString& caption, Control control, const QString& name, int flag = optional,
                 int decimals = -1, int limit = 0)
{
    EditorField f;
    f.caption = caption;
    f.control = control;
    f.field = name;
    f.flag = flag;
    f.decimals = decimals;
    f.limit = limit;
    return f;
}

EditorField listField(const char* caption, const char* name, ListSource source)
{
    EditorField f = make(QString::fromUtf8(caption), Control::List, QString::fromLatin1(name), required);
    f.source = source;
    return f;
}

bool isNumeric(const EditorField& f)
{
    return f.control == Control::Text && f.decimals >= 0;
}


// The macronutrient rows: caption and the three columns of card_recipes.
struct Macro {
    const char* caption;
    const char* per100;
    const char* perVih;
    const char* loss;
};
const Macro kMacros[] = {
    {"Белки, г", "protein", "protein_vih", "pr_protein"},
    {"Жиры, г", "fat", "fat_vih", "pr_fat"},
    {"Углеводы, г", "carbohyd", "carbohyd_vih", "pr_carbohyd"},
    {"Калорий, ккал", "calories", "calories_vih", "pr_calories"},
};

const QString kVihCaption = QStringLiteral("Химический состав на:");

// Field names of a vitamin's three values.
QString vitaminField(const QString& shname, int column)
{
    switch (column) {
    case 0: return QStringLiteral("$") + shname;
    case 1: return QStringLiteral("$") + shname + QStringLiteral("_vih");
    default: return QStringLiteral("$pr_") + shname;
    }
}

// A calculated figure as the window shows it: the field's fixed decimals, a decimal comma.
QString fixedText(const QVariant& v, int decimals)
{
    if (v.isNull())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok)
        return v.toString();
    const int places = decimals < 0 ? 2 : decimals;
    QString s = QString::number(roundHalfEven(d, places), 'f', places);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

} // namespace

CardEditor::CardEditor(Database& db, Prompt& prompt, QString bookTitle)
    : db_(db), prompt_(prompt), bookTitle_(std::move(bookTitle)), editor_(db, prompt, entryCards, buildFields())
{
}

std::vector<EditorField> CardEditor::buildFields()
{
    Database& db = db_;
    EditorField name = make(QStringLiteral("Наименование"), Control::Text, QStringLiteral("cname"), required, -1, 255);
    name.warnUnique = true;
    std::vector<EditorField> fields = {
        make(QStringLiteral("Общая информация:"), Control::Heading, QString()),
        listField("Категория блюда", "id_type_meal", ListSource::DishCategories),
        make(QStringLiteral("Номер"), Control::Text, QStringLiteral("number1"), required, -1, 10),
        make(QStringLiteral("Номер рецептуры"), Control::Text, QStringLiteral("numRec"), optional, -1, 10),
        name,
        make(QStringLiteral("Технология приготовления"), Control::Memo, QStringLiteral("description")),
        listField("Вид обработки", "id_type_culinary", ListSource::CulinaryKinds),
        listField("Сборник рецептур", "id_receptur", ListSource::Collections),
        make(QStringLiteral("План. стоимость, ") + currencyShortName(db), Control::Text, QStringLiteral("cost"),
             optional, 2),
        make(QStringLiteral("Органолептическая оценка:"), Control::Heading, QString()),
        make(QString(), Control::Memo, QStringLiteral("orgOc")),
    };
    headerCount_ = int(fields.size());
    fields.push_back(make(kVihCaption, Control::Text, QStringLiteral("vih"), optional, 0));
    auto addRow = [&](const QString& caption, const QString& a, const QString& b, const QString& c) {
        NutrientRow row;
        row.caption = caption;
        row.per100 = int(fields.size());
        row.perVih = row.per100 + 1;
        row.loss = row.per100 + 2;
        for (const QString& f : {a, b, c})
            fields.push_back(make(caption, Control::Text, f, optional, 2));
        rows_.push_back(row);
    };
    for (const Macro& m : kMacros)
        addRow(QString::fromUtf8(m.caption), QString::fromLatin1(m.per100), QString::fromLatin1(m.perVih),
               QString::fromLatin1(m.loss));
    vitamins_ = vitaminsOf(db, VitaminSet::ForCards);
    for (const auto& [id, shname] : vitamins_)
        addRow(shname + QStringLiteral(", мг"), vitaminField(shname, 0), vitaminField(shname, 1),
               vitaminField(shname, 2));
    return fields;
}

bool CardEditor::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> category)
{
    mode_ = mode;
    marked_ = false;
    savedHere_ = false;
    cardId_.reset();
    sourceId_.reset();
    name_.clear();
    if (!editor_.open(mode, id, category))
        return false;
    if (mode == EditMode::Add) {
        editor_.setValue(vihIndex(), QStringLiteral("100"));
        // The collection every file has, as the column's own default.
        const int collection = fieldIndex(QStringLiteral("id_receptur"));
        if (db_.scalar(QStringLiteral("SELECT COUNT(*) FROM RECEPTUR WHERE ID = 1")).toLongLong() > 0)
            editor_.setValue(collection, qint64(1));
    } else {
        if (editor_.value(vihIndex()).toString().isEmpty())
            editor_.setValue(vihIndex(), QStringLiteral("100"));
        name_ = editor_.value(fieldIndex(QStringLiteral("cname"))).toString();
        if (mode == EditMode::Edit)
            cardId_ = id;
        else
            sourceId_ = id;
    }
    readCalculated(mode == EditMode::Add ? std::nullopt : id);
    // A new card and a copy carry the marker until their first save.
    marked_ = mode != EditMode::Edit;
    return true;
}

bool CardEditor::isCalculated(int index) const
{
    return index > vihIndex() || index == fieldIndex(QStringLiteral("cost"));
}

void CardEditor::readCalculated(std::optional<qint64> id)
{
    const auto& fs = fields();
    stored_.assign(fs.size(), QVariant());
    typed_.assign(fs.size(), false);
    if (id) {
        Statement head(db_, QStringLiteral("SELECT * FROM card_recipes WHERE id = ?1"));
        head.bind(1, *id);
        if (head.next())
            for (size_t i = 0; i < fs.size(); ++i) {
                const int c = isCalculated(int(i)) ? head.columnIndex(fs[i].field) : -1;
                if (c >= 0)
                    stored_[i] = head.value(c);
            }
        Statement st(db_, QStringLiteral("SELECT v.shname, cv.kol, cv.kol_vih, cv.kolpr FROM card_vitamin cv "
                                         "JOIN vitamin v ON v.id = cv.id_vitamin WHERE cv.id_card_recipes = ?1 "
                                         "ORDER BY cv.IDcv"));
        st.bind(1, *id);
        while (st.next())
            for (int c = 0; c < 3; ++c) {
                const int i = fieldIndex(vitaminField(st.toString(0), c));
                if (i >= 0)
                    stored_[size_t(i)] = st.value(1 + c);
            }
    }
    for (size_t i = 0; i < fs.size(); ++i)
        if (isCalculated(int(i)))
            editor_.setValue(int(i), fixedText(stored_[i], fs[i].decimals));
}

QString CardEditor::caption() const
{
    QString text;
    if (savedHere_)
        text = QStringLiteral("Технологическая карта: ") + name_;
    else if (mode_ == EditMode::Add)
        return bookTitle_ + QStringLiteral(": Новая карта *");
    else
        text = bookTitle_ + QStringLiteral(": ") + name_;
    return marked_ && !text.endsWith(QLatin1Char('*')) ? text + QStringLiteral(" *") : text;
}

QString CardEditor::nutrientCaption() const
{
    return QStringLiteral("Химический состав на ") + editor_.value(vihIndex()).toString().trimmed() +
           QStringLiteral(" г:");
}

void CardEditor::setValue(int index, const QVariant& v)
{
    editor_.setValue(index, v);
    if (index >= 0 && size_t(index) < typed_.size())
        typed_[size_t(index)] = true;
    marked_ = true;
}

bool CardEditor::setText(const QString& field, const QString& text)
{
    if (!editor_.setText(field, text))
        return false;
    const int index = fieldIndex(field);
    if (index >= 0 && size_t(index) < typed_.size())
        typed_[size_t(index)] = true;
    marked_ = true;
    return true;
}

void CardEditor::reload()
{
    if (!cardId_ || marked_)
        return;
    const bool savedHere = savedHere_;
    if (open(EditMode::Edit, *cardId_))
        savedHere_ = savedHere;
}

std::optional<qint64> CardEditor::save()
{
    const auto& fs = fields();
    std::vector<QVariant> stored(fs.size());

    // The fields in the window's order: filled, convertible (a decimal comma read as a point),
    // the name unique or confirmed.
    for (size_t i = 0; i < fs.size(); ++i) {
        const EditorField& f = fs[i];
        const QVariant v = editor_.value(int(i));
        if (f.control == Control::Heading)
            continue;
        if (isCalculated(int(i)) && !typed_[i]) {
            stored[i] = stored_[i];
            continue;
        }
        if (f.control == Control::List) {
            if (v.isNull() || !v.isValid()) {
                if (f.flag != optional) {
                    prompt_.warning(QStringLiteral("Необходимо обязательно выбрать строку в списке ") +
                                    quoted(f.caption) + QLatin1Char('.'));
                    return std::nullopt;
                }
            } else {
                stored[i] = v.toLongLong();
            }
            continue;
        }
        QString text = v.toString();
        if (f.control != Control::Memo)
            text = text.trimmed();
        if (isNumeric(f))
            text.replace(QLatin1Char(','), QLatin1Char('.'));
        if (text.trimmed().isEmpty()) {
            if (f.flag != optional) {
                prompt_.warning(QStringLiteral("Необходимо обязательно заполнить поле ") + quoted(f.caption) +
                                QLatin1Char('.'));
                return std::nullopt;
            }
            continue;
        }
        if (f.limit > 0 && text.size() > f.limit)
            text = text.left(f.limit);
        if (isNumeric(f)) {
            bool ok = false;
            if (f.decimals == 0) {
                stored[i] = text.toLongLong(&ok);
            } else {
                const double d = text.toDouble(&ok);
                ok = ok && std::isfinite(d);
                stored[i] = d;
            }
            if (!ok) {
                prompt_.warning(QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") +
                                quoted(f.caption) + QStringLiteral(" не корректно. Измените введенное значение."));
                return std::nullopt;
            }
        } else {
            stored[i] = text;
        }
        if (f.warnUnique &&
            db_.scalar(QStringLiteral("SELECT COUNT(*) FROM card_recipes WHERE lower(cname) = lower(?1) AND id <> ?2"),
                       {stored[i], cardId_ ? QVariant(*cardId_) : QVariant(qint64(-1))})
                    .toLongLong() > 0 &&
            prompt_.ask(QStringLiteral("Значение ") + quoted(text) + QStringLiteral(" поля ") + quoted(f.caption) +
                            QStringLiteral(" уже имеется в другой строке справочника. Продолжить сохранение?"),
                        Buttons::YesNo, Answer::No) != Answer::Yes)
            return std::nullopt;
    }
    auto storedOf = [&](const char* field) { return stored[size_t(fieldIndex(QString::fromLatin1(field)))]; };

    // The mass the second column is stated for.
    const QVariant vih = stored[size_t(vihIndex())];
    if (vih.toLongLong() == 0) {
        prompt_.warning(QStringLiteral("Укажите количество грамм отличное от нуля в поле \"Химический состав на:\"!"));
        return std::nullopt;
    }

    // The same number from the same collection.
    if (!confirmCardNumber(db_, prompt_, cardId_, storedOf("id_receptur"), storedOf("number1"), storedOf("numRec")))
        return std::nullopt;

    qint64 savedId = 0;
    try {
        Transaction tx(db_);
        QStringList columns;
        std::vector<QVariant> params;
        for (size_t i = 0; i < fs.size(); ++i) {
            const EditorField& f = fs[i];
            if (f.control == Control::Heading || f.field.startsWith(QLatin1Char('$')))
                continue;
            // An existing card keeps the figures of its last calculation unless they were typed.
            if (cardId_ && isCalculated(int(i)) && !typed_[i])
                continue;
            columns << QLatin1Char('[') + f.field + QLatin1Char(']');
            params.push_back(stored[i]);
        }
        if (cardId_) {
            QStringList sets;
            for (int k = 0; k < columns.size(); ++k)
                sets << columns[k] + QStringLiteral(" = ?%1").arg(k + 1);
            params.push_back(*cardId_);
            if (db_.exec(QStringLiteral("UPDATE card_recipes SET ") + sets.join(QStringLiteral(", ")) +
                             QStringLiteral(" WHERE id = ?%1").arg(columns.size() + 1),
                         params) == 0)
                throw DbError(0, QStringLiteral("запись не найдена."));
            savedId = *cardId_;
        } else {
            QStringList marks;
            for (int k = 1; k <= columns.size(); ++k)
                marks << QStringLiteral("?%1").arg(k);
            db_.exec(QStringLiteral("INSERT INTO card_recipes (") + columns.join(QStringLiteral(", ")) +
                         QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                     params);
            savedId = db_.lastInsertId();
        }
        // The card's vitamin rows are written anew, one per vitamin of the block.
        db_.exec(QStringLiteral("DELETE FROM card_vitamin WHERE id_card_recipes = ?1"), {savedId});
        Statement ins(db_, QStringLiteral("INSERT INTO card_vitamin (id_vitamin, id_card_recipes, kol, kol_vih, kolpr, "
                                          "vih) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
        for (const auto& [vitaminId, shname] : vitamins_) {
            ins.reset();
            ins.bindAll({vitaminId, savedId, stored[size_t(fieldIndex(vitaminField(shname, 0)))],
                         stored[size_t(fieldIndex(vitaminField(shname, 1)))],
                         stored[size_t(fieldIndex(vitaminField(shname, 2)))], vih});
            ins.exec();
        }
        if (sourceId_)
            copyCardLinesAndYields(db_, *sourceId_, savedId);
        tx.commit();
    } catch (const DbError& e) {
        reportSaveError(prompt_, e);
        return std::nullopt;
    }
    cardId_ = savedId;
    sourceId_.reset();
    mode_ = EditMode::Edit;
    name_ = storedOf("cname").toString();
    marked_ = false;
    savedHere_ = true;
    readCalculated(savedId);
    return savedId;
}

bool CardEditor::lineCommandAllowed(LineCommand command, int gridRows)
{
    if (!cardId_ && mode_ == EditMode::Add) {
        prompt_.warning(command == LineCommand::Add
                            ? QStringLiteral("Сначала заполните данные о технологической карте, после чего можно будет "
                                             "вводить ингредиенты.")
                            : QStringLiteral("Необходимо сначала заполнить поля для технологической карты."));
        return false;
    }
    if (!cardId_ || marked_) {
        prompt_.warning(command == LineCommand::Delete
                            ? QStringLiteral("Карта не сохранена, сохраните карту и повторите действие удаления.")
                            : QStringLiteral("Есть несохраненные данные, необходимо сохранить карту."));
        return false;
    }
    if (command == LineCommand::Copy && gridRows == 0) {
        prompt_.warning(QStringLiteral("Нет строк для копирования!"));
        return false;
    }
    return gridRows > 0 || command == LineCommand::Add;
}

bool CardEditor::confirmClose(int ingredientRows, int yieldRows)
{
    if (marked_) {
        switch (prompt_.ask(QStringLiteral("Были внесены изменения. Сохранить и закрыть? \"Да\" – сохранить, \"Нет\" "
                                           "– не сохранять, \"Отмена\" – не выходить."),
                            Buttons::YesNoCancel, Answer::Yes)) {
        case Answer::Yes:
            if (!save())
                return false;
            break;
        case Answer::No: return true;  // closes without saving and without further questions
        default: return false;
        }
    }
    // A card that was never saved has no grids to warn about.
    if (!cardId_)
        return true;
    if (ingredientRows == 0 &&
        prompt_.ask(QStringLiteral("Вы не внесли данные об ингредиентах. Закрыть окно?"), Buttons::YesNo,
                    Answer::No) != Answer::Yes)
        return false;
    if (yieldRows == 0 &&
        prompt_.ask(QStringLiteral("Вы не внесли данные о выходах блюда. Закрыть окно?"), Buttons::YesNo,
                    Answer::No) != Answer::Yes)
        return false;
    return true;
}

} // namespace rat::books
