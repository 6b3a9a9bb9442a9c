#include <gtest/gtest.h>

#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/fileutil.h"
#include "output/intensitytable.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

TEST(Files, ReadWriteExist) {
    test::TempDir dir;
    std::string f = dir.file("page.htm");
    EXPECT_FALSE(fileExists(f));
    EXPECT_EQ(readWholeFile(f), "");
    EXPECT_TRUE(writeWholeFile(f, "one\r\ntwo"));
    EXPECT_EQ(readWholeFile(f), "one\r\ntwo\r\n");  // the last line ended too
    EXPECT_TRUE(fileExists(f));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_EQ(readWholeFile(dir.path()), "");
    EXPECT_FALSE(writeWholeFile(dir.file("missing/sub/x.txt"), "x"));
    EXPECT_FALSE(writeWholeFile(dir.path(), "x"));
}

TEST(IntensityTable, EveryPairUpToTwenty) {
    test::TempDir dir;
    test::ScopedEnv tmp("TMPDIR", dir.path());
    EXPECT_EQ(getAllIntensities(1, 50), "");
    const auto lines = test::splitLines(test::readFile(dir.file("int.csv")));
    ASSERT_EQ(lines.size(), 190u);
    EXPECT_EQ(lines[0], "2,1," + numText(getIntensity(1, 2, 1, 50)));
    EXPECT_TRUE(test::startsWith(lines.back(), "20,19,")) << lines.back();
}

}  // namespace
}  // namespace vantrel
