// The Help menu and the start-up check: where they look for the help files,
// and that the installer runs when the files are not there.
#include "support/testsupport.h"

namespace vantrel::test {
namespace {

class HelpMenu : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installReactions(s);
        s.hooks.openUrl = [this](const std::string& path, bool maximised) {
            opened = path, openedMaximised = maximised;
            return true;
        };
        fs::create_directories(dir.file("bin"));
        s.programDir = dir.file("bin");  // a program folder without help files
    }
    TempDir dir;
    ScopedEnv xdg{"XDG_DATA_HOME", dir.file("data")};
    ScopedEnv home{"VANTREL_HOME", dir.file("main_vantrel")};
    std::string opened;
    bool openedMaximised = false;
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
}

// About names the three.js of the data folder the pages copy from, not of
// the program's folder (they differ in an installation).
TEST_F(HelpMenu, AboutNamesTheThreeJsThePagesCopy) {
    fs::create_directories(userDataDir());
    writeFile(userDataDir() + "/frames.ht", "");
    writeFile(userDataDir() + "/three.min.js", "REVISION=\"160\"");
    s.threeDir = dir.file("no-system-three");
    f.helpMenuItems[3].click();
    EXPECT_TRUE(dialogs.saw("three.js r160"));
}

TEST_F(HelpMenu, ReinstallingFromAProgramWithoutHelpFilesSaysSoAndKeepsRunning) {
    bool quit = false;
    s.windowHooks.quitApplication = [&quit] { quit = true; };
    f.helpMenuItems[2].click();
    EXPECT_TRUE(dialogs.saw("This version of the EXE file does not contain the installation files."));
    EXPECT_FALSE(quit);
}

TEST_F(HelpMenu, StartUpRunsTheInstallerOnlyWhenTheHelpMenuWouldFindNothing) {
    EXPECT_TRUE(loadWindow(s));
    EXPECT_TRUE(dialogs.saw("does not contain the installation files"));

    dialogs.shown.clear();
    s.programDir = programCopy();  // its help files lie beside it
    EXPECT_TRUE(loadWindow(s));
    EXPECT_FALSE(dialogs.saw("installation files"));
}

}  // namespace
}  // namespace vantrel::test
