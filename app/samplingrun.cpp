#include "app/samplingrun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "output/platform.h"
#include "engine/samplekernel.h"
#include "engine/sampleproducer.h"
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
constexpr std::size_t flushSize = 1 << 18;

// First line of a file without its line end (CR LF or LF). False when
// the file cannot be read or the line is absurdly long.
bool readFirstLine(const std::string& path, std::string& line) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[256];
    ssize_t got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
        if (got == static_cast<ssize_t>(sizeof buf)) break;
    }
    ::close(fd);
    const char* end = static_cast<const char*>(std::memchr(buf, '\n', got));
    if (!end) {
        if (got == static_cast<ssize_t>(sizeof buf)) return false;
        end = buf + got;
    }
    line.assign(static_cast<const char*>(buf), end);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// One numeric field of the header: the whole token must be a finite number.
bool parseField(const std::string& tok, double& v) {
    const char* b = tok.data();
    const char* e = b + tok.size();
    if (b != e && *b == '+') ++b;
    if (b == e || !(std::isdigit(static_cast<unsigned char>(*b)) || *b == '-' || *b == '.')) return false;
    const auto res = std::from_chars(b, e, v, std::chars_format::general);
    return res.ec == std::errc() && res.ptr == e && std::isfinite(v);
}

// The three header fields, separated by commas or blanks.
bool parseHeader(const std::string& line, double field[3]) {
    std::size_t i = 0;
    for (int f = 0; f < 3; ++f) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ',' && line[i] != ' ' && line[i] != '\t') ++i;
        if (!parseField(line.substr(start, i - start), field[f])) return false;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i < line.size() && line[i] == ',') ++i;
    }
    return true;
}

// A file that a run may append to: its first line is a 50-character header.
bool hasHeaderLine(const std::string& path) {
    std::string line;
    return readFirstLine(path, line) && line.size() == static_cast<std::size_t>(headerLength);
}

// The point data file as the run writes it: appended lines go through a
// buffer and reach the disk at every checkpoint, after which the header is
// patched to count exactly the whole point lines on disk. A run killed at
// any moment thus leaves a file that can be continued.
class PointFile {
public:
    explicit PointFile(std::string path) : path_(std::move(path)) {}
    ~PointFile() { close(); }

    bool create() {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        committed_ = 0;
        if (fd_ < 0) return failWith(errno);
        return true;
    }

