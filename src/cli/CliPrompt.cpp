// The headless tool's Prompt: scripted answers from the command line, one output line per
// message, question, status and progress text.

#include "cli/CliPrompt.h"

namespace rat::cli {

QString oneLine(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    s.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    return s;
}

void CliPrompt::line(const QString& kind, const QString& text)
{
    out_ << kind << QStringLiteral(": ") << oneLine(text) << '\n';
    out_.flush();
}

void CliPrompt::message(const QString& text, Icon icon)
{
    switch (icon) {
    case Icon::Warning: line(QStringLiteral("warning"), text); break;
    case Icon::Critical: line(QStringLiteral("critical"), text); break;
    default: line(QStringLiteral("info"), text); break;
    }
}

Answer CliPrompt::ask(const QString& text, Buttons buttons, Answer defaultAnswer)
{
    Answer a = defaultAnswer;
    if (!answers.empty()) {
        const QString given = answers.front();
        answers.pop_front();
        if (given == QStringLiteral("Да"))
            a = Answer::Yes;
        else if (given == QStringLiteral("Нет"))
            a = Answer::No;
        else if (given == QStringLiteral("Отмена"))
            a = Answer::Cancel;
        else if (given == QStringLiteral("ОК") || given == QLatin1String("OK"))
            a = Answer::Ok;
        // An answer the question does not offer counts as its default button.
        const bool offered = (a == Answer::Ok && (buttons == Buttons::Ok || buttons == Buttons::OkCancel)) ||
                             (a == Answer::Cancel && (buttons == Buttons::OkCancel || buttons == Buttons::YesNoCancel)) ||
                             ((a == Answer::Yes || a == Answer::No) && (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel));
        if (!offered)
            a = defaultAnswer;
    }
    line(QStringLiteral("question"), text + QStringLiteral(" => ") + answerText(a));
    return a;
}

std::optional<int> CliPrompt::choose(const QString& title, const QString&, const QStringList& items, int)
{
    std::optional<int> picked;
    if (!choices.empty()) {
        const int n = choices.front();
        choices.pop_front();
        if (n >= 1 && n <= items.size())
            picked = n - 1;
    }
    line(QStringLiteral("choose"), title + QStringLiteral(" => ") + (picked ? items[*picked] : QString()));
    return picked;
}

std::optional<QString> CliPrompt::input(const QString&, const QString& prompt, const QString&)
{
    std::optional<QString> text;
    if (!inputs.empty()) {
        text = inputs.front();
        inputs.pop_front();
    }
    line(QStringLiteral("input"), prompt + QStringLiteral(" => ") + text.value_or(QString()));
    return text;
}

void CliPrompt::status(const QString& text)
{
    line(QStringLiteral("status"), text);
}

void CliPrompt::progress(int, int, const QString&)
{
    // Progress is for people watching a window; a script's output stays the same run to run.
}

} // namespace rat::cli
