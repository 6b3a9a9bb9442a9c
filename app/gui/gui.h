// The Qt face of the program.
#pragma once

#include <string>
#include <vector>

class QApplication;

namespace vantrel {

struct Session;

// Shows the session's main window, applies the command line, runs until
// it closes.
int runGui(Session& s, QApplication& app, const std::vector<std::string>& arguments);
// The program run under the name INSTALL: appends the help files to a copy
// of the program named on the command line, with dialogs when there is a
// display and on the console otherwise.
int runInstallBuilder(bool display, const std::string& commandLine);

}  // namespace vantrel
