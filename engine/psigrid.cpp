#include "engine/psigrid.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <system_error>
#include <thread>

#include "engine/orderedwork.h"
#include "engine/samplekernel.h"

namespace vantrel {

std::string psiGridProblem(double extent, int points) {
    if (points < minGridPoints || points > maxGridPoints)
        return "The grid needs " + std::to_string(minGridPoints) + " to " + std::to_string(maxGridPoints) +
               " points a side, not " + std::to_string(points) + ".";
    if (!(extent > 0) || !std::isfinite(extent)) return "The grid's cube needs a positive, finite size.";
    return "";
}

namespace {

// Fills the x slabs handed out by `next`, a row along z at a time.
void fillSlabs(const BatchOrbital& batch, PsiGrid& grid, std::atomic<int>& next) {
    const int n = grid.points;
    std::vector<double> x(n), y(n), z(n), psi(n), r(n);
    for (int k = 0; k < n; ++k) z[k] = grid.coordinate(k);
    for (int i = next++; i < n; i = next++) {
        std::fill(x.begin(), x.end(), grid.coordinate(i));
        for (int j = 0; j < n; ++j) {
            std::fill(y.begin(), y.end(), grid.coordinate(j));
            batch.evaluate(x.data(), y.data(), z.data(), n, psi.data(), r.data());
            float* row = &grid.psi[grid.index(i, j, 0)];
            for (int k = 0; k < n; ++k) row[k] = static_cast<float>(psi[k]);
        }
    }
}

}  // namespace

PsiGridOutcome evaluatePsiGrid(const Orbital& orbital, double extent, int points, unsigned threads) {
    PsiGridOutcome out;
    out.problem = psiGridProblem(extent, points);
    if (!out.problem.empty()) return out;
    PsiGrid& grid = out.grid;
    grid.points = points;
    grid.extent = extent;
    try {
        grid.psi.assign(static_cast<std::size_t>(points) * points * points, 0.0f);
    } catch (const std::bad_alloc&) {
        out.problem = "There is not enough memory for a grid of " + std::to_string(points) + " points a side.";
        out.grid = PsiGrid{};
        return out;
    }
    threads = threadCount(threads);
    threads = std::min<unsigned>(threads, static_cast<unsigned>(points));

    const BatchOrbital batch(orbital);
    std::atomic<int> next{0};
    std::vector<std::thread> helpers;
    // Each slab is filled by whichever thread takes it; a thread that cannot
    // be started leaves its share to the others.
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(fillSlabs, std::cref(batch), std::ref(grid), std::ref(next));
        } catch (const std::system_error&) {
            break;
        }
    }
    fillSlabs(batch, grid, next);
    for (std::thread& h : helpers) h.join();
    return out;
}

}  // namespace vantrel
