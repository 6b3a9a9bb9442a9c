// The point data file (".csv"): a header line "count,extent,maxPsi2"
// padded with blanks to 50 characters, then one "x,y,z,psi" line per
// accepted point, all with CR LF; readers take LF too. Its conversion to
// an XYZ file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "engine/cloudpoint.h"
#include "engine/orbital.h"
#include "engine/pointsink.h"
#include "engine/radialhistogram.h"

namespace vantrel {

inline constexpr int headerLength = 50;

struct PointFileHeader {
    int count = 0;       // point lines on disk at the writer's last checkpoint
    double extent = 0;   // half the side of the sampling cube, Angstroms
    double maxPsi2 = 0;  // the run's ceiling of psi squared
};
// Three finite numbers separated by commas or blanks, the padding after
// them ignored; the count must be a whole number from 0 to INT_MAX.
std::optional<PointFileHeader> parsePointHeader(std::string_view line);
// The header as the writer puts it down: headerLength characters, no line end.
std::string pointHeaderText(const PointFileHeader& header);
// "x,y,z,psi" with blanks allowed around the numbers.
bool parsePointLine(std::string_view line, CloudPoint& point);
// Writes the point's line with its CR LF to out, which has room for
// pointLineRoom characters; returns its length.
inline constexpr std::size_t pointLineRoom = 160;
std::size_t pointLineText(const CloudPoint& point, char* out);

// What a file's first line says, for a run that would append to it.
struct PointFileStart {
    std::optional<PointFileHeader> header;
    bool fixedWidth = false;  // the line is exactly headerLength long, so it can be patched
    bool pointsFollow = false;  // there is more than the header line
};
// nullopt when the file cannot be read or its first line is absurdly long.
std::optional<PointFileStart> readPointFileStart(const std::string& path);

enum class PointFileStatus { NotOpened, Complete, Broken };
struct PointFileRead {
    PointFileStatus status = PointFileStatus::NotOpened;
    std::optional<PointFileHeader> header;
    int points = 0;  // points handed on
};
using PointCallback = std::function<bool(const CloudPoint&)>;  // false stops the reading (Broken)
// Hands every point of the file to onPoint in file order (blank lines
// skipped), stopping at the first line that is not a point. onHeader sees
// the header (nullopt when it is broken) before any point.
PointFileRead forEachPoint(const std::string& path, const PointCallback& onPoint,
                           const std::function<void(const std::optional<PointFileHeader>&)>& onHeader = {});

// Counts a point file into a radial histogram. The caller's start sees the
// header and returns the empty histogram to fill (sized for the extent it
// settles on).
struct PointFileCount {
    PointFileRead read;
    RadialHistogram histogram;
};
// progress, when given, hears the points counted so far now and then;
// keepResponsive runs just before it.
PointFileCount countPointFile(const std::string& path,
                              const std::function<RadialHistogram(const std::optional<PointFileHeader>&)>& start,
                              const std::function<void(long long)>& progress = {},
                              const std::function<void()>& keepResponsive = {});

// The point file as a run writes it: appended lines go through a buffer
// and reach the disk at every checkpoint, after which the header is patched
// to count exactly the whole point lines on disk. A run killed at any
// moment thus leaves a file that can be continued. Problems are kept as
// text, never thrown.
class PointFileWriter : public PointSink {
public:
    explicit PointFileWriter(std::string path) : path_(std::move(path)) {}
    ~PointFileWriter() override { close(); }
    PointFileWriter(const PointFileWriter&) = delete;
    PointFileWriter& operator=(const PointFileWriter&) = delete;

    // Both lock the file for this writer (flock, released when it closes);
    // while another run holds it they refuse and problem() says so.
    bool create();
    // Appends to a file of whole lines (see cutToWholeLines) holding points.
    bool openAppend(int points);

    bool empty() const { return committed_ == 0 && buf_.empty(); }
    bool failed() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }
    int points() const { return points_; }  // whole point lines on disk
    bool hasPending() const { return !buf_.empty(); }

    // A blank header line, patched at the first checkpoint.
    void addPlaceholder();
    void addPoint(const CloudPoint& point);
    bool accept(const CloudPoint& point, double) override {
        addPoint(point);
        return !failed();
    }
    // The point lines made on the threads that evaluate the trials.
    bool prepares() const override { return true; }
    void prepare(const SampleBlock& block, std::string& text, std::uint32_t* ends) const override;
    bool acceptPrepared(const CloudPoint&, double, std::string_view line) override {
        addLine(line);
        return !failed();
    }
    // Writes what is buffered; on failure keeps the whole lines that made it.
    bool flush();
    // Flushes and patches the header to count the points now on disk.
    bool checkpoint(double extent, double maxPsi2);
    bool close();

private:
    void addLine(std::string_view line);
    void commit(std::size_t bytes, int points);
    bool stillOurs();
    bool lockOrRefuse();
    bool failWith(int err);

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
bool cutToWholeLines(const std::string& path);

struct XyzOptions {
    std::string csvFile;  // the point file read
    std::string xyzFile;  // the XYZ file written, and its viewer copy beside it
    // The comment line: the file's base name, the species, the colour suffix
    // and the level's energy.
    std::string baseName;
    std::string speciesName;
    std::string colorSuffix;
    OrbitalNumbers numbers;
    double dotSize = 2;
    int axisMax = 10;  // axis length in Angstroms
    bool firstQuadrant = false;  // only points with x, y, z all positive
    bool byNodes = false;        // colour by the sign of psi, not by probability
    // Now and then during the conversion: the points done and the points in all.
    std::function<void(long long, long long)> progress;
    std::function<void()> keepResponsive;  // often, so that a window stays responsive
    unsigned threads = 0;        // threads that convert (0: one a core); the file is the same
};
// What a conversion found: the point file's header when it could be read,
// and "" or the message that says what went wrong (the file is written as
// far as it could be).
struct XyzResult {
    std::optional<PointFileHeader> header;
    std::string problem;
};
// Converts a point file into its XYZ file.
XyzResult convertPointFileToXyz(const XyzOptions& options);

}  // namespace vantrel
