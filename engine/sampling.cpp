#include "engine/sampling.h"

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

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "engine/samplekernel.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "output/radial.h"

namespace vantrel {

namespace {

SamplingHooks samplehooks;
long long trialsmade = 0;
bool running = false;

constexpr int ceilingtrials = 5000;
constexpr int nodetrials = 500;  // all-zero trials after which the region is a node
constexpr int labelevery = 25;
constexpr int plotevery = 100;
// The plot is redrawn at most this often, however fast points come in.
constexpr auto plotinterval = std::chrono::milliseconds(100);
constexpr auto slowrefresh = std::chrono::seconds(10);
constexpr std::size_t flushsize = 1 << 18;

// First line of a file without its line end (CR LF or LF). False when
// the file cannot be read or the line is absurdly long.
bool readfirstline(const std::string& path, std::string& line) {
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
bool parsefield(const std::string& tok, double& v) {
    const char* b = tok.data();
    const char* e = b + tok.size();
    if (b != e && *b == '+') ++b;
    if (b == e || !(std::isdigit(static_cast<unsigned char>(*b)) || *b == '-' || *b == '.')) return false;
    const auto res = std::from_chars(b, e, v, std::chars_format::general);
    return res.ec == std::errc() && res.ptr == e && std::isfinite(v);
}

// The three header fields, separated by commas or blanks.
bool parseheader(const std::string& line, double field[3]) {
    std::size_t i = 0;
    for (int f = 0; f < 3; ++f) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ',' && line[i] != ' ' && line[i] != '\t') ++i;
        if (!parsefield(line.substr(start, i - start), field[f])) return false;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i < line.size() && line[i] == ',') ++i;
    }
    return true;
}

