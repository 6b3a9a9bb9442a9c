#include "output/cloudrender.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <thread>

#include "output/cloudraster.h"

namespace vantrel {

using raster::CutTest;
using raster::farDepth;
using raster::packRgb;
using raster::Projection;

namespace {

// Red, green and blue sums and the point count of one pixel.
typedef std::uint32_t Sums __attribute__((vector_size(16)));

// Larger frames are cut to this (a picture twice the size of a 2560 x
// 1600 window still fits).
constexpr int maxSide = 8192;
constexpr long long maxPixels = 32LL << 20;
// Below this many new points, or pixels to finish, a frame is not worth a
// second thread.
constexpr std::size_t pointsPerThread = 20000;
constexpr std::size_t pixelsPerThread = 100000;

// Parts of the scene the cloud's buffers depend on, the rest cleared.
CloudScene cloudPart(const CloudScene& s, int dotSize) {
    CloudScene c = s;
    c.axes = c.box = c.showSurfaces = false;
    c.blackBackground = s.blackBackground && s.colouring == CloudColouring::probability;  // see drawnColour
    c.surfaceOpacity = 0;
    c.dotSize = s.style == CloudStyle::dots ? dotSize : 0;
    c.pixelRatio = 1;
    if (c.colouring == CloudColouring::sign) c.maxPsi2 = 0;
    return c;
}

// Parts of the scene the surface layer depends on.
CloudScene surfacePart(const CloudScene& s) {
    CloudScene c;
    c.width = s.width;
    c.height = s.height;
    c.camera = s.camera;
    c.extent = s.extent;
    c.cut = s.cut;
    return c;
}

Rgb keyColour(const CloudScene& s, int key) {
    return drawnColour(s.colouring == CloudColouring::sign ? signColour(key ? 1.0 : -1.0) : classColour(key),
                       s.blackBackground);
}

// 1 - exp(-t) for t in [0, lutRange).
constexpr int lutSize = 4096;
constexpr float lutRange = 16;
const std::array<float, lutSize>& coverageTable() {
    static const auto table = [] {
        std::array<float, lutSize> t{};
        for (int i = 0; i < lutSize; ++i) t[i] = static_cast<float>(1 - std::exp(-(i + 0.5) * lutRange / lutSize));
        return t;
    }();
    return table;
}

// Where a thread's share of the cloud is kept: a cell a pixel, with a
// margin as wide as a dot so that dots at the edges need no test, and one
// spare cell at the end that takes the points off the image.
struct Grid {
    int width = 0, height = 0, pad = 0, stride = 0;
    std::size_t cells = 0;
    Grid() = default;
    Grid(int w, int h, int margin)
        : width(w), height(h), pad(margin), stride(w + 2 * margin),
          cells(static_cast<std::size_t>(stride) * (h + 2 * margin)) {}
    std::size_t spare() const { return cells; }
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y + pad) * stride + x + pad; }
    bool operator==(const Grid&) const = default;
};

// Columns x0..x1 of rows y0..y1; empty when x1 < x0.
struct Area {
    int x0 = std::numeric_limits<int>::max(), y0 = std::numeric_limits<int>::max(), x1 = -1, y1 = -1;
    bool empty() const { return x1 < x0 || y1 < y0; }
    void add(const Area& a) {
        if (a.empty()) return;
        x0 = std::min(x0, a.x0), y0 = std::min(y0, a.y0), x1 = std::max(x1, a.x1), y1 = std::max(y1, a.y1);
    }
};

// One thread's share: density sums, or the nearest dot's depth and point.
// Sums add up in any order and ties of depth go to the earlier point, so
// the merged picture is the same however the points were shared out.
// Only the cells a layer has touched, in the grid's padded cells, are
// cleared for the next camera and looked at when the frame is finished.
struct CloudLayer {
    std::vector<Sums> sums;
    std::vector<float> depth;
    std::vector<std::uint32_t> point;  // number << 4 | colour key
    bool inUse = false;
    Grid grid;
    CloudStyle style = CloudStyle::density;
    Area touched;

