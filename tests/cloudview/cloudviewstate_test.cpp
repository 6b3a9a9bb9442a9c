#include "cloudview/cloudviewstate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

namespace vantrel {
namespace {

// Screen direction (right, up) in which the positive end of an axis points.
struct Direction {
    double right, up;
};
Direction axisOnScreen(const CloudViewState& v, int axis) {
    const CloudScene s = v.scene(400, 400, 1);
    const ScreenPoint o = projectPoint(s, 0, 0, 0);
    const ScreenPoint e = projectPoint(s, axis == 0, axis == 1, axis == 2);
    return {e.x - o.x, o.y - e.y};
}

TEST(CloudViewStateTest, DefaultViewLooksDownOnTheXyPlaneWithZUp) {
    const CloudViewState v;
    EXPECT_DOUBLE_EQ(v.camera.elevation, 20);
    const Direction x = axisOnScreen(v, 0), y = axisOnScreen(v, 1), z = axisOnScreen(v, 2);
    EXPECT_GT(z.up, 0) << "z up";
    EXPECT_NEAR(z.right, 0, 1e-9) << "z upright";
    EXPECT_LT(x.right, 0) << "x to the front left";
    EXPECT_LT(x.up, 0) << "x to the front left";
    EXPECT_GT(y.right, 0) << "y to the right";
}

TEST(CloudViewStateTest, ViewsAlongTheAxesShowTheirPlaneFaceOn) {
    // along: the axis seen end-on; then the axes that point right and up.
    struct Case {
        ViewAxis along;
        int endOn, right, up;
    } cases[] = {{ViewAxis::x, 0, 1, 2}, {ViewAxis::y, 1, 0, 2}, {ViewAxis::z, 2, 0, 1}};
    for (const Case& c : cases) {
        CloudViewState v;
        v.viewAlong(c.along);
        const std::string what = "along " + std::string(1, "xyz"[c.endOn]);
        const Direction endOn = axisOnScreen(v, c.endOn), right = axisOnScreen(v, c.right), up = axisOnScreen(v, c.up);
        EXPECT_NEAR(std::hypot(endOn.right, endOn.up), 0, 1e-9) << what;
        EXPECT_GT(right.right, 0) << what;
        EXPECT_NEAR(right.up, 0, 1e-9) << what;
        EXPECT_GT(up.up, 0) << what;
        EXPECT_NEAR(up.right, 0, 1e-9) << what;
    }
}

TEST(CloudViewStateTest, DragTurnsTheCloudWithThePointerAndResetRestores) {
    CloudViewState v;
    const double xRightBefore = axisOnScreen(v, 0).right;
    v.drag(40, 0);
    EXPECT_GT(axisOnScreen(v, 0).right, xRightBefore) << "the front moves right with the pointer";
    v.drag(0, 30);
    EXPECT_GT(v.camera.elevation, 20) << "dragging down shows more of the top";
    v.drag(0, 1e6);
    EXPECT_DOUBLE_EQ(v.camera.elevation, 90) << "no further than straight down";
    v.drag(std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_TRUE(std::isfinite(v.camera.azimuth));
    v.drag(1e9, 0);
    EXPECT_LE(std::abs(v.camera.azimuth), 180);
    v.wheel(240);
    v.resetCamera();
    EXPECT_TRUE(v.camera == CloudCamera{});
}

TEST(CloudViewStateTest, WheelPinchAndKeysZoomWithinLimits) {
    CloudViewState v;
    v.wheel(120);
    EXPECT_NEAR(v.camera.zoom, 1.2, 1e-12) << "a notch away from the user zooms in";
    v.wheel(-120);
    v.key(ViewKey::zoomIn);
    v.key(ViewKey::zoomOut);
    EXPECT_NEAR(v.camera.zoom, 1, 1e-12) << "back by a notch and by a key";
    v.pinch(1e9);
    EXPECT_DOUBLE_EQ(v.camera.zoom, 25);
    for (double nonsense : {0.0, -3.0, std::numeric_limits<double>::infinity()}) v.pinch(nonsense);
    EXPECT_DOUBLE_EQ(v.camera.zoom, 25) << "nonsense factors change nothing";
    v.wheel(-120000);
    EXPECT_DOUBLE_EQ(v.camera.zoom, 0.25);
    // A closer camera spreads the same Angstrom over more pixels.
    EXPECT_LT(pixelsPerAngstrom(v.scene(400, 400, 1)), pixelsPerAngstrom(CloudViewState{}.scene(400, 400, 1)));
}

TEST(CloudViewStateTest, ArrowKeysTurnAsADragWouldAndPageKeysMoveTheCut) {
    const std::pair<ViewKey, std::pair<double, double>> keys[] = {
        {ViewKey::left, {-1, 0}}, {ViewKey::right, {1, 0}}, {ViewKey::up, {0, -1}}, {ViewKey::down, {0, 1}}};
    for (auto [key, drag] : keys) {
        CloudViewState pressed, dragged;
        pressed.key(key);
        dragged.drag(drag.first * 10, drag.second * 10);
        EXPECT_TRUE(pressed.camera == dragged.camera) << "key " << int(key);
    }
    CloudViewState v;
    v.extent = 10;
    v.key(ViewKey::cutForward);
    EXPECT_DOUBLE_EQ(v.cut.offset, 0.5);
    for (int i = 0; i < 50; ++i) v.key(ViewKey::cutBack);
    EXPECT_DOUBLE_EQ(v.cut.offset, -10) << "the cut stays within the cube";
}

TEST(CloudViewStateTest, LegendSaysWhatTheColoursAndMarksMean) {
    CloudViewState v;
    v.extent = 6;
    CloudLegend l = v.legend(v.scene(600, 600, 1));
    ASSERT_EQ(l.entries.size(), 2u);
    EXPECT_EQ(std::tuple(l.entries[0].text, l.entries[0].colour.b, l.entries[1].text), std::tuple("ψ > 0", signColour(1).b, "ψ < 0"));
    EXPECT_EQ(l.notes, std::vector<std::string>{"ticks every 1 Å"});

    v.colouring = CloudColouring::probability;
    v.extent = 60;
    v.cut = {CutPlane::yz, false, -2.5};
    l = v.legend(v.scene(600, 600, 1));
    EXPECT_EQ(l.title, "ψ² class, 1 the most probable");
    ASSERT_EQ(l.entries.size(), 15u);
    EXPECT_EQ(l.entries.back().text, "15");
    EXPECT_EQ(l.notes, (std::vector<std::string>{"ticks every 10 Å", "cut away: x < -2.5 Å"})) << "a wide cube";

    v.showCloud = false;
    v.axes = false;
    v.cut.plane = CutPlane::none;
    l = v.legend(v.scene(600, 600, 1));
    EXPECT_EQ(std::tuple(l.entries.size(), l.notes.size()), std::tuple(0u, 0u));
}

}  // namespace
}  // namespace vantrel
