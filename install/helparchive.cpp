#include "install/helparchive.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "output/replacingfile.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr int markerSize = sizeof(archiveMarker) - 1;  // 9
constexpr int trailerSize = 4 + markerSize;            // first position and marker

std::int32_t readInt32(const char* bytes) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(v);
}

std::string int32Bytes(std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return bytes;
}

std::string trimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string errnoText() { return std::strerror(errno); }

// Reads count bytes at the 1-based position into out.
bool readAt(std::ifstream& in, std::int64_t position, std::int64_t count, std::string& out) {
    out.assign(static_cast<std::size_t>(count), '\0');
    in.clear();
    in.seekg(position - 1);
    in.read(out.data(), count);
    return in.gcount() == count;
}

ArchiveContents damaged(std::string problem) {
    ArchiveContents c;
    c.status = ArchiveContents::Status::Damaged;
    c.problem = std::move(problem);
    return c;
}

std::string record(const std::string& name, std::int64_t start, std::int64_t length) {
    return archiveNameField(name) + int32Bytes(start) + int32Bytes(length);
}

}  // namespace

std::string archiveNameField(const std::string& name) {
    std::size_t cut = std::min<std::size_t>(name.size(), archiveNameSize);
    if (cut < name.size())
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    std::string field = name.substr(0, cut);
    field.resize(archiveNameSize, ' ');
    return field;
}

std::string unsafeNameReason(const std::string& name) {
    if (name.empty()) return "a file without a name";
    if (name.find('\0') != std::string::npos) return "a name with a zero byte";
    if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':'))
        return "the absolute name " + name;
    bool namesFile = false;
    std::size_t from = 0;
    while (from <= name.size()) {
        std::size_t to = name.find_first_of("/\\", from);
        if (to == std::string::npos) to = name.size();
        const std::string part = name.substr(from, to - from);
        if (part == "..") return "the name " + name + " that leads out of its directory";
        if (!part.empty() && part != ".") namesFile = true;
        from = to + 1;
    }
    if (!namesFile) return "the name " + name + " that names no file";
    return "";
}

std::string entryPath(const ArchiveEntry& entry) {
    std::string path = entry.name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

ArchiveContents readArchive(const std::string& programFile) {
    std::ifstream in(programFile, std::ios::binary);
    if (!in) {
        ArchiveContents c;
        c.problem = errnoText() + " opening " + programFile;
        return c;
    }
    in.seekg(0, std::ios::end);
    const std::int64_t size = in.tellg();
    ArchiveContents result;
    result.status = ArchiveContents::Status::NoArchive;
    std::string bytes;
    if (size < trailerSize || !readAt(in, size - markerSize + 1, markerSize, bytes) || bytes != archiveMarker)
        return result;
    if (!readAt(in, size - trailerSize + 1, 4, bytes)) return damaged("its last bytes cannot be read");

    // Every record and its data must end before the trailer.
    const std::int64_t lastDataPosition = size - trailerSize;
    std::int64_t position = readInt32(bytes.data());
    for (;;) {
        if (static_cast<int>(result.entries.size()) > archiveMaxEntries)
            return damaged("it lists more than " + std::to_string(archiveMaxEntries) + " files");
        if (position < 1 || position + archiveRecordSize - 1 > lastDataPosition)
            return damaged("a record lies outside the file");
        if (!readAt(in, position, archiveRecordSize, bytes)) return damaged("a record cannot be read");
        ArchiveEntry entry;
        entry.name = trimBlanks(bytes.substr(0, archiveNameSize));
        entry.start = readInt32(bytes.data() + archiveNameSize);
        entry.length = readInt32(bytes.data() + archiveNameSize + 4);
        if (entry.start != position + archiveRecordSize) return damaged("a record does not precede its data");
        if (entry.length < 0) return damaged("a record has a negative length");
        if (entry.length == 0) {
            if (position + archiveRecordSize != lastDataPosition + 1)
                return damaged("the end record is not at the end");
            break;
        }
        if (entry.start + entry.length - 1 > lastDataPosition)
            return damaged("the data of " + entry.name + " runs past the end of the file");
        if (const std::string reason = unsafeNameReason(entry.name); !reason.empty())
            return damaged("it holds " + reason);
        position = entry.start + entry.length;
        result.entries.push_back(std::move(entry));
    }
    result.status = ArchiveContents::Status::Ok;
    return result;
}

namespace {

// Why a write failed, in words.
std::string reasonOf(int error) {
    if (error == ELOOP) return "a symbolic link is there";
    if (error == EINVAL) return "something that is not a regular file is there";
    return std::strerror(error);
}

// Makes the folders of a name below the destination one at a time; a link
// among them (to a folder elsewhere) is not followed. "" or the reason.
std::string makeFolders(const fs::path& destination, const fs::path& relativeFolder) {
    std::error_code ec;
    fs::create_directories(destination, ec);  // the destination itself is the caller's choice
    if (ec) return ec.message();
    fs::path at = destination;
    for (const fs::path& part : relativeFolder) {
        if (part.empty() || part == ".") continue;
        at /= part;
        ::mkdir(at.c_str(), 0777);
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) return std::strerror(errno);
        if (S_ISLNK(st.st_mode)) return at.string() + " is a symbolic link";
        if (!S_ISDIR(st.st_mode)) return at.string() + " is not a folder";
    }
    return "";
}

}  // namespace

