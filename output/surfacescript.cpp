#include "output/surfacescript.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/colorclasses.h"
#include "output/cloudscript.h"
#include "output/replacingfile.h"

namespace vantrel {

namespace {

constexpr double largestStep = 32767;

void putLittleEndian(std::vector<std::uint8_t>& to, std::uint32_t v, int bytes) {
    for (int b = 0; b < bytes; ++b) to.push_back(static_cast<std::uint8_t>(v >> (8 * b) & 0xff));
}

std::string encoded(const std::vector<std::uint8_t>& bytes) { return javaScriptString(base64(bytes.data(), bytes.size())); }

double largestCoordinate(const SignSurfaces& s) {
    double largest = 0;
    for (const Mesh* m : {&s.positive, &s.negative})
        for (const Vec3f& v : m->vertices)
            for (float c : {v.x, v.y, v.z})
                if (std::isfinite(c)) largest = std::max(largest, static_cast<double>(std::fabs(c)));
    return largest;
}

std::string surfaceRecord(const Mesh& mesh, Rgb colour, double scale) {
    std::vector<std::uint8_t> positions, normals, indices;
    positions.reserve(mesh.vertices.size() * 6);
    for (const Vec3f& v : mesh.vertices)
        for (float c : {v.x, v.y, v.z}) {
            const double step = std::isfinite(c) ? std::clamp(std::nearbyint(c / scale), -largestStep, largestStep) : 0;
            putLittleEndian(positions, static_cast<std::uint16_t>(static_cast<std::int16_t>(step)), 2);
        }
    normals.reserve(mesh.normals.size() * 3);
    for (const Vec3f& n : mesh.normals)
        for (float c : {n.x, n.y, n.z})
            normals.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(
                std::isfinite(c) ? std::clamp(std::nearbyint(c * 127.0), -127.0, 127.0) : 0)));
    const int indexBytes = mesh.vertices.size() <= 65536 ? 2 : 4;
    indices.reserve(mesh.triangles.size() * 3 * indexBytes);
    for (const auto& t : mesh.triangles)
        for (std::uint32_t i : t) putLittleEndian(indices, i, indexBytes);
    return "{colour: [" + std::to_string(colour.r) + "," + std::to_string(colour.g) + "," + std::to_string(colour.b) +
           "], vertices: " + std::to_string(mesh.vertices.size()) + ", triangles: " +
           std::to_string(mesh.triangles.size()) + ", indexBytes: " + std::to_string(indexBytes) +
           ",\n positions: " + encoded(positions) + ",\n normals: " + encoded(normals) +
           ",\n indices: " + encoded(indices) + "}";
}

}  // namespace

std::string writeSurfaceScript(const std::string& path, const std::string& xyzName, const SignSurfaces& surfaces,
                               const std::string& note) {
    const double largest = largestCoordinate(surfaces);
    const double scale = largest > 0 ? largest / largestStep : 1;
    char scaleText[40];
    std::snprintf(scaleText, sizeof scaleText, "%.17g", scale);
    ReplacingFile file(path);
    file.write("// Vantrel surfaces: those of " + xyzName + " for the 3-D viewer of the pages.\n");
    file.write("(window.vantrelSurfaces = window.vantrelSurfaces || {})[" + javaScriptString(xyzName) + "] = {\n");
    file.write("note: " + javaScriptString(note) + ",\nscale: " + scaleText + ",\nsurfaces: [\n");
    file.write(surfaceRecord(surfaces.positive, signColour(1), scale) + ",\n");
    file.write(surfaceRecord(surfaces.negative, signColour(-1), scale) + "\n]\n};\n");
    return file.commit();
}

}  // namespace vantrel
