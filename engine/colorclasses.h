// The colour classes of a cloud: fifteen probability classes, each shown as
// an element symbol (1 the most probable), or the sign of psi.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

namespace vantrel {

inline constexpr int probabilityClassCount = 15;

// Symbol of class 1..15 as the XYZ file writes it (two characters, a
// one-letter symbol padded with a blank); "" outside that range.
std::string_view classSymbol(int cls);
// Class of a point: 15 - floor(15 psi^2 / maxPsi2), within 1..15 (NaN: 1).
// Inline and without floor(): the 3-D view keys every point by it.
inline int probabilityClass(double psi, double maxPsi2) {
    const double psi2 = psi * psi;
    const double ratio = maxPsi2 > 0 ? psi2 / maxPsi2 : (psi2 > 0 ? HUGE_VAL : 0.0);
    const double x = probabilityClassCount * ratio;
    if (!(x < probabilityClassCount)) return 1;  // the largest, infinite or NaN
    if (x < 1) return probabilityClassCount;
    return probabilityClassCount - static_cast<int>(x);  // x in [1, 15): truncation is floor
}
// Symbol for the sign of psi: "N" (shown blue) above zero, "O" (red) otherwise.
std::string_view signSymbol(double psi);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};
// Colour of an element symbol (blanks and case ignored); unknown ones pink.
Rgb elementColour(std::string_view symbol);
inline Rgb classColour(int cls) { return elementColour(classSymbol(cls)); }
inline Rgb signColour(double psi) { return elementColour(signSymbol(psi)); }

}  // namespace vantrel
