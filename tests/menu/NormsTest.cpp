// Product norms: the group rules of saving a row with their questions in order, copying with
// replace and append, the three deletions, the list with group lines, the portion volume and
// the energy share texts.

#include "DayMenuFixture.h"
#include "core/DataHelpers.h"
#include "menu/Norms.h"
#include "refbooks/BookList.h"
#include "refbooks/RecordEditor.h"

using namespace rat;
using namespace rat::menu;

namespace {

class NormsTest : public test::DayMenuFixture {
protected:
    void SetUp() override
    {
        DayMenuFixture::SetUp();
        db().execScript(QStringLiteral("DELETE FROM norms; DELETE FROM NORMS_POINT; DELETE FROM SOBBLUD; "
                                       "DELETE FROM RASPS_CALL"));
        menuId = planMenu(QStringLiteral("Осень"), 2);
        nursery = eaterType(menuId, QStringLiteral("Ясли"));
        garden = eaterType(menuId, QStringLiteral("Сад"));
        milk = product(QStringLiteral("Молоко"));
        kefir = product(QStringLiteral("Кефир"));
        rice = product(QStringLiteral("Рис"));
        prompt.clear();
    }

    qint64 norm(qint64 type, const QString& group, double value, qint64 productId)
    {
        return insert(QStringLiteral("INSERT INTO norms (id_type_eating, gname, norm, id_product) VALUES (?1, ?2, ?3, ?4)"),
                      {type, group, value, productId});
    }
    // "group:product=norm" of the type's rows, by id.
    QStringList rows(qint64 type)
    {
        QStringList out;
        Statement st(db(), QStringLiteral("SELECT n.gname, p.pname, n.norm FROM norms n LEFT JOIN products p "
                                          "ON p.id = n.id_product WHERE n.id_type_eating = ?1 ORDER BY n.id"));
        st.bind(1, type);
        while (st.next())
            out << QStringLiteral("%1:%2=%3").arg(st.toString(0), st.toString(1), plainNumber(st.toDouble(2)));
        return out;
    }
    NormRow row(std::optional<qint64> id, qint64 type, const QString& group, double value, qint64 productId)
    {
        NormRow r;
        r.id = id;
        r.eaterType = type;
        r.group = group;
        r.norm = value;
        r.product = productId;
        return r;
    }

