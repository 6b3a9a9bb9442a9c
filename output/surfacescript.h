// The companion NAME.surface.js of an orbital's page: the two surfaces that
// enclose a share of the probability, packed for the pages' viewer. A page
// opened from disk may run a script element but may not fetch NAME.glb.
#pragma once

#include <string>

#include "engine/isosurface.h"

namespace vantrel {

// Files under window.vantrelSurfaces[xyzName], the key the viewer knows
// its cloud by. Per surface: its sign colour, positions as 16-bit steps of
// one scale (Angstroms, the orbital's own x, y, z), normals as 8-bit
// steps of 1/127, triangles as 16-bit vertex numbers (32-bit beyond 65 536
// vertices); `note` is the legend's line on the share and the level.
// "" or the problem; the target is replaced only with a whole file.
std::string writeSurfaceScript(const std::string& path, const std::string& xyzName, const SignSurfaces& surfaces,
                               const std::string& note);

}  // namespace vantrel
