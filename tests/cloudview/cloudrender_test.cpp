#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <tuple>

#include "cloudview/cloudtest.h"
#include "cloudview/cloudviewstate.h"
#include "output/cloudrender.h"

namespace vantrel {
namespace {

using namespace test;

constexpr int side = 300;

// The pixel at (x, y) of a side x side picture.
std::uint32_t at(const CloudImage& img, double x, double y) { return img.pixels[std::size_t(y) * side + std::size_t(x)]; }

Centroid of(const CloudImage& img, bool (*pick)(std::uint32_t)) {
    return centroidOf(side, side, [&](int x, int y) { return at(img, x, y); }, pick);
}

class CloudRenderTest : public ::testing::Test {
protected:
    CloudRenderTest() { view.extent = cloudExtent; }
    CloudImage draw(int n, int l, int m) {
        CloudRenderer r;
        r.addPoints(orbitalCloud(n, l, m).points);
        view.maxPsi2 = orbitalCloud(n, l, m).maxPsi2;
        r.render(view.scene(side, side, 1));
        return r.image();
    }
    CloudViewState view;
};

TEST_F(CloudRenderTest, CutawayHidesOneSideOfItsPlane) {
    // 2p_z cut at the xy plane loses a lobe, 2p_x at the yz plane likewise; a
    // cut along the lobes' axis keeps half of each, one beyond the cloud all.
    struct Case {
        int m;
        CutPlane plane;
        bool hideAbove;
        double offset;
        int blue, red;  // at least this many pixels, or fewer than 20 when 0
    } cases[] = {{0, CutPlane::xy, true, 0, 0, 500},   {0, CutPlane::xy, false, 0, 500, 0},
                 {1, CutPlane::yz, true, 0, 0, 500},   {1, CutPlane::yz, false, 0, 500, 0},
                 {0, CutPlane::yz, true, 0, 300, 300}, {0, CutPlane::xy, true, cloudExtent, 500, 500}};
    for (const Case& c : cases) {
        view.cut = {c.plane, c.hideAbove, c.offset};
        const CloudImage f = draw(2, 1, c.m);
        SCOPED_TRACE("m " + std::to_string(c.m) + " plane " + std::to_string(int(c.plane)) +
                     (c.hideAbove ? " hiding above " : " hiding below ") + std::to_string(c.offset));
        for (auto [count, least] : {std::pair{of(f, bluish).count, c.blue}, {of(f, reddish).count, c.red}})
            EXPECT_TRUE(least ? count > least : count < 20) << count << " pixels";
    }
}

TEST_F(CloudRenderTest, LobesOf2pStraddleTheNucleusWhereTheViewPutsThem) {
    // 2p_z by default (in both styles) and along y: positive above; 2p_x
    // along z and 2p_y along x: positive right; 2p_y along z: positive above.
    struct Case {
        int m;
        std::optional<ViewAxis> along;
        CloudStyle style;
        double dx, dy;  // from the red to the blue centroid, signs only
    } cases[] = {{0, {}, CloudStyle::density, 0, -1}, {0, {}, CloudStyle::dots, 0, -1}, {1, ViewAxis::z, CloudStyle::density, 1, 0},
                 {-1, ViewAxis::x, CloudStyle::density, 1, 0}, {0, ViewAxis::y, CloudStyle::density, 0, -1},
                 {-1, ViewAxis::z, CloudStyle::density, 0, -1}};
    for (const Case& c : cases) {
        view = CloudViewState{};
        view.extent = cloudExtent;
        view.style = c.style;
        if (c.along) view.viewAlong(*c.along);
        const CloudImage f = draw(2, 1, c.m);
        const Centroid blue = of(f, bluish), red = of(f, reddish);
        SCOPED_TRACE("m " + std::to_string(c.m) + " along " + (c.along ? std::to_string(int(*c.along)) : "default") +
                     " style " + std::to_string(int(c.style)));
        ASSERT_GT(blue.count, 500);
        ASSERT_GT(red.count, 500);
        // Apart by more than 60 pixels along the expected direction, within 10 across it.
        for (auto [moved, sign] : {std::pair{blue.x - red.x, c.dx}, {blue.y - red.y, c.dy}})
            EXPECT_TRUE(sign != 0 ? moved * sign > 60 : std::abs(moved) < 10) << moved;
        EXPECT_NEAR((blue.x + red.x) / 2, side / 2.0, 15);
        EXPECT_NEAR((blue.y + red.y) / 2, side / 2.0, 15);
    }
}

TEST_F(CloudRenderTest, AddedPointsAloneAreDrawnAndTheFrameEqualsAFullOne) {
    const auto& points = orbitalCloud(3, 2, 0).points;
    for (CloudStyle style : {CloudStyle::density, CloudStyle::dots}) {
        view.style = style;
        const CloudScene scene = view.scene(side, side, 1);
        CloudRenderer growing;
        growing.addPoints(std::span(points).first(15000));
        EXPECT_TRUE(growing.render(scene));
        EXPECT_EQ(growing.lastDrawnPoints(), 15000u);
        growing.addPoints(std::span(points).subspan(15000));
        EXPECT_TRUE(growing.render(scene));
        EXPECT_EQ(growing.lastDrawnPoints(), points.size() - 15000) << "only the new points";
        EXPECT_FALSE(growing.render(scene)) << "nothing changed";

        // The same picture as all points drawn at once, on one thread or two.
        for (int threads : {1, 2}) {
            CloudRenderer whole(threads);
            whole.addPoints(points);
            whole.render(scene);
            EXPECT_TRUE(whole.image().pixels == growing.image().pixels) << "style " << int(style) << ", threads " << threads;
        }
        // A turn draws them all again.
        view.drag(10, 0);
        growing.render(view.scene(side, side, 1));
        EXPECT_EQ(growing.lastDrawnPoints(), points.size());
    }
}

TEST_F(CloudRenderTest, ColoursFollowTheSignOrTheProbabilityClass) {
    // Three points along y: psi^2 at the ceiling (class 1), half of it, and zero (class 15).
    const double top = 4;
    const std::vector<CloudPoint> points = {{0, -3, 0, 2}, {0, 0, 0, -std::sqrt(2.0)}, {0, 3, 0, 0}};
    CloudRenderer r;
    r.addPoints(points);
    view.style = CloudStyle::dots;
    view.maxPsi2 = top;
    view.axes = false;
    view.viewAlong(ViewAxis::x);
    auto colourAt = [&](const CloudPoint& p) {
        const CloudScene s = view.scene(side, side, 1);
        r.render(s);
        const ScreenPoint sp = projectPoint(s, p.x, p.y, p.z);
        const std::uint32_t c = at(r.image(), sp.x, sp.y);
        return Rgb{std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)};
    };
    auto hueOf = [](Rgb c) { return std::string(c.r > c.b + 40 ? "red" : c.b > c.r + 40 ? "blue" : "grey"); };
    EXPECT_EQ(hueOf(colourAt(points[0])), "blue") << "psi > 0";
    EXPECT_EQ(hueOf(colourAt(points[1])), "red") << "psi < 0";
    EXPECT_EQ(hueOf(colourAt(points[2])), "red") << "psi = 0 counts as not positive";
    view.colouring = CloudColouring::probability;
    EXPECT_EQ(hueOf(colourAt(points[0])), "red") << "class 1";
    const Rgb half = colourAt(points[1]), fifteen = colourAt(points[2]);
    EXPECT_EQ(hueOf(fifteen), "grey") << "class 15";
    EXPECT_LT(fifteen.r, 230) << "class 15, white, stays visible on white";
    const Rgb expectHalf = classColour(probabilityClass(points[1].psi, top));
    EXPECT_EQ(half.g > half.r, expectHalf.g > expectHalf.r) << "class " << probabilityClass(points[1].psi, top);
}

// A sphere of radius r about the origin, rings by segments, normals outwards.
Mesh sphere(float r, int rings, int segments) {
    Mesh m;
    for (int i = 0; i <= rings; ++i)
        for (int j = 0; j < segments; ++j) {
            const double theta = std::numbers::pi * i / rings, phi = 2 * std::numbers::pi * j / segments;
            const Vec3f n{float(std::sin(theta) * std::cos(phi)), float(std::sin(theta) * std::sin(phi)), float(std::cos(theta))};
            m.normals.push_back(n);
            m.vertices.push_back({r * n.x, r * n.y, r * n.z});
        }
    auto at = [segments](int i, int j) { return static_cast<std::uint32_t>(i * segments + (j % segments)); };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j) {
            m.triangles.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1)});
            m.triangles.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    return m;
}