    qint64 menuId = 0, nursery = 0, garden = 0, milk = 0, kefir = 0, rice = 0;
};

const QString kNewGroup = QStringLiteral(
    "question: Вы ввели новое наименование группы продуктов! Изменить группу продуктов или сохранить как новую? "
    "\"Да\" - изменить уже существующую группу, \"Нет\" - сохранить как новую, \"Отмена\" - не сохранять. => ");
const QString kRenamed = QStringLiteral(
    "question: Вы изменили наименование группы продуктов! Изменить группу продуктов у всех? \"Да\" - изменить у "
    "всех, \"Нет\" - изменить только у выбранного продукта. => ");
QString normChanged(const QString& group, const QString& answer)
{
    return QStringLiteral("question: Вы изменили норму для группы продуктов \"") + group +
           QStringLiteral("\"! Сохранить для всей группы продуктов? \"Да\" - сохранить, \"Нет\" - сохранить прежнее "
                          "значение, \"Отмена\" - не сохранять. => ") +
           answer;
}

TEST_F(NormsTest, RefusalsLeaveTheNormsAsTheyWere)
{
    norm(nursery, QStringLiteral("Молочные"), 300, milk);
    norm(nursery, QStringLiteral("Кисломолочные"), 150, kefir);
    const QStringList before = dump(QStringLiteral("norms"));
    struct Case {
        NormForm form;
        QString group;
        qint64 product;
        QString message;
    };
    const std::vector<Case> cases = {
        {NormForm::Document, QStringLiteral("  "), rice,
         QStringLiteral("warning: Необходимо выбрать группу продуктов из списка или ввести новую!")},
        {NormForm::Document, QStringLiteral("молочные"), milk,
         QStringLiteral("warning: Значение \"Молоко\" поля \"Продукт\" уже имеется в другой строке справочника. "
                        "Измените введенное значение.")},
        {NormForm::Document, QStringLiteral("Молочные"), kefir,
         QStringLiteral("warning: Продукт \"Кефир\" уже добавлен в нормы в группу \"Кисломолочные\".")},
        {NormForm::DocumentTyped, QStringLiteral("Молочные"), kefir,
         QStringLiteral("warning: Продукт \"Кефир\" уже добавлен в нормы в группу \"Кисломолочные\" для типа "
                        "довольствующихся \"Ясли\".")},
        {NormForm::Editor, QStringLiteral("Молочные"), milk,
         QStringLiteral("warning: Нормы питания для продукта \"Молоко\" в группе продуктов \"Молочные\" для типа "
                        "довольствующихся \"Ясли\" уже указаны в другой строке справочника. Измените введенные "
                        "значения.")},
    };
    for (const Case& c : cases) {
        prompt.clear();
        EXPECT_FALSE(saveNormRow(db(), prompt, row({}, nursery, c.group, 300, c.product), c.form));
        EXPECT_EQ(prompt.messages(), QStringList{c.message});
        EXPECT_EQ(dump(QStringLiteral("norms")), before);
    }

    // The editor asks before a product goes under a second group; "Нет" saves nothing.
    prompt.clear();
    prompt.answers = {Answer::No};
    EXPECT_FALSE(saveNormRow(db(), prompt, row({}, nursery, QStringLiteral("Молочные"), 300, kefir), NormForm::Editor));
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("question: Нормы питания для продукта \"Кефир\" в типе довольствующихся "
                                         "\"Ясли\" уже указаны в другой строке справочника для группы продуктов "
                                         "\"Кисломолочные\". Уверены, что хотите сохранить? => Нет")});
    EXPECT_EQ(dump(QStringLiteral("norms")), before);

    // "Отмена" to a new group name, and to a changed group norm.
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    EXPECT_FALSE(saveNormRow(db(), prompt, row({}, nursery, QStringLiteral("Крупы"), 40, rice), NormForm::Document));
    EXPECT_EQ(prompt.messages(), QStringList{kNewGroup + QStringLiteral("Отмена")});
    prompt.clear();
    prompt.answers = {Answer::Cancel};
    EXPECT_FALSE(saveNormRow(db(), prompt, row({}, nursery, QStringLiteral("Молочные"), 350, rice), NormForm::Document));
    EXPECT_EQ(prompt.messages(), QStringList{normChanged(QStringLiteral("Молочные"), QStringLiteral("Отмена"))});
    EXPECT_EQ(dump(QStringLiteral("norms")), before);
}

TEST_F(NormsTest, EditorQuestionYesSavesTheProductUnderASecondGroup)
{
    norm(nursery, QStringLiteral("Кисломолочные"), 150, kefir);
    prompt.answers = {Answer::Yes, Answer::No};
    ASSERT_TRUE(saveNormRow(db(), prompt, row({}, nursery, QStringLiteral("Молочные"), 300, kefir), NormForm::Editor));
    EXPECT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages().value(1), kNewGroup + QStringLiteral("Нет"));
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Кисломолочные:Кефир=150"), QStringLiteral("Молочные:Кефир=300")}));
}

