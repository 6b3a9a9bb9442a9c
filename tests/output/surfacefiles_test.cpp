// The cube, glTF, STL, PLY and OBJ files as other programs read them
// (Open Babel, assimp), and psi in a plane as a picture.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

#include "../engine/orbitals.h"
#include "engine/isosurface.h"
#include "output/cubefile.h"
#include "output/meshfiles.h"
#include "output/sliceimage.h"
#include "support/filereaders.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

using test::installed;
using test::orbital;
using test::reported;
using test::TempDir;

TEST(CubeFile, OpenBabelReadsTheNucleusAndTheGrid) {
    if (!installed("obabel")) GTEST_SKIP() << "obabel is missing (Debian openbabel; scripts/deps.sh installs it)";
    TempDir dir;
    const Orbital o = orbital(2, 2, 1, 1);
    ASSERT_EQ(writeCubeFile(dir.file("he.cube"), evaluatePsiGrid(o, 6, 24).grid, o), "");
    const test::CubeAsRead cube = test::readCube(dir.file("he.cube"), dir.file("back.cube"));
    EXPECT_EQ(cube.atoms, "1") << "atoms";
    EXPECT_EQ(cube.element, "He");
    EXPECT_EQ(cube.nucleus, (std::array{0.0, 0.0, 0.0})) << "the nucleus at the origin";
    EXPECT_EQ(cube.points, (std::array{24, 24, 24})) << "the grid's points along x, y and z";
}

TEST(CubeFile, PsiSquaredIntegratesToOneInAtomicUnits) {
    struct Case {
        int z, n, l, m;
        double extent;
    };
    TempDir dir;
    for (const Case& c : {Case{1, 1, 0, 0, 10}, Case{3, 2, 1, 1, 10}, Case{1, 3, 2, -2, 28}}) {
        const Orbital o = orbital(c.z, c.n, c.l, c.m);
        ASSERT_EQ(writeCubeFile(dir.file("o.cube"), evaluatePsiGrid(o, c.extent, 96).grid, o), "");
        std::istringstream in(test::readFile(dir.file("o.cube")));
        std::string comment;
        std::getline(in, comment);
        std::getline(in, comment);
        int atoms = 0, points[3] = {};
        double origin[3], axes[3][3], atom[5];
        in >> atoms >> origin[0] >> origin[1] >> origin[2];
        for (int a = 0; a < 3; ++a) in >> points[a] >> axes[a][0] >> axes[a][1] >> axes[a][2];
        for (double& v : atom) in >> v;
        EXPECT_EQ(atom[0], c.z) << "the nucleus's Z";
        EXPECT_NEAR(origin[0], -c.extent / bohr, 1e-5) << "the origin in bohr";
        double sum = 0, v;
        long values = 0;
        for (; in >> v; ++values) sum += v * v;
        EXPECT_EQ(values, 96L * 96 * 96);
        EXPECT_NEAR(sum * axes[0][0] * axes[1][1] * axes[2][2], 1, 0.01) << "Z=" << c.z << " " << c.n << c.l << c.m;
    }
}

class MeshFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const Orbital o = orbital(1, 2, 1, 0);
        surfaces = enclosingSurfaces(evaluatePsiGrid(o, 8, 40).grid, 0.9).surfaces;
        triangles = long(surfaces.positive.triangles.size() + surfaces.negative.triangles.size());
    }
    static SignSurfaces surfaces;
    static long triangles;
    TempDir dir;
};
SignSurfaces MeshFiles::surfaces;
long MeshFiles::triangles = 0;

TEST_F(MeshFiles, AssimpReadsEveryTriangle) {
    if (!installed("assimp")) GTEST_SKIP() << "assimp is missing (Debian assimp-utils; scripts/deps.sh installs it)";
    struct Format {
        const char* name;
        std::string (*write)(const std::string&, const SignSurfaces&);
        long meshes;  // the two surfaces apart, or one solid
    };
    const auto stl = [](const std::string& path, const SignSurfaces& s) { return writeStl(path, s); };
    for (const Format& f : {Format{"o.glb", writeGlb, 2}, Format{"o.stl", stl, 1}, Format{"o.ply", writePly, 1},
                            Format{"o.obj", writeObj, 2}}) {
        ASSERT_EQ(f.write(dir.file(f.name), surfaces), "") << f.name;
        const std::string report = test::output("assimp info " + dir.file(f.name) + " -r");
        EXPECT_EQ(reported(report, "Faces:"), triangles) << f.name << "\n" << report;
        EXPECT_EQ(reported(report, "Meshes:"), f.meshes) << f.name;
    }
}

TEST_F(MeshFiles, StlSolidIsClosed) {
    ASSERT_EQ(writeStl(dir.file("o.stl"), surfaces), "");
    const std::string bytes = test::readFile(dir.file("o.stl"));
    EXPECT_NE(bytes.substr(0, 5), "solid") << "a binary STL must not look like a text one";
    EXPECT_EQ(test::stlTriangles(bytes), triangles);
    EXPECT_EQ(test::stlOpenEdges(bytes), 0) << "edges not shared by exactly two triangles";
}

// (Links, folders and FIFOs in the way: the app's write-fault and end-to-end tests.)
TEST_F(MeshFiles, FailuresLeaveTheTargetAlone) {
    const std::string kept = dir.file("kept.stl");
    test::writeFile(kept, "old");
    EXPECT_NE(writeStl(dir.file("missing/o.stl"), surfaces), "") << "no such folder";
    EXPECT_NE(writeGlb(kept, SignSurfaces{}), "") << "no surface at all";
    EXPECT_NE(writeStl(kept, surfaces, 0), "") << "no scale";
    EXPECT_EQ(test::readFile(kept), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : test::fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

TEST(SliceImage, NodalPlaneIsWhiteAndLobesTakeTheirSignColours) {
    const Orbital o = orbital(1, 2, 1, 0);
    const SliceImage flat = psiSlice(o, {SlicePlane::XY, 0, 8, 64});
    ASSERT_EQ(flat.problem, "");
    EXPECT_EQ(flat.maxAbsPsi, 0);
    EXPECT_EQ(flat.rgba, std::vector<std::uint8_t>(64 * 64 * 4, 255)) << "2p_z is 0 in the plane z = 0";

    const SliceImage side = psiSlice(o, {SlicePlane::XZ, 0, 8, 64});
    EXPECT_EQ(side.up, 'z');
    EXPECT_EQ(side.scaleBarAngstroms, 2);
    EXPECT_EQ(side.scaleBarPixels, 8) << "2 Angstroms at 64 pixels over 16";
    const auto pixel = [&](int row, int col) {
        const std::uint8_t* p = &side.rgba[4 * (std::size_t(row) * 64 + col)];
        return Rgb{p[0], p[1], p[2]};
    };
    const Rgb above = pixel(24, 32), below = pixel(40, 32);
    EXPECT_GT(above.b, above.r) << "psi > 0 above the plane: blue";
    EXPECT_GT(below.r, below.b) << "psi < 0 below it: red";
    for (double t : {-1.0, 1.0}) {
        const Rgb c = sliceColour(t), expected = signColour(t);
        EXPECT_EQ((std::array{c.r, c.g, c.b}), (std::array{expected.r, expected.g, expected.b})) << t;
    }
    for (int pixels : {1, 5000}) EXPECT_NE(psiSlice(o, {SlicePlane::XY, 0, 8, pixels}).problem, "") << pixels;
}

}  // namespace
}  // namespace vantrel
