#include "output/sliceimage.h"

#include <algorithm>
#include <cmath>

#include "engine/samplekernel.h"

namespace vantrel {

Rgb sliceColour(double t) {
    if (!std::isfinite(t)) t = 0;
    t = std::clamp(t, -1.0, 1.0);
    const Rgb end = signColour(t);
    const double a = std::fabs(t);
    const auto blend = [a](std::uint8_t c) { return static_cast<std::uint8_t>(std::lround(255 + a * (c - 255.0))); };
    return {blend(end.r), blend(end.g), blend(end.b)};
}

namespace {

// 1, 2 or 5 times a power of 10, the largest not above `most`.
double roundLength(double most) {
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= most) return step * power;
    return power;
}

}  // namespace

SliceImage psiSlice(const Orbital& orbital, const SliceRequest& request) {
    SliceImage image;
    if (request.pixels < 2 || request.pixels > maxSlicePixels) {
        image.problem = "A slice needs 2 to " + std::to_string(maxSlicePixels) + " pixels a side.";
        return image;
    }
    if (!(request.extent > 0) || !std::isfinite(request.extent) || !std::isfinite(request.offset)) {
        image.problem = "A slice needs a positive, finite size and a finite offset.";
        return image;
    }
    const int n = request.pixels;
    image.width = image.height = n;
    image.extent = request.extent;
    image.pixelsPerAngstrom = n / (2 * request.extent);
    image.scaleBarAngstroms = roundLength(2 * request.extent / 5);
    image.scaleBarPixels = image.scaleBarAngstroms * image.pixelsPerAngstrom;

    // Where the picture's two axes and the normal go among x, y, z.
    int acrossAxis = 0, upAxis = 1, normalAxis = 2;
    if (request.plane == SlicePlane::YZ) acrossAxis = 1, upAxis = 2, normalAxis = 0;
    if (request.plane == SlicePlane::XZ) acrossAxis = 0, upAxis = 2, normalAxis = 1;
    image.across = static_cast<char>('x' + acrossAxis);
    image.up = static_cast<char>('x' + upAxis);

    const BatchOrbital batch(orbital);
    std::vector<double> psi(static_cast<std::size_t>(n) * n), r(n);
    std::vector<double> coord[3] = {std::vector<double>(n), std::vector<double>(n), std::vector<double>(n)};
    const double step = 2 * request.extent / n;
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) coord[acrossAxis][col] = -request.extent + (col + 0.5) * step;
        std::fill(coord[upAxis].begin(), coord[upAxis].end(), request.extent - (row + 0.5) * step);
        std::fill(coord[normalAxis].begin(), coord[normalAxis].end(), request.offset);
        batch.evaluate(coord[0].data(), coord[1].data(), coord[2].data(), n, &psi[std::size_t(row) * n], r.data());
    }
    for (double v : psi) image.maxAbsPsi = std::max(image.maxAbsPsi, std::fabs(v));

    image.rgba.resize(4 * psi.size());
    const double scale = image.maxAbsPsi > 0 ? 1 / image.maxAbsPsi : 0;
    for (std::size_t i = 0; i < psi.size(); ++i) {
        const Rgb c = sliceColour(psi[i] * scale);
        image.rgba[4 * i] = c.r;
        image.rgba[4 * i + 1] = c.g;
        image.rgba[4 * i + 2] = c.b;
        image.rgba[4 * i + 3] = 255;
    }
    return image;
}

}  // namespace vantrel
