#include "app/orbitalfiles.h"

#include <algorithm>
#include <iostream>

#include "app/orbitalcontrols.h"
#include "app/radialview.h"
#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/radialhistogram.h"
#include "engine/textutil.h"
#include "output/pages.h"
#include "output/platform.h"
#include "output/pointfile.h"
#include "output/radialplot.h"

namespace vantrel {

void readPointFile() {
    const std::string path = globals().orbital.csvFile;
    MainWindowState& f = mainWindow();
    // Once the file is open, before any point.
    auto start = [&](const std::optional<PointFileHeader>& h) {
        setBusy(true);
        // The nuclear charge is part of the file name, "(z_3)"; without it
        // the file belongs to the H atom.
        const std::string name = path.substr(lastIndexOf(path, '/'));
        const auto zAt = name.find("(z_");
        if (zAt != std::string::npos) {
            const long long z = roundEven(val(name.substr(zAt + 3)));
            setNucleus(static_cast<int>(std::clamp(z, 1LL, 120LL)));
        } else {
            globals().orbital.currentZ = 1;
            speciesMenu(0);
        }
        f.pointCountLabel.caption = "Reading " + fileNameOf(path) + "...";
        refreshView();
        // A header without a usable extent leaves the current one, so the
        // points still find a histogram to go in.
        if (h && h->extent > 0) {
            globals().orbital.extent = h->extent;
            f.extentText.setText(numText(h->extent));
        }
        clearRadialPlot();
        calcWindowTheory();
        return emptyHistogram();
    };
    PointFileCount count = countPointFile(path, start);
    if (count.read.status == PointFileStatus::NotOpened) return;
    auto& run = globals().run;
    run.nPoints = count.read.points;
    run.maxPsi2 = count.read.header ? count.read.header->maxPsi2 : 0;
    globals().radial.histogram = std::move(count.histogram);
    f.pointCountLabel.caption = intText(run.nPoints);
    if (count.read.status == PointFileStatus::Complete) run.loadedFile = path;
    setBusy(false);
}

bool writeXyzFile() {
    MainWindowState& f = mainWindow();
    f.pointCountLabel.caption = "Writing HTML...";
    refreshView();
    XyzOptions options;
    options.firstQuadrant = f.firstQuadrantCheck.checked;
    options.byNodes = f.colourModeOptions[1].checked;
    updateOrbital(false);
    f.canCalculate = false;
    f.calculateButton.enabled = false;
    f.loadButton.enabled = false;
    setBusy(true);
    const std::string problem = convertPointFileToXyz(options);
    f.pointCountLabel.caption = "";
    if (!problem.empty()) dialogs().messageBox(problem, Buttons::OK);
    setBusy(false);
    return problem.empty();
}

std::string createOrbitalPage() {
    MainWindowState& f = mainWindow();
    f.displayFrame.enabled = false;
    if (!writeXyzFile()) return "";

    callEnableControls(false);
    PageOptions options;
    options.jmol = f.useJmolCheck.checked;
    options.energyJoules = f.energyChecks[1].checked;
    options.energyAttojoules = f.energyChecks[0].checked;
    options.fourPanel = f.fourPanelCheck.checked;
    options.fullScreen = f.fullScreenCheck.checked;
    options.startRotation = f.startRotationCheck.checked;
    updateOrbital(false);
    options.blackBackground = f.blackBackgroundCheck.checked;
    options.boundingBox = f.jmolBoundingBoxCheck.checked;
    options.axes = f.jmolAxesCheck.checked;
    if (hooks().screenWidthTwips) options.screenWidthTwips = hooks().screenWidthTwips();
    const PagesWritten written = writeOrbitalPages(options);
    if (!written.problems.empty()) dialogs().messageBox(written.problems, Buttons::OK);
    return written.path;
}

bool openDocument(const std::string& path, ShowMode mode) {
    if (!hooks().openUrl) {
        std::cout << path << std::endl;
        return true;
    }
    if (hooks().openUrl(path, mode == ShowMode::Maximised)) return true;
    // Say where the document is rather than seem to have opened it.
    dialogs().messageBox("No program could be found to open " + path + ".", Buttons::OK);
    return false;
}

void loadClick() {
    MainWindowState& f = mainWindow();
    callEnableControls(false);
    readPointFile();
    syncOrbitalView(f, globals().orbital);
    const std::string problem = f.orbitalView.loadPoints(globals().orbital.csvFile);
    if (!problem.empty()) report("The 3-D view shows part of the file: " + problem);
    callEnableControls(true);
    clearRadialPlot();
    radialPlotCanvas().refresh();
    // The hits plot is redrawn even when "Actual Hits" was already selected.
    f.plotModeOptions[0].reselect();
}

void displayClick() {
    MainWindowState& f = mainWindow();
    f.displayFrame.enabled = false;
    f.canCalculate = false;
    f.calculateButton.enabled = false;
    const std::string path = createOrbitalPage();
    if (!path.empty()) openDocument(path, ShowMode::Normal);
    callEnableControls(true);
    f.displayFrame.enabled = true;
    refreshView();
}

}  // namespace vantrel
