// A triangle mesh in the orbital's own frame, in Angstroms.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vantrel {

struct Vec3f {
    float x = 0, y = 0, z = 0;
};

struct Mesh {
    std::vector<Vec3f> vertices;
    std::vector<Vec3f> normals;  // one unit normal per vertex, pointing outwards
    std::vector<std::array<std::uint32_t, 3>> triangles;  // counter-clockwise seen from outside
};

}  // namespace vantrel
