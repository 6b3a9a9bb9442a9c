// The main window's reactions on the plain window state: every event of
// the window, the start-up order and the shared window operations.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/orbital.h"

namespace vantrel {

struct Control;
struct Session;

// Calls from the reactions into the views. Each does nothing until a view
// (or a test) installs it.
struct WindowHooks {
    std::function<void(Control&)> focusRequest;  // focus a control; a text box gets all its text selected
    std::function<void()> showLevels, closeLevels;
    std::function<void()> showSpectrum, closeSpectrum;
    std::function<void(bool)> enableLevels;  // the level window follows enableControls
    // The level window shows this orbital; all zero for numbers that name none.
    std::function<void(const OrbitalNumbers&)> levelsFollow;
    std::function<void(bool)> enableSpectrum;  // so does the spectrum window's level picking
    std::function<void()> quitApplication;   // "E&xit": close the main window
    std::function<void()> showAbout;         // the About box; a plain message box without it
};

// Wires every control's reaction into the session's window; each reaction
// holds the session. Installs enableControls into s.hooks.
void installReactions(Session& s);

void enableControls(Session& s, bool enabled);
void selectAll(Session& s, Control& textbox);
// The random seed and the main directory. False when no main directory
// could be had.
bool initSession(Session& s);

// Start-up steps up to showing the window (false: the program must end).
bool loadWindow(Session& s);
// Steps after the window is shown: the command line and the caption.
void afterShow(Session& s, const std::vector<std::string>& arguments);

// Enter in quantumText(i): returns true when the key was swallowed.
bool quantumKeyEnter(Session& s, int i);
// Esc while a run is going.
void escapePressed(Session& s);
// The window became active.
void formActivated(Session& s);

}  // namespace vantrel
