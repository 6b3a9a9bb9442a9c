#include "app/mainwindow.h"

#include <string>
#include <vector>

#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

class MainWindowTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        windowHooks() = WindowHooks{};
        windowHooks().focusRequest = [this](Control& c) { focused.push_back(&c); };
        installReactions();
    }
    void TearDown() override {
        windowHooks() = WindowHooks{};
        FreshState::TearDown();
    }
    std::vector<Control*> focused;
};

// Enter, the spinners, the check-box pairs, the regions and a cancelled
// "&Other" are driven through the real window in the window tests; these
// are the reactions those do not reach.
TEST_F(MainWindowTest, KeysAndSpinnersSetByCode) {
    formActivated();
    EXPECT_EQ(f.activeControl, &f.quantumText[0]);
    EXPECT_TRUE(quantumKeyEnter(2));
    EXPECT_EQ(focused.back(), &f.calculateButton);
    int presses = 0;
    f.calculateButton.onClick = [&] { ++presses; };
    escapePressed();  // only a running calculation listens
    f.escapeStopsRun = true;
    escapePressed();
    EXPECT_EQ(presses, 1);

    f.maxPointsSpinner.setValue(3);  // set by code: nothing follows
    f.quantumSpinners[0].setValue(4);
    EXPECT_TRUE(f.maxPointsText.text == "10000" && f.quantumText[0].text == "1");
    f.activeControl = &f.extentSpinner;
    f.extentSpinner.setValue(9);
    EXPECT_TRUE(f.extentText.text == "9" && o.extent == 9 && f.plotModeOptions[1].checked);
}

TEST_F(MainWindowTest, OtherSpeciesAndQuickCalculation) {
    dialogs.inputs = {"0", "150"};
    f.speciesMenuItems[4].click();
    EXPECT_EQ(o.currentZ, 1);
    f.speciesMenuItems[4].click();
    EXPECT_TRUE(dialogs.saw("The largest number you can enter for the nuclear charge is 120."));
    EXPECT_TRUE(o.currentZ == 120 && f.calculationFrame.caption == "Calculation Options for Z=120");
    f.speciesMenuItems[1].click();
    EXPECT_TRUE(o.speciesName == "the He+ Ion (Z=2)" && f.plotModeOptions[1].checked);

    // Quick mode is asked for first and shows in the file names.
    for (int i : {0, 1, 2}) f.quantumText[i].setText(i ? "1" : "2");
    dialogs.answers = {Answer::No, Answer::Yes};
    f.quickMenuItem.click();
    EXPECT_FALSE(f.quickMenuItem.checked || f.quickLabel.visible);
    EXPECT_TRUE(o.baseName == "2_1_1_(z_2)" && dialogs.shown.back().title == "Quick Calculation");
    f.quickMenuItem.click();
    EXPECT_TRUE(f.quickMenuItem.checked && f.quickLabel.visible);
    EXPECT_EQ(o.baseName, "2_1_1_(z_2)_quick");
    f.quickLabel.click();
    EXPECT_TRUE(!f.quickMenuItem.checked && o.baseName == "2_1_1_(z_2)");
}

TEST_F(MainWindowTest, OtherWindowsAndMenus) {
    std::string calls;
    auto& w = windowHooks();
    w.showLevels = [&] { calls += "showlevels "; };
    w.closeLevels = [&] { calls += "closelevels "; };
    w.showSpectrum = [&] { calls += "showspectrum "; };
    w.closeSpectrum = [&] { calls += "closespectrum "; };
    w.enableLevels = [&](bool b) { calls += b ? "levelson " : "levelsoff "; };

    f.compareEnergiesMenuItem.click();
    EXPECT_TRUE(mainWindow().levelsOpen);
    f.spectrumMenuItem.click();  // closes the level window
    EXPECT_TRUE(!mainWindow().levelsOpen && mainWindow().spectrumOpen);
    f.compareEnergiesMenuItem.click();
    EXPECT_FALSE(mainWindow().spectrumOpen);
    EXPECT_EQ(calls, "showlevels closelevels showspectrum closespectrum showlevels ");

    calls.clear();
    hooks().enableControls(false);
    EXPECT_FALSE(f.calculateButton.enabled || f.calculationFrame.enabled || f.typeMenu.enabled || f.quickLabel.enabled);
    EXPECT_EQ(calls, "levelsoff ");
    enableControls(true);
    EXPECT_TRUE(f.optionsMenu.enabled && f.fileMenu.enabled && f.displayButton.enabled);

    f.autoscaleMenuItem.click();
    EXPECT_TRUE(f.autoscaleMenuItem.checked);
    f.helpMenuItems[4].click();  // points to the Jmol program, not an applet
    EXPECT_TRUE(test::contains(dialogs.shown.back().text, "in the Jmol program"));
}

// A document the desktop cannot open is reported with its path.
TEST_F(MainWindowTest, OpeningThatFailsIsReported) {
    bool maximised = false;
    hooks().openUrl = [&](const std::string&, bool m) { return maximised = m, false; };
    EXPECT_FALSE(openDocument("/x/page.htm", ShowMode::Maximised));
    EXPECT_TRUE(maximised);
    EXPECT_EQ(dialogs.shown.back().text, "No program could be found to open /x/page.htm.");
    hooks().openUrl = [](const std::string&, bool) { return true; };
    EXPECT_TRUE(openDocument("/x/page.htm", ShowMode::Normal));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A level clicked in the spectrum window: hydrogen's n, l and m kept.
TEST_F(MainWindowTest, SpectrumLevelPickSetsNOfHydrogen) {
    setOrbital(2, 5, 2, -1, false);  // He+ 5d
    pickHydrogenLevel(4);
    EXPECT_EQ((std::vector{o.currentZ, o.currentN, o.currentL, o.currentM}), (std::vector{1, 4, 2, -1}));
    EXPECT_EQ(f.quantumText[0].text, "4");
    // While a run writes the current orbital's files a pick is dropped.
    enableControls(false);
    pickHydrogenLevel(7);
    EXPECT_EQ(o.currentN, 4);
}

}  // namespace
}  // namespace vantrel
