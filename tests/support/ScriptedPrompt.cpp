// The scripted Prompt of the tests: queued answers, every text recorded in order.

#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace rat::test {

void ScriptedPrompt::message(const QString& text, Icon icon)
{
    const char* kind = icon == Icon::Warning ? "warning: " : icon == Icon::Critical ? "critical: " : "info: ";
    events << QString::fromLatin1(kind) + text;
}

Answer ScriptedPrompt::ask(const QString& text, Buttons, Answer)
{
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        events << QStringLiteral("question: ") + text + QStringLiteral(" => ");
        return Answer::Cancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    events << QStringLiteral("question: ") + text + QStringLiteral(" => ") + answerText(a);
    return a;
}

std::optional<int> ScriptedPrompt::choose(const QString& title, const QString&, const QStringList& items, int preselected)
{
    preselections.push_back(preselected);
    if (choices.empty()) {
        ADD_FAILURE() << "unexpected choice: " << title.toStdString();
        return std::nullopt;
    }
    const auto c = choices.front();
    choices.pop_front();
    events << QStringLiteral("choose: ") + title + QStringLiteral(" => ") + (c ? items.value(*c) : QString());
    return c;
}

std::optional<QString> ScriptedPrompt::input(const QString&, const QString& prompt, const QString&)
{
    if (inputs.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return std::nullopt;
    }
    const auto t = inputs.front();
    inputs.pop_front();
    events << QStringLiteral("input: ") + prompt + QStringLiteral(" => ") + t.value_or(QString());
    return t;
}

void ScriptedPrompt::status(const QString& text)
{
    events << QStringLiteral("status: ") + text;
}

void ScriptedPrompt::progress(int, int, const QString&) {}

QStringList ScriptedPrompt::messages() const
{
    QStringList out;
    for (const QString& e : events)
        if (!e.startsWith(QLatin1String("status: ")))
            out << e;
    return out;
}

} // namespace rat::test
