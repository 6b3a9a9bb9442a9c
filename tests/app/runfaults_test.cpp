// A sampling run meets a full disk, a read-only file, a file deleted or cut
// short under it, a cut-off last line; a long run says how far it is.
#include <chrono>
#include <cstring>
#include <thread>
#include <tuple>

#include "app/orbitalfiles.h"
#include "output/pointfile.h"
#include "support/faults.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class RunFaults : public CacheState {
protected:
    void SetUp() override {
        CacheState::SetUp();
        installReactions(s);
        s.hooks.report = [this](const std::string& line) { reports.push_back(line); };
    }
    // The header and the whole lines after it, every one of them a point.
    PointLines checkWhole(const std::string& bytes) {
        const PointLines p = pointLines(bytes);
        for (const std::string& l : p.points) EXPECT_EQ(std::count(l.begin(), l.end(), ','), 3) << l;
        EXPECT_TRUE(endsWith(bytes, "\r\n")) << "a cut-off last line";
        EXPECT_EQ(bytes.find('\0'), std::string::npos);
        return p;
    }
    void runBatch(const std::string& text) {
        std::string name = dir.file("seq.txt");
        writeFile(name, text), runSequence(s, name);
    }
    bool sawReport(const std::string& part) const {
        for (const auto& r : reports)
            if (contains(r, part)) return true;
        return false;
    }
    std::vector<std::string> reports;
};

TEST_F(RunFaults, FullDiskIsReportedWithThePointsKeptAndTheBatchRunIsNoSuccess) {
    SmallDisk disk(cache, 64 * 1024);
    choose(3, 2, 0, 13, 200000);
    startCalculation(s, false);
    const std::string reason = std::string(std::strerror(disk.error())) + " writing " + csv();
    ASSERT_TRUE(dialogs.saw(reason)) << (dialogs.shown.empty() ? "" : dialogs.shown.back().text);
    const auto [count, points] = checkWhole(readFile(csv()));
    EXPECT_EQ(count, static_cast<long long>(points.size())) << "header count, point lines";
    EXPECT_GT(points.size(), 100u);
    EXPECT_LT(points.size(), 200000u);
    EXPECT_TRUE(dialogs.saw("The file keeps " + intText(count) + " points."));
    EXPECT_EQ(std::tuple(s.run.nPoints, s.run.problem.pointsKept), std::tuple(count, count));
    EXPECT_NE(s.run.loadedFile, csv());
    // A batch run there is no success either.
    fs::remove(csv());
    runBatch("maxpoints=200000 extent=13\r\n3 2 0\r\n");
    EXPECT_EQ(s.sequenceOutcome, SequenceOutcome::Incomplete);
    EXPECT_TRUE(sawReport(" points (incomplete), ") || sawReport("  no page written")) << reports.back();
    EXPECT_FALSE(sawReport("  0 points"));

    if (disk.mounted()) {  // completely full: not even the header fits
        for (const auto& entry : fs::directory_iterator(cache)) fs::remove(entry.path());
        writeFile(cache + "/filler", std::string(64 * 1024, 'x'));
        dialogs.shown.clear();
        startCalculation(s, false);
        EXPECT_TRUE(dialogs.saw(reason)) << dialogs.shown.back().text;
        EXPECT_TRUE(dialogs.saw("The file keeps 0 points.")) << dialogs.shown.back().text;
        EXPECT_FALSE(dialogs.saw("does not hold the point count"));
    }
}

TEST_F(RunFaults, ReadOnlyPointFileSaysTheRunCouldNotWrite) {
    choose(2, 1, 0, 6, 625);
    const std::string old = csvHeader("40,6,0.5") + "1,1,1,0.1\r\n";
    writeFile(csv(), old);
    ReadOnly lock(csv());
    if (!lock.effective()) GTEST_SKIP() << "root without the right to mount";
    runBatch("maxpoints=625 extent=6\r\n2 1 0\r\n");
    EXPECT_TRUE(dialogs.saw(std::string(std::strerror(lock.error())) + " writing " + csv() + "\r\n" +
                            "The run could not write its point file."));
    EXPECT_TRUE(sawReport("  no page written: the run could not write its point file"));
    EXPECT_FALSE(sawReport(", page "));
    EXPECT_EQ(std::tuple(s.sequenceOutcome, readFile(csv())), std::tuple(SequenceOutcome::Incomplete, old));
}

// During the run the header follows the points on disk: a kill at any
// moment leaves a header that counts the whole lines already there. A
// point file deleted or cut short under the run stops the orbital.
TEST_F(RunFaults, HeaderFollowsThePointsAndAFileDeletedOrCutShortStopsTheOrbital) {
    choose(3, 2, 0, 13, 20000);
    for (bool deleted : {true, false}) {
        PointLines seen;
        s.samplingHooks.onPoint = [&] {
            const int n = s.run.nPoints;
            if (n == 300) std::this_thread::sleep_for(std::chrono::milliseconds(150));  // a checkpoint is due
            if (n != 3000) return;
            seen = checkWhole(readFile(csv()));
            deleted ? (void)fs::remove(csv()) : fs::resize_file(csv(), 0);
        };
        startCalculation(s, false);
        EXPECT_GE(seen.count, 300);
        EXPECT_EQ(seen.count, seen.lines());
        EXPECT_TRUE(dialogs.saw("The point file " + csv() + (deleted ? " was deleted" : " was cut short") + " while the run wrote to it."));
        EXPECT_LT(s.run.nPoints, 20000);
        // Cut short: still empty, no hole of zero bytes.
        EXPECT_TRUE(deleted ? !fs::exists(csv()) : readFile(csv()).empty());
    }
}

