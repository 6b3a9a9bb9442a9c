#include "spectrum/spectrummodel.h"

#include <cmath>

#include "engine/textutil.h"

namespace vantrel {

// Not constexpr: the product must be the run-time double product.
const double planckTimesLight = planckConstant * speedOfLight;

namespace {

constexpr int magnifiedBelowRange = 3900;  // levels 1..5 are off the magnified ladder
constexpr double magnification = 30;
constexpr float levelHitBand = 60;
constexpr int farAway = 4000;

int toInt(double x) { return clampInt(roundEven(x)); }

}  // namespace

bool isLevel(int n) { return n >= 1 && n <= highestLevel; }
bool isLine(int k) { return k >= 1 && k <= lineCount; }

SpectrumTables buildSpectrumTables() {
    SpectrumTables t;
    for (int n = 1; n <= highestLevel; ++n) {
        SpectrumLevel& level = t.levels[n];
        level.energy = groundStateEnergy / n / n;
        level.mainY = toInt(3600.0 / n / n + 200);
        level.magnifiedY = n >= firstMagnifiedLevel ? toInt(108000.0 / n / n + 200) : magnifiedBelowRange;
    }
    int k = 0;
    for (int lower = 1; lower < highestLevel; ++lower) {
        t.levels[lower].firstLine = k;
        for (int upper = lower + 1; upper <= highestLevel; ++upper) {
            SpectrumLine& line = t.lines[++k];
            line.upper = upper;
            line.lower = lower;
            line.energy = t.levels[upper].energy - t.levels[lower].energy;
            line.wavelength = wavelengthOf(line.energy);
            line.color = colorFromWavelength(line.wavelength);
            line.frequency = frequencyOf(line.energy);
            line.x = toInt(stripX(line.energy));
        }
    }
    return t;
}

int lineBetween(const SpectrumTables& t, int upper, int lower) {
    if (!isLevel(upper) || !isLevel(lower) || upper <= lower) return 0;
    return t.levels[lower].firstLine + (upper - lower);
}

double frequencyOf(double energy) { return energy / planckConstant; }

double wavelengthOf(double energy) { return energy == 0 ? 0 : planckTimesLight / energy; }

std::uint32_t colorFromWavelength(double wavelength) {
    if (wavelength == 0) return 0;
    const double nm = wavelength * 1e9;
    if (nm > 700 || nm < 400) return greyColor;
    if (nm < 450) return violetColor;
    if (nm < 470) return blueColor;
    if (nm < 500) return tealColor;
    if (nm < 560) return greenColor;
    if (nm < 600) return yellowColor;
    if (nm < 620) return orangeColor;
    return redColor;
}

double stripX(double photonEnergy) { return stripLeft - (photonEnergy / groundStateEnergy) * stripSpan; }
double energyAtMainY(double y) { return groundStateEnergy * (y - 200) / 3600; }
double energyAtMagnifiedY(double y) { return groundStateEnergy * (y - 200) / 3600 / magnification; }
double photonEnergyAtStripX(double x) { return groundStateEnergy * (stripLeft - x) / stripSpan; }

std::string roundOff(double x, int digits) {
    if (digits >= 0) return formatPicture(x, "0." + std::string(digits, '0') + "E+0");
    std::string text = numText(x);
    std::string sign;
    if (!text.empty() && text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    const double rounded = val(formatPicture(val(text), "0." + std::string(-digits - 1, '0') + "E+0"));
    text = sign + formatPicture(rounded, "0.##");
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

int findNearestSpectrumLine(const SpectrumTables& t, float x) {
    long long best = farAway;
    int found = 0;
    for (int k = 1; k <= lineCount; ++k) {
        const long long d = roundEven(std::fabs(x - float(t.lines[k].x)));
        if (d < best) best = d, found = k;
    }
    return found;
}

int findLevelAt(const SpectrumTables& t, float x, float y) {
    const bool onMain = x > mainLadderLeft && x < mainLadderRight;
    const bool onMagnified = x > magnifiedLadderLeft && x < magnifiedLadderRight;
    if (!onMain && !onMagnified) return 0;
    for (int n = onMain ? 1 : firstMagnifiedLevel; n <= highestLevel; ++n) {
        const float levelY = float(onMain ? t.levels[n].mainY : t.levels[n].magnifiedY);
        if (y > levelY) return 0;  // below this level: between two lines
        if (levelY - y < levelHitBand) return n;
    }
    return 0;
}

}  // namespace vantrel
