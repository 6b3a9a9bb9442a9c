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

TEST_F(MainWindowTest, EnterWalksThroughTheQuantumNumbers) {
    auto& f = form();
    EXPECT_TRUE(nlmkeyenter(0));
    EXPECT_EQ(f.activecontrol, &f.txtNLM[1]);
    EXPECT_TRUE(nlmkeyenter(1));
    EXPECT_EQ(f.activecontrol, &f.txtNLM[2]);
    EXPECT_TRUE(nlmkeyenter(2));
    EXPECT_EQ(f.activecontrol, &f.Command1);
    EXPECT_EQ(focused, (std::vector<Control*>{&f.txtNLM[1], &f.txtNLM[2], &f.Command1}));
    formactivated();
    EXPECT_EQ(f.activecontrol, &f.txtNLM[0]);

    int presses = 0;
    f.Command1.onclick = [&] { ++presses; };
    escapepressed();
    f.command1cancel = true;
    escapepressed();
    EXPECT_EQ(presses, 1);
}

TEST_F(MainWindowTest, SpinnersReactOnlyToTheUser) {
    auto& f = form();
    f.HScroll2.setvalue(3);  // set by code: nothing follows
    EXPECT_EQ(f.txtmax.text, "10000");
    f.HScroll3[0].setvalue(4);
    EXPECT_EQ(f.txtNLM[0].text, "1");

    f.activecontrol = &f.HScroll2;
    f.HScroll2.value = 0;
    f.HScroll2.setvalue(1);
    EXPECT_EQ(f.txtmax.text, "20000");
    f.HScroll2.setvalue(-5);  // 312.5 is written, then raised to the minimum
    EXPECT_EQ(f.txtmax.text, "625");
    EXPECT_EQ(globals().orbital.maxpoints, 625);

    f.activecontrol = &f.HScroll3[0];
    f.HScroll3[0].setvalue(3);
    EXPECT_EQ(f.txtNLM[0].text, "3");
    EXPECT_EQ(globals().orbital.currentn, 3);

    f.activecontrol = &f.HScroll1;
    f.HScroll1.setvalue(9);
    EXPECT_EQ(f.txtscal.text, "9");
    EXPECT_EQ(globals().orbital.extent, 9);
    EXPECT_TRUE(f.optTheory[1].checked);
}

TEST_F(MainWindowTest, ExclusiveDisplayOptions) {
    auto& f = form();
    f.chkEnergy[1].click();
    f.chkEnergy[0].click();
    EXPECT_TRUE(f.chkEnergy[0].checked);
    EXPECT_FALSE(f.chkEnergy[1].checked);
    f.chkEnergy[0].click();
    EXPECT_FALSE(f.chkEnergy[0].checked || f.chkEnergy[1].checked);

    f.chkFull.click();
    f.chk4Panel.click();
    EXPECT_TRUE(f.chk4Panel.checked);
    EXPECT_FALSE(f.chkFull.checked);
    f.chkFull.click();
    EXPECT_TRUE(f.chkFull.checked);
    EXPECT_FALSE(f.chk4Panel.checked);

    f.chkJmol.click();
    EXPECT_FALSE(f.Frame5.visible);
    f.chkJmol.click();
    EXPECT_TRUE(f.Frame5.visible);
}

TEST_F(MainWindowTest, RegionButtons) {
    auto& f = form();
    f.optAll[4].click();
    EXPECT_EQ(f.lblplane.caption, "restricted to the XZ plane");
    EXPECT_TRUE(f.lblplane.visible);
    EXPECT_EQ(f.optAll[4].color, 0xFF0000u);
    EXPECT_EQ(f.optAll[0].color, 0u);
    EXPECT_EQ(globals().orbital.planename, "xz");
    EXPECT_EQ(f.activecontrol, &f.txtscal);
    f.optAll[0].click();
    EXPECT_FALSE(f.lblplane.visible);
    EXPECT_EQ(globals().orbital.planename, "");
}

