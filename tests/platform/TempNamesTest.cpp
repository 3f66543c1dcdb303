#include "platform/TempNames.h"

#include <gtest/gtest.h>

using namespace rinvo;

TEST(TempNames, CarryTheWriterAndReadTheNamesOfEarlierVersions)
{
    const TempWriter writer { 4242, 0x1234abcd5678ef00 };
    EXPECT_EQ(parseTempName(makeTempName(writer, 7)), writer);
    EXPECT_EQ(parseTempName(makeTempName({ 1, 1 }, 0)), (TempWriter { 1, 1 }));
    EXPECT_EQ(parseTempName(".~rinvo-4242-7.tmp"), (TempWriter { 4242, 0 }));
}

TEST(TempNames, OrdinaryNamesAreNeverTakenForTemporaryFiles)
{
    for (const char* name : { ".~rinvo-.tmp", ".~rinvo-12.tmp", ".~rinvo-12-x.tmp",
             ".~rinvo-a-1.tmp", "~rinvo-1-2.tmp", ".~rinvo-1-2.tmp.bak", "report.tmp",
             ".~rinvo-1-2", ".~rinvo-1-zz-2.tmp", ".~rinvo-1--2.tmp" })
        EXPECT_FALSE(parseTempName(name)) << name;
}