ExtractOutcome extractArchive(const std::string& programFile, const std::vector<ArchiveEntry>& entries,
                              const std::string& destinationDir) {
    ExtractOutcome outcome;
    std::ifstream in(programFile, std::ios::binary);
    for (const ArchiveEntry& entry : entries) {
        const fs::path relative = fs::path(entryPath(entry)).lexically_normal();
        const fs::path target = fs::path(destinationDir) / relative;
        const std::string shown = target.lexically_normal().string();
        auto fail = [&](const std::string& reason) { outcome.failed.push_back(shown + ": " + reason); };
        std::string data;
        if (!in || !readAt(in, entry.start, entry.length, data)) {
            fail("the program file cannot be read");
            continue;
        }
        if (const std::string reason = makeFolders(destinationDir, relative.parent_path()); !reason.empty()) {
            fail(reason);
            continue;
        }
        // Written beside the target and renamed over it, so a failed write
        // leaves the old file whole.
        ReplacingFile out(target.string());
        out.write(data);
        if (!out.commit().empty()) {
            fail(reasonOf(out.errorNumber()));
            continue;
        }
        outcome.written.push_back(shown);
    }
    return outcome;
}

BuildOutcome buildArchive(const std::string& target, const std::string& copyPath, const std::string& listFile,
                          const std::string& baseDir) {
    BuildOutcome outcome;
    outcome.copy = copyPath;
    // The copy is made whole under a new name and only then put in place:
    // whatever stands at copyPath (a link someone left in a shared folder)
    // is never written through.
    ReplacingFile copy(copyPath);
    std::int64_t written = 0;
    auto put = [&](const std::string& bytes) {
        copy.write(bytes);
        written += static_cast<std::int64_t>(bytes.size());
    };
    {
        std::ifstream program(target, std::ios::binary);
        if (!program) {
            outcome.message = errnoText() + " creating " + copyPath;
            return outcome;
        }
        char buffer[65536];
        while (program.read(buffer, sizeof buffer) || program.gcount() > 0)
            put(std::string(buffer, static_cast<std::size_t>(program.gcount())));
        if (program.bad()) {
            outcome.message = errnoText() + " creating " + copyPath;
            return outcome;
        }
    }
    struct stat st {};
    const mode_t programMode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0755;
    const std::int64_t first = written + 1;
    std::ifstream list(listFile);
    if (!list) {
        outcome.message = errnoText() + " opening " + fs::path(listFile).filename().string();
        return outcome;
    }

    auto tooLarge = [](std::int64_t position) { return position > INT32_MAX; };
    std::string directory;
    std::string line;
    std::error_code ec;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 5, "PATH=") == 0) {
            directory = line.substr(5);
            continue;
        }
        ++outcome.added;
        const std::string stored = directory.empty() ? line : directory + "/" + line;
        const fs::path source = line.empty() ? fs::path() : fs::path(baseDir) / line;
        std::int64_t length = 0;
        if (!line.empty() && fs::is_regular_file(source, ec)) length = static_cast<std::int64_t>(fs::file_size(source, ec));
        if (ec) length = 0;
        const std::int64_t position = written + 1;
        if (length == 0) {
            outcome.message = line + " does not exist or is empty";
            return outcome;
        }
        // The install side refuses such a name: say so now, not there.
        if (const std::string reason = unsafeNameReason(stored); !reason.empty()) {
            outcome.message = "The list gives " + reason + ", which would be installed outside its folder.";
            return outcome;
        }
        if (tooLarge(position + archiveRecordSize + length + archiveRecordSize)) {
            outcome.message = line + " is too large to be added";
            return outcome;
        }
        put(record(stored, position + archiveRecordSize, length));
        std::ifstream data(source, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(length), '\0');
        errno = 0;
        data.read(bytes.data(), length);
        if (data.gcount() != length || data.peek() != std::ifstream::traits_type::eof()) {
            outcome.message = (errno ? errnoText() : "It changed while it was read,") + " adding " + line;
            return outcome;
        }
        put(bytes);
    }
    copy.keepMode(programMode);
    put(record("END", written + 1 + archiveRecordSize, 0) + int32Bytes(first) + archiveMarker);
    if (const std::string problem = copy.commit(); !problem.empty()) {
        outcome.message = problem;
        return outcome;
    }
    outcome.ok = true;
    outcome.message = copyPath + " created with " + std::to_string(outcome.added) + " added.";
    return outcome;
}

}  // namespace vantrel
