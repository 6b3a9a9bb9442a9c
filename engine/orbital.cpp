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

int defaultExtent() {
    const auto& o = globals().orbital;
    const double n = o.currentN;
    const double z = std::max(1, o.currentZ);
    long long e = roundEven((n * n + 3 * n - 5) / z);
    if (e < 1) e = 1;
    if ((o.currentZ == 1 || o.currentZ == 2) && o.currentN < 3) ++e;
    return clampInt(e);
}

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
