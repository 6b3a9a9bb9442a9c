// The few things the core needs from the platform: dialogs, event
// processing, paths, the clock and the random generator. The Qt program,
// the headless program and the tests each plug in their own faces.
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
    std::function<void(int, int, int, int)> levelSetup;  // level window setup(z, n, l, m)
    std::function<void()> refresh;                       // bring the view up to date with the state
    std::function<void()> processEvents;                 // run pending window events
    std::function<void(bool)> busy;                      // busy pointer on/off
    std::function<bool(const std::string&, int)> openUrl;  // open a document (show mode)
    std::function<void(const std::string&)> report;        // progress line of a batch run
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
std::string tempDir();     // system temporary directory, no trailing '/'
bool hasDisplay();         // DISPLAY or WAYLAND_DISPLAY set

// Seconds since midnight, local time.
double timeOfDay();

// 64-bit generator (xoshiro256**), seeded from the clock, or from
// VANTREL_SEED when that holds an integer.
class Random {
public:
    Random();
    explicit Random(std::uint64_t seed);
    void seed(std::uint64_t s);
    std::uint64_t next() {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }
    // Uniform in 0 <= u < 1 with 53 bits.
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    const std::uint64_t* state() const { return s_; }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s_[4];
};
Random& rng();
std::uint64_t startSeed();  // the VANTREL_SEED value, or one from the clock
void seedRandom();          // reseed rng() from startSeed()

}  // namespace vantrel
