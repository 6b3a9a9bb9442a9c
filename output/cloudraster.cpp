#include "output/cloudraster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantrel {

namespace {

// The cube's half side times this fits half the image's shorter side, so
// the axes' labels and most of the box stay inside at any angle.
constexpr double fitFactor = 1.5;

double finiteOr(double v, double fallback) { return std::isfinite(v) && v > 0 ? v : fallback; }

}  // namespace

ScreenPoint projectPoint(const CloudScene& scene, double x, double y, double z) {
    return raster::Projection(scene)(x, y, z);
}

double pixelsPerAngstrom(const CloudScene& scene) { return raster::Projection(scene).scale; }

double tickStep(const CloudScene& scene) {
    const double minGap = 9 * finiteOr(scene.pixelRatio, 1);
    const double scale = pixelsPerAngstrom(scene);
    return scale >= minGap ? 1 : 10 * scale >= minGap ? 10 : 0;
}

namespace raster {

Projection::Projection(const CloudScene& s) {
    const double deg = std::numbers::pi / 180;
    const double az = std::isfinite(s.camera.azimuth) ? s.camera.azimuth * deg : 0;
    const double el = std::isfinite(s.camera.elevation) ? std::clamp(s.camera.elevation, -90.0, 90.0) * deg : 0;
    const double ca = std::cos(az), sa = std::sin(az), ce = std::cos(el), se = std::sin(el);
    scale = finiteOr(s.camera.zoom, 1) * 0.5 * std::max(1, std::min(s.width, s.height)) /
            (fitFactor * finiteOr(s.extent, 1));
    cx = 0.5 * s.width;
    cy = 0.5 * s.height;
    rx = -sa * scale;
    ry = ca * scale;
    ux = se * ca * scale;
    uy = se * sa * scale;
    uz = -ce * scale;
    ex = dx = ce * ca;
    ey = dy = ce * sa;
    ez = dz = se;
}

CutTest::CutTest(const CloudCut& c) {
    if (c.plane == CutPlane::none || !std::isfinite(c.offset)) return;
    axis = c.plane == CutPlane::yz ? 0 : c.plane == CutPlane::xz ? 1 : 2;
    sign = c.hideAbove ? 1.0f : -1.0f;
    limit = sign * static_cast<float>(c.offset);
}

void Painter::blend(int x, int y, Rgb c, float alpha) {
    if (x < 0 || y < 0 || x >= img_.width || y >= img_.height || alpha <= 0) return;
    std::uint32_t& p = img_.pixels[static_cast<std::size_t>(y) * img_.width + x];
    const float a = std::min(alpha, 1.0f);
    auto mix = [a](std::uint32_t old, std::uint8_t to) { return static_cast<float>(old & 0xff) * (1 - a) + to * a; };
    p = packRgb(mix(p >> 16, c.r), mix(p >> 8, c.g), mix(p, c.b));
}

void Painter::line(double x0, double y0, double x1, double y1, double width, Rgb colour, float alpha) {
    if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    // Walk the major axis one pixel at a time; across it, coverage falls off
    // with the distance to the line.
    if (steep) std::swap(x0, y0), std::swap(x1, y1);
    if (x0 > x1) std::swap(x0, x1), std::swap(y0, y1);
    const double dx = x1 - x0, dy = y1 - y0;
    const double len = std::hypot(dx, dy);
    const double half = 0.5 * width;
    const double across = len > 0 ? half * len / dx : half;  // half width measured along the minor axis
    const double slope = dx > 0 ? dy / dx : 0;
    const double cosine = len > 0 ? dx / len : 1;
    const int limit = steep ? img_.height : img_.width;
    const int first = std::max(0, static_cast<int>(std::floor(x0 - half)));
    const int last = std::min(limit - 1, static_cast<int>(std::ceil(x1 + half)));
    for (int u = first; u <= last; ++u) {
        const double c = u + 0.5;
        const double ends = std::clamp(std::min(c - x0 + 0.5, x1 - c + 0.5), 0.0, 1.0);  // caps
        if (ends <= 0) continue;
        const double centre = y0 + slope * (std::clamp(c, x0, x1) - x0);
        const int v0 = static_cast<int>(std::floor(centre - across - 1)), v1 = static_cast<int>(std::ceil(centre + across + 1));
        for (int v = v0; v <= v1; ++v) {
            const double dist = std::abs(v + 0.5 - centre) * cosine;
            const double cover = std::clamp(half + 0.5 - dist, 0.0, 1.0) * ends;
            if (cover > 0) steep ? blend(v, u, colour, alpha * static_cast<float>(cover)) : blend(u, v, colour, alpha * static_cast<float>(cover));
        }
    }
}

void Painter::disc(double x, double y, double radius, Rgb colour, float alpha) {
    if (!(std::isfinite(x) && std::isfinite(y) && radius > 0)) return;
    for (int v = static_cast<int>(std::floor(y - radius - 1)); v <= static_cast<int>(std::ceil(y + radius + 1)); ++v)
        for (int u = static_cast<int>(std::floor(x - radius - 1)); u <= static_cast<int>(std::ceil(x + radius + 1)); ++u) {
            const double cover = std::clamp(radius + 0.5 - std::hypot(u + 0.5 - x, v + 0.5 - y), 0.0, 1.0);
            blend(u, v, colour, alpha * static_cast<float>(cover));
        }
}

void SurfaceLayer::reset(int w, int h) {
    width = w;
    height = h;
    depth.assign(static_cast<std::size_t>(w) * h, farDepth);
    colour.assign(static_cast<std::size_t>(w) * h, 0);
}

namespace {

// Unit normals from the faces when the mesh brings none of its own.
std::vector<Vec3f> faceNormals(const Mesh& m) {
    std::vector<Vec3f> n(m.vertices.size());
    for (const auto& t : m.triangles) {
        if (t[0] >= n.size() || t[1] >= n.size() || t[2] >= n.size()) continue;
        const Vec3f &a = m.vertices[t[0]], &b = m.vertices[t[1]], &c = m.vertices[t[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const Vec3f f{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
        for (auto i : t) n[i].x += f.x, n[i].y += f.y, n[i].z += f.z;
    }
    for (auto& v : n) {
        const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        if (len > 0) v.x /= len, v.y /= len, v.z /= len;
    }
    return n;
}

}  // namespace

void MeshRaster::prepare(const std::vector<SurfaceMesh>& meshes, const CloudScene& scene) {
    const Projection p(scene);
    const CutTest cut(scene.cut);
    // A headlight a little above and to the left of the viewer.
    const double s = 1 / p.scale;
    double lx = 0.8 * p.ex - 0.45 * p.ux * s - 0.3 * p.rx * s;
    double ly = 0.8 * p.ey - 0.45 * p.uy * s - 0.3 * p.ry * s;
    double lz = 0.8 * p.ez - 0.45 * p.uz * s;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll, ly /= ll, lz /= ll;
    constexpr double ambient = 0.22, inner = 0.7;
    vertices.assign(meshes.size(), {});
    for (std::size_t k = 0; k < meshes.size(); ++k) {
        const Mesh& m = meshes[k].mesh;
        const std::vector<Vec3f> own = m.normals.size() == m.vertices.size() ? std::vector<Vec3f>{} : faceNormals(m);
        const std::vector<Vec3f>& normals = own.empty() ? m.normals : own;
        auto& out = vertices[k];
        out.resize(m.vertices.size());
        for (std::size_t i = 0; i < m.vertices.size(); ++i) {
            const Vec3f& v = m.vertices[i];
            const Vec3f& n = normals[i];
            const ScreenPoint sp = p(v.x, v.y, v.z);
            const double lit = n.x * lx + n.y * ly + n.z * lz;
            const float c[3] = {v.x, v.y, v.z};
            out[i] = {static_cast<float>(sp.x), static_cast<float>(sp.y), static_cast<float>(sp.depth), c[cut.axis],
                      static_cast<float>(ambient + (1 - ambient) * std::max(0.0, lit)),
                      static_cast<float>(inner * (ambient + (1 - ambient) * std::max(0.0, -lit)))};
        }
    }
}

void MeshRaster::draw(const std::vector<SurfaceMesh>& meshes, const CloudScene& scene, SurfaceLayer& layer, int y0,
                      int y1) const {
    const CutTest cut(scene.cut);
    const int w = layer.width;
    for (std::size_t k = 0; k < meshes.size() && k < vertices.size(); ++k) {
        const auto& vs = vertices[k];
        const Rgb rgb = meshes[k].colour;
        for (const auto& t : meshes[k].mesh.triangles) {
            if (t[0] >= vs.size() || t[1] >= vs.size() || t[2] >= vs.size()) continue;
            const Vertex &a = vs[t[0]], &b = vs[t[1]], &c = vs[t[2]];
            const float minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
            const float minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
            if (!(minY < static_cast<float>(y1) && maxY >= static_cast<float>(y0) && minX < static_cast<float>(w) &&
                  maxX >= 0))
                continue;  // also drops NaN corners
            const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            if (!(std::abs(area) > 1e-12f)) continue;
            // Counter-clockwise seen from outside turns clockwise on a y-down screen.
            const bool front = area < 0;
            const float inv = 1 / area;
            const int px0 = std::max(0, static_cast<int>(std::floor(minX))), px1 = std::min(w - 1, static_cast<int>(std::ceil(maxX)));
            const int py0 = std::max(y0, static_cast<int>(std::floor(minY))), py1 = std::min(y1 - 1, static_cast<int>(std::ceil(maxY)));
            const float la = front ? a.front : a.back, lb = front ? b.front : b.back, lc = front ? c.front : c.back;
            // Barycentric weights of a and b step by a constant along a row.
            const float stepA = (b.y - c.y) * inv, stepB = (c.y - a.y) * inv;
            for (int y = py0; y <= py1; ++y) {
                const float fy = y + 0.5f, fx = px0 + 0.5f;
                float wa = ((b.x - fx) * (c.y - fy) - (c.x - fx) * (b.y - fy)) * inv;
                float wb = ((c.x - fx) * (a.y - fy) - (a.x - fx) * (c.y - fy)) * inv;
                const std::size_t row = static_cast<std::size_t>(y) * w;
                for (int x = px0; x <= px1; ++x, wa += stepA, wb += stepB) {
                    const float wc = 1 - wa - wb;
                    if (wa < 0 || wb < 0 || wc < 0) continue;
                    const float depth = wa * a.depth + wb * b.depth + wc * c.depth;
                    const std::size_t i = row + static_cast<std::size_t>(x);
                    if (!(depth > layer.depth[i])) continue;
                    if (cut.hides(wa * a.cut + wb * b.cut + wc * c.cut)) continue;
                    const float light = wa * la + wb * lb + wc * lc;
                    layer.depth[i] = depth;
                    layer.colour[i] = packRgb(rgb.r * light, rgb.g * light, rgb.b * light);
                }
            }
        }
    }
}

}  // namespace raster

}  // namespace vantrel
