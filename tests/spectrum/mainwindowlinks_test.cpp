// The spectrum window's two ways into the rest of the program: a clicked
// level becomes the main window's orbital, "Energy Levels" swaps windows.
#include "spectrum/mainwindowlinks.h"

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "output/platform.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

class SpectrumLinksTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        windowHooks() = WindowHooks{};
        windowHooks().showLevels = [this] { calls += "showlevels "; };
        windowHooks().closeSpectrum = [this] { calls += "closespectrum "; };
        hooks().levelSetup = [this](int z, int n, int l, int m) { setups.emplace_back(z, n, l, m); };
        installReactions();
    }
    void TearDown() override {
        windowHooks() = WindowHooks{};
        FreshState::TearDown();
    }
    SpectrumLinks links = mainWindowLinks();
    std::string calls;
    std::vector<std::tuple<int, int, int, int>> setups;
};

TEST_F(SpectrumLinksTest, ClickedLevelSetsNOfHydrogenWithLAndMKept) {
    setOrbital(2, 5, 2, -1, false);  // He+ 5d
    links.pickLevel(4);
    EXPECT_EQ((std::array{o.currentZ, o.currentN, o.currentL, o.currentM}), (std::array{1, 4, 2, -1}));
    EXPECT_EQ(f.quantumText[0].text + " " + f.quantumText[1].text, "4 2");

    // While a run writes the current orbital's files a pick is dropped.
    enableControls(false);
    links.pickLevel(7);
    EXPECT_EQ(o.currentN, 4);
    enableControls(true);
    links.pickLevel(7);
    EXPECT_EQ(o.currentN, 7);
}

TEST_F(SpectrumLinksTest, EnergyLevelsClosesThisWindowAndOpensOrUpdatesTheLevelWindow) {
    f.spectrumMenuItem.click();
    ASSERT_TRUE(mainWindow().spectrumOpen);
    links.openEnergyLevels();
    EXPECT_FALSE(mainWindow().spectrumOpen);
    EXPECT_TRUE(mainWindow().levelsOpen);
    EXPECT_EQ(calls, "closespectrum showlevels ");

    // With the level window already open, it follows the state and comes to the front.
    calls.clear();
    mainWindow().spectrumOpen = true;
    setOrbital(1, 3, 1, 0, false);
    setups.clear();
    links.openEnergyLevels();
    EXPECT_EQ(calls, "closespectrum showlevels ");
    EXPECT_EQ(setups, (std::vector<std::tuple<int, int, int, int>>{{1, 3, 1, 0}}));
}

}  // namespace
}  // namespace vantrel
