#include "engine/wavefunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "engine/radialhistogram.h"
#include "engine/samplekernel.h"
#include "support/literalwavefunction.h"
#include "engine/orbital.h"
#include "engine/random.h"
#include "orbitals.h"

namespace vantrel {
namespace {

using test::orbital;
using test::psi;

double radialPart(const Orbital& o, double x, double y = 0, double z = 0) {
    double r, r2, radial = radialOnly;
    return o.evaluate(x, y, z, r, r2, radial);
}

TEST(OrbitalNumbers, FactorialTableLimitsAndDefaultExtent) {
    EXPECT_TRUE(fitsTable(26, 24));
    EXPECT_FALSE(fitsTable(26, 25));
    EXPECT_TRUE(validNumbers(26, 24, -24));
    for (auto [n, l, m] : {std::array{26, 25, 0}, {3, 1, 2}, {INT_MAX, INT_MAX - 1, 0}, {INT_MAX, 5, INT_MIN}})
        EXPECT_FALSE(validNumbers(n, l, m)) << n << " " << l << " " << m;  // no wrap into the valid range

    Orbital o = orbital(1, 26, 24, -3);
    const std::vector<double> before = o.angularCoef;
    for (auto [z, n, l, m] : {std::array{1, 26, 25, 0}, {1, 3, 3, 0}, {1, 3, 1, 2}, {0, 2, 1, 0}}) o.setup(z, n, l, m);
    // Unchanged by the four refusals.
    EXPECT_EQ((std::array{o.n, o.l, o.m}), (std::array{26, 24, -3}));
    EXPECT_EQ(o.angularCoef, before);
    EXPECT_TRUE(std::isfinite(psi(o, 30, -20, 10)));

    for (auto [z, n, expected] : {std::array{1, 1, 2}, {1, 2, 6}, {1, 3, 13}, {2, 1, 2}, {10, 4, 2}, {200, 1, 1}})
        EXPECT_EQ(defaultExtent(n, z), expected) << z << " " << n;
    EXPECT_GT(defaultExtent(100000, 1), 0);  // no overflow for absurd n

    EXPECT_GT(getIntensity(2, 3, 2, 50), 0);  // overlap of a p state with an s state
    EXPECT_EQ(getIntensity(2, 1, 1, 50), 0);  // no p state for n = 1
}

double radialNormIntegral(int z, int n, int l) {
    const Orbital o = orbital(z, n, l, 0);
    const int steps = 2000 * std::max(10, n);
    const double h = (6.0 * n + 80) * n * bohr / (2 * z) / steps;
    double sum = 0;
    for (int i = 1; i < steps; ++i) sum += std::pow(radialPart(o, i * h) * i * h, 2);
    return sum * h;
}

TEST(WaveFunction, FactorsAreNormalised) {
    for (int z : {1, 3})
        for (int n = 1; n <= 12; ++n)
            for (int l = 0; l < n; ++l) EXPECT_NEAR(radialNormIntegral(z, n, l), 1, 1e-8) << z << n << l;
    // High n, where a plain power sum of the radial polynomial loses every digit.
    EXPECT_NEAR(radialNormIntegral(1, 40, 0), 1, 1e-8);
    EXPECT_NEAR(radialNormIntegral(2, 26, 24), 1, 1e-8);

    // Theta on a sphere where R and Phi are known: n = l + 1 has no radial
    // node, and Phi = 1.414214 at the azimuth phi0. Simpson in theta.
    std::vector<std::array<int, 2>> states{{24, -24}, {24, -7}, {24, 0}, {24, 13}, {24, 24}};
    for (int l = 0; l <= 11; ++l)
        for (int m = -l; m <= l; ++m) states.push_back({l, m});
    for (const auto [l, m] : states) {
        const Orbital o = orbital(1, l + 1, l, m);
        const double phi0 = m < 0 ? M_PI / (2 * -m) : 0, scale = radialPart(o, 1) * (m ? sqrt2Value : 1);
        double sum = 0;
        for (int i = 0, steps = 2000; i <= steps; ++i) {
            const double t = M_PI * i / steps, w = (i == 0 || i == steps) ? 1 : (i % 2 ? 4 : 2);
            const double theta = psi(o, std::sin(t) * std::cos(phi0), std::sin(t) * std::sin(phi0), std::cos(t)) / scale;
            sum += w * theta * theta * std::sin(t) * M_PI / steps / 3;
        }
        EXPECT_NEAR(sum, 1, 1e-8) << "l=" << l << " m=" << m;
    }
}

TEST(WaveFunction, ClosedFormsAndRadialOnlyMode) {
    double r, r2, radial = -1.0;
    // 1s at one Bohr radius (rho = 2); Theta = 1/sqrt(2).
    const double v1s = orbital(1, 1, 0, 0).evaluate(0.52918, 0, 0, r, r2, radial);
    EXPECT_NEAR(radial, 2 * std::pow(1 / 0.52918, 1.5) * std::exp(-1.0), 1e-12);
    EXPECT_NEAR(v1s, radial / std::sqrt(2.0), 1e-12);
    // 2pz of He+: Theta = sqrt(3/2) cos; R = (Z/a)^1.5 (Zr/a) e^(-Zr/2a) / (2 sqrt 6).
    const double v2pz = orbital(2, 2, 1, 0).evaluate(0, 0, 1, r, r2, radial);
    EXPECT_NEAR(v2pz / radial, std::sqrt(1.5), 1e-13);
    EXPECT_NEAR(radial, std::pow(2 / bohr, 1.5) * 2 / bohr * std::exp(-1 / bohr) / (2 * std::sqrt(6.0)), 1e-12);
    // The literal form shares the coefficients, so the shapes are checked here.
    // 3dz2: sqrt(10)/4 (3 cos^2 - 1); m = -2: sqrt(15)/4 sin^2 sin(2 phi) 1.414214.
    const Orbital dz2 = orbital(1, 3, 2, 0), dxy = orbital(1, 3, 2, -2);
    for (const auto& p : {std::array{0.3, -1.1, 2.0}, {-1.7, 0.4, -0.6}, {2.2, 2.2, 0.1}, {0.0, 0.0, -1.5}}) {
        const double rr = std::hypot(p[0], p[1], p[2]), c = p[2] / rr, big = radialPart(dz2, rr);
        EXPECT_NEAR(psi(dz2, p[0], p[1], p[2]), big * std::sqrt(10.0) / 4 * (3 * c * c - 1), 1e-12);
        EXPECT_NEAR(psi(dxy, p[0], p[1], p[2]),
                    big * std::sqrt(15.0) / 4 * (1 - c * c) * std::sin(2 * std::atan2(p[1], p[0])) * sqrt2Value, 1e-12);
    }

    // Radial-only mode returns R whatever m and direction; full mode leaves R too.
    const double expected = radialPart(orbital(1, 5, 3, 0), 2.5);
    for (int m = -3; m <= 3; ++m) {
        const Orbital o = orbital(1, 5, 3, m);
        o.evaluate(1.5, 0, -2, r, r2, radial);
        EXPECT_DOUBLE_EQ(radial, expected);
        EXPECT_DOUBLE_EQ(radialPart(o, 0, 0, -2.5), expected);
    }
}

using Point = std::array<double, 3>;

// Random points of the cube, on the three coordinate planes, on the axes, the origin.
std::vector<Point> testPoints(double extent, int count, unsigned seed) {
    Random gen(seed);
    const auto u = [&] { return (2 * gen.uniform() - 1) * extent; };
    std::vector<Point> pts{{0, 0, 0}};
    for (int i = 0; i < count; ++i) pts.push_back({u(), u(), u()});
    for (int i = 0; i < 150; ++i) {
        pts.insert(pts.end(), {{0, u(), u()}, {u(), 0, u()}, {u(), u(), 0}});
        if (i < 20) pts.insert(pts.end(), {{u(), 0, 0}, {0, u(), 0}, {0, 0, u()}});
    }
    return pts;
}

// The sampler's batch kernel against the scalar evaluation: the same
// distances, psi within 1e-12 of the largest |psi|, zeros in the same places.
void compareBatch(const Orbital& o, const std::vector<Point>& pts) {
    const int count = static_cast<int>(pts.size());
    std::vector<double> x(count), y(count), z(count), psi(count), rad(count), ref(count);
    for (int i = 0; i < count; ++i) x[i] = pts[i][0], y[i] = pts[i][1], z[i] = pts[i][2];
    BatchOrbital(o).evaluate(x.data(), y.data(), z.data(), count, psi.data(), rad.data());
    double top = 0;
    for (int i = 0; i < count; ++i) {
        double r, r2, radial = 0;
        ref[i] = o.evaluate(x[i], y[i], z[i], r, r2, radial);
        top = std::max(top, std::fabs(ref[i]));
        ASSERT_NEAR(rad[i], r, 1e-15 * (1 + r));
    }
    for (int i = 0; i < count; ++i) {
        ASSERT_NEAR(psi[i], ref[i], 1e-12 * top) << o.n << o.l << o.m << " at " << i;
        ASSERT_EQ(psi[i] == 0, ref[i] == 0) << o.n << o.l << o.m << " at " << i;
    }
}

// Fast against literal: within 1e-12 of the largest |psi|, exact zeros in
// the same places; the batch kernel too. Returns the number of zeros.
int compareLiteral(const Orbital& o, const std::vector<Point>& pts) {
    double largest = 0, worst = 0;
    int zeros = 0;
    for (const auto& p : pts) {
        double r1, r21, rad1 = 0, r2, r22, rad2 = 0;
        const double fast = o.evaluate(p[0], p[1], p[2], r1, r21, rad1);
        const double slow = test::literalWaveFunction(o, p[0], p[1], p[2], r2, r22, rad2);
        largest = std::max(largest, std::fabs(slow));
        worst = std::max(worst, std::fabs(fast - slow));
        zeros += slow == 0;
        EXPECT_EQ(fast == 0, slow == 0) << o.n << o.l << o.m << " at " << p[0] << "," << p[1] << "," << p[2];
        EXPECT_EQ(r1, r2);
        EXPECT_EQ(r21, r22);
        EXPECT_EQ(rad1 == 0, rad2 == 0);
    }
    EXPECT_LE(worst, 1e-12 * largest) << "n=" << o.n << " l=" << o.l << " m=" << o.m;
    compareBatch(o, pts);
    return zeros;
}

TEST(WaveFunction, AgreesWithTheLiteralEvaluation) {
    unsigned seed = 1;
    for (int n = 1; n <= 7; ++n) {
        for (int l = 0; l < n; ++l) {
            for (int m = -l; m <= l; ++m) {
                const int zeros = compareLiteral(orbital(1, n, l, m), testPoints(defaultExtent(n, 1), 3000, seed++));
                if (l > 0) {
                    EXPECT_GT(zeros, 0);
                }
            }
        }
    }
    for (int m = -3; m <= 3; ++m) compareLiteral(orbital(3, 4, 3, m), testPoints(defaultExtent(4, 3), 1000, seed++));
    for (int l : {7, 8})  // beyond the forms compiled for a fixed l
        for (int m : {-l, -5, -2, 0, 1, 4, l}) compareLiteral(orbital(1, 9, l, m), testPoints(defaultExtent(9, 1), 1000, seed++));

    // Across the 1e-10 cut of the azimuthal factor both decide alike, point
    // by point: px near x = 0, dx2-y2 near the diagonal, py near y = 0.
    std::vector<Point> px, dx2, py;
    for (int k = -1000; k <= 1000; ++k) {
        const double t = (1 + k * 1e-7) * 1e-10 / sqrt2Value;
        for (double sign : {-1.0, 1.0}) {
            px.push_back({sign * t, 1, 0.5});
            dx2.push_back({1, sign * (1 - t), 0.5});
            py.insert(py.end(), {{sign, t, -0.5}, {sign, -t, 0.5}});
        }
    }
    EXPECT_GT(compareLiteral(orbital(1, 2, 1, 1), px), 0);
    EXPECT_GT(compareLiteral(orbital(1, 3, 2, 2), dx2), 0);
    EXPECT_GT(compareLiteral(orbital(1, 2, 1, -1), py), 0);

    // High n, where the literal evaluation loses its digits: the batch kernel alone.
    for (auto [n, l, m] : {std::array{6, 5, -5}, {8, 4, -3}, {10, 9, 7}, {20, 10, -3}, {26, 24, -20}})
        compareBatch(orbital(1, n, l, m), testPoints(defaultExtent(n, 1), 1000, seed++));
}

// Every answer is the curve of its own orbital, size and region, also
// after the oldest of more keys than the cache holds was dropped.
TEST(RadialTheoryCache, GivesTheCurveOfEachKey) {
    struct Key {
        Orbital o;
        int k, size;
        bool restricted;
    };
    const std::vector<Key> keys = {{orbital(1, 1, 0, 0), 50, 100, false}, {orbital(1, 1, 0, 0), 50, 100, true},
                                   {orbital(1, 1, 0, 0), 50, 120, false}, {orbital(1, 1, 0, 0), 25, 100, false},
                                   {orbital(2, 1, 0, 0), 50, 100, false}, {orbital(1, 3, 2, -1), 50, 100, false}};
    RadialTheoryCache cache;
    // Four fill the cache, key 0 is found again, 4 and 5 push out 1 and 2,
    // which come back in place of 3 and 4.
    const std::size_t order[] = {0, 1, 2, 3, 0, 4, 5, 0, 1, 2, 0};
    for (std::size_t step = 0; step < std::size(order); ++step) {
        const Key& key = keys[order[step]];
        const RadialTheory want = radialTheory(key.o, key.k, key.size, key.restricted);
        const RadialTheory& got = cache.get(key.o, key.k, key.size, key.restricted);
        EXPECT_EQ(got.radialTheory, want.radialTheory) << "step " << step;
        EXPECT_EQ(got.radialSign, want.radialSign) << "step " << step;
        EXPECT_EQ(got.rTheory, want.rTheory) << "step " << step;
    }
}

}  // namespace
}  // namespace vantrel
