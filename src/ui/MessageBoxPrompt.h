#pragma once
// Prompt shown as message boxes, list and input dialogs, and the main window's status bar.

#include "core/Prompt.h"

#include <QPointer>
#include <functional>

class QWidget;
class QProgressDialog;

namespace rat::ui {

class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    ~MessageBoxPrompt() override;

    void setParent(QWidget* parent) { parent_ = parent; }
    // With nobody at the screen (a screenshot run), messages go to standard error and every
    // question takes its default, so no box can hold the run.
    void setUnattended(bool on) { unattended_ = on; }
    // Where status texts go (the main window's status bar, once there is one).
    void setStatusSink(std::function<void(const QString&)> sink) { statusSink_ = std::move(sink); }

    void message(const QString& text, Icon icon) override;
    Answer ask(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<int> choose(const QString& title, const QString& prompt, const QStringList& items,
                              int preselected = 0) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& defaultText) override;
    void status(const QString& text) override;
    void progress(int done, int total, const QString& text) override;

private:
    QPointer<QWidget> parent_;
    std::function<void(const QString&)> statusSink_;
    QProgressDialog* progress_ = nullptr;
    bool unattended_ = false;
};

} // namespace rat::ui
