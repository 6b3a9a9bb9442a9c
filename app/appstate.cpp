#include "app/appstate.h"

namespace vantrel {

Globals& globals() {
    static Globals g;
    return g;
}

void resetGlobals() { globals() = Globals{}; }

Random& rng() {
    static Random r;
    return r;
}

void seedRandom() { rng().seed(startSeed()); }

Orbital& currentOrbital() {
    static Orbital current;
    return current;
}

void setCoefficients() {
    const auto& o = globals().orbital;
    currentOrbital().setup(o.currentZ, o.currentN, o.currentL, o.currentM);
}

int defaultExtent() { return defaultExtent(globals().orbital.currentN, globals().orbital.currentZ); }

int plotBinsPerAngstrom() { return binsPerAngstrom(globals().orbital.axisMax); }

int radialSize() { return radialSize(globals().orbital.extent, globals().orbital.axisMax); }

RadialHistogram emptyHistogram() { return emptyHistogram(globals().orbital.extent, globals().orbital.axisMax); }

void resetRadialHits() {
    globals().radial.histogram = emptyHistogram();
    globals().run.maxPsi2 = 0;
}

double calcTheory(bool restricted) {
    RadialTheory& theory = globals().radial;
    static RadialTheoryCache cache;
    theory = cache.get(currentOrbital(), plotBinsPerAngstrom(), radialSize(), restricted);
    return theory.peakDensity();
}

}  // namespace vantrel