TEST_F(CloudRenderTest, SphereMeshIsAShadedDiscThatTheCutOpens) {
    CloudRenderer r;
    r.setSurfaces({{sphere(3, 40, 60), Rgb{0, 90, 255}}});
    view.showCloud = false;
    view.axes = false;
    view.viewAlong(ViewAxis::x);
    const CloudScene scene = view.scene(side, side, 1);
    const ScreenPoint c = projectPoint(scene, 0, 0, 0);
    const double radius = 3 * pixelsPerAngstrom(scene);
    // Over the pixels between two radii (in parts of the disc's): how many
    // show the background, and their mean blue.
    struct Ring {
        long background = 0, n = 0;
        double blue = 0;
    };
    auto ring = [&](double from, double to) {
        r.render(view.scene(side, side, 1));
        Ring ring;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (const double d = std::hypot(x + 0.5 - c.x, y + 0.5 - c.y) / radius; d >= from && d < to) {
                    const std::uint32_t p = at(r.image(), x, y);
                    ++ring.n, ring.background += p == 0xffffffffu, ring.blue += p & 0xff;
                }
        ring.blue /= std::max(ring.n, 1L);
        return ring;
    };
    EXPECT_EQ(ring(0, 1 - 1 / radius).background, 0) << "the disc is filled";
    const Ring beyond = ring(1 + 1 / radius, 10);
    EXPECT_EQ(beyond.background, beyond.n) << "nothing beyond the disc";
    EXPECT_GT(ring(0, 0.3).blue, ring(0.85, 0.95).blue + 40) << "lit face on, darker towards the rim";

    // Cutting away the front half shows the inside of the back half, lit
    // less; cutting away the back half changes nothing.
    const Ring whole = ring(0, 0.8);
    view.cut = {CutPlane::yz, true, 0};
    const Ring front = ring(0, 0.8);
    EXPECT_EQ(front.background, 0) << "the disc stays filled";
    EXPECT_LT(front.blue, whole.blue - 30) << "front cut away";
    view.cut = {CutPlane::yz, false, 0};
    EXPECT_DOUBLE_EQ(ring(0, 0.8).blue, whole.blue) << "back cut away";
}

