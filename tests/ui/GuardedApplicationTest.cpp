// The desktop program's event guard names the command an event reached: a button's text, the
// active menu item, a shortcut's action; nothing for an event that names no command.

#include "ui/GuardedApplication.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using rat::ui::commandOperation;

TEST(EventGuard, TheCommandIsNamedByTheButtonMenuItemOrActionTheEventReached)
{
    QPushButton save(QStringLiteral("&Сохранить"));
    EXPECT_EQ(commandOperation(&save), QStringLiteral("выполнении команды \"Сохранить\""));

    QAction remove(QStringLiteral("Удалить строку"));
    EXPECT_EQ(commandOperation(&remove), QStringLiteral("выполнении команды \"Удалить строку\""));

    QToolButton tool;
    tool.setDefaultAction(&remove);
    EXPECT_EQ(commandOperation(&tool), QStringLiteral("выполнении команды \"Удалить строку\""));

    QMenu menu;
    QAction* open = menu.addAction(QStringLiteral("&Открыть..."));
    EXPECT_EQ(commandOperation(&menu), QString());
    menu.setActiveAction(open);
    EXPECT_EQ(commandOperation(&menu), QStringLiteral("выполнении команды \"Открыть...\""));

    QLabel label(QStringLiteral("Продукты"));
    EXPECT_EQ(commandOperation(&label), QString());
    EXPECT_EQ(commandOperation(nullptr), QString());
}
