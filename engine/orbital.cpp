#include "engine/orbital.h"

#include <algorithm>
#include <cstdlib>

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

}  // namespace vantrel
