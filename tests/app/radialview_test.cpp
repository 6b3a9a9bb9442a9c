#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "support/recordingcanvas.h"
#include "support/testsupport.h"
#include "app/orbitalcontrols.h"

namespace vantrel {
namespace {

constexpr std::uint32_t black = 0x000000, blue = 0xFF0000, red = 0x0000FF, violet = 0xD30094;

class RadialTest : public test::CanvasState {
protected:
    // The state a refresh of the window would leave for this orbital.
    void useOrbital(int z, int n, int l, int m, double extent) {
        auto& o = s.orbital;
        o.currentZ = z, o.currentN = n, o.currentL = l, o.currentM = m, o.extent = extent;
        o.axisMax = static_cast<int>(std::lround(extent)) / 10 * 10 + 10;
        setCoefficients(s);
    }

    // The theory curve over the whole histogram, with the radii.
    void plotTheory() {
        calcWindowTheory(s);
        s.radial.histogram.maxBin = radialSize(s.orbital);
        drawRadialPlot(s, true);
    }
};

TEST_F(RadialTest, BinsPerAngstromAndHistogramSize) {
    // 200: 2.5 rounds to even; 1000: 0.5 would give no bins at all.
    for (auto [axisMax, bins] : {std::pair{10, 50}, {200, 2}, {510, 1}, {1000, 1}}) {
        o.axisMax = axisMax;
        EXPECT_EQ(plotBinsPerAngstrom(s.orbital), bins) << axisMax;
    }
    o.axisMax = 10, o.extent = 2;
    resetRadialPlot(s);
    EXPECT_EQ(s.radial.histogram.hits.size(), std::size_t(std::lround(std::sqrt(3.0) * 2 * 51)) + 1);

    // Absurd extents never size the arrays past the highest bin, nor below one entry.
    for (double e : {1e9, std::numeric_limits<double>::infinity()}) {
        o.extent = e;
        resetRadialPlot(s);
        calcWindowTheory(s);
        EXPECT_EQ(std::tuple(s.radial.histogram.hits.size(), s.radial.radialTheory.size()),
                  std::tuple(maxRadialBin + 1u, maxRadialBin + 1u)) << e;
    }
    for (double e : {-5.0, 0.0, std::nan("")}) {
        o.extent = e;
        resetRadialPlot(s);
        auto& h = s.radial.histogram;
        EXPECT_EQ(h.hits.size(), 1u);
        EXPECT_TRUE(h.add(0));
        EXPECT_FALSE(h.add(1));
    }
    EXPECT_EQ(std::tuple(radialBin(1e300, 50), radialBin(std::nan(""), 50)), std::tuple(maxRadialBin, -1));
    EXPECT_EQ(std::tuple(radialBin(0.25, 2), radialBin(0.75, 2)), std::tuple(0, 2));  // ties to even
}

TEST_F(RadialTest, AxesForDefaultExtent) {
    useOrbital(1, 1, 0, 0, 2);
    drawRadialAxes(s);
    // Label step 1: every tick long and labelled, then "A".
    ASSERT_EQ(canvas.texts.size(), 12u);
    for (auto [i, text, x] : {std::tuple{0, "0", -3.0}, {10, "10", 494.0}, {11, "A", 506.0}})
        EXPECT_EQ(std::tuple(canvas.texts[i].text, canvas.texts[i].x), std::tuple(text, x));
    EXPECT_EQ(canvas.linesWith(black).size(), 13u);  // ticks, baseline, vertical axis
    // Extent 120: labels every 20, ticks every 5.
    useOrbital(1, 1, 0, 0, 120);
    drawRadialAxes(s);
    EXPECT_EQ(std::tuple(canvas.texts.size(), canvas.lines.size()), std::tuple(8u, 27u + 2));  // 0, 20, ..., 120 and "A"
    s.orbital.extent = -15;  // must not divide by a zero step
    drawRadialAxes(s);
}

TEST_F(RadialTest, HitsModeBarsRadiiAndCorners) {
    useOrbital(1, 1, 0, 0, 2);  // k = 50, edge = bin 100
    resetRadialPlot(s);
    plotTheory();  // no points yet
    EXPECT_EQ(std::tuple(canvas.bars(blue).size(), canvas.bars(red).size(), canvas.markers().size()), std::tuple(0u, 0u, 0u));
    EXPECT_EQ(std::tuple(f.pointCountLabel.caption, f.medianRadiusLabel.caption), std::tuple("0", ""));

    // Hits in bins 10 and 20 and beyond the edge.
    resetRadialPlot(s);
    for (int bin : {10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 120, 120}) s.radial.histogram.add(bin);
    s.run.nPoints = 12;
    s.radial.histogram.maxBin = 1000000;  // far past the arrays: read as empty
    drawRadialPlot(s, true);

    const auto b = canvas.bars(blue), r = canvas.bars(red);
    ASSERT_EQ(std::tuple(b.size(), r.size()), std::tuple(2u, 1u));
    EXPECT_EQ(std::tuple(b[0].x1, b[0].y2, r[0].x1, r[0].y2), std::tuple(10, 50, 120, 250 - 80));
    // Equal bins: the first is the most probable radius.
    EXPECT_EQ(f.probableRadiusLabel.caption, "Most probable radius: 0.20 A (actual)\r\n");
    EXPECT_EQ(f.medianRadiusLabel.caption, "Median radius: 0.40 A (actual)");
    auto m = canvas.markers();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(std::tuple(m[0].color, m[0].x1, m[1].color, m[1].x1), std::tuple(red, 10, blue, 20));

    // While points come in there are no radii.
    drawRadialPlot(s, false);
    EXPECT_EQ(std::tuple(canvas.markers().size(), f.medianRadiusLabel.caption), std::tuple(0u, ""));
}

// Nodes mode: one violet line where the radial factor changes sign; 1s
// has none.
TEST_F(RadialTest, TheoryRadiusOf1sAndNodes) {
    s.window.plotModeOptions[1].select();
    f.colourModeOptions[1].select();
    for (int z : {1, 2}) {
        useOrbital(z, 1, 0, 0, 2);
        plotTheory();
        // Bins of 0.02 A: 0.52918 lies nearest 0.52, 0.26459 nearest 0.26.
        EXPECT_EQ(s.window.probableRadiusLabel.caption,
                  std::string("Most probable radius: ") + (z == 1 ? "0.52" : "0.26") + " A (theoretical)\r\n");
        double tallest = 250;
        for (const auto& l : canvas.bars(blue)) tallest = std::min(tallest, l.y2);
        EXPECT_DOUBLE_EQ(tallest, 80);
        EXPECT_EQ(std::tuple(canvas.linesWith(violet).size(), canvas.bars(red).size()), std::tuple(0u, 0u));
    }
    EXPECT_FALSE(s.window.pointCountLabel.visible);  // a theory plot with radii hides the count

    useOrbital(1, 3, 0, 0, 13);
    plotTheory();
    auto v = canvas.linesWith(violet);
    ASSERT_EQ(v.size(), 2u);
    // The 3s nodes sit at 1.902 and 7.098 Bohr radii; between them the
    // radial factor is negative: red bars.
    EXPECT_NEAR(v[0].x1, 50 * 1.902 * bohr, 3);
    EXPECT_NEAR(v[1].x1, 50 * 7.098 * bohr, 3);
    for (const auto& l : canvas.bars(red)) {
        EXPECT_GT(l.x1, v[0].x1);
        EXPECT_LT(l.x1, v[1].x1);
    }
    EXPECT_FALSE(canvas.bars(red).empty());
    EXPECT_TRUE(canvas.markers().empty());
}

TEST_F(RadialTest, ExtentAdviceReplacesRadii) {
    f.plotModeOptions[1].select();
    // The default extent of 2p is 6; within one of it the radii are shown.
    for (auto [e, advice] : {std::pair{7.0, ""}, {5.0, ""}, {8.0, "high.\r\nTry decreasing"}, {4.0, "low.\r\nTry increasing"}}) {
        useOrbital(1, 2, 1, 0, e);
        plotTheory();
        if (!*advice) {
            EXPECT_TRUE(test::startsWith(f.probableRadiusLabel.caption, "Most probable radius: ")) << e;
            EXPECT_EQ(canvas.markers().size(), 2u) << e;
            continue;
        }
        EXPECT_EQ(f.probableRadiusLabel.caption, std::string("The orbital extent appears to be ") + advice + " it to about 6 Angstroms");
        EXPECT_EQ(std::tuple(f.medianRadiusLabel.caption, canvas.markers().size()), std::tuple("", 0u)) << e;
    }
}

// While the plot shows theory, every change of the orbital, the extent, the
// region or the colour mode draws the curve again; none leaves bare axes.
TEST_F(RadialTest, TheoryCurveFollowsEveryChange) {
    installReactions(s);
    speciesMenu(s, 0);
    f.plotModeOptions[1].click();
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"n", [&] { f.quantumText[0].setText("3"); }},
        {"l", [&] { f.quantumText[1].setText("2"); }},
        {"m", [&] { f.quantumText[2].setText("-1"); }},
        {"extent", [&] { f.extentText.setText("30"); }},
        {"autoscale", [&] { f.autoscaleMenuItem.click(); }},
        {"region", [&] { f.regionOptions[2].click(); }},
        {"nodes", [&] { f.colourModeOptions[1].click(); }},
        {"quick off", [&] { f.quickLabel.click(); }},
    };
    for (const auto& [what, change] : changes) {
        canvas.clear();
        change();
        EXPECT_GT(canvas.bars(blue).size() + canvas.bars(red).size(), 0u) << what;
        EXPECT_NE(f.probableRadiusLabel.caption, "") << what;
    }
    EXPECT_EQ(o.currentN * 100 + o.currentL * 10 - o.currentM, 321);
}

TEST_F(RadialTest, ShowTheory) {
    useOrbital(1, 2, 1, 0, 6);
    f.canCalculate = false;  // the controls are held: leave the plot alone
    showTheory(s);
    EXPECT_TRUE(canvas.lines.empty());

    f.canCalculate = true;
    f.regionOptions[3].select(), o.planeName = "xz";
    f.plotModeOptions[1].select();
    showTheory(s);
    EXPECT_TRUE(f.planeLabel.visible);
    EXPECT_FALSE(canvas.bars(blue).empty());
    // In a plane the curve is R^2 r: its peak lies nearer than the shell's.
    const double planePeak = s.radial.rTheory;
    f.regionOptions[0].select(), o.planeName = "";
    showTheory(s);
    EXPECT_FALSE(f.planeLabel.visible);
    EXPECT_LT(planePeak, s.radial.rTheory);

    // pz on the XY plane is a node: say so instead of plotting.
    f.regionOptions[1].select(), o.planeName = "xy";
    canvas.clear();
    showTheory(s);
    EXPECT_EQ(std::tuple(f.nodeLabel.visible, f.planeLabel.visible, canvas.lines.size()), std::tuple(true, false, 0u));
}

}  // namespace
}  // namespace vantrel
