// Whole files read and written, replaced whole or not at all (a full disk,
// copies cut short), and the overlap table. (Folders, links and FIFOs in
// the way: tests/app/writefaults_test.cpp.)
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/fileutil.h"
#include "output/intensitytable.h"
#include "output/replacingfile.h"
#include "support/faults.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

using namespace test;

// What writeWholeFile writes and whether it says so: the golden runs'
// index.htm and the frame-set template's tests; reading what is no file:
// the FIFO below.
TEST(Files, ExistOnlyAsRegularFiles) {
    TempDir dir;
    EXPECT_FALSE(fileExists(dir.file("page.htm")));
    EXPECT_FALSE(fileExists(dir.path()));
    writeFile(dir.file("page.htm"), "");
    EXPECT_TRUE(fileExists(dir.file("page.htm")));
}

TEST(IntensityTable, EveryPairUpToTwenty) {
    TempDir dir;
    ScopedEnv tmp("TMPDIR", dir.path());
    EXPECT_EQ(getAllIntensities(1, 50), "");
    const auto lines = splitLines(readFile(dir.file("int.csv")));
    ASSERT_EQ(lines.size(), 190u);
    EXPECT_EQ(lines[0], "2,1," + numText(getIntensity(1, 2, 1, 50)));
    EXPECT_TRUE(startsWith(lines.back(), "20,19,")) << lines.back();
}

// Names in the folder other than the expected ones: a temporary file left
// behind shows up here.
std::vector<std::string> strays(const std::string& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) found.push_back(name);
    }
    return found;
}

TEST(ReplacingFile, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
    TempDir dir;
    const std::string disk = dir.file("disk");
    fs::create_directory(disk);
    const std::string target = disk + "/page.htm";
    SmallDisk small(disk, 16384);
    writeFile(target, "old page");
    const std::string problem = replaceFile(target, std::string(100000, 'x'));
    EXPECT_TRUE(contains(problem, std::string(std::strerror(small.error())) + " writing " + target)) << problem;
    EXPECT_EQ(readFile(target), "old page");
    EXPECT_EQ(strays(disk, {"page.htm"}), std::vector<std::string>{});

    // The same through the text helper, which says why in errno.
    EXPECT_FALSE(writeWholeFile(target, std::string(100000, 'y')));
    EXPECT_EQ(errno, small.error());
    EXPECT_EQ(readFile(target), "old page");
}

TEST(ReplacingFile, CopiesAreComparedByContentAndMended) {
    TempDir dir;
    const std::string source = dir.file("three.min.js"), target = dir.file("copy.js");
    writeFile(source, std::string(200000, 'a') + "end");
    const struct {
        const char* what;
        std::string before;
    } cases[] = {{"missing", ""}, {"cut short", std::string(1000, 'a')}, {"same size, other bytes", std::string(200003, 'b')}};
    for (const auto& c : cases) {
        fs::remove(target);
        if (!c.before.empty()) writeFile(target, c.before);
        EXPECT_EQ(copyReplacing(source, target), "") << c.what;
        EXPECT_TRUE(sameBytes(source, target)) << c.what;
    }
    // A whole copy is left alone (its time does not change).
    const auto time = fs::last_write_time(target) - std::chrono::hours(1);
    fs::last_write_time(target, time);
    EXPECT_EQ(copyReplacing(source, target), "");
    EXPECT_EQ(fs::last_write_time(target), time);
    // A source that is a FIFO is refused without waiting for a writer.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_TRUE(contains(copyReplacing(dir.file("pipe"), target), "Not a regular file copying " + dir.file("pipe")));
    EXPECT_EQ(readWholeFile(dir.file("pipe")), "");
}

}  // namespace
}  // namespace vantrel
