#pragma once
// A Prompt for tests: questions are answered from a queue, every text shown is recorded in
// order, and a question nobody scripted fails the test.

#include "core/Prompt.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace rat::test {

class ScriptedPrompt : public Prompt {
public:
    // Recorded events, one line each, in the same form as the headless tool prints them:
    // "info: ...", "warning: ...", "critical: ...", "question: ... => Да", "choose: ... => item",
    // "input: ... => text", "status: ...".
    QStringList events;

    std::deque<Answer> answers;
    std::deque<std::optional<int>> choices;
    std::deque<std::optional<QString>> inputs;
    std::vector<int> preselections;  // the item each choice showed first

    void message(const QString& text, Icon icon) override;
    Answer ask(const QString& text, Buttons buttons, Answer defaultAnswer) override;
    std::optional<int> choose(const QString& title, const QString& prompt, const QStringList& items,
                              int preselected = 0) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& defaultText) override;
    void status(const QString& text) override;
    void progress(int done, int total, const QString& text) override;

    // Events other than status texts.
    QStringList messages() const;
    void clear() { events.clear(); }
};

} // namespace rat::test
