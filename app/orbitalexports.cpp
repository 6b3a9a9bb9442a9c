#include "app/orbitalexports.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "app/windowstate.h"
#include "engine/isosurface.h"
#include "engine/psigrid.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/cubefile.h"
#include "output/meshfiles.h"
#include "app/platformhooks.h"
#include "output/pointfile.h"
#include "output/surfacescript.h"

namespace vantrel {

namespace {

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

const char* const noPictureWriter = "this program cannot draw pictures";

// The cube file and the surfaces' files; the surfaces for the picture.
std::vector<SurfaceMesh> writeGridFiles(Exporter& out, const ExportSubject& subject, const ExportChoices& choices,
                                        std::string& note, const std::function<void()>& keepResponsive) {
    // The page names the surfaces' companion: an older one must not show.
    const std::string companion = out.path(".surface.js");
    if (choices.surface) std::remove(companion.c_str());
    if (keepResponsive) keepResponsive();
    const PsiGridOutcome grid = evaluatePsiGrid(subject.orbital, subject.extent);
    if (!grid.problem.empty()) {
        out.failed("psi on a grid", grid.problem);
        return {};
    }
    if (choices.cube) out.wrote(".cube", writeCubeFile(out.path(".cube"), grid.grid, subject.orbital));
    if (!choices.surface) return {};
    if (keepResponsive) keepResponsive();
    const OrbitalSurfaces s = orbitalSurfaces(subject.orbital, grid.grid, choices.enclosedPercent);
    if (!s.problem.empty()) {
        out.failed("the surfaces", s.problem);
        return {};
    }
    out.wrote(".glb", writeGlb(out.path(".glb"), s.surfaces));
    out.wrote(".stl", writeStl(out.path(".stl"), s.surfaces));
    const std::string xyzName = std::filesystem::path(out.path(".xyz")).filename().string();
    out.wrote(".surface.js", writeSurfaceScript(companion, xyzName, s.surfaces, s.note));
    note = s.note;
    return signMeshes(s.surfaces);
}

void writeSlices(Exporter& out, const Orbital& orbital, double extent, PictureWriter* pictures,
                 const std::function<void()>& keepResponsive) {
    const double toNormalised = normalisedPsiFactor(orbital);
    struct Plane {
        SlicePlane plane;
        const char* ending;
    };
    for (const Plane& p : {Plane{SlicePlane::XY, ".xy.png"}, Plane{SlicePlane::YZ, ".yz.png"},
                           Plane{SlicePlane::XZ, ".xz.png"}}) {
        if (keepResponsive) keepResponsive();
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

// The program's psi in Angstrom^-3/2 lacks the azimuthal factor's norm;
// the cube file's factor has it (and turns Angstroms into bohr).
double normalisedPsiFactor(const Orbital& orbital) { return cubeFileFactor(orbital) / std::pow(bohr, 1.5); }

std::string writeCubeOf(const Orbital& orbital, double extent, const std::string& path) {
    const PsiGridOutcome grid = evaluatePsiGrid(orbital, extent);
    return grid.problem.empty() ? writeCubeFile(path, grid.grid, orbital) : grid.problem;
}

std::string writeSurfaceFile(const SignSurfaces& surfaces, MeshFormat format, const std::string& path) {
    switch (format) {
        case MeshFormat::glb: return writeGlb(path, surfaces);
        case MeshFormat::stl: return writeStl(path, surfaces);
        case MeshFormat::ply: return writePly(path, surfaces);
        case MeshFormat::obj: return writeObj(path, surfaces);
    }
    return "unknown format";
}

PointFileCloud readPointCloud(const std::string& path, const std::function<void()>& keepResponsive) {
    PointFileCloud cloud;
    const PointFileRead read = forEachPoint(
        path,
        [&cloud, &keepResponsive](const CloudPoint& p) {
            cloud.points.push_back(p);
            if ((cloud.points.size() & 4095) == 0 && keepResponsive) keepResponsive();
            return true;
        },
        [&cloud](const std::optional<PointFileHeader>& h) {
            if (h) cloud.maxPsi2 = h->maxPsi2;
        });
    if (read.status == PointFileStatus::NotOpened)
        cloud.problem = std::string(std::strerror(errno)) + " reading " + path;
    else if (read.status == PointFileStatus::Broken)
        cloud.problem = path + " is broken after " + intText(read.points) + " points";
    return cloud;
}

void applyDisplayOptions(const MainWindowState& window, CloudViewState& view) {
    view.colouring = window.colourModeOptions[0].checked ? CloudColouring::probability : CloudColouring::sign;
    view.blackBackground = window.blackBackgroundCheck.checked;
    view.box = window.jmolBoundingBoxCheck.checked;
}

OrbitalSurfaces orbitalSurfaces(const Orbital& orbital, const PsiGrid& grid, int percent) {
    OrbitalSurfaces out;
    EnclosingSurfaces s = enclosingSurfaces(grid, percent / 100.0);
    out.problem = s.problem;
    if (!out.problem.empty()) return out;
    out.surfaces = std::move(s.surfaces);
    char level[32];
    std::snprintf(level, sizeof level, "%.3g", s.level.level * normalisedPsiFactor(orbital));
    out.note = intText(percent) + " % inside |ψ| = " + level + " Å⁻³ᐟ²";
    return out;
}

std::vector<SurfaceMesh> signMeshes(const SignSurfaces& surfaces) {
    return {{surfaces.positive, signColour(1)}, {surfaces.negative, signColour(-1)}};
}

ExportOutcome writeOrbitalExports(const ExportSubject& subject, const std::string& name, const ExportChoices& choices,
                                  PictureWriter* pictures, const std::function<void()>& keepResponsive) {
    Exporter out(name);
    std::string surfaceNote;
    const std::vector<SurfaceMesh> surfaces = choices.cube || choices.surface
                                                  ? writeGridFiles(out, subject, choices, surfaceNote, keepResponsive)
                                                  : std::vector<SurfaceMesh>{};
    if (choices.image) {
        if (keepResponsive) keepResponsive();
        const PointFileCloud cloud = readPointCloud(subject.pointFile, keepResponsive);
        CloudViewState view = subject.view;
        view.resetCamera();
        view.extent = subject.extent;
        view.maxPsi2 = cloud.maxPsi2;
        view.surfaceNote = surfaceNote;
        if (!cloud.problem.empty())
            out.failed("the picture", cloud.problem);
        else if (!pictures)
            out.wrote(".png", noPictureWriter);
        else
            out.wrote(".png", pictures->writeCloudPicture(out.path(".png"), view, cloud.points, surfaces,
                                                          cloudPictureSize));
    }
    if (choices.slice) writeSlices(out, subject.orbital, subject.extent, pictures, keepResponsive);
    return out.take();
}

}  // namespace vantrel
