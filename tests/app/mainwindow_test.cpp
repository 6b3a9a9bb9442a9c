#include <tuple>

#include "app/about.h"
#include "app/orbitalcontrols.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class MainWindowTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installReactions(s);
    }
};

// Enter, the spinners, the check-box pairs, the regions and a cancelled
// "&Other" are driven through the real window in the window tests; these
// are the reactions those do not reach.
TEST_F(MainWindowTest, KeysAndSpinnersSetByCode) {
    formActivated(s);
    EXPECT_EQ(f.activeControl, &f.quantumText[0]);
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
    EXPECT_TRUE(f.speciesMenuItems[4].checked);
    f.speciesMenuItems[3].click();
    EXPECT_EQ(std::tuple(f.calculationFrame.caption, f.plotModeOptions[1].checked),
              std::tuple("Calculation Options for the Be+3 Ion (Z=4)", true));
    EXPECT_EQ(std::tuple(f.speciesMenuItems[3].checked, f.speciesMenuItems[4].checked), std::tuple(true, false));

    // Quick mode is asked for first and shows in the file names.
    for (int i : {0, 1, 2}) f.quantumText[i].setText(i ? "1" : "2");
    dialogs.answers = {Answer::No, Answer::Yes};
    const auto quick = [&] { return std::tuple(f.quickMenuItem.checked, f.quickLabel.visible, o.baseName); };
    f.quickMenuItem.click();
    EXPECT_EQ(quick(), std::tuple(false, false, "2_1_1_(z_4)"));
    EXPECT_EQ(dialogs.shown.back().title, "Quick Calculation");
    f.quickMenuItem.click();
    EXPECT_EQ(quick(), std::tuple(true, true, "2_1_1_(z_4)_quick"));
    f.quickLabel.click();
    EXPECT_EQ(quick(), std::tuple(false, false, "2_1_1_(z_4)"));
}

// The Help menu and the start-up check: where they look for the help files,
// and that the installer runs when the files are not there.
class HelpMenu : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        s.hooks.openUrl = [this](const std::string& path, bool maximised) {
            opened = path, openedMaximised = maximised;
            return opens;
        };
        fs::create_directories(dir.file("bin"));
        s.programDir = dir.file("bin");  // a program folder without help files
    }
    TempDir dir;
    ScopedEnv xdg{"XDG_DATA_HOME", dir.file("data")};
    ScopedEnv home{"VANTREL_HOME", dir.file("main_vantrel")};
    std::string opened;
    bool openedMaximised = false, opens = true;
};

TEST_F(HelpMenu, OpensTheDocumentsFromTheUserDataDirectoryOrSaysWhereItLooked) {
    f.helpMenuItems[0].click();
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(containsAll(dialogs.shown[0].text, {"The help file index.htm is missing", dir.file("bin"), userDataDir()}));

    fs::create_directories(userDataDir());
    writeFile(userDataDir() + "/schroed.pdf", "%PDF");
    f.helpMenuItems[1].click();
    EXPECT_EQ(opened, userDataDir() + "/schroed.pdf");
    EXPECT_TRUE(openedMaximised);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    // A document the desktop cannot open is reported with its path.
    opens = false;
    f.helpMenuItems[1].click();
    EXPECT_EQ(dialogs.shown.back().text, "No program could be found to open " + opened + ".");
}

// About names the three.js of the data folder the pages copy from, not of
// the program's folder (they differ in an installation); About Jmol points
// to the Jmol program, not to an applet.
TEST_F(HelpMenu, AboutNamesVersionLicenceAndTheThreeJsThePagesCopy) {
    fs::create_directories(userDataDir());
    writeFile(userDataDir() + "/frames.ht", "");
    writeFile(userDataDir() + "/three.min.js", "REVISION=x; REVISION=\"12'");  // no revision in it
    s.threeDir = dir.file("no-system-three");
    f.helpMenuItems[3].click();
    EXPECT_TRUE(contains(dialogs.shown.back().text, "three.js (not found: apt-get install libjs-three)"));
    writeFile(userDataDir() + "/three.min.js", "REVISION=\"160\"");
    f.helpMenuItems[3].click();
    EXPECT_TRUE(containsAll(dialogs.shown.back().text, {"Vantrel " VANTREL_VERSION "\r\n", "Copyright (c) 2026 The Vantrel developers.",
                                                       "MIT licence", "  three.js r160 (the pages' 3-D view)"}));
    EXPECT_TRUE(contains(aboutText("Qt 6.9.1", "r160"), "  Qt 6.9.1 (the windows)\r\n"));

    s.mainDir = "/home/u/vantrel";
    f.helpMenuItems[4].click();
    const std::string jmol = dialogs.shown.back().text;
    EXPECT_TRUE(contains(jmol, "open the orbital's .xyz file from /home/u/vantrel/files in the Jmol program")) << jmol;
    EXPECT_FALSE(contains(jmol, "download")) << jmol;
}

// Reinstalling from a program without help files says so and keeps running;
// start-up runs the installer only when the Help menu would find nothing.
TEST_F(HelpMenu, TheInstallerRunsFromTheMenuAndAtStartUpWhenTheFilesAreMissing) {
    bool quit = false;
    s.windowHooks.quitApplication = [&quit] { quit = true; };
    f.helpMenuItems[2].click();
    EXPECT_TRUE(dialogs.saw("This version of the EXE file does not contain the installation files."));
    EXPECT_FALSE(quit);

    dialogs.shown.clear();
    EXPECT_TRUE(loadWindow(s));
    EXPECT_TRUE(dialogs.saw("does not contain the installation files"));
    dialogs.shown.clear();
    s.programDir = programCopy();  // its help files lie beside it
    EXPECT_TRUE(loadWindow(s));
    EXPECT_FALSE(dialogs.saw("installation files"));
}

}  // namespace
}  // namespace vantrel
