// The pieces the cloud renderer draws with: the camera's projection, the
// cutaway test, horizontal bands shared out between threads, antialiased
// lines and discs, and triangle meshes with a depth buffer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "output/cloudrender.h"

namespace vantrel::raster {

inline constexpr float farDepth = -std::numeric_limits<float>::infinity();

struct Projection {
    double cx = 0, cy = 0;             // image centre
    double rx = 0, ry = 0;             // screen x per Angstrom of x, y
    double ux = 0, uy = 0, uz = 0;     // screen y (downwards) per Angstrom of x, y, z
    double dx = 0, dy = 0, dz = 0;     // depth (towards the viewer), unscaled
    double scale = 1;                  // pixels per Angstrom
    double ex = 0, ey = 0, ez = 0;     // unit vector towards the viewer

    explicit Projection(const CloudScene& s);
    ScreenPoint operator()(double x, double y, double z) const {
        return {cx + rx * x + ry * y, cy + ux * x + uy * y + uz * z, dx * x + dy * y + dz * z};
    }
};

// Hidden when sign * coordinate > limit; sign 0 hides nothing.
struct CutTest {
    int axis = 0;  // 0 x, 1 y, 2 z
    float sign = 0, limit = 0;
    explicit CutTest(const CloudCut& c);
    bool hides(float coordinate) const { return sign * coordinate > limit; }
};

// Start of part i of n things split into `parts` runs.
inline std::size_t partStart(std::size_t i, std::size_t parts, std::size_t n) { return n * i / parts; }

// Runs f(part) for parts 0..parts-1 at once, the first on this thread (and
// any the system would not start a thread for). A part that fails (no
// memory, say) has its exception thrown here once all have ended.
template <class F>
void inParts(int parts, F&& f) {
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(std::max(parts, 1)));
    {
        std::vector<std::jthread> others;
        for (int i = 1; i < parts; ++i) {
            auto run = [&f, &failures, i] {
                try {
                    f(i);
                } catch (const std::exception&) {
                    failures[static_cast<std::size_t>(i)] = std::current_exception();
                }
            };
            try {
                others.emplace_back(run);
            } catch (const std::system_error&) {
                run();
            }
        }
        f(0);
    }
    for (const auto& e : failures)
        if (e) std::rethrow_exception(e);
}

// Runs f(y0, y1) for horizontal bands of the height at once. Every pixel
// belongs to one band, so the result does not depend on the band count.
template <class F>
void inBands(int bands, int height, F&& f) {
    const auto h = static_cast<std::size_t>(height), n = static_cast<std::size_t>(bands);
    inParts(bands, [&](int b) {
        f(static_cast<int>(partStart(static_cast<std::size_t>(b), n, h)), static_cast<int>(partStart(static_cast<std::size_t>(b) + 1, n, h)));
    });
}

inline std::uint32_t packRgb(float r, float g, float b) {
    auto c = [](float v) { return static_cast<std::uint32_t>(v <= 0 ? 0 : v >= 255 ? 255 : v + 0.5f); };
    return 0xff000000u | c(r) << 16 | c(g) << 8 | c(b);
}
inline std::uint32_t packRgb(Rgb c) { return 0xff000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

// Drawing onto the finished image, blended by coverage times alpha.
class Painter {
public:
    explicit Painter(CloudImage& image) : img_(image) {}
    void line(double x0, double y0, double x1, double y1, double width, Rgb colour, float alpha);
    void disc(double x, double y, double radius, Rgb colour, float alpha);

private:
    void blend(int x, int y, Rgb c, float alpha);
    CloudImage& img_;
};

// The front-most surface at each pixel: depth and shaded colour.
struct SurfaceLayer {
    int width = 0, height = 0;
    std::vector<float> depth;
    std::vector<std::uint32_t> colour;
    void reset(int w, int h);
};

// Draws the meshes into the layer, rows [y0, y1) only.
struct MeshRaster {
    struct Vertex {
        float x, y, depth, cut;  // screen position, depth, coordinate the cut tests
        float front, back;       // light on the outer and the inner side
    };
    std::vector<std::vector<Vertex>> vertices;  // per mesh

    void prepare(const std::vector<SurfaceMesh>& meshes, const CloudScene& scene);
    void draw(const std::vector<SurfaceMesh>& meshes, const CloudScene& scene, SurfaceLayer& layer, int y0,
              int y1) const;
};

}  // namespace vantrel::raster
