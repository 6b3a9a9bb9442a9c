#include "app/orbitalview.h"

#include <algorithm>

#include "engine/psigrid.h"
#include "output/pointfile.h"

namespace vantrel {

void OrbitalView::clear() {
    renderer.clearPoints();
    hideSurfaces();
}

void OrbitalView::setCube(double extent, double maxPsi2) {
    view.extent = extent;
    view.maxPsi2 = maxPsi2;
}

void OrbitalView::addPoints(std::span<const CloudPoint> points) { renderer.addPoints(points); }

std::string OrbitalView::loadPoints(const std::string& pointFile) {
    const PointFileCloud cloud = readPointCloud(pointFile);
    renderer.clearPoints();
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

}  // namespace vantrel
