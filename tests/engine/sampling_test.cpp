#include "engine/sampling.h"

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/samplekernel.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

class SamplingTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        samplinghooks() = SamplingHooks{};
        globals().maindir = dir.path();
        std::filesystem::create_directory(dir.file("files"));
    }
    void TearDown() override {
        samplinghooks() = SamplingHooks{};
        FreshState::TearDown();
    }

    // n, l, m, extent and quota typed into the window; region by optAll index.
    void choose(int n, int l, int m, int extent, int quota = 625, int region = 0) {
        auto& f = form();
        f.txtNLM[0].settext(std::to_string(n));
        f.txtNLM[1].settext(std::to_string(l));
        f.txtNLM[2].settext(std::to_string(m));
        f.txtscal.settext(std::to_string(extent));
        f.txtmax.settext(std::to_string(quota));
        f.optAll[region].select();
        globals().orbital.planename = f.optAll[region].tag;
        updateorbital(true);
    }

    static std::vector<std::string> lines(const std::string& path) {
        std::vector<std::string> out;
        const std::string text = test::readfile(path);
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return out;
    }

    static void stopat(int count) {
        samplinghooks().onpoint = [count] {
            if (globals().run.npoints >= count) calculateclick();  // "Enough!"
        };
    }

    const std::string& csv() const { return globals().orbital.csvfile; }

    test::TempDir dir;
};

TEST_F(SamplingTest, FreshRunFillsTheQuotaExactly) {
    choose(3, 2, 0, 13);
    startcalculation(false);
    const auto l = lines(csv());
    ASSERT_EQ(l.size(), 626u);
    EXPECT_EQ(l[0].size(), 50u);
    EXPECT_EQ(l[0].rfind("625,13,", 0), 0u) << l[0];
    for (std::size_t i = 1; i < l.size(); ++i)
        ASSERT_EQ(std::count(l[i].begin(), l[i].end(), ','), 3) << l[i];
    EXPECT_EQ(test::readfile(csv()).substr(test::readfile(csv()).size() - 2), "\r\n");

    const auto& g = globals();
    EXPECT_EQ(g.run.npoints, 625);
    EXPECT_TRUE(g.run.rundone);
    EXPECT_EQ(g.run.loadedfile, csv());
    double hits = 0;
    for (double h : g.radial.radialhits) hits += h;
    EXPECT_EQ(hits, 625);
    EXPECT_GT(g.radial.maxhits, 0);
    EXPECT_EQ(form().Command1.caption, "&Calculate");
    EXPECT_FALSE(form().command1cancel);
    EXPECT_TRUE(form().optTheory[0].checked);
    EXPECT_TRUE(cancontinue());
}

TEST_F(SamplingTest, StoppedRunContinuesWithoutTouchingItsPoints) {
    choose(2, 1, 0, 6);
    stopat(40);
    startcalculation(false);
    auto first = lines(csv());
    ASSERT_EQ(first.size(), 41u);
    EXPECT_EQ(first[0].rfind("40,6,", 0), 0u) << first[0];
    EXPECT_TRUE(cancontinue());

    // Cancel leaves everything as it was
    samplinghooks().onpoint = nullptr;
    dialogs.answers = {Answer::Cancel};
    startcalculation(false);
    EXPECT_TRUE(dialogs.saw("Continue previous calculation saved in " + csv() + "?"));
    EXPECT_EQ(lines(csv()), first);

    // Yes appends up to the quota; the old points stay byte for byte
    globals().run.loadedfile.clear();  // forces the file to be read back first
    dialogs.answers = {Answer::Yes};
    startcalculation(false);
    const auto after = lines(csv());
    ASSERT_EQ(after.size(), 626u);
    EXPECT_EQ(after[0].rfind("625,6,", 0), 0u) << after[0];
    EXPECT_TRUE(std::equal(first.begin() + 1, first.end(), after.begin() + 1));

    // No starts afresh and replaces the file
    dialogs.answers = {Answer::No};
    stopat(10);
    startcalculation(false);
    EXPECT_EQ(lines(csv()).size(), 11u);
}

