#include "app/headless.h"

#include <iostream>

#include "app/mainwindow.h"
#include "app/sequence.h"
#include "app/interruption.h"
#include "app/platformhooks.h"
#include "app/session.h"
#include "engine/textutil.h"
#include "output/fileutil.h"

namespace vantrel {

namespace {

const char* const usage =
    "Vantrel: orbitals of one-electron atoms.\n"
    "Without a display Vantrel runs a sequence file and writes its pages:\n"
    "  vantrel [CLEAR] SEQUENCE-FILE\n"
    "CLEAR empties the orbital cache first. Files go to $VANTREL_HOME\n"
    "(or ~/vantrel, or /tmp/vantrel-UID), pages into its subdirectory files.\n"
    "Each message is printed and answered with its default.";

// The console's dialogs, which also copy every complaint to standard error:
// a message with only an OK button and no icon reports a problem, unless it
// is the count that ends a sequence run.
class HeadlessDialogs : public ConsoleDialogs {
public:
    Answer messageBox(const std::string& text, Buttons buttons, const std::string& title, Icon icon) override {
        const std::string count = " processed.";
        const bool isCount = text.size() >= count.size() && text.compare(text.size() - count.size(), count.size(), count) == 0;
        const bool complaint = buttons == Buttons::OK && icon == Icon::None && !isCount;
        if (complaint) std::cerr << text << std::endl;
        return ConsoleDialogs::messageBox(text, buttons, title, icon);
    }
};

// The console's dialogs for as long as the run goes; then those there before.
class ConsoleFace {
public:
    explicit ConsoleFace(Session& s) : s_(s), previous_(s.dialogs) { s.dialogs = &console_; }
    ~ConsoleFace() { s_.dialogs = previous_; }

private:
    Session& s_;
    Dialogs* previous_;
    HeadlessDialogs console_;
};

}  // namespace

int runHeadless(Session& s, const std::vector<std::string>& arguments) {
    const ConsoleFace face(s);  // print, take the default answer
    // Nothing to do: say how, without creating any directory.
    bool nothing = true;
    for (const auto& a : arguments) nothing = nothing && trim(a).empty();
    if (nothing) {
        std::cout << usage << std::endl;
        return 0;
    }
    installReactions(s);
    s.hooks.report = [](const std::string& line) { std::cout << line << std::endl; };
    catchInterruptions();
    if (!loadWindow(s)) return 1;  // "Cannot continue ..." was printed already
    std::cout << "Main directory: " << s.mainDir << std::endl;
    afterShow(s, arguments);
    const std::string index = s.mainDir + "/files/index.htm";
    if (fileExists(index)) std::cout << "Index by energy: " << index << std::endl;
    if (interruption()) return 128 + interruption();
    switch (s.sequenceOutcome) {
    case SequenceOutcome::OpenFailed:
    case SequenceOutcome::WrongType:
    case SequenceOutcome::Incomplete:
        return 1;
    default:
        return 0;
    }
}

}  // namespace vantrel