TEST_F(NormsTest, GroupRenamedWithYesForAllAndNoForOne)
{
    const qint64 a = norm(nursery, QStringLiteral("Молочные"), 300, milk);
    norm(nursery, QStringLiteral("Молочные"), 300, kefir);
    norm(garden, QStringLiteral("Молочные"), 400, milk);  // another eater type keeps its name

    // A new name, "Да": the whole group takes it.
    prompt.answers = {Answer::Yes};
    ASSERT_EQ(saveNormRow(db(), prompt, row(a, nursery, QStringLiteral("Молоко и кефир"), 300, milk), NormForm::Document), a);
    EXPECT_EQ(prompt.messages(), QStringList{kNewGroup + QStringLiteral("Да")});
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молоко и кефир:Молоко=300"),
                                          QStringLiteral("Молоко и кефир:Кефир=300")}));
    EXPECT_EQ(rows(garden), QStringList{QStringLiteral("Молочные:Молоко=400")});

    // A new name, "Нет": the row alone.
    prompt.clear();
    prompt.answers = {Answer::No};
    ASSERT_TRUE(saveNormRow(db(), prompt, row(a, nursery, QStringLiteral("Молоко"), 300, milk), NormForm::Document));
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молоко:Молоко=300"), QStringLiteral("Молоко и кефир:Кефир=300")}));

    // Back into the existing group: the rename question; "Да" moves every row of the old name.
    const qint64 r = norm(nursery, QStringLiteral("Молоко"), 300, rice);
    prompt.clear();
    prompt.answers = {Answer::Yes};
    ASSERT_TRUE(saveNormRow(db(), prompt, row(r, nursery, QStringLiteral("Молоко и кефир"), 300, rice), NormForm::Document));
    EXPECT_EQ(prompt.messages(), QStringList{kRenamed + QStringLiteral("Да")});
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молоко и кефир:Молоко=300"),
                                          QStringLiteral("Молоко и кефир:Кефир=300"),
                                          QStringLiteral("Молоко и кефир:Рис=300")}));
}

TEST_F(NormsTest, ChangedGroupNormYesForTheWholeGroupNoKeepsTheOldOne)
{
    const qint64 a = norm(nursery, QStringLiteral("Молочные"), 300, milk);
    norm(nursery, QStringLiteral("Молочные"), 300, kefir);
    norm(garden, QStringLiteral("Молочные"), 400, milk);

    prompt.answers = {Answer::Yes};
    ASSERT_TRUE(saveNormRow(db(), prompt, row(a, nursery, QStringLiteral("Молочные"), 350, milk), NormForm::Document));
    EXPECT_EQ(prompt.messages(), QStringList{normChanged(QStringLiteral("Молочные"), QStringLiteral("Да"))});
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молочные:Молоко=350"), QStringLiteral("Молочные:Кефир=350")}));
    EXPECT_EQ(rows(garden), QStringList{QStringLiteral("Молочные:Молоко=400")});

    prompt.clear();
    prompt.answers = {Answer::No};
    ASSERT_TRUE(saveNormRow(db(), prompt, row({}, nursery, QStringLiteral("Молочные"), 500, rice), NormForm::Document));
    EXPECT_EQ(rows(nursery).value(2), QStringLiteral("Молочные:Рис=350"));
}

TEST_F(NormsTest, GenericSaveOfTheBookRunsTheGroupRules)
{
    const qint64 a = norm(nursery, QStringLiteral("Молочные"), 300, milk);
    norm(nursery, QStringLiteral("Молочные"), 300, kefir);
    books::RecordEditor editor(db(), prompt, entryNorms);
    ASSERT_TRUE(editor.open(books::EditMode::Edit, a));
    ASSERT_TRUE(editor.setText(QStringLiteral("norm"), QStringLiteral("312,5")));
    prompt.answers = {Answer::Yes};
    ASSERT_EQ(editor.save(), a);
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молочные:Молоко=312.5"), QStringLiteral("Молочные:Кефир=312.5")}));

    // The list: the group line with its norm, then the products by name.
    books::ListFilter f;
    f.parent = nursery;
    const books::BookList list = books::loadList(db(), entryNorms, f);
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.rows[0], (QStringList{QStringLiteral("Молочные"), QStringLiteral("312,50"), QString()}));
    EXPECT_LT(list.ids[0], 0);
    EXPECT_EQ(list.rows[1].value(0), QStringLiteral("Кефир"));
    EXPECT_EQ(list.rows[2], (QStringList{QStringLiteral("Молоко"), QString(), QStringLiteral("Ясли")}));
}

