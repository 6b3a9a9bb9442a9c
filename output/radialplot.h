// Radial probability analysis and its plot on a picture surface.
#pragma once

#include <cstdint>
#include <string>

#include "engine/radialhistogram.h"

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
    // A histogram bar at x from y1 to y2 that fills left..right, so that
    // neighbouring bins touch at any size; a plain line where widths mean nothing.
    virtual void bar(double x, double left, double right, double y1, double y2, std::uint32_t color) {
        (void)left, (void)right;
        line(x, y1, x, y2, color);
    }
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

// The axis: Angstroms from the nucleus, labelled to suit the extent.
struct RadialAxis {
    double extent = 2;  // half the side of the sampling cube
    int axisMax = 10;   // axis length in Angstroms
};

// What a distribution plot shows and how.
struct RadialPlotData {
    RadialAxis axis;
    int defaultExtent = 2;  // the extent the orbital's level asks for
    int points = 0;         // points sampled, whose half marks the median
    const RadialHistogram& histogram;
    const RadialTheory& theory;
};
struct RadialPlotStyle {
    bool theory = false;     // the theory curve, not the hits
    bool nodes = false;      // coloured by the sign of R, nodes marked
    bool showRadii = false;  // the most probable and median radius marked
};

// Captions that go with a drawn plot, and the median radius found.
struct RadialPlotText {
    std::string pointCount;      // hits counted
    std::string probableRadius;  // most probable radius, extent advice or colour legend
    std::string medianRadius;
    double median = 0;           // Angstroms, 0 when none was found
};

void drawRadialAxes(PlotCanvas& canvas, const RadialAxis& axis);
// Draws the hits (or the theory curve) over the axes.
RadialPlotText drawRadialDistribution(PlotCanvas& canvas, const RadialPlotData& data, const RadialPlotStyle& style);

}  // namespace vantrel
