// Runs one step of an operation that must go on with its next step
// whatever this one throws.
#pragma once

namespace vantrel {

template <typename F>
void ignoringErrors(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace vantrel
