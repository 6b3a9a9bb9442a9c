// The few things the program needs from the platform: dialogs, event
// processing, paths and the clock. The Qt program, the headless program
// and the tests each plug in their own faces.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

enum class Buttons { OK, OKCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question };
enum class Answer { OK, Cancel, Yes, No };

// Every message box and input box of the program goes through here.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An empty title means the application's own title.
    virtual Answer messageBox(const std::string& text, Buttons buttons = Buttons::OK,
                              const std::string& title = "", Icon icon = Icon::None) = 0;
    // std::nullopt when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultAnswer) = 0;
};

// No display: print the text, take the default answer (OK, Yes, the
// input box's default).
class ConsoleDialogs : public Dialogs {
public:
    Answer messageBox(const std::string& text, Buttons buttons, const std::string& title,
                      Icon icon) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultAnswer) override;
};

// Tests: answers come from a script; every text shown is recorded. With
// the script empty the default answer is taken, as on the console.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        std::string text;
        std::string title;
        Buttons buttons;
    };
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> inputs;
    std::vector<Shown> shown;

    Answer messageBox(const std::string& text, Buttons buttons, const std::string& title,
                      Icon icon) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultAnswer) override;
    bool saw(const std::string& fragment) const;  // any shown text contains fragment
};

Dialogs& dialogs();
void setDialogs(Dialogs* d);  // nullptr restores the console face

// Default answer of a message box with these buttons.
Answer defaultAnswer(Buttons buttons);

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

std::string programDir();  // folder of the running executable
void setProgramDir(const std::string& dir);
// Folder of the data files (frame template, help documents, viewer): the
// program's folder in a build tree or a self-contained copy, share/vantrel
// beside bin/ in an installation, or userDataDir() where a self-contained
// copy in a read-only folder unpacked them.
std::string dataDir();
// $XDG_DATA_HOME/vantrel, or ~/.local/share/vantrel.
std::string userDataDir();
std::string tempDir();     // system temporary directory, no trailing '/'
bool hasDisplay();         // DISPLAY or WAYLAND_DISPLAY set

}  // namespace vantrel
