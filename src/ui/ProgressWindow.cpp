// The progress window (FRMBar) of the new-database fill and of imports.

#include "ui/ProgressWindow.h"
#include "core/ShippedFolders.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "exchange/StandardData.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace rat::ui {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FRMBar"));
    setWindowTitle(app().appTitle);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(exchange::fillingLabel(), this);
    label_->setObjectName(QStringLiteral("Label1"));
    label_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 1);
    bar_->setValue(0);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setMinimumWidth(420);
}

void ProgressWindow::setProgress(int done, int total, const QString& text)
{
    if (!text.isEmpty())
        label_->setText(text);
    bar_->setRange(0, total > 0 ? total : 1);
    bar_->setValue(qBound(0, done, total > 0 ? total : 1));
}

ProgressWindowPrompt::ProgressWindowPrompt(Prompt& inner, QWidget* parent) : inner_(inner), parent_(parent) {}

ProgressWindowPrompt::~ProgressWindowPrompt()
{
    delete bar_.data();
}

void ProgressWindowPrompt::message(const QString& text, Icon icon)
{
    inner_.message(text, icon);
}

Answer ProgressWindowPrompt::ask(const QString& text, Buttons buttons, Answer defaultAnswer)
{
    return inner_.ask(text, buttons, defaultAnswer);
}

std::optional<int> ProgressWindowPrompt::choose(const QString& title, const QString& prompt, const QStringList& items,
                                               int preselected)
{
    return inner_.choose(title, prompt, items, preselected);
}

std::optional<QString> ProgressWindowPrompt::input(const QString& title, const QString& prompt, const QString& defaultText)
{
    return inner_.input(title, prompt, defaultText);
}

void ProgressWindowPrompt::status(const QString& text)
{
    inner_.status(text);
}

void ProgressWindowPrompt::progress(int done, int total, const QString& text)
{
    if (total <= 0) {
        if (bar_)
            bar_->hide();
        return;
    }
    if (!bar_)
        bar_ = new ProgressWindow(parent_);
    bar_->setProgress(done, total, text);
    if (!bar_->isVisible())
        bar_->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void importPlanMenu(QWidget* parent, DatabaseSession& session, Prompt& prompt)
{
    if (!session.isOpen())
        return;
    const QString folder = shippedFolder(QStringLiteral("Примеры"));
    const QString archive = QFileDialog::getOpenFileName(parent, QStringLiteral("Импортировать идеальное меню"), folder,
                                                         QStringLiteral("ZIP (*.zip)"));
    if (archive.isEmpty())
        return;
    ProgressWindowPrompt progress(prompt, parent);
    progress.progress(0, 1, exchange::fillingLabel());
    exchange::ImportPlanMenuPackage(session.db(), progress, archive);
    progress.progress(0, 0, QString());
}

} // namespace rat::ui
