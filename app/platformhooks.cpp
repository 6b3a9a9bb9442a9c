#include "app/platformhooks.h"

#include "app/session.h"

namespace vantrel {

void callEnableControls(Session& s, bool enabled) {
    if (s.hooks.enableControls) s.hooks.enableControls(enabled);
}

void refreshView(Session& s) {
    if (s.hooks.refresh) s.hooks.refresh();
}

void setBusy(Session& s, bool on) {
    if (s.hooks.busy) s.hooks.busy(on);
}

void report(Session& s, const std::string& line) {
    if (s.hooks.report) s.hooks.report(line);
}

void processEvents(Session& s) {
    if (s.hooks.refresh) s.hooks.refresh();
    if (s.hooks.processEvents) s.hooks.processEvents();
}

void pumpEvents(Session& s) {
    const auto now = std::chrono::steady_clock::now();
    if (now - s.hooks.eventsRan >= std::chrono::milliseconds(20)) {
        s.hooks.eventsRan = now;
        processEvents(s);
    }
}

std::function<void()> eventPump(Session& s) {
    return [&s] { pumpEvents(s); };
}

std::string dataDir(const Session& s) { return findDataDir(s.programDir); }

}  // namespace vantrel