TEST_F(NormsTest, NumbersTakeAPointOrAComma)
{
    EXPECT_EQ(normNumber(QStringLiteral("12,5")), 12.5);
    EXPECT_EQ(normNumber(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_FALSE(normNumber(QStringLiteral("")));
    EXPECT_FALSE(normNumber(QStringLiteral("12а")));
    for (const char* notANumber : {"nAn", "inf", "-INF", "nan"})  // read as numbers by the plain conversion
        EXPECT_FALSE(normNumber(QString::fromLatin1(notANumber))) << notANumber;
}

TEST_F(NormsTest, CopyWithNoKeepsTheTargetsProductAndYesReplaces)
{
    const qint64 m = norm(nursery, QStringLiteral("Молочные"), 300, milk);
    norm(nursery, QStringLiteral("Молочные"), 300, kefir);
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));
    db().exec(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (?1, ?2, 120)"), {m, breakfast});
    norm(garden, QStringLiteral("Молоко"), 500, milk);

    prompt.answers = {Answer::No};
    EXPECT_EQ(copyNorms(db(), prompt, nursery, garden), 1);
    EXPECT_EQ(prompt.messages(),
              QStringList{QStringLiteral("question: В выбранном типе довольствующихся уже введены данные о нормах. "
                                         "\"Да\" - заменить данные, \"Нет\" - дозаписать данные. => Нет")});
    EXPECT_EQ(rows(garden), (QStringList{QStringLiteral("Молоко:Молоко=500"), QStringLiteral("Молочные:Кефир=300")}));

    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_EQ(copyNorms(db(), prompt, nursery, garden), 2);
    EXPECT_EQ(rows(garden), (QStringList{QStringLiteral("Молочные:Молоко=300"), QStringLiteral("Молочные:Кефир=300")}));
    // The meal split went along; the target's old splits are gone.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT p JOIN norms n ON n.id = p.id_norms "
                                   "WHERE n.id_type_eating = ?1 AND p.kol = 120"),
                    {garden}),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT")), 2);
}

TEST_F(NormsTest, CopyRefusals)
{
    norm(garden, QStringLiteral("Молоко"), 500, milk);
    const QStringList before = dump(QStringLiteral("norms"));
    EXPECT_FALSE(copyNorms(db(), prompt, nursery, garden));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("warning: У выбранного типа довольствующихся \"Ясли\" нет "
                                                            "данных о нормах. Копирование невозможно.")});
    prompt.clear();
    prompt.choices = {std::nullopt};
    EXPECT_FALSE(copyNormsToChosen(db(), prompt, garden));
    EXPECT_EQ(prompt.messages().value(1),
              QStringLiteral("warning: Не был выбран тип довольствующегося. Копирование невозможно."));
    EXPECT_EQ(dump(QStringLiteral("norms")), before);

    prompt.clear();
    prompt.choices = {0};
    EXPECT_EQ(copyNormsToChosen(db(), prompt, garden), 1);
    EXPECT_EQ(prompt.messages().value(0), QStringLiteral("choose: Выберите тип довольствующегося куда копировать нормы => Ясли"));
}

