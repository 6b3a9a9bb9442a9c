#include "app/orbitalfiles.h"

#include <algorithm>
#include <chrono>
#include <iostream>

#include "app/orbitalcontrols.h"
#include "app/radialview.h"
#include "app/samplingrun.h"
#include "app/session.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "engine/radialhistogram.h"
#include "engine/textutil.h"
#include "output/cloudscript.h"
#include "output/pages.h"
#include "app/platformhooks.h"
#include "output/pointfile.h"

namespace vantrel {

namespace {

// A progress line for a batch run now and then, once a phase has taken as
// long as the interval (two seconds): "  reading 1_0_0_.csv: 1200000 points, 4 s".
class PhaseProgress {
public:
    PhaseProgress(Session& s, std::string what) : s_(s), what_(std::move(what)) {}
    void operator()(long long done, long long total = -1) {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < s_.samplingHooks.progressEvery) return;
        last_ = now;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - started_).count();
        report(s_, "  " + what_ + ": " + intText(done) + (total >= 0 ? " of " + intText(total) : "") + " points, " +
               intText(seconds) + " s");
    }

private:
    Session& s_;
    std::string what_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now(), last_ = started_;
};

}  // namespace

bool readPointFile(Session& s) {
    const std::string path = s.orbital.csvFile;
    MainWindowState& f = s.window;
    // Once the file is open, before any point.
    auto start = [&](const std::optional<PointFileHeader>& h) {
        setBusy(s, true);
        // The nuclear charge is part of the file name, "(z_3)"; without it
        // the file belongs to the H atom.
        const std::string name = path.substr(lastIndexOf(path, '/'));
        const auto zAt = name.find("(z_");
        if (zAt != std::string::npos) {
            const long long z = roundEven(val(name.substr(zAt + 3)));
            setNucleus(s, static_cast<int>(std::clamp(z, 1LL, 120LL)));
        } else {
            s.orbital.currentZ = 1;
            speciesMenu(s, 0);
        }
        f.pointCountLabel.caption = "Reading " + fileNameOf(path) + "...";
        refreshView(s);
        // A header without a usable extent leaves the current one, so the
        // points still find a histogram to go in.
        if (h && h->extent > 0) {
            s.orbital.extent = h->extent;
            f.extentText.setText(numText(h->extent));
        }
        clearRadialPlot(s);
        calcWindowTheory(s);
        return emptyHistogram(s.orbital);
    };
    PhaseProgress progress(s, "reading " + fileNameOf(path));
    PointFileCount count = countPointFile(path, start, [&progress](long long points) { progress(points); }, eventPump(s));
    if (count.read.status == PointFileStatus::NotOpened) return false;
    auto& run = s.run;
    run.nPoints = count.read.points;
    run.maxPsi2 = count.read.header ? count.read.header->maxPsi2 : 0;
    s.radial.histogram = std::move(count.histogram);
    f.pointCountLabel.caption = intText(run.nPoints);
    if (count.read.status == PointFileStatus::Complete) run.loadedFile = path;
    setBusy(s, false);
    return count.read.status == PointFileStatus::Complete;
}

bool writeXyzFile(Session& s) {
    MainWindowState& f = s.window;
    f.pointCountLabel.caption = "Writing HTML...";
    refreshView(s);
    XyzOptions options;
    options.firstQuadrant = f.firstQuadrantCheck.checked;
    options.byNodes = f.colourModeOptions[1].checked;
    updateOrbital(s, false);
    const OrbitalState& o = s.orbital;
    options.csvFile = o.csvFile;
    options.xyzFile = o.xyzFile;
    options.baseName = o.baseName;
    options.speciesName = o.speciesName;
    options.colorSuffix = o.colorSuffix;
    options.numbers = o.numbers();
    options.dotSize = o.dotSize;
    options.axisMax = o.axisMax;
    f.canCalculate = false;
    f.calculateButton.enabled = false;
    f.canLoad = f.loadButton.enabled = false;
    setBusy(s, true);
    PhaseProgress progress(s, "writing " + fileNameOf(s.orbital.xyzFile));
    options.progress = [&progress](long long done, long long total) { progress(done, total); };
    options.keepResponsive = eventPump(s);
    const XyzResult converted = convertPointFileToXyz(options);
    if (converted.header) {
        s.run.nPoints = converted.header->count;
        s.run.maxPsi2 = converted.header->maxPsi2;
    }
    const std::string& problem = converted.problem;
    f.pointCountLabel.caption = "";
    if (!problem.empty()) s.dialogs->messageBox(problem, Buttons::OK);
    setBusy(s, false);
    return problem.empty();
}