    void clear(const Grid& g, CloudStyle st);
};

void CloudLayer::clear(const Grid& g, CloudStyle st) {
    const bool density = st == CloudStyle::density;
    if (!(grid == g && style == st)) {
        grid = g;
        style = st;
        sums.clear(), depth.clear(), point.clear();
        if (density)
            sums.assign(g.cells + 1, Sums{});
        else
            depth.assign(g.cells + 1, farDepth), point.assign(g.cells + 1, 0);
    } else if (!touched.empty()) {
        for (int y = touched.y0; y <= touched.y1; ++y) {
            const std::size_t from = static_cast<std::size_t>(y) * g.stride + touched.x0, to = from + (touched.x1 - touched.x0 + 1);
            if (density)
                std::fill(sums.begin() + from, sums.begin() + to, Sums{});
            else
                std::fill(depth.begin() + from, depth.begin() + to, farDepth);
        }
        if (density)
            sums[g.spare()] = Sums{};
        else
            depth[g.spare()] = farDepth;
    }
    touched = Area{};
    inUse = true;
}

}  // namespace

struct CloudRenderer::Impl {
    int threads = 1;

    // The points, with the colour key of each for the current colouring.
    CloudPoints points;
    std::vector<std::uint8_t> keys;
    std::size_t keyed = 0;
    CloudColouring keyedColouring = CloudColouring::sign;
    double keyedMaxPsi2 = 0;

    std::vector<SurfaceMesh> surfaces;
    unsigned surfacesRevision = 0;

    // The cloud drawn so far.
    std::optional<CloudScene> cloudScene;
    Grid grid;
    std::size_t drawn = 0;
    std::vector<CloudLayer> layers;
    std::vector<Sums> blurred;  // density: the layers merged and smoothed
    Area area;                  // the pixels the cloud may colour

    raster::SurfaceLayer layer;
    raster::MeshRaster meshRaster;
    std::optional<CloudScene> layerScene;
    unsigned layerRevision = 0;

    CloudImage image;
    std::optional<CloudScene> frameScene;
    std::size_t frameCount = 0;
    unsigned frameRevision = 0;
    std::size_t lastDrawn = 0;

    int partsFor(std::size_t points) const {
        return static_cast<int>(std::clamp<std::size_t>(points / pointsPerThread, 1, static_cast<std::size_t>(threads)));
    }
    int bandsFor(std::size_t pixels) const {
        return static_cast<int>(std::clamp<std::size_t>(pixels / pixelsPerThread, 1, static_cast<std::size_t>(threads)));
    }
    void draw(const CloudScene& s);
    int dotSizeFor(const CloudScene& s) const;
    void updateKeys(const CloudScene& s);
    void drawCloud(const CloudScene& s);
    void accumulate(const CloudScene& s, std::size_t first, std::size_t last, CloudLayer& into);
    void drawSurfaces(const CloudScene& s);
    void smooth(int y0, int y1, std::array<std::uint32_t, 256>& histogram);
    float exposure();
    void resolve(const CloudScene& s, int y0, int y1, float k, bool surfacesOn);
    void drawOverlays(const CloudScene& s);
};

CloudRenderer::CloudRenderer(int threads) : d_(std::make_unique<Impl>()) {
    // Asked once: the count is read from a system file every time.
    static const int cores = static_cast<int>(std::thread::hardware_concurrency());
    d_->threads = std::clamp(threads > 0 ? threads : cores, 1, 8);
    d_->layers.resize(static_cast<std::size_t>(d_->threads));
}

CloudRenderer::~CloudRenderer() = default;

void CloudPoints::append(const CloudPoints& from, std::size_t count) {
    const auto take = [count](auto& to, const auto& v) { to.insert(to.end(), v.begin(), v.begin() + count); };
    take(xs, from.xs);
    take(ys, from.ys);
    take(zs, from.zs);
    take(psi, from.psi);
}

