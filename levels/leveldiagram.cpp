#include "levels/leveldiagram.h"

#include "engine/energy.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

constexpr double firstMarkerLeft = 800;
constexpr double markerSpacing = 400;
constexpr double axisRight = 780;  // right edge of the axis labels
constexpr int highestDetailedLevel = 3;

std::uint32_t markerColor(int l) {
    switch (l) {
    case 0:
        return markerRed;
    case 1:
        return markerBlue;
    default:
        return markerViolet;
    }
}

std::string stateTag(int k, int z, int n, int l, int m) {
    const double attojoules = orbitalEnergy(z, n) * 1e18;
    std::string tag = "#";
    tag += intText(k);
    tag += ":  Z=";
    tag += intText(z);
    tag += " n=";
    tag += intText(n);
    tag += " l=";
    tag += intText(l);
    tag += " m=";
    tag += intText(m);
    tag += " E=";
    tag += formatPicture(attojoules, "0.00");
    tag += " aJ";
    return tag;
}

// An element that already exists is reused, as the window's labels are.
template <typename T>
T& element(std::vector<T>& array, int index) {
    if (static_cast<int>(array.size()) <= index) array.resize(index + 1);
    return array[index];
}

}  // namespace

LevelDiagram::LevelDiagram() {
    speciesOptions = {{{"Z = 4", false}, {"H", true}, {"He+", false}, {"Li+2", false}}};
    for (auto& column : columns) column.resize(1);  // the hidden templates
    axisLabels.resize(1);
    axisLabels[0].caption = "0.0";
}

float LevelDiagram::levelY(int z, int n) {
    return static_cast<float>(100 - 200 * (orbitalEnergy(z, n) * 1e18));
}

int LevelDiagram::columnOf(int z) { return z >= 1 && z <= 3 ? z : 0; }

double LevelDiagram::textWidth(const std::string& text) const {
    if (hooks.textWidth) return hooks.textWidth(text);
    return 90.0 * static_cast<double>(text.size());  // about six pixels a character
}

void LevelDiagram::createAxis() {
    int c = 0;
    for (int i = 0; i <= 20; i += 2) {
        const double y = 200.0 * i + 100;
        AxisLabel& label = element(axisLabels, ++c);
        label.caption = formatPicture(static_cast<double>(-i), "0.0") + "- ";
        label.left = axisRight - textWidth(label.caption);
        label.top = y + 50;
        label.visible = true;
    }
    AxisLabel& unit = element(axisLabels, ++c);
    unit.caption = "aJ";
    unit.left = 100;
    unit.top = 2150;
    unit.visible = true;
    axisLabels[0].visible = false;
}

void LevelDiagram::createColumns() {
    createColumn(1);
    createColumn(2);
    createColumn(3);
    const int z = mainOrbital().z;
    createColumn(z >= 4 ? z : 4);
}

void LevelDiagram::createColumn(int z) {
    if (z > 3) {
        speciesOptions[0].caption = "Z = " + intText(z);
        otherZ = z;
    }
    auto& column = columns[columnOf(z)];
    int k = 0;
    for (int n = 1; n <= highestDetailedLevel; ++n) {
        const float y = levelY(z, n);
        double x = firstMarkerLeft;
        for (int l = 0; l < n; ++l) {
            for (int m = -l; m <= l; ++m) {
                LevelMarker& marker = element(column, ++k);
                marker.left = x;
                marker.top = y;
                marker.tag = stateTag(k, z, n, l, m);
                marker.z = z, marker.n = n, marker.l = l, marker.m = m;
                marker.visible = true;
                marker.color = markerColor(l);
                x += markerSpacing;
            }
        }
    }
    stateCount = k;
}

