#include "output/cubefile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "output/replacingfile.h"

namespace vantrel {

double cubeFileFactor(const Orbital& orbital) {
    const double azimuthal = orbital.m == 0 ? 2 * M_PI : M_PI * sqrt2Value * sqrt2Value;
    return std::pow(bohr, 1.5) / std::sqrt(azimuthal);
}

namespace {

// v as printf's %13.5E writes it (to_chars rounds the same way and is far
// quicker over millions of values).
void appendE13(std::string& to, double v) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, v + 0.0, std::chars_format::scientific, 5).ptr;
    const std::size_t n = static_cast<std::size_t>(end - digits);
    if (n < 13) to.append(13 - n, ' ');
    for (const char* c = digits; c != end; ++c) to += *c == 'e' ? 'E' : *c;
}

// A count and a vector, as the header's lines give them.
std::string headerLine(int count, double a, double b, double c) {
    char line[96];
    std::snprintf(line, sizeof line, "%5d%12.6f%12.6f%12.6f\n", count, a, b, c);
    return line;
}

}  // namespace

std::string writeCubeFile(const std::string& path, const PsiGrid& grid, const Orbital& orbital) {
    if (grid.points < minGridPoints || grid.psi.size() != grid.index(grid.points, 0, 0))
        return "There is no grid of psi to write to " + path + ".";
    ReplacingFile file(path);
    const double step = grid.spacing() / bohr;
    const double origin = grid.coordinate(0) / bohr;
    char title[160];
    std::snprintf(title, sizeof title, "Vantrel orbital n=%d l=%d m=%d of Z=%d, real hydrogen-like psi\n", orbital.n,
                  orbital.l, orbital.m, orbital.z);
    std::string text = title;
    std::snprintf(title, sizeof title, "psi in bohr^-3/2 (integral of psi^2 = 1), %d^3 points over +-%g Angstroms\n",
                  grid.points, grid.extent);
    text += title;
    text += headerLine(1, origin, origin, origin);
    text += headerLine(grid.points, step, 0, 0);
    text += headerLine(grid.points, 0, step, 0);
    text += headerLine(grid.points, 0, 0, step);
    // the nucleus: Z, its charge, and where it is
    char atom[96];
    std::snprintf(atom, sizeof atom, "%5d%12.6f%12.6f%12.6f%12.6f\n", orbital.z, double(orbital.z), 0.0, 0.0, 0.0);
    text += atom;
    file.write(text);

    const double factor = cubeFileFactor(orbital);
    const int n = grid.points;
    for (std::size_t row = 0; row < grid.psi.size(); row += n) {
        text.clear();
        for (int k = 0; k < n; ++k) {
            appendE13(text, grid.psi[row + k] * factor);
            if (k % 6 == 5 || k == n - 1) text += '\n';
        }
        file.write(text);
    }
    return file.commit();
}

}  // namespace vantrel
