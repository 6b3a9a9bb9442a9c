#include "engine/wavefunction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/globals.h"
#include "engine/textutil.h"
#include "support/literalwavefunction.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

Orbital orbital(int z, int n, int l, int m) {
    Orbital o;
    o.setup(z, n, l, m);
    return o;
}

double psi(const Orbital& o, double x, double y, double z) {
    double r, r2, radial = 0;
    return o.evaluate(x, y, z, r, r2, radial);
}

double radialpart(const Orbital& o, double r) {
    double rr, r2, radial = radialonly;
    return o.evaluate(r, 0, 0, rr, r2, radial);
}

// Side of the cube the program samples by default for hydrogen.
double cubeextent(int n) {
    const double e = std::max(1.0, std::nearbyint(n * n + 3.0 * n - 5));
    return n < 3 ? e + 1 : e;
}

TEST(FactorialTable, ValuesAndLimits) {
    fillfactorial();
    EXPECT_EQ(factorial[0], 1);
    EXPECT_EQ(factorial[5], 120);
    EXPECT_NEAR(factorial[50] / 3.0414093201713376e64, 1, 1e-14);
    EXPECT_TRUE(fitstable(26, 24));
    EXPECT_FALSE(fitstable(26, 25));

    Orbital o = orbital(1, 26, 24, -3);
    EXPECT_EQ(o.n, 26);
    ASSERT_EQ(o.radialcoef.size(), 3u);
    for (double c : o.radialcoef) EXPECT_TRUE(std::isfinite(c));
    const double before = o.radialnorm;
    o.setup(1, 26, 25, 0);  // one past the table
    o.setup(1, 3, 3, 0);    // l = n
    o.setup(1, 3, 1, 2);    // |m| > l
    o.setup(0, 2, 1, 0);    // no nucleus
    EXPECT_EQ(o.n, 26);
    EXPECT_EQ(o.l, 24);
    EXPECT_EQ(o.m, -3);
    EXPECT_EQ(o.radialnorm, before);
    EXPECT_TRUE(std::isfinite(psi(o, 30, -20, 10)));
}

double radialnormintegral(int z, int n, int l) {
    const Orbital o = orbital(z, n, l, 0);
    const double rmax = (6.0 * n + 80) * n * bohr / (2 * z);
    const int steps = 2000 * std::max(10, n);
    const double h = rmax / steps;
    double sum = 0;
    for (int i = 1; i < steps; ++i) {
        const double r = i * h;
        const double big = radialpart(o, r);
        sum += big * big * r * r;
    }
    return sum * h;
}

TEST(WaveFunction, RadialFactorIsNormalised) {
    for (int z : {1, 3})
        for (int n = 1; n <= 12; ++n)
            for (int l = 0; l < n; ++l) EXPECT_NEAR(radialnormintegral(z, n, l), 1, 1e-8) << "Z=" << z << " n=" << n << " l=" << l;
    // High n, where a plain power sum of the polynomial loses every digit.
    EXPECT_NEAR(radialnormintegral(1, 40, 0), 1, 1e-8);
    EXPECT_NEAR(radialnormintegral(2, 30, 20), 1, 1e-8);
    EXPECT_NEAR(radialnormintegral(1, 26, 24), 1, 1e-8);
}

