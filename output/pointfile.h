// The point data file (".csv") and its conversion to an XYZ file.
#pragma once

#include <functional>
#include <string>

namespace vantrel {

inline constexpr int headerLength = 50;

struct XyzOptions {
    bool firstQuadrant = false;  // only points with x, y, z all positive
    bool byNodes = false;        // colour by the sign of psi, not by probability
    unsigned threads = 0;        // threads that convert (0: one a core); the file is the same
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
};
enum class PointFileCount { NotOpened, Complete, Broken };
// Reads the point file's header and counts its points into the radial
// histogram (run.nPoints, the hits, maxPsi2).
PointFileCount countPointFile(const std::string& path, const PointFileSteps& steps);

}  // namespace vantrel