void CloudPoints::reserve(std::size_t count) {
    xs.reserve(count);
    ys.reserve(count);
    zs.reserve(count);
    psi.reserve(count);
}

void CloudPoints::clear() {
    xs.clear();
    ys.clear();
    zs.clear();
    psi.clear();
}

namespace {
// Dots keep a point's number in 28 bits.
constexpr std::size_t pointLimit = std::size_t{1} << 28;
}  // namespace

void CloudRenderer::clearPoints() {
    d_->points.clear();
    d_->keys.clear();
    d_->keyed = 0;
    d_->cloudScene.reset();
    d_->drawn = 0;
    d_->frameScene.reset();
}

void CloudRenderer::addPoints(std::span<const CloudPoint> points) {
    for (const CloudPoint& p : points.first(std::min(points.size(), pointLimit - d_->points.size())))
        d_->points.add(p);
}

void CloudRenderer::addPoints(const CloudPoints& points) {
    d_->points.append(points, std::min(points.size(), pointLimit - d_->points.size()));
}

void CloudRenderer::reservePoints(std::size_t count) { d_->points.reserve(std::min(count, pointLimit)); }

std::size_t CloudRenderer::pointCount() const { return d_->points.size(); }

void CloudRenderer::setSurfaces(std::vector<SurfaceMesh> surfaces) {
    d_->surfaces = std::move(surfaces);
    ++d_->surfacesRevision;
}

std::size_t CloudRenderer::surfaceCount() const { return d_->surfaces.size(); }

const CloudImage& CloudRenderer::image() const { return d_->image; }

std::size_t CloudRenderer::lastDrawnPoints() const { return d_->lastDrawn; }

Rgb drawnColour(Rgb c, bool blackBackground) {
    // The least probable class is white; on white it would vanish.
    const bool nearWhite = c.r > 235 && c.g > 235 && c.b > 235;
    return nearWhite && !blackBackground ? Rgb{185, 185, 185} : c;
}

namespace {

CloudScene sanitized(CloudScene s) {
    s.width = std::clamp(s.width, 0, maxSide);
    s.height = std::clamp(s.height, 0, maxSide);
    if (static_cast<long long>(s.width) * s.height > maxPixels) s.height = static_cast<int>(maxPixels / s.width);
    if (!(s.pixelRatio > 0 && s.pixelRatio < 16)) s.pixelRatio = 1;
    return s;
}

}  // namespace

bool CloudRenderer::isCurrent(const CloudScene& scene) const {
    const Impl& d = *d_;
    return d.frameScene && *d.frameScene == sanitized(scene) && d.frameCount == d.points.size() &&
           d.frameRevision == d.surfacesRevision;
}

bool CloudRenderer::render(const CloudScene& scene) {
    Impl& d = *d_;
    d.lastDrawn = 0;
    if (isCurrent(scene)) return false;
    try {
        d.draw(sanitized(scene));
    } catch (const std::bad_alloc&) {
        // Too large for this machine's memory: an empty frame, and a fresh start next time.
        d.layers.assign(d.layers.size(), CloudLayer{});
        d.blurred = {};
        d.layer = {};
        d.cloudScene.reset();
        d.layerScene.reset();
        d.frameScene.reset();
        d.image = CloudImage{};
    }
    return true;
}

void CloudRenderer::Impl::draw(const CloudScene& s) {
    frameScene = s;
    frameCount = points.xs.size();
    frameRevision = surfacesRevision;
    image.width = s.width;
    image.height = s.height;
    image.pixels.resize(static_cast<std::size_t>(s.width) * s.height);
    image.labels.clear();
    if (s.width == 0 || s.height == 0) return;

    if (s.showCloud) drawCloud(s);
    const bool surfacesOn = s.showSurfaces && !surfaces.empty();
    if (surfacesOn) drawSurfaces(s);
    const float k = s.showCloud && s.style == CloudStyle::density ? exposure() : 0;
    const std::size_t pixels = surfacesOn || area.empty() ? image.pixels.size()
                                                          : static_cast<std::size_t>(area.x1 - area.x0 + 1) * (area.y1 - area.y0 + 1);
    raster::inBands(bandsFor(pixels), s.height, [&](int y0, int y1) { resolve(s, y0, y1, k, surfacesOn); });
    drawOverlays(s);
}

