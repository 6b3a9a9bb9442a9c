// Point files: the reader that rebuilds the histogram and the conversion
// to an XYZ file, with either colouring and either quadrant choice.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/orbitalfiles.h"
#include "app/windowstate.h"
#include "fuzz/fuzzstate.h"
#include "output/fileutil.h"
#include "output/pointfile.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 1 << 16) return 0;
    Session s;
    fuzz::freshState(s);
    const unsigned options = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string csv = s.orbital.csvFile;
    writeWholeFile(csv, bytes);
    readPointFile(s);
    XyzOptions o;
    o.csvFile = csv;
    o.xyzFile = s.orbital.xyzFile;
    o.firstQuadrant = options & 1;
    o.byNodes = options & 2;
    convertPointFileToXyz(o);
    return 0;
}
