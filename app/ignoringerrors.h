// Runs one step of the window's start-up or refresh that must go on with
// its next step whatever this one throws (a lack of memory, a file system
// error); the step's own outcome shows in the window state.
#pragma once

#include <exception>

namespace vantrel {

template <typename F>
void ignoringErrors(F&& f) {
    try {
        f();
    } catch (const std::exception&) {
    }
}

}  // namespace vantrel
