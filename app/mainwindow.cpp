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
bool spinnerActive(const Control& scroll) { return mainWindow().activeControl == &scroll; }

void levelsFollowCurrent() {
    if (windowHooks().levelsFollow) windowHooks().levelsFollow(globals().orbital.numbers());
}

// Typed numbers reach the level diagram too (invalid ones already did,
// through the refresh).
void quantumTextChanged() {
    updateOrbital(true);
    const auto& o = globals().orbital;
    if (mainWindow().levelsOpen && mainWindow().numbersValid && validNumbers(o.currentN, o.currentL, o.currentM))
        levelsFollowCurrent();
}

void colourModeClick() {
    auto& f = mainWindow();
    if (globals().run.nPoints >= 1 && (f.controlsHeld || f.loadButton.enabled))
        drawRadialPlot(!f.controlsHeld);
    else
        redrawTheory();
}

void quantumSpinnerChanged(int i) {
    auto& f = mainWindow();
    if (!spinnerActive(f.quantumSpinners[i])) return;
    f.quantumText[i].setText(intText(f.quantumSpinners[i].value));
    updateOrbital(true);
    if (f.autoscaleMenuItem.checked) autoscale();
    if (f.numbersValid) {
        f.plotModeOptions[1].select();
        if (f.plotModeOptions[1].checked) showTheory();
        if (mainWindow().levelsOpen) levelsFollowCurrent();
    }
}

void extentSpinnerChanged() {
    auto& f = mainWindow();
    if (!spinnerActive(f.extentSpinner)) return;
    f.extentText.setText(intText(f.extentSpinner.value));
    updateOrbital(true);
    f.plotModeOptions[1].select();
    redrawTheory();
}

void pointsSpinner() {
    auto& f = mainWindow();
    if (!spinnerActive(f.maxPointsSpinner)) return;
    f.maxPointsText.setText(numText(10000 * std::pow(2.0, f.maxPointsSpinner.value)));
    updateOrbital(false);
}

void regionClick(int i) {
    auto& f = mainWindow();
    ignoringErrors([&] {
        for (int j = 0; j < static_cast<int>(f.regionOptions.size()); ++j)
            f.regionOptions[j].color = f.regionOptions[j].checked ? blue : black;
        globals().orbital.planeName = f.regionOptions[i].tag;
        f.planeLabel.caption = "restricted to the " + upper(globals().orbital.planeName) + " plane";
        f.planeLabel.visible = !f.regionOptions[0].checked;
        f.nodeLabel.visible = false;
        updateOrbital(true);
        redrawTheory();
        selectAll(f.extentText);
    });
}

void extentWarningClick() {
    auto& f = mainWindow();
    autoscale();
    f.plotModeOptions[1].select();
    showTheory();
}

void quickClick() {
    auto& f = mainWindow();
    if (f.quickMenuItem.checked) {
        f.quickMenuItem.checked = false;
    } else {
        const std::string question = "Do you want to do a quick calculation" + crlf +
                                     "that will be correct in terms of nodes" + crlf +
                                     "but not necessarily correct" + crlf + "in terms of probability?";
        if (dialogs().messageBox(question, Buttons::YesNo, "Quick Calculation", Icon::Question) != Answer::Yes)
            return;
        f.quickMenuItem.checked = true;
    }
    updateOrbital(true);
}

void levelsClick() {
    auto& g = mainWindow();
    if (g.spectrumOpen) {
        call(windowHooks().closeSpectrum);
        g.spectrumOpen = false;
    }
    if (g.levelsOpen) {
        levelsFollowCurrent();
        call(windowHooks().showLevels);  // to the front
    } else {
        g.levelsOpen = true;
        call(windowHooks().showLevels);
    }
}

void spectrumClick() {
    auto& g = mainWindow();
    if (g.levelsOpen) {
        call(windowHooks().closeLevels);
        g.levelsOpen = false;
    }
    g.spectrumOpen = true;
    call(windowHooks().showSpectrum);
}

