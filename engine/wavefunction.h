// The real hydrogen-like wave function: radial factor times polar factor
// times azimuthal factor, from coefficient tables set up once per orbital.
#pragma once

#include <array>
#include <vector>

namespace vantrel {

inline constexpr double bohr = 0.52918;                  // Angstroms
inline constexpr double piValue = 3.14159265358882;      // the short value the results are defined with
inline constexpr double sqrt2Value = 1.414214;
inline constexpr double angularZero = 1e-10;
inline constexpr double radialOnly = -999999.0;
inline constexpr int factorialMax = 50;                   // largest index of the factorial table

// k! for k = 0..factorialMax, made at compile time.
inline constexpr std::array<double, factorialMax + 1> factorial = [] {
    std::array<double, factorialMax + 1> f{};
    f[0] = 1;
    for (int k = 1; k <= factorialMax; ++k) f[k] = k * f[k - 1];
    return f;
}();

// True when n and l fit the factorial table (n + l <= 50).
bool fitsTable(int n, int l);

// Coefficients of one orbital.
struct Orbital {
    int z = 1, n = 1, l = 0, m = 0;
    std::vector<double> radialCoef;   // 0..n-l-1
    std::vector<double> angularCoef;  // |m|..l used
    double radialNorm = 0;
    double laguerreScale = 0;
    double angularNorm = 0;

    // A 1s orbital of hydrogen.
    Orbital();

    // Fills the tables for z, n, l, m. Numbers that are invalid or do not
    // fit the factorial table leave everything unchanged.
    void setup(int z, int n, int l, int m);

    // psi at (x, y, z) in Angstroms; r, r2 out; `radial` in: radialOnly asks
    // for the radial factor alone; out: R(r).
    double evaluate(double x, double y, double z, double& r, double& r2, double& radial) const {
        return evaluator(*this, x, y, z, r, r2, radial);
    }

private:
    using Evaluator = double (*)(const Orbital&, double, double, double, double&, double&, double&);
    static constexpr int fixedL = 6;  // l up to this gets code compiled for its l and |m|
    template <int L, int A>
    static double evaluateAs(const Orbital& o, double x, double y, double z, double& r, double& r2,
                             double& radial);
    template <int L, int A>
    static Evaluator pick(int l, int a);
    double polar(double c) const;                         // polar sum at cos theta = c
    double angular(double x, double y, double z) const;  // polar times azimuthal factor

    Evaluator evaluator = nullptr;
    // The two polynomials of the tables, evaluated by their three-term
    // recurrences (stable where the power sums cancel badly, and cheaper).
    static constexpr int maxSteps = factorialMax;
    double rhoScale = 0;    // rho per Angstrom
    double radialScale = 0; // radial sum = radialScale * Laguerre polynomial
    double polarScale = 0;  // polar sum = polarScale * Legendre-type polynomial
    double solidScale = 0;  // polarScale * rhoScale^l
    double expScale = 0;    // r to the exponent's argument in 64ths of a power of 2
    int radialSteps = 0;    // n - l - 1
    int polarSteps = 0;     // l - |m|
    int absm = 0;
    bool oddParity = false;  // l + |m| odd: zero on the plane z = 0
    std::array<double, maxSteps> lagSlope{}, lagConst{}, lagPrev{};
    std::array<double, maxSteps> legSlope{}, legPrev{};
};

// Radial overlap of the p state na and the s state nb of charge z, summed
// in bins of 1/binsPerAngstrom Angstrom.
double getIntensity(int z, int na, int nb, int binsPerAngstrom);

}  // namespace vantrel
