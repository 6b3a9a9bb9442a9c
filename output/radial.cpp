#include "output/radial.h"

#include <algorithm>
#include <cmath>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"

namespace vantrel {

namespace {

NullCanvas nullcanvas;
PlotCanvas* canvas = &nullcanvas;

constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t blue = 0xFF0000;
constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t violet = 0xD30094;  // RGB(148, 0, 211)

constexpr double baseline = 250;
constexpr double hitstop = 200;     // tallest hits bar
constexpr double theorytop = 170;   // tallest theory bar
constexpr double unitsperangstrom = 50;

// Value of a bin, 0 beyond the array (the plot may ask past a histogram
// sized for another extent).
template <class T>
double at(const std::vector<T>& v, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < v.size() ? static_cast<double>(v[i]) : 0.0;
}

double binx(int i, int k) { return static_cast<double>(roundeven(i / static_cast<double>(k) * unitsperangstrom)); }

}  // namespace

PlotCanvas& image1canvas() { return *canvas; }
void setimage1canvas(PlotCanvas* c) { canvas = c ? c : &nullcanvas; }

int binsperangstrom(int a) {
    const int axismax = globals().orbital.axismax;
    // An axis shorter than one Angstrom cannot come from the window; take
    // the finest bins rather than divide by zero.
    const long long k = axismax < 1 ? 500 : std::max(1LL, roundeven(500.0 / axismax));
    return a + static_cast<int>(k);
}

int histogramsize(double extent, int k) {
    const double bins = std::sqrt(3.0) * extent * k;
    if (!(bins > 0)) return 0;  // also NaN
    if (bins >= maxradialbin) return maxradialbin;
    return static_cast<int>(roundeven(bins));
}

int radialsize() { return histogramsize(globals().orbital.extent, binsperangstrom(1)); }

int radialbin(double r, int k) {
    const double b = r * k;
    if (!(b >= 0)) return -1;  // NaN or a negative distance
    if (b >= maxradialbin) return maxradialbin;
    return static_cast<int>(roundeven(b));
}

bool addradialhit(int bin) {
    auto& rad = globals().radial;
    if (bin < 0 || static_cast<std::size_t>(bin) >= rad.radialhits.size()) return false;
    const double hits = ++rad.radialhits[bin];
    if (hits > rad.maxhits) rad.maxhits = static_cast<int>(hits);
    if (bin > rad.maxbin) rad.maxbin = bin;
    return true;
}

void resetradialhits() {
    auto& rad = globals().radial;
    rad.radialhits.assign(static_cast<std::size_t>(radialsize()) + 1, 0.0);
    rad.maxhits = 0;
    rad.maxbin = 0;
    globals().run.maxpsi2 = 0;
    image1canvas().clear();
}

double calctheory() {
    auto& rad = globals().radial;
    const bool restricted = !form().optAll[0].checked;
    rad.theorymax = 0;
    rad.rtheory = 1;
    rad.theorysum = 0;
    const int k = binsperangstrom(0);
    const int size = radialsize();
    rad.radialsign.assign(static_cast<std::size_t>(size) + 1, 0);
    rad.radialtheory.assign(static_cast<std::size_t>(size) + 1, 0.0);
    for (int i = 1; i <= size; ++i) {
        double r = 0, r2 = 0, radial = radialonly;
        wavefunction(i / static_cast<double>(k), 0, 0, r, r2, radial);
        const double R = radial;
        rad.radialsign[i] = R > 0 ? 1 : (R < 0 ? -1 : 0);
        // A plane's circle grows with r, a sphere's shell with r squared.
        const double p = restricted ? R * R * r : R * R * r2;
        rad.radialtheory[i] = p;
        rad.theorysum += p;
        if (p > rad.theorymax) {
            rad.theorymax = p;
            rad.rtheory = r;
        }
    }
    return rad.theorymax / rad.rtheory / rad.rtheory;
}

void showtheory() {
    auto& f = form();
    if (!f.Command1.enabled) return;  // a run is drawing its own plot
    calctheory();
    if (isnodal()) {
        f.lblnode.visible = true;
        f.lblplane.visible = false;
        return;
    }
    // Out to the corner of the cube.
    globals().radial.maxbin = radialsize();
    drawradialplot(true);
    f.lblplane.caption = "restricted to the " + upper(globals().orbital.planename) + " plane";
    f.lblplane.visible = !f.optAll[0].checked;
}

void drawradialaxes() {
    PlotCanvas& c = image1canvas();
    const double extent = globals().orbital.extent;
    const int axismax = globals().orbital.axismax;

    long long label = 1, tick = 1;
    if (extent < 20) {
        label = roundeven(extent) / 10 + 1;
    } else if (extent < 50) {
        label = 5;
    } else if (extent < 100) {
        label = 10;
        tick = 5;
    } else if (extent < 200) {
        label = 20;
        tick = 5;
    } else if (extent >= 200) {
        label = 50;
        tick = 10;
    }
    // A negative extent would give a zero step.
    label = std::max(1LL, label);

    c.clear();
    c.setscale(-c.textwidth("0"), axismax * unitsperangstrom + c.textwidth("100A "));
    double lastright = 0;
    for (int i = 0; i <= axismax; ++i) {
        const double x = unitsperangstrom * i;
        const bool labelled = i % label == 0;
        if (i % tick == 0) c.line(x, baseline, x, labelled ? 275 : 270, black);
        if (labelled) {
            const std::string t = inttext(i);
            const double w = c.textwidth(t);
            c.print(x - w / 2, 275, t, black);
            lastright = x + w / 2;
        }
    }
    c.print(lastright, 275, "A", black);
    c.line(0, baseline, axismax * unitsperangstrom, baseline, black);
    c.line(0, baseline, 0, baseline - hitstop, black);
}

void drawradialplot(bool showradii) {
    drawradialaxes();
    PlotCanvas& c = image1canvas();
    MainForm& f = form();
    const auto& orb = globals().orbital;
    auto& rad = globals().radial;
    std::uint32_t color = blue;
    const bool theory = f.optTheory[1].checked;
    const bool nodes = f.OptColor[1].checked;
    const int k = binsperangstrom(0);

    const double half = theory ? rad.theorysum / 2 : globals().run.npoints / 2.0;
    rad.medianradius = 0;
    // Bins past the sphere inscribed in the cube are reached only in its corners.
    const double edge = std::isfinite(orb.extent) ? static_cast<double>(roundeven(orb.extent * k)) : 0;

    double total = 0, cumulative = 0, largest = 0;
    bool found = false;
    int prevsign = 1;
    double prevx = 35;
    double probable = 0, probablex = 0, medianx = 0;

    const int last = std::min<long long>(rad.maxbin, static_cast<long long>(std::max(rad.radialhits.size(), rad.radialtheory.size())) - 1);
    for (int i = 1; i <= last; ++i) {
        const double h = at(rad.radialhits, i);
        const double v = theory ? at(rad.radialtheory, i) : h;
        if (!(v > 0)) continue;
        if (i > edge) color = red;
        const double x = binx(i, k);
        total += h;
        cumulative += v;
        if (v > largest) {
            largest = v;
            probable = i / static_cast<double>(k);
            probablex = x;
        }
        if (cumulative > half && !found) {
            found = true;
            rad.medianradius = i / static_cast<double>(k);
            medianx = x;
        }
        const int sign = static_cast<int>(at(rad.radialsign, i));
        if (nodes && sign != prevsign) {
            if (prevsign != 0) {
                const double xm = (x + prevx) / 2;
                c.line(xm, baseline, xm, baseline - hitstop, violet);
            }
            prevsign = sign;
        } else {
            prevx = x;
        }
        const double top = theory ? rad.theorymax : rad.maxhits;
        const double height = top > 0 ? v / top * (theory ? theorytop : hitstop) : 0;
        const std::uint32_t barcolor = nodes ? (sign < 1 ? red : blue) : color;
        c.line(x, baseline, x, baseline - height, barcolor);
    }

    std::string advice;
    const int d = defaultextent();
    if (std::abs(d - orb.extent) >= 2) {
        if (d < orb.extent)
            advice = "The orbital extent appears to be high." + crlf + "Try decreasing it to about " + inttext(d) +
                     " Angstroms";
        else
            advice = "The orbital extent appears to be low." + crlf + "Try increasing it to about " + inttext(d) +
                     " Angstroms";
    } else if (nodes) {
        f.Label8.caption = "Red indicates where the radial component " + crlf + "of the wave function PSI is less than zero.";
    } else {
        f.Label8.caption = "Red indicates those points that will appear " + crlf +
                           "only in the corners of the orbital extent cube.";
    }

    f.lblCount.caption = numtext(total);
    f.Label9.caption = "";
    if (!advice.empty()) {
        f.Label8.caption = advice;
    } else if (rad.medianradius > 0 && showradii) {
        if (!nodes) {
            c.line(probablex, 25, probablex, 0, red);
            c.line(medianx, 25, medianx, 0, blue);
        }
        const std::string kind = theory ? "theoretical" : "actual";
        f.Label8.caption = "Most probable radius: " + formatpicture(probable, "0.00") + " A (" + kind + ")" + crlf;
        f.Label9.caption = "Median radius: " + formatpicture(rad.medianradius, "0.00") + " A (" + kind + ")";
    }
    f.lblCount.visible = f.optTheory[0].checked || !showradii;
    c.refresh();
}

}  // namespace vantrel
