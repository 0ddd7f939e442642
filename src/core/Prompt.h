#pragma once
// How domain code talks to a person: messages, questions, list choices, input boxes,
// status-bar texts and progress. The desktop shows message boxes; the headless tool answers
// from its command line; tests script the answers and record every text.

#include <QString>
#include <QStringList>
#include <optional>

namespace rat {

enum class Icon { Information, Warning, Critical, Question };

enum class Answer { None, Ok, Yes, No, Cancel };

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };

class Prompt {
public:
    virtual ~Prompt() = default;

    virtual void message(const QString& text, Icon icon) = 0;
    // The default answer is part of a question's contract: it is what Enter (or a script with
    // no answer left) chooses.
    virtual Answer ask(const QString& text, Buttons buttons, Answer defaultAnswer) = 0;
    // Returns the 0-based index of the chosen item, or nothing when the person declined. The
    // item `preselected` is the one shown first, so Enter takes the recommended one.
    virtual std::optional<int> choose(const QString& title, const QString& prompt, const QStringList& items,
                                      int preselected = 0) = 0;
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& defaultText) = 0;
    virtual void status(const QString& text) = 0;
    // total == 0 closes the progress display.
    virtual void progress(int done, int total, const QString& text) = 0;

    void info(const QString& text) { message(text, Icon::Information); }
    void warning(const QString& text) { message(text, Icon::Warning); }
    void critical(const QString& text) { message(text, Icon::Critical); }
};

// Shows nothing and takes every question's default; for work that runs with nobody watching.
class SilentPrompt : public Prompt {
public:
    void message(const QString&, Icon) override {}
    Answer ask(const QString&, Buttons, Answer def) override { return def; }
    std::optional<int> choose(const QString&, const QString&, const QStringList&, int = 0) override
    {
        return std::nullopt;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void status(const QString&) override {}
    void progress(int, int, const QString&) override {}
};

QString answerText(Answer a);  // "Да", "Нет", "Отмена", "ОК", ""

} // namespace rat
