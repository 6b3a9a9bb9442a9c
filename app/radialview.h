// The radial plot as the main window shows it: drawn with the window's
// plot and colour options, its captions put on the window's labels.
#pragma once

#include <string>

namespace vantrel {

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