void LevelDiagram::setUp(int z, int n, int l, int m) {
    if (z >= 4) {
        // The caption reads "Z = 5": the number after its third character.
        const std::string& caption = speciesOptions[0].caption;
        const long long shown = caption.size() > 3 ? roundEven(val(caption.substr(3))) : 0;
        if (shown != z) createColumn(z);
        // Also when the column was built already (at load), so that the
        // column shown is always the main window's species.
        selectOption(0);
    }
    const std::string key = " n=" + intText(n) + " l=" + intText(l) + " m=" + intText(m) + " ";

    if (inSetUp) return;
    inSetUp = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{inSetUp};

    int k = 0;
    if (z >= 1) {
        const auto& hydrogen = columns[1];
        for (int i = 1; i <= stateCount && i < static_cast<int>(hydrogen.size()); ++i) {
            if (hydrogen[i].tag.find(key) != std::string::npos) {
                k = i;
                break;
            }
        }
    }
    const auto& column = columns[columnOf(z)];
    if (k == 0 || k >= static_cast<int>(column.size())) k = 0;
    pickedTag = k == 0 ? "" : column[k].tag;
    pick(columnOf(z), k);

    if (z > 0 && z < 4) selectOption(z);
    bareLevel.visible = false;
    // Numbers that name no state (l of n or more, m beyond l) are as
    // invalid as n = 0: no energy is shown for them.
    const bool namesState = n >= 1 && l >= 0 && l < n && m >= -l && m <= l;
    const OrbitalNumbers main = mainOrbital();
    if (!namesState || main.z == 0) {
        energyText = "INVALID QUANTUM NUMBERS";
        energyColor = textRed;
        pick(0, 0);
    } else {
        energyColor = textBlack;
        energyText = key + crlf + crlf + " " + calcEnergy(main, EnergyForm::BothUnits, EnergyUnit::Joules);
        bareLevel.top = levelY(z, n);
        bareLevel.left = (columns[1].size() > 1 ? columns[1][1].left : firstMarkerLeft) + 10;
        bareLevel.n = n;
        if (n > highestDetailedLevel) {
            bareLevel.visible = true;
            pick(0, 0);  // no markers above level 3
        }
    }
}

void LevelDiagram::pick(int column, int index) {
    if (validIndex(selectedIndex)) {
        for (auto& markers : columns)
            if (selectedIndex < static_cast<int>(markers.size())) {
                markers[selectedIndex].caption = markerCaption;
                markers[selectedIndex].picked = false;
            }
    }
    selectedIndex = 0;
    pickedColumn = column, pickedIndex = index;
    if (column < 0 || column > 3 || !validIndex(index) || index >= static_cast<int>(columns[column].size())) {
        pickedIndex = 0;
        return;
    }
    const LevelMarker state = columns[column][index];
    if (state.z < 1 || state.n < 1) return;
    for (auto& markers : columns)
        if (index < static_cast<int>(markers.size())) {
            markers[index].caption = selectedMarkerCaption;
            markers[index].picked = true;
        }
    selectedIndex = index;
    // Following the main window, the state shown is the main window's own:
    // handing it back would redo its refresh and drop a finished cloud.
    const OrbitalNumbers picked{state.z, state.n, state.l, state.m};
    if (inSetUp && picked == mainOrbital()) return;
    if (hooks.dropCloud) hooks.dropCloud();
    setMainOrbital(picked);
}

OrbitalNumbers LevelDiagram::mainOrbital() const { return hooks.mainOrbital ? hooks.mainOrbital() : OrbitalNumbers{}; }

void LevelDiagram::setMainOrbital(const OrbitalNumbers& orbital) const {
    if (hooks.setOrbital) hooks.setOrbital(orbital);
}

int LevelDiagram::selectedOption() const {
    for (int i = 0; i < 4; ++i)
        if (speciesOptions[i].checked) return i;
    return 1;
}

int LevelDiagram::visibleZ() const {
    const int option = selectedOption();
    return option == 0 ? otherZ : option;
}

void LevelDiagram::selectOption(int option) {
    for (int i = 0; i < 4; ++i) speciesOptions[i].checked = i == option;
    showSelectedColumn();
}

void LevelDiagram::showSelectedColumn() {
    spectrumLinkVisible = false;
    const int shown = selectedOption();
    for (int c = 0; c < 4; ++c)
        for (std::size_t k = 1; k < columns[c].size(); ++k) columns[c][k].visible = c == shown;
    spectrumLinkVisible = shown == 1;
}

std::vector<int> LevelDiagram::levelsBelowArea() const {
    std::vector<int> below;
    const int z = visibleZ();
    for (int n = 1; n <= highestDetailedLevel; ++n)
        if (levelY(z, n) + markerBarBottom > levelAreaHeight) below.push_back(n);
    if (bareLevel.visible && bareLevel.top + markerBarBottom > levelAreaHeight) below.push_back(bareLevel.n);
    return below;
}

std::string LevelDiagram::belowAreaNote() const {
    const std::vector<int> below = levelsBelowArea();
    if (below.empty()) return "";
    const int z = visibleZ();
    std::string note = "Below the scale:";
    for (std::size_t i = 0; i < below.size(); ++i) {
        note += (i == 0 ? " n=" : ", n=") + intText(below[i]) + " at " +
                formatPicture(orbitalEnergy(z, below[i]) * 1e18, "0.00") + " aJ";
    }
    return note;
}

}  // namespace vantrel
