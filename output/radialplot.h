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

PlotCanvas& radialPlotCanvas();
void setRadialPlotCanvas(PlotCanvas* canvas);  // nullptr: back to the null canvas

// Captions that go with a drawn plot.
struct RadialPlotText {
    std::string pointCount;      // hits counted
    std::string probableRadius;  // most probable radius, extent advice or colour legend
    std::string medianRadius;
};

void drawRadialAxes();
// Empties the surface.
void clearRadialPlot();
// Draws again what the surface shows, laid out for its present size (after
// a resize, the text widths and margins are different).
void redrawRadialPlot();
// Draws the hits (or, with theory, the theory curve) over the axes; with
// showRadii the most probable and median radius are marked.
RadialPlotText plotRadialDistribution(bool theory, bool nodes, bool showRadii);

}  // namespace vantrel
