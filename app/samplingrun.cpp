#include "app/samplingrun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "app/windowstate.h"
#include "app/appstate.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "engine/pointsink.h"
#include "engine/samplerun.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "engine/random.h"
#include "engine/radialhistogram.h"
#include "app/radialview.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/interruption.h"
#include "app/session.h"

namespace vantrel {

namespace {

constexpr int labelEvery = 25;
constexpr int plotEvery = 100;
// The plot is redrawn at most this often, however fast points come in.
constexpr auto plotInterval = std::chrono::milliseconds(100);
constexpr auto slowRefresh = std::chrono::seconds(10);

// The window's region as the run's options.
SamplingOptions windowSamplingOptions(Session& s) {
    const auto& orb = s.orbital;
    SamplingOptions options;
    options.extent = orb.extent;
    options.quota = orb.maxPoints;
    options.threads = s.samplingHooks.threads;
    setOptions(s.window, options.planeMult[0], options.planeMult[1], options.planeMult[2], options.restricted);
    return options;
}

// Says why the point file could not be written and how much of it is kept.
void reportFileProblem(Session& s, const PointFileWriter& file, const std::string& consequence) {
    auto& problem = s.run.problem;
    problem = {file.problem(), file.points()};
    s.dialogs->messageBox(problem.text + crlf + consequence, Buttons::OK);
}

std::string pointsKeptText(int points) {
    return "The file keeps " + intText(points) + (points == 1 ? " point." : " points.");
}

// The theory's peak raises a random look's ceiling, or in quick mode lowers it.
double withTheoryPeak(double estimate, double peak, bool quickMode) {
    return !quickMode ? std::max(estimate, peak) : std::min(estimate, peak);
}

// A fresh file: an empty histogram, the theory curve and the ceiling.
// False (the user told why) when there is nothing to sample with.
bool startAfresh(Session& s, PointFileWriter& file, const SamplingOptions& options) {
    auto& run = s.run;
    auto& f = s.window;
    const auto& orb = s.orbital;
    if (!file.create()) {
        reportFileProblem(s, file, "The run could not write its point file.");
        return false;
    }
    if (run.loadedFile == orb.csvFile) run.loadedFile.clear();
    resetRadialPlot(s);
    f.pointCountLabel.caption = "";
    refreshView(s);
    run.nPoints = 0;
    const double peak = calcTheory(s, options.restricted);
    run.maxPsi2 = estimateCeiling(s.wavefunction, orb.extent, s.random);
    if (run.maxPsi2 == 0) {
        s.dialogs->messageBox("psimaxerror--try again.", Buttons::OK);
        file.close();
        return false;
    }
    run.maxPsi2 = withTheoryPeak(run.maxPsi2, peak, orb.quickMode);
    f.pointCountLabel.caption = "";
    f.pointCountLabel.visible = true;
    refreshView(s);
    return true;
}

// The window's side of a run: the count label, the plot, the events, the
// checkpoints and the progress lines.
class RunWatcher {
public:
    RunWatcher(Session& s, PointFileWriter& file, int firstPoints) : s_(s), file_(file) {
        const int quota = std::max(1, s.orbital.maxPoints);
        target_ = (static_cast<long long>(firstPoints) / quota + 1) * quota;
    }

    void point(int points) {
        Session& s = s_;
        auto& f = s.window;
        s.run.nPoints = points;
        if (points % labelEvery == 0) f.pointCountLabel.caption = intText(points);
        if (points % std::max(1, s.orbital.maxPoints) != 0) {
            pointsSince_ = true;
            if (points % plotEvery == 0) plotWanted_ = true;
        }
        if (s.samplingHooks.onPoint) s.samplingHooks.onPoint();
    }

