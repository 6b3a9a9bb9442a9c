// The radial plot as the main window shows it: drawn with the window's
// plot and colour options, its captions put on the window's labels.
#pragma once

#include <string>

#include "output/radialplot.h"

namespace vantrel {

// The surface the plot draws on; nullptr puts back one that draws nothing.
PlotCanvas& radialPlotCanvas();
void setRadialPlotCanvas(PlotCanvas* canvas);

// The axes for the current extent and axis length.
void drawRadialAxes();
// Empties the surface.
void clearRadialPlot();
// Draws again what the surface shows, laid out for its present size (after
// a resize, the text widths and margins are different).
void redrawRadialPlot();
// Draws the hits (or, with theory, the theory curve) of the current orbital
// over the axes; with showRadii the most probable and median radius are
// marked and the median is kept.
RadialPlotText plotRadialDistribution(bool theory, bool nodes, bool showRadii);

// The theory curve for the current orbital (nothing while a run draws).
void showTheory();
// The theory curve again when it is what the plot shows.
void redrawTheory();
void drawRadialPlot(bool showRadii);
// The theory curve for the window's region.
double calcWindowTheory();
// The point count's caption when a run finds the region to be a node.
inline const std::string nodeCountCaption = "NODE!";

// What the window shows of the last run, on one line: "NODE!" and why, the
// extent advice, or the most probable and median radius ("" when nothing).
std::string radialResultText();
// Empties the histogram and the plot.
void resetRadialPlot();

}  // namespace vantrel
