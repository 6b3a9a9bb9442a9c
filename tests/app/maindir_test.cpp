// The main directory: normalising and testing a name, finding one at
// start-up, clearing the cache and moving it.

#include <cstring>
#include <tuple>

#include "output/fileutil.h"
#include "support/faults.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class MainDirTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installReactions(s);
    }
    TempDir dir{"maindir-test"};  // the word must not come from the folder's own name
    ScopedEnv home{"HOME", dir.path()}, vantrelHome{"VANTREL_HOME", std::nullopt};
};

TEST_F(MainDirTest, NamesNormalisedCaseKeptExampleFileWritten) {
    fs::create_directory(dir.file("MyVantrel"));
    fs::create_directory(dir.file("two"));
    const std::pair<const char*, const char*> cases[] = {
        {"Data/", "Data_vantrel"}, {"MyVantrel/Out", "MyVantrel/Out"}, {"VANTREL/", "VANTREL"},
        {"two//", "two/_vantrel"},  // one separator goes, the word follows the other
    };
    for (auto [given, made] : cases) {
        EXPECT_EQ(setMainDir(s, dir.file(given)), 0) << given;
        EXPECT_EQ(s.mainDir, dir.file(made)) << given;
        // The cache is there; the probe is gone again.
        EXPECT_EQ(std::tuple(dirExists(dir.file(made) + "/files"), fileExists(dir.file(made) + "/files/session")),
                  std::tuple(true, false)) << given;
    }
    // One level at a time: a missing parent fails with the path error.
    EXPECT_EQ(setMainDir(s, dir.file("no/such/place")), ENOENT);
    EXPECT_EQ(s.mainDir, dir.file("no/such/place_vantrel"));
    EXPECT_EQ(setMainDir(s, ""), -1);
    EXPECT_EQ(s.mainDir, "");
    // A file where the cache should be stops even root.
    fs::create_directory(dir.file("a_vantrel"));
    writeFile(dir.file("a_vantrel/files"), "in the way");
    EXPECT_EQ(setMainDir(s, dir.file("a_vantrel")), ENOTDIR);

    // A new main directory gets a valid example sequence file.
    ASSERT_EQ(setMainDir(s, dir.file("ex_vantrel")), 0);
    std::string rest = readFile(dir.file("ex_vantrel/input.txt"));
    EXPECT_TRUE(contains(rest, "\r\n1 0 0\r\n"));
    while (!rest.empty()) {
        std::string line = splitFirst(rest, "\r\n");
        if (line[0] != '#') {
            EXPECT_FALSE(contains(line, ",")) << line;
        }
    }
    writeFile(dir.file("ex_vantrel/input.txt"), "mine");  // the user's own stays
    setMainDir(s, dir.file("ex_vantrel"));
    EXPECT_EQ(readFile(dir.file("ex_vantrel/input.txt")), "mine");
}

TEST_F(MainDirTest, FindAsksOnlyWhenTheFirstCandidateFails) {
    setenv("VANTREL_HOME", "", 1);  // empty: no candidate
    EXPECT_EQ(mainDirCandidates().front(), dir.file("vantrel"));
    setenv("VANTREL_HOME", dir.file("first_vantrel").c_str(), 1);
    ASSERT_TRUE(findMainDir(s));
    EXPECT_EQ(std::tuple(dialogs.shown.size(), s.mainDir), std::tuple(0u, dir.file("first_vantrel")));
    // A name without the word gets it appended, and the user's documents say so.
    setenv("VANTREL_HOME", dir.file("orbitals").c_str(), 1);
    ASSERT_TRUE(findMainDir(s));
    EXPECT_EQ(s.mainDir, dir.file("orbitals_vantrel"));

    // The first working candidate is only offered, as the default answer.
    setenv("VANTREL_HOME", dir.file("missing/parent").c_str(), 1);
    ASSERT_TRUE(findMainDir(s));
    EXPECT_EQ(std::tuple(dialogs.shown.size(), s.mainDir), std::tuple(1u, dir.file("vantrel")));

    dialogs.inputs = {std::nullopt, dir.file("no/such/place")};
    EXPECT_FALSE(findMainDir(s));
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue ");
    EXPECT_FALSE(findMainDir(s));
    EXPECT_EQ(dialogs.shown.back().text, "Cannot continue : " + std::string(std::strerror(ENOENT)));
}

