// The archive of help files appended to a program file: building it,
// reading it back, and refusing damaged ones.
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "archivetest.h"

namespace vantrel::test {
namespace {

std::string allBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes + "\r\nend without a line break";
}

class HelpArchive : public ArchiveTest {
protected:
    std::string names() {  // the archive's entries, blank-separated
        std::string all;
        for (const ArchiveEntry& e : readArchive(copy).entries) all += (all.empty() ? "" : " ") + e.name;
        return all;
    }
};

TEST_F(HelpArchive, RoundTripGivesByteIdenticalFilesAndAProgramThatStillRuns) {
    writeFile(source + "/index.htm", "<html>\r\nhelp\r\n</html>\r\n");
    writeFile(source + "/schroed.pdf", allBytes());
    // PATH= lines switch the destination of the files below them.
    const BuildOutcome built = build("index.htm\r\nPATH=help\r\nschroed.pdf\r\nPATH=help/more\r\nindex.htm\r\n");
    ASSERT_TRUE(built.ok) << built.message;
    EXPECT_EQ(built.message, copy + " created with 3 added.");

    const std::string program = readFile(smallProgram), archived = readFile(copy);
    EXPECT_EQ(archived.substr(0, program.size()), program);
    EXPECT_EQ(archived.substr(archived.size() - 9), "DoInstall");
    EXPECT_EQ(std::system(copy.c_str()), 0);

    const ArchiveContents contents = readArchive(copy);
    ASSERT_EQ(contents.status, ArchiveContents::Status::Ok) << contents.problem;
    EXPECT_EQ(names(), "index.htm help/schroed.pdf help/more/index.htm");
    EXPECT_EQ(contents.entries.at(1).length, static_cast<std::int64_t>(allBytes().size()));

    const ExtractOutcome extracted = extractArchive(copy, contents.entries, destination);
    EXPECT_EQ(extracted.failed.size(), 0u);
    EXPECT_EQ(extracted.written.size(), 3u);
    EXPECT_EQ(readFile(destination + "/help/more/index.htm"), readFile(source + "/index.htm"));
    EXPECT_EQ(readFile(destination + "/help/schroed.pdf"), allBytes());
}

TEST_F(HelpArchive, FilesWithoutTheMarkerHoldNoArchive) {
    EXPECT_EQ(readArchive(smallProgram).status, ArchiveContents::Status::NoArchive);
    for (const char* bytes : {"xxDoInstall", ""}) {  // the marker, but shorter than 13 bytes; nothing
        writeFile(copy, bytes);
        EXPECT_EQ(readArchive(copy).status, ArchiveContents::Status::NoArchive) << bytes;
    }
    EXPECT_EQ(readArchive(dir.file("missing")).status, ArchiveContents::Status::Unreadable);
}

TEST_F(HelpArchive, LongNamesAreCutToOneHundredBytes) {
    const std::string longName = std::string(120, 'n') + ".htm";
    writeFile(source + "/" + longName, "long");
    ASSERT_TRUE(build(longName + "\n").ok);
    EXPECT_EQ(names(), std::string(100, 'n'));
    // Never inside a character: "é" is two bytes in UTF-8.
    EXPECT_EQ(archiveNameField(std::string(99, 'a') + "\xC3\xA9"), std::string(99, 'a') + " ");
}

TEST_F(HelpArchive, AnEmptyLineOrAMissingFileStopsTheBuild) {
    writeFile(source + "/a.htm", "a");
    writeFile(source + "/empty.htm", "");
    for (auto [list, message] : {std::pair{"a.htm\n\nb.htm\n", ""}, {"nothere.htm\n", "nothere.htm"}, {"empty.htm\n", "empty.htm"}}) {
        const BuildOutcome built = build(list);
        EXPECT_FALSE(built.ok) << list;
        EXPECT_EQ(built.message, std::string(message) + " does not exist or is empty");
    }
    EXPECT_EQ(buildArchive(smallProgram, copy, dir.file("nolist"), source).message,
              "No such file or directory opening nolist");
    EXPECT_TRUE(contains(buildArchive(dir.file("noprogram"), copy, dir.file("_install.lst"), source).message, " creating " + copy));
}

// Damaged archives: each is refused as a whole, before anything is written.
class DamagedArchive : public HelpArchive {
protected:
    void SetUp() override {
        HelpArchive::SetUp();
        writeFile(source + "/one.htm", "first file");
        writeFile(source + "/two.htm", "second file");
        ASSERT_TRUE(build("one.htm\ntwo.htm\n").ok);
        bytes = readFile(copy);
        first = static_cast<std::int64_t>(readFile(smallProgram).size()) + 1;
        second = first + 108 + 10;
    }
    // Puts a 32-bit number at the 1-based position and rewrites the copy.
    void patchNumber(std::int64_t position, std::int32_t value) {
        for (int i = 0; i < 4; ++i) bytes[position - 1 + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xff);
        writeFile(copy, bytes);
    }
    void expectRefused(const std::string& problemPart) {
        const ArchiveContents contents = readArchive(copy);
        EXPECT_EQ(std::tuple(contents.status, contents.entries.size()), std::tuple(ArchiveContents::Status::Damaged, 0u));
        EXPECT_TRUE(contains(contents.problem, problemPart)) << contents.problem;
        SetUp();  // a sound archive again for the next case
    }
    std::string bytes;
    std::int64_t first = 0, second = 0;  // positions of the two records
};

TEST_F(DamagedArchive, TruncatedMovedOutOfRangeOrLeavingTheDestination) {
    bytes.erase(second + 108, 3);  // three bytes of the second file lost, trailer kept
    writeFile(copy, bytes);
    expectRefused("");
    bytes.insert(bytes.size() - 13, "junk");
    writeFile(copy, bytes);
    expectRefused("end record");

    const std::int64_t trailer = static_cast<std::int64_t>(bytes.size()) - 12;
    // -118 would lead back to the first record: a loop.
    for (auto [at, value, problem] : {std::tuple{first + 100, static_cast<std::int32_t>(first + 200), "does not precede its data"},
                                      {second + 104, 1 << 30, "runs past the end"}, {second + 104, -118, "negative length"},
                                      {trailer, static_cast<std::int32_t>(bytes.size()), "outside the file"},
                                      {trailer, 0, "outside the file"}}) {
        patchNumber(at, value);
        expectRefused(problem);
    }
    for (auto [inSecond, name, problem] : {std::tuple{true, "../../outside.htm", "leads out of its directory"},
                                          {true, "help\\..\\..\\outside.htm", "leads out of its directory"},
                                          {false, "/tmp/outside.htm", "absolute name"},
                                          {false, "C:\\outside.htm", "absolute name"},
                                          {false, "./", "names no file"}}) {
        renameRecord(inSecond, name);
        expectRefused(problem);
    }
}

TEST_F(HelpArchive, FilesThatCannotBeWrittenAreListedAndTheRestWritten) {
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) writeFile(source + "/" + name, name);
    ASSERT_TRUE(build("a.htm\nb.htm\nPATH=sub\nc.htm\n").ok);
    fs::create_directories(destination + "/b.htm");  // a directory where a file should go
    writeFile(destination + "/sub", "a file where a directory should go");
    writeFile(destination + "/a.htm", "old contents");

