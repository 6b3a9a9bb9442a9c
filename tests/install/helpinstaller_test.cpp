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
    void buildProgram(const std::string& list) { ASSERT_TRUE(build(list).ok); }
    bool destinationEmpty() { return !fs::exists(destination) || fs::is_empty(destination); }

    ScriptedDialogs dialogs;
    std::string& program = copy;
};

TEST_F(HelpInstaller, ListsTheFilesAndWritesThemAfterOK) {
    buildProgram("index.htm\nPATH=doc\nschroed.pdf\n");
    EXPECT_EQ(installHelpFiles(dialogs, program, destination), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "The following files will be installed:\n\nindex.htm doc/schroed.pdf \n\ninto " +
                                         destination);
    EXPECT_EQ(dialogs.shown[0].buttons, Buttons::OKCancel);
    EXPECT_EQ(std::tuple(readFile(destination + "/index.htm"), readFile(destination + "/doc/schroed.pdf")),
              std::tuple("<html>help</html>", "%PDF-1.4 note"));
}

TEST_F(HelpInstaller, CancelAnEmptyArchiveAndAProgramWithoutOneWriteNothing) {
    buildProgram("");
    EXPECT_EQ(installHelpFiles(dialogs, program, destination), InstallerResult::Continue);
    EXPECT_TRUE(startsWith(dialogs.shown.at(0).text, "The following files will be installed:\n\n\n\n"));

    EXPECT_EQ(installHelpFiles(dialogs, "/bin/true", destination), InstallerResult::Continue);
    EXPECT_EQ(dialogs.shown.at(1).text, "This version of the EXE file does not contain the installation files.");

    buildProgram("index.htm\n");
    dialogs.answers.push_back(Answer::Cancel);
    EXPECT_EQ(installHelpFiles(dialogs, program, destination), InstallerResult::EndProgram);
    EXPECT_EQ(dialogs.shown.size(), 3u);
    EXPECT_TRUE(destinationEmpty());
}

