// The main window's reactions on the plain window state: every event of
// the window, the start-up order and the shared window operations.
#pragma once

#include <functional>
#include <string>

namespace vantrel {

struct Control;

// Calls from the reactions into the views. Each does nothing until a view
// (or a test) installs it.
struct WindowHooks {
    std::function<void(Control&)> focusrequest;  // focus a control; a text box gets all its text selected
    std::function<void()> showlevels, closelevels;
    std::function<void()> showspectrum, closespectrum;
    std::function<void(bool)> enablelevels;  // the level window follows enablecontrols
    std::function<void()> quitapplication;   // "E&xit": close the main window
};
WindowHooks& windowhooks();

// Wires every control's reaction into form() and installs the hooks
// (enablecontrols, level setup) into hooks().
void installreactions();

void enablecontrols(bool enabled);
void selectall(Control& textbox);
// Shared initialisation: random seed, tables, colour classes, main
// directory. False when no main directory could be had.
bool initglobals();

// Start-up steps up to showing the window (false: the program must end).
bool loadform();
// Steps after the window is shown: the command line and the caption.
void afterShow(const std::string& commandline);

// Enter in txtNLM(i): returns true when the key was swallowed.
bool nlmkeyenter(int i);
// Esc while a run is going.
void escapepressed();
// The window became active.
void formactivated();

}  // namespace vantrel
