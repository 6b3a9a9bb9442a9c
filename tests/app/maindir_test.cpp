// The main directory: normalising and testing a name, finding one at
// start-up, clearing the cache and moving it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/maindir.h"
#include "app/mainwindow.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/textutil.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class MainDirTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installreactions();
    }
    TempDir dir{"maindir-test"};  // the word must not come from the folder's own name
    ScopedEnv home{"HOME", dir.path()}, vantrelhome{"VANTREL_HOME", std::nullopt};
};

TEST_F(MainDirTest, NamesNormalisedCaseKeptExampleFileWritten) {
    fs::create_directory(dir.file("MyVantrel"));
    fs::create_directory(dir.file("two"));
    const std::pair<const char*, const char*> cases[] = {
        {"Data/", "Data_vantrel"}, {"MyVantrel/Out", "MyVantrel/Out"}, {"VANTREL/", "VANTREL"},
        {"two//", "two/_vantrel"},  // one separator goes, the word follows the other
    };
    for (auto [given, made] : cases) {
        EXPECT_TRUE(setmaindir(dir.file(given)) == 0 && globals().maindir == dir.file(made)) << given;
        // The cache is there; the probe is gone again.
        EXPECT_TRUE(direxists(dir.file(made) + "/files") && !fileexists(dir.file(made) + "/files/session")) << given;
    }
    // One level at a time: a missing parent fails with the path error.
    EXPECT_EQ(setmaindir(dir.file("no/such/place")), ENOENT);
    EXPECT_EQ(globals().maindir, dir.file("no/such/place_vantrel"));
    EXPECT_TRUE(setmaindir("") == -1 && globals().maindir.empty());
    // A file where the cache should be stops even root.
    fs::create_directory(dir.file("a_vantrel"));
    writefile(dir.file("a_vantrel/files"), "in the way");
    EXPECT_EQ(setmaindir(dir.file("a_vantrel")), ENOTDIR);

    // A new main directory gets a valid example sequence file.
    ASSERT_EQ(setmaindir(dir.file("ex_vantrel")), 0);
    std::string rest = readfile(dir.file("ex_vantrel/input.txt"));
    EXPECT_TRUE(contains(rest, "\r\n1 0 0\r\n"));
    while (!rest.empty()) {
        std::string line = splitfirst(rest, "\r\n");
        if (line[0] != '#') EXPECT_FALSE(contains(line, ",")) << line;
    }
    writefile(dir.file("ex_vantrel/input.txt"), "mine");  // the user's own stays
    setmaindir(dir.file("ex_vantrel"));
    EXPECT_EQ(readfile(dir.file("ex_vantrel/input.txt")), "mine");
}

TEST_F(MainDirTest, FindAsksOnlyWhenTheFirstCandidateFails) {
    setenv("VANTREL_HOME", "", 1);  // empty: no candidate
    EXPECT_EQ(maindircandidates().front(), dir.file("vantrel"));
    setenv("VANTREL_HOME", dir.file("first_vantrel").c_str(), 1);
    EXPECT_TRUE(findmaindir() && dialogs.shown.empty());
    EXPECT_EQ(globals().maindir, dir.file("first_vantrel"));

    // The first working candidate is only offered, as the default answer.
    setenv("VANTREL_HOME", dir.file("missing/parent").c_str(), 1);
    EXPECT_TRUE(findmaindir() && dialogs.shown.size() == 1);
    EXPECT_EQ(globals().maindir, dir.file("vantrel"));

    dialogs.inputs = {std::nullopt, dir.file("no/such/place")};
    EXPECT_FALSE(findmaindir());
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue ");
    EXPECT_FALSE(findmaindir());
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue : " + std::string(std::strerror(ENOENT)));
}

TEST_F(MainDirTest, ClearCacheDeletesFilesOnlyNewCacheRestoresOnFailure) {
    ASSERT_EQ(setmaindir(dir.file("c_vantrel")), 0);
    const std::string cache = dir.file("c_vantrel/files");
    for (const char* name : {"/a.htm", "/B.xyz"}) writefile(cache + name, "x");
    fs::create_directory(cache + "/sub");

    dialogs.answers.push_back(Answer::Cancel);
    form().lblCount.caption = "625";
    clearcache(true);
    EXPECT_TRUE(fileexists(cache + "/a.htm"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "This will delete all files in the subdirectory " + cache + ".");
    EXPECT_EQ(form().lblCount.caption, "625");  // the results stay

    clearcache(true);
    EXPECT_EQ(dialogs.shown.back().text, "2 files were deleted.");
    EXPECT_TRUE(!fileexists(cache + "/a.htm") && !fileexists(cache + "/B.xyz") && direxists(cache + "/sub"));
    clearcache(true);
    EXPECT_EQ(dialogs.shown.back().text, "0 files were deleted.");
    const auto shown = dialogs.shown.size();
    writefile(cache + "/c.csv", "c");
    clearcache(false);  // asks and tells nothing
    EXPECT_TRUE(!fileexists(cache + "/c.csv") && dialogs.shown.size() == shown);

    // A new main directory; a failed one leaves the last good one.
    ASSERT_EQ(setmaindir(dir.file("old_vantrel")), 0);
    const std::string made = dir.file("New_vantrel");
    dialogs.inputs = {dir.file("New"), dir.file("no/such/place"), std::nullopt};
    for (int i = 0; i < 3; ++i) {
        newcacheclick();
        EXPECT_EQ(globals().maindir, made);
        EXPECT_EQ(dialogs.shown.back().text, "The main directory for VANTREL is " + made +
                                                 "\r\nThe directory in which HTML and XYZ files will be saved is " +
                                                 made + "/files");
    }
    EXPECT_EQ(globals().orbital.xyzfile, made + "/files/1_0_0_.xyz");
}

}  // namespace
}  // namespace vantrel
