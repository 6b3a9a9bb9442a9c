// Runs a user's action from an event handler: an exception it throws is
// shown to the user instead of reaching the event loop.
#pragma once

#include <exception>
#include <functional>

#include "output/platform.h"

namespace vantrel {

inline void runGuarded(Dialogs& dialogs, const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        dialogs.messageBox(e.what());
    }
}

}  // namespace vantrel
