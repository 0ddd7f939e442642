// The first-start questions (frmSpros): the institution's name, working week, stay, cycle and
// plan-menu, and the new database made with them.

#include "ui/FirstStartDialog.h"
#include "core/AppState.h"
#include "core/Prompt.h"
#include "ui/ProgressWindow.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rat::ui {

namespace {

void check(QButtonGroup* group, const QString& text)
{
    for (QAbstractButton* b : group->buttons())
        if (b->text() == text)
            b->setChecked(true);
}

QString checkedText(QButtonGroup* group)
{
    QAbstractButton* b = group->checkedButton();
    return b ? b->text() : QString();
}

} // namespace

FirstStartDialog::FirstStartDialog(Prompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt)
{
    setObjectName(QStringLiteral("frmSpros"));
    setWindowTitle(app().appTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* nameBox = new QGroupBox(QStringLiteral("Наименование учреждения"), this);
    nameBox->setObjectName(QStringLiteral("naim"));
    auto* nameLayout = new QVBoxLayout(nameBox);
    name_ = new QLineEdit(nameBox);
    name_->setObjectName(QStringLiteral("Naim"));
    name_->setPlaceholderText(QStringLiteral("Детский сад №2"));
    name_->setMinimumWidth(320);
    nameLayout->addWidget(name_);
    layout->addWidget(nameBox);
    week_ = addGroup(QStringLiteral("Рабочая неделя учреждения"), exchange::weekTexts(), QStringLiteral("ned"));
    stay_ = addGroup(QStringLiteral("Время пребывания детей"), exchange::stayTexts(), QStringLiteral("vr"));
    cycle_ = addGroup(QStringLiteral("Длина цикла план-меню"), exchange::cycleTexts(), QStringLiteral("per"));
    plan_ = addGroup(QStringLiteral("План-меню"), exchange::planTexts(), QStringLiteral("pl"));

    ok_ = new QPushButton(QStringLiteral("ОК"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok_);
    layout->addLayout(row);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    setAnswers(exchange::rememberedAnswers());
}

QButtonGroup* FirstStartDialog::addGroup(const QString& title, const QStringList& texts, const QString& name)
{
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    auto* inner = new QVBoxLayout(box);
    auto* group = new QButtonGroup(this);
    for (const QString& t : texts) {
        auto* b = new QRadioButton(t, box);
        inner->addWidget(b);
        group->addButton(b);
        choices_.push_back(b);
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(box);
    return group;
}

QRadioButton* FirstStartDialog::choice(const QString& text) const
{
    for (QRadioButton* b : choices_)
        if (b->text() == text)
            return b;
    return nullptr;
}

QString FirstStartDialog::institutionName() const
{
    return name_->text().trimmed();
}

exchange::NewDatabaseAnswers FirstStartDialog::answers() const
{
    exchange::NewDatabaseAnswers a = exchange::rememberedAnswers();
    exchange::setWeek(a, checkedText(week_));
    exchange::setStay(a, checkedText(stay_));
    exchange::setCycle(a, checkedText(cycle_));
    exchange::setPlan(a, checkedText(plan_));
    return a;
}

void FirstStartDialog::setAnswers(const exchange::NewDatabaseAnswers& a)
{
    check(week_, exchange::weekText(a));
    check(stay_, exchange::stayText(a));
    check(cycle_, exchange::cycleText(a));
    check(plan_, exchange::planText(a));
}

void FirstStartDialog::done(int result)
{
    if (result == QDialog::Accepted)
        exchange::rememberAnswers(answers());
    QDialog::done(result);
    prompt_.info(exchange::answersSummary(exchange::rememberedAnswers()));
}

bool createDatabaseWithQuestions(QWidget* parent, DatabaseSession& session, const QString& path, Prompt& prompt)
{
    ProgressWindowPrompt progress(prompt, parent);
    exchange::NewDatabaseRequest request;
    request.answers = exchange::rememberedAnswers();
    request.prompt = &progress;
    request.askQuestions = [parent, &prompt](exchange::NewDatabaseAnswers& a) {
        FirstStartDialog questions(prompt, parent);
        questions.exec();
        a = exchange::rememberedAnswers();
        a.institutionName = questions.institutionName();
    };
    return exchange::createAndFillNewDatabase(session, path, request);
}

} // namespace rat::ui
