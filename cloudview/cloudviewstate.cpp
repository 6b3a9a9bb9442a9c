#include "cloudview/cloudviewstate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantrel {

namespace {

constexpr double degreesPerPixel = 0.5;
constexpr double degreesPerKey = 5;
constexpr double zoomPerStep = 1.2;  // a wheel notch, a key press
constexpr double minZoom = 0.25, maxZoom = 25;

double wrapDegrees(double a) {
    a = std::fmod(a, 360.0);
    return a < -180 ? a + 360 : a >= 180 ? a - 360 : a;
}

std::string shortNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", std::abs(v) < 5e-3 ? 0.0 : std::round(v * 100) / 100);
    return buf;
}

}  // namespace

void CloudViewState::drag(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    // The cloud follows the pointer: dragging right turns its front to the
    // right, dragging down shows more of its top.
    camera.azimuth = wrapDegrees(camera.azimuth - dx * degreesPerPixel);
    camera.elevation = std::clamp(camera.elevation + dy * degreesPerPixel, -90.0, 90.0);
}

void CloudViewState::wheel(int angleDelta) { pinch(std::pow(zoomPerStep, angleDelta / 120.0)); }

void CloudViewState::pinch(double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    camera.zoom = std::clamp(camera.zoom * factor, minZoom, maxZoom);
}

void CloudViewState::resetCamera() { camera = CloudCamera{}; }

void CloudViewState::key(ViewKey k) {
    switch (k) {
        case ViewKey::left: return drag(-degreesPerKey / degreesPerPixel, 0);
        case ViewKey::right: return drag(degreesPerKey / degreesPerPixel, 0);
        case ViewKey::up: return drag(0, -degreesPerKey / degreesPerPixel);
        case ViewKey::down: return drag(0, degreesPerKey / degreesPerPixel);
        case ViewKey::zoomIn: return pinch(zoomPerStep);
        case ViewKey::zoomOut: return pinch(1 / zoomPerStep);
        case ViewKey::cutForward: return setCutOffset(cut.offset + extent / 20);
        case ViewKey::cutBack: return setCutOffset(cut.offset - extent / 20);
    }
}

void CloudViewState::viewAlong(ViewAxis a) {
    // y to the right of x, z up; looking down z, x right and y up.
    switch (a) {
        case ViewAxis::x: camera.azimuth = 0, camera.elevation = 0; break;
        case ViewAxis::y: camera.azimuth = -90, camera.elevation = 0; break;
        case ViewAxis::z: camera.azimuth = -90, camera.elevation = 90; break;
    }
}

void CloudViewState::setCutOffset(double offset) {
    if (!std::isfinite(offset)) return;
    const double e = std::isfinite(extent) && extent > 0 ? extent : 1;
    cut.offset = std::clamp(offset, -e, e);
}

CloudScene CloudViewState::scene(int width, int height, double pixelRatio) const {
    CloudScene s;
    s.width = width;
    s.height = height;
    s.pixelRatio = pixelRatio;
    s.camera = camera;
    s.extent = extent;
    s.style = style;
    s.colouring = colouring;
    s.maxPsi2 = maxPsi2;
    s.cut = cut;
    s.showCloud = showCloud;
    s.showSurfaces = showSurfaces;
    s.axes = axes;
    s.box = box;
    s.blackBackground = blackBackground;
    return s;
}

CloudLegend CloudViewState::legend(const CloudScene& scene) const {
    CloudLegend l;
    if (showCloud) {
        if (colouring == CloudColouring::sign) {
            l.entries = {{drawnColour(signColour(1), blackBackground), "ψ > 0"},
                         {drawnColour(signColour(-1), blackBackground), "ψ < 0"}};
        } else {
            l.title = "ψ² class, 1 the most probable";
            for (int c = 1; c <= probabilityClassCount; ++c) l.entries.push_back({drawnColour(classColour(c), blackBackground), std::to_string(c)});
        }
    }
    if (axes) {
        const double step = tickStep(scene);
        if (step > 0) l.notes.push_back("ticks every " + shortNumber(step) + " Å");
    }
    if (showSurfaces && !surfaceNote.empty()) l.notes.push_back(surfaceNote);
    if (cut.plane != CutPlane::none) {
        const char* normal = cut.plane == CutPlane::xy ? "z" : cut.plane == CutPlane::yz ? "x" : "y";
        l.notes.push_back(std::string("cut away: ") + normal + (cut.hideAbove ? " > " : " < ") + shortNumber(cut.offset) +
                          " Å");
    }
    return l;
}

ExportSize CloudViewState::exportSize(int width, int height) const {
    const int f = std::clamp(exportFactor, 1, 2);
    return {std::max(0, width) * f, std::max(0, height) * f};
}

}  // namespace vantrel
