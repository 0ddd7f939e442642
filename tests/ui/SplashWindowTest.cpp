// The splash window of the start: the program's version and description, closing by itself.

#include "core/SchemaCatalogue.h"
#include "support/TestEnv.h"
#include "ui/SplashWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QStringList>
#include <gtest/gtest.h>

using namespace rat;

TEST(SplashWindow, ShowsTheVersionAndClosesByItself)
{
    test::TestEnv env;
    ui::SplashWindow splash(50);
    EXPECT_EQ(splash.objectName(), QStringLiteral("frmSplash"));
    QStringList texts;
    for (const QLabel* l : splash.findChildren<QLabel*>())
        texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Версия %1.%2.%3")
                                   .arg(schema::versionMajor)
                                   .arg(schema::versionMinor)
                                   .arg(schema::versionRevision)))
        << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Рационарий")));
    if (const QString shots = qEnvironmentVariable("RAT_SHOTS"); !shots.isEmpty()) {
        splash.show();
        splash.grab().save(QDir(shots).filePath(QStringLiteral("frmSplash.png")));
    }

    // Shown modally, it gives the start back on its own.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_LT(clock.elapsed(), 5000);
}
