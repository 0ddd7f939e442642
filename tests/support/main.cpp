// Test entry: a Qt application object (settings, paths) and no real settings store.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/Settings.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ratsionariy"));
    QCoreApplication::setApplicationName(QStringLiteral("ratsionariy"));
    QTemporaryDir settings;
    rat::Settings::useFolder(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
