// The radial plot as the main window shows it: drawn with the window's
// plot and colour options, its captions put on the window's labels.
#pragma once

namespace vantrel {

// The theory curve for the current orbital (nothing while a run draws).
void showTheory();
void drawRadialPlot(bool showRadii);
// The theory curve for the window's region.
double calcWindowTheory();
// Empties the histogram and the plot.
void resetRadialPlot();

}  // namespace vantrel
