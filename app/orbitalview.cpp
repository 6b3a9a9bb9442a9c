#include "app/orbitalview.h"

#include <algorithm>

#include "app/windowstate.h"
#include "app/appstate.h"
#include "engine/psigrid.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {
// Handed on at once beyond this (20 MB): memory stays bounded when nobody takes them.
constexpr std::size_t maxWaiting = std::size_t{1} << 20;
}  // namespace

bool OrbitalView::accept(const CloudPoint& point, double) {
    waiting_.add(point);
    if (waiting_.size() >= maxWaiting) flush();
    return true;
}

void OrbitalView::flush() {
    renderer.addPoints(waiting_);
    waiting_.clear();
}

bool OrbitalView::takeNewPoints() {
    flush();
    const std::size_t count = renderer.pointCount();
    const bool fresh = count != seenPoints_;
    seenPoints_ = count;
    return fresh;
}

void OrbitalView::follow(const std::string& orbitalKey) {
    if (orbitalKey == key_) return;
    key_ = orbitalKey;
    clear();
}

void OrbitalView::clear() {
    clearPoints();
    hideSurfaces();
}

void OrbitalView::clearPoints() {
    waiting_.clear();
    renderer.clearPoints();
}

void OrbitalView::setCube(double extent, double maxPsi2) {
    view.extent = extent;
    view.maxPsi2 = maxPsi2;
}

void OrbitalView::addPoints(std::span<const CloudPoint> points) { renderer.addPoints(points); }

std::string OrbitalView::loadPoints(const std::string& pointFile, const std::function<void()>& keepResponsive) {
    const PointFileCloud cloud = readPointCloud(pointFile, keepResponsive);
    clearPoints();
    renderer.addPoints(cloud.points);
    view.maxPsi2 = cloud.maxPsi2;
    return cloud.problem;
}

void OrbitalView::setEnclosedPercent(int percent, const Orbital& orbital, double extent) {
    enclosedPercent_ = std::clamp(percent, minEnclosedPercent, maxEnclosedPercent);
    if (surfacesShown_) showSurfaces(orbital, extent);
}

std::string OrbitalView::showSurfaces(const Orbital& orbital, double extent) {
    hideSurfaces();
    const PsiGridOutcome grid = evaluatePsiGrid(orbital, extent);
    if (!grid.problem.empty()) return grid.problem;
    OrbitalSurfaces made = orbitalSurfaces(orbital, grid.grid, enclosedPercent_);
    if (!made.problem.empty()) return made.problem;
    surfaces_ = std::move(made.surfaces);
    renderer.setSurfaces(signMeshes(surfaces_));
    view.surfaceNote = made.note;
    surfacesShown_ = true;
    return "";
}

void OrbitalView::hideSurfaces() {
    surfacesShown_ = false;
    surfaces_ = {};
    renderer.setSurfaces({});
    view.surfaceNote.clear();
}

void syncOrbitalView(MainWindowState& window, const OrbitalState& orbital) {
    OrbitalView& v = window.orbitalView;
    // The point file's name holds n, l, m, the plane, Z and quick mode.
    v.follow(orbital.csvFile + " " + numText(orbital.extent));
    v.mirror(window);
    v.view.extent = orbital.extent;
}

}  // namespace vantrel
