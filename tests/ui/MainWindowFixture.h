#pragma once
// What the window tests share: keystrokes as a person types them, a window's field by name, and
// a main window over a database file of its own whose commands open the list windows.

#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"
#include "ui/MainWindow.h"
#include "ui/BookListWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QString>
#include <gtest/gtest.h>
#include <memory>

namespace rat::test {

// One key press per character into the widget, which keeps whatever focus it has.
inline void type(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

// The same after the person has clicked into the widget.
inline void typeInto(QWidget* w, const QString& text)
{
    w->setFocus();
    type(w, text);
}

inline void press(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(w, &event);
}

// The control of a field of a window or dialog with control(name), of the expected type.
template <class W, class Window>
W* field(Window& w, const char* name)
{
    W* c = qobject_cast<W*>(w.control(QString::fromLatin1(name)));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// A main window whose SetUp the test writes; the child windows close before the frame goes.
class MainWindowFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (window)
            window->mdiArea()->closeAllSubWindows();
        window.reset();
    }

    Database& db() { return session.db(); }

    // Carries out a main-window command and returns the list window that is active after it.
    ui::BookListWindow* run(const char* command)
    {
        QAction* a = window->command(QString::fromUtf8(command));
        EXPECT_NE(a, nullptr) << command;
        if (!a)
            return nullptr;
        a->trigger();
        QMdiSubWindow* sub = window->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<ui::BookListWindow*>(sub->widget()) : nullptr;
    }

    TestEnv env;
    ScriptedPrompt prompt;
    DatabaseSession session{prompt};
    std::unique_ptr<ui::MainWindow> window;
};

} // namespace rat::test
