#include "engine/sampling.h"

#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class SamplingTest : public CacheState {
protected:
    void SetUp() override {
        CacheState::SetUp();
        samplinghooks() = SamplingHooks{};
    }
    void TearDown() override {
        samplinghooks() = SamplingHooks{};
        CacheState::TearDown();
    }
    // n, l, m, extent and quota typed into the window; region by optAll index.
    static void choose(int n, int l, int m, int extent, int quota = 625, int region = 0) {
        form().txtmax.text = inttext(quota);
        form().optAll[region].select();
        globals().orbital.planename = form().optAll[region].tag;
        typenlm(inttext(n), inttext(l), inttext(m), inttext(extent).c_str());
    }
    static void stopat(int count) {  // presses "Enough!" once count points are in
        samplinghooks().onpoint = [count] {
            if (globals().run.npoints >= count) calculateclick();
        };
    }
    static std::vector<std::string> lines() { return splitlines(readfile(globals().orbital.csvfile)); }
    const std::string& csv() const { return globals().orbital.csvfile; }
};

TEST_F(SamplingTest, FreshRunFillsTheQuotaExactly) {
    choose(3, 2, 0, 13);
    startcalculation(false);
    const auto l = lines();
    ASSERT_EQ(l.size(), 626u);
    EXPECT_EQ(l[0].size(), 50u);
    EXPECT_TRUE(startswith(l[0], "625,13,")) << l[0];
    for (std::size_t i = 1; i < l.size(); ++i) ASSERT_EQ(std::count(l[i].begin(), l[i].end(), ','), 3) << l[i];
    EXPECT_EQ(readfile(csv()).substr(readfile(csv()).size() - 2), "\r\n");

    const auto& g = globals();
    EXPECT_TRUE(g.run.npoints == 625 && g.run.rundone && g.run.loadedfile == csv() && cancontinue());
    EXPECT_EQ(std::accumulate(g.radial.radialhits.begin(), g.radial.radialhits.end(), 0.0), 625);
    EXPECT_TRUE(form().Command1.caption == "&Calculate" && !form().command1cancel && form().optTheory[0].checked);
}

TEST_F(SamplingTest, StoppedRunContinuesOnlyWithAMatchingHeader) {
    choose(2, 1, 0, 6);
    stopat(40);
    startcalculation(false);
    const auto first = lines();
    const std::string points = readfile(csv()).substr(52);
    ASSERT_EQ(first.size(), 41u);
    EXPECT_TRUE(startswith(first[0], "40,6,")) << first[0];
    choose(2, 1, 0, 7);  // another extent: the header no longer matches
    EXPECT_FALSE(cancontinue());
    choose(2, 1, 0, 6);
    EXPECT_TRUE(cancontinue());

    // Cancel leaves everything as it was
    samplinghooks().onpoint = nullptr;
    dialogs.answers = {Answer::Cancel};
    startcalculation(false);
    EXPECT_TRUE(dialogs.saw("Continue previous calculation saved in " + csv() + "?"));
    EXPECT_EQ(lines(), first);
    // Yes appends up to the quota; the old points stay byte for byte
    globals().run.loadedfile.clear();  // forces the file to be read back first
    dialogs.answers = {Answer::Yes};
    startcalculation(false);
    const auto after = lines();
    ASSERT_EQ(after.size(), 626u);
    EXPECT_TRUE(startswith(after[0], "625,6,")) << after[0];
    EXPECT_TRUE(std::equal(first.begin() + 1, first.end(), after.begin() + 1));
    // No starts afresh and replaces the file
    dialogs.answers = {Answer::No};
    stopat(10);
    startcalculation(false);
    EXPECT_EQ(lines().size(), 11u);

    dialogs.shown.clear();  // the header test asks nothing
    const std::string shortheader = csvheader("40,6,0.5").substr(0, 49) + "\r\n" + points;  // 49 characters
    for (const std::string& bytes : {shortheader, csvheader("40,6,0.5").insert(50, " ") + points, csvheader("0,6,0.5") + points,
                                     csvheader("40,6,0") + points, csvheader("40,six,0.5") + points,
                                     csvheader("40,99999,0.5") + points, std::string()}) {
        writefile(csv(), bytes);
        EXPECT_FALSE(cancontinue()) << bytes.substr(0, 52);
    }
    writefile(csv(), csvheader("40 6 0.5").substr(0, 50) + "\n");  // blanks and LF are fine
    EXPECT_TRUE(cancontinue());
    fs::remove(csv());
    EXPECT_FALSE(cancontinue() || !dialogs.shown.empty());

    // A foreign file is never continued, even when asked to in batch mode:
    // the run starts afresh instead of patching its first bytes.
    writefile(csv(), shortheader);
    samplinghooks().onpoint = nullptr;
    globals().run.continuerun = true;
    globals().run.maxpsi2 = 0.5;
    startcalculation(true);
    EXPECT_TRUE(lines().size() == 626 && startswith(lines()[0], "625,6,"));
}

