#include "app/maindir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/appstate.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "engine/textutil.h"
#include "output/fileutil.h"
#include "app/orbitalcontrols.h"
#include "app/session.h"

namespace vantrel {

namespace {

const std::string askPrompt = "Enter a directory name containing the characters \"vantrel\" for saving files";

// A first sequence file for a new main directory, so that the file-type
// message (which points here) shows something that works.
const char* const exampleInput[] = {
    "# Vantrel sequence file: one orbital per state line.",
    "# A state line is n, l and m separated by blanks, optionally followed by",
    "# a plane: xy, yz or xz. Every other line holds keywords that set the",
    "# options of the main window for the lines below it, for example:",
    "#   maxpoints=2000   extent=0 (automatic extent)   Z=2 (He+)",
    "#   nodes, probability, four, full, black, energy, jmol, chime, quick",
    "# Lines starting with # or ; are comments; only they may hold commas.",
    "maxpoints=2000 extent=0 energy",
    "1 0 0",
    "2 1 0",
    "3 2 0 xy",
};

void writeExampleInput(Session& s) {
    const std::string path = s.mainDir + "/input.txt";
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return;  // whatever is there is the user's
    std::string text;
    for (const char* line : exampleInput) {
        if (!text.empty()) text += crlf;
        text += line;
    }
    if (!writeWholeFile(path, text)) {
        const int err = errno;
        s.dialogs->messageBox(std::string(std::strerror(err)) + " writing the example sequence file " + path,
                              Buttons::OK);
    }
}

bool containsVantrel(const std::string& name) { return lower(name).find("vantrel") != std::string::npos; }

// Results of setMainDir below zero.
constexpr int noName = -1, notPrivate = -2, linkedCache = -3;

std::string whyNot(int result) {
    switch (result) {
    case noName: return "no name";
    case notPrivate: return "it is in a folder that everyone can write to and is not a folder of yours alone";
    case linkedCache: return "its files folder is a symbolic link";
    default: return std::strerror(result);
    }
}

std::string cannotContinue(int result) {
    std::string text = "Cannot continue ";
    if (result != noName) text += ": " + whyNot(result);
    return text;
}

// Others may write into the parent (/tmp): whatever stands at the name
// could be theirs. Only a real folder of this user's is used, made private.
int claimPrivateDir(const std::string& dir) {
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return notPrivate;
    if ((st.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0) return errno;
    return 0;
}

bool sharedFolder(const std::string& dir) {
    const auto slash = dir.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : dir.substr(0, slash);
    struct stat st {};
    return ::stat(parent.c_str(), &st) == 0 && (st.st_mode & S_IWOTH) != 0;
}

// A file at the probe's name is created and removed again; nothing at that
// name is followed or truncated (a link or FIFO left there goes first).
int probeCache(const std::string& cache) {
    struct stat st {};
    if (::lstat(cache.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return linkedCache;
    const std::string probe = cache + "/session";
    if (::lstat(probe.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) ::unlink(probe.c_str());
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    int result = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (::close(fd) != 0 && result == 0) result = errno;
    ::unlink(probe.c_str());
    return result;
}

}  // namespace

std::vector<std::string> mainDirCandidates() {
    std::vector<std::string> candidates;
    if (const char* home = std::getenv("VANTREL_HOME"); home && *home) candidates.emplace_back(home);
    if (const char* home = std::getenv("HOME"); home && *home) {
        std::string h = home;
        if (h.size() > 1 && h.back() == '/') h.pop_back();
        candidates.push_back(h + "/vantrel");
    }
    // Shared by every user: each has a folder of their own.
    candidates.push_back(tempDir() + "/vantrel-" + std::to_string(::geteuid()));
    return candidates;
}

int setMainDir(Session& s, const std::string& name) {
    std::string& dir = s.mainDir;
    dir = name;  // case kept: Linux names are case-sensitive
    if (dir.empty()) return noName;
    // One trailing separator goes; the root itself stays a directory name.
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!containsVantrel(dir)) dir += "_vantrel";

    // Only one level each: a missing parent shows up in the probe below.
    if (sharedFolder(dir)) {
        if (const int claimed = claimPrivateDir(dir); claimed != 0) return claimed;
    } else {
        ::mkdir(dir.c_str(), 0777);
    }
    ::mkdir((dir + "/files").c_str(), 0777);

    const int result = probeCache(dir + "/files");
    if (result == 0) writeExampleInput(s);
    return result;
}

bool findMainDir(Session& s) {
    const auto candidates = mainDirCandidates();
    int found = -1;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const int result = setMainDir(s, candidates[i]);
        if (result == 0) {
            found = static_cast<int>(i);
            break;
        }
        report(s, "Cannot use " + s.mainDir + " as the main directory: " + whyNot(result));
    }
    if (found == 0) return true;
    if (found < 0) s.mainDir.clear();

    auto answer = s.dialogs->inputBox(askPrompt, "Set Vantrel Main Directory", s.mainDir);
    int result = setMainDir(s, answer.value_or(""));
    if (result == 0) return true;
    s.dialogs->messageBox(cannotContinue(result), Buttons::OK);
    return false;
}

void clearCache(Session& s, bool askFirst) {
    const std::string cache = s.mainDir + "/files";
    if (askFirst) {
        Answer a = s.dialogs->messageBox("This will delete all files in the subdirectory " + cache + ".",
                                         Buttons::OKCancel, "Clear Orbital Cache", Icon::Information);
        if (a != Answer::OK) return;
    }

    // Through the folder itself, never a link to another one: names are
    // looked at and deleted inside the folder that was opened.
    const int dirFd = s.mainDir.empty()  // "/files" would be the root's
                          ? -1
                          : ::open(cache.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st {};
    if (dirFd < 0 && ::lstat(cache.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        s.dialogs->messageBox(cache + " is a symbolic link; nothing was deleted.");
    std::vector<std::string> names;
    DIR* folder = dirFd >= 0 ? ::fdopendir(dirFd) : nullptr;
    if (!folder && dirFd >= 0) ::close(dirFd);
    while (folder) {
        const dirent* entry = ::readdir(folder);
        if (!entry) break;
        // Names beginning with "." are hidden here and not ours to delete.
        if (entry->d_name[0] != '.' && ::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            names.emplace_back(entry->d_name);
    }
    int count = 0;
    for (const auto& n : names) {
        if (::unlinkat(dirFd, n.c_str(), 0) != 0) break;  // the files after it stay
        ++count;
    }
    if (folder) ::closedir(folder);

    if (askFirst) s.dialogs->messageBox(intText(count) + " files were deleted.", Buttons::OK);
    updateOrbital(s, true);
}

void newCacheClick(Session& s) {
    const std::string old = s.mainDir;
    auto answer = s.dialogs->inputBox(askPrompt, "New Vantrel Main Directory", old);
    if (setMainDir(s, answer.value_or("")) != 0) setMainDir(s, old);
    const std::string& dir = s.mainDir;
    s.dialogs->messageBox("The main directory for VANTREL is " + dir + crlf +
                              "The directory in which HTML and XYZ files will be saved is " + dir + "/files",
                          Buttons::OK);
    updateOrbital(s, true);
}

}  // namespace vantrel
