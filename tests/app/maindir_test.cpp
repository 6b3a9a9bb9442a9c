// The main directory: normalising and testing a name, finding one at
// start-up, clearing the cache and moving it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "app/maindir.h"
#include "app/mainwindow.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/textutil.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::readfile;
using test::writefile;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class MainDirTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installreactions();
    }
    // The word must not come from the temporary folder's own name.
    test::TempDir dir{"maindir-test"};
};

TEST_F(MainDirTest, NamesAreNormalisedButKeepTheirCase) {
    EXPECT_EQ(setmaindir(dir.file("Data/")), 0);
    EXPECT_EQ(globals().maindir, dir.file("Data_vantrel"));
    EXPECT_TRUE(direxists(dir.file("Data_vantrel/files")));
    EXPECT_FALSE(fileexists(dir.file("Data_vantrel/files/session")));  // the probe is gone again

    fs::create_directory(dir.file("MyVantrel"));
    EXPECT_EQ(setmaindir(dir.file("MyVantrel/Out")), 0);
    EXPECT_EQ(globals().maindir, dir.file("MyVantrel/Out"));

    EXPECT_EQ(setmaindir(dir.file("VANTREL/")), 0);
    EXPECT_EQ(globals().maindir, dir.file("VANTREL"));

    // Only one trailing separator goes; the word follows the one left.
    fs::create_directory(dir.file("two"));
    EXPECT_EQ(setmaindir(dir.file("two//")), 0);
    EXPECT_EQ(globals().maindir, dir.file("two/_vantrel"));

    // One level at a time: a missing parent fails with the path error.
    EXPECT_EQ(setmaindir(dir.file("no/such/place")), ENOENT);
    EXPECT_EQ(globals().maindir, dir.file("no/such/place_vantrel"));

    EXPECT_EQ(setmaindir(""), -1);
    EXPECT_EQ(globals().maindir, "");
}

TEST_F(MainDirTest, UnwritableCacheFailsTheProbe) {
    // A file where the cache directory should be stops even root.
    fs::create_directory(dir.file("a_vantrel"));
    writefile(dir.file("a_vantrel/files"), "not a directory");
    EXPECT_EQ(setmaindir(dir.file("a_vantrel")), ENOTDIR);
    EXPECT_EQ(globals().maindir, dir.file("a_vantrel"));
}

TEST_F(MainDirTest, NewDirectoryGetsAnExampleSequenceFile) {
    ASSERT_EQ(setmaindir(dir.file("ex_vantrel")), 0);
    const std::string text = readfile(dir.file("ex_vantrel/input.txt"));
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("\r\n"), std::string::npos);
    std::string rest = text;
    while (!rest.empty()) {
        std::string line = splitfirst(rest, "\r\n");
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        EXPECT_EQ(line.find(','), std::string::npos) << line;
    }
    // A file of the user's own stays as it is.
    writefile(dir.file("ex_vantrel/input.txt"), "mine");
    setmaindir(dir.file("ex_vantrel"));
    EXPECT_EQ(readfile(dir.file("ex_vantrel/input.txt")), "mine");
}

TEST_F(MainDirTest, FindAsksOnlyWhenTheFirstCandidateFails) {
    ScopedEnv home("HOME", dir.path());
    {
        ScopedEnv first("VANTREL_HOME", dir.file("first_vantrel"));
        EXPECT_EQ(maindircandidates().front(), dir.file("first_vantrel"));
        EXPECT_TRUE(findmaindir());
        EXPECT_EQ(globals().maindir, dir.file("first_vantrel"));
        EXPECT_TRUE(dialogs.shown.empty());
    }
    {
        // An empty variable is no candidate: ~/vantrel plays the first.
        ScopedEnv first("VANTREL_HOME", std::string());
        EXPECT_EQ(maindircandidates().front(), dir.file("vantrel"));
    }

    ScopedEnv bad("VANTREL_HOME", dir.file("missing/parent"));
    // The first working candidate is only offered: the default answer.
    EXPECT_TRUE(findmaindir());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Set Vantrel Main Directory");
    EXPECT_EQ(dialogs.shown[0].text,
              "Enter a directory name containing the characters \"vantrel\" for saving files");
    EXPECT_EQ(globals().maindir, dir.file("vantrel"));

    // Cancelled: "Cannot continue " alone. A bad answer: with the reason.
    dialogs.shown.clear();
    dialogs.inputs.push_back(std::nullopt);
    EXPECT_FALSE(findmaindir());
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue ");
    dialogs.inputs.push_back(dir.file("no/such/place"));
    EXPECT_FALSE(findmaindir());
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue : " + std::string(std::strerror(ENOENT)));
}

TEST_F(MainDirTest, ClearCacheDeletesFilesOnly) {
    ASSERT_EQ(setmaindir(dir.file("c_vantrel")), 0);
    const std::string cache = dir.file("c_vantrel/files");
    writefile(cache + "/a.htm", "a");
    writefile(cache + "/B.xyz", "b");
    fs::create_directory(cache + "/sub");

    dialogs.answers.push_back(Answer::Cancel);
    form().lblCount.caption = "625";
    clearcache(true);
    EXPECT_TRUE(fileexists(cache + "/a.htm"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "This will delete all files in the subdirectory " + cache + ".");
    EXPECT_EQ(dialogs.shown[0].title, "Clear Orbital Cache");
    EXPECT_EQ(form().lblCount.caption, "625");  // the results stay

    clearcache(true);
    EXPECT_EQ(dialogs.shown.back().text, "2 files were deleted.");
    EXPECT_FALSE(fileexists(cache + "/a.htm"));
    EXPECT_FALSE(fileexists(cache + "/B.xyz"));
    EXPECT_TRUE(direxists(cache + "/sub"));
    clearcache(true);
    EXPECT_EQ(dialogs.shown.back().text, "0 files were deleted.");

    writefile(cache + "/c.csv", "c");
    dialogs.shown.clear();
    clearcache(false);
    EXPECT_FALSE(fileexists(cache + "/c.csv"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainDirTest, NewCacheRestoresTheOldOneOnFailure) {
    ASSERT_EQ(setmaindir(dir.file("old_vantrel")), 0);
    const auto message = [](const std::string& d) {
        return "The main directory for VANTREL is " + d +
               "\r\nThe directory in which HTML and XYZ files will be saved is " + d + "/files";
    };

    dialogs.inputs.push_back(dir.file("New"));
    newcacheclick();
    EXPECT_EQ(dialogs.shown[0].title, "New Vantrel Main Directory");
    EXPECT_EQ(globals().maindir, dir.file("New_vantrel"));
    EXPECT_EQ(dialogs.shown.back().text, message(dir.file("New_vantrel")));
    EXPECT_EQ(globals().orbital.xyzfile, dir.file("New_vantrel/files/1_0_0_.xyz"));

    dialogs.inputs.push_back(dir.file("no/such/place"));
    newcacheclick();
    EXPECT_EQ(globals().maindir, dir.file("New_vantrel"));
    EXPECT_EQ(dialogs.shown.back().text, message(dir.file("New_vantrel")));

    dialogs.inputs.push_back(std::nullopt);
    newcacheclick();
    EXPECT_EQ(globals().maindir, dir.file("New_vantrel"));
}

}  // namespace
}  // namespace vantrel
