#include "app/orbitalexports.h"

#include <cmath>
#include <utility>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/isosurface.h"
#include "engine/psigrid.h"
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

void writeSlices(Exporter& out, const Orbital& orbital, double extent) {
    // The program's psi in Angstrom^-3/2 lacks the azimuthal factor's
    // norm; the cube file's factor has it (and turns Angstroms into bohr).
    const double toNormalised = cubeFileFactor(orbital) / std::pow(bohr, 1.5);
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

void writeGridFiles(Exporter& out, const Orbital& orbital, double extent, const ExportChoices& choices) {
    processEvents();
    const PsiGridOutcome grid = evaluatePsiGrid(orbital, extent);
    if (!grid.problem.empty()) return out.failed("psi on a grid", grid.problem);
    if (choices.cube) out.wrote(".cube", writeCubeFile(out.path(".cube"), grid.grid, orbital));
    if (!choices.surface) return;
    processEvents();
    const EnclosingSurfaces s = enclosingSurfaces(grid.grid, choices.enclosedPercent / 100.0);
    if (!s.problem.empty()) return out.failed("the surfaces", s.problem);
    out.wrote(".glb", writeGlb(out.path(".glb"), s.surfaces));
    out.wrote(".stl", writeStl(out.path(".stl"), s.surfaces));
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
    if (choices.image) {
        processEvents();
        const PointFileCloud cloud = readPointCloud(globals().orbital.csvFile);
        if (!cloud.problem.empty())
            out.failed("the picture", cloud.problem);
        else if (!pictures)
            out.wrote(".png", noPictureWriter);
        else
            out.wrote(".png", pictures->writeCloudPicture(out.path(".png"), batchViewState(cloud.maxPsi2),
                                                          cloud.points, cloudPictureSize));
    }
    if (choices.cube || choices.surface) writeGridFiles(out, orbital, extent, choices);
    if (choices.slice) writeSlices(out, orbital, extent);
    return out.take();
}

}  // namespace vantrel