TEST_F(MainWindowTest, OtherSpeciesAskedForCharge) {
    auto& f = form();
    auto& o = globals().orbital;
    dialogs.inputs.push_back(std::nullopt);
    f.mnuH[4].click();
    EXPECT_TRUE(f.mnuH[4].checked);
    EXPECT_FALSE(f.mnuH[0].checked);
    EXPECT_EQ(o.currentz, 1);
    EXPECT_EQ(dialogs.shown.back().text, "Enter a new value for the nuclear charge, Z:");

    dialogs.inputs.push_back("0");
    f.mnuH[4].click();
    EXPECT_EQ(o.currentz, 1);

    dialogs.inputs.push_back("150");
    f.mnuH[4].click();
    EXPECT_TRUE(dialogs.saw("The largest number you can enter for the nuclear charge is 120."));
    EXPECT_EQ(o.currentz, 120);
    EXPECT_EQ(o.speciesname, "Z=120");
    EXPECT_EQ(f.Frame1.caption, "Calculation Options for Z=120");

    f.mnuH[1].click();
    EXPECT_EQ(o.speciesname, "the He+ Ion (Z=2)");
    EXPECT_TRUE(f.optTheory[1].checked);
}

TEST_F(MainWindowTest, QuickCalculationAsksFirst) {
    auto& f = form();
    auto& o = globals().orbital;
    f.txtNLM[0].settext("2");
    f.txtNLM[1].settext("1");
    f.txtNLM[2].settext("1");

    dialogs.answers.push_back(Answer::No);
    f.mnuQuick.click();
    EXPECT_FALSE(f.mnuQuick.checked);
    EXPECT_FALSE(f.Label10.visible);
    EXPECT_EQ(o.basename, "2_1_1_");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Quick Calculation");
    EXPECT_EQ(dialogs.shown[0].text,
              "Do you want to do a quick calculation\r\nthat will be correct in terms of nodes\r\n"
              "but not necessarily correct\r\nin terms of probability?");

    dialogs.answers.push_back(Answer::Yes);
    f.mnuQuick.click();
    EXPECT_TRUE(f.mnuQuick.checked);
    EXPECT_TRUE(f.Label10.visible);
    EXPECT_EQ(o.basename, "2_1_1_quick");

    f.Label10.click();
    EXPECT_FALSE(f.mnuQuick.checked);
    EXPECT_EQ(o.basename, "2_1_1_");
}

TEST_F(MainWindowTest, OtherWindowsAndMenus) {
    auto& f = form();
    std::vector<std::string> calls;
    windowhooks().showlevels = [&] { calls.push_back("showlevels"); };
    windowhooks().closelevels = [&] { calls.push_back("closelevels"); };
    windowhooks().showspectrum = [&] { calls.push_back("showspectrum"); };
    windowhooks().closespectrum = [&] { calls.push_back("closespectrum"); };
    windowhooks().enablelevels = [&](bool b) { calls.push_back(b ? "levelson" : "levelsoff"); };

    f.mnuCompare.click();
    EXPECT_TRUE(globals().levelsopen);
    f.mnuHSpectrum.click();  // closes the level window
    EXPECT_FALSE(globals().levelsopen);
    EXPECT_TRUE(globals().spectrumopen);
    f.mnuCompare.click();
    EXPECT_FALSE(globals().spectrumopen);
    EXPECT_EQ(calls, (std::vector<std::string>{"showlevels", "closelevels", "showspectrum", "closespectrum",
                                                "showlevels"}));

    calls.clear();
    hooks().enablecontrols(false);
    EXPECT_FALSE(f.Command1.enabled || f.Frame1.enabled || f.mnuType.enabled || f.Label10.enabled);
    EXPECT_EQ(calls, std::vector<std::string>{"levelsoff"});
    enablecontrols(true);
    EXPECT_TRUE(f.mnuopt.enabled && f.mnuFile.enabled && f.Command3.enabled);

    f.mnuAuto.click();
    EXPECT_TRUE(f.mnuAuto.checked);
    f.mnuAuto.click();
    EXPECT_FALSE(f.mnuAuto.checked);

    f.mnuAbout[3].click();
    EXPECT_EQ(dialogs.shown.back().title, "About Vantrel.Exe");
    EXPECT_NE(dialogs.shown.back().text.find("the Vantrel developers"), std::string::npos);
    EXPECT_NE(dialogs.shown.back().text.find("Any comments or suggestions for program improvement are welcome.\r\n"),
              std::string::npos);
    f.mnuAbout[4].click();
    EXPECT_EQ(dialogs.shown.back().title, "About Jmol");
    EXPECT_NE(dialogs.shown.back().text.find("place JmolApplet.jar in " + programdir() + "."), std::string::npos);

    afterShow("");
    EXPECT_EQ(f.Form1.caption, "Vantrel version 1.3.1");
    EXPECT_TRUE(f.optTheory[1].checked);
}

}  // namespace
}  // namespace vantrel