int CloudRenderer::Impl::dotSizeFor(const CloudScene& s) const {
    // Two logical pixels while the cloud is sparse, one once it would clog.
    const double logicalArea = static_cast<double>(s.width) * s.height / (s.pixelRatio * s.pixelRatio);
    const int logical = s.dotSize > 0 ? std::min(s.dotSize, 8) : 4.0 * points.xs.size() < logicalArea ? 2 : 1;
    return std::max(1, static_cast<int>(std::lround(logical * s.pixelRatio)));
}

void CloudRenderer::Impl::updateKeys(const CloudScene& s) {
    const double maxPsi2 = s.colouring == CloudColouring::probability ? s.maxPsi2 : 0;
    if (s.colouring != keyedColouring || maxPsi2 != keyedMaxPsi2) keyed = 0;
    keyedColouring = s.colouring;
    keyedMaxPsi2 = maxPsi2;
    keys.resize(points.psi.size());
    const std::size_t n = points.psi.size() - keyed;
    const int parts = partsFor(n);
    raster::inParts(parts, [&](int t) {
        const std::size_t from = keyed + raster::partStart(static_cast<std::size_t>(t), static_cast<std::size_t>(parts), n);
        const std::size_t to = keyed + raster::partStart(static_cast<std::size_t>(t) + 1, static_cast<std::size_t>(parts), n);
        if (s.colouring == CloudColouring::sign)
            for (std::size_t i = from; i < to; ++i) keys[i] = points.psi[i] > 0;
        else
            for (std::size_t i = from; i < to; ++i) keys[i] = static_cast<std::uint8_t>(probabilityClass(points.psi[i], maxPsi2));
    });
    keyed = points.psi.size();
}

void CloudRenderer::Impl::drawCloud(const CloudScene& s) {
    updateKeys(s);
    const CloudScene part = cloudPart(s, dotSizeFor(s));
    const std::size_t count = points.xs.size();
    if (!(cloudScene && *cloudScene == part && drawn <= count)) {
        cloudScene = part;
        grid = Grid(s.width, s.height, s.style == CloudStyle::dots ? part.dotSize : 0);
        drawn = 0;
        for (auto& l : layers) l.inUse = false;
    }
    const std::size_t first = drawn;
    const int parts = partsFor(count - first);
    raster::inParts(parts, [&](int t) {
        CloudLayer& l = layers[static_cast<std::size_t>(t)];
        if (!l.inUse) l.clear(grid, s.style);  // first used for this camera
        const std::size_t n = count - first;
        accumulate(part, first + raster::partStart(static_cast<std::size_t>(t), static_cast<std::size_t>(parts), n),
                   first + raster::partStart(static_cast<std::size_t>(t) + 1, static_cast<std::size_t>(parts), n), l);
    });
    lastDrawn = count - first;
    drawn = count;
    // The touched pixels and, for the smoothing, one more all round.
    Area touched;
    for (const auto& l : layers)
        if (l.inUse) touched.add(l.touched);
    area = Area{};
    if (!touched.empty())
        area = {std::max(0, touched.x0 - grid.pad - 1), std::max(0, touched.y0 - grid.pad - 1),
                std::min(grid.width - 1, touched.x1 - grid.pad + 1), std::min(grid.height - 1, touched.y1 - grid.pad + 1)};
}

