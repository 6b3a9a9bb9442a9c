#include "engine/globals.h"

#include "engine/wavefunction.h"

namespace vantrel {

Globals& globals() {
    static Globals g;
    return g;
}

void resetGlobals() { globals() = Globals{}; initEngine(); }

void initEngine() {
    fillFactorial();
    static const std::string pieces = "O BeArP S SiB B MgNaN I HeC H ";
    auto& ce = globals().colorElements;
    for (int i = 1; i <= 15; ++i) ce[i] = pieces.substr((i - 1) * 2, 2);
}

}  // namespace vantrel
