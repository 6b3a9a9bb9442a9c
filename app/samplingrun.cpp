#include "app/samplingrun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "output/platform.h"
#include "engine/samplekernel.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "output/radialplot.h"
#include "engine/random.h"
#include "engine/radialhistogram.h"
#include "app/radialview.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/interruption.h"

namespace vantrel {

namespace {

SamplingHooks sampleHooks;
long long trialsMade = 0;
RunProblem runProblem;
bool running = false;

constexpr int ceilingTrials = 5000;
constexpr int nodeTrials = 500;  // all-zero trials after which the region is a node
constexpr int labelEvery = 25;
constexpr int plotEvery = 100;
// The plot is redrawn at most this often, however fast points come in.
constexpr auto plotInterval = std::chrono::milliseconds(100);
constexpr auto slowRefresh = std::chrono::seconds(10);

// The largest psi^2 found at 5000 points of the cube, leaving out the
// points within a tenth of the extent from the nucleus.
double estimateCeiling(double extent) {
    double top = 0;
    for (int i = 0; i < ceilingTrials; ++i) {
        const double x = 2 * extent * randomCentered();
        const double y = 2 * extent * randomCentered();
        const double z = 2 * extent * randomCentered();
        double r = 0, r2 = 0, radial = 0;
        const double psi = waveFunction(x, y, z, r, r2, radial);
        if (r > extent / 10 && psi * psi > top) top = psi * psi;
    }
    return top;
}

}  // namespace

SamplingHooks& samplingHooks() { return sampleHooks; }
long long lastTrials() { return trialsMade; }
const RunProblem& lastRunProblem() { return runProblem; }


bool canContinue() {
    const auto& orb = globals().orbital;
    const auto start = readPointFileStart(orb.csvFile);
    if (!start || !start->fixedWidth || !start->header) return false;
    const PointFileHeader& h = *start->header;
    if (std::fabs(h.extent) > 32767.0) return false;
    // A count of 0 with point lines after it is a run killed before its
    // first header patch: those points are kept too.
    return (h.count > 0 || start->pointsFollow) && h.maxPsi2 > 0 &&
           static_cast<double>(roundEven(h.extent)) == orb.extent;
}

void samplePoints() {
    auto& g = globals();
    auto& f = mainWindow();
    auto& run = g.run;
    const auto& orb = g.orbital;

    updateOrbital(false);
    trialsMade = 0;
    runProblem = RunProblem{};
    if (!validNumbers(orb.currentN, orb.currentL, orb.currentM)) return;
    const int k = binsPerAngstrom(0);
    run.runDone = false;
    int mult[3] = {0, 0, 0};
    bool restricted = false;
    setOptions(mult[0], mult[1], mult[2], restricted);

    // Appending needs a file with a header line and a usable ceiling;
    // anything else starts afresh.
    const auto start = readPointFileStart(orb.csvFile);
    if (run.continueRun && !(run.maxPsi2 > 0 && std::isfinite(run.maxPsi2) && start && start->fixedWidth))
        run.continueRun = false;

    PointFileWriter file(orb.csvFile);
    // Says why the file could not be written and how much of it is kept.
    auto reportProblem = [&] {
        runProblem = {file.problem(), file.points()};
        dialogs().messageBox(runProblem.text + crlf + "The file keeps " + intText(file.points()) +
                                 (file.points() == 1 ? " point." : " points."),
                             Buttons::OK);
    };
    if (!run.continueRun) {
        if (!file.create()) {
            runProblem = {file.problem(), 0};
            dialogs().messageBox(runProblem.text + crlf + "The run could not write its point file.", Buttons::OK);
            run.continueRun = false;
            return;
        }
        if (run.loadedFile == orb.csvFile) run.loadedFile.clear();
        resetRadialPlot();
        run.continueRun = true;
        f.pointCountLabel.caption = "";
        refreshView();
        run.nPoints = 0;
        const double t = calcTheory(restricted);
        run.maxPsi2 = estimateCeiling(orb.extent);
        if (run.maxPsi2 == 0) {
            dialogs().messageBox("psimaxerror--try again.", Buttons::OK);
            file.close();
            run.continueRun = false;
            return;
        }
        if (!orb.quickMode) {
            if (t > run.maxPsi2) run.maxPsi2 = t;
        } else if (run.maxPsi2 > t) {
            run.maxPsi2 = t;
        }
        f.pointCountLabel.caption = "";
        f.pointCountLabel.visible = true;
        refreshView();
    } else if (!file.openAppend(run.nPoints)) {
        reportProblem();
        return;
    }

    bool allZero = true;
    f.nodeLabel.visible = false;
    if (file.empty()) file.addPlaceholder();
    // The header (count 0) goes down at once, so that a run killed before
    // its first checkpoint still leaves a file that can be continued.
    file.checkpoint(orb.extent, run.maxPsi2);

    using clock = std::chrono::steady_clock;
    const auto started = clock::now();
    auto lastRefresh = started;
    auto lastDraw = started;
    auto lastCheckpoint = started;
    auto lastProgress = started;
    bool plotWanted = false;     // a refresh is due by the point count
    bool pointsSince = false;    // points came in since the last refresh

    const int quota = std::max(1, orb.maxPoints);
    const long long target = (static_cast<long long>(run.nPoints) / quota + 1) * quota;
    const double ceiling = run.maxPsi2;
    SampleKernel kernel(currentOrbital(), orb.extent, mult, restricted);
    kernel.seed(rng());
    auto block = std::make_unique<SampleBlock>();
    long long trials = 0;

    while (!file.failed()) {
        kernel.run(ceiling, allZero, *block);
        // The trials of this block that happen: a stop that is already
        // asked for ends the run after its first trial.
        long long end = run.stopRequested ? 1 : sampleBlockSize;
        bool node = false;
        if (allZero) {
            const long long nodeAt = nodeTrials + 1 - trials;  // 1-based trial of the node test
            if (nodeAt <= end && block->firstNonZero >= nodeAt) {
                end = nodeAt;
                node = true;
            } else if (block->firstNonZero < end) {
                allZero = false;
            }
        }
        for (int j = 0; j < block->nAccepted; ++j) {
            const int idx = block->index[j];
            if (idx >= end) break;
            file.addPoint({block->x[j], block->y[j], block->z[j], block->psi[j]});
            if (file.failed()) {  // the point is not in the file: not counted
                end = idx + 1;
                break;
            }
            g.radial.histogram.add(radialBin(block->r[j], k));  // sampled points lie inside the histogram
            ++run.nPoints;
            if (run.nPoints % labelEvery == 0) f.pointCountLabel.caption = intText(run.nPoints);
            bool last = false;
            if (run.nPoints % quota == 0) {
                run.runDone = true;
                last = true;
            } else {
                pointsSince = true;
                if (run.nPoints % plotEvery == 0) plotWanted = true;
            }
            if (sampleHooks.onPoint) sampleHooks.onPoint();
            if (last || run.stopRequested) {
                end = idx + 1;
                break;
            }
        }
        trials += end;
        if (node) {
            f.pointCountLabel.caption = nodeCountCaption;
            f.nodeLabel.visible = true;
            run.runDone = true;
        }
        if (run.runDone || run.stopRequested || file.failed()) break;

        pumpEvents();
        if (interruption()) run.stopRequested = true;
        const auto now = clock::now();
        if ((plotWanted || (pointsSince && now - lastRefresh > slowRefresh)) && now - lastDraw >= plotInterval) {
            drawRadialPlot(false);
            lastDraw = lastRefresh = now;
            plotWanted = pointsSince = false;
        }
        if (file.hasPending() && now - lastCheckpoint >= plotInterval) {
            file.checkpoint(orb.extent, run.maxPsi2);
            lastCheckpoint = now;
        }
        if (now - lastProgress >= sampleHooks.progressEvery) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - started).count();
            report("  " + intText(run.nPoints) + " of " + intText(target) + " points, " + intText(trials) +
                   " trials, " + intText(seconds) + " s");
            lastProgress = now;
        }
        if (run.stopRequested) break;
    }
    trialsMade = trials;

    file.checkpoint(orb.extent, run.maxPsi2);
    file.close();
    // After a failed write the histogram may hold points the file lost.
    if (file.failed()) run.nPoints = file.points();
    if (run.nPoints > 0) drawRadialPlot(true);
    else drawRadialAxes();  // a node: the axes stay, the labels say why
    if (file.failed()) {
        reportProblem();
        run.loadedFile.clear();
    } else {
        run.loadedFile = orb.csvFile;
    }
}

