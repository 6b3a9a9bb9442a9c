// The program's one set of platform faces: the dialogs, the calls from the
// core into the windows and the program's folder. Still one of each for
// the whole program; output/ only knows the Dialogs interface.
#pragma once

#include <functional>
#include <string>

#include "output/platform.h"

namespace vantrel {

Dialogs& dialogs();
void setDialogs(Dialogs* d);  // nullptr restores the console face

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
};
Hooks& hooks();

// Shorthands that do nothing while the hook is not installed.
void callEnableControls(bool enabled);
void refreshView();  // repaint what changed (a label's "repaint it")
void setBusy(bool on);
void report(const std::string& line);  // the console prints it; the window has its caption

// Lets pending events run when at least 20 ms passed since the last time,
// so long loops stay responsive without paying for it on every step.
void pumpEvents();
// The same without the time check (once per sequence-file line, say).
void processEvents();

// Folder of the running executable; tests and fuzzers put another in its place.
std::string programDir();
void setProgramDir(const std::string& dir);  // "" goes back to the executable's
std::string dataDir();  // findDataDir(programDir())

// Where the system keeps three.js; tests point it elsewhere.
const std::string& systemThreeDir();
void setSystemThreeDir(const std::string& dir);

}  // namespace vantrel