std::string viewerLimitWarning(long long points) {
    const long long limit = CloudScriptWriter::defaultLimit;
    if (points <= limit) return "";
    return intText(points) + " points are more than the page's viewer draws: it shows an even share of at most " +
           intText(limit) + " of them. The XYZ file holds them all.";
}

std::string createOrbitalPage(Session& s, bool* whole, bool surfaces, bool slices) {
    MainWindowState& f = s.window;
    f.displayFrame.enabled = false;
    if (whole) *whole = false;
    if (!writeXyzFile(s)) return "";

    callEnableControls(s, false);
    PageOptions options;
    options.jmol = f.useJmolCheck.checked;
    options.energyJoules = f.energyChecks[1].checked;
    options.energyAttojoules = f.energyChecks[0].checked;
    options.fourPanel = f.fourPanelCheck.checked;
    options.fullScreen = f.fullScreenCheck.checked;
    options.startRotation = f.startRotationCheck.checked;
    updateOrbital(s, false);
    options.blackBackground = f.blackBackgroundCheck.checked;
    options.boundingBox = f.jmolBoundingBoxCheck.checked;
    options.axes = f.jmolAxesCheck.checked;
    if (s.hooks.screenWidthTwips) options.screenWidthTwips = s.hooks.screenWidthTwips();
    options.surfaces = surfaces;
    options.slices = slices;
    std::vector<std::string> problems;
    const OrbitalState& o = s.orbital;
    const PageOrbital orbital{o.numbers(), o.speciesName, o.planeName, o.xyzFile, o.baseName + o.colorSuffix,
                              s.mainDir, dataDir(s), s.threeDir};
    const std::string page = writeOrbitalPages(orbital, options, problems);
    if (const std::string warning = viewerLimitWarning(s.run.nPoints); !warning.empty())
        s.dialogs->messageBox(warning, Buttons::OK);
    if (whole) *whole = problems.empty();
    if (problems.empty()) return page;
    std::string text = "Not every file of the orbital could be written; those files are as they were:";
    for (const auto& problem : problems) text += crlf + problem;
    s.dialogs->messageBox(text, Buttons::OK);
    return page;
}

bool openDocument(Session& s, const std::string& path, ShowMode mode) {
    if (!s.hooks.openUrl) {
        std::cout << path << std::endl;
        return true;
    }
    if (s.hooks.openUrl(path, mode == ShowMode::Maximised)) return true;
    // Say where the document is rather than seem to have opened it.
    s.dialogs->messageBox("No program could be found to open " + path + ".", Buttons::OK);
    return false;
}

void loadClick(Session& s) {
    MainWindowState& f = s.window;
    callEnableControls(s, false);
    readPointFile(s);
    syncOrbitalView(f, s.orbital);
    const std::string problem = f.orbitalView.loadPoints(s.orbital.csvFile, eventPump(s));
    if (!problem.empty()) report(s, "The 3-D view shows part of the file: " + problem);
    callEnableControls(s, true);
    clearRadialPlot(s);
    s.radialPlot.canvas().refresh();
    // The hits plot is redrawn even when "Actual Hits" was already selected.
    f.plotModeOptions[0].reselect();
}

void displayClick(Session& s) {
    MainWindowState& f = s.window;
    f.displayFrame.enabled = false;
    f.canCalculate = false;
    f.calculateButton.enabled = false;
    const std::string path = createOrbitalPage(s);
    if (!path.empty()) openDocument(s, path, ShowMode::Normal);
    callEnableControls(s, true);
    f.displayFrame.enabled = true;
    refreshView(s);
}

}  // namespace vantrel
