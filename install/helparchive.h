// The archive of help files appended to the program file, so that one file
// is all a user needs to copy. After the program's own bytes come, for each
// file, a 108-byte record (name padded with blanks to 100 bytes, start and
// length as 32-bit little-endian numbers) and the file's bytes; then an end
// record named "END", the position of the first record and "DoInstall".
// Positions count from 1 at the first byte of the file.
//
// Plain C++ without dialogs: the installer (helpinstaller.h) talks to the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int archiveRecordSize = 108;
inline constexpr int archiveNameSize = 100;
inline constexpr char archiveMarker[] = "DoInstall";
// More records than this means the archive is damaged, not a long list.
inline constexpr int archiveMaxEntries = 10000;

struct ArchiveEntry {
    std::string name;  // without its padding blanks; '/' or '\' separate directories
    std::int64_t start = 0;   // position of the first data byte (1-based)
    std::int64_t length = 0;
};

struct ArchiveContents {
    enum class Status { Ok, NoArchive, Damaged, Unreadable };
    Status status = Status::Unreadable;
    std::string problem;  // what is wrong, for Damaged and Unreadable
    std::vector<ArchiveEntry> entries;
};

// Reads and checks every record of the archive at the end of programFile.
// Nothing in a damaged archive is trusted: each record must start where the
// last one ended, its data must lie before the trailer, and its name must
// stay inside the destination (not absolute, no ".." part).
ArchiveContents readArchive(const std::string& programFile);

// Why the stored name could escape the destination directory, or "" when
// it is a plain relative name.
std::string unsafeNameReason(const std::string& name);

// The stored name as a relative path with '/' separators.
std::string entryPath(const ArchiveEntry& entry);

struct ExtractOutcome {
    std::vector<std::string> written;  // full paths
    std::vector<std::string> failed;   // "path: reason"
};

// Writes every entry below destinationDir, creating the directories its
// name needs. A file that cannot be written is listed in failed; its old
// contents, if any, stay as they were.
ExtractOutcome extractArchive(const std::string& programFile, const std::vector<ArchiveEntry>& entries,
                              const std::string& destinationDir);

struct BuildOutcome {
    bool ok = false;
    std::string message;  // what to tell the user, success or failure
    std::string copy;     // the program file with the archive
    int added = 0;
};

// Copies target to copyPath and appends the files named in the build list
// listFile: a line "PATH=dir" sets the directory the following files are
// installed into; every other line names a file, relative to baseDir. The
// stored name is dir + "/" + line, cut to 100 bytes.
BuildOutcome buildArchive(const std::string& target, const std::string& copyPath, const std::string& listFile,
                          const std::string& baseDir);

// The 100-byte name field for a stored name: cut (never inside a UTF-8
// character) or padded with blanks.
std::string archiveNameField(const std::string& name);

}  // namespace vantrel