// A help document that is not there would otherwise open nothing, silently.
void openHelp(const std::string& name) {
    const std::string path = findHelpFile(name, programDir());
    if (path.empty()) {
        std::string places;
        for (const std::string& dir : helpDirs(programDir())) places += (places.empty() ? "" : ", ") + dir;
        dialogs().messageBox("The help file " + name + " is missing (looked in " + places +
                                 "). Help, Reinstall Help Files writes it out again.",
                             Buttons::OK);
        return;
    }
    openDocument(path, ShowMode::Maximised);
}

void aboutClick(int i) {
    switch (i) {
    case 0:
        openHelp("index.htm");
        break;
    case 1:
        openHelp("schroed.pdf");
        break;
    case 2:
        // Declining the installation ends the program, as at start-up.
        if (runInstaller(dialogs(), programDir()) == InstallerResult::EndProgram) call(windowHooks().quitApplication);
        break;
    case 3:
        if (windowHooks().showAbout)
            windowHooks().showAbout();
        else
            dialogs().messageBox(aboutText(""), Buttons::OK, aboutTitle);
        break;
    case 4:
        dialogs().messageBox(aboutJmolText(globals().mainDir), Buttons::OK, "About Jmol");
        break;
    default:
        break;
    }
}

void giveFocus(Control& c) {
    mainWindow().activeControl = &c;
    // A view that cannot take the focus now (hidden, say) just says no.
    ignoringErrors([&] {
        if (windowHooks().focusRequest) windowHooks().focusRequest(c);
    });
}

}  // namespace

WindowHooks& windowHooks() {
    static WindowHooks h;
    return h;
}

void installReactions() {
    auto& f = mainWindow();
    for (int i = 0; i < 3; ++i) {
        f.quantumText[i].onChange = quantumTextChanged;
        f.quantumText[i].onFocus = [i] { selectAll(mainWindow().quantumText[i]); };
        f.quantumSpinners[i].onChange = [i] { quantumSpinnerChanged(i); };
    }
    f.extentText.onChange = [] {
        auto& fm = mainWindow();
        fm.typingExtent = true;
        updateOrbital(true);
        fm.typingExtent = false;
    };
    // Editing finished: the box shows the value in use.
    f.extentText.onEditingFinished = [] { mainWindow().extentText.text = numText(globals().orbital.extent); };
    f.extentText.onFocus = [] { selectAll(mainWindow().extentText); };
    f.maxPointsText.onFocus = [] { selectAll(mainWindow().maxPointsText); };
    f.extentSpinner.onChange = extentSpinnerChanged;
    f.maxPointsSpinner.onChange = pointsSpinner;

    for (int i = 0; i < static_cast<int>(f.regionOptions.size()); ++i)
        f.regionOptions[i].onClick = [i] { regionClick(i); };
    for (auto& c : f.colourModeOptions) c.onClick = colourModeClick;
    for (auto& c : f.plotModeOptions)
        c.onClick = [] {
            updateOrbital(true);
            colourModeClick();
        };

    for (int i = 0; i < 2; ++i)
        f.energyChecks[i].onClick = [i] {
            auto& e = mainWindow().energyChecks;
            if (e[i].checked) e[1 - i].setChecked(false);
        };
    f.fullScreenCheck.onClick = [] {
        auto& fm = mainWindow();
        if (fm.fourPanelCheck.checked) fm.fourPanelCheck.setChecked(!fm.fullScreenCheck.checked);
    };
    f.fourPanelCheck.onClick = [] {
        auto& fm = mainWindow();
        if (fm.fullScreenCheck.checked) fm.fullScreenCheck.setChecked(!fm.fourPanelCheck.checked);
    };
    f.useJmolCheck.onClick = [] { mainWindow().jmolFrame.visible = mainWindow().useJmolCheck.checked; };
    // The 3-D view shows the page's background and box too.
    f.blackBackgroundCheck.onClick = f.jmolBoundingBoxCheck.onClick = [] {
        syncOrbitalView(mainWindow(), globals().orbital);
    };

    for (int i = 0; i < 2; ++i)
        f.energyValueLabels[i].onClick = [i] { dialogs().messageBox(energyMessage(globals().orbital.numbers(), globals().orbital.speciesName, i == 1 ? EnergyUnit::Joules : EnergyUnit::Attojoules), Buttons::OK); };
    f.tooSmallLabel.onClick = extentWarningClick;
    f.tooLargeLabel.onClick = extentWarningClick;
    f.quickLabel.onClick = [] {
        mainWindow().quickMenuItem.checked = false;
        updateOrbital(true);
    };

    f.calculateButton.onClick = calculateClick;
    f.loadButton.onClick = loadClick;
    f.displayButton.onClick = displayClick;

    f.cacheNewMenuItem.onClick = newCacheClick;
    f.cacheClearMenuItem.onClick = [] { clearCache(true); };
    f.compareEnergiesMenuItem.onClick = levelsClick;
    f.spectrumMenuItem.onClick = spectrumClick;
    f.exitMenuItem.onClick = [] { call(windowHooks().quitApplication); };
    for (int i = 0; i <= 4; ++i) f.speciesMenuItems[i].onClick = [i] { speciesMenu(i); };
    f.autoscaleMenuItem.onClick = [] {
        auto& fm = mainWindow();
        fm.autoscaleMenuItem.checked = !fm.autoscaleMenuItem.checked;
        if (fm.autoscaleMenuItem.checked) autoscale();
    };
    f.quickMenuItem.onClick = quickClick;
    for (int i = 0; i < static_cast<int>(f.helpMenuItems.size()); ++i) f.helpMenuItems[i].onClick = [i] { aboutClick(i); };

    hooks().enableControls = enableControls;
}

