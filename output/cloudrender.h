// A point cloud and surfaces in the orbital's own frame, drawn on the CPU
// into an RGB image: the same pixels on every machine, with or without a
// display or a graphics driver. Points are added as a run accepts them;
// while the camera stays put only the new ones are drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/cloudpoint.h"
#include "engine/colorclasses.h"
#include "engine/mesh.h"

namespace vantrel {

enum class CloudStyle { density, dots };
enum class CloudColouring { sign, probability };
enum class CutPlane { none, xy, yz, xz };

// A turntable: z stays up on the screen. Azimuth 0, elevation 0 looks from
// +x with y to the right; the view is orthographic.
struct CloudCamera {
    double azimuth = 30;    // degrees about z
    double elevation = 20;  // degrees above the xy plane, -90..90
    double zoom = 1;        // 1: the sampling cube fits the image
    bool operator==(const CloudCamera&) const = default;
};

// Hides the side of a coordinate plane where the coordinate along its
// normal (z for xy, x for yz, y for xz) is above the offset, or below it.
struct CloudCut {
    CutPlane plane = CutPlane::none;
    bool hideAbove = true;
    double offset = 0;  // Angstroms
    bool operator==(const CloudCut&) const = default;
};

// Everything a frame depends on besides the points and the surfaces.
struct CloudScene {
    int width = 800, height = 800;  // device pixels
    double pixelRatio = 1;          // device pixels per logical one: lines, dots
    CloudCamera camera;
    double extent = 1;  // half side of the sampling cube, Angstroms
    CloudStyle style = CloudStyle::density;
    CloudColouring colouring = CloudColouring::sign;
    double maxPsi2 = 0;  // the probability classes' scale
    CloudCut cut;
    bool showCloud = true, showSurfaces = true;
    double surfaceOpacity = 0.45;  // over the cloud; surfaces alone are opaque
    bool axes = true, box = false, blackBackground = false;
    int dotSize = 0;  // dots, logical pixels; 0 picks 1 or 2 by the point count
    bool operator==(const CloudScene&) const = default;
};

// Where a point of the orbital's frame lands, in device pixels; depth grows
// towards the viewer.
struct ScreenPoint {
    double x = 0, y = 0, depth = 0;
};
ScreenPoint projectPoint(const CloudScene& scene, double x, double y, double z);
// Pixels per Angstrom at the scene's zoom.
double pixelsPerAngstrom(const CloudScene& scene);
// Angstroms between axis ticks: 1 or 10, or 0 when even 10 would crowd.
double tickStep(const CloudScene& scene);

// A point colour as drawn on the scene's background (and in its legend).
Rgb drawnColour(Rgb c, bool blackBackground);

struct ScreenLabel {
    std::string text;
    double x = 0, y = 0;  // centre, device pixels
};

struct CloudImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xffRRGGBB, rows top down
    std::vector<ScreenLabel> labels;    // "x", "y", "z" at the axes' positive ends
};

// A surface in one colour, drawn with a depth buffer and smooth shading.
struct SurfaceMesh {
    Mesh mesh;
    Rgb colour;
};

// Points as the renderer keeps them (coordinates in single precision):
// collected cheaply while a run goes, handed over in one copy.
struct CloudPoints {
    std::vector<float> xs, ys, zs;
    std::vector<double> psi;

    void add(const CloudPoint& p) {
        xs.push_back(static_cast<float>(p.x));
        ys.push_back(static_cast<float>(p.y));
        zs.push_back(static_cast<float>(p.z));
        psi.push_back(p.psi);
    }
    // The first `count` points of `from`.
    void append(const CloudPoints& from, std::size_t count);
    void reserve(std::size_t count);
    std::size_t size() const { return xs.size(); }
    void clear();
};

// Not shared between threads: add points and render from the same one
// (the renderer itself splits a frame between threads).
class CloudRenderer {
public:
    // threads: how many share a frame (0: every core, at most 8).
    explicit CloudRenderer(int threads = 0);
    ~CloudRenderer();
    CloudRenderer(const CloudRenderer&) = delete;
    CloudRenderer& operator=(const CloudRenderer&) = delete;

    void clearPoints();
    void addPoints(std::span<const CloudPoint> points);
    void addPoints(const CloudPoints& points);
    // Room for this many points in all, so that a run's points are not copied as they grow.
    void reservePoints(std::size_t count);
    std::size_t pointCount() const;
    void setSurfaces(std::vector<SurfaceMesh> surfaces);
    std::size_t surfaceCount() const;

    // Brings image() up to date with the scene and the points; false when
    // nothing changed since the last frame (the image is left as it was).
    bool render(const CloudScene& scene);
    // Whether render(scene) would find nothing to do.
    bool isCurrent(const CloudScene& scene) const;
    const CloudImage& image() const;
    // Points drawn by the last render (all of them after a camera change,
    // only the new ones otherwise).
    std::size_t lastDrawnPoints() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace vantrel