void CloudRenderer::Impl::accumulate(const CloudScene& s, std::size_t first, std::size_t last, CloudLayer& into) {
    const bool density = s.style == CloudStyle::density;
    std::array<Sums, 16> palette{};
    for (int key = 0; key < 16; ++key) {
        const Rgb c = keyColour(s, key);
        palette[key] = Sums{c.r, c.g, c.b, 1};
    }
    const Projection p(s);
    const CutTest cut(s.cut);
    const float* cutAt = cut.axis == 0 ? points.xs.data() : cut.axis == 1 ? points.ys.data() : points.zs.data();
    const int size = density ? 1 : s.dotSize;
    // Positions in the grid's padded cells, the dot's top left corner.
    const float shift = static_cast<float>(grid.pad) - 0.5f * static_cast<float>(size - 1);
    const float cx = static_cast<float>(p.cx) + shift, cy = static_cast<float>(p.cy) + shift;
    const float rx = static_cast<float>(p.rx), ry = static_cast<float>(p.ry);
    const float ux = static_cast<float>(p.ux), uy = static_cast<float>(p.uy), uz = static_cast<float>(p.uz);
    const float dx = static_cast<float>(p.dx), dy = static_cast<float>(p.dy), dz = static_cast<float>(p.dz);
    const float right = static_cast<float>(grid.width + grid.pad), bottom = static_cast<float>(grid.height + grid.pad);
    const std::uint32_t stride = static_cast<std::uint32_t>(grid.stride), spare = static_cast<std::uint32_t>(grid.spare());
    constexpr std::size_t chunk = 256;
    std::uint32_t cell[chunk], column[chunk];
    float depth[chunk];
    std::uint32_t lowCell = spare, highCell = 0, lowColumn = spare, highColumn = 0;
    for (std::size_t base = first; base < last; base += chunk) {
        const std::size_t n = std::min(chunk, last - base);
        const float *x = points.xs.data() + base, *y = points.ys.data() + base, *z = points.zs.data() + base,
                    *c = cutAt + base;
        // Projection first, without branches, so that it runs four points at a time.
        for (std::size_t j = 0; j < n; ++j) {
            const float sx = cx + rx * x[j] + ry * y[j];
            const float sy = cy + ux * x[j] + uy * y[j] + uz * z[j];
            const bool on = (sx >= 0) & (sx < right) & (sy >= 0) & (sy < bottom) & !cut.hides(c[j]);
            const auto col = static_cast<std::uint32_t>(on ? sx : 0.0f), row = static_cast<std::uint32_t>(on ? sy : 0.0f);
            cell[j] = on ? row * stride + col : spare;
            column[j] = col;
            depth[j] = dx * x[j] + dy * y[j] + dz * z[j];
        }
        for (std::size_t j = 0; j < n; ++j)
            if (cell[j] != spare) {
                lowCell = std::min(lowCell, cell[j]), highCell = std::max(highCell, cell[j]);
                lowColumn = std::min(lowColumn, column[j]), highColumn = std::max(highColumn, column[j]);
            }
        const std::uint8_t* key = keys.data() + base;
        if (density) {
            for (std::size_t j = 0; j < n; ++j) into.sums[cell[j]] += palette[key[j] & 15];
            continue;
        }
        for (std::size_t j = 0; j < n; ++j) {
            // The point's number, and in the low bits its colour.
            const auto index = static_cast<std::uint32_t>(base + j) << 4 | (key[j] & 15u);
            const std::size_t corner = cell[j];
            const std::size_t rows = cell[j] == spare ? 1 : static_cast<std::size_t>(size);
            for (std::size_t r = 0; r < rows; ++r)
                for (std::size_t q = 0; q < rows; ++q) {
                    const std::size_t at = corner + r * stride + q;
                    const bool nearer = depth[j] > into.depth[at];
                    into.depth[at] = nearer ? depth[j] : into.depth[at];
                    into.point[at] = nearer ? index : into.point[at];
                }
        }
    }
    if (lowCell <= highCell)
        into.touched.add({static_cast<int>(lowColumn), static_cast<int>(lowCell / stride),
                          static_cast<int>(highColumn) + size - 1, static_cast<int>(highCell / stride) + size - 1});
}

