#include "platform/TempNames.h"

#include <gtest/gtest.h>

using namespace rinvo;

TEST(TempNames, CarryTheWritersProcessId)
{
    EXPECT_EQ(parseTempName(makeTempName(4242, 7)), 4242u);
    EXPECT_EQ(parseTempName(makeTempName(1, 0)), 1u);
}

TEST(TempNames, OrdinaryNamesAreNeverTakenForTemporaryFiles)
{
    for (const char* name :
        { ".~rinvo-.tmp", ".~rinvo-12.tmp", ".~rinvo-12-x.tmp", ".~rinvo-a-1.tmp", "~rinvo-1-2.tmp",
            ".~rinvo-1-2.tmp.bak", "report.tmp", ".~rinvo-1-2" })
        EXPECT_FALSE(parseTempName(name)) << name;
}
