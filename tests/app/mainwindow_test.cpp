#include "app/mainwindow.h"

#include <string>
#include <vector>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

class MainWindowTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        windowhooks() = WindowHooks{};
        windowhooks().focusrequest = [this](Control& c) { focused.push_back(&c); };
        installreactions();
    }
    void TearDown() override {
        windowhooks() = WindowHooks{};
        FreshState::TearDown();
    }
    std::vector<Control*> focused;
};

// Enter, the spinners, the check-box pairs, the regions and a cancelled
// "&Other" are driven through the real window in the window tests; these
// are the reactions those do not reach.
TEST_F(MainWindowTest, KeysAndSpinnersSetByCode) {
    formactivated();
    EXPECT_EQ(f.activecontrol, &f.txtNLM[0]);
    EXPECT_TRUE(nlmkeyenter(2));
    EXPECT_EQ(focused.back(), &f.Command1);
    int presses = 0;
    f.Command1.onclick = [&] { ++presses; };
    escapepressed();  // only a running calculation listens
    f.command1cancel = true;
    escapepressed();
    EXPECT_EQ(presses, 1);

    f.HScroll2.setvalue(3);  // set by code: nothing follows
    f.HScroll3[0].setvalue(4);
    EXPECT_TRUE(f.txtmax.text == "10000" && f.txtNLM[0].text == "1");
    f.activecontrol = &f.HScroll1;
    f.HScroll1.setvalue(9);
    EXPECT_TRUE(f.txtscal.text == "9" && o.extent == 9 && f.optTheory[1].checked);
}

TEST_F(MainWindowTest, OtherSpeciesAndQuickCalculation) {
    dialogs.inputs = {"0", "150"};
    f.mnuH[4].click();
    EXPECT_EQ(o.currentz, 1);
    f.mnuH[4].click();
    EXPECT_TRUE(dialogs.saw("The largest number you can enter for the nuclear charge is 120."));
    EXPECT_TRUE(o.currentz == 120 && f.Frame1.caption == "Calculation Options for Z=120");
    f.mnuH[1].click();
    EXPECT_TRUE(o.speciesname == "the He+ Ion (Z=2)" && f.optTheory[1].checked);

    // Quick mode is asked for first and shows in the file names.
    for (int i : {0, 1, 2}) f.txtNLM[i].settext(i ? "1" : "2");
    dialogs.answers = {Answer::No, Answer::Yes};
    f.mnuQuick.click();
    EXPECT_FALSE(f.mnuQuick.checked || f.Label10.visible);
    EXPECT_TRUE(o.basename == "2_1_1_(z_2)" && dialogs.shown.back().title == "Quick Calculation");
    f.mnuQuick.click();
    EXPECT_TRUE(f.mnuQuick.checked && f.Label10.visible);
    EXPECT_EQ(o.basename, "2_1_1_(z_2)_quick");
    f.Label10.click();
    EXPECT_TRUE(!f.mnuQuick.checked && o.basename == "2_1_1_(z_2)");
}

TEST_F(MainWindowTest, OtherWindowsAndMenus) {
    std::string calls;
    auto& w = windowhooks();
    w.showlevels = [&] { calls += "showlevels "; };
    w.closelevels = [&] { calls += "closelevels "; };
    w.showspectrum = [&] { calls += "showspectrum "; };
    w.closespectrum = [&] { calls += "closespectrum "; };
    w.enablelevels = [&](bool b) { calls += b ? "levelson " : "levelsoff "; };

    f.mnuCompare.click();
    EXPECT_TRUE(globals().levelsopen);
    f.mnuHSpectrum.click();  // closes the level window
    EXPECT_TRUE(!globals().levelsopen && globals().spectrumopen);
    f.mnuCompare.click();
    EXPECT_FALSE(globals().spectrumopen);
    EXPECT_EQ(calls, "showlevels closelevels showspectrum closespectrum showlevels ");

    calls.clear();
    hooks().enablecontrols(false);
    EXPECT_FALSE(f.Command1.enabled || f.Frame1.enabled || f.mnuType.enabled || f.Label10.enabled);
    EXPECT_EQ(calls, "levelsoff ");
    enablecontrols(true);
    EXPECT_TRUE(f.mnuopt.enabled && f.mnuFile.enabled && f.Command3.enabled);

    f.mnuAuto.click();
    EXPECT_TRUE(f.mnuAuto.checked);
    f.mnuAbout[4].click();  // says where the applet belongs
    EXPECT_TRUE(test::contains(dialogs.shown.back().text, "place JmolApplet.jar in " + programdir() + "."));
}

}  // namespace
}  // namespace vantrel