TEST_F(SamplingTest, NodalPlaneStopsAfter501TrialsFailuresAreQuiet) {
    choose(2, 1, 0, 6, 625, 3);  // pz on the XY plane
    startcalculation(false);
    EXPECT_EQ(lasttrials(), 501);
    EXPECT_TRUE(form().lblCount.caption == "NODE!" && form().lblnode.visible);
    EXPECT_EQ(globals().run.npoints, 0);
    EXPECT_TRUE(lines().size() == 1 && startswith(lines()[0], "0,6,"));

    choose(2, 1, 0, 6, 625, 4);  // the XZ plane is no node
    startcalculation(false);
    EXPECT_TRUE(globals().run.npoints == 625 && !form().lblnode.visible);
    const auto l = lines();
    for (std::size_t i = 1; i < l.size(); ++i) ASSERT_EQ(l[i].substr(l[i].find(',') + 1, 2), "0,") << l[i];

    // nothing above 50 A from a Be+3 1s nucleus survives in double precision
    setnucleus(4);
    choose(1, 0, 0, 500);
    startcalculation(false);
    EXPECT_TRUE(dialogs.saw("psimaxerror--try again."));
    EXPECT_EQ(readfile(csv()), "");
    EXPECT_TRUE(globals().run.loadedfile != csv() && form().Command1.caption == "&Calculate");

    // a disk that is full: the run stops, nothing claims success
    setnucleus(1);
    choose(3, 2, 0, 13, 625);
    fs::remove(csv());
    fs::create_symlink("/dev/full", csv());
    dialogs.shown.clear();
    startcalculation(false);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(globals().run.loadedfile != csv() && form().Command1.caption == "&Calculate");
}

// Chi-square of the radial distribution of the points inside the inscribed
// sphere (or circle on the XZ plane) against psi^2 cut at the ceiling.
double chisquare(const std::vector<std::string>& l, double extent, bool plane, int& dof) {
    const int bins = 12, rsteps = 40 * bins, asteps = plane ? 720 : 360;
    std::vector<double> count(bins, 0.0), share(bins, 0.0);
    double inside = 0, total = 0;
    for (std::size_t i = 1; i < l.size(); ++i) {
        double x, y, z;
        std::sscanf(l[i].c_str(), "%lf,%lf,%lf", &x, &y, &z);
        const double r = std::sqrt(x * x + y * y + z * z);
        if (r < extent) count[static_cast<int>(r / extent * bins)] += 1, inside += 1;
    }
    for (int i = 0; i < rsteps; ++i) {
        const double r = extent * (i + 0.5) / rsteps;
        for (int j = 0; j < asteps; ++j) {
            // A full turn in the plane; in space, m = 0 does not depend on the azimuth.
            const double a = (plane ? 2 : 1) * M_PI * (j + 0.5) / asteps, weight = plane ? r : r * r * std::sin(a);
            double rr, r2, radial = 0;
            const double psi = wavefunction(r * std::sin(a), 0, r * std::cos(a), rr, r2, radial);
            const double w = std::min(psi * psi, globals().run.maxpsi2) * weight;
            share[i / 40] += w, total += w;
        }
    }
    double chi = 0, pendingo = 0, pendinge = 0;
    dof = -1;
    for (int b = 0; b < bins; ++b) {  // tail bins merged until each expects 5
        pendingo += count[b];
        pendinge += share[b] / total * inside;
        if (pendinge >= 5 || b == bins - 1) {
            chi += (pendingo - pendinge) * (pendingo - pendinge) / std::max(pendinge, 1e-9);
            pendingo = pendinge = 0;
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
    } cases[] = {{1, 0, 0, 2, 0}, {2, 1, 0, 6, 4}, {3, 2, 0, 13, 0}};
    for (const auto& c : cases) {
        choose(c.n, c.l, c.m, c.extent, 4000, c.region);
        globals().run.continuerun = false;
        startcalculation(true);
        ASSERT_EQ(globals().run.npoints, 4000);
        int dof = 0;
        const double chi = chisquare(lines(), c.extent, c.region != 0, dof);
        ASSERT_GE(dof, 7);
        EXPECT_LT(chi, critical[dof]) << c.n << c.l << c.m << " dof " << dof;
    }
}

}  // namespace
}  // namespace vantrel
