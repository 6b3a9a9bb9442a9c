#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "cloudview/cloudviewstate.h"

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
    EXPECT_GT(axisOnScreen(v, 2).up, 0) << "z up";
    EXPECT_NEAR(axisOnScreen(v, 2).right, 0, 1e-9) << "z upright";
    EXPECT_LT(axisOnScreen(v, 0).right, 0) << "x to the front left";
    EXPECT_LT(axisOnScreen(v, 0).up, 0) << "x to the front left";
    EXPECT_GT(axisOnScreen(v, 1).right, 0) << "y to the right";
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
    EXPECT_NEAR(v.camera.zoom, 1, 1e-12);
    v.key(ViewKey::zoomIn);
    v.key(ViewKey::zoomOut);
    EXPECT_NEAR(v.camera.zoom, 1, 1e-12);
    v.pinch(1e9);
    EXPECT_DOUBLE_EQ(v.camera.zoom, 25);
    v.pinch(0);
    v.pinch(-3);
    v.pinch(std::numeric_limits<double>::infinity());
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
    EXPECT_EQ(l.entries[0].text, "ψ > 0");
    EXPECT_EQ(l.entries[0].colour.b, signColour(1).b);
    EXPECT_EQ(l.entries[1].text, "ψ < 0");
    ASSERT_EQ(l.notes.size(), 1u);
    EXPECT_EQ(l.notes[0], "ticks every 1 Å");

    v.colouring = CloudColouring::probability;
    v.extent = 60;
    v.cut = {CutPlane::yz, false, -2.5};
    l = v.legend(v.scene(600, 600, 1));
    EXPECT_EQ(l.title, "ψ² class, 1 the most probable");
    ASSERT_EQ(l.entries.size(), 15u);
    EXPECT_EQ(l.entries.back().text, "15");
    ASSERT_EQ(l.notes.size(), 2u);
    EXPECT_EQ(l.notes[0], "ticks every 10 Å") << "a wide cube";
    EXPECT_EQ(l.notes[1], "cut away: x < -2.5 Å");

    v.showCloud = false;
    v.axes = false;
    v.cut.plane = CutPlane::none;
    l = v.legend(v.scene(600, 600, 1));
    EXPECT_TRUE(l.entries.empty());
    EXPECT_TRUE(l.notes.empty());
}

TEST(CloudViewStateTest, PicturesAreTheViewsSizeOrTwice) {
    CloudViewState v;
    EXPECT_EQ(v.exportSize(640, 480).width, 640);
    v.exportFactor = 2;
    EXPECT_EQ(v.exportSize(640, 480).width, 1280);
    EXPECT_EQ(v.exportSize(640, 480).height, 960);
    v.exportFactor = 7;
    EXPECT_EQ(v.exportSize(10, 10).width, 20) << "twice at the most";
}

}  // namespace
}  // namespace vantrel
