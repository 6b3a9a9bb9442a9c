// The hot part of a sampling run, done a block of trials at a time: an
// 8-lane random generator, the trial points, psi at each of them and the
// acceptance test. The run itself walks the block afterwards in trial
// order, so the quota, a node and a stop still end it at the exact trial.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/random.h"
#include "engine/wavefunction.h"

namespace vantrel {

inline constexpr int sampleBlockSize = 1024;

// Eight interleaved xoshiro256** streams, each seeded from one draw of the
// program's generator, so VANTREL_SEED reproduces a run.
struct LaneRandom {
    alignas(32) std::uint64_t s[4][8];
    void seed(Random& from);
    // Next eight raw words, lane by lane.
    void next8(std::uint64_t out[8]);
    // Moves on past the words that one block of trials uses, without
    // making them: where the next block starts.
    void skipBlock();
};

// The outcome of one block of trials: only the accepted trials are kept,
// in trial order, with everything the run writes or counts for them.
struct SampleBlock {
    std::uint16_t index[sampleBlockSize];  // trial index within the block
    double x[sampleBlockSize];
    double y[sampleBlockSize];
    double z[sampleBlockSize];
    double psi[sampleBlockSize];
    double r[sampleBlockSize];
    int nAccepted = 0;
    int firstNonZero = sampleBlockSize;  // first trial with psi^2 != 0, the size when none
};

// psi of one orbital laid out for evaluation four points at a time. Agrees
// with Orbital::evaluate to rounding, with the same exact zeros on the
// nodal planes; the rare points where rounding could decide the cut to
// zero near a nodal plane are handed to Orbital::evaluate itself.
class BatchOrbital {
public:
    explicit BatchOrbital(const Orbital& o);
    // psi and r at count points.
    void evaluate(const double* x, const double* y, const double* z, int count, double* psi,
                  double* r) const;

    struct Layout {
        const Orbital* orbital;
        double rhoScale;     // rho per Angstrom
        double radialScale;  // radial sum = radialScale * Laguerre polynomial
        double polarScale;   // polar sum = polarScale * Legendre-type polynomial
        double solidScale;   // polarScale * rhoScale^l
        int l, a, m;
        bool oddPlane;  // l + |m| odd: psi vanishes on z = 0
        // three-term recurrences: Laguerre, n - l - 1 steps; Legendre, l - |m|
        std::vector<double> lagConst, lagSlope, lagPrev;
        std::vector<double> legSlope, legPrev;
    };

private:
    friend class SampleKernel;
    Layout k_;
    bool fast_;  // the vector path can be used on this machine
};

class SampleKernel {
public:
    // mult: region multipliers (0 or 1) used when restricted.
    SampleKernel(const Orbital& o, double extent, const int mult[3], bool restricted);
    // The kernel keeps a reference to the orbital: a temporary would dangle.
    SampleKernel(Orbital&&, double, const int[3], bool) = delete;
    // One block of trials drawn from `lanes` (which moves on by one block):
    // points, psi, r, and the accepted ones for this ceiling. firstNonZero
    // is filled when wantNonZero is set (psi is then found at every trial;
    // otherwise trials that cannot be accepted may go without). Safe to
    // call from several threads, each with its own lanes and block.
    void run(LaneRandom& lanes, double maxPsi2, bool wantNonZero, SampleBlock& b) const;

    // The same with lanes of the kernel's own, for a single thread.
    void seed(Random& from) { lanes_.seed(from); }
    void run(double maxPsi2, bool wantNonZero, SampleBlock& b) { run(lanes_, maxPsi2, wantNonZero, b); }

private:
    static constexpr int boundBins = 1024;
    void buildBound(double extent);
    BatchOrbital psi_;
    double scale_;
    bool restricted_;
    int mult_[3];
    LaneRandom lanes_;
    std::vector<double> bound_;  // psi^2 at most, by bin of r^2 (empty: no bound)
    double binScale_ = 0;        // bins per unit of r^2
};

}  // namespace vantrel
