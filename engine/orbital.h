// An orbital's numbers: validity and the default extent.
#pragma once

namespace vantrel {

// The numbers that name an orbital: the nuclear charge Z and n, l, m.
struct OrbitalNumbers {
    int z = 1;
    int n = 1;
    int l = 0;
    int m = 0;
    bool operator==(const OrbitalNumbers&) const = default;
};

// Quantum numbers that can be set up: l < n, |m| <= l, and n + l within
// the factorial table.
bool validNumbers(int n, int l, int m);
// Whether l < n and |m| <= l, whatever the table size.
bool quantumNumbersConsistent(long long n, long long l, long long m);

// Half the side of the sampling cube that holds most of level n of charge z.
int defaultExtent(int n, int z);

}  // namespace vantrel
