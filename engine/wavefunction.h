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

// Coefficients of one orbital; the program's current one is `current()`.
struct Orbital {
    int z = 1, n = 1, l = 0, m = 0;
    std::vector<double> radialcoef;   // 0..n-l-1
    std::vector<double> angularcoef;  // |m|..l used
    double radialnorm = 0;
    double laguerrescale = 0;
    double angularnorm = 0;

    // Fills the tables for z, n, l, m (valid numbers that fit the table).
    void setup(int z, int n, int l, int m);

    // psi at (x, y, z) in Angstroms; r, r2 out; `radial` in: radialonly asks
    // for the radial factor alone; out: R(r).
    double evaluate(double x, double y, double z, double& r, double& r2, double& radial) const;
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
