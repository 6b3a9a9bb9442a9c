#include "engine/orbital.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <utility>

#include "engine/formstate.h"
#include "engine/ignoringerrors.h"
#include "engine/globals.h"
#include "engine/platform.h"
#include "engine/sampling.h"
#include "engine/textutil.h"
#include "engine/wavefunction.h"
#include "output/radial.h"

namespace vantrel {

namespace {

const std::string invalidcaption = "The quantum numbers you have chosen are invalid.";
const std::string beyondtablecaption =
    "Quantum numbers with n + l above 50 are beyond this program's tables.";
constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t black = 0;

// A refresh goes on with its next step whatever one step throws, so the
// window always ends up showing as much of the state as could be had.
template <typename F>
void step(F&& f) {
    ignoringerrors(std::forward<F>(f));
}

bool basicvalid(long long n, long long l, long long m) { return l < n && std::llabs(m) <= l; }

// Leading number of a text box, floored, within the int range.
int floortext(const Control& c) { return clampint(floorval(c.text)); }

}  // namespace

bool validnumbers(int n, int l, int m) {
    // 64-bit sums: huge typed numbers must not wrap into the valid range.
    return n >= 1 && basicvalid(n, l, m) && static_cast<long long>(n) + l <= factorialmax;
}

int defaultextent() {
    const auto& o = globals().orbital;
    const double n = o.currentn;
    const double z = std::max(1, o.currentz);
    long long e = roundeven((n * n + 3 * n - 5) / z);
    if (e < 1) e = 1;
    if ((o.currentz == 1 || o.currentz == 2) && o.currentn < 3) ++e;
    return clampint(e);
}

void formfilenames() {
    auto& o = globals().orbital;
    std::string name = inttext(o.currentn) + "_" + inttext(o.currentl) + "_" + inttext(o.currentm) + "_" +
                       o.planename;
    if (o.currentz != 1) name += "_(z_" + inttext(o.currentz) + ")";
    if (o.quickmode) name += "_quick";
    replaceall(name, "__", "_");
    o.basename = name;
    // Only the name this program forms is lower-cased: the directory is the
    // user's and Linux paths are case-sensitive.
    const std::string cache = globals().maindir + "/files/";
    o.xyzfile = cache + lower(name + o.colorsuffix + ".xyz");
    o.csvfile = cache + name + ".csv";
}

void updateorbital(bool full) {
    auto& f = form();
    auto& o = globals().orbital;
    bool valid = false;
    bool beyondtable = false;

    step([&] { o.colorsuffix = f.OptColor[1].checked ? "_n" : ""; });
    step([&] {
        o.quickmode = f.mnuQuick.checked;
        f.Label10.visible = o.quickmode;
    });
    step([&] {
        o.currentn = floortext(f.txtNLM[0]);
        o.currentl = floortext(f.txtNLM[1]);
        o.currentm = floortext(f.txtNLM[2]);
    });
    step([&] {
        valid = validnumbers(o.currentn, o.currentl, o.currentm);
        beyondtable = !valid && basicvalid(o.currentn, o.currentl, o.currentm);
        if (valid) setcoefficients();
    });
    step([&] {
        // A negative extent is taken as its magnitude: the box takes any text.
        double e = std::floor(std::fabs(val(f.txtscal.text)));
        if (std::isnan(e)) e = 0;
        if (e == 0) e = 10;
        if (e > f.HScroll1.max) e = f.HScroll1.max;
        o.extent = e;
    });
    step([&] { o.axismax = static_cast<int>(roundeven(o.extent) / 10 * 10 + 10); });
    // The state is already read from these boxes; writing the tidied text
    // back must not start another refresh.
    step([&] { f.txtscal.text = numtext(o.extent); });
    step([&] { o.dotsize = f.chksmallerdots.checked ? 1 : 2; });
    step([&] {
        o.maxpoints = std::max(625, clampint(roundeven(val(f.txtmax.text))));
        f.txtmax.text = inttext(o.maxpoints);
    });
    step([&] { formfilenames(); });
    step([&] {
        f.Command1.enabled = valid;
        f.lblenergy[0].enabled = f.lblenergy[1].enabled = valid;
        f.lblerror.caption = beyondtable ? beyondtablecaption : invalidcaption;
        f.lblerror.visible = !valid;
    });
    step([&] {
        const bool canload = full && f.Command1.enabled && cancontinue();
        f.Command3.enabled = canload;
        f.Command2.enabled = canload;
    });
    step([&] {
        const double d = defaultextent();
        f.lblSmall.visible = valid && o.extent < d;
        f.lbllarge.visible = valid && o.extent > 1.5 * d;
        f.Label1.color = (f.lblSmall.visible || f.lbllarge.visible) ? red : black;
    });
    if (full) {
        step([] { drawradialaxes(); });
        step([&] {
            f.lblCount.caption.clear();
            f.Label8.caption.clear();
            f.Label9.caption.clear();
            f.lblnode.visible = false;
            // Set directly: the spinner reacts only to the user.
            f.HScroll1.value =
                static_cast<int>(std::clamp<long long>(roundeven(o.extent), f.HScroll1.min, f.HScroll1.max));
            globals().run.loadedfile.clear();
        });
    }
    step([&] {
        if (!o.planename.empty()) f.chk1st.checked = false;
        f.chk1st.enabled = o.planename.empty();
    });
    step([&] {
        for (auto& p : f.Picture1) p.visible = false;
        if (f.optTheory[0].checked)
            f.Picture1[0].visible = true;
        else if (f.optAll[0].checked)
            f.Picture1[1].visible = true;
        else
            f.Picture1[2].visible = true;
    });
    step([&] {
        if (globals().levelsopen && !valid && hooks().levelsetup) hooks().levelsetup(0, 0, 0, 0);
    });
}

void speciesmenu(int index) {
    auto& f = form();
    auto& o = globals().orbital;
    if (index > 4) return;  // the H2 items are never offered

    for (int i = 0; i <= 4; ++i) f.mnuH[i].checked = false;
    f.mnuH[index >= 0 ? index : 4].checked = true;

    static const char* const names[4] = {"the H Atom (Z=1)", "the He+ Ion (Z=2)", "the Li+2 Ion (Z=3)",
                                         "the Be+3 Ion (Z=4)"};
    int z = o.currentz;
    std::string name;
    if (index >= 0 && index <= 3) {
        z = index + 1;
        name = names[index];
    } else {
        if (index == 4) {
            auto answer = dialogs().inputbox("Enter a new value for the nuclear charge, Z:", "", inttext(o.currentz));
            if (!answer) return;
            long long asked = floorval(*answer);
            if (asked < 1) return;
            if (asked > 120) {
                dialogs().messagebox("The largest number you can enter for the nuclear charge is 120.", Buttons::OK);
                asked = 120;
            }
            z = static_cast<int>(asked);
        } else {
            z = clampint(-static_cast<long long>(index));
        }
        name = "Z=" + inttext(z);
    }
    o.currentz = z;
    o.speciesname = name;
    f.Frame1.caption = "Calculation Options for " + name;

    updateorbital(true);

    if (f.Command1.enabled) {
        f.optTheory[1].select();
        if (f.optTheory[1].checked) showtheory();
        if (globals().levelsopen && hooks().levelsetup) hooks().levelsetup(o.currentz, o.currentn, o.currentl, o.currentm);
    }
}

void setnucleus(int z) {
    // A charge below 1 (a damaged point file, say) names no species.
    if (z < 1) return;
    speciesmenu(z >= 5 ? -z : z - 1);
}

void autoscale() {
    auto& f = form();
    const int d = defaultextent();
    // The scroll bar stops at 500; the box takes the full default, which the
    // refresh then clamps to the same 500.
    f.HScroll1.value = std::clamp(d, f.HScroll1.min, f.HScroll1.max);
    f.txtscal.settext(inttext(d));
    updateorbital(true);
}

void setorbital(int z, int n, int l, int m, bool autoscaleit) {
    auto& f = form();
    if (f.settingorbital) return;
    f.settingorbital = true;
    struct Release {
        ~Release() { form().settingorbital = false; }
    } release;

    const int nlm[3] = {n, l, m};
    for (int i = 0; i < 3; ++i) f.txtNLM[i].settext(inttext(nlm[i]));
    // The spinners only follow; their reaction would write a clamped
    // position back into the boxes.
    for (int i = 0; i < 3; ++i) f.HScroll3[i].value = std::clamp(nlm[i], f.HScroll3[i].min, f.HScroll3[i].max);
    setnucleus(z);
    updateorbital(true);
    globals().run.npoints = 0;
    if (autoscaleit) autoscale();
    f.optTheory[2].select();
    f.optTheory[1].select();
}

void setoptions(int& x, int& y, int& z, bool& restricted) {
    const auto& a = form().optAll;
    restricted = !a[0].checked;
    if (!restricted) {
        x = y = z = 0;
        return;
    }
    x = (a[3].checked || a[4].checked) ? 1 : 0;
    y = (a[2].checked || a[3].checked) ? 1 : 0;
    z = (a[2].checked || a[4].checked) ? 1 : 0;
}

bool isnodal() {
    int mx = 0, my = 0, mz = 0;
    bool restricted = false;
    setoptions(mx, my, mz, restricted);
    const double side = 2 * globals().orbital.extent;
    for (int i = 0; i < 100; ++i) {
        double x = side * randomcentered();
        double y = side * randomcentered();
        double z = side * randomcentered();
        if (restricted) {
            x *= mx;
            y *= my;
            z *= mz;
        }
        double r = 0, r2 = 0, radial = 0;
        if (wavefunction(x, y, z, r, r2, radial) != 0) return false;
    }
    return true;
}

}  // namespace vantrel
