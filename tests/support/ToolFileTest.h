#pragma once
// A test of the headless tool with its own database file: the tool creates the file, then the
// fixture writes its rows while the tool is not running.

#include "core/Database.h"
#include "support/ToolRun.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace rat::test {

class ToolFileTest : public ::testing::Test {
protected:
    explicit ToolFileTest(QString fileName) : fileName_(std::move(fileName)) {}

    // Creates the file through the tool and runs `script` on it; a failure stops the test.
    void createFile(const QString& script)
    {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_EQ(run({QStringLiteral("create")}).exitCode, 0);
        Database db(path(), false);
        db.execScript(script);
    }

    QString path() const { return tmp.filePath(fileName_); }

    // A test that adds arguments to every run, or trims its output, overrides this.
    virtual ToolRun run(QStringList args) const { return runTool(tmp.path(), path(), args); }

    QTemporaryDir tmp;

private:
    QString fileName_;
};

} // namespace rat::test
