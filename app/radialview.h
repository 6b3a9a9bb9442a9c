// The radial plot as the main window shows it: drawn with the window's
// plot and colour options, its captions put on the window's labels.
#pragma once

#include <string>

#include "output/radialplot.h"

namespace vantrel {

struct MainWindowState;
struct Session;

// The surface the radial plot draws on and what it shows there, so that it
// can be drawn again at another size.
class RadialPlotSurface {
public:
    RadialPlotSurface() = default;
    RadialPlotSurface(const RadialPlotSurface&) = delete;
    RadialPlotSurface& operator=(const RadialPlotSurface&) = delete;

    PlotCanvas& canvas() { return *canvas_; }
    // nullptr puts back one that draws nothing.
    void setCanvas(PlotCanvas* canvas);

    enum class Shows { Nothing, Axes, Distribution };
    Shows shows = Shows::Nothing;
    RadialPlotStyle style;  // of the distribution shown

private:
    NullCanvas none_;
    PlotCanvas* canvas_ = &none_;
};

// The axes for the current extent and axis length.
void drawRadialAxes(Session& s);
// Empties the surface.
void clearRadialPlot(Session& s);
// Draws again what the surface shows, laid out for its present size (after
// a resize, the text widths and margins are different).
void redrawRadialPlot(Session& s);
// Draws the hits (or, with theory, the theory curve) of the current orbital
// over the axes; with showRadii the most probable and median radius are
// marked and the median is kept.
RadialPlotText plotRadialDistribution(Session& s, bool theory, bool nodes, bool showRadii);

// The theory curve for the current orbital (nothing while a run draws).
void showTheory(Session& s);
// The theory curve again when it is what the plot shows.
void redrawTheory(Session& s);
void drawRadialPlot(Session& s, bool showRadii);
// The theory curve for the window's region.
double calcWindowTheory(Session& s);
// The point count's caption when a run finds the region to be a node.
inline const std::string nodeCountCaption = "NODE!";

// What the window shows of the last run, on one line: "NODE!" and why, the
// extent advice, or the most probable and median radius ("" when nothing).
std::string radialResultText(const MainWindowState& window);
// Empties the histogram and the plot.
void resetRadialPlot(Session& s);

}  // namespace vantrel