    const ExtractOutcome extracted = extractArchive(copy, readArchive(copy).entries, destination);
    ASSERT_EQ(extracted.failed.size(), 2u);
    EXPECT_TRUE(startsWith(extracted.failed[0], destination + "/b.htm: ")) << extracted.failed[0];
    EXPECT_TRUE(startsWith(extracted.failed[1], destination + "/sub/c.htm: ")) << extracted.failed[1];
    EXPECT_EQ(extracted.written, std::vector<std::string>{destination + "/a.htm"});
    EXPECT_EQ(readFile(destination + "/a.htm"), "a.htm");  // replaced
    EXPECT_TRUE(fs::is_empty(destination + "/b.htm"));      // no leftover part file
}

// Links planted where files or folders go are not written through, on
// either side; the build refuses names the install side would refuse.
TEST_F(HelpArchive, LinksAreNotFollowedAndUnsafeDestinationsAreRefused) {
    writeFile(source + "/index.htm", "help");
    const std::string victim = dir.file("victim"), victimDir = dir.file("victimdir");
    writeFile(victim, "precious");
    fs::create_directories(victimDir);
    ASSERT_TRUE(build("index.htm\nPATH=docs\nindex.htm\n").ok);
    fs::create_directories(destination);
    fs::create_symlink(victim, destination + "/index.htm");
    for (const std::string& suffix : {std::string(".part"), std::string(".part-0")})  // the old temporary names
        fs::create_symlink(victim, destination + "/index.htm" + suffix.substr(0, 5) + std::to_string(::getpid()) + suffix.substr(5));
    fs::create_directory_symlink(victimDir, destination + "/docs");
    const ExtractOutcome extracted = extractArchive(copy, readArchive(copy).entries, destination);
    ASSERT_EQ(extracted.failed.size(), 2u);
    EXPECT_EQ(extracted.failed[0], destination + "/index.htm: a symbolic link is there");
    EXPECT_EQ(extracted.failed[1], destination + "/docs/index.htm: " + destination + "/docs is a symbolic link");
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_TRUE(fs::is_empty(victimDir));

    // The build side: a link at the copy's name, PATH= lines out of the folder.
    fs::remove(copy);
    fs::create_symlink(victim, copy);
    EXPECT_FALSE(build("index.htm\n").ok);
    EXPECT_EQ(readFile(victim), "precious");
    fs::remove(copy);
    for (const char* path : {"PATH=../..", "PATH=/etc", "PATH=a/../../b"}) {
        const BuildOutcome built = build(std::string(path) + "\nindex.htm\n");
        EXPECT_FALSE(built.ok) << path;
        EXPECT_TRUE(contains(built.message, "which would be installed outside its folder")) << built.message;
        EXPECT_FALSE(fs::exists(copy)) << path;
    }
}

}  // namespace
}  // namespace vantrel::test
