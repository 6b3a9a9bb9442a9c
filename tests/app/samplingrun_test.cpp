#include <cmath>
#include <cstdio>
#include <numeric>
#include <tuple>

#include "app/orbitalcontrols.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class SamplingTest : public CacheState {
protected:
    void stopAt(int count) {  // presses "Enough!" once count points are in
        s.samplingHooks.onPoint = [this, count] {
            if (s.run.nPoints >= count) calculateClick(s);
        };
    }
    std::vector<std::string> lines() { return splitLines(readFile(s.orbital.csvFile)); }
    std::string header() { return lines().empty() ? "" : lines()[0]; }
};

TEST_F(SamplingTest, StoppedRunContinuesOnlyWithAMatchingHeader) {
    choose(2, 1, 0, 6);
    stopAt(40);
    startCalculation(s, false);
    const auto first = lines();
    const std::string points = readFile(csv()).substr(52);
    ASSERT_EQ(first.size(), 41u);
    ASSERT_TRUE(startsWith(first[0], "40,6,")) << first[0];
    choose(2, 1, 0, 7);  // another extent: the header no longer matches
    EXPECT_FALSE(canContinue(s.orbital));
    choose(2, 1, 0, 6);

    // Cancel leaves everything as it was
    s.samplingHooks.onPoint = nullptr;
    dialogs.answers = {Answer::Cancel};
    startCalculation(s, false);
    EXPECT_TRUE(dialogs.saw("Continue previous calculation saved in " + csv() + "?"));
    EXPECT_EQ(lines(), first);
    // (Yes, appending, is in the run-fault tests.) No starts afresh.
    dialogs.answers = {Answer::No};
    stopAt(10);
    startCalculation(s, false);
    EXPECT_EQ(lines().size(), 11u);

    dialogs.shown.clear();  // the header test asks nothing; unreadable headers are the codec's tests
    const std::string shortHeader = csvHeader("40,6,0.5").substr(0, 49) + "\r\n" + points;  // 49 characters
    for (const std::string& bytes : {shortHeader, csvHeader("40,6,0.5").insert(50, " ") + points, csvHeader("0,6,0.5"),
                                     csvHeader("40,6,0") + points, csvHeader("40,99999,0.5") + points, std::string()}) {
        writeFile(csv(), bytes);
        EXPECT_FALSE(canContinue(s.orbital)) << bytes.substr(0, 52);
    }
    writeFile(csv(), csvHeader("40 6 0.5").substr(0, 50) + "\n");  // blanks and LF are fine
    EXPECT_TRUE(canContinue(s.orbital));
    fs::remove(csv());
    EXPECT_FALSE(canContinue(s.orbital));
    EXPECT_TRUE(dialogs.shown.empty());

    // A foreign file is never continued, even when asked to in batch mode:
    // the run starts afresh instead of patching its first bytes.
    writeFile(csv(), shortHeader);
    s.samplingHooks.onPoint = nullptr;
    s.run.continueRun = true;
    s.run.maxPsi2 = 0.5;
    startCalculation(s, true);
    EXPECT_EQ(lines().size(), 626u);
    EXPECT_TRUE(startsWith(header(), "625,6,")) << header();
}

TEST_F(SamplingTest, NodalPlaneStopsAfter501TrialsQuotaExactlyFailuresSaid) {
    choose(2, 1, 0, 6, 625, 1);  // pz on the XY plane
    startCalculation(s, false);
    EXPECT_EQ(std::tuple(s.run.trials, s.run.nPoints, s.window.nodeLabel.visible), std::tuple(501, 0, true));
    EXPECT_TRUE(startsWith(readFile(csv()), "0,6,"));

    // The XZ plane is no node: the quota exactly. (The file's bytes are the
    // golden runs'; here what the run leaves in the window.)
    choose(2, 1, 0, 6, 625, 3);
    startCalculation(s, false);
    EXPECT_EQ(std::tuple(s.run.nPoints, s.window.nodeLabel.visible), std::tuple(625, false));
    EXPECT_EQ(std::tuple(s.run.loadedFile, canContinue(s.orbital)), std::tuple(csv(), true));
    const auto& hits = s.radial.histogram.hits;
    EXPECT_EQ(std::accumulate(hits.begin(), hits.end(), 0.0), 625);
    EXPECT_EQ(std::tuple(f.calculateButton.caption, f.escapeStopsRun), std::tuple("&Calculate", false));

    // nothing above 50 A from a Be+3 1s nucleus survives in double precision
    setNucleus(s, 4);
    choose(1, 0, 0, 500);
    startCalculation(s, false);
    EXPECT_TRUE(dialogs.saw("psimaxerror--try again."));
    EXPECT_EQ(readFile(csv()), "");
    EXPECT_NE(s.run.loadedFile, csv());
    EXPECT_EQ(s.window.calculateButton.caption, "&Calculate");
}

