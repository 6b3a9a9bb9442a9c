#include "app/mainwindow.h"

#include <cmath>
#include <exception>
#include <filesystem>

#include "app/maindir.h"
#include "app/sequence.h"
#include "engine/energy.h"
#include "engine/formstate.h"
#include "engine/ignoringerrors.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "engine/sampling.h"
#include "engine/textutil.h"
#include "install/installer.h"
#include "output/pages.h"
#include "output/pointfile.h"
#include "output/radial.h"

namespace vantrel {

namespace {

constexpr std::uint32_t blue = 0xFF0000;
constexpr std::uint32_t black = 0;
const char* const version = "1.3.1";

template <typename F>
void call(const std::function<F>& hook) {
    if (hook) hook();
}

// Code that sets a scroll bar's position must not start its reaction; only
// the scroll bar the user is working on reacts.
bool spinneractive(const Control& scroll) { return form().activecontrol == &scroll; }

void levelsetupcurrent() {
    if (!hooks().levelsetup) return;
    const auto& o = globals().orbital;
    hooks().levelsetup(o.currentz, o.currentn, o.currentl, o.currentm);
}

void redrawtheory() {
    auto& f = form();
    if (f.Command1.enabled && f.optTheory[1].checked) showtheory();
}

void optcolorclick() {
    auto& f = form();
    if (globals().run.npoints >= 1 && (!f.mnuType.enabled || f.Command2.enabled))
        drawradialplot(f.mnuType.enabled);
    else
        redrawtheory();
}

void nlmspinner(int i) {
    auto& f = form();
    if (!spinneractive(f.HScroll3[i])) return;
    f.txtNLM[i].settext(inttext(f.HScroll3[i].value));
    updateorbital(true);
    if (f.mnuAuto.checked) autoscale();
    if (f.Command1.enabled) {
        f.optTheory[1].select();
        if (f.optTheory[1].checked) showtheory();
        if (globals().levelsopen) levelsetupcurrent();
    }
}

void extentspinner() {
    auto& f = form();
    if (!spinneractive(f.HScroll1)) return;
    f.txtscal.settext(inttext(f.HScroll1.value));
    updateorbital(true);
    f.optTheory[1].select();
    redrawtheory();
}

void pointsspinner() {
    auto& f = form();
    if (!spinneractive(f.HScroll2)) return;
    f.txtmax.settext(numtext(10000 * std::pow(2.0, f.HScroll2.value)));
    updateorbital(false);
}

void regionclick(int i) {
    auto& f = form();
    ignoringerrors([&] {
        for (int j = 0; j < static_cast<int>(f.optAll.size()); ++j)
            if (j != 1) f.optAll[j].color = f.optAll[j].checked ? blue : black;
        globals().orbital.planename = f.optAll[i].tag;
        f.lblplane.caption = "restricted to the " + upper(globals().orbital.planename) + " plane";
        f.lblplane.visible = !f.optAll[0].checked;
        f.lblnode.visible = false;
        updateorbital(true);
        redrawtheory();
        selectall(f.txtscal);
    });
}

void extentwarningclick() {
    auto& f = form();
    autoscale();
    f.optTheory[1].select();
    if (f.Command1.enabled) showtheory();
}

void quickclick() {
    auto& f = form();
    if (f.mnuQuick.checked) {
        f.mnuQuick.checked = false;
    } else {
        const std::string question = "Do you want to do a quick calculation" + crlf +
                                     "that will be correct in terms of nodes" + crlf +
                                     "but not necessarily correct" + crlf + "in terms of probability?";
        if (dialogs().messagebox(question, Buttons::YesNo, "Quick Calculation", Icon::Question) != Answer::Yes)
            return;
        f.mnuQuick.checked = true;
    }
    updateorbital(true);
}

void levelsclick() {
    auto& g = globals();
    if (g.spectrumopen) {
        call(windowhooks().closespectrum);
        g.spectrumopen = false;
    }
    if (g.levelsopen) {
        levelsetupcurrent();
    } else {
        g.levelsopen = true;
        call(windowhooks().showlevels);
    }
}

void spectrumclick() {
    auto& g = globals();
    if (g.levelsopen) {
        call(windowhooks().closelevels);
        g.levelsopen = false;
    }
    g.spectrumopen = true;
    call(windowhooks().showspectrum);
}

// A help document that is not there would otherwise open nothing, silently.
void openhelp(const std::string& name) {
    const std::string path = programdir() + "/" + name;
    if (!fileexists(path)) {
        dialogs().messagebox("The help file " + path + " is missing.", Buttons::OK);
        return;
    }
    openfile(path, 3);
}

void aboutclick(int i) {
    switch (i) {
    case 0:
        openhelp("index.htm");
        break;
    case 1:
        openhelp("schroed.pdf");
        break;
    case 2:
        runinstaller();
        break;
    case 3:
        dialogs().messagebox("Vantrel was written by the Vantrel developers as a teaching tool for one-electron atoms." +
                                 crlf + "Any comments or suggestions for program improvement are welcome." + crlf,
                             Buttons::OK, "About Vantrel.Exe");
        break;
    case 4:
        dialogs().messagebox("The Java applet Jmol is an open source alternative the Chime Plugin. "
                             "If you get the error \"JmolApplet.jar not found\" when you try to display an orbital, "
                             "Google: \"download jmol\" and place JmolApplet.jar in " +
                                 programdir() + ".",
                             Buttons::OK, "About Jmol");
        break;
    default:
        break;
    }
}

void givefocus(Control& c) {
    form().activecontrol = &c;
    // A view that cannot take the focus now (hidden, say) just says no.
    ignoringerrors([&] {
        if (windowhooks().focusrequest) windowhooks().focusrequest(c);
    });
}

std::string currentdir() {
    std::error_code ec;
    auto dir = std::filesystem::current_path(ec);
    return ec ? std::string(".") : dir.string();
}

}  // namespace

WindowHooks& windowhooks() {
    static WindowHooks h;
    return h;
}

void installreactions() {
    auto& f = form();
    for (int i = 0; i < 3; ++i) {
        f.txtNLM[i].onchange = [] { updateorbital(true); };
        f.txtNLM[i].onfocus = [i] { selectall(form().txtNLM[i]); };
        f.HScroll3[i].onchange = [i] { nlmspinner(i); };
    }
    f.txtscal.onchange = [] { updateorbital(true); };
    f.txtscal.onfocus = [] { selectall(form().txtscal); };
    f.txtmax.onfocus = [] { selectall(form().txtmax); };
    f.HScroll1.onchange = extentspinner;
    f.HScroll2.onchange = pointsspinner;

    for (int i = 0; i < static_cast<int>(f.optAll.size()); ++i)
        if (i != 1) f.optAll[i].onclick = [i] { regionclick(i); };
    for (auto& c : f.OptColor) c.onclick = optcolorclick;
    for (int i = 0; i < 3; ++i) {
        if (i == 2) continue;  // the hidden button only forces a redraw
        f.optTheory[i].onclick = [] {
            updateorbital(true);
            optcolorclick();
        };
    }

    for (int i = 0; i < 2; ++i)
        f.chkEnergy[i].onclick = [i] {
            auto& e = form().chkEnergy;
            if (e[i].checked) e[1 - i].setchecked(false);
        };
    f.chkFull.onclick = [] {
        auto& fm = form();
        if (fm.chk4Panel.checked) fm.chk4Panel.setchecked(!fm.chkFull.checked);
    };
    f.chk4Panel.onclick = [] {
        auto& fm = form();
        if (fm.chkFull.checked) fm.chkFull.setchecked(!fm.chk4Panel.checked);
    };
    f.chkJmol.onclick = [] { form().Frame5.visible = form().chkJmol.checked; };

    for (int i = 0; i < 2; ++i)
        f.lblenergy[i].onclick = [i] { dialogs().messagebox(calcEnergy(0, i), Buttons::OK); };
    f.lblSmall.onclick = extentwarningclick;
    f.lbllarge.onclick = extentwarningclick;
    f.Label10.onclick = [] {
        form().mnuQuick.checked = false;
        updateorbital(true);
    };

    f.Command1.onclick = calculateclick;
    f.Command2.onclick = loadclick;
    f.Command3.onclick = displayclick;

    f.mnuNewCache.onclick = newcacheclick;
    f.mnuclear.onclick = [] { clearcache(true); };
    f.mnuCompare.onclick = levelsclick;
    f.mnuHSpectrum.onclick = spectrumclick;
    f.mnuExit.onclick = [] { call(windowhooks().quitapplication); };
    for (int i = 0; i <= 4; ++i) f.mnuH[i].onclick = [i] { speciesmenu(i); };
    f.mnuAuto.onclick = [] {
        auto& fm = form();
        fm.mnuAuto.checked = !fm.mnuAuto.checked;
        if (fm.mnuAuto.checked) autoscale();
    };
    f.mnuQuick.onclick = quickclick;
    for (int i = 0; i < static_cast<int>(f.mnuAbout.size()); ++i) f.mnuAbout[i].onclick = [i] { aboutclick(i); };

    hooks().enablecontrols = enablecontrols;
}

void enablecontrols(bool enabled) {
    auto& f = form();
    for (Control* c : {&f.Command1, &f.Command2, &f.Command3, &f.Frame1, &f.mnuType, &f.mnuFile, &f.mnuopt, &f.Label10})
        c->enabled = enabled;
    if (windowhooks().enablelevels) windowhooks().enablelevels(enabled);
}

void selectall(Control& textbox) { givefocus(textbox); }

bool initglobals() {
    seedrandom();
    initengine();
    return findmaindir();
}

bool loadform() {
    auto& f = form();
    ignoringerrors([] {
        if (!fileexists(currentdir() + "/index.htm")) runinstaller();
    });
    f.designcaption = f.Form1.caption;
    f.Frame1.caption = "Calculation Options for H Atom";
    bool found = false;
    ignoringerrors([&] { found = initglobals(); });
    if (!found) return false;
    ignoringerrors([&] {
        f.optAll[0].select();
        f.OptColor[0].select();
    });
    ignoringerrors([] { speciesmenu(0); });
    return true;
}

void afterShow(const std::string& commandline) {
    auto& f = form();
    bool sequence = false;
    ignoringerrors([&] { sequence = applycommandline(commandline); });
    if (!sequence) ignoringerrors([&] { f.optTheory[1].select(); });
    f.Form1.caption = f.designcaption + " version " + version;
}

bool nlmkeyenter(int i) {
    auto& f = form();
    if (i < 0 || i > 2) return false;
    if (i < 2) {
        selectall(f.txtNLM[i + 1]);
    } else {
        givefocus(f.Command1);
    }
    return true;
}

void escapepressed() {
    if (form().command1cancel) form().Command1.click();
}

void formactivated() { selectall(form().txtNLM[0]); }

}  // namespace vantrel
