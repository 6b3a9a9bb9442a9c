// The Qt face of the program.
#pragma once

#include <string>

class QApplication;

namespace vantrel {

// Shows the main window, applies the command line, runs until it closes.
int runGui(QApplication& app, const std::string& commandLine);

}  // namespace vantrel
