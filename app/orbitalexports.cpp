#include "app/orbitalexports.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/isosurface.h"
#include "engine/psigrid.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/cubefile.h"
#include "output/meshfiles.h"
#include "output/platform.h"
#include "output/pointfile.h"

namespace vantrel {

namespace {

PictureWriter* pictures = nullptr;

class Exporter {
public:
    explicit Exporter(std::string name) : name_(std::move(name)) {}

    // Records the outcome of writing name + ending.
    void wrote(const std::string& ending, const std::string& problem) {
        const std::string path = name_ + ending;
        if (problem.empty())
            outcome_.written.push_back(path);
        else
            outcome_.problems.push_back("Couldn't write " + path + ": " + problem);
    }
    void failed(const std::string& what, const std::string& problem) {
        outcome_.problems.push_back("Couldn't make " + what + " for " + name_ + ": " + problem);
    }
    std::string path(const std::string& ending) const { return name_ + ending; }
    ExportOutcome take() { return std::move(outcome_); }

private:
    std::string name_;
    ExportOutcome outcome_;
};

const char* noPictureWriter = "this program cannot draw pictures";

// The program's psi in Angstrom^-3/2 lacks the azimuthal factor's norm;
// the cube file's factor has it (and turns Angstroms into bohr).
double normalisedPsiFactor(const Orbital& orbital) { return cubeFileFactor(orbital) / std::pow(bohr, 1.5); }

// The cube file and the surfaces' files; the surfaces for the picture.
std::vector<SurfaceMesh> writeGridFiles(Exporter& out, const Orbital& orbital, double extent,
                                        const ExportChoices& choices, std::string& note) {
    processEvents();
    const PsiGridOutcome grid = evaluatePsiGrid(orbital, extent);
    if (!grid.problem.empty()) {
        out.failed("psi on a grid", grid.problem);
        return {};
    }
    if (choices.cube) out.wrote(".cube", writeCubeFile(out.path(".cube"), grid.grid, orbital));
    if (!choices.surface) return {};
    processEvents();
    const EnclosingSurfaces s = enclosingSurfaces(grid.grid, choices.enclosedPercent / 100.0);
    if (!s.problem.empty()) {
        out.failed("the surfaces", s.problem);
        return {};
    }
    out.wrote(".glb", writeGlb(out.path(".glb"), s.surfaces));
    out.wrote(".stl", writeStl(out.path(".stl"), s.surfaces));
    char level[32];
    std::snprintf(level, sizeof level, "%.3g", s.level.level * normalisedPsiFactor(orbital));
    note = intText(choices.enclosedPercent) + " % inside |ψ| = " + level + " Å⁻³ᐟ²";
    return {{s.surfaces.positive, signColour(1)}, {s.surfaces.negative, signColour(-1)}};
}

void writeSlices(Exporter& out, const Orbital& orbital, double extent) {
    const double toNormalised = normalisedPsiFactor(orbital);
    struct Plane {
        SlicePlane plane;
        const char* ending;
    };
    for (const Plane& p : {Plane{SlicePlane::XY, ".xy.png"}, Plane{SlicePlane::YZ, ".yz.png"},
                           Plane{SlicePlane::XZ, ".xz.png"}}) {
        processEvents();
        const SliceImage slice = psiSlice(orbital, {p.plane, 0, extent, slicePixels});
        if (!slice.problem.empty())
            out.wrote(p.ending, slice.problem);
        else if (!pictures)
            out.wrote(p.ending, noPictureWriter);
        else
            out.wrote(p.ending, pictures->writeSlicePicture(out.path(p.ending), slice, slice.maxAbsPsi * toNormalised));
    }
}

}  // namespace

void setPictureWriter(PictureWriter* writer) { pictures = writer; }

CloudViewState batchViewState(double maxPsi2) {
    const MainWindowState& f = mainWindow();
    CloudViewState state;
    state.extent = globals().orbital.extent;
    state.maxPsi2 = maxPsi2;
    state.colouring = f.colourModeOptions[0].checked ? CloudColouring::probability : CloudColouring::sign;
    state.blackBackground = f.blackBackgroundCheck.checked;
    state.box = f.jmolBoundingBoxCheck.checked;
    return state;
}

ExportOutcome writeOrbitalExports(const std::string& name, const ExportChoices& choices) {
    Exporter out(name);
    const Orbital& orbital = currentOrbital();
    const double extent = globals().orbital.extent;
    std::string surfaceNote;
    const std::vector<SurfaceMesh> surfaces =
        choices.cube || choices.surface ? writeGridFiles(out, orbital, extent, choices, surfaceNote)
                                        : std::vector<SurfaceMesh>{};
    if (choices.image) {
        processEvents();
        const PointFileCloud cloud = readPointCloud(globals().orbital.csvFile);
        CloudViewState state = batchViewState(cloud.maxPsi2);
        state.surfaceNote = surfaceNote;
        if (!cloud.problem.empty())
            out.failed("the picture", cloud.problem);
        else if (!pictures)
            out.wrote(".png", noPictureWriter);
        else
            out.wrote(".png", pictures->writeCloudPicture(out.path(".png"), state, cloud.points, surfaces,
                                                          cloudPictureSize));
    }
    if (choices.slice) writeSlices(out, orbital, extent);
    return out.take();
}

}  // namespace vantrel
