// The parameters window: the switches of the file and of the user, read and saved.

#include "ui/ParametersDialog.h"
#include "core/Database.h"
#include "core/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rat::ui {
namespace {

const QString kBadNumber = QStringLiteral(
    "Введите целое или дробное число. Здесь можно вводить только цифры, а целая часть от дробной отделяется "
    "запятой!");

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title)
{
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QLatin1String(name));
    return g;
}

// A short field for a percentage or a count: digits, and for decimals one comma or point.
QLineEdit* numberField(QWidget* parent, const char* name, bool decimals)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    const QString pattern = decimals ? QStringLiteral("\\d{0,9}([.,]\\d{0,6})?") : QStringLiteral("\\d{0,9}");
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), e));
    e->setMaximumWidth(80);
    return e;
}

QLabel* note(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

// Rates are shown the way people type them here, with a decimal comma. A nought rate of a
// switched-off tax or mark-up shows as an empty field, so that switching it on offers the usual rate.
QString rateText(double v, bool on)
{
    if (!on && v == 0.0)
        return QString();
    return QString::number(v, 'g', 7).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

frmParameters::frmParameters(Database& db, Prompt& prompt, QWidget* parent)
    : QDialog(parent), db_(db), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmParameters"));
    setWindowTitle(QStringLiteral("Параметры"));
    build();
    loaded_ = readParameters(db_);
    load(loaded_);
}

void frmParameters::build()
{
    // Left column: menus, norms, seasons, acts and printing.
    auto* grpMenu = group(this, "grpMenu", QStringLiteral("Меню и нормы:"));
    chkNorms_ = checkBox(grpMenu, "chkNorms", QStringLiteral("Использовать справочник \"Нормы питания\""));
    chkEatings_ = checkBox(grpMenu, "chkEatings", QStringLiteral("План-меню и меню на день по приемам пищи"));
    chkZapretPlM_ = checkBox(grpMenu, "chkZapretPlM", QStringLiteral("Запретить изменения в план-меню"));
    chkIspAvtRas_ = checkBox(grpMenu, "chkIspAvtRas",
                             QStringLiteral("Использовать автоматический расчет химического состава и стоимости блюда"));
    auto* menuLayout = new QVBoxLayout(grpMenu);
    menuLayout->addWidget(chkNorms_);
    menuLayout->addWidget(chkEatings_);
    menuLayout->addWidget(chkZapretPlM_);
    menuLayout->addWidget(chkIspAvtRas_);

    auto* grpWeek = group(this, "grpWeek", QStringLiteral("Рабочая неделя:"));
    opt5Week_ = new QRadioButton(QStringLiteral("5-дневная"), grpWeek);
    opt5Week_->setObjectName(QStringLiteral("opt5Week"));
    opt6Week_ = new QRadioButton(QStringLiteral("6-дневная"), grpWeek);
    opt6Week_->setObjectName(QStringLiteral("opt6Week"));
    auto* weekLayout = new QHBoxLayout(grpWeek);
    weekLayout->addWidget(opt5Week_);
    weekLayout->addWidget(opt6Week_);
    weekLayout->addStretch(1);

    auto* grpSezon = group(this, "grpSezon", QStringLiteral("Использовать сезонность:"));
    chkSezonnost_ =
        checkBox(grpSezon, "chkSezonnost", QStringLiteral("Использовать справочник \"Сезонные проценты потерь\""));
    auto* sezonLayout = new QVBoxLayout(grpSezon);
    sezonLayout->addWidget(chkSezonnost_);

    auto* grpOkrugl = group(this, "grpOkrugl", QStringLiteral("Точность округления при расчетах:"));
    spnOkrugl_ = new QSpinBox(grpOkrugl);
    spnOkrugl_->setObjectName(QStringLiteral("spnOkrugl"));
    spnOkrugl_->setRange(0, 6);
    // The rounding digits of the computations ("Округление") are a setting of their own.
    spnRounding_ = new QSpinBox(grpOkrugl);
    spnRounding_->setObjectName(QStringLiteral("spnRounding"));
    spnRounding_->setRange(0, 6);
    auto* okruglLayout = new QGridLayout(grpOkrugl);
    okruglLayout->addWidget(new QLabel(QStringLiteral("Округлять до:"), grpOkrugl), 0, 0);
    okruglLayout->addWidget(spnOkrugl_, 0, 1);
    okruglLayout->addWidget(new QLabel(QStringLiteral("знаков"), grpOkrugl), 0, 2);
    okruglLayout->addWidget(new QLabel(QStringLiteral("Округлять количества и суммы до:"), grpOkrugl), 1, 0);
    okruglLayout->addWidget(spnRounding_, 1, 1);
    okruglLayout->addWidget(new QLabel(QStringLiteral("знаков"), grpOkrugl), 1, 2);
    okruglLayout->setColumnStretch(3, 1);

    // The norms standard is chosen with the norms themselves; here the acts are only listed.
    auto* grpSanpin = group(this, "grpSanpin", QStringLiteral("Выберите правовой акт:"));
    auto* sanpinLayout = new QGridLayout(grpSanpin);
    const struct {
        const char* name;
        bool inForce;
    } acts[] = {{"СанПиН 2.4.5.2409-08", true}, {"СП 2.4.990-00", false}, {"СанПиН 2.4.4.3155-13", true}};
    int actRow = 0;
    for (const auto& act : acts) {
        auto* name = new QLabel(QString::fromUtf8(act.name), grpSanpin);
        name->setObjectName(QStringLiteral("lblAct%1").arg(actRow + 1));
        sanpinLayout->addWidget(name, actRow, 0);
        if (act.inForce) {
            auto* mark = new QLabel(QStringLiteral("Действует!"), grpSanpin);
            mark->setStyleSheet(QStringLiteral("color: #1a7f37; font-weight: bold;"));
            sanpinLayout->addWidget(mark, actRow, 1);
        }
        ++actRow;
    }
    sanpinLayout->setColumnStretch(2, 1);

    // Right column: money, warehouse, the menu-requirement form, updates, rounding.
    auto* grpNds = group(this, "grpNDS", QStringLiteral("НДС:"));
    chkNDS_ = checkBox(grpNds, "chkNDS", QStringLiteral("Использовать НДС"));
    txtNDS_ = numberField(grpNds, "txtNDS", true);
    auto* ndsLayout = new QGridLayout(grpNds);
    ndsLayout->addWidget(chkNDS_, 0, 0, 1, 3);
    auto* lblNds = new QLabel(QStringLiteral("НДС, %"), grpNds);
    ndsLayout->addWidget(lblNds, 1, 0);
    ndsLayout->addWidget(txtNDS_, 1, 1);
    ndsLayout->setColumnStretch(2, 1);
    ndsLayout->addWidget(note(grpNds, QStringLiteral("Ставка НДС начисляется на стоимость товара")), 2, 0, 1, 3);

    auto* grpNacen = group(this, "grpNacen", QStringLiteral("Наценка:"));
    chkNacen_ = checkBox(grpNacen, "chkNacen", QStringLiteral("Использовать наценку"));
    txtNacen_ = numberField(grpNacen, "txtNacen", true);
    auto* nacenLayout = new QGridLayout(grpNacen);
    nacenLayout->addWidget(chkNacen_, 0, 0, 1, 3);
    auto* lblNacen = new QLabel(QStringLiteral("Наценка, %"), grpNacen);
    nacenLayout->addWidget(lblNacen, 1, 0);
    // The two rate fields line up under each other.
    const int labelWidth = qMax(lblNds->sizeHint().width(), lblNacen->sizeHint().width());
    lblNds->setMinimumWidth(labelWidth);
    lblNacen->setMinimumWidth(labelWidth);
    nacenLayout->addWidget(txtNacen_, 1, 1);
    nacenLayout->setColumnStretch(2, 1);
    nacenLayout->addWidget(note(grpNacen, QStringLiteral("Наценка начисляется на стоимость блюда")), 2, 0, 1, 3);

    auto* grpSkl = group(this, "grpSkl", QStringLiteral("Настройки складского учета:"));
    chkVestSkl_ = checkBox(grpSkl, "chkVestSkl", QStringLiteral("Вести складской учет"));
    chkAvtSpis_ = checkBox(grpSkl, "chkAvtSpis", QStringLiteral("Отключение автоматического списания"));
    chkAvtSpis_->setToolTip(QStringLiteral("Отмечено: при запуске программы и при открытии меню-требования предлагается "
                                           "списать продукты с истекшим сроком годности"));
    auto* sklLayout = new QVBoxLayout(grpSkl);
    sklLayout->addWidget(chkVestSkl_);
    sklLayout->addWidget(chkAvtSpis_);

    auto* grpSchab = group(this, "grpSchab", QStringLiteral("Выберите шаблон меню-требования (МТ):"));
    cboSchab_ = new QComboBox(grpSchab);
    cboSchab_->setObjectName(QStringLiteral("cboSchab"));
    cboSchab_->addItem(QStringLiteral("Меню-требование №299"), 0);
    cboSchab_->addItem(QStringLiteral("Меню-требование №299-мех"), 1);
    cboSchab_->addItem(QStringLiteral("Меню-требование по ОКУД 0504202"), 2);
    chkChOdin_ = checkBox(grpSchab, "chkChOdin",
                          QStringLiteral("Выводить в печатной форме МТ количество продукта на 1 порцию"));
    auto* schabLayout = new QVBoxLayout(grpSchab);
    schabLayout->addWidget(cboSchab_);
    schabLayout->addWidget(chkChOdin_);

    auto* grpPrint = group(this, "grpPrint", QString());
    chkTKlist_ = checkBox(grpPrint, "chkTKlist", QStringLiteral("Печатать каждую ТК на отдельной странице"));
    chkGalka_ = checkBox(grpPrint, "chkGalka", QStringLiteral("Выводить выходы блюд"));
    chkDopRekvizit_ = checkBox(
        grpPrint, "chkDopRekvizit",
        QStringLiteral("Выводить доп. реквизиты (организация, директор, ст. медсестра) при печати ТК"));
    chkSumBludOb_ = checkBox(grpPrint, "chkSumBludOb", QStringLiteral("Печатать суммарные объемы блюд"));
    chkShablonPM_ = checkBox(grpPrint, "chkShablonPM",
                             QStringLiteral("Использовать шаблон для печати план-меню по категориям блюд"));
    auto* printLayout = new QVBoxLayout(grpPrint);
    printLayout->addWidget(chkTKlist_);
    printLayout->addWidget(chkGalka_);
    printLayout->addWidget(chkDopRekvizit_);
    printLayout->addWidget(chkSumBludOb_);
    printLayout->addWidget(chkShablonPM_);

    auto* grpUpdate = group(this, "grpUpdate", QStringLiteral("Автоматическое обновление:"));
    txtTaimOut_ = numberField(grpUpdate, "txtTaimOut", false);
    auto* updateLayout = new QHBoxLayout(grpUpdate);
    updateLayout->addWidget(new QLabel(QStringLiteral("Таймаут"), grpUpdate));
    updateLayout->addWidget(txtTaimOut_);
    updateLayout->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(grpMenu);
    left->addWidget(grpWeek);
    left->addWidget(grpSezon);
    left->addWidget(grpSanpin);
    left->addWidget(grpPrint);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(grpNds);
    right->addWidget(grpNacen);
    right->addWidget(grpSkl);
    right->addWidget(grpSchab);
    right->addWidget(grpUpdate);
    right->addWidget(grpOkrugl);
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);

    auto* cmdOK = new QPushButton(QStringLiteral("ОК"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton(QStringLiteral("Отмена"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* root = new QVBoxLayout(this);
    root->addLayout(columns);
    root->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmParameters::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmParameters::reject);
    connect(chkNDS_, &QCheckBox::toggled, this, &frmParameters::ndsToggled);
    connect(chkNacen_, &QCheckBox::toggled, this, &frmParameters::nacenToggled);
    connect(chkVestSkl_, &QCheckBox::toggled, this, &frmParameters::vestSklToggled);
}

void frmParameters::load(const ProgramParameters& p)
{
    chkNorms_->setChecked(p.norms);
    chkEatings_->setChecked(p.eatings);
    chkZapretPlM_->setChecked(p.zapretPlM);
    chkIspAvtRas_->setChecked(p.ispAvtRas);
    (p.fiveWeek ? opt5Week_ : opt6Week_)->setChecked(true);
    chkSezonnost_->setChecked(p.sezonnost);
    spnOkrugl_->setValue(p.tochOkrugl);
    spnRounding_->setValue(p.roundingDigits);

    txtNDS_->setText(rateText(p.ndsRate, p.nds));
    chkNDS_->setChecked(p.nds);
    txtNDS_->setEnabled(p.nds);
    txtNacen_->setText(rateText(p.nacenRate, p.nacen));
    chkNacen_->setChecked(p.nacen);
    txtNacen_->setEnabled(p.nacen);

    chkVestSkl_->setChecked(p.vestSkl);
    chkAvtSpis_->setChecked(p.vestSkl && p.avtSpis);
    chkAvtSpis_->setEnabled(p.vestSkl);

    cboSchab_->setCurrentIndex(cboSchab_->findData(p.schab));
    chkChOdin_->setChecked(p.chOdin);
    chkTKlist_->setChecked(p.tkList);
    chkGalka_->setChecked(p.galka);
    chkDopRekvizit_->setChecked(p.dopRekvizit);
    chkSumBludOb_->setChecked(p.sumBludOb);
    chkShablonPM_->setChecked(p.shablonPM);
    txtTaimOut_->setText(QString::number(p.taimOut));
}

void frmParameters::ndsToggled(bool on)
{
    txtNDS_->setEnabled(on);
    if (on && txtNDS_->text().trimmed().isEmpty())
        txtNDS_->setText(QStringLiteral("20"));
}

void frmParameters::nacenToggled(bool on)
{
    txtNacen_->setEnabled(on);
    if (on && txtNacen_->text().trimmed().isEmpty())
        txtNacen_->setText(QStringLiteral("0"));
}

void frmParameters::vestSklToggled(bool on)
{
    chkAvtSpis_->setEnabled(on);
    if (!on)
        chkAvtSpis_->setChecked(false);
}

bool frmParameters::collect(ProgramParameters& p)
{
    // An empty rate of a switched-off tax or mark-up is simply nought; anything typed must be a number.
    const auto number = [this](QLineEdit* field, bool required, double& out) {
        if (field->text().trimmed().isEmpty() && !required) {
            out = 0.0;
            return true;
        }
        bool ok = false;
        const double v = parseDecimal(field->text(), &ok);
        if (!ok || v < 0) {
            prompt_.warning(kBadNumber);
            field->setFocus();
            field->selectAll();
            return false;
        }
        out = v;
        return true;
    };

    p = loaded_;
    double taimOut = 0.0;
    if (!number(txtNDS_, chkNDS_->isChecked(), p.ndsRate) || !number(txtNacen_, chkNacen_->isChecked(), p.nacenRate) ||
        !number(txtTaimOut_, true, taimOut))
        return false;
    p.taimOut = int(taimOut);

    p.norms = chkNorms_->isChecked();
    p.eatings = chkEatings_->isChecked();
    p.zapretPlM = chkZapretPlM_->isChecked();
    p.ispAvtRas = chkIspAvtRas_->isChecked();
    p.fiveWeek = opt5Week_->isChecked();
    p.sezonnost = chkSezonnost_->isChecked();
    p.tochOkrugl = spnOkrugl_->value();
    p.roundingDigits = spnRounding_->value();
    p.nds = chkNDS_->isChecked();
    p.nacen = chkNacen_->isChecked();
    p.vestSkl = chkVestSkl_->isChecked();
    p.avtSpis = p.vestSkl && chkAvtSpis_->isChecked();
    if (cboSchab_->currentIndex() >= 0)
        p.schab = cboSchab_->currentData().toInt();
    p.chOdin = chkChOdin_->isChecked();
    p.tkList = chkTKlist_->isChecked();
    p.galka = chkGalka_->isChecked();
    p.dopRekvizit = chkDopRekvizit_->isChecked();
    p.sumBludOb = chkSumBludOb_->isChecked();
    p.shablonPM = chkShablonPM_->isChecked();
    return true;
}

void frmParameters::accept()
{
    ProgramParameters p;
    if (!collect(p))
        return;
    try {
        saveParameters(db_, p);
    } catch (const DbError& e) {
        prompt_.critical(QStringLiteral("Параметры не сохранены. Ошибка: ") + QString::number(e.code()) +
                         QLatin1Char(' ') + e.text() + QLatin1Char('.'));
        return;
    }
    QDialog::accept();
}

bool showParametersDialog(QWidget* parent, Database& db, Prompt& prompt)
{
    frmParameters dlg(db, prompt, parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace rat::ui
