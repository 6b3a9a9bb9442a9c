// The wave function evaluated term by term as first written: a general
// power routine for every power, the angles through arctangents with
// quadrant corrections, cos and sin of the polar angle from the angle.
// It is the reference that the fast evaluation is checked and timed against.
#pragma once

#include <cmath>
#include <cstdlib>

#include "engine/wavefunction.h"

namespace vantrel::test {

inline double literalWaveFunction(const Orbital& o, double x, double y, double z, double& r, double& r2,
                                  double& radial) {
    const int n = o.n, l = o.l, m = o.m, a = std::abs(m);
    const double s = x * x + y * y;
    r2 = z * z + s;
    r = std::sqrt(r2);
    const double rho = (2.0 * o.z) * r / n / bohr;

    double p = 0;
    for (int k = 0; k <= n - l - 1; ++k) p += std::pow(-rho, k) * o.radialCoef[k];
    double big = std::pow(rho, l) * std::exp(-rho / 2);
    big = big * p;
    const bool only = radial == radialOnly;
    radial = big;
    if (only) return big;

    // On the plane x = 0 the sign of y picks the half turn.
    const double phi = x == 0 ? (y < 0 ? -piValue / 2 : piValue / 2) : std::atan(y / x) + (x < 0 ? piValue : 0.0);

    double theta = 0, c, sn;
    bool skip = false;
    if (z == 0) {
        c = 0;
        sn = 1;
        skip = (l + m) % 2 != 0;
    } else {
        double t = std::atan(std::sqrt(s) / z);
        if (z < 0) t += piValue;
        c = std::cos(t);
        sn = std::sin(t);
    }
    if (!skip) {
        double q = 0;
        for (int k = a; k <= l; ++k) q += std::pow(1 - c, l - k) * std::pow(1 + c, k - a) * o.angularCoef[k];
        theta = std::fabs(std::pow(sn, a)) * q;
    }

    double f = 1;
    if (m > 0) f = std::cos(m * phi) * sqrt2Value;
    if (m < 0) f = std::sin(a * phi) * sqrt2Value;
    if (std::fabs(f) < angularZero) f = 0;
    return theta * big * f;
}

}  // namespace vantrel::test
