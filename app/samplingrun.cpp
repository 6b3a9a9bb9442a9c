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
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "output/radialplot.h"
#include "engine/random.h"
#include "engine/radialhistogram.h"
#include "app/radialview.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"

namespace vantrel {

namespace {

SamplingHooks sampleHooks;
long long trialsMade = 0;
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
// buffer; what reached the disk is tracked, so that a failed write can be
// cut back to whole lines and the header made to match them.
class PointFile {
public:
    ~PointFile() { close(); }

    bool create(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        committed_ = 0;
        return fd_ >= 0;
    }

    // Appends to an existing file; a last line without its end gets one.
    bool openAppend(const std::string& path, int points) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) return false;
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return fail();
        committed_ = st.st_size;
        points_ = points;
        if (committed_ > 0) {
            char last = 0;
            if (::pread(fd_, &last, 1, committed_ - 1) != 1) return fail();
            if (last != '\n') add(crlf.data(), crlf.size());
        }
        return true;
    }

    bool empty() const { return committed_ == 0 && buf_.empty(); }
    bool failed() const { return failed_; }
    int points() const { return points_; }

    void add(const char* text, std::size_t n) {
        buf_.append(text, n);
        if (buf_.size() >= flushSize) flush();
    }
    void addPoint(const char* text, std::size_t n) {
        add(text, n);
        ++pending_;
    }

    bool flush() {
        if (failed_ || fd_ < 0) return false;
        std::size_t done = 0;
        while (done < buf_.size()) {
            const ssize_t n = ::pwrite(fd_, buf_.data() + done, buf_.size() - done, committed_ + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                // keep only whole lines: back to what was there before this write
                const bool cut = ::ftruncate(fd_, committed_) == 0;
                (void)cut;  // nothing more to do if even that fails
                buf_.clear();
                pending_ = 0;
                failed_ = true;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        committed_ += static_cast<off_t>(done);
        points_ += pending_;
        pending_ = 0;
        buf_.clear();
        return true;
    }

    // Header in place over the first 50 bytes.
    bool writeHeader(const std::string& header) {
        if (fd_ < 0) return false;
        return ::pwrite(fd_, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size());
    }

    bool close() {
        bool ok = true;
        if (fd_ >= 0) ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }

private:
    bool fail() {
        close();
        return false;
    }
    int fd_ = -1;
    off_t committed_ = 0;
    int points_ = 0;
    int pending_ = 0;
    bool failed_ = false;
    std::string buf_;
};

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


}  // namespace

SamplingHooks& samplingHooks() { return sampleHooks; }
long long lastTrials() { return trialsMade; }


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
    return count > 0 && field[2] > 0 && static_cast<double>(extent) == orb.extent;
}

void samplePoints() {
    auto& g = globals();
    auto& f = mainWindow();
    auto& run = g.run;
    const auto& orb = g.orbital;

    updateOrbital(false);
    trialsMade = 0;
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

    PointFile file;
    if (!run.continueRun) {
        if (!file.create(orb.csvFile)) return;
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
    } else if (!file.openAppend(orb.csvFile, run.nPoints)) {
        return;
    }

    bool allZero = true;
    f.nodeLabel.visible = false;
    if (file.empty()) {
        const std::string placeholder = std::string(headerLength, ' ') + crlf;
        file.add(placeholder.data(), placeholder.size());
    }

    using clock = std::chrono::steady_clock;
    auto lastRefresh = clock::now();
    auto lastDraw = lastRefresh;
    bool plotWanted = false;     // a refresh is due by the point count
    bool pointsSince = false;    // points came in since the last refresh

    const int quota = std::max(1, orb.maxPoints);
    const double ceiling = run.maxPsi2;
    SampleKernel kernel(currentOrbital(), orb.extent, mult, restricted);
    kernel.seed(rng());
    auto block = std::make_unique<SampleBlock>();
    long long trials = 0;
    char line[160];

    for (;;) {
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
            addRadialHit(radialBin(block->r[j], k));  // sampled points lie inside the histogram
            file.addPoint(line, pointLine(*block, j, line));
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
            if (last || run.stopRequested || file.failed()) {
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
        const auto now = clock::now();
        if ((plotWanted || (pointsSince && now - lastRefresh > slowRefresh)) && now - lastDraw >= plotInterval) {
            drawRadialPlot(false);
            lastDraw = lastRefresh = now;
            plotWanted = pointsSince = false;
        }
        if (run.stopRequested) break;
    }
    trialsMade = trials;

    if (run.nPoints > 0) drawRadialPlot(true);
    else drawRadialAxes();  // a node: the axes stay, the labels say why

    bool ok = file.flush();
    if (file.failed()) run.nPoints = file.points();  // the header counts what is in the file
    std::string header = intText(run.nPoints) + "," + numText(orb.extent) + "," + numText(run.maxPsi2) +
                         std::string(headerLength, ' ');
    header.resize(headerLength);
    ok = file.writeHeader(header) && ok;
    ok = file.close() && ok;
    if (ok) run.loadedFile = orb.csvFile;
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