    bool block(const RunProgress& progress) {
        Session& s = s_;
        pumpEvents(s);
        if (interruption()) s.run.stopRequested.request();
        const auto now = clock::now();
        if ((plotWanted_ || (pointsSince_ && now - lastRefresh_ > slowRefresh)) && now - lastDraw_ >= plotInterval) {
            drawRadialPlot(s, false);
            lastDraw_ = lastRefresh_ = now;
            plotWanted_ = pointsSince_ = false;
        }
        if (file_.hasPending() && now - lastCheckpoint_ >= plotInterval) {
            file_.checkpoint(s.orbital.extent, s.run.maxPsi2);
            lastCheckpoint_ = now;
        }
        if (now - lastProgress_ >= s.samplingHooks.progressEvery) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(progress.elapsed).count();
            report(s, "  " + intText(progress.points) + " of " + intText(target_) + " points, " +
                   intText(progress.trials) + " trials, " + intText(seconds) + " s");
            lastProgress_ = now;
        }
        if (s.samplingHooks.onProgress) s.samplingHooks.onProgress(progress, target_);
        return !file_.failed();
    }

private:
    using clock = std::chrono::steady_clock;
    Session& s_;
    PointFileWriter& file_;
    long long target_ = 0;
    clock::time_point lastRefresh_ = clock::now(), lastDraw_ = lastRefresh_, lastCheckpoint_ = lastRefresh_,
                      lastProgress_ = lastRefresh_;
    bool plotWanted_ = false;   // a refresh is due by the point count
    bool pointsSince_ = false;  // points came in since the last refresh
};

// The run's end on the window: the node labels, the last checkpoint, the
// final plot, and a failed file said and forgotten.
void finishRun(Session& s, PointFileWriter& file, RunEnd end) {
    auto& run = s.run;
    auto& f = s.window;
    const auto& orb = s.orbital;
    if (end == RunEnd::Node) {
        f.pointCountLabel.caption = nodeCountCaption;
        f.nodeLabel.visible = true;
    }
    run.runDone = end == RunEnd::Quota || end == RunEnd::Node;
    file.checkpoint(orb.extent, run.maxPsi2);
    file.close();
    // After a failed write the histogram may hold points the file lost.
    if (file.failed()) run.nPoints = file.points();
    if (run.nPoints > 0) drawRadialPlot(s, true);
    else drawRadialAxes(s);  // a node: the axes stay, the labels say why
    if (file.failed()) {
        reportFileProblem(s, file, pointsKeptText(file.points()));
        run.loadedFile.clear();
    } else {
        run.loadedFile = orb.csvFile;
    }
}

// Why the saved run cannot be continued, or "": appending to a file that
// does not read whole, or under a ceiling that is not this orbital's, would
// grow a file that can never be shown.
std::string continueRefusal(Session& s, const SamplingOptions& options, bool savedFileWhole) {
    const auto& run = s.run;
    const auto& orb = s.orbital;
    const std::string keep = " It is left as it is; calculate without continuing to start it afresh.";
    if (!savedFileWhole)
        return "The point file " + orb.csvFile + " does not read whole: after " + intText(run.nPoints) +
               " points comes a line that is not a point of this orbital." + keep;
    // The ceiling a fresh run would start from, with its own generator so
    // that a seeded run samples the same points.
    Random check(1);
    const double estimate = estimateCeiling(s.wavefunction, orb.extent, check);
    const double peak = theoryCurve(s, options.restricted).peakDensity();
    const double fresh = estimate > 0 ? withTheoryPeak(estimate, peak, orb.quickMode) : 0;
    constexpr double factor = 1000;
    if (fresh > 0 && !(run.maxPsi2 <= fresh * factor && run.maxPsi2 >= fresh / factor))
        return "The largest psi squared in the header of " + orb.csvFile + ", " + numText(run.maxPsi2) +
               ", is far from this orbital's (about " + numText(fresh) + ")." + keep;
    return "";
}

}  // namespace

bool canContinue(const OrbitalState& orb) {
    const auto start = readPointFileStart(orb.csvFile);
    if (!start || !start->fixedWidth || !start->header) return false;
    const PointFileHeader& h = *start->header;
    if (std::fabs(h.extent) > 32767.0) return false;
    // A count of 0 with point lines after it is a run killed before its
    // first header patch: those points are kept too.
    return (h.count > 0 || start->pointsFollow) && h.maxPsi2 > 0 &&
           static_cast<double>(roundEven(h.extent)) == orb.extent;
}

