// The energy level diagram window as plain state: the energy axis, one
// column of state markers per species (H, He+, Li+2 and one other), the
// picked state, and every reaction of the window. The Qt view only draws
// this state and forwards the user's pointer, keys and clicks.
//
// Positions are twips (15 to a pixel), y downwards, on the diagram area.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/orbital.h"

namespace vantrel {

// The diagram area. The axis runs from 0 aJ (y = 100) to -20 aJ (y = 4100).
inline constexpr double levelAreaWidth = 4400;
inline constexpr double levelAreaHeight = 4400;

// A marker is a short underlined bar; the selected state's bar has a tick.
inline const std::string markerCaption = "     ";
inline const std::string selectedMarkerCaption = "  |  ";
// The part of a marker that reacts to the pointer: where its bar is drawn.
inline constexpr double markerHitWidth = 250;
inline constexpr double markerBarTop = 130;
inline constexpr double markerBarBottom = 200;

inline constexpr std::uint32_t markerRed = 0x0000FF;     // l = 0
inline constexpr std::uint32_t markerBlue = 0xFF0000;    // l = 1
inline constexpr std::uint32_t markerViolet = 0xD30094;  // l = 2
inline constexpr std::uint32_t textBlack = 0x000000;
inline constexpr std::uint32_t textRed = 0x0000FF;

inline const std::string levelWindowTitle = "Compare Orbital Energies";
inline const std::string levelInstructions =
    "Select one of the three species and click on an energy level to see that orbital's radial "
    "probability. Only s, p, and d orbitals are shown in detail. Click on a level, then use the arrow "
    "keys to access higher levels and to quickly compare orbitals. ";

struct LevelMarker {
    std::string caption = markerCaption;
    std::uint32_t color = textBlack;
    double left = 0, top = 0;
    std::string tag;  // "#k:  Z=.. n=.. l=.. m=.. E=.. aJ"
    int z = 0, n = 0, l = 0, m = 0;  // the state it stands for
    bool visible = false;
    bool picked = false;
    bool selected() const { return picked; }
};

struct AxisLabel {
    std::string caption;
    double left = 0, top = 0;
    bool visible = false;
};

struct SpeciesOption {
    std::string caption;
    bool checked = false;
};

// The bar shown at the height of a level that has no markers (n above 3).
struct BareLevelMarker {
    double left = 0, top = 0;
    int n = 0;
    bool visible = false;
};

enum class LevelArrowKey { Left, Up, Right, Down };

// How the diagram reaches the rest of the program. Unset hooks do nothing
// (an unset mainOrbital reads as the 1s orbital of hydrogen).
struct LevelDiagramHooks {
    // The main window's current orbital.
    std::function<OrbitalNumbers()> mainOrbital;
    // The main window adopts this orbital (and its species).
    std::function<void(const OrbitalNumbers&)> setOrbital;
    // A picked state drops the cloud sampled for the old one, before the
    // main window adopts the new one.
    std::function<void()> dropCloud;
    // Width of a text as the view draws it, in twips.
    std::function<double(const std::string&)> textWidth;
    std::function<void()> closed;        // the window went away
    std::function<void()> closeWindow;   // the "Spectrum" link closes this window...
    std::function<void()> showSpectrum;  // ...and opens the spectrum window
};

class LevelDiagram {
public:
    LevelDiagramHooks hooks;

    // Species options: 0 the other species ("Z = 4" until another Z is
    // built), 1 "H", 2 "He+", 3 "Li+2". Columns of markers use the same
    // index. Element 0 of each column and of the axis labels is the hidden
    // template; markers are numbered from 1, in the same order in every
    // column, so a state has the same index whatever the species.
    std::array<SpeciesOption, 4> speciesOptions;
    std::array<std::vector<LevelMarker>, 4> columns;
    std::vector<AxisLabel> axisLabels;
    std::string rule;               // the horizontal rule at 0 aJ
    BareLevelMarker bareLevel;
    std::string energyText;         // picked state and its energy
    std::uint32_t energyColor = textBlack;
    std::string pickedTag;          // tag(s) of the last pick, as the window shows them
    bool spectrumLinkVisible = false;
    bool enabled = true;            // off while the main window runs

    int stateCount = 0;             // markers per column
    int selectedIndex = 0;          // highlighted marker, 0 for none
    bool inSetUp = false;           // setUp re-entry guard
    bool skipNextPointerMove = false;  // set by a key, so the keys' state stays
    std::string hoveredTag;         // tag of the marker under the pointer, "" when none
    int hoveredIndex = 0;           // its index in the column shown, 0 when none
    int pickedColumn = 0, pickedIndex = 0;  // the marker last picked, index 0 for none
    int otherZ = 4;                 // species of column 0

    LevelDiagram();

    // Vertical position of level n of species z.
    static float levelY(int z, int n);
    static int columnOf(int z);  // 1..3 for H, He+, Li+2; 0 for any other

    void createAxis();
    void createColumns();
    void createColumn(int z);
    // Follows the main window's state: shows and highlights it.
    void setUp(int z, int n, int l, int m);
    // Picks marker index of a column (index 0: none): highlights the state
    // in every column and hands it to the main window (unless it is the
    // main window's own state, being followed by setUp).
    void pick(int column, int index);

    // The window's events.
    void load();    // fresh state, axis, columns, then the main window's state
    void unload();
    void chooseSpecies(int option);  // the user clicks a species option
    void pointerMove(double x, double y);
    void pointerPress();
    void pointerRelease();
    // Arrow keys while the diagram has the focus; false when nothing moved.
    bool arrowKey(LevelArrowKey key);
    void spectrumLinkClicked();

    int selectedOption() const;
    int visibleZ() const;  // species of the column shown
    const std::vector<LevelMarker>& visibleColumn() const { return columns[selectedOption()]; }
    // The levels of the column shown (and the bare level) whose bars lie
    // below the area, and the sentence that tells the user so ("" when none).
    std::vector<int> levelsBelowArea() const;
    std::string belowAreaNote() const;

private:
    OrbitalNumbers mainOrbital() const;
    void setMainOrbital(const OrbitalNumbers& orbital) const;
    // Shows the markers of the selected species' column only.
    void showSelectedColumn();
    void selectOption(int option);  // by code: no pick
    bool validIndex(int k) const { return k >= 1 && k <= stateCount; }
    double textWidth(const std::string& text) const;
};

}  // namespace vantrel
