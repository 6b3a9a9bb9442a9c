#include "app/appstate.h"

#include "app/session.h"

namespace vantrel {

void seedRandom(Session& s) { s.random.seed(startSeed()); }

void setCoefficients(Session& s) {
    const auto& o = s.orbital;
    s.wavefunction.setup(o.currentZ, o.currentN, o.currentL, o.currentM);
}

int defaultExtent(const OrbitalState& o) { return defaultExtent(o.currentN, o.currentZ); }

int plotBinsPerAngstrom(const OrbitalState& o) { return binsPerAngstrom(o.axisMax); }

int radialSize(const OrbitalState& o) { return radialSize(o.extent, o.axisMax); }

RadialHistogram emptyHistogram(const OrbitalState& o) { return emptyHistogram(o.extent, o.axisMax); }

void resetRadialHits(Session& s) {
    s.radial.histogram = emptyHistogram(s.orbital);
    s.run.maxPsi2 = 0;
}

const RadialTheory& theoryCurve(Session& s, bool restricted) {
    return s.radial.theoryCurves.get(s.wavefunction, plotBinsPerAngstrom(s.orbital), radialSize(s.orbital), restricted);
}

double calcTheory(Session& s, bool restricted) {
    RadialTheory& theory = s.radial;
    theory = theoryCurve(s, restricted);
    return theory.peakDensity();
}

}  // namespace vantrel
