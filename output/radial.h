// Radial probability analysis and its plot on radialPlot.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// The picture surface of the radial plot. Coordinates: x in the horizontal
// scale set by setScale, y in twips-like units from 0 at the top, about 285
// visible. Colours are 0x00BBGGRR.
class PlotCanvas {
public:
    virtual ~PlotCanvas() = default;
    virtual void clear() = 0;
    virtual void setScale(double left, double right) = 0;
    virtual void line(double x1, double y1, double x2, double y2, std::uint32_t color) = 0;
    // Prints text with its left edge at the current position.
    virtual void print(double x, double y, const std::string& text, std::uint32_t color) = 0;
    virtual double textWidth(const std::string& text) = 0;  // in horizontal scale units
    virtual void refresh() {}
};

// Draws nothing; used when no window is there.
class NullCanvas : public PlotCanvas {
public:
    void clear() override {}
    void setScale(double, double) override {}
    void line(double, double, double, double, std::uint32_t) override {}
    void print(double, double, const std::string&, std::uint32_t) override {}
    double textWidth(const std::string& text) override { return 6.0 * text.size(); }
};

PlotCanvas& radialPlotCanvas();
void setRadialPlotCanvas(PlotCanvas* canvas);  // nullptr: back to the null canvas

int binsPerAngstrom(int a);

// Highest radial bin any point can fall in.
inline constexpr int maxRadialBin = 32000;
// Highest bin index of a histogram for this extent and k bins per Angstrom
// (bins 0..size): round(sqrt(3) * extent * k), at most maxRadialBin, 0 for
// an extent that is not positive.
int histogramSize(double extent, int k);
// The same for the current extent with binsPerAngstrom(1).
int radialSize();
// Bin of distance r: round(r * k), ties to even, at most maxRadialBin; -1
// for a distance that is not a number.
int radialBin(double r, int k);
// Counts one hit in radialHits(bin) and keeps maxHits and maxBin; false
// (nothing counted) when the bin lies beyond the histogram.
bool addRadialHit(int bin);
void resetRadialHits();
double calcTheory();
void showTheory();
void drawRadialAxes();
void drawRadialPlot(bool showRadii);

}  // namespace vantrel
