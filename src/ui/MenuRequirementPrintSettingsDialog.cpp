// The menu-requirement print settings window: check boxes and font sizes in the group
// "Настройки", saved per user on OK.

#include "ui/MenuRequirementPrintSettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rat::ui {

namespace {

QCheckBox* check(QWidget* parent, const char* name, const QString& text, bool on)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
    return c;
}

QSpinBox* sizeBox(QWidget* parent, const char* name, int value)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(4, 72);
    s->setValue(value);
    return s;
}

} // namespace

MenuRequirementPrintSettingsDialog::MenuRequirementPrintSettingsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMenuTrPrint"));
    setWindowTitle(QStringLiteral("Настройки печати меню-требования"));
    kept_ = documents::readMenuRequirementPrintSettings();
    auto* group = new QGroupBox(QStringLiteral("Настройки"), this);
    group->setObjectName(QStringLiteral("grpSettings"));
    sortShif_ = check(group, "chkSortShif", QStringLiteral("Сортировать продукты по шифру"), kept_.sortByCode);
    minGr_ = check(group, "chkMinGr", QStringLiteral("Минимизировать графы"), kept_.minimizeColumns);
    dub_ = check(group, "chkDub", QStringLiteral("Дублировать шапку таблицы на каждой странице формата А4"),
                 kept_.repeatHeader);
    prodMT_ = check(group, "chkProdMT", QStringLiteral("Выводить название продуктов в шапке таблицы"),
                    kept_.productNamesInHeader);
    groupMT_ = check(group, "chkGroupMT", QStringLiteral("Группировать по блюдам, затем по типам довольствующихся"),
                     kept_.groupByDish);
    schrif_ = sizeBox(group, "txtSchrif", kept_.fontSize);
    schrif1_ = sizeBox(group, "txtSchrif1", kept_.totalFontSize);
    schrif2_ = sizeBox(group, "txtSchrif2", kept_.productTotalFontSize);
    auto* sizes = new QFormLayout;
    sizes->addRow(QStringLiteral("Общий размер шрифта"), schrif_);
    sizes->addRow(QStringLiteral("Размер шрифта количества продукта на все порции"), schrif1_);
    sizes->addRow(QStringLiteral("Размер шрифта итогового количества на все блюда"), schrif2_);
    auto* inner = new QVBoxLayout(group);
    for (QCheckBox* c : {sortShif_, minGr_, dub_, prodMT_, groupMT_})
        inner->addWidget(c);
    inner->addLayout(sizes);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

documents::MenuRequirementPrintSettings MenuRequirementPrintSettingsDialog::settings() const
{
    documents::MenuRequirementPrintSettings s = kept_;
    s.sortByCode = sortShif_->isChecked();
    s.minimizeColumns = minGr_->isChecked();
    s.repeatHeader = dub_->isChecked();
    s.productNamesInHeader = prodMT_->isChecked();
    s.groupByDish = groupMT_->isChecked();
    s.fontSize = schrif_->value();
    s.totalFontSize = schrif1_->value();
    s.productTotalFontSize = schrif2_->value();
    return s;
}

void MenuRequirementPrintSettingsDialog::accept()
{
    documents::saveMenuRequirementPrintSettings(settings());
    QDialog::accept();
}

} // namespace rat::ui
