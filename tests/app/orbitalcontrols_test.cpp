// The window as plain state and the current orbital read from it.
#include "app/orbitalcontrols.h"

#include <tuple>
#include <vector>

#include "app/mainwindow.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using OrbitalTest = test::FreshState;
using WindowStateTest = test::FreshState;

TEST_F(WindowStateTest, ReactionsFireOnlyOnRealChanges) {
    int clicks = 0, changes = 0;
    f.plotModeOptions[0].onClick = [&] { ++clicks; };
    f.plotModeOptions[0].select();  // already selected
    EXPECT_EQ(clicks, 0);
    f.plotModeOptions[1].select();
    EXPECT_FALSE(f.plotModeOptions[0].checked);
    f.plotModeOptions[0].select();
    EXPECT_EQ(clicks, 1);

    f.extentText.onChange = [&] { ++changes; };
    f.extentText.setText("2");
    EXPECT_EQ(changes, 0);
    f.extentText.setText("3");
    f.maxPointsSpinner.onChange = [&] { ++changes; };
    f.maxPointsSpinner.setValue(99);  // clamped to the range
    EXPECT_EQ(f.maxPointsSpinner.value, 5);
    EXPECT_EQ(changes, 2);
}

// (1 1 0, 3 3 0 and 3 2 -2 are typed into the real window in the window tests.)
TEST_F(OrbitalTest, ValidityShowsInTheWindow) {
    typeQuantum("0", "0", "0");
    EXPECT_FALSE(f.calculateButton.enabled);

    // Valid numbers beyond the factorial table are refused, saying why.
    typeQuantum("26", "25", "0");
    EXPECT_EQ(std::tuple(f.calculateButton.enabled, f.errorLabel.visible), std::tuple(false, true));
    EXPECT_TRUE(test::contains(f.errorLabel.caption, "above 50")) << f.errorLabel.caption;
    EXPECT_EQ(std::tuple(f.tooSmallLabel.visible, f.tooLargeLabel.visible), std::tuple(false, false));
    typeQuantum("1e300", "-1e300", "abc");  // absurd texts: refused, nothing breaks
    EXPECT_EQ(f.errorLabel.caption, "The quantum numbers you have chosen are invalid.");
}

TEST_F(OrbitalTest, ExtentTextsQuotaWarningsAndDefaultExtent) {
    struct Case {
        const char *text, *shown;
        int axisMax;
    };
    const Case cases[] = {{"7.9", "7", 10}, {"0", "10", 20}, {"", "10", 20}, {"900", "500", 510}, {"-7", "7", 10}, {"25", "25", 30}};
    for (const auto& c : cases) {
        f.extentText.text = c.text;
        updateOrbital(s, true);
        EXPECT_EQ(f.extentText.text, c.shown) << c.text;
        EXPECT_EQ(numText(o.extent), c.shown) << c.text;
        EXPECT_EQ(o.axisMax, c.axisMax) << c.text;
        EXPECT_EQ(intText(f.extentSpinner.value), c.shown) << c.text;
    }

    for (auto [text, quota] : {std::pair{"100", 625}, {"20000.5", 20000}}) {  // at least 625; ties to even
        f.maxPointsText.text = text;
        updateOrbital(s, false);
        EXPECT_EQ(std::tuple(o.maxPoints, f.maxPointsText.text), std::tuple(quota, intText(quota))) << text;
    }

    typeQuantum("3", "2", "0", "2");  // default 13
    EXPECT_EQ(std::tuple(f.tooSmallLabel.visible, f.extentLabel.color), std::tuple(true, 0x0000FFu));
    typeQuantum("3", "2", "0", "13");
    EXPECT_EQ(std::tuple(f.tooSmallLabel.visible, f.tooLargeLabel.visible, f.extentLabel.color), std::tuple(false, false, 0u));
    typeQuantum("3", "2", "0", "20");
    EXPECT_TRUE(f.tooLargeLabel.visible);

    typeQuantum("40", "0", "0");
    autoscale(s);  // default 1715: the scroll bar and the extent stop at 500
    EXPECT_EQ(std::tuple(f.extentSpinner.value, o.extent), std::tuple(500, 500.0));
}

// The names of the golden runs' files cover planes, nuclei, quick and
// "Nodes"; here the directory keeps its capitals and the point file has
// no colour suffix.
TEST_F(OrbitalTest, FileNamesKeepTheDirectoryCase) {
    s.mainDir = "/tmp/Some_Vantrel";
    s.window.colourModeOptions[1].select();
    typeQuantum("2", "1", "0");
    EXPECT_EQ(o.xyzFile, "/tmp/Some_Vantrel/files/2_1_0__n.xyz");
    EXPECT_EQ(o.csvFile, "/tmp/Some_Vantrel/files/2_1_0_.csv");
}

TEST_F(OrbitalTest, RegionsNodalPlanesAndLevelWindow) {
    std::vector<int> setups;
    s.windowHooks.levelsFollow = [&](const OrbitalNumbers& s) { setups.push_back(s.z + s.n + s.l + s.m); };
    s.window.levelsOpen = true;
    f.firstQuadrantCheck.checked = true;
    f.regionOptions[1].select();
    s.orbital.planeName = "xy";
    f.plotModeOptions[1].select();
    typeQuantum("2", "1", "0", "6");  // pz
    // The first quadrant only in space.
    EXPECT_EQ(std::tuple(f.firstQuadrantCheck.checked, f.firstQuadrantCheck.enabled), std::tuple(false, false));
    EXPECT_EQ(std::tuple(f.plotIcons[0].visible, f.plotIcons[1].visible, f.plotIcons[2].visible), std::tuple(false, false, true));
    EXPECT_TRUE(setups.empty());
    EXPECT_TRUE(isNodal(s));  // XY is the nodal plane of pz, XZ is not
    f.regionOptions[3].select();
    EXPECT_FALSE(isNodal(s));
    int x, y, z;
    bool restricted;
    f.regionOptions[2].select();
    setOptions(s.window, x, y, z, restricted);
    EXPECT_EQ(std::tuple(restricted, x, y, z), std::tuple(true, 0, 1, 1));

    typeQuantum("2", "2", "0");  // invalid: the level window is told
    EXPECT_EQ(setups, std::vector<int>{0});
}

TEST_F(OrbitalTest, SetOrbitalGuardStateAndSpectrumPick) {
    s.run.nPoints = 40;
    f.settingOrbital = true;
    setOrbital(s, 2, 3, 2, -1, false);
    EXPECT_EQ(f.quantumText[0].text, "1");

    f.settingOrbital = false;
    setOrbital(s, 2, 3, 2, -1, true);
    EXPECT_EQ(std::tuple(f.settingOrbital, f.quantumText[2].text, f.quantumSpinners[0].value), std::tuple(false, "-1", 3));
    EXPECT_EQ(std::tuple(o.currentZ, s.run.nPoints, f.plotModeOptions[1].checked), std::tuple(2, 0, true));
    EXPECT_EQ(s.orbital.extent, 6);  // (9 + 9 - 5) / 2 = 6.5 ties to even

    // A level clicked in the spectrum window: hydrogen's n, l and m kept.
    pickHydrogenLevel(s, 4);
    EXPECT_EQ(std::tuple(o.currentZ, o.currentN, o.currentL, o.currentM), std::tuple(1, 4, 2, -1));
    EXPECT_EQ(f.quantumText[0].text, "4");
    // While a run writes the current orbital's files a pick is dropped.
    enableControls(s, false);
    pickHydrogenLevel(s, 7);
    EXPECT_EQ(o.currentN, 4);
}

}  // namespace
}  // namespace vantrel
