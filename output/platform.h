// The few things the program needs from the platform: dialogs and paths.
// The Qt program, the headless program and the tests each plug in their
// own faces (app/platformhooks.h holds the one the program uses).
#pragma once

#include <deque>
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

// Default answer of a message box with these buttons.
Answer defaultAnswer(Buttons buttons);

std::string executableDir();  // folder of the running executable
// Folder of the data files (frame template, help documents, viewer) of the
// program in programDir: that folder in a build tree or a self-contained
// copy, share/vantrel beside bin/ in an installation, or userDataDir()
// where a self-contained copy in a read-only folder unpacked them.
std::string findDataDir(const std::string& programDir);
// $XDG_DATA_HOME/vantrel, or ~/.local/share/vantrel.
std::string userDataDir();
std::string tempDir();     // system temporary directory, no trailing '/'
bool hasDisplay();         // DISPLAY or WAYLAND_DISPLAY set

}  // namespace vantrel
