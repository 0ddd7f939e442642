// The parameters window offscreen: every switch shown from the file and the settings, changed
// and saved, and the main window's commands following it.

#include "core/AppState.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/Startup.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/ParametersDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace rat;

namespace {

const QString kBadNumber = QStringLiteral(
    "warning: Введите целое или дробное число. Здесь можно вводить только цифры, а целая часть от дробной "
    "отделяется запятой!");

struct WorkingFile {
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session{prompt};

    WorkingFile()
    {
        EXPECT_TRUE(createAndFillDatabase(session, env.path("w.db")));
        prompt.clear();
    }
    Database& db() { return session.db(); }
    QVariant inf(const char* column) { return db().scalar(QStringLiteral("SELECT %1 FROM INF").arg(QLatin1String(column))); }
};

template <class W>
W* child(QWidget& dlg, const char* name)
{
    W* w = dlg.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Key presses as a person types them, so the field's validator has its say.
void type(QLineEdit* e, const QString& text)
{
    e->setFocus();
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(e, &press);
    }
}

void clearAndType(QLineEdit* e, const QString& text)
{
    e->selectAll();
    e->del();
    type(e, text);
}

QStringList groupTitles(QWidget& dlg)
{
    QStringList titles;
    for (const QGroupBox* g : dlg.findChildren<QGroupBox*>())
        if (!g->title().isEmpty())
            titles << g->title();
    return titles;
}

QStringList captions(QWidget& dlg)
{
    QStringList texts;
    for (const QAbstractButton* b : dlg.findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QLabel* l : dlg.findChildren<QLabel*>())
        texts << l->text();
    return texts;
}

} // namespace