TEST_F(MainDirTest, ClearCacheDeletesFilesOnlyNotThroughALinkNewCacheRestoresOnFailure) {
    ASSERT_EQ(setMainDir(s, dir.file("c_vantrel")), 0);
    const std::string cache = dir.file("c_vantrel/files");
    for (const char* name : {"/a.htm", "/B.xyz", "/.hidden"}) writeFile(cache + name, "x");
    fs::create_directory(cache + "/sub");

    dialogs.answers.push_back(Answer::Cancel);
    s.window.pointCountLabel.caption = "625";
    clearCache(s, true);
    EXPECT_TRUE(fileExists(cache + "/a.htm"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "This will delete all files in the subdirectory " + cache + ".");
    EXPECT_EQ(s.window.pointCountLabel.caption, "625");  // the results stay

    clearCache(s, true);
    EXPECT_EQ(dialogs.shown.back().text, "2 files were deleted.");
    // Hidden files are not the cache's.
    EXPECT_EQ(std::tuple(fileExists(cache + "/a.htm"), fileExists(cache + "/B.xyz"), dirExists(cache + "/sub"), fileExists(cache + "/.hidden")),
              std::tuple(false, false, true, true));
    clearCache(s, true);
    EXPECT_EQ(dialogs.shown.back().text, "0 files were deleted.");
    const auto shown = dialogs.shown.size();
    writeFile(cache + "/c.csv", "c");
    clearCache(s, false);  // asks and tells nothing
    EXPECT_EQ(std::tuple(fileExists(cache + "/c.csv"), dialogs.shown.size()), std::tuple(false, shown));
    // A cache that is a link to another folder: nothing is deleted there,
    // and the main directory is refused.
    writeFile(dir.file("keep.htm"), "keep");
    fs::remove_all(cache);
    fs::create_directory_symlink(dir.path(), cache);
    clearCache(s, false);
    EXPECT_EQ(readFile(dir.file("keep.htm")), "keep");
    EXPECT_TRUE(dialogs.saw(cache + " is a symbolic link; nothing was deleted."));
    EXPECT_EQ(setMainDir(s, dir.file("c_vantrel")), -3);

    // A new main directory; a failed one leaves the last good one.
    ASSERT_EQ(setMainDir(s, dir.file("old_vantrel")), 0);
    const std::string made = dir.file("New_vantrel");
    dialogs.inputs = {dir.file("New"), dir.file("no/such/place"), std::nullopt};
    for (int i = 0; i < 3; ++i) {
        newCacheClick(s);
        EXPECT_EQ(s.mainDir, made);
        EXPECT_EQ(dialogs.shown.back().text, "The main directory for VANTREL is " + made +
                                                 "\r\nThe directory in which HTML and XYZ files will be saved is " +
                                                 made + "/files");
    }
    EXPECT_EQ(s.orbital.xyzFile, made + "/files/1_0_0_.xyz");
}

TEST_F(MainDirTest, RefusedCandidatesAndAFailedExampleAreSaid) {
    std::vector<std::string> reports;
    s.hooks.report = [&reports](const std::string& line) { reports.push_back(line); };
    writeFile(dir.file("plain_vantrel"), "a file, not a directory");
    const std::string tooLong = dir.file(std::string(300, 'v') + "_vantrel");
    const std::pair<std::string, int> refused[] = {{dir.file("plain_vantrel"), ENOTDIR}, {tooLong, ENAMETOOLONG}};
    for (const auto& [home, error] : refused) {
        reports.clear();
        setenv("VANTREL_HOME", home.c_str(), 1);
        EXPECT_TRUE(findMainDir(s));
        ASSERT_FALSE(reports.empty()) << home;
        EXPECT_EQ(reports.front(), "Cannot use " + home + " as the main directory: " + std::strerror(error));
    }
    // Whatever stands at input.txt is the user's: a link is neither written
    // through nor removed. The start-up probe neither truncates a link's
    // target nor fails on it.
    fs::create_directories(dir.file("linked_vantrel/files"));
    fs::create_symlink("/dev/full", dir.file("linked_vantrel/input.txt"));
    writeFile(dir.file("victim.txt"), "precious");
    fs::create_symlink(dir.file("victim.txt"), dir.file("linked_vantrel/files/session"));
    dialogs.shown.clear();
    EXPECT_EQ(setMainDir(s, dir.file("linked_vantrel")), 0);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(fs::is_symlink(dir.file("linked_vantrel/input.txt")));
    EXPECT_EQ(readFile(dir.file("victim.txt")), "precious");
    // The example sequence file on a full disk: said, and no empty file left.
    const std::string full = dir.file("full_vantrel");
    fs::create_directories(full);
    {
        SmallDisk disk(full, 100);
        if (disk.mounted()) writeFile(full + "/filler", std::string(8192, 'x'));  // up to the brim
        EXPECT_EQ(setMainDir(s, full), 0);
        EXPECT_TRUE(dialogs.saw(std::string(std::strerror(disk.error())) + " writing the example sequence file " +
                                full + "/input.txt"));
        EXPECT_FALSE(fs::exists(full + "/input.txt"));
    }
}

}  // namespace
}  // namespace vantrel
