// Radial probability analysis and its plot on image1.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// The picture surface of the radial plot. Coordinates: x in the horizontal
// scale set by setscale, y in twips-like units from 0 at the top, about 285
// visible. Colours are 0x00BBGGRR.
class PlotCanvas {
public:
    virtual ~PlotCanvas() = default;
    virtual void clear() = 0;
    virtual void setscale(double left, double right) = 0;
    virtual void line(double x1, double y1, double x2, double y2, std::uint32_t color) = 0;
    // Prints text with its left edge at the current position.
    virtual void print(double x, double y, const std::string& text, std::uint32_t color) = 0;
    virtual double textwidth(const std::string& text) = 0;  // in horizontal scale units
    virtual void refresh() {}
};

// Draws nothing; used when no window is there.
class NullCanvas : public PlotCanvas {
public:
    void clear() override {}
    void setscale(double, double) override {}
    void line(double, double, double, double, std::uint32_t) override {}
    void print(double, double, const std::string&, std::uint32_t) override {}
    double textwidth(const std::string& text) override { return 6.0 * text.size(); }
};

PlotCanvas& image1canvas();
void setimage1canvas(PlotCanvas* canvas);  // nullptr: back to the null canvas

int binsperangstrom(int a);

// Highest radial bin any point can fall in.
inline constexpr int maxradialbin = 32000;
// Highest bin index of a histogram for this extent and k bins per Angstrom
// (bins 0..size): round(sqrt(3) * extent * k), at most maxradialbin, 0 for
// an extent that is not positive.
int histogramsize(double extent, int k);
// The same for the current extent with binsperangstrom(1).
int radialsize();
// Bin of distance r: round(r * k), ties to even, at most maxradialbin; -1
// for a distance that is not a number.
int radialbin(double r, int k);
// Counts one hit in radialhits(bin) and keeps maxhits and maxbin; false
// (nothing counted) when the bin lies beyond the histogram.
bool addradialhit(int bin);
void resetradialhits();
double calctheory();
void showtheory();
void drawradialaxes();
void drawradialplot(bool showradii);

}  // namespace vantrel