TEST_F(HelpInstaller, ADamagedArchiveInstallsNothingAndSaysSoOnce) {
    buildProgram("index.htm\nschroed.pdf\n");
    renameRecord(1, "../outside.pdf");

    EXPECT_EQ(installHelpFiles(dialogs, program, destination), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    for (const char* part : {"are damaged", "Nothing was installed."})
        EXPECT_TRUE(contains(dialogs.shown[0].text, part)) << dialogs.shown[0].text;
    EXPECT_TRUE(destinationEmpty());  // not even the first, sound file
}

TEST_F(HelpInstaller, FilesThatCannotBeWrittenAreNamedInOneMessageAtTheEnd) {
    buildProgram("index.htm\nschroed.pdf\n");
    fs::create_directories(destination + "/index.htm");
    EXPECT_EQ(installHelpFiles(dialogs, program, destination), InstallerResult::Continue);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(startsWith(dialogs.shown[1].text, "These files could not be written:\n" + destination + "/index.htm: "))
        << dialogs.shown[1].text;
}

class HelpLocations : public ::testing::Test {
protected:
    TempDir dir;
    ScopedEnv xdg{"XDG_DATA_HOME", dir.file("data")};
};

TEST_F(HelpLocations, TheHelpMenuLooksBesideTheProgramAndInTheUserDataDirectory) {
    fs::create_directories(dir.file("bin"));
    const std::string bin = dir.file("bin");
    EXPECT_EQ(userDataDir(), dir.file("data") + "/vantrel");
    EXPECT_TRUE(helpFilesMissing(bin));

    fs::create_directories(userDataDir());
    writeFile(userDataDir() + "/index.htm", "user copy");
    EXPECT_EQ(findHelpFile("index.htm", bin), userDataDir() + "/index.htm");
    EXPECT_FALSE(helpFilesMissing(bin));

    writeFile(dir.file("bin") + "/index.htm", "program copy");
    EXPECT_EQ(findHelpFile("index.htm", bin), bin + "/index.htm");
    EXPECT_EQ(findHelpFile("schroed.pdf", bin), "");
}

TEST_F(HelpLocations, DataIsFoundInShareOrTheUserDataDirectory) {
    fs::create_directories(dir.file("prefix/bin"));
    fs::create_directories(dir.file("prefix/share/vantrel"));
    writeFile(dir.file("prefix/share/vantrel/frames.ht"), "template");
    writeFile(dir.file("prefix/share/vantrel/index.htm"), "help");
    EXPECT_EQ(findDataDir(dir.file("prefix/bin")), dir.file("prefix/share/vantrel"));
    EXPECT_EQ(fs::canonical(findHelpFile("index.htm", dir.file("prefix/bin"))), fs::canonical(dir.file("prefix/share/vantrel/index.htm")));

    fs::create_directories(userDataDir());  // unpacked for the user instead
    writeFile(userDataDir() + "/frames.ht", "template");
    EXPECT_EQ(findDataDir(dir.file("read-only program folder")), userDataDir());
}

TEST_F(HelpLocations, FilesGoBesideTheProgramWhenItsDirectoryIsWritable) {
    EXPECT_EQ(helpInstallDir(dir.path()), dir.path());
    EXPECT_EQ(helpInstallDir(dir.file("no such directory")), userDataDir());
    // An installation's bin/, writable or not, is left alone.
    fs::create_directories(dir.file("usr/bin"));
    fs::create_directories(dir.file("usr/share/vantrel"));
    writeFile(dir.file("usr/share/vantrel/frames.ht"), "<html>");
    EXPECT_EQ(helpInstallDir(dir.file("usr/bin")), userDataDir());
}

// The build side, as the program named INSTALL runs it.
class HelpBuilder : public HelpInstaller {
protected:
    void SetUp() override {
        HelpInstaller::SetUp();
        previous = fs::current_path();
        fs::current_path(source);
    }
    void TearDown() override {
        fs::current_path(previous);
        HelpInstaller::TearDown();
    }
    fs::path previous;
    ScopedEnv tmp{"TMPDIR", dir.path()};
};

TEST_F(HelpBuilder, WritesTheCopyIntoTheTemporaryDirectoryUnderTheTargetsName) {
    writeFile(source + "/_install.lst", "index.htm\nschroed.pdf\n");
    fs::create_directory(dir.file("apps"));
    fs::copy_file("/bin/true", dir.file("apps/setup"));
    EXPECT_EQ(buildSelfContained(dialogs, dir.file("apps/setup")), 0);
    // Linux program files have no ".exe": the name stays as given.
    EXPECT_EQ(dialogs.shown.back().text, dir.path() + "/setup created with 2 added.");
    EXPECT_EQ(readArchive(dir.file("setup")).entries.size(), 2u);
    EXPECT_EQ(readFile(dir.file("apps/setup")), readFile("/bin/true"));  // the target itself is untouched
}

TEST_F(HelpBuilder, WithoutATargetAsksForOneAndEndsWhenNoneIsGiven) {
    dialogs.inputs.push_back(std::nullopt);
    EXPECT_EQ(buildSelfContained(dialogs, "  "), 1);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(std::tuple(dialogs.shown[0].text, dialogs.shown[1].text),
              std::tuple("_INSTALL.LST should be prepared. The command line needs the name of the EXE file to append to.",
                         "EXE to append to?"));
}

TEST_F(HelpBuilder, RunsOnlyUnderTheExactNameInstall) {
    for (auto [name, builder] : {std::pair{"/usr/local/bin/INSTALL", true}, {"INSTALL", true}, {"./install", false}, {"/usr/bin/vantrel", false}})
        EXPECT_EQ(invokedAsBuilder(name), builder) << name;
}

TEST_F(HelpInstaller, ControlCharactersInNamesAreShownEscaped) {
    writeFile(source + "/a\x1b[2Jb.htm", "x");
    buildProgram("a\x1b[2Jb.htm\nindex.htm\n");
    renameRecord(1, "two\nlines.htm");
    dialogs.answers.push_back(Answer::Cancel);
    installHelpFiles(dialogs, program, destination);
    EXPECT_EQ(dialogs.shown.at(0).text,
              "The following files will be installed:\n\na\\x1B[2Jb.htm two\\nlines.htm \n\ninto " + destination);
}

}  // namespace
}  // namespace vantrel::test
