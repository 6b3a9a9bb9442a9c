#include "app/radialview.h"

#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "engine/radialhistogram.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

NullCanvas nullCanvas;
PlotCanvas* canvas = &nullCanvas;

// What the surface shows, so that it can be drawn again at another size.
struct Shown {
    enum Kind { Nothing, Axes, Distribution } kind = Nothing;
    RadialPlotStyle style;
} shown;

RadialAxis currentAxis() { return {globals().orbital.extent, globals().orbital.axisMax}; }

}  // namespace

PlotCanvas& radialPlotCanvas() { return *canvas; }

void setRadialPlotCanvas(PlotCanvas* c) {
    canvas = c ? c : &nullCanvas;
    shown.kind = Shown::Nothing;  // a new surface shows nothing of ours yet
}

void drawRadialAxes() {
    shown.kind = Shown::Axes;
    drawRadialAxes(*canvas, currentAxis());
}

void clearRadialPlot() {
    shown.kind = Shown::Nothing;
    canvas->clear();
}

void redrawRadialPlot() {
    switch (shown.kind) {
    case Shown::Nothing:
        break;
    case Shown::Axes:
        drawRadialAxes();
        break;
    case Shown::Distribution:
        plotRadialDistribution(shown.style.theory, shown.style.nodes, shown.style.showRadii);
        break;
    }
}

RadialPlotText plotRadialDistribution(bool theory, bool nodes, bool showRadii) {
    shown = {Shown::Distribution, {theory, nodes, showRadii}};
    auto& g = globals();
    const RadialPlotData data{currentAxis(), defaultExtent(), g.run.nPoints, g.radial.histogram, g.radial};
    const RadialPlotText text = drawRadialDistribution(*canvas, data, shown.style);
    g.radial.medianRadius = text.median;
    return text;
}

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
