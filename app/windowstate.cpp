#include "app/windowstate.h"

#include <algorithm>

namespace vantrel {

void Control::setText(const std::string& t) {
    if (text == t) return;
    text = t;
    if (onChange) onChange();
}

void Control::setValue(int v) {
    v = std::clamp(v, min, max);
    if (value == v) return;
    value = v;
    if (onChange) onChange();
}

void Control::setChecked(bool c) {
    if (checked == c) return;
    checked = c;
    // A menu's check mark set by code is only a mark; a check box reacts.
    if (onClick && kind != ControlKind::MenuItem) onClick();
}

void Control::select() {
    if (checked) return;
    for (Control* other : group)
        if (other != this) other->checked = false;
    checked = true;
    if (onClick) onClick();
}

void Control::reselect() {
    if (!checked) return select();
    if (onClick) onClick();
}

void Control::click() {
    switch (kind) {
    case ControlKind::CheckBox:
        checked = !checked;
        if (onClick) onClick();
        break;
    case ControlKind::Option:
        if (!checked) {
            select();
            return;
        }
        if (onClick) onClick();
        break;
    default:
        if (onClick) onClick();
    }
}

namespace {

constexpr std::uint32_t red = 0x0000FF;
constexpr std::uint32_t blue = 0xFF0000;

void make(Control& c, ControlKind kind, const std::string& name, const std::string& caption = "") {
    c.kind = kind;
    c.name = name;
    c.caption = caption;
}

std::string indexed(const char* name, int i) { return std::string(name) + "(" + std::to_string(i) + ")"; }

}  // namespace

MainWindowState::MainWindowState() {
    using K = ControlKind;
    make(window, K::Window, "window", "Vantrel");

    make(calculationFrame, K::Frame, "calculationFrame", "Calculation Options");
    make(nLabel, K::Label, "nLabel", "n");
    make(lLabel, K::Label, "lLabel", "l");
    make(mLabel, K::Label, "mLabel", "m");
    const char* nlm[3] = {"1", "0", "0"};
    for (int i = 0; i < 3; ++i) {
        make(quantumText[i], K::TextBox, indexed("quantumText", i));
        quantumText[i].text = nlm[i];
        make(quantumSpinners[i], K::ScrollBar, indexed("quantumSpinners", i));
        quantumSpinners[i].min = -20;
        quantumSpinners[i].max = 20;
        quantumSpinners[i].value = i == 0 ? 1 : 0;
    }
    make(extentLabel, K::Label, "extentLabel", "orbital extent (Angstroms):");
    make(extentText, K::TextBox, "extentText");
    extentText.text = "2";
    make(extentSpinner, K::ScrollBar, "extentSpinner");
    extentSpinner.min = 1;
    extentSpinner.max = 500;
    extentSpinner.value = 2;
    make(tooSmallLabel, K::Label, "tooSmallLabel", "too small?");
    make(tooLargeLabel, K::Label, "tooLargeLabel", "too large?");
    for (Control* c : {&tooSmallLabel, &tooLargeLabel}) {
        c->color = red;
        c->visible = false;
    }
    make(maxPointsLabel, K::Label, "maxPointsLabel", "maximum number of points:");
    make(maxPointsText, K::TextBox, "maxPointsText");
    maxPointsText.text = "10000";
    make(maxPointsSpinner, K::ScrollBar, "maxPointsSpinner");
    maxPointsSpinner.min = -5;
    maxPointsSpinner.max = 5;
    make(regionLabel, K::Label, "regionLabel", "region:");
    const char* regions[4] = {"No Restrictions", "XY plane only", "YZ plane only", "XZ plane only"};
    const char* tags[4] = {"", "xy", "yz", "xz"};
    for (int i = 0; i < 4; ++i) {
        make(regionOptions[i], K::Option, indexed("regionOptions", i), regions[i]);
        regionOptions[i].tag = tags[i];
        regionOptions[0].group.push_back(&regionOptions[i]);
    }
    for (int i = 1; i < 4; ++i) regionOptions[i].group = regionOptions[0].group;
    regionOptions[0].checked = true;
    make(energyLabel, K::Label, "energyLabel", "energy:");
    make(energyValueLabels[0], K::Label, "energyValueLabels(0)", "aJ");
    make(energyValueLabels[1], K::Label, "energyValueLabels(1)", "J");
    energyValueLabels[0].bold = energyValueLabels[1].bold = true;

    make(displayFrame, K::Frame, "displayFrame", "3-D Display Options");
    make(useJmolCheck, K::CheckBox, "useJmolCheck", "Use Jmol");
    useJmolCheck.checked = true;
    make(energyChecks[1], K::CheckBox, "energyChecks(1)", "Energy (J)");
    make(energyChecks[0], K::CheckBox, "energyChecks(0)", "Energy (aJ)");
    make(fullScreenCheck, K::CheckBox, "fullScreenCheck", "Full-Screen Display");
    make(blackBackgroundCheck, K::CheckBox, "blackBackgroundCheck", "Black Background");
    make(fourPanelCheck, K::CheckBox, "fourPanelCheck", "4-Panel Display");
    make(startRotationCheck, K::CheckBox, "startRotationCheck", "Start Rotation");
    make(firstQuadrantCheck, K::CheckBox, "firstQuadrantCheck", "1st Quadrant Only");
    make(smallerDotsCheck, K::CheckBox, "smallerDotsCheck", "Smaller Dots");
    make(jmolFrame, K::Frame, "jmolFrame", "Jmol Options");
    make(jmolAxesCheck, K::CheckBox, "jmolAxesCheck", "Include Axes");
    make(jmolBoundingBoxCheck, K::CheckBox, "jmolBoundingBoxCheck", "Include Bounding Box");
    jmolAxesCheck.checked = jmolBoundingBoxCheck.checked = true;

    make(radialPlotFrame, K::Frame, "radialPlotFrame", "Radial Plot Options");
    const char* theory[2] = {"Actual Hits", "Theoretical Radial Probability"};
    for (int i = 0; i < 2; ++i) make(plotModeOptions[i], K::Option, indexed("plotModeOptions", i), theory[i]);
    for (int i = 0; i < 3; ++i) make(plotIcons[i], K::Picture, indexed("plotIcons", i));
    plotModeOptions[0].group = plotModeOptions[1].group = {&plotModeOptions[0], &plotModeOptions[1]};
    plotModeOptions[0].checked = true;
    make(colourFrame, K::Frame, "colourFrame", "Color Options");
    make(colourLabel, K::Label, "colourLabel", "use color to emphasize: ");
    make(colourModeOptions[0], K::Option, "colourModeOptions(0)", "Probability");
    make(colourModeOptions[1], K::Option, "colourModeOptions(1)", "Nodes");
    colourModeOptions[0].group = colourModeOptions[1].group = {&colourModeOptions[0], &colourModeOptions[1]};
    colourModeOptions[0].checked = true;

    make(calculateButton, K::Button, "calculateButton", "&Calculate");
    make(loadButton, K::Button, "loadButton", "&Load");
    make(displayButton, K::Button, "displayButton", "&Display");
    make(radialPlot, K::Picture, "radialPlot");
    make(errorLabel, K::Label, "errorLabel", "The quantum numbers you have chosen are invalid.");
    make(planeLabel, K::Label, "planeLabel", "restricted to the XY-plane");
    make(nodeLabel, K::Label, "nodeLabel",
         "The region you have selected is a nodal plane. Select a different region.");
    make(pointCountLabel, K::Label, "pointCountLabel");
    make(quickLabel, K::Label, "quickLabel", "quick");
    make(probableRadiusLabel, K::Label, "probableRadiusLabel");
    make(medianRadiusLabel, K::Label, "medianRadiusLabel");
    for (Control* c : {&errorLabel, &nodeLabel, &quickLabel}) {
        c->color = red;
        c->visible = false;
    }
    planeLabel.color = blue;
    planeLabel.visible = false;

    make(fileMenu, K::Menu, "fileMenu", "&File");
    make(cacheNewMenuItem, K::MenuItem, "cacheNewMenuItem", "&New Orbital Cache");
    make(cacheClearMenuItem, K::MenuItem, "cacheClearMenuItem", "&Clear Orbital Cache");
    make(compareEnergiesMenuItem, K::MenuItem, "compareEnergiesMenuItem", "&Energy Level Diagram");
    make(spectrumMenuItem, K::MenuItem, "spectrumMenuItem", "&Hydrogen Atom Emission Spectrum");
    make(exitMenuItem, K::MenuItem, "exitMenuItem", "E&xit");
    make(typeMenu, K::Menu, "typeMenu", "&Type");
    const char* species[9] = {"&H atom (Z=1)",        "H&e+ ion (Z=2)",       "&Li+2 ion (Z=3)",
                              "&Be+3 ion (Z=4)",      "&Other",               "H2 Molecule &Add",
                              "H2 Molecule &Subtract", "H2 Molecule &Left",    "H2 Molecule &Right"};
    for (int i = 0; i < 9; ++i) {
        make(speciesMenuItems[i], K::MenuItem, indexed("speciesMenuItems", i), species[i]);
        if (i >= 5) speciesMenuItems[i].enabled = speciesMenuItems[i].visible = false;
    }
    speciesMenuItems[0].checked = true;
    make(optionsMenu, K::Menu, "optionsMenu", "&Options");
    make(autoscaleMenuItem, K::MenuItem, "autoscaleMenuItem", "&Autoscale");
    make(quickMenuItem, K::MenuItem, "quickMenuItem", "&Quicker Calculation");
    make(helpMenu, K::Menu, "helpMenu", "&Help");
    const char* about[5] = {"&HTML help", "&Schroedinger Equation (PDF)", "&Reinstall Help Files",
                            "About &Vantrel.Exe", "About &Jmol"};
    for (int i = 0; i < 5; ++i) make(helpMenuItems[i], K::MenuItem, indexed("helpMenuItems", i), about[i]);
}

std::vector<Control*> MainWindowState::all() {
    std::vector<Control*> v = {&window, &calculationFrame, &nLabel, &lLabel, &mLabel};
    auto add = [&v](auto& arr) {
        for (auto& c : arr) v.push_back(&c);
    };
    add(quantumText);
    add(quantumSpinners);
    for (Control* c : {&extentLabel, &extentText, &extentSpinner, &tooSmallLabel, &tooLargeLabel, &maxPointsLabel, &maxPointsText, &maxPointsSpinner, &regionLabel})
        v.push_back(c);
    add(regionOptions);
    v.push_back(&energyLabel);
    add(energyValueLabels);
    v.push_back(&displayFrame);
    v.push_back(&useJmolCheck);
    add(energyChecks);
    for (Control* c : {&fullScreenCheck, &blackBackgroundCheck, &fourPanelCheck, &startRotationCheck, &firstQuadrantCheck, &smallerDotsCheck, &jmolFrame,
                       &jmolAxesCheck, &jmolBoundingBoxCheck, &radialPlotFrame})
        v.push_back(c);
    add(plotModeOptions);
    add(plotIcons);
    v.push_back(&colourFrame);
    v.push_back(&colourLabel);
    add(colourModeOptions);
    for (Control* c : {&calculateButton, &loadButton, &displayButton, &radialPlot, &errorLabel, &planeLabel, &nodeLabel, &pointCountLabel,
                       &quickLabel, &probableRadiusLabel, &medianRadiusLabel, &fileMenu, &cacheNewMenuItem, &cacheClearMenuItem, &compareEnergiesMenuItem,
                       &spectrumMenuItem, &exitMenuItem, &typeMenu})
        v.push_back(c);
    add(speciesMenuItems);
    for (Control* c : {&optionsMenu, &autoscaleMenuItem, &quickMenuItem, &helpMenu}) v.push_back(c);
    add(helpMenuItems);
    return v;
}

}  // namespace vantrel
