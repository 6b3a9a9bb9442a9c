// The real hydrogen-like wave function: radial factor times polar factor
// times azimuthal factor, from coefficient tables set up once per orbital.
#pragma once

#include <array>
#include <vector>

namespace vantrel {

inline constexpr double bohr = 0.52918;                  // Angstroms
inline constexpr double pivalue = 3.14159265358882;      // as the original program used it
inline constexpr double sqrt2value = 1.414214;
inline constexpr double angularzero = 1e-10;
inline constexpr double radialonly = -999999.0;
inline constexpr int factorialmax = 50;                   // largest index of the factorial table

extern std::array<double, factorialmax + 1> factorial;
void fillfactorial();

// True when n and l fit the factorial table (n + l <= 50).
bool fitstable(int n, int l);

// Coefficients of one orbital; the program's current one is `currentorbital()`.
struct Orbital {
    int z = 1, n = 1, l = 0, m = 0;
    std::vector<double> radialcoef;   // 0..n-l-1
    std::vector<double> angularcoef;  // |m|..l used
    double radialnorm = 0;
    double laguerrescale = 0;
    double angularnorm = 0;

    // A 1s orbital of hydrogen.
    Orbital();

    // Fills the tables for z, n, l, m. Numbers that are invalid or do not
    // fit the factorial table leave everything unchanged.
    void setup(int z, int n, int l, int m);

    // psi at (x, y, z) in Angstroms; r, r2 out; `radial` in: radialonly asks
    // for the radial factor alone; out: R(r).
    double evaluate(double x, double y, double z, double& r, double& r2, double& radial) const {
        return evaluator(*this, x, y, z, r, r2, radial);
    }

private:
    using Evaluator = double (*)(const Orbital&, double, double, double, double&, double&, double&);
    static constexpr int fixedl = 6;  // l up to this gets code compiled for its l and |m|
    template <int L, int A>
    static double evaluateas(const Orbital& o, double x, double y, double z, double& r, double& r2,
                             double& radial);
    template <int L, int A>
    static Evaluator pick(int l, int a);
    double polar(double c) const;                         // polar sum at cos theta = c
    double angular(double x, double y, double z) const;  // polar times azimuthal factor

    Evaluator evaluator = nullptr;
    // The two polynomials of the tables, evaluated by their three-term
    // recurrences (stable where the power sums cancel badly, and cheaper).
    static constexpr int maxsteps = factorialmax;
    double rhoscale = 0;    // rho per Angstrom
    double radialscale = 0; // radial sum = radialscale * Laguerre polynomial
    double polarscale = 0;  // polar sum = polarscale * Legendre-type polynomial
    double solidscale = 0;  // polarscale * rhoscale^l
    double expscale = 0;    // r to the exponent's argument in 64ths of a power of 2
    int radialsteps = 0;    // n - l - 1
    int polarsteps = 0;     // l - |m|
    int absm = 0;
    bool oddparity = false;  // l + |m| odd: zero on the plane z = 0
    std::array<double, maxsteps> lagslope{}, lagconst{}, lagprev{};
    std::array<double, maxsteps> legslope{}, legprev{};
};

Orbital& currentorbital();

// Fills the current orbital's tables from the shared state's n, l, m, Z.
void setcoefficients();
double wavefunction(double x, double y, double z, double& r, double& r2, double& radial);

// Radial overlap of the p state na and the s state nb.
void getintensity(int na, int nb, double& value);
// Writes the table of all overlaps for n up to 20 to int.csv in the
// temporary directory.
void getallintensities();

}  // namespace vantrel
