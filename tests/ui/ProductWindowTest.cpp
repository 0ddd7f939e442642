// The product window offscreen: a product opened, changed (the caption's marker), saved and
// opened again; typing refused in numeric fields; the VAT default on focus; closing with
// changes; a product deleted meanwhile.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/BookWindows.h"
#include "ui/ProductWindow.h"
#include "ui/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace rat;
using rat::books::EditMode;
using rat::test::field;
using rat::test::press;
using rat::test::typeInto;

namespace {

struct ProductFile {
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    qint64 milk = 0;

    ProductFile()
    {
        EXPECT_TRUE(createAndFillDatabase(session, env.path("p.db")));
        db().execScript(QStringLiteral(
            "INSERT INTO product_group (pname) VALUES ('Молочные');"
            "INSERT INTO ed_izmer (ename, koef) VALUES ('л', 1000);"
            "INSERT INTO products (pname, id_product_group, id_ed_izmer, schif, time_storage, time_period, rule_okr, "
            "protein, plpris) VALUES ('Молоко', 1, 1, 'M-1', 5, 2, 3, 2.8, 95.5);"
            "INSERT INTO vitamin_quantity (id_product, id_vitamin, quantity) "
            "SELECT 1, id, 120 FROM vitamin WHERE shname = 'Ca';"
            // With norms for it, saving asks nothing.
            "INSERT INTO norms (id_type_eating, norm, id_product) VALUES (1, 300, 1);"));
        milk = 1;
        prompt.clear();
    }
    Database& db() { return session.db(); }
};

void clearAndType(QLineEdit* e, const QString& text)
{
    e->selectAll();
    e->del();
    typeInto(e, text);
}

} // namespace

