// One accepted point of a sampling run, in the orbital's own frame.
#pragma once

namespace vantrel {

struct CloudPoint {
    double x = 0, y = 0, z = 0;  // Angstroms
    double psi = 0;              // signed wave function value there
};

}  // namespace vantrel