TEST_F(RunFaults, LongRunsPrintTheirProgress) {
    // (A short run stays quiet: the golden runs' consoles.)
    s.samplingHooks.progressEvery = std::chrono::milliseconds(0);
    choose(3, 2, 0, 13, 2000);
    startCalculation(s, true);
    ASSERT_FALSE(reports.empty());
    // points so far of the target (the next multiple of the quota), trials, time
    const std::string& r = reports.front();
    EXPECT_TRUE(containsAll(r, {" of 2000 points, ", " trials, "}));
    EXPECT_EQ(r.back(), 's') << r;

    // Reading the point file back and converting it say how far they are too.
    reports.clear();
    readPointFile(s);
    EXPECT_TRUE(sawReport("  reading 3_2_0_.csv: 1024 points, ")) << reports.front();
    createOrbitalPage(s);
    EXPECT_TRUE(sawReport("  writing 3_2_0_.xyz: 0 of 2000 points, "));
}

// A second run of an orbital whose point file another run is writing
// leaves it alone and says so; the first run's file stays whole.
TEST_F(RunFaults, ASecondRunOfTheSameOrbitalIsRefused) {
    choose(1, 0, 0, 5, 625);
    writeFile(csv(), csvHeader("1,5,0.5") + "1,1,1,0.1\r\n");
    PointFileWriter first(csv());
    ASSERT_TRUE(first.openAppend(1));
    for (bool continuing : {false, true}) {
        s.run.continueRun = continuing;
        startCalculation(s, true);
        EXPECT_TRUE(dialogs.saw("Another run is writing the point file " + csv())) << continuing;
        EXPECT_EQ(readFile(csv()), csvHeader("1,5,0.5") + "1,1,1,0.1\r\n") << continuing;
    }
    first.close();
    startCalculation(s, true);
    EXPECT_TRUE(startsWith(readFile(csv()), "625,5,"));
}

// Continuing drops a cut-off last line, then appends only to a file that
// reads whole under a ceiling that is the orbital's; anything else is
// refused and left as it is.
TEST_F(RunFaults, ContinueDropsACutOffLineAndRefusesADamagedFileOrCeiling) {
    const std::string one = "0.5,0.25,-1,0.1\r\n";
    std::string good;
    for (int i = 0; i < 500; ++i) good += one;
    const struct {
        const char* what;
        std::string header, after;
        bool refused = true;
    } cases[] = {
        {"a cut-off last line", "500,5,0.5", "0.7,1.25", false},
        {"a cut-off last line of four fields", "500,5,0.5", "0.7,1.25,3,0.0", false},
        // (NaN and points far outside are the point-file reader's tests.)
        {"inf", "501,5,0.5", "inf,0,0,0.1\r\n" + one},
        {"NUL bytes", "501,5,0.5", std::string("0.5,0\0,0,0.1\r\n", 14) + one},
        {"a fifth field", "501,5,0.5", "0.5,0,0,0.1,7\r\n" + one},
        {"a 3 MB line", "501,5,0.5", std::string(3000000, '1') + "\r\n" + one},
        {"a ceiling far too high", "500,5,1E+308", one},
        {"a ceiling far too low", "500,5,1E-308", one},
    };
    choose(1, 0, 0, 5, 625);
    for (const auto& c : cases) {
        const std::string bytes = csvHeader(c.header) + good + c.after;
        writeFile(csv(), bytes);
        s.run.loadedFile.clear();
        dialogs.shown.clear();
        dialogs.answers = {Answer::Yes};  // continue
        startCalculation(s, false);
        if (!c.refused) {
            const std::string now = readFile(csv());
            const PointLines p = checkWhole(now);
            EXPECT_EQ(std::tuple(p.count, p.lines()), std::tuple(625, 625)) << c.what << ": header count, point lines";
            EXPECT_EQ(now.substr(52, good.size()), good) << c.what;  // the whole lines stay
            continue;
        }
        EXPECT_EQ(readFile(csv()), bytes) << c.what;
        EXPECT_TRUE(dialogs.saw(startsWith(c.what, "a ceiling") ? "is far from this orbital's (about "
                                                                : "after 500 points comes a line that is not a point of this orbital."))
            << c.what;
    }
    // A header count of 0 with points after it (killed before the first
    // patch) is continued rather than emptied.
    writeFile(csv(), csvHeader("0,5,0.5") + good);
    EXPECT_TRUE(canContinue(s.orbital));
}

}  // namespace
}  // namespace vantrel