TEST(ProductWindow, OpenChangeSaveReopen)
{
    ProductFile f;
    {
        ui::ProductWindow w(f.db(), f.prompt);
        ASSERT_TRUE(w.open(EditMode::Edit, f.milk));
        w.show();
        EXPECT_EQ(w.objectName(), QStringLiteral("FrmProd"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Молоко"));
        auto* name = field<QLineEdit>(w, "pname");
        EXPECT_EQ(name->text(), QStringLiteral("Молоко"));
        EXPECT_EQ(name->maxLength(), 255);
        EXPECT_EQ(field<QComboBox>(w, "id_product_group")->currentText(), QStringLiteral("Молочные"));
        EXPECT_EQ(field<QComboBox>(w, "time_period")->currentText(), QStringLiteral("сут."));
        EXPECT_EQ(field<QComboBox>(w, "rule_okr")->currentText(), QStringLiteral("сотых (1,55)"));
        EXPECT_EQ(field<QLineEdit>(w, "protein")->text(), QStringLiteral("2,8"));
        EXPECT_EQ(field<QLineEdit>(w, "plpris")->text(), QStringLiteral("95,5"));
        EXPECT_EQ(field<QLineEdit>(w, "$Ca")->text(), QStringLiteral("120"));
        EXPECT_EQ(field<QLineEdit>(w, "$C")->text(), QString());
        QStringList labels;
        for (const QLabel* l : w.findChildren<QLabel*>())
            labels << l->text();
        for (const char* c : {"Группа продуктов", "Наименование", "Ед.изм.", "Шифр продукта", "Срок хранения",
                              "Период срока хранения", "Округлять до", "% несъедобной части",
                              "Плановая цена, тг. за единицу измерения", "Процент НДС, %", "Белки, г", "Жиры, г",
                              "Углеводы, г", "Калорий, ккал", "Витамины и минералы:", "Ca, мг", "C, мг"})
            EXPECT_TRUE(labels.contains(QString::fromUtf8(c))) << c;
        EXPECT_EQ(field<QCheckBox>(w, "trueVit")->text(), QStringLiteral("Обогащен витаминами и микроэлементами"));
        EXPECT_EQ(w.okButton()->text(), QStringLiteral("ОК"));
        EXPECT_EQ(w.cancelButton()->text(), QStringLiteral("Отмена"));

        // Any change marks the caption, once.
        name->end(false);
        typeInto(name, QStringLiteral(" 3,2%"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Молоко *"));
        field<QCheckBox>(w, "trueLak")->click();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Молоко *"));

        // Numeric fields refuse a sign and letters as they are typed.
        auto* fat = field<QLineEdit>(w, "fat");
        typeInto(fat, QStringLiteral("-3,2"));
        typeInto(fat, QStringLiteral("x"));
        EXPECT_EQ(fat->text(), QStringLiteral("3,2"));
        auto* calcium = field<QLineEdit>(w, "$Ca");
        clearAndType(calcium, QStringLiteral("125,5"));
        field<QComboBox>(w, "time_period")->setCurrentIndex(3);  // мес.
        EXPECT_EQ(f.prompt.messages(),
                  QStringList({QStringLiteral("warning: Вы ввели отрицательное значение!"),
                               QStringLiteral("warning: Введите целое или дробное число. Здесь можно вводить только "
                                              "цифры, а целая часть от дробной отделяется запятой!")}));

        f.prompt.clear();
        w.okButton()->click();
        EXPECT_TRUE(f.prompt.messages().isEmpty()) << f.prompt.messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(w.savedId(), std::optional<qint64>(f.milk));
    }
    Statement st(f.db(), QStringLiteral("SELECT pname, fat, time_period, trueLak FROM products WHERE id = 1"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.toString(0), QStringLiteral("Молоко 3,2%"));
    EXPECT_DOUBLE_EQ(st.toDouble(1), 3.2);
    EXPECT_EQ(st.toInt64(2), 4);
    EXPECT_EQ(st.toInt64(3), -1);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT COUNT(*) FROM vitamin_quantity WHERE id_product = 1")).toLongLong(), 1);

    // Opened again: what was saved, no marker.
    ui::ProductWindow again(f.db(), f.prompt);
    ASSERT_TRUE(again.open(EditMode::Edit, f.milk));
    EXPECT_EQ(again.windowTitle(), QStringLiteral("Продукты: Молоко 3,2%"));
    EXPECT_EQ(field<QLineEdit>(again, "fat")->text(), QStringLiteral("3,2"));
    EXPECT_EQ(field<QLineEdit>(again, "$Ca")->text(), QStringLiteral("125,5"));
    EXPECT_EQ(field<QComboBox>(again, "time_period")->currentText(), QStringLiteral("мес."));
    EXPECT_TRUE(field<QCheckBox>(again, "trueLak")->isChecked());
}

TEST(ProductWindow, NewProductVatDefaultAndEnterMovesOn)
{
    ProductFile f;
    f.db().exec(QStringLiteral("UPDATE INF SET NDS = -1, NDS_PR = 20"));
    ui::ProductWindow w(f.db(), f.prompt);
    ASSERT_TRUE(w.open(EditMode::Add, {}, qint64(1)));
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Новый продукт"));
    EXPECT_EQ(field<QComboBox>(w, "id_product_group")->currentText(), QStringLiteral("Молочные"));
    EXPECT_EQ(field<QComboBox>(w, "id_ed_izmer")->currentText(), QStringLiteral("л"));
    EXPECT_EQ(field<QComboBox>(w, "time_period")->currentText(), QStringLiteral("сут."));

    // Enter goes from the name to the next field.
    auto* name = field<QLineEdit>(w, "pname");
    typeInto(name, QStringLiteral("Кефир"));
    press(name, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w.control(QStringLiteral("id_ed_izmer")));
    EXPECT_TRUE(w.isVisible());

    auto* vat = field<QLineEdit>(w, "P_NDS");
    vat->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(vat->text(), QStringLiteral("20"));
    EXPECT_EQ(vat->selectedText(), QStringLiteral("20"));
    // A rate already there stays.
    clearAndType(vat, QStringLiteral("10"));
    name->setFocus();
    vat->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(vat->text(), QStringLiteral("10"));

    // Closing with the marker: Cancel stays, No closes without saving.
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Новый продукт *"));
    f.prompt.answers = {Answer::Cancel, Answer::No};
    w.cancelButton()->click();
    EXPECT_TRUE(w.isVisible());
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    const QString question = QStringLiteral("question: Были внесены изменения. Сохранить и закрыть? \"Да\" – "
                                            "сохранить, \"Нет\" – не сохранять, \"Отмена\" – не выходить. => ");
    EXPECT_EQ(f.prompt.messages(), QStringList({question + QStringLiteral("Отмена"), question + QStringLiteral("Нет")}));
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT COUNT(*) FROM products")).toLongLong(), 1);
}

TEST(ProductWindow, CopyYesOnCloseAndAProductGoneMeanwhile)
{
    ProductFile f;
    ui::ProductWindow w(f.db(), f.prompt);
    ASSERT_TRUE(w.open(EditMode::Copy, f.milk));
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Продукты: Молоко *"));
    clearAndType(field<QLineEdit>(w, "pname"), QStringLiteral("Молоко топлёное"));
    // Yes on closing saves: the shared code warns, the new product has no norms yet.
    f.prompt.answers = {Answer::Yes, Answer::Yes, Answer::No};
    press(field<QLineEdit>(w, "pname"), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    ASSERT_TRUE(w.savedId());
    EXPECT_EQ(f.prompt.messages().size(), 3);
    EXPECT_EQ(f.db().scalar(QStringLiteral("SELECT pname FROM products WHERE id = ?1"), {*w.savedId()}).toString(),
              QStringLiteral("Молоко топлёное"));

    f.prompt.clear();
    f.db().exec(QStringLiteral("DELETE FROM products WHERE id = 1"));
    qint64 saved = 0;
    EXPECT_FALSE(ui::openProductWindow(nullptr, f.db(), f.prompt, EditMode::Edit, f.milk, {}, &saved));
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(f.prompt.messages(),
              QStringList(QStringLiteral("warning: Не найдена редактируемая запись. Обновите окно (F5), выделите "
                                         "другую строку.")));
}

TEST(ProductWindow, ListWindowsReachTheProductModule)
{
    ProductFile f;
    f.db().execScript(QStringLiteral("INSERT INTO products (pname) VALUES ('Кефир');"
                                     "INSERT INTO [replace] (id_product, id_product_replace, pr_weight, repl_weight) "
                                     "VALUES (1, 2, 100, 110);"));
    ui::installProductWindows();
    const ui::BookWindowHooks* products = ui::bookWindowHooks(books::entryProducts);
    ASSERT_TRUE(products && products->recordWindow);
    const ui::BookWindowHooks* substitutes = ui::bookWindowHooks(books::entrySubstitutions);
    ASSERT_TRUE(substitutes && substitutes->bulkCopy);
    const ui::BookWindowHooks* seasons = ui::bookWindowHooks(books::entrySeasonalLosses);
    ASSERT_TRUE(seasons && seasons->bulkCopy);

    // Milk's only substitute is kefir, and kefir is the only other product: a product never
    // replaces itself, so nothing is added and the list need not be read again.
    f.prompt.choices = {0};
    EXPECT_FALSE(substitutes->bulkCopy(f.db(), f.prompt, 1));
    EXPECT_FALSE(seasons->bulkCopy(f.db(), f.prompt, 1));
    EXPECT_EQ(f.prompt.messages(),
              QStringList({QStringLiteral("choose: Выберите продукт, в который копировать... => Кефир"),
                           QStringLiteral("info: Копирование выполнено! Скопировано продуктов-заменителей - 0."),
                           QStringLiteral("warning: У выбранного продукта \"Молоко\" нет данных о сезонности. "
                                          "Копирование невозможно.")}));
    // A product gone meanwhile: no window, nothing saved.
    f.prompt.clear();
    EXPECT_FALSE(products->recordWindow(nullptr, f.db(), f.prompt, EditMode::Copy, qint64(99), {}));
    EXPECT_EQ(f.prompt.messages(),
              QStringList(QStringLiteral("warning: Не найдена копируемая запись. Обновите окно (F5), выделите другую "
                                         "строку.")));
}
