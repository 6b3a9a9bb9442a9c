// The level and line tables, the conversions to frequency, wavelength and
// colour, the number captions and the two point look-ups, against numbers
// worked out by hand.
#include "spectrum/spectrummodel.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace vantrel {
namespace {

class SpectrumTablesTest : public ::testing::Test {
protected:
    const SpectrumTables t = buildSpectrumTables();
};

TEST_F(SpectrumTablesTest, LinesRunByLowerThenUpperLevelAcrossTheStrip) {
    int k = 0, sharedX = 0;
    std::set<int> seen;
    for (int lower = 1; lower < 20; ++lower) {
        EXPECT_EQ(t.levels[lower].firstLine, k);
        for (int upper = lower + 1; upper <= 20; ++upper) {
            const SpectrumLine& line = t.lines[++k];
            EXPECT_EQ(std::tuple(line.upper, line.lower, lineBetween(t, upper, lower)), std::tuple(upper, lower, k));
            EXPECT_GT(line.energy, 0) << k;
            EXPECT_GE(line.x, 101) << k;
            EXPECT_LE(line.x, 3691) << k;
            sharedX += !seen.insert(line.x).second;
        }
    }
    EXPECT_EQ(k, 190);
    EXPECT_EQ(sharedX, 44);  // lines sharing an x with a lower index
    EXPECT_EQ(std::tuple(t.lines[1].x, t.lines[19].x, t.lines[190].x), std::tuple(2800, 3691, 101));
    EXPECT_EQ(t.levels[20].firstLine, 0);
    // Only real pairs of levels have a line.
    for (auto [u, l] : {std::pair{3, 3}, {2, 3}, {21, 1}, {20, 0}, {20, -1}}) EXPECT_EQ(lineBetween(t, u, l), 0);
    EXPECT_EQ(t.lines[0].upper, 0);
}

TEST_F(SpectrumTablesTest, LevelsOnBothLadders) {
    EXPECT_DOUBLE_EQ(t.levels[4].energy, -2.1798736e-18 / 16);
    const std::tuple<int, int, int> ladder[] = {{1, 3800, 3900}, {2, 1100, 3900}, {5, 344, 3900},
                                                {6, 300, 3200},  {7, 273, 2404},  {20, 209, 470}};
    for (auto [n, mainY, magnifiedY] : ladder) {
        EXPECT_EQ(t.levels[n].mainY, mainY) << n;
        EXPECT_EQ(t.levels[n].magnifiedY, magnifiedY) << n;
    }
    // The pointer logic reads energies back from the same scales.
    EXPECT_DOUBLE_EQ(energyAtMagnifiedY(470), t.levels[20].energy);
    EXPECT_DOUBLE_EQ(photonEnergyAtStripX(stripX(1e-19)), 1e-19);
}

TEST_F(SpectrumTablesTest, BalmerLineAndColourBands) {
    const SpectrumLine& red = t.lines[lineBetween(t, 3, 2)];
    EXPECT_NEAR(red.energy, 3.0276e-19, 1e-23);
    EXPECT_NEAR(red.wavelength, 6.5438e-7, 1e-11);
    EXPECT_NEAR(red.frequency, 4.5692e14, 1e10);

    // Exactly four coloured lines, all Balmer.
    const std::pair<int, std::uint32_t> balmer[] = {{3, redColor}, {4, tealColor}, {5, violetColor}, {6, violetColor}};
    for (auto [upper, color] : balmer) EXPECT_EQ(t.lines[lineBetween(t, upper, 2)].color, color) << upper;
    int coloured = 0;
    for (int k = 1; k <= 190; ++k) coloured += t.lines[k].color != greyColor;
    EXPECT_EQ(coloured, 4);

    // Both ends of the visible band are closed; every band edge.
    const std::pair<double, std::uint32_t> bands[] = {
        {4.0e-7, violetColor},  {3.9999999e-7, greyColor}, {7.0e-7, redColor},       {7.0000001e-7, greyColor},
        {0, 0},                 {4.5e-7, blueColor},       {4.7e-7, tealColor},      {5.0e-7, greenColor},
        {5.6e-7, yellowColor},  {6.0e-7, orangeColor},     {6.2e-7, redColor},       {-1e-7, greyColor}};
    for (auto [wavelength, color] : bands) EXPECT_EQ(colorFromWavelength(wavelength), color) << wavelength;
    EXPECT_EQ(wavelengthOf(0), 0);
}

TEST(SpectrumRoundOff, ScientificAndSignificantDigits) {
    const std::tuple<double, int, const char*> cases[] = {
        {4.56922350758159e14, 2, "4.57E+14"}, {0, 2, "0.00E+0"},      {-3.2e-7, 1, "-3.2E-7"},
        {9.996e14, 2, "1.00E+15"},            {654.378, -3, "654"},    {4051.2, -3, "4050"},
        {91.18, -3, "91.2"},                  {121.18, -3, "121"},     {-654.378, -3, "-654"},
        {0, -3, "0"},                         {0.0123456, -3, "0.01"}, {999.6, -3, "1000"}};
    for (auto [x, digits, text] : cases) EXPECT_EQ(roundOff(x, digits), text) << x << " " << digits;
}

TEST_F(SpectrumTablesTest, NearestLine) {
    ASSERT_EQ(std::tuple(t.lines[lineBetween(t, 3, 1)].x, t.lines[lineBetween(t, 2, 1)].x), std::tuple(3300, 2800));
    const std::pair<int, int> cases[] = {
        {2800, 1}, {3700, 19}, {101, 185}, {-500, 185},  // 185, 188 and 190 share 101: the lowest wins
        {3050, 1},                                       // 250 from 3 -> 1 and 2 -> 1: the lower index wins
        {3691 + 4000, 0}, {3691 + 3999, 19}, {101 - 4000, 0}};  // 4000 or more from every line
    for (auto [x, line] : cases) EXPECT_EQ(findNearestSpectrumLine(t, x), line) << x;
}

TEST_F(SpectrumTablesTest, LevelUnderAPoint) {
    const std::tuple<float, float, int> cases[] = {
        {1200, 3800, 1},  {1200, 3741, 1}, {1200, 3740, 0},  // 60 above level 1: below level 2
        {1000, 3800, 0},  {1400, 3800, 0}, {1001, 3800, 1},  // x bounds exclusive
        {1200, 3801, 0},  {1200, 1100, 2}, {1200, 1041, 2},  {1200, 209, 8},  // dense levels: first band wins
        {2800, 2404, 7},  {2800, 470, 19}, {2800, 430, 20}, {2800, 3900, 0},  {2800, 3850, 0}, // 19 lies 29 below 20 and is scanned first; levels 1..5 are off this ladder
        {2600, 2404, 0},  {3000, 2404, 0}, {1800, 1100, 0},  {-5, -5, 0}};
    for (auto [x, y, level] : cases) EXPECT_EQ(findLevelAt(t, x, y), level) << x << "," << y;
}

}  // namespace
}  // namespace vantrel
