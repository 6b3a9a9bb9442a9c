// Files written beside an orbital's page for courses and other programs: a
// picture of the cloud, psi on a grid as a cube file, the enclosing
// surfaces as glTF and STL, and psi in the three coordinate planes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cloudview/cloudviewstate.h"
#include "engine/cloudpoint.h"
#include "engine/isosurface.h"
#include "output/cloudrender.h"
#include "output/sliceimage.h"

namespace vantrel {

// The surfaces' enclosed probability in whole per cent.
inline constexpr int minEnclosedPercent = static_cast<int>(minEnclosed * 100 + 0.5);
inline constexpr int maxEnclosedPercent = static_cast<int>(maxEnclosed * 100 + 0.5);
inline constexpr int defaultEnclosedPercent = static_cast<int>(defaultEnclosed * 100 + 0.5);

// What a sequence run asks for besides the page; each stays on for the
// lines that follow, like the window's options.
struct ExportChoices {
    bool image = false, cube = false, surface = false, slice = false;
    int enclosedPercent = defaultEnclosedPercent;  // of the probability inside the surfaces
    bool any() const { return image || cube || surface || slice; }
};

inline constexpr int cloudPictureSize = 800;  // pixels a side
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr int slicePixels = 16;  // a fuzzer's input needs a slice, not a sharp one
#else
inline constexpr int slicePixels = 512;  // the plane's pixels a side
#endif

// Pictures need fonts and a PNG encoder, which only the Qt layer has; it
// writes them through ReplacingFile. Each returns "" or the problem.
class PictureWriter {
public:
    virtual ~PictureWriter() = default;
    // The cloud and the surfaces as `state` shows them, size x size pixels.
    virtual std::string writeCloudPicture(const std::string& path, const CloudViewState& state,
                                          const std::vector<CloudPoint>& points,
                                          const std::vector<SurfaceMesh>& surfaces, int size) = 0;
    // psi in a plane, with its axes' names, a scale bar in Angstroms and the
    // colour scale, whose ends are +-scaleEnd (psi normalised over all
    // space, Angstrom^-3/2).
    virtual std::string writeSlicePicture(const std::string& path, const SliceImage& slice, double scaleEnd) = 0;
};

struct MainWindowState;
// The window's display options as the 3-D view shows them: the colour
// options, "Black Background" and "Include Bounding Box".
void applyDisplayOptions(const MainWindowState& window, CloudViewState& view);

// One orbital's files: what they show and where its points are.
struct ExportSubject {
    Orbital orbital;
    double extent = 1;      // half side of the sampling cube, Angstroms
    std::string pointFile;  // the cloud for the picture
    CloudViewState view;    // the picture's options; camera, extent and scale are set from the rest
};

// The surfaces that enclose `percent` % of the probability on psi's grid
// over the cube, and the legend's note: the share and the level c.
struct OrbitalSurfaces {
    SignSurfaces surfaces;
    std::string note;     // "90 % inside |psi| = c" with c normalised, Angstrom^-3/2
    std::string problem;  // "" when made
};
OrbitalSurfaces orbitalSurfaces(const Orbital& orbital, const PsiGrid& grid, int percent);
// The two surfaces in the sign colours, for the 3-D view.
std::vector<SurfaceMesh> signMeshes(const SignSurfaces& surfaces);

// psi as the program evaluates it, times this, is psi normalised over all
// space in Angstrom^-3/2 (the unit of the slices' colour scale).
double normalisedPsiFactor(const Orbital& orbital);

// A point file's cloud, for pictures and the view.
struct PointFileCloud {
    std::vector<CloudPoint> points;
    double maxPsi2 = 0;   // from the header
    std::string problem;  // "" when the file was read whole
};
// keepResponsive runs now and then while the file is read.
PointFileCloud readPointCloud(const std::string& path, const std::function<void()>& keepResponsive = {});

// Single files for the window's menu; "" or the problem.
std::string writeCubeOf(const Orbital& orbital, double extent, const std::string& path);
enum class MeshFormat { glb, stl, ply, obj };
std::string writeSurfaceFile(const SignSurfaces& surfaces, MeshFormat format, const std::string& path);

struct ExportOutcome {
    std::vector<std::string> written;   // paths
    std::vector<std::string> problems;  // one message each
};

// Writes the files that `choices` ask for, `name` plus ".png", ".cube",
// ".glb", ".stl", ".surface.js" (the page's viewer's copy), ".xy.png",
// ".yz.png" and ".xz.png". With the surfaces asked for, the picture shows
// them over the cloud. keepResponsive runs between the steps.
ExportOutcome writeOrbitalExports(const ExportSubject& subject, const std::string& name, const ExportChoices& choices,
                                  PictureWriter* pictures, const std::function<void()>& keepResponsive = {});

}  // namespace vantrel