void enableControls(bool enabled) {
    auto& f = mainWindow();
    for (Control* c : {&f.calculateButton, &f.loadButton, &f.displayButton, &f.calculationFrame, &f.typeMenu, &f.fileMenu, &f.optionsMenu, &f.quickLabel})
        c->enabled = enabled;
    f.canCalculate = enabled;
    f.controlsHeld = !enabled;
    if (windowHooks().enableLevels) windowHooks().enableLevels(enabled);
    if (windowHooks().enableSpectrum) windowHooks().enableSpectrum(enabled);
}

void selectAll(Control& textbox) { giveFocus(textbox); }

bool initGlobals() {
    seedRandom();
    return findMainDir();
}

bool loadWindow() {
    auto& f = mainWindow();
    // The help files are looked for where the Help menu finds them, not in
    // whatever directory the program was started from.
    bool declined = false;
    ignoringErrors([&] { declined = helpFilesMissing(programDir()) && runInstaller(dialogs(), programDir()) == InstallerResult::EndProgram; });
    if (declined) return false;
    f.designCaption = f.window.caption;
    f.calculationFrame.caption = "Calculation Options for H Atom";
    bool found = false;
    ignoringErrors([&] { found = initGlobals(); });
    if (!found) return false;
    ignoringErrors([&] {
        f.regionOptions[0].select();
        f.colourModeOptions[0].select();
    });
    ignoringErrors([] { speciesMenu(0); });
    return true;
}

void afterShow(const std::vector<std::string>& arguments) {
    auto& f = mainWindow();
    bool sequence = false;
    ignoringErrors([&] { sequence = applyCommandLine(arguments); });
    if (!sequence) ignoringErrors([&] { f.plotModeOptions[1].select(); });
    f.window.caption = f.designCaption + " version " + version;
}

bool quantumKeyEnter(int i) {
    auto& f = mainWindow();
    if (i < 0 || i > 2) return false;
    if (i < 2) {
        selectAll(f.quantumText[i + 1]);
    } else {
        giveFocus(f.calculateButton);
    }
    return true;
}

void escapePressed() {
    if (mainWindow().escapeStopsRun) mainWindow().calculateButton.click();
}

void formActivated() { selectAll(mainWindow().quantumText[0]); }

}  // namespace vantrel