void startCalculation(bool batch) {
    if (running) return;
    auto& run = globals().run;
    auto& f = mainWindow();
    run.stopRequested = false;
    if (!batch) {
        run.continueRun = canContinue();
        if (run.continueRun) {
            const Answer a =
                dialogs().messageBox("Continue previous calculation saved in " + globals().orbital.csvFile + "?",
                                     Buttons::YesNoCancel, "", Icon::Question);
            if (a == Answer::Cancel) return;
            run.continueRun = a == Answer::Yes;
        }
    }
    // A last line cut off by a killed run goes before the points are counted.
    if (run.continueRun && cutToWholeLines(globals().orbital.csvFile)) run.loadedFile.clear();
    if (run.continueRun && globals().orbital.csvFile != run.loadedFile) readPointFile();
    running = true;
    callEnableControls(false);
    f.calculateButton.caption = "Enough!";
    f.escapeStopsRun = true;
    f.pointCountLabel.caption = "";
    f.plotModeOptions[0].select();
    samplePoints();
    f.escapeStopsRun = false;
    f.calculateButton.caption = "&Calculate";
    running = false;
    callEnableControls(true);
    // Only a file with points has anything to load or display.
    f.loadButton.enabled = f.displayButton.enabled = canContinue();
}

void calculateClick() {
    if (mainWindow().calculateButton.caption == "&Calculate")
        startCalculation(false);
    else
        globals().run.stopRequested = true;
}

}  // namespace vantrel