TEST_F(SamplingTest, SavedRunTestReadsTheHeaderStrictly) {
    choose(2, 1, 0, 6);
    stopat(40);
    startcalculation(false);
    ASSERT_TRUE(cancontinue());
    const std::string good = test::readfile(csv());

    choose(2, 1, 0, 7);  // another extent: the header no longer matches
    EXPECT_FALSE(cancontinue());
    choose(2, 1, 0, 6);
    EXPECT_TRUE(cancontinue());

    const std::string points = good.substr(52);
    auto header = [](const std::string& h) { return h + std::string(50 - h.size(), ' '); };
    test::writefile(csv(), header("40,6,0.5").substr(0, 49) + "\r\n" + points);  // 49 characters
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), header("40,6,0.5") + " \r\n" + points);  // 51
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), header("40 6 0.5") + "\n");  // blanks and LF are fine
    EXPECT_TRUE(cancontinue());
    test::writefile(csv(), header("0,6,0.5") + "\r\n" + points);
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), header("40,6,0") + "\r\n" + points);
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), header("40,six,0.5") + "\r\n" + points);
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), header("40,99999,0.5") + "\r\n" + points);
    EXPECT_FALSE(cancontinue());
    test::writefile(csv(), "");
    EXPECT_FALSE(cancontinue());
    std::filesystem::remove(csv());
    EXPECT_FALSE(cancontinue());
    EXPECT_TRUE(dialogs.shown.empty());

    // A foreign file is never continued, even when asked to in batch mode:
    // the run starts afresh instead of patching its first bytes.
    test::writefile(csv(), header("40,6,0.5").substr(0, 49) + "\r\n" + points);
    samplinghooks().onpoint = nullptr;
    globals().run.continuerun = true;
    globals().run.maxpsi2 = 0.5;
    startcalculation(true);
    const auto l = lines(csv());
    ASSERT_EQ(l.size(), 626u);
    EXPECT_EQ(l[0].rfind("625,6,", 0), 0u);
}

TEST_F(SamplingTest, NodalPlaneStopsAfter501Trials) {
    choose(2, 1, 0, 6, 625, 3);  // pz on the XY plane
    startcalculation(false);
    EXPECT_EQ(lasttrials(), 501);
    EXPECT_EQ(form().lblCount.caption, "NODE!");
    EXPECT_TRUE(form().lblnode.visible);
    EXPECT_EQ(globals().run.npoints, 0);
    const auto l = lines(csv());
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].rfind("0,6,", 0), 0u);

    choose(2, 1, 0, 6, 625, 4);  // the XZ plane is no node
    startcalculation(false);
    EXPECT_EQ(globals().run.npoints, 625);
    EXPECT_FALSE(form().lblnode.visible);
    for (std::size_t i = 1; i < lines(csv()).size(); ++i) {
        std::istringstream s(lines(csv())[i]);
        double x, y;
        char comma;
        s >> x >> comma >> y;
        ASSERT_EQ(y, 0.0);
    }
}

TEST_F(SamplingTest, FailuresAreQuiet) {
    // nothing above 50 A from a Be+3 1s nucleus survives in double precision
    setnucleus(4);
    choose(1, 0, 0, 500);
    startcalculation(false);
    EXPECT_TRUE(dialogs.saw("psimaxerror--try again."));
    EXPECT_EQ(test::readfile(csv()), "");
    EXPECT_NE(globals().run.loadedfile, csv());
    EXPECT_EQ(form().Command1.caption, "&Calculate");

    // a disk that is full: the run stops, nothing claims success
    setnucleus(1);
    choose(3, 2, 0, 13, 625);
    std::filesystem::remove(csv());
    std::filesystem::create_symlink("/dev/full", csv());
    dialogs.shown.clear();
    startcalculation(false);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_NE(globals().run.loadedfile, csv());
    EXPECT_EQ(form().Command1.caption, "&Calculate");
}

