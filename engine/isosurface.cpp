#include "engine/isosurface.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <new>
#include <system_error>
#include <thread>

namespace vantrel {

EnclosedLevel enclosedLevel(const PsiGrid& grid, double fraction) {
    EnclosedLevel out;
    if (!(fraction >= minEnclosed && fraction <= maxEnclosed)) {
        out.problem = "The enclosed probability must be between 10 % and 99 %.";
        return out;
    }
    // The bits of a positive float grow with its value, so their top 13
    // (exponent and 4 bits of mantissa) sort |psi| into 8192 ordered bins:
    // the bin where the running sum from the top crosses the target is the
    // only one that needs sorting.
    constexpr int shift = 18;
    std::vector<double> binSum((0x7fffffffu >> shift) + 1, 0.0);
    double total = 0;
    for (float v : grid.psi) {
        const float a = std::fabs(v);
        if (!(a > 0) || !std::isfinite(a)) continue;
        const double w = double(a) * a;
        binSum[std::bit_cast<std::uint32_t>(a) >> shift] += w;
        total += w;
    }
    if (!(total > 0)) {
        out.problem = "psi is 0 at every point of the grid.";
        return out;
    }
    const double target = fraction * total;
    double sum = 0;
    std::uint32_t bin = static_cast<std::uint32_t>(binSum.size());
    while (bin-- > 0 && sum + binSum[bin] < target) sum += binSum[bin];
    std::vector<float> crossing;
    for (float v : grid.psi) {
        const float a = std::fabs(v);
        if (a > 0 && std::isfinite(a) && std::bit_cast<std::uint32_t>(a) >> shift == bin) crossing.push_back(a);
    }
    std::sort(crossing.begin(), crossing.end(), std::greater<float>());
    std::size_t i = 0;
    while (i < crossing.size()) {
        const float a = crossing[i];
        // values equal to the level are all inside the region
        for (; i < crossing.size() && crossing[i] == a; ++i) sum += double(a) * a;
        if (sum >= target || i == crossing.size()) {
            out.level = a;
            break;
        }
    }
    out.enclosed = sum / total;
    return out;
}

namespace {

// Vertices stay this share of a grid step clear of the grid points, so that
// the edges meeting at a point on the level do not give coinciding vertices.
constexpr double edgeMargin = 1.0 / 128;

// The six tetrahedra of a cell, each a path from corner 0 to corner 7 that
// steps along one axis at a time; corner bits: 1 x, 2 y, 4 z.
constexpr std::array<std::array<int, 4>, 6> cellTetrahedra{{
    {0, 1, 3, 7}, {0, 1, 5, 7}, {0, 2, 3, 7}, {0, 2, 6, 7}, {0, 4, 5, 7}, {0, 4, 6, 7}}};

struct Vec3d {
    double x = 0, y = 0, z = 0;
};
Vec3d operator-(Vec3d a, Vec3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3d operator+(Vec3d a, Vec3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3d operator*(double s, Vec3d a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Vec3d a, Vec3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3d cross(Vec3d a, Vec3d b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3d toDouble(Vec3f v) { return {v.x, v.y, v.z}; }
Vec3f toFloat(Vec3d v) { return {float(v.x), float(v.y), float(v.z)}; }

// The surface f = level around f >= level, f = sign * psi, over the grid
// widened by one layer of zeros on every side. Cells are walked a slab of
// x at a time; the vertices on edges whose lower end lies in the slab's two
// layers are kept by edge, so every crossed edge has one vertex.
class Extractor {
public:
    Extractor(const PsiGrid& grid, double level, float sign)
        : g_(grid), level_(level), sign_(sign), n_(grid.points), side_(grid.points + 2) {}

    Mesh run() {
        if (n_ < 2 || !(level_ > 0)) return {};
        std::vector<float> layer[2] = {std::vector<float>(side_ * side_), std::vector<float>(side_ * side_)};
        std::vector<std::uint32_t> edges[2] = {std::vector<std::uint32_t>(7 * side_ * side_),
                                               std::vector<std::uint32_t>(7 * side_ * side_)};
        loadLayer(-1, layer[0]);
        for (int i = -1; i < n_; ++i) {
            loadLayer(i + 1, layer[1]);
            std::fill(edges[1].begin(), edges[1].end(), 0u);
            layer_ = layer;
            edges_ = edges;
            x0_ = i;
            for (int j = -1; j < n_; ++j)
                for (int k = -1; k < n_; ++k) cell(j, k);
            std::swap(layer[0], layer[1]);
            std::swap(edges[0], edges[1]);
        }
        finishNormals();
        return std::move(mesh_);
    }

private:
    int slot(int j, int k) const { return (j + 1) * side_ + (k + 1); }
    float value(int i, int j, int k) const { return sign_ * g_.at(i, j, k); }
    Vec3d position(int i, int j, int k) const { return {g_.coordinate(i), g_.coordinate(j), g_.coordinate(k)}; }
    Vec3d gradient(int i, int j, int k) const {
        const double twice = 2 * g_.spacing();
        return {(value(i + 1, j, k) - value(i - 1, j, k)) / twice, (value(i, j + 1, k) - value(i, j - 1, k)) / twice,
                (value(i, j, k + 1) - value(i, j, k - 1)) / twice};
    }

    void loadLayer(int i, std::vector<float>& to) const {
        for (int j = -1; j <= n_; ++j)
            for (int k = -1; k <= n_; ++k) to[slot(j, k)] = value(i, j, k);
    }

    void cell(int j, int k) {
        float f[8];
        bool any = false, all = true;
        for (int c = 0; c < 8; ++c) {
            f[c] = layer_[c & 1][slot(j + (c >> 1 & 1), k + (c >> 2 & 1))];
            const bool in = f[c] >= level_;
            any = any || in;
            all = all && in;
        }
        if (!any || all) return;
        for (const auto& tet : cellTetrahedra) tetrahedron(tet, f, j, k);
    }

    // Vertex on the cell edge from corner p to corner q (q's bits include
    // p's), made the first time the edge is met.
    std::uint32_t vertex(int p, int q, const float f[8], int j, int k) {
        std::uint32_t& cached = edges_[p & 1][7 * slot(j + (p >> 1 & 1), k + (p >> 2 & 1)) + (q ^ p) - 1];
        if (cached) return cached - 1;
        const int in = f[p] >= level_ ? p : q, out = in == p ? q : p;
        const double t = std::clamp((f[in] - level_) / (double(f[in]) - f[out]), edgeMargin, 1 - edgeMargin);
        const auto corner = [&](int c) { return std::array{x0_ + (c & 1), j + (c >> 1 & 1), k + (c >> 2 & 1)}; };
        const auto [ai, aj, ak] = corner(in);
        const auto [bi, bj, bk] = corner(out);
        const Vec3d a = position(ai, aj, ak), b = position(bi, bj, bk);
        const Vec3d ga = gradient(ai, aj, ak), gb = gradient(bi, bj, bk);
        mesh_.vertices.push_back(toFloat(a + t * (b - a)));
        // f falls outwards
        normals_.push_back(-1.0 * ((1 - t) * ga + t * gb));
        cached = static_cast<std::uint32_t>(mesh_.vertices.size());
        return cached - 1;
    }

    void tetrahedron(const std::array<int, 4>& tet, const float f[8], int j, int k) {
        int in[4], out[4], nIn = 0, nOut = 0;
        for (int c : tet) (f[c] >= level_ ? in[nIn++] : out[nOut++]) = c;
        if (nIn == 0 || nOut == 0) return;
        // Corners are in path order, so the lower of two is the one with fewer bits.
        const auto edge = [&](int a, int b) {
            return std::popcount(unsigned(a)) < std::popcount(unsigned(b)) ? vertex(a, b, f, j, k)
                                                                           : vertex(b, a, f, j, k);
        };
        Vec3d inside, outside;
        for (int q = 0; q < nIn; ++q) inside = inside + (1.0 / nIn) * cornerPosition(in[q], j, k);
        for (int q = 0; q < nOut; ++q) outside = outside + (1.0 / nOut) * cornerPosition(out[q], j, k);
        const Vec3d outwards = outside - inside;
        if (nIn == 1) {
            triangle(edge(in[0], out[0]), edge(in[0], out[1]), edge(in[0], out[2]), outwards);
        } else if (nIn == 3) {
            triangle(edge(in[0], out[0]), edge(in[1], out[0]), edge(in[2], out[0]), outwards);
        } else {
            // The quad ac, ad, bd, bc split along its shorter diagonal.
            const std::uint32_t ac = edge(in[0], out[0]), ad = edge(in[0], out[1]);
            const std::uint32_t bd = edge(in[1], out[1]), bc = edge(in[1], out[0]);
            if (length2(ac, bd) <= length2(ad, bc)) {
                triangle(ac, ad, bd, outwards);
                triangle(ac, bd, bc, outwards);
            } else {
                triangle(ad, bd, bc, outwards);
                triangle(ad, bc, ac, outwards);
            }
        }
    }

    Vec3d cornerPosition(int c, int j, int k) const {
        return position(x0_ + (c & 1), j + (c >> 1 & 1), k + (c >> 2 & 1));
    }
    double length2(std::uint32_t a, std::uint32_t b) const {
        const Vec3d d = toDouble(mesh_.vertices[a]) - toDouble(mesh_.vertices[b]);
        return dot(d, d);
    }

    void triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, Vec3d outwards) {
        const Vec3d pa = toDouble(mesh_.vertices[a]);
        const Vec3d n = cross(toDouble(mesh_.vertices[b]) - pa, toDouble(mesh_.vertices[c]) - pa);
        if (dot(n, outwards) < 0) std::swap(b, c);
        mesh_.triangles.push_back({a, b, c});
    }

    // Unit gradient normals; where the gradient vanishes, the mean of the
    // faces around the vertex.
    void finishNormals() {
        std::vector<Vec3d> faces;
        mesh_.normals.resize(mesh_.vertices.size());
        for (std::size_t v = 0; v < normals_.size(); ++v) {
            const double len = std::sqrt(dot(normals_[v], normals_[v]));
            if (len > 0 && std::isfinite(len)) {
                mesh_.normals[v] = toFloat((1 / len) * normals_[v]);
                continue;
            }
            if (faces.empty()) faces = faceNormalSums();
            const double flen = std::sqrt(dot(faces[v], faces[v]));
            mesh_.normals[v] = flen > 0 ? toFloat((1 / flen) * faces[v]) : Vec3f{0, 0, 1};
        }
    }
    std::vector<Vec3d> faceNormalSums() const {
        std::vector<Vec3d> sums(mesh_.vertices.size());
        for (const auto& t : mesh_.triangles) {
            const Vec3d p = toDouble(mesh_.vertices[t[0]]);
            const Vec3d n = cross(toDouble(mesh_.vertices[t[1]]) - p, toDouble(mesh_.vertices[t[2]]) - p);
            for (std::uint32_t v : t) sums[v] = sums[v] + n;
        }
        return sums;
    }

    const PsiGrid& g_;
    const double level_;
    const float sign_;
    const int n_, side_;
    int x0_ = 0;  // x index of the cells' lower layer
    const std::vector<float>* layer_ = nullptr;
    std::vector<std::uint32_t>* edges_ = nullptr;
    std::vector<Vec3d> normals_;
    Mesh mesh_;
};

}  // namespace

SignSurfaces isosurfaces(const PsiGrid& grid, double level) {
    SignSurfaces out;
    bool negativeMade = true;
    const auto makeNegative = [&] {
        try {
            out.negative = Extractor(grid, level, -1.0f).run();
        } catch (const std::bad_alloc&) {
            negativeMade = false;
        }
    };
    // The two surfaces are independent: the negative one on a second core.
    std::thread helper;
    try {
        helper = std::thread(makeNegative);
    } catch (const std::system_error&) {
        makeNegative();
    }
    try {
        out.positive = Extractor(grid, level, 1.0f).run();
    } catch (const std::bad_alloc&) {
        negativeMade = false;  // neither is kept
    }
    if (helper.joinable()) helper.join();
    if (!negativeMade) out = SignSurfaces{};
    return out;
}

EnclosingSurfaces enclosingSurfaces(const PsiGrid& grid, double fraction) {
    EnclosingSurfaces out;
    out.level = enclosedLevel(grid, fraction);
    out.problem = out.level.problem;
    if (!out.problem.empty()) return out;
    out.surfaces = isosurfaces(grid, out.level.level);
    // the largest |psi| lies inside one of the two regions
    if (out.surfaces.positive.triangles.empty() && out.surfaces.negative.triangles.empty())
        out.problem = "There is not enough memory for the surfaces.";
    return out;
}

}  // namespace vantrel
