// The main window as plain state: every control's caption, text, check,
// selection, colour, visibility and enabled flag. The reactions and the
// batch driver work on this; the Qt window only mirrors it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/orbitalview.h"

namespace vantrel {

enum class ControlKind { Window, Label, TextBox, Button, CheckBox, Option, ScrollBar, Frame, Picture, Menu, MenuItem };

struct Control {
    ControlKind kind = ControlKind::Label;
    std::string name;       // "quantumText(0)": for messages and tests
    std::string caption;    // labels, buttons, frames, check boxes, options, menus
    std::string text;       // text boxes
    bool checked = false;   // check box value, option selected, menu check mark
    int value = 0;          // scroll bar position
    int min = 0, max = 0;   // scroll bar range
    bool visible = true;
    bool enabled = true;
    std::uint32_t color = 0;  // text colour, 0x00BBGGRR
    bool bold = false;
    std::string tag;
    std::function<void()> onClick;   // buttons, check boxes, options, labels, menu items
    std::function<void()> onChange;  // text boxes, scroll bars
    std::function<void()> onFocus;   // text boxes
    std::function<void()> onEditingFinished;  // text boxes: Enter, or the focus leaving
    std::vector<Control*> group;     // option buttons that exclude each other

    // Code-driven changes fire the reactions exactly where the window
    // toolkit would: only when the state really changes.
    void setText(const std::string& t);
    void setValue(int v);        // clamps to min..max
    void setChecked(bool c);     // check boxes and menu check marks
    void select();               // option buttons; deselects the rest of the group
    void reselect();             // select(), firing the reaction even when already selected
    void click();                // a user's click: fires onClick (checks toggle first)
};

struct MainWindowState {
    MainWindowState();
    MainWindowState(const MainWindowState&) = delete;
    MainWindowState& operator=(const MainWindowState&) = delete;

    Control window;  // caption of the window
    std::string designCaption = "Vantrel";

    Control calculationFrame, nLabel, lLabel, mLabel;
    std::array<Control, 3> quantumText, quantumSpinners;
    Control extentLabel, extentText, extentSpinner, tooSmallLabel, tooLargeLabel;
    Control maxPointsLabel, maxPointsText, maxPointsSpinner;
    Control regionLabel;
    std::array<Control, 4> regionOptions;  // all, XY, YZ, XZ
    Control energyLabel;
    std::array<Control, 2> energyValueLabels;

    Control displayFrame, useJmolCheck;
    std::array<Control, 2> energyChecks;
    Control fullScreenCheck, blackBackgroundCheck, fourPanelCheck, startRotationCheck, firstQuadrantCheck, smallerDotsCheck;
    Control jmolFrame, jmolAxesCheck, jmolBoundingBoxCheck;

    Control radialPlotFrame;
    std::array<Control, 2> plotModeOptions;  // actual hits, theory
    std::array<Control, 3> plotIcons;
    Control colourFrame, colourLabel;
    std::array<Control, 2> colourModeOptions;

    Control calculateButton, loadButton, displayButton;
    Control radialPlot, errorLabel, planeLabel, nodeLabel, pointCountLabel, quickLabel, probableRadiusLabel, medianRadiusLabel;

    Control fileMenu, cacheNewMenuItem, cacheClearMenuItem, compareEnergiesMenuItem, spectrumMenuItem, exitMenuItem;
    Control typeMenu;
    std::array<Control, 9> speciesMenuItems;
    Control optionsMenu, autoscaleMenuItem, quickMenuItem;
    Control helpMenu;
    std::array<Control, 5> helpMenuItems;

    // The control that has the focus; the spinners react only when they have it.
    Control* activeControl = nullptr;
    // A run, a sequence file or a page holds the controls.
    bool controlsHeld = false;
    // The quantum numbers name a state that can be set up.
    bool numbersValid = true;
    // An orbital can be calculated now: the numbers were valid at the last
    // refresh and no page or sequence file holds the controls since.
    bool canCalculate = true;
    // A point file can be loaded now (Load is enabled).
    bool canLoad = true;
    void setCanLoad(bool can) { canLoad = loadButton.enabled = displayButton.enabled = can; }
    // Esc presses calculateButton while a run is going.
    bool escapeStopsRun = false;
    // Re-entry guard of setOrbital.
    bool settingOrbital = false;
    // The user is typing into the extent box: its tidied value waits until
    // editing is finished, or it would rewrite what is being typed.
    bool typingExtent = false;
    // The level and spectrum windows (at most one is open).
    bool levelsOpen = false;
    bool spectrumOpen = false;

    // The orbital's cloud and surfaces in 3-D.
    OrbitalView orbitalView;

    // Every control, for views and tests that walk them all.
    std::vector<Control*> all();
};

}  // namespace vantrel
