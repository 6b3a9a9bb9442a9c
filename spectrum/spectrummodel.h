// The hydrogen atom's levels n = 1..20 and the 190 emission lines between
// them: energies, frequency, wavelength, display colour, where each sits on
// the level ladders and the spectrum strip, and the two look-ups from a
// point to a level or a line. Drawing units are twips, y downwards.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vantrel {

// The literals the window has always used; the speed of light is 2.99e8.
inline constexpr double groundStateEnergy = -2.1798736e-18;  // joules
inline constexpr double planckConstant = 6.626076e-34;       // J s
inline constexpr double speedOfLight = 2.99e8;               // m/s
// The double product, not the nearest double to the decimal 1.981196724e-25.
extern const double planckTimesLight;

inline constexpr int highestLevel = 20;
inline constexpr int lineCount = highestLevel * (highestLevel - 1) / 2;  // 190
inline constexpr int firstMagnifiedLevel = 6;

// Colours as 0x00BBGGRR (red in the low byte).
inline constexpr std::uint32_t greyColor = 0xD3D3D3;
inline constexpr std::uint32_t violetColor = 0xD30094;
inline constexpr std::uint32_t blueColor = 0xFF0000;
inline constexpr std::uint32_t tealColor = 0x808000;
inline constexpr std::uint32_t greenColor = 0x008000;
inline constexpr std::uint32_t yellowColor = 0x00FFFF;
inline constexpr std::uint32_t orangeColor = 0x00A5FF;
inline constexpr std::uint32_t redColor = 0x0000FF;

struct SpectrumLevel {
    int firstLine = 0;  // lines before those that end on this level
    int mainY = 0;      // on the main ladder
    int magnifiedY = 0; // on the magnified ladder (3900 below level 6)
    double energy = 0;  // joules
};

struct SpectrumLine {
    int upper = 0;
    int lower = 0;
    double energy = 0;      // photon energy, joules, positive
    double wavelength = 0;  // metres
    double frequency = 0;   // hertz
    int x = 0;              // in the spectrum strip
    std::uint32_t color = 0;
};

// Index 0 of each table is unused by the build; line 0 is scratch space
// for a free pointer on the strip.
struct SpectrumTables {
    std::array<SpectrumLevel, highestLevel + 1> levels{};
    std::array<SpectrumLine, lineCount + 1> lines{};
};

SpectrumTables buildSpectrumTables();

bool isLevel(int n);  // 1..20
bool isLine(int k);   // 1..190
// Index of the line upper -> lower (upper > lower), 0 when there is none.
int lineBetween(const SpectrumTables& t, int upper, int lower);

double frequencyOf(double energy);
double wavelengthOf(double energy);  // 0 for an energy of 0
std::uint32_t colorFromWavelength(double wavelength);

// A photon energy to its place in the strip and back; a height on either
// ladder to the level energy there (joules).
double stripX(double photonEnergy);
double energyAtMainY(double y);
double energyAtMagnifiedY(double y);
double photonEnergyAtStripX(double x);

// digits >= 0: scientific with that many decimals ("4.57E+14");
// digits < 0: plain, rounded to -digits significant digits ("654").
std::string roundOff(double x, int digits);

// The line nearest to x in the strip (lower index on ties), 0 when every
// line is 4000 or more away.
int findNearestSpectrumLine(const SpectrumTables& t, float x);
// The level whose line is at or up to 60 below the point, on the ladder
// under x; 0 for none.
int findLevelAt(const SpectrumTables& t, float x, float y);

// Where the ladders are hit (exclusive bounds).
inline constexpr int mainLadderLeft = 1000, mainLadderRight = 1400;
inline constexpr int magnifiedLadderLeft = 2600, magnifiedLadderRight = 3000;
// Strip geometry.
inline constexpr int stripLeft = 100, stripSpan = 3600;
inline constexpr int lineTop = 400, lineBottom = 800;

}  // namespace vantrel
