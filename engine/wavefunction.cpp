#include "engine/wavefunction.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <cstdlib>

#include "engine/orbital.h"
#include "engine/textutil.h"

namespace vantrel {

bool fitsTable(int n, int l) { return n >= 0 && l >= 0 && n + l <= factorialMax; }

namespace {

// The angles are measured with the program's own value of pi, so every
// angle that gained a half or whole turn is off the true one by this much
// (exact: the two values are within a factor two of each other).
constexpr double piDelta = piValue - 3.141592653589793;

// The azimuthal factor exactly as measured through the arctangent; decides
// the cut to zero near the nodal planes.
double azimuthFromAngle(double x, double y, int m) {
    double phi;
    if (x == 0) {
        phi = y < 0 ? -piValue / 2 : piValue / 2;
    } else {
        phi = std::atan(y / x);
        if (x < 0) phi += piValue;
    }
    const double f = m > 0 ? std::cos(m * phi) * sqrt2Value : std::sin(-m * phi) * sqrt2Value;
    return std::fabs(f) < angularZero ? 0.0 : f;
}

// e^(-rho/2) given w = -rho / (2 ln 2) * 64, so that the result is 2^(w/64):
// 2^(k/64) for the nearest whole k from a table, the exponent added to its
// bits, times a short series in the remainder (|w - k| <= 1/2). Within a
// few units in the last place of the exact value for that w; inline and
// without the library's checks it is much cheaper than exp.
constexpr double expStep = 0.6931471805599453 / 64;  // ln 2 / 64
// 2^(j/64) less j in the exponent's last bits, summed in long double at
// compile time so that the table is there before any other initialisation.
struct ExpTable {
    std::array<std::uint64_t, 64> bits{};
    constexpr ExpTable() {
        for (int j = 0; j < 64; ++j) {
            const long double x = j * 0.693147180559945309417232121458176568L / 64;
            long double sum = 1, term = 1;
            for (int k = 1; k < 30; ++k) sum += term *= x / k;
            bits[j] = std::bit_cast<std::uint64_t>(static_cast<double>(sum)) - (std::uint64_t(j) << 46);
        }
    }
};
constexpr ExpTable expTable;

[[gnu::noinline, gnu::cold]] double expFar(double w) { return std::exp(w * expStep); }

inline double exp2By64(double w) {
    if (!(w >= -65000)) return expFar(w);  // near underflow, or NaN
    constexpr double shift = 0x1.8p52;     // adding it rounds to a whole number in the low bits
    constexpr double c1 = expStep, c2 = c1 * c1 / 2, c3 = c2 * c1 / 3, c4 = c3 * c1 / 4, c5 = c4 * c1 / 5;
    const double kd = w + shift;
    const std::uint64_t ki = std::bit_cast<std::uint64_t>(kd);
    const double f = w - (kd - shift);
    const double f2 = f * f;
    const double p = (1 + c1 * f) + f2 * ((c2 + c3 * f) + f2 * (c4 + c5 * f));
    return std::bit_cast<double>(expTable.bits[ki & 63] + (ki << 46)) * p;
}

// piDelta for negative v, 0 for positive v, without a branch: the sign of
// a random coordinate is not predictable.
inline double halfTurn(double v) { return piDelta * (0.5 - std::copysign(0.5, v)); }

// 1/sqrt(v) for normal positive v to about 2e-3: the classic bit estimate
// and one Newton step, no divide.
inline double roughRsqrt(double v) {
    const double y = std::bit_cast<double>(0x5fe6eb50c7b537a9ULL - (std::bit_cast<std::uint64_t>(v) >> 1));
    return y * (1.5 - 0.5 * v * y * y);
}

// (u + iv)^a by repeated rotation: cos and sin of a times the angle, scaled
// by the a-th power of the length.
inline void rotatePower(double u, double v, int a, double& re, double& im) {
    re = u;
    im = v;
    for (int i = 1; i < a; ++i) {
        const double t = re * u - im * v;
        im = im * u + re * v;
        re = t;
    }
}

}  // namespace

Orbital::Orbital() { setup(1, 1, 0, 0); }

void Orbital::setup(int zn, int nn, int ln, int mn) {
    if (zn < 1 || nn < 1 || ln < 0 || ln >= nn || mn < -ln || mn > ln || !fitsTable(nn, ln)) return;
    const auto f = [](int k) { return factorial[k]; };
    const int a = std::abs(mn);
    z = zn;
    n = nn;
    l = ln;
    m = mn;

    radialNorm = std::sqrt(f(n - l - 1) / 2.0 / n / std::pow(f(n + l), 3)) *
                 std::pow(2.0 * z / n / bohr, 1.5);
    laguerreScale = std::pow(f(n + l), 2);
    angularNorm = std::pow(2.0, -l) * f(l) * f(l + a) *
                  std::sqrt((2 * l + 1) * f(l - a) / 2.0 / f(l + a));
    radialCoef.assign(n - l + 1, 0.0);
    angularCoef.assign(l + 2, 0.0);
    for (int k = 0; k <= n - l - 1; ++k)
        radialCoef[k] = laguerreScale * radialNorm / f(k) / f(n - l - 1 - k) / f(2 * l + 1 + k);
    for (int k = a; k <= l; ++k)
        angularCoef[k] = std::pow(-1.0, l - k) * angularNorm / f(k) / f(l + a - k) / f(l - k) / f(k - a);

    // The radial sum is a multiple of the Laguerre polynomial L(n-l-1, 2l+1):
    // L(j+1) = ((2j+2+2l - rho) L(j) - (j+2l+1) L(j-1)) / (j+1).
    const int alpha = 2 * l + 1;
    radialSteps = n - l - 1;
    for (int j = 0; j < radialSteps; ++j) {
        lagConst[j] = double(2 * j + 1 + alpha) / (j + 1);
        lagSlope[j] = 1.0 / (j + 1);
        lagPrev[j] = double(j + alpha) / (j + 1);
    }
    // The polar sum is a multiple of P(l, |m|) / sin^|m|:
    // q(k+1) = ((2k+1) c q(k) - (k+|m|) q(k-1)) / (k-|m|+1), q(|m|) = 1.
    absm = a;
    polarSteps = l - a;
    oddParity = (l + a) % 2 != 0;
    for (int k = 0; k < polarSteps; ++k) {
        const int deg = a + k;
        legSlope[k] = double(2 * deg + 1) / (k + 1);
        legPrev[k] = double(deg + a) / (k + 1);
    }
    // Tie both to the tables: the radial sum at rho = 0 is radialCoef(0),
    // the polar sum at cos = 1 is angularCoef(l) 2^(l-|m|).
    double lag = 1, lagOld = 0;
    for (int j = 0; j < radialSteps; ++j) {
        const double next = lagConst[j] * lag - lagPrev[j] * lagOld;
        lagOld = lag;
        lag = next;
    }
    radialScale = radialCoef[0] / lag;
    double q = 1, qOld = 0;
    for (int k = 0; k < polarSteps; ++k) {
        const double next = legSlope[k] * q - legPrev[k] * qOld;
        qOld = q;
        q = next;
    }
    polarScale = std::ldexp(angularCoef[l], l - a) / q;
    rhoScale = 2.0 * z / n / bohr;
    solidScale = polarScale * std::pow(rhoScale, l);
    expScale = rhoScale * (-0.5 / expStep);
    evaluator = pick<0, 0>(l, a);
}

double Orbital::polar(double c) const {
    double q = 1, qOld = 0;
    for (int k = 0; k < polarSteps; ++k) {
        const double next = legSlope[k] * c * q - legPrev[k] * qOld;
        qOld = q;
        q = next;
    }
    return polarScale * q;
}

double Orbital::angular(double x, double y, double zc) const {
    if (zc == 0 && oddParity) return 0.0;
    // Distances for the angles; hypot where the squares may have underflowed.
    double rxy, rr;
    const double s = x * x + y * y, r2 = s + zc * zc;
    if (s < 1e-280 || r2 < 1e-280) {
        rxy = std::hypot(x, y);
        rr = std::hypot(rxy, zc);
    } else {
        rxy = std::sqrt(s);
        rr = std::sqrt(r2);
    }
    // cos and sin of the polar angle; below the xy plane the angle carries
    // the pi offset, which the first-order correction reproduces.
    double c = 0, sn = 1;
    if (zc != 0) {
        const double d = zc < 0 ? piDelta : 0.0;
        const double inv = 1.0 / rr;
        c = (zc - d * rxy) * inv;
        sn = (rxy + d * zc) * inv;
    }
    double sina = 1;
    for (int i = 0; i < absm; ++i) sina *= sn;
    const double theta = sina * polar(c);
    if (m == 0) return theta;

    // The azimuth likewise; on the z axis it counts as a quarter turn.
    double cp = 0, sp = 1, d = piDelta / 2;
    if (rxy != 0) {
        cp = x / rxy;
        sp = y / rxy;
        d = x == 0 ? (y < 0 ? -piDelta / 2 : piDelta / 2) : (x < 0 ? piDelta : 0.0);
    }
    double cm, sm;
    rotatePower(cp, sp, absm, cm, sm);
    const double md = absm * d;
    double phi = (m > 0 ? cm - sm * md : sm + cm * md) * sqrt2Value;
    // Near a nodal plane let the angle itself decide the cut to zero.
    if (std::fabs(phi) < 1e-8) phi = azimuthFromAngle(x, y, m);
    return theta * phi;
}

template <int L, int A>
double Orbital::evaluateAs(const Orbital& o, double x, double y, double zc, double& r, double& r2,
                           double& radial) {
    // With L and A given the short loops below unroll; -1 takes them from o.
    const int l = L >= 0 ? L : o.l;
    const int a = L >= 0 ? A : o.absm;
    const double s = x * x + y * y;
    r2 = zc * zc + s;
    r = std::sqrt(r2);
    const double rho = o.rhoScale * r;

    double lag = 1, lagOld = 0;
    for (int j = 0; j < o.radialSteps; ++j) {
        const double next = (o.lagConst[j] - o.lagSlope[j] * rho) * lag - o.lagPrev[j] * lagOld;
        lagOld = lag;
        lag = next;
    }
    double rhol = 1;
    for (int i = 0; i < l; ++i) rhol *= rho;
    const double decay = exp2By64(o.expScale * r) * (o.radialScale * lag);
    const double big = rhol * decay;

    const bool only = radial == radialOnly;
    radial = big;
    if (only) return big;
    if (l == 0) return o.polarScale * big;
    // On the plane z = 0, within a millionth of a radian of the z axis, or
    // too close to the nucleus for the squares: the careful way.
    if (zc == 0 || !(s >= 1e-12 * r2) || r2 < 1e-280) return big * o.angular(x, y, zc);

    // rho^l times the angular factors is a polynomial in x, y, z (a solid
    // harmonic), which needs neither r nor a divide. The pi-offset
    // corrections are of order 1e-12 and need 1/sqrt(x^2 + y^2) to a few
    // parts in a thousand only.
    const double rsq = roughRsqrt(s);
    const double dz = halfTurn(zc);
    const double zt = zc - dz * s * rsq;  // z turned by the polar offset
    double h = 1, hold = 0;
    for (int k = 0; k < l - a; ++k) {
        const double next = o.legSlope[k] * zt * h - o.legPrev[k] * r2 * hold;
        hold = h;
        h = next;
    }
    const double harmonic = o.solidScale * h;
    if (a == 0) return harmonic * decay;

    // (x + iy)^|m|, then turned by the azimuth's pi offset to first order.
    double re, im;
    rotatePower(x, y, a, re, im);
    const double turn = a * (x == 0 ? (y < 0 ? -piDelta / 2 : piDelta / 2) : halfTurn(x));
    const double value = o.m > 0 ? re - im * turn : im + re * turn;
    const double rxy = s * rsq;
    double rxyA = 1;
    for (int i = 0; i < a; ++i) rxyA *= rxy;
    // Near a nodal plane let the angle itself decide the cut to zero.
    if (!(std::fabs(value) * sqrt2Value >= 1e-8 * rxyA)) return big * o.angular(x, y, zc);
    // The polar offset scales sin^|m| by 1 + |m| offset cos / sin.
    const double tilt = 1 + a * dz * zc * rsq;
    return harmonic * decay * (tilt * value * sqrt2Value);
}

// Compiled forms for l up to fixedL, the general one above it.
template <int L, int A>
Orbital::Evaluator Orbital::pick(int l, int a) {
    if constexpr (L > fixedL) {
        return &evaluateAs<-1, -1>;
    } else if constexpr (A > L) {
        return pick<L + 1, 0>(l, a);
    } else {
        return l == L && a == A ? &evaluateAs<L, A> : pick<L, A + 1>(l, a);
    }
}

double getIntensity(int z, int na, int nb, int binsPerAngstrom) {
    if (!validNumbers(na, 1, 0) || !validNumbers(nb, 0, 0)) return 0;
    Orbital p, s;
    p.setup(z, na, 1, 0);
    s.setup(z, nb, 0, 0);
    // Over the p state's own cube.
    const double extent = defaultExtent(na, z);
    const int k = std::max(1, binsPerAngstrom);
    const long long steps = std::clamp(roundEven(std::sqrt(3.0) * extent * (k + 1)), 0LL, 32000LL);
    std::vector<double> weight(steps + 1);
    double r, r2, radial;
    for (long long i = 1; i <= steps; ++i) {
        radial = radialOnly;
        const double big = p.evaluate(double(i) / k, 0, 0, r, r2, radial);
        weight[i] = big * r * r;
    }
    double sum = 0;
    for (long long i = 1; i <= steps; ++i) {
        radial = radialOnly;
        sum += s.evaluate(double(i) / k, 0, 0, r, r2, radial) * weight[i] * r;
    }
    return sum * sum / 6575.9;
}

}  // namespace vantrel