TEST(WaveFunction, PolarAndAzimuthalFactorsAreNormalised) {
    // Theta from psi on a sphere where R and Phi are known: n = l + 1 has
    // no radial node, and Phi = 1.414214 at the chosen azimuth.
    std::vector<std::array<int, 2>> states;
    for (int l = 0; l <= 11; ++l)
        for (int m = -l; m <= l; ++m) states.push_back({l, m});
    for (int m : {-24, -7, 0, 13, 24}) states.push_back({24, m});  // the largest l that fits
    for (const auto [l, m] : states) {
        {
            const Orbital o = orbital(1, l + 1, l, m);
            const double big = radialpart(o, 1.0);
            const double phi0 = m < 0 ? M_PI / (2 * -m) : 0;
            const double scale = big * (m == 0 ? 1 : sqrt2value);
            const int steps = 2000;  // Simpson
            double sum = 0;
            for (int i = 0; i <= steps; ++i) {
                const double t = M_PI * i / steps;
                const double x = std::sin(t) * std::cos(phi0), y = std::sin(t) * std::sin(phi0);
                const double theta = psi(o, x, y, std::cos(t)) / scale;
                const double w = (i == 0 || i == steps) ? 1 : (i % 2 ? 4 : 2);
                sum += w * theta * theta * std::sin(t);
            }
            EXPECT_NEAR(sum * M_PI / steps / 3, 1, 1e-8) << "l=" << l << " m=" << m;
        }
    }
    // Mean of Phi squared over a turn, from psi relative to its value at
    // the azimuth where Phi is 1.414214; 1.414214^2 / 2 = 1.0000006.
    for (int m = -4; m <= 4; ++m) {
        if (m == 0) continue;
        const Orbital o = orbital(1, 5, 4, m);
        const double phi0 = m < 0 ? M_PI / (2 * -m) : 0;
        const double ref = psi(o, std::cos(phi0), std::sin(phi0), 0.7);
        const int steps = 720;
        double sum = 0;
        for (int i = 0; i < steps; ++i) {
            const double p = 2 * M_PI * i / steps;
            const double f = sqrt2value * psi(o, std::cos(p), std::sin(p), 0.7) / ref;
            sum += f * f;
        }
        EXPECT_NEAR(sum / steps, 1, 1e-6) << "m=" << m;
    }
}

