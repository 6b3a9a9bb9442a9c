// What a session needs from the platform besides its dialogs: the calls
// from the core into its windows, and shorthands for them.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "output/platform.h"

namespace vantrel {

struct Session;

// Calls from the core into the windows. Each does nothing until a window
// (or a test) installs it.
struct Hooks {
    std::function<void(bool)> enableControls;
    std::function<void()> refresh;                       // bring the view up to date with the state
    std::function<void()> processEvents;                 // run pending window events
    std::function<void(bool)> busy;                      // busy pointer on/off
    std::function<bool(const std::string&, bool maximised)> openUrl;  // open a document
    std::function<void(const std::string&)> report;        // progress line of a batch run
    std::function<int()> screenWidthTwips;                 // of the screen the window is on
    // When pumpEvents last let events run.
    std::chrono::steady_clock::time_point eventsRan{};
};

// Shorthands on the session's hooks that do nothing while the hook is not
// installed.
void callEnableControls(Session& s, bool enabled);
void refreshView(Session& s);  // repaint what changed (a label's "repaint it")
void setBusy(Session& s, bool on);
void report(Session& s, const std::string& line);  // the console prints it; the window has its caption

// Lets pending events run when at least 20 ms passed since the last time,
// so long loops stay responsive without paying for it on every step.
void pumpEvents(Session& s);
// The same without the time check (once per sequence-file line, say).
void processEvents(Session& s);
// pumpEvents as the callback output/'s long loops take to stay responsive.
std::function<void()> eventPump(Session& s);

// Folder of the data files for the session's program folder.
std::string dataDir(const Session& s);

}  // namespace vantrel
