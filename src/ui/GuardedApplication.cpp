// One guard around the delivery of every event: engine errors become a message, not an abort.

#include "ui/GuardedApplication.h"
#include "core/Database.h"
#include "core/DatabaseErrors.h"
#include "core/Prompt.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace rat::ui {

namespace {

QString commandText(QString text)
{
    text.remove(QLatin1Char('&'));
    return text.trimmed();
}

} // namespace

QString commandOperation(QObject* receiver)
{
    QString text;
    if (auto* menu = qobject_cast<QMenu*>(receiver)) {
        if (QAction* a = menu->activeAction())
            text = commandText(a->text());
    } else if (auto* action = qobject_cast<QAction*>(receiver)) {
        text = commandText(action->text());
    } else if (auto* button = qobject_cast<QAbstractButton*>(receiver)) {
        text = commandText(button->text());
        if (auto* tool = qobject_cast<QToolButton*>(button); text.isEmpty() && tool && tool->defaultAction())
            text = commandText(tool->defaultAction()->text());
        if (text.isEmpty())
            text = commandText(button->toolTip());
    }
    return text.isEmpty() ? QString() : QStringLiteral("выполнении команды \"") + text + QLatin1Char('"');
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void GuardedApplication::setReport(Prompt* prompt, std::function<QString()> databasePath)
{
    prompt_ = prompt;
    databasePath_ = std::move(databasePath);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError& e) {
        const QString text = databaseErrorMessage(commandOperation(receiver), e, databasePath_ ? databasePath_() : QString());
        if (prompt_)
            prompt_->critical(text);
        return false;
    }
}

} // namespace rat::ui
