// Nutrition norms: the group rules of saving a norm row, copying and deleting norms, the norms
// list with its group lines and the recommended portion volume of a meal.

#include "menu/Norms.h"
#include "core/DataHelpers.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QLocale>
#include <cmath>

namespace rat::menu {

namespace {

// Group names compare as people read them: letter case and ё/е aside.
const char* const kSameGroup = "upper(fold(gname)) = upper(fold(?2))";

QString typeName(Database& db, qint64 type)
{
    return db.scalar(QStringLiteral("SELECT shname FROM type_eating WHERE id = ?1"), {type}).toString();
}

QString productName(Database& db, qint64 product)
{
    return db.scalar(QStringLiteral("SELECT pname FROM products WHERE id = ?1"), {product}).toString();
}

std::optional<double> numberOf(const QVariant& v)
{
    if (v.isNull() || !v.isValid() || v.toString().trimmed().isEmpty())
        return std::nullopt;
    return v.toDouble();
}

bool sameNorm(std::optional<double> a, std::optional<double> b)
{
    if (!a || !b)
        return a.has_value() == b.has_value();
    return std::fabs(*a - *b) < 1e-9;
}

// The stored norm of a group of an eater type, from its rows other than `ownId`; nothing when
// the group has no other row.
std::optional<std::optional<double>> groupNormOf(Database& db, qint64 type, const QString& group, qint64 ownId)
{
    Statement st(db, QStringLiteral("SELECT norm FROM norms WHERE id_type_eating = ?1 AND ") +
                         QString::fromLatin1(kSameGroup) + QStringLiteral(" AND id <> ?3 ORDER BY id LIMIT 1"));
    st.bindAll({type, group, ownId});
    if (!st.next())
        return std::nullopt;
    return numberOf(st.value(0));
}

void deleteNormRows(Database& db, const QString& where, const std::vector<QVariant>& params)
{
    db.exec(QStringLiteral("DELETE FROM NORMS_POINT WHERE id_norms IN (SELECT id FROM norms WHERE ") + where +
                QLatin1Char(')'),
            params);
    db.exec(QStringLiteral("DELETE FROM norms WHERE ") + where, params);
}

} // namespace

std::optional<double> normNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Either separator is taken; the value is read in the one form both become.
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    // The plain conversion also reads "nan" and "inf", which are no norm.
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

std::optional<NormSavePlan> planNormSave(Database& db, Prompt& prompt, const NormRow& row, NormForm form)
{
    const QString group = row.group.trimmed();
    const qint64 ownId = row.id.value_or(-1);

    // 1. A group name.
    if (group.isEmpty()) {
        prompt.warning(QStringLiteral("Необходимо выбрать группу продуктов из списка или ввести новую!"));
        return std::nullopt;
    }

    const QString product = productName(db, row.product);
    const QString type = typeName(db, row.eaterType);

    // 2-3. The product among the other rows of the eater type.
    Statement same(db, QStringLiteral("SELECT gname FROM norms WHERE id_type_eating = ?1 AND id_product = ?2 AND "
                                      "id <> ?3 ORDER BY id"));
    same.bindAll({row.eaterType, row.product, ownId});
    std::optional<QString> sameGroup, otherGroup;
    while (same.next()) {
        const QString g = same.toString(0);
        if (g.compare(group, Qt::CaseInsensitive) == 0)
            sameGroup = g;
        else if (!otherGroup)
            otherGroup = g;
    }
    if (form != NormForm::Editor) {
        if (sameGroup) {
            prompt.warning(QStringLiteral("Значение ") + quoted(product) + QStringLiteral(" поля ") +
                           quoted(QStringLiteral("Продукт")) +
                           QStringLiteral(" уже имеется в другой строке справочника. Измените введенное значение."));
            return std::nullopt;
        }
        if (otherGroup) {
            QString text = QStringLiteral("Продукт ") + quoted(product) + QStringLiteral(" уже добавлен в нормы в группу ") +
                           quoted(*otherGroup);
            if (form == NormForm::DocumentTyped)
                text += QStringLiteral(" для типа довольствующихся ") + quoted(type);
            prompt.warning(text + QLatin1Char('.'));
            return std::nullopt;
        }
    } else {
        if (sameGroup) {
            prompt.warning(QStringLiteral("Нормы питания для продукта ") + quoted(product) +
                           QStringLiteral(" в группе продуктов ") + quoted(*sameGroup) +
                           QStringLiteral(" для типа довольствующихся ") + quoted(type) +
                           QStringLiteral(" уже указаны в другой строке справочника. Измените введенные значения."));
            return std::nullopt;
        }
        if (otherGroup &&
            prompt.ask(QStringLiteral("Нормы питания для продукта ") + quoted(product) +
                           QStringLiteral(" в типе довольствующихся ") + quoted(type) +
                           QStringLiteral(" уже указаны в другой строке справочника для группы продуктов ") +
                           quoted(*otherGroup) + QStringLiteral(". Уверены, что хотите сохранить?"),
                       Buttons::YesNo, Answer::No) != Answer::Yes)
            return std::nullopt;
    }

    NormSavePlan plan;
    plan.norm = row.norm;

    // The group the stored row belonged to, under its own eater type.
    std::optional<QString> oldGroup;
    if (row.id) {
        Statement st(db, QStringLiteral("SELECT gname, id_type_eating FROM norms WHERE id = ?1"));
        st.bind(1, *row.id);
        if (st.next() && st.toInt64(1) == row.eaterType && !st.isNull(0))
            oldGroup = st.toString(0);
    }
    const bool renamed = oldGroup && oldGroup->compare(group, Qt::CaseInsensitive) != 0;
    // A name is new when no other row of the type has it and the row did not have it already.
    const bool newName = !groupNormOf(db, row.eaterType, group, ownId).has_value() && (!oldGroup || renamed);

    if (newName) {
        // 4. A group name this eater type does not have yet.
        const Answer a = prompt.ask(
            QStringLiteral("Вы ввели новое наименование группы продуктов! Изменить группу продуктов или сохранить как "
                           "новую? \"Да\" - изменить уже существующую группу, \"Нет\" - сохранить как новую, "
                           "\"Отмена\" - не сохранять."),
            Buttons::YesNoCancel, Answer::No);
        if (a == Answer::Cancel || a == Answer::None)
            return std::nullopt;
        if (a == Answer::Yes && renamed)
            plan.renameFrom = oldGroup;
    } else if (renamed) {
        // 5. The row moves to another existing group.
        const Answer a = prompt.ask(
            QStringLiteral("Вы изменили наименование группы продуктов! Изменить группу продуктов у всех? \"Да\" - "
                           "изменить у всех, \"Нет\" - изменить только у выбранного продукта."),
            Buttons::YesNo, Answer::No);
        if (a == Answer::Yes)
            plan.renameFrom = oldGroup;
    }

    // 6. The group's norm: from the group's other rows, or from the renamed group's rows.
    std::optional<std::optional<double>> stored = groupNormOf(db, row.eaterType, group, ownId);
    if (!stored && plan.renameFrom)
        stored = groupNormOf(db, row.eaterType, *plan.renameFrom, ownId);
    if (stored && !sameNorm(*stored, row.norm)) {
        const Answer a = prompt.ask(QStringLiteral("Вы изменили норму для группы продуктов ") + quoted(group) +
                                        QStringLiteral("! Сохранить для всей группы продуктов? \"Да\" - сохранить, "
                                                       "\"Нет\" - сохранить прежнее значение, \"Отмена\" - не сохранять."),
                                    Buttons::YesNoCancel, Answer::No);
        if (a == Answer::Cancel || a == Answer::None)
            return std::nullopt;
        if (a == Answer::Yes)
            plan.groupNorm = true;
        else
            plan.norm = *stored;
    } else if (stored) {
        plan.groupNorm = plan.renameFrom.has_value();
    }
    return plan;
}

void applyNormSave(Database& db, const NormRow& row, const NormSavePlan& plan)
{
    const QString group = row.group.trimmed();
    if (plan.renameFrom)
        db.exec(QStringLiteral("UPDATE norms SET gname = ?3 WHERE id_type_eating = ?1 AND ") +
                    QString::fromLatin1(kSameGroup),
                {row.eaterType, *plan.renameFrom, group});
    if (plan.groupNorm)
        db.exec(QStringLiteral("UPDATE norms SET norm = ?3 WHERE id_type_eating = ?1 AND ") +
                    QString::fromLatin1(kSameGroup),
                {row.eaterType, group, plan.norm ? QVariant(*plan.norm) : QVariant()});
}

std::optional<qint64> saveNormRow(Database& db, Prompt& prompt, NormRow row, NormForm form)
{
    const std::optional<NormSavePlan> plan = planNormSave(db, prompt, row, form);
    if (!plan)
        return std::nullopt;
    row.group = row.group.trimmed();
    const QVariant norm = plan->norm ? QVariant(*plan->norm) : QVariant();
    Transaction tx(db);
    if (row.id) {
        db.exec(QStringLiteral("UPDATE norms SET id_type_eating = ?1, gname = ?2, norm = ?3, id_product = ?4 "
                               "WHERE id = ?5"),
                {row.eaterType, row.group, norm, row.product, *row.id});
    } else {
        db.exec(QStringLiteral("INSERT INTO norms (id_type_eating, gname, norm, id_product) VALUES (?1, ?2, ?3, ?4)"),
                {row.eaterType, row.group, norm, row.product});
        row.id = db.lastInsertId();
    }
    applyNormSave(db, row, *plan);
    tx.commit();
    return row.id;
}

// ---- copying ----

std::optional<int> copyNorms(Database& db, Prompt& prompt, qint64 fromType, qint64 toType)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_type_eating = ?1"), {fromType}).toLongLong() == 0) {
        prompt.warning(QStringLiteral("У выбранного типа довольствующихся ") + quoted(typeName(db, fromType)) +
                       QStringLiteral(" нет данных о нормах. Копирование невозможно."));
        return std::nullopt;
    }
    bool replace = false;
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_type_eating = ?1"), {toType}).toLongLong() > 0)
        replace = prompt.ask(QStringLiteral("В выбранном типе довольствующихся уже введены данные о нормах. \"Да\" - "
                                            "заменить данные, \"Нет\" - дозаписать данные."),
                             Buttons::YesNo, Answer::No) == Answer::Yes;

    Transaction tx(db);
    if (replace)
        deleteNormRows(db, QStringLiteral("id_type_eating = ?1"), {toType});
    Statement source(db, QStringLiteral("SELECT id, norm, id_product, gname FROM norms WHERE id_type_eating = ?1 "
                                        "AND (?3 OR COALESCE(id_product, 0) NOT IN (SELECT COALESCE(id_product, 0) "
                                        "FROM norms WHERE id_type_eating = ?2)) ORDER BY id"));
    source.bindAll({fromType, toType, replace ? 1 : 0});
    Statement add(db, QStringLiteral("INSERT INTO norms (norm, id_product, gname, id_type_eating) VALUES (?1, ?2, ?3, ?4)"));
    Statement split(db, QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) SELECT ?1, id_eating, kol "
                                       "FROM NORMS_POINT WHERE id_norms = ?2 ORDER BY IDNP"));
    // The rows to copy are read first: the target's new rows must not feed the skip test.
    struct Source {
        qint64 id;
        QVariant norm, product, group;
    };
    std::vector<Source> rows;
    while (source.next())
        rows.push_back({source.toInt64(0), source.value(1), source.value(2), source.value(3)});
    for (const Source& r : rows) {
        add.reset();
        add.bindAll({r.norm, r.product, r.group, toType});
        add.exec();
        split.reset();
        split.bindAll({db.lastInsertId(), r.id});
        split.exec();
    }
    tx.commit();
    return int(rows.size());
}