void CloudRenderer::Impl::drawSurfaces(const CloudScene& s) {
    const CloudScene part = surfacePart(s);
    if (layerScene && *layerScene == part && layerRevision == surfacesRevision) return;
    layerScene = part;
    layerRevision = surfacesRevision;
    meshRaster.prepare(surfaces, s);
    layer.reset(s.width, s.height);
    std::size_t triangles = 0;
    for (const auto& m : surfaces) triangles += m.mesh.triangles.size();
    raster::inBands(partsFor(triangles), s.height,
                    [&](int y0, int y1) { meshRaster.draw(surfaces, s, layer, y0, y1); });
}

namespace {

// Histogram bin of a positive count: eight bins an octave.
int logBin(std::uint32_t n) {
    const int e = 31 - std::countl_zero(n);
    const std::uint32_t mantissa = e >= 3 ? n >> (e - 3) : n << (3 - e);
    return e * 8 + static_cast<int>(mantissa & 7);
}

double binValue(int bin) { return std::ldexp(8 + (bin & 7) + 0.5, bin / 8 - 3); }

}  // namespace

// The layers merged and smoothed by a 3x3 tent (1 2 1 by 1 2 1, so a lone
// point counts 4 at its pixel), rows [y0, y1), with a histogram of counts.
void CloudRenderer::Impl::smooth(int y0, int y1, std::array<std::uint32_t, 256>& histogram) {
    y0 = std::max(y0, area.y0), y1 = std::min(y1, area.y1 + 1);
    if (y0 >= y1 || area.empty()) return;
    // Within the area, whose border cells are empty: the merged row is
    // read one cell beyond it on each side.
    const int x0 = area.x0, span = area.x1 - area.x0 + 1, h = grid.height;
    std::vector<Sums> merged(static_cast<std::size_t>(span + 2)), rows[3];
    auto horizontal = [&](int y, std::vector<Sums>& out) {
        out.assign(static_cast<std::size_t>(span), Sums{});
        if (y < 0 || y >= h) return;
        std::fill(merged.begin(), merged.end(), Sums{});
        const int from = std::max(0, x0 - 1), to = std::min(grid.width, x0 + span + 1);
        for (const CloudLayer& l : layers)
            if (l.inUse) {
                const Sums* row = l.sums.data() + grid.at(0, y);
                for (int x = from; x < to; ++x) merged[x - x0 + 1] += row[x];
            }
        for (int x = 0; x < span; ++x) out[x] = merged[x] + merged[x + 1] + merged[x + 1] + merged[x + 2];
    };
    horizontal(y0 - 1, rows[0]);
    horizontal(y0, rows[1]);
    for (int y = y0; y < y1; ++y) {
        horizontal(y + 1, rows[2]);
        Sums* out = blurred.data() + static_cast<std::size_t>(y) * grid.width + x0;
        for (int x = 0; x < span; ++x) {
            const Sums v = rows[0][x] + rows[1][x] + rows[1][x] + rows[2][x];
            out[x] = v;
            if (v[3] != 0) ++histogram[logBin(v[3])];
        }
        std::swap(rows[0], rows[1]);
        std::swap(rows[1], rows[2]);
    }
}

// Smooths the density and picks its scale so that the busiest twentieth of
// the cloud's pixels nearly saturates: the picture keeps its look while
// points come in.
float CloudRenderer::Impl::exposure() {
    blurred.resize(static_cast<std::size_t>(grid.width) * grid.height);
    const int bands = area.empty() ? 1 : bandsFor(static_cast<std::size_t>(area.x1 - area.x0 + 1) * (area.y1 - area.y0 + 1));
    std::vector<std::array<std::uint32_t, 256>> histograms(static_cast<std::size_t>(bands));
    for (auto& hist : histograms) hist.fill(0);
    raster::inParts(bands, [&](int t) {
        const auto n = static_cast<std::size_t>(bands), h = static_cast<std::size_t>(grid.height);
        smooth(static_cast<int>(raster::partStart(static_cast<std::size_t>(t), n, h)),
               static_cast<int>(raster::partStart(static_cast<std::size_t>(t) + 1, n, h)), histograms[static_cast<std::size_t>(t)]);
    });
    std::array<std::uint64_t, 256> total{};
    std::uint64_t all = 0;
    for (const auto& hist : histograms)
        for (int b = 0; b < 256; ++b) total[b] += hist[b], all += hist[b];
    if (all == 0) return 1;
    std::uint64_t seen = 0;
    int bin = 0;
    while (bin < 255 && (seen += total[bin]) < all * 95 / 100) ++bin;
    return static_cast<float>(std::min(2.3 / (binValue(bin) / 4), 2.3));
}

