// The product window's logic: fields in the window's order, the nutrient block, the caption
// and the save with the product's checks.

#include "refbooks/ProductEditor.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Parameters.h"
#include "core/Prompt.h"
#include "refbooks/RecordEditor.h"

#include <QStringList>

namespace rat::books {

namespace {

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

// The product window's fields in its order: the product, then the nutrient block with every
// vitamin (not only those the cards count). `nutrientStart` receives where the block begins.
std::vector<EditorField> productFields(Database& db, int& nutrientStart)
{
    EditorField code = textField(QStringLiteral("Шифр продукта"), "schif", 100, optional);
    code.warnUnique = true;
    std::vector<EditorField> fields = {
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
    nutrientStart = int(fields.size());
    fields.push_back(numberField(QStringLiteral("Белки, г"), "protein"));
    fields.push_back(numberField(QStringLiteral("Жиры, г"), "fat"));
    fields.push_back(numberField(QStringLiteral("Углеводы, г"), "carbohyd"));
    fields.push_back(numberField(QStringLiteral("Калорий, ккал"), "calories"));
    for (const auto& [vitaminId, vitaminCode] : vitaminsOf(db, VitaminSet::All)) {
        EditorField f = numberField(vitaminCode + QStringLiteral(", мг"), "", 3);
        f.field = QLatin1Char('$') + vitaminCode;
        fields.push_back(f);
    }
    return fields;
}

} // namespace

ProductEditor::ProductEditor(Database& db, Prompt& prompt)
    : db_(db), prompt_(prompt), editor_(db, prompt, entryProducts, productFields(db, nutrientStart_))
{
}

bool ProductEditor::open(EditMode mode, std::optional<qint64> id, std::optional<qint64> group)
{
    copyUnsaved_ = false;
    name_.clear();
    if (!editor_.open(mode, mode == EditMode::Add ? std::nullopt : id, group))
        return false;
    if (mode != EditMode::Add) {
        name_ = editor_.value(editor_.fieldIndex(QStringLiteral("pname"))).toString();
        copyUnsaved_ = mode == EditMode::Copy;
    }
    return true;
}

QString ProductEditor::caption() const
{
    const ResolvedBook& book = editor_.book();
    const QString title = book.def ? book.def->listTitle : QStringLiteral("Продукты");
    const QString text =
        title + (mode() == EditMode::Add ? QStringLiteral(": Новый продукт") : QStringLiteral(": ") + name_);
    return isChanged() ? text + QStringLiteral(" *") : text;
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
    const std::optional<qint64> saved = editor_.save();
    if (!saved)
        return std::nullopt;
    copyUnsaved_ = false;
    name_ = editor_.value(editor_.fieldIndex(QStringLiteral("pname"))).toString();

    if (db_.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_product = ?1"), {*saved}).toLongLong() == 0 &&
        prompt_.ask(QStringLiteral("Рекомендуется добавить продукт в справочник \"Нормы питания\" по всем типам "
                                   "довольствующихся для корректного выполнения различных отчетов, например "
                                   "\"Анализа плана меню на соответствие нормам питания\". Открыть справочник "
                                   "\"Нормы питания\"?"),
                    Buttons::YesNo, Answer::Yes) == Answer::Yes &&
        onOpenNorms)
        onOpenNorms();
    return saved;
}

bool ProductEditor::confirmClose()
{
    if (!isChanged())
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