std::optional<int> copyNormsToChosen(Database& db, Prompt& prompt, qint64 fromType)
{
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE id_type_eating = ?1"), {fromType}).toLongLong() == 0) {
        prompt.warning(QStringLiteral("У выбранного типа довольствующихся ") + quoted(typeName(db, fromType)) +
                       QStringLiteral(" нет данных о нормах. Копирование невозможно."));
        return std::nullopt;
    }
    std::vector<qint64> ids;
    QStringList names;
    Statement st(db, QStringLiteral("SELECT id, shname FROM type_eating WHERE COALESCE(status, 0) <> 0 AND id <> ?1 "
                                    "ORDER BY shname COLLATE RU, id"));
    st.bind(1, fromType);
    while (st.next()) {
        ids.push_back(st.toInt64(0));
        names << st.toString(1);
    }
    const std::optional<int> chosen = prompt.choose(QStringLiteral("Выберите тип довольствующегося куда копировать нормы"),
                                                    QStringLiteral("Выберите тип довольствующегося:"), names);
    if (!chosen || *chosen < 0 || *chosen >= int(ids.size())) {
        prompt.warning(QStringLiteral("Не был выбран тип довольствующегося. Копирование невозможно."));
        return std::nullopt;
    }
    return copyNorms(db, prompt, fromType, ids[size_t(*chosen)]);
}

