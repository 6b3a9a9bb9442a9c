// Sequence files: the line reader and the keyword and state interpreter.
// Runs stop at their first point (or after a few thousand trials in this
// build) and the cache starts empty, so an input costs about a millisecond
// whatever it asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/samplingrun.h"
#include "app/sequence.h"
#include "fuzz/fuzzstate.h"
#include "output/fileutil.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    Session s;
    fuzz::freshState(s);
    s.samplingHooks.onPoint = [&s] { calculateClick(s); };  // "Enough!" at once
    std::string name = s.mainDir + "/fuzz.txt";
    writeWholeFile(name, std::string(reinterpret_cast<const char*>(data), size));
    runSequence(s, name);
    return 0;
}
