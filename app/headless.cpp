#include "app/headless.h"

#include <iostream>

#include "app/mainwindow.h"
#include "app/sequence.h"
#include "engine/globals.h"
#include "engine/platform.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

const char* const usage =
    "Vantrel: orbitals of one-electron atoms.\n"
    "Without a display Vantrel runs a sequence file and writes its pages:\n"
    "  vantrel [CLEAR] SEQUENCE-FILE\n"
    "CLEAR empties the orbital cache first. Files go to $VANTREL_HOME\n"
    "(or ~/vantrel, or /tmp/vantrel), pages into its subdirectory files.\n"
    "Each message is printed and answered with its default.";

}  // namespace

int runheadless(const std::string& commandline) {
    setdialogs(nullptr);  // the console: print, take the default answer
    // Nothing to do: say how, without creating any directory.
    if (trim(commandline).empty()) {
        std::cout << usage << std::endl;
        return 0;
    }
    installreactions();
    hooks().report = [](const std::string& line) { std::cout << line << std::endl; };
    if (!loadform()) return 1;  // "Cannot continue ..." was printed already
    std::cout << "Main directory: " << globals().maindir << std::endl;
    afterShow(commandline);
    const std::string index = globals().maindir + "/files/index.htm";
    if (fileexists(index)) std::cout << "Index by energy: " << index << std::endl;
    switch (lastsequenceoutcome()) {
    case SequenceOutcome::OpenFailed:
    case SequenceOutcome::WrongType:
        return 1;
    default:
        return 0;
    }
}

}  // namespace vantrel