void CloudRenderer::Impl::resolve(const CloudScene& s, int y0, int y1, float k, bool surfacesOn) {
    typedef float Channels __attribute__((vector_size(16)));
    typedef std::int32_t Levels __attribute__((vector_size(16)));
    const int w = s.width;
    const bool black = s.blackBackground;
    const float bg = black ? 0.0f : 255.0f;
    const std::uint32_t bgPixel = black ? 0xff000000u : 0xffffffffu;
    const bool density = s.showCloud && s.style == CloudStyle::density;
    const bool dots = s.showCloud && s.style == CloudStyle::dots;
    const float alpha = s.showCloud ? static_cast<float>(std::clamp(s.surfaceOpacity, 0.0, 1.0)) : 1.0f;
    const auto& coverage = coverageTable();
    const float toBin = lutSize / lutRange;
    auto pack = [](Channels c) {
        c = c < 0 ? 0 : c > 255 ? 255 : c + 0.5f;
        const Levels v = __builtin_convertvector(c, Levels);
        return 0xff000000u | static_cast<std::uint32_t>(v[0]) << 16 | static_cast<std::uint32_t>(v[1]) << 8 |
               static_cast<std::uint32_t>(v[2]);
    };
    auto channels = [](std::uint32_t p) {
        return Channels{static_cast<float>((p >> 16) & 0xff), static_cast<float>((p >> 8) & 0xff), static_cast<float>(p & 0xff), 0};
    };

    std::array<Channels, 16> dotColour{};
    for (int key = 0; key < 16; ++key) dotColour[key] = channels(packRgb(keyColour(s, key)));
    // Dots fade towards the background with distance; the cube's corners set the range.
    const float reach = static_cast<float>(std::sqrt(3.0) * (std::isfinite(s.extent) && s.extent > 0 ? s.extent : 1));
    std::vector<const CloudLayer*> used;
    for (const CloudLayer& l : layers)
        if (l.inUse) used.push_back(&l);
    std::vector<float> nearest(static_cast<std::size_t>(w), farDepth);  // dots: depth of the pixel's dot

    for (int y = y0; y < y1; ++y) {
        std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(y) * w;
        std::fill(out, out + w, bgPixel);
        const bool rowInArea = !area.empty() && y >= area.y0 && y <= area.y1;
        if (density && rowInArea) {
            const Sums* smoothed = blurred.data() + static_cast<std::size_t>(y) * w;
            for (int x = area.x0; x <= area.x1; ++x) {
                const Sums v = smoothed[x];
                if (v[3] == 0) continue;
                const float n = static_cast<float>(v[3]);
                const float t = k * n * 0.25f;
                const float a = coverage[static_cast<int>(std::min(t, lutRange - 0.001f) * toBin)];
                Channels c = __builtin_convertvector(v, Channels) * (a / n) + bg * (1 - a);
                // The busiest parts glow: towards white on black, deeper on white.
                const float hot = std::clamp((t - 2.3f) * (1 / 6.0f), 0.0f, 1.0f);
                c = black ? c + (255 - c) * (0.6f * hot) : c * (1 - 0.45f * hot);
                out[x] = pack(c);
            }
        }
        if (dots && rowInArea) {
            std::fill(nearest.begin(), nearest.end(), farDepth);
            for (int x = area.x0; x <= area.x1; ++x) {
                const std::size_t cell = grid.at(x, y);
                float depth = farDepth;
                std::uint32_t point = 0;
                for (const CloudLayer* l : used) {
                    const float d = l->depth[cell];
                    if (d > depth || (d == depth && d != farDepth && l->point[cell] < point)) depth = d, point = l->point[cell];
                }
                if (depth == farDepth) continue;
                nearest[x] = depth;
                const float f = std::clamp(0.62f + 0.38f * depth / reach, 0.3f, 1.0f);
                out[x] = pack(bg + (dotColour[point & 15] - bg) * f);
            }
        }
        if (!surfacesOn) continue;
        const float* layerDepth = layer.depth.data() + static_cast<std::size_t>(y) * w;
        const std::uint32_t* layerColour = layer.colour.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            // Dots in front of the surface stay as they are.
            if (layerDepth[x] == farDepth || (dots && rowInArea && nearest[x] > layerDepth[x])) continue;
            out[x] = pack(channels(out[x]) * (1 - alpha) + channels(layerColour[x]) * alpha);
        }
    }
}