// ---- deleting ----

bool deleteNormsOfType(Database& db, Prompt& prompt, qint64 eaterType)
{
    if (prompt.ask(QStringLiteral("Удалить нормы для типа довольствующего  ") + quoted(typeName(db, eaterType)) +
                       QStringLiteral(" полностью? Внимание: отменить удаление будет невозможно, все данные придется "
                                      "вводить заново. Продолжить?"),
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    prompt.status(QStringLiteral("Идет удаление норм питания..."));
    Transaction tx(db);
    deleteNormRows(db, QStringLiteral("id_type_eating = ?1"), {eaterType});
    tx.commit();
    prompt.status(QString());
    return true;
}

bool deleteNormGroup(Database& db, Prompt& prompt, qint64 eaterType, const QString& group)
{
    const QString where = QStringLiteral("id_type_eating = ?1 AND ") + QString::fromLatin1(kSameGroup);
    const qint64 n = db.scalar(QStringLiteral("SELECT COUNT(*) FROM norms WHERE ") + where, {eaterType, group}).toLongLong();
    if (prompt.ask(QStringLiteral("Удалить нормы для всей группы продуктов ") + group +
                       QStringLiteral("? Продуктов в группе: ") + QString::number(n),
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    Transaction tx(db);
    deleteNormRows(db, where, {eaterType, group});
    tx.commit();
    return true;
}

bool deleteNormProduct(Database& db, Prompt& prompt, qint64 normId)
{
    Statement st(db, QStringLiteral("SELECT p.pname, n.gname FROM norms n LEFT JOIN products p ON p.id = n.id_product "
                                    "WHERE n.id = ?1"));
    st.bind(1, normId);
    if (!st.next())
        return false;
    if (prompt.ask(QStringLiteral("Удалить продукт ") + quoted(st.toString(0)) + QStringLiteral(" из группы продуктов ") +
                       quoted(st.toString(1)) + QStringLiteral("?"),
                   Buttons::YesNo, Answer::No) != Answer::Yes)
        return false;
    Transaction tx(db);
    deleteNormRows(db, QStringLiteral("id = ?1"), {normId});
    tx.commit();
    return true;
}

// ---- lists ----

std::vector<NormListLine> normsList(Database& db, qint64 eaterType)
{
    std::vector<NormListLine> out;
    Statement st(db, QStringLiteral("SELECT n.id, n.gname, n.norm, p.pname, t.shname FROM norms n "
                                    "LEFT JOIN products p ON p.id = n.id_product "
                                    "LEFT JOIN type_eating t ON t.id = n.id_type_eating "
                                    "WHERE n.id_type_eating = ?1 ORDER BY n.gname COLLATE RU, p.pname COLLATE RU, n.id"));
    st.bind(1, eaterType);
    QString current;
    bool first = true;
    while (st.next()) {
        const QString group = st.toString(1);
        if (first || group.compare(current, Qt::CaseInsensitive) != 0) {
            NormListLine g;
            g.isGroup = true;
            g.id = st.toInt64(0);
            g.group = group;
            g.text = group;
            g.norm = numberOf(st.value(2));
            out.push_back(g);
            current = group;
            first = false;
        }
        NormListLine p;
        p.id = st.toInt64(0);
        p.group = group;
        p.text = st.toString(3);
        p.eaterType = st.toString(4);
        out.push_back(p);
    }
    return out;
}

QString portionVolumeText(Database& db, qint64 eaterType, qint64 meal)
{
    Statement st(db, QStringLiteral("SELECT objemMin, objemMax FROM SOBBLUD WHERE id_type_eating = ?1 AND "
                                    "id_eating = ?2 ORDER BY idSO LIMIT 1"));
    st.bindAll({eaterType, meal});
    if (!st.next())
        return QString();
    const QString min = plainNumber(st.toDouble(0));
    if (!st.isNull(1) && st.toDouble(1) != 0)
        return QStringLiteral(" (") + min + QStringLiteral(" - ") + plainNumber(st.toDouble(1)) + QLatin1Char(')');
    return QStringLiteral(" (") + min + QLatin1Char(')');
}

QString energyShareText(const QVariant& status, const QVariant& proz1, const QVariant& proz2, const QString& separator)
{
    const auto text = [](const QVariant& v) { return v.isNull() ? QString() : plainNumber(v.toDouble()); };
    if (!status.isNull() && status.toLongLong() != 0)
        return text(proz1) + separator + text(proz2);
    return text(proz1);
}

} // namespace rat::menu
