#pragma once
// The desktop program's application object: every event is delivered inside one guard, so an
// engine error in any window (a damaged page, a file that became read-only) is told to the
// person in a sentence naming the command, and the program keeps running.

#include <QApplication>
#include <QString>
#include <functional>

class QObject;

namespace rat {
class DbError;
class Prompt;
}

namespace rat::ui {

// "выполнении команды "<text>"" for the button, menu item or shortcut an event reaches; empty
// when the event names no command.
QString commandOperation(QObject* receiver);

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    // Where the sentence goes and which file it names when the file cannot be written.
    void setReport(Prompt* prompt, std::function<QString()> databasePath);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Prompt* prompt_ = nullptr;
    std::function<QString()> databasePath_;
};

} // namespace rat::ui
