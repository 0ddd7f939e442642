#pragma once
// The progress window of the new-database fill and of the data imports ("FRMBar"): a label
// and a bar, shown beside the work without blocking it.

#include "core/Prompt.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;

namespace rat {
class DatabaseSession;
}

namespace rat::ui {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }
    void setProgress(int done, int total, const QString& text);

private:
    QLabel* label_;
    QProgressBar* bar_;
};

// A Prompt that shows progress in an ProgressWindow (opened on the first progress, closed when the
// progress ends) and passes everything else on.
class ProgressWindowPrompt : public Prompt {
public:
    ProgressWindowPrompt(Prompt& inner, QWidget* parent);
    ~ProgressWindowPrompt() override;

    ProgressWindow* window() const { return bar_; }

    void message(const QString& text, Icon icon) override;
    Answer ask(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<int> choose(const QString& title, const QString& prompt, const QStringList& items,
                              int preselected = 0) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& defaultText) override;
    void status(const QString& text) override;
    void progress(int done, int total, const QString& text) override;

private:
    Prompt& inner_;
    QPointer<QWidget> parent_;
    QPointer<ProgressWindow> bar_;
};

// "Импортировать идеальное меню": the archive is chosen in "Примеры" and its plan-menu
// imported into the open file, the progress window shown meanwhile.
void importPlanMenu(QWidget* parent, DatabaseSession& session, Prompt& prompt);

} // namespace rat::ui
