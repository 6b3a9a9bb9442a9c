#include "app/radialview.h"

#include "app/orbitalcontrols.h"
#include "app/session.h"
#include "engine/radialhistogram.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

RadialAxis currentAxis(const OrbitalState& o) { return {o.extent, o.axisMax}; }

}  // namespace

void RadialPlotSurface::setCanvas(PlotCanvas* c) {
    canvas_ = c ? c : &none_;
    shows = Shows::Nothing;  // a new surface shows nothing of ours yet
}

void drawRadialAxes(Session& s) {
    s.radialPlot.shows = RadialPlotSurface::Shows::Axes;
    drawRadialAxes(s.radialPlot.canvas(), currentAxis(s.orbital));
}

void clearRadialPlot(Session& s) {
    s.radialPlot.shows = RadialPlotSurface::Shows::Nothing;
    s.radialPlot.canvas().clear();
}

void redrawRadialPlot(Session& s) {
    const RadialPlotStyle style = s.radialPlot.style;
    switch (s.radialPlot.shows) {
    case RadialPlotSurface::Shows::Nothing:
        break;
    case RadialPlotSurface::Shows::Axes:
        drawRadialAxes(s);
        break;
    case RadialPlotSurface::Shows::Distribution:
        plotRadialDistribution(s, style.theory, style.nodes, style.showRadii);
        break;
    }
}

RadialPlotText plotRadialDistribution(Session& s, bool theory, bool nodes, bool showRadii) {
    RadialPlotSurface& plot = s.radialPlot;
    plot.shows = RadialPlotSurface::Shows::Distribution;
    plot.style = {theory, nodes, showRadii};
    const RadialPlotData data{currentAxis(s.orbital), defaultExtent(s.orbital), s.run.nPoints, s.radial.histogram,
                              s.radial};
    const RadialPlotText text = drawRadialDistribution(plot.canvas(), data, plot.style);
    s.radial.medianRadius = text.median;
    return text;
}

void showTheory(Session& s) {
    auto& f = s.window;
    if (!f.canCalculate) return;  // invalid numbers, or the controls are held
    calcWindowTheory(s);
    if (isNodal(s)) {
        f.nodeLabel.visible = true;
        f.planeLabel.visible = false;
        return;
    }
    // Out to the corner of the cube.
    s.radial.histogram.maxBin = radialSize(s.orbital);
    drawRadialPlot(s, true);
    f.planeLabel.caption = "restricted to the " + upper(s.orbital.planeName) + " plane";
    f.planeLabel.visible = !f.regionOptions[0].checked;
}

void redrawTheory(Session& s) {
    if (s.window.plotModeOptions[1].checked) showTheory(s);
}

void drawRadialPlot(Session& s, bool showRadii) {
    MainWindowState& f = s.window;
    const RadialPlotText text =
        plotRadialDistribution(s, f.plotModeOptions[1].checked, f.colourModeOptions[1].checked, showRadii);
    f.pointCountLabel.caption = text.pointCount;
    f.probableRadiusLabel.caption = text.probableRadius;
    f.medianRadiusLabel.caption = text.medianRadius;
    f.pointCountLabel.visible = f.plotModeOptions[0].checked || !showRadii;
}

std::string radialResultText(const MainWindowState& f) {
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

double calcWindowTheory(Session& s) { return calcTheory(s, !s.window.regionOptions[0].checked); }

void resetRadialPlot(Session& s) {
    resetRadialHits(s);
    clearRadialPlot(s);
}

}  // namespace vantrel
