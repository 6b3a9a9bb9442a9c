#include "app/orbitalcontrols.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <utility>

#include "app/mainwindow.h"
#include "app/radialview.h"
#include "app/samplingrun.h"
#include "app/session.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/ignoringerrors.h"
#include "engine/orbital.h"
#include "engine/random.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "app/platformhooks.h"

namespace vantrel {

namespace {

const std::string invalidCaption = "The quantum numbers you have chosen are invalid.";
const std::string beyondTableCaption =
    "Quantum numbers with n + l above 50 are beyond this program's tables.";
constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t black = 0;

// A refresh goes on with its next step whatever one step throws, so the
// window always ends up showing as much of the state as could be had.
template <typename F>
void step(F&& f) {
    ignoringErrors(std::forward<F>(f));
}

// Leading number of a text box, floored, within the int range.
int floorText(const Control& c) { return clampInt(floorVal(c.text)); }

}  // namespace

OrbitalFileNames fileNamesFor(const OrbitalState& o, const std::string& mainDir) {
    std::string name = intText(o.currentN) + "_" + intText(o.currentL) + "_" + intText(o.currentM) + "_" +
                       o.planeName;
    if (o.currentZ != 1) name += "_(z_" + intText(o.currentZ) + ")";
    if (o.quickMode) name += "_quick";
    replaceAll(name, "__", "_");
    // Only the name this program forms is lower-cased: the directory is the
    // user's and Linux paths are case-sensitive.
    const std::string cache = mainDir + "/files/";
    return {name, cache + name + ".csv", cache + lower(name + o.colorSuffix + ".xyz")};
}

void updateOrbital(Session& s, bool full) {
    auto& f = s.window;
    auto& o = s.orbital;
    bool valid = false;
    bool beyondTable = false;

    step([&] { o.colorSuffix = f.colourModeOptions[1].checked ? "_n" : ""; });
    step([&] {
        o.quickMode = f.quickMenuItem.checked;
        f.quickLabel.visible = o.quickMode;
    });
    step([&] {
        o.currentN = floorText(f.quantumText[0]);
        o.currentL = floorText(f.quantumText[1]);
        o.currentM = floorText(f.quantumText[2]);
    });
    step([&] {
        valid = validNumbers(o.currentN, o.currentL, o.currentM);
        beyondTable = !valid && quantumNumbersConsistent(o.currentN, o.currentL, o.currentM);
        if (valid) setCoefficients(s);
    });
    step([&] {
        // A negative extent is taken as its magnitude: the box takes any text.
        double e = std::floor(std::fabs(val(f.extentText.text)));
        if (std::isnan(e)) e = 0;
        if (e == 0) e = 10;
        if (e > f.extentSpinner.max) e = f.extentSpinner.max;
        o.extent = e;
    });
    step([&] { o.axisMax = static_cast<int>(roundEven(o.extent) / 10 * 10 + 10); });
    // The state is already read from these boxes; writing the tidied text
    // back must not start another refresh.
    step([&] {
        if (!f.typingExtent) f.extentText.text = numText(o.extent);
    });
    step([&] { o.dotSize = f.smallerDotsCheck.checked ? 1 : 2; });
    step([&] {
        o.maxPoints = std::max(625, clampInt(roundEven(val(f.maxPointsText.text))));
        f.maxPointsText.text = intText(o.maxPoints);
    });
    step([&] {
        OrbitalFileNames names = fileNamesFor(o, s.mainDir);
        o.baseName = std::move(names.base);
        o.csvFile = std::move(names.csv);
        o.xyzFile = std::move(names.xyz);
    });
    step([&] { syncOrbitalView(f, o); });
    step([&] {
        f.numbersValid = f.canCalculate = valid;
        f.calculateButton.enabled = valid;
        f.energyValueLabels[0].enabled = f.energyValueLabels[1].enabled = valid;
        f.errorLabel.caption = beyondTable ? beyondTableCaption : invalidCaption;
        f.errorLabel.visible = !valid;
    });
    step([&] {
        f.setCanLoad(full && f.numbersValid && canContinue(o));
    });
    step([&] {
        const double d = defaultExtent(o);
        f.tooSmallLabel.visible = valid && o.extent < d;
        f.tooLargeLabel.visible = valid && o.extent > 1.5 * d;
        f.extentLabel.color = (f.tooSmallLabel.visible || f.tooLargeLabel.visible) ? red : black;
    });
    if (full) {
        step([&s] { drawRadialAxes(s); });
        step([&] {
            f.pointCountLabel.caption.clear();
            f.probableRadiusLabel.caption.clear();
            f.medianRadiusLabel.caption.clear();
            f.nodeLabel.visible = false;
            // Set directly: the spinner reacts only to the user.
            f.extentSpinner.value =
                static_cast<int>(std::clamp<long long>(roundEven(o.extent), f.extentSpinner.min, f.extentSpinner.max));
            s.run.loadedFile.clear();
        });
    }
    step([&] {
        if (!o.planeName.empty()) f.firstQuadrantCheck.checked = false;
        f.firstQuadrantCheck.enabled = o.planeName.empty();
    });
    step([&] {
        for (auto& p : f.plotIcons) p.visible = false;
        if (f.plotModeOptions[0].checked)
            f.plotIcons[0].visible = true;
        else if (f.regionOptions[0].checked)
            f.plotIcons[1].visible = true;
        else
            f.plotIcons[2].visible = true;
    });
    step([&] {
        if (s.window.levelsOpen && !valid && s.windowHooks.levelsFollow) s.windowHooks.levelsFollow({0, 0, 0, 0});
    });
    // The empty axes above would stay until a spinner was used: the theory
    // curve follows every change at once.
    if (full) step([&s] { redrawTheory(s); });
}

void speciesMenu(Session& s, int index) {
    auto& f = s.window;
    auto& o = s.orbital;
    if (index > 4) return;  // the H2 items are never offered

    for (int i = 0; i <= 4; ++i) f.speciesMenuItems[i].checked = false;
    f.speciesMenuItems[index >= 0 ? index : 4].checked = true;

    static const char* const names[4] = {"the H Atom (Z=1)", "the He+ Ion (Z=2)", "the Li+2 Ion (Z=3)",
                                         "the Be+3 Ion (Z=4)"};
    int z = o.currentZ;
    std::string name;
    if (index >= 0 && index <= 3) {
        z = index + 1;
        name = names[index];
    } else {
        if (index == 4) {
            auto answer = s.dialogs->inputBox("Enter a new value for the nuclear charge, Z:", "", intText(o.currentZ));
            if (!answer) return;
            long long asked = floorVal(*answer);
            if (asked < 1) return;
            if (asked > 120) {
                s.dialogs->messageBox("The largest number you can enter for the nuclear charge is 120.", Buttons::OK);
                asked = 120;
            }
            z = static_cast<int>(asked);
        } else {
            z = clampInt(-static_cast<long long>(index));
        }
        name = "Z=" + intText(z);
    }
    o.currentZ = z;
    o.speciesName = name;
    f.calculationFrame.caption = "Calculation Options for " + name;

    updateOrbital(s, true);

    if (f.numbersValid) {
        f.plotModeOptions[1].select();
        if (f.plotModeOptions[1].checked) showTheory(s);
        if (s.window.levelsOpen && s.windowHooks.levelsFollow) s.windowHooks.levelsFollow(o.numbers());
    }
}

void setNucleus(Session& s, int z) {
    // A charge below 1 (a damaged point file, say) names no species.
    if (z < 1) return;
    speciesMenu(s, z >= 5 ? -z : z - 1);
}

void autoscale(Session& s) {
    auto& f = s.window;
    const int d = defaultExtent(s.orbital);
    // The scroll bar stops at 500; the box takes the full default, which the
    // refresh then clamps to the same 500.
    f.extentSpinner.value = std::clamp(d, f.extentSpinner.min, f.extentSpinner.max);
    f.extentText.setText(intText(d));
    updateOrbital(s, true);
}

void setOrbital(Session& s, int z, int n, int l, int m, bool autoscaleIt) {
    auto& f = s.window;
    if (f.settingOrbital) return;
    f.settingOrbital = true;
    struct Release {
        MainWindowState& window;
        ~Release() { window.settingOrbital = false; }
    } release{f};

    const int nlm[3] = {n, l, m};
    for (int i = 0; i < 3; ++i) f.quantumText[i].setText(intText(nlm[i]));
    // The spinners only follow; their reaction would write a clamped
    // position back into the boxes.
    for (int i = 0; i < 3; ++i) f.quantumSpinners[i].value = std::clamp(nlm[i], f.quantumSpinners[i].min, f.quantumSpinners[i].max);
    setNucleus(s, z);
    updateOrbital(s, true);
    s.run.nPoints = 0;
    if (autoscaleIt) autoscale(s);
    f.plotModeOptions[1].reselect();
}

void pickHydrogenLevel(Session& s, int n) {
    if (s.window.controlsHeld) return;
    const OrbitalState& o = s.orbital;
    setOrbital(s, 1, n, o.currentL, o.currentM, false);
    refreshView(s);
}

void setOptions(const MainWindowState& window, int& x, int& y, int& z, bool& restricted) {
    const auto& a = window.regionOptions;
    restricted = !a[0].checked;
    if (!restricted) {
        x = y = z = 0;
        return;
    }
    const bool xy = a[1].checked, yz = a[2].checked, xz = a[3].checked;
    x = (xy || xz) ? 1 : 0;
    y = (yz || xy) ? 1 : 0;
    z = (yz || xz) ? 1 : 0;
}

bool isNodal(Session& s) {
    int mx = 0, my = 0, mz = 0;
    bool restricted = false;
    setOptions(s.window, mx, my, mz, restricted);
    const double side = 2 * s.orbital.extent;
    for (int i = 0; i < 100; ++i) {
        double x = side * randomCentered(s.random);
        double y = side * randomCentered(s.random);
        double z = side * randomCentered(s.random);
        if (restricted) {
            x *= mx;
            y *= my;
            z *= mz;
        }
        double r = 0, r2 = 0, radial = 0;
        if (s.wavefunction.evaluate(x, y, z, r, r2, radial) != 0) return false;
    }
    return true;
}

}  // namespace vantrel