TEST(ParametersDialog, ShowsEveryGroupAndCaption)
{
    WorkingFile f;
    ui::frmParameters dlg(f.db(), f.prompt);
    EXPECT_EQ(dlg.objectName(), QStringLiteral("frmParameters"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Параметры"));

    const QStringList groups = groupTitles(dlg);
    for (const char* g : {"Меню и нормы:", "Рабочая неделя:", "НДС:", "Наценка:", "Настройки складского учета:",
                          "Использовать сезонность:", "Автоматическое обновление:",
                          "Выберите шаблон меню-требования (МТ):", "Точность округления при расчетах:",
                          "Выберите правовой акт:"})
        EXPECT_TRUE(groups.contains(QString::fromUtf8(g))) << g;

    const QStringList texts = captions(dlg);
    for (const char* c :
         {"Использовать справочник \"Нормы питания\"", "План-меню и меню на день по приемам пищи", "5-дневная",
          "6-дневная", "Печатать каждую ТК на отдельной странице", "Выводить выходы блюд",
          "Выводить доп. реквизиты (организация, директор, ст. медсестра) при печати ТК", "Использовать НДС",
          "НДС, %", "Ставка НДС начисляется на стоимость товара", "Использовать наценку", "Наценка, %",
          "Наценка начисляется на стоимость блюда", "Вести складской учет", "Отключение автоматического списания",
          "Использовать справочник \"Сезонные проценты потерь\"", "Таймаут", "Запретить изменения в план-меню",
          "Использовать автоматический расчет химического состава и стоимости блюда",
          "Печатать суммарные объемы блюд", "Округлять до:", "знаков", "Округлять количества и суммы до:",
          "Выводить в печатной форме МТ количество продукта на 1 порцию",
          "Использовать шаблон для печати план-меню по категориям блюд", "СанПиН 2.4.5.2409-08", "СП 2.4.990-00",
          "СанПиН 2.4.4.3155-13", "Действует!", "ОК", "Отмена"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c))) << c;

    auto* schab = child<QComboBox>(dlg, "cboSchab");
    ASSERT_EQ(schab->count(), 3);
    EXPECT_EQ(schab->itemText(0), QStringLiteral("Меню-требование №299"));
    EXPECT_EQ(schab->itemText(1), QStringLiteral("Меню-требование №299-мех"));
    EXPECT_EQ(schab->itemText(2), QStringLiteral("Меню-требование по ОКУД 0504202"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(schab->itemData(i).toInt(), i);
}

TEST(ParametersDialog, EditSaveAndReopen)
{
    WorkingFile f;
    {
        ui::frmParameters dlg(f.db(), f.prompt);
        dlg.show();
        auto* chkNDS = child<QCheckBox>(dlg, "chkNDS");
        auto* txtNDS = child<QLineEdit>(dlg, "txtNDS");
        auto* chkNacen = child<QCheckBox>(dlg, "chkNacen");
        auto* txtNacen = child<QLineEdit>(dlg, "txtNacen");
        auto* chkVestSkl = child<QCheckBox>(dlg, "chkVestSkl");
        auto* chkAvtSpis = child<QCheckBox>(dlg, "chkAvtSpis");

        // A new file: tax and mark-up off with empty fields, warehouse accounting on.
        EXPECT_TRUE(child<QCheckBox>(dlg, "chkNorms")->isChecked());
        EXPECT_TRUE(child<QRadioButton>(dlg, "opt5Week")->isChecked());
        EXPECT_FALSE(chkNDS->isChecked());
        EXPECT_FALSE(txtNDS->isEnabled());
        EXPECT_EQ(txtNDS->text(), QString());
        EXPECT_FALSE(txtNacen->isEnabled());
        EXPECT_TRUE(chkVestSkl->isChecked());
        EXPECT_TRUE(chkAvtSpis->isEnabled());
        EXPECT_EQ(child<QLineEdit>(dlg, "txtTaimOut")->text(), QStringLiteral("150"));
        EXPECT_EQ(child<QSpinBox>(dlg, "spnOkrugl")->value(), 2);
        EXPECT_EQ(child<QSpinBox>(dlg, "spnRounding")->value(), 2);

        chkNDS->click();
        EXPECT_TRUE(txtNDS->isEnabled());
        EXPECT_EQ(txtNDS->text(), QStringLiteral("20"));
        chkNDS->click();
        EXPECT_FALSE(txtNDS->isEnabled());
        EXPECT_EQ(txtNDS->text(), QStringLiteral("20"));
        chkNDS->click();

        chkNacen->click();
        EXPECT_TRUE(txtNacen->isEnabled());
        EXPECT_EQ(txtNacen->text(), QStringLiteral("0"));

        chkAvtSpis->click();
        EXPECT_TRUE(chkAvtSpis->isChecked());
        chkVestSkl->click();
        EXPECT_FALSE(chkAvtSpis->isChecked());
        EXPECT_FALSE(chkAvtSpis->isEnabled());
        chkVestSkl->click();
        EXPECT_TRUE(chkAvtSpis->isEnabled());
        EXPECT_FALSE(chkAvtSpis->isChecked());
        chkAvtSpis->click();
        chkVestSkl->click();  // off for good, with the write-off switch set a moment ago

        // Letters, signs and a second separator are refused as they are typed.
        clearAndType(txtNDS, QStringLiteral("-1a2,5,x"));
        EXPECT_EQ(txtNDS->text(), QStringLiteral("12,5"));

        // A separator alone is no number: the window stays open and nothing is written.
        const QByteArray before = test::fileBytes(f.env.path("w.db"));
        clearAndType(txtNacen, QStringLiteral(","));
        child<QPushButton>(dlg, "cmdOK")->click();
        EXPECT_EQ(f.prompt.messages(), QStringList{kBadNumber});
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(dlg.focusWidget(), txtNacen);
        EXPECT_EQ(test::fileBytes(f.env.path("w.db")), before);
        EXPECT_EQ(Settings::text("User", "zapretPlM"), QString());
        f.prompt.clear();

        clearAndType(txtNacen, QStringLiteral("7.25"));
        child<QRadioButton>(dlg, "opt6Week")->click();
        child<QComboBox>(dlg, "cboSchab")->setCurrentIndex(2);
        // Two settings, two controls: the precision of the menus' sums and the rounding digits.
        child<QSpinBox>(dlg, "spnOkrugl")->setValue(3);
        child<QSpinBox>(dlg, "spnRounding")->setValue(4);
        child<QCheckBox>(dlg, "chkZapretPlM")->click();
        child<QCheckBox>(dlg, "chkGalka")->click();
        clearAndType(child<QLineEdit>(dlg, "txtTaimOut"), QStringLiteral("200"));
        child<QPushButton>(dlg, "cmdOK")->click();
        EXPECT_TRUE(f.prompt.messages().isEmpty()) << f.prompt.messages().join('\n').toStdString();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_FALSE(dlg.isVisible());
    }

    EXPECT_EQ(f.inf("NDS").toInt(), -1);
    EXPECT_EQ(f.inf("NDS_PR").toDouble(), 12.5);
    EXPECT_EQ(f.inf("NACEN").toInt(), -1);
    EXPECT_EQ(f.inf("NACEN_PR").toDouble(), 7.25);
    EXPECT_EQ(f.inf("VestSkl").toInt(), 0);
    EXPECT_EQ(f.inf("AvtSpis").toInt(), 0);
    EXPECT_EQ(f.inf("[5week]").toInt(), 0);
    EXPECT_EQ(f.inf("schab").toInt(), 2);
    EXPECT_EQ(f.inf("Galka").toInt(), -1);
    EXPECT_EQ(f.inf("TaimOut").toInt(), 200);
    EXPECT_EQ(f.inf("norms").toInt(), -1);
    EXPECT_EQ(Settings::text("User", "zapretPlM"), QStringLiteral("True"));
    EXPECT_EQ(Settings::text("User", "ispAvtRas"), QStringLiteral("1"));
    EXPECT_EQ(Settings::text("User", "tochOkrugl"), QStringLiteral("3"));
    EXPECT_EQ(Settings::text("Settings", "Округление"), QStringLiteral("4"));
    EXPECT_EQ(app().roundingDigits, 4);

    ui::frmParameters again(f.db(), f.prompt);
    EXPECT_TRUE(child<QCheckBox>(again, "chkNDS")->isChecked());
    EXPECT_TRUE(child<QLineEdit>(again, "txtNDS")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(again, "txtNDS")->text(), QStringLiteral("12,5"));
    EXPECT_TRUE(child<QCheckBox>(again, "chkNacen")->isChecked());
    EXPECT_EQ(child<QLineEdit>(again, "txtNacen")->text(), QStringLiteral("7,25"));
    EXPECT_FALSE(child<QCheckBox>(again, "chkVestSkl")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(again, "chkAvtSpis")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(again, "chkAvtSpis")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(again, "opt6Week")->isChecked());
    EXPECT_EQ(child<QComboBox>(again, "cboSchab")->currentData().toInt(), 2);
    EXPECT_EQ(child<QSpinBox>(again, "spnOkrugl")->value(), 3);
    EXPECT_EQ(child<QSpinBox>(again, "spnRounding")->value(), 4);
    EXPECT_TRUE(child<QCheckBox>(again, "chkZapretPlM")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(again, "chkIspAvtRas")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(again, "chkGalka")->isChecked());
    EXPECT_EQ(child<QLineEdit>(again, "txtTaimOut")->text(), QStringLiteral("200"));
    EXPECT_TRUE(f.prompt.messages().isEmpty());
}

TEST(ParametersDialog, CancelWritesNothing)
{
    WorkingFile f;
    const QByteArray before = test::fileBytes(f.env.path("w.db"));
    ui::frmParameters dlg(f.db(), f.prompt);
    dlg.show();
    child<QCheckBox>(dlg, "chkNDS")->click();
    child<QCheckBox>(dlg, "chkVestSkl")->click();
    child<QCheckBox>(dlg, "chkZapretPlM")->click();
    child<QSpinBox>(dlg, "spnOkrugl")->setValue(5);
    child<QPushButton>(dlg, "cmdCancel")->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(test::fileBytes(f.env.path("w.db")), before);
    EXPECT_EQ(Settings::text("User", "zapretPlM"), QString());
    EXPECT_EQ(Settings::text("Settings", "Округление"), QString());
    EXPECT_EQ(app().roundingDigits, 2);
    EXPECT_TRUE(f.prompt.messages().isEmpty());
}

TEST(ParametersDialog, SwitchedOnTaxNeedsItsRate)
{
    WorkingFile f;
    ui::frmParameters dlg(f.db(), f.prompt);
    dlg.show();
    auto* txtNDS = child<QLineEdit>(dlg, "txtNDS");
    child<QCheckBox>(dlg, "chkNDS")->click();
    clearAndType(txtNDS, QString());
    child<QPushButton>(dlg, "cmdOK")->click();
    EXPECT_EQ(f.prompt.messages(), QStringList{kBadNumber});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(f.inf("NDS").toInt(), 0);

    // Switched off, an empty rate is simply nought.
    f.prompt.clear();
    child<QCheckBox>(dlg, "chkNDS")->click();
    child<QPushButton>(dlg, "cmdOK")->click();
    EXPECT_TRUE(f.prompt.messages().isEmpty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.inf("NDS").toInt(), 0);
    EXPECT_EQ(f.inf("NDS_PR").toDouble(), 0.0);
}
