#include "app/maindir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/globals.h"
#include "engine/orbital.h"
#include "output/platform.h"
#include "engine/textutil.h"
#include "output/fileutil.h"
#include "app/orbitalcontrols.h"

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

void writeExampleInput() {
    const std::string path = globals().mainDir + "/input.txt";
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return;  // whatever is there is the user's
    std::string text;
    for (const char* line : exampleInput) {
        if (!text.empty()) text += crlf;
        text += line;
    }
    if (!writeWholeFile(path, text)) {
        const int err = errno;
        dialogs().messageBox(std::string(std::strerror(err)) + " writing the example sequence file " + path,
                             Buttons::OK);
    }
}

bool containsVantrel(const std::string& name) { return lower(name).find("vantrel") != std::string::npos; }

std::string cannotContinue(int result) {
    std::string text = "Cannot continue ";
    if (result > 0) text += ": " + std::string(std::strerror(result));
    return text;
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
    candidates.emplace_back("/tmp/vantrel");
    return candidates;
}

int setMainDir(const std::string& name) {
    std::string& dir = globals().mainDir;
    dir = name;  // case kept: Linux names are case-sensitive
    if (dir.empty()) return -1;
    // One trailing separator goes; the root itself stays a directory name.
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!containsVantrel(dir)) dir += "_vantrel";

    // Only one level each: a missing parent shows up in the probe below.
    ::mkdir(dir.c_str(), 0777);
    ::mkdir((dir + "/files").c_str(), 0777);

    const std::string probe = dir + "/files/session";
    int result = 0;
    int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        result = errno;
    } else if (::close(fd) != 0) {
        result = errno;
    }
    ::unlink(probe.c_str());
    if (result == 0) writeExampleInput();
    return result;
}

bool findMainDir() {
    const auto candidates = mainDirCandidates();
    int found = -1;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const int result = setMainDir(candidates[i]);
        if (result == 0) {
            found = static_cast<int>(i);
            break;
        }
        report("Cannot use " + globals().mainDir + " as the main directory: " +
               (result > 0 ? std::strerror(result) : "no name"));
    }
    if (found == 0) return true;
    if (found < 0) globals().mainDir.clear();

    auto answer = dialogs().inputBox(askPrompt, "Set Vantrel Main Directory", globals().mainDir);
    int result = setMainDir(answer.value_or(""));
    if (result == 0) return true;
    dialogs().messageBox(cannotContinue(result), Buttons::OK);
    return false;
}

void clearCache(bool askFirst) {
    const std::string cache = globals().mainDir + "/files";
    if (askFirst) {
        Answer a = dialogs().messageBox("This will delete all files in the subdirectory " + cache + ".",
                                        Buttons::OKCancel, "Clear Orbital Cache", Icon::Information);
        if (a != Answer::OK) return;
    }

    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(cache, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sec;
        std::string name = it->path().filename().string();
        // Names beginning with "." are hidden here and not ours to delete.
        if (it->symlink_status(sec).type() == fs::file_type::regular && name[0] != '.')
            names.push_back(std::move(name));
    }
    // Without a main directory "/files" would be the root's: touch nothing.
    if (globals().mainDir.empty()) names.clear();
    int count = 0;
    for (const auto& n : names) {
        if (::unlink((cache + "/" + n).c_str()) != 0) break;  // the files after it stay
        ++count;
    }

    if (askFirst) dialogs().messageBox(intText(count) + " files were deleted.", Buttons::OK);
    updateOrbital(true);
}

void newCacheClick() {
    const std::string old = globals().mainDir;
    auto answer = dialogs().inputBox(askPrompt, "New Vantrel Main Directory", old);
    if (setMainDir(answer.value_or("")) != 0) setMainDir(old);
    const std::string& dir = globals().mainDir;
    dialogs().messageBox("The main directory for VANTREL is " + dir + crlf +
                             "The directory in which HTML and XYZ files will be saved is " + dir + "/files",
                         Buttons::OK);
    updateOrbital(true);
}

}  // namespace vantrel
