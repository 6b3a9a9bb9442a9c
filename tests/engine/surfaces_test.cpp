#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "engine/isosurface.h"
#include "engine/psigrid.h"
#include "orbitals.h"

namespace vantrel {
namespace {

struct State {
    const char* name;
    int n, l, m;
    double extent;
};
const State s1{"1s", 1, 0, 0, 3}, p2z{"2p_z", 2, 1, 0, 8}, d3z2{"3d_z2", 3, 2, 0, 13};

Orbital orbital(const State& s) { return test::orbital(1, s.n, s.l, s.m); }
using test::psi;

TEST(PsiGrid, RefusesSizesOutsideItsRange) {
    const Orbital o;
    for (int points : {-5, 0, 1, 257, 100000}) {
        const PsiGridOutcome g = evaluatePsiGrid(o, 2, points);
        EXPECT_NE(g.problem, "") << points << " points";
        EXPECT_TRUE(g.grid.psi.empty()) << points << " points";
    }
    for (double extent : {0.0, -1.0, double(NAN), double(INFINITY)}) EXPECT_NE(evaluatePsiGrid(o, extent, 8).problem, "") << extent;
    EXPECT_EQ(evaluatePsiGrid(o, 2, 2).problem, "");
}

TEST(PsiGrid, ValuesAreTheWaveFunctionsWhateverTheThreads) {
    const Orbital o = orbital({"3d_xz", 3, 2, 1, 13});
    const PsiGrid one = evaluatePsiGrid(o, 13, 33, 1).grid;
    for (unsigned threads : {2u, 3u, 0u})
        EXPECT_EQ(evaluatePsiGrid(o, 13, 33, threads).grid.psi, one.psi) << threads << " threads";
    for (auto [i, j, k] : {std::array{0, 0, 0}, {5, 20, 31}, {16, 3, 9}, {32, 32, 1}}) {
        const double expected = psi(o, one.coordinate(i), one.coordinate(j), one.coordinate(k));
        EXPECT_NEAR(one.psi[one.index(i, j, k)], expected, 1e-6 * std::fabs(expected) + 1e-30) << i << j << k;
    }
    // the middle layer of an odd grid is the plane x = 0, a nodal plane of 3d_xz
    for (int j = 0; j < 33; ++j)
        for (int k = 0; k < 33; ++k) ASSERT_EQ(one.psi[one.index(16, j, k)], 0.0f) << j << " " << k;
}

// psi^2 summed over cell centres of a grid three times finer than the
// surfaces' (other points, the scalar wave function): the share where
// |psi| >= level.
double shareAbove(const Orbital& o, double extent, double level) {
    const int n = 150;
    const double h = 2 * extent / n;
    double inside = 0, all = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) {
                const double v = psi(o, -extent + (i + 0.5) * h, -extent + (j + 0.5) * h, -extent + (k + 0.5) * h);
                all += v * v;
                if (std::fabs(v) >= level) inside += v * v;
            }
    return inside / all;
}

TEST(EnclosedLevel, HoldsTheShareAskedFor) {
    const PsiGrid grid = evaluatePsiGrid(Orbital(), 3, 50).grid;
    for (double share : {0.0, 0.09, 0.995, 1.0, double(NAN)}) EXPECT_NE(enclosedLevel(grid, share).problem, "") << share;
    EXPECT_NE(enclosedLevel(PsiGrid{}, 0.5).problem, "");

    for (const State& s : {s1, p2z})
        for (double share : {0.5, 0.9}) {
            const Orbital o = orbital(s);
            const EnclosedLevel level = enclosedLevel(evaluatePsiGrid(o, s.extent).grid, share);
            ASSERT_EQ(level.problem, "") << s.name;
            EXPECT_GE(level.enclosed, share) << s.name << " on its own grid";
            EXPECT_LT(level.enclosed, share + 5e-3) << s.name << " on its own grid";
            EXPECT_NEAR(shareAbove(o, s.extent, level.level), share, 0.01) << s.name << " on a finer grid";
        }
}

// Each directed edge once, and its reverse once: closed, and oriented alike.
int unpairedEdges(const Mesh& m) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> directed;
    for (const auto& t : m.triangles)
        for (int q = 0; q < 3; ++q) ++directed[{t[q], t[(q + 1) % 3]}];
    int unpaired = 0;
    for (const auto& [edge, count] : directed) {
        const auto back = directed.find({edge.second, edge.first});
        unpaired += count != 1 || back == directed.end() || back->second != 1;
    }
    return unpaired;
}

TEST(Isosurfaces, ClosedOrientedAndOnTheLevel) {
    // 3d_z2: two lobes (Euler characteristic 2 + 2) and a torus (0); 1s cut
    // by a cube smaller than its surface still closes over the faces.
    struct Case {
        State state;
        int eulerPositive, eulerNegative;
    };
    for (const Case& c : {Case{d3z2, 4, 0}, Case{p2z, 2, 2}, Case{{"1s cut", 1, 0, 0, 1}, 2, 0}}) {
        const Orbital o = orbital(c.state);
        const PsiGrid grid = evaluatePsiGrid(o, c.state.extent).grid;
        const EnclosingSurfaces s = enclosingSurfaces(grid, 0.9);
        ASSERT_EQ(s.level.problem, "");
        for (int sign : {1, -1}) {
            const Mesh& m = sign > 0 ? s.surfaces.positive : s.surfaces.negative;
            const std::string what = std::string(c.state.name) + (sign > 0 ? " positive" : " negative");
            ASSERT_EQ(m.normals.size(), m.vertices.size()) << what;
            EXPECT_EQ(unpairedEdges(m), 0) << what;
            const long euler = long(m.vertices.size()) - long(m.triangles.size()) * 3 / 2 + long(m.triangles.size());
            EXPECT_EQ(euler, sign > 0 ? c.eulerPositive : c.eulerNegative) << what;

            int flat = 0, againstNormals = 0, offLevel = 0;
            double volume = 0;
            for (const auto& t : m.triangles) {
                const Vec3f a = m.vertices[t[0]], b = m.vertices[t[1]], d = m.vertices[t[2]];
                const double u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, v[3] = {d.x - a.x, d.y - a.y, d.z - a.z};
                const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
                flat += n[0] == 0 && n[1] == 0 && n[2] == 0;
                const Vec3f vn = m.normals[t[0]];
                againstNormals += n[0] * vn.x + n[1] * vn.y + n[2] * vn.z <= 0;
                volume += (a.x * (b.y * d.z - b.z * d.y) - a.y * (b.x * d.z - b.z * d.x) + a.z * (b.x * d.y - b.y * d.x)) / 6;
            }
            for (std::size_t i = 0; i < m.vertices.size(); ++i) {
                const Vec3f p = m.vertices[i], nv = m.normals[i];
                EXPECT_NEAR(nv.x * nv.x + nv.y * nv.y + nv.z * nv.z, 1, 1e-5) << what << " normal " << i;
                // inside the cube the surface lies on the level, to the grid's interpolation
                const bool inCube = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}) < c.state.extent;
                offLevel += inCube && std::fabs(sign * psi(o, p.x, p.y, p.z) / s.level.level - 1) > 0.1;
            }
            EXPECT_EQ(flat, 0) << what << ": triangles without area";
            EXPECT_EQ(againstNormals, 0) << what << ": triangles facing against their normals";
            EXPECT_EQ(offLevel, 0) << what << ": vertices off the level by more than 10 %";
            EXPECT_GE(volume, 0) << what << ": turned inside out";
        }
    }
}

}  // namespace
}  // namespace vantrel