// The file and the trial a run ends at do not depend on how many threads
// evaluate: the quota, "Enough!" and a node all end it at the same trial.
TEST_F(SamplingTest, AnyNumberOfThreadsEndsAtTheSameTrialWithTheSameFile) {
    struct Case {
        int n, l, m, extent, quota, region, stopAt;
    } cases[] = {{3, 2, 0, 13, 700, 0, 0}, {1, 0, 0, 2, 5000, 0, 3001}, {4, 3, 2, 23, 800, 0, 0},
                 {2, 1, 0, 6, 625, 1, 0}};
    for (const auto& c : cases) {
        std::string file;
        long long trials = 0;
        for (unsigned threads : {1u, 2u, 4u}) {
            choose(c.n, c.l, c.m, c.extent, c.quota, c.region);
            s.samplingHooks.onPoint = nullptr;
            if (c.stopAt) stopAt(c.stopAt);
            s.samplingHooks.threads = threads;
            s.random.seed(2024);
            s.run.continueRun = false;
            startCalculation(s, true);
            const std::string bytes = readFile(csv());
            if (threads == 1) {
                file = bytes, trials = s.run.trials;
                continue;
            }
            EXPECT_EQ(s.run.trials, trials) << c.n << c.l << c.m << " on " << threads << " threads";
            EXPECT_TRUE(bytes == file) << "other bytes for " << c.n << c.l << c.m << " on " << threads << " threads";
        }
        EXPECT_EQ(static_cast<int>(splitLines(file).size()) - 1, c.stopAt ? c.stopAt : c.region ? 0 : c.quota);
    }
}

// Chi-square of the radial distribution of the points inside the inscribed
// sphere (or circle on the XZ plane) against psi^2 cut at the ceiling.
double chiSquare(const Session& s, const std::vector<std::string>& l, double extent, bool plane, int& dof) {
    const int bins = 12, rSteps = 40 * bins, asteps = plane ? 720 : 360;
    std::vector<double> count(bins, 0.0), share(bins, 0.0);
    double inside = 0, total = 0;
    for (std::size_t i = 1; i < l.size(); ++i) {
        double x = 0, y = 0, z = 0;
        std::sscanf(l[i].c_str(), "%lf,%lf,%lf", &x, &y, &z);
        const double r = std::sqrt(x * x + y * y + z * z);
        if (r < extent) count[static_cast<int>(r / extent * bins)] += 1, inside += 1;
    }
    for (int i = 0; i < rSteps; ++i) {
        const double r = extent * (i + 0.5) / rSteps;
        for (int j = 0; j < asteps; ++j) {
            // A full turn in the plane; in space, m = 0 does not depend on the azimuth.
            const double a = (plane ? 2 : 1) * M_PI * (j + 0.5) / asteps, weight = plane ? r : r * r * std::sin(a);
            double rr, r2, radial = 0;
            const double psi = s.wavefunction.evaluate(r * std::sin(a), 0, r * std::cos(a), rr, r2, radial);
            const double w = std::min(psi * psi, s.run.maxPsi2) * weight;
            share[i / 40] += w, total += w;
        }
    }
    double chi = 0, pendingO = 0, pendingE = 0;
    dof = -1;
    for (int b = 0; b < bins; ++b) {  // tail bins merged until each expects 5
        pendingO += count[b];
        pendingE += share[b] / total * inside;
        if (pendingE >= 5 || b == bins - 1) {
            chi += (pendingO - pendingE) * (pendingO - pendingE) / std::max(pendingE, 1e-9);
            pendingO = pendingE = 0;
            ++dof;
        }
    }
    return chi;
}

TEST_F(SamplingTest, RadialDistributionFollowsPsiSquared) {
    // 99.9% points of chi-square for 7..11 degrees of freedom
    const double critical[] = {0, 0, 0, 0, 0, 0, 0, 24.32, 26.12, 27.88, 29.59, 31.26};
    struct Case {
        int n, l, m, extent, region;
    } cases[] = {{1, 0, 0, 2, 0}, {2, 1, 0, 6, 3}, {3, 2, 0, 13, 0}};
    for (const auto& c : cases) {
        choose(c.n, c.l, c.m, c.extent, 4000, c.region);
        s.run.continueRun = false;
        startCalculation(s, true);
        ASSERT_EQ(s.run.nPoints, 4000);
        int dof = 0;
        const double chi = chiSquare(s, lines(), c.extent, c.region != 0, dof);
        ASSERT_GE(dof, 7);
        EXPECT_LT(chi, critical[dof]) << c.n << c.l << c.m << " dof " << dof;
    }
}

}  // namespace
}  // namespace vantrel