TEST(WaveFunction, ClosedForms) {
    double r, r2, radial = -1.0;
    // 1s at one Bohr radius: rho = 2.
    const double v1s = orbital(1, 1, 0, 0).evaluate(0.52918, 0, 0, r, r2, radial);
    EXPECT_NEAR(radial, 2 * std::pow(1 / 0.52918, 1.5) * std::exp(-1.0), 1e-12);
    EXPECT_NEAR(v1s, radial / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(r, 0.52918, 1e-15);
    EXPECT_NEAR(r2, 0.52918 * 0.52918, 1e-15);

    // 2pz: Theta = sqrt(3/2) cos(theta); R21 = (Z/a)^1.5 (Zr/a) e^(-Zr/2a) / (2 sqrt 6).
    const double ppz = orbital(1, 2, 1, 0).evaluate(0, 0, 1, r, r2, radial);
    EXPECT_NEAR(ppz / radial, std::sqrt(1.5), 1e-13);
    EXPECT_NEAR(radial, std::pow(1 / bohr, 1.5) / bohr * std::exp(-0.5 / bohr) / (2 * std::sqrt(6.0)), 1e-12);

    // He+ 2pz: Z enters the radial part only.
    const double he = orbital(2, 2, 1, 0).evaluate(0, 0, 1, r, r2, radial);
    EXPECT_NEAR(he / radial, std::sqrt(1.5), 1e-13);
    EXPECT_NEAR(radial, std::pow(2 / bohr, 1.5) * 2 / bohr * std::exp(-1 / bohr) / (2 * std::sqrt(6.0)), 1e-12);

    // 3dz2: Theta = sqrt(10)/4 (3 cos^2 - 1); 3d m = -2: sqrt(15)/4 sin^2 * sin(2 phi) * 1.414214.
    const Orbital dz2 = orbital(1, 3, 2, 0), dxy = orbital(1, 3, 2, -2);
    const double pts[][3] = {{0.3, -1.1, 2.0}, {-1.7, 0.4, -0.6}, {2.2, 2.2, 0.1}, {0, 0, -1.5}};
    for (const auto& p : pts) {
        const double rr = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        const double c = p[2] / rr, s2 = 1 - c * c, phi = std::atan2(p[1], p[0]);
        const double big = radialpart(dz2, rr);
        EXPECT_NEAR(psi(dz2, p[0], p[1], p[2]), big * std::sqrt(10.0) / 4 * (3 * c * c - 1), 1e-12);
        EXPECT_NEAR(psi(dxy, p[0], p[1], p[2]), big * std::sqrt(15.0) / 4 * s2 * std::sin(2 * phi) * sqrt2value,
                    1e-12);
    }
    EXPECT_GT(psi(dxy, 1, 1, 0), 0);
    EXPECT_LT(psi(dxy, -1, 1, 0), 0);
}

TEST(WaveFunction, ExactZerosOnNodalPlanesAndSignOnTheYZPlane) {
    const Orbital pz = orbital(1, 2, 1, 0), px = orbital(1, 2, 1, 1), py = orbital(1, 2, 1, -1);
    const Orbital dxy = orbital(1, 3, 2, -2), f = orbital(1, 4, 3, 2);
    for (double u : {-2.5, -0.3, 0.7, 4.0}) {
        for (double v : {-1.2, 0.0, 0.05, 3.3}) {
            EXPECT_EQ(psi(pz, u, v, 0), 0);
            EXPECT_EQ(psi(px, 0, u, v), 0);
            EXPECT_EQ(psi(py, u, 0, v), 0);
            EXPECT_EQ(psi(dxy, 0, u, v), 0);
            EXPECT_EQ(psi(dxy, u, 0, v), 0);
            EXPECT_EQ(psi(f, u, v, 0), 0);  // l + |m| odd
        }
    }
    EXPECT_NE(psi(orbital(1, 3, 2, 2), 1, 0.5, 0), 0);  // l + |m| even
    EXPECT_NE(psi(pz, 1, 0, 1e-9), 0);
    EXPECT_NE(psi(px, 1e-9, 1, 1), 0);

    // py on the plane x = 0 takes the sign of y, as its neighbours do.
    const double below = psi(py, 0, -1, 1), above = psi(py, 0, 1, 1);
    EXPECT_LT(below, 0);
    EXPECT_GT(above, 0);
    EXPECT_NEAR(below, -above, 1e-15);
    EXPECT_NEAR(psi(py, 1e-7, -1, 1), below, 1e-9);
    EXPECT_NEAR(psi(py, -1e-7, -1, 1), below, 1e-9);
    EXPECT_GT(psi(orbital(1, 3, 2, -1), 0, -1, -1), 0);  // y z-like: same sign for y, z < 0
}

TEST(WaveFunction, RadialOnlyModeIgnoresTheAngles) {
    const double expected = radialpart(orbital(1, 5, 3, 0), 2.5);
    for (int m = -3; m <= 3; ++m) {
        const Orbital o = orbital(1, 5, 3, m);
        double r, r2, radial = radialonly;
        EXPECT_DOUBLE_EQ(o.evaluate(2.5, 0, 0, r, r2, radial), expected);
        EXPECT_DOUBLE_EQ(radial, expected);
        radial = radialonly;
        EXPECT_DOUBLE_EQ(o.evaluate(0, 0, -2.5, r, r2, radial), expected);  // on a nodal line too
        radial = 0;
        o.evaluate(1.5, 0, -2, r, r2, radial);
        EXPECT_DOUBLE_EQ(radial, expected);
    }
}

using Point = std::array<double, 3>;

// Random points of the cube, points on the three coordinate planes and on
// the axes, and the origin.
std::vector<Point> testpoints(double extent, int randompoints, unsigned seed) {
    Random gen(seed);
    const auto u = [&] { return (2 * gen.uniform() - 1) * extent; };
    std::vector<Point> pts;
    for (int i = 0; i < randompoints; ++i) pts.push_back({u(), u(), u()});
    for (int i = 0; i < 150; ++i) {
        pts.push_back({0, u(), u()});
        pts.push_back({u(), 0, u()});
        pts.push_back({u(), u(), 0});
    }
    for (int i = 0; i < 20; ++i) {
        const double d = u();
        pts.push_back({d, 0, 0});
        pts.push_back({0, d, 0});
        pts.push_back({0, 0, d});
    }
    pts.push_back({0, 0, 0});
    return pts;
}

// Largest |difference| against the literal evaluation, relative to the
// largest |psi| seen; every exact zero in the same places. Returns the
// number of zeros.
int compareliteral(const Orbital& o, const std::vector<Point>& pts) {
    double largest = 0, worst = 0;
    int zeros = 0;
    for (const auto& p : pts) {
        double r1, r21, rad1 = 0, r2, r22, rad2 = 0;
        const double fast = o.evaluate(p[0], p[1], p[2], r1, r21, rad1);
        const double slow = test::literalwavefunction(o, p[0], p[1], p[2], r2, r22, rad2);
        largest = std::max(largest, std::fabs(slow));
        worst = std::max(worst, std::fabs(fast - slow));
        zeros += slow == 0;
        EXPECT_EQ(fast == 0, slow == 0) << "n=" << o.n << " l=" << o.l << " m=" << o.m << " at " << p[0]
                                        << "," << p[1] << "," << p[2] << ": " << fast << " vs " << slow;
        EXPECT_EQ(r1, r2);
        EXPECT_EQ(r21, r22);
        EXPECT_EQ(rad1 == 0, rad2 == 0);
    }
    EXPECT_LE(worst, 1e-12 * largest) << "n=" << o.n << " l=" << o.l << " m=" << o.m;
    return zeros;
}

TEST(WaveFunction, AgreesWithTheLiteralEvaluation) {
    unsigned seed = 1;
    for (int n = 1; n <= 7; ++n) {
        for (int l = 0; l < n; ++l) {
            for (int m = -l; m <= l; ++m) {
                const int zeros = compareliteral(orbital(1, n, l, m), testpoints(cubeextent(n), 3000, seed++));
                if (l > 0) EXPECT_GT(zeros, 0);
            }
        }
    }
    for (int m = -3; m <= 3; ++m) compareliteral(orbital(3, 4, 3, m), testpoints(cubeextent(4) / 3, 1000, seed++));
    for (int l : {7, 8})  // beyond the forms compiled for a fixed l
        for (int m : {-l, -5, -2, 0, 1, 4, l}) compareliteral(orbital(1, 9, l, m), testpoints(cubeextent(9), 1000, seed++));

    // Across the 1e-10 cut of the azimuthal factor the two must decide
    // alike, point by point: px and dx2-y2 near x = 0 and near the diagonal,
    // py near y = 0 on both sides of the z axis.
    std::vector<Point> px, dx2, py;
    for (int k = -1000; k <= 1000; ++k) {
        const double t = 1 + k * 1e-7, cut = 1e-10 / sqrt2value;
        for (double sign : {-1.0, 1.0}) {
            px.push_back({sign * cut * t, 1, 0.5});
            dx2.push_back({1, sign * (1 - cut * t), 0.5});
            py.push_back({sign, cut * t, -0.5});
            py.push_back({sign, -cut * t, 0.5});
        }
    }
    EXPECT_GT(compareliteral(orbital(1, 2, 1, 1), px), 0);
    EXPECT_GT(compareliteral(orbital(1, 3, 2, 2), dx2), 0);
    EXPECT_GT(compareliteral(orbital(1, 2, 1, -1), py), 0);
}

using WaveFunctionState = test::FreshState;

TEST_F(WaveFunctionState, CoefficientsAndOverlapsUseTheSharedState) {
    auto& o = globals().orbital;
    o.currentz = 2;
    o.currentn = 3;
    o.currentl = 2;
    o.currentm = -1;
    o.extent = 17;
    setcoefficients();
    const Orbital expected = orbital(2, 3, 2, -1);
    EXPECT_EQ(currentorbital().z, 2);
    EXPECT_EQ(currentorbital().angularcoef, expected.angularcoef);
    double r, r2, radial = 0;
    EXPECT_EQ(wavefunction(0.4, -0.2, 0.9, r, r2, radial), psi(expected, 0.4, -0.2, 0.9));

    double v = -1;
    getintensity(3, 2, v);
    EXPECT_GT(v, 0);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(o.currentn, 3);
    EXPECT_EQ(o.currentl, 2);
    EXPECT_EQ(o.currentm, -1);
    EXPECT_EQ(o.extent, 17);
    EXPECT_EQ(currentorbital().n, 3);
    EXPECT_EQ(currentorbital().radialcoef, expected.radialcoef);

    getintensity(1, 1, v);  // no p state for n = 1
    EXPECT_EQ(v, 0);
    EXPECT_EQ(currentorbital().n, 3);

    test::TempDir dir;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", dir.path().c_str(), 1);
    getallintensities();
    old ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    const std::string text = test::readfile(dir.file("int.csv"));
    getintensity(2, 1, v);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "2,1," + numtext(v));
    int lines = 0;
    for (std::size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
    EXPECT_EQ(lines, 190);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_NE(text.find("\r\n20,19,"), std::string::npos);
    EXPECT_EQ(o.currentn, 3);
}

}  // namespace
}  // namespace vantrel