void samplePoints(Session& s, bool savedFileWhole) {
    auto& run = s.run;
    const auto& orb = s.orbital;

    updateOrbital(s, false);
    run.trials = 0;
    run.problem = RunProblem{};
    if (!validNumbers(orb.currentN, orb.currentL, orb.currentM)) return;
    run.runDone = false;
    const SamplingOptions options = windowSamplingOptions(s);

    // Appending needs a file with a header line and a usable ceiling;
    // anything else starts afresh.
    const auto start = readPointFileStart(orb.csvFile);
    if (run.continueRun && !(run.maxPsi2 > 0 && std::isfinite(run.maxPsi2) && start && start->fixedWidth))
        run.continueRun = false;

    if (run.continueRun) {
        if (const std::string refusal = continueRefusal(s, options, savedFileWhole); !refusal.empty()) {
            run.problem = {refusal, 0};
            s.dialogs->messageBox(refusal, Buttons::OK);
            return;
        }
    }

    PointFileWriter file(orb.csvFile);
    const bool fresh = !run.continueRun;
    if (!run.continueRun) {
        if (!startAfresh(s, file, options)) return;
        run.continueRun = true;
    } else if (!file.openAppend(run.nPoints)) {
        reportFileProblem(s, file, pointsKeptText(file.points()));
        return;
    }

    s.window.nodeLabel.visible = false;
    if (file.empty()) file.addPlaceholder();
    // The header (count 0) goes down at once, so that a run killed before
    // its first checkpoint still leaves a file that can be continued.
    file.checkpoint(orb.extent, run.maxPsi2);

    // The 3-D view shows what the file holds: a fresh run's points alone,
    // a continued run's after those already there. Unseen, it holds none.
    OrbitalView& view = s.window.orbitalView;
    if (fresh || !view.shown)
        view.clearPoints();
    else
        view.loadPoints(orb.csvFile, eventPump(s));
    view.setCube(orb.extent, run.maxPsi2);

    RadialSink histogram(s.radial.histogram, plotBinsPerAngstrom(orb));
    SamplingRun sampling(s.wavefunction, options, run.maxPsi2, s.random);
    sampling.addSink(file);
    sampling.addSink(histogram);
    if (view.shown) {
        // Room for the quota, up to 4 million points (80 MB); more grow as they come.
        view.renderer.reservePoints(std::min<std::size_t>(static_cast<std::size_t>(std::max(0, orb.maxPoints)), 1u << 22));
        sampling.addSink(view);
    }
    RunWatcher watcher(s, file, run.nPoints);
    RunEvents events;
    events.onPoint = [&](int points) { watcher.point(points); };
    events.onBlock = [&](const RunProgress& progress) { return watcher.block(progress); };
    const RunEnd end = sampling.run(run.nPoints, run.stopRequested, events);
    run.trials = sampling.trials();
    view.flush();  // the last few reach the renderer; the view draws them when it next paints
    finishRun(s, file, end);
}

void startCalculation(Session& s, bool batch) {
    if (s.run.running) return;
    auto& run = s.run;
    auto& f = s.window;
    run.stopRequested.clear();
    if (!batch) {
        run.continueRun = canContinue(s.orbital);
        if (run.continueRun) {
            const Answer a =
                s.dialogs->messageBox("Continue previous calculation saved in " + s.orbital.csvFile + "?",
                                      Buttons::YesNoCancel, "", Icon::Question);
            if (a == Answer::Cancel) return;
            run.continueRun = a == Answer::Yes;
        }
    }
    // A last line cut off by a killed run goes before the points are counted.
    if (run.continueRun && cutToWholeLines(s.orbital.csvFile)) run.loadedFile.clear();
    const bool savedFileWhole =
        !run.continueRun || s.orbital.csvFile == run.loadedFile || readPointFile(s);
    run.running = true;
    callEnableControls(s, false);
    f.calculateButton.caption = "Enough!";
    f.escapeStopsRun = true;
    f.pointCountLabel.caption = "";
    f.plotModeOptions[0].select();
    samplePoints(s, savedFileWhole);
    f.escapeStopsRun = false;
    f.calculateButton.caption = "&Calculate";
    run.running = false;
    callEnableControls(s, true);
    // Only a file with points has anything to load or display.
    f.setCanLoad(canContinue(s.orbital));
}

void calculateClick(Session& s) {
    if (s.run.running)
        s.run.stopRequested.request();
    else
        startCalculation(s, false);
}

}  // namespace vantrel
