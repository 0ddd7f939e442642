// A new file opens cleanly: the first check that the build and the database layer work.

#include "core/DatabaseSession.h"
#include "support/ScriptedPrompt.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

using namespace rat;

TEST(Smoke, NewFileOpensCleanly)
{
    test::TestEnv env;
    test::ScriptedPrompt prompt;
    DatabaseSession session(prompt);
    ASSERT_TRUE(session.createDatabase(env.path("a.db")));
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().join('\n').toStdString();
}