// A file that a run may append to: its first line is a 50-character header.
bool hasheaderline(const std::string& path) {
    std::string line;
    return readfirstline(path, line) && line.size() == static_cast<std::size_t>(headerlength);
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
    bool openappend(const std::string& path, int points) {
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
        if (buf_.size() >= flushsize) flush();
    }
    void addpoint(const char* text, std::size_t n) {
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
    bool writeheader(const std::string& header) {
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
double estimateceiling(double extent) {
    double top = 0;
    for (int i = 0; i < ceilingtrials; ++i) {
        const double x = 2 * extent * randomcentered();
        const double y = 2 * extent * randomcentered();
        const double z = 2 * extent * randomcentered();
        double r = 0, r2 = 0, radial = 0;
        const double psi = wavefunction(x, y, z, r, r2, radial);
        if (r > extent / 10 && psi * psi > top) top = psi * psi;
    }
    return top;
}

std::size_t pointline(const SampleBlock& b, int j, char* out) {
    std::size_t n = numtext_fast(b.x[j], out);
    out[n++] = ',';
    n += numtext_fast(b.y[j], out + n);
    out[n++] = ',';
    n += numtext_fast(b.z[j], out + n);
    out[n++] = ',';
    n += numtext_fast(b.psi[j], out + n);
    out[n++] = '\r';
    out[n++] = '\n';
    return n;
}


}  // namespace

SamplingHooks& samplinghooks() { return samplehooks; }
long long lasttrials() { return trialsmade; }

double randomcentered() {
    double v = rng().uniform() + rng().uniform();
    v -= std::floor(v);
    return v - 0.5;
}

bool cancontinue() {
    const auto& orb = globals().orbital;
    std::string line;
    if (!readfirstline(orb.csvfile, line) || line.size() != static_cast<std::size_t>(headerlength))
        return false;
    double field[3];
    if (!parseheader(line, field)) return false;
    if (std::fabs(field[0]) > 2147483647.0 || std::fabs(field[1]) > 32767.0) return false;
    const long long count = roundeven(field[0]);
    const long long extent = roundeven(field[1]);
    return count > 0 && field[2] > 0 && static_cast<double>(extent) == orb.extent;
}

void samplepoints() {
    auto& g = globals();
    auto& f = form();
    auto& run = g.run;
    const auto& orb = g.orbital;

    updateorbital(false);
    trialsmade = 0;
    if (!validnumbers(orb.currentn, orb.currentl, orb.currentm)) return;
    const int k = binsperangstrom(0);
    run.rundone = false;
    int mult[3] = {0, 0, 0};
    bool restricted = false;
    setoptions(mult[0], mult[1], mult[2], restricted);

    // Appending needs a file with a header line and a usable ceiling;
    // anything else starts afresh.
    if (run.continuerun && !(run.maxpsi2 > 0 && std::isfinite(run.maxpsi2) && hasheaderline(orb.csvfile)))
        run.continuerun = false;

    PointFile file;
    if (!run.continuerun) {
        if (!file.create(orb.csvfile)) return;
        if (run.loadedfile == orb.csvfile) run.loadedfile.clear();
        resetradialhits();
        run.continuerun = true;
        f.lblCount.caption = "";
        refreshview();
        run.npoints = 0;
        const double t = calctheory();
        run.maxpsi2 = estimateceiling(orb.extent);
        if (run.maxpsi2 == 0) {
            dialogs().messagebox("psimaxerror--try again.", Buttons::OK);
            file.close();
            run.continuerun = false;
            return;
        }
        if (!orb.quickmode) {
            if (t > run.maxpsi2) run.maxpsi2 = t;
        } else if (run.maxpsi2 > t) {
            run.maxpsi2 = t;
        }
        f.lblCount.caption = "";
        f.lblCount.visible = true;
        refreshview();
    } else if (!file.openappend(orb.csvfile, run.npoints)) {
        return;
    }

    bool allzero = true;
    f.lblnode.visible = false;
    if (file.empty()) {
        const std::string placeholder = std::string(headerlength, ' ') + crlf;
        file.add(placeholder.data(), placeholder.size());
    }

    using clock = std::chrono::steady_clock;
    auto lastrefresh = clock::now();
    auto lastdraw = lastrefresh;
    bool plotwanted = false;     // a refresh is due by the point count
    bool pointssince = false;    // points came in since the last refresh

    const int quota = std::max(1, orb.maxpoints);
    const double ceiling = run.maxpsi2;
    SampleKernel kernel(currentorbital(), orb.extent, mult, restricted);
    kernel.seed(rng());
    auto block = std::make_unique<SampleBlock>();
    long long trials = 0;
    char line[160];

    for (;;) {
        kernel.run(ceiling, allzero, *block);
        // The trials of this block that happen: a stop that is already
        // asked for ends the run after its first trial.
        long long end = run.stoprequested ? 1 : sampleblocksize;
        bool node = false;
        if (allzero) {
            const long long nodeat = nodetrials + 1 - trials;  // 1-based trial of the node test
            if (nodeat <= end && block->firstnonzero >= nodeat) {
                end = nodeat;
                node = true;
            } else if (block->firstnonzero < end) {
                allzero = false;
            }
        }
        for (int j = 0; j < block->naccepted; ++j) {
            const int idx = block->index[j];
            if (idx >= end) break;
            addradialhit(radialbin(block->r[j], k));  // sampled points lie inside the histogram
            file.addpoint(line, pointline(*block, j, line));
            ++run.npoints;
            if (run.npoints % labelevery == 0) f.lblCount.caption = inttext(run.npoints);
            bool last = false;
            if (run.npoints % quota == 0) {
                run.rundone = true;
                last = true;
            } else {
                pointssince = true;
                if (run.npoints % plotevery == 0) plotwanted = true;
            }
            if (samplehooks.onpoint) samplehooks.onpoint();
            if (last || run.stoprequested || file.failed()) {
                end = idx + 1;
                break;
            }
        }
        trials += end;
        if (node) {
            f.lblCount.caption = "NODE!";
            f.lblnode.visible = true;
            run.rundone = true;
        }
        if (run.rundone || run.stoprequested || file.failed()) break;

        pumpevents();
        const auto now = clock::now();
        if ((plotwanted || (pointssince && now - lastrefresh > slowrefresh)) && now - lastdraw >= plotinterval) {
            drawradialplot(false);
            lastdraw = lastrefresh = now;
            plotwanted = pointssince = false;
        }
        if (run.stoprequested) break;
    }
    trialsmade = trials;

    if (run.npoints > 0) drawradialplot(true);

    bool ok = file.flush();
    if (file.failed()) run.npoints = file.points();  // the header counts what is in the file
    std::string header = inttext(run.npoints) + "," + numtext(orb.extent) + "," + numtext(run.maxpsi2) +
                         std::string(headerlength, ' ');
    header.resize(headerlength);
    ok = file.writeheader(header) && ok;
    ok = file.close() && ok;
    if (ok) run.loadedfile = orb.csvfile;
}

void startcalculation(bool batch) {
    if (running) return;
    auto& run = globals().run;
    auto& f = form();
    run.stoprequested = false;
    if (!batch) {
        run.continuerun = cancontinue();
        if (run.continuerun) {
            const Answer a =
                dialogs().messagebox("Continue previous calculation saved in " + globals().orbital.csvfile + "?",
                                     Buttons::YesNoCancel, "", Icon::Question);
            if (a == Answer::Cancel) return;
            run.continuerun = a == Answer::Yes;
        }
    }
    if (run.continuerun && globals().orbital.csvfile != run.loadedfile) readpointfile();
    running = true;
    callenablecontrols(false);
    f.Command1.caption = "Enough!";
    f.command1cancel = true;
    f.lblCount.caption = "";
    f.optTheory[0].select();
    samplepoints();
    f.command1cancel = false;
    f.Command1.caption = "&Calculate";
    running = false;
    callenablecontrols(true);
}

void calculateclick() {
    if (form().Command1.caption == "&Calculate")
        startcalculation(false);
    else
        globals().run.stoprequested = true;
}

}  // namespace vantrel
