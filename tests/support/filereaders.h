// Other programs that read the files this one writes (Open Babel, assimp),
// and a check of an STL solid as a slicer joins it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace vantrel::test {

// What a command prints on its standard output.
inline std::string output(const std::string& command) {
    std::string text;
    if (std::FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
        ::pclose(p);
    }
    return text;
}
inline bool installed(const char* program) { return !output(std::string("command -v ") + program).empty(); }

// The number after `label` in assimp's report, -1 when absent.
inline long reported(const std::string& report, const std::string& label) {
    const std::size_t at = report.find(label);
    return at == std::string::npos ? -1 : std::atol(report.c_str() + at + label.size());
}

// A cube file as Open Babel reads it: its atoms (as XYZ) and, written out
// again by Open Babel to `copy`, the grid's points along each axis.
struct CubeAsRead {
    std::string atoms, element;
    std::array<double, 3> nucleus{1, 1, 1};
    std::array<int, 3> points{};
};
inline CubeAsRead readCube(const std::string& path, const std::string& copy) {
    CubeAsRead cube;
    std::istringstream xyz(output("obabel '" + path + "' -oxyz"));
    std::string comment;
    std::getline(xyz, cube.atoms);
    std::getline(xyz, comment);
    xyz >> cube.element >> cube.nucleus[0] >> cube.nucleus[1] >> cube.nucleus[2];
    output("obabel '" + path + "' -O '" + copy + "'");
    std::ifstream back(copy);
    std::string line;
    for (int i = 0; i < 3; ++i) std::getline(back, line);
    for (int& n : cube.points) {
        back >> n;
        std::getline(back, line);
    }
    return cube;
}

// A binary STL file's triangle count from its header, -1 when the size
// does not match it.
inline long stlTriangles(const std::string& bytes) {
    if (bytes.size() < 84) return -1;
    std::uint32_t count = 0;
    std::memcpy(&count, &bytes[80], 4);
    return bytes.size() == 84 + 50 * std::size_t(count) ? long(count) : -1;
}

// Edges of a binary STL solid not shared by exactly two triangles, edges
// taken by their end points' coordinates.
inline int stlOpenEdges(const std::string& bytes) {
    using Point = std::array<float, 3>;
    std::map<std::pair<Point, Point>, int> edges;
    for (long t = 0; t < stlTriangles(bytes); ++t) {
        Point p[3];
        std::memcpy(p, &bytes[84 + 50 * std::size_t(t) + 12], sizeof p);
        for (int q = 0; q < 3; ++q) ++edges[std::minmax(p[q], p[(q + 1) % 3])];
    }
    int notTwo = 0;
    for (const auto& [edge, n] : edges) notTwo += n != 2;
    return notTwo;
}

}  // namespace vantrel::test