    // Appends to a file of whole lines (see cutToWholeLines) holding points.
    bool openAppend(int points) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) return failWith(errno);
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return failWith(errno);
        committed_ = st.st_size;
        points_ = points;
        return true;
    }

    bool empty() const { return committed_ == 0 && buf_.empty(); }
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }
    int points() const { return points_; }            // whole point lines on disk
    bool hasPending() const { return !buf_.empty(); }

    void addPlaceholder(const std::string& line) {
        buf_ += line;
        placeholderPending_ = true;
    }
    void addPoint(const char* text, std::size_t n) {
        buf_.append(text, n);
        ++pending_;
        if (buf_.size() >= flushSize) flush();
    }

    // Writes what is buffered; on failure keeps the whole lines that made it.
    bool flush() {
        if (failed() || fd_ < 0) return false;
        if (buf_.empty()) return true;
        if (!stillOurs()) return false;
        std::size_t done = 0;
        int err = 0;
        while (done < buf_.size()) {
            const ssize_t n = ::pwrite(fd_, buf_.data() + done, buf_.size() - done, committed_ + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                err = n < 0 ? errno : ENOSPC;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        if (err == 0) {
            commit(buf_.size(), pending_);
            return true;
        }
        // Only whole lines stay: cut back to the last line end written.
        std::size_t keep = 0;
        int lines = 0;
        for (std::size_t i = 0; i < done; ++i)
            if (buf_[i] == '\n') keep = i + 1, ++lines;
        if (placeholderPending_ && lines > 0) --lines;
        if (::ftruncate(fd_, committed_ + static_cast<off_t>(keep)) == 0 || keep == done) commit(keep, lines);
        return failWith(err);
    }

    // Flushes and patches the header to count the points now on disk.
    bool checkpoint(double extent, double maxPsi2) {
        const bool flushed = flush();
        if (fd_ < 0 || foreign_ || committed_ < headerLength) return false;
        std::string header = intText(points_) + "," + numText(extent) + "," + numText(maxPsi2) +
                             std::string(headerLength, ' ');
        header.resize(headerLength);
        if (::pwrite(fd_, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) {
            if (!failed()) failWith(errno ? errno : EIO);
            return false;
        }
        return flushed;
    }

    bool close() {
        bool ok = true;
        if (fd_ >= 0 && ::close(fd_) != 0 && !failed()) ok = failWith(errno);
        fd_ = -1;
        return ok && !failed();
    }

private:
    void commit(std::size_t bytes, int points) {
        committed_ += static_cast<off_t>(bytes);
        points_ += std::max(0, std::min(points, pending_));
        pending_ = 0;
        placeholderPending_ = false;
        buf_.clear();
    }

    // The file is still the one the run opened, and as long as written:
    // writing past the end of a file cut short would fill it with zeros.
    bool stillOurs() {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return failWith(errno);
        if (st.st_nlink == 0) {
            problem_ = "The point file " + path_ + " was deleted while the run wrote to it.";
        } else if (st.st_size < committed_) {
            problem_ = "The point file " + path_ + " was cut short while the run wrote to it.";
        } else {
            return true;
        }
        foreign_ = true;  // someone else's now: not another byte
        buf_.clear();
        pending_ = 0;
        return false;
    }

    bool failWith(int err) {
        if (problem_.empty()) problem_ = std::string(std::strerror(err)) + " writing " + path_;
        buf_.clear();
        pending_ = 0;
        return false;
    }

    std::string path_;
    int fd_ = -1;
    off_t committed_ = 0;
    int points_ = 0;
    int pending_ = 0;
    bool placeholderPending_ = false;
    bool foreign_ = false;
    std::string problem_;
    std::string buf_;
};

// Cuts a last line that lost its end (a run killed mid-write) so that
// appended points start on a line of their own. True when it cut.
bool cutToWholeLines(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool cut = false;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        off_t end = st.st_size;
        char buf[4096];
        // Search backwards for the last line end.
        while (end > 0) {
            const off_t from = std::max<off_t>(0, end - static_cast<off_t>(sizeof buf));
            const ssize_t n = ::pread(fd, buf, static_cast<std::size_t>(end - from), from);
            if (n != end - from) break;
            const void* nl = memrchr(buf, '\n', static_cast<std::size_t>(n));
            if (nl) {
                end = from + (static_cast<const char*>(nl) - buf) + 1;
                break;
            }
            end = from;
        }
        if (end < st.st_size && end > 0) cut = ::ftruncate(fd, end) == 0;
    }
    ::close(fd);
    return cut;
}

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

std::size_t pointLine(const SampleBlock& b, int j, char* out) {
    std::size_t n = numTextFast(b.x[j], out);
    out[n++] = ',';
    n += numTextFast(b.y[j], out + n);
    out[n++] = ',';
    n += numTextFast(b.z[j], out + n);
    out[n++] = ',';
    n += numTextFast(b.psi[j], out + n);
    out[n++] = '\r';
    out[n++] = '\n';
    return n;
}

// The point lines of a block's accepted trials, made on the thread that
// evaluated it.
void writePointLines(ProducedBlock& p) {
    constexpr std::size_t longestLine = 160;
    const SampleBlock& b = p.points;
    p.text.resize(static_cast<std::size_t>(b.nAccepted) * longestLine);
    std::size_t n = 0;
    for (int j = 0; j < b.nAccepted; ++j) {
        n += pointLine(b, j, p.text.data() + n);
        p.textEnd[j] = static_cast<std::uint32_t>(n);
    }
    p.text.resize(n);
}


}  // namespace

SamplingHooks& samplingHooks() { return sampleHooks; }
long long lastTrials() { return trialsMade; }
const RunProblem& lastRunProblem() { return runProblem; }


bool canContinue() {
    const auto& orb = globals().orbital;
    std::string line;
    if (!readFirstLine(orb.csvFile, line) || line.size() != static_cast<std::size_t>(headerLength))
        return false;
    double field[3];
    if (!parseHeader(line, field)) return false;
    if (std::fabs(field[0]) > 2147483647.0 || std::fabs(field[1]) > 32767.0) return false;
    const long long count = roundEven(field[0]);
    const long long extent = roundEven(field[1]);
    // A count of 0 with point lines after it is a run killed before its
    // first header patch: those points are kept too.
    struct stat st {};
    const bool hasPoints = count > 0 || (::stat(orb.csvFile.c_str(), &st) == 0 && st.st_size > headerLength + 2);
    return count >= 0 && hasPoints && field[2] > 0 && static_cast<double>(extent) == orb.extent;
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
    if (run.continueRun && !(run.maxPsi2 > 0 && std::isfinite(run.maxPsi2) && hasHeaderLine(orb.csvFile)))
        run.continueRun = false;

    PointFile file(orb.csvFile);
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
    if (file.empty()) file.addPlaceholder(std::string(headerLength, ' ') + crlf);
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
    const SampleKernel kernel(currentOrbital(), orb.extent, mult, restricted);
    LaneRandom lanes;
    lanes.seed(rng());
    SampleProducer producer(kernel, lanes, ceiling, sampleHooks.threads, writePointLines);
    long long trials = 0;

    while (!file.failed()) {
        const ProducedBlock& produced = producer.next();
        const SampleBlock* block = &produced.points;
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
            const std::uint32_t from = j > 0 ? produced.textEnd[j - 1] : 0;
            file.addPoint(produced.text.data() + from, produced.textEnd[j] - from);
            if (file.failed()) {  // the point is not in the file: not counted
                end = idx + 1;
                break;
            }
            addRadialHit(radialBin(block->r[j], k));  // sampled points lie inside the histogram
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
