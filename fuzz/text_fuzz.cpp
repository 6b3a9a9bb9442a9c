// The number and text helpers: reading numbers out of text, writing them
// back, splitting and replacing. Each result is checked against what the
// helper promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/textutil.h"

using namespace vantrel;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const double v = val(text);
    check(!std::isnan(v), "val gives a number");
    const long long fl = floorVal(text);
    if (std::isfinite(v) && std::fabs(v) < 9e18) check(fl == static_cast<long long>(std::floor(v)), "floorVal is floor of val");
    roundEven(v);
    clampInt(fl);

    // Any double written and read back is the same double.
    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        const std::string t = numText(x);
        char buf[64];
        const std::size_t n = numTextFast(x, buf);
        check(std::string(buf, n) == t, "numTextFast matches numText");
        if (std::isfinite(x) && std::fabs(x) < 1e300) {  // 15 digits of the largest round up past it
            const double back = val(t);
            check(back == x || std::fabs(back - x) <= std::fabs(x) * 1e-14, "numText reads back");
        }
        for (const char* picture : {"0.00", "0.0", "00000000", "0.##", "0.00E+0"}) formatPicture(x, picture);
        intText(static_cast<long long>(std::isfinite(x) && std::fabs(x) < 9e18 ? x : 0));
    }

    // Splitting and replacing with a delimiter taken from the input.
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    const std::string delim = text.substr(0, std::min<std::size_t>(cut, 3));
    std::string rest = text.substr(std::min(cut, size));
    const std::string whole = rest;
    const std::string first = splitFirst(rest, delim.empty() ? " " : delim);
    check(first.size() + rest.size() <= whole.size(), "splitFirst keeps within the text");
    std::string r = whole;
    if (!delim.empty()) {
        replaceAll(r, delim, delim + "x");
        replaceAll(r, delim, "");
        check(r.find(delim) == std::string::npos, "replaceAll leaves none");
    }
    trim(text);
    lower(text);
    upper(text);
    fileNameOf(text);
    dirOf(text);
    lastIndexOf(text, '/');
    return 0;
}
