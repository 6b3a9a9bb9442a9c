#include "output/radialplot.h"

#include <algorithm>
#include <cmath>

#include "engine/radialhistogram.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

constexpr std::uint32_t black = 0x000000;
constexpr std::uint32_t blue = 0xFF0000;
constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t violet = 0xD30094;  // RGB(148, 0, 211)

constexpr double baseline = 250;
constexpr double hitStop = 200;     // tallest hits bar
constexpr double theoryTop = 170;   // tallest theory bar
constexpr double unitsPerAngstrom = 50;

// Value of a bin, 0 beyond the array (the plot may ask past a histogram
// sized for another extent).
template <class T>
double at(const std::vector<T>& v, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < v.size() ? static_cast<double>(v[i]) : 0.0;
}

double binx(int i, int k) { return static_cast<double>(roundEven(i / static_cast<double>(k) * unitsPerAngstrom)); }

// The horizontal scale from -(width of "0") to the last Angstrom plus the
// width of "100A ", with the widths measured in that same scale. A text
// takes the same share of the range in every scale, so the shares measured
// in any one scale fix the margins.
void setAxisScale(PlotCanvas& c, int axisMax) {
    const double span = std::max(1, axisMax) * unitsPerAngstrom;
    c.setScale(0, span);
    const double left = c.textWidth("0") / span, right = c.textWidth("100A ") / span;
    // A plot too narrow for its labels keeps at least half its width for the axis.
    const double whole = span / std::max(0.5, 1 - left - right);
    c.setScale(-left * whole, axisMax * unitsPerAngstrom + right * whole);
}

}  // namespace

void drawRadialAxes(PlotCanvas& c, const RadialAxis& axis) {
    const double extent = axis.extent;
    const int axisMax = axis.axisMax;

    long long label = 1, tick = 1;
    if (extent < 20) {
        label = roundEven(extent) / 10 + 1;
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
    setAxisScale(c, axisMax);
    double lastRight = 0;
    for (int i = 0; i <= axisMax; ++i) {
        const double x = unitsPerAngstrom * i;
        const bool labelled = i % label == 0;
        if (i % tick == 0) c.line(x, baseline, x, labelled ? 275 : 270, black);
        if (labelled) {
            const std::string t = intText(i);
            const double w = c.textWidth(t);
            c.print(x - w / 2, 275, t, black);
            lastRight = x + w / 2;
        }
    }
    c.print(lastRight, 275, "A", black);
    c.line(0, baseline, axisMax * unitsPerAngstrom, baseline, black);
    c.line(0, baseline, 0, baseline - hitStop, black);
}

RadialPlotText drawRadialDistribution(PlotCanvas& c, const RadialPlotData& data, const RadialPlotStyle& style) {
    const bool theory = style.theory, nodes = style.nodes, showRadii = style.showRadii;
    drawRadialAxes(c, data.axis);
    RadialPlotText text;
    const double extent = data.axis.extent;
    const RadialHistogram& hits = data.histogram;
    const RadialTheory& rad = data.theory;
    std::uint32_t color = blue;
    const int k = binsPerAngstrom(data.axis.axisMax);

    const double half = theory ? rad.theorySum / 2 : data.points / 2.0;
    // Bins past the sphere inscribed in the cube are reached only in its corners.
    const double edge = std::isfinite(extent) ? static_cast<double>(roundEven(extent * k)) : 0;

    double total = 0, cumulative = 0, largest = 0;
    bool found = false;
    int prevSign = 1;
    double prevX = 35;
    double probable = 0, probableX = 0, medianX = 0;

    const int last = std::min<long long>(hits.maxBin, static_cast<long long>(std::max(hits.hits.size(), rad.radialTheory.size())) - 1);
    // Each bin's place once, shared with its neighbours' bars.
    double left = binx(0, k), x = binx(1, k), right = 0;
    for (int i = 1; i <= last; ++i, left = x, x = right) {
        right = binx(i + 1, k);
        const double h = at(hits.hits, i);
        const double v = theory ? at(rad.radialTheory, i) : h;
        if (!(v > 0)) continue;
        if (i > edge) color = red;
        total += h;
        cumulative += v;
        if (v > largest) {
            largest = v;
            probable = i / static_cast<double>(k);
            probableX = x;
        }
        if (cumulative > half && !found) {
            found = true;
            text.median = i / static_cast<double>(k);
            medianX = x;
        }
        const int sign = static_cast<int>(at(rad.radialSign, i));
        if (nodes && sign != prevSign) {
            if (prevSign != 0) {
                const double xm = (x + prevX) / 2;
                c.line(xm, baseline, xm, baseline - hitStop, violet);
            }
            prevSign = sign;
        } else {
            prevX = x;
        }
        const double top = theory ? rad.theoryMax : hits.maxHits;
        const double height = top > 0 ? v / top * (theory ? theoryTop : hitStop) : 0;
        const std::uint32_t barColor = nodes ? (sign < 1 ? red : blue) : color;
        // From half way to the previous bin to half way to the next.
        c.bar(x, (left + x) / 2, (x + right) / 2, baseline, baseline - height, barColor);
    }

    std::string advice;
    const int d = data.defaultExtent;
    if (std::abs(d - extent) >= 2) {
        if (d < extent)
            advice = "The orbital extent appears to be high." + crlf + "Try decreasing it to about " + intText(d) +
                     " Angstroms";
        else
            advice = "The orbital extent appears to be low." + crlf + "Try increasing it to about " + intText(d) +
                     " Angstroms";
    } else if (nodes) {
        text.probableRadius = "Red indicates where the radial component " + crlf + "of the wave function PSI is less than zero.";
    } else {
        text.probableRadius = "Red indicates those points that will appear " + crlf +
                           "only in the corners of the orbital extent cube.";
    }

    text.pointCount = numText(total);
    text.medianRadius = "";
    if (!advice.empty()) {
        text.probableRadius = advice;
    } else if (text.median > 0 && showRadii) {
        if (!nodes) {
            c.line(probableX, 25, probableX, 0, red);
            c.line(medianX, 25, medianX, 0, blue);
        }
        const std::string kind = theory ? "theoretical" : "actual";
        text.probableRadius = "Most probable radius: " + formatPicture(probable, "0.00") + " A (" + kind + ")" + crlf;
        text.medianRadius = "Median radius: " + formatPicture(text.median, "0.00") + " A (" + kind + ")";
    }
    c.refresh();
    return text;
}

}  // namespace vantrel
