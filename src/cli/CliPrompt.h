#pragma once
// The headless tool's Prompt: answers come from the command line, every text goes to
// standard output as one line.

#include "core/Prompt.h"

#include <QStringList>
#include <QTextStream>
#include <deque>

namespace rat::cli {

class CliPrompt : public Prompt {
public:
    explicit CliPrompt(QTextStream& out) : out_(out) {}

    std::deque<QString> answers;  // "Да", "Нет", "Отмена"
    std::deque<int> choices;      // 1-based, 0 for none
    std::deque<QString> inputs;

    void message(const QString& text, Icon icon) override;
    Answer ask(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<int> choose(const QString& title, const QString& prompt, const QStringList& items,
                              int preselected = 0) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& defaultText) override;
    void status(const QString& text) override;
    void progress(int done, int total, const QString& text) override;

private:
    void line(const QString& kind, const QString& text);
    QTextStream& out_;
};

// A newline inside a text is written as \n so that one event stays one line.
QString oneLine(const QString& text);

} // namespace rat::cli
