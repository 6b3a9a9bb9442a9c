// A scratch folder with the help files' source folder, a copy of a small
// real program (so that it can still be run) with an archive appended, and
// the folder it unpacks into.
#pragma once

#include "install/helparchive.h"
#include "support/scratch.h"

namespace vantrel::test {

inline const std::string smallProgram = "/bin/true";

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(source); }
    // Writes the build list and builds the copy of the small program.
    BuildOutcome build(const std::string& list) {
        writeFile(dir.file("_install.lst"), list);
        return buildArchive(smallProgram, copy, dir.file("_install.lst"), source);
    }
    // Gives the k-th record of the built copy another name.
    void renameRecord(std::size_t k, const std::string& name) {
        const std::int64_t record = readArchive(copy).entries.at(k).start - 1 - archiveRecordSize;
        std::string bytes = readFile(copy);
        bytes.replace(record, archiveNameSize, archiveNameField(name));
        writeFile(copy, bytes);
    }

    TempDir dir;
    std::string source = dir.file("source"), copy = dir.file("program"), destination = dir.file("destination");
};

}  // namespace vantrel::test
