// Test entry for widget tests: a QApplication on the offscreen platform.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/Settings.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ratsionariy"));
    QCoreApplication::setApplicationName(QStringLiteral("ratsionariy"));
    QTemporaryDir settings;
    rat::Settings::useFolder(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
