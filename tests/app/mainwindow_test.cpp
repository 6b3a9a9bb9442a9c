#include <tuple>
#include <vector>

#include "app/about.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "output/viewerfiles.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class MainWindowTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        s.windowHooks.focusRequest = [this](Control& c) { focused.push_back(&c); };
        installReactions(s);
    }
    std::vector<Control*> focused;
};

// Enter, the spinners, the check-box pairs, the regions and a cancelled
// "&Other" are driven through the real window in the window tests; these
// are the reactions those do not reach.
TEST_F(MainWindowTest, KeysAndSpinnersSetByCode) {
    formActivated(s);
    EXPECT_EQ(f.activeControl, &f.quantumText[0]);
    EXPECT_TRUE(quantumKeyEnter(s, 2));
    EXPECT_EQ(focused.back(), &f.calculateButton);
    int presses = 0;
    f.calculateButton.onClick = [&] { ++presses; };
    escapePressed(s);  // only a running calculation listens
    f.escapeStopsRun = true;
    escapePressed(s);
    EXPECT_EQ(presses, 1);

    f.maxPointsSpinner.setValue(3);  // set by code: nothing follows
    f.quantumSpinners[0].setValue(4);
    EXPECT_EQ(std::tuple(f.maxPointsText.text, f.quantumText[0].text), std::tuple("10000", "1"));
    f.activeControl = &f.extentSpinner;
    f.extentSpinner.setValue(9);
    EXPECT_EQ(std::tuple(f.extentText.text, o.extent, f.plotModeOptions[1].checked), std::tuple("9", 9, true));
}

TEST_F(MainWindowTest, OtherSpeciesAndQuickCalculation) {
    dialogs.inputs = {"0", "150"};
    f.speciesMenuItems[4].click();
    EXPECT_EQ(o.currentZ, 1);
    f.speciesMenuItems[4].click();
    EXPECT_TRUE(dialogs.saw("The largest number you can enter for the nuclear charge is 120."));
    EXPECT_EQ(std::tuple(o.currentZ, f.calculationFrame.caption), std::tuple(120, "Calculation Options for Z=120"));
    f.speciesMenuItems[1].click();
    EXPECT_EQ(std::tuple(o.speciesName, f.plotModeOptions[1].checked), std::tuple("the He+ Ion (Z=2)", true));

    // Quick mode is asked for first and shows in the file names.
    for (int i : {0, 1, 2}) f.quantumText[i].setText(i ? "1" : "2");
    dialogs.answers = {Answer::No, Answer::Yes};
    const auto quick = [&] { return std::tuple(f.quickMenuItem.checked, f.quickLabel.visible, o.baseName); };
    f.quickMenuItem.click();
    EXPECT_EQ(quick(), std::tuple(false, false, "2_1_1_(z_2)"));
    EXPECT_EQ(dialogs.shown.back().title, "Quick Calculation");
    f.quickMenuItem.click();
    EXPECT_EQ(quick(), std::tuple(true, true, "2_1_1_(z_2)_quick"));
    f.quickLabel.click();
    EXPECT_EQ(quick(), std::tuple(false, false, "2_1_1_(z_2)"));
}

// The level and spectrum windows exclude each other and follow runs
// through the window tests; here the hooks' order and the help item.
TEST_F(MainWindowTest, OtherWindowsAndMenus) {
    std::string calls;
    auto& w = s.windowHooks;
    w.showLevels = [&] { calls += "showlevels "; };
    w.closeLevels = [&] { calls += "closelevels "; };
    w.showSpectrum = [&] { calls += "showspectrum "; };
    w.closeSpectrum = [&] { calls += "closespectrum "; };
    for (Control* item : {&f.compareEnergiesMenuItem, &f.spectrumMenuItem, &f.compareEnergiesMenuItem}) item->click();
    EXPECT_EQ(calls, "showlevels closelevels showspectrum closespectrum showlevels ");
    EXPECT_EQ(std::tuple(s.window.levelsOpen, s.window.spectrumOpen), std::tuple(true, false));

    f.helpMenuItems[4].click();  // points to the Jmol program, not an applet
    EXPECT_TRUE(contains(dialogs.shown.back().text, "in the Jmol program")) << dialogs.shown.back().text;
}

// A document the desktop cannot open is reported with its path.
TEST_F(MainWindowTest, OpeningThatFailsIsReported) {
    bool maximised = false;
    s.hooks.openUrl = [&](const std::string&, bool m) { return maximised = m, false; };
    EXPECT_FALSE(openDocument(s, "/x/page.htm", ShowMode::Maximised));
    EXPECT_TRUE(maximised);
    EXPECT_EQ(dialogs.shown.back().text, "No program could be found to open /x/page.htm.");
    s.hooks.openUrl = [](const std::string&, bool) { return true; };
    EXPECT_TRUE(openDocument(s, "/x/page.htm", ShowMode::Normal));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A level clicked in the spectrum window: hydrogen's n, l and m kept.
TEST_F(MainWindowTest, SpectrumLevelPickSetsNOfHydrogen) {
    setOrbital(s, 2, 5, 2, -1, false);  // He+ 5d
    pickHydrogenLevel(s, 4);
    EXPECT_EQ(std::tuple(o.currentZ, o.currentN, o.currentL, o.currentM), std::tuple(1, 4, 2, -1));
    EXPECT_EQ(f.quantumText[0].text, "4");
    // While a run writes the current orbital's files a pick is dropped.
    enableControls(s, false);
    pickHydrogenLevel(s, 7);
    EXPECT_EQ(o.currentN, 4);
}

// The About boxes: version, licence, libraries, and no advice to fetch an applet.
TEST(About, NamesVersionLicenceAndTheLibrariesFound) {
    TempDir three{"three"};
    const std::string program = three.file("bin");  // no viewer files beside it
    fs::create_directories(three.file("build"));
    writeFile(three.file("build/three.min.js"), "REVISION=x; REVISION=\"12'");  // no revision in it
    EXPECT_EQ(threeRevision(program, three.path()), "");
    writeFile(three.file("build/three.min.js"), "REVISION=\"150\"");
    EXPECT_EQ(threeRevision(program, three.path()), "r150");
    EXPECT_TRUE(containsAll(aboutText("Qt 6.9.1", "r150"), {"Vantrel " VANTREL_VERSION "\r\n", "Copyright (c) 2026 The Vantrel developers.",
                                                    "MIT licence", "  Qt 6.9.1 (the windows)\r\n",
                                                    "  three.js r150 (the pages' 3-D view)"}));
    EXPECT_TRUE(contains(aboutText("", ""), "three.js (not found: apt-get install libjs-three)"));

    const std::string jmol = aboutJmolText("/home/u/vantrel");
    EXPECT_TRUE(contains(jmol, "open the orbital's .xyz file from /home/u/vantrel/files in the Jmol program")) << jmol;
    EXPECT_FALSE(contains(jmol, "download")) << jmol;
}

}  // namespace
}  // namespace vantrel
