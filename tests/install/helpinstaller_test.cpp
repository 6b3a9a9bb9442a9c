// The installer as the user meets it: its messages, the confirmation, where
// the files go and where the Help menu finds them.
#include "install/helpinstaller.h"

#include "archivetest.h"

namespace vantrel::test {
namespace {

class HelpInstaller : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        writeFile(source + "/index.htm", "<html>help</html>");
        writeFile(source + "/schroed.pdf", "%PDF-1.4 note");
    }
    // Builds the program from the list and installs from it.
    InstallerResult install(const std::string& list) {
        EXPECT_TRUE(build(list).ok);
        return installHelpFiles(dialogs, copy, destination);
    }
    std::string shown(std::size_t k) { return dialogs.shown.at(k).text; }
    bool destinationEmpty() { return !fs::exists(destination) || fs::is_empty(destination); }

    ScriptedDialogs dialogs;
    const std::string listed = "The following files will be installed:\n\n";
};

TEST_F(HelpInstaller, ListsTheFilesAndWritesThemAfterOK) {
    EXPECT_EQ(install("index.htm\nPATH=doc\nschroed.pdf\n"), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(shown(0), listed + "index.htm doc/schroed.pdf \n\ninto " + destination);
    EXPECT_EQ(dialogs.shown[0].buttons, Buttons::OKCancel);
    EXPECT_EQ(readFile(destination + "/index.htm"), "<html>help</html>");
    EXPECT_EQ(readFile(destination + "/doc/schroed.pdf"), "%PDF-1.4 note");
}

TEST_F(HelpInstaller, CancelAnEmptyArchiveAndAProgramWithoutOneWriteNothing) {
    EXPECT_EQ(install(""), InstallerResult::Continue);  // an archive of no files is sound
    EXPECT_TRUE(startsWith(shown(0), listed + "\n\n"));
    EXPECT_FALSE(fs::exists(destination));
    EXPECT_EQ(installHelpFiles(dialogs, smallProgram, destination), InstallerResult::Continue);
    EXPECT_EQ(shown(1), "This version of the EXE file does not contain the installation files.");
    dialogs.answers.push_back(Answer::Cancel);
    EXPECT_EQ(install("index.htm\n"), InstallerResult::EndProgram);
    EXPECT_EQ(dialogs.shown.size(), 3u);
    EXPECT_TRUE(destinationEmpty());
}

TEST_F(HelpInstaller, ADamagedArchiveInstallsNothingAndSaysSoOnce) {
    ASSERT_TRUE(build("index.htm\nschroed.pdf\n").ok);
    renameRecord(1, "../outside.pdf");
    EXPECT_EQ(installHelpFiles(dialogs, copy, destination), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(containsAll(shown(0), {"are damaged", "Nothing was installed."}));
    EXPECT_TRUE(destinationEmpty());  // not even the first, sound file
}

TEST_F(HelpInstaller, FilesThatCannotBeWrittenAreNamedInOneMessageAtTheEnd) {
    fs::create_directories(destination + "/index.htm");
    EXPECT_EQ(install("index.htm\nschroed.pdf\n"), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(startsWith(shown(1), "These files could not be written:\n" + destination + "/index.htm: ")) << shown(1);
}

TEST_F(HelpInstaller, ControlCharactersInNamesAreShownEscaped) {
    writeFile(source + "/a\x1b[2Jb.htm", "x");
    ASSERT_TRUE(build("a\x1b[2Jb.htm\nindex.htm\n").ok);
    renameRecord(1, "two\nlines.htm");
    dialogs.answers.push_back(Answer::Cancel);
    installHelpFiles(dialogs, copy, destination);
    EXPECT_EQ(shown(0), listed + "a\\x1B[2Jb.htm two\\nlines.htm \n\ninto " + destination);
}

// The folders are handed in, so a test names them.
class HelpLocations : public ::testing::Test {
protected:
    void put(const std::string& name, const std::string& text = "x") {
        fs::create_directories(fs::path(dir.file(name)).parent_path());
        writeFile(dir.file(name), text);
    }
    TempDir dir;
    ScopedEnv xdg{"XDG_DATA_HOME", dir.file("data")};
    const std::string bin = dir.file("bin"), user = dir.file("data") + "/vantrel";
};

TEST_F(HelpLocations, TheHelpMenuLooksBesideTheProgramAndInTheUserDataDirectory) {
    fs::create_directories(bin);
    EXPECT_EQ(userDataDir(), user);
    EXPECT_TRUE(helpFilesMissing(bin));
    put("data/vantrel/index.htm");
    EXPECT_EQ(findHelpFile("index.htm", bin), user + "/index.htm");
    EXPECT_FALSE(helpFilesMissing(bin));
    put("bin/index.htm");
    EXPECT_EQ(findHelpFile("index.htm", bin), bin + "/index.htm");
    EXPECT_EQ(findHelpFile("schroed.pdf", bin), "");
}

TEST_F(HelpLocations, DataIsFoundInShareOrTheUserDataDirectory) {
    fs::create_directories(dir.file("prefix/bin"));
    put("prefix/share/vantrel/frames.ht");
    put("prefix/share/vantrel/index.htm");
    EXPECT_EQ(findDataDir(dir.file("prefix/bin")), dir.file("prefix/share/vantrel"));
    EXPECT_EQ(fs::canonical(findHelpFile("index.htm", dir.file("prefix/bin"))),
              fs::canonical(dir.file("prefix/share/vantrel/index.htm")));
    put("data/vantrel/frames.ht");  // unpacked for the user by a copy in a read-only folder
    EXPECT_EQ(findDataDir(dir.file("read-only program folder")), user);
}

TEST_F(HelpLocations, FilesGoBesideTheProgramWhenItsDirectoryIsWritable) {
    EXPECT_EQ(helpInstallDir(dir.path()), dir.path());
    EXPECT_EQ(helpInstallDir(dir.file("no such directory")), user);
    // An installation's bin/, writable or not, is left alone.
    fs::create_directories(dir.file("usr/bin"));
    put("usr/share/vantrel/frames.ht");
    EXPECT_EQ(helpInstallDir(dir.file("usr/bin")), user);
}

// The build side, as the program named INSTALL runs it, from the folder of
// the list.
class HelpBuilder : public HelpInstaller {
protected:
    void SetUp() override {
        HelpInstaller::SetUp();
        fs::current_path(source);
    }
    void TearDown() override { fs::current_path(previous); }
    fs::path previous = fs::current_path();
    ScopedEnv tmp{"TMPDIR", dir.path()};
};

TEST_F(HelpBuilder, WritesTheCopyIntoTheTemporaryDirectoryUnderTheTargetsName) {
    writeFile(source + "/_install.lst", "index.htm\nschroed.pdf\n");
    fs::create_directory(dir.file("apps"));
    fs::copy_file(smallProgram, dir.file("apps/setup"));
    EXPECT_EQ(buildSelfContained(dialogs, dir.file("apps/setup")), 0);
    // Linux program files have no ".exe": the name stays as given.
    EXPECT_EQ(dialogs.shown.back().text, dir.path() + "/setup created with 2 added.");
    EXPECT_EQ(readArchive(dir.file("setup")).entries.size(), 2u);
    EXPECT_EQ(readFile(dir.file("apps/setup")), readFile(smallProgram));  // the target itself is untouched
}

TEST_F(HelpBuilder, WithoutATargetAsksForOneAndEndsWhenNoneIsGiven) {
    dialogs.inputs.push_back(std::nullopt);
    EXPECT_EQ(buildSelfContained(dialogs, "  "), 1);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(shown(0), "_INSTALL.LST should be prepared. The command line needs the name of the EXE file to append to.");
    EXPECT_EQ(shown(1), "EXE to append to?");
}

TEST(HelpBuilderName, RunsOnlyUnderTheExactNameInstall) {
    for (auto [name, builder] : {std::pair{"/usr/local/bin/INSTALL", true}, {"INSTALL", true}, {"./install", false}, {"/usr/bin/vantrel", false}})
        EXPECT_EQ(invokedAsBuilder(name), builder) << name;
}

}  // namespace
}  // namespace vantrel::test