// Expected share of the points inside the inscribed sphere (or circle on a
// plane) per radial bin: the density is psi^2 cut at the ceiling.
std::vector<double> expectedshares(double extent, int bins, bool plane, double ceiling) {
    std::vector<double> e(bins, 0.0);
    const int rsteps = 40, asteps = plane ? 720 : 360;
    for (int b = 0; b < bins; ++b) {
        for (int i = 0; i < rsteps; ++i) {
            const double r = extent * (b + (i + 0.5) / rsteps) / bins;
            double sum = 0;
            for (int j = 0; j < asteps; ++j) {
                double x, y = 0, z, rr, r2, radial = 0;
                double weight;
                if (plane) {  // the XZ plane
                    const double a = 2 * M_PI * (j + 0.5) / asteps;
                    x = r * std::sin(a), z = r * std::cos(a);
                    weight = r;
                } else {  // orbitals with m = 0 do not depend on the azimuth
                    const double t = M_PI * (j + 0.5) / asteps;
                    x = r * std::sin(t), z = r * std::cos(t);
                    weight = r * r * std::sin(t);
                }
                const double psi = wavefunction(x, y, z, rr, r2, radial);
                sum += std::min(psi * psi, ceiling) * weight;
            }
            e[b] += sum;
        }
    }
    double total = 0;
    for (double v : e) total += v;
    for (double& v : e) v /= total;
    return e;
}

// Chi-square of the radial distribution of the points in the file.
double chisquare(const std::vector<std::string>& l, double extent, bool plane, int& dof) {
    const int bins = 12;
    std::vector<double> count(bins, 0.0);
    double inside = 0;
    for (std::size_t i = 1; i < l.size(); ++i) {
        std::istringstream s(l[i]);
        double x, y, z;
        char c;
        s >> x >> c >> y >> c >> z;
        const double r = std::sqrt(x * x + y * y + z * z);
        if (r >= extent) continue;
        count[static_cast<int>(r / extent * bins)] += 1;
        inside += 1;
    }
    const auto share = expectedshares(extent, bins, plane, globals().run.maxpsi2);
    double chi = 0, pendingo = 0, pendinge = 0;
    dof = -1;
    for (int b = 0; b < bins; ++b) {  // tail bins merged until each expects 5
        pendingo += count[b];
        pendinge += share[b] * inside;
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
        const double chi = chisquare(lines(csv()), c.extent, c.region != 0, dof);
        ASSERT_GE(dof, 7);
        EXPECT_LT(chi, critical[dof]) << c.n << c.l << c.m << " dof " << dof;
    }
}

TEST_F(SamplingTest, BatchPsiMatchesTheWaveFunction) {
    struct Case {
        int n, l, m;
        double extent;
    } cases[] = {{1, 0, 0, 2},   {2, 1, 0, 6},   {2, 1, 1, 6},   {2, 1, -1, 6},  {3, 2, -2, 13},
                 {3, 2, 1, 13},  {4, 3, 2, 23},  {4, 3, -3, 23}, {6, 5, 0, 49},  {6, 5, -5, 49},
                 {8, 4, -3, 80}, {10, 9, 7, 120}, {20, 10, -3, 300}, {26, 24, -20, 500}};
    Random r(99);
    for (const auto& c : cases) {
        Orbital o;
        o.setup(1, c.n, c.l, c.m);
        BatchOrbital batch(o);
        const int count = 4003;
        std::vector<double> x(count), y(count), z(count), psi(count), rad(count);
        for (int i = 0; i < count; ++i) {
            x[i] = c.extent * (2 * r.uniform() - 1);
            y[i] = c.extent * (2 * r.uniform() - 1);
            z[i] = c.extent * (2 * r.uniform() - 1);
            switch (i % 6) {  // the planes the regions restrict to, and the z axis
            case 1: x[i] = 0; break;
            case 2: y[i] = 0; break;
            case 3: z[i] = 0; break;
            case 4: x[i] = y[i] = 0; break;
            }
        }
        x[0] = y[0] = z[0] = 0;  // the nucleus
        batch.evaluate(x.data(), y.data(), z.data(), count, psi.data(), rad.data());
        std::vector<double> ref(count);
        double top = 0;
        for (int i = 0; i < count; ++i) {
            double rr, r2, radial = 0;
            ref[i] = o.evaluate(x[i], y[i], z[i], rr, r2, radial);
            top = std::max(top, std::fabs(ref[i]));
            ASSERT_NEAR(rad[i], rr, 1e-15 * c.extent);
        }
        for (int i = 0; i < count; ++i) {
            ASSERT_NEAR(psi[i], ref[i], 1e-12 * top) << c.n << c.l << c.m << " at " << i;
            ASSERT_EQ(psi[i] == 0, ref[i] == 0) << c.n << c.l << c.m << " at " << i;
        }
    }
}

}  // namespace
}  // namespace vantrel
