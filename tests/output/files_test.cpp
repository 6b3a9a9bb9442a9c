#include <gtest/gtest.h>

#include "app/appstate.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/fileutil.h"
#include "output/intensitytable.h"
#include "support/testsupport.h"

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
    EXPECT_FALSE(dirExists(f));
    EXPECT_TRUE(dirExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_EQ(readWholeFile(dir.path()), "");
    EXPECT_FALSE(writeWholeFile(dir.file("missing/sub/x.txt"), "x"));
    EXPECT_FALSE(writeWholeFile(dir.path(), "x"));
}

TEST(IntensityTable, EveryPairUpToTwentyLeavingTheOrbital) {
    resetGlobals();
    auto& o = globals().orbital;
    o.currentN = 3, o.currentL = 2;
    test::TempDir dir;
    test::ScopedEnv tmp("TMPDIR", dir.path());
    getAllIntensities();
    const auto lines = test::splitLines(test::readFile(dir.file("int.csv")));
    double v = 0;
    getIntensity(2, 1, v);
    ASSERT_EQ(lines.size(), 190u);
    EXPECT_EQ(lines[0], "2,1," + numText(v));
    EXPECT_TRUE(test::startsWith(lines.back(), "20,19,")) << lines.back();
    EXPECT_EQ(o.currentN, 3);
}

}  // namespace
}  // namespace vantrel
