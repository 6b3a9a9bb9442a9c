#include "app/radialview.h"

#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/radialhistogram.h"
#include "engine/textutil.h"
#include "output/radialplot.h"

namespace vantrel {

void showTheory() {
    auto& f = mainWindow();
    if (!f.canCalculate) return;  // invalid numbers, or the controls are held
    calcTheory(!f.regionOptions[0].checked);
    if (isNodal()) {
        f.nodeLabel.visible = true;
        f.planeLabel.visible = false;
        return;
    }
    // Out to the corner of the cube.
    globals().radial.histogram.maxBin = radialSize();
    drawRadialPlot(true);
    f.planeLabel.caption = "restricted to the " + upper(globals().orbital.planeName) + " plane";
    f.planeLabel.visible = !f.regionOptions[0].checked;
}

void redrawTheory() {
    auto& f = mainWindow();
    if (f.plotModeOptions[1].checked) showTheory();
}

void drawRadialPlot(bool showRadii) {
    MainWindowState& f = mainWindow();
    const RadialPlotText text =
        plotRadialDistribution(f.plotModeOptions[1].checked, f.colourModeOptions[1].checked, showRadii);
    f.pointCountLabel.caption = text.pointCount;
    f.probableRadiusLabel.caption = text.probableRadius;
    f.medianRadiusLabel.caption = text.medianRadius;
    f.pointCountLabel.visible = f.plotModeOptions[0].checked || !showRadii;
}

std::string radialResultText() {
    const MainWindowState& f = mainWindow();
    auto oneLine = [](std::string text) {
        replaceAll(text, crlf, " ");
        return trim(text);
    };
    if (f.nodeLabel.visible) return nodeCountCaption + " " + f.nodeLabel.caption;
    // The colour legend alone says nothing about this orbital.
    if (f.medianRadiusLabel.caption.empty() && f.probableRadiusLabel.caption.rfind("The orbital extent", 0) != 0)
        return "";
    std::string text = oneLine(f.probableRadiusLabel.caption);
    if (!f.medianRadiusLabel.caption.empty()) text += ", " + oneLine(f.medianRadiusLabel.caption);
    return text;
}

double calcWindowTheory() { return calcTheory(!mainWindow().regionOptions[0].checked); }

void resetRadialPlot() {
    resetRadialHits();
    clearRadialPlot();
}

}  // namespace vantrel
