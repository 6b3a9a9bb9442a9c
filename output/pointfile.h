// The point data file (".csv") and its conversion to an XYZ file.
#pragma once

#include <functional>
#include <string>

namespace vantrel {

inline constexpr int headerLength = 50;

struct XyzOptions {
    bool firstQuadrant = false;  // only points with x, y, z all positive
    bool byNodes = false;        // colour by the sign of psi, not by probability
    // Now and then during the conversion: the points done and the points in all.
    std::function<void(long long, long long)> progress;
};
// Converts the current orbital's point file into its XYZ file. Returns ""
// or the message that says what went wrong (the file is written as far as
// it could be).
std::string convertPointFileToXyz(const XyzOptions& options);

// Steps of counting a point file that the caller may follow.
struct PointFileSteps {
    std::function<void()> opened;                  // open, nothing read yet
    std::function<void(double)> headerExtent;      // the header's extent, when it has one
    std::function<void()> histogramReset;          // the histogram is empty and sized
    std::function<void(long long)> progress;       // now and then: the points counted so far
};
enum class PointFileCount { NotOpened, Complete, Broken };
// Reads the point file's header and counts its points into the radial
// histogram (run.nPoints, the hits, maxPsi2).
PointFileCount countPointFile(const std::string& path, const PointFileSteps& steps);

}  // namespace vantrel