void CloudRenderer::Impl::drawOverlays(const CloudScene& s) {
    if (!s.axes && !s.box) return;
    const Projection p(s);
    raster::Painter paint(image);
    const double r = s.pixelRatio;
    const double e = std::isfinite(s.extent) && s.extent > 0 ? s.extent : 1;
    const Rgb ink = s.blackBackground ? Rgb{215, 215, 215} : Rgb{45, 45, 45};
    const Rgb paper = s.blackBackground ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    if (s.box) {
        for (int edge = 0; edge < 12; ++edge) {
            // Edge along axis edge / 4, its other two coordinates from the low bits.
            const int axis = edge / 4, a = edge & 1 ? 1 : -1, b = edge & 2 ? 1 : -1;
            double from[3], to[3];
            from[axis] = -e, to[axis] = e;
            from[(axis + 1) % 3] = to[(axis + 1) % 3] = a * e;
            from[(axis + 2) % 3] = to[(axis + 2) % 3] = b * e;
            const ScreenPoint u = p(from[0], from[1], from[2]), v = p(to[0], to[1], to[2]);
            paint.line(u.x, u.y, v.x, v.y, r, ink, 0.55f);
        }
    }
    if (!s.axes) return;
    const ScreenPoint o = p(0, 0, 0);
    const double step = tickStep(s);
    static const char* const names[3] = {"x", "y", "z"};
    for (int axis = 0; axis < 3; ++axis) {
        double unit[3] = {0, 0, 0};
        unit[axis] = 1;
        const ScreenPoint end = p(e * unit[0], e * unit[1], e * unit[2]);
        const ScreenPoint back = p(-e * unit[0], -e * unit[1], -e * unit[2]);
        paint.line(o.x, o.y, end.x, end.y, 1.4 * r, ink, 0.9f);
        paint.line(o.x, o.y, back.x, back.y, 1.4 * r, ink, 0.4f);
        const double ax = end.x - o.x, ay = end.y - o.y, len = std::hypot(ax, ay);
        const bool endOn = len < 0.15 * e * p.scale;
        if (!endOn && step > 0) {
            const double nx = -ay / len * 3.5 * r, ny = ax / len * 3.5 * r;
            for (double t = step; t <= e * (1 + 1e-9); t += step)
                for (int sign : {1, -1}) {
                    const double f = sign * t / e;
                    const double tx = o.x + ax * f, ty = o.y + ay * f;
                    paint.line(tx - nx, ty - ny, tx + nx, ty + ny, 1.2 * r, ink, sign > 0 ? 0.9f : 0.4f);
                }
        }
        const double gap = 12 * r;
        image.labels.push_back({names[axis], endOn ? end.x + 0.75 * gap : end.x + ax / len * gap,
                                endOn ? end.y - 0.75 * gap : end.y + ay / len * gap});
    }
    paint.disc(o.x, o.y, 4.2 * r, paper, 1);
    paint.disc(o.x, o.y, 3 * r, ink, 1);
}

}  // namespace vantrel
