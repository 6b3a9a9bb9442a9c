#include "install/helpinstaller.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "engine/textutil.h"
#include "output/fileutil.h"
#include "output/platform.h"
#include "install/helparchive.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// A name as the user reads it: control characters (a line break, an
// escape sequence for the terminal) are shown as \n, \x1B and so on.
std::string shownName(const std::string& name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (unsigned char c : name) {
        if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else if (c == '\t') shown += "\\t";
        else if (c < 0x20 || c == 0x7f) shown += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        else shown += static_cast<char>(c);
    }
    return shown;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text.append("\n").append(shownName(line));
    return text;
}

}  // namespace

std::string runningProgramFile() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string helpInstallDir(const std::string& dir) {
    // An installed program (data in share/vantrel) lives in a system folder
    // such as /usr/bin, which root could write to but must not.
    const bool installed = fs::path(findDataDir(dir)).lexically_normal() != fs::path(dir).lexically_normal();
    return !installed && ::access(dir.c_str(), W_OK) == 0 ? dir : userDataDir();
}

std::vector<std::string> helpDirs(const std::string& programDir) {
    std::vector<std::string> dirs;
    for (const std::string& dir : {findDataDir(programDir), programDir, userDataDir()}) {
        bool seen = false;
        for (const std::string& d : dirs) seen = seen || fs::path(d).lexically_normal() == fs::path(dir).lexically_normal();
        if (!seen) dirs.push_back(dir);
    }
    return dirs;
}

std::string findHelpFile(const std::string& name, const std::string& programDir) {
    for (const std::string& dir : helpDirs(programDir))
        if (fileExists(dir + "/" + name)) return dir + "/" + name;
    return "";
}

bool helpFilesMissing(const std::string& programDir) { return findHelpFile("index.htm", programDir).empty(); }

InstallerResult installHelpFiles(Dialogs& dialogs, const std::string& programFile,
                                 const std::string& destinationDir) {
    const ArchiveContents contents = readArchive(programFile);
    switch (contents.status) {
    case ArchiveContents::Status::NoArchive:
        dialogs.messageBox("This version of the EXE file does not contain the installation files.");
        return InstallerResult::Continue;
    case ArchiveContents::Status::Unreadable:
        dialogs.messageBox("The help files cannot be read: " + contents.problem + ".");
        return InstallerResult::Continue;
    case ArchiveContents::Status::Damaged:
        dialogs.messageBox("The help files inside " + programFile + " are damaged: " + contents.problem +
                           ". Nothing was installed.");
        return InstallerResult::Continue;
    case ArchiveContents::Status::Ok:
        break;
    }
    std::string list;
    for (const ArchiveEntry& entry : contents.entries) list += shownName(entry.name) + " ";
    if (dialogs.messageBox("The following files will be installed:\n\n" + list + "\n\ninto " + shownName(destinationDir),
                           Buttons::OKCancel) != Answer::OK)
        return InstallerResult::EndProgram;

    const ExtractOutcome outcome = extractArchive(programFile, contents.entries, destinationDir);
    if (!outcome.failed.empty())
        dialogs.messageBox(std::string("These files could not be written:").append(joined(outcome.failed)));
    return InstallerResult::Continue;
}

InstallerResult runInstaller(Dialogs& dialogs, const std::string& programDir) {
    return installHelpFiles(dialogs, runningProgramFile(), helpInstallDir(programDir));
}

bool invokedAsBuilder(const std::string& argv0) { return fs::path(argv0).filename() == "INSTALL"; }

int buildSelfContained(Dialogs& dialogs, const std::string& commandLine) {
    std::string target = trim(commandLine);
    if (target.empty()) {
        dialogs.messageBox(
            "_INSTALL.LST should be prepared. The command line needs the name of the EXE file to append to.");
        target = trim(dialogs.inputBox("EXE to append to?", "", "").value_or(""));
        if (target.empty()) return 1;
    }
    const std::string here = fs::current_path().string();
    const std::string copy = tempDir() + "/" + fs::path(target).filename().string();
    const BuildOutcome outcome = buildArchive(target, copy, here + "/_install.lst", here);
    dialogs.messageBox(outcome.message);
    return outcome.ok ? 0 : 1;
}

}  // namespace vantrel
