// A careless or hostile cache: folders, links and FIFOs where the
// program's files go, a disk that fills up. Nothing is written through a
// link, nothing hangs, and every file not written is said and counted.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "app/orbitalfiles.h"
#include "support/faults.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class WriteFaults : public SequenceState {
protected:
    // One orbital, 1s, from a sequence file; its own messages only.
    void runOne() { run("maxpoints=625 extent=0\n1 0 0\n"); }
};

// A folder or a link where a file goes: said, counted, left as it is. The
// XYZ file (or the page) not written means no page; the rest leave it.
TEST_F(WriteFaults, FoldersAndLinksInTheWayAreSaidCountedAndLeftAlone) {
    const std::string victim = dir.file("victim.txt");
    const std::pair<const char*, bool> cases[] = {{"1_0_0_.xyz", false}, {"1_0_0_.htm", false}, {"1_0_0_.txt", true},
                                                  {"names.htm", true},   {"frame1.htm", true},  {"index.htm", true},
                                                  {"1_0_0_.csv", false}};
    for (const auto& [name, pageWritten] : cases) {
        for (bool link : {false, true}) {
            fs::remove_all(cache);
            fs::create_directories(cache);
            writeFile(victim, "precious");
            if (link)
                fs::create_symlink(victim, cache + "/" + name);
            else
                fs::create_directories(cache + "/" + name + "/in");
            runOne();
            EXPECT_EQ(s.sequenceOutcome, SequenceOutcome::Incomplete) << name << link;
            EXPECT_TRUE(dialogs.saw(cache + "/" + name)) << name << link;
            EXPECT_EQ(dialogs.shown.back().text, "1 orbital was processed. 1 of them lacks files that could not be written.")
                << name << link;
            EXPECT_EQ(fs::is_regular_file(fs::symlink_status(cache + "/1_0_0_.htm")), pageWritten) << name << link;
            EXPECT_TRUE(link ? readFile(victim) == "precious" : fs::exists(cache + "/" + name + "/in")) << name << link;
        }
    }
}

TEST_F(WriteFaults, FilesTooLargeToWriteAreSaidAndLeaveNothingCut) {
    runOne();
    ASSERT_EQ(s.sequenceOutcome, SequenceOutcome::Done);
    const std::string xyz = readFile(cache + "/1_0_0_.xyz");
    std::string points;
    for (int i = 0; i < 2000; ++i) points += "0.5,0.25,-1,0.1\r\n";
    writeFile(cache + "/1_0_0_.csv", csvHeader("2000,10,0.5") + points);
    bool whole = true;
    {
        FileSizeLimit limit(20000);  // the XYZ file of 2000 points does not fit
        EXPECT_EQ(createOrbitalPage(s, &whole), "");
    }
    EXPECT_FALSE(whole);
    EXPECT_TRUE(dialogs.saw(std::string(std::strerror(EFBIG)) + " writing " + cache + "/1_0_0_.xyz"));
    EXPECT_EQ(readFile(cache + "/1_0_0_.xyz"), xyz);  // the last whole one
    for (const auto& entry : fs::directory_iterator(cache))
        EXPECT_FALSE(contains(entry.path().filename().string(), ".part")) << entry.path();
}

TEST_F(WriteFaults, AMainDirectoryInASharedFolderMustBePrivateAndOwn) {
    const std::string shared = dir.file("tmp");
    fs::create_directories(shared);
    ::chmod(shared.c_str(), 01777);
    // Made new: private.
    ASSERT_EQ(setMainDir(s, shared + "/vantrel-mine"), 0);
    struct stat st {};
    ::stat((shared + "/vantrel-mine").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // One's own left open to all: closed.
    ::chmod((shared + "/vantrel-mine").c_str(), 0777);
    ASSERT_EQ(setMainDir(s, shared + "/vantrel-mine"), 0);
    ::stat((shared + "/vantrel-mine").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A link, or a folder of someone else's (only root can make one here), is refused.
    fs::create_directory_symlink(shared + "/vantrel-mine", shared + "/vantrel-link");
    EXPECT_EQ(setMainDir(s, shared + "/vantrel-link"), -2);
    if (::geteuid() == 0) {
        fs::create_directories(shared + "/vantrel-theirs/files");
        ASSERT_EQ(::chown((shared + "/vantrel-theirs").c_str(), 65534, 65534), 0);
        EXPECT_EQ(setMainDir(s, shared + "/vantrel-theirs"), -2);
    }
    EXPECT_EQ(mainDirCandidates().back(), tempDir() + "/vantrel-" + std::to_string(::geteuid()));
}

}  // namespace
}  // namespace vantrel
