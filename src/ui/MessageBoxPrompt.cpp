// The desktop's Prompt: message boxes, list and input dialogs, the status bar.

#include "ui/MessageBoxPrompt.h"
#include "core/AppState.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <cstdio>

namespace rat::ui {

MessageBoxPrompt::~MessageBoxPrompt()
{
    delete progress_;
}

void MessageBoxPrompt::message(const QString& text, Icon icon)
{
    if (unattended_) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return;
    }
    QMessageBox box(parent_);
    box.setWindowTitle(app().appTitle);
    box.setText(text);
    switch (icon) {
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    box.addButton(QStringLiteral("ОК"), QMessageBox::AcceptRole);
    box.exec();
}

Answer MessageBoxPrompt::ask(const QString& text, Buttons buttons, Answer defaultAnswer)
{
    if (unattended_) {
        std::fprintf(stderr, "%s => %s\n", qPrintable(text), qPrintable(answerText(defaultAnswer)));
        return defaultAnswer;
    }
    QMessageBox box(parent_);
    box.setWindowTitle(app().appTitle);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    struct Choice {
        Answer answer;
        QPushButton* button;
    };
    std::vector<Choice> choices;
    auto add = [&](Answer a, QMessageBox::ButtonRole role) {
        choices.push_back({a, box.addButton(answerText(a), role)});
    };
    switch (buttons) {
    case Buttons::Ok: add(Answer::Ok, QMessageBox::AcceptRole); break;
    case Buttons::OkCancel:
        add(Answer::Ok, QMessageBox::AcceptRole);
        add(Answer::Cancel, QMessageBox::RejectRole);
        break;
    case Buttons::YesNo:
        add(Answer::Yes, QMessageBox::YesRole);
        add(Answer::No, QMessageBox::NoRole);
        break;
    case Buttons::YesNoCancel:
        add(Answer::Yes, QMessageBox::YesRole);
        add(Answer::No, QMessageBox::NoRole);
        add(Answer::Cancel, QMessageBox::RejectRole);
        break;
    }
    for (const Choice& c : choices) {
        if (c.answer == defaultAnswer)
            box.setDefaultButton(c.button);
        if (c.answer == Answer::Cancel || (buttons == Buttons::YesNo && c.answer == Answer::No))
            box.setEscapeButton(c.button);
    }
    box.exec();
    for (const Choice& c : choices)
        if (box.clickedButton() == c.button)
            return c.answer;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<int> MessageBoxPrompt::choose(const QString& title, const QString& prompt, const QStringList& items,
                                            int preselected)
{
    if (items.isEmpty() || unattended_)
        return std::nullopt;
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(title.isEmpty() ? app().appTitle : title);
    dlg.setLabelText(prompt);
    dlg.setComboBoxItems(items);
    dlg.setComboBoxEditable(false);
    if (preselected >= 0 && preselected < items.size())
        dlg.setTextValue(items[preselected]);
    dlg.setOkButtonText(QStringLiteral("ОК"));
    dlg.setCancelButtonText(QStringLiteral("Отмена"));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    const int i = int(items.indexOf(dlg.textValue()));
    return i < 0 ? std::nullopt : std::optional<int>(i);
}

std::optional<QString> MessageBoxPrompt::input(const QString& title, const QString& prompt, const QString& defaultText)
{
    if (unattended_)
        return std::nullopt;
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(title.isEmpty() ? app().appTitle : title);
    dlg.setLabelText(prompt);
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(defaultText);
    dlg.setOkButtonText(QStringLiteral("ОК"));
    dlg.setCancelButtonText(QStringLiteral("Отмена"));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

void MessageBoxPrompt::status(const QString& text)
{
    if (statusSink_)
        statusSink_(text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MessageBoxPrompt::progress(int done, int total, const QString& text)
{
    if (total <= 0 || unattended_) {
        delete progress_;
        progress_ = nullptr;
        return;
    }
    if (!progress_) {
        progress_ = new QProgressDialog(parent_);
        progress_->setWindowTitle(app().appTitle);
        progress_->setCancelButton(nullptr);
        progress_->setMinimumDuration(300);
        progress_->setWindowModality(Qt::WindowModal);
    }
    progress_->setLabelText(text);
    progress_->setMaximum(total);
    progress_->setValue(done);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace rat::ui