TEST_F(NormsTest, DeletionsAskAndTakeTheMealSplits)
{
    const qint64 m = norm(nursery, QStringLiteral("Молочные"), 300, milk);
    const qint64 k = norm(nursery, QStringLiteral("Молочные"), 300, kefir);
    norm(nursery, QStringLiteral("Крупы"), 40, rice);
    norm(garden, QStringLiteral("Молочные"), 400, milk);
    const qint64 breakfast = meal(QStringLiteral("Завтрак"));
    db().exec(QStringLiteral("INSERT INTO NORMS_POINT (id_norms, id_eating, kol) VALUES (?1, ?2, 100), (?3, ?2, 50)"),
              {m, breakfast, k});

    prompt.answers = {Answer::No};
    EXPECT_FALSE(deleteNormProduct(db(), prompt, k));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("question: Удалить продукт \"Кефир\" из группы продуктов "
                                                            "\"Молочные\"? => Нет")});
    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(deleteNormProduct(db(), prompt, k));
    EXPECT_EQ(rows(nursery), (QStringList{QStringLiteral("Молочные:Молоко=300"), QStringLiteral("Крупы:Рис=40")}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT")), 1);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(deleteNormGroup(db(), prompt, nursery, QStringLiteral("Молочные")));
    EXPECT_EQ(prompt.messages(), QStringList{QStringLiteral("question: Удалить нормы для всей группы продуктов "
                                                            "Молочные? Продуктов в группе: 1 => Да")});
    EXPECT_EQ(rows(nursery), QStringList{QStringLiteral("Крупы:Рис=40")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM NORMS_POINT")), 0);

    prompt.clear();
    prompt.answers = {Answer::Yes};
    EXPECT_TRUE(deleteNormsOfType(db(), prompt, nursery));
    EXPECT_EQ(prompt.events.value(0),
              QStringLiteral("question: Удалить нормы для типа довольствующего  \"Ясли\" полностью? Внимание: "
                             "отменить удаление будет невозможно, все данные придется вводить заново. Продолжить? => Да"));
    EXPECT_EQ(prompt.events.value(1), QStringLiteral("status: Идет удаление норм питания..."));
    EXPECT_TRUE(rows(nursery).isEmpty());
    EXPECT_EQ(rows(garden), QStringList{QStringLiteral("Молочные:Молоко=400")});
}

TEST_F(NormsTest, PortionVolumeAndEnergyShareTexts)
{
    const qint64 breakfast = meal(QStringLiteral("Завтрак")), lunch = meal(QStringLiteral("Обед")),
                 dinner = meal(QStringLiteral("Ужин"));
    db().exec(QStringLiteral("INSERT INTO SOBBLUD (id_type_eating, id_eating, objemMin, objemMax) VALUES "
                             "(?1, ?2, 350, 450), (?1, ?3, 500, 0)"),
              {nursery, breakfast, lunch});
    EXPECT_EQ(portionVolumeText(db(), nursery, breakfast), QStringLiteral(" (350 - 450)"));
    EXPECT_EQ(portionVolumeText(db(), nursery, lunch), QStringLiteral(" (500)"));
    EXPECT_EQ(portionVolumeText(db(), nursery, dinner), QString());

    EXPECT_EQ(energyShareText(0, 25, 30, QStringLiteral(" - ")), QStringLiteral("25"));
    EXPECT_EQ(energyShareText(-1, 20, 25, QStringLiteral(" - ")), QStringLiteral("20 - 25"));

    // The energy-distribution list: a single value shows proz1 alone.
    db().exec(QStringLiteral("INSERT INTO RASPS_CALL (id_eating, status, proz1, proz2) VALUES (?1, 0, 25, 30), "
                             "(?2, -1, 35, 40)"),
              {breakfast, lunch});
    const books::BookList shares = books::loadList(db(), books::entryEnergyDistribution);
    ASSERT_EQ(shares.rowCount(), 2);
    EXPECT_EQ(shares.rows[0], (QStringList{QStringLiteral("Завтрак"), QStringLiteral("25")}));
    EXPECT_EQ(shares.rows[1], (QStringList{QStringLiteral("Обед"), QStringLiteral("35-40")}));
}

} // namespace

namespace {

TEST_F(NormsTest, TheOnlyRowOfAGroupKeepsItsNameWithoutAQuestion)
{
    const qint64 a = norm(nursery, QStringLiteral("Крупы"), 40, rice);
    ASSERT_EQ(saveNormRow(db(), prompt, row(a, nursery, QStringLiteral("Крупы"), 45, rice), NormForm::Document), a);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
    EXPECT_EQ(rows(nursery), QStringList{QStringLiteral("Крупы:Рис=45")});
}

} // namespace
