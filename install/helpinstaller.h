// Help files carried inside the program file: where the Help menu finds
// them, writing them out (install side) and appending them to a copy of a
// program (build side, when the program runs under the name INSTALL).
#pragma once

#include <string>
#include <vector>

#include "output/platform.h"  // Dialogs, userDataDir()

namespace vantrel {

// What the caller does once the installer has run.
enum class InstallerResult { Continue, EndProgram };

std::string runningProgramFile();  // the executable itself (/proc/self/exe)
// Where relative names are written: the program's directory when it can
// be written to and is not an installation's bin/, otherwise userDataDir().
std::string helpInstallDir(const std::string& programDir);
// Where the Help menu looks, in order: the data directory, the program's
// directory, userDataDir().
std::vector<std::string> helpDirs(const std::string& programDir);
// The first existing helpDirs()/name, or "" when there is none.
std::string findHelpFile(const std::string& name, const std::string& programDir);
bool helpFilesMissing(const std::string& programDir);

// Install side: lists the files of the archive in programFile, asks, and
// writes them below destinationDir. EndProgram when the user declined.
InstallerResult installHelpFiles(Dialogs& dialogs, const std::string& programFile,
                                 const std::string& destinationDir);
// The same for the running program, into helpInstallDir(programDir).
InstallerResult runInstaller(Dialogs& dialogs, const std::string& programDir);

// True when argv[0] names the program INSTALL.
bool invokedAsBuilder(const std::string& argv0);
// Build side: appends the files of "_install.lst" in the current directory
// to a copy of the program named on the command line, written into the
// temporary directory. Returns the exit status of the program.
int buildSelfContained(Dialogs& dialogs, const std::string& commandLine);

}  // namespace vantrel
