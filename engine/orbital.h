// The current orbital's numbers: validity, the default extent, file names.
#pragma once

namespace vantrel {

// Quantum numbers that can be set up: l < n, |m| <= l, and n + l within
// the factorial table.
bool validNumbers(int n, int l, int m);
// Whether l < n and |m| <= l, whatever the table size.
bool quantumNumbersConsistent(long long n, long long l, long long m);

// Half the side of the sampling cube that holds most of level n of charge z.
int defaultExtent(int n, int z);
int defaultExtent();  // of the current orbital

}  // namespace vantrel
