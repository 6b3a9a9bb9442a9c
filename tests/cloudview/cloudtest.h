// Clouds of real orbitals and where their colours sit in a picture, for the
// 3-D view's tests.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>

#include "cloudview/samplecloud.h"
#include "engine/wavefunction.h"

namespace vantrel::test {

// 20 000 points of the orbital n, l, m of hydrogen in a cube of half side 6 Å.
inline constexpr double cloudExtent = 6;
inline const SampledCloud& orbitalCloud(int n, int l, int m) {
    static std::map<std::tuple<int, int, int>, SampledCloud> clouds;
    auto [it, fresh] = clouds.try_emplace({n, l, m});
    if (fresh) {
        Orbital o;
        o.setup(1, n, l, m);
        it->second = sampleCloud(o, cloudExtent, 20000, 1234);
    }
    return it->second;
}

// psi > 0 is drawn blue, psi < 0 red: tell them apart by the channels.
inline bool bluish(std::uint32_t argb) { return int(argb & 0xff) > int((argb >> 16) & 0xff) + 40; }
inline bool reddish(std::uint32_t argb) { return int((argb >> 16) & 0xff) > int(argb & 0xff) + 40; }

struct Centroid {
    double x = 0, y = 0;
    long count = 0;
};

// Mean position of the pixels the test picks; pixel(x, y) gives 0xAARRGGBB.
template <class Pixel, class Pick>
Centroid centroidOf(int width, int height, Pixel pixel, Pick pick) {
    Centroid c;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pick(pixel(x, y))) c.x += x, c.y += y, ++c.count;
    if (c.count) c.x /= c.count, c.y /= c.count;
    return c;
}

}  // namespace vantrel::test
