#include "engine/orbital.h"

#include <algorithm>
#include <cstdlib>

#include "engine/globals.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"

namespace vantrel {

bool quantumNumbersConsistent(long long n, long long l, long long m) { return l < n && std::llabs(m) <= l; }

bool validNumbers(int n, int l, int m) {
    // 64-bit sums: huge typed numbers must not wrap into the valid range.
    return n >= 1 && quantumNumbersConsistent(n, l, m) && static_cast<long long>(n) + l <= factorialMax;
}

int defaultExtent(int n, int z) {
    const double nn = n;
    long long e = roundEven((nn * nn + 3 * nn - 5) / std::max(1, z));
    if (e < 1) e = 1;
    if ((z == 1 || z == 2) && n < 3) ++e;
    return clampInt(e);
}

int defaultExtent() { return defaultExtent(globals().orbital.currentN, globals().orbital.currentZ); }

void formFileNames() {
    auto& o = globals().orbital;
    std::string name = intText(o.currentN) + "_" + intText(o.currentL) + "_" + intText(o.currentM) + "_" +
                       o.planeName;
    if (o.currentZ != 1) name += "_(z_" + intText(o.currentZ) + ")";
    if (o.quickMode) name += "_quick";
    replaceAll(name, "__", "_");
    o.baseName = name;
    // Only the name this program forms is lower-cased: the directory is the
    // user's and Linux paths are case-sensitive.
    const std::string cache = globals().mainDir + "/files/";
    o.xyzFile = cache + lower(name + o.colorSuffix + ".xyz");
    o.csvFile = cache + name + ".csv";
}

}  // namespace vantrel
