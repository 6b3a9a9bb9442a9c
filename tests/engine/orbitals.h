// An orbital set up in one call, and psi at a point.
#pragma once

#include "engine/wavefunction.h"

namespace vantrel::test {

inline Orbital orbital(int z, int n, int l, int m) {
    Orbital o;
    o.setup(z, n, l, m);
    return o;
}

inline double psi(const Orbital& o, double x, double y, double z) {
    double r, r2, radial = 0;
    return o.evaluate(x, y, z, r, r2, radial);
}

}  // namespace vantrel::test
