// A level clicked in the spectrum window becomes the main window's orbital.
#include <array>

#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "engine/globals.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

class SpectrumPickTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        initEngine();
        installReactions();
    }
};

TEST_F(SpectrumPickTest, ClickedLevelSetsNOfHydrogenWithLAndMKept) {
    setOrbital(2, 5, 2, -1, false);  // He+ 5d
    pickHydrogenLevel(4);
    EXPECT_EQ((std::array{o.currentZ, o.currentN, o.currentL, o.currentM}), (std::array{1, 4, 2, -1}));
    EXPECT_EQ(f.quantumText[0].text + " " + f.quantumText[1].text, "4 2");

    // While a run writes the current orbital's files a pick is dropped.
    enableControls(false);
    pickHydrogenLevel(7);
    EXPECT_EQ(o.currentN, 4);
    enableControls(true);
    pickHydrogenLevel(7);
    EXPECT_EQ(o.currentN, 7);
}

}  // namespace
}  // namespace vantrel
