#include "app/mainwindow.h"

#include <cmath>
#include <exception>
#include <filesystem>

#include "app/about.h"
#include "app/maindir.h"
#include "app/sequence.h"
#include "engine/energy.h"
#include "app/windowstate.h"
#include "app/ignoringerrors.h"
#include "app/appstate.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "app/samplingrun.h"
#include "engine/textutil.h"
#include "install/helpinstaller.h"
#include "output/pages.h"
#include "output/pointfile.h"
#include "output/radialplot.h"
#include "output/fileutil.h"
#include "engine/random.h"
#include "app/radialview.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/session.h"

namespace vantrel {

namespace {

constexpr std::uint32_t blue = 0xFF0000;
constexpr std::uint32_t black = 0;
const char* const version = VANTREL_VERSION;

template <typename F>
void call(const std::function<F>& hook) {
    if (hook) hook();
}

// Code that sets a scroll bar's position must not start its reaction; only
// the scroll bar the user is working on reacts.
bool spinnerActive(const MainWindowState& f, const Control& scroll) { return f.activeControl == &scroll; }

void levelsFollowCurrent(Session& s) {
    if (s.windowHooks.levelsFollow) s.windowHooks.levelsFollow(s.orbital.numbers());
}

// Typed numbers reach the level diagram too (invalid ones already did,
// through the refresh).
void quantumTextChanged(Session& s) {
    updateOrbital(s, true);
    const auto& o = s.orbital;
    if (s.window.levelsOpen && s.window.numbersValid && validNumbers(o.currentN, o.currentL, o.currentM))
        levelsFollowCurrent(s);
}

void colourModeClick(Session& s) {
    auto& f = s.window;
    if (s.run.nPoints >= 1 && (f.controlsHeld || f.canLoad))
        drawRadialPlot(s, !f.controlsHeld);
    else
        redrawTheory(s);
}

void quantumSpinnerChanged(Session& s, int i) {
    auto& f = s.window;
    if (!spinnerActive(f, f.quantumSpinners[i])) return;
    f.quantumText[i].setText(intText(f.quantumSpinners[i].value));
    updateOrbital(s, true);
    if (f.autoscaleMenuItem.checked) autoscale(s);
    if (f.numbersValid) {
        f.plotModeOptions[1].select();
        if (f.plotModeOptions[1].checked) showTheory(s);
        if (s.window.levelsOpen) levelsFollowCurrent(s);
    }
}

void extentSpinnerChanged(Session& s) {
    auto& f = s.window;
    if (!spinnerActive(f, f.extentSpinner)) return;
    f.extentText.setText(intText(f.extentSpinner.value));
    updateOrbital(s, true);
    f.plotModeOptions[1].select();
    redrawTheory(s);
}

void pointsSpinner(Session& s) {
    auto& f = s.window;
    if (!spinnerActive(f, f.maxPointsSpinner)) return;
    f.maxPointsText.setText(numText(10000 * std::pow(2.0, f.maxPointsSpinner.value)));
    updateOrbital(s, false);
}

void regionClick(Session& s, int i) {
    auto& f = s.window;
    ignoringErrors([&] {
        for (int j = 0; j < static_cast<int>(f.regionOptions.size()); ++j)
            f.regionOptions[j].color = f.regionOptions[j].checked ? blue : black;
        s.orbital.planeName = f.regionOptions[i].tag;
        f.planeLabel.caption = "restricted to the " + upper(s.orbital.planeName) + " plane";
        f.planeLabel.visible = !f.regionOptions[0].checked;
        f.nodeLabel.visible = false;
        updateOrbital(s, true);
        redrawTheory(s);
        selectAll(s, f.extentText);
    });
}

void extentWarningClick(Session& s) {
    auto& f = s.window;
    autoscale(s);
    f.plotModeOptions[1].select();
    showTheory(s);
}

void quickClick(Session& s) {
    auto& f = s.window;
    if (f.quickMenuItem.checked) {
        f.quickMenuItem.checked = false;
    } else {
        const std::string question = "Do you want to do a quick calculation" + crlf +
                                     "that will be correct in terms of nodes" + crlf +
                                     "but not necessarily correct" + crlf + "in terms of probability?";
        if (s.dialogs->messageBox(question, Buttons::YesNo, "Quick Calculation", Icon::Question) != Answer::Yes)
            return;
        f.quickMenuItem.checked = true;
    }
    updateOrbital(s, true);
}

void levelsClick(Session& s) {
    auto& g = s.window;
    if (g.spectrumOpen) {
        call(s.windowHooks.closeSpectrum);
        g.spectrumOpen = false;
    }
    if (g.levelsOpen) {
        levelsFollowCurrent(s);
        call(s.windowHooks.showLevels);  // to the front
    } else {
        g.levelsOpen = true;
        call(s.windowHooks.showLevels);
    }
}

void spectrumClick(Session& s) {
    auto& g = s.window;
    if (g.levelsOpen) {
        call(s.windowHooks.closeLevels);
        g.levelsOpen = false;
    }
    g.spectrumOpen = true;
    call(s.windowHooks.showSpectrum);
}

// A help document that is not there would otherwise open nothing, silently.
void openHelp(Session& s, const std::string& name) {
    const std::string path = findHelpFile(name, s.programDir);
    if (path.empty()) {
        std::string places;
        for (const std::string& dir : helpDirs(s.programDir)) places += (places.empty() ? "" : ", ") + dir;
        s.dialogs->messageBox("The help file " + name + " is missing (looked in " + places +
                                  "). Help, Reinstall Help Files writes it out again.",
                              Buttons::OK);
        return;
    }
    openDocument(s, path, ShowMode::Maximised);
}

void aboutClick(Session& s, int i) {
    switch (i) {
    case 0:
        openHelp(s, "index.htm");
        break;
    case 1:
        openHelp(s, "schroed.pdf");
        break;
    case 2:
        // Declining the installation ends the program, as at start-up.
        if (runInstaller(*s.dialogs, s.programDir) == InstallerResult::EndProgram) call(s.windowHooks.quitApplication);
        break;
    case 3:
        if (s.windowHooks.showAbout)
            s.windowHooks.showAbout();
        else
            s.dialogs->messageBox(aboutText("", threeRevision(dataDir(s), s.threeDir)), Buttons::OK, aboutTitle);
        break;
    case 4:
        s.dialogs->messageBox(aboutJmolText(s.mainDir), Buttons::OK, "About Jmol");
        break;
    default:
        break;
    }
}

void giveFocus(Session& s, Control& c) {
    s.window.activeControl = &c;
    // A view that cannot take the focus now (hidden, say) just says no.
    ignoringErrors([&] {
        if (s.windowHooks.focusRequest) s.windowHooks.focusRequest(c);
    });
}

}  // namespace

void installReactions(Session& s) {
    auto& f = s.window;
    for (int i = 0; i < 3; ++i) {
        f.quantumText[i].onChange = [&s] { quantumTextChanged(s); };
        f.quantumText[i].onFocus = [&s, i] { selectAll(s, s.window.quantumText[i]); };
        f.quantumSpinners[i].onChange = [&s, i] { quantumSpinnerChanged(s, i); };
    }
    f.extentText.onChange = [&s] {
        auto& fm = s.window;
        fm.typingExtent = true;
        updateOrbital(s, true);
        fm.typingExtent = false;
    };
    // Editing finished: the box shows the value in use.
    f.extentText.onEditingFinished = [&s] { s.window.extentText.text = numText(s.orbital.extent); };
    f.extentText.onFocus = [&s] { selectAll(s, s.window.extentText); };
    f.maxPointsText.onFocus = [&s] { selectAll(s, s.window.maxPointsText); };
    f.extentSpinner.onChange = [&s] { extentSpinnerChanged(s); };
    f.maxPointsSpinner.onChange = [&s] { pointsSpinner(s); };

    for (int i = 0; i < static_cast<int>(f.regionOptions.size()); ++i)
        f.regionOptions[i].onClick = [&s, i] { regionClick(s, i); };
    for (auto& c : f.colourModeOptions) c.onClick = [&s] { colourModeClick(s); };
    for (auto& c : f.plotModeOptions)
        c.onClick = [&s] {
            updateOrbital(s, true);
            colourModeClick(s);
        };

    for (int i = 0; i < 2; ++i)
        f.energyChecks[i].onClick = [&s, i] {
            auto& e = s.window.energyChecks;
            if (e[i].checked) e[1 - i].setChecked(false);
        };
    f.fullScreenCheck.onClick = [&s] {
        auto& fm = s.window;
        if (fm.fourPanelCheck.checked) fm.fourPanelCheck.setChecked(!fm.fullScreenCheck.checked);
    };
    f.fourPanelCheck.onClick = [&s] {
        auto& fm = s.window;
        if (fm.fullScreenCheck.checked) fm.fullScreenCheck.setChecked(!fm.fourPanelCheck.checked);
    };
    f.useJmolCheck.onClick = [&s] { s.window.jmolFrame.visible = s.window.useJmolCheck.checked; };
    // The 3-D view shows the page's background and box too.
    f.blackBackgroundCheck.onClick = f.jmolBoundingBoxCheck.onClick = [&s] {
        syncOrbitalView(s.window, s.orbital);
    };

    for (int i = 0; i < 2; ++i)
        f.energyValueLabels[i].onClick = [&s, i] { s.dialogs->messageBox(energyMessage(s.orbital.numbers(), s.orbital.speciesName, i == 1 ? EnergyUnit::Joules : EnergyUnit::Attojoules), Buttons::OK); };
    f.tooSmallLabel.onClick = f.tooLargeLabel.onClick = [&s] { extentWarningClick(s); };
    f.quickLabel.onClick = [&s] {
        s.window.quickMenuItem.checked = false;
        updateOrbital(s, true);
    };

    f.calculateButton.onClick = [&s] { calculateClick(s); };
    f.loadButton.onClick = [&s] { loadClick(s); };
    f.displayButton.onClick = [&s] { displayClick(s); };

    f.cacheNewMenuItem.onClick = [&s] { newCacheClick(s); };
    f.cacheClearMenuItem.onClick = [&s] { clearCache(s, true); };
    f.compareEnergiesMenuItem.onClick = [&s] { levelsClick(s); };
    f.spectrumMenuItem.onClick = [&s] { spectrumClick(s); };
    f.exitMenuItem.onClick = [&s] { call(s.windowHooks.quitApplication); };
    for (int i = 0; i <= 4; ++i) f.speciesMenuItems[i].onClick = [&s, i] { speciesMenu(s, i); };
    f.autoscaleMenuItem.onClick = [&s] {
        auto& fm = s.window;
        fm.autoscaleMenuItem.checked = !fm.autoscaleMenuItem.checked;
        if (fm.autoscaleMenuItem.checked) autoscale(s);
    };
    f.quickMenuItem.onClick = [&s] { quickClick(s); };
    for (int i = 0; i < static_cast<int>(f.helpMenuItems.size()); ++i) f.helpMenuItems[i].onClick = [&s, i] { aboutClick(s, i); };

    s.hooks.enableControls = [&s](bool enabled) { enableControls(s, enabled); };
}

void enableControls(Session& s, bool enabled) {
    auto& f = s.window;
    for (Control* c : {&f.calculateButton, &f.loadButton, &f.displayButton, &f.calculationFrame, &f.typeMenu, &f.fileMenu, &f.optionsMenu, &f.quickLabel})
        c->enabled = enabled;
    f.canCalculate = f.canLoad = enabled;
    f.controlsHeld = !enabled;
    if (s.windowHooks.enableLevels) s.windowHooks.enableLevels(enabled);
    if (s.windowHooks.enableSpectrum) s.windowHooks.enableSpectrum(enabled);
}

void selectAll(Session& s, Control& textbox) { giveFocus(s, textbox); }

bool initSession(Session& s) {
    seedRandom(s);
    return findMainDir(s);
}

bool loadWindow(Session& s) {
    auto& f = s.window;
    // The help files are looked for where the Help menu finds them, not in
    // whatever directory the program was started from.
    bool declined = false;
    ignoringErrors([&] { declined = helpFilesMissing(s.programDir) && runInstaller(*s.dialogs, s.programDir) == InstallerResult::EndProgram; });
    if (declined) return false;
    f.designCaption = f.window.caption;
    f.calculationFrame.caption = "Calculation Options for H Atom";
    bool found = false;
    ignoringErrors([&] { found = initSession(s); });
    if (!found) return false;
    ignoringErrors([&] {
        f.regionOptions[0].select();
        f.colourModeOptions[0].select();
    });
    ignoringErrors([&s] { speciesMenu(s, 0); });
    return true;
}

void afterShow(Session& s, const std::vector<std::string>& arguments) {
    auto& f = s.window;
    bool sequence = false;
    ignoringErrors([&] { sequence = applyCommandLine(s, arguments); });
    if (!sequence) ignoringErrors([&] { f.plotModeOptions[1].select(); });
    f.window.caption = f.designCaption + " version " + version;
}

bool quantumKeyEnter(Session& s, int i) {
    auto& f = s.window;
    if (i < 0 || i > 2) return false;
    if (i < 2) {
        selectAll(s, f.quantumText[i + 1]);
    } else {
        giveFocus(s, f.calculateButton);
    }
    return true;
}

void escapePressed(Session& s) {
    if (s.window.escapeStopsRun) s.window.calculateButton.click();
}

void formActivated(Session& s) { selectAll(s, s.window.quantumText[0]); }

}  // namespace vantrel