TEST_F(CloudRenderTest, OverlaysAndLabels) {
    CloudRenderer r;
    view.axes = false;
    r.render(view.scene(side, side, 1));
    EXPECT_TRUE(r.image().labels.empty());
    const auto bare = r.image().pixels;
    EXPECT_EQ(std::count(bare.begin(), bare.end(), 0xffffffffu), side * side) << "no points, no overlays: all white";

    view.axes = true;
    view.box = true;
    r.render(view.scene(side, side, 1));
    const CloudImage& img = r.image();
    ASSERT_EQ(img.labels.size(), 3u);
    const CloudScene scene = view.scene(side, side, 1);
    const ScreenPoint ends[3] = {projectPoint(scene, cloudExtent, 0, 0), projectPoint(scene, 0, cloudExtent, 0),
                                 projectPoint(scene, 0, 0, cloudExtent)};
    const ScreenPoint o = projectPoint(scene, 0, 0, 0);
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(img.labels[a].text, std::string(1, "xyz"[a]));
        // Beyond the axis's end, away from the nucleus.
        EXPECT_GT(std::hypot(img.labels[a].x - o.x, img.labels[a].y - o.y), std::hypot(ends[a].x - o.x, ends[a].y - o.y))
            << "label " << a;
    }
    auto dark = [&](double x, double y) {
        std::uint32_t darkest = 255;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) darkest = std::min(darkest, at(img, x + dx, y + dy) & 0xff);
        return darkest < 180;
    };
    EXPECT_TRUE(dark(o.x, o.y)) << "nucleus";
    const ScreenPoint corner = projectPoint(scene, -cloudExtent, cloudExtent, cloudExtent);
    const ScreenPoint next = projectPoint(scene, cloudExtent, cloudExtent, cloudExtent);
    EXPECT_TRUE(dark((corner.x + next.x) / 2, (corner.y + next.y) / 2)) << "a box edge";
    view.blackBackground = true;
    r.render(view.scene(side, side, 1));
    EXPECT_EQ(r.image().pixels[0], 0xff000000u);
    EXPECT_GT(at(r.image(), o.x, o.y) & 0xff, 150u) << "the nucleus turns light on black";
}

TEST_F(CloudRenderTest, AbsurdInputDrawsWhatItCan) {
    CloudRenderer r;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    r.addPoints(std::vector<CloudPoint>{{nan, 0, 0, 1}, {inf, -inf, 0, -1}, {1e30, 0, 0, 1}, {0.5, 0, 0, 1}});
    Mesh broken = sphere(1, 4, 6);
    broken.vertices[3] = {float(nan), 0, 0};
    broken.triangles.push_back({0, 1, 99999});
    broken.normals.clear();  // made from the faces
    r.setSurfaces({{broken, Rgb{200, 0, 0}}});
    for (CloudStyle style : {CloudStyle::density, CloudStyle::dots}) {
        CloudScene s = view.scene(side, side, 1);
        s.style = style;
        s.camera = {nan, inf, -1};
        s.extent = nan;
        s.cut = {CutPlane::xz, true, nan};
        r.render(s);
        EXPECT_EQ(r.image().pixels.size(), static_cast<std::size_t>(side * side));
        s.width = -5;
        s.height = 1 << 30;
        r.render(s);
        EXPECT_EQ(std::tuple(r.image().width, r.image().height, r.image().pixels.size()), std::tuple(0, 8192, 0u));
    }
}

}  // namespace
}  // namespace vantrel
