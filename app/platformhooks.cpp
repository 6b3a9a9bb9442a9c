#include "app/platformhooks.h"

#include <chrono>

#include "output/viewerfiles.h"

namespace vantrel {

namespace {
ConsoleDialogs consoleDialogs;
Dialogs* currentDialogs = &consoleDialogs;
std::string progDir;
std::string threeDir = defaultThreeDir;
}  // namespace

Dialogs& dialogs() { return *currentDialogs; }
void setDialogs(Dialogs* d) { currentDialogs = d ? d : &consoleDialogs; }

Hooks& hooks() {
    static Hooks h;
    return h;
}

void callEnableControls(bool enabled) {
    if (hooks().enableControls) hooks().enableControls(enabled);
}

void refreshView() {
    if (hooks().refresh) hooks().refresh();
}

void setBusy(bool on) {
    if (hooks().busy) hooks().busy(on);
}

void report(const std::string& line) {
    if (hooks().report) hooks().report(line);
}

void processEvents() {
    auto& h = hooks();
    if (h.refresh) h.refresh();
    if (h.processEvents) h.processEvents();
}

void pumpEvents() {
    using clock = std::chrono::steady_clock;
    static clock::time_point last{};
    auto now = clock::now();
    if (now - last >= std::chrono::milliseconds(20)) {
        last = now;
        processEvents();
    }
}

std::string programDir() {
    if (progDir.empty()) progDir = executableDir();
    return progDir;
}

void setProgramDir(const std::string& dir) { progDir = dir; }

std::string dataDir() { return findDataDir(programDir()); }

const std::string& systemThreeDir() { return threeDir; }
void setSystemThreeDir(const std::string& dir) { threeDir = dir; }

}  // namespace vantrel
