// The main window's 3-D view as plain state: how it looks (the view's
// camera and options) and what it shows of the current orbital: the run's
// points as they come, a loaded file's points, and the surfaces that
// enclose a chosen share of the probability.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/orbitalexports.h"
#include "cloudview/cloudviewstate.h"
#include "engine/pointsink.h"
#include "output/cloudrender.h"

namespace vantrel {

struct MainWindowState;

// A sink of the sampling run: the points wait until the window takes them
// for a frame (about ten times a second), and the renderer draws only the
// new ones.
class OrbitalView : public PointSink {
public:
    CloudViewState view;
    CloudRenderer renderer;
    // A window shows the view: only then does a run feed it (a batch run's
    // pictures are drawn from the point file).
    bool shown = false;

    bool accept(const CloudPoint& point, double r) override;
    // Hands the waiting points to the renderer.
    void flush();
    // flush(); true when points came since the last call: a frame is due.
    bool takeNewPoints();

    // What the view shows the points of: a different orbital (another
    // point file, cube or charge) clears it first.
    void follow(const std::string& orbitalKey);
    // A change of orbital: no points, no surfaces; the camera stays.
    void clear();
    // A fresh run of the same orbital: no points; the surfaces stay.
    void clearPoints();
    // The cube the points lie in and the probability classes' scale.
    void setCube(double extent, double maxPsi2);
    void addPoints(std::span<const CloudPoint> points);
    // Shows a point file's cloud instead of what was shown; "" or the problem.
    // keepResponsive runs now and then while the file is read.
    std::string loadPoints(const std::string& pointFile, const std::function<void()>& keepResponsive = {});

    // The window's display options, as the view shows them.
    void mirror(const MainWindowState& window) { applyDisplayOptions(window, view); }

    int enclosedPercent() const { return enclosedPercent_; }
    // Kept within the allowed percentages; shown surfaces are made again.
    void setEnclosedPercent(int percent, const Orbital& orbital, double extent);
    // Makes and shows the surfaces of the orbital over its cube; "" or the problem.
    std::string showSurfaces(const Orbital& orbital, double extent);
    void hideSurfaces();
    bool surfacesShown() const { return surfacesShown_; }
    // The enclosed share and the level c while the surfaces show, else "".
    const std::string& surfaceLabel() const { return view.surfaceNote; }
    const SignSurfaces& surfaces() const { return surfaces_; }

private:
    CloudPoints waiting_;
    std::size_t seenPoints_ = 0;
    std::string key_;
    int enclosedPercent_ = defaultEnclosedPercent;
    bool surfacesShown_ = false;
    SignSurfaces surfaces_;
};

struct OrbitalState;
// Brings the window's view in step with its controls: another orbital
// clears it; the colour options, "Black Background" and "Include Bounding
// Box" show in it.
void syncOrbitalView(MainWindowState& window, const OrbitalState& orbital);

}  // namespace vantrel
